#include "storage/dayread.h"

#include "foundation/files.h"

#include <cerrno>
#include <cstdint>

namespace kab::storage {

DayLines readDayLines(const FileHandle& file, const FilePath& path) {
    LineStream splitter({maxDayLines, true, SIZE_MAX});
    const bool more = readFile(file, path, maxReadBytes, [&](std::string_view chunk) {
        splitter.feed(chunk);
        return !splitter.done();
    });
    // The records past the limit are not dropped in silence, nor one that
    // the limit cuts taken for a whole one.
    if (more && !splitter.done()) throw fileOpenError(path, EFBIG);
    return {splitter.finish()};
}

std::optional<DayLines> readDayFile(const FilePath& path) {
    const auto file = openRegularFile(path);
    if (!file) return std::nullopt;
    return readDayLines(*file, path);
}

} // namespace kab::storage
