#include "report/listing.h"

#include "foundation/numbers.h"

namespace kab::report {

namespace {

SjisString sj(std::string_view utf8) {
    return sjis::fromUtf8(utf8);
}

// Columns a Shift-JIS text takes on a terminal: a double-byte character is
// a wide one, a single byte (half-width kana among them) a narrow one.
std::size_t columns(std::string_view sjisText) {
    return sjisText.size();
}

SjisString padRight(SjisString text, std::size_t width) {
    const std::size_t w = columns(text);
    if (w < width) text.append(width - w, ' ');
    return text;
}

SjisString padLeft(const SjisString& text, std::size_t width) {
    const std::size_t w = columns(text);
    return w < width ? SjisString(width - w, ' ') + text : text;
}

SjisString clock(DateSerial date, std::int64_t ms) {
    return formatDateTime("h:nn", date + static_cast<double>(ms) / 86400000.0);
}

std::string csvField(const std::string& utf8) {
    std::string text = utf8;
    // =, +, - and @ open a formula in a spreadsheet; a quote before it keeps
    // the cell a text (so does a leading tab or CR)
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string::npos)
        text.insert(0, "'");
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

} // namespace

SjisString dateLabel(DateSerial date) {
    const Date d = decodeDate(date);
    return intToStr(d.month) + sj("月") + intToStr(d.day) + sj("日(") +
           formatDateTime("aaa", date) + ")";
}

SjisString shiftLabel(const Shift& s) {
    return intToStr(s.a.row) + sj("行目 ") + clock(0, s.startMs) + "-" + clock(0, s.endMs);
}

std::string noticesText(const Tally& t) {
    SjisString out;
    if (!t.doubleBookings.empty()) {
        out +=
            sj("二重予約 (") + intToStr(static_cast<int>(t.doubleBookings.size())) + sj(" 件)\n");
        for (const auto& b : t.doubleBookings)
            out += "  " + dateLabel(b.first.date) + " " + b.first.a.name + "  " +
                   shiftLabel(b.first) + sj(" と ") + shiftLabel(b.second) + "\n";
    }
    if (!t.unnamed.empty()) {
        if (!out.empty()) out += "\n";
        out += sj("名前のない枠 (") + intToStr(static_cast<int>(t.unnamed.size())) + sj(" 件、") +
               t.unnamedHours.text() + sj(" 時間)\n");
        for (const auto& s : t.unnamed)
            out += "  " + dateLabel(s.date) + "  " + shiftLabel(s) + "  " + s.hours.text() + "\n";
    }
    return sjis::toUtf8(out);
}

std::string hoursText(const Tally& t, Month month) {
    const SjisString name = sj("名前"), days = sj("日数"), blocks = sj("件数"), hours = sj("時間");
    std::size_t nameWidth = columns(name);
    for (const auto& p : t.persons)
        nameWidth = std::max(nameWidth, columns(p.name));
    SjisString out = intToStr(month.year) + sj("年") + intToStr(month.month) + sj("月の勤務時間\n");
    out += padRight(name, nameWidth) + padLeft(days, 6) + padLeft(blocks, 6) + padLeft(hours, 10) +
           "\n";
    for (const auto& p : t.persons)
        out += padRight(p.name, nameWidth) + padLeft(intToStr(p.days), 6) +
               padLeft(intToStr(p.shifts), 6) + padLeft(p.hours.text(), 10) + "\n";
    if (t.persons.empty()) out += sj("(勤務の記録はありません)\n");
    out += padRight(sj("合計"), nameWidth + 12) + padLeft(t.total.text(), 10) + "\n";
    std::string text = sjis::toUtf8(out);
    const std::string notices = noticesText(t);
    text += "\n";
    text += notices.empty() ? sjis::toUtf8(sj("二重予約も名前のない枠もありません\n")) : notices;
    return text;
}

std::string hoursCsv(const Tally& t) {
    std::string out = "\xEF\xBB\xBF";
    out += sjis::toUtf8(sj("名前,日数,件数,時間")) + "\r\n";
    for (const auto& p : t.persons)
        out += csvField(sjis::toUtf8(p.name)) + "," + std::to_string(p.days) + "," +
               std::to_string(p.shifts) + "," + p.hours.text() + "\r\n";
    return out;
}

} // namespace kab::report
