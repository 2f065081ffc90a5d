#include "platform/ShellService.h"

#include <QDesktopServices>
#include <QStandardPaths>
#include <QUrl>

namespace platform {
namespace {

class QtShellService final : public ShellService {
public:
    void open(const QString& address) override
    {
        // Taken as typed: no scheme is added and nothing is percent-encoded by us.
        QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
    }

    QString desktopFolder() override { return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation); }
};

} // namespace

template <>
ShellService& Service<ShellService>::defaultInstance()
{
    static QtShellService service;
    return service;
}

} // namespace platform
