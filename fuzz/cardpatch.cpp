// The card patcher over any card and any new value of one field: a card it
// cannot read is refused, never half patched, and so is a card outside UTF-8
// that the code page cannot convert; a readable card stays readable with its
// UID; and a record that did not change leaves the card byte for byte.
//
// Input: the card, a NUL, one byte choosing the field, then the new value.
#include "FuzzCheck.h"

#include "sync/CardMap.h"
#include "sync/CardPatch.h"
#include "transfer/FileFormatError.h"
#include "transfer/TextEncoding.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::string_view card = input.substr(0, nul);
    const std::string_view edit = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);

    const std::optional<transfer::Record> base = booksync::RecordOfCard(card);
    if (!base) {
        try {
            booksync::PatchCard(card, transfer::Record(), transfer::Record());
            FUZZ_CHECK(false && "an unreadable card was patched");
        } catch (const transfer::FileFormatError&) {
        }
        return 0;
    }
    FUZZ_CHECK(booksync::PatchCard(card, *base, *base) == card);
    if (edit.empty())
        return 0;
    transfer::Record local = *base;
    const int column = 1 + static_cast<unsigned char>(edit[0]) % (transfer::col::Count - 1);
    local[column] = edit.substr(1);
    std::string patched;
    try {
        patched = booksync::PatchCard(card, *base, local);
    } catch (const transfer::FileFormatError&) {
        // Only a card outside UTF-8 that the code page cannot read either is refused.
        FUZZ_CHECK(transfer::ValidUtf8Prefix(card) != card.size());
        return 0;
    }
    FUZZ_CHECK(booksync::RecordOfCard(patched).has_value());
    // (A card converted from the code page keeps its UID's characters, not its bytes.)
    if (transfer::ValidUtf8Prefix(card) == card.size())
        FUZZ_CHECK(booksync::UidOfCard(patched) == booksync::UidOfCard(card));
    return 0;
}
