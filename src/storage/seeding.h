#pragma once
// First-run data: the build puts a staff list and a sample day into the data
// folder, but never over what a user already has there.

#include "foundation/files.h"

#include <string_view>

namespace kab::storage {

inline constexpr std::string_view sampleDayName = "smpl.dat";

// UTF-8 lines as the program stores text: code page 932, every line ended by
// CR LF.
SjisString seedText(std::string_view utf8);

// dataDir ends with "/". Each writes its file from the UTF-8 source and
// returns true, or returns false and writes nothing:
// - the staff list when the folder holds any entry named "List1.txt" in any
//   letter case;
// - the sample day when the folder holds "smpl.dat" or any day file, so days
//   are not seeded again once the program has been used.
// A file is only ever created, never replaced. Throws Error::fileCreate when
// writing fails; nothing is left behind then.
bool seedStaffList(const FilePath& dataDir, std::string_view utf8);
bool seedSampleDay(const FilePath& dataDir, std::string_view utf8);

} // namespace kab::storage
