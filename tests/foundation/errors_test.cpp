#include "foundation/errors.h"

#include <gtest/gtest.h>

#include <string>

namespace kab {
namespace {

SjisString sj(std::string_view utf8) {
    return sjis::fromUtf8(utf8);
}

TEST(Errors, MessagesAreExactShiftJisBytes) {
    const std::string odd = sj("表") + std::string("\0\x81", 2); // 95 5C, NUL, lone lead byte
    struct Case {
        Error error;
        ErrorKind kind;
        SjisString want;
    } cases[] = {
        {Error::invalidInteger("12a"), ErrorKind::InvalidInteger, sj("'12a' は整数ではありません")},
        {Error::invalidNumber("1.2.3"), ErrorKind::InvalidNumber,
         sj("'1.2.3' は浮動小数点数ではありません")},
        {Error::invalidDateTime(odd), ErrorKind::InvalidDateTime,
         "'" + odd + sj("' は日付または時刻ではありません")},
        {Error::listIndex(-1), ErrorKind::ListIndex,
         sj("リストのインデックスが範囲を超えています (-1)")},
        {Error::listIndex(9'000'000'000LL), ErrorKind::ListIndex,
         sj("リストのインデックスが範囲を超えています (9000000000)")},
        {Error::fileOpen("/d/a.txt", "No such file or directory"), ErrorKind::FileOpen,
         sj("ファイル \"/d/a.txt\". No such file or directory は開けません")},
        {Error::fileCreate("/d/b.txt", "Permission denied"), ErrorKind::FileCreate,
         sj("ファイル \"/d/b.txt\". Permission denied を作成できません")},
        {Error::noTimer(), ErrorKind::OutOfResources, sj("タイマーを取得できません")},
        {Error::nothingToCopy(""), ErrorKind::NothingToCopy,
         sj("この日にはブロックがありません。空の日をコピーしても貼り付け先が消えるだけなので、コピ"
            "ーしません")},
        {Error::unreadableLine(3, sj("１\t表")), ErrorKind::UnreadableLine,
         sj("貼り付ける表の 3 行目を読めません: '１\t表'")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(sjis::toUtf8(c.want));
        EXPECT_EQ(c.error.kind(), c.kind);
        EXPECT_EQ(c.error.message(), c.want);
        EXPECT_EQ(c.error.isConversion(), c.kind <= ErrorKind::InvalidDateTime);
    }
}

TEST(Errors, ALongTextIsQuotedByItsStartOnly) {
    const SjisString kanji = sjis::fromUtf8("表"); // two bytes
    const struct {
        SjisString text;
        SjisString quoted;
    } table[] = {
        {SjisString(200, 'a'), "'" + SjisString(200, 'a') + "'"},
        {SjisString(201, 'a'), "'" + SjisString(200, 'a') + "...'"},
        {SjisString(65536, '7'), "'" + SjisString(200, '7') + "...'"},
        // a double-byte character across the limit is left out whole
        {SjisString(199, 'a') + kanji + "b", "'" + SjisString(199, 'a') + "...'"},
        {SjisString(198, 'a') + kanji + "b", "'" + SjisString(198, 'a') + kanji + "...'"},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.text.size());
        const SjisString m = Error::invalidInteger(c.text).message();
        EXPECT_EQ(m.substr(0, c.quoted.size()), c.quoted);
        EXPECT_EQ(m.size(), c.quoted.size() + sjis::fromUtf8(" は整数ではありません").size());
    }
}

TEST(Errors, SystemTextLosesTrailingBlanksControlsAndFullStops) {
    const std::pair<std::string, std::string> cases[] = {
        {"Permission denied.\r\n", "Permission denied"},
        {"Permission denied. . \t\x01", "Permission denied"},
        {"v1.2 failed", "v1.2 failed"},
        {"...", ""},
        {sj("拒否されました。") + ". ", sj("拒否されました。")}, // 。 is 81 42
        {"x\x81.", "x\x81."}, // "." as a second byte is not cut off
        {std::string("x\x81\0", 3), "x\x81"},
    };
    for (const auto& [systemText, kept] : cases) {
        SCOPED_TRACE(testing::PrintToString(systemText));
        EXPECT_EQ(Error::fileOpen("p", systemText).message(),
                  sj("ファイル \"p\". ") + kept + sj(" は開けません"));
        EXPECT_EQ(Error::fileCreate("p", systemText).message(),
                  sj("ファイル \"p\". ") + kept + sj(" を作成できません"));
    }
}

TEST(Errors, ReportAppendsAFullStopAfterCharactersAboveIt) {
    const std::pair<SjisString, bool> cases[] = {
        {"", false},      {Error::invalidInteger("").message(), true},
        {"(5)", false},   {Error::listIndex(3).message(), false},
        {"done.", false}, {"a-", false},
        {"a ", false},    {"denied", true},
        {"AB", true},     {"x1", true},
        {"a/", true},     {sj("表"), true},
        {"x\x81", true},  {"x\x81!", true}, // one character, starting above "."
    };
    for (const auto& [message, appended] : cases) {
        SCOPED_TRACE(testing::PrintToString(message));
        EXPECT_EQ(reportText(message), appended ? message + "." : message);
    }
    EXPECT_EQ(reportText(Error::invalidInteger("").message()), sj("'' は整数ではありません."));
}

} // namespace
} // namespace kab
