#include "toolkit/instancelock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kab::tk {

namespace {

// The user's own folder: a real folder (no link) owned by the user that
// nobody else may enter.
bool isPrivateFolder(const std::string& dir) {
    struct stat st {};
    return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

// dir, made private when missing; empty when it is not the user's own.
std::string privateFolder(const std::string& dir) {
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return {};
    return isPrivateFolder(dir) ? dir : std::string();
}

} // namespace

std::string InstanceLock::runtimeDir(const Candidates& c) {
    // The session's runtime folder, when it is what it should be; else the
    // shared one, unless someone else made that first; else one in the home
    // folder, which nobody else can take.
    if (!c.session.empty() && isPrivateFolder(c.session)) return c.session;
    if (std::string dir = privateFolder(c.shared); !dir.empty()) return dir;
    if (c.home.empty()) return {};
    const std::string cache = c.home + "/.cache";
    ::mkdir(cache.c_str(), 0700);
    return privateFolder(cache + "/kabrelo24");
}

std::string InstanceLock::runtimeDir() {
    auto env = [](const char* name) {
        const char* v = std::getenv(name);
        return std::string(v ? v : "");
    };
    return runtimeDir(
        {env("XDG_RUNTIME_DIR"), "/tmp/runtime-" + std::to_string(::getuid()), env("HOME")});
}

InstanceLock::InstanceLock(const std::string& name) {
    const std::string dir = runtimeDir();
    if (!dir.empty()) {
        path_ = dir + "/" + name;
        fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    }
    // Without a lock file there is nothing to test against: run, as the
    // program does when no lock object can be had.
    if (fd_ < 0) {
        acquired_ = true;
        return;
    }
    int r;
    do {
        r = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (r != 0 && errno == EINTR);
    acquired_ = r == 0 || errno != EWOULDBLOCK;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

} // namespace kab::tk
