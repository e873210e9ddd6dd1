#pragma once
// The one rule for what the report writes of a name, a day file's text or a
// path: every control character (U+0000 to U+001F, U+007F, U+0080 to U+009F)
// and every byte that is no UTF-8 shows as U+FFFD. A name in a day file could
// otherwise move a terminal's cursor, change its colours or ring its bell,
// end a CSV row, or put into an iCalendar value what RFC 5545 forbids there.

#include "foundation/sjis.h"

#include <string>
#include <string_view>

namespace kab::report {

// utf8 with each control character, and each byte that starts no UTF-8
// character, as U+FFFD. A line break is a control character too: a caller
// passes the text of one line.
std::string printable(std::string_view utf8);

// A Shift-JIS name or field in UTF-8, printable.
std::string printableName(std::string_view sjisText);

} // namespace kab::report
