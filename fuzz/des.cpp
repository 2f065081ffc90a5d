// DesDecryptFromHex over any cipher text and key. Input: the key, a line
// break, then the cipher text (without a line break, all of it is cipher text
// and the key is empty).
#include "FuzzCheck.h"

#include "security/Unit_DESCrypt.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

bool IsUpperHex(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

std::size_t HexLengthFor(std::size_t textLength)
{
    return 16 * std::max<std::size_t>(1, (textLength + 7) / 8);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\n');
    const std::string_view key = split == std::string_view::npos ? std::string_view() : input.substr(0, split);
    const std::string_view cipher = split == std::string_view::npos ? input : input.substr(split + 1);

    const std::string text = DesDecryptFromHex(cipher, key);
    // The zero filler is cut off, and no more than the cipher held comes out.
    FUZZ_CHECK(text.find('\0') == std::string::npos);
    FUZZ_CHECK(text.size() <= HexLengthFor((cipher.size() + 1) / 2) / 2);

    // Whatever came out encrypts to whole blocks of uppercase digits and
    // decrypts back to itself.
    const std::string again = DesEncryptToHex(text, key);
    FUZZ_CHECK(again.size() == HexLengthFor(text.size()) && IsUpperHex(again));
    FUZZ_CHECK(DesDecryptFromHex(again, key) == text);

    // A cipher text in the program's own form whose plain text had no zero
    // byte is exactly what encrypting that plain text gives.
    if (!cipher.empty() && cipher.size() % 16 == 0 && IsUpperHex(cipher) && text.size() == cipher.size() / 2)
        FUZZ_CHECK(again == cipher);
    return 0;
}
