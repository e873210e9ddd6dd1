#pragma once
// The month's hours as text for a terminal and as CSV for a spreadsheet, in
// UTF-8. They are written in UTF-8 from the start, each name converted once:
// a month's text can run to thousands of lines, and a whole text's
// conversion from Shift-JIS costs more than everything else together.

#include "report/month.h"
#include "report/tally.h"

#include <string>

namespace kab::report {

// "12月7日(月)".
std::string dateLabel(DateSerial date);
// "3行目 9:00-13:00", the block's row and times as the board shows them.
std::string shiftLabel(const Shift& s);

// Per person the days, the blocks and the hours, then the double bookings
// and the blocks without a name.
std::string hoursText(const Tally& t, Month month);
// The double bookings and the blocks without a name alone, as hoursText
// ends; empty when there are none.
std::string noticesText(const Tally& t);

// RFC 4180, after a UTF-8 byte-order mark so that spreadsheets take it for
// UTF-8 without asking: a header, then per person name, days, blocks and
// hours. A name that a spreadsheet would take for a formula is kept as text.
std::string hoursCsv(const Tally& t);
// One field of such a CSV: quoted where it must be, and a text that a
// spreadsheet would take for a formula kept as text.
std::string csvField(const std::string& utf8);

} // namespace kab::report
