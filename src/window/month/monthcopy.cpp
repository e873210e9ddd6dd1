// Days onto days in the month window: days chosen by their headers are
// copied (Ctrl+C) and written onto a later choice (Ctrl+V), each as the
// board's save writes a day, keeping the day replaced as a version; Ctrl+Z
// takes the last paste back.

#include "window/month/monthwindow.h"

#include "foundation/errors.h"
#include "foundation/files.h"
#include "report/month.h"
#include "storage/boardstate.h"
#include "storage/dayread.h"
#include "storage/daytable.h"
#include "toolkit/application.h"
#include "toolkit/environment.h"
#include "toolkit/picker.h"
#include "toolkit/text.h"
#include "window/month/monthmodel.h"
#include "window/shell/history.h"
#include "window/shell/unit1.h"

#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <unistd.h>

namespace kab::month {

namespace {

QString dayText(DateSerial date) {
    const Date d = decodeDate(date);
    return QString::number(d.month) + QStringLiteral("月") + QString::number(d.day) +
           QStringLiteral("日");
}

// The day's records as the load reads them (none without a file).
TextList recordsOf(const FilePath& path) {
    const auto day = storage::readDayFile(path);
    return day ? day->lines : TextList();
}

} // namespace

bool MonthWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != table_ || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    void (MonthWindow::*action)() = nullptr;
    // The table's own Ctrl+C copies a cell's text: it keeps the key unless
    // days are chosen by their headers. It has no use for Ctrl+Z.
    if (key->matches(QKeySequence::Undo) && !lastPaste_.empty())
        action = &MonthWindow::undoPaste;
    else if (chosenFirst_ != 0 && key->matches(QKeySequence::Copy))
        action = &MonthWindow::copyDays;
    else if (chosenFirst_ != 0 && key->matches(QKeySequence::Paste) && !copied_.empty())
        action = &MonthWindow::pasteDays;
    if (!action) return QWidget::eventFilter(watched, event);
    tk::guarded([&] { (this->*action)(); });
    return true;
}

void MonthWindow::chooseDay(int column, bool extend) {
    const auto& columns = model_->table().columns;
    if (column < 0 || column >= int(columns.size())) {
        chosenAnchor_ = chosenFirst_ = chosenLast_ = 0;
        return;
    }
    const DateSerial date = columns[std::size_t(column)].date;
    if (!extend || chosenAnchor_ == 0) chosenAnchor_ = date;
    chosenFirst_ = std::min(chosenAnchor_, date);
    chosenLast_ = std::max(chosenAnchor_, date);
    const int n = int(chosenLast_ - chosenFirst_) + 1;
    say(n == 1
            ? dayText(chosenFirst_) + QStringLiteral("を選びました")
            : dayText(chosenFirst_) + QStringLiteral("から") + dayText(chosenLast_) +
                  QStringLiteral("まで ") + QString::number(n) + QStringLiteral(" 日を選びました"));
}

void MonthWindow::copyDays() {
    if (chosenFirst_ == 0) return;
    const DateSerial shown = std::floor(form_.dtp0->value());
    std::vector<SjisString> days;
    QStringList empty;
    for (DateSerial d = chosenFirst_; d <= chosenLast_; ++d) {
        // the day on show as the board holds it, as the table shows it
        const TextList records = d == shown ? storage::boardRecords(form_.history().board())
                                            : recordsOf(report::dayPath(form_.dataDir(), d));
        if (records.count() == 0) empty << dayText(d);
        days.push_back(records.text());
    }
    // copying an empty day would only clear the days it is pasted on
    if (!empty.isEmpty()) throw Error::nothingToCopy(tk::fromQt(empty.join(QStringLiteral("、"))));
    copied_ = std::move(days);
    say(QString::number(copied_.size()) +
        QStringLiteral(" 日分をコピーしました。貼り付ける日の見出しを押して Ctrl+V"));
}

void MonthWindow::pasteDays() {
    if (copied_.empty() || chosenFirst_ == 0) return;
    tk::Environment& env = form_.environment();
    const DateSerial shown = std::floor(form_.dtp0->value());
    const DateSerial first = chosenFirst_;
    const auto targets = DateSerial(copied_.size());
    // one question for every planned day the paste writes over
    QStringList planned;
    for (DateSerial d = first; d < first + targets; ++d) {
        if (d == shown) continue;
        try {
            if (recordsOf(report::dayPath(form_.dataDir(), d)).count() > 0) planned << dayText(d);
        } catch (const Error&) {
            planned << dayText(d); // unreadable: asked about as a planned day
        }
    }
    if (!planned.isEmpty() &&
        !env.confirmOverwrite(
            this, windowTitle(),
            QStringLiteral("次の日にはもうブロックがあります。\n") +
                planned.join(QStringLiteral("、")) +
                QStringLiteral("\n\n上書きしますか? 上書きしても、いまのファイルは以前の版として"
                               "残ります。")))
        return;
    std::vector<Written> written;
    SjisString failed;
    bool onBoard = false;
    for (std::size_t i = 0; i < copied_.size(); ++i) {
        const DateSerial d = first + DateSerial(i);
        if (d == shown) {
            // the board's own day is loaded onto it, unsaved, as a paste there
            form_.loadDayLines(storage::dayLinesOf(copied_[i]).lines);
            onBoard = true;
            continue;
        }
        const FilePath path = report::dayPath(form_.dataDir(), d);
        Written w{d, path, storage::takeSnapshot(path), copied_[i]};
        try {
            env.replaceFile(path, copied_[i]); // a version not kept is no failure of the paste
            written.push_back(std::move(w));
        } catch (const Error& e) {
            failed += tk::fromQt(dayText(d)) + ": " + e.message() + "\n";
        }
    }
    lastPaste_ = std::move(written);
    reread();
    say(QString::number(lastPaste_.size()) + QStringLiteral(" 日に貼り付けました") +
        (onBoard ? QStringLiteral("。表示中の日は盤面に読み込みました (保存するまで未保存)")
                 : QString()) +
        QStringLiteral("。Ctrl+Z で元に戻せます"));
    if (!failed.empty())
        throw Error(ErrorKind::FileCreate,
                    sjis::fromUtf8("書き込めなかった日があります:\n") + failed);
}

void MonthWindow::undoPaste() {
    tk::Environment& env = form_.environment();
    QStringList left;
    SjisString failed;
    for (const Written& w : lastPaste_) {
        // a day someone changed since the paste stays as it is now
        if (storage::takeSnapshot(w.path) != storage::snapshotOf(w.after) ||
            (w.before.exists && w.before.size >= 0)) {
            left << dayText(w.date);
            continue;
        }
        try {
            if (w.before.exists)
                env.replaceFile(w.path, w.before.bytes);
            else if (::unlink(w.path.c_str()) != 0)
                throw fileCreateError(w.path, errno);
        } catch (const Error& e) {
            failed += tk::fromQt(dayText(w.date)) + ": " + e.message() + "\n";
        }
    }
    lastPaste_.clear();
    reread();
    say(left.isEmpty()
            ? QStringLiteral("貼り付けを元に戻しました")
            : QStringLiteral("貼り付けを元に戻しました。その後に変わっていた日はそのままです: ") +
                  left.join(QStringLiteral("、")));
    if (!failed.empty())
        throw Error(ErrorKind::FileCreate,
                    sjis::fromUtf8("元に戻せなかった日があります:\n") + failed);
}

} // namespace kab::month
