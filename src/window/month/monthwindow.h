#pragma once
// The month window (月間表): the month's table beside the board, a top-level
// window of its own. It reads the day files with the storage library's one
// reading and shows the day on show as the board shows it, saved or not;
// it follows every step of the board's history and every save, and the
// files that others change. It never changes the board except to move it to
// a day the user opens (double click or Enter on a cell).

#include "report/month_xlsx.h"
#include "report/monthtable.h"
#include "storage/dayfile.h"

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

    // The writer of .xlsx files to use instead of the spreadsheet module
    // (the tests link it in).
    static void useXlsxWriter(report::WriteMonthXlsx* writer);
    // The table written as .xlsx, or as CSV when path ends in ".csv"; the
    // reason when it could not be written.
    std::optional<QString> exportTo(const QString& path);
    // 書き出し: asks for a file, then writes it.
    void exportMonth();
    // Ctrl+P: the table through the print dialog.
    void print();

    // Days chosen by their headers: a click chooses one, Shift extends the
    // choice from the last day clicked (a week, say). A click on a cell
    // ends it, and the table's own keys are back.
    void chooseDay(int column, bool extend);
    // Ctrl+C with days chosen: their records kept for a paste; a day without
    // a block is refused. Ctrl+V on a chosen day: the days copied written
    // onto it and the days after it, each as the board's save writes a day
    // (the day on show is loaded onto the board instead). Ctrl+Z: the last
    // paste taken back where nobody changed the day since.
    void copyDays();
    void pasteDays();
    void undoPaste();
    // The first and last day chosen (0 when none).
    std::pair<DateSerial, DateSerial> chosenDays() const { return {chosenFirst_, chosenLast_}; }

    QTableView* table() const { return table_; }
    MonthModel* model() const { return model_; }
    QListWidget* findingsList() const { return findings_; }
    QLabel* status() const { return status_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

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

    DateSerial chosenAnchor_ = 0, chosenFirst_ = 0, chosenLast_ = 0;
    std::vector<SjisString> copied_; // each day's records, as a save writes them
    // What the last paste wrote, to take it back.
    struct Written {
        DateSerial date;
        FilePath path;
        storage::DaySnapshot before;
        SjisString after;
    };
    std::vector<Written> lastPaste_;
};

// The month's table on pages: A4 landscape, the days' header and the names
// repeated on every page that the staff run onto.
void paintMonthPages(QPagedPaintDevice& device, const report::MonthTable& table,
                     const QString& title);

} // namespace month
} // namespace kab
