#pragma once

#include <cstdint>
#include <optional>

struct xcb_connection_t;

namespace platform {

struct X11Point {
    int x = 0;
    int y = 0;
};

// The X server's own answer to where a window's top-left corner lies on its
// root window, in the server's pixels; nothing for a window it does not know.
std::optional<X11Point> X11PositionOnRoot(xcb_connection_t* connection, std::uint32_t window);

} // namespace platform
