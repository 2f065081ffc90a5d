"""Journeys on screens of scale 2 (a HiDPI laptop's), on X11 and on Wayland: the pictures
are the artwork's 2x drawings at their own size, pixel for pixel, not the 1x pictures
stretched: the title-bar icon the skin draws, the banner across the main window and the
about picture."""

import re
import subprocess
from pathlib import Path

from desktop import Desktop, expect, until
from wayland import WaylandDesktop

RESOURCES = Path(__file__).resolve().parents[2] / "resources"
SCALE = 2


def x11_hidpi_desktop(suite):
    return Desktop(suite.processes, suite.work, tray=True, screen="2048x1536x24", scale=SCALE)


def wayland_hidpi_desktop(suite):
    return WaylandDesktop(suite.processes, suite.work, scale=SCALE)


def difference(one, other):
    """The mean absolute difference of two pictures of one size, 0 (alike) to 1."""
    done = subprocess.run(["compare", "-metric", "MAE", str(one), str(other), "null:"],
                          capture_output=True, text=True, timeout=60, check=False)
    match = re.search(r"\(([0-9.e-]+)\)", done.stderr)
    expect(match, f"compare could not compare {one} and {other}: {done.stderr.strip()}")
    return float(match.group(1))


def reference(name, folder, size=None):
    """A picture of the artwork as a PNG in `folder`, resized (smoothly) to `size` if given."""
    out = folder / f"{Path(name).stem}-{size or 'own'}.png".replace("@", "-")
    args = ["convert", str(RESOURCES / name)]
    if size:
        args += ["-resize", f"{size[0]}x{size[1]}!"]
    subprocess.run(args + [str(out)], check=True, timeout=60)
    return out


def expect_drawn_from_2x(desktop, element, what, twice, once, folder, exact):
    """The element shows the 2x drawing (scaled to its size) and not the 1x one stretched."""
    rect = element.rect
    shot = desktop.grab(rect, folder / f"{what}.png")
    size = (rect.width, rect.height)
    near = difference(shot, reference(twice, folder, None if exact else size))
    far = difference(shot, reference(once, folder, size))
    expect(near < (0.005 if exact else 0.02) and near * 2 < far,
           f"the {what} on the screen of scale 2 differs from its 2x drawing by {near:.4f} "
           f"and from the 1x picture stretched by {far:.4f}")


def expect_title_icon_2x(desktop, window, folder):
    """The skin's caption shows the window icon's 32-pixel picture near its left end: every
    opaque pixel of it, unchanged, somewhere in the caption's first 40 x 30 points."""
    area = window.rect
    area.width, area.height = 40 * SCALE, 30 * SCALE
    width, height, shot = rgb(desktop.grab(area, folder / "caption.png"), "rgb", 3)
    size, _, icon = rgb(RESOURCES / "icons" / "window32.png", "rgba", 4)
    opaque = [(x, y, icon[(y * size + x) * 4:(y * size + x) * 4 + 3]) for y in range(size)
              for x in range(size) if icon[(y * size + x) * 4 + 3] >= 128]

    def found_at(left, top):
        return all(shot[((top + y) * width + left + x) * 3:((top + y) * width + left + x) * 3 + 3]
                   == colour for x, y, colour in opaque)
    expect(any(found_at(x, y) for y in range(height - size + 1) for x in range(width - size + 1)),
           "the caption does not show the window icon's 32-pixel picture")


def rgb(path, kind, channels):
    """A picture's size and raw pixels."""
    size = subprocess.run(["identify", "-format", "%w %h", str(path)], capture_output=True,
                          text=True, check=True, timeout=20).stdout.split()
    pixels = subprocess.run(["convert", str(path), "-depth", "8", f"{kind}:-"], capture_output=True,
                            check=True, timeout=20).stdout
    width, height = int(size[0]), int(size[1])
    expect(len(pixels) == width * height * channels, f"cannot read the pixels of {path}")
    return width, height, pixels


def pictures_at_scale_two(desktop_of):
    def journey(j):
        desktop = j.suite.extra_desktop(desktop_of.__name__, desktop_of)
        program = j.started(desktop=desktop)
        expect_title_icon_2x(desktop, program.window("管理登录"), j.dir)
        main = program.log_in()
        banner = until("the banner", lambda: next(
            (e for e in main.element.find_all("image") if e.rect.width == 716 * SCALE), None))
        expect_drawn_from_2x(desktop, banner, "banner", "pictures/banner@2x.jpg",
                             "pictures/banner.jpg", j.dir, exact=True)
        main.page("关于我们")
        about = until("the about picture", lambda: next(
            (e for e in main.element.find_all("image") if e.rect.width == 185 * SCALE), None))
        expect_drawn_from_2x(desktop, about, "about picture", "pictures/about@2x.jpg",
                             "pictures/about.jpg", j.dir, exact=False)
        if not isinstance(desktop, WaylandDesktop):
            expect_window_icon_2x(desktop, program.x_window("Quillory"))
    return journey


def expect_window_icon_2x(desktop, window):
    """Taskbars (and the window manager, without the skin) show the icon the window offers
    in _NET_WM_ICON: on a screen of scale 2, a 32-pixel one that is the 2x drawing."""
    out = desktop.run(["xprop", "-id", str(window), "-notype", "-f", "_NET_WM_ICON", "32c",
                       " = $0+\\n", "_NET_WM_ICON"])
    values = [int(v) for v in out.split("=", 1)[1].split(",")] if "=" in out else []
    offered = {}
    while len(values) >= 2:
        width, height = values[0], values[1]
        offered[(width, height)] = values[2:2 + width * height]
        values = values[2 + width * height:]
    expect((32, 32) in offered, f"the window offers icons of the sizes {list(offered)}")
    _, _, drawn = rgb(RESOURCES / "icons" / "window32.png", "rgba", 4)
    for index, argb in enumerate(offered[(32, 32)]):
        red, green, blue, alpha = drawn[index * 4:index * 4 + 4]
        if alpha == 255:
            shown = ((argb >> 16) & 255, (argb >> 8) & 255, argb & 255)
            expect(max(abs(a - b) for a, b in zip(shown, (red, green, blue))) <= 2,
                   f"the window's 32-pixel icon is not the 2x drawing (pixel {index})")


JOURNEYS = [
    ("hidpi-x11", pictures_at_scale_two(x11_hidpi_desktop)),
    ("hidpi-wayland", pictures_at_scale_two(wayland_hidpi_desktop)),
]
