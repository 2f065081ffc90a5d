#pragma once

#include <cstdint>

// Messages between the program's hidden windows: the words and numbers the
// desktop uses for them, so timers, the notification area and the application
// window all speak one language.
namespace platform {

// Identifies one message window. Handles are never reused within a run, so a
// handle kept after its window is gone simply names no window.
enum class WindowHandle : std::uintptr_t { None = 0 };

using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// One message as a window procedure sees it; the procedure writes its answer
// into result (0 unless it says otherwise).
struct Message {
    unsigned msg = 0;
    WParam wParam = 0;
    LParam lParam = 0;
    LResult result = 0;
};

inline constexpr unsigned WM_NULL = 0x0000;
inline constexpr unsigned WM_DESTROY = 0x0002;
inline constexpr unsigned WM_SIZE = 0x0005;
inline constexpr unsigned WM_CLOSE = 0x0010;
inline constexpr unsigned WM_QUERYENDSESSION = 0x0011;
inline constexpr unsigned WM_QUIT = 0x0012;
inline constexpr unsigned WM_ENDSESSION = 0x0016;
inline constexpr unsigned WM_SHOWWINDOW = 0x0018;
inline constexpr unsigned WM_WINDOWPOSCHANGED = 0x0047;
inline constexpr unsigned WM_CONTEXTMENU = 0x007B;
inline constexpr unsigned WM_NCDESTROY = 0x0082;
inline constexpr unsigned WM_TIMER = 0x0113;
inline constexpr unsigned WM_SYSCOMMAND = 0x0112;
inline constexpr unsigned WM_MOUSEMOVE = 0x0200;
inline constexpr unsigned WM_LBUTTONDOWN = 0x0201;
inline constexpr unsigned WM_LBUTTONUP = 0x0202;
inline constexpr unsigned WM_LBUTTONDBLCLK = 0x0203;
inline constexpr unsigned WM_RBUTTONDOWN = 0x0204;
inline constexpr unsigned WM_RBUTTONUP = 0x0205;
inline constexpr unsigned WM_RBUTTONDBLCLK = 0x0206;
inline constexpr unsigned WM_MBUTTONDOWN = 0x0207;
inline constexpr unsigned WM_MBUTTONUP = 0x0208;
inline constexpr unsigned WM_USER = 0x0400;

// Notifications of the notification area in version-3 mode.
inline constexpr unsigned NIN_SELECT = WM_USER + 0;
inline constexpr unsigned NIN_KEYSELECT = WM_USER + 1;
inline constexpr unsigned NIN_BALLOONSHOW = WM_USER + 2;
inline constexpr unsigned NIN_BALLOONHIDE = WM_USER + 3;
inline constexpr unsigned NIN_BALLOONTIMEOUT = WM_USER + 4;
inline constexpr unsigned NIN_BALLOONUSERCLICK = WM_USER + 5;

// WM_SIZE's first parameter when a window has been minimised.
inline constexpr WParam SIZE_MINIMIZED = 1;
// WM_SYSCOMMAND's commands (the low four bits are the system's own).
inline constexpr WParam SC_MINIMIZE = 0xF020;
inline constexpr WParam SC_RESTORE = 0xF120;
// WM_SHOWWINDOW's status: 0 for a direct show or hide call.
inline constexpr LParam SW_PARENTCLOSING = 1;

// Extended-style bit that keeps a window off the taskbar.
inline constexpr std::uint32_t WS_EX_TOOLWINDOW = 0x00000080;

} // namespace platform
