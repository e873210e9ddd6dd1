#pragma once
// The few questions asked of the data folder's listing, and its tidying.

#include "foundation/files.h"

#include <ctime>
#include <string_view>
#include <vector>

namespace kab::storage {

// The names in dir ("" is the current folder), "." and ".." left out, in the
// file system's form. A folder that cannot be read has none.
std::vector<std::string> folderEntries(const FilePath& dir);

// Equal bytes, except that ASCII letters match either case. Double-byte
// characters are compared whole, so a second byte is never folded.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Removes what saves killed before their end left in dataDir: the temporary
// files of day files, of their recovery files and of the versions kept of
// them, last changed before
// notAfter (so that no save under way loses its file). Nothing else is
// touched, no other folder is looked into and no link is followed; failures
// are passed over.
void removeLeftoverSaves(const FilePath& dataDir, std::time_t notAfter);
// Seconds after which no save can still be writing its temporary file.
inline constexpr std::time_t leftoverAge = 15 * 60;

// A regular file itself, not a link to one nor a folder.
bool isPlainFile(const FilePath& path);

} // namespace kab::storage
