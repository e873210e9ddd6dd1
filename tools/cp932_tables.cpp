// Build step: asks the C library's iconv how it converts every code page 932
// byte and byte pair and every Unicode scalar value, and writes the tables
// of foundation/cp932_tables.h as a C++ source. The program converts with
// them and so gives iconv's results without loading iconv's modules.
//
//   kabrelo_cp932_tables OUTPUT.cpp
//
// It fails, writing nothing, if iconv converts in a way the tables cannot
// hold (a character of more than one code point, a code point beyond the
// Basic Multilingual Plane that encodes to bytes, a byte that decodes alone
// and also starts a pair, code points that encode to nothing but not in one
// run).

#include "foundation/cp932_tables.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iconv.h>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace kab::sjis::cp932;

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "kabrelo_cp932_tables: %s\n", why.c_str());
    std::exit(1);
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            fail(std::string("iconv cannot convert from ") + from + " to " + to);
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // The whole of `in` converted from a fresh state, or nothing if any of
    // it does not convert.
    std::optional<std::string> whole(const std::string& in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buf[64];
        char* dst = buf;
        std::size_t dstLeft = sizeof buf;
        if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1))
            return std::nullopt;
        if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == static_cast<std::size_t>(-1))
            return std::nullopt;
        return std::string(buf, static_cast<std::size_t>(dst - buf));
    }

private:
    iconv_t cd_;
};

std::string utf8(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | c >> 6);
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | c >> 12);
        s += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | c >> 18);
        s += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        s += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

// The code points of iconv's UTF-8 output.
std::vector<char32_t> codePoints(const std::string& s) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = n == 1 ? c : c & (0xFF >> (n + 1));
        for (std::size_t k = 1; k < n && i + k < s.size(); ++k)
            cp = cp << 6 | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += n;
    }
    return out;
}

// The one code point a character decodes to, as a table entry.
std::uint16_t entry(const std::vector<char32_t>& cps, const std::string& what) {
    if (cps.size() != 1) fail(what + " decodes to " + std::to_string(cps.size()) + " code points");
    if (cps[0] >= kNone) fail(what + " decodes beyond what the tables hold");
    return static_cast<std::uint16_t>(cps[0]);
}

std::string hex(unsigned v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", v);
    return buf;
}

std::string codePoint(char32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
    return buf;
}

template <typename T>
void writeArray(std::ostream& out, const char* decl, const std::vector<T>& values) {
    out << decl << " = {";
    for (std::size_t i = 0; i < values.size(); ++i)
        out << (i % 12 ? " " : "\n    ") << hex(values[i]) << ",";
    out << "\n};\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.cpp\n", argv[0]);
        return 2;
    }

    // Decoding: a byte that converts alone is a single-byte character; the
    // pairs that convert as one character are the double-byte ones.
    Iconv decode("UTF-8", "CP932");
    std::vector<std::uint16_t> single(256, kNone);
    std::array<std::array<std::uint16_t, 256>, 256> pair;
    unsigned trailMin = 256, trailMax = 0;
    for (unsigned b = 0; b < 256; ++b)
        if (auto s = decode.whole(std::string(1, static_cast<char>(b))))
            single[b] = entry(codePoints(*s), "byte " + hex(b));
    for (unsigned b = 0; b < 256; ++b) {
        const std::string lead(1, static_cast<char>(b));
        for (unsigned t = 0; t < 256; ++t) {
            pair[b][t] = kNone;
            const auto s = decode.whole(lead + static_cast<char>(t));
            if (!s) continue;
            const auto cps = codePoints(*s);
            if (single[b] != kNone) {
                // then the pair is two characters, the second of which
                // converts alone
                if (cps.size() != 2 || cps[0] != single[b] || single[t] == kNone ||
                    cps[1] != single[t])
                    fail("byte " + hex(b) + " decodes alone but not before " + hex(t));
                continue;
            }
            pair[b][t] = entry(cps, "bytes " + hex(b) + " " + hex(t));
            trailMin = std::min(trailMin, t);
            trailMax = std::max(trailMax, t);
        }
    }
    std::vector<std::uint8_t> row(256, 0);
    std::vector<std::uint16_t> doubles;
    unsigned rows = 0;
    for (unsigned b = 0; b < 256; ++b) {
        bool any = false;
        for (unsigned t = trailMin; t <= trailMax; ++t)
            any = any || pair[b][t] != kNone;
        if (!any) continue;
        if (rows == 255) fail("too many lead bytes");
        row[b] = static_cast<std::uint8_t>(++rows);
        for (unsigned t = trailMin; t <= trailMax; ++t)
            doubles.push_back(pair[b][t]);
    }
    if (rows == 0) fail("iconv decodes no double-byte character");

    // Encoding: every scalar value, as UTF-8, the way the program hands it
    // over.
    Iconv encode("CP932", "UTF-8");
    std::vector<std::uint16_t> code(0x10000, kNone);
    std::size_t encodable = 0;
    char32_t silentFirst = 1, silentLast = 0;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const auto s = encode.whole(utf8(c));
        if (!s) continue;
        if (s->empty()) {
            if (silentFirst > silentLast)
                silentFirst = c;
            else if (silentLast + 1 != c)
                fail(codePoint(c) + " encodes to nothing, apart from the others that do");
            silentLast = c;
            continue;
        }
        if (c >= 0x10000) fail(codePoint(c) + " encodes, beyond what the tables hold");
        if (s->size() > 2)
            fail(codePoint(c) + " encodes to " + std::to_string(s->size()) + " bytes");
        unsigned v = static_cast<unsigned char>((*s)[0]);
        if (s->size() == 2) {
            if (v == 0) fail(codePoint(c) + " encodes to a pair that starts with NUL");
            v = v << 8 | static_cast<unsigned char>((*s)[1]);
        }
        if (v == kNone) fail(codePoint(c) + " encodes to the table's mark for none");
        code[c] = static_cast<std::uint16_t>(v);
        ++encodable;
    }
    // Blocks of kEncodeBlock code points, each distinct block once.
    std::vector<std::uint16_t> index, blocks;
    std::map<std::vector<std::uint16_t>, std::uint16_t> seen;
    for (std::size_t first = 0; first < code.size(); first += kEncodeBlock) {
        std::vector<std::uint16_t> block(code.begin() + first, code.begin() + first + kEncodeBlock);
        auto [at, added] = seen.try_emplace(block, static_cast<std::uint16_t>(seen.size()));
        if (added) blocks.insert(blocks.end(), block.begin(), block.end());
        index.push_back(at->second);
    }

    std::ostringstream out;
    out << "// Written by kabrelo_cp932_tables from the C library's iconv: " << rows
        << " lead bytes, " << encodable << " encodable code points.\n"
        << "#include \"foundation/cp932_tables.h\"\n\n"
        << "namespace kab::sjis::cp932 {\n\n";
    writeArray(out, "const std::uint16_t decodeSingle[256]", single);
    writeArray(out, "const std::uint8_t decodeRow[256]", row);
    out << "const unsigned trailFirst = " << hex(trailMin)
        << ", trailCount = " << trailMax - trailMin + 1 << ";\n";
    writeArray(out, "const std::uint16_t decodeDouble[]", doubles);
    writeArray(out, "const std::uint16_t encodeIndex[0x10000 / kEncodeBlock]", index);
    writeArray(out, "const std::uint16_t encodeBlocks[]", blocks);
    out << "const char32_t silentFirst = " << hex(silentFirst)
        << ", silentLast = " << hex(silentLast) << ";\n";
    out << "\n} // namespace kab::sjis::cp932\n";

    // Written whole or not at all, so that a failed run leaves no half table
    // for the build to compile.
    const std::string path = argv[1], tmp = path + ".tmp";
    {
        std::ofstream file(tmp, std::ios::binary | std::ios::trunc);
        file << out.str();
        if (!file.flush()) fail("cannot write " + tmp);
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) fail("cannot write " + path);
    return 0;
}
