#pragma once
// The few questions asked of the data folder's listing.

#include "foundation/sjis.h"

#include <string_view>
#include <vector>

namespace kab::storage {

// The names in dir ("" is the current folder), "." and ".." left out, as
// Shift-JIS. A folder that cannot be read has none.
std::vector<SjisString> folderEntries(const SjisString& dir);

// Equal bytes, except that ASCII letters match either case. Double-byte
// characters are compared whole, so a second byte is never folded.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace kab::storage
