#include "security/Unit_DESCrypt.h"

#include <gtest/gtest.h>

#include <random>

namespace {

DesBlock BlockFromHex(std::string_view hex)
{
    DesBlock block{};
    for (std::size_t i = 0; i < 8; ++i)
        block[i] = static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(2 * i, 2)), nullptr, 16));
    return block;
}

DesBlock Crypt(std::string_view keyHex, std::string_view blockHex, DesDirection direction)
{
    return DesCryptBlock(BlockFromHex(blockHex), DesKeySchedule(BlockFromHex(keyHex), direction));
}

std::string Bytes(std::initializer_list<unsigned char> bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

struct KnownAnswer {
    const char* key;
    const char* plain;
    const char* cipher;
};

// Published single-block values: the standard's worked example, the
// variable-plaintext, variable-key and S-box tables of the validation suite.
constexpr KnownAnswer kKnownAnswers[] = {
    {"133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
    {"0123456789ABCDEF", "4E6F772069732074", "3FA40E8A984D4815"},
    {"0000000000000000", "0000000000000000", "8CA64DE9C1B123A7"},
    {"0101010101010101", "8000000000000000", "95F8A5E5DD31D900"},
    {"8001010101010101", "0000000000000000", "95A8D72813DAA94D"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "690F5B0D9A26939B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "7A389D10354BD271"},
    {"07A1133E4A0B2686", "0248D43806F67172", "868EBB51CAB4599A"},
    {"3849674C2602319E", "51454B582DDF440A", "7178876E01F19B2A"},
    {"04B915BA43FEB5B6", "42FD443059577FA2", "AF37FB421F8C4095"},
};

TEST(DesCryptBlock, MatchesPublishedValuesInBothDirections)
{
    for (const KnownAnswer& answer : kKnownAnswers) {
        SCOPED_TRACE(answer.key);
        EXPECT_EQ(Crypt(answer.key, answer.plain, DesDirection::Encrypt), BlockFromHex(answer.cipher));
        EXPECT_EQ(Crypt(answer.key, answer.cipher, DesDirection::Decrypt), BlockFromHex(answer.plain));
    }
}

// Sixteen chained steps, each using its input as key, alternately encrypting
// and decrypting: touches many keys and S-box entries, so a single wrong table
// entry shows up in the final value.
TEST(DesCryptBlock, ChainedSelfKeyedStepsReachPublishedValue)
{
    DesBlock x = BlockFromHex("9474B8E8C73BCA7D");
    for (int i = 0; i < 16; ++i) {
        const DesDirection direction = i % 2 == 0 ? DesDirection::Encrypt : DesDirection::Decrypt;
        x = DesCryptBlock(x, DesKeySchedule(x, direction));
    }
    EXPECT_EQ(x, BlockFromHex("1B1A2DDB4C642438"));
}

TEST(DesKeyFromString, FoldsBytesOntoPositionModEight)
{
    EXPECT_EQ(DesKeyFromString(""), DesKey{});
    EXPECT_EQ(DesKeyFromString(std::string(8, '\0')), DesKey{});
    EXPECT_EQ(DesKeyFromString("qxj"), (DesKey{0, 'q', 'x', 'j', 0, 0, 0, 0}));
    EXPECT_EQ(DesKeyFromString("12345678"), (DesKey{'8', '1', '2', '3', '4', '5', '6', '7'}));
    // The ninth byte is added onto K[1], wrapping modulo 256.
    EXPECT_EQ(DesKeyFromString(Bytes({0xF0, 0, 0, 0, 0, 0, 0, 0, 0x20})), (DesKey{0, 0x10, 0, 0, 0, 0, 0, 0}));
    // Bytes at positions p and p + 8 may trade places.
    EXPECT_EQ(DesKeyFromString("abcdefghABCDEFGH"), DesKeyFromString("aBcdefghAbCDEFGH"));
}

TEST(DesEncryptToHex, BlockCountAndDigits)
{
    struct { std::size_t length; std::size_t digits; } cases[] = {{0, 16}, {1, 16}, {7, 16}, {8, 16}, {9, 32}, {16, 32}, {17, 48}};
    for (const auto& c : cases) {
        const std::string hex = DesEncryptToHex(std::string(c.length, 'x'), "qxj");
        EXPECT_EQ(hex.size(), c.digits) << c.length;
        EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos) << hex;
    }
}

TEST(DesEncryptToHex, EmptyTextAndKeyEncryptOneZeroBlockUnderTheZeroKey)
{
    EXPECT_EQ(DesEncryptToHex("", ""), "8CA64DE9C1B123A7");
    // The filler is zero bytes, so a short text equals its zero-padded form.
    EXPECT_EQ(DesEncryptToHex("abc", "k"), DesEncryptToHex(std::string("abc\0\0\0\0\0", 8), "k"));
}

TEST(DesEncryptToHex, UsesTheFoldedKeyOnEveryBlock)
{
    // Key string "\x01" folds to K[1] = 1: the key 00 01 00 ... 00.
    const DesBlock expected = Crypt("0001000000000000", "4E6F772069732074", DesDirection::Encrypt);
    std::string expectedHex;
    for (std::uint8_t byte : expected) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", byte);
        expectedHex += digits;
    }
    EXPECT_EQ(DesEncryptToHex("Now is tNow is t", "\x01"), expectedHex + expectedHex);
}

TEST(DesDecryptFromHex, RoundTripsTextsWithoutZeroBytes)
{
    std::mt19937 random(46);
    std::uniform_int_distribution<int> byte(1, 255);
    for (std::size_t length = 0; length < 40; ++length) {
        std::string text, key;
        for (std::size_t i = 0; i < length; ++i)
            text.push_back(static_cast<char>(byte(random)));
        for (std::size_t i = 0; i < length % 13; ++i)
            key.push_back(static_cast<char>(byte(random)));
        EXPECT_EQ(DesDecryptFromHex(DesEncryptToHex(text, key), key), text) << length;
    }
    const std::string gbk = "\xB9\xDC\xC0\xED\xC3\xDC\xC2\xEB"; // a GBK password
    EXPECT_EQ(DesDecryptFromHex(DesEncryptToHex(gbk, "qxj"), "qxj"), gbk);
}

TEST(DesDecryptFromHex, AcceptsLowercaseDigits)
{
    const std::string hex = DesEncryptToHex("password", "qxj");
    std::string lower = hex;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(DesDecryptFromHex(lower, "qxj"), "password");
}

TEST(DesDecryptFromHex, MalformedCipherTextGivesEmptyText)
{
    const std::string good = DesEncryptToHex("secret", "qxj");
    EXPECT_EQ(DesDecryptFromHex("", "qxj"), "");
    for (char bad : {'G', 'g', ' ', '-', '+', '\0', 'Z'}) {
        std::string hex = good;
        hex[5] = bad;
        EXPECT_EQ(DesDecryptFromHex(hex, "qxj"), "") << int(bad);
    }
    EXPECT_EQ(DesDecryptFromHex("0x12", "qxj"), "");
}

TEST(DesDecryptFromHex, ShortAndOddCipherTextsAreZeroFilled)
{
    // One trailing digit is a byte of value 0-15; a short block is filled up
    // with zero bytes. Both decrypt exactly like the padded block.
    const auto decryptBlock = [](std::string_view blockHex) {
        const DesBlock out = Crypt("0000000000000000", blockHex, DesDirection::Decrypt);
        std::string text(out.begin(), out.end());
        return text.substr(0, text.find('\0'));
    };
    EXPECT_EQ(DesDecryptFromHex("ABC", ""), decryptBlock("AB0C000000000000"));
    EXPECT_EQ(DesDecryptFromHex(DesEncryptToHex("abcdefgh", "") + "12", ""),
              "abcdefgh" + decryptBlock("1200000000000000"));
}

TEST(DesDecryptFromHex, CutsAtTheFirstZeroByte)
{
    const std::string text("abc\0def", 7);
    EXPECT_EQ(DesDecryptFromHex(DesEncryptToHex(text, "qxj"), "qxj"), "abc");
    EXPECT_EQ(DesDecryptFromHex(DesEncryptToHex(std::string("\0x", 2), "qxj"), "qxj"), "");
    EXPECT_EQ(DesDecryptFromHex(DesEncryptToHex("", "qxj"), "qxj"), "");
}

} // namespace
