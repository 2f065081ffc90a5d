#include "transfer/EncodingGuess.h"

#include <uchardet/uchardet.h>

#include <algorithm>

namespace transfer {
namespace {

// A text with fewer bytes beyond ASCII than this is short.
constexpr std::size_t ShortBytes = 64;

bool InGb2312(unsigned char lead, unsigned char trail)
{
    return lead >= 0xA1 && lead <= 0xF7 && trail >= 0xA1 && trail <= 0xFE;
}

} // namespace

struct EncodingGuesser::Detector {
    Detector() : handle(uchardet_new()) {}
    ~Detector() { uchardet_delete(handle); }
    uchardet_t handle;
};

EncodingGuesser::EncodingGuesser() : detector_(std::make_unique<Detector>()) {}

EncodingGuesser::~EncodingGuesser() = default;

void EncodingGuesser::Feed(std::string_view bytes)
{
    census_.Add(bytes);
    if (census_.nonAscii <= ShortBytes) {
        // The runs of bytes beyond ASCII, each closed by a line break.
        for (std::size_t i = 0; i < bytes.size();) {
            if (static_cast<unsigned char>(bytes[i]) < 0x80) {
                ++i;
                continue;
            }
            const std::size_t start = i;
            while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) >= 0x80)
                ++i;
            shortText_.append(bytes.substr(start, i - start)).push_back('\n');
        }
    }
    if (detected_ < DetectorBytes && census_.nonAscii > 0) {
        const std::size_t take = std::min(bytes.size(), DetectorBytes - detected_);
        uchardet_handle_data(detector_->handle, bytes.data(), take);
        detected_ += take;
    }
}

bool EncodingGuesser::LooksLikeShortChinese() const
{
    if (census_.nonAscii > ShortBytes)
        return false;
    std::size_t run = 0;
    for (std::size_t i = 0; i < shortText_.size(); ++i) {
        if (shortText_[i] == '\n') {
            if (run % 2 != 0)
                return false;
            run = 0;
        } else if (++run % 2 == 0 &&
                   !InGb2312(static_cast<unsigned char>(shortText_[i - 1]), static_cast<unsigned char>(shortText_[i]))) {
            return false;
        }
    }
    return true;
}

EncodingGuess EncodingGuesser::Guess()
{
    const Utf8Census& c = census_;
    if (c.invalid == 0)
        return {Utf8Encoding(), true, true};
    if (c.sequences >= 4 && c.sequences >= 8 * c.invalid)
        return {Utf8Encoding(), c.sequences >= SureBytes / 2};
    uchardet_data_end(detector_->handle);
    const char* answer = uchardet_get_charset(detector_->handle);
    const std::optional<Encoding> detected = answer && *answer ? EncodingOfLabel(answer) : std::nullopt;
    // Two readings that agree on so little text are as good as one on more.
    if (LooksLikeShortChinese())
        return {CodePageEncoding(), detected == CodePageEncoding()};
    if (!detected || *detected == Utf8Encoding()) // UTF-8 it is not, nor ASCII
        return {CodePageEncoding(), false};
    return {*detected, c.nonAscii >= SureBytes};
}

} // namespace transfer
