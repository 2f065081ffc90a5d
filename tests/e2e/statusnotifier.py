#!/usr/bin/python3
"""A notification area that speaks D-Bus, as the trays of today's desktops do: a
StatusNotifierWatcher with a host registered, on the session bus.

The watcher runs as a process of its own (this file run as a program), so that it
answers the program at once whatever the journey is waiting for: the program asks it
whether a host is there every second. The journey reads the items that registered with
it as a host that draws their menus itself: an item's properties, its menu's layout
(com.canonical.dbusmenu), and the clicks a host sends back."""

import sys

from gi.repository import Gio, GLib

from desktop import Failure, expect, until

WATCHER = "org.kde.StatusNotifierWatcher"
WATCHER_PATH = "/StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"
PROPERTIES = "org.freedesktop.DBus.Properties"
BUS = ("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus")

WATCHER_XML = f"""
<node>
  <interface name="{WATCHER}">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>"""


def connect(address):
    flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
             | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
    return Gio.DBusConnection.new_for_address_sync(address, flags, None, None)


def call(bus, name, path, interface, method, parameters, timeout_ms=10000):
    return bus.call_sync(name, path, interface, method, parameters, None, Gio.DBusCallFlags.NONE,
                         timeout_ms, None).unpack()


# --- the watcher process -----------------------------------------------------

def serve(address):
    """Runs the watcher and its host until the process is ended."""
    bus = connect(address)
    items = []  # "busname/path" of each item, in order

    def method(_bus, sender, _path, _interface, name, parameters, invocation):
        if name == "RegisterStatusNotifierItem":
            service = parameters.unpack()[0]
            # An item names its bus name, or its path on the caller's own name.
            item = sender + service if service.startswith("/") else service + "/StatusNotifierItem"
            items.append(item)
            bus.emit_signal(None, WATCHER_PATH, WATCHER, "StatusNotifierItemRegistered",
                            GLib.Variant("(s)", (item,)))
        invocation.return_value(None)

    def get(_bus, _sender, _path, _interface, name):
        if name == "RegisteredStatusNotifierItems":
            return GLib.Variant("as", items)
        if name == "IsStatusNotifierHostRegistered":
            return GLib.Variant("b", True)
        return GLib.Variant("i", 0)

    info = Gio.DBusNodeInfo.new_for_xml(WATCHER_XML).interfaces[0]
    bus.register_object(WATCHER_PATH, info, method, get, None)
    # The host's name first: a program that sees the watcher finds a host at once.
    for name in (f"org.kde.StatusNotifierHost-{GLib.get_real_time()}", WATCHER):
        call(bus, *BUS, "RequestName", GLib.Variant("(su)", (name, 4)))  # 4: do not queue
    GLib.MainLoop().run()


# --- the journey's side ------------------------------------------------------

class StatusNotifierHost:
    """The watcher process on the session bus of `env`, from start() to stop()."""

    def __init__(self, processes, env):
        self.processes = processes
        self.env = env
        self.process = None
        self.bus = None

    def start(self):
        self.process = self.processes.start(
            [sys.executable, __file__, self.env["DBUS_SESSION_BUS_ADDRESS"]], self.env)
        self.bus = connect(self.env["DBUS_SESSION_BUS_ADDRESS"])
        until("the StatusNotifierWatcher on the session bus",
              lambda: call(self.bus, *BUS, "NameHasOwner", GLib.Variant("(s)", (WATCHER,)))[0])
        return self

    def stop(self):
        if self.process is not None:
            self.processes.stop(self.process)
            self.process = None
        if self.bus is not None:
            self.bus.close_sync(None)
            self.bus = None

    def items(self):
        return call(self.bus, WATCHER, WATCHER_PATH, PROPERTIES, "Get",
                    GLib.Variant("(ss)", (WATCHER, "RegisteredStatusNotifierItems")))[0]

    def item_of(self, pid, timeout=15.0):
        """The item the program with this process id has registered."""
        def registered():
            for item in self.items():
                name, path = item.split("/", 1)
                try:
                    owner = call(self.bus, *BUS, "GetConnectionUnixProcessID",
                                 GLib.Variant("(s)", (name,)))[0]
                except GLib.Error:
                    continue
                if owner == pid:
                    return Item(self.bus, name, "/" + path)
            return None
        return until("the program's item to register with the watcher", registered, timeout)


class Item:
    """One StatusNotifierItem, read and clicked as a host does."""

    def __init__(self, bus, name, path):
        self.bus = bus
        self.name = name
        self.path = path

    def property(self, name):
        return call(self.bus, self.name, self.path, PROPERTIES, "Get",
                    GLib.Variant("(ss)", (ITEM, name)))[0]

    def call(self, method, x=0, y=0):
        """Calls the item as a host does when the icon is clicked (Activate) or asked for
        its menu (ContextMenu), without waiting for the answer: a menu the program pops up
        may hold the answer back until it closes."""
        self.bus.call(self.name, self.path, ITEM, method, GLib.Variant("(ii)", (x, y)), None,
                      Gio.DBusCallFlags.NONE, -1, None, None)

    def menu_path(self):
        path = self.property("Menu")
        expect(path and path != "/NO_DBUSMENU", f"the item publishes no menu (Menu is {path!r})")
        return path

    def menu(self):
        """The menu's top-level entries as a host lays them out: (id, label or "-" for a
        separator, properties)."""
        path = self.menu_path()
        call(self.bus, self.name, path, MENU, "AboutToShow", GLib.Variant("(i)", (0,)))
        _revision, (_root, _props, children) = call(
            self.bus, self.name, path, MENU, "GetLayout", GLib.Variant("(iias)", (0, -1, [])))
        return [(child, "-" if props.get("type") == "separator" else props.get("label", ""), props)
                for child, props, _grandchildren in children]

    def labels(self):
        return [label for _id, label, _props in self.menu()]

    def click(self, label):
        """Sends the host's click on the entry with this label."""
        entry = next((child for child, text, _props in self.menu() if text == label), None)
        if entry is None:
            raise Failure(f"no entry {label!r} in the item's menu {self.labels()}")
        call(self.bus, self.name, self.menu_path(), MENU, "Event",
             GLib.Variant("(isvu)", (entry, "clicked", GLib.Variant("i", 0), 0)))


if __name__ == "__main__":
    serve(sys.argv[1])
