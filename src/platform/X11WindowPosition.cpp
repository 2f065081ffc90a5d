#include "platform/X11WindowPosition.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace platform {

std::optional<X11Point> X11PositionOnRoot(xcb_connection_t* connection, std::uint32_t window)
{
    const auto free = [](void* reply) { std::free(reply); };
    const std::unique_ptr<xcb_get_geometry_reply_t, decltype(free)> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr), free);
    if (!geometry)
        return std::nullopt;
    const std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(free)> onRoot(
        xcb_translate_coordinates_reply(connection,
                                        xcb_translate_coordinates(connection, window, geometry->root, 0, 0), nullptr),
        free);
    if (!onRoot || !onRoot->same_screen)
        return std::nullopt;
    return X11Point{onRoot->dst_x, onRoot->dst_y};
}

} // namespace platform
