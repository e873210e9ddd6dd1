// Reading a number: a value is always finite, and its shortest text reads
// back to the same double.

#include "fuzz_common.h"

#include "foundation/numbers.h"

#include <charconv>
#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    double value = 0;
    if (!fuzz::tolerant([&] { value = kab::strToFloat(fuzz::bytes(data, size)); })) return 0;
    fuzz::require(std::isfinite(value), "strToFloat gives a finite value");
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    fuzz::require(ec == std::errc(), "to_chars fits");
    fuzz::require(kab::strToFloat(std::string_view(buf, end - buf)) == value,
                  "strToFloat(shortest text of v) == v");
    // what the board does with a duration next
    kab::formatFixed2(value);
    return 0;
}
