#pragma once

#include "platform/Service.h"
#include "platform/WindowMessages.h"

namespace platform {

// The system clipboard as the program uses it: opened for an owner, emptied,
// closed. Opening fails while another program holds the clipboard open.
class ClipboardService {
public:
    virtual ~ClipboardService() = default;
    // Opens the clipboard for an owner window; false while another program has it open.
    virtual bool open(WindowHandle owner) = 0;
    virtual void empty() = 0;
    virtual void close() = 0;
};

inline ClipboardService& clipboard() { return Service<ClipboardService>::get(); }

} // namespace platform
