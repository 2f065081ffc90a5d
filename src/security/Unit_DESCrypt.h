#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// DES (FIPS 46-3) in ECB mode over byte strings, with a key folded from a key
// string and the cipher text written as uppercase hexadecimal digits. Used to
// keep the management password in the database.

using DesKey = std::array<std::uint8_t, 8>;
using DesBlock = std::array<std::uint8_t, 8>;

enum class DesDirection { Encrypt, Decrypt };

// The sixteen 48-bit subkeys, one bit per byte, in the order they are applied.
struct DesSubkeys {
    std::array<std::array<std::uint8_t, 48>, 16> keys{};
};

DesKey DesKeyFromString(std::string_view keyString);
DesSubkeys DesKeySchedule(const DesKey& key, DesDirection direction);
DesBlock DesCryptBlock(const DesBlock& input, const DesSubkeys& subkeys);

std::string DesEncryptToHex(std::string_view text, std::string_view key);
std::string DesDecryptFromHex(std::string_view cipherHex, std::string_view key);
