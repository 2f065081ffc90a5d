"""The main flows a user goes through, each from a fresh program folder."""

from desktop import INITIAL_PASSWORD, expect, until
from program import NO, YES, wait_status

ZHANG = {"分类": "网站帐号", "姓名": "张三", "QQ": "10001", "手机": "13800000001",
         "邮箱": "zhang@example.com"}
LI = {"分类": "论坛帐号", "姓名": "李四", "QQ": "10002", "电话": "010-1234567"}
WANG = {"分类": "网站帐号", "姓名": "王五", "QQ": "10003", "备注": "旧的备注"}


def login(j):
    """The login window comes about a second after the start, the main window only after
    the right password; the desktop launcher is written."""
    program = j.started()
    program.window("管理登录")
    expect(not any(w.name == "Quillory" for w in program.top_levels()),
           "the main window showed before the login")
    main = program.log_in()
    main.wait_status("共0条信息")
    launcher = program.home / "Desktop" / "Tallykeep个人版.desktop"
    expect(launcher.exists(), "no desktop launcher")
    expect(f"Exec={program.folder / 'Kestrelle'}" in launcher.read_text().replace('"', ""),
           f"the launcher does not start this copy: {launcher.read_text()!r}")


def add_record(j):
    """Add with Chinese text, a single quote and a two-line remark; the editor empties and
    the list shows the record."""
    program = j.started()
    main = program.log_in()
    main.pick(main.field("分类"), "网站帐号")
    main.fill("姓名", "O'Brien 张")
    main.fill("QQ", "12345")
    main.fill("邮箱", "ob@example.com")
    main.field("备注").focus()
    j.desktop.type("第一行")
    j.desktop.key("Return")
    j.desktop.type("it's line two")
    main.button("添加").click()
    program.message().expect("添加成功.").press()
    main.wait_status("共1条信息")
    stored = program.records()
    expect(len(stored) == 1, f"the database holds {stored}")
    record = stored[0]
    expect((record["分类"], record["姓名"], record["QQ"], record["邮箱"]) ==
           ("网站帐号", "O'Brien 张", "12345", "ob@example.com"), f"stored {record}")
    expect(record["备注"].replace("\r\n", "\n") == "第一行\nit's line two",
           f"the remark was stored as {record['备注']!r}")
    expect(main.field("姓名").text == "", "the editor was not emptied")
    expect([row[1:3] for row in main.rows()] == [["网站帐号", "O'Brien 张"]],
           f"the grid shows {main.rows()}")


def search(j):
    """A search shows the hits, tells their number and empties the keyword box; a search
    without a hit says so and shows every record again."""
    program = j.started(seed=[ZHANG, LI, WANG])
    main = program.log_in()
    main.wait_status("共3条信息")
    for keyword, rows, message in (("李", [["论坛帐号", "李四"]], None),
                                   ("赵", [["网站帐号", "张三"], ["论坛帐号", "李四"],
                                          ["网站帐号", "王五"]], "对不起没有找到相关信息！")):
        main.keyword_box().focus()
        j.desktop.type(keyword)
        main.button("搜索").click()
        if message:
            program.message().expect(message).press()
        main.wait_status(f"关于{keyword}的信息,共搜索到{1 if not message else 0}条")
        shown = [row[1:3] for row in main.rows()]
        expect(shown == rows, f"after searching {keyword!r} the grid shows {shown}")
        expect(main.keyword_box().text == "", "the keyword box was not emptied")


def filter_by_category(j):
    """Picking a category from the filter list shows its records; an empty category says
    so and shows every record again."""
    program = j.started(seed=[ZHANG, LI, WANG])
    main = program.log_in()
    main.wait_status("共3条信息")
    box = main.field("按分类查看")
    main.pick(box, "网站帐号")
    main.wait_status("网站帐号分类下共有2条")
    shown = [row[2] for row in main.rows()]
    expect(shown == ["张三", "王五"], f"the filter shows {shown}")
    main.pick(box, "游戏帐号")
    program.message().expect("对不起该分类下还没有信息").press()
    program.no_message(within=0.5, what="the filter ran twice")
    main.wait_status("游戏帐号分类下共有0条")
    expect(len(main.rows()) == 3, f"the fallback shows {main.rows()}")


def modify_record(j):
    """A grid click fills the editor; 修改 stores the change to that record only."""
    program = j.started(seed=[ZHANG, LI])
    main = program.log_in()
    main.wait_status("共2条信息")
    main.click_row(1)
    until("the editor to show 李四", lambda: main.field("姓名").text == "李四")
    expect(main.status()[1] == "2", f"the row number reads {main.status()[1]!r}")
    main.fill("QQ", "20002")
    main.button("修改").click()
    program.message().expect("修改成功.").press()
    main.wait_status("共2条信息")
    stored = program.records()
    expect([r["QQ"] for r in stored] == ["10001", "20002"], f"stored {stored}")
    expect(stored[1]["电话"] == "010-1234567", f"the other fields changed: {stored[1]}")


def delete_record(j):
    """删除 asks "警告" first: No keeps the record, Yes deletes the clicked one."""
    program = j.started(seed=[ZHANG, LI, WANG])
    main = program.log_in()
    main.wait_status("共3条信息")
    main.click_row(1)
    for answer, names in ((NO, ["张三", "李四", "王五"]), (YES, ["张三", "王五"])):
        main.button("删除").click()
        program.message().expect("您真的要删除该记录吗?", caption="警告").press(answer)
        until(f"the database to hold {names}",
              lambda: [r["姓名"] for r in program.records()] == names)
    until("the grid to drop the row", lambda: [r[2] for r in main.rows()] == ["张三", "王五"])
    expect(main.field("姓名").text == "", "the editor was not emptied")


BUILT_IN = ["网站帐号", "论坛帐号", "邮箱帐号", "QQ帐号", "银行帐号", "游戏帐号"]


def categories(j):
    """"+" adds a typed category to both lists and "class.dat"; "-" removes a picked one
    after "警告"."""
    program = j.started()
    main = program.log_in()
    expect(program.categories() == BUILT_IN, f"class.dat holds {program.categories()}")
    main.field("分类").focus()
    j.desktop.type("新分类")
    main.button("+").click()
    program.message().expect("新分类添加成功.").press()
    expect(program.categories() == BUILT_IN + ["新分类"], f"class.dat: {program.categories()}")
    filter_items = [e.name for e in main.field("按分类查看").find_all("list item", showing=False)]
    expect(filter_items == BUILT_IN + ["新分类"], f"the filter list holds {filter_items}")
    main.pick(main.field("分类"), "新分类")
    main.button("-").click()
    program.message().expect("您真的要删除该分类吗?", caption="警告").press(YES)
    expect(program.categories() == BUILT_IN, f"class.dat after the delete: {program.categories()}")


def password_change(j):
    """A new password is stored after a dated backup of the database; the program ends and
    the next start takes only the new password."""
    program = j.started(seed=[ZHANG])
    old_cipher = program.stored_password()
    main = program.log_in()
    main.page("软件设置")
    main.fill("请输入密码", "NewPass7")
    main.fill("确认密码", "NewPass7")
    main.button("确定").click()
    program.message().expect("密码设置成功,请重新登录Tallykeep.").press()
    expect(program.ended() == 0, "the program did not end well after the change")
    backups = sorted(program.folder.glob("bak_*_.udb"))
    expect(len(backups) == 1, f"backups: {[b.name for b in backups]}")
    expect(program.stored_password(backups[0].name) == old_cipher,
           "the backup does not hold the old password")
    expect(program.records(backups[0].name) == program.records(), "the backup lost records")
    expect(program.stored_password() != old_cipher, "the password was not stored")
    program.start()
    wait_status(program.enter_password(INITIAL_PASSWORD), "密码错误...1次")
    program.log_in("NewPass7").wait_status("共1条信息")


def compaction(j):
    """压缩修复 keeps every record and the password, leaves no stray file, and the list
    works straight after it."""
    program = j.started(seed=[ZHANG, LI, WANG])
    before = program.records(), program.stored_password()
    main = program.log_in()
    main.page("软件设置").button("压缩修复").click()
    program.message().expect("数据库压缩完成.").press()
    expect((program.records(), program.stored_password()) == before, "compaction changed data")
    expect(program.sql("PRAGMA integrity_check;") == [["ok"]], "the compacted file is damaged")
    files = sorted(p.name for p in program.folder.iterdir())
    # "_.udb-lock": the running program's lock on the book.
    expect(files == ["Kestrelle", "_.udb", "_.udb-lock", "class.dat"], f"the program folder holds {files}")
    main.page("通讯录管理").button("刷").click()
    main.wait_status("共3条信息")


def clear_all(j):
    """清空数据 asks "警告": No keeps everything, Yes empties table data and nothing else."""
    program = j.started(seed=[ZHANG, LI, WANG])
    password = program.stored_password()
    main = program.log_in()
    main.page("软件设置")
    for answer, count in ((NO, 3), (YES, 0)):
        main.button("清空数据").click()
        program.message().expect("您真的要删除数据库中所有的记录吗?", caption="警告").press(answer)
        until(f"{count} records in the database", lambda: len(program.records()) == count)
    main.wait_status("共0条信息")
    expect(program.stored_password() == password, "clear all touched the password")


def export_import(j):
    """导出表格 and 导出名片 write every record to a file; after 清空数据, 导入表格 and 导入名片
    bring every record back, field for field."""
    remark = {"分类": "朋友", "姓名": "赵六, \"小赵\"", "备注": "第一行\r\n第二行"}
    program = j.started(seed=[ZHANG, LI, remark])
    before = program.records()
    main = program.log_in()
    main.wait_status("共3条信息")
    main.page("软件设置")
    for export, load, name in (("导出表格", "导入表格", "book.csv"), ("导出名片", "导入名片", "book.vcf")):
        path = program.home / name
        for button, caption, done in ((export, "导出到", "已导出3条记录."), (load, "导入", "已导入3条记录.")):
            if button == load:
                main.button("清空数据").click()
                program.message().expect("您真的要删除数据库中所有的记录吗?", caption="警告").press(YES)
                until("the records to be gone", lambda: not program.records())
            main.button(button).click()
            dialog = program.message()
            expect(dialog.caption == caption, f"{button} opened {dialog!r}")
            j.desktop.type(str(path))  # into the file name, which has the focus
            j.desktop.key("Return")
            if button == load:  # the preview shows first; one click takes the file
                program.settled(until("the import's preview", lambda: next(
                    (w for w in program.top_levels() if w.name == "导入预览"), None))
                ).find("push button", "导入").click()
            program.message().expect(done).press()
        expect(program.records() == before, f"after {name} the database holds {program.records()}")
    expect("朋友" in program.categories(), f"class.dat lacks the imported category: {program.categories()}")
    main.page("通讯录管理")
    main.wait_status("共3条信息")
    expect([row[2] for row in main.rows()] == ["张三", "李四", remark["姓名"]], f"the grid shows {main.rows()}")


def tray(j):
    """最小化 hides to the tray and forgets the login: the tray icon brings the login window
    first, then the main window; the tray menu's "退出程序" ends the program."""
    program = j.started()
    main = program.log_in()
    main.button("最小化").click()
    until("the main window to hide", lambda: not any(
        w.name == "Quillory" for w in program.top_levels()))
    program.click_tray_icon()
    program.log_in().wait_status("共0条信息")
    program.click_tray_icon(button=3)
    items = j.desktop.popup_items(program.pid)
    names = [item.name for item in items]
    expect(names == ["检测更新", "显示窗口", "隐藏窗口", "退出程序"], f"the tray menu reads {names}")
    items[-1].click()
    expect(program.ended() == 0, "the program did not end well")


def exit_empties_clipboard(j):
    """退出 ends the program and leaves the clipboard empty, also of another program's text."""
    program = j.started()
    main = program.log_in()
    j.desktop.hold_clipboard("copied elsewhere")
    main.button("退出").click()
    expect(program.ended() == 0, "the program did not end well")
    until("the clipboard to be empty", lambda: j.desktop.clipboard() == "", timeout=5)


def wrong_passwords(j):
    """Each wrong password is counted in the login window; the third ends the program."""
    program = j.started()
    for attempt in (1, 2, 3):
        login = program.enter_password(f"Wrong{attempt}")
        if attempt < 3:
            wait_status(login, f"密码错误...{attempt}次")
    program.message().expect("由于您多次输入了无效的密码程序将要退出...").press()
    expect(program.ended() == 0, "the program did not end well")


def single_instance(j):
    """A second start by the same user ends at once, without any window."""
    first = j.started()
    first.window("管理登录")
    second = j.started(XDG_RUNTIME_DIR=str(first.runtime), HOME=str(first.home))
    expect(second.ended(timeout=10) == 0, "the second copy did not end well")
    expect(not j.desktop.windows_of(second.pid, visible=False), "the second copy made a window")
    expect(first.running() and first.window("管理登录"), "the first copy is gone")


JOURNEYS = [
    ("login", login),
    ("add-record", add_record),
    ("search", search),
    ("filter", filter_by_category),
    ("modify", modify_record),
    ("delete", delete_record),
    ("categories", categories),
    ("password-change", password_change),
    ("compaction", compaction),
    ("clear-all", clear_all),
    ("export-import", export_import),
    ("tray", tray),
    ("exit-clipboard", exit_empties_clipboard),
    ("wrong-passwords", wrong_passwords),
    ("single-instance", single_instance),
]
