#pragma once

#include "platform/ShellService.h"

#include <QStringList>

// Shell double: records every address handed to the desktop; the desktop
// folder is whatever the test sets.
class RecordingShell final : public platform::ShellService {
public:
    RecordingShell() : override_(*this) {}
    void open(const QString& address) override { opened << address; }
    QString desktopFolder() override { return desktop; }

    QStringList opened;
    QString desktop;  // empty: the user has no desktop folder

private:
    platform::Service<platform::ShellService>::Override override_;
};
