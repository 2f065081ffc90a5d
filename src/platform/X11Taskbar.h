#pragma once

#include <cstdint>

struct xcb_connection_t;

namespace platform {

// An X11 window manager keeps a window off the taskbar while the window's
// _NET_WM_STATE holds _NET_WM_STATE_SKIP_TASKBAR. The manager reads that
// property when it maps a window and forgets it when the window is withdrawn;
// a mapped window must ask the manager with a client message instead. Both are
// done, so the state holds whether the window is on screen or about to be.
class X11Taskbar {
public:
    explicit X11Taskbar(xcb_connection_t* connection);

    void SetSkipTaskbar(std::uint32_t window, bool skip);

private:
    std::uint32_t InternAtom(const char* name) const;
    // The property, as the manager reads it when it maps the window; the
    // other states in it (Qt's own, say) are kept.
    void WriteState(std::uint32_t window, bool skip) const;
    // The request to the manager for a mapped window (ignored for one that is not).
    void AskWindowManager(std::uint32_t window, bool skip) const;

    xcb_connection_t* connection_;
    std::uint32_t state_;
    std::uint32_t skipTaskbar_;
};

} // namespace platform
