#include "security/Unit_DESCrypt.h"

#include <algorithm>
#include <optional>

namespace {

// Bit positions in the tables below are counted from 1, as the standard
// prints them; bit 1 is the most significant bit of the first byte.

constexpr std::array<std::uint8_t, 64> kInitialPermutation = {
    58, 50, 42, 34, 26, 18, 10, 2,  60, 52, 44, 36, 28, 20, 12, 4,
    62, 54, 46, 38, 30, 22, 14, 6,  64, 56, 48, 40, 32, 24, 16, 8,
    57, 49, 41, 33, 25, 17, 9,  1,  59, 51, 43, 35, 27, 19, 11, 3,
    61, 53, 45, 37, 29, 21, 13, 5,  63, 55, 47, 39, 31, 23, 15, 7,
};

constexpr std::array<std::uint8_t, 64> kFinalPermutation = {
    40, 8, 48, 16, 56, 24, 64, 32, 39, 7, 47, 15, 55, 23, 63, 31,
    38, 6, 46, 14, 54, 22, 62, 30, 37, 5, 45, 13, 53, 21, 61, 29,
    36, 4, 44, 12, 52, 20, 60, 28, 35, 3, 43, 11, 51, 19, 59, 27,
    34, 2, 42, 10, 50, 18, 58, 26, 33, 1, 41, 9,  49, 17, 57, 25,
};

constexpr std::array<std::uint8_t, 48> kExpansion = {
    32, 1,  2,  3,  4,  5,  4,  5,  6,  7,  8,  9,  8,  9,  10, 11,
    12, 13, 12, 13, 14, 15, 16, 17, 16, 17, 18, 19, 20, 21, 20, 21,
    22, 23, 24, 25, 24, 25, 26, 27, 28, 29, 28, 29, 30, 31, 32, 1,
};

constexpr std::array<std::uint8_t, 32> kPermutation = {
    16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
    2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25,
};

constexpr std::array<std::uint8_t, 56> kPermutedChoice1 = {
    57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18,
    10, 2,  59, 51, 43, 35, 27, 19, 11, 3,  60, 52, 44, 36,
    63, 55, 47, 39, 31, 23, 15, 7,  62, 54, 46, 38, 30, 22,
    14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4,
};

constexpr std::array<std::uint8_t, 48> kPermutedChoice2 = {
    14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10,
    23, 19, 12, 4,  26, 8,  16, 7,  27, 20, 13, 2,
    41, 52, 31, 37, 47, 55, 30, 40, 51, 45, 33, 48,
    44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32,
};

constexpr std::array<std::uint8_t, 16> kLeftShifts = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

// S1 ... S8, each as four rows of sixteen columns.
constexpr std::uint8_t kSBoxes[8][4][16] = {
    {{14, 4, 13, 1, 2, 15, 11, 8, 3, 10, 6, 12, 5, 9, 0, 7},
     {0, 15, 7, 4, 14, 2, 13, 1, 10, 6, 12, 11, 9, 5, 3, 8},
     {4, 1, 14, 8, 13, 6, 2, 11, 15, 12, 9, 7, 3, 10, 5, 0},
     {15, 12, 8, 2, 4, 9, 1, 7, 5, 11, 3, 14, 10, 0, 6, 13}},
    {{15, 1, 8, 14, 6, 11, 3, 4, 9, 7, 2, 13, 12, 0, 5, 10},
     {3, 13, 4, 7, 15, 2, 8, 14, 12, 0, 1, 10, 6, 9, 11, 5},
     {0, 14, 7, 11, 10, 4, 13, 1, 5, 8, 12, 6, 9, 3, 2, 15},
     {13, 8, 10, 1, 3, 15, 4, 2, 11, 6, 7, 12, 0, 5, 14, 9}},
    {{10, 0, 9, 14, 6, 3, 15, 5, 1, 13, 12, 7, 11, 4, 2, 8},
     {13, 7, 0, 9, 3, 4, 6, 10, 2, 8, 5, 14, 12, 11, 15, 1},
     {13, 6, 4, 9, 8, 15, 3, 0, 11, 1, 2, 12, 5, 10, 14, 7},
     {1, 10, 13, 0, 6, 9, 8, 7, 4, 15, 14, 3, 11, 5, 2, 12}},
    {{7, 13, 14, 3, 0, 6, 9, 10, 1, 2, 8, 5, 11, 12, 4, 15},
     {13, 8, 11, 5, 6, 15, 0, 3, 4, 7, 2, 12, 1, 10, 14, 9},
     {10, 6, 9, 0, 12, 11, 7, 13, 15, 1, 3, 14, 5, 2, 8, 4},
     {3, 15, 0, 6, 10, 1, 13, 8, 9, 4, 5, 11, 12, 7, 2, 14}},
    {{2, 12, 4, 1, 7, 10, 11, 6, 8, 5, 3, 15, 13, 0, 14, 9},
     {14, 11, 2, 12, 4, 7, 13, 1, 5, 0, 15, 10, 3, 9, 8, 6},
     {4, 2, 1, 11, 10, 13, 7, 8, 15, 9, 12, 5, 6, 3, 0, 14},
     {11, 8, 12, 7, 1, 14, 2, 13, 6, 15, 0, 9, 10, 4, 5, 3}},
    {{12, 1, 10, 15, 9, 2, 6, 8, 0, 13, 3, 4, 14, 7, 5, 11},
     {10, 15, 4, 2, 7, 12, 9, 5, 6, 1, 13, 14, 0, 11, 3, 8},
     {9, 14, 15, 5, 2, 8, 12, 3, 7, 0, 4, 10, 1, 13, 11, 6},
     {4, 3, 2, 12, 9, 5, 15, 10, 11, 14, 1, 7, 6, 0, 8, 13}},
    {{4, 11, 2, 14, 15, 0, 8, 13, 3, 12, 9, 7, 5, 10, 6, 1},
     {13, 0, 11, 7, 4, 9, 1, 10, 14, 3, 5, 12, 2, 15, 8, 6},
     {1, 4, 11, 13, 12, 3, 7, 14, 10, 15, 6, 8, 0, 5, 9, 2},
     {6, 11, 13, 8, 1, 4, 10, 7, 9, 5, 0, 15, 14, 2, 3, 12}},
    {{13, 2, 8, 4, 6, 15, 11, 1, 10, 9, 3, 14, 5, 0, 12, 7},
     {1, 15, 13, 8, 10, 3, 7, 4, 12, 5, 6, 11, 0, 14, 9, 2},
     {7, 11, 4, 1, 9, 12, 14, 2, 0, 6, 10, 13, 15, 3, 5, 8},
     {2, 1, 14, 7, 4, 10, 8, 13, 15, 12, 9, 0, 3, 5, 6, 11}},
};

// For each round and each subkey bit, the 0-based position of that bit in
// C0 D0 (the 56 bits after PC-1): the rotations and PC-2 folded together.
constexpr auto kSubkeyBitSource = [] {
    std::array<std::array<std::uint8_t, 48>, 16> table{};
    unsigned rotation = 0;
    for (std::size_t round = 0; round < 16; ++round) {
        rotation += kLeftShifts[round];
        for (std::size_t bit = 0; bit < 48; ++bit) {
            const unsigned position = kPermutedChoice2[bit] - 1u; // within Ci Di
            const unsigned half = position < 28 ? 0u : 28u;       // C or D
            table[round][bit] = static_cast<std::uint8_t>(half + (position - half + rotation) % 28);
        }
    }
    return table;
}();

// For each bit of the eight S-box outputs, the 0-based bit of f(R, K) that P
// moves it to.
constexpr auto kPermutationTarget = [] {
    std::array<std::uint8_t, 32> target{};
    for (std::size_t i = 0; i < 32; ++i)
        target[kPermutation[i] - 1u] = static_cast<std::uint8_t>(i);
    return target;
}();

using Bits64 = std::array<std::uint8_t, 64>;

Bits64 ToBits(const std::array<std::uint8_t, 8>& bytes)
{
    Bits64 bits{};
    for (std::size_t i = 0; i < 64; ++i)
        bits[i] = (bytes[i / 8] >> (7 - i % 8)) & 1u;
    return bits;
}

std::array<std::uint8_t, 8> FromBits(const Bits64& bits)
{
    std::array<std::uint8_t, 8> bytes{};
    for (std::size_t i = 0; i < 64; ++i)
        bytes[i / 8] = static_cast<std::uint8_t>(bytes[i / 8] | (bits[i] << (7 - i % 8)));
    return bytes;
}

template <std::size_t N>
Bits64 Permute(const Bits64& in, const std::array<std::uint8_t, N>& table)
{
    Bits64 out{};
    for (std::size_t i = 0; i < N; ++i)
        out[i] = in[table[i] - 1u];
    return out;
}

// XORs f(right, subkey) into nextRight, which holds the left half on entry.
void XorCipherFunction(const std::uint8_t* right, const std::array<std::uint8_t, 48>& subkey,
                       std::uint8_t* nextRight)
{
    for (std::size_t box = 0; box < 8; ++box) {
        std::uint8_t e[6];
        for (std::size_t j = 0; j < 6; ++j) {
            const std::size_t bit = box * 6 + j;
            e[j] = right[kExpansion[bit] - 1u] ^ subkey[bit];
        }
        const unsigned row = 2u * e[0] + e[5];
        const unsigned column = 8u * e[1] + 4u * e[2] + 2u * e[3] + e[4];
        const unsigned value = kSBoxes[box][row][column];
        for (std::size_t j = 0; j < 4; ++j)
            nextRight[kPermutationTarget[box * 4 + j]] ^= (value >> (3 - j)) & 1u;
    }
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Pairs of digits to bytes; an odd last digit stands alone. Nothing on an
// empty text or a character that is not a hexadecimal digit.
std::optional<std::string> HexToBytes(std::string_view hex)
{
    if (hex.empty())
        return std::nullopt;
    std::string bytes;
    bytes.reserve((hex.size() + 1) / 2);
    for (std::size_t pos = 0; pos < hex.size(); pos += 2) {
        int value = 0;
        for (char c : hex.substr(pos, 2)) {
            const int digit = HexDigitValue(c);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + digit;
        }
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

// Runs every 8-byte block of data (the last one filled up with zero bytes)
// through the cipher; an empty data still makes one block.
std::string CryptBlocks(std::string_view data, const DesSubkeys& subkeys,
                        void (*appendBlock)(std::string&, const DesBlock&))
{
    std::string result;
    std::size_t pos = 0;
    do {
        DesBlock block{};
        const std::string_view chunk = data.substr(pos, 8);
        std::copy(chunk.begin(), chunk.end(), block.begin());
        appendBlock(result, DesCryptBlock(block, subkeys));
        pos += 8;
    } while (pos < data.size());
    return result;
}

} // namespace

DesKey DesKeyFromString(std::string_view keyString)
{
    DesKey key{};
    for (std::size_t p = 1; p <= keyString.size(); ++p)
        key[p % 8] = static_cast<std::uint8_t>(key[p % 8] + static_cast<std::uint8_t>(keyString[p - 1]));
    return key;
}

DesSubkeys DesKeySchedule(const DesKey& key, DesDirection direction)
{
    const Bits64 cd = Permute(ToBits(key), kPermutedChoice1);
    DesSubkeys subkeys;
    for (std::size_t round = 0; round < 16; ++round) {
        auto& subkey = subkeys.keys[direction == DesDirection::Encrypt ? round : 15 - round];
        for (std::size_t bit = 0; bit < 48; ++bit)
            subkey[bit] = cd[kSubkeyBitSource[round][bit]];
    }
    return subkeys;
}

DesBlock DesCryptBlock(const DesBlock& input, const DesSubkeys& subkeys)
{
    // Left half in bits 0-31, right half in 32-63.
    Bits64 halves = Permute(ToBits(input), kInitialPermutation);
    for (const auto& subkey : subkeys.keys) {
        std::array<std::uint8_t, 32> nextRight;
        std::copy_n(halves.begin(), 32, nextRight.begin());
        XorCipherFunction(halves.data() + 32, subkey, nextRight.data());
        std::copy_n(halves.begin() + 32, 32, halves.begin());
        std::copy(nextRight.begin(), nextRight.end(), halves.begin() + 32);
    }
    // The last round's halves go out unexchanged: R16 L16.
    std::rotate(halves.begin(), halves.begin() + 32, halves.end());
    return FromBits(Permute(halves, kFinalPermutation));
}

std::string DesEncryptToHex(std::string_view text, std::string_view key)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const DesSubkeys subkeys = DesKeySchedule(DesKeyFromString(key), DesDirection::Encrypt);
    return CryptBlocks(text, subkeys, [](std::string& out, const DesBlock& block) {
        for (std::uint8_t byte : block) {
            out.push_back(kDigits[byte >> 4]);
            out.push_back(kDigits[byte & 0x0F]);
        }
    });
}

std::string DesDecryptFromHex(std::string_view cipherHex, std::string_view key)
{
    const std::optional<std::string> bytes = HexToBytes(cipherHex);
    if (!bytes)
        return {};
    const DesSubkeys subkeys = DesKeySchedule(DesKeyFromString(key), DesDirection::Decrypt);
    std::string text = CryptBlocks(*bytes, subkeys, [](std::string& out, const DesBlock& block) {
        out.append(block.begin(), block.end());
    });
    // Everything from the first zero byte on is the filler of the last block.
    text.resize(std::min(text.size(), text.find('\0')));
    return text;
}
