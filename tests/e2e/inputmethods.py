"""Real input methods in the program's boxes: Qt's compose input method (the journeys'
default) and a Chinese one, fcitx5 with its pinyin engine, started for a journey on the
session's display with a configuration of its own."""

import shutil
import subprocess
import time

from desktop import Failure, expect, until

# The keys that switch between the keyboard layout (first) and pinyin (second).
TRIGGER = "ctrl+space"
# Only what typing pinyin into a Qt program needs: no tray icon, no network, no
# clipboard history, nothing that learns from one journey for the next.
ADDONS = "xcb,dbus,dbusfrontend,keyboard,pinyin,punctuation,classicui"

PROFILE = """[Groups/0]
Name=Default
Default Layout=us
DefaultIM=keyboard-us

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=pinyin
Layout=

[GroupOrder]
0=Default
"""

CONFIG = f"""[Hotkey]
EnumerateWithTriggerKeys=True

[Hotkey/TriggerKeys]
0=Control+space

[Behavior]
ActiveByDefault=False
ShareInputState=No
ShowInputMethodInformation=False
"""

# Pinyin without cloud candidates, prediction or the history of earlier input, so that a
# syllable string always gives the language model's first candidate.
PINYIN = """CloudPinyinEnabled=False
Prediction=False
PageSize=5
"""


class Fcitx:
    """fcitx5 on the session's display, its configuration under the session's HOME; what it
    learns while it runs (the pinyin history) is dropped before each start."""

    def __init__(self, suite, desktop):
        self.suite = suite
        self.desktop = desktop
        self.home = suite.work / "home"
        self.process = None

    def start(self):
        if shutil.which("fcitx5") is None:
            raise Failure("fcitx5 is not installed (scripts/packages.sh test)")
        config = self.home / ".config" / "fcitx5"
        (config / "conf").mkdir(parents=True, exist_ok=True)
        (config / "profile").write_text(PROFILE)
        (config / "config").write_text(CONFIG)
        (config / "conf" / "pinyin.conf").write_text(PINYIN)
        shutil.rmtree(self.home / ".local" / "share" / "fcitx5", ignore_errors=True)
        env = dict(self.desktop.env, HOME=str(self.home), XDG_CONFIG_HOME=str(self.home / ".config"),
                   XDG_DATA_HOME=str(self.home / ".local" / "share"),
                   XDG_CACHE_HOME=str(self.home / ".cache"),
                   DBUS_SESSION_BUS_ADDRESS=self.suite.bus_env["DBUS_SESSION_BUS_ADDRESS"])
        # Ended with the journey's other helpers.
        with open(self.home / "fcitx5.log", "ab") as log:
            self.process = self.suite.processes.start(
                ["fcitx5", "-D", "--disable=all", f"--enable={ADDONS}", "-u", "classicui"], env,
                stdout=log, stderr=subprocess.STDOUT)
        until("fcitx5 on the session bus", self.ready, timeout=20)
        return self

    def ready(self):
        if self.process.poll() is not None:
            raise Failure(f"fcitx5 ended: {(self.home / 'fcitx5.log').read_text(errors='replace')[-400:]}")
        done = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                               "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                               "string:org.fcitx.Fcitx5"],
                              env=dict(self.desktop.env,
                                       DBUS_SESSION_BUS_ADDRESS=self.suite.bus_env["DBUS_SESSION_BUS_ADDRESS"]),
                              capture_output=True, text=True, check=False)
        return "boolean true" in done.stdout


def with_fcitx(j):
    """A program that uses fcitx5, which runs for this journey only."""
    Fcitx(j.suite, j.desktop).start()
    return j.started(QT_IM_MODULE="fcitx", XMODIFIERS="@im=fcitx")


def pinyin(desktop, syllables, commit="space"):
    """Types pinyin syllables and commits the first candidate."""
    desktop.type(syllables)
    time.sleep(0.3)  # the candidates are looked up as the keys come
    desktop.key(commit)


def fcitx_pinyin(j):
    """With fcitx5's pinyin on: "zhangsan" and space give 张三 in 姓名 and in the search box; the
    password boxes take only what the keys typed; 备注 takes a whole Chinese sentence."""
    program = with_fcitx(j)
    main = program.log_in()
    main.field("姓名").focus()
    j.desktop.key(TRIGGER)  # pinyin on, for this window
    pinyin(j.desktop, "zhangsan")
    until("张三 in 姓名", lambda: main.field("姓名").text == "张三")
    main.keyword_box().focus()
    pinyin(j.desktop, "zhangsan")
    until("张三 in the search box", lambda: main.keyword_box().text == "张三")
    main.field("备注").focus()
    pinyin(j.desktop, "jintiantianqihenhao")
    j.desktop.key("period")
    until("a sentence in 备注", lambda: main.field("备注").text == "今天天气很好。")
    main.page("软件设置")
    for label in ("请输入密码", "确认密码"):
        main.field(label).focus()
        j.desktop.type("zhang1")
        j.desktop.key("space")  # a blank: refused, with the beep
    taken = {label: main.field(label).text for label in ("请输入密码", "确认密码")}
    expect(taken == {"请输入密码": "zhang1", "确认密码": "zhang1"}, f"the password boxes took {taken}")


JOURNEYS = [
    ("fcitx-pinyin", fcitx_pinyin),
]
