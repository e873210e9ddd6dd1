#pragma once
// The month's blocks as an iCalendar (RFC 5545) calendar that a phone's or a
// desktop's calendar imports, in UTF-8.

#include "report/month.h"

#include <optional>
#include <string>

namespace kab::report {

// One event a block, of every name or of one name only: its summary the
// name, its start and end in local time (an end past midnight on the next
// day). Its UID is the date, the name and the block's place among that
// name's blocks of the day, so that a month imported again updates the
// events it gave before instead of doubling them. Each event is stamped with
// its day file's last change.
std::string calendar(const std::vector<Day>& days, const std::optional<SjisString>& name);

} // namespace kab::report
