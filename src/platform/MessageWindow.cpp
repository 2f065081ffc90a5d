#include "platform/MessageWindow.h"

#include "platform/TimerService.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <map>
#include <string>
#include <vector>

namespace platform {
namespace {

// Every message window of the process by handle. Deliberately never destroyed,
// so windows freed during the program's exit still find it.
struct WindowRegistry {
    std::map<WindowHandle, MessageWindow::Procedure*> windows;
    std::uintptr_t lastHandle = 0;
};

WindowRegistry& registry()
{
    static auto* instance = new WindowRegistry;
    return *instance;
}

} // namespace

MessageWindow::MessageWindow(Procedure procedure)
    : handle_(static_cast<WindowHandle>(++registry().lastHandle)), procedure_(std::move(procedure))
{
    registry().windows.emplace(handle_, &procedure_);
}

MessageWindow::~MessageWindow()
{
    registry().windows.erase(handle_);
    timers().windowDestroyed(handle_);
}

bool IsWindow(WindowHandle window)
{
    return registry().windows.count(window) != 0;
}

LResult SendMessage(WindowHandle window, unsigned msg, WParam wParam, LParam lParam)
{
    const auto found = registry().windows.find(window);
    if (found == registry().windows.end() || !*found->second)
        return 0;
    // A copy: the procedure may destroy its own window while it runs.
    const MessageWindow::Procedure procedure = *found->second;
    Message message{msg, wParam, lParam, 0};
    procedure(message);
    return message.result;
}

bool PostMessage(WindowHandle window, unsigned msg, WParam wParam, LParam lParam)
{
    auto* loop = QCoreApplication::instance();
    if (!loop || !IsWindow(window))
        return false;
    return QMetaObject::invokeMethod(
        loop, [=] { SendMessage(window, msg, wParam, lParam); }, Qt::QueuedConnection);
}

void BroadcastMessage(unsigned msg, WParam wParam, LParam lParam)
{
    // Windows created or destroyed by a receiver do not disturb the round.
    std::vector<WindowHandle> handles;
    for (const auto& entry : registry().windows)
        handles.push_back(entry.first);
    for (const WindowHandle window : handles)
        SendMessage(window, msg, wParam, lParam);
}

LResult DefWindowProc(const Message&)
{
    return 0;
}

unsigned RegisterWindowMessage(std::string_view name)
{
    static auto* numbers = new std::map<std::string, unsigned, std::less<>>;
    const auto found = numbers->find(name);
    if (found != numbers->end())
        return found->second;
    const unsigned number = 0xC000 + static_cast<unsigned>(numbers->size());
    numbers->emplace(std::string(name), number);
    return number;
}

bool SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t intervalMs)
{
    return IsWindow(window) && timers().setTimer(window, id, intervalMs);
}

bool KillTimer(WindowHandle window, std::uintptr_t id)
{
    return IsWindow(window) && timers().killTimer(window, id);
}

} // namespace platform
