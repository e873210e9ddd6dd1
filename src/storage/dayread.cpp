#include "storage/dayread.h"

#include "foundation/files.h"

#include <cerrno>
#include <cstdint>

namespace kab::storage {

DayLines readDayLines(const FileHandle& file, const FilePath& path, PastLimit past) {
    LineStream splitter({maxDayLines, true, SIZE_MAX, past == PastLimit::Count});
    const bool more = readFile(file, path, maxReadBytes, [&](std::string_view chunk) {
        splitter.feed(chunk);
        return !splitter.done();
    });
    // The records past the limit are not dropped in silence, nor one that
    // the limit cuts taken for a whole one.
    if (more && !splitter.done() && !splitter.full()) throw fileOpenError(path, EFBIG);
    DayLines day;
    day.atLeastPast = more && !splitter.done();
    day.lines = splitter.finish(more);
    day.past = splitter.past();
    return day;
}

std::optional<DayLines> readDayFile(const FilePath& path, PastLimit past) {
    const auto file = openRegularFile(path);
    if (!file) return std::nullopt;
    return readDayLines(*file, path, past);
}

} // namespace kab::storage
