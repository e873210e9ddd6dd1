// Work left unsaved by an earlier run: the desktop is told of it once at the
// start, and a day's recovery file is loaded back on the month window's
// 復元, as a drop of it would load it.

#include "window/shell/unit1.h"

#include "foundation/datetime.h"
#include "foundation/files.h"
#include "foundation/sjis.h"
#include "storage/dayfile.h"
#include "storage/recovery.h"
#include "toolkit/environment.h"
#include "toolkit/text.h"
#include "window/shell/history.h"

#include <QStringList>
#include <cmath>
#include <cstdlib>

namespace kab {

namespace {

// The date a day file's name stands for: names carry no year, so the one
// nearest today, within a year of it; 0 for none.
DateSerial dateOfName(const FilePath& dayName, DateSerial today) {
    for (int away = 0; away <= 366; ++away)
        for (const int sign : {-1, 1}) {
            const DateSerial d = today + sign * away;
            if (inFolder("", storage::dayFileName(d, d)) == dayName) return d;
            if (away == 0) break;
        }
    return 0;
}

QString dayText(DateSerial date) {
    return tk::toQt(formatDateTime("m", date)) + QStringLiteral("月") +
           tk::toQt(formatDateTime("d", date)) + QStringLiteral("日(") +
           tk::toQt(formatDateTime("aaa", date)) + QStringLiteral(")");
}

} // namespace

std::vector<storage::UnsavedDay> TForm1::unsavedDays() const {
    return storage::unsavedDays(storage::recoveryFolder(dataDir_), dataDir_);
}

void TForm1::tellUnsavedDays() {
    const auto days = unsavedDays();
    if (days.empty()) return;
    const DateSerial today = std::floor(env_.today());
    QStringList lines;
    for (const storage::UnsavedDay& day : days) {
        const DateSerial date = dateOfName(day.dayName, today);
        QString line = date ? dayText(date) : tk::pathToQt(day.dayName);
        if (day.savedSince) line += QStringLiteral(" (その後、日ファイルが保存されています)");
        lines << line;
    }
    lines << QString()
          << QStringLiteral("月間表 (Ctrl+M) でその日を選び、「復元」で盤面に戻せます。");
    env_.notify(QStringLiteral("未保存の作業があります"), lines.join(QLatin1Char('\n')));
}

bool TForm1::restoreUnsaved(DateSerial date) {
    date = std::floor(date);
    const FilePath name = inFolder("", storage::dayFileName(date, date));
    for (const storage::UnsavedDay& day : unsavedDays()) {
        if (day.dayName != name) continue;
        if (!showDay(date)) return false;
        // the day on show loaded, then its recovery file as a drop loads it:
        // one step of its own, unsaved
        history_->settle();
        dropFiles({tk::pathToQt(day.path)});
        history_->settle();
        return true;
    }
    return false;
}

} // namespace kab
