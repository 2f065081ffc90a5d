#pragma once

#include "platform/Service.h"

#include <QString>

namespace platform {

// The desktop shell: hands an address to the program registered for that kind
// of address (nothing is reported back; a host name without a scheme opens as
// a web page, see DesktopUrl), and knows the user's desktop folder.
class ShellService {
public:
    virtual ~ShellService() = default;
    virtual void open(const QString& address) = 0;
    // The user's desktop folder (no trailing delimiter); empty when there is none.
    virtual QString desktopFolder() = 0;
};

inline ShellService& shell() { return Service<ShellService>::get(); }

} // namespace platform
