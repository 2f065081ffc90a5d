"""One copy of Quillory as the journeys meet it: a program folder of its own
(the release program beside a fresh "_.udb"), its own HOME and runtime folder,
its windows on the accessibility bus and its files on disk."""

import os
import re
import subprocess
import time

from desktop import (BOX_ROLES, SHELL_KEY, Atspi, INITIAL_PASSWORD, USERS_LOCALE, Element,
                     Failure, application_of, clean_environment, copy_program, expect, stays,
                     until)

COLUMNS = ["编号", "分类", "姓名", "QQ", "手机", "电话", "传真", "邮箱", "主页", "备注"]
YES = re.compile(r"^(&?Yes|是)")
NO = re.compile(r"^(&?No|否)")


class Program:
    def __init__(self, suite, root, desktop, lang=USERS_LOCALE):
        self.suite = suite
        self.desktop = desktop
        self.lang = lang
        self.root = root
        self.folder = root / "folder"
        self.home = root / "home"
        self.runtime = root / "runtime"
        self.opened = root / "opened.txt"
        copy_program(suite.build, self.folder)
        (self.home / "Desktop").mkdir(parents=True)  # a user's desktop folder exists
        self.runtime.mkdir(mode=0o700)
        self.process = None
        self.log = None

    # --- the process -------------------------------------------------------

    def environment(self, **extra):
        locales = self.suite.locale_paths.get(self.lang)
        env = clean_environment({
            "DBUS_SESSION_BUS_ADDRESS": self.suite.bus_env["DBUS_SESSION_BUS_ADDRESS"],
            "XDG_RUNTIME_DIR": str(self.runtime),
            "HOME": str(self.home),
            "PATH": f"{self.suite.fake_bin}:{os.environ.get('PATH', '/usr/bin:/bin')}",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_IM_MODULE": "compose",
            "QUILLORY_E2E_OPENED": str(self.opened),
        }, lang=self.lang)
        if locales:
            env["LOCPATH"] = str(locales)
        env.update(self.desktop.program_env())
        env.update(extra)
        return env

    def start(self, prefix=(), **env):
        """Starts the program; prefix is a command that runs it (such as setpriv)."""
        self.stop()
        self.log = open(self.root / "program.log", "ab")
        self.process = self.suite.processes.start(
            [*prefix, str(self.folder / "Kestrelle")], self.environment(**env), cwd=self.folder,
            stdout=self.log, stderr=subprocess.STDOUT)
        return self

    @property
    def pid(self):
        return self.process.pid

    def running(self):
        return self.process is not None and self.process.poll() is None

    def ended(self, timeout=10.0, what="the program to end"):
        until(what, lambda: not self.running(), timeout)
        return self.process.returncode

    def stop(self):
        if self.process is not None:
            self.suite.processes.stop(self.process)
        if self.log:
            self.log.close()
            self.log = None

    # --- windows -----------------------------------------------------------

    def app(self, timeout=15.0):
        return until("the program on the accessibility bus",
                     lambda: application_of(self.pid, self.desktop), timeout)

    def top_levels(self):
        app = application_of(self.pid, self.desktop)
        return [w for w in app.children() if w.showing] if app else []

    def window(self, caption, timeout=15.0):
        """A window (not a message box) on screen with this caption, once it has settled."""
        return self.settled(until(f"the window {caption!r}", lambda: next(
            (w for w in self.top_levels() if w.role not in BOX_ROLES and w.name == caption),
            None) if self.running() else _ended(), timeout))

    def message(self, timeout=10.0):
        """The message box on screen, once it has settled."""
        return self.settled(until("a message box", lambda: self.box() if self.running()
                                  else _ended(), timeout))

    def settled(self, window):
        """Waits until a new window has its skin and stays put. Just after a window first
        appears the skin takes the window manager's frame away and resizes and moves the
        window; a click aimed at it meanwhile lands elsewhere."""
        def still():
            first = window.rect
            time.sleep(0.1)
            return window.rect == first and self.desktop.shows_settled(self, first)
        until(f"{window} to settle", still)
        return window

    def no_message(self, within=1.0, what="an unexpected message box"):
        stays(what, lambda: self.box(), within)

    def box(self):
        """The message box on screen now, if any; of stacked boxes the active one."""
        boxes = [w for w in self.top_levels() if w.role in BOX_ROLES]
        if not boxes:
            return None
        top = next((b for b in boxes if b.has_state(Atspi.StateType.ACTIVE)), boxes[-1])
        return MessageBox(top.accessible, self.desktop, self)

    def x_windows(self):
        """The program's windows on screen, less its icon in the notification area."""
        tray = self.desktop.tray_rect()
        shown = [(w, self.desktop.geometry(w)[0]) for w in self.desktop.windows_of(self.pid)]
        return [w for w, rect in shown if rect and not (tray and tray.contains(rect))]

    def x_window(self, caption):
        """The X window with this caption (the accessibility bus gives no window ids)."""
        for window in self.x_windows():
            if re.match(rf"^{re.escape(caption)}( — .*)?$", self.desktop.title(window) or ""):
                return window
        return None

    def enter_password(self, password):
        """Types a password into the login window and presses Return once the box shows as
        many characters as were typed; answers the window."""
        login = self.window("管理登录")
        box = login.find("password text")
        box.focus()  # a click also empties the box
        self.desktop.type(password)

        def all_shown():
            count = self.desktop.glyph_count(box.rect)
            return count if count >= len(password) else None
        shown = until(f"the {len(password)} characters typed in the login box", all_shown)
        expect(shown == len(password),
               f"the login box shows {shown} characters where {len(password)} were typed")
        self.desktop.key("Return")
        return login

    def log_in(self, password=INITIAL_PASSWORD):
        self.enter_password(password)
        return MainWindow(self.window("Quillory"), self)

    def click_tray_icon(self, button=1):
        icon = until("the tray icon", lambda: self.desktop.tray_icon_of(self.pid))
        self.desktop.click_at(icon.centre, button)

    # --- files -------------------------------------------------------------

    def file(self, name):
        return self.folder / name

    def sql(self, script, database="_.udb"):
        """Runs statements in the sqlcipher shell; answers the rows it prints."""
        done = subprocess.run(["sqlcipher", str(self.file(database))],
                              input=f"{SHELL_KEY}.separator |\n{script}\n",
                              capture_output=True, text=True, timeout=20, check=False)
        expect(done.returncode == 0 and "Error" not in done.stderr,
               f"sqlcipher: {done.stderr.strip()}")
        return [line.split("|") for line in done.stdout.splitlines() if line]

    def records(self, database="_.udb"):
        """The stored records in order, each text read back exactly (as hex of its bytes)."""
        hexed = ",".join(f"hex({c})" for c in COLUMNS[1:])
        rows = self.sql(f"select {hexed} from data order by 编号;", database)
        return [dict(zip(COLUMNS[1:], (bytes.fromhex(v).decode() for v in row))) for row in rows]

    def seed(self, *records):
        """Stores records straight into the database, before the program starts."""
        values = ",".join(
            "(" + ",".join(_quoted(record.get(c, "")) for c in COLUMNS[1:]) + ")"
            for record in records)
        self.sql(f"insert into data ({','.join(COLUMNS[1:])}) values {values};")

    def stored_password(self, database="_.udb"):
        return self.sql("select 密码 from Pass;", database)[0][0]

    def categories(self):
        data = self.file("class.dat").read_bytes()
        expect(data == b"" or data.endswith(b"\r\n"), f"class.dat does not end with CRLF: {data!r}")
        return data.decode("gb18030").split("\r\n")[:-1] if data else []

    def opened_addresses(self):
        return self.opened.read_text().splitlines() if self.opened.exists() else []


def _ended():
    raise Failure("the program has ended")


def _quoted(value):
    return "'" + value.replace("'", "''") + "'"


def status_panels(window):
    """The panels of a window's status bar, left to right, as a screen reader reads them."""
    frame = window.rect
    panels = [e for e in window.find_all("label") if e.rect.bottom >= frame.bottom - 30
              and e.rect.height > 0]
    return [p.name for p in sorted(panels, key=lambda p: p.rect.x)]


def wait_status(window, text, panel=0, timeout=10.0):
    def panel_text():
        panels = status_panels(window)
        return panels[panel] if len(panels) > panel else None
    try:
        until(f"status panel {panel} to read {text!r}", lambda: panel_text() == text, timeout)
    except Failure as failure:
        raise Failure(f"{failure}; the status bar reads {status_panels(window)}") from None


class MessageBox(Element):
    def __init__(self, accessible, desktop, program):
        super().__init__(accessible, desktop)
        self.program = program

    @property
    def caption(self):
        return self.name

    @property
    def text(self):
        return "\n".join(label.name for label in self.find_all("label") if label.name)

    @property
    def buttons(self):
        return self.find_all("push button")

    def press(self, name=None):
        """Clicks the button with this name (the only button when none is given)."""
        buttons = [b for b in self.buttons if name is None or re.search(name, b.name)]
        expect(len(buttons) == 1, f"the box {self.text!r} has the buttons "
                                  f"{[b.name for b in self.buttons]}")
        # A box is gone when its X window is: a further box may follow at once in its place.
        before = set(self.program.x_windows())
        buttons[0].click()
        until(f"the box {self.text!r} to close", lambda: before - set(self.program.x_windows()))

    def __repr__(self):
        return f"the box {self.caption!r}: {self.text!r}"

    def expect(self, text, caption="Quillory"):
        expect((self.caption, self.text) == (caption, text),
               f"expected the box {caption!r}: {text!r}, saw {self.caption!r}: {self.text!r}")
        return self


class MainWindow:
    """The main window's controls, found as a user finds them: by their captions."""

    def __init__(self, element, program):
        self.element = element
        self.program = program
        self.desktop = program.desktop

    def field(self, label):
        return self.element.beside(label)

    def search_field(self):
        return self.element.next_to(self.keyword_box(), ("combo box",), left=True)

    def keyword_box(self):
        return self.element.next_to(self.button("搜索"), ("text",), left=True)

    def pick(self, combo, item):
        """Opens a drop-down list with the mouse and clicks one of its items."""
        rect = combo.rect
        combo.click(at=(rect.right - 8, rect.y + rect.height // 2))
        choice = until(f"the item {item!r} in the open list", lambda: next(
            (e for e in combo.find_all("list item", item) if e.rect.x > 0 and e.rect.y > 0),
            None))
        choice.click()
        until("the list to close", lambda: not any(
            e.rect.x > 0 for e in combo.find_all("list item")))

    def button(self, caption):
        return self.element.find("push button", caption)

    def page(self, caption):
        self.element.find("page tab", caption).click()
        return self

    def fill(self, label, text):
        """Replaces the text of the field beside a label, typing as a user does."""
        self.field(label).focus()
        self.desktop.key("ctrl+a", "BackSpace")
        self.desktop.type(text)

    def status(self):
        return status_panels(self.element)

    def wait_status(self, text, panel=0, timeout=10.0):
        return wait_status(self.element, text, panel, timeout)

    def grid(self):
        return self.element.find("table")

    def rows(self):
        """The grid's rows as a screen reader reads them (shown columns only)."""
        table = self.grid().accessible
        shown = []
        for r in range(Atspi.Table.get_n_rows(table)):
            cells = [Element(Atspi.Table.get_accessible_at(table, r, c), self.desktop)
                     for c in range(Atspi.Table.get_n_columns(table))]
            shown.append([cell.name for cell in cells if cell.rect.width > 0])
        return shown

    def click_row(self, row):
        table = self.grid().accessible
        cell = Element(Atspi.Table.get_accessible_at(table, row, 2), self.desktop)
        cell.click()
