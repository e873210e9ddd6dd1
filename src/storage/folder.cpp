#include "storage/folder.h"

#include "foundation/atomicfile.h"
#include "foundation/bytes.h"
#include "storage/dayfile.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kab::storage {

std::vector<std::string> folderEntries(const FilePath& dir) {
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return names;
    while (const dirent* e = ::readdir(d)) {
        std::string_view name = e->d_name;
        if (name == "." || name == "..") continue;
        names.emplace_back(name);
    }
    ::closedir(d);
    return names;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        std::size_t after = sjis::next(a, i);
        if (after - i == 1) {
            if (bytes::upperAscii(a[i]) != bytes::upperAscii(b[i])) return false;
        } else if (a.substr(i, after - i) != b.substr(i, after - i)) {
            return false;
        }
        i = after;
    }
    return true;
}

bool isPlainFile(const FilePath& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void removeLeftoverSaves(const FilePath& dataDir, std::time_t notAfter) {
    for (const std::string& name : folderEntries(dataDir)) {
        const auto replaced = replacedByTemporary(name);
        if (!replaced || !looksLikeDayFileName(pathText(*replaced))) continue;
        const FilePath path = dataDir + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_mtime <= notAfter)
            ::unlink(path.c_str());
    }
}

} // namespace kab::storage
