// Splitting text into lines: no line holds a break or a NUL, and the list's
// own text splits back into the same lines. Sorting must keep every line.

#include "fuzz_common.h"

#include "foundation/textlist.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kab::TextList list;
    list.setText(fuzz::bytes(data, size));
    for (const auto& line : list.lines())
        fuzz::require(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos,
                      "a line holds no CR, LF or NUL");
    kab::TextList again;
    again.setText(list.text());
    fuzz::require(again.lines() == list.lines(), "setText(text()) keeps the lines");

    auto before = list.lines();
    list.sort();
    auto after = list.lines();
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    fuzz::require(before == after, "sort keeps every line");
    return 0;
}
