// The day's plan on the clipboard and back: Ctrl+Shift+C puts the board's
// records there, Ctrl+Shift+V loads a day's records from there as a dropped
// day file is loaded (the date stays; unsaved until 保存; one step to undo).

#include "window/shell/unit1.h"

#include "foundation/errors.h"
#include "storage/daytable.h"
#include "toolkit/application.h"
#include "toolkit/label.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QShortcut>

namespace kab {

namespace {

// The records as a save writes them, Shift-JIS, CR LF between lines.
const QString dayRecordsType = QStringLiteral("application/x-kabrelo24-day");

} // namespace

void TForm1::addClipboardShortcuts() {
    // Window shortcuts, as Ctrl+P: Qt offers the keys to the focused
    // control first, and none of the board's controls uses them; plain
    // Ctrl+C and Ctrl+V stay the boxes' own.
    const auto add = [this](QKeyCombination keys, const char* name, void (TForm1::*action)()) {
        auto* key = new QShortcut(QKeySequence(keys), this);
        key->setObjectName(QString::fromLatin1(name));
        connect(key, &QShortcut::activated, this,
                [this, action] { tk::guarded([&] { (this->*action)(); }); });
    };
    add(Qt::CTRL | Qt::SHIFT | Qt::Key_C, "copyDayShortcut", &TForm1::copyDay);
    add(Qt::CTRL | Qt::SHIFT | Qt::Key_V, "pasteDayShortcut", &TForm1::pasteDay);
}

void TForm1::copyDay() {
    // not while a block follows the pointer: it lies nowhere yet
    if (drag_.label) return;
    const TextList records = dayRecords();
    // an empty day would only clear the board it is pasted on
    if (records.count() == 0) throw Error::nothingToCopy({});
    auto* data = new QMimeData;
    const SjisString bytes = records.text();
    data->setData(dayRecordsType, QByteArray(bytes.data(), qsizetype(bytes.size())));
    const std::string table = storage::dayTableText(records);
    data->setText(QString::fromUtf8(table.data(), qsizetype(table.size())));
    QGuiApplication::clipboard()->setMimeData(data);
}

void TForm1::pasteDay() {
    if (drag_.label) return;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data) return;
    // Everything is read before the board changes: a text that is no day
    // leaves the board as it is.
    TextList lines;
    if (data->hasFormat(dayRecordsType)) {
        const QByteArray bytes = data->data(dayRecordsType);
        lines = storage::dayLinesOf(std::string_view(bytes.constData(), std::size_t(bytes.size())))
                    .lines;
        if (lines.count() == 0) throw Error::nothingToCopy({});
    } else if (data->hasText()) {
        const QByteArray text = data->text().toUtf8();
        lines = storage::readDayTable(std::string_view(text.constData(), std::size_t(text.size())));
    } else {
        return;
    }
    loadDayLines(lines);
}

} // namespace kab
