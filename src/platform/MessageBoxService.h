#pragma once

#include "platform/Service.h"

#include <QString>

namespace platform {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Information, Warning, Error };
enum class MessageResult { Ok, Yes, No };

// One modal message box as the program asks for it.
struct MessageBoxRequest {
    QString text;
    QString caption;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    bool stayOnTop = false;  // kept above all other windows
};

// Shows modal message boxes; the box runs its own event loop, so timers and
// the tray keep being served while it is open.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual MessageResult show(const MessageBoxRequest& request) = 0;
};

inline MessageBoxService& messageBoxes() { return Service<MessageBoxService>::get(); }

} // namespace platform
