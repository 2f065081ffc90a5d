#include "support/FakeNotificationArea.h"

#include "platform/MessageWindow.h"

using namespace platform;

std::size_t FakeNotificationArea::callCount(unsigned message) const
{
    std::size_t count = 0;
    for (const Call& call : calls_)
        count += call.message == message ? 1 : 0;
    return count;
}

const NotifyIconData* FakeNotificationArea::icon(std::uintptr_t id) const
{
    for (const auto& entry : icons_) {
        if (entry.first.second == id)
            return &entry.second;
    }
    return nullptr;
}

bool FakeNotificationArea::notifyIcon(unsigned message, const NotifyIconData& data)
{
    const bool succeeded = apply(message, data);
    calls_.push_back({message, data, succeeded});
    return succeeded;
}

bool FakeNotificationArea::apply(unsigned message, const NotifyIconData& data)
{
    const Key key{data.window, data.id};
    const auto found = icons_.find(key);
    switch (message) {
    case NIM_ADD:
        if (!available || found != icons_.end())
            return false;
        icons_.emplace(key, data);
        return true;
    case NIM_MODIFY:
        if (found == icons_.end())
            return false;
        found->second.icon = data.icon;
        found->second.tip = data.tip;
        found->second.callbackMessage = data.callbackMessage;
        found->second.menu = data.menu;
        return true;
    case NIM_DELETE:
        if (found == icons_.end())
            return false;
        icons_.erase(found);
        return true;
    case NIM_SETVERSION:
        if (found == icons_.end())
            return false;
        found->second.version = data.version;
        return true;
    default:
        return false;
    }
}

void FakeNotificationArea::notify(unsigned code)
{
    if (icons_.empty())
        return;
    const NotifyIconData target = icons_.begin()->second;
    SendMessage(target.window, target.callbackMessage, target.id, static_cast<LParam>(code));
}

void FakeNotificationArea::press(Qt::MouseButton button)
{
    notify(button == Qt::RightButton ? WM_RBUTTONDOWN : button == Qt::MiddleButton ? WM_MBUTTONDOWN : WM_LBUTTONDOWN);
}

void FakeNotificationArea::release(Qt::MouseButton button)
{
    notify(button == Qt::RightButton ? WM_RBUTTONUP : button == Qt::MiddleButton ? WM_MBUTTONUP : WM_LBUTTONUP);
}

void FakeNotificationArea::click(Qt::MouseButton button)
{
    press(button);
    release(button);
}

void FakeNotificationArea::doubleClick()
{
    notify(WM_LBUTTONDOWN);
    notify(WM_LBUTTONUP);
    notify(WM_LBUTTONDBLCLK);
    notify(WM_LBUTTONUP);
}

void FakeNotificationArea::shutDown()
{
    icons_.clear();
    available = false;
}

void FakeNotificationArea::restart()
{
    shutDown();
    available = true;
    BroadcastMessage(RegisterWindowMessage(TaskbarCreatedName));
}
