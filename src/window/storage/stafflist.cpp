// The staff list: the name box's entries, read again when the list changes
// on disk, and the button that opens the list in the desktop's editor.

#include "window/shell/unit1.h"

#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/sjis.h"
#include "foundation/textlist.h"
#include "storage/stafflist.h"
#include "toolkit/application.h"
#include "toolkit/edit.h"
#include "toolkit/environment.h"
#include "toolkit/text.h"
#include "window/shell/blockstate.h"

#include <QFileSystemWatcher>
#include <QSignalBlocker>
#include <QTimer>

namespace kab {

void TForm1::fillNameBox() {
    const FilePath path = storage::staffListPath(dataDir_);
    staffNames_ = storage::readStaffNames(path);
    cmb1->setItems(staffNames_);
    cmb1->insertItem(0, SjisString(blockstate::kNoName));
    cmb1->setCurrentIndex(0);
}

void TForm1::watchStaffList() {
    auto* watcher = new QFileSystemWatcher(this);
    auto* later = new QTimer(this);
    // an editor's save is several changes in a row; the list is read once
    // they are over
    later->setSingleShot(true);
    later->setInterval(200);
    connect(later, &QTimer::timeout, this, [this, watcher] {
        // an editor that saves by renaming leaves the watch on the file it
        // replaced, and a list may come under another letter case
        const QString list = tk::pathToQt(storage::staffListPath(dataDir_));
        if (!watcher->files().contains(list)) {
            watcher->removePaths(watcher->files());
            watcher->addPath(list);
        }
        tk::guarded([this] { rereadStaffList(); });
    });
    auto changed = [later] { later->start(); };
    connect(watcher, &QFileSystemWatcher::directoryChanged, later, changed);
    connect(watcher, &QFileSystemWatcher::fileChanged, later, changed);
    watcher->addPath(tk::pathToQt(dataDir_));
    watcher->addPath(tk::pathToQt(storage::staffListPath(dataDir_)));
}

void TForm1::rereadStaffList() {
    auto names = storage::readStaffNames(storage::staffListPath(dataDir_));
    if (names == staffNames_) return;
    staffNames_ = std::move(names);
    // only the entries change: no handler runs, so no block's name does
    const SjisString chosen = cmb1->text();
    const QSignalBlocker quiet(cmb1);
    cmb1->setItems(staffNames_);
    cmb1->insertItem(0, SjisString(blockstate::kNoName));
    const int at = cmb1->findData(QByteArray::fromStdString(chosen));
    cmb1->setCurrentIndex(at < 0 ? 0 : at);
}

void TForm1::sbtn1Click() {
    // whatever the letter case of the list's name on disk
    const FilePath path = storage::staffListPath(dataDir_);
    env_.openFile(tk::pathToQt(path), [path](const QString& why) {
        tk::guarded([&] {
            throw Error(ErrorKind::FileOpen,
                        sjis::fromUtf8("職員の名簿 \"") + pathText(absolutePath(path)) +
                            sjis::fromUtf8("\" を開けません: ") + tk::fromQt(why) +
                            sjis::fromUtf8("。テキストエディタ (gedit、mousepad など) を入れるか、"
                                           "ファイルマネージャーから開いてください"));
        });
    });
}

} // namespace kab
