#include "platform/X11Taskbar.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace platform {
namespace {

template <class Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

} // namespace

X11Taskbar::X11Taskbar(xcb_connection_t* connection)
    : connection_(connection),
      state_(InternAtom("_NET_WM_STATE")),
      skipTaskbar_(InternAtom("_NET_WM_STATE_SKIP_TASKBAR"))
{
}

void X11Taskbar::SetSkipTaskbar(std::uint32_t window, bool skip)
{
    if (state_ == XCB_ATOM_NONE || skipTaskbar_ == XCB_ATOM_NONE)
        return;
    WriteState(window, skip);
    AskWindowManager(window, skip);
    xcb_flush(connection_);
}

std::uint32_t X11Taskbar::InternAtom(const char* name) const
{
    const auto cookie = xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    const ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection_, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

void X11Taskbar::WriteState(std::uint32_t window, bool skip) const
{
    const auto cookie = xcb_get_property(connection_, 0, window, state_, XCB_ATOM_ATOM, 0, 1024);
    const ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection_, cookie, nullptr), &std::free);
    std::vector<xcb_atom_t> atoms;
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
        atoms.assign(values, values + xcb_get_property_value_length(reply.get()) / sizeof(xcb_atom_t));
    }
    const bool present = std::find(atoms.begin(), atoms.end(), skipTaskbar_) != atoms.end();
    if (present == skip)
        return;
    if (skip)
        atoms.push_back(skipTaskbar_);
    else
        std::erase(atoms, skipTaskbar_);
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, state_, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(atoms.size()), atoms.data());
}

void X11Taskbar::AskWindowManager(std::uint32_t window, bool skip) const
{
    constexpr std::uint32_t Remove = 0, Add = 1, FromApplication = 1;
    const ReplyPtr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr), &std::free);
    if (!geometry)
        return;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = state_;
    message.data.data32[0] = skip ? Add : Remove;
    message.data.data32[1] = skipTaskbar_;
    message.data.data32[3] = FromApplication;
    xcb_send_event(connection_, 0, geometry->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}

} // namespace platform
