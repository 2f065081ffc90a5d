#include "skin/format/SkinBitmap.h"

#include "skin/format/SkinReader.h"

#include <QBuffer>
#include <QImageReader>

std::string SkinBitmapFileName(std::string_view value)
{
    const std::size_t delimiter = value.find_last_of("\\/:");
    const std::string_view fileName = delimiter == std::string_view::npos ? value : value.substr(delimiter + 1);
    const std::size_t dot = fileName.rfind('.');
    if (fileName.empty() || dot == std::string_view::npos || fileName.substr(dot) != ".bmp")
        return {};
    return std::string(fileName);
}

QImage DecodeSkinBitmap(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        return {};
    // Decoded as BMP only, never sniffed as another format; Qt's reader checks
    // the header against the data and refuses sizes beyond its allocation limit.
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    QImage image;
    if (!reader.read(&image))
        return {};
    return image;
}

QImage LoadSkinBitmap(const TSkinReader& reader, std::string_view value)
{
    const std::string fileName = SkinBitmapFileName(value);
    if (fileName.empty())
        return {};
    return DecodeSkinBitmap(reader.FindByName(fileName));
}

QImage BuiltinSkinBitmap(std::string_view name)
{
    const QString path = QStringLiteral(":/skin/builtin/%1.bmp").arg(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    QImage image;
    image.load(path, "BMP");
    return image;
}
