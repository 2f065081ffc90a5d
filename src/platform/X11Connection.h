#pragma once

struct xcb_connection_t;

namespace platform {

// The program's connection to the X server, or null when it runs on another
// platform. Other platforms may offer Qt's X11 interface too (the offscreen
// one does, without a connection): only the xcb platform has an X server and
// a window manager behind it.
xcb_connection_t* X11Connection();

} // namespace platform
