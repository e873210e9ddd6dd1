#pragma once
// The month window (月間表): the month's table beside the board, a top-level
// window of its own. It reads the day files with the storage library's one
// reading and shows the day on show as the board shows it, saved or not;
// it follows every step of the board's history and every save, and the
// files that others change. It never changes the board except to move it to
// a day the user opens (double click or Enter on a cell).

#include "report/monthtable.h"

#include <QFileSystemWatcher>
#include <QTimer>
#include <QWidget>
#include <map>

class QLabel;
class QListWidget;
class QPagedPaintDevice;
class QPushButton;
class QTableView;

namespace kab {

class TForm1;

namespace month {

class MonthModel;

class MonthWindow : public QWidget {
    Q_OBJECT
public:
    MonthWindow(TForm1& form, report::Month month);
    ~MonthWindow() override;

    report::Month month() const { return month_; }
    // Another month, read afresh; n months on from the one shown.
    void setMonth(report::Month month);
    void stepMonth(int n);

    // The day on show as the board holds it now. The board's steps ask for
    // it once their paint is done, so that the board never waits for it.
    void followBoard();
    // The day files of the month (and the days around it) read again.
    void reread();

    // The day of a cell opened on the board: false, with a word in the
    // window, for a day the board cannot show.
    bool openDay(const QModelIndex& index);

    // 復元: the work left unsaved on the day of a cell loaded back onto the
    // board (TForm1::restoreUnsaved); false, with a word in the window, when
    // there is none or the board cannot show the day.
    bool restoreDay(const QModelIndex& index);
    QPushButton* restoreButton() const { return restore_; }

    // The table written as .xlsx, or as CSV when path ends in ".csv"; the
    // reason when it could not be written.
    std::optional<QString> exportTo(const QString& path);
    // 書き出し: asks for a file, then writes it.
    void exportMonth();
    // Ctrl+P: the table through the print dialog.
    void print();

    QTableView* table() const { return table_; }
    MonthModel* model() const { return model_; }
    QListWidget* findingsList() const { return findings_; }
    QLabel* status() const { return status_; }

private:
    // A word below the table (none: the line goes).
    void say(const QString& text);
    void rebuild();
    void watchFiles();
    void showFindings();
    void fitRows();

    TForm1& form_;
    report::Month month_;
    std::vector<std::shared_ptr<const report::Day>> files_; // the span the table needs, as read
    std::vector<SjisString> staff_;
    MonthModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* monthLabel_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* findingsHead_ = nullptr;
    QListWidget* findings_ = nullptr;
    // 復元, shown while a day of the month has work left unsaved
    QPushButton* restore_ = nullptr;
    // the days with work left unsaved: true where the day was saved since
    std::map<DateSerial, bool> leftUnsaved_;
    void readLeftUnsaved();
    void showRestore();
    QFileSystemWatcher watcher_;
    QTimer rereadLater_, followLater_;
    std::vector<QString> shownFindings_;
    std::vector<int> rowLines_;
};

// The month's table on pages: A4 landscape, the days' header and the names
// repeated on every page that the staff run onto.
void paintMonthPages(QPagedPaintDevice& device, const report::MonthTable& table,
                     const QString& title);

} // namespace month
} // namespace kab
