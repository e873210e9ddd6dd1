#include "foundation/textlist.h"

#include "foundation/bytes.h"
#include "foundation/errors.h"
#include "foundation/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kab {

namespace {

// Text is read like a C string: a NUL byte ends it.
std::string_view upToNul(std::string_view text) {
    std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// No NUL reaches the field splitting (upToNul), so a blank is any byte up
// to 32.
using bytes::isBlank;

// Quoted field starting at text[i] (the quote). Returns where reading goes on.
std::size_t readQuoted(std::string_view text, std::size_t i, char quote, SjisString& field) {
    field.clear();
    std::size_t runStart = ++i;
    while (i < text.size()) {
        if (text[i] != quote) {
            i = sjis::next(text, i);
            continue;
        }
        field.append(text.substr(runStart, i - runStart));
        if (i + 1 < text.size() && text[i + 1] == quote) {
            field += quote;
            i += 2;
            runStart = i;
            continue;
        }
        return i + 1;
    }
    // No closing quote: the rest, less its last character.
    field.append(text.substr(runStart));
    if (!field.empty()) field.resize(sjis::lastCharStart(field));
    return text.size();
}

// Case folded for sorting; only single-byte characters are letters, the
// second byte of a double-byte character stays as it is. Keys compare byte
// by byte as unsigned values, as strings do.
std::string sortKey(std::string_view s) {
    std::string key(s);
    for (std::size_t i = 0; i < key.size();) {
        std::size_t after = sjis::next(key, i);
        if (after - i == 1) key[i] = bytes::upperAscii(key[i]);
        i = after;
    }
    return key;
}

} // namespace

const SjisString& TextList::at(int index) const {
    if (index < 0 || index >= count()) throw Error::listIndex(index);
    return lines_[static_cast<std::size_t>(index)];
}

void TextList::insert(int index, SjisString line) {
    if (index < 0 || index > count()) throw Error::listIndex(index);
    lines_.insert(lines_.begin() + index, std::move(line));
}

void TextList::setText(std::string_view text) {
    lines_.clear();
    text = upToNul(text);
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = text.find_first_of("\r\n", i);
        if (end == std::string_view::npos) {
            lines_.emplace_back(text.substr(i));
            break;
        }
        lines_.emplace_back(text.substr(i, end - i));
        i = end + 1;
        if (text[end] == '\r' && i < text.size() && text[i] == '\n') ++i;
    }
}

SjisString TextList::text() const {
    std::size_t size = 0;
    for (const auto& line : lines_)
        size += line.size() + kCrLf.size();
    SjisString out;
    out.reserve(size);
    for (const auto& line : lines_) {
        out += line;
        out += kCrLf;
    }
    return out;
}

void TextList::loadFromFile(const FilePath& path) {
    std::string data;
    readFile(path, data.max_size(), [&](std::string_view chunk) {
        data.append(chunk);
        return true;
    });
    setText(data);
}

void TextList::saveToFile(const FilePath& path) const {
    // Truncated only once the lock is held, so a reader never sees it emptied;
    // a lock another process holds is a failure.
    FileHandle file(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    if (file.get() < 0) throw fileCreateError(path, errno);
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0 && (errno == EWOULDBLOCK || errno == EAGAIN))
        throw fileCreateError(path, errno);
    if (::ftruncate(file.get(), 0) != 0) throw fileCreateError(path, errno);
    if (const int failure = writeAll(file.get(), text())) throw fileCreateError(path, failure);
    if (file.release() != 0) throw fileCreateError(path, errno);
}

void TextList::setDelimitedText(std::string_view text) {
    lines_.clear();
    text = upToNul(text);
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n && isBlank(text[i]))
        ++i;
    while (i < n) {
        SjisString field;
        if (text[i] == quoteChar_) {
            i = readQuoted(text, i, quoteChar_, field);
        } else {
            std::size_t start = i;
            // a blank or control byte ends an unquoted field, as the delimiter does
            while (i < n && !isBlank(text[i]) && text[i] != delimiter_)
                i = sjis::next(text, i);
            field.assign(text.substr(start, i - start));
        }
        lines_.push_back(std::move(field));
        while (i < n && isBlank(text[i]))
            ++i;
        if (i < n && text[i] == delimiter_) {
            if (i + 1 == n) lines_.emplace_back();
            ++i;
            while (i < n && isBlank(text[i]))
                ++i;
        }
    }
}

void TextList::sort() {
    if (lines_.size() < 2) return;
    std::vector<std::pair<std::string, SjisString>> keyed;
    keyed.reserve(lines_.size());
    for (auto& line : lines_)
        keyed.emplace_back(sortKey(line), std::move(line));
    std::sort(keyed.begin(), keyed.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t k = 0; k < keyed.size(); ++k)
        lines_[k] = std::move(keyed[k].second);
}

void LineStream::feed(std::string_view piece) {
    std::size_t i = 0;
    if (crPending_ && !piece.empty()) {
        crPending_ = false;
        if (piece[0] == '\n') i = 1;
    }
    // Each search runs over a stretch of the piece once, so a piece of many
    // short lines costs no more than one long line.
    auto find = [&](char c, std::size_t from) {
        const void* p = std::memchr(piece.data() + from, c, piece.size() - from);
        return p ? static_cast<std::size_t>(static_cast<const char*>(p) - piece.data())
                 : piece.size();
    };
    std::size_t nextCr = find('\r', i), nextLf = find('\n', i);
    while (i < piece.size() && !done_) {
        if (nextCr < i) nextCr = find('\r', i);
        if (nextLf < i) nextLf = find('\n', i);
        const std::size_t end = std::min(nextCr, nextLf);
        // Up to one byte past the limit is kept, so that a character starting
        // just before it is known to cross it. A line past maxLines keeps one
        // byte at most, which tells an empty line from another.
        const std::size_t max = full() ? 0 : limits_.maxLineBytes, want = end - i;
        if (line_.size() <= max)
            line_.append(
                piece.substr(i, max - line_.size() >= want ? want : max - line_.size() + 1));
        if (end == piece.size()) return;
        endLine();
        i = end + 1;
        if (piece[end] == '\r') {
            if (i == piece.size())
                crPending_ = true;
            else if (piece[i] == '\n')
                ++i;
        }
    }
}

void LineStream::endLine() {
    if (line_.empty() && limits_.emptyLineEnds) {
        done_ = true;
        return;
    }
    if (full()) {
        ++past_;
        line_.clear();
        return;
    }
    if (line_.size() > limits_.maxLineBytes) {
        std::size_t cut = 0;
        while (cut < limits_.maxLineBytes) {
            const std::size_t after = sjis::next(line_, cut);
            if (after > limits_.maxLineBytes) break;
            cut = after;
        }
        line_.resize(cut);
    }
    lines_.append(std::move(line_));
    line_.clear();
    if (full() && !limits_.countPast) done_ = true;
}

TextList LineStream::finish(bool cutShort) {
    if (!done_ && !line_.empty() && !cutShort) endLine();
    return std::move(lines_);
}

} // namespace kab
