#include "ui/Pictures.h"

#include "ui/JpegImage.h"

#include <QFile>

namespace {

QImage DecodeJpegResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return DecodeJpeg(file.readAll());
}

} // namespace

QImage BannerPicture()
{
    return DecodeJpegResource(QStringLiteral(":/pictures/banner.jpg"));
}

QImage AboutPicture()
{
    return DecodeJpegResource(QStringLiteral(":/pictures/about.jpg"));
}

QIcon WindowIcon()
{
    return QIcon(QStringLiteral(":/icons/window16.png"));
}

QIcon TrayIconPicture()
{
    return QIcon(QStringLiteral(":/icons/tray32.png"));
}
