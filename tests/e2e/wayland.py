"""A Wayland desktop of scale 2 for the journeys: weston's desktop shell, as a Wayland
compositor of its own, filling an X display through weston's X11 back end. Programs run
on it as native Wayland clients (Qt's wayland platform) on an output of scale 2; the X
display's input (xdotool) reaches them as the seat's pointer and keyboard, and a
screenshot of the X display is the Wayland screen, pixel for pixel. Where windows are
comes from the compositor's own scene graph (weston-debug)."""

import re
import subprocess

from desktop import Atspi, Desktop, Failure, Rect, until

# Views of top-level windows and of the pointer, and their places (in logical pixels), as
# `weston-debug scene-graph` prints them; the output's repaint status follows its scale.
VIEW = re.compile(r"View \d+ \(role xdg_toplevel, PID (\d+), .*?top-level window '(.*)' of .*\):\n"
                  r"\s+position: \((-?\d+), (-?\d+)\) -> \((-?\d+), (-?\d+)\)")
CURSOR = re.compile(r"View \d+ \(role wl_pointer-cursor, .*\):\n"
                    r"\s+position: \((-?\d+), (-?\d+)\) -> \((-?\d+), (-?\d+)\)")


class WaylandDesktop(Desktop):
    def __init__(self, processes, work, scale=2, size=(1024, 768)):
        width, height = size
        super().__init__(processes, work, tray=False, screen=f"{width * scale}x{height * scale}x24",
                         scale=scale, window_manager=False)
        self.size = size
        self.runtime = None

    def _start(self, base_env):
        super()._start(base_env)
        self.runtime = self.work / f"wayland-{self.env['DISPLAY'].lstrip(':')}"
        self.runtime.mkdir(mode=0o700)
        self.weston_env = dict(self.env, XDG_RUNTIME_DIR=str(self.runtime))
        # The shell without its panel: nothing to click by mistake, windows on a plain ground.
        # No key repeat, which Wayland programs make themselves: a key released late on a
        # busy machine would type twice.
        config = self.runtime / "weston.ini"
        config.write_text("[core]\nidle-time=0\n[shell]\npanel-position=none\n"
                          "background-color=0xff3a4a5c\n[keyboard]\nrepeat-rate=0\n")
        width, height = self.size
        # Without a window manager on the X display, weston's window (of the output's size in
        # logical pixels, times the scale) fills it from its corner.
        self.processes.start(["weston", "--backend=x11-backend.so", f"--config={config}",
                              "--use-pixman", f"--width={width}", f"--height={height}",
                              f"--scale={self.scale}",
                              "--socket=wayland-0", "--debug"], self.weston_env)
        until("the Wayland compositor", lambda: (self.runtime / "wayland-0").exists()
              and "Output" in self._scene_graph())
        return self

    def program_env(self):
        return {"QT_QPA_PLATFORM": "wayland", "WAYLAND_DISPLAY": str(self.runtime / "wayland-0")}

    def _scene_graph(self):
        done = subprocess.run(["weston-debug", "scene-graph"], capture_output=True, text=True,
                              timeout=20, check=False,
                              env=dict(self.weston_env, WAYLAND_DISPLAY="wayland-0"))
        return done.stdout

    def windows(self, pid):
        """The program's top-level windows: (title, place in logical pixels), top first."""
        return [(title, Rect(int(x), int(y), int(right) - int(x), int(bottom) - int(y)))
                for owner, title, x, y, right, bottom in VIEW.findall(self._scene_graph())
                if int(owner) == pid]

    def on_screen(self, rect, element):
        """A program on Wayland knows its objects' places only within their window; the
        compositor tells where the window is."""
        window = element.accessible
        while window.get_parent() is not None and window.get_parent().get_role_name() != "application":
            window = window.get_parent()
        size = Atspi.Component.get_extents(window, Atspi.CoordType.SCREEN)
        title = window.get_name()
        for name, place in self.windows(element.accessible.get_process_id()):
            if name == title and (place.width, place.height) == (size.width, size.height):
                return Rect((place.x + rect.x) * self.scale, (place.y + rect.y) * self.scale,
                            rect.width * self.scale, rect.height * self.scale)
        raise Failure(f"the compositor shows no window {title!r} of {size.width}x{size.height}")

    def shows_settled(self, program, rect):
        return True  # the place comes from the compositor itself

    def tray_rect(self):
        return None

    # weston draws the pointer into the picture of its screen: pictures are taken with the
    # pointer in the screen's empty corner, once weston has drawn the screen without it there.

    def glyph_count(self, rect, inset=3):
        self._pointer_out_of(rect)
        return super().glyph_count(rect, inset)

    def grab(self, rect, path):
        self._pointer_out_of(rect)
        return super().grab(rect, path)

    def _pointer_out_of(self, rect):
        self.move_to((0, 0))
        area = Rect(rect.x // self.scale, rect.y // self.scale, -(-rect.width // self.scale),
                    -(-rect.height // self.scale))

        def drawn_without_pointer():
            graph = self._scene_graph()
            over = [Rect(int(x), int(y), int(r) - int(x), int(b) - int(y))
                    for x, y, r, b in CURSOR.findall(graph)]
            return "repaint status: no repaint" in graph and not any(
                c.x < area.right and area.x < c.right and c.y < area.bottom and area.y < c.bottom
                for c in over)
        until("the screen drawn without the pointer over the picture", drawn_without_pointer)
