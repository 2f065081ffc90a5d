#include "Bytes.h"
#include "skin/format/Lzh.h"
#include "skin/format/LzhEncode.h"

#include <gtest/gtest.h>

#include <random>
#include <string_view>

namespace {

Bytes RoundTrip(const Bytes& data)
{
    const Bytes stored = LzhEncode(data);
    Bytes decoded{0xEE};
    EXPECT_TRUE(LzhDecode(stored.data(), stored.size(), decoded));
    return decoded;
}

Bytes RandomBytes(std::size_t size, unsigned seed, int alphabet = 256)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, alphabet - 1);
    Bytes data(size);
    for (auto& b : data)
        b = static_cast<std::uint8_t>(byte(random));
    return data;
}

Bytes Text(std::size_t size)
{
    static constexpr std::string_view words[] = {"address ", "book ", "contact ", "QQ ", "mobile ",
                                                 "phone\r\n", "mail ", "home page ", "[Section]\r\n",
                                                 "Key=0x1F\r\n", "remarks "};
    std::mt19937 random(7);
    Bytes data;
    while (data.size() < size) {
        const auto word = words[random() % std::size(words)];
        data.insert(data.end(), word.begin(), word.end());
    }
    data.resize(size);
    return data;
}

} // namespace

TEST(Lzh, PositionCodeIsTheSchemesFixedTable)
{
    using lzh::kPositionCode;
    const std::pair<int, std::pair<int, int>> expected[] = {
        {0, {0x00, 3}},  {1, {0x20, 4}},  {3, {0x40, 4}},  {4, {0x50, 5}},  {11, {0x88, 5}},
        {12, {0x90, 6}}, {23, {0xBC, 6}}, {24, {0xC0, 7}}, {47, {0xEE, 7}}, {48, {0xF0, 8}},
        {63, {0xFF, 8}}};
    for (const auto& [upper, code] : expected) {
        EXPECT_EQ(kPositionCode.codeBits[upper], code.first) << upper;
        EXPECT_EQ(kPositionCode.codeLength[upper], code.second) << upper;
    }
    EXPECT_EQ(kPositionCode.upperBits[0x1F], 0);
    EXPECT_EQ(kPositionCode.upperBits[0x2F], 1);
    EXPECT_EQ(kPositionCode.length[0x57], 5);
    EXPECT_EQ(kPositionCode.upperBits[0xEF], 47);
}

// Worked out by hand from the starting tree: leaf 65 sits at depth 9 on the path
// 626 > 625 > 623 > 619 > 610 > 592 > 557 > 487 > 346 > 65, i.e. bits 111001101.
TEST(Lzh, FirstLiteralUsesTheStartingTree)
{
    const Bytes stored{1, 0, 0, 0, 0xE6, 0x80};
    EXPECT_EQ(LzhEncode(FromText("A")), stored);
    Bytes out;
    ASSERT_TRUE(LzhDecode(stored.data(), stored.size(), out));
    EXPECT_EQ(out, FromText("A"));
}

TEST(Lzh, RoundTripsAtSeveralSizesAndContents)
{
    Bytes allBytes;
    for (int round = 0; round < 40; ++round)
        for (int b = 0; b < 256; ++b)
            allBytes.push_back(static_cast<std::uint8_t>(b));
    const Bytes cases[] = {
        {},
        FromText("x"),
        FromText("   "),  // a match into the ring's starting blanks
        Bytes(100000, 0xAB),  // long runs: overlapping copies
        allBytes,
        Text(70000),
        RandomBytes(50000, 1),
        RandomBytes(300000, 2, 6),  // many matches, frequent tree rebuilds
    };
    for (const Bytes& data : cases)
        EXPECT_EQ(RoundTrip(data), data) << "size " << data.size();
}

TEST(Lzh, RunsThatReachAcrossTheRing)
{
    // Repeats at a distance of 4095/4096/4097 bytes: the oldest ring positions.
    Bytes data = RandomBytes(4096, 3);
    const Bytes again(data.begin(), data.end());
    data.insert(data.end(), again.begin(), again.end());
    data.insert(data.end(), again.begin() + 1, again.end());
    EXPECT_EQ(RoundTrip(data), data);
}

TEST(Lzh, RefusesStoredSkinsWithoutOrBeyondAUsableSize)
{
    Bytes out{1, 2, 3};
    const Bytes tooShort{5, 0, 0};
    EXPECT_FALSE(LzhDecode(tooShort.data(), tooShort.size(), out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(LzhDecode(nullptr, 8, out));

    const Bytes huge{0x01, 0x00, 0x00, 0x04, 0xFF};  // 64 MiB + 1
    EXPECT_FALSE(LzhDecode(huge.data(), huge.size(), out));
    const Bytes negative{0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_FALSE(LzhDecode(negative.data(), negative.size(), out));

    const Bytes empty{0, 0, 0, 0};
    EXPECT_TRUE(LzhDecode(empty.data(), empty.size(), out));
    EXPECT_TRUE(out.empty());
}

TEST(Lzh, StreamThatEndsEarlyStillGivesEveryByteAndKeepsTheIntactStart)
{
    const Bytes data = Text(20000);
    Bytes stored = LzhEncode(data);
    stored.resize(stored.size() / 2);
    Bytes out;
    ASSERT_TRUE(LzhDecode(stored.data(), stored.size(), out));
    ASSERT_EQ(out.size(), data.size());
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 5000, out.begin()));

    const Bytes onlySize{0x10, 0x27, 0, 0};  // 10000 bytes, no stream at all: zero bits
    ASSERT_TRUE(LzhDecode(onlySize.data(), onlySize.size(), out));
    EXPECT_EQ(out.size(), 10000u);
}

TEST(Lzh, GarbageStreamsDecodeToTheirSizeWithoutFault)
{
    std::mt19937 random(11);
    for (int round = 0; round < 80; ++round) {
        Bytes stored = RandomBytes(4 + random() % 3000, random());
        const std::uint32_t size = random() % 100000;
        for (int i = 0; i < 4; ++i)
            stored[i] = static_cast<std::uint8_t>(size >> (8 * i));
        Bytes out;
        ASSERT_TRUE(LzhDecode(stored.data(), stored.size(), out));
        ASSERT_EQ(out.size(), size);
    }
}

TEST(Lzh, DecoderObjectIsReusable)
{
    TLZH decoder;
    const Bytes first = Text(3000), second = RandomBytes(3000, 5);
    Bytes out;
    ASSERT_TRUE(decoder.Decode(LzhEncode(first), out));
    EXPECT_EQ(out, first);
    ASSERT_TRUE(decoder.Decode(LzhEncode(second), out));
    EXPECT_EQ(out, second);
}
