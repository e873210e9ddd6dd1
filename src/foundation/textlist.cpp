#include "foundation/textlist.h"

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

bool isBlankByte(char c) {
    auto u = static_cast<unsigned char>(c);
    return u >= 1 && u <= 32;
}

Error openError(const SjisString& name, int errorNumber) {
    return Error::fileOpen(absolutePath(name), systemErrorText(errorNumber));
}

Error createError(const SjisString& name, int errorNumber) {
    return Error::fileCreate(absolutePath(name), systemErrorText(errorNumber));
}

// A lock another process holds is a failure; file systems without flock
// support are not.
bool lockRefused(int fd, int operation) {
    return ::flock(fd, operation | LOCK_NB) != 0 && (errno == EWOULDBLOCK || errno == EAGAIN);
}

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
// second byte of a double-byte character stays as it is.
std::string sortKey(std::string_view s) {
    std::string key(s);
    for (std::size_t i = 0; i < key.size();) {
        std::size_t after = sjis::next(key, i);
        if (after - i == 1 && key[i] >= 'a' && key[i] <= 'z')
            key[i] = static_cast<char>(key[i] - 32);
        i = after;
    }
    return key;
}

bool lessUnsigned(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
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
        size += line.size() + 2;
    SjisString out;
    out.reserve(size);
    for (const auto& line : lines_) {
        out += line;
        out += "\r\n";
    }
    return out;
}

void TextList::loadFromFile(const SjisString& name) {
    FileHandle file(::open(sjis::toUtf8(name).c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) throw openError(name, errno);
    struct stat st {};
    if (::fstat(file.get(), &st) == 0 && S_ISDIR(st.st_mode)) throw openError(name, EISDIR);
    if (lockRefused(file.get(), LOCK_SH)) throw openError(name, errno);

    // Chunked, so that nothing past the first NUL is ever read.
    std::string data;
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw openError(name, errno);
        }
        if (got == 0) break;
        auto size = static_cast<std::size_t>(got);
        if (const void* nul = std::memchr(buffer, 0, size)) {
            data.append(buffer, static_cast<std::size_t>(static_cast<const char*>(nul) - buffer));
            break;
        }
        data.append(buffer, size);
    }
    setText(data);
}

void TextList::saveToFile(const SjisString& name) const {
    // Truncated only once the lock is held, so a reader never sees it emptied.
    FileHandle file(::open(sjis::toUtf8(name).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    if (file.get() < 0) throw createError(name, errno);
    if (lockRefused(file.get(), LOCK_EX)) throw createError(name, errno);
    if (::ftruncate(file.get(), 0) != 0) throw createError(name, errno);

    const SjisString data = text();
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t put = ::write(file.get(), data.data() + done, data.size() - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            throw createError(name, errno);
        }
        done += static_cast<std::size_t>(put);
    }
    if (file.release() != 0) throw createError(name, errno);
}

void TextList::setDelimitedText(std::string_view text) {
    lines_.clear();
    text = upToNul(text);
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n && isBlankByte(text[i]))
        ++i;
    while (i < n) {
        SjisString field;
        if (text[i] == quoteChar_) {
            i = readQuoted(text, i, quoteChar_, field);
        } else {
            std::size_t start = i;
            // a blank or control byte ends an unquoted field, as the delimiter does
            while (i < n && !isBlankByte(text[i]) && text[i] != delimiter_)
                i = sjis::next(text, i);
            field.assign(text.substr(start, i - start));
        }
        lines_.push_back(std::move(field));
        while (i < n && isBlankByte(text[i]))
            ++i;
        if (i < n && text[i] == delimiter_) {
            if (i + 1 == n) lines_.emplace_back();
            ++i;
            while (i < n && isBlankByte(text[i]))
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
              [](const auto& a, const auto& b) { return lessUnsigned(a.first, b.first); });
    for (std::size_t k = 0; k < keyed.size(); ++k)
        lines_[k] = std::move(keyed[k].second);
}

} // namespace kab
