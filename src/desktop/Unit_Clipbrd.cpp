#include "desktop/Unit_Clipbrd.h"

#include "platform/ClipboardService.h"

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
    if (openCount_ == 0 && !platform::clipboard().open())
        throw std::runtime_error("Cannot open clipboard");
    ++openCount_;
}

void TClipboard::Close()
{
    if (openCount_ == 0)
        return;
    if (--openCount_ == 0)
        platform::clipboard().close();
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
