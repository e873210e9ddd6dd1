#include "storage/seeding.h"

#include "foundation/files.h"
#include "foundation/textlist.h"
#include "storage/dayfile.h"
#include "storage/folder.h"
#include "storage/stafflist.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace kab::storage {

namespace {

// O_EXCL: a file that appeared since the folder was listed is kept too.
bool createNew(const FilePath& path, std::string_view bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST) return false;
        throw fileCreateError(path, errno);
    }
    int failure = writeAll(fd, bytes);
    if (::close(fd) != 0 && !failure) failure = errno;
    if (failure) {
        ::unlink(path.c_str());
        throw fileCreateError(path, failure);
    }
    return true;
}

} // namespace

SjisString seedText(std::string_view utf8) {
    TextList lines;
    lines.setText(sjis::fromUtf8(utf8));
    return lines.text();
}

bool seedStaffList(const FilePath& dataDir, std::string_view utf8) {
    const auto names = folderEntries(dataDir);
    if (std::any_of(names.begin(), names.end(),
                    [](const std::string& n) { return equalsIgnoringAsciiCase(n, staffListName); }))
        return false;
    return createNew(dataDir + FilePath(staffListName), seedText(utf8));
}

bool seedSampleDay(const FilePath& dataDir, std::string_view utf8) {
    const auto names = folderEntries(dataDir);
    if (std::any_of(names.begin(), names.end(), [](const std::string& n) {
            return n == sampleDayName || looksLikeDayFileName(pathText(n));
        }))
        return false;
    return createNew(dataDir + FilePath(sampleDayName), seedText(utf8));
}

} // namespace kab::storage
