#pragma once
// Rules of the block pool that need no window.

#include <string_view>

namespace kab::board {

constexpr int kBlockCount = 50;

// A block's number from its panel's name ("Panel7", "Panel42"): the two
// characters after "Panel", followed by a blank, trimmed and read as an
// integer. Throws the invalid integer error for a name without a number.
int blockNumberFromName(std::string_view name);

} // namespace kab::board
