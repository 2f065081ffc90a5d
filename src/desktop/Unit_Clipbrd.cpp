#include "desktop/Unit_Clipbrd.h"

#include "platform/ApplicationWindow.h"
#include "platform/ClipboardService.h"
#include "runtime/Application.h"

#include <stdexcept>

namespace {
std::unique_ptr<TClipboard> instance;
}

TClipboard::~TClipboard()
{
    while (openCount_ > 0)
        Close();
}

void TClipboard::Open()
{
    if (openCount_ == 0) {
        if (Application) {
            ownerWindow_ = platform::ApplicationWindow::instance().handle();
        } else {
            ownWindow_ = std::make_unique<platform::MessageWindow>(
                [](platform::Message& message) { message.result = platform::DefWindowProc(message); });
            ownerWindow_ = ownWindow_->handle();
        }
        if (!platform::clipboard().open(ownerWindow_)) {
            ownWindow_.reset();
            ownerWindow_ = platform::WindowHandle::None;
            throw std::runtime_error("Cannot open clipboard");
        }
    }
    ++openCount_;
}

void TClipboard::Close()
{
    if (openCount_ == 0)
        return;
    if (--openCount_ == 0) {
        platform::clipboard().close();
        ownWindow_.reset();
        ownerWindow_ = platform::WindowHandle::None;
    }
}

void TClipboard::Clear()
{
    Open();
    try {
        platform::clipboard().empty();
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

TClipboard* ClipboardInstance()
{
    if (!instance)
        instance = std::make_unique<TClipboard>();
    return instance.get();
}

void ReleaseClipboardInstance()
{
    instance.reset();
}
