#!/usr/bin/python3
"""Takes the documentation's screenshots from the release program on the journeys' desktop.

    tests/e2e/screenshots.py [BUILD] [FOLDER]     (default: build, docs/screenshots)

Each picture is one window as the desktop shows it (window manager, notification area),
cut out of the screen: the login window, the main window's three pages, the import's
preview of a Google Contacts table and of cards with a repair, a confirmation and the tray
menu.
"""

import argparse
import sys
from pathlib import Path

import shutil

from desktop import until
from flows import LI, WANG, ZHANG
from imports import FIXTURES, open_import, preview_window
from journeys import Journey, Suite
from program import NO

RECORDS = [ZHANG, LI, WANG,
           {"分类": "邮箱帐号", "姓名": "赵敏", "QQ": "10004", "邮箱": "zhaomin@example.com",
            "主页": "www.example.com"},
           {"分类": "银行帐号", "姓名": "钱多多", "手机": "13900000005", "备注": "工资卡\r\n开户行: 城东支行"}]


def shoot(desktop, window, path):
    """Cuts one window out of the screen."""
    rect = until(f"the window {window} on screen", lambda: desktop.geometry(window)[0])
    desktop.run(["import", "-window", "root", "-crop",
                 f"{rect.width}x{rect.height}+{rect.x}+{rect.y}", "+repage", str(path)])
    print(f"{path}: {rect.width}x{rect.height}")


def take(j, folder):
    program = j.started(seed=RECORDS)
    program.window("管理登录")
    shoot(j.desktop, program.x_window("管理登录"), folder / "login.png")

    main = program.log_in()
    main.wait_status(f"共{len(RECORDS)}条信息")
    main.click_row(3)
    until("the editor to show the record", lambda: main.field("姓名").text == "赵敏")
    window = program.x_window("Quillory")
    shoot(j.desktop, window, folder / "main-records.png")
    main.page("软件设置")
    shoot(j.desktop, window, folder / "main-settings.png")
    main.page("关于我们")
    shoot(j.desktop, window, folder / "main-about.png")

    for fixture, button, picture in [("google_new.csv", "导入表格", "import-preview.png"),
                                     ("android_stray_byte.vcf", "导入名片", "import-preview-repairs.png")]:
        path = program.home / fixture
        shutil.copyfile(FIXTURES / fixture, path)
        open_import(j, program, main.page("软件设置"), button, path)
        preview_window(program).find("push button", "取消")
        shoot(j.desktop, program.x_window("导入预览"), folder / picture)
        j.desktop.key("Escape")
        until("the preview to close", lambda: not any(w.name == "导入预览" for w in program.top_levels()))

    main.page("软件设置").button("清空数据").click()
    box = program.message()
    shoot(j.desktop, program.x_window("警告"), folder / "message-box.png")
    box.press(NO)

    before = set(j.desktop.windows_of(program.pid))
    program.click_tray_icon(button=3)
    menu = until("the tray menu", lambda: next(iter(set(j.desktop.windows_of(program.pid)) - before), None))
    j.desktop.move_to(j.desktop.geometry(menu)[0].centre)  # one item lit, as under a user's pointer
    shoot(j.desktop, menu, folder / "tray-menu.png")
    j.desktop.key("Escape")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", nargs="?", default="build", type=Path)
    parser.add_argument("folder", nargs="?", default="docs/screenshots", type=Path)
    args = parser.parse_args()
    args.folder.mkdir(parents=True, exist_ok=True)
    suite = Suite(args.build.resolve(), None)
    try:
        suite.start()
        journey = Journey(suite, "screenshots")
        try:
            take(journey, args.folder.resolve())
        finally:
            journey.close()
    finally:
        suite.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
