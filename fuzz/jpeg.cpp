// DecodeJpeg over any bytes. The data is not copied, so reading past its end
// is caught.
#include "FuzzCheck.h"

#include "ui/JpegImage.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QImage image = DecodeJpeg(bytes);
    if (image.isNull())
        return 0;
    FUZZ_CHECK(image.width() <= kMaxJpegSide && image.height() <= kMaxJpegSide);
    FUZZ_CHECK(qint64(image.width()) * image.height() <= kMaxJpegPixels);
    FUZZ_CHECK(image.format() == QImage::Format_Grayscale8 || image.format() == QImage::Format_RGB888);
    return 0;
}
