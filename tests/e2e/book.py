"""The book on a real desktop: a linked "_.udb" stays linked through a compaction, and a second
program on the book, started in another session, says so and ends."""

import os

from desktop import expect, until
from flows import LI, ZHANG


def compaction_keeps_link(j):
    """"_.udb" linked from a synced folder: 压缩修复 compacts the linked file and leaves the link
    in place, so the records the program writes afterwards reach the linked book."""
    program = j.program(seed=[ZHANG, LI])
    synced = j.dir / "synced"
    synced.mkdir()
    (program.folder / "_.udb").rename(synced / "book.udb")
    os.symlink(os.path.relpath(synced / "book.udb", program.folder), program.folder / "_.udb")
    program.start()
    main = program.log_in()
    main.page("软件设置").button("压缩修复").click()
    program.message().expect("数据库压缩完成.").press()
    link = program.folder / "_.udb"
    expect(link.is_symlink(), "the link to the book is now a plain file")
    main.page("通讯录管理")
    main.pick(main.field("分类"), "网站帐号")
    main.fill("姓名", "赵六")
    main.button("添加").click()
    program.message().expect("添加成功.").press()
    names = [r["姓名"] for r in program.records()]  # read through the link
    expect(names == ["张三", "李四", "赵六"], f"the linked book holds {names}")
    leftovers = sorted(p.name for p in synced.iterdir() if p.name != "book.udb-lock")
    expect(leftovers == ["book.udb"], f"the synced folder holds {leftovers}")


def second_program_on_book(j):
    """A second program on the same folder, started by another session (its own runtime folder
    and HOME, so the per-user lock does not stop it), says so and ends; the first goes on."""
    first = j.started()
    main = first.log_in()
    second = j.program()
    second.folder = first.folder
    second.start()
    # Shown before any window of the program, and so before the skin: in the system's look.
    box = until("the second program's message", lambda: second.box() if second.running() else None)
    box.expect(f"另一个正在运行的Quillory已经打开了通讯录\"{first.folder}/_.udb\", 本程序将退出.")
    box.press()
    expect(second.ended() == 0, "the second program did not end well")
    main.pick(main.field("分类"), "网站帐号")
    main.fill("姓名", "张三")
    main.button("添加").click()
    first.message().expect("添加成功.").press()
    until("the record in the file", lambda: [r["姓名"] for r in first.records()] == ["张三"])


JOURNEYS = [
    ("compaction-keeps-link", compaction_keeps_link),
    ("second-program-on-book", second_program_on_book),
]
