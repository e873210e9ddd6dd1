#include "storage/stafflist.h"

#include "foundation/files.h"
#include "storage/folder.h"

#include <optional>
#include <sys/stat.h>

namespace kab::storage {

namespace {

bool isRegularFile(const SjisString& path) {
    struct stat st {};
    return ::stat(sjis::toUtf8(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

SjisString staffListPath(const SjisString& dataDir) {
    SjisString exact = dataDir + SjisString(staffListName);
    if (fileExists(exact)) return exact;
    std::optional<SjisString> found;
    for (auto& name : folderEntries(dataDir)) {
        if (!equalsIgnoringAsciiCase(name, staffListName) || !isRegularFile(dataDir + name))
            continue;
        if (!found || name < *found) found = std::move(name);
    }
    return found ? dataDir + *found : exact;
}

} // namespace kab::storage
