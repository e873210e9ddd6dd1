#pragma once
// Block colours: pale tints drawn from the process-wide generator, so every
// run of the program paints block n the same.

#include "foundation/numbers.h"

#include <array>
#include <cstdint>

namespace kab::board {

struct Rgb {
    std::uint8_t r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// One colour: a kind from Random(5), then two or three Random(90) offsets.
// Kinds 0..2 keep one channel at 245; kinds 3 and 4 are greyish.
Rgb blockColour(Random& rng = globalRandom());

// Colours of blocks 1..50 in order (index 0 is block 1).
std::array<Rgb, 50> blockColours(Random& rng = globalRandom());

} // namespace kab::board
