#include "foundation/atomicfile.h"

#include "foundation/tempfile.h"
#include "foundation/versions.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace kab {

namespace {

// Thrown inside a replace with the errno of the failing call; turned into the
// file-create error once the temporary file is gone.
struct Failure {
    int errorNumber;
};

[[noreturn]] void fail(int errorNumber) {
    throw Failure{errorNumber};
}

void check(int errorNumber) {
    if (errorNumber != 0) fail(errorNumber);
}

// The mode a new file gets here: 0666 less the umask, read where the kernel
// tells it, so that the umask is never changed, not even for an instant.
mode_t newFileMode() {
    mode_t mask = 0;
    bool known = false;
    if (FileHandle status(::open("/proc/self/status", O_RDONLY | O_CLOEXEC)); status.get() >= 0) {
        char text[4096];
        const ssize_t got = ::read(status.get(), text, sizeof text - 1);
        text[got > 0 ? got : 0] = '\0';
        if (const char* at = std::strstr(text, "\nUmask:")) {
            mask = mode_t(std::strtoul(at + 7, nullptr, 8));
            known = true;
        }
    }
    if (!known) {
        mask = ::umask(022);
        ::umask(mask);
    }
    return 0666 & ~mask;
}

// The file a save at path writes: path itself or, for a symbolic link, the
// regular file it leads to, made empty where it leads to none yet (made
// then tells so). The kernel follows the link, so that a shared folder's
// protection against links planted by others holds. A link to anything else
// (a device, a pipe) is replaced by a plain file, as the name itself would be.
struct Followed {
    std::string path;
    bool made = false;
};
Followed followLink(const std::string& path) {
    struct stat own {};
    if (::lstat(path.c_str(), &own) != 0 || !S_ISLNK(own.st_mode)) return {path};
    bool made = false;
    int fd = ::open(path.c_str(), O_PATH | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
        made = fd >= 0;
    }
    FileHandle file(fd);
    struct stat st {};
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0) fail(errno);
    if (!S_ISREG(st.st_mode)) return {path};
    char target[PATH_MAX];
    const std::string self = "/proc/self/fd/" + std::to_string(file.get());
    const ssize_t n = ::readlink(self.c_str(), target, sizeof target);
    if (n > 0 && std::size_t(n) < sizeof target && target[0] == '/')
        return {{target, std::size_t(n)}, made};
    if (::realpath(path.c_str(), target) == nullptr) fail(errno);
    return {target, made};
}

// Writes bytes at offset, going on after short writes: 0 or the errno.
int writeAt(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t put = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return errno;
        bytes.remove_prefix(std::size_t(put));
        offset += put;
    }
    return 0;
}

// Room for bytes in a file about to be written over, taken before any old
// byte changes: a save that does not fit fails with the old file as it was.
void reserve(int fd, off_t oldSize, std::string_view bytes) {
    const off_t size = off_t(bytes.size());
    if (size == 0 || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) == 0) return;
    if (errno != EOPNOTSUPP && errno != ENOSYS) fail(errno);
    // No reservation on this file system: the part beyond the old end is
    // written first, and cut off again when it does not fit.
    if (size <= oldSize) return;
    if (const int e = writeAt(fd, bytes.substr(std::size_t(oldSize)), oldSize)) {
        (void)::ftruncate(fd, oldSize);
        fail(e);
    }
}

struct Replace {
    std::string dir, name; // the file written: dir ("" or ending in "/") + name
    std::string_view bytes;
    const FileWriteHooks* hooks;
    bool keepVersions; // false also for a file this save has just made
    mode_t newMode;    // of a file that did not exist before

    std::string path() const { return dir + name; }

    // Keeps the file's present contents as a version, unless they are the
    // bytes being saved.
    void keep(const struct stat& st, bool byLink) const {
        if (!keepVersions) return;
        if (const auto old = smallFileContents(path(), bytes.size()); old && *old == bytes) return;
        keepVersion({dir, name, st}, byLink, hooks);
    }

    // The file is written over where it lies, so its owner, group, mode and
    // every name it has stay; its old bytes are kept as a version first.
    void inPlace(const struct stat& st) const {
        FileHandle file(::open(path().c_str(), O_WRONLY | O_CLOEXEC));
        if (file.get() < 0) fail(errno);
        // No lock is taken: anyone who can read the file could hold one and
        // keep every save out.
        keep(st, false);
        reserve(file.get(), st.st_size, bytes);
        check(writeAll(file.get(), bytes, hooks));
        if (::ftruncate(file.get(), off_t(bytes.size())) != 0) fail(errno);
        if (::fsync(file.get()) != 0) fail(errno);
        if (file.release() != 0) fail(errno);
    }

    // The new file takes the place of old only when nobody can tell it from
    // the old one but by its contents: its owner, group, mode and access list,
    // and no other name for the old file that would keep the old contents.
    bool canStandIn(int fd, const struct stat& old) const {
        struct stat st {};
        if (::fstat(fd, &st) != 0) return false;
        if (old.st_nlink > 2 || (old.st_nlink == 2 && !isNewestVersion({dir, name, old})))
            return false;
        return (st.st_uid == old.st_uid && st.st_gid == old.st_gid) ||
               ::fchown(fd, old.st_uid, old.st_gid) == 0;
    }

    // The final mode (and the old file's access list), given once the file is
    // complete. False when the file system will not take them.
    bool finish(int fd, const struct stat* old) const {
        const mode_t mode = old ? old->st_mode & 07777 : newMode;
        struct stat st {};
        if (::fchmod(fd, mode) != 0 && (::fstat(fd, &st) != 0 || (st.st_mode & 07777) != mode))
            return !old; // a new file takes what this file system gives every file
        if (!old) return true;
        const char* acl = "system.posix_acl_access";
        std::string value(64, '\0');
        ssize_t n = ::getxattr(path().c_str(), acl, value.data(), value.size());
        if (n < 0 && errno == ERANGE) {
            n = ::getxattr(path().c_str(), acl, nullptr, 0);
            value.resize(n > 0 ? std::size_t(n) : 0);
            n = ::getxattr(path().c_str(), acl, value.data(), value.size());
        }
        return n <= 0 || ::fsetxattr(fd, acl, value.data(), std::size_t(n), 0) == 0;
    }

    void run() const {
        if (name.empty()) fail(EISDIR);
        struct stat st {};
        const bool exists = ::stat(path().c_str(), &st) == 0;
        if (!exists && errno != ENOENT) fail(errno);
        if (exists) {
            if (S_ISDIR(st.st_mode)) fail(EISDIR);
            // The rename would replace a read-only file without asking.
            if (::faccessat(AT_FDCWD, path().c_str(), W_OK, AT_EACCESS) != 0) fail(errno);
        }
        // Only a regular file passes its mode on; a device's 0666 never does.
        const struct stat* old = exists && S_ISREG(st.st_mode) ? &st : nullptr;
        struct stat own {};
        const bool plainFile = ::lstat(path().c_str(), &own) == 0 && S_ISREG(own.st_mode);
        if (!byRename(old, plainFile)) inPlace(st);
    }

    // False, with nothing changed, when the file must be written in place:
    // the folder takes no new file, or the new one could not be the old.
    bool byRename(const struct stat* old, bool plainFile) const {
        TempFile temp(AT_FDCWD, dir, name);
        if (const int e = temp.errorNumber()) {
            if ((e == EACCES || e == EPERM) && plainFile) return false;
            fail(e);
        }
        if (plainFile && !canStandIn(temp.fd(), *old)) return false;
        check(writeAll(temp.fd(), bytes, hooks));
        if (!finish(temp.fd(), old)) {
            if (!plainFile) fail(EPERM);
            return false;
        }
        if (::fsync(temp.fd()) != 0) fail(errno);
        check(temp.close());
        if (hooks && hooks->beforeRename) hooks->beforeRename();
        if (plainFile) keep(*old, true);
        if (hooks && hooks->afterVersionKept) hooks->afterVersionKept();
        if (::rename(temp.path().c_str(), path().c_str()) != 0) fail(errno);
        temp.keep();
        syncFolder(dir);
        return true;
    }
};

void replace(const FilePath& path, std::string_view bytes, const FileWriteHooks* hooks,
             bool keepVersions, mode_t newMode) {
    try {
        const Followed target = followLink(path);
        const std::size_t slash = target.path.rfind('/');
        const std::string dir = slash == std::string::npos ? "" : target.path.substr(0, slash + 1);
        Replace{dir,   target.path.substr(dir.size()), bytes,
                hooks, keepVersions && !target.made,   newMode}
            .run();
    } catch (const Failure& f) {
        throw fileCreateError(path, f.errorNumber);
    }
}

} // namespace

void replaceFileContents(const FilePath& path, std::string_view bytes,
                         const FileWriteHooks* hooks) {
    replace(path, bytes, hooks, true, newFileMode());
}

void replaceFileKeepingNoVersion(const FilePath& path, std::string_view bytes,
                                 const FileWriteHooks* hooks) {
    replace(path, bytes, hooks, false, 0600);
}

} // namespace kab
