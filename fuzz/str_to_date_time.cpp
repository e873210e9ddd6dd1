// Reading a date-time with the current year at both ends of the calendar and
// in between: a value is a date the calendar holds, and one on a whole minute
// reads back from its own formatted text.

#include "fuzz_common.h"

#include "foundation/datetime.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::bytes(data, size);
    const kab::DateSerial first = kab::encodeDate(1, 1, 1);
    const kab::DateSerial afterLast = kab::encodeDate(9999, 12, 31) + 1;
    for (int year : {1, 2026, 9999}) {
        kab::DateSerial x = 0;
        if (!fuzz::tolerant([&] { x = kab::strToDateTime(text, year); })) continue;
        fuzz::require(x >= first && x < afterLast, "strToDateTime stays within the calendar");
        const kab::SjisString shown = kab::formatDateTime("yyyy/mm/dd hh:nn aaa", x);
        const kab::TimeOfDay t = kab::decodeTime(x);
        if (t.second != 0 || t.msec != 0) continue;
        const kab::SjisString again = kab::formatDateTime("yyyy/mm/dd hh:nn", x);
        kab::DateSerial back = 0;
        fuzz::require(fuzz::tolerant([&] { back = kab::strToDateTime(again, year); }),
                      "a formatted date-time reads back");
        fuzz::require(back == x, "strToDateTime(formatDateTime(x)) == x");
    }
    return 0;
}
