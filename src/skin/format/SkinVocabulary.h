#pragma once

#include "skin/format/SkinData.h"

#include <QColor>

#include <functional>
#include <optional>
#include <string_view>

class TFastIni;
class TSkinReader;

// The system colours a skin description may leave in place.
enum class SystemColour {
    WindowText,
    CaptionText,
    InactiveCaptionText,
    ButtonFace,
    ButtonText,
    ButtonHighlight,
    ButtonShadow,
    DarkShadow3D,
    HighlightText,
    Highlight,
    MenuBar,
    MenuText,
    Menu,
    ScrollBar,
};
using SystemColours = std::function<QColor(SystemColour)>;

// The desktop's colours, from the application's palette.
QColor PaletteSystemColour(SystemColour colour);

// A colour text: three decimal numbers (red, green, blue, each 0..255) separated
// by anything that is not a digit. Nothing for any other text.
std::optional<QColor> ParseColourText(std::string_view text);

// A colour number 0x00BBGGRR (red in the lowest byte). Nothing when higher bits are set.
std::optional<QColor> ColourFromNumber(int number);

// Reads the skin's elements from its parsed description, looking the bitmaps it
// names up in the archive.
SkinData ReadSkinData(const TFastIni& description, const TSkinReader& archive,
                      const SystemColours& system = PaletteSystemColour);
