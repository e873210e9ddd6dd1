#include "window/month/monthwindow.h"

#include "foundation/atomicfile.h"

#include "report/month_xlsx.h"
#include "storage/dayfile.h"
#include "storage/dayplan.h"
#include "storage/recovery.h"
#include "storage/stafflist.h"
#include "toolkit/application.h"
#include "toolkit/environment.h"
#include "toolkit/module.h"
#include "toolkit/picker.h"
#include "toolkit/printing.h"
#include "toolkit/text.h"
#include "window/month/monthmodel.h"
#include "window/shell/history.h"
#include "window/shell/unit1.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <cmath>

namespace kab::month {

namespace {

QString qs(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString monthTitle(report::Month m) {
    return QString::number(m.year) + QStringLiteral("年") + QString::number(m.month) +
           QStringLiteral("月");
}

// A red frame round the cells that carry findings.
class FindingFrame : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (!index.data(MonthModel::FindingRole).toBool()) return;
        painter->save();
        painter->setPen(QPen(QColor(220, 0, 0), 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(option.rect).adjusted(1, 1, -1, -1));
        painter->restore();
    }
};

} // namespace

MonthWindow::MonthWindow(TForm1& form, report::Month month)
    : QWidget(nullptr, Qt::Window), form_(form), month_(month) {
    setObjectName(QStringLiteral("monthWindow"));
    // closing the board ends the program, whether this window is open or not
    setAttribute(Qt::WA_QuitOnClose, false);
    setAccessibleName(QStringLiteral("月間表"));

    auto* back = new QPushButton(QStringLiteral("<"), this);
    auto* on = new QPushButton(QStringLiteral(">"), this);
    back->setAccessibleName(QStringLiteral("前の月"));
    on->setAccessibleName(QStringLiteral("次の月"));
    for (auto* b : {back, on}) {
        b->setFixedWidth(32);
        b->setFocusPolicy(Qt::TabFocus);
    }
    monthLabel_ = new QLabel(this);
    auto* write = new QPushButton(QStringLiteral("書き出し"), this);
    write->setObjectName(QStringLiteral("exportButton"));
    write->setFocusPolicy(Qt::TabFocus);
    restore_ = new QPushButton(QStringLiteral("復元"), this);
    restore_->setObjectName(QStringLiteral("restoreButton"));
    restore_->setFocusPolicy(Qt::TabFocus);
    restore_->setToolTip(QStringLiteral("選んだ日の保存されていない作業を盤面に戻します"));
    restore_->hide();
    auto* top = new QHBoxLayout;
    top->addWidget(back);
    top->addWidget(monthLabel_);
    top->addWidget(on);
    top->addStretch(1);
    top->addWidget(restore_);
    top->addWidget(write);

    model_ = new MonthModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("monthTable"));
    table_->setAccessibleName(QStringLiteral("月間表"));
    table_->setModel(model_);
    table_->setItemDelegate(new FindingFrame(table_));
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->setTabKeyNavigation(false);
    const QFontMetrics fm(table_->font());
    table_->horizontalHeader()->setDefaultSectionSize(
        fm.horizontalAdvance(QStringLiteral("22:00-翌22:00")) + 10);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    note_ = new QLabel(
        QStringLiteral(
            "時間は枠の長さ。注意の労働時間は休憩 (6時間を超える枠は45分、8時間を超える枠は"
            "60分) を除いた時間で、1日8時間・週40時間 (日曜から土曜) を超えると赤枠にな"
            "ります。"),
        this);
    note_->setWordWrap(true);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("monthStatus"));
    status_->hide();
    status_->setAccessibleName(QStringLiteral("お知らせ"));
    findingsHead_ = new QLabel(this);
    findings_ = new QListWidget(this);
    findings_->setObjectName(QStringLiteral("findingsList"));
    findings_->setAccessibleName(QStringLiteral("注意"));
    findings_->setMaximumHeight(120);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(table_, 1);
    layout->addWidget(note_);
    layout->addWidget(status_);
    layout->addWidget(findingsHead_);
    layout->addWidget(findings_);

    connect(back, &QPushButton::clicked, this, [this] { stepMonth(-1); });
    connect(on, &QPushButton::clicked, this, [this] { stepMonth(1); });
    connect(write, &QPushButton::clicked, this, [this] { tk::guarded([this] { exportMonth(); }); });
    connect(restore_, &QPushButton::clicked, this,
            [this] { tk::guarded([this] { restoreDay(table_->currentIndex()); }); });
    connect(table_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { showRestore(); });
    connect(table_, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { tk::guarded([&] { openDay(index); }); });
    // a click on a finding, or Enter on it, selects its cell
    const auto selectCell = [this](QListWidgetItem* item) {
        const int i = findings_->row(item);
        const auto& all = model_->table().findings;
        if (i < 0 || static_cast<std::size_t>(i) >= all.size()) return;
        const QModelIndex cell = model_->indexOf(all[static_cast<std::size_t>(i)]);
        table_->setCurrentIndex(cell);
        table_->scrollTo(cell);
    };
    connect(findings_, &QListWidget::itemClicked, this, selectCell);
    connect(findings_, &QListWidget::itemActivated, this, selectCell);
    // days chosen for a copy by their headers, and let go by a cell
    connect(table_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        chooseDay(column, QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
    });
    connect(table_, &QAbstractItemView::pressed, this, [this] { chooseDay(-1, false); });
    table_->installEventFilter(this);
    const auto key = [this](QKeySequence keys, auto action) {
        auto* k = new QShortcut(keys, this);
        connect(k, &QShortcut::activated, this, [action] { tk::guarded(action); });
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_P), [this] { print(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_W), [this] { close(); });
    key(QKeySequence(Qt::Key_Escape), [this] { close(); });

    rereadLater_.setSingleShot(true);
    rereadLater_.setInterval(150);
    connect(&rereadLater_, &QTimer::timeout, this, [this] { reread(); });
    // a save by another user renames a new file over the day: the folder
    // changes; a day written in place changes itself
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this](const QString& path) {
        // the board's own steps write there: the day files need no reading
        if (path != tk::pathToQt(storage::recoveryFolder(form_.dataDir())))
            rereadLater_.start();
        else if (!rereadLater_.isActive())
            QTimer::singleShot(150, this, [this] {
                readLeftUnsaved();
                followBoard();
            });
    });
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { rereadLater_.start(); });
    followLater_.setSingleShot(true);
    followLater_.setInterval(0);
    connect(&followLater_, &QTimer::timeout, this, [this] { followBoard(); });
    // other rows: the view forgot the heights it had
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { rowLines_.clear(); });
    form_.history().stepped = [this] { followLater_.start(); };

    resize(1000, 600);
    // the keys move between the cells from the start
    table_->setFocus();
    setMonth(month);
}

MonthWindow::~MonthWindow() {
    form_.history().stepped = nullptr;
}

void MonthWindow::say(const QString& text) {
    status_->setText(text);
    status_->setVisible(!text.isEmpty());
}

void MonthWindow::setMonth(report::Month month) {
    month_ = month;
    const QString title = monthTitle(month);
    monthLabel_->setText(title);
    setWindowTitle(QStringLiteral("月間表 ") + title + QStringLiteral(" - ") +
                   form_.applicationTitle());
    say({});
    reread();
}

void MonthWindow::stepMonth(int n) {
    int m = month_.year * 12 + (month_.month - 1) + n;
    if (m < 12 || m >= 10000 * 12) return;
    setMonth({m / 12, m % 12 + 1});
}

void MonthWindow::reread() {
    const auto span = report::findingSpan(report::firstOf(month_), report::lastOf(month_));
    staff_ = report::staffOf(form_.dataDir());
    readLeftUnsaved();
    files_.clear();
    for (report::Day& d : report::readDays(form_.dataDir(), span))
        files_.push_back(std::make_shared<const report::Day>(std::move(d)));
    watchFiles();
    rebuild();
}

void MonthWindow::readLeftUnsaved() {
    leftUnsaved_.clear();
    std::map<FilePath, bool> unsaved;
    for (const storage::UnsavedDay& day : form_.unsavedDays())
        unsaved[day.dayName] = day.savedSince;
    for (DateSerial d = report::firstOf(month_); d <= report::lastOf(month_); ++d)
        if (const auto found = unsaved.find(inFolder("", storage::dayFileName(d, d)));
            found != unsaved.end())
            leftUnsaved_[d] = found->second;
}

void MonthWindow::watchFiles() {
    if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
    if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
    QStringList paths;
    paths << tk::pathToQt(form_.dataDir()) << tk::pathToQt(storage::staffListPath(form_.dataDir()));
    // the work left unsaved comes and goes there
    paths << tk::pathToQt(storage::recoveryFolder(form_.dataDir()));
    for (const auto& d : files_)
        if (d->exists) paths << tk::pathToQt(d->path);
    watcher_.addPaths(paths);
}

void MonthWindow::followBoard() {
    try {
        rebuild();
    } catch (...) {
        // the table stays as it was: the board goes on whatever happens here
    }
}

void MonthWindow::rebuild() {
    followLater_.stop();
    std::vector<std::shared_ptr<const report::Day>> days = files_;
    // the day on show as the board holds it
    const DateSerial shown = std::floor(form_.dtp0->value());
    bool unsaved = false;
    if (!days.empty() && shown >= days.front()->date && shown <= days.back()->date) {
        try {
            const History& history = form_.history();
            const TextList records = storage::boardRecords(history.board());
            auto& day = days[static_cast<std::size_t>(shown - days.front()->date)];
            const FilePath path = form_.dayFilePath();
            auto board = std::make_shared<report::Day>(report::dayOf(
                shown, path, storage::planDay(records.lines(), decodeDate(shown).year)));
            board->exists = day->exists;
            board->modified = day->modified;
            // the file stays damaged whatever the board holds of it
            board->leftOut = day->leftOut;
            day = std::move(board);
            unsaved = history.unsaved();
        } catch (const Error&) {
            unsaved = true; // a block a save would refuse: the file's day stays
        }
    }
    report::MonthTable t = report::monthTable(month_, std::move(days), staff_);
    if (unsaved && shown >= report::firstOf(month_) && shown <= report::lastOf(month_))
        t.columns[static_cast<std::size_t>(shown - report::firstOf(month_))].unsaved = true;
    for (const auto& [date, savedSince] : leftUnsaved_)
        t.columns[static_cast<std::size_t>(date - report::firstOf(month_))].leftUnsaved =
            savedSince ? report::MonthColumn::LeftUnsaved::Older
                       : report::MonthColumn::LeftUnsaved::Newer;
    model_->setTable(std::move(t));
    fitRows();
    showFindings();
    showRestore();
}

void MonthWindow::showRestore() {
    restore_->setVisible(!leftUnsaved_.empty());
    restore_->setEnabled(leftUnsaved_.contains(model_->dateOf(table_->currentIndex())));
}

bool MonthWindow::restoreDay(const QModelIndex& index) {
    const DateSerial date = model_->dateOf(index);
    if (!leftUnsaved_.contains(date)) return false;
    if (!form_.restoreUnsaved(date)) {
        const Date d = decodeDate(date);
        say(QString::number(d.month) + QStringLiteral("月") + QString::number(d.day) +
            QStringLiteral("日の作業は戻せません (盤面で開ける月の外か、もう残っていません)。"));
        return false;
    }
    say({});
    return true;
}

void MonthWindow::fitRows() {
    const int line = table_->fontMetrics().lineSpacing();
    const int rows = model_->rowCount();
    rowLines_.resize(static_cast<std::size_t>(rows), -1);
    for (int r = 0; r < rows; ++r) {
        const int n = model_->lines(r);
        if (rowLines_[static_cast<std::size_t>(r)] == n) continue;
        rowLines_[static_cast<std::size_t>(r)] = n;
        table_->verticalHeader()->resizeSection(r, n * line + 8);
    }
}

void MonthWindow::showFindings() {
    const report::MonthTable& t = model_->table();
    std::vector<QString> lines;
    lines.reserve(t.findings.size());
    for (const report::Finding& f : t.findings) {
        const Date d = decodeDate(f.date);
        lines.push_back(QString::number(d.month) + QStringLiteral("月") + QString::number(d.day) +
                        QStringLiteral("日 ") + qs(sjis::toUtf8(f.name)) +
                        (f.name.empty() ? QString() : QStringLiteral("  ")) +
                        qs(std::string(report::findingTitle(f.kind))) + QStringLiteral(": ") +
                        qs(f.text));
    }
    findingsHead_->setText(QStringLiteral("注意 (") + QString::number(lines.size()) +
                           QStringLiteral(" 件)"));
    if (lines == shownFindings_) return;
    findings_->clear();
    for (const QString& l : lines)
        findings_->addItem(l);
    shownFindings_ = std::move(lines);
}

bool MonthWindow::openDay(const QModelIndex& index) {
    const DateSerial date = model_->dateOf(index);
    if (date == 0) return false;
    if (!form_.showDay(date)) {
        const Date d = decodeDate(date);
        say(QString::number(d.year) + QStringLiteral("年") + QString::number(d.month) +
            QStringLiteral("月") + QString::number(d.day) +
            QStringLiteral("日は盤面で開ける月 (前後2か月) の外です。盤面は動きません。"));
        return false;
    }
    say({});
    return true;
}

namespace {

report::WriteMonthXlsx* g_xlsx = nullptr;

// The spreadsheet writer: libxlsxwriter and what it needs are mapped with
// the first export alone (lib/kabrelo24-xlsx.so beside the program).
report::WriteMonthXlsx& xlsxWriter() {
    if (!g_xlsx) {
        using Entry = report::WriteMonthXlsx* (*)();
        g_xlsx = reinterpret_cast<Entry>(tk::moduleEntry(QStringLiteral("kabrelo24-xlsx.so"),
                                                         "kabrelo24_xlsx_module",
                                                         "表計算の部品を読み込めません: "))();
    }
    return *g_xlsx;
}

} // namespace

void MonthWindow::useXlsxWriter(report::WriteMonthXlsx* writer) {
    g_xlsx = writer;
}

std::optional<QString> MonthWindow::exportTo(const QString& path) {
    const report::MonthTable& t = model_->table();
    if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
        try {
            replaceExportedFile(tk::pathFromQt(path), report::monthCsv(t));
        } catch (const Error& e) {
            return tk::toQt(e.message());
        }
        return std::nullopt;
    }
    try {
        if (const auto error = xlsxWriter()(t, tk::pathFromQt(path))) return qs(*error);
    } catch (const Error& e) {
        return tk::toQt(e.message());
    }
    return std::nullopt;
}

void MonthWindow::exportMonth() {
    const QString name = QStringLiteral("月間表-%1-%2.xlsx")
                             .arg(month_.year)
                             .arg(month_.month, 2, 10, QLatin1Char('0'));
    const QString path = form_.environment().chooseSaveFile(
        this, QStringLiteral("月間表の書き出し"), name,
        QStringLiteral("Excel ブック (*.xlsx);;CSV (UTF-8) (*.csv)"));
    if (path.isEmpty()) return;
    if (const auto error = exportTo(path))
        say(QStringLiteral("書き出せません: ") + path + QStringLiteral(": ") + *error);
    else
        say(QStringLiteral("書き出しました: ") + path);
}

void MonthWindow::print() {
    tk::PrintRequest request;
    request.a4 = true;
    request.docName =
        QStringLiteral("月間表-%1-%2").arg(month_.year).arg(month_.month, 2, 10, QLatin1Char('0'));
    tk::print(form_.environment(), this, request, [this](const tk::PrintTarget& to) {
        paintMonthPages(to.device, model_->table(), QStringLiteral("月間表 ") + monthTitle(month_));
    });
}

} // namespace kab::month
