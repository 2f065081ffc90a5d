// LzhDecode over any stored skin. Answers must hold exactly the announced
// size, and a short output must survive the encoder and decoder unchanged.
#include "FuzzCheck.h"

#include "skin/format/Lzh.h"
#include "skin/format/LzhEncode.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// Sizes up to the decoder's limit are legal, but every byte of a big one costs
// decoding time without reaching new code; larger announced sizes are skipped
// (8 KiB still runs twice round the 4 KiB history).
constexpr std::uint32_t kLargestFuzzedOutput = 8u * 1024;
constexpr std::size_t kLargestRoundTrip = 1024;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t announced = 0;
    if (size >= 4) {
        announced = std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 | std::uint32_t(data[2]) << 16
                    | std::uint32_t(data[3]) << 24;
        if (announced > kLargestFuzzedOutput)
            return 0;
    }

    std::vector<std::uint8_t> out{1, 2, 3};  // must be replaced, never appended to
    if (!LzhDecode(data, size, out)) {
        FUZZ_CHECK(out.empty());
        FUZZ_CHECK(size < 4);
        return 0;
    }
    FUZZ_CHECK(size >= 4 && out.size() == announced);

    // The encoder costs several times the decoder, so only short outputs take
    // the way back; they still hold every kind of symbol and match.
    if (out.size() > kLargestRoundTrip)
        return 0;
    const std::vector<std::uint8_t> stored = LzhEncode(out);
    std::vector<std::uint8_t> again;
    FUZZ_CHECK(LzhDecode(stored.data(), stored.size(), again));
    FUZZ_CHECK(again == out);
    return 0;
}
