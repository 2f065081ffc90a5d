#include "platform/ShellService.h"

#include "platform/ShellAddress.h"

#include <QDesktopServices>
#include <QStandardPaths>

namespace platform {
namespace {

class QtShellService final : public ShellService {
public:
    void open(const QString& address) override { QDesktopServices::openUrl(DesktopUrl(address)); }

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
