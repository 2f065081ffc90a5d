#pragma once

// The LZHUF scheme shared by the stored-skin decoder and the skin packer:
// LZSS over a 4096-byte ring with matches of 3 to 60 bytes, literals and match
// lengths coded by one adaptive Huffman tree, match positions by a fixed prefix
// code for their upper six bits followed by the lower six bits as they are.

#include <array>
#include <cstdint>
#include <cstring>

namespace lzh {

inline constexpr int kRingSize = 4096;                         // N
inline constexpr int kLongestMatch = 60;                        // F
inline constexpr int kThreshold = 2;                            // longer matches are coded
inline constexpr int kSymbols = 256 - kThreshold + kLongestMatch; // 314: literals + match lengths
inline constexpr int kNodes = kSymbols * 2 - 1;                 // 627
inline constexpr int kRoot = kNodes - 1;                        // 626
inline constexpr unsigned kFrequencyLimit = 0x8000;             // rebuild the tree on reaching it
inline constexpr int kFirstWrite = kRingSize - kLongestMatch;   // 4036; positions below start as blanks
inline constexpr std::uint8_t kBlank = 0x20;

// A match symbol c copies c - 253 bytes.
constexpr int MatchLength(int symbol) { return symbol - 255 + kThreshold; }
constexpr int MatchSymbol(int length) { return length + 255 - kThreshold; }

// The fixed prefix code of a position's upper six bits: 1 code of 3 bits, 3 of 4,
// 8 of 5, 12 of 6, 24 of 7 and 16 of 8, assigned in canonical order. The decoder
// looks codes up by the next 8 input bits.
struct PositionCode {
    std::array<std::uint8_t, 64> codeBits{};   // the code, left-aligned in 8 bits
    std::array<std::uint8_t, 64> codeLength{};
    std::array<std::uint8_t, 256> upperBits{}; // by the next 8 input bits: the upper six bits
    std::array<std::uint8_t, 256> length{};    // ... and the length of their code
};

constexpr PositionCode MakePositionCode()
{
    constexpr int lengthCounts[][2] = {{3, 1}, {4, 3}, {5, 8}, {6, 12}, {7, 24}, {8, 16}};
    PositionCode table;
    int upper = 0;
    int next = 0;  // next free code, left-aligned in 8 bits
    for (const auto& [bits, count] : lengthCounts) {
        for (int i = 0; i < count; ++i, ++upper) {
            table.codeBits[upper] = static_cast<std::uint8_t>(next);
            table.codeLength[upper] = static_cast<std::uint8_t>(bits);
            const int span = 1 << (8 - bits);
            for (int b = next; b < next + span; ++b) {
                table.upperBits[b] = static_cast<std::uint8_t>(upper);
                table.length[b] = static_cast<std::uint8_t>(bits);
            }
            next += span;
        }
    }
    return table;
}

inline constexpr PositionCode kPositionCode = MakePositionCode();

// The adaptive Huffman tree. Nodes 0..626 are kept in order of non-decreasing
// frequency (the sibling property); the children of an inner node are son and
// son + 1; a leaf's son is its symbol + kNodes. parent has an extra entry for
// every symbol, so parent[symbol + kNodes] is the symbol's leaf.
class AdaptiveTree {
public:
    std::array<std::uint32_t, kNodes + 1> freq;  // one sentinel above every frequency
    std::array<std::uint32_t, kNodes + kSymbols> parent;
    std::array<std::uint32_t, kNodes> son;

    AdaptiveTree() { Start(); }

    void Start()
    {
        for (int i = 0; i < kSymbols; ++i) {
            freq[i] = 1;
            son[i] = static_cast<std::uint32_t>(i + kNodes);
            parent[i + kNodes] = static_cast<std::uint32_t>(i);
        }
        for (int i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
            freq[j] = freq[i] + freq[i + 1];
            son[j] = static_cast<std::uint32_t>(i);
            parent[i] = parent[i + 1] = static_cast<std::uint32_t>(j);
        }
        freq[kNodes] = 0xFFFFFFFFu;
        parent[kRoot] = 0;
    }

    // Counts one more occurrence of the symbol and restores the sibling property.
    void Update(int symbol)
    {
        if (freq[kRoot] == kFrequencyLimit)
            Rebuild();
        std::uint32_t c = parent[symbol + kNodes];
        do {
            const std::uint32_t k = ++freq[c];
            // Frequencies are sorted, so the node to swap with is the last one
            // whose frequency is still below k. Usually there is none; otherwise
            // gallop ahead and then bisect, instead of a long linear scan over
            // equal frequencies (all leaves start out equal).
            if (k > freq[c + 1]) {
                std::uint32_t low = c + 1;  // freq[low] < k
                std::uint32_t step = 1;
                std::uint32_t high = low + step;
                while (freq[high] < k) {
                    low = high;
                    step <<= 1;
                    high = low + step < kNodes ? low + step : kNodes;  // freq[kNodes] is the sentinel
                }
                while (high - low > 1) {
                    const std::uint32_t mid = low + (high - low) / 2;
                    (freq[mid] < k ? low : high) = mid;
                }
                const std::uint32_t l = low;
                freq[c] = freq[l];
                freq[l] = k;

                const std::uint32_t i = son[c];
                parent[i] = l;
                if (i < kNodes)
                    parent[i + 1] = l;
                const std::uint32_t j = son[l];
                son[l] = i;
                parent[j] = c;
                if (j < kNodes)
                    parent[j + 1] = c;
                son[c] = j;
                c = l;
            }
            c = parent[c];
        } while (c != 0);
    }

private:
    // Halves every leaf frequency (rounding up) and builds the tree anew.
    void Rebuild()
    {
        int j = 0;
        for (int i = 0; i < kNodes; ++i) {
            if (son[i] >= static_cast<std::uint32_t>(kNodes)) {
                freq[j] = (freq[i] + 1) / 2;
                son[j] = son[i];
                ++j;
            }
        }
        for (int i = 0, n = kSymbols; n < kNodes; i += 2, ++n) {
            const std::uint32_t f = freq[i] + freq[i + 1];
            int k = n - 1;
            while (f < freq[k])
                --k;
            ++k;
            const std::size_t moved = static_cast<std::size_t>(n - k);
            std::memmove(&freq[k + 1], &freq[k], moved * sizeof freq[0]);
            freq[k] = f;
            std::memmove(&son[k + 1], &son[k], moved * sizeof son[0]);
            son[k] = static_cast<std::uint32_t>(i);
        }
        for (int i = 0; i < kNodes; ++i) {
            const std::uint32_t k = son[i];
            parent[k] = static_cast<std::uint32_t>(i);
            if (k < static_cast<std::uint32_t>(kNodes))
                parent[k + 1] = static_cast<std::uint32_t>(i);
        }
    }
};

} // namespace lzh
