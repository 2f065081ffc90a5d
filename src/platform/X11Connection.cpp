#include "platform/X11Connection.h"

#include <QGuiApplication>

namespace platform {

xcb_connection_t* X11Connection()
{
#if QT_CONFIG(xcb)
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (QGuiApplication::platformName() == QLatin1String("xcb") && x11)
        return x11->connection();
#endif
    return nullptr;
}

} // namespace platform
