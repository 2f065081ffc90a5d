"""A virtual desktop for the journeys, seen and driven only from outside.

One session runs an X server (Xvfb), a window manager (openbox), a
notification-area host (trayer), a D-Bus session bus and the accessibility
bus. Programs run on it in folders of their own; the journeys read them as a
person and a screen reader would: X11 input through xdotool, window-manager
state through xprop and xwininfo, the accessibility tree, screenshots, the
files on disk and the database through the sqlcipher shell.
"""

import os
import re
import shutil
import signal
import subprocess
import time
from pathlib import Path

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

INITIAL_PASSWORD = "Quillory2010"
DATABASE_KEY = "Rz4nKq8wTe2m"
# Keys the sqlcipher shell for "_.udb": a 4.x shell is told to read 3.x's format, which
# is the file's (a 3.x shell ignores that pragma); the "ok" a 4.x shell answers is not shown.
SHELL_KEY = (f".output /dev/null\nPRAGMA key='{DATABASE_KEY}';\n"
             "PRAGMA cipher_compatibility = 3;\n.output stdout\n")
SCREEN = "1024x768x24"
# The locale the program runs in: its users' Chinese desktop.
USERS_LOCALE = "zh_CN.UTF-8"
# A wait's time limit is when a step counts as slow; a busy machine may take
# that long, so a wait fails only after this many seconds (at least).
PATIENCE = float(os.environ.get("QUILLORY_E2E_PATIENCE", "60"))
# Roles under which message boxes appear on the accessibility bus.
BOX_ROLES = ("alert", "dialog")


class Failure(AssertionError):
    """A journey saw something a user should not see."""


def expect(condition, message):
    if not condition:
        raise Failure(message)


# The steps of the current journey that took longer than their time limit.
slow_steps = []


def until(what, check, timeout=10.0, patient=True):
    """Polls check() until it answers something true and returns that answer.

    A patient wait goes on past `timeout` up to PATIENCE and notes the step as
    slow; an impatient one (a probe that acts again when it times out) stops."""
    started = time.monotonic()
    answer = _poll(check, max(timeout, PATIENCE) if patient else timeout)
    took = time.monotonic() - started
    if not answer:
        raise Failure(f"timed out after {took:.0f} s waiting for {what}")
    if took > timeout:
        slow_steps.append(f"{what}: {took:.1f} s")
    return answer


def stays(what, check, within):
    """Fails when check() answers something true within `within` seconds."""
    answer = _poll(check, within)
    if answer:
        raise Failure(f"{what}: {answer}")


def _poll(check, seconds):
    """The first true answer of check() within the time, or the last false one.

    Accessibility calls may fail while a window comes or goes; such a failure
    counts as "not yet"."""
    deadline = time.monotonic() + seconds
    while True:
        pump_events()
        try:
            answer = check()
        except GLib.Error:
            answer = None
        if answer or time.monotonic() > deadline:
            return answer
        time.sleep(0.05)


# --- processes -------------------------------------------------------------

class Processes:
    """Every process the suite starts, each ended by its own id at the end.

    Helpers that spawn children of their own (the bus daemons) get a process
    group of their own, which is ended as a whole."""

    def __init__(self):
        self._started = []

    def start(self, args, env, group=False, **popen):
        popen.setdefault("stdout", subprocess.DEVNULL)
        popen.setdefault("stderr", subprocess.DEVNULL)
        process = subprocess.Popen(args, env=env, start_new_session=group, **popen)
        self._started.append((process, group))
        return process

    def stop(self, process, grace=2.0):
        group = next((g for p, g in self._started if p is process), False)
        for sig in (signal.SIGTERM, signal.SIGKILL):
            if process.poll() is not None:
                break
            try:
                if group:
                    os.killpg(process.pid, sig)
                else:
                    process.send_signal(sig)
            except ProcessLookupError:
                break
            try:
                process.wait(grace)
            except subprocess.TimeoutExpired:
                pass
        if group:  # children of the group may outlive its leader
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        self._started = [(p, g) for p, g in self._started if p is not process]

    def mark(self):
        """A mark to end what is started after it (see stop_since)."""
        return {id(process) for process, _ in self._started}

    def stop_since(self, mark):
        for process, _ in reversed(list(self._started)):
            if id(process) not in mark:
                self.stop(process)

    def stop_all(self):
        self.stop_since(set())


# --- accessibility ---------------------------------------------------------

_focus_events = []


def _remember_focus(event):
    if event.detail1:
        _focus_events.append(event.source)


def start_accessibility():
    """Connects to the accessibility bus of the session bus in os.environ."""
    Atspi.init()
    listener = Atspi.EventListener.new(_remember_focus)
    listener.register("object:state-changed:focused")
    start_accessibility.listener = listener  # kept alive for the whole run


def pump_events():
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def take_focus_events():
    pump_events()
    events = list(_focus_events)
    _focus_events.clear()
    return events


class Rect:
    def __init__(self, x, y, width, height):
        self.x, self.y, self.width, self.height = x, y, width, height

    @property
    def right(self):
        return self.x + self.width

    @property
    def bottom(self):
        return self.y + self.height

    @property
    def centre(self):
        return self.x + self.width // 2, self.y + self.height // 2

    def contains(self, other):
        return (self.x <= other.x and self.y <= other.y
                and other.right <= self.right and other.bottom <= self.bottom)

    def __eq__(self, other):
        return isinstance(other, Rect) and repr(self) == repr(other)

    def __repr__(self):
        return f"{self.width}x{self.height}+{self.x}+{self.y}"


class Element:
    """One object on the accessibility bus: a window, a control, a menu item."""

    def __init__(self, accessible, desktop):
        self.accessible = accessible
        self.desktop = desktop

    @property
    def role(self):
        return self.accessible.get_role_name()

    @property
    def name(self):
        return self.accessible.get_name() or ""

    @property
    def text(self):
        """What a screen reader reads from an editable text; a label's text is its name."""
        if "Text" not in self.accessible.get_interfaces():
            return self.name
        return Atspi.Text.get_text(self.accessible, 0, -1)

    @property
    def rect(self):
        """Where the object is on the screen, in the screen's pixels."""
        extents = Atspi.Component.get_extents(self.accessible, Atspi.CoordType.SCREEN)
        return self.desktop.on_screen(Rect(extents.x, extents.y, extents.width, extents.height),
                                      self)

    def has_state(self, state):
        self.accessible.clear_cache()  # states change without notice at times: read them afresh
        return self.accessible.get_state_set().contains(state)

    @property
    def showing(self):
        return self.has_state(Atspi.StateType.SHOWING)

    @property
    def focused(self):
        return self.has_state(Atspi.StateType.FOCUSED)

    def children(self):
        count = self.accessible.get_child_count()
        return [Element(self.accessible.get_child_at_index(i), self.desktop) for i in range(count)]

    def descendants(self, showing=True):
        """Every object below this one; with showing, only what is on screen."""
        for child in self.children():
            if showing and not child.showing:
                continue
            yield child
            yield from child.descendants(showing)

    def find_all(self, role=None, name=None, showing=True):
        return [e for e in self.descendants(showing)
                if (role is None or e.role == role) and (name is None or e.name == name)]

    def find(self, role=None, name=None, timeout=10.0):
        return until(f"a {role or 'control'} {name or ''} in {self.name!r}",
                     lambda: next(iter(self.find_all(role, name)), None), timeout)

    def beside(self, label, roles=("text", "combo box")):
        """The control to the right of a label, on the same line (a field and its caption)."""
        return self.next_to(self.find("label", label), roles)

    def next_to(self, anchor, roles, left=False):
        """The nearest control of one of these roles on the anchor's line, right or left of it."""
        mark = anchor.rect
        middle = mark.y + mark.height // 2
        line = [e for e in self.descendants() if e.role in roles
                and e.rect.width > 0 and e.rect.y <= middle <= e.rect.bottom]
        if left:
            found = [e for e in line if e.rect.right <= mark.x + 2]
            expect(found, f"nothing left of {anchor}")
            return max(found, key=lambda e: e.rect.x)
        found = [e for e in line if e.rect.x >= mark.right - 2]
        expect(found, f"nothing right of {anchor}")
        return min(found, key=lambda e: e.rect.x)

    def click(self, button=1, at=None):
        self.desktop.click_at(at or self.rect.centre, button)

    def focus(self):
        """Clicks into a control until it has the keyboard focus, so that typing reaches it
        (a window that has just appeared may not take the focus at the first click)."""
        def has_focus():
            return self.focused or any(child.focused for child in self.children())
        for _ in range(3):
            self.click()
            try:
                return until(f"the focus in {self}", has_focus, timeout=2, patient=False)
            except Failure:
                pass
        raise Failure(f"{self} does not take the focus")

    def wheel(self, down=True, at=None):
        self.click(5 if down else 4, at)

    def __repr__(self):
        return f"<{self.role} {self.name!r}>"


# --- the desktop -----------------------------------------------------------

class Desktop:
    """A display with a window manager and, when asked, a notification area; with a
    scale of 2, a HiDPI screen on which programs draw every pixel twice."""

    def __init__(self, processes, work, tray, screen=SCREEN, scale=1, window_manager=True):
        self.processes = processes
        self.work = work
        self.tray = tray
        self.screen = screen
        self.scale = scale
        self.window_manager = window_manager
        self.env = None
        self._spare_keys = None
        self._keys = {}  # keysym -> the spare key bound to it, least recently used first

    def start(self, base_env, attempts=3):
        """Starts the display, its window manager and, when asked, the notification area;
        a start that fails (a display server that dies young) is tried again afresh."""
        for attempt in range(1, attempts + 1):
            started = self.processes.mark()
            try:
                return self._start(base_env)
            except Failure:
                self.processes.stop_since(started)
                if attempt == attempts:
                    raise

    def _start(self, base_env):
        read_end, write_end = os.pipe()
        self.processes.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen,
                              "-nolisten", "tcp"], base_env, pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            display = numbers.readline().strip()
        expect(display, "Xvfb did not start")
        self.env = dict(base_env, DISPLAY=f":{display}")
        # No key auto-repeat: on a busy machine a key's release can come late enough for
        # the server to repeat the key, and a password gains a character.
        self.run(["xset", "r", "off"])
        if self.window_manager:
            self.processes.start(["openbox", "--config-file", "/etc/xdg/openbox/rc.xml"], self.env)
            until("the window manager", lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in
                  self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False))
        if self.tray:
            self.start_tray()
        return self

    def start_tray(self, attempts=2):
        """Starts the notification area (a tray host at the bottom right); answers its process.
        A host that does not come up (now and then one started just after another ended) is
        tried again."""
        for attempt in range(1, attempts + 1):
            host = self.processes.start(["trayer", "--edge", "bottom", "--align", "right",
                                         "--widthtype", "pixel", "--width", "100", "--height",
                                         "24"], self.env)
            try:
                until("the notification area", self.tray_rect)
                return host
            except Failure:
                self.processes.stop(host)
                if attempt == attempts:
                    raise
        return None

    def program_env(self):
        """What a program needs to run on this desktop."""
        env = {"DISPLAY": self.env["DISPLAY"], "QT_QPA_PLATFORM": "xcb"}
        if self.scale != 1:
            env["QT_SCALE_FACTOR"] = str(self.scale)
        return env

    def on_screen(self, rect, _element):
        """An object's place as the accessibility bus tells it (in the program's own
        pixels) in the screen's pixels, which a screen of scale 2 doubles."""
        return Rect(rect.x * self.scale, rect.y * self.scale, rect.width * self.scale,
                    rect.height * self.scale)

    def shows_settled(self, program, rect):
        """Whether the program has a window at that place without a window manager's frame."""
        return any(self.geometry(w)[0] == rect and self.unframed(w) for w in program.x_windows())

    def run(self, args, check=True, timeout=20, **kwargs):
        done = subprocess.run(args, env=self.env, capture_output=True, text=True,
                              timeout=timeout, check=False, **kwargs)
        if check and done.returncode != 0:
            raise Failure(f"{' '.join(args)} failed: {done.stderr.strip()}")
        return done.stdout

    def xdotool(self, *args):
        return self.run(["xdotool", *args])

    def key(self, *keys):
        self.xdotool("key", "--delay", "40", *keys)

    def type(self, text):
        self.bind_keys(*(f"U{ord(c):04X}" for c in text if ord(c) > 0x7e))
        self.xdotool("type", "--delay", "40", "--", text)

    def bind_keys(self, *keysyms):
        """Gives each keysym (a name such as "Multi_key", or "U4E00" for a character) a spare
        key of its own before it is typed. Left alone, xdotool binds a key for a keysym the
        keyboard lacks, presses it and unbinds it at once: a program that reads the new
        keyboard map a moment later finds nothing there and drops the key. Spare keys are
        reused, least recently bound first."""
        if self._spare_keys is None:
            self._spare_keys = [int(line.split()[1]) for line in
                                self.run(["xmodmap", "-pke"]).splitlines() if len(line.split()) <= 3]
        bindings = []
        for keysym in dict.fromkeys(keysyms):
            if keysym in self._keys:
                self._keys[keysym] = self._keys.pop(keysym)  # the most recently used comes last
                continue
            if self._spare_keys:
                key = self._spare_keys.pop()
            else:
                key = self._keys.pop(next(k for k in self._keys if k not in keysyms))
            self._keys[keysym] = key
            bindings += ["-e", f"keycode {key} = {keysym}"]
        if bindings:
            self.run(["xmodmap", *bindings])

    def screenshot(self, path):
        self.run(["import", "-window", "root", str(path)], check=False)

    def grab(self, rect, path):
        """Saves what the screen shows in rect as a picture file; answers its path."""
        self.run(["import", "-window", "root", "-crop",
                  f"{rect.width}x{rect.height}+{rect.x}+{rect.y}", "+repage", str(path)])
        return path

    def glyph_count(self, rect, inset=3):
        """How many characters a one-line box shows (a password box's stars or dots): the
        runs of columns inside its frame that hold a dark pixel. A lone column (the text
        cursor; up to three, smoothed, on a screen of scale 2) is no character."""
        pgm = subprocess.run(["import", "-window", "root", "-crop",
                              f"{rect.width}x{rect.height}+{rect.x}+{rect.y}", "+repage",
                              "-colorspace", "gray", "-depth", "8", "pgm:-"],
                             env=self.env, capture_output=True, timeout=20, check=True).stdout
        header = pgm.split(maxsplit=4)  # P5, width, height, 255, pixels
        width, height, pixels = int(header[1]), int(header[2]), header[4]
        dark = [any(pixels[y * width + x] < 160 for y in range(inset, height - inset))
                for x in range(inset, width - inset)]
        runs = [len(run) for run in "".join(".#"[d] for d in dark).split(".") if run]
        return sum(1 for run in runs if run > 2 * self.scale - 1)

    # Windows as the window manager and the X server see them.

    def windows_of(self, pid, visible=True):
        args = ["xdotool", "search", "--pid", str(pid)] + (["--onlyvisible"] if visible else [])
        return [int(w) for w in self.run(args, check=False).split()]

    def title(self, window):
        """The title the desktop shows (taskbars and window lists read _NET_WM_NAME)."""
        out = self.run(["xprop", "-id", str(window), "_NET_WM_NAME"], check=False)
        match = re.search(r'= "(.*)"$', out.strip())
        return match.group(1) if match else None

    def net_wm_state(self, window):
        return self.run(["xprop", "-id", str(window), "_NET_WM_STATE"], check=False)

    def unframed(self, window):
        """Whether the window manager draws no frame around the window (the skin draws it)."""
        out = self.run(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"], check=False)
        return out.strip().endswith("= 0, 0, 0, 0")

    def taskbar_entry(self, window):
        """Whether a taskbar lists the window, decided as taskbars decide: not when its state
        says skip-taskbar, nor when its window type is one that taskbars leave out."""
        out = self.run(["xprop", "-id", str(window), "_NET_WM_STATE", "_NET_WM_WINDOW_TYPE"],
                       check=False)
        if "_NET_WM_STATE_SKIP_TASKBAR" in out:
            return False
        kinds = re.findall(r"_NET_WM_WINDOW_TYPE_(\w+)", out)
        return not kinds or kinds[0] not in ("DESKTOP", "DOCK", "TOOLBAR", "MENU", "UTILITY",
                                             "SPLASH")

    def geometry(self, window):
        out = self.run(["xwininfo", "-id", str(window)], check=False)
        values = dict(re.findall(r"^\s*(Absolute upper-left [XY]|Width|Height|Map State):\s*(\S+)",
                                 out, re.M))
        if not values:
            return None, None
        rect = Rect(int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                    int(values["Width"]), int(values["Height"]))
        return rect, values["Map State"]

    def tray_rect(self):
        for window in self.run(["xdotool", "search", "--onlyvisible", "--class", "^trayer$"],
                               check=False).split():
            rect, state = self.geometry(window)
            if state == "IsViewable":
                return rect
        return None

    def tray_icon_of(self, pid):
        """The program's icon in the notification area, as an X window inside the tray host."""
        host = self.tray_rect()
        if host is None:
            return None
        for window in self.windows_of(pid):
            rect, _ = self.geometry(window)
            if rect and host.contains(rect):
                return rect
        return None

    def click_at(self, point, button=1):
        self.move_to(point)
        self.xdotool("click", str(button))

    def move_to(self, point):
        # xdotool's --sync waits for a motion that never comes when the pointer is there already.
        x, y = point
        here = dict(line.split("=") for line in self.xdotool("getmouselocation", "--shell").split())
        if (int(here["X"]), int(here["Y"])) != (x, y):
            self.xdotool("mousemove", "--sync", str(x), str(y))

    def popup_items(self, pid):
        """The items of the popup menu that is open now, read as a screen reader does: an
        item takes the focus at a Down key, and its menu lists them all. Down is pressed
        again until the menu, which may still be on its way, answers."""

        def focused_item():
            for source in take_focus_events():
                try:
                    if source.get_role_name() == "menu item" and source.get_process_id() == pid:
                        return source
                except GLib.Error:
                    pass
            return None

        deadline = time.monotonic() + 5
        while True:
            take_focus_events()
            self.key("Down")
            try:
                item = until("a focused menu item", focused_item, timeout=0.7, patient=False)
                break
            except Failure:
                if time.monotonic() > deadline:
                    raise
        menu = Element(item.get_parent(), self)
        return [e for e in menu.children() if e.role == "menu item" and e.name]

    def watch_windows(self):
        """Starts recording what happens to the top-level windows (see WindowWatch)."""
        return WindowWatch(self)

    # The clipboard, served and read by xclip as another program would.

    def hold_clipboard(self, text):
        server = self.processes.start(["xclip", "-selection", "clipboard", "-quiet"], self.env,
                                      stdin=subprocess.PIPE)
        server.stdin.write(text.encode())
        server.stdin.close()
        until("the clipboard to hold the text", lambda: self.clipboard() == text, timeout=5)
        return server

    def clipboard(self):
        done = subprocess.run(["xclip", "-selection", "clipboard", "-o"], env=self.env,
                              capture_output=True, timeout=5, check=False)
        return done.stdout.decode(errors="replace") if done.returncode == 0 else ""


class WindowWatch:
    """The structure events of the root window, as xev prints them: which windows are
    created, framed by the window manager, mapped and resized, in order."""

    def __init__(self, desktop):
        self.desktop = desktop
        self.log = desktop.work / f"xev-{time.monotonic_ns()}.log"
        self.output = open(self.log, "w")
        self.process = desktop.processes.start(
            ["stdbuf", "-oL", "xev", "-root", "-event", "substructure", "-event", "property"],
            desktop.env, stdout=self.output)
        until("xev to listen", self._hears_a_property_change, timeout=5)

    def _hears_a_property_change(self):
        self.desktop.run(["xprop", "-root", "-f", "QUILLORY_E2E", "8s", "-set", "QUILLORY_E2E",
                          str(time.monotonic())])
        time.sleep(0.1)
        return "PropertyNotify" in self.log.read_text()

    def stop(self):
        self.desktop.processes.stop(self.process)
        self.output.close()
        events = []
        for block in re.split(r"\n(?=\w+ event,)", self.log.read_text()):
            kind = block.split(" ", 1)[0]
            windows = re.findall(r"window (0x[0-9a-f]+)", block)
            place = re.search(r"\((-?\d+),(-?\d+)\), width (\d+), height (\d+)", block)
            parent = re.search(r"parent (0x[0-9a-f]+)", block)
            events.append({"kind": kind, "window": int(windows[-1], 16) if windows else None,
                           "parent": int(parent.group(1), 16) if parent else None,
                           "rect": Rect(*map(int, place.groups())) if place else None})
        return events

    @staticmethod
    def shown_rects(events, client):
        """Where and how large a client window was seen, from the first time it was mapped:
        one entry per map and per move or resize of the frames the window manager gave it."""
        frames = {e["parent"] for e in events if e["kind"] == "ReparentNotify"
                  and e["window"] == client}
        frames.add(client)
        mapped, rect_of, shown = set(), {}, []
        for event in events:
            window = event["window"]
            if window not in frames:
                continue
            if event["kind"] in ("CreateNotify", "ConfigureNotify") and event["rect"]:
                if window in mapped and event["rect"] != rect_of.get(window):
                    shown.append(event["rect"])
                rect_of[window] = event["rect"]
            elif event["kind"] == "MapNotify":
                mapped.add(window)
                shown.append(rect_of.get(window))
            elif event["kind"] == "UnmapNotify":
                mapped.discard(window)
        return shown


# --- the accessibility bus -------------------------------------------------

class Bus:
    """A D-Bus session bus with the accessibility bus that Qt programs join."""

    def __init__(self, processes, work):
        self.processes = processes
        self.work = work

    def start(self, base_env):
        runtime = self.work / "runtime"
        runtime.mkdir(mode=0o700)
        env = dict(base_env, XDG_RUNTIME_DIR=str(runtime))
        daemon = self.processes.start(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                      env, group=True, stdout=subprocess.PIPE)
        address = daemon.stdout.readline().decode().strip()
        expect(address, "the session bus did not start")
        self.env = dict(env, DBUS_SESSION_BUS_ADDRESS=address)
        # The accessibility bus and its registry start on first demand, as the bus daemon's
        # children in its process group, which ends with it.
        os.environ.update(DBUS_SESSION_BUS_ADDRESS=address, XDG_RUNTIME_DIR=str(runtime))
        start_accessibility()
        until("the accessibility registry", lambda: Atspi.get_desktop(0).get_child_count() >= 0)
        return self.env


def application_of(pid, desktop):
    """The program's root on the accessibility bus, once it has joined."""
    registry = Atspi.get_desktop(0)
    registry.clear_cache()
    for index in range(registry.get_child_count()):
        app = registry.get_child_at_index(index)
        try:
            if app is not None and app.get_process_id() == pid:
                app.clear_cache()
                return Element(app, desktop)
        except GLib.Error:
            continue
    return None


def clean_environment(extra=None, lang="C.UTF-8"):
    """The variables a program run gets: nothing of the caller's desktop session."""
    env = {
        "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
        "LANG": lang,
        "TZ": "UTC",
    }
    env.update(extra or {})
    return env


def locale_path(lang, work):
    """Where the C library finds the locale `lang` (LOCPATH): nowhere special when the
    system has it, else a folder in `work` where localedef builds it."""
    name = lang.split(".")[0]
    installed = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    if f"{name}.utf8" in installed or lang in installed:
        return None
    folder = work / "locale"
    folder.mkdir()
    done = subprocess.run(["localedef", "-i", name, "-f", "UTF-8", str(folder / lang)],
                          capture_output=True, text=True)
    expect(done.returncode == 0 and (folder / lang / "LC_CTYPE").exists(),
           f"localedef could not build {lang} (Debian package locales): {done.stderr.strip()}")
    return folder


def copy_program(build, folder):
    folder.mkdir(parents=True)
    shutil.copy2(build / "bin" / "Kestrelle", folder / "Kestrelle")
    subprocess.run([str(build / "bin" / "mkudb"), str(folder)], check=True,
                   stdout=subprocess.DEVNULL)


def mode_of(path):
    return Path(path).stat().st_mode & 0o777
