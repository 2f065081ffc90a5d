#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// Byte strings as the skin format's tests write them.
using Bytes = std::vector<std::uint8_t>;

inline Bytes FromText(std::string_view text) { return Bytes(text.begin(), text.end()); }
