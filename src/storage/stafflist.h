#pragma once
// The staff list: one name a line in the data folder's List1.txt.

#include "foundation/sjis.h"

#include <string_view>

namespace kab::storage {

inline constexpr std::string_view staffListName = "List1.txt";

// dataDir + "List1.txt" when that file exists. Otherwise the folder's regular
// file whose name is "List1.txt" in other letter cases (the first in byte
// order when there are several), as copied from a system that ignores case.
// dataDir + "List1.txt" again when there is none.
SjisString staffListPath(const SjisString& dataDir);

} // namespace kab::storage
