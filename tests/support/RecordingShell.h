#pragma once

#include "platform/ShellService.h"

#include <QStringList>

// Shell double: records every address handed to the desktop.
class RecordingShell final : public platform::ShellService {
public:
    RecordingShell() : override_(*this) {}
    void open(const QString& address) override { opened << address; }

    QStringList opened;

private:
    platform::Service<platform::ShellService>::Override override_;
};
