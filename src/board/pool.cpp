#include "board/pool.h"

#include "foundation/numbers.h"

#include <string>

namespace kab::board {

int blockNumberFromName(std::string_view name) {
    std::string digits(name.size() > 5 ? name.substr(5, 2) : std::string_view());
    return strToInt(trim(digits + " "));
}

} // namespace kab::board
