#pragma once

#include <QColor>
#include <QImage>

#include <array>
#include <optional>
#include <string>
#include <vector>

// The drawing elements of a loaded skin, as read from its description. Plain
// data for the drawing engine; pictures are decoded, measures are as written
// (how they are drawn is the engine's business).

// One element of a control: a picture cut into frames plus its measures.
struct SkinElement {
    QImage Image;
    int Style = 0;
    int LeftWidth = 0;
    int RightWidth = 0;
    int TopHeight = 0;
    int BottomHeight = 0;
    int Frame = 0;  // standard elements only
    int Trans = 0;
    int Tile = 0;   // 0 or 1
    int NormalColour = -1;
    int MouseOverColour = -1;
    int PressedColour = -1;
    QColor NormalColour2;      // invalid: the engine's fallback colour
    QColor MouseOverColour2;
    QColor PressedColour2;
    QImage SecondImage;        // bordered elements: the picture under the section's second key
    int BackgroundAlignment = 0;  // label-box elements
    int BackgroundLeftShift = 0;
    int BackgroundRightShift = 0;
};

// The elements read from sections of their own, in reading order.
enum class SkinPart {
    Progress,
    ProgressChunk,
    GroupBoxEdge,
    GroupBox,
    Tabs,
    StatusBarEdges,
    TabPane,
    ToolBars,
    ComboButton,
    SunkEdge,
    ExtraImages,
    Headerbar,
    MenuItem,
    MenuBackground,
    Scrollbar,
    HorzScroll,
    VertScroll,
    HorzScrollThumb,
    VertScrollThumb,
    TrackbarThumbHorz,
    TrackbarThumbVert,
    TrackbarThumbLeft,
    TrackbarThumbRight,
    TrackbarThumbUp,
    TrackbarThumbDown,
    UpDownHorz,
    UpDownVert,
    Track,
    TrackVert,
    Count
};

// One side of the window frame (section Personality).
struct SkinBorder {
    QImage Image;
    int TopHeight = 0;  // Left/Right: fixed top part; Top/Bottom: fixed left part
    int BotHeight = 0;  // Left/Right: fixed bottom part; Top/Bottom: fixed right part
    int Frame = 1;
    int Stretch = 1;    // 0 or 1
    int Trans = 1;
};

struct SkinColours {
    QColor WindowText;
    QColor TitleTextActive;
    QColor TitleTextNoActive;
    QColor ButtonFace;
    QColor ButtonText;
    QColor ButtonHilight;
    QColor Buttonlight;
    QColor ButtonShadow;
    QColor ButtonDkShadow;
    QColor HilightText;
    QColor Hilight;
    QColor Menubar;
    QColor MenuBarText;
    QColor MenuText;
    QColor Menu;
    QColor Scrollbar;
};

struct SkinCaptionButton {
    std::string Section;  // as written in the description; the three cut buttons have none
    int Action = 0;
    int Align = 0;
    int Xcoord = 0;
    int Ycoord = 0;
    int Visibility = 0;
    int Visibility1 = 0;
    int CombineOp = -1;
    int Frame = 0;
    QImage ButtonImage;
};

// Section Buttons: push, check and radio buttons.
struct SkinButtons {
    int LeftWidth = 0;
    int RightWidth = 0;
    int TopHeight = 0;
    int BottomHeight = 0;
    int Trans = 0;
    int Tile = 0;
    QImage Bitmap;
    QImage CheckButton;
    QImage RadioButton;
    int NormalColour = -1;
    int MouseOverColour = -1;
    int PressedColour = -1;
    int RadioButtonFrame = 0;
    int CheckButtonFrame = 0;
    QColor NormalColour2;
    QColor MouseOverColour2;
    QColor PressedColour2;
};

// The caption's text (sections Personality and Fonts).
struct SkinCaptionText {
    QImage TextBack;
    int TextShift = 0;
    int TextShiftVert = 0;
    int TextRightClip = 0;
    int TextAlignment = 0;
    int Textbackground = 0;
    int TXTBackleft = 0;
    int TXTBackRight = 0;
    std::optional<QColor> ActiveText;
    std::optional<QColor> InActiveText;
    int FontHeight = 14;
};

struct SkinMenuBar {
    QImage Image;
    int TileMenu = 1;
    int TileLeftMenu = 1;
    int TileRightMenu = 1;
};

struct SkinData {
    std::string SkinName;  // in the program's code page
    std::array<SkinBorder, 4> Borders;  // Left, Right, Top, Bottom
    SkinColours Colours;
    std::vector<QColor> ColourList;       // sections COLOUR..., in section order
    std::array<QColor, 10> CustomColors;  // section Customcolors
    std::vector<SkinCaptionButton> CaptionButtons;  // the skin's own, then the three of maximised child windows
    SkinButtons Buttons;
    SkinCaptionText CaptionText;
    std::optional<SkinMenuBar> MenuBar;
    std::array<std::optional<SkinElement>, static_cast<std::size_t>(SkinPart::Count)> Elements;

    const std::optional<SkinElement>& Element(SkinPart part) const
    {
        return Elements[static_cast<std::size_t>(part)];
    }
};
