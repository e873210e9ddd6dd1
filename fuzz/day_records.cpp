// A day file's records as the load reads them, without a window: each line
// is split into its fields, the row, start and duration are read and placed,
// and the record is built back as the save would write it. An error ends the
// load, as it does on the board. A record of plain fields must come back from
// the save with the same fields.

#include "fuzz_common.h"

#include "board/duration.h"
#include "board/geometry.h"
#include "foundation/datetime.h"
#include "foundation/numbers.h"
#include "foundation/textlist.h"
#include "storage/dayfile.h"
#include "storage/dayread.h"

namespace {

// Survives the record's delimited text unchanged: no blank, no delimiter, no
// opening quote and no lone lead byte at the end, which would pair with the
// next delimiter.
bool plain(std::string_view f) {
    if (!f.empty() && f[0] == '"') return false;
    for (std::size_t i = 0; i < f.size(); i = kab::sjis::next(f, i)) {
        if (static_cast<unsigned char>(f[i]) <= 32) return false;
        // a quoted field can hold the delimiter
        if (f[i] == '\\' && kab::sjis::next(f, i) == i + 1) return false;
    }
    const std::size_t last = kab::sjis::lastCharStart(f);
    return f.empty() || last + 1 != f.size() ||
           !kab::sjis::isLeadByte(static_cast<unsigned char>(f[last]));
}

void loadRecord(const kab::SjisString& line) {
    const auto field = kab::storage::splitRecord(line);
    const std::int32_t row = kab::strToInt(field[0]);
    const int top = kab::board::clampToInt(std::int64_t{row} * kab::board::rowHeight + 3);
    kab::DateSerial start = kab::strToDateTime(field[1], 2026);
    const long double hours = kab::strToExtended(field[2]);
    // midnight and before belong to the next day on the board
    if (start <= 0) start += 1;
    kab::formatDateTime("hh:nn", start);
    kab::board::durationLabelText(field[2]);
    kab::board::leftOfStart(start);
    kab::board::widthOfHours(hours);
    const int minutes = kab::board::durationMinutes(field[2]);
    kab::board::hoursText(minutes);

    const auto record = kab::storage::buildRecord(top, field[1] + "\r\n" + field[2], field[3]);
    fuzz::require(record.has_value(), "a loaded block gives a record");
    if (!plain(field[1]) || !plain(field[2]) || !plain(field[3])) return;
    const auto back = kab::storage::splitRecord(*record);
    fuzz::require(back[0] == kab::format2d(kab::board::rowOfTop(top)), "row written back");
    fuzz::require(back[1] == field[1], "start written back");
    fuzz::require(back[2] == kab::storage::shortenSavedDuration(field[2]), "duration written back");
    fuzz::require(back[3] == field[3], "name written back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kab::TextList lines;
    lines.setText(fuzz::bytes(data, size));
    fuzz::tolerant([&] {
        int n = 0;
        for (const auto& line : lines.lines()) {
            if (line.empty() || n++ == kab::storage::maxDayLines) break;
            loadRecord(line);
        }
    });
    return 0;
}
