#pragma once
// A day's records as a table a spreadsheet takes and gives back: UTF-8,
// tab-separated, one placed block a line under a header line
// (行 名前 開始 終了 時間). The clipboard carries it beside the records
// themselves.

#include "foundation/textlist.h"
#include "storage/dayread.h"

#include <string>
#include <string_view>

namespace kab::storage {

// The header line, without its line break.
inline constexpr std::string_view dayTableHeader = "行\t名前\t開始\t終了\t時間";

// The records (Shift-JIS, as a save writes them, in that order) as the
// table's UTF-8 text: the header, then per record its row, name, start as
// written, end and duration as written, each line ended by LF.
std::string dayTableText(const TextList& records);

// The records a table stands for, in the order of its lines, each as a save
// would write it (row as two digits, start and duration as the table has
// them). The header is optional; CR LF, lone CR and LF all end a line;
// blank lines are skipped. The end may be empty; when given it must be the
// start plus the duration. Throws Error::unreadableLine with the first line
// (counting from 1, the header included) that is no block: a field missing
// or one too many (a name holding a tab), a row outside 1-8, a start,
// duration or end that is not ASCII digits in their form, a name that does
// not fit a day file. An empty table, or one of more than maxDayLines
// blocks, is refused by its first line past them.
TextList readDayTable(std::string_view utf8);

// Bytes that hold a day file's text, read as the load reads the file: the
// lines up to the first empty one, at most maxDayLines, a NUL byte ending
// the text.
DayLines dayLinesOf(std::string_view bytes);

} // namespace kab::storage
