#pragma once
// One copy of the program per user: an advisory lock on a file named after the
// lock in the user's runtime folder, taken without waiting. The kernel drops it
// when the process ends, also when it is killed.

#include <string>

namespace kab::tk {

class InstanceLock {
public:
    explicit InstanceLock(const std::string& name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another process holds the lock.
    bool acquired() const { return acquired_; }
    const std::string& path() const { return path_; }

    // $XDG_RUNTIME_DIR, or a private folder under /tmp when it is not set.
    static std::string runtimeDir();

private:
    std::string path_;
    int fd_ = -1;
    bool acquired_ = false;
};

} // namespace kab::tk
