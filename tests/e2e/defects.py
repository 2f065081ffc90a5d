"""Journeys through what a user met in the first minutes on a real desktop: each one
fails while the fault is in the program."""

import re
import subprocess
import time
from urllib.parse import urlsplit

from desktop import (SHELL_KEY, INITIAL_PASSWORD, Failure, GLib, Rect, WindowWatch, expect,
                     mode_of, until)
from program import NO, YES, MainWindow, status_panels, wait_status

CJK = re.compile(r"[\u4e00-\u9fff]")
TIME = re.compile(r"\d{1,2}:\d{2}:\d{2}")
RECORD = {"分类": "网站帐号", "姓名": "张三", "QQ": "10001"}


def numbered(count):
    return [{"分类": "网站帐号", "姓名": f"R{n:02}"} for n in range(1, count + 1)]


def skin_frame(main):
    """The skin's caption height and border width, measured on the main window: its client
    area begins with the banner picture."""
    banner = main.element.find("image").rect
    window = main.element.rect
    return banner.y - window.y, banner.x - window.x


def warning_box_inside_its_frame(j):
    """A "警告" box shows its icon, question and buttons inside the box, below its caption."""
    program = j.started()
    main = program.log_in()
    caption, border = skin_frame(main)
    main.page("软件设置").button("清空数据").click()
    box = program.message().expect("您真的要删除数据库中所有的记录吗?", caption="警告")
    frame = box.rect
    inside = Rect(frame.x + border, frame.y + caption, frame.width - 2 * border,
                  frame.height - caption - border)
    parts = box.find_all("image") + box.find_all("label") + box.buttons
    outside = [f"{part} at {part.rect}" for part in parts if not inside.contains(part.rect)]
    expect(not outside, f"the box is {frame} with its content from {inside}; outside it: "
                        + ", ".join(outside))
    box.press(NO)


def minimised_window_restored(j):
    """A main window minimised by the window manager comes back with a tray click."""
    program = j.started()
    program.log_in()
    window = program.x_window("Quillory")
    j.desktop.xdotool("windowminimize", "--sync", str(window))
    until("the window to be iconic", lambda: "_NET_WM_STATE_HIDDEN" in j.desktop.net_wm_state(window))
    program.click_tray_icon()
    try:
        until("the main window back on screen", lambda: program.x_window("Quillory") and
              "_NET_WM_STATE_HIDDEN" not in j.desktop.net_wm_state(program.x_window("Quillory")),
              timeout=5)
    except Failure:
        raise Failure("a tray click leaves the minimised main window iconic: "
                             + j.desktop.net_wm_state(window).strip()) from None


def no_taskbar_entry_in_tray(j):
    """Hidden in the tray, the program has no taskbar entry, also while the login window
    asks for the password; after the login the main window has its entry back."""
    program = j.started()
    program.log_in().button("最小化").click()
    program.click_tray_icon()
    program.window("管理登录")
    expect(not j.desktop.taskbar_entry(program.x_window("管理登录")),
           "the login window shown from the tray has a taskbar entry")
    program.log_in()
    expect(j.desktop.taskbar_entry(program.x_window("Quillory")),
           "after the login the main window has no taskbar entry")


def window_titles_exact(j):
    """The desktop sees each window's caption as its title, and nothing more."""
    program = j.started()
    program.window("管理登录")
    seen = [j.desktop.title(w) for w in program.x_windows()]
    main = program.log_in()
    main.button("删除").click()
    box = program.message()
    seen += [j.desktop.title(w) for w in program.x_windows()]
    box.press(NO)
    expect(sorted(set(seen)) == ["Quillory", "管理登录", "警告"], f"the desktop sees the titles {seen}")


def login_closed_without_tray(j):
    """Without a notification area, closing the login window through the window manager
    (Alt+F4) leaves no invisible process: the program either keeps a window on screen or
    ends, and then the next start shows the login window."""
    plain = j.suite.plain_desktop
    program = j.started(desktop=plain)
    program.window("管理登录").find("password text").focus()
    login = program.x_window("管理登录")
    until("the login window to be the active window",  # so that Alt+F4 closes it
          lambda: plain.xdotool("getactivewindow").strip() == str(login))
    plain.key("alt+F4")
    try:
        until("the program to end", lambda: not program.running(), timeout=3, patient=False)
    except Failure:
        expect(program.top_levels(), "the program runs on without any window")
        return
    expect(program.ended() == 0, "the program did not end well")
    program.start()
    program.window("管理登录")


def qt_texts_in_chinese(j):
    """Message-box buttons and the edit boxes' context menu read in Chinese."""
    program = j.started()
    main = program.log_in()
    main.button("删除").click()
    box = program.message()
    buttons = [b.name for b in box.buttons]
    box.press(NO)
    main.fill("姓名", "x")  # an empty box offers its menu with every item disabled
    main.field("姓名").click(button=3)
    items = [item.name.split("\t")[0] for item in j.desktop.popup_items(program.pid)]
    j.desktop.key("Escape")
    english = [name for name in buttons + items if not CJK.search(name)]
    expect(not english, f"English texts in the message box and the context menu: {english}")


def password_boxes_refuse_input_method(j):
    """Text committed by an input method obeys the password rule (digits and ASCII letters)
    in the login box and in both boxes of "设置密码"."""
    program = j.started()
    login = program.window("管理登录")
    login.find("password text").focus()
    j.desktop.type(INITIAL_PASSWORD)
    compose_symbols(j.desktop)
    j.desktop.key("Return")
    answer = until("an answer to the password", lambda: program.box() or next(
        (panel for panel in status_panels(login) if panel.startswith("密码错误")), None) or next(
        (w for w in program.top_levels() if w.name == "Quillory"), None))
    expect(not isinstance(answer, str),
           f"the login box took input-method text after the password: {answer!r}")
    main = MainWindow(program.window("Quillory"), program)
    main.page("软件设置")
    taken = {}
    for label in ("请输入密码", "确认密码"):
        main.field(label).focus()
        j.desktop.type("ab")
        compose_symbols(j.desktop)
        taken[label] = main.field(label).text
    expect(taken == {"请输入密码": "ab", "确认密码": "ab"}, f"the boxes took {taken}")


def password_compose_then_next_box(j):
    """After a compose sequence in "请输入密码", a click into "确认密码" takes the keys typed
    there: each box holds only its own."""
    program = j.started()
    main = program.log_in()
    main.page("软件设置")
    main.field("请输入密码").focus()
    j.desktop.type("abc123")
    compose_symbols(j.desktop)
    main.field("确认密码").click()
    j.desktop.type("abc123")
    taken = {label: main.field(label).text for label in ("请输入密码", "确认密码")}
    expect(taken == {"请输入密码": "abc123", "确认密码": "abc123"}, f"the boxes took {taken}")


def compose_symbols(desktop):
    """Commits "¡«»" through the input method's compose sequences. Typed without an input
    method, the keys of these sequences are symbols that the password rule refuses too."""
    desktop.bind_keys("Multi_key")
    desktop.key("Multi_key", "exclam", "exclam", "Multi_key", "less", "less",
                "Multi_key", "greater", "greater")


def visit_host_without_scheme(j):
    """访问 opens a home page typed as a host name as a web address; an address with a
    scheme goes to the desktop exactly as typed."""
    program = j.started()
    main = program.log_in()
    for typed in ("www.example.com", "https://example.org/a?b=1"):
        main.fill("主页", typed)
        main.button("访问").click()
        until(f"the desktop to be asked to open {typed!r}",
              lambda: len(program.opened_addresses()) == 1 + (typed[0] == "h"))
    host, exact = program.opened_addresses()
    parts = urlsplit(host)
    expect(parts.scheme in ("http", "https") and parts.hostname == "www.example.com",
           f"the desktop was asked to open {host!r}")
    expect(exact == "https://example.org/a?b=1", f"the address {exact!r} was changed")


def clock_without_zone(j):
    """The clock in the status bar shows the date and time without a time zone."""
    program = j.started()
    main = program.log_in()
    clock = until("the clock", lambda: TIME.search(main.status()[2]) and main.status()[2])
    expect(not re.search(r"UTC|GMT|[+-]\d\d:?\d\d", clock), f"the clock reads {clock!r}")


def windows_appear_once(j):
    """The login window at the start, and the main window after the right password, each
    appear once: mapped already at their final skinned size and place."""
    program = j.program()
    watch = j.desktop.watch_windows()
    program.start()
    login = program.window("管理登录")
    expect_shown_once(j, program, watch, "管理登录")
    login.find("password text").focus()
    j.desktop.type(INITIAL_PASSWORD)
    watch = j.desktop.watch_windows()
    j.desktop.key("Return")
    program.window("Quillory")
    expect_shown_once(j, program, watch, "Quillory")


def expect_shown_once(j, program, watch, caption):
    window = until(f"the window {caption!r} on screen", lambda: program.x_window(caption))
    until(f"the window {caption!r} to settle", lambda: settled(j.desktop, window), timeout=5)
    shown = WindowWatch.shown_rects(watch.stop(), window)
    final = j.desktop.geometry(window)[0]
    expect(shown == [final], f"the window {caption!r} was shown at "
           + ", then ".join(map(str, shown)) + f" (final {final})")


def settled(desktop, window, quiet=0.5):
    first = desktop.geometry(window)[0]
    time.sleep(quiet)
    last = desktop.geometry(window)[0]
    return first is not None and first == last


def tab_leaves_memos(j):
    """Tab moves the focus out of 备注 and out of the About page's memo; it types nothing."""
    program = j.started()
    main = program.log_in()
    remark = main.field("备注")
    remark.focus()
    j.desktop.type("a")
    j.desktop.key("Tab")
    j.desktop.type("b")
    typed = remark.text
    main.page("关于我们")
    memo = until("the About page's memo", lambda: next(
        (e for e in main.element.find_all("text") if e.text.startswith("更新说明")), None))
    before = memo.text
    memo.focus()
    j.desktop.key("ctrl+End", "Tab")
    expect((typed, memo.text) == ("a", before),
           f"Tab was typed: 备注 holds {typed!r}, the About memo {memo.text!r}")


def category_taken_as_typed(j):
    """A typed category is taken whole and as typed: "QQ" can be added beside "QQ帐号", and a
    record stores "qq帐号" as typed."""
    program = j.started()
    main = program.log_in()
    main.field("分类").focus()
    j.desktop.type("QQ")
    main.button("+").click()
    box = program.message()
    added = box.text
    box.press()
    main.fill("分类", "qq帐号")
    main.fill("姓名", "小明")
    main.button("添加").click()
    program.message().press()
    stored = [r["分类"] for r in program.records()]
    expect((added, program.categories()[-1:], stored) == ("新分类添加成功.", ["QQ"], ["qq帐号"]),
           f"adding 'QQ' answered {added!r} (class.dat ends {program.categories()[-1:]}); "
           f"the record typed 'qq帐号' stored {stored}")


def typed_category_not_picked(j):
    """A category typed in full and left with Tab is not picked: "-" removes nothing."""
    program = j.started()
    main = program.log_in()
    main.field("分类").focus()
    j.desktop.type("QQ帐号")
    j.desktop.key("Tab")
    main.button("-").click()
    program.message().expect("您真的要删除该分类吗?", caption="警告").press(YES)
    expect("QQ帐号" in program.categories(), f"class.dat lost QQ帐号: {program.categories()}")


def paste_filters_once(j):
    """Pasting a category into the filter box runs the filter once."""
    program = j.started()
    main = program.log_in()
    j.desktop.hold_clipboard("游戏帐号")
    main.field("按分类查看").focus()
    j.desktop.key("ctrl+v")
    program.message().expect("对不起该分类下还没有信息").press()
    program.no_message(within=1.5, what="the filter ran again")


def wheel_spares_unfocused_boxes(j):
    """The wheel over the filter box or the search-field box changes neither while another
    control has the focus, and runs no filter."""
    program = j.started(seed=[RECORD])
    main = program.log_in()
    main.wait_status("共1条信息")
    main.field("姓名").focus()
    for box in (main.field("按分类查看"), main.search_field()):
        before = box.find("text").text
        box.wheel()
        program.no_message(within=1.0, what="the wheel ran the filter")
        expect(box.find("text").text == before,
               f"the wheel changed an unfocused box from {before!r} to {box.find('text').text!r}")
    expect(main.status()[0] == "共1条信息", f"the status bar reads {main.status()}")


def failed_clear_all_shows_the_file(j):
    """A clear all that fails (another process holds the database) leaves the list showing
    what the file holds."""
    program = j.started(seed=numbered(2))
    main = program.log_in()
    main.wait_status("共2条信息")
    holder = hold_database(j, program)
    main.page("软件设置").button("清空数据").click()
    program.message().press(YES)
    main.page("通讯录管理")
    try:  # the program may wait for the lock a while before it gives up
        until("the list to show the two records",
              lambda: [r[2] for r in main.rows()] == ["R01", "R02"], timeout=15)
    except Failure:
        raise Failure(f"after the failed clear all the grid shows {main.rows()} while the "
                      "file holds R01 and R02") from None
    finally:
        j.suite.processes.stop(holder)
    expect(len(program.records()) == 2, "the records are gone from the file")


def hold_database(j, program):
    """Another process takes the database's write lock and keeps it."""
    holder = j.suite.processes.start(["stdbuf", "-oL", "sqlcipher", str(program.file("_.udb"))],
                                     None, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    holder.stdin.write(f"{SHELL_KEY}BEGIN IMMEDIATE;\nselect 'held';\n".encode())
    holder.stdin.flush()
    expect(holder.stdout.readline().strip() == b"held", "could not lock the database")
    return holder


def failed_compaction_says_it_once(j):
    """A failed compaction says "数据库压缩失败." and nothing more."""
    program = j.started(seed=[RECORD])
    main = program.log_in()
    with open(program.file("_.udb"), "r+b") as database:  # damage the first page
        database.write(b"\xff" * 64)
    main.page("软件设置").button("压缩修复").click()
    program.message().expect("数据库压缩失败.").press()
    program.no_message(within=1.5, what="a further message followed the failure")


def search_field_with_blanks(j):
    """A search field typed with a blank after it ("姓名 ") searches that column."""
    program = j.started(seed=[RECORD])
    main = program.log_in()
    main.search_field().focus()
    j.desktop.key("ctrl+a", "BackSpace")
    j.desktop.type("姓名 ")
    main.keyword_box().focus()
    j.desktop.type("张")
    main.button("搜索").click()
    program.no_message(within=1.0, what="the search failed")
    main.wait_status("关于张的信息,共搜索到1条")


def written_files_keep_their_mode(j):
    """Files written in place of others keep their permissions: "class.dat", the compacted
    database and the password backup (a copy of the 0600 database)."""
    program = j.program(seed=[RECORD])
    program.file("class.dat").write_bytes("网站帐号\r\n".encode("gb18030"))
    program.file("class.dat").chmod(0o600)
    program.start()
    main = program.log_in()
    main.field("分类").focus()
    j.desktop.type("新分类")
    main.button("+").click()
    program.message().expect("新分类添加成功.").press()
    main.page("软件设置").button("压缩修复").click()
    program.message().expect("数据库压缩完成.").press()
    main.fill("请输入密码", "Other1")
    main.fill("确认密码", "Other1")
    main.button("确定").click()
    program.message().expect("密码设置成功,请重新登录Tallykeep.").press()
    program.ended()
    modes = {path.name: oct(mode_of(path)) for path in sorted(program.folder.iterdir())
             if path.name != "Kestrelle"}
    expect(set(modes.values()) == {"0o600"}, f"the files have the modes {modes}")


def wheel_on_scroll_bar_moves_record(j):
    """Every wheel turn that reaches the grid moves the current record, also over its
    scroll bar: the delete that follows takes the second record."""
    program = j.started(seed=numbered(30))
    main = program.log_in()
    main.wait_status("共30条信息")
    grid = main.grid().rect
    main.grid().wheel(at=(grid.right - 9, grid.y + grid.height // 2))
    main.button("删除").click()
    program.message().press(YES)
    until("a record to go", lambda: len(program.records()) == 29)
    gone = sorted({f"R{n:02}" for n in range(1, 31)} - {r["姓名"] for r in program.records()})
    expect(gone == ["R02"], f"the wheel over the scroll bar left the current record; "
                            f"the delete took {gone}")


def long_values_kept(j):
    """A value longer than 32,767 characters survives a grid click and 修改."""
    long_name = "x" * 40000
    program = j.started(seed=[dict(RECORD, 姓名=long_name)])
    main = program.log_in()
    main.wait_status("共1条信息")
    main.click_row(0)
    main.button("修改").click()
    program.message().expect("修改成功.").press()
    stored = len(program.records()[0]["姓名"])
    expect(stored == len(long_name), f"the name was cut to {stored} characters")


def unit_tests_leave_real_copy_alone(j):
    """The start-up unit tests pass while a real copy runs for the same user, and leave it
    and its files alone."""
    unit_tests = j.suite.unit_tests
    expect((unit_tests / "tests" / "test_forms").exists(),
           f"no unit-test build in {unit_tests} (build it as ./test.sh does)")
    user = j.started()
    user.window("管理登录")
    desktop_before = sorted(p.name for p in (user.home / "Desktop").iterdir())
    session = user.environment()  # the user's: the same HOME, runtime folder and display
    del session["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"]
    done = subprocess.run(["ctest", "--test-dir", str(unit_tests), "-R", r"^StartupTest\.",
                           "--output-on-failure"], env=session, capture_output=True,
                          text=True, timeout=300, check=False)
    failed = re.findall(r"^\s*\d+ - (\S+) \(Failed\)", done.stdout, re.M)
    expect(done.returncode == 0 and "tests passed" in done.stdout,
           f"with a real copy running, these unit tests fail: {failed or done.stdout[-300:]}")
    expect(user.running(), "the real copy ended")
    expect(sorted(p.name for p in (user.home / "Desktop").iterdir()) == desktop_before,
           "the unit tests wrote into the user's desktop folder")


def password_not_on_accessibility_bus(j):
    """The hidden attempt counter is not on the accessibility bus, nor, after the login, is any
    object that holds the password."""
    program = j.started()
    wait_status(program.enter_password("Wrong1"), "密码错误...1次")
    app = program.app()
    counters = [f"{e.role} {e.name!r}" for e in app.descendants(showing=False)
                if "1" in (e.name, safe_text(e))]
    expect(not counters, f"the accessibility bus hands out the attempt counter: {counters}")
    program.log_in()
    leaks = [f"{e.role} {e.text!r}" for e in app.descendants(showing=False)
             if INITIAL_PASSWORD in e.name or INITIAL_PASSWORD in safe_text(e)]
    expect(not leaks, f"the accessibility bus hands out the password: {leaks}")


def safe_text(element):
    try:
        return element.text
    except GLib.Error:  # an object that went away meanwhile
        return ""


JOURNEYS = [
    ("warning-box-layout", warning_box_inside_its_frame),
    ("minimised-restored", minimised_window_restored),
    ("tray-skip-taskbar", no_taskbar_entry_in_tray),
    ("titles-exact", window_titles_exact),
    ("no-tray-login-close", login_closed_without_tray),
    ("qt-texts-chinese", qt_texts_in_chinese),
    ("password-input-method", password_boxes_refuse_input_method),
    ("password-compose-next-box", password_compose_then_next_box),
    ("visit-without-scheme", visit_host_without_scheme),
    ("clock-without-zone", clock_without_zone),
    ("login-no-flash", windows_appear_once),
    ("tab-leaves-memo", tab_leaves_memos),
    ("category-as-typed", category_taken_as_typed),
    ("category-typed-not-picked", typed_category_not_picked),
    ("paste-filters-once", paste_filters_once),
    ("wheel-unfocused-combo", wheel_spares_unfocused_boxes),
    ("clear-all-failure-shown", failed_clear_all_shows_the_file),
    ("compaction-failure-once", failed_compaction_says_it_once),
    ("search-field-blanks", search_field_with_blanks),
    ("file-modes-kept", written_files_keep_their_mode),
    ("wheel-on-scroll-bar", wheel_on_scroll_bar_moves_record),
    ("long-values-kept", long_values_kept),
    ("unit-tests-real-copy", unit_tests_leave_real_copy_alone),
    ("password-not-exposed", password_not_on_accessibility_bus),
]
