#include "platform/DesktopService.h"

#include <QApplication>

namespace platform {
namespace {

class QtDesktopService final : public DesktopService {
public:
    void beep() override { QApplication::beep(); }
};

} // namespace

template <>
DesktopService& Service<DesktopService>::defaultInstance()
{
    static QtDesktopService instance;
    return instance;
}

} // namespace platform
