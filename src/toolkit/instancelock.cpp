#include "toolkit/instancelock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kab::tk {

std::string InstanceLock::runtimeDir() {
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir && *dir) return dir;
    std::string dir = "/tmp/runtime-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    return dir;
}

InstanceLock::InstanceLock(const std::string& name) : path_(runtimeDir() + "/" + name) {
    fd_ = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // Without a lock file there is nothing to test against: run, as the
    // program does when no lock object can be had.
    if (fd_ < 0) {
        acquired_ = true;
        return;
    }
    int r;
    do {
        r = flock(fd_, LOCK_EX | LOCK_NB);
    } while (r != 0 && errno == EINTR);
    acquired_ = r == 0 || errno != EWOULDBLOCK;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) close(fd_);
}

} // namespace kab::tk
