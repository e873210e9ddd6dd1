#include "storage/dayread.h"

#include "foundation/files.h"

#include <cerrno>
#include <cstdint>

namespace kab::storage {

TextList readDayLines(const FilePath& path) {
    LineStream splitter({maxDayLines, true, SIZE_MAX});
    const bool more = readFile(path, maxReadBytes, [&](std::string_view chunk) {
        splitter.feed(chunk);
        return !splitter.done();
    });
    // The records past the limit are not dropped in silence, nor one that
    // the limit cuts taken for a whole one.
    if (more && !splitter.done()) throw fileOpenError(path, EFBIG);
    return splitter.finish();
}

} // namespace kab::storage
