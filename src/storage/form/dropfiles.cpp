// Day files dropped on the window from a file manager: one file, named like a
// day file, is loaded into the board; the date on show stays, so a save then
// copies that day to the day on show.

#include "shell/unit1.h"

#include "foundation/files.h"
#include "storage/dayfile.h"
#include "toolkit/application.h"
#include "toolkit/text.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace kab {

void TForm1::FormDropFiles(const QStringList& paths) {
    if (paths.size() != 1) return;
    const SjisString path = tk::pathFromQt(paths.front());
    if (!storage::looksLikeDayFileName(extractFileName(path))) return;
    LoadDayFile(path);
}

// A drop only reads the file: always a copy, whatever the source proposes (a
// file manager proposing a move would delete the day file it thinks moved).
void TForm1::dragEnterEvent(QDragEnterEvent* e) {
    if (!e->mimeData()->hasUrls()) return;
    e->setDropAction(Qt::CopyAction);
    e->accept();
}

void TForm1::dragMoveEvent(QDragMoveEvent* e) {
    if (!e->mimeData()->hasUrls()) return;
    e->setDropAction(Qt::CopyAction);
    e->accept();
}

void TForm1::dropEvent(QDropEvent* e) {
    QStringList paths;
    for (const QUrl& url : e->mimeData()->urls())
        paths << url.toLocalFile(); // empty for what is not a local file
    tk::guarded([&] { FormDropFiles(paths); });
    // in every case the drop is finished
    e->setDropAction(Qt::CopyAction);
    e->accept();
}

} // namespace kab
