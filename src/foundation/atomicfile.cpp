#include "foundation/atomicfile.h"

#include "foundation/errors.h"
#include "foundation/files.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <string>
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

// A name no other writer picks: the open below refuses an existing one anyway.
std::string tempSuffix(unsigned attempt) {
    static unsigned counter = 0;
    auto mix = static_cast<unsigned long long>(
                   std::chrono::steady_clock::now().time_since_epoch().count()) ^
               (static_cast<unsigned long long>(::getpid()) << 20) ^ (++counter * 7919ULL) ^
               attempt;
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string s;
    for (int k = 0; k < 6; ++k) {
        s += alphabet[mix % 62];
        mix /= 62;
    }
    return s;
}

class TempFile {
public:
    // Created with mode 0666 so that the umask and a default ACL apply as they
    // would to any new file in that folder.
    TempFile(const std::string& dir, const std::string& name) {
        for (unsigned attempt = 0; attempt < 100; ++attempt) {
            path_ = dir + "." + name + "." + tempSuffix(attempt);
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) return;
            if (errno != EEXIST) fail(errno);
        }
        fail(EEXIST);
    }
    ~TempFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

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
};

void writeAll(int fd, std::string_view bytes, const FileWriteHooks* hooks) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::size_t n = bytes.size() - done;
        if (hooks && hooks->writeChunk > 0) n = std::min(n, hooks->writeChunk);
        if (hooks && hooks->failAfter) {
            if (done >= *hooks->failAfter) fail(hooks->failErrno);
            n = std::min(n, *hooks->failAfter - done);
        }
        ssize_t put = ::write(fd, bytes.data() + done, n);
        if (put < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        done += static_cast<std::size_t>(put);
    }
}

void syncDirectory(const std::string& dir) {
    int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    // The rename has happened and cannot be taken back, so a failure here is
    // not reported as a failed save.
    (void)::fsync(fd);
    ::close(fd);
}

void replace(const std::string& target, std::string_view bytes, FileWriteHooks* hooks) {
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

    TempFile temp(dir, name);
    writeAll(temp.fd(), bytes, hooks);
    if (exists && ::fchmod(temp.fd(), st.st_mode & 07777) != 0) fail(errno);
    if (::fsync(temp.fd()) != 0) fail(errno);
    temp.close();
    if (hooks && hooks->beforeRename) hooks->beforeRename();
    if (::rename(temp.path().c_str(), target.c_str()) != 0) fail(errno);
    temp.keep();
    syncDirectory(dir);
}

} // namespace

void replaceFileContents(const SjisString& path, std::string_view bytes, FileWriteHooks* hooks) {
    try {
        replace(sjis::toUtf8(path), bytes, hooks);
    } catch (const Failure& f) {
        throw Error::fileCreate(absolutePath(path), systemErrorText(f.errorNumber));
    }
}

} // namespace kab
