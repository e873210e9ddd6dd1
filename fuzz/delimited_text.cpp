// Splitting a record into fields with the day file's delimiter or a comma,
// chosen by the first byte.

#include "fuzz_common.h"

#include "foundation/textlist.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    kab::TextList fields;
    fields.setDelimiter((data[0] & 1) ? '\\' : ',');
    const std::string_view text = fuzz::bytes(data + 1, size - 1);
    fields.setDelimitedText(text);
    std::size_t total = 0;
    for (const auto& f : fields.lines())
        total += f.size();
    // Doubled quotes and the delimiters only ever shrink the text.
    fuzz::require(total <= text.size(), "fields are no longer than the text");
    fields.sort();
    return 0;
}
