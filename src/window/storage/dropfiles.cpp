// Day files dropped on the window from a file manager: one file, named like a
// day file, is loaded into the board; the date on show stays, so a save then
// copies that day to the day on show.

#include "window/shell/unit1.h"

#include "foundation/files.h"
#include "storage/dayfile.h"
#include "toolkit/application.h"
#include "toolkit/text.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace kab {

void TForm1::dropFiles(const QStringList& paths) {
    if (paths.size() != 1) return;
    // The path is opened as the file system has it; only its name is read as
    // the program's text, to tell a day file.
    const FilePath path = tk::pathFromQt(paths.front());
    if (!storage::looksLikeDayFileName(extractFileName(pathText(path)))) return;
    loadDayFile(path);
}

namespace {

// A drop is taken as a copy, whatever the source proposes: a file manager
// told that its file was moved may delete the user's day file.
void acceptAsCopy(QDropEvent* e) {
    e->setDropAction(Qt::CopyAction);
    e->accept();
}

} // namespace

void TForm1::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls()) acceptAsCopy(e);
}

void TForm1::dragMoveEvent(QDragMoveEvent* e) {
    if (e->mimeData()->hasUrls()) acceptAsCopy(e);
}

void TForm1::dropEvent(QDropEvent* e) {
    QStringList paths;
    for (const QUrl& url : e->mimeData()->urls())
        paths << url.toLocalFile(); // empty for what is not a local file
    tk::guarded([&] { dropFiles(paths); });
    // in every case the drop is finished
    acceptAsCopy(e);
}

} // namespace kab
