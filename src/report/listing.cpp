#include "report/listing.h"

#include "report/printable.h"

#include <map>

namespace kab::report {

namespace {

// Each name in UTF-8, converted once, printable.
class Names {
public:
    const std::string& operator()(const SjisString& name) {
        auto it = utf8_.find(name);
        if (it == utf8_.end()) it = utf8_.emplace(name, printableName(name)).first;
        return it->second;
    }

private:
    std::map<SjisString, std::string> utf8_;
};

// Columns a name takes on a terminal: in Shift-JIS a double-byte character is
// a wide one, a single byte (half-width kana among them) a narrow one.
std::size_t columns(const SjisString& sjisName) {
    return sjisName.size();
}

// text followed by blanks up to width columns; text takes columns of them.
std::string padRight(std::string text, std::size_t columns, std::size_t width) {
    if (columns < width) text.append(width - columns, ' ');
    return text;
}

// An ASCII text after blanks up to width columns.
std::string padLeft(const std::string& text, std::size_t width) {
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

// "h:nn" of a time from the day's 0:00, as the time label shows it.
void appendClock(std::string& out, std::int64_t ms) {
    const auto minutes = ((ms / 60'000) % 1440 + 1440) % 1440;
    out += std::to_string(minutes / 60);
    out += ':';
    out += static_cast<char>('0' + minutes % 60 / 10);
    out += static_cast<char>('0' + minutes % 10);
}

} // namespace

std::string csvField(const std::string& utf8) {
    std::string text;
    // =, +, - and @ open a formula in a spreadsheet; a quote before it keeps
    // the cell a text (so does a leading tab or CR)
    if (!utf8.empty() && std::string_view("=+-@\t\r").find(utf8.front()) != std::string::npos)
        text = "'";
    text += utf8;
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string dateLabel(DateSerial date) {
    const Date d = decodeDate(date);
    return std::to_string(d.month) + "月" + std::to_string(d.day) + "日(" +
           sjis::toUtf8(formatDateTime("aaa", date)) + ")";
}

std::string shiftLabel(const Shift& s) {
    std::string out = std::to_string(s.a.row) + "行目 ";
    appendClock(out, s.startMs);
    out += '-';
    appendClock(out, s.endMs);
    return out;
}

std::string noticesText(const Tally& t) {
    Names names;
    std::string out;
    if (!t.doubleBookings.empty()) {
        out += "二重予約 (" + std::to_string(t.doubleBookings.size()) + " 件)\n";
        DateSerial labelled = -1;
        std::string date;
        for (const auto& b : t.doubleBookings) {
            if (b.first.date != labelled) date = dateLabel(labelled = b.first.date);
            out += "  " + date + " " + names(b.first.a.name) + "  " + shiftLabel(b.first) + " と " +
                   shiftLabel(b.second) + "\n";
        }
    }
    if (!t.unnamed.empty()) {
        if (!out.empty()) out += "\n";
        out += "名前のない枠 (" + std::to_string(t.unnamed.size()) + " 件、" +
               t.unnamedHours.text() + " 時間)\n";
        for (const auto& s : t.unnamed)
            out += "  " + dateLabel(s.date) + "  " + shiftLabel(s) + "  " + s.hours.text() + "\n";
    }
    return out;
}

std::string hoursText(const Tally& t, Month month) {
    Names names;
    std::size_t nameWidth = 4; // "名前"
    for (const auto& p : t.persons)
        nameWidth = std::max(nameWidth, columns(p.name));
    std::string out =
        std::to_string(month.year) + "年" + std::to_string(month.month) + "月の勤務時間\n";
    // the headers are two wide characters each: four columns
    out += padRight("名前", 4, nameWidth) + "  日数  件数      時間\n";
    for (const auto& p : t.persons)
        out += padRight(names(p.name), columns(p.name), nameWidth) +
               padLeft(std::to_string(p.days), 6) + padLeft(std::to_string(p.shifts), 6) +
               padLeft(p.hours.text(), 10) + "\n";
    if (t.persons.empty()) out += "(勤務の記録はありません)\n";
    out += padRight("合計", 4, nameWidth + 12) + padLeft(t.total.text(), 10) + "\n\n";
    const std::string notices = noticesText(t);
    out += notices.empty() ? "二重予約も名前のない枠もありません\n" : notices;
    return out;
}

std::string hoursCsv(const Tally& t) {
    Names names;
    std::string out = "\xEF\xBB\xBF名前,日数,件数,時間\r\n";
    for (const auto& p : t.persons)
        out += csvField(names(p.name)) + "," + std::to_string(p.days) + "," +
               std::to_string(p.shifts) + "," + p.hours.text() + "\r\n";
    return out;
}

} // namespace kab::report
