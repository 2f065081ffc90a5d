#include "desktop/TrayIconHandler.h"

#include "runtime/RunEvent.h"

#include <memory>
#include <utility>

namespace {

// Freed when the last icon goes, or at the end of the process.
std::unique_ptr<TTrayIconHandler> GSharedTrayHandler;

} // namespace

TTrayIconHandler* SharedTrayHandler()
{
    return GSharedTrayHandler.get();
}

TTrayIconHandler::TTrayIconHandler()
    : FWindow([this](platform::Message& Message) { HandlerWindowProc(Message); })
{
}

void TTrayIconHandler::HandlerWindowProc(platform::Message& Message)
{
    using namespace platform;
    switch (Message.msg) {
    case TrayCallbackMessage: {
        const auto Icon = FIcons.find(static_cast<std::uintptr_t>(Message.wParam));
        if (Icon != FIcons.end()) {
            const TrayNotificationHandler OnNotification = Icon->second; // the icon may go inside
            RunEvent([&] { OnNotification(static_cast<unsigned>(Message.lParam)); });
        }
        return;
    }
    // The window lives as long as its icons: requests to close it, and the
    // question before the user logs off, are answered yes and go no further.
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
    case WM_QUIT:
    case WM_ENDSESSION:
    case WM_NCDESTROY:
        Message.result = 1;
        return;
    default:
        Message.result = DefWindowProc(Message);
    }
}

void AcquireTrayHandler(std::uintptr_t IconId, TrayNotificationHandler OnNotification)
{
    if (!GSharedTrayHandler)
        GSharedTrayHandler = std::make_unique<TTrayIconHandler>();
    ++GSharedTrayHandler->FRefCount;
    GSharedTrayHandler->FIcons.insert_or_assign(IconId, std::move(OnNotification));
}

void ReleaseTrayHandler(std::uintptr_t IconId)
{
    if (!GSharedTrayHandler)
        return;
    GSharedTrayHandler->FIcons.erase(IconId);
    if (GSharedTrayHandler->FRefCount > 0)
        --GSharedTrayHandler->FRefCount;
    if (GSharedTrayHandler->FRefCount == 0)
        GSharedTrayHandler.reset();
}
