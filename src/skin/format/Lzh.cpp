#include "skin/format/Lzh.h"

#include "skin/format/LittleEndian.h"

#include <algorithm>
#include <new>

namespace {

using namespace lzh;

// Reads the bit stream most significant bit first. The unread bits sit at the
// top of a 64-bit word; past the end of the input the word fills with zeros.
class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> input)
        : next_(input.data()), end_(input.data() + input.size())
    {
        Refill();
    }

    // Makes at least 56 bits available.
    void Refill()
    {
        if (end_ - next_ >= 8) {
            std::uint64_t word = 0;
            for (int i = 0; i < 8; ++i)
                word = word << 8 | next_[i];
            bits_ |= word >> count_;
            next_ += (63 - count_) >> 3;
            count_ |= 56;
            return;
        }
        while (count_ <= 56) {
            const std::uint64_t byte = next_ < end_ ? *next_++ : 0;
            bits_ |= byte << (56 - count_);
            count_ += 8;
        }
    }

    unsigned Peek(unsigned n) const { return static_cast<unsigned>(bits_ >> (64 - n)); }
    void Skip(unsigned n)
    {
        bits_ <<= n;
        count_ -= n;
    }
    unsigned Bit()
    {
        if (count_ == 0)
            Refill();
        const unsigned bit = static_cast<unsigned>(bits_ >> 63);
        Skip(1);
        return bit;
    }
    unsigned Available() const { return count_; }

private:
    const std::uint8_t* next_;
    const std::uint8_t* end_;
    std::uint64_t bits_ = 0;
    unsigned count_ = 0;
};

} // namespace

bool TLZH::Decode(std::span<const std::uint8_t> storedSkin, std::vector<std::uint8_t>& out)
{
    out.clear();
    if (storedSkin.size() < 4)
        return false;
    const std::size_t size = ReadLittleEndian32(storedSkin.data());
    if (size > kLzhLargestOutput)
        return false;
    try {
        DecodeStream(storedSkin.subspan(4), size, out);
    } catch (const std::bad_alloc&) {
        out.clear();
        throw ELzhError("LZH : Cannot get memory for dictionary tables");
    }
    return true;
}

void TLZH::DecodeStream(std::span<const std::uint8_t> input, std::size_t size, std::vector<std::uint8_t>& out)
{
    tree_.Start();

    // The output is decoded behind a copy of the ring's starting contents, so a
    // match always copies from earlier in one linear buffer: ring position
    // (r - distance - 1) is simply distance + 1 bytes back. Ring positions
    // 4036..4095 come first (never written yet: zeros), then 0..4035 (blanks).
    // A last match may run past m; the slack absorbs it before the cut.
    const std::size_t history = kRingSize;
    out.assign(history + size + kLongestMatch, 0);
    std::fill(out.begin() + kLongestMatch, out.begin() + history, kBlank);

    std::uint8_t* const begin = out.data() + history;
    std::uint8_t* const stop = begin + size;
    std::uint8_t* write = begin;
    BitReader reader(input);
    const std::uint32_t* const son = tree_.son.data();

    while (write < stop) {
        if (reader.Available() < 32)
            reader.Refill();
        // Walk from the root to a leaf; the tree is at most a few dozen levels deep
        // but a refill inside Bit() keeps the reader correct for any depth.
        std::uint32_t node = son[kRoot];
        while (node < static_cast<std::uint32_t>(kNodes))
            node = son[node + reader.Bit()];
        const int symbol = static_cast<int>(node) - kNodes;
        tree_.Update(symbol);

        if (symbol < 256) {
            *write++ = static_cast<std::uint8_t>(symbol);
            continue;
        }
        if (reader.Available() < 14)
            reader.Refill();
        const unsigned peek = reader.Peek(14);
        const unsigned leading = peek >> 6;
        const unsigned codeLength = kPositionCode.length[leading];
        const unsigned distance =
            unsigned{kPositionCode.upperBits[leading]} << 6 | ((peek >> (8 - codeLength)) & 0x3F);
        reader.Skip(codeLength + 6);

        const std::size_t length = static_cast<std::size_t>(MatchLength(symbol));
        const std::uint8_t* from = write - distance - 1;
        if (distance + 1 >= length) {
            std::memcpy(write, from, length);
        } else {
            // Overlapping: the copy repeats bytes it has just written.
            for (std::size_t i = 0; i < length; ++i)
                write[i] = from[i];
        }
        write += length;
    }

    std::memmove(out.data(), begin, size);
    out.resize(size);
}

bool LzhDecode(const std::uint8_t* storedSkin, std::size_t length, std::vector<std::uint8_t>& out)
{
    if (!storedSkin) {
        out.clear();
        return false;
    }
    TLZH decoder;
    return decoder.Decode(std::span<const std::uint8_t>(storedSkin, length), out);
}
