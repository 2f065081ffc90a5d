#pragma once

#include "skin/format/SkinData.h"
#include "skin/SkinPicture.h"

#include <QMargins>
#include <QPalette>

#include <array>
#include <memory>
#include <vector>

// Everything the drawing engine paints with, prepared once per loaded skin.
struct TSkinPictures {
    explicit TSkinPictures(const SkinData& skin);

    const SkinData& Skin;
    TSkinPicture Push;   // normal, hover, pressed, disabled, default
    TSkinPicture Check;  // four unchecked states, then four checked
    TSkinPicture Radio;
    std::array<TSkinPicture, 4> Borders;  // Left, Right, Top, Bottom; active then inactive
    std::vector<TSkinPicture> CaptionButtons;  // as Skin.CaptionButtons
    TSkinPicture MenuBar;
    TSkinPicture SpinGlyphs;  // the up and the down arrow of spin buttons
    std::array<std::unique_ptr<TSkinPicture>, static_cast<std::size_t>(SkinPart::Count)> Parts;
    QPalette Palette;

    const TSkinPicture& Part(SkinPart part) const { return *Parts[static_cast<std::size_t>(part)]; }
    // Widths of the window frame around the client area: the left and right
    // borders, the caption (top border) and the bottom border.
    QMargins FrameMargins() const { return frameMargins_; }

private:
    QMargins frameMargins_;
};

// The palette of a skin: the system palette with the skin's colours in place.
QPalette SkinPalette(const SkinColours& colours, const QPalette& system);
