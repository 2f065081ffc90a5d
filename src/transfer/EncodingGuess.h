#pragma once

#include "transfer/Encodings.h"
#include "transfer/Utf8.h"

#include <cstddef>
#include <memory>
#include <string_view>

// The encoding of a text that does not say which it is (no byte-order mark,
// no CHARSET), fed in pieces:
// - UTF-8 when its bytes beyond ASCII are UTF-8, or nearly all of them are
//   (a stray byte in a UTF-8 file is a damaged character, not another
//   encoding);
// - else, for a short text whose characters all read as common Chinese in the
//   program's code page, GBK: with so little to go on the detector errs, and
//   Chinese is what this program's users mostly keep; sure when the detector
//   says so too;
// - else the detector's answer (uchardet), sure with at least SureBytes
//   beyond ASCII; GBK, unsure, when it has none.
// The preview says when a guess is not sure, and offers the others.
namespace transfer {

struct EncodingGuess {
    Encoding encoding;
    bool sure = true;
    bool allUtf8 = false; // every byte was UTF-8: the text needs no converting
};

class EncodingGuesser {
public:
    // Bytes beyond ASCII below which a guess is not sure.
    static constexpr std::size_t SureBytes = 40;
    // How much of a text the detector reads: enough to be sure, not so much
    // that a large file waits on it.
    static constexpr std::size_t DetectorBytes = std::size_t{8} << 20;

    EncodingGuesser();
    ~EncodingGuesser();
    EncodingGuesser(const EncodingGuesser&) = delete;
    EncodingGuesser& operator=(const EncodingGuesser&) = delete;

    // A piece of the text; a piece should end where a line ends.
    void Feed(std::string_view bytes);
    EncodingGuess Guess();

private:
    bool LooksLikeShortChinese() const;

    Utf8Census census_;
    std::string shortText_; // the bytes beyond ASCII, while the text is short
    std::size_t detected_ = 0;
    struct Detector;
    std::unique_ptr<Detector> detector_;
};

} // namespace transfer
