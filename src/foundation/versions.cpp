#include "foundation/versions.h"

#include "foundation/tempfile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <unistd.h>
#include <utility>

namespace kab {

namespace {

using Number = unsigned long long;

std::optional<Number> versionNumber(std::string_view name) {
    Number n = 0;
    if (name.empty() || name.find_first_not_of("0123456789") != name.npos) return std::nullopt;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), n);
    // the highest number leaves room for the next
    if (error != std::errc() || n == Number(-1)) return std::nullopt;
    return n;
}

std::string versionName(Number n) {
    char text[24];
    std::snprintf(text, sizeof text, "%06llu", n);
    return text;
}

// What a day's version folder holds: its versions oldest first, and the
// highest number among them. A version is a regular file owned by the user or
// by the day's owner; whatever else lies there is nobody's version here.
struct Listing {
    std::vector<std::pair<Number, std::string>> versions;
    Number highest = 0;
};

bool ownVersion(const struct stat& st, uid_t dayOwner) {
    return S_ISREG(st.st_mode) && (st.st_uid == ::geteuid() || st.st_uid == dayOwner);
}

Listing listVersions(int folderFd, uid_t dayOwner) {
    Listing kept;
    const int fd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* d = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!d) {
        if (fd >= 0) ::close(fd);
        return kept;
    }
    while (const dirent* e = ::readdir(d)) {
        const auto n = versionNumber(e->d_name);
        if (!n) continue;
        struct stat st {};
        if (::fstatat(folderFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !ownVersion(st, dayOwner))
            continue;
        kept.highest = std::max(kept.highest, *n);
        kept.versions.emplace_back(*n, e->d_name);
    }
    ::closedir(d);
    std::sort(kept.versions.begin(), kept.versions.end());
    return kept;
}

// Renames without ever replacing a version another save has just kept.
int renameNoReplace(int fromDir, const std::string& from, int toDir, const std::string& to) {
    if (::renameat2(fromDir, from.c_str(), toDir, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    struct stat st {};
    if (::fstatat(toDir, to.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return EEXIST;
    return ::renameat(fromDir, from.c_str(), toDir, to.c_str()) == 0 ? 0 : errno;
}

// The folder name inside parentFd, made when missing, never reached through
// a link. A new one takes the mode and group of the day's folder, so that a
// folder a group shares keeps its versions shared alike.
int openFolder(int parentFd, const char* name, const struct stat& like) {
    constexpr int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(parentFd, name, flags);
    if (fd >= 0 || errno != ENOENT) return fd;
    const bool made = ::mkdirat(parentFd, name, 0700) == 0;
    fd = ::openat(parentFd, name, flags);
    if (fd >= 0 && made) {
        (void)::fchown(fd, uid_t(-1), like.st_gid);
        (void)::fchmod(fd, like.st_mode & 07777);
    }
    return fd;
}

// A copy of the file open as source, with its owner, group, mode and time
// where they can be given, else readable by no one its group would not have
// let in.
int copyInto(int source, const struct stat& st, int folderFd, const std::string& name) {
    if (source < 0) return EACCES;
    TempFile temp(folderFd, "", name);
    if (const int e = temp.errorNumber()) return e;
    char buffer[16 * 1024];
    for (off_t at = 0;;) {
        const ssize_t got = ::pread(source, buffer, sizeof buffer, at);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return errno;
        if (got == 0) break;
        if (const int e = writeAll(temp.fd(), {buffer, std::size_t(got)})) return e;
        at += got;
    }
    mode_t mode = st.st_mode & 07777;
    if (::fchown(temp.fd(), st.st_uid, st.st_gid) != 0 &&
        ::fchown(temp.fd(), uid_t(-1), st.st_gid) != 0)
        mode &= ~mode_t(070);
    (void)::fchmod(temp.fd(), mode);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    (void)::futimens(temp.fd(), times);
    if (::fsync(temp.fd()) != 0) return errno;
    if (const int e = temp.close()) return e;
    if (const int e = renameNoReplace(folderFd, temp.path(), folderFd, name)) return e;
    temp.keep();
    return 0;
}

// A second name for the file open as source, the very file and never what
// its name may lead to by now.
int linkInto(int source, int folderFd, const std::string& name) {
    if (source < 0) return EACCES;
    const std::string self = "/proc/self/fd/" + std::to_string(source);
    return ::linkat(AT_FDCWD, self.c_str(), folderFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0
                                                                                            : errno;
}

// The single previous version earlier saves kept beside the day
// (".<name>.prev") becomes the first of the day's versions.
void adoptPrevious(int dirFd, const std::string& name, int folderFd, uid_t dayOwner,
                   Listing& kept) {
    const std::string prev = "." + name + ".prev";
    struct stat st {};
    if (::fstatat(dirFd, prev.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !ownVersion(st, dayOwner))
        return;
    const std::string first = versionName(1);
    if (renameNoReplace(dirFd, prev, folderFd, first) != 0) return;
    kept.versions.emplace_back(1, first);
    kept.highest = 1;
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

FilePath versionFolder(const FilePath& file) {
    const std::size_t start = file.rfind('/') + 1; // 0 without a folder
    return file.substr(0, start) + std::string(kVersionFolder) + "/" + file.substr(start) + "/";
}

std::vector<FilePath> keptVersions(const FilePath& file) {
    const FilePath folder = versionFolder(file);
    FileHandle fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::vector<FilePath> paths;
    if (fd.get() < 0) return paths;
    struct stat day {};
    const uid_t owner = ::stat(file.c_str(), &day) == 0 ? day.st_uid : ::geteuid();
    for (const auto& [number, name] : listVersions(fd.get(), owner).versions)
        paths.push_back(folder + name);
    return paths;
}

namespace {

struct Folders {
    FileHandle dir, all, mine;
};

// The file's folder, its version folder and the file's own in that (made
// when missing unless only looked at); mine is -1 when any is missing.
Folders openFolders(const ReplacedFile& file, bool make) {
    Folders f{FileHandle(::open(file.dir.empty() ? "." : file.dir.c_str(),
                                O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
              FileHandle(-1), FileHandle(-1)};
    struct stat dirSt {};
    if (f.dir.get() < 0 || ::fstat(f.dir.get(), &dirSt) != 0) return f;
    constexpr int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    f.all = FileHandle(make ? openFolder(f.dir.get(), kVersionFolder.data(), dirSt)
                            : ::openat(f.dir.get(), kVersionFolder.data(), flags));
    if (f.all.get() < 0) return f;
    f.mine = FileHandle(make ? openFolder(f.all.get(), file.name.c_str(), dirSt)
                             : ::openat(f.all.get(), file.name.c_str(), flags));
    return f;
}

bool isNewest(int folderFd, const Listing& kept, const struct stat& st) {
    struct stat newest {};
    return !kept.versions.empty() &&
           ::fstatat(folderFd, kept.versions.back().second.c_str(), &newest, AT_SYMLINK_NOFOLLOW) ==
               0 &&
           sameFile(newest, st);
}

} // namespace

bool isNewestVersion(const ReplacedFile& file) {
    const Folders f = openFolders(file, false);
    return f.mine.get() >= 0 &&
           isNewest(f.mine.get(), listVersions(f.mine.get(), file.st.st_uid), file.st);
}

int keepVersion(const ReplacedFile& file, bool byLink, const FileWriteHooks* hooks) {
    const Folders f = openFolders(file, true);
    const int folder = f.mine.get();
    if (folder < 0) return errno ? errno : EACCES;
    Listing kept = listVersions(folder, file.st.st_uid);
    if (kept.highest == 0) adoptPrevious(f.dir.get(), file.name, folder, file.st.st_uid, kept);

    // A save killed before its rename kept this very file already: it is
    // kept, or, as the file is about to be written over, copied instead.
    bool keptAlready = isNewest(folder, kept, file.st);
    if (keptAlready && !byLink && ::unlinkat(folder, kept.versions.back().second.c_str(), 0) == 0) {
        kept.versions.pop_back();
        keptAlready = false;
    }
    int e = 0;
    // Another save may take a number first, or something nobody's version
    // lie under it: the next one then.
    Number number = kept.highest;
    for (int attempt = 0; !keptAlready && attempt < 64; ++attempt) {
        const std::string name = versionName(++number);
        e = EPERM;
        if (byLink)
            e = hooks && hooks->linkErrno ? hooks->linkErrno : linkInto(file.fd, folder, name);
        // no hard links here (vfat, exfat), or none to this file: a copy
        if (e != 0 && e != EEXIST) e = copyInto(file.fd, file.st, folder, name);
        if (e == EEXIST) continue;
        if (e == 0) kept.versions.emplace_back(number, name);
        break;
    }
    // the oldest go first
    const std::size_t extra =
        kept.versions.size() > kKeptVersions ? kept.versions.size() - kKeptVersions : 0;
    for (std::size_t i = 0; i < extra; ++i)
        (void)::unlinkat(folder, kept.versions[i].second.c_str(), 0);
    return e;
}

} // namespace kab
