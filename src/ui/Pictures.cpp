#include "ui/Pictures.h"

#include "ui/JpegImage.h"

#include <QFile>

#include <initializer_list>

namespace {

QImage DecodeJpegResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return DecodeJpeg(file.readAll());
}

// The picture `name`.jpg and its drawing for scale 2, `name`@2x.jpg.
TScaledPicture JpegPicture(const QString& name)
{
    return TScaledPicture(DecodeJpegResource(QStringLiteral(":/pictures/%1.jpg").arg(name)),
                          DecodeJpegResource(QStringLiteral(":/pictures/%1@2x.jpg").arg(name)));
}

QIcon IconOfFiles(std::initializer_list<const char*> files)
{
    QIcon icon;
    for (const char* file : files)
        icon.addFile(QLatin1String(file));
    return icon;
}

} // namespace

TScaledPicture BannerPicture()
{
    return JpegPicture(QStringLiteral("banner"));
}

TScaledPicture AboutPicture()
{
    return JpegPicture(QStringLiteral("about"));
}

QIcon WindowIcon()
{
    return IconOfFiles({":/icons/window16.png", ":/icons/window32.png"});
}

QIcon TrayIconPicture()
{
    return IconOfFiles({":/icons/tray32.png", ":/icons/tray64.png"});
}
