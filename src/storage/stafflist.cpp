#include "storage/stafflist.h"

#include "foundation/textlist.h"
#include "storage/folder.h"

#include <optional>

namespace kab::storage {

FilePath staffListPath(const FilePath& dataDir) {
    FilePath exact = dataDir + FilePath(staffListName);
    if (fileExists(exact)) return exact;
    std::optional<std::string> found;
    for (auto& name : folderEntries(dataDir)) {
        if (!equalsIgnoringAsciiCase(name, staffListName) || !fileExists(dataDir + name)) continue;
        if (!found || name < *found) found = std::move(name);
    }
    return found ? dataDir + *found : exact;
}

std::vector<SjisString> readStaffNames(const FilePath& path) {
    const auto file = openRegularFile(path);
    if (!file) return {};
    LineStream lines({maxStaffNames, false, maxNameBytes});
    const bool more = readFile(*file, path, maxStaffListBytes, [&](std::string_view chunk) {
        lines.feed(chunk);
        return !lines.done();
    });
    // a name the byte limit cut off is left out
    return lines.finish(more).lines();
}

} // namespace kab::storage
