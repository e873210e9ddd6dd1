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

} // namespace kab::report
