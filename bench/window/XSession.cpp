#include "XSession.h"

#include <X11/Xatom.h>
#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <poll.h>

#include <stdexcept>
#include <thread>
#include <vector>

namespace bench {
namespace {

bool Viewable(Display* display, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

template <typename TitleOf>
std::optional<Window> Search(Display* display, Window parent, const std::string& title, Window except,
                             TitleOf titleOf)
{
    Window root = None, ignored = None;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &ignored, &children, &count))
        return std::nullopt;
    const std::vector<Window> list(children, children + count);
    if (children)
        XFree(children);
    for (Window child : list) {
        if (child != except && titleOf(child) == title && Viewable(display, child))
            return child;
        if (auto found = Search(display, child, title, except, titleOf))
            return found;
    }
    return std::nullopt;
}

int IgnoreErrors(Display*, XErrorEvent*) { return 0; } // windows come and go while we look

} // namespace

XSession::XSession()
{
    display_ = XOpenDisplay(nullptr);
    if (!display_)
        throw std::runtime_error("cannot open the X display named by DISPLAY");
    XSetErrorHandler(IgnoreErrors);
    int error = 0, major = 0, minor = 0;
    if (!XDamageQueryExtension(display_, &damageEvent_, &error))
        throw std::runtime_error("the X server has no DAMAGE extension");
    if (!XTestQueryExtension(display_, &error, &error, &major, &minor))
        throw std::runtime_error("the X server has no XTEST extension");
    clientList_ = XInternAtom(display_, "_NET_CLIENT_LIST", False);
    XSelectInput(display_, DefaultRootWindow(display_), PropertyChangeMask);
}

// The window's own title (WM_NAME), as the program set it.
std::string XSession::TitleOf(Window window)
{
    XTextProperty property{};
    std::string title;
    if (!XGetWMName(display_, window, &property) || !property.value)
        return title;
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(display_, &property, &list, &count) >= Success && count > 0 && list) {
        title = list[0];
        XFreeStringList(list);
    }
    XFree(property.value);
    return title;
}

XSession::~XSession()
{
    if (damage_)
        XDamageDestroy(display_, damage_);
    XCloseDisplay(display_);
}

std::optional<Window> XSession::FindWindow(const std::string& title, Window except)
{
    return Search(display_, DefaultRootWindow(display_), title, except,
                  [this](Window window) { return TitleOf(window); });
}

std::optional<Window> XSession::WaitWindow(const std::string& title, std::chrono::milliseconds timeout,
                                           Window except)
{
    const auto deadline = Clock::now() + timeout;
    do {
        if (auto window = FindWindow(title, except))
            return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (Clock::now() < deadline);
    return std::nullopt;
}

bool XSession::WaitGone(Window window, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (Viewable(display_, window)) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

Rect XSession::ScreenRect(Window window)
{
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, window, &attributes);
    int x = 0, y = 0;
    Window child = None;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

void XSession::Click(int screenX, int screenY)
{
    XTestFakeMotionEvent(display_, -1, screenX, screenY, CurrentTime);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XFlush(display_);
}

void XSession::PressKeysym(unsigned long keysym)
{
    const KeyCode code = XKeysymToKeycode(display_, keysym);
    const bool shifted = XkbKeycodeToKeysym(display_, code, 0, 0) != keysym;
    const KeyCode shift = XKeysymToKeycode(display_, XK_Shift_L);
    if (shifted)
        XTestFakeKeyEvent(display_, shift, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    if (shifted)
        XTestFakeKeyEvent(display_, shift, False, CurrentTime);
    XFlush(display_);
}

void XSession::Type(const std::string& ascii)
{
    for (char c : ascii) {
        PressKeysym(static_cast<unsigned long>(static_cast<unsigned char>(c)));
        XSync(display_, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
}

void XSession::Key(const char* keysymName, bool control)
{
    const KeyCode ctrl = XKeysymToKeycode(display_, XK_Control_L);
    if (control)
        XTestFakeKeyEvent(display_, ctrl, True, CurrentTime);
    PressKeysym(XStringToKeysym(keysymName));
    if (control)
        XTestFakeKeyEvent(display_, ctrl, False, CurrentTime);
    XSync(display_, False);
}

void XSession::WatchDamage(Window window)
{
    if (damage_)
        XDamageDestroy(display_, damage_);
    watched_ = window;
    damage_ = XDamageCreate(display_, window, XDamageReportRawRectangles);
    XSync(display_, False);
}

bool XSession::NextEvent(XEvent& event, Clock::time_point deadline)
{
    while (!XPending(display_)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd connection{ConnectionNumber(display_), POLLIN, 0};
        poll(&connection, 1, static_cast<int>(left.count()));
    }
    XNextEvent(display_, &event);
    return true;
}

XSession::Happening XSession::Next(const Rect& area, Clock::time_point deadline, Clock::time_point& at)
{
    XEvent event;
    while (NextEvent(event, deadline)) {
        at = Clock::now();
        if (event.type == PropertyNotify && event.xproperty.atom == clientList_)
            return Happening::NewWindow;
        if (event.type != damageEvent_ + XDamageNotify)
            continue;
        const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
        if (damage.drawable == watched_
            && area.Intersects({damage.area.x, damage.area.y, damage.area.width, damage.area.height}))
            return Happening::Repaint;
    }
    return Happening::Timeout;
}

void XSession::WaitQuiet(const Rect& area, std::chrono::milliseconds quiet, std::chrono::milliseconds timeout)
{
    auto last = Clock::now();
    const auto giveUp = last + timeout;
    Clock::time_point at;
    while (Next(area, std::min(last + quiet, giveUp), at) != Happening::Timeout)
        last = at;
}

void XSession::DiscardDamage()
{
    XSync(display_, False);
    XEvent event;
    while (XPending(display_))
        XNextEvent(display_, &event);
}

} // namespace bench
