#pragma once
// The month's table as a spreadsheet (.xlsx), written by libxlsxwriter: the
// same rows and columns as the window and the CSV, Saturdays blue, Sundays
// and holidays red, the findings framed in red with their texts as notes,
// landscape A4 with the header repeated on each printed page.

#include "report/monthtable.h"

#include <optional>
#include <string>

namespace kab::report {

// Writes the workbook under path through the safe replace of an exported
// file, so that a failure leaves no half file. The reason in UTF-8 when it
// fails.
std::optional<std::string> writeMonthXlsx(const MonthTable& t, const FilePath& path);
using WriteMonthXlsx = std::optional<std::string>(const MonthTable& t, const FilePath& path);

} // namespace kab::report

// The spreadsheet module's one exported entry (lib/kabrelo24-xlsx.so): the
// window loads it with its first export, so that a start maps none of
// libxlsxwriter and the libraries it brings; the report command links the
// writer itself.
extern "C" kab::report::WriteMonthXlsx* kabrelo24_xlsx_module();
