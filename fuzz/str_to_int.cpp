// Reading an integer: any text either gives a value or the invalid integer
// error. A decimal value agrees with the C library's reading, and any value
// reads back unchanged from its own decimal text.

#include "fuzz_common.h"

#include "foundation/numbers.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::bytes(data, size);
    std::int32_t value = 0;
    if (!fuzz::tolerant([&] { value = kab::strToInt(text); })) return 0;
    fuzz::require(kab::strToInt(kab::intToStr(value)) == value, "strToInt(intToStr(v)) == v");
    if (text.find_first_of("$xX") == std::string_view::npos) {
        const std::string copy(text);
        char* end = nullptr;
        const long long reference = std::strtoll(copy.c_str(), &end, 10);
        fuzz::require(*end == '\0' && reference == value, "decimal agrees with strtoll");
    }
    return 0;
}
