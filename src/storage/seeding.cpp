#include "storage/seeding.h"

#include "foundation/errors.h"
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
bool createNew(const SjisString& path, std::string_view bytes) {
    const std::string name = sjis::toUtf8(path);
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST) return false;
        throw Error::fileCreate(absolutePath(path), systemErrorText(errno));
    }
    int failure = 0;
    for (std::size_t done = 0; done < bytes.size() && !failure;) {
        ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno != EINTR) failure = errno;
        if (put > 0) done += static_cast<std::size_t>(put);
    }
    if (::close(fd) != 0 && !failure) failure = errno;
    if (failure) {
        ::unlink(name.c_str());
        throw Error::fileCreate(absolutePath(path), systemErrorText(failure));
    }
    return true;
}

} // namespace

SjisString seedText(std::string_view utf8) {
    TextList lines;
    lines.setText(sjis::fromUtf8(utf8));
    return lines.text();
}

bool seedStaffList(const SjisString& dataDir, std::string_view utf8) {
    const auto names = folderEntries(dataDir);
    if (std::any_of(names.begin(), names.end(),
                    [](const SjisString& n) { return equalsIgnoringAsciiCase(n, staffListName); }))
        return false;
    return createNew(dataDir + SjisString(staffListName), seedText(utf8));
}

bool seedSampleDay(const SjisString& dataDir, std::string_view utf8) {
    const auto names = folderEntries(dataDir);
    if (std::any_of(names.begin(), names.end(), [](const SjisString& n) {
            return n == sampleDayName || looksLikeDayFileName(n);
        }))
        return false;
    return createNew(dataDir + SjisString(sampleDayName), seedText(utf8));
}

} // namespace kab::storage
