#pragma once

#include "platform/Service.h"

#include <QString>

namespace platform {

// Hands an address to the desktop, which opens it with the program registered
// for that kind of address. Nothing is reported back.
class ShellService {
public:
    virtual ~ShellService() = default;
    virtual void open(const QString& address) = 0;
};

inline ShellService& shell() { return Service<ShellService>::get(); }

} // namespace platform
