// Reading an integer: any text either gives a value or the invalid integer
// error, and a value read back from its own decimal text is unchanged.

#include "fuzz_common.h"

#include "foundation/numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::int32_t value = 0;
    if (!fuzz::tolerant([&] { value = kab::strToInt(fuzz::bytes(data, size)); })) return 0;
    fuzz::require(kab::strToInt(kab::intToStr(value)) == value, "strToInt(intToStr(v)) == v");
    return 0;
}
