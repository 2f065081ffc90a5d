#include "Bytes.h"
#include "skin/format/LzhEncode.h"
#include "skin/format/SkinArchive.h"
#include "skin/format/SkinReader.h"

#include "support/ScriptedMessageBoxes.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<SkinArchiveEntry> SampleEntries()
{
    return {{"Skin.INI", FromText("[TitlebarSkin]\r\nSkinName=Sample\r\n")},
            {"Frame.bmp", FromText("frame bytes")},
            {"empty.bmp", {}},
            {"Frame.bmp", FromText("second entry of the same name")}};
}

void PutLittleEndian32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::string AsText(std::span<const std::uint8_t> bytes) { return std::string(bytes.begin(), bytes.end()); }

} // namespace

TEST(SkinReader, OpensAnArchiveAndFindsEntriesByNameAndPart)
{
    const auto entries = SampleEntries();
    TSkinReader reader;
    ASSERT_TRUE(reader.Open(LzhEncode(WriteSkinArchive(entries))));
    EXPECT_EQ(reader.FormatCode(), 70000u);
    EXPECT_EQ(reader.Names(), (std::vector<std::string>{"skin.ini", "frame.bmp", "empty.bmp", "frame.bmp"}));
    EXPECT_EQ(reader.Sizes(), (std::vector<std::uint32_t>{33, 11, 0, 29}));

    EXPECT_EQ(AsText(reader.FindByName("FRAME.BMP")), "frame bytes");
    EXPECT_TRUE(reader.FindByName("empty.bmp").empty());
    EXPECT_TRUE(reader.FindByName("absent.bmp").empty());

    const auto description = reader.FindByPart(".ini");
    ASSERT_TRUE(description);
    EXPECT_EQ(description->name, "skin.ini");
    EXPECT_EQ(AsText(description->bytes), AsText(entries[0].bytes));
    EXPECT_FALSE(reader.FindByPart(".INI"));  // the text itself is not folded
}

TEST(SkinReader, ReadsEverySkinFormatWithItsSkippedBlock)
{
    for (const SkinFormat& format : kSkinFormats) {
        TSkinReader reader;
        ASSERT_TRUE(reader.OpenArchive(WriteSkinArchive(SampleEntries(), format.code))) << format.code;
        EXPECT_EQ(AsText(reader.FindByName("frame.bmp")), "frame bytes") << format.code;
    }
}

TEST(SkinReader, OlderFormatIsRefusedAndNamedSo)
{
    TSkinReader reader;
    EXPECT_FALSE(reader.Open(LzhEncode(WriteSkinArchive(SampleEntries(), 10000))));
    EXPECT_TRUE(reader.OlderFormat());
    EXPECT_EQ(reader.Count(), 0);
    ASSERT_TRUE(reader.Open(LzhEncode(WriteSkinArchive(SampleEntries()))));
    EXPECT_FALSE(reader.OlderFormat()) << "a later skin of a known format clears it";
}

TEST(SkinReader, SplitsNameTablesAtEveryKindOfLineBreak)
{
    EXPECT_EQ(SplitSkinNameTable("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitSkinNameTable("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitSkinNameTable("a\n\rb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitSkinNameTable(std::string_view("a\r\nb\0c\r\n", 8)), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(SplitSkinNameTable("").empty());
}

TEST(SkinReader, RefusesLayoutsThatPointPastTheData)
{
    const Bytes good = WriteSkinArchive(SampleEntries());
    const std::size_t namesAt = 16 + 69;
    const std::uint32_t nameTableLength = 40;  // "skin.ini\r\nframe.bmp\r\nempty.bmp\r\nframe.bmp\r\n"
    const std::size_t sizesAt = namesAt + nameTableLength;

    auto refuses = [](const Bytes& archive) {
        ScriptedMessageBoxes boxes;
        TSkinReader reader;
        const bool opened = reader.OpenArchive(archive);
        return !opened && boxes.shown().empty() && reader.Count() == 0;
    };
    ASSERT_FALSE(refuses(good));

    EXPECT_TRUE(refuses(Bytes(good.begin(), good.begin() + 15)));  // no whole header
    Bytes longTable = good;
    PutLittleEndian32(longTable, 4, static_cast<std::uint32_t>(good.size()));
    EXPECT_TRUE(refuses(longTable));
    Bytes hugeTable = good;
    PutLittleEndian32(hugeTable, 4, 0xFFFFFFF0u);
    EXPECT_TRUE(refuses(hugeTable));
    EXPECT_TRUE(refuses(Bytes(good.begin(), good.begin() + sizesAt + 10)));  // sizes cut off
    Bytes bigEntry = good;
    PutLittleEndian32(bigEntry, sizesAt + 4, 1000);
    EXPECT_TRUE(refuses(bigEntry));
    Bytes wrapping = good;  // sums that would wrap a 32-bit total
    PutLittleEndian32(wrapping, sizesAt + 0, 0xFFFFFFFFu);
    PutLittleEndian32(wrapping, sizesAt + 4, 0xFFFFFFFFu);
    PutLittleEndian32(wrapping, sizesAt + 8, 2);
    EXPECT_TRUE(refuses(wrapping));

    Bytes trailing = good;  // bytes beyond the last entry are harmless
    trailing.push_back(0);
    TSkinReader reader;
    EXPECT_TRUE(reader.OpenArchive(trailing));
}

TEST(SkinReader, HoldsMoreThanAThousandEntries)
{
    std::vector<SkinArchiveEntry> entries;
    for (int i = 0; i < 1500; ++i)
        entries.push_back({"e" + std::to_string(i) + ".bmp", Bytes(3, static_cast<std::uint8_t>(i))});
    TSkinReader reader;
    ASSERT_TRUE(reader.Open(LzhEncode(WriteSkinArchive(entries))));
    EXPECT_EQ(reader.Count(), 1500);
    EXPECT_EQ(reader.FindByName("e1499.bmp")[0], static_cast<std::uint8_t>(1499));
}

TEST(SkinReader, RefusesNameTablesOfMoreEntriesThanAnySkinHas)
{
    const std::size_t lines = kLargestSkinEntryCount + 1;
    Bytes archive(16, 0);
    PutLittleEndian32(archive, 0, 20000);  // no skipped block
    PutLittleEndian32(archive, 4, static_cast<std::uint32_t>(lines));
    archive.resize(16 + lines + 4 * lines, 0);
    std::fill_n(archive.begin() + 16, lines, '\n');
    TSkinReader reader;
    EXPECT_FALSE(reader.OpenArchive(archive));
    EXPECT_EQ(CountSkinNameTableLines("a\r\n\r\nb"), 3u);
}

TEST(SkinReader, GarbageStoredSkinsNeverOpenAsAnythingBroken)
{
    ScriptedMessageBoxes boxes;
    std::mt19937 random(5);
    const Bytes good = LzhEncode(WriteSkinArchive(SampleEntries()));
    for (int round = 0; round < 300; ++round) {
        Bytes stored = good;
        for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips)
            stored[4 + random() % (stored.size() - 4)] ^= static_cast<std::uint8_t>(1 + random() % 255);
        TSkinReader reader;
        if (reader.Open(stored)) {
            // Whatever opened is internally consistent.
            std::uint64_t total = 0;
            for (auto size : reader.Sizes())
                total += size;
            EXPECT_LE(total, reader.EntryBytesSize());
            for (const auto& name : reader.Names())
                reader.FindByName(name);
        }
    }
}
