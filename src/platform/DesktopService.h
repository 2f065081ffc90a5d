#pragma once

#include "platform/Service.h"

namespace platform {

// Stand-in until the desktop service lands: only the message beep.
class DesktopService {
public:
    virtual ~DesktopService() = default;
    virtual void beep() = 0;
};

inline DesktopService& desktop() { return Service<DesktopService>::get(); }

} // namespace platform
