// Saving the board: every placed block's record, sorted, replaces the day
// file of the month and day on show.

#include "window/shell/unit1.h"

#include "storage/dayfile.h"
#include "toolkit/environment.h"
#include "toolkit/panel.h"
#include "toolkit/picker.h"
#include "toolkit/text.h"
#include "window/shell/history.h"

namespace kab {

bool TForm1::mayOverwrite(const FilePath& path, std::string_view bytes) {
    const auto known = known_.find(path);
    if (known == known_.end()) return true;
    const storage::DaySnapshot now = storage::takeSnapshot(path);
    // unchanged, gone (nothing to lose), or already what this save writes
    if (now == known->second || !now.exists || now == storage::snapshotOf(bytes)) return true;
    const std::string when = storage::lastChangeText(path);
    const QString message =
        QString::fromUtf8("この日のファイルは、読み込んだ後に%1ほかの人が保存しています。\n%2\n\n"
                          "上書きしますか? 上書きしても、いまのファイルは以前の版として残ります。")
            .arg(when.empty() ? QString()
                              : QString::fromUtf8(" (%1) ").arg(QString::fromUtf8(when)),
                 tk::pathToQt(path));
    return env_.confirmOverwrite(this, applicationTitle(), message);
}

TextList TForm1::dayRecords() const {
    return storage::boardRecords(boardState());
}

void TForm1::spb3Click() {
    // All records are built before anything is written: a block that fails
    // leaves the day file as it was. The file is replaced whole, through a
    // synced temporary file, so no crash leaves half a day behind.
    const TextList records = dayRecords();
    const FilePath path = dayFilePath();
    const SjisString bytes = records.text();
    if (!mayOverwrite(path, bytes)) return; // nothing written: the board stays unsaved
    const int versionError = env_.replaceFile(path, bytes);
    known_[path] = storage::snapshotOf(bytes);
    if (history_) history_->saved();
    // saved all the same; the user is told that the day replaced was not kept
    if (versionError)
        throw Error::versionNotKept(pathText(absolutePath(path)), systemErrorText(versionError));
}

} // namespace kab
