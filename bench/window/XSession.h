#pragma once

// The benchmark's own X client: finds the program's windows by title, clicks
// and types through the XTEST extension as a person would, and watches a
// window's damage (the DAMAGE extension) to tell when the program last drew
// into a part of it.

#include <chrono>
#include <optional>
#include <string>

#include <X11/Xlib.h>

namespace bench {

using Clock = std::chrono::steady_clock;

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool Intersects(const Rect& other) const
    {
        return x < other.x + other.width && other.x < x + width && y < other.y + other.height
            && other.y < y + height;
    }
};

class XSession {
public:
    XSession(); // the display named by DISPLAY; throws when there is none
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // A viewable window with exactly this title, other than `except`.
    std::optional<Window> FindWindow(const std::string& title, Window except = None);
    std::optional<Window> WaitWindow(const std::string& title, std::chrono::milliseconds timeout,
                                     Window except = None);
    bool WaitGone(Window window, std::chrono::milliseconds timeout);
    // The window's place on the screen, frame included.
    Rect ScreenRect(Window window);

    void Click(int screenX, int screenY);
    void Type(const std::string& ascii);
    void Key(const char* keysymName, bool control = false);

    // Starts reporting the damage of `window`.
    void WatchDamage(Window window);
    enum class Happening { Repaint, NewWindow, Timeout };
    // Waits until the watched window draws into `area` (window coordinates) or
    // the window manager takes on another window, and tells when.
    Happening Next(const Rect& area, Clock::time_point deadline, Clock::time_point& at);
    // Waits until the window has drawn nothing into `area` for `quiet`.
    void WaitQuiet(const Rect& area, std::chrono::milliseconds quiet, std::chrono::milliseconds timeout);
    // Forgets the damage reported so far.
    void DiscardDamage();

private:
    void PressKeysym(unsigned long keysym);
    std::string TitleOf(Window window);
    bool NextEvent(XEvent& event, Clock::time_point deadline);

    Display* display_ = nullptr;
    int damageEvent_ = 0;
    unsigned long damage_ = 0;
    Atom clientList_ = None;
    Window watched_ = None;
};

} // namespace bench
