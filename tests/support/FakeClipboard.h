#pragma once

#include "platform/ClipboardService.h"

// Clipboard double: counts opens, empties and closes, and can be "held open by
// another program", which makes every open fail.
class FakeClipboard final : public platform::ClipboardService {
public:
    FakeClipboard() : override_(*this) {}

    bool open(platform::WindowHandle window) override
    {
        if (heldByOtherProgram)
            return false;
        owner = window;
        ++opens;
        isOpen = true;
        return true;
    }
    void empty() override
    {
        ++empties;
        holdsData = false;
    }
    void close() override
    {
        ++closes;
        isOpen = false;
    }

    bool heldByOtherProgram = false;
    bool holdsData = true;
    bool isOpen = false;
    platform::WindowHandle owner = platform::WindowHandle::None;
    int opens = 0;
    int empties = 0;
    int closes = 0;

private:
    platform::Service<platform::ClipboardService>::Override override_;
};
