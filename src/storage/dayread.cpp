#include "storage/dayread.h"

#include "foundation/errors.h"
#include "foundation/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <unistd.h>

namespace kab::storage {

namespace {

constexpr std::size_t chunkBytes = 16 * 1024;

// Splits the text as it arrives, chunk by chunk, and says when to stop.
class LineSplitter {
public:
    bool done() const { return done_; }

    // chunk holds no NUL byte.
    void feed(std::string_view chunk) {
        std::size_t i = 0;
        if (crPending_ && !chunk.empty()) {
            crPending_ = false;
            if (chunk[0] == '\n') i = 1;
        }
        // Each search runs over a stretch of the chunk once, so a chunk of
        // many short lines costs no more than one long line.
        auto find = [&](char c, std::size_t from) {
            const void* p = std::memchr(chunk.data() + from, c, chunk.size() - from);
            return p ? static_cast<std::size_t>(static_cast<const char*>(p) - chunk.data())
                     : chunk.size();
        };
        std::size_t nextCr = find('\r', i), nextLf = find('\n', i);
        while (i < chunk.size() && !done_) {
            if (nextCr < i) nextCr = find('\r', i);
            if (nextLf < i) nextLf = find('\n', i);
            const std::size_t end = std::min(nextCr, nextLf);
            keep(chunk.substr(i, end - i));
            if (end == chunk.size()) return;
            endLine();
            i = end + 1;
            if (chunk[end] == '\r') {
                if (i == chunk.size())
                    crPending_ = true;
                else if (chunk[i] == '\n')
                    ++i;
            }
        }
    }

    // The end of the text: a last line without a break still counts.
    TextList finish() {
        if (!done_ && !line_.empty()) endLine();
        return std::move(lines_);
    }

private:
    void keep(std::string_view piece) {
        if (line_.size() > maxLineBytes) return;
        line_.append(piece.substr(0, std::min(piece.size(), maxLineBytes + 1 - line_.size())));
    }

    void endLine() {
        if (line_.empty()) {
            done_ = true; // an empty line ends the day
            return;
        }
        if (line_.size() > maxLineBytes) {
            // The byte past the limit is kept so that a character starting
            // just before it is known to cross it.
            std::size_t cut = 0;
            while (cut < maxLineBytes) {
                std::size_t after = sjis::next(line_, cut);
                if (after > maxLineBytes) break;
                cut = after;
            }
            line_.resize(cut);
        }
        lines_.append(std::move(line_));
        line_.clear();
        if (lines_.count() >= maxDayLines) done_ = true;
    }

    TextList lines_;
    SjisString line_;
    bool crPending_ = false;
    bool done_ = false;
};

Error openError(const SjisString& path, int errorNumber) {
    return Error::fileOpen(absolutePath(path), systemErrorText(errorNumber));
}

} // namespace

TextList readDayLines(const SjisString& path) {
    FileHandle file(::open(sjis::toUtf8(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) throw openError(path, errno);
    // Only a lock another process holds is a failure, as in
    // TextList::loadFromFile.
    if (::flock(file.get(), LOCK_SH | LOCK_NB) != 0 && (errno == EWOULDBLOCK || errno == EAGAIN))
        throw openError(path, errno);

    LineSplitter splitter;
    char buffer[chunkBytes];
    std::size_t total = 0;
    while (!splitter.done() && total < maxReadBytes) {
        ssize_t got = ::read(file.get(), buffer, std::min(sizeof buffer, maxReadBytes - total));
        if (got < 0) {
            if (errno == EINTR) continue;
            throw openError(path, errno);
        }
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
        std::string_view chunk(buffer, static_cast<std::size_t>(got));
        const void* nul = std::memchr(buffer, 0, chunk.size());
        if (nul)
            chunk =
                chunk.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - buffer));
        splitter.feed(chunk);
        if (nul) break;
    }
    return splitter.finish();
}

} // namespace kab::storage
