#include "skin/format/SkinVocabulary.h"

#include "skin/format/SkinBitmap.h"
#include "skin/format/SkinIni.h"
#include "skin/format/SkinReader.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <string>

QColor PaletteSystemColour(SystemColour colour)
{
    const QPalette palette = QGuiApplication::palette();
    switch (colour) {
    case SystemColour::WindowText: return palette.color(QPalette::Active, QPalette::WindowText);
    case SystemColour::CaptionText: return palette.color(QPalette::Active, QPalette::HighlightedText);
    case SystemColour::InactiveCaptionText: return palette.color(QPalette::Disabled, QPalette::WindowText);
    case SystemColour::ButtonFace: return palette.color(QPalette::Active, QPalette::Button);
    case SystemColour::ButtonText: return palette.color(QPalette::Active, QPalette::ButtonText);
    case SystemColour::ButtonHighlight: return palette.color(QPalette::Active, QPalette::Light);
    case SystemColour::ButtonShadow: return palette.color(QPalette::Active, QPalette::Mid);
    case SystemColour::DarkShadow3D: return palette.color(QPalette::Active, QPalette::Shadow);
    case SystemColour::HighlightText: return palette.color(QPalette::Active, QPalette::HighlightedText);
    case SystemColour::Highlight: return palette.color(QPalette::Active, QPalette::Highlight);
    case SystemColour::MenuBar: return palette.color(QPalette::Active, QPalette::Window);
    case SystemColour::MenuText: return palette.color(QPalette::Active, QPalette::WindowText);
    case SystemColour::Menu: return palette.color(QPalette::Active, QPalette::Base);
    case SystemColour::ScrollBar: return palette.color(QPalette::Active, QPalette::Midlight);
    }
    return {};
}

std::optional<QColor> ParseColourText(std::string_view text)
{
    int parts[3] = {};
    int found = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        if (found == 3)
            return std::nullopt;
        int value = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            value = value * 10 + (text[i] - '0');
            if (value > 255)
                return std::nullopt;
        }
        parts[found++] = value;
    }
    if (found != 3)
        return std::nullopt;
    return QColor(parts[0], parts[1], parts[2]);
}

std::optional<QColor> ColourFromNumber(int number)
{
    if (number < 0 || number > 0xFFFFFF)
        return std::nullopt;
    return QColor(number & 0xFF, (number >> 8) & 0xFF, (number >> 16) & 0xFF);
}

namespace {

std::string Upper(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

enum class ElementKind { Standard, Bordered, LabelBox, Bar };

struct ElementSection {
    SkinPart part;
    const char* section;
    ElementKind kind;
    const char* secondKey = nullptr;  // bordered elements
};

// The element sections in reading order (the menu bar is read between the
// progress chunk and the group box edge).
constexpr ElementSection kElementsBeforeMenuBar[] = {
    {SkinPart::Progress, "Progress", ElementKind::Bar},
    {SkinPart::ProgressChunk, "Progress.Chunk", ElementKind::Standard},
};
constexpr ElementSection kElementsAfterMenuBar[] = {
    {SkinPart::GroupBoxEdge, "GroupBoxEdge", ElementKind::Standard},
    {SkinPart::GroupBox, "GroupBox", ElementKind::LabelBox},
    {SkinPart::Tabs, "Tabs", ElementKind::Bordered, "Border"},
    {SkinPart::StatusBarEdges, "StatusBarEdges", ElementKind::Standard},
    {SkinPart::TabPane, "Tab.Pane", ElementKind::Standard},
    {SkinPart::ToolBars, "ToolBars", ElementKind::Standard},
    {SkinPart::ComboButton, "ComboButton", ElementKind::Bordered},  // bordered, but no second picture is ever read
    {SkinPart::SunkEdge, "SunkEdge", ElementKind::Standard},
    {SkinPart::ExtraImages, "ExtraImages", ElementKind::Standard},
    {SkinPart::Headerbar, "Headerbar", ElementKind::Standard},
    {SkinPart::MenuItem, "MenuItem", ElementKind::Standard},
    {SkinPart::MenuBackground, "MenuBackground", ElementKind::Standard},
    {SkinPart::Scrollbar, "Scrollbar", ElementKind::Standard},
    {SkinPart::HorzScroll, "HorzScroll", ElementKind::Standard},
    {SkinPart::VertScroll, "VertScroll", ElementKind::Standard},
    {SkinPart::HorzScrollThumb, "HorzScrollThumb", ElementKind::Standard},
    {SkinPart::VertScrollThumb, "VertScrollThumb", ElementKind::Standard},
    {SkinPart::TrackbarThumbHorz, "Trackbar.ThumbHorz", ElementKind::Standard},
    {SkinPart::TrackbarThumbVert, "Trackbar.ThumbVert", ElementKind::Standard},
    {SkinPart::TrackbarThumbLeft, "Trackbar.ThumbLeft", ElementKind::Standard},
    {SkinPart::TrackbarThumbRight, "Trackbar.ThumbRight", ElementKind::Standard},
    {SkinPart::TrackbarThumbUp, "Trackbar.ThumbUp", ElementKind::Standard},
    {SkinPart::TrackbarThumbDown, "Trackbar.ThumbDown", ElementKind::Standard},
    {SkinPart::UpDownHorz, "UpDown.Horz", ElementKind::Bordered, "GlyphImage"},
    {SkinPart::UpDownVert, "UpDown.Vert", ElementKind::Bordered, "GlyphImage"},
    {SkinPart::Track, "Track", ElementKind::Standard},
    {SkinPart::TrackVert, "TRACKVERT", ElementKind::Standard},
};

struct ColourKey {
    const char* key;
    QColor SkinColours::*field;
    SystemColour fallback;
};
constexpr ColourKey kColourKeys[] = {
    {"WindowText", &SkinColours::WindowText, SystemColour::WindowText},
    {"TitleTextActive", &SkinColours::TitleTextActive, SystemColour::CaptionText},
    {"TitleTextNoActive", &SkinColours::TitleTextNoActive, SystemColour::InactiveCaptionText},
    {"ButtonFace", &SkinColours::ButtonFace, SystemColour::ButtonFace},
    {"ButtonText", &SkinColours::ButtonText, SystemColour::ButtonText},
    {"ButtonHilight", &SkinColours::ButtonHilight, SystemColour::ButtonHighlight},
    {"Buttonlight", &SkinColours::Buttonlight, SystemColour::ButtonHighlight},
    {"ButtonShadow", &SkinColours::ButtonShadow, SystemColour::ButtonShadow},
    {"ButtonDkShadow", &SkinColours::ButtonDkShadow, SystemColour::DarkShadow3D},
    {"HilightText", &SkinColours::HilightText, SystemColour::HighlightText},
    {"Hilight", &SkinColours::Hilight, SystemColour::Highlight},
    {"Menubar", &SkinColours::Menubar, SystemColour::MenuBar},
    {"MenuBarText", &SkinColours::MenuBarText, SystemColour::MenuText},
    {"MenuText", &SkinColours::MenuText, SystemColour::MenuText},
    {"Menu", &SkinColours::Menu, SystemColour::Menu},
    {"Scrollbar", &SkinColours::Scrollbar, SystemColour::ScrollBar},
};

constexpr int kMdiControlButtons = 3;
constexpr int kMdiControlColumns = 12;
constexpr int kMdiControlFirstAction = 7;

class VocabularyReader {
public:
    VocabularyReader(const TFastIni& ini, const TSkinReader& archive, const SystemColours& system)
        : ini_(ini), archive_(archive), system_(system)
    {
    }

    SkinData Read()
    {
        SkinData data;
        data.SkinName = ini_.ReadString("TitlebarSkin", "SkinName", "");
        ReadBorders(data);
        ReadColours(data);
        ReadCaptionButtons(data);
        ReadButtons(data.Buttons);
        ReadCaptionText(data.CaptionText);
        ReadElements(data);
        return data;
    }

private:
    int Int(std::string_view section, std::string_view key, int fallback) const
    {
        return ini_.ReadInteger(section, key, fallback);
    }
    QImage Bitmap(std::string_view section, std::string_view key) const
    {
        return LoadSkinBitmap(archive_, ini_.ReadString(section, key, ""));
    }
    QColor ColourText(std::string_view section, std::string_view key, const QColor& fallback) const
    {
        return ParseColourText(ini_.ReadString(section, key, "")).value_or(fallback);
    }
    QColor ColourNumber(std::string_view section, std::string_view key, const QColor& fallback) const
    {
        int number = 0;
        if (!skintext::ParseInteger(ini_.ReadString(section, key, ""), number))
            return fallback;
        return ColourFromNumber(number).value_or(fallback);
    }
    // Tile and Stretch are on/off; larger values count as the given one.
    static int Limit(int value, int above1) { return value > 1 ? above1 : value; }

    void ReadBorders(SkinData& data) const
    {
        static constexpr const char* sides[] = {"Left", "Right", "Top", "Bottom"};
        for (std::size_t i = 0; i < std::size(sides); ++i) {
            const std::string side = sides[i];
            SkinBorder& border = data.Borders[i];
            border.Image = Bitmap("Personality", side);
            border.TopHeight = Int("Personality", side + "TopHeight", 0);
            border.BotHeight = Int("Personality", side + "BotHeight", 0);
            border.Frame = Int("Personality", side + "Frame", 1);
            border.Stretch = Limit(Int("Personality", side + "Stretch", 1), 1);
            border.Trans = Int("Personality", side + "Trans", 1);
        }
    }

    void ReadColours(SkinData& data) const
    {
        for (const ColourKey& colour : kColourKeys)
            data.Colours.*colour.field = ColourText("Colours", colour.key, system_(colour.fallback));

        std::vector<std::string> sections;
        ini_.ReadSections(&sections);
        for (const std::string& section : sections) {
            const std::string upper = Upper(section);
            if (upper.starts_with("COLOUR") && upper != "COLOURS")
                data.ColourList.push_back(ColourNumber(section, "color", system_(SystemColour::WindowText)));
        }
        for (int i = 0; i < 10; ++i)
            data.CustomColors[i] = ColourNumber("Customcolors", "Color" + std::to_string(i), QColor(255, 255, 255));
    }

    static bool IsCaptionButtonSection(const std::string& section)
    {
        const std::string upper = Upper(section);
        return upper.starts_with("BUTTON") && upper != "BUTTON" && upper != "BUTTONS" &&
               upper != "BUTTON.RADIO" && upper != "BUTTON.CHECKBOX";
    }

    void ReadCaptionButtons(SkinData& data) const
    {
        std::vector<std::string> sections;
        ini_.ReadSections(&sections);
        for (const std::string& section : sections) {
            if (!IsCaptionButtonSection(section))
                continue;
            if (Int(section, "Action", 0) == -1 && Int(section, "Visibility", -1) != 0)
                continue;  // a button switched off
            SkinCaptionButton button;
            button.Section = section;
            button.Action = Int(section, "Action", 0);
            button.Align = Int(section, "Align", 0);
            button.Xcoord = Int(section, "Xcoord", 0);
            button.Ycoord = Int(section, "Ycoord", 0);
            button.Visibility = Int(section, "Visibility", 0);
            button.Visibility1 = Int(section, "Visibility1", button.Action == -1 ? -1 : 0);
            button.CombineOp = Int(section, "CombineOp", -1);
            button.Frame = Int(section, "frame", 0);
            button.ButtonImage = Bitmap(section, "ButtonImage");
            if (button.Frame == 0)
                button.Frame = DefaultCaptionButtonFrames(button);
            data.CaptionButtons.push_back(std::move(button));
        }

        // The controls of maximised child windows: three pictures cut from one
        // image of twelve columns, four columns each.
        const QImage controls = Bitmap("MDICONTROLS", "Image");
        const int column = controls.width() / kMdiControlColumns;
        for (int k = 0; k < kMdiControlButtons; ++k) {
            SkinCaptionButton button;
            button.Action = kMdiControlFirstAction + k;
            button.Frame = 4;
            if (column > 0)
                button.ButtonImage = controls.copy(4 * k * column, 0, 4 * column, controls.height());
            data.CaptionButtons.push_back(std::move(button));
        }
    }

    // Six frames, or three for a picture at most 3.8 times as wide as high. A
    // picture that did not load has no proportion to judge: six.
    static int DefaultCaptionButtonFrames(const SkinCaptionButton& button)
    {
        if (button.Action < 0 || button.ButtonImage.isNull())
            return 6;
        const double ratio = static_cast<double>(button.ButtonImage.width()) / button.ButtonImage.height();
        return ratio <= 3.8 ? 3 : 6;
    }

    // A check or radio picture holds frames 13 pixels wide, or 16 when it is 16 high.
    static int DefaultToggleFrames(const QImage& image)
    {
        const int frameWidth = image.height() >= 16 ? 16 : 13;
        return std::max(image.width() / frameWidth, 4);
    }

    void ReadButtons(SkinButtons& buttons) const
    {
        const char* const section = "Buttons";
        buttons.LeftWidth = Int(section, "LeftWidth", 0);
        buttons.RightWidth = Int(section, "RightWidth", 0);
        buttons.TopHeight = Int(section, "TopHeight", 0);
        buttons.BottomHeight = Int(section, "BottomHeight", 0);
        buttons.Trans = Int(section, "Trans", 0);
        buttons.Tile = Int(section, "Tile", 0);
        buttons.Bitmap = Bitmap(section, "Bitmap");
        buttons.CheckButton = Bitmap(section, "CheckButton");
        buttons.RadioButton = Bitmap(section, "RadioButton");
        buttons.NormalColour = Int(section, "NormalColour", -1);
        buttons.MouseOverColour = Int(section, "MouseOverColour", -1);
        buttons.PressedColour = Int(section, "PressedColour", -1);
        buttons.RadioButtonFrame = Int(section, "RadioButtonFrame", 0);
        buttons.CheckButtonFrame = Int(section, "CheckButtonFrame", 0);
        buttons.NormalColour2 = ColourText(section, "NormalColour2", QColor());
        buttons.MouseOverColour2 = ColourText(section, "MouseOverColour2", QColor());
        buttons.PressedColour2 = ColourText(section, "PressedColour2", QColor());
        if (buttons.RadioButtonFrame == 0)
            buttons.RadioButtonFrame = DefaultToggleFrames(buttons.RadioButton);
        if (buttons.CheckButtonFrame == 0)
            buttons.CheckButtonFrame = DefaultToggleFrames(buttons.CheckButton);
    }

    // A colour from three integer keys key+"R", key+"G", key+"B"; only when all are given and in range.
    std::optional<QColor> ColourTriple(std::string_view section, const std::string& key) const
    {
        const int r = Int(section, key + "R", -1);
        const int g = Int(section, key + "G", -1);
        const int b = Int(section, key + "B", -1);
        if (r < 0 || g < 0 || b < 0 || r > 255 || g > 255 || b > 255)
            return std::nullopt;
        return QColor(r, g, b);
    }

    void ReadCaptionText(SkinCaptionText& text) const
    {
        const char* const section = "Personality";
        text.TextBack = Bitmap(section, "TextBack");
        text.TextShift = Int(section, "TextShift", 0);
        text.TextShiftVert = Int(section, "TextShiftVert", 0);
        text.TextRightClip = Int(section, "TextRightClip", 0);
        text.TextAlignment = Int(section, "TextAlignment", 0);
        text.Textbackground = Int(section, "Textbackground", 0);
        text.TXTBackleft = Int(section, "TXTBackleft", 0);
        text.TXTBackRight = Int(section, "TXTBackRight", 0);
        text.ActiveText = ColourTriple(section, "ActiveText");
        text.InActiveText = ColourTriple(section, "InActiveText");
        text.FontHeight = Int("Fonts", "FontHeight", 14);
    }

    std::optional<SkinElement> ReadElement(const ElementSection& from) const
    {
        const std::string_view section = from.section;
        SkinElement element;
        element.Image = Bitmap(section, from.kind == ElementKind::Bar ? "Bitmap" : "Image");
        if (element.Image.isNull())
            return std::nullopt;
        element.Style = Int(section, "Style", 0);
        element.LeftWidth = Int(section, "LeftWidth", 0);
        element.RightWidth = Int(section, "RightWidth", 0);
        element.TopHeight = Int(section, "TopHeight", 0);
        element.BottomHeight = Int(section, "BottomHeight", 0);
        element.Trans = Int(section, "Trans", 0);
        element.Tile = Limit(Int(section, "Tile", 0), 0);
        if (from.kind == ElementKind::Bar)
            return element;

        if (from.kind == ElementKind::Standard)
            element.Frame = Int(section, "Frame", 0);
        element.NormalColour = Int(section, "NormalColour", -1);
        element.MouseOverColour = Int(section, "MouseOverColour", -1);
        element.PressedColour = Int(section, "PressedColour", -1);
        element.NormalColour2 = ColourText(section, "NormalColour2", QColor());
        element.MouseOverColour2 = ColourText(section, "MouseOverColour2", QColor());
        element.PressedColour2 = ColourText(section, "PressedColour2", QColor());
        if (from.kind == ElementKind::Bordered && from.secondKey)
            element.SecondImage = Bitmap(section, from.secondKey);
        if (from.kind == ElementKind::LabelBox) {
            element.BackgroundAlignment = Int(section, "BackgroundAlignment", 0);
            element.BackgroundLeftShift = Int(section, "BackgroundLeftShift", 0);
            element.BackgroundRightShift = Int(section, "BackgroundRightShift", 0);
        }
        return element;
    }

    std::optional<SkinMenuBar> ReadMenuBar() const
    {
        SkinMenuBar bar;
        bar.Image = Bitmap("Personality", "menuBar");
        if (bar.Image.isNull())
            return std::nullopt;
        bar.TileMenu = Int("Personality", "TileMenu", 1);
        bar.TileLeftMenu = Int("Personality", "TileLeftMenu", 1);
        bar.TileRightMenu = Int("Personality", "TileRightMenu", 1);
        return bar;
    }

    // The program's own track pictures, for skins that give none.
    static SkinElement BuiltinTrack(std::string_view name)
    {
        SkinElement element;
        element.Image = BuiltinSkinBitmap(name);
        element.LeftWidth = element.RightWidth = element.TopHeight = element.BottomHeight = 3;
        element.Tile = 0;
        element.Frame = 1;
        return element;
    }

    void ReadElements(SkinData& data) const
    {
        auto slot = [&data](SkinPart part) -> std::optional<SkinElement>& {
            return data.Elements[static_cast<std::size_t>(part)];
        };
        for (const ElementSection& section : kElementsBeforeMenuBar)
            slot(section.part) = ReadElement(section);
        data.MenuBar = ReadMenuBar();
        for (const ElementSection& section : kElementsAfterMenuBar)
            slot(section.part) = ReadElement(section);
        if (!slot(SkinPart::Track))
            slot(SkinPart::Track) = BuiltinTrack("TRACK");
        if (!slot(SkinPart::TrackVert))
            slot(SkinPart::TrackVert) = BuiltinTrack("TRACKVERT");
    }

    const TFastIni& ini_;
    const TSkinReader& archive_;
    const SystemColours& system_;
};

} // namespace

SkinData ReadSkinData(const TFastIni& description, const TSkinReader& archive, const SystemColours& system)
{
    return VocabularyReader(description, archive, system).Read();
}
