#include "skin/format/LzhEncode.h"

#include "skin/format/LzhScheme.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

namespace {

using namespace lzh;

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    // Appends the low n bits of value (n <= 32), most significant first.
    void Put(std::uint32_t value, unsigned n)
    {
        for (unsigned i = n; i-- > 0;) {
            pending_ = static_cast<std::uint8_t>(pending_ << 1 | ((value >> i) & 1u));
            if (++count_ == 8) {
                out_.push_back(pending_);
                pending_ = 0;
                count_ = 0;
            }
        }
    }

    void Flush()
    {
        if (count_ > 0)
            out_.push_back(static_cast<std::uint8_t>(pending_ << (8 - count_)));
        pending_ = 0;
        count_ = 0;
    }

private:
    std::vector<std::uint8_t>& out_;
    std::uint8_t pending_ = 0;
    unsigned count_ = 0;
};

// Finds the longest earlier match through hash chains over a linear history
// that starts with the ring's initial blanks, as the decoder sees it.
class MatchFinder {
public:
    MatchFinder(const std::vector<std::uint8_t>& text, std::size_t firstUsable)
        : text_(text), firstUsable_(firstUsable), previous_(text.size(), kNone)
    {
        head_.fill(kNone);
    }

    void Insert(std::size_t position)
    {
        if (position + 3 > text_.size())
            return;
        const std::uint32_t hash = Hash(position);
        previous_[position] = head_[hash];
        head_[hash] = static_cast<std::uint32_t>(position);
    }

    struct Match {
        std::size_t length = 0;
        std::size_t distance = 0;  // the copy starts distance + 1 bytes back
    };

    Match Longest(std::size_t position, std::size_t limit) const
    {
        Match best;
        if (limit < 3 || position + 3 > text_.size())
            return best;
        const std::size_t oldest = std::max(firstUsable_, position > kRingSize - 1 ? position - (kRingSize - 1) : 0);
        std::uint32_t candidate = head_[Hash(position)];
        for (int steps = 0; candidate != kNone && candidate >= oldest && steps < kChainLimit; ++steps) {
            std::size_t length = 0;
            while (length < limit && text_[candidate + length] == text_[position + length])
                ++length;
            if (length > best.length) {
                best = {length, position - candidate - 1};
                if (length == limit)
                    break;
            }
            candidate = previous_[candidate];
        }
        return best;
    }

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    static constexpr int kChainLimit = 256;
    static constexpr int kHashBits = 15;

    std::uint32_t Hash(std::size_t p) const
    {
        const std::uint32_t v = std::uint32_t{text_[p]} << 16 | std::uint32_t{text_[p + 1]} << 8 | text_[p + 2];
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    const std::vector<std::uint8_t>& text_;
    std::size_t firstUsable_;
    std::array<std::uint32_t, std::size_t{1} << kHashBits> head_;
    std::vector<std::uint32_t> previous_;
};

// Writes the symbol's path from the root and counts it in the tree.
void EncodeSymbol(AdaptiveTree& tree, BitWriter& writer, int symbol)
{
    // Collected from the leaf up: for each node below the root, whether it is the
    // second child (odd index) of its parent. A path never exceeds the node count.
    std::array<std::uint8_t, kNodes> path;
    std::size_t depth = 0;
    std::uint32_t node = tree.parent[symbol + kNodes];
    do {
        path[depth++] = static_cast<std::uint8_t>(node & 1u);
        node = tree.parent[node];
    } while (node != static_cast<std::uint32_t>(kRoot));
    while (depth > 0)
        writer.Put(path[--depth], 1);
    tree.Update(symbol);
}

void EncodePosition(BitWriter& writer, std::size_t distance)
{
    const std::size_t upper = distance >> 6;
    const unsigned length = kPositionCode.codeLength[upper];
    writer.Put(kPositionCode.codeBits[upper] >> (8 - length), length);
    writer.Put(static_cast<std::uint32_t>(distance & 0x3F), 6);
}

} // namespace

std::vector<std::uint8_t> LzhEncode(std::span<const std::uint8_t> data)
{
    // The size field has 32 bits.
    if (data.size() > 0xFFFFFFFFu)
        throw std::length_error("LzhEncode: more than 4 GiB");
    std::vector<std::uint8_t> out;
    const auto size = static_cast<std::uint32_t>(data.size());
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(size >> shift));

    // The history the decoder starts with: ring positions 4036..4095 (never
    // written, so never matched) and then 0..4035 (blanks); the data follows.
    std::vector<std::uint8_t> text(kRingSize + data.size(), kBlank);
    std::fill_n(text.begin(), kLongestMatch, std::uint8_t{0});
    std::copy(data.begin(), data.end(), text.begin() + kRingSize);

    MatchFinder finder(text, kLongestMatch);
    for (std::size_t p = kLongestMatch; p < kRingSize; ++p)
        finder.Insert(p);

    AdaptiveTree tree;
    BitWriter writer(out);
    std::size_t position = kRingSize;
    while (position < text.size()) {
        const std::size_t limit = std::min<std::size_t>(kLongestMatch, text.size() - position);
        const MatchFinder::Match match = finder.Longest(position, limit);
        std::size_t advance = 1;
        if (match.length > static_cast<std::size_t>(kThreshold)) {
            EncodeSymbol(tree, writer, MatchSymbol(static_cast<int>(match.length)));
            EncodePosition(writer, match.distance);
            advance = match.length;
        } else {
            EncodeSymbol(tree, writer, text[position]);
        }
        for (std::size_t i = 0; i < advance; ++i)
            finder.Insert(position + i);
        position += advance;
    }
    writer.Flush();
    return out;
}
