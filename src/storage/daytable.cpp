#include "storage/daytable.h"

#include "foundation/errors.h"
#include "foundation/numbers.h"
#include "foundation/sjis.h"
#include "storage/dayfile.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace kab::storage {

namespace {

constexpr int kRows = 8;

bool allDigits(std::string_view s) {
    if (s.empty()) return false;
    for (const char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

int digitsValue(std::string_view s) {
    int v = 0;
    for (const char c : s)
        v = v * 10 + (c - '0');
    return v;
}

// "9:00" or "09:00": minutes since midnight.
std::optional<int> clockMinutes(std::string_view s) {
    const auto colon = s.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::string_view h = s.substr(0, colon), m = s.substr(colon + 1);
    if (h.size() > 2 || m.size() != 2 || !allDigits(h) || !allDigits(m)) return std::nullopt;
    if (digitsValue(h) > 23 || digitsValue(m) > 59) return std::nullopt;
    return digitsValue(h) * 60 + digitsValue(m);
}

// "4", "4.5", "10.": whole minutes of more than none and at most a day.
std::optional<int> durationMinutes(std::string_view s) {
    const auto dot = s.find('.');
    const std::string_view whole = s.substr(0, dot);
    const std::string_view part = dot == std::string_view::npos ? "" : s.substr(dot + 1);
    if (!allDigits(whole) || whole.size() > 2) return std::nullopt;
    if (!part.empty() && !allDigits(part)) return std::nullopt;
    const double hours = strToFloat(s);
    if (hours <= 0 || hours > 24) return std::nullopt;
    return int(std::lround(hours * 60));
}

SjisString clockText(int minutes) {
    minutes %= 1440;
    return intToStr(minutes / 60) + ":" + format2d(minutes % 60);
}

std::vector<std::string_view> splitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const auto tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return fields;
        line.remove_prefix(tab + 1);
    }
}

bool isBlank(std::string_view line) {
    return line.find_first_not_of('\t') == std::string_view::npos;
}

// The record of one table line, or nothing when it is no block.
std::optional<SjisString> recordOf(std::string_view line) {
    const auto f = splitTabs(line);
    if (f.size() != 5) return std::nullopt;
    const std::string_view row = f[0], name = f[1], start = f[2], end = f[3], duration = f[4];
    if (!allDigits(row) || row.size() > 2 || digitsValue(row) < 1 || digitsValue(row) > kRows)
        return std::nullopt;
    const auto from = clockMinutes(start);
    const auto length = durationMinutes(duration);
    if (!from || !length) return std::nullopt;
    if (!end.empty()) {
        const auto to = clockMinutes(end);
        if (!to || *to != (*from + *length) % 1440) return std::nullopt;
    }
    // a name the code page cannot hold, or one a record cannot carry, is
    // refused rather than changed
    const SjisString sjisName = sjis::fromUtf8(name);
    if (name.empty() || sjis::toUtf8(sjisName) != name || !fitsInField(sjisName))
        return std::nullopt;
    SjisString record = format2d(digitsValue(row));
    record += '\\';
    record += start;
    record += '\\';
    record += duration;
    record += '\\';
    record += sjisName;
    return record;
}

} // namespace

std::string dayTableText(const TextList& records) {
    std::string out(dayTableHeader);
    out += '\n';
    for (const SjisString& record : records.lines()) {
        const auto field = splitRecord(record);
        const std::string_view row = field[0];
        std::string end;
        const auto from = clockMinutes(field[1]);
        const auto length = durationMinutes(field[2]);
        if (from && length) end = clockText(*from + *length);
        out += allDigits(row) ? std::to_string(strToInt(row)) : sjis::toUtf8(row);
        for (const std::string& text :
             {sjis::toUtf8(field[3]), sjis::toUtf8(field[1]), end, sjis::toUtf8(field[2])}) {
            out += '\t';
            out += text;
        }
        out += '\n';
    }
    return out;
}

TextList readDayTable(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3); // a byte order mark
    TextList records;
    long long lineNo = 0;
    bool first = true;
    const auto refuse = [&](std::string_view line) {
        return Error::unreadableLine(lineNo, sjis::fromUtf8(line));
    };
    while (!text.empty()) {
        const auto brk = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, brk);
        if (brk == std::string_view::npos) {
            text = {};
        } else {
            // CR LF, as a spreadsheet copies, is one break
            const bool crlf = text.substr(brk).starts_with("\r\n");
            text.remove_prefix(brk + (crlf ? 2 : 1));
        }
        ++lineNo;
        if (isBlank(line)) continue;
        if (std::exchange(first, false) && line == dayTableHeader) continue;
        if (records.count() == maxDayLines) throw refuse(line);
        const auto record = recordOf(line);
        if (!record) throw refuse(line);
        records.append(*record);
    }
    if (records.count() == 0) throw Error::unreadableLine(lineNo + 1, "");
    return records;
}

DayLines dayLinesOf(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    const bool cut = bytes.size() > maxReadBytes;
    LineStream splitter({maxDayLines, true, SIZE_MAX, false});
    splitter.feed(bytes.substr(0, maxReadBytes));
    DayLines day;
    day.lines = splitter.finish(cut && !splitter.done());
    return day;
}

} // namespace kab::storage
