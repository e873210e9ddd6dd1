#include "storage/folder.h"

#include "foundation/atomicfile.h"
#include "foundation/bytes.h"
#include "foundation/versions.h"
#include "storage/dayfile.h"
#include "storage/recovery.h"

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

namespace {

bool isPlainFolder(const FilePath& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The temporary files in dir of the files named so that isKept(name) holds.
template <class IsKept>
void removeTemporaries(const FilePath& dir, std::time_t notAfter, IsKept isKept) {
    for (const std::string& name : folderEntries(dir)) {
        const auto replaced = replacedByTemporary(name);
        if (!replaced || !isKept(*replaced)) continue;
        const FilePath path = dir + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_mtime <= notAfter)
            ::unlink(path.c_str());
    }
}

} // namespace

void removeLeftoverSaves(const FilePath& dataDir, std::time_t notAfter) {
    auto isDayFile = [](std::string_view name) { return looksLikeDayFileName(pathText(name)); };
    removeTemporaries(dataDir, notAfter, isDayFile);
    // the recovery files' too, in the user's folder and where earlier
    // releases kept them
    const FilePath recovery = recoveryFolder(dataDir);
    if (isPlainFolder(recovery.substr(0, recovery.size() - 1)))
        removeTemporaries(recovery, notAfter, isDayFile);
    const FilePath legacy = dataDir + std::string(legacyRecoveryFolderName) + "/";
    if (isPlainFolder(legacy)) removeTemporaries(legacy, notAfter, isDayFile);
    // and the copies of days a save was making as versions
    const FilePath versions = dataDir + std::string(kVersionFolder) + "/";
    if (!isPlainFolder(versions)) return;
    for (const std::string& day : folderEntries(versions)) {
        if (!isDayFile(day) || !isPlainFolder(versions + day)) continue;
        removeTemporaries(versions + day + "/", notAfter, [](std::string_view name) {
            return name.find_first_not_of("0123456789") == std::string_view::npos;
        });
    }
}

} // namespace kab::storage
