#include "report/daypage.h"

#include "board/duration.h"
#include "board/geometry.h"
#include "foundation/numbers.h"
#include "foundation/textlist.h"
#include "storage/dayfile.h"

#include <algorithm>
#include <map>

namespace kab::report {

namespace {

SjisString sj(std::string_view utf8) {
    return sjis::fromUtf8(utf8);
}

bool isNamed(const SjisString& name) {
    return !name.empty() && name != "---";
}

} // namespace

SjisString pageTitle(DateSerial date) {
    const Date d = decodeDate(date);
    return intToStr(d.year) + sj("年") + intToStr(d.month) + sj("月") + intToStr(d.day) +
           sj("日(") + formatDateTime("aaa", date) + ")";
}

void finishPage(DayPage& page) {
    std::stable_sort(page.entries.begin(), page.entries.end(),
                     [](const PageEntry& a, const PageEntry& b) {
                         return a.row != b.row ? a.row < b.row : a.left < b.left;
                     });
    std::map<SjisString, PageTotal> named;
    PageTotal unnamed;
    page.total = {};
    for (const auto& e : page.entries) {
        PageTotal& t = isNamed(e.name) ? named[e.name] : unnamed;
        if (isNamed(e.name)) t.name = e.name;
        ++t.blocks;
        if (e.hours) {
            t.hours += *e.hours;
            page.total += *e.hours;
        }
    }
    page.totals.clear();
    for (auto& [name, t] : named)
        page.totals.push_back(std::move(t));
    if (unnamed.blocks > 0) page.totals.push_back(unnamed);
}

DayPage dayPage(const Day& day) {
    DayPage page;
    page.date = day.date;
    // the colours the board gives its blocks, drawn from the generator's start
    Random rng;
    const auto colours = board::blockColours(rng);
    for (const Shift& s : day.shifts) {
        const storage::Assignment& a = s.a;
        PageBlock b;
        b.left = board::leftOfStart(a.start);
        b.top = board::topOfRow(a.row);
        b.width = board::widthOfHours(strToExtended(a.durationText));
        b.colour = colours.at(static_cast<std::size_t>(a.block - 1));
        b.name = a.name;
        b.times =
            formatDateTime("h:nn", a.start) + SjisString(kCrLf) + formatDateTime("h:nn", a.end());
        b.duration = board::durationLabelText(a.durationText);
        page.blocks.push_back(b);
        page.entries.push_back({a.row, b.left, a.name, formatDateTime("h:nn", a.start),
                                formatDateTime("h:nn", a.end()), s.hours});
    }
    // the board stacks block 50, the first record's, on top; its list takes
    // the blocks in that order too before sorting them
    std::reverse(page.blocks.begin(), page.blocks.end());
    std::reverse(page.entries.begin(), page.entries.end());
    finishPage(page);
    return page;
}

DayPage boardPage(const storage::BoardState& board, DateSerial date) {
    DayPage page;
    page.date = date;
    Random rng;
    const auto colours = board::blockColours(rng);
    for (const std::uint8_t n : board.stack) {
        const storage::BlockState& b = board.blocks.at(std::size_t(n - 1));
        if (b.tag != 0)
            page.blocks.push_back({b.left, b.top, b.width, colours.at(std::size_t(n - 1)), b.name,
                                   b.times, b.duration});
        // what a save writes: every block with a hint
        if (b.hint.empty()) continue;
        TextList times;
        times.setText(b.times);
        const auto line = [&](int i) { return i < times.count() ? times.at(i) : SjisString(); };
        page.entries.push_back({board::rowOfTop(b.top), b.left, b.name, line(0), line(1),
                                Hours::parse(storage::splitHint(b.hint).duration)});
    }
    finishPage(page);
    return page;
}

} // namespace kab::report
