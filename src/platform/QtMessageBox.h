#pragma once

#include "platform/MessageBoxService.h"

#include <memory>

class QMessageBox;

namespace platform {

// The window the program shows for a message-box request, made but not shown.
std::unique_ptr<QMessageBox> CreateMessageBox(const MessageBoxRequest& request);

} // namespace platform
