// Reading a day file from an in-memory file must give what splitting the
// whole text gives, up to the first empty line and the line limit, each line
// whole. The first byte puts a run of filler before the text so that breaks
// land on the reader's chunk edges and lines grow long.

#include "fuzz_common.h"

#include "foundation/textlist.h"
#include "storage/dayread.h"

#include <optional>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

kab::TextList expected(std::string_view text) {
    kab::TextList all;
    all.setText(text);
    kab::TextList out;
    for (const auto& line : all.lines()) {
        if (line.empty() || out.count() == kab::storage::maxDayLines) break;
        out.append(line); // each line whole
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // 16 KiB is the reader's chunk
    static constexpr std::size_t edges[4] = {0, 16 * 1024, 32 * 1024, 64 * 1024 + 1};
    const std::size_t edge = edges[data[0] >> 6];
    const std::size_t fill = edge == 0 ? 0 : edge - (data[0] & 63);
    std::string text(fill, 'A');
    text.append(fuzz::bytes(data + 1, size - 1));

    const int fd = ::memfd_create("day", MFD_CLOEXEC);
    fuzz::require(fd >= 0, "memfd_create");
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
        fuzz::require(put > 0, "write to memfd");
        done += static_cast<std::size_t>(put);
    }
    const kab::SjisString path = "/proc/self/fd/" + std::to_string(fd);
    std::optional<kab::storage::DayLines> got;
    const bool read = fuzz::tolerant([&] { got = kab::storage::readDayFile(path); });
    ::close(fd);
    fuzz::require(read && got, "an in-memory file reads");
    fuzz::require(got->lines.lines() == expected(text).lines(), "readDayFile matches setText");
    return 0;
}
