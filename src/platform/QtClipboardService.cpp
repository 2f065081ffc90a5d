#include "platform/ClipboardService.h"

#include <QClipboard>
#include <QGuiApplication>

namespace platform {
namespace {

// Qt serialises clipboard access itself, so opening always succeeds here.
class QtClipboardService final : public ClipboardService {
public:
    bool open(WindowHandle) override { return true; }
    void empty() override
    {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear(QClipboard::Clipboard);
        if (clipboard->supportsSelection())
            clipboard->clear(QClipboard::Selection);
    }
    void close() override {}
};

} // namespace

template <>
ClipboardService& Service<ClipboardService>::defaultInstance()
{
    static QtClipboardService service;
    return service;
}

} // namespace platform
