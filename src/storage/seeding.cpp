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

// The file from the UTF-8 source, unless the folder holds an entry that
// present() takes for the user's own.
template <typename Present>
bool seedUnless(const FilePath& dataDir, std::string_view name, std::string_view utf8,
                Present present) {
    const auto names = folderEntries(dataDir);
    if (std::any_of(names.begin(), names.end(), present)) return false;
    return createNew(dataDir + FilePath(name), seedText(utf8));
}

} // namespace

SjisString seedText(std::string_view utf8) {
    TextList lines;
    lines.setText(sjis::fromUtf8(utf8));
    return lines.text();
}

bool seedStaffList(const FilePath& dataDir, std::string_view utf8) {
    return seedUnless(dataDir, staffListName, utf8, [](const std::string& n) {
        return equalsIgnoringAsciiCase(n, staffListName);
    });
}

bool seedSampleDay(const FilePath& dataDir, std::string_view utf8) {
    return seedUnless(dataDir, sampleDayName, utf8, [](const std::string& n) {
        return n == sampleDayName || looksLikeDayFileName(pathText(n));
    });
}

} // namespace kab::storage
