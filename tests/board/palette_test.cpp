#include "board/palette.h"

#include <gtest/gtest.h>

namespace kab::board {
namespace {

TEST(Palette, ColoursFromTheStartOfTheSequence) {
    struct Case {
        int block;
        Rgb want;
    };
    const Case cases[] = {{1, {245, 123, 198}},  // kind 0
                          {2, {140, 245, 176}},  // kind 1
                          {4, {158, 193, 245}},  // kind 2
                          {7, {145, 158, 191}},  // kind 3: three draws
                          {11, {133, 151, 195}}, // kind 4
                          {50, {245, 173, 112}}};
    Random rng;
    auto colours = blockColours(rng);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block);
        EXPECT_EQ(colours[static_cast<std::size_t>(c.block - 1)], c.want);
    }
    // 50 blocks always use this many draws, so later draws line up too
    EXPECT_EQ(rng.state(), 1315381291u);
}

TEST(Palette, DrawsFromTheProcessGenerator) {
    randomReset();
    Rgb first = blockColour();
    EXPECT_EQ(first, (Rgb{245, 123, 198}));
    Random fresh;
    blockColour(fresh);
    EXPECT_EQ(globalRandom().state(), fresh.state());

    randomReset();
    Random local;
    EXPECT_EQ(blockColours(), blockColours(local));
    randomReset();
}

} // namespace
} // namespace kab::board
