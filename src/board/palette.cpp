#include "board/palette.h"

namespace kab::board {

namespace {

std::uint8_t channel(int value) {
    return static_cast<std::uint8_t>(value);
}

} // namespace

Rgb blockColour(Random& rng) {
    int kind = rng.next(5);
    // Draw order matters: a before b before c.
    int a = rng.next(90);
    int b = rng.next(90);
    switch (kind) {
    case 0:
        return {245, channel(200 - b), channel(200 - a)};
    case 1:
        return {channel(200 - b), 245, channel(200 - a)};
    case 2:
        return {channel(200 - b), channel(200 - a), 245};
    default: {
        int c = rng.next(90);
        return {channel(220 - c), channel(220 - b), channel(220 - a)};
    }
    }
}

std::array<Rgb, 50> blockColours(Random& rng) {
    std::array<Rgb, 50> colours{};
    for (auto& colour : colours)
        colour = blockColour(rng);
    return colours;
}

} // namespace kab::board
