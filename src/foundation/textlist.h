#pragma once
// An ordered list of Shift-JIS lines: the day files are read and written with
// it, and each record is split into fields with setDelimitedText.

#include "foundation/files.h"
#include "foundation/sjis.h"

#include <string_view>
#include <vector>

namespace kab {

// The line break of every text the program writes: day files, hints, labels.
inline constexpr std::string_view kCrLf = "\r\n";

class TextList {
public:
    int count() const { return static_cast<int>(lines_.size()); }
    // Throws Error::listIndex(index) when index is not 0 .. count() - 1.
    const SjisString& at(int index) const;
    const std::vector<SjisString>& lines() const { return lines_; }

    void append(SjisString line) { lines_.push_back(std::move(line)); }
    // index 0 .. count(); anything else throws Error::listIndex(index).
    void insert(int index, SjisString line);
    void clear() { lines_.clear(); }

    // One line per piece between CR LF, lone CR or lone LF; a break at the end
    // adds no empty line. A NUL byte ends the text.
    void setText(std::string_view text);
    // Every line followed by CR LF.
    SjisString text() const;

    // Reads the whole file up to its first NUL byte, taking no lock.
    // Throws Error::fileOpen with the absolute path when it can't.
    void loadFromFile(const FilePath& path);
    // Creates or truncates the file under an exclusive lock and writes text().
    // Throws Error::fileCreate with the absolute path when it can't.
    void saveToFile(const FilePath& path) const;

    char delimiter() const { return delimiter_; }
    void setDelimiter(char c) { delimiter_ = c; }
    void setQuoteChar(char c) { quoteChar_ = c; }

    // Replaces the lines with the fields of text: blanks (bytes 1..32) around
    // fields are skipped and end an unquoted field; a field starting with the
    // quote character runs to the next undoubled quote; a delimiter that is
    // the text's last character adds an empty field. A NUL byte ends the text.
    void setDelimitedText(std::string_view text);

    // Ascending, ASCII letters compared without case, other bytes unsigned.
    void sort();

private:
    std::vector<SjisString> lines_;
    char delimiter_ = ',';
    char quoteChar_ = '"';
};

// Splits a text into lines as TextList::setText does while it arrives piece by
// piece, within limits, so that a reader can stop as soon as it has what it
// can use.
class LineStream {
public:
    struct Limits {
        int maxLines;             // done once this many lines are in
        bool emptyLineEnds;       // an empty line ends the text (and is not kept)
        std::size_t maxLineBytes; // a longer line keeps its start, cut at a character
        // Past maxLines, the lines are counted, not kept, until an empty line
        // (with emptyLineEnds) or the end: done only then.
        bool countPast = false;
    };
    explicit LineStream(Limits limits) : limits_(limits) {}

    // The lines wanted are all in: whatever follows is not needed.
    bool done() const { return done_; }
    // maxLines lines are in.
    bool full() const { return lines_.count() >= limits_.maxLines; }
    // The lines past maxLines counted so far (countPast).
    int past() const { return past_; }
    // piece holds no NUL byte.
    void feed(std::string_view piece);
    // The end of the text: a last line without a break still counts, unless
    // the text was cut short there.
    TextList finish(bool cutShort = false);

private:
    void endLine();

    Limits limits_;
    TextList lines_;
    SjisString line_;
    bool crPending_ = false;
    bool done_ = false;
    int past_ = 0;
};

} // namespace kab
