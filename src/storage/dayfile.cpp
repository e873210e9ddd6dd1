#include "storage/dayfile.h"

#include "board/geometry.h"
#include "foundation/numbers.h"
#include "storage/dayread.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kab::storage {

SjisString dayFileName(DateSerial currentMonth, DateSerial selectedDay) {
    return formatDateTime("mm", currentMonth) + ";" + formatDateTime("ddaaa", selectedDay) + ".txt";
}

FilePath dayFilePath(const FilePath& dataDir, DateSerial currentMonth, DateSerial selectedDay) {
    return inFolder(dataDir, dayFileName(currentMonth, selectedDay));
}

bool looksLikeDayFileName(std::string_view fileName) {
    for (std::size_t i = 0; i < fileName.size(); i = sjis::next(fileName, i)) {
        if (fileName[i] == ';') return i == 2;
    }
    return false;
}

std::array<SjisString, 4> splitRecord(std::string_view line) {
    // The extra delimiters make a short line still yield four fields.
    TextList fields;
    fields.setDelimiter('\\');
    SjisString padded(line);
    padded += "\\\\\\";
    fields.setDelimitedText(padded);
    std::array<SjisString, 4> out;
    for (int k = 0; k < 4 && k < fields.count(); ++k)
        out[static_cast<std::size_t>(k)] = fields.at(k);
    return out;
}

namespace {

// 6:00, where the board's day begins.
constexpr DateSerial dayBegins = 0.25;

} // namespace

DateSerial startOnBoard(DateSerial start) {
    return start < dayBegins ? start + 1 : start;
}

bool isTimeOfBoardDay(DateSerial start) {
    return start >= dayBegins && start < dayBegins + 1;
}

bool fitsInField(std::string_view text) {
    SjisString line = "01\\";
    line += text;
    line += "\\\\";
    // DEL reads back, yet has no place in a text either (no Shift-JIS
    // character has it as its second byte)
    return splitRecord(line)[1] == text && text.find('\x7f') == std::string_view::npos;
}

SjisString shortenSavedDuration(std::string_view duration) {
    // four characters, a double-byte one counting as one, as on the label
    const bool four = sjis::charStart(duration, 3) < duration.size() &&
                      sjis::charStart(duration, 4) == duration.size();
    if (four && duration.back() == '0') duration.remove_suffix(1);
    return SjisString(duration);
}

SjisString joinHint(std::string_view start, std::string_view duration) {
    SjisString hint(start);
    hint += kCrLf;
    hint += duration;
    return hint;
}

HintLines splitHint(std::string_view hint) {
    TextList lines;
    lines.setText(SjisString(hint));
    const auto line = [&](int i) { return i < lines.count() ? lines.at(i) : SjisString(); };
    return {lines.count(), line(0), line(1)};
}

std::optional<SjisString> buildRecord(int top, const SjisString& hint, const SjisString& name) {
    const HintLines lines = splitHint(hint);
    if (lines.count == 0) return std::nullopt;
    // the duration is the hint's second line: a hint without one has none
    if (lines.count < 2) throw Error::listIndex(1);
    SjisString record = format2d(board::rowOfTop(top));
    record += '\\';
    record += lines.start;
    record += '\\';
    record += shortenSavedDuration(lines.duration);
    record += '\\';
    record += name;
    return record;
}

TextList buildDayRecords(const std::vector<BlockText>& blocks) {
    TextList records;
    for (const auto& b : blocks) {
        if (auto record = buildRecord(b.top, b.hint, b.name)) records.append(std::move(*record));
    }
    records.sort();
    return records;
}

DaySnapshot takeSnapshot(const FilePath& path) {
    DaySnapshot snap;
    FileHandle file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) return snap;
    snap.exists = true;
    if (std::size_t(st.st_size) > maxReadBytes) {
        snap.size = st.st_size;
        snap.changedNs = st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec;
        return snap;
    }
    snap.bytes.resize(std::size_t(st.st_size));
    std::size_t done = 0;
    for (;;) {
        if (done == snap.bytes.size()) snap.bytes.resize(done + 4096); // it grew meanwhile
        const ssize_t got = ::read(file.get(), snap.bytes.data() + done, snap.bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += std::size_t(got);
    }
    snap.bytes.resize(done);
    return snap;
}

DaySnapshot snapshotOf(std::string_view bytes) {
    DaySnapshot snap;
    snap.exists = true;
    snap.bytes = bytes;
    return snap;
}

std::string lastChangeText(const FilePath& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    std::tm local{};
    if (!::localtime_r(&st.st_mtim.tv_sec, &local)) return {};
    char text[32];
    return std::strftime(text, sizeof text, "%Y/%m/%d %H:%M", &local) ? text : std::string();
}

} // namespace kab::storage
