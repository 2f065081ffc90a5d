#include "skin/format/LzhEncode.h"
#include "skin/format/SkinArchive.h"
#include "skin/Skins.h"

#include "support/ScriptedMessageBoxes.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::span<const std::uint8_t> AsBytes(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

Bytes Property(const Bytes& stored)
{
    const auto n = static_cast<std::uint32_t>(stored.size());
    Bytes property{static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                   static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
    property.insert(property.end(), stored.begin(), stored.end());
    return property;
}

// The skin's source files, as the packer takes them.
QFileInfoList SkinSources()
{
    QDir folder(QStringLiteral(QUILLORY_SOURCE_DIR "/resources/skin"));
    return folder.entryInfoList({QStringLiteral("*.ini"), QStringLiteral("*.bmp")}, QDir::Files, QDir::Name);
}

} // namespace

TEST(ProgramSkin, StoredSkinHoldsEverySourceFileOfTheSkin)
{
    const QByteArray property = ProgramSkinStream();
    ASSERT_GT(property.size(), 4);
    TSkinReader reader;
    ASSERT_TRUE(reader.Open(AsBytes(property).subspan(4)));

    const QFileInfoList sources = SkinSources();
    std::size_t nameTable = 0, payload = 0;
    for (const QFileInfo& file : sources) {
        nameTable += static_cast<std::size_t>(file.fileName().size()) + 2;
        payload += static_cast<std::size_t>(file.size());
    }
    const std::size_t k = static_cast<std::size_t>(sources.size());
    EXPECT_EQ(reader.FormatCode(), 70000u);
    EXPECT_EQ(reader.NameTableLength(), nameTable);
    EXPECT_EQ(reader.Names().size(), k);
    EXPECT_EQ(reader.DecompressedSize(), 16 + 69 + nameTable + 4 * k + payload);
    std::uint64_t total = 0;
    for (auto size : reader.Sizes())
        total += size;
    EXPECT_EQ(total, reader.EntryBytesSize());
    EXPECT_EQ(total, payload);
    EXPECT_EQ(reader.Names().front(), "quillory.ini");
}

TEST(ProgramSkin, LoadsWithItsBordersButtonsAndColours)
{
    TSkin skin;
    ASSERT_TRUE(skin.ReadSkinStream(AsBytes(ProgramSkinStream())));
    ASSERT_TRUE(skin.SkinLoaded());
    const SkinData& data = *skin.Data();
    EXPECT_FALSE(data.SkinName.empty());
    for (const SkinBorder& border : data.Borders)
        EXPECT_FALSE(border.Image.isNull());

    ASSERT_EQ(data.CaptionButtons.size(), 8u);
    const char* sections[] = {"Button0", "Button4", "Button7", "Button10", "Button17"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(data.CaptionButtons[i].Section, sections[i]);
        EXPECT_FALSE(data.CaptionButtons[i].ButtonImage.isNull()) << sections[i];
    }
    for (int i = 5; i < 8; ++i)
        EXPECT_FALSE(data.CaptionButtons[i].ButtonImage.isNull());
    EXPECT_EQ(data.ColourList.size(), 25u);

    // Every element the skin describes has its picture.
    for (SkinPart part : {SkinPart::Progress, SkinPart::ProgressChunk, SkinPart::GroupBoxEdge, SkinPart::GroupBox,
                          SkinPart::Tabs, SkinPart::StatusBarEdges, SkinPart::TabPane, SkinPart::ComboButton,
                          SkinPart::MenuItem, SkinPart::MenuBackground, SkinPart::Scrollbar, SkinPart::HorzScrollThumb,
                          SkinPart::VertScrollThumb, SkinPart::TrackbarThumbHorz, SkinPart::UpDownVert, SkinPart::Track,
                          SkinPart::TrackVert})
        EXPECT_TRUE(data.Element(part)) << static_cast<int>(part);
    EXPECT_FALSE(data.Buttons.Bitmap.isNull());
    EXPECT_FALSE(data.Buttons.CheckButton.isNull());
    EXPECT_FALSE(data.Buttons.RadioButton.isNull());
    EXPECT_TRUE(data.MenuBar);
}

TEST(SkinComponent, PropertyRoundTripsAndOddLengthsChangeNothing)
{
    const QByteArray programSkin = ProgramSkinStream();
    TSkin skin;
    ASSERT_TRUE(skin.ReadSkinStream(AsBytes(programSkin)));
    const Bytes written = skin.WriteSkinStream();
    EXPECT_EQ(written, Bytes(programSkin.begin(), programSkin.end()));

    const Bytes stored = skin.StoredSkin();
    for (const Bytes& property : {Bytes{0, 0, 0, 0, 9}, Bytes{0xFF, 0xFF, 0xFF, 0xFF, 9}, Bytes{1, 0},
                                  Bytes{10, 0, 0, 0, 1, 2, 3}}) {
        EXPECT_FALSE(skin.ReadSkinStream(property));
        EXPECT_EQ(skin.StoredSkin(), stored);
    }
    EXPECT_TRUE(skin.SkinLoaded());  // the skin loaded before stays
}

TEST(SkinComponent, AStoredSkinThatDoesNotLoadLeavesTheSystemLook)
{
    ScriptedMessageBoxes boxes;
    TSkin skin;
    ASSERT_TRUE(skin.ReadSkinStream(AsBytes(ProgramSkinStream())));

    const Bytes description{'[', 'a', ']'};
    EXPECT_FALSE(skin.ReadSkinStream(Property(LzhEncode(WriteSkinArchive(std::vector<SkinArchiveEntry>{{"x.bmp", description}})))));
    EXPECT_FALSE(skin.SkinLoaded());  // no description
    EXPECT_EQ(skin.Data(), nullptr);

    EXPECT_FALSE(skin.ReadSkinStream(Property(LzhEncode(WriteSkinArchive(std::vector<SkinArchiveEntry>{{"a.ini", description}}, 10000)))));
    EXPECT_FALSE(skin.SkinLoaded());
    ASSERT_EQ(boxes.texts().size(), 1);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("This is Older Skin File\rPlease update to new version !"));

    EXPECT_FALSE(skin.ReadSkinStream(Property({1, 2, 3})));  // too short to hold a size
    EXPECT_TRUE(skin.ReadSkinStream(Property(LzhEncode(WriteSkinArchive(std::vector<SkinArchiveEntry>{{"a.ini", description}})))));
    EXPECT_TRUE(skin.SkinLoaded());  // a bare description is a skin, with every default
}
