#include "foundation/sjis.h"

#include <cerrno>
#include <iconv.h>

namespace kab::sjis {

std::size_t lastCharStart(std::string_view s) {
    std::size_t i = 0, last = s.size();
    while (i < s.size()) {
        last = i;
        i = next(s, i);
    }
    return last;
}

namespace {

// One conversion descriptor per direction and thread; iconv keeps state, so
// each call resets it first.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts in; on a byte sequence that does not convert, appends
    // `replacement` and skips `skip(in, pos)` bytes.
    template <typename Skip>
    std::string run(std::string_view in, std::string_view replacement, Skip skip) {
        std::string out;
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return std::string(in);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.reserve(in.size() * 2);
        std::size_t pos = 0;
        char buf[256];
        while (pos < in.size()) {
            char* src = const_cast<char*>(in.data() + pos);
            std::size_t srcLeft = in.size() - pos;
            char* dst = buf;
            std::size_t dstLeft = sizeof buf;
            std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf, static_cast<std::size_t>(dst - buf));
            pos = in.size() - srcLeft;
            if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
                // EILSEQ or EINVAL (incomplete sequence at the end)
                out.append(replacement);
                pos += skip(in, pos);
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

private:
    iconv_t cd_;
};

// Length of the bad sequence starting at i: its lead byte and only the
// continuation bytes that actually follow, so that text after a truncated or
// stray byte is not swallowed with it.
std::size_t utf8SequenceLength(std::string_view s, std::size_t i) {
    auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    std::size_t len = 1;
    while (len < n && i + len < s.size() && (static_cast<unsigned char>(s[i + len]) & 0xC0) == 0x80)
        ++len;
    return len;
}

} // namespace

std::string toUtf8(std::string_view in) {
    thread_local Converter conv("UTF-8", "CP932");
    return conv.run(in, "\xEF\xBF\xBD",
                    [](std::string_view s, std::size_t i) { return next(s, i) - i; });
}

SjisString fromUtf8(std::string_view in) {
    thread_local Converter conv("CP932", "UTF-8");
    return conv.run(in, "?", utf8SequenceLength);
}

} // namespace kab::sjis
