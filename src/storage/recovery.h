#pragma once
// Recovery files: the board of a day with unsaved changes, kept in the hidden
// folder data/.recovery/ under the day file's own name. A recovery file
// starts with the records a save would write, ended by an empty line, so that
// a load (a drop onto the window) reads it as a day file; behind that line
// the whole board follows (encodeBoard), stack order included, for the undo
// history of a later start. The board's own steps never read them as days.

#include "foundation/files.h"
#include "storage/boardstate.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kab::storage {

inline constexpr std::string_view recoveryFolderName = ".recovery";
// Larger files are not recovery files this program wrote: a full board is a
// few kilobytes.
inline constexpr std::size_t maxRecoveryBytes = 1024 * 1024;

// The recovery file of a day file: the same name in the recovery folder
// beside it.
FilePath recoveryPath(const FilePath& dayFile);

// A recovery file's bytes: the records (each line ended by CR LF, as
// TextList::text gives them), an empty line, the encoded board.
std::string recoveryFileBytes(std::string_view records, std::string_view encodedBoard);
// The board a recovery file holds, when it is whole and its records are the
// ones that board gives.
std::optional<BoardState> recoveredBoard(std::string_view bytes);
// A regular file's bytes, when it is no larger than maxRecoveryBytes; nothing
// when it is missing or cannot be read.
std::optional<std::string> readRecoveryFile(const FilePath& path);

// The one write of a recovery file: through a temporary file beside it
// (".<name>.XXXXXX", six letters or digits, as a save names its own), synced
// and renamed over path, keeping no version of what it replaces. The folder
// is made (0700) when missing, never the data folder above it; the file is
// readable by its owner alone. Throws Error::fileCreate.
void writeRecoveryFile(const FilePath& path, std::string_view bytes);
// Removes the file (a missing one is no failure) and its folder once empty.
void removeRecoveryFile(const FilePath& path);

// Writes and removes recovery files on a thread of its own, so that no action
// of the user waits for the disk. A request replaces one for the same path
// that still waits; requests for different paths keep their order. Failures
// go to stderr, each message once.
class RecoveryWriter {
public:
    RecoveryWriter() = default;
    // Finishes what was asked, then stops.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    void write(FilePath path, std::string bytes);
    void remove(FilePath path);
    // Returns once everything asked before is on the disk.
    void flush();

private:
    struct Job {
        FilePath path;
        std::optional<std::string> bytes; // none: remove
    };
    void put(Job job);
    void run();

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::vector<Job> jobs_;
    bool busy_ = false, stop_ = false;
    std::set<std::string> reported_;
    std::thread thread_; // started by the first request
};

} // namespace kab::storage
