"""Journeys with a notification area that speaks D-Bus (StatusNotifierItem), as the trays of
today's desktops do, on X11 and on Wayland: the icon publishes the tray menu
(com.canonical.dbusmenu) with its items in their order, the host draws it, and a click on
an item runs the item's handler. Asked for its menu with no window open, the program shows
no window of its own on Wayland, and on X11 pops its menu up at the pointer as before."""

from desktop import expect, stays, until
from hidpi import wayland_hidpi_desktop
from statusnotifier import StatusNotifierHost
from wayland import WaylandDesktop

MENU = ["检测更新", "-", "显示窗口", "隐藏窗口", "-", "退出程序"]


def published_menu(desktop_of=None):
    def journey(j):
        desktop = j.suite.desktop if desktop_of is None else j.suite.extra_desktop(
            desktop_of.__name__, desktop_of)
        host = StatusNotifierHost(j.suite.processes, j.suite.bus_env).start()
        program = j.started(desktop=desktop)
        item = host.item_of(program.pid)
        expect(item.labels() == MENU, f"the published menu reads {item.labels()}")
        sizes = sorted(width for width, _height, _pixels in item.property("IconPixmap"))
        expect(64 in sizes, f"the icon is offered in the sizes {sizes}, without its 2x drawing")
        main = program.log_in()

        item.click("隐藏窗口")
        until("the main window to hide", lambda: not any(
            w.name == "Quillory" for w in program.top_levels()))
        # No window is open, and the host asks the program to show its menu itself.
        item.call("ContextMenu", 500, 400)
        if isinstance(desktop, WaylandDesktop):
            stays("a window of the program", lambda: [title for title, _ in desktop.windows(
                program.pid)], within=1.5)
        else:
            names = [i.name for i in desktop.popup_items(program.pid)]
            expect(names == [n for n in MENU if n != "-"], f"the popped-up menu reads {names}")
            desktop.key("Escape")

        item.click("显示窗口")
        main = program.log_in()
        main.wait_status("共0条信息")
        item.click("退出程序")
        expect(program.ended() == 0, "the program did not end well")
        host.stop()
    return journey


JOURNEYS = [
    ("dbus-tray-menu-x11", published_menu()),
    ("dbus-tray-menu-wayland", published_menu(wayland_hidpi_desktop)),
]
