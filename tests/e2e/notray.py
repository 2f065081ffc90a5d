"""Journeys about a program that must never run on unseen: a database file that cannot be
read, on a desktop without a notification area (the program ends after the engine's
message) and with one (it waits in the tray); and a notification area that goes away while
the program waits in it."""

import os
import random
import sqlite3
import subprocess

from desktop import Desktop, expect, stays, until

# The engine's words for a file it cannot read, as 3.x and as 4.x say them.
ENGINE_REFUSAL = ("file is encrypted or is not a database", "file is not a database")
CANNOT_OPEN = "unable to open database file"

# Root reads a file of mode 000 all the same. Run without the two capabilities that let it
# pass file permissions by (dropped from the bounding and inheritable sets, so the program
# never gets them back), root meets the file as any user does.
HELD_TO_FILE_MODES = ["setpriv", "--inh-caps", "-dac_override,-dac_read_search",
                      "--bounding-set", "-dac_override,-dac_read_search"]


# Each kind of unreadable "_.udb" spoils the program's file and answers the start of the
# engine's message and the command the program must run under (if any).

def damaged(program):
    """20 KiB of random bytes in place of the database."""
    program.file("_.udb").write_bytes(random.Random(20).randbytes(20 * 1024))
    return ENGINE_REFUSAL, ()


def foreign(program):
    """The same tables and password in the default format of plain SQLite (unencrypted)."""
    password = program.stored_password()
    database = program.file("_.udb")
    database.unlink()
    with sqlite3.connect(database) as plain:
        plain.execute("create table data (编号 integer primary key autoincrement, 分类 text, "
                      "姓名 text, QQ text, 手机 text, 电话 text, 传真 text, 邮箱 text, 主页 text, "
                      "备注 text)")
        plain.execute("create table Pass (密码 text)")
        plain.execute("insert into Pass values (?)", (password,))
    plain.close()
    return ENGINE_REFUSAL, ()


def unreadable(program):
    """The database with mode 000."""
    database = program.file("_.udb")
    database.chmod(0)
    prefix = HELD_TO_FILE_MODES if os.geteuid() == 0 else []
    refused = subprocess.run([*prefix, "head", "-c", "1", str(database)],
                             capture_output=True, check=False)
    expect(refused.returncode != 0, "the program would read the file of mode 000 all the same")
    return CANNOT_OPEN, prefix


def repaired(program):
    """A fresh database in place of the spoilt one."""
    program.file("_.udb").unlink()
    subprocess.run([str(program.suite.build / "bin" / "mkudb"), str(program.folder)], check=True,
                   stdout=subprocess.DEVNULL)


def engine_message(program, text):
    box = program.message(timeout=15)
    expect(box.caption == "Quillory" and box.text.startswith(text)
           and box.text.endswith("/_.udb"), f"expected the engine's text {text!r}, saw {box}")
    box.press()


def then_next_start_logs_in(program):
    """The one-copy lock is free: the next start, on a sound file, asks for the password."""
    repaired(program)
    program.start()
    program.log_in()


def ends_without_area(spoil):
    """Without a notification area: the engine's message, then the program ends by itself."""
    def journey(j):
        program = j.program(desktop=j.suite.plain_desktop)
        text, prefix = spoil(program)
        program.start(prefix=prefix)
        engine_message(program, text)
        expect(program.ended(timeout=10, what="the program to end after the message") == 0,
               "the program did not end well")
        then_next_start_logs_in(program)
    return journey


def waits_in_tray(spoil):
    """With a notification area: after the engine's message the program waits in the tray,
    without a window, until the tray menu's "退出程序" ends it."""
    def journey(j):
        program = j.program()
        text, prefix = spoil(program)
        program.start(prefix=prefix)
        engine_message(program, text)
        stays("the program ended with its icon in the tray", lambda: not program.running(), 2)
        until("no window on screen", lambda: not program.top_levels(), timeout=5)
        program.click_tray_icon(button=3)
        items = j.desktop.popup_items(program.pid)
        expect(items and items[-1].name == "退出程序", f"the tray menu reads {[i.name for i in items]}")
        items[-1].click()
        expect(program.ended() == 0, "the program did not end well")
        then_next_start_logs_in(program)
    return journey


def area_vanishes_while_hidden(j):
    """Hidden in the tray when the notification area goes away, the program brings up the
    login window with a taskbar entry; when the area comes back, so does the icon."""
    desktop = Desktop(j.suite.processes, j.dir, tray=False).start(j.suite.bus_env)
    host = desktop.start_tray()
    program = j.started(desktop=desktop)
    program.log_in().button("最小化").click()
    until("the main window to hide", lambda: not program.top_levels())
    until("the tray icon", lambda: desktop.tray_icon_of(program.pid))
    j.suite.processes.stop(host)
    program.window("管理登录", timeout=10)
    expect(desktop.taskbar_entry(program.x_window("管理登录")),
           "the login window that replaces the tray has no taskbar entry")
    desktop.start_tray()
    until("the tray icon back", lambda: desktop.tray_icon_of(program.pid), timeout=10)
    program.log_in()


JOURNEYS = [
    ("no-tray-damaged-file", ends_without_area(damaged)),
    ("no-tray-foreign-file", ends_without_area(foreign)),
    ("no-tray-unreadable-file", ends_without_area(unreadable)),
    ("tray-damaged-file", waits_in_tray(damaged)),
    ("tray-foreign-file", waits_in_tray(foreign)),
    ("tray-unreadable-file", waits_in_tray(unreadable)),
    ("tray-vanishes-while-hidden", area_vanishes_while_hidden),
]
