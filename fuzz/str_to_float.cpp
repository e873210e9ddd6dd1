// Reading a number: a value is always finite, agrees with the C library's
// reading of the same digits, and its shortest text reads back to the same
// double; the extended reading agrees with strtold.

#include "fuzz_common.h"

#include "foundation/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::bytes(data, size);
    double value = 0;
    if (!fuzz::tolerant([&] { value = kab::strToFloat(text); })) return 0;
    fuzz::require(std::isfinite(value), "strToFloat gives a finite value");

    // strtod wants a digit before the exponent and no trailing blanks; a lone
    // "." reads as 0 here
    std::string copy(text);
    copy.erase(copy.find_last_not_of(' ') + 1);
    const std::string mantissa = copy.substr(0, copy.find_first_of("eE"));
    if (mantissa.find_first_of("0123456789") != std::string::npos) {
        char* end = nullptr;
        const double reference = std::strtod(copy.c_str(), &end);
        fuzz::require(*end == '\0' && reference == value, "agrees with strtod");
        // the extended reading too, where the double reading is in range
        const long double extended = kab::strToExtended(text);
        fuzz::require(extended == std::strtold(copy.c_str(), nullptr), "agrees with strtold");
    } else {
        fuzz::require(value == 0, "no digits reads as 0");
    }

    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    fuzz::require(ec == std::errc(), "to_chars fits");
    fuzz::require(kab::strToFloat(std::string_view(buf, end - buf)) == value,
                  "strToFloat(shortest text of v) == v");
    // what the board does with a duration next
    kab::formatFixed2(value);
    return 0;
}
