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

// Thrown inside a replace with the errno of the failing call, or a reason of
// its own; turned into the file-create error once the temporary file is gone.
struct Failure {
    int errorNumber;
    const char* reason = nullptr; // UTF-8
};

[[noreturn]] void fail(int errorNumber) {
    throw Failure{errorNumber};
}

[[noreturn]] void refuse(const char* reason) {
    throw Failure{EPERM, reason};
}

void check(int errorNumber) {
    if (errorNumber != 0) fail(errorNumber);
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
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
// then tells so). A link is followed as the kernel follows links in a shared
// sticky folder, whatever folder it lies in: only when the user or the
// folder's owner made it, so that nobody else can steer a save into a file of
// the user's. It must lead to a regular file (or none) in a folder that
// nobody but its owner may write, where no name can be swapped under the
// save. Anything else is refused and nothing is written.
struct Followed {
    std::string path;
    bool made = false;
};
Followed followLink(const std::string& path) {
    struct stat own {};
    if (::lstat(path.c_str(), &own) != 0 || !S_ISLNK(own.st_mode)) return {path};
    struct stat folder {};
    if (::stat(folderOf(path).c_str(), &folder) != 0) fail(errno);
    if (own.st_uid != ::geteuid() && own.st_uid != folder.st_uid)
        refuse("他の人が置いたリンクです");
    bool made = false;
    int fd = ::open(path.c_str(), O_PATH | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        // where the link leads to nothing yet: its folder must pass before
        // anything is made there
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
        if (n <= 0) fail(errno);
        target[n] = '\0';
        const std::string to =
            target[0] == '/' ? std::string(target) : folderOf(path) + "/" + target;
        struct stat there {};
        if (::stat(folderOf(to).c_str(), &there) != 0) fail(errno);
        if (there.st_mode & (S_IWGRP | S_IWOTH))
            refuse("リンク先のフォルダーは他の人も書き込めます");
        // made where the link leads, never through a link there
        fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        made = fd >= 0;
        if (fd < 0 && errno == EEXIST) fd = ::open(path.c_str(), O_PATH | O_CLOEXEC);
    }
    FileHandle file(fd);
    struct stat st {};
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0) fail(errno);
    if (!S_ISREG(st.st_mode)) refuse("リンク先が普通のファイルではありません");
    char target[PATH_MAX];
    const std::string self = "/proc/self/fd/" + std::to_string(file.get());
    const ssize_t n = ::readlink(self.c_str(), target, sizeof target);
    std::string resolved;
    if (n > 0 && std::size_t(n) < sizeof target && target[0] == '/')
        resolved.assign(target, std::size_t(n));
    else if (::realpath(path.c_str(), target) != nullptr)
        resolved = target;
    else
        fail(errno);
    struct stat there {};
    if (::stat(folderOf(resolved).c_str(), &there) != 0) fail(errno);
    if (there.st_mode & (S_IWGRP | S_IWOTH)) {
        if (made) ::unlink(resolved.c_str());
        refuse("リンク先のフォルダーは他の人も書き込めます");
    }
    return {resolved, made};
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

// True when the file open as fd holds exactly bytes.
bool holds(int fd, const struct stat& st, std::string_view bytes) {
    if (fd < 0 || std::size_t(st.st_size) != bytes.size()) return false;
    std::string now(bytes.size(), '\0');
    std::size_t done = 0;
    while (done < now.size()) {
        const ssize_t got = ::pread(fd, now.data() + done, now.size() - done, off_t(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += std::size_t(got);
    }
    return now == bytes;
}

constexpr const char* kSwapped = "保存の間にファイルが別のものに置き換えられました";

struct Replace {
    std::string dir, name; // the file written: dir ("" or ending in "/") + name
    std::string_view bytes;
    const FileWriteHooks* hooks;
    bool keepVersions; // false also for a file this save has just made
    mode_t newMode;    // of a file that did not exist before
    bool replaceLinks; // a link at the name is replaced, not followed
    int versionError = 0;

    std::string path() const { return dir + name; }

    void step(std::string_view what) const {
        if (hooks && hooks->inPlaceStep) hooks->inPlaceStep(what);
    }

    // Keeps the file's present contents, read through oldFd, as a version,
    // unless they are the bytes being saved.
    void keep(const struct stat& st, int oldFd, bool byLink) {
        if (!keepVersions || holds(oldFd, st, bytes)) return;
        versionError = keepVersion({dir, name, st, oldFd}, byLink, hooks);
    }

    // The file is written over where it lies, so its owner, group, mode and
    // every name it has stay; its old bytes are kept as a version first.
    // While old bytes lie beyond the new ones, an empty line follows the new
    // ones, so that a reader (or a kill) between the write and the cut sees
    // the old day or exactly the new records, never the old tail.
    void inPlace(const struct stat& st, int oldFd) {
        step("open");
        FileHandle file(::open(path().c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (file.get() < 0) fail(errno == ELOOP ? EPERM : errno);
        struct stat now {};
        if (::fstat(file.get(), &now) != 0) fail(errno);
        if (!sameFile(now, st) || !S_ISREG(now.st_mode)) refuse(kSwapped);
        // No lock is taken: anyone who can read the file could hold one and
        // keep every save out.
        step("version");
        keep(now, oldFd, false);
        std::string written(bytes);
        if (std::size_t(now.st_size) > bytes.size()) written += "\r\n";
        step("reserve");
        reserve(file.get(), now.st_size, written);
        step("write");
        check(writeAll(file.get(), written, hooks));
        step("truncate");
        if (::ftruncate(file.get(), off_t(bytes.size())) != 0) fail(errno);
        step("sync");
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
    bool finish(int fd, const struct stat* old, int oldFd) const {
        const mode_t mode = old ? old->st_mode & 07777 : newMode;
        struct stat st {};
        if (::fchmod(fd, mode) != 0 && (::fstat(fd, &st) != 0 || (st.st_mode & 07777) != mode))
            return !old; // a new file takes what this file system gives every file
        if (!old) return true;
        if (oldFd < 0) return false; // an access list unread is none given
        const char* acl = "system.posix_acl_access";
        std::string value(64, '\0');
        ssize_t n = ::fgetxattr(oldFd, acl, value.data(), value.size());
        if (n < 0 && errno == ERANGE) {
            n = ::fgetxattr(oldFd, acl, nullptr, 0);
            value.resize(n > 0 ? std::size_t(n) : 0);
            n = ::fgetxattr(oldFd, acl, value.data(), value.size());
        }
        return n <= 0 || ::fsetxattr(fd, acl, value.data(), std::size_t(n), 0) == 0;
    }

    void run() {
        if (name.empty()) fail(EISDIR);
        struct stat st {};
        const bool exists = ::lstat(path().c_str(), &st) == 0;
        if (!exists && errno != ENOENT) fail(errno);
        if (exists) {
            // a link followed was resolved already: one here came since
            if (S_ISLNK(st.st_mode) && !replaceLinks) refuse(kSwapped);
            if (S_ISDIR(st.st_mode)) fail(EISDIR);
            // The rename would replace a read-only file without asking.
            if (::faccessat(AT_FDCWD, path().c_str(), W_OK, AT_EACCESS) != 0) fail(errno);
        }
        // Only a regular file passes its mode on; a device's 0666 never does.
        const bool plainFile = exists && S_ISREG(st.st_mode);
        // The old file, open on itself: its version and its access list are
        // read from here, never through its name again.
        FileHandle oldFile(-1);
        if (plainFile) {
            oldFile =
                FileHandle(::open(path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
            struct stat now {};
            if (oldFile.get() < 0 && errno != EACCES) refuse(kSwapped);
            if (oldFile.get() >= 0 && (::fstat(oldFile.get(), &now) != 0 || !sameFile(now, st)))
                refuse(kSwapped);
        }
        if (!byRename(plainFile ? &st : nullptr, oldFile.get())) inPlace(st, oldFile.get());
    }

    // False, with nothing changed, when the file must be written in place:
    // the folder takes no new file, or the new one could not be the old.
    bool byRename(const struct stat* old, int oldFd) {
        const bool plainFile = old != nullptr;
        TempFile temp(AT_FDCWD, dir, name);
        if (const int e = temp.errorNumber()) {
            if ((e == EACCES || e == EPERM) && plainFile) return false;
            fail(e);
        }
        if (plainFile && !canStandIn(temp.fd(), *old)) return false;
        check(writeAll(temp.fd(), bytes, hooks));
        if (!finish(temp.fd(), old, oldFd)) {
            if (!plainFile) fail(EPERM);
            return false;
        }
        if (::fsync(temp.fd()) != 0) fail(errno);
        check(temp.close());
        if (hooks && hooks->beforeRename) hooks->beforeRename();
        if (plainFile) keep(*old, oldFd, true);
        if (hooks && hooks->afterVersionKept) hooks->afterVersionKept();
        if (::rename(temp.path().c_str(), path().c_str()) != 0) fail(errno);
        temp.keep();
        syncFolder(dir);
        return true;
    }
};

Replaced replace(const FilePath& path, std::string_view bytes, const FileWriteHooks* hooks,
                 bool keepVersions, mode_t newMode) {
    try {
        // the program's own files are never reached through a link
        const Followed target = keepVersions ? followLink(path) : Followed{path};
        const std::size_t slash = target.path.rfind('/');
        const std::string dir = slash == std::string::npos ? "" : target.path.substr(0, slash + 1);
        Replace r{dir,          target.path.substr(dir.size()), bytes,
                  hooks,        keepVersions && !target.made,   newMode,
                  !keepVersions};
        r.run();
        return {r.versionError};
    } catch (const Failure& f) {
        if (f.reason)
            throw Error::saveRefused(pathText(absolutePath(path)), sjis::fromUtf8(f.reason));
        throw fileCreateError(path, f.errorNumber);
    }
}

} // namespace

Replaced replaceFileContents(const FilePath& path, std::string_view bytes,
                             const FileWriteHooks* hooks) {
    return replace(path, bytes, hooks, true, newFileMode());
}

void replaceFileKeepingNoVersion(const FilePath& path, std::string_view bytes,
                                 const FileWriteHooks* hooks) {
    (void)replace(path, bytes, hooks, false, 0600);
}

void replaceExportedFile(const FilePath& path, std::string_view bytes,
                         const FileWriteHooks* hooks) {
    (void)replace(path, bytes, hooks, false, newFileMode());
}

} // namespace kab
