#pragma once

// The desktop's shell for a benchmark that runs the program's windows: it
// opens nothing, and the desktop folder (for the launcher written at every
// start) is a folder the benchmark owns.

#include "platform/ShellService.h"

#include <QString>

namespace bench {

class SilentShell final : public platform::ShellService {
public:
    explicit SilentShell(QString folder) : folder_(std::move(folder)) {}
    void open(const QString&) override {}
    QString desktopFolder() override { return folder_; }

private:
    QString folder_;
};

} // namespace bench
