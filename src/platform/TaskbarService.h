#pragma once

#include "platform/Service.h"

class QWidget;

namespace platform {

// The desktop's taskbar: whether a top-level window of the program has an
// entry there. The application window decides it for every window of the
// program (see ApplicationWindow); this service carries it to the desktop.
class TaskbarService {
public:
    virtual ~TaskbarService() = default;
    // Gives the window an entry on the taskbar or keeps it off. A window that
    // has no native window yet is left alone: it is asked again when shown.
    virtual void setTaskbarEntry(QWidget* window, bool entry) = 0;
};

inline TaskbarService& taskbar() { return Service<TaskbarService>::get(); }

} // namespace platform
