#include "storage/boardstate.h"

#include "storage/dayfile.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace kab::storage {

namespace {

constexpr std::string_view kHeader = "kabrelo24 board 1";
constexpr std::string_view kStack = "stack";
constexpr std::string_view kEnd = "end";
constexpr char kHex[] = "0123456789ABCDEF";

bool plain(unsigned char c) {
    return c > ' ' && c < 0x7F && c != '%';
}

void appendText(std::string& out, std::string_view text) {
    out += ' ';
    if (text.empty()) {
        out += '%'; // a lone "%" is the empty text: any real "%" is written %25
        return;
    }
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (plain(c)) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
}

void appendInt(std::string& out, long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out += ' ';
    out.append(digits, end);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<SjisString> readText(std::string_view field) {
    if (field == "%") return SjisString();
    SjisString text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            text += field[i];
            continue;
        }
        if (i + 2 >= field.size()) return std::nullopt;
        const int high = hexValue(field[i + 1]), low = hexValue(field[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        text += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return text;
}

std::optional<int> readInt(std::string_view field) {
    int value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size()) return std::nullopt;
    return value;
}

// The fields of a line, split at single blanks.
std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> out;
    for (std::size_t at = 0;;) {
        const std::size_t blank = line.find(' ', at);
        out.push_back(line.substr(at, blank - at));
        if (blank == std::string_view::npos) return out;
        at = blank + 1;
    }
}

std::optional<BlockState> readBlock(std::string_view line, int number) {
    const auto f = fields(line);
    if (f.size() != 9 || readInt(f[0]) != number) return std::nullopt;
    BlockState b;
    const auto left = readInt(f[1]), top = readInt(f[2]), width = readInt(f[3]),
               tag = readInt(f[4]);
    auto hint = readText(f[5]), name = readText(f[6]), times = readText(f[7]),
         duration = readText(f[8]);
    if (!left || !top || !width || !tag || !hint || !name || !times || !duration)
        return std::nullopt;
    return BlockState{*left,
                      *top,
                      *width,
                      *tag,
                      std::move(*hint),
                      std::move(*name),
                      std::move(*times),
                      std::move(*duration)};
}

} // namespace

TextList boardRecords(const BoardState& board) {
    std::vector<BlockText> blocks;
    blocks.reserve(board.blocks.size());
    for (const BlockState& b : board.blocks)
        blocks.push_back({b.top, b.hint, b.name});
    return buildDayRecords(blocks);
}

std::string encodeBoard(const BoardState& board) {
    std::string out;
    out.reserve(2048);
    out += kHeader;
    out += kCrLf;
    out += kStack;
    for (const std::uint8_t n : board.stack)
        appendInt(out, n);
    out += kCrLf;
    for (std::size_t i = 0; i < board.blocks.size(); ++i) {
        const BlockState& b = board.blocks[i];
        out += std::to_string(i + 1);
        for (const int v : {b.left, b.top, b.width, b.tag})
            appendInt(out, v);
        for (const SjisString* t : {&b.hint, &b.name, &b.times, &b.duration})
            appendText(out, *t);
        out += kCrLf;
    }
    out += kEnd;
    out += kCrLf;
    return out;
}

std::optional<BoardState> decodeBoard(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find(kCrLf);
        if (end == std::string_view::npos) return std::nullopt; // cut short
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + kCrLf.size());
    }
    constexpr std::size_t n = board::kBlockCount;
    if (lines.size() != n + 3 || lines[0] != kHeader || lines[n + 2] != kEnd) return std::nullopt;
    BoardState board;
    // the stack holds every block once
    const auto stack = fields(lines[1]);
    if (stack.size() != n + 1 || stack[0] != kStack) return std::nullopt;
    std::array<bool, n + 1> seen{};
    for (std::size_t i = 0; i < n; ++i) {
        const auto number = readInt(stack[i + 1]);
        if (!number || *number < 1 || *number > int(n) || seen[std::size_t(*number)])
            return std::nullopt;
        seen[std::size_t(*number)] = true;
        board.stack[i] = static_cast<std::uint8_t>(*number);
    }
    for (std::size_t i = 0; i < n; ++i) {
        auto block = readBlock(lines[i + 2], int(i + 1));
        if (!block) return std::nullopt;
        board.blocks[i] = std::move(*block);
    }
    return board;
}

} // namespace kab::storage
