#include "storage/dayread.h"
#include "support/temp_dir.h"

#include "foundation/errors.h"
#include "foundation/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kab::storage {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

// Long lines as their length and ends, so that a failure prints readably.
Lines shortForm(const Lines& lines) {
    Lines out;
    for (const auto& l : lines)
        out.push_back(l.size() <= 80 ? l
                                     : std::to_string(l.size()) + " bytes: " + l.substr(0, 16) +
                                           "..." + l.substr(l.size() - 16));
    return out;
}

// The lines of a day file that must be there.
Lines dayLines(const std::string& p, PastLimit past = PastLimit::Skip) {
    const auto day = readDayFile(p, past);
    if (!day) ADD_FAILURE() << p << " reads as no day file";
    return day ? day->lines.lines() : Lines{};
}

class DayRead : public kab::test::TempDirTest {
protected:
    // What the load must see: the whole file's lines up to the first empty
    // one, at most maxDayLines of them.
    Lines loadedPrefix(const std::string& p) {
        TextList all;
        all.loadFromFile(p);
        Lines want;
        for (const auto& line : all.lines()) {
            if (line.empty() || static_cast<int>(want.size()) == maxDayLines) break;
            want.push_back(line);
        }
        return want;
    }
    void expectAgreement(const std::string& bytes) {
        writeBytes(path("day.txt"), bytes);
        EXPECT_EQ(dayLines(path("day.txt")), loadedPrefix(path("day.txt")));
    }
};

std::string repeatLines(int n, const std::string& eol) {
    std::string s;
    for (int k = 1; k <= n; ++k)
        s += "0" + std::to_string(k % 8 + 1) + "\\09:00\\4.0\\n" + std::to_string(k) + eol;
    return s;
}

TEST_F(DayRead, AgreesWithTheWholeFileRead) {
    const std::string sato = "\x8D\xB2\x93\xA1", so = "\x83\x5C";
    const std::string cases[] = {
        "",
        "02\\09:00\\4.0\\" + sato + "\r\n01\\6:30\\2.25\\" + so + "\r\n",
        "a\r\nb",
        "a\nb\n",
        "a\rb\r",
        "a\r\r\nb",
        "a\n\rb",
        "a\r\n\r\nb",
        "\r\nb",
        "\n",
        "a\0b\r\nc"s,
        "a\r\n\0"s,
        "\0a"s,
        "\x81\r\nb",      // a lead byte before a break is still a whole line
        "x\x95\x5C\ny\n", // "\" as a second byte is not a line break
        repeatLines(49, "\r\n"),
        repeatLines(50, "\n"),
        repeatLines(51, "\r\n") + "\r\nlast",
        repeatLines(80, "\r") + "\r\n",
        repeatLines(10, "\r\n") + "\r\n" + repeatLines(10, "\r\n"),
    };
    for (const auto& bytes : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes.substr(0, 60)));
        expectAgreement(bytes);
    }
}

// Line breaks and NULs at every place, including the ends of read chunks.
TEST_F(DayRead, AgreesOnRandomTexts) {
    std::mt19937 gen(12345);
    const char alphabet[] = {'a', 'b', '\r', '\n', '\0', '\x81', '\x5C'};
    std::discrete_distribution<int> pick({30, 30, 8, 8, 1, 4, 4});
    for (int round = 0; round < 100; ++round) {
        std::string bytes(std::uniform_int_distribution<int>(0, 400)(gen), 'a');
        for (auto& c : bytes)
            c = alphabet[pick(gen)];
        SCOPED_TRACE(testing::PrintToString(bytes));
        expectAgreement(bytes);
        if (HasFailure()) break;
    }
}

TEST_F(DayRead, BreaksAcrossChunkEnds) {
    for (std::size_t k : {16381, 16382, 16383, 16384, 16385, 32766, 32767, 32768}) {
        for (std::string eol : {"\r\n", "\r", "\n"}) {
            SCOPED_TRACE(testing::Message() << k << " " << testing::PrintToString(eol));
            const std::string bytes = std::string(k, 'x') + eol + "y" + eol + eol + "z";
            writeBytes(path("day.txt"), bytes);
            EXPECT_EQ(shortForm(dayLines(path("day.txt"))), shortForm({std::string(k, 'x'), "y"}));
        }
    }
}

TEST_F(DayRead, StopsAtWhatTheLoadNeeds) {
    Lines fifty;
    for (int k = 1; k <= 50; ++k)
        fifty.push_back("l" + std::to_string(k));
    std::string fiftyText;
    for (const auto& l : fifty)
        fiftyText += l + "\r\n";
    std::string tenText;
    for (int k = 1; k <= 10; ++k)
        tenText += "m" + std::to_string(k) + "\r\n";
    struct Case {
        const char* name;
        std::string bytes;
        Lines want;
        int past; // the records after the fiftieth, counted when asked
    };
    const Case cases[] = {
        {"fifty lines", fiftyText + "more\r\n", fifty, 1},
        {"fifty without a last break", fiftyText.substr(0, fiftyText.size() - 2), fifty, 0},
        {"empty line after fifty", fiftyText + "\r\nmore", fifty, 0},
        {"ten more, the last without a break", fiftyText + tenText.substr(0, tenText.size() - 2),
         fifty, 10},
        {"ten more up to an empty line", fiftyText + tenText + "\r\nmore", fifty, 10},
        {"fifty more up to a NUL", fiftyText + fiftyText + "\0more\r\n"s, fifty, 50},
        {"empty line", "a\r\nb\r\n\r\nc\r\n", {"a", "b"}, 0},
        {"empty line first", "\r\na", {}, 0},
        {"lone CR then CR LF", "a\r\r\nb", {"a"}, 0},
        {"NUL", "a\r\nb\0c\r\nd"s, {"a", "b"}, 0},
        {"NUL first", "\0a\r\n"s, {}, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path("day.txt"), c.bytes);
        EXPECT_EQ(dayLines(path("day.txt")), c.want);
        const auto counted = readDayFile(path("day.txt"), PastLimit::Count);
        ASSERT_TRUE(counted);
        EXPECT_EQ(counted->lines.lines(), c.want);
        EXPECT_EQ(counted->past, c.past);
        EXPECT_FALSE(counted->atLeastPast);
    }
}

// Every record the load uses is read whole; a file whose records do not end
// within the limit is refused rather than cut.
TEST_F(DayRead, RecordsAreReadWhole) {
    const std::string mib(1 << 20, 'm');
    Lines fifty(maxDayLines, "03\\09:00\\4.0\\x");
    std::string fiftyText;
    for (const auto& l : fifty)
        fiftyText += l + "\r\n";
    struct Case {
        const char* name;
        std::string bytes;
        std::optional<Lines> want; // none: refused as too large
        bool atLeastPast = false;  // the limit ends the count of the records past fifty
    };
    const Case cases[] = {
        {"a long record", std::string(100000, 'a') + "\r\nb", Lines{std::string(100000, 'a'), "b"}},
        {"a long last record", "a\r\n" + std::string(70000, 'c'),
         Lines{"a", std::string(70000, 'c')}},
        {"long records within the limit, then an empty line",
         mib + "\r\n" + mib + "\r\n\r\n" + std::string(maxReadBytes, 'z'), Lines{mib, mib}},
        {"fifty records, then more than the limit", fiftyText + std::string(maxReadBytes, 'z'),
         fifty, true},
        {"the limit ends a record", std::string(maxReadBytes + 1000, 'a') + "\r\nb\r\n",
         std::nullopt},
        {"records beyond the limit", mib + "\r\n" + mib + "\r\n" + mib + "\r\n" + mib + "\r\nlast",
         std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path("day.txt"), c.bytes);
        if (c.want) {
            EXPECT_EQ(shortForm(dayLines(path("day.txt"))), shortForm(*c.want));
            // counting what lies past fifty refuses no more
            const auto counted = readDayFile(path("day.txt"), PastLimit::Count);
            ASSERT_TRUE(counted);
            EXPECT_EQ(shortForm(counted->lines.lines()), shortForm(*c.want));
            EXPECT_EQ(counted->atLeastPast, c.atLeastPast);
            continue;
        }
        try {
            (void)readDayFile(path("day.txt"));
            ADD_FAILURE() << "read";
        } catch (const Error& e) {
            EXPECT_EQ(e.message(),
                      Error::fileOpen(path("day.txt"), systemErrorText(EFBIG)).message());
        }
    }
}

long peakKiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST_F(DayRead, AGigabyteFileOfNulsReadsNothing) {
    const std::string p = path("12;07.txt");
    int fd = ::open(p.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t{1} << 30), 0); // sparse: no disk used
    ::close(fd);
    const long before = peakKiB();
    const long long readBefore = test::bytesRead();
    EXPECT_EQ(dayLines(p), Lines{});
    // the first NUL ends the text: one chunk is read, not the gigabyte
    EXPECT_LT(test::bytesRead() - readBefore, 64 * 1024);
    EXPECT_LT(peakKiB() - before, 1024);
}

// A gigabyte without a NUL, written into a pipe: the read stops at the
// records' end or at the size limit, and holds far less than the gigabyte.
// (A pipe under a day's name is no day: the stream reaches the reading as an
// open descriptor.)
TEST_F(DayRead, AGigabyteStreamIsNotReadToTheEnd) {
    struct Case {
        const char* name;
        std::string unit;          // repeated until a gigabyte has gone
        std::optional<Lines> want; // none: refused as too large
        long extraKiB;             // memory it may take
        long long maxRead;         // bytes it may read
    };
    Lines records(maxDayLines, "03\\09:00\\4.0\\x");
    const Case cases[] = {
        {"records", "03\\09:00\\4.0\\x\r\n", records, 1024, 64 * 1024},
        // the one line is held up to the limit, then refused: a few times the
        // limit at most (more under the address sanitizer, whose freed
        // memory waits before reuse), far from the gigabyte
        {"no line break", std::string(4096, 'a'), std::nullopt, 64 * 1024,
         maxReadBytes + 64 * 1024},
    };
    auto oldPipe = std::signal(SIGPIPE, SIG_IGN); // the writer sees EPIPE instead
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int ends[2];
        ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
        std::string block;
        while (block.size() < 65536)
            block += c.unit;
        const long before = peakKiB();
        const long long readBefore = test::bytesRead();
        std::optional<Lines> lines;
        std::thread writer([&] {
            const int fd = ends[1];
            for (std::size_t sent = 0; sent < (std::size_t{1} << 30);) {
                ssize_t put = ::write(fd, block.data(), block.size());
                if (put <= 0) break;
                sent += static_cast<std::size_t>(put);
            }
            ::close(fd);
        });
        try {
            const FileHandle stream(ends[0]);
            lines = readDayLines(stream, "stream").lines.lines();
        } catch (const Error&) {
            lines.reset();
        }
        // closing its end stopped the writer, which waits for nothing more
        writer.join();
        EXPECT_EQ(lines.has_value(), c.want.has_value());
        if (lines && c.want) {
            EXPECT_EQ(shortForm(*lines), shortForm(*c.want));
        }
        EXPECT_LE(test::bytesRead() - readBefore, c.maxRead);
        EXPECT_LT(peakKiB() - before, c.extraKiB);
    }
    std::signal(SIGPIPE, oldPipe);
}

// What is no regular file is no day, and is never waited on: a pipe with no
// writer, whose open would wait for one, put under the day's name at any
// time. A day file that fails names its absolute path.
TEST_F(DayRead, NoDayOrAFailureNamingTheAbsolutePath) {
    std::filesystem::create_directory(path("dir"));
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    std::filesystem::create_symlink(path("pipe"), path("to a pipe"));
    writeBytes(path("big"), std::string(maxReadBytes + 1, 'a'));
    writeBytes(path("locked"), "a\r\n");
    int holder = ::open(path("locked").c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0); // a separate open file: as another process
    struct Case {
        const char* name;
        std::string path, reported;
        int errorNumber; // 0: no day
    };
    const Case cases[] = {
        {"missing", path("gone.txt"), "", 0},   {"directory", path("dir"), "", 0},
        {"a pipe", path("pipe"), "", 0},        {"a link to a pipe", path("to a pipe"), "", 0},
        {"a device", "/dev/null", "", 0},       {"too large", path("big"), path("big"), EFBIG},
        {"relative", "big", path("big"), EFBIG}};
    auto saved = std::filesystem::current_path();
    ASSERT_EQ(::chdir(dir_.c_str()), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.errorNumber == 0) {
            EXPECT_FALSE(readDayFile(c.path, PastLimit::Count));
            continue;
        }
        try {
            (void)readDayFile(c.path);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::FileOpen);
            EXPECT_EQ(e.message(),
                      Error::fileOpen(c.reported, systemErrorText(c.errorNumber)).message());
        }
    }
    std::filesystem::current_path(saved);
    // a lock anyone who may read the day can take is no failure
    EXPECT_EQ(dayLines(path("locked")), Lines{"a"});
    ::close(holder);
}

} // namespace
} // namespace kab::storage
