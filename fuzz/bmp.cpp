// BMP decoding of skin bitmaps over any bytes, and the entry name taken from
// a description value.
#include "FuzzCheck.h"

#include "skin/format/SkinBitmap.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string name = SkinBitmapFileName(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!name.empty())
        FUZZ_CHECK(name.ends_with(".bmp") && name.find_first_of("\\/:") == std::string::npos);

    const QImage image = DecodeSkinBitmap(std::span(data, size));
    if (!image.isNull())
        FUZZ_CHECK(image.width() > 0 && image.height() > 0 && image.sizeInBytes() > 0);
    return 0;
}
