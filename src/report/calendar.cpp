#include "report/calendar.h"

#include "foundation/bytes.h"
#include "foundation/numbers.h"
#include "report/printable.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>

namespace kab::report {

namespace {

constexpr std::int64_t kDayMs = 86'400'000;

// Local "floating" time: the same clock time wherever the calendar is.
std::string localTime(DateSerial date, std::int64_t ms) {
    std::int64_t days = ms / kDayMs, rest = ms % kDayMs;
    if (rest < 0) rest += kDayMs, --days;
    const Date d = decodeDate(date + static_cast<double>(days));
    char out[32];
    std::snprintf(out, sizeof out, "%04d%02d%02dT%02d%02d%02d", d.year, d.month, d.day,
                  static_cast<int>(rest / 3'600'000), static_cast<int>(rest / 60'000 % 60),
                  static_cast<int>(rest / 1000 % 60));
    return out;
}

std::string utcStamp(std::time_t t) {
    std::tm tm{};
    gmtime_r(&t, &tm);
    char out[32];
    std::strftime(out, sizeof out, "%Y%m%dT%H%M%SZ", &tm);
    return out;
}

// TEXT values: backslash, semicolon, comma and line breaks escaped. What
// comes from a day file is printable already: no other control character
// reaches a value.
std::string escaped(std::string_view utf8) {
    std::string out;
    for (char c : utf8) {
        if (c == '\\' || c == ';' || c == ',') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        if (c == '\r') continue;
        out += c;
    }
    return out;
}

// Content lines end in CR LF and fold before 75 octets, never inside a
// UTF-8 character.
void addLine(std::string& out, std::string_view line) {
    std::size_t limit = 75;
    while (line.size() > limit) {
        std::size_t cut = limit;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        out.append(line.substr(0, cut));
        out += "\r\n ";
        line.remove_prefix(cut);
        limit = 74; // the continuation's leading blank counts
    }
    out.append(line);
    out += "\r\n";
}

// A short, stable token of a name for the UID.
std::string nameToken(std::string_view name) {
    return bytes::token(name);
}

SjisString summaryName(const Shift& s) {
    return s.named() ? s.a.name : SjisString("---");
}

} // namespace

std::string calendar(const std::vector<Day>& days, const std::optional<SjisString>& name) {
    std::string out;
    addLine(out, "BEGIN:VCALENDAR");
    addLine(out, "VERSION:2.0");
    addLine(out, "PRODID:-//Kabrelo24//kabrelo24-report//JA");
    addLine(out, "CALSCALE:GREGORIAN");
    // each name converted once: the conversion costs more than the rest
    std::map<SjisString, std::string> utf8Names;
    for (const Day& day : days) {
        // each name's blocks of the day in order of their start
        std::vector<const Shift*> shifts;
        for (const Shift& s : day.shifts)
            if (!name || (s.named() && s.a.name == *name)) shifts.push_back(&s);
        std::stable_sort(shifts.begin(), shifts.end(), [](const Shift* a, const Shift* b) {
            if (summaryName(*a) != summaryName(*b)) return summaryName(*a) < summaryName(*b);
            return a->startMs != b->startMs ? a->startMs < b->startMs : a->a.row < b->a.row;
        });
        int place = 0;
        for (std::size_t i = 0; i < shifts.size(); ++i) {
            const Shift& s = *shifts[i];
            place = (i > 0 && summaryName(*shifts[i - 1]) == summaryName(s)) ? place + 1 : 1;
            const SjisString who = summaryName(s);
            // in UTF-8 from the start: only the name needs converting
            const std::string description =
                std::to_string(s.a.row) + "行目、" + formatDateTime("h:nn", s.a.start) + "から" +
                formatDateTime("h:nn", s.a.end()) + "まで、" + s.hours.text() + "時間";
            addLine(out, "BEGIN:VEVENT");
            addLine(out, "UID:" + localTime(day.date, 0).substr(0, 8) + "-" + nameToken(who) + "-" +
                             std::to_string(place) + "@kabrelo24");
            addLine(out, "DTSTAMP:" + utcStamp(day.modified));
            addLine(out, "LAST-MODIFIED:" + utcStamp(day.modified));
            addLine(out, "DTSTART:" + localTime(day.date, s.startMs));
            // without an end an event ends where it starts: a block of no
            // length has no end after its start to give
            if (s.endMs > s.startMs) addLine(out, "DTEND:" + localTime(day.date, s.endMs));
            auto utf8 = utf8Names.find(who);
            if (utf8 == utf8Names.end()) utf8 = utf8Names.emplace(who, printableName(who)).first;
            addLine(out, "SUMMARY:" + escaped(utf8->second));
            addLine(out, "DESCRIPTION:" + escaped(description));
            addLine(out, "END:VEVENT");
        }
    }
    addLine(out, "END:VCALENDAR");
    return out;
}

} // namespace kab::report
