#pragma once

#include "platform/TaskbarService.h"

#include <QMap>
#include <QString>
#include <QWidget>

// Taskbar double: keeps the last state asked for each window, by object name.
// Installed for its own lifetime.
class FakeTaskbar final : public platform::TaskbarService {
public:
    FakeTaskbar() : override_(*this) {}

    void setTaskbarEntry(QWidget* window, bool entry) override { entries[window->objectName()] = entry; }

    // A window never asked about has the entry every desktop window starts with.
    bool HasEntry(const QWidget& window) const { return entries.value(window.objectName(), true); }

    QMap<QString, bool> entries;

private:
    platform::Service<platform::TaskbarService>::Override override_;
};
