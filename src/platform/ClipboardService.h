#pragma once

#include "platform/Service.h"

namespace platform {

// The system clipboard as the program uses it: opened for an owner, emptied,
// closed. Opening fails while another program holds the clipboard open.
class ClipboardService {
public:
    virtual ~ClipboardService() = default;
    virtual bool open() = 0;
    virtual void empty() = 0;
    virtual void close() = 0;
};

inline ClipboardService& clipboard() { return Service<ClipboardService>::get(); }

} // namespace platform
