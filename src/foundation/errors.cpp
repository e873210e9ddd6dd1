#include "foundation/errors.h"

#include <string>

namespace kab {

namespace {

SjisString sj(std::string_view utf8) {
    return sjis::fromUtf8(utf8);
}

// Drops trailing blanks, control characters and "." from a system message.
std::string_view trimSystemText(std::string_view s) {
    while (!s.empty()) {
        auto c = static_cast<unsigned char>(s.back());
        if (c > 32 && c != '.') break;
        // never cut into a double-byte character
        if (sjis::lastCharStart(s) != s.size() - 1) break;
        s.remove_suffix(1);
    }
    return s;
}

Error fileError(ErrorKind kind, std::string_view path, std::string_view systemText,
                std::string_view tailUtf8) {
    SjisString m = sj("ファイル \"");
    m += path;
    m += "\". ";
    m += trimSystemText(systemText);
    m += sj(tailUtf8);
    return Error(kind, std::move(m));
}

// The text a conversion error quotes. A field of a damaged file can be tens
// of kilobytes long; the report shows its start, cut before a character.
SjisString quoted(std::string_view text) {
    constexpr std::size_t kMax = 200;
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = sjis::next(text, end);
        if (next > kMax) break;
        end = next;
    }
    SjisString out = "'";
    out.append(text.substr(0, end));
    out += end < text.size() ? "...'" : "'";
    return out;
}

} // namespace

Error Error::invalidInteger(std::string_view text) {
    return Error(ErrorKind::InvalidInteger, quoted(text) + sj(" は整数ではありません"));
}

Error Error::invalidNumber(std::string_view text) {
    return Error(ErrorKind::InvalidNumber, quoted(text) + sj(" は浮動小数点数ではありません"));
}

Error Error::invalidDateTime(std::string_view text) {
    return Error(ErrorKind::InvalidDateTime, quoted(text) + sj(" は日付または時刻ではありません"));
}

Error Error::listIndex(long long index) {
    return Error(ErrorKind::ListIndex,
                 sj("リストのインデックスが範囲を超えています (") + std::to_string(index) + ")");
}

Error Error::fileOpen(std::string_view path, std::string_view systemText) {
    return fileError(ErrorKind::FileOpen, path, systemText, " は開けません");
}

Error Error::fileCreate(std::string_view path, std::string_view systemText) {
    return fileError(ErrorKind::FileCreate, path, systemText, " を作成できません");
}

Error Error::saveRefused(std::string_view path, std::string_view reason) {
    SjisString m = sj("ファイル \"");
    m += path;
    m += sj("\" には保存しません。");
    m += reason;
    return Error(ErrorKind::FileCreate, std::move(m));
}

Error Error::versionNotKept(std::string_view path, std::string_view systemText) {
    SjisString m = sj("ファイル \"");
    m += path;
    m += sj("\" は保存しましたが、置き換えた内容を以前の版として残せませんでした (");
    m += trimSystemText(systemText);
    m += ")";
    return Error(ErrorKind::FileCreate, std::move(m));
}

Error Error::unreadableLine(long long lineNo, std::string_view line) {
    SjisString m = sj("貼り付ける表の ") + std::to_string(lineNo) + sj(" 行目を読めません: ");
    m += quoted(line);
    return Error(ErrorKind::UnreadableLine, std::move(m));
}

Error Error::nothingToCopy(std::string_view days) {
    SjisString m = days.empty() ? sj("この日には") : SjisString(days) + sj(" には");
    m += sj(
        "ブロックがありません。空の日をコピーしても貼り付け先が消えるだけなので、コピーしません");
    return Error(ErrorKind::NothingToCopy, std::move(m));
}

Error Error::noTimer() {
    return Error(ErrorKind::OutOfResources, sj("タイマーを取得できません"));
}

SjisString reportText(std::string_view message) {
    SjisString out(message);
    if (message.empty()) return out;
    std::string_view last = message.substr(sjis::lastCharStart(message));
    if (last > std::string_view(".")) out += '.';
    return out;
}

} // namespace kab
