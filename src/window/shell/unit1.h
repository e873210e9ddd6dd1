#pragma once
// The main window: owns every control of the board, the block pool and the
// window-wide values for the program's whole life. Its handlers are defined
// in the folder of their subsystem.
//
// Names fixed by the program's files and callers: the controls (found by
// name at run time, as the layout names them) and the handlers, named after
// control and event (sg1DrawCell, dtp1Change, Label1MouseDown, ...).
// The code's own, in lower camel case: everything else (buildLayout,
// routeWheel, currentBlock(), ...).

#include "board/pool.h"
#include "foundation/datetime.h"
#include "foundation/files.h"
#include "storage/boardstate.h"
#include "storage/dayfile.h"

#include <QColor>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QKeyEvent;
class QListWidget;
class QTimer;
class QWheelEvent;

namespace kab {

class History;

namespace storage {
struct UnsavedDay;
}

namespace tk {
struct CellRect;
class ComboBox;
class DateTimePicker;
class Edit;
class Environment;
class Label;
class Memo;
class PageControl;
class Panel;
class Shape;
class SpeedButton;
class StringGrid;
} // namespace tk

class TForm1 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBlocks = board::kBlockCount;

    // Builds the whole control tree, then runs the start-up sequence.
    explicit TForm1(tk::Environment& env, QWidget* parent = nullptr);
    ~TForm1() override;

    // The window's hint text: source of the application title.
    const SjisString& hint() const { return hint_; }
    // The hint followed by "24": the caption of the window and of every report.
    QString applicationTitle() const;

    // Controls by name: "Panel" or "Label" followed by the decimal number.
    QWidget* findControl(const QString& name) const;

    // Size limits: client area at least 830 x 480, outer size at most
    // 1190 x 550.
    static constexpr int kMinClientWidth = 830;
    static constexpr int kMinClientHeight = 480;
    static constexpr int kMaxOuterWidth = 1190;
    static constexpr int kMaxOuterHeight = 550;
    // Outer size wanted; the size limits hold as for any other change.
    void setOuterSize(int width, int height);
    QSize outerSize() const;
    // Frame and caption around the client area (0 without a window manager).
    QSize frameExtent() const;

    // --- handlers -------------------------------------------------------
    void FormCreate();
    void FormResize();
    void onActivate();

    // grid drawing and range selection
    void setHeaderTexts();
    void sg1DrawCell(int col, int row, const tk::CellRect& rect, unsigned state);
    void sg1SelectCell(int col, int row, bool& canSelect);
    void sg1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void sg1MouseWheelUp(bool up, Qt::KeyboardModifiers shift, QPoint pos, bool& handled);

    // the block pool
    void setUpPool();
    void resetPool();
    // Blocks are made when first asked for, from the 50th down: n and every
    // block above it exist afterwards. A block made once the pool is set up
    // lies parked where the start would have put it, in the stacking order
    // too.
    void makeBlocksDownTo(int n);
    bool blockMade(int n) const { return n >= madeFrom_; }
    // Makes the next block when every block made is placed, so that the
    // parking spot shows the top of its stack.
    void makeParkedTop();
    // Block number from the panel's name; time and duration labels of a block.
    static int blockNumber(const tk::Panel* block);
    tk::Label* timeLabel(const tk::Panel* block) const { return Label(blockNumber(block)); }
    tk::Label* durationLabel(const tk::Panel* block) const {
        return Label(blockNumber(block) + kBlocks);
    }

    // the block editor
    // The apply step: writes the editor's start and duration into the
    // current block and places it again. sender: Edit1, dtp1, a pressed time
    // label, or none.
    void dtp1Change(QObject* sender);
    // Left and width of the current block from the editor's start and duration.
    void placeBlock();
    // One quarter-hour step of the focused control (none: only the end).
    void wheelStep(QWidget* control, bool up);
    void FormMouseWheel(Qt::KeyboardModifiers shift, int wheelDelta, QPoint mousePos,
                        bool& handled);
    void cmb1Change();
    void cmb1Enter(QWidget* sender);
    // Key filters: a key or character set to 0 is dropped.
    void cmb1KeyDown(int& key);
    void cmb1KeyPress(char& key);
    void Edit1KeyPress(char& key);
    // The control of this window that has the keyboard focus, or none.
    QWidget* focusedControl() const;

    // dragging blocks
    void Label1MouseDown(tk::Label* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                         int x, int y);
    void Timer1Timer();

    // days and months
    void spb1Click(QObject* sender);
    void dtp0Change();
    void dayPickerWheelStep(bool up);
    void LabelAClick();

    // day files and the staff list
    // data folder + "mm;ddaaa.txt" for the month and day on show
    FilePath dayFilePath() const;
    void seedTodaysFile();
    void loadDayFile(const FilePath& name);
    // A day's lines, as a day file's are read, loaded as that file would be;
    // what the board's day file holds is not touched.
    void loadDayLines(const TextList& lines);
    // What every block's controls hold and the order the blocks lie in: the
    // one reading of the board, for the history, the save and the page.
    storage::BoardState boardState() const;
    // The records a save writes of the board on show, sorted; throws as the
    // save does for a block it cannot write.
    TextList dayRecords() const;
    void spb3Click();
    // Ctrl+Shift+C: the board's records on the clipboard, as the program's
    // own type and as a table a spreadsheet takes. Ctrl+Shift+V: the
    // clipboard's records (the program's type first, else such a table)
    // loaded onto the board as a dropped day file is.
    void copyDay();
    void pasteDay();
    void dropFiles(const QStringList& paths);
    void fillNameBox();
    // The list read again whenever it or the data folder changes on disk.
    void watchStaffList();
    // The name box takes the list's names as they are now; the chosen one
    // stays chosen while the list has it, and no handler runs.
    void rereadStaffList();
    void sbtn1Click();
    // Work left unsaved by earlier runs: the days of the user's recovery
    // files for this data folder; the desktop told of them (once, at the
    // start); a day's file loaded back as a drop of it loads, after the
    // board moved to that day (false, nothing done, when the day has none or
    // the board cannot show it).
    std::vector<storage::UnsavedDay> unsavedDays() const;
    void tellUnsavedDays();
    bool restoreUnsaved(DateSerial date);

    // printing (Ctrl+P): the day on show through the print dialog
    void printDay();

    // the month window (Ctrl+M): opened for the month on show, raised when
    // open
    void showMonthWindow();
    QWidget* monthWindow() const { return monthWindow_.get(); }
    // The board moved to date as the day picker or the month buttons would
    // (one step to undo); false, moving nothing, for a date outside the
    // months the buttons reach. The day on show stays as it is.
    bool showDay(DateSerial date);

    // --- window-wide values, written by the handlers ---------------------
    int hourWidth() const { return hourWidth_; }
    const FilePath& dataDir() const { return dataDir_; }
    // The block the editor works on, or none.
    tk::Panel* currentBlock() const { return currentBlock_; }
    void setCurrentBlock(tk::Panel* block) { currentBlock_ = block; }
    QPoint grabOffset() const { return grabOffset_; }
    DateSerial currentMonth() const { return currentMonth_; }
    void setCurrentMonth(DateSerial month) { currentMonth_ = month; }

    // Undo, redo, the window's keys and the recovery files (window/shell/history.h).
    History& history() const { return *history_; }
    tk::Environment& environment() const { return env_; }

    // --- controls, by the names the program knows them by -----------------
    tk::Panel *PanelA = nullptr, *PanelC = nullptr, *PanelD = nullptr;
    tk::PageControl* pgc1 = nullptr;
    QWidget *TabSheet1 = nullptr, *TabSheet2 = nullptr, *TabSheet3 = nullptr;
    tk::StringGrid* sg1 = nullptr;
    tk::Shape* ShapeA = nullptr;
    tk::Label *LabelA = nullptr, *LabelB = nullptr;
    tk::SpeedButton *spb1 = nullptr, *spb2 = nullptr, *spb3 = nullptr, *sbtn1 = nullptr;
    tk::DateTimePicker *dtp0 = nullptr, *dtp1 = nullptr, *dtp2 = nullptr;
    tk::Edit* Edit1 = nullptr;
    tk::ComboBox* cmb1 = nullptr;
    // Label1 .. Label100 and Panel1 .. Panel50, null until made: ask with
    // Label(n) and Panel(n)
    std::array<tk::Label*, 2 * kBlocks> labels{};
    std::array<tk::Panel*, kBlocks> panels{};
    tk::Memo* Memo1 = nullptr;
    QListWidget* ListBox1 = nullptr; // with PanelD, none until findControl asks
    tk::Panel* Shade1 = nullptr;     // the drop ghost, and its frame
    tk::Shape* Shape1 = nullptr;
    QTimer* Timer1 = nullptr;

    // a block asked for is made first
    tk::Panel* Panel(int n) const {
        const_cast<TForm1*>(this)->makeBlocksDownTo(n);
        return panels.at(static_cast<std::size_t>(n - 1));
    }
    tk::Label* Label(int n) const {
        const_cast<TForm1*>(this)->makeBlocksDownTo(n > kBlocks ? n - kBlocks : n);
        return labels.at(static_cast<std::size_t>(n - 1));
    }

protected:
    void resizeEvent(QResizeEvent*) override;
    void showEvent(QShowEvent*) override;
    void moveEvent(QMoveEvent*) override;
    void changeEvent(QEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent*) override;
    void dragMoveEvent(QDragMoveEvent*) override;
    void dropEvent(QDropEvent*) override;

private:
    void buildLayout();
    void buildEditorPanel();
    void buildHoldingPage();
    void buildBlock(int n);
    void setUpBlock(int n);
    // ListBox1 and PanelD, once
    void buildListPage();
    void addPrintShortcut();
    void addMonthShortcut();
    void addClipboardShortcuts();
    // The pool reset, then the lines read() gives (none: an empty board)
    // loaded one block a record.
    void loadDay(const std::function<std::optional<TextList>()>& read);
    // Label1MouseDown as a label's press handler
    std::function<void(tk::Label*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint)> blockPress();
    void updateSizeLimits();
    // The client area's largest size: the outer limit less the frame.
    QSize maxClientSize() const;
    bool routeWheel(QObject* watched, QWheelEvent* event);
    bool filterEditorKeys(QObject* watched, QKeyEvent* event);
    bool followDrag(QObject* watched, QEvent* event);
    void writeTimeLabel();
    // The end as the start plus the duration box's text read as hours.
    void setEndFromDurationText();
    void dropBlock(tk::Label* sender);
    void dropInParking(tk::Panel* block);
    void dropOnBoard(tk::Panel* block, tk::Label* sender);

    tk::Environment& env_;
    SjisString hint_;
    bool created_ = false;
    bool routingWheel_ = false;

    int hourWidth_ = 0;
    // The pool: blocks madeFrom_ .. 50 exist; their colours, drawn at the
    // set-up; and the place in the grid's stacking order where the blocks not
    // made yet lie, below every block made after the set-up.
    int madeFrom_ = kBlocks + 1;
    bool poolSetUp_ = false;
    std::array<QColor, kBlocks> blockColours_{};
    QWidget* poolMark_ = nullptr;
    FilePath dataDir_;                   // in the file system's form, like every path
    std::vector<SjisString> staffNames_; // as the name box last took them
    tk::Panel* currentBlock_ = nullptr;
    int selAnchorCol_ = 0, selAnchorRow_ = 0; // set by every select-cell notification
    QPoint grabOffset_;                       // press position in the pressed label
    DateSerial currentMonth_ = 0;             // first day of the month on show; 0 until set

    // The block being dragged, through its pressed label and the button that
    // pressed it, until that button's release.
    struct Drag {
        QPointer<tk::Label> label;
        Qt::MouseButton button = Qt::NoButton;
    } drag_;

    std::unique_ptr<History> history_;
    // Each day file as the board last loaded or saved it: a save asks before
    // it writes over what someone else saved since.
    std::map<FilePath, storage::DaySnapshot> known_;
    // Whether the day file may be written: not when someone else saved it
    // since the board read it, unless the user says so.
    bool mayOverwrite(const FilePath& path, std::string_view bytes);
    // a top-level window of its own, gone before the history it follows
    std::unique_ptr<QWidget> monthWindow_;
};

} // namespace kab
