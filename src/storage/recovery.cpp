#include "storage/recovery.h"

#include "foundation/atomicfile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kab::storage {

namespace {

constexpr std::string_view kEmptyLine = "\r\n\r\n";

std::size_t nameStart(const FilePath& path) {
    const std::size_t slash = path.rfind('/');
    return slash == FilePath::npos ? 0 : slash + 1;
}

} // namespace

FilePath recoveryPath(const FilePath& dayFile) {
    const std::size_t start = nameStart(dayFile);
    return dayFile.substr(0, start) + std::string(recoveryFolderName) + "/" + dayFile.substr(start);
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
    return smallFileContents(path, maxRecoveryBytes, true);
}

void writeRecoveryFile(const FilePath& path, std::string_view bytes) {
    const FilePath folder = path.substr(0, nameStart(path));
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) throw fileCreateError(path, errno);
    // a synced temporary file renamed over the last one, and no version
    replaceFileKeepingNoVersion(path, bytes);
}

void removeRecoveryFile(const FilePath& path) {
    const FilePath folder = path.substr(0, nameStart(path));
    if (::unlink(path.c_str()) == 0) syncFolder(folder);
    // gone once it holds nothing, so that a data folder without unsaved
    // days looks as it always did
    ::rmdir(folder.c_str());
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
