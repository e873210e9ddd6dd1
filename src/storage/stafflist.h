#pragma once
// The staff list: one name a line in the data folder's List1.txt.

#include "foundation/files.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace kab::storage {

inline constexpr std::string_view staffListName = "List1.txt";

// dataDir + "List1.txt" when that file exists. Otherwise the folder's regular
// file whose name is "List1.txt" in other letter cases (the first in byte
// order when there are several), as copied from a system that ignores case.
// dataDir + "List1.txt" again when there is none.
FilePath staffListPath(const FilePath& dataDir);

// Bounds of what is read of a staff list, far above any real one (a few
// hundred names of a few characters), so that no file can stall the board or
// fill its memory.
inline constexpr std::size_t maxStaffListBytes = 4 * 1024 * 1024;
inline constexpr int maxStaffNames = 100000;
inline constexpr std::size_t maxNameBytes = 256;

// How a list's bytes are read. People write the list with whatever editor
// they have: one that saves UTF-8 (with or without a byte-order mark) gives
// bytes that are valid UTF-8 and not plain ASCII, which Shift-JIS text almost
// never is; anything else is Shift-JIS, as the list has always been.
enum class StaffListEncoding { ShiftJis, Utf8 };
StaffListEncoding staffListEncoding(std::string_view bytes);

// The names of the list at path, a line each as TextList::setText splits
// them (a UTF-8 list converted to Shift-JIS first, its byte-order mark
// dropped, a character without a Shift-JIS form as "?"), blank lines and repeats kept: the lines
// that end within its first maxStaffListBytes bytes, at most maxStaffNames of them, each cut to at
// most maxNameBytes at a character boundary. None when no regular file is there (openRegularFile: a
// pipe is never waited on). Throws Error::fileOpen when the file cannot be read.
std::vector<SjisString> readStaffNames(const FilePath& path);

} // namespace kab::storage
