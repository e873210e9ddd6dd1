#pragma once
// The program's one error family. No handler catches these: each ends the
// handler it arose in and is shown by the default error report.

#include "foundation/sjis.h"

#include <exception>
#include <string_view>

namespace kab {

enum class ErrorKind {
    InvalidInteger,  // conversion: read integer
    InvalidNumber,   // conversion: read number
    InvalidDateTime, // conversion: read date-time
    ListIndex,       // line by index out of range
    FileOpen,        // read file
    FileCreate,      // write file
    OutOfResources,  // the window system ran out of something (timers)
    UnreadableLine,  // a line of a pasted table that is no block
    NothingToCopy,   // a day without blocks offered as a copy's source
};

class Error : public std::exception {
public:
    Error(ErrorKind kind, SjisString message) : kind_(kind), message_(std::move(message)) {}

    ErrorKind kind() const noexcept { return kind_; }
    bool isConversion() const noexcept {
        return kind_ == ErrorKind::InvalidInteger || kind_ == ErrorKind::InvalidNumber ||
               kind_ == ErrorKind::InvalidDateTime;
    }
    // The message as Shift-JIS bytes, without the report's final ".".
    const SjisString& message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

    static Error invalidInteger(std::string_view text);
    static Error invalidNumber(std::string_view text);
    static Error invalidDateTime(std::string_view text);
    static Error listIndex(long long index);
    // path: the file's absolute path; systemText: the system's message for
    // the failure (trailing blanks, control characters and "." are dropped).
    static Error fileOpen(std::string_view path, std::string_view systemText);
    static Error fileCreate(std::string_view path, std::string_view systemText);
    static Error noTimer();
    // A save that went through, though the file it replaced could not be kept
    // as a version.
    // A save refused before anything was written, for the reason given.
    static Error saveRefused(std::string_view path, std::string_view reason);
    static Error versionNotKept(std::string_view path, std::string_view systemText);
    // A pasted text refused by its first line that could not be read (lineNo
    // counts from 1); line: that line as Shift-JIS text.
    static Error unreadableLine(long long lineNo, std::string_view line);
    // A copy refused because its source days hold no block; days names them
    // (may be empty: the day on show).
    static Error nothingToCopy(std::string_view days);

private:
    ErrorKind kind_;
    SjisString message_;
};

// The text the default error report shows: the message, with "." appended
// when it is not empty and its last character (a double-byte character
// counting as one) compares greater than "." byte by byte.
SjisString reportText(std::string_view message);

} // namespace kab
