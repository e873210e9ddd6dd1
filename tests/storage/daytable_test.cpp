#include "storage/daytable.h"

#include "foundation/errors.h"
#include "foundation/sjis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kab::storage {
namespace {

using Lines = std::vector<std::string>;

// Records in UTF-8, for readable failures.
Lines utf8(const TextList& records) {
    Lines out;
    for (const SjisString& r : records.lines())
        out.push_back(sjis::toUtf8(r));
    return out;
}

TextList records(const Lines& utf8Lines) {
    TextList out;
    for (const std::string& l : utf8Lines)
        out.append(sjis::fromUtf8(l));
    return out;
}

const std::string header = "行\t名前\t開始\t終了\t時間";

TEST(DayTable, ReadsWhatASpreadsheetCopies) {
    struct Case {
        const char* what;
        std::string text;
        Lines want;
    } cases[] = {
        {"header and LF",
         header + "\n1\t山田\t9:00\t13:00\t4\n3\t佐藤\t10:30\t15:00\t4.5\n",
         {"01\\9:00\\4\\山田", "03\\10:30\\4.5\\佐藤"}},
        {"no header, no break at the end", "8\t山田\t09:00\t13:00\t4", {"08\\09:00\\4\\山田"}},
        {"CR LF, blank rows of cells",
         header + "\r\n\t\t\t\t\r\n2\t鈴木\t6:00\t\t9\r\n\r\n",
         {"02\\6:00\\9\\鈴木"}},
        {"an empty end", "1\t山田\t22:00\t\t4.25", {"01\\22:00\\4.25\\山田"}},
        {"an end past midnight", "1\t山田\t22:00\t2:15\t4.25", {"01\\22:00\\4.25\\山田"}},
        {"a byte order mark",
         "\xEF\xBB\xBF" + header + "\n1\tA\t7:00\t9:00\t2.",
         {"01\\7:00\\2.\\A"}},
        {"lines kept in their order",
         "5\tB\t9:00\t\t4\n1\tA\t8:00\t\t4",
         {"05\\9:00\\4\\B", "01\\8:00\\4\\A"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(utf8(readDayTable(c.text)), c.want);
    }
}

TEST(DayTable, RefusesByTheFirstLineItCannotRead) {
    std::string fiftyOne;
    for (int i = 0; i < 51; ++i)
        fiftyOne += "1\tA\t9:00\t\t4\n";
    struct Case {
        const char* what;
        std::string text;
        long long line;
        std::string shown;
    } cases[] = {
        {"full-width row", header + "\n1\tA\t9:00\t\t4\n１\tB\t9:00\t\t4", 3, "１\tB\t9:00\t\t4"},
        {"full-width start", "1\tA\t９:００\t\t4", 1, "1\tA\t９:００\t\t4"},
        {"full-width duration", "1\tA\t9:00\t\t４", 1, "1\tA\t9:00\t\t４"},
        {"a name with a tab", "1\tA\tB\t9:00\t\t4", 1, "1\tA\tB\t9:00\t\t4"},
        {"a field missing", "1\tA\t9:00\t4", 1, "1\tA\t9:00\t4"},
        {"row outside the board", "1\tA\t9:00\t\t4\r\n9\tA\t9:00\t\t4", 2, "9\tA\t9:00\t\t4"},
        {"row 0", "0\tA\t9:00\t\t4", 1, "0\tA\t9:00\t\t4"},
        {"no duration", "1\tA\t9:00\t13:00\t", 1, "1\tA\t9:00\t13:00\t"},
        {"end and duration disagree", "1\tA\t9:00\t14:00\t4", 1, "1\tA\t9:00\t14:00\t4"},
        {"no such time", "1\tA\t24:00\t\t4", 1, "1\tA\t24:00\t\t4"},
        {"a name a record cannot carry", "1\tA B\t9:00\t\t4", 1, "1\tA B\t9:00\t\t4"},
        {"a name with a backslash", "1\tA\\B\t9:00\t\t4", 1, "1\tA\\B\t9:00\t\t4"},
        {"a name the code page lacks", "1\tA😀\t9:00\t\t4", 1, "1\tA😀\t9:00\t\t4"},
        {"an empty name", "1\t\t9:00\t\t4", 1, "1\t\t9:00\t\t4"},
        {"the header again", "1\tA\t9:00\t\t4\n" + header, 2, header},
        {"prose", "明日は休みです", 1, "明日は休みです"},
        {"nothing", "", 1, ""},
        {"a header alone", header + "\r\n", 2, ""},
        {"past fifty blocks", fiftyOne, 51, "1\tA\t9:00\t\t4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            readDayTable(c.text);
            ADD_FAILURE() << "read";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::UnreadableLine);
            EXPECT_EQ(
                sjis::toUtf8(e.message()),
                sjis::toUtf8(Error::unreadableLine(c.line, sjis::fromUtf8(c.shown)).message()));
        }
    }
}

TEST(DayTable, WritesWhatItReadsBack) {
    // as a save writes them: sorted, starts as the file had them, a night's
    // start and a shortened duration
    const TextList day =
        records({"01\\9:00\\4\\山田", "02\\0:15\\4.5\\佐藤", "02\\09:30\\10.\\鈴木"});
    const std::string text = dayTableText(day);
    EXPECT_EQ(text, header + "\n1\t山田\t9:00\t13:00\t4\n2\t佐藤\t0:15\t4:45\t4.5\n"
                             "2\t鈴木\t09:30\t19:30\t10.\n");
    EXPECT_EQ(utf8(readDayTable(text)), utf8(day));
}

TEST(DayTable, BytesReadAsADayFileIs) {
    struct Case {
        std::string bytes;
        Lines want;
    } cases[] = {
        {"01\\9:00\\4\\A\r\n02\\9:00\\4\\B\r\n", {"01\\9:00\\4\\A", "02\\9:00\\4\\B"}},
        {"01\\9:00\\4\\A\r\n\r\nrecovery tail\r\n", {"01\\9:00\\4\\A"}},
        {std::string("01\\9:00\\4\\A\0"
                     "02",
                     15),
         {"01\\9:00\\4\\A"}},
        {"01\\9:00\\4\\A", {"01\\9:00\\4\\A"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8(dayLinesOf(c.bytes).lines), c.want);
}

} // namespace
} // namespace kab::storage
