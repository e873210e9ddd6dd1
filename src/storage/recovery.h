#pragma once
// Recovery files: the board of a day with unsaved changes. They are the
// user's own and nobody else's: they live in the user's state folder
// ($XDG_STATE_HOME/kabrelo24/recovery/, by default ~/.local/state/...), in a
// folder of each data folder, never in the data folder, which others may
// share. Each folder there is the user's, open to nobody else and no link;
// a file there that is not the user's own is never read.
//
// A recovery file starts with the records a save would write, ended by an
// empty line, so that a load (a drop onto the window) reads it as a day file;
// behind that line the whole board follows (encodeBoard), stack order
// included, for the undo history of a later start. The board's own steps
// never read them as days.
//
// A day may have several: the first under the day file's own name, later
// boards of the same day that did not come from it under that name followed
// by ".2", ".3" and so on, so that no board replaces another's file.

#include "foundation/files.h"
#include "storage/boardstate.h"

#include <condition_variable>
#include <ctime>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kab::storage {

// The folder earlier releases kept recovery files in, inside the data folder.
inline constexpr std::string_view legacyRecoveryFolderName = ".recovery";
// Larger files are not recovery files this program wrote: a full board is a
// few kilobytes.
inline constexpr std::size_t maxRecoveryBytes = 1024 * 1024;

// The user's state folder: $XDG_STATE_HOME when it is an absolute path, else
// ~/.local/state; ends in "/".
FilePath stateHome();
// The folder of the user's recovery files for a data folder, ending in "/":
// stateHome() + "kabrelo24/recovery/" + a key made from the data folder's
// real path.
FilePath recoveryFolder(const FilePath& dataDir);

// Day names here are the day files' names as the file system has them
// (inFolder("", dayFileName(...))).
//
// The recovery file of a day: slot 1 is the day file's own name, slot n > 1
// that name and "." n.
FilePath recoveryPath(const FilePath& folder, std::string_view dayName, int slot = 1);
// The slot of a recovery file's name for a day, or 0 when it is none of hers.
int recoverySlot(std::string_view fileName, std::string_view dayName);

// The recovery files of a day in folder that the user owns, oldest first.
struct RecoveryFile {
    FilePath path;
    int slot = 0;
    std::string bytes;
    std::time_t changed = 0;
};
std::vector<RecoveryFile> recoveryFilesOf(const FilePath& folder, std::string_view dayName);

// A day with work left unsaved: what the start tells the desktop of and the
// month window offers back.
struct UnsavedDay {
    FilePath dayName; // the day file's name
    FilePath path;    // the recovery file to offer
    // The day's file changed after that recovery file was written: someone
    // saved the day since, and the work left is the older of the two.
    bool savedSince = false;
};
// The days with recovery files in folder that the user owns and that hold a
// whole board, by name. Each offers its newest file written after its day
// file last changed, else its newest file, savedSince.
std::vector<UnsavedDay> unsavedDays(const FilePath& folder, const FilePath& dataDir);

// A recovery file's bytes: the records (each line ended by CR LF, as
// TextList::text gives them), an empty line, the encoded board.
std::string recoveryFileBytes(std::string_view records, std::string_view encodedBoard);
// The board a recovery file holds, when it is whole and its records are the
// ones that board gives.
std::optional<BoardState> recoveredBoard(std::string_view bytes);
// A file's bytes, when it is a regular file (no link) that the user owns, no
// larger than maxRecoveryBytes; nothing otherwise.
std::optional<std::string> readRecoveryFile(const FilePath& path);

// Makes the recovery folder where it is missing (each of its own three levels
// 0700, the state folder above as the user's other state) and checks that
// those levels are the user's folders, no links, open to nobody else (a
// wider mode of the user's own is narrowed). Throws Error::fileCreate.
void ensureRecoveryFolder(const FilePath& folder);

// The one write of a recovery file: into its folder, made and checked as
// above, through a temporary file beside it (".<name>.XXXXXX", six letters or
// digits, as a save names its own), synced and renamed over path, keeping no
// version of what it replaces. The file is readable by its owner alone.
// Throws Error::fileCreate.
void writeRecoveryFile(const FilePath& path, std::string_view bytes);
// Removes the file; a missing one is no failure.
void removeRecoveryFile(const FilePath& path);

// The recovery files earlier releases left in dataDir/.recovery that the
// user owns move into the user's folder (to a free slot of their day); those
// of others are never read and stay. The old folder goes once empty.
void adoptLegacyRecovery(const FilePath& dataDir, const FilePath& folder);

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
