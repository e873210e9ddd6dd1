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

    // Where the lock file lives: only ever a folder of the user's own (owned
    // by the user, a real folder, closed to everybody else), so that no other
    // user can hold the lock or take the folder. The session's runtime
    // folder when it is so; else the shared one, made when missing, unless
    // another user made it first; else ~/.cache/kabrelo24. Empty when none
    // will do.
    struct Candidates {
        std::string session; // $XDG_RUNTIME_DIR
        std::string shared;  // /tmp/runtime-UID
        std::string home;    // $HOME
    };
    static std::string runtimeDir(const Candidates& candidates);
    static std::string runtimeDir();

private:
    std::string path_;
    int fd_ = -1;
    bool acquired_ = false;
};

} // namespace kab::tk
