#include "foundation/atomicfile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kab {

namespace {

// Thrown inside replaceFileContents with the errno of the failing call; turned
// into the file-create error once the temporary file is gone.
struct Failure {
    int errorNumber;
};

[[noreturn]] void fail(int errorNumber) {
    throw Failure{errorNumber};
}

void check(int errorNumber) {
    if (errorNumber != 0) fail(errorNumber);
}

constexpr std::size_t kSuffixLength = 6;
constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// A name no other writer picks: the open below refuses an existing one anyway.
std::string tempSuffix(unsigned attempt) {
    static unsigned counter = 0;
    auto mix = static_cast<unsigned long long>(
                   std::chrono::steady_clock::now().time_since_epoch().count()) ^
               (static_cast<unsigned long long>(::getpid()) << 20) ^ (++counter * 7919ULL) ^
               attempt;
    std::string s;
    for (std::size_t k = 0; k < kSuffixLength; ++k) {
        s += kAlphabet[mix % 62];
        mix /= 62;
    }
    return s;
}

class TempFile {
public:
    // Created with mode 0666 so that the umask and a default ACL apply as they
    // would to any new file in that folder. errorNumber() tells why none
    // could be made.
    TempFile(const std::string& dir, const std::string& name) {
        for (unsigned attempt = 0; attempt < 100; ++attempt) {
            path_ = dir + "." + name + "." + tempSuffix(attempt);
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) return;
            error_ = errno;
            if (error_ != EEXIST) break;
        }
        path_.clear();
    }
    ~TempFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int errorNumber() const { return fd_ >= 0 ? 0 : error_; }
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    void close() {
        int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) fail(errno);
    }
    // Renamed into place: nothing left to remove.
    void keep() { path_.clear(); }

private:
    std::string path_;
    int fd_ = -1;
    int error_ = 0;
};

void syncDirectory(const std::string& dir) {
    int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    // The rename has happened and cannot be taken back, so a failure here is
    // not reported as a failed save.
    (void)::fsync(fd);
    ::close(fd);
}

// The whole file, when it is no larger than limit.
std::optional<std::string> contentsUpTo(const std::string& path, std::size_t limit) {
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0 || std::size_t(st.st_size) > limit)
        return std::nullopt;
    std::string data(std::size_t(st.st_size), '\0');
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t got = ::read(file.get(), data.data() + done, data.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return std::nullopt;
        done += std::size_t(got);
    }
    return data;
}

// Keeps the regular file about to be replaced as its previous version: a
// second name for it, or where the file system has none, its only name, the
// instant before the new file takes the day's.
void keepPrevious(const std::string& target, std::string_view replacement) {
    const std::string kept = previousVersion(target);
    // a save that changes nothing keeps the version kept before
    if (const auto old = contentsUpTo(target, replacement.size()); old && *old == replacement)
        return;
    if (::unlink(kept.c_str()) != 0 && errno != ENOENT) fail(errno);
    if (::link(target.c_str(), kept.c_str()) != 0 && ::rename(target.c_str(), kept.c_str()) != 0)
        fail(errno);
}

// The folder takes no new file: the file is written over where it lies.
void rewriteInPlace(const std::string& target, std::string_view bytes,
                    const FileWriteHooks* hooks) {
    FileHandle file(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
    if (file.get() < 0) fail(errno);
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0 && (errno == EWOULDBLOCK || errno == EAGAIN))
        fail(errno);
    check(writeAll(file.get(), bytes, hooks));
    if (::ftruncate(file.get(), off_t(bytes.size())) != 0) fail(errno);
    if (::fsync(file.get()) != 0) fail(errno);
    if (file.release() != 0) fail(errno);
}

void replace(const std::string& target, std::string_view bytes, const FileWriteHooks* hooks) {
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = target.substr(dir.size());
    if (name.empty()) fail(EISDIR);

    struct stat st {};
    bool exists = ::stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) fail(errno);
    if (exists) {
        if (S_ISDIR(st.st_mode)) fail(EISDIR);
        // The rename would replace a read-only file without asking.
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) fail(errno);
    }
    // Only a regular file passes its mode on; a device's 0666 never does.
    const bool regular = exists && S_ISREG(st.st_mode);
    struct stat own {};
    const bool plainFile = ::lstat(target.c_str(), &own) == 0 && S_ISREG(own.st_mode);

    TempFile temp(dir, name);
    if (const int e = temp.errorNumber()) {
        if ((e == EACCES || e == EPERM) && plainFile) return rewriteInPlace(target, bytes, hooks);
        fail(e);
    }
    check(writeAll(temp.fd(), bytes, hooks));
    if (regular && ::fchmod(temp.fd(), st.st_mode & 07777) != 0) fail(errno);
    if (::fsync(temp.fd()) != 0) fail(errno);
    temp.close();
    if (hooks && hooks->beforeRename) hooks->beforeRename();
    if (plainFile) keepPrevious(target, bytes);
    if (::rename(temp.path().c_str(), target.c_str()) != 0) fail(errno);
    temp.keep();
    syncDirectory(dir);
}

} // namespace

void replaceFileContents(const FilePath& path, std::string_view bytes,
                         const FileWriteHooks* hooks) {
    try {
        replace(path, bytes, hooks);
    } catch (const Failure& f) {
        throw fileCreateError(path, f.errorNumber);
    }
}

FilePath previousVersion(const FilePath& path) {
    const std::size_t start = path.rfind('/') + 1; // 0 without a folder
    return path.substr(0, start) + "." + path.substr(start) + ".prev";
}

std::optional<std::string_view> replacedByTemporary(std::string_view name) {
    if (name.size() < kSuffixLength + 3 || name.front() != '.') return std::nullopt;
    const std::size_t dot = name.size() - kSuffixLength - 1;
    if (name[dot] != '.') return std::nullopt;
    const std::string_view suffix = name.substr(dot + 1);
    if (suffix.find_first_not_of(std::string_view(kAlphabet, 62)) != std::string_view::npos)
        return std::nullopt;
    return name.substr(1, dot - 1);
}

} // namespace kab
