#include "skin/format/SkinArchive.h"
#include "skin/format/SkinBitmap.h"
#include "skin/format/SkinIni.h"
#include "skin/format/SkinReader.h"
#include "skin/format/SkinVocabulary.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Bmp(int width, int height, QColor colour = Qt::gray)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return Bytes(bytes.begin(), bytes.end());
}

// The colours a test desktop has: each system colour distinct and recognisable.
QColor TestSystemColour(SystemColour colour) { return QColor(1, 2, static_cast<int>(colour)); }

struct Skin {
    TSkinReader archive;
    SkinData data;
};

// Reads a description whose bitmaps are the given entries.
std::unique_ptr<Skin> Read(std::string_view description, std::vector<SkinArchiveEntry> bitmaps = {})
{
    bitmaps.insert(bitmaps.begin(), {"skin.ini", Bytes(description.begin(), description.end())});
    auto skin = std::make_unique<Skin>();
    EXPECT_TRUE(skin->archive.OpenArchive(WriteSkinArchive(bitmaps)));
    TFastIni ini;
    ini.LoadFromBytes(description);
    skin->data = ReadSkinData(ini, skin->archive, TestSystemColour);
    return skin;
}

} // namespace

TEST(SkinVocabulary, ColourTextsAndSystemColoursLeftInPlace)
{
    const auto skin = Read("[Colours]\nWindowText=10 20 30\nHilight=RGB(1,2,3)\nMenu=1 2\nScrollbar=300 0 0\n");
    const SkinColours& colours = skin->data.Colours;
    EXPECT_EQ(colours.WindowText, QColor(10, 20, 30));
    EXPECT_EQ(colours.Hilight, QColor(1, 2, 3));
    EXPECT_EQ(colours.Menu, TestSystemColour(SystemColour::Menu));  // two numbers are no colour
    EXPECT_EQ(colours.Scrollbar, TestSystemColour(SystemColour::ScrollBar));
    EXPECT_EQ(colours.ButtonDkShadow, TestSystemColour(SystemColour::DarkShadow3D));
    EXPECT_EQ(colours.Buttonlight, TestSystemColour(SystemColour::ButtonHighlight));
    EXPECT_EQ(colours.MenuBarText, TestSystemColour(SystemColour::MenuText));

    EXPECT_EQ(ParseColourText(" 0,128;255 "), QColor(0, 128, 255));
    EXPECT_FALSE(ParseColourText("1 2 3 4"));
    EXPECT_FALSE(ParseColourText(""));
}

TEST(SkinVocabulary, ColourSectionsInOrderAndCustomColours)
{
    const auto skin = Read("[Colour1]\ncolor=0x0000FF\n[Colours]\nMenu=1 1 1\n[colour0]\nColor=0xFF0000\n"
                           "[ColourX]\n[Customcolors]\nColor3=0x00FF00\n");
    EXPECT_EQ(skin->data.ColourList,
              (std::vector<QColor>{QColor(255, 0, 0), QColor(0, 0, 255), TestSystemColour(SystemColour::WindowText)}));
    EXPECT_EQ(skin->data.CustomColors[3], QColor(0, 255, 0));
    EXPECT_EQ(skin->data.CustomColors[0], QColor(255, 255, 255));
    EXPECT_EQ(skin->data.CustomColors[9], QColor(255, 255, 255));
}

TEST(SkinVocabulary, CaptionButtonsFollowTheirSectionRules)
{
    const auto skin = Read("[Buttons]\nBitmap=push.bmp\n[Button]\n[BUTTON.Radio]\n[button.checkbox]\n"
                           "[Button1]\nAction=2\nButtonImage=wide.bmp\n"
                           "[Button2]\nAction=-1\n"                 // off: Visibility defaults to -1
                           "[Button3]\nAction=-1\nVisibility=0\nButtonImage=square.bmp\n"
                           "[ButtonX]\nAction=1\nframe=5\nButtonImage=square.bmp\n"
                           "[Button4]\nAction=0\nButtonImage=square.bmp\n[Button5]\nAction=4\n"
                           "[MDICONTROLS]\nImage=mdi.bmp\n",
                           {{"wide.bmp", Bmp(78, 20)}, {"square.bmp", Bmp(60, 20)}, {"push.bmp", Bmp(10, 10)},
                            {"mdi.bmp", Bmp(120, 10)}});
    const auto& buttons = skin->data.CaptionButtons;
    ASSERT_EQ(buttons.size(), 8u);
    EXPECT_EQ(buttons[0].Section, "Button1");
    EXPECT_EQ(buttons[0].Frame, 6);  // 78/20 = 3.9
    EXPECT_EQ(buttons[0].Visibility1, 0);
    EXPECT_EQ(buttons[0].CombineOp, -1);
    EXPECT_EQ(buttons[1].Section, "Button3");
    EXPECT_EQ(buttons[1].Frame, 6);  // a negative action keeps six
    EXPECT_EQ(buttons[1].Visibility1, -1);
    EXPECT_EQ(buttons[2].Frame, 5);
    EXPECT_EQ(buttons[3].Frame, 3);  // 60/20 = 3
    EXPECT_EQ(buttons[4].Section, "Button5");
    EXPECT_EQ(buttons[4].Frame, 6);  // no picture: nothing to measure

    for (int k = 0; k < 3; ++k) {
        const SkinCaptionButton& mdi = buttons[5 + k];
        EXPECT_EQ(mdi.Action, 7 + k);
        EXPECT_EQ(mdi.ButtonImage.size(), QSize(40, 10));
    }
}

TEST(SkinVocabulary, PushCheckAndRadioButtons)
{
    const auto skin = Read("[BUTTONS]\nLeftWidth=4\nBitmap=push.bmp\nCheckButton=check.bmp\n"
                           "RadioButton=radio.bmp\nNormalColour2=0 0 255\n",
                           {{"push.bmp", Bmp(50, 21)}, {"check.bmp", Bmp(130, 16)}, {"radio.bmp", Bmp(39, 13)}});
    const SkinButtons& buttons = skin->data.Buttons;
    EXPECT_EQ(buttons.LeftWidth, 4);
    EXPECT_FALSE(buttons.Bitmap.isNull());
    EXPECT_EQ(buttons.CheckButtonFrame, 8);  // 130 / 16
    EXPECT_EQ(buttons.RadioButtonFrame, 4);  // 39 / 13 = 3, at least 4
    EXPECT_EQ(buttons.NormalColour, -1);
    EXPECT_EQ(buttons.NormalColour2, QColor(0, 0, 255));
    EXPECT_FALSE(buttons.PressedColour2.isValid());
    EXPECT_TRUE(skin->data.CaptionButtons.size() == 3u);  // only the three cut ones
}

TEST(SkinVocabulary, BitmapNamesDropTheirFolderAndNeedALowerCaseBmpExtension)
{
    const auto skin = Read("[Personality]\nLeft=\\folder\\MixedCase.bmp\nRight=C:/skins/MixedCase.bmp\n"
                           "Top=MixedCase.BMP\nBottom=mixedcase\n",
                           {{"MixedCase.bmp", Bmp(4, 30)}});
    const auto& borders = skin->data.Borders;
    EXPECT_EQ(borders[0].Image.size(), QSize(4, 30));
    EXPECT_EQ(borders[1].Image.size(), QSize(4, 30));
    EXPECT_TRUE(borders[2].Image.isNull());
    EXPECT_TRUE(borders[3].Image.isNull());
    EXPECT_EQ(borders[0].Frame, 1);
    EXPECT_EQ(borders[0].Stretch, 1);
    EXPECT_EQ(borders[0].Trans, 1);

    EXPECT_EQ(SkinBitmapFileName("a\\b\\c.bmp"), "c.bmp");
    EXPECT_EQ(SkinBitmapFileName("folder\\"), "");
    EXPECT_EQ(SkinBitmapFileName("c.bmp.txt"), "");
}

TEST(SkinVocabulary, ElementsWithTheirKindsAndSkipRules)
{
    const auto skin = Read("[Progress]\nBitmap=bar.bmp\nTile=1\nFrame=9\n"
                           "[Progress.Chunk]\nImage=absent.bmp\n"
                           "[Tabs]\nImage=tab.bmp\nBorder=tab.bmp\nTile=2\nFrame=3\n"
                           "[ComboButton]\nImage=tab.bmp\n****=tab.bmp\n"
                           "[GroupBox]\nImage=tab.bmp\nBackgroundLeftShift=5\n"
                           "[UpDown.Vert]\nImage=tab.bmp\nGlyphImage=bar.bmp\n"
                           "[Track]\nImage=bar.bmp\nLeftWidth=2\n"
                           "[Personality]\nmenuBar=bar.bmp\nTileLeftMenu=0\n",
                           {{"bar.bmp", Bmp(30, 8)}, {"tab.bmp", Bmp(12, 12)}});
    const SkinData& data = skin->data;
    ASSERT_TRUE(data.Element(SkinPart::Progress));
    EXPECT_EQ(data.Element(SkinPart::Progress)->Tile, 1);
    EXPECT_EQ(data.Element(SkinPart::Progress)->Frame, 0);  // bars carry no frame count
    EXPECT_FALSE(data.Element(SkinPart::ProgressChunk));    // its picture is missing
    ASSERT_TRUE(data.Element(SkinPart::Tabs));
    EXPECT_EQ(data.Element(SkinPart::Tabs)->Tile, 0);  // above 1 counts as 0
    EXPECT_EQ(data.Element(SkinPart::Tabs)->Frame, 0);
    EXPECT_FALSE(data.Element(SkinPart::Tabs)->SecondImage.isNull());
    EXPECT_TRUE(data.Element(SkinPart::ComboButton)->SecondImage.isNull());
    EXPECT_EQ(data.Element(SkinPart::GroupBox)->BackgroundLeftShift, 5);
    EXPECT_EQ(data.Element(SkinPart::UpDownVert)->SecondImage.size(), QSize(30, 8));
    EXPECT_EQ(data.Element(SkinPart::Track)->LeftWidth, 2);
    ASSERT_TRUE(data.MenuBar);
    EXPECT_EQ(data.MenuBar->TileMenu, 1);
    EXPECT_EQ(data.MenuBar->TileLeftMenu, 0);
    EXPECT_FALSE(data.Element(SkinPart::Scrollbar));
}

TEST(SkinVocabulary, ADescriptionWithoutTrackUsesTheBuiltInPictures)
{
    const auto skin = Read("[TitlebarSkin]\nSkinName=bare\n");
    EXPECT_EQ(skin->data.SkinName, "bare");
    for (SkinPart part : {SkinPart::Track, SkinPart::TrackVert}) {
        const auto& track = skin->data.Element(part);
        ASSERT_TRUE(track);
        EXPECT_FALSE(track->Image.isNull());
        EXPECT_EQ(track->LeftWidth, 3);
        EXPECT_EQ(track->BottomHeight, 3);
        EXPECT_EQ(track->Tile, 0);
        EXPECT_EQ(track->Frame, 1);
    }
    EXPECT_EQ(skin->data.CaptionText.FontHeight, 14);
}

TEST(SkinVocabulary, CaptionTextColoursNeedAllThreeParts)
{
    const auto skin = Read("[Personality]\nActiveTextR=10\nActiveTextG=20\nActiveTextB=30\n"
                           "InActiveTextR=10\nInActiveTextG=-1\nInActiveTextB=30\nTextShift=4\n[Fonts]\nFontHeight=16\n");
    EXPECT_EQ(skin->data.CaptionText.ActiveText, QColor(10, 20, 30));
    EXPECT_FALSE(skin->data.CaptionText.InActiveText);
    EXPECT_EQ(skin->data.CaptionText.TextShift, 4);
    EXPECT_EQ(skin->data.CaptionText.FontHeight, 16);
}

TEST(SkinBitmap, DamagedBitmapsDecodeToNothing)
{
    const Bytes good = Bmp(20, 10, Qt::red);
    EXPECT_EQ(DecodeSkinBitmap(good).size(), QSize(20, 10));
    EXPECT_TRUE(DecodeSkinBitmap({}).isNull());

    Bytes huge = good;  // claims 100000 x 100000 pixels
    for (int at : {18, 22}) {
        huge[at] = 0xA0; huge[at + 1] = 0x86; huge[at + 2] = 0x01; huge[at + 3] = 0x00;
    }
    EXPECT_TRUE(DecodeSkinBitmap(huge).isNull());

    std::mt19937 random(9);
    for (int round = 0; round < 300; ++round) {
        Bytes bytes = good;
        bytes.resize(random() % (good.size() + 1));
        for (int flips = static_cast<int>(random() % 6); flips > 0 && !bytes.empty(); --flips)
            bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        DecodeSkinBitmap(bytes);  // anything, but no fault
    }
}
