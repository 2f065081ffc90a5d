#include "skin/SkinPictures.h"

#include <QApplication>

namespace {

QMargins Edges(const SkinElement& element)
{
    return {element.LeftWidth, element.TopHeight, element.RightWidth, element.BottomHeight};
}

// Frames of an element whose section gives no count: tabs, combo and spin
// buttons carry normal, hover, pressed and disabled; the others one picture.
int FramesOf(SkinPart part, const SkinElement& element)
{
    if (element.Frame > 0)
        return element.Frame;
    switch (part) {
    case SkinPart::Tabs:
    case SkinPart::ComboButton:
    case SkinPart::UpDownHorz:
    case SkinPart::UpDownVert:
        return 4;
    default:
        return 1;
    }
}

// A push-button picture holds five square-ish states when its width allows.
int PushFrames(const QImage& image)
{
    if (image.isNull())
        return 1;
    if (image.width() % 5 == 0)
        return 5;
    return std::max(1, image.width() / std::max(1, image.height()));
}

} // namespace

QPalette SkinPalette(const SkinColours& c, const QPalette& system)
{
    QPalette palette = system;
    const auto set = [&palette](QPalette::ColorRole role, const QColor& colour) {
        if (colour.isValid())
            palette.setColor(role, colour);
    };
    set(QPalette::Window, c.ButtonFace);
    set(QPalette::Button, c.ButtonFace);
    set(QPalette::WindowText, c.WindowText);
    set(QPalette::Text, c.WindowText);
    set(QPalette::ButtonText, c.ButtonText);
    set(QPalette::Light, c.ButtonHilight);
    set(QPalette::Midlight, c.Buttonlight);
    set(QPalette::Mid, c.ButtonShadow);
    set(QPalette::Dark, c.ButtonShadow);
    set(QPalette::Shadow, c.ButtonDkShadow);
    set(QPalette::Highlight, c.Hilight);
    set(QPalette::HighlightedText, c.HilightText);
    if (c.ButtonShadow.isValid()) {
        palette.setColor(QPalette::Disabled, QPalette::WindowText, c.ButtonShadow);
        palette.setColor(QPalette::Disabled, QPalette::Text, c.ButtonShadow);
        palette.setColor(QPalette::Disabled, QPalette::ButtonText, c.ButtonShadow);
    }
    return palette;
}

TSkinPictures::TSkinPictures(const SkinData& skin)
    : Skin(skin),
      Push(skin.Buttons.Bitmap, PushFrames(skin.Buttons.Bitmap),
           {skin.Buttons.LeftWidth, skin.Buttons.TopHeight, skin.Buttons.RightWidth, skin.Buttons.BottomHeight},
           skin.Buttons.Tile == 1),
      Check(skin.Buttons.CheckButton, skin.Buttons.CheckButtonFrame),
      Radio(skin.Buttons.RadioButton, skin.Buttons.RadioButtonFrame),
      MenuBar(skin.MenuBar ? skin.MenuBar->Image : QImage(), 1),
      Palette(SkinPalette(skin.Colours, QApplication::palette()))
{
    for (std::size_t side = 0; side < Borders.size(); ++side) {
        const SkinBorder& border = skin.Borders[side];
        // Left and right: fixed top and bottom parts; top and bottom: fixed left and right parts.
        const QMargins edges = side < 2 ? QMargins(0, border.TopHeight, 0, border.BotHeight)
                                        : QMargins(border.TopHeight, 0, border.BotHeight, 0);
        Borders[side] = TSkinPicture(border.Image, border.Frame, edges, border.Stretch == 0);
    }
    for (const SkinCaptionButton& button : skin.CaptionButtons)
        CaptionButtons.emplace_back(button.ButtonImage, button.Frame);
    for (std::size_t i = 0; i < Parts.size(); ++i) {
        const auto part = static_cast<SkinPart>(i);
        const auto& element = skin.Element(part);
        Parts[i] = element ? std::make_unique<TSkinPicture>(element->Image, FramesOf(part, *element), Edges(*element),
                                                            element->Tile == 1)
                           : std::make_unique<TSkinPicture>();
    }
    if (const auto& spin = skin.Element(SkinPart::UpDownVert))
        SpinGlyphs = TSkinPicture(spin->SecondImage, 2);
    const auto width = [this](int side) { return Borders[static_cast<std::size_t>(side)].FrameSize(); };
    frameMargins_ = QMargins(width(0).width(), width(2).height(), width(1).width(), width(3).height());
}
