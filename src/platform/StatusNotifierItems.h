#pragma once

#include <QString>

namespace platform {

// The bus name of an item as a StatusNotifierWatcher lists it: the part before
// the object path of "<bus name>/<path>", or the whole entry.
QString StatusNotifierItemService(const QString& registered);

// Whether an icon of this process is registered with the session bus's
// StatusNotifierWatcher now: its tray icons then live in a notification area
// that speaks D-Bus, whose host draws their menus itself. False without a
// session bus or a watcher.
bool OffersStatusNotifierItem();

} // namespace platform
