// The skin vocabulary reader over a parsed description with bitmaps. Input:
// the description text, a zero byte, then archive bytes (as they come out of
// the decompressor) holding the bitmaps the description names. Without a zero
// byte the whole input is the description and the archive is empty.
#include "FuzzCheck.h"
#include "SilentMessageBoxes.h"

#include "skin/format/SkinIni.h"
#include "skin/format/SkinReader.h"
#include "skin/format/SkinVocabulary.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

// Fixed colours instead of the desktop's, so runs repeat exactly.
QColor FixedSystemColour(SystemColour colour)
{
    return QColor::fromRgb(static_cast<int>(colour), 128, 255);
}

void CheckImage(const QImage& image)
{
    if (!image.isNull())
        FUZZ_CHECK(image.width() > 0 && image.height() > 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SilentMessageBoxes boxes;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = std::min(input.find('\0'), input.size());

    TFastIni description;
    description.LoadFromBytes(input.substr(0, split));
    TSkinReader archive;
    if (split < input.size())
        archive.OpenArchive(std::vector<std::uint8_t>(data + split + 1, data + size));

    const SkinData skin = ReadSkinData(description, archive, FixedSystemColour);
    for (const SkinBorder& border : skin.Borders)
        CheckImage(border.Image);
    for (const SkinCaptionButton& button : skin.CaptionButtons)
        CheckImage(button.ButtonImage);
    for (const std::optional<SkinElement>& element : skin.Elements) {
        if (element) {
            CheckImage(element->Image);
            CheckImage(element->SecondImage);
        }
    }
    return 0;
}
