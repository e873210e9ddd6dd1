#include "report/month_xlsx.h"

#include "foundation/atomicfile.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/sjis.h"
#include "foundation/tempfile.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>

namespace kab::report {

namespace {

constexpr lxw_color_t kBlue = 0x0000C0, kRed = 0xC00000;
const char* const kWeekdays[] = {"日", "月", "火", "水", "木", "金", "土"};

struct Formats {
    lxw_format *head, *saturday, *holiday, *name, *cell, *finding, *number;
};

Formats formats(lxw_workbook* wb) {
    Formats f{};
    const auto make = [&](bool bold, lxw_color_t colour) {
        lxw_format* x = workbook_add_format(wb);
        format_set_text_wrap(x);
        format_set_align(x, LXW_ALIGN_VERTICAL_TOP);
        format_set_border(x, LXW_BORDER_THIN);
        format_set_border_color(x, 0xA0A0A0);
        if (bold) format_set_bold(x);
        if (colour) format_set_font_color(x, colour);
        return x;
    };
    f.head = make(true, 0);
    f.saturday = make(true, kBlue);
    f.holiday = make(true, kRed);
    f.name = make(true, 0);
    f.cell = make(false, 0);
    f.finding = make(false, 0);
    format_set_border(f.finding, LXW_BORDER_MEDIUM);
    format_set_border_color(f.finding, kRed);
    f.number = make(false, 0);
    format_set_num_format(f.number, "0.00");
    return f;
}

// a number, not a text: the spreadsheet adds them up
double hoursOf(const Hours& h) {
    return static_cast<double>(h.micro()) / Hours::kScale;
}

} // namespace

// A month's workbook is some kilobytes; anything near this is no workbook
// the library wrote for us.
constexpr std::size_t kMaxWorkbook = 64 * 1024 * 1024;

std::optional<std::string> writeMonthXlsx(const MonthTable& t, const FilePath& path) {
    // The library writes only to a named file: the workbook is made in a
    // private temporary file, then written under path as every file is.
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpDir = tmp && *tmp == '/' ? tmp : "/tmp";
    if (tmpDir.back() != '/') tmpDir += '/';
    TempFile temporary(AT_FDCWD, tmpDir, "kabrelo24-month.xlsx");
    if (temporary.errorNumber() != 0)
        return std::string("書き出せません: ") + std::strerror(temporary.errorNumber());
    lxw_workbook* wb = workbook_new(temporary.path().c_str());
    if (!wb) return std::string("書き出せません: ") + std::strerror(errno ? errno : EIO);
    const std::string title =
        std::to_string(t.month.year) + "年" + std::to_string(t.month.month) + "月";
    lxw_worksheet* ws = workbook_add_worksheet(wb, title.c_str());
    const Formats f = formats(wb);
    const lxw_col_t days = static_cast<lxw_col_t>(t.columns.size());

    worksheet_write_string(ws, 0, 0, "名前", f.head);
    for (lxw_col_t c = 0; c < days; ++c) {
        const MonthColumn& col = t.columns[c];
        std::string head = std::to_string(col.day) + "\n" + kWeekdays[col.weekday - 1];
        if (!col.damage.empty()) head += "\n破損";
        lxw_format* format = !col.holiday.empty() || col.weekday == 1 ? f.holiday
                             : col.weekday == 7                       ? f.saturday
                                                                      : f.head;
        worksheet_write_string(ws, 0, c + 1, head.c_str(), format);
        if (!col.holiday.empty() || !col.damage.empty()) {
            std::string note(col.holiday);
            if (!col.damage.empty()) note += (note.empty() ? "" : "\n") + col.damage;
            worksheet_write_comment(ws, 0, c + 1, note.c_str());
        }
    }
    worksheet_write_string(ws, 0, days + 1, "日数", f.head);
    worksheet_write_string(ws, 0, days + 2, "時間", f.head);

    lxw_row_t r = 1;
    for (const MonthRow& row : t.rows) {
        worksheet_write_string(ws, r, 0, row.label().c_str(), f.name);
        for (lxw_col_t c = 0; c < days; ++c) {
            const MonthCell& cell = row.cells[c];
            if (cell.text.empty() && cell.findings.empty()) continue;
            worksheet_write_string(ws, r, c + 1, cell.text.c_str(),
                                   cell.findings.empty() ? f.cell : f.finding);
            if (!cell.findings.empty()) {
                std::string note;
                for (int i : cell.findings) {
                    const Finding& x = t.findings[static_cast<std::size_t>(i)];
                    if (!note.empty()) note += "\n";
                    note += std::string(findingTitle(x.kind)) + ": " + x.text;
                }
                worksheet_write_comment(ws, r, c + 1, note.c_str());
            }
        }
        worksheet_write_number(ws, r, days + 1, row.days, f.cell);
        worksheet_write_number(ws, r, days + 2, hoursOf(row.hours), f.number);
        ++r;
    }
    worksheet_write_string(ws, r, 0, "人数", f.name);
    worksheet_write_string(ws, r + 1, 0, "時間", f.name);
    for (lxw_col_t c = 0; c < days; ++c) {
        worksheet_write_number(ws, r, c + 1, t.columns[c].people, f.cell);
        worksheet_write_number(ws, r + 1, c + 1, hoursOf(t.columns[c].hours), f.number);
    }
    worksheet_write_number(ws, r + 1, days + 2, hoursOf(t.total), f.number);

    worksheet_set_column(ws, 0, 0, 12, nullptr);
    worksheet_set_column(ws, 1, days, 11, nullptr);
    worksheet_freeze_panes(ws, 1, 1);
    worksheet_set_landscape(ws);
    worksheet_set_paper(ws, 9); // A4
    worksheet_repeat_rows(ws, 0, 0);
    worksheet_repeat_columns(ws, 0, 0);
    worksheet_fit_to_pages(ws, 1, 0);

    const lxw_error e = workbook_close(wb);
    if (e != LXW_NO_ERROR) {
        const int saved = errno;
        std::string why = lxw_strerror(e);
        if (saved) why += std::string(": ") + std::strerror(saved);
        return why;
    }
    // the workbook just written, the user's own file in the private folder
    const auto bytes = smallFileContents(temporary.path(), kMaxWorkbook, true, true);
    if (!bytes) return std::string("書き出せません: ") + std::strerror(errno ? errno : EIO);
    try {
        replaceExportedFile(path, *bytes);
    } catch (const Error& error) {
        return sjis::toUtf8(error.message());
    }
    return std::nullopt;
}

} // namespace kab::report
