// kabrelo24-report: the month's hours per person, a calendar of the blocks
// and the printed page of a day, from the board's data folder, which it
// only ever reads.
//
//   kabrelo24-report [--data DIR] hours YYYY-MM [--csv]
//   kabrelo24-report [--data DIR] calendar YYYY-MM [--name NAME]
//   kabrelo24-report [--data DIR] day YYYY-MM-DD --output FILE.pdf|FILE.png
//   kabrelo24-report [--data DIR] month YYYY-MM [--csv | --xlsx FILE]
//
// Exit status: 0 done; 1 nothing written (a missing folder or one whose
// files cannot be reached, an output that cannot be written); 2 a wrong
// command line; 3 done, but a damaged day file or line, or records past a
// day's fiftieth, were left out (each is named on stderr).
//
// What it writes of names, day files and paths passes report::printable:
// no control character reaches the terminal, the CSV or the calendar.

#include "command/output.h"
#include "foundation/errors.h"
#include "page/daypage_paint.h"
#include "report/calendar.h"
#include "report/daypage.h"
#include "report/listing.h"
#include "report/month.h"
#include "report/month_xlsx.h"
#include "report/monthtable.h"
#include "report/printable.h"
#include "report/stafforder.h"
#include "report/tally.h"

#include <QBuffer>
#include <QGuiApplication>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace kab;

constexpr int kDone = 0, kFailed = 1, kUsage = 2, kLeftOut = 3;
const char* const kProgram = "kabrelo24-report";

const char* const kUsageText =
    "使い方:\n"
    "  kabrelo24-report [--data DIR] hours YYYY-MM [--csv]\n"
    "  kabrelo24-report [--data DIR] calendar YYYY-MM [--name NAME]\n"
    "  kabrelo24-report [--data DIR] day YYYY-MM-DD --output FILE.pdf|FILE.png\n"
    "  kabrelo24-report [--data DIR] month YYYY-MM [--csv | --xlsx FILE]\n"
    "DIR: 日ファイルのフォルダ (既定はプログラムの横の data/)\n";

// One line on stderr; what it quotes (a name, a field, a path) cannot reach
// the terminal as a control character.
void say(const std::string& utf8) {
    std::fprintf(stderr, "%s: %s\n", kProgram, report::printable(utf8).c_str());
}

int usage(const std::string& utf8) {
    say(utf8);
    std::fputs(kUsageText, stderr);
    return kUsage;
}

struct Options {
    std::string command, when;
    FilePath data;
    bool csv = false;
    std::optional<std::string> name, output, xlsx;
};

// Parses argv into options; an error text when it is wrong.
std::optional<std::string> parse(int argc, char** argv, Options& o) {
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* option, auto& into) -> std::optional<std::string> {
            const std::string prefix = std::string(option) + "=";
            if (a.rfind(prefix, 0) == 0) {
                into = a.substr(prefix.size());
            } else if (i + 1 < argc) {
                into = argv[++i];
            } else {
                return std::string(option) + " の後に値がありません";
            }
            return std::nullopt;
        };
        std::optional<std::string> error;
        if (a == "--data" || a.rfind("--data=", 0) == 0)
            error = value("--data", o.data);
        else if (a == "--name" || a.rfind("--name=", 0) == 0)
            error = value("--name", o.name);
        else if (a == "--output" || a.rfind("--output=", 0) == 0)
            error = value("--output", o.output);
        else if (a == "--xlsx" || a.rfind("--xlsx=", 0) == 0)
            error = value("--xlsx", o.xlsx);
        else if (a == "--csv")
            o.csv = true;
        else if (a.size() > 1 && a[0] == '-')
            return "知らないオプションです: " + a;
        else
            words.push_back(a);
        if (error) return error;
    }
    if (words.empty()) return std::string("コマンドがありません");
    o.command = words[0];
    if (o.command != "hours" && o.command != "calendar" && o.command != "day" &&
        o.command != "month")
        return "知らないコマンドです: " + o.command;
    if (words.size() != 2) return o.command + " には日付をひとつ与えてください";
    o.when = words[1];
    if (o.csv && o.command != "hours" && o.command != "month")
        return std::string("--csv は hours と month のものです");
    if (o.xlsx && o.command != "month") return std::string("--xlsx は month だけのものです");
    if (o.xlsx && o.csv) return std::string("--csv と --xlsx はどちらかひとつです");
    if (o.name && o.command != "calendar") return std::string("--name は calendar だけのものです");
    if (o.output && o.command != "day") return std::string("--output は day だけのものです");
    if (o.command == "day" && !o.output) return std::string("day には --output FILE が要ります");
    return std::nullopt;
}

// The program's folder + "data/", as the board finds its folder.
FilePath defaultDataDir() {
    char exe[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return "data/";
    std::string path(exe, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1) + "data/";
}

bool isFolder(const FilePath& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// 0 when the day files in the folder can be reached, else why not: each
// would seem missing, and the month empty. They are opened by their names,
// so a folder that may not be listed but may be searched does.
int folderError(const FilePath& path) {
    return faccessat(AT_FDCWD, path.c_str(), X_OK, AT_EACCESS) == 0 ? 0 : errno;
}

// Names each line left out; true when there was one.
bool reportLeftOut(const std::vector<report::Day>& days) {
    bool any = false;
    for (const auto& day : days) {
        for (const auto& l : day.leftOut) {
            std::string where = day.path;
            if (l.line > 0) where += ": " + std::to_string(l.line) + " 行目";
            say(where + ": " + sjis::toUtf8(l.message));
            any = true;
        }
    }
    return any;
}

void noteEmptyMonth(const std::vector<report::Day>& days, const Options& o) {
    for (const auto& day : days)
        if (day.exists) return;
    say(o.when + " の日ファイルは " + o.data + " にありません");
}

int hours(const Options& o, report::Month month) {
    const auto days = report::readMonth(o.data, month);
    noteEmptyMonth(days, o);
    const bool leftOut = reportLeftOut(days);
    report::Tally t = report::tally(days);
    report::orderByStaff(t.persons, report::staffOf(o.data));
    // the rules of working time and rest, as the month window marks them;
    // double bookings and nameless blocks are told below the table already
    std::vector<report::Finding> rules;
    for (auto& f : report::monthFindings(days, o.data, month))
        if (f.kind != report::FindingKind::DoubleBooking && f.kind != report::FindingKind::Unnamed)
            rules.push_back(std::move(f));
    const std::string ruleText = report::findingsText(rules);
    if (o.csv) {
        // the double bookings and the nameless blocks are no rows of the
        // table: they are told beside it
        const std::string notices = report::noticesText(t);
        if (!notices.empty()) std::fputs(notices.c_str(), stderr);
        if (!ruleText.empty()) std::fputs(("\n" + ruleText).c_str(), stderr);
    }
    if (!command::writeStdout(o.csv ? report::hoursCsv(t)
                                    : report::hoursText(t, month) +
                                          (ruleText.empty() ? "" : "\n" + ruleText)))
        return kFailed;
    return leftOut ? kLeftOut : kDone;
}

int calendar(const Options& o, report::Month month) {
    const auto days = report::readMonth(o.data, month);
    noteEmptyMonth(days, o);
    const bool leftOut = reportLeftOut(days);
    std::optional<SjisString> name;
    if (o.name) {
        name = sjis::fromUtf8(*o.name);
        // a name mistyped gives an empty calendar: say so
        bool found = false;
        for (const auto& day : days)
            for (const auto& s : day.shifts)
                found = found || s.a.name == *name;
        if (!found) say(*o.name + " の枠は " + o.when + " にありません");
    }
    if (!command::writeStdout(report::calendar(days, name))) return kFailed;
    return leftOut ? kLeftOut : kDone;
}

int monthReport(const Options& o, report::Month month) {
    const report::MonthTable t = report::readMonthTable(o.data, month);
    std::vector<report::Day> days;
    for (const auto& d : t.days)
        if (d->date >= report::firstOf(month) && d->date <= report::lastOf(month))
            days.push_back(*d);
    noteEmptyMonth(days, o);
    const bool leftOut = reportLeftOut(days);
    if (o.xlsx) {
        if (command::insideFolder(*o.xlsx, o.data)) {
            say("データフォルダには書きません: " + *o.xlsx);
            return kFailed;
        }
        if (const auto error = report::writeMonthXlsx(t, *o.xlsx)) {
            say(*error);
            return kFailed;
        }
    } else if (!command::writeStdout(o.csv ? report::monthCsv(t) : report::monthText(t))) {
        return kFailed;
    }
    return leftOut ? kLeftOut : kDone;
}

int day(int argc, char** argv, const Options& o, DateSerial date) {
    const std::string& out = *o.output;
    const auto dot = out.rfind('.');
    std::string ext = dot == std::string::npos ? "" : out.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext != "pdf" && ext != "png")
        return usage("--output は .pdf か .png で終わるファイルにしてください: " + out);
    if (command::insideFolder(out, o.data)) {
        say("データフォルダには書きません: " + out);
        return kFailed;
    }
    const report::Day d = report::readDay(o.data, date);
    if (!d.exists) say(d.path + " がありません: 空の日を描きます");
    const bool leftOut = reportLeftOut({d});
    // no window is ever shown: the page is drawn offscreen, with or without
    // a display; Qt's own notes (no runtime folder, say) are no news here
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) say(text.toStdString());
    });
    QGuiApplication app(argc, argv);
    report::DayPage page = report::dayPage(d);
    report::orderByStaff(page.totals, report::staffOf(o.data));
    QByteArray bytes;
    if (ext == "pdf") {
        bytes = page::dayPagePdf(page);
    } else {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        page::dayPageImage(page).save(&buffer, "PNG");
    }
    if (const auto error = command::writeFile(
            out, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
        say(*error);
        return kFailed;
    }
    return leftOut ? kLeftOut : kDone;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsageText, stdout);
            return kDone;
        }
    }
    Options o;
    if (const auto error = parse(argc, argv, o)) return usage(*error);
    if (o.data.empty()) o.data = defaultDataDir();
    if (o.data.back() != '/') o.data += '/';
    if (!isFolder(o.data)) {
        say("データフォルダがありません: " + o.data);
        return kFailed;
    }
    if (const int error = folderError(o.data)) {
        say("データフォルダを読めません: " + o.data + ": " + std::strerror(error));
        return kFailed;
    }
    try {
        if (o.command == "day") {
            const auto date = report::parseDay(o.when);
            if (!date) return usage("日付は YYYY-MM-DD で、ある日を与えてください: " + o.when);
            return day(argc, argv, o, *date);
        }
        const auto month = report::parseMonth(o.when);
        if (!month) return usage("月は YYYY-MM で与えてください: " + o.when);
        if (o.command == "month") return monthReport(o, *month);
        return o.command == "hours" ? hours(o, *month) : calendar(o, *month);
    } catch (const Error& e) {
        say(sjis::toUtf8(e.message()));
        return kFailed;
    } catch (const std::exception& e) {
        // nothing is expected here; whatever it is ends the run with its text
        say(e.what());
        return kFailed;
    }
}
