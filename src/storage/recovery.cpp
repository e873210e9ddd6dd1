#include "storage/recovery.h"

#include "foundation/atomicfile.h"
#include "foundation/bytes.h"
#include "storage/dayfile.h"
#include "storage/folder.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kab::storage {

namespace {

constexpr std::string_view kEmptyLine = "\r\n\r\n";

std::size_t nameStart(const FilePath& path) {
    const std::size_t slash = path.rfind('/');
    return slash == FilePath::npos ? 0 : slash + 1;
}

// The data folder's key: a token of its real path.
std::string folderKey(const FilePath& dataDir) {
    char real[PATH_MAX];
    std::string path =
        ::realpath(dataDir.c_str(), real) ? std::string(real) : absolutePath(dataDir);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return bytes::token(path);
}

// Makes every missing folder of path, each 0700, as the folders of the
// user's state are made.
int makeFolders(const FilePath& path) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/') continue;
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    }
    return 0;
}

} // namespace

FilePath stateHome() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return FilePath(state) + "/";
    const char* home = std::getenv("HOME");
    FilePath base = home && home[0] == '/' ? home : "";
    if (base.empty())
        if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_dir) base = pw->pw_dir;
    return base + "/.local/state/";
}

FilePath recoveryFolder(const FilePath& dataDir) {
    return stateHome() + "kabrelo24/recovery/" + folderKey(dataDir) + "/";
}

FilePath recoveryPath(const FilePath& folder, std::string_view dayName, int slot) {
    FilePath path = folder + FilePath(dayName);
    if (slot > 1) path += "." + std::to_string(slot);
    return path;
}

int recoverySlot(std::string_view fileName, std::string_view dayName) {
    if (!fileName.starts_with(dayName)) return 0;
    const std::string_view rest = fileName.substr(dayName.size());
    if (rest.empty()) return 1;
    if (rest.size() < 2 || rest.size() > 6 || rest[0] != '.' || rest[1] == '0' ||
        rest.find_first_not_of("0123456789", 1) != std::string_view::npos)
        return 0;
    const int slot = std::atoi(std::string(rest.substr(1)).c_str());
    return slot > 1 ? slot : 0;
}

std::vector<RecoveryFile> recoveryFilesOf(const FilePath& folder, std::string_view dayName) {
    std::vector<RecoveryFile> files;
    for (const std::string& name : folderEntries(folder)) {
        const int slot = recoverySlot(name, dayName);
        if (slot == 0) continue;
        const FilePath path = folder + name;
        auto bytes = readRecoveryFile(path);
        struct stat st {};
        if (!bytes || ::lstat(path.c_str(), &st) != 0) continue;
        files.push_back({path, slot, std::move(*bytes), st.st_mtime});
    }
    std::sort(files.begin(), files.end(), [](const RecoveryFile& a, const RecoveryFile& b) {
        return a.changed != b.changed ? a.changed < b.changed : a.slot < b.slot;
    });
    return files;
}

namespace {

// The last change of a file to the nanosecond, or nothing when none is there.
std::optional<std::int64_t> changedAt(const FilePath& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

} // namespace

std::vector<UnsavedDay> unsavedDays(const FilePath& folder, const FilePath& dataDir) {
    std::set<std::string> names;
    for (const std::string& name : folderEntries(folder)) {
        if (name.starts_with('.')) continue;
        // "12;07月.txt" or a later board's "12;07月.txt.2"
        std::string day = name;
        const std::size_t dot = name.rfind('.');
        if (dot != std::string::npos && dot + 1 < name.size() &&
            name.find_first_not_of("0123456789", dot + 1) == std::string::npos)
            day = name.substr(0, dot);
        if (recoverySlot(name, day) != 0) names.insert(day);
    }
    std::vector<UnsavedDay> days;
    for (const std::string& day : names) {
        const auto dayChanged = changedAt(dataDir + day);
        std::optional<UnsavedDay> newer, older;
        for (const RecoveryFile& file : recoveryFilesOf(folder, day)) {
            if (!recoveredBoard(file.bytes)) continue;
            const auto changed = changedAt(file.path);
            if (!changed) continue;
            // oldest first: the last one of each kind is its newest
            if (dayChanged && *dayChanged > *changed)
                older = UnsavedDay{day, file.path, true};
            else
                newer = UnsavedDay{day, file.path, false};
        }
        if (newer)
            days.push_back(std::move(*newer));
        else if (older)
            days.push_back(std::move(*older));
    }
    return days;
}

std::string recoveryFileBytes(std::string_view records, std::string_view encodedBoard) {
    std::string bytes(records);
    bytes += kCrLf; // the empty line that ends a day file's reading
    bytes += encodedBoard;
    return bytes;
}

std::optional<BoardState> recoveredBoard(std::string_view bytes) {
    // The records end at the first empty line, which is the very first line
    // when there are none (no record is an empty line); the board follows.
    std::size_t records = 0;
    if (!bytes.starts_with(kCrLf)) {
        const std::size_t gap = bytes.find(kEmptyLine);
        if (gap == std::string_view::npos) return std::nullopt;
        records = gap + kCrLf.size();
    }
    auto board = decodeBoard(bytes.substr(records + kCrLf.size()));
    if (!board) return std::nullopt;
    // records edited by hand no longer match the board behind them
    try {
        if (boardRecords(*board).text() != bytes.substr(0, records)) return std::nullopt;
    } catch (const Error&) {
        return std::nullopt;
    }
    return board;
}

std::optional<std::string> readRecoveryFile(const FilePath& path) {
    return smallFileContents(path, maxRecoveryBytes, true, true);
}

void ensureRecoveryFolder(const FilePath& folder) {
    // folder is ".../kabrelo24/recovery/<key>/": those three levels are the
    // program's own, whatever lies above them is the user's state folder
    std::vector<std::size_t> slashes; // of the folder's last four names, from the end
    for (std::size_t at = folder.size(); at-- > 0 && slashes.size() < 4;)
        if (folder[at] == '/') slashes.push_back(at);
    if (slashes.size() < 4 || slashes[0] != folder.size() - 1)
        throw fileCreateError(folder, EINVAL);
    const FilePath above = folder.substr(0, slashes[3] + 1);
    if (const int e = makeFolders(above.substr(0, above.size() - 1)))
        throw fileCreateError(above, e);
    FileHandle parent(::open(above.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (parent.get() < 0) throw fileCreateError(above, errno);
    for (std::size_t level = 3; level-- > 0;) {
        const std::size_t from = slashes[level + 1] + 1;
        const std::string name = folder.substr(from, slashes[level] - from);
        const FilePath here = folder.substr(0, slashes[level] + 1);
        constexpr int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        int fd = ::openat(parent.get(), name.c_str(), flags);
        if (fd < 0 && errno == ENOENT) {
            if (::mkdirat(parent.get(), name.c_str(), 0700) != 0 && errno != EEXIST)
                throw fileCreateError(here, errno);
            fd = ::openat(parent.get(), name.c_str(), flags);
        }
        // a link, or a folder of someone else's, is no folder of the user's
        if (fd < 0) throw fileCreateError(here, errno == ELOOP || errno == ENOTDIR ? EPERM : errno);
        FileHandle level_fd(fd);
        struct stat st {};
        if (::fstat(fd, &st) != 0) throw fileCreateError(here, errno);
        if (st.st_uid != ::geteuid()) throw fileCreateError(here, EPERM);
        if ((st.st_mode & 077) != 0 && ::fchmod(fd, 0700) != 0) throw fileCreateError(here, errno);
        parent = std::move(level_fd);
    }
}

void writeRecoveryFile(const FilePath& path, std::string_view bytes) {
    ensureRecoveryFolder(path.substr(0, nameStart(path)));
    // a synced temporary file renamed over the last one, and no version
    replaceFileKeepingNoVersion(path, bytes);
}

void removeRecoveryFile(const FilePath& path) {
    if (::unlink(path.c_str()) == 0) syncFolder(path.substr(0, nameStart(path)));
}

void adoptLegacyRecovery(const FilePath& dataDir, const FilePath& folder) {
    const FilePath legacy = dataDir + std::string(legacyRecoveryFolderName);
    struct stat st {};
    if (::lstat(legacy.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
    for (const std::string& name : folderEntries(legacy + "/")) {
        if (!looksLikeDayFileName(pathText(name))) continue;
        const FilePath from = legacy + "/" + name;
        const auto bytes = readRecoveryFile(from); // the user's own alone
        if (!bytes) continue;
        try {
            int slot = 1;
            while (::access(recoveryPath(folder, name, slot).c_str(), F_OK) == 0)
                ++slot;
            writeRecoveryFile(recoveryPath(folder, name, slot), *bytes);
            ::unlink(from.c_str());
        } catch (const Error&) {
            return; // no folder of the user's to move them to: they stay
        }
    }
    ::rmdir(legacy.c_str());
}

// --- the writer's thread ------------------------------------------------------

RecoveryWriter::~RecoveryWriter() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
}

void RecoveryWriter::write(FilePath path, std::string bytes) {
    put({std::move(path), std::move(bytes)});
}

void RecoveryWriter::remove(FilePath path) {
    put({std::move(path), std::nullopt});
}

void RecoveryWriter::put(Job job) {
    {
        const std::lock_guard lock(mutex_);
        bool replaced = false;
        for (Job& waiting : jobs_) {
            if (waiting.path == job.path) {
                waiting = std::move(job);
                replaced = true;
                break;
            }
        }
        if (!replaced) jobs_.push_back(std::move(job));
        if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    }
    wake_.notify_one();
}

void RecoveryWriter::flush() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

void RecoveryWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
        if (jobs_.empty()) return; // stopped with nothing left to do
        std::vector<Job> batch;
        batch.swap(jobs_);
        busy_ = true;
        lock.unlock();
        std::vector<std::string> failures;
        for (const Job& job : batch) {
            try {
                if (job.bytes)
                    writeRecoveryFile(job.path, *job.bytes);
                else
                    removeRecoveryFile(job.path);
            } catch (const Error& e) {
                failures.push_back(sjis::toUtf8(e.message()));
            }
        }
        lock.lock();
        busy_ = false;
        for (const std::string& failure : failures) {
            if (reported_.insert(failure).second)
                std::fprintf(stderr, "kabrelo24: recovery file: %s\n", failure.c_str());
        }
        if (jobs_.empty()) idle_.notify_all();
    }
}

} // namespace kab::storage
