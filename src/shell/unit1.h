#pragma once
// The main window: owns every control of the board, the block pool and the
// window-wide values for the program's whole life. Handlers keep the names the
// program gives them and are defined in the folder of their subsystem.

#include "board/pool.h"
#include "foundation/atomicfile.h"
#include "foundation/datetime.h"
#include "toolkit/button.h"
#include "toolkit/edit.h"
#include "toolkit/environment.h"
#include "toolkit/grid.h"
#include "toolkit/label.h"
#include "toolkit/memo.h"
#include "toolkit/pagecontrol.h"
#include "toolkit/panel.h"
#include "toolkit/picker.h"
#include "toolkit/shape.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>

class QKeyEvent;
class QListWidget;
class QWheelEvent;

namespace kab {

class TForm1 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBlocks = board::kBlockCount;

    // Builds the whole control tree, then runs the start-up sequence.
    explicit TForm1(tk::Environment& env, QWidget* parent = nullptr);
    ~TForm1() override;

    tk::Environment& env() const { return env_; }

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
    void setOuterWidth(int width) { setOuterSize(width, outerSize().height()); }
    QSize outerSize() const;
    // Frame and caption around the client area (0 without a window manager).
    QSize frameExtent() const;

    // --- handlers -------------------------------------------------------
    void FormCreate();
    void FormResize();
    void onActivate();

    // grid drawing and range selection
    void SetHeaderTexts();
    void sg1DrawCell(int col, int row, const tk::CellRect& rect, unsigned state);
    void sg1SelectCell(int col, int row, bool& canSelect);
    void sg1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void sg1MouseWheelUp(bool up, Qt::KeyboardModifiers shift, QPoint pos, bool& handled);

    // the block pool
    void SetUpPool();
    void ResetPool();
    // Block number from the panel's name; time and duration labels of a block.
    static int BlockNumber(const tk::Panel* block);
    tk::Label* TimeLabel(const tk::Panel* block) const { return Label(BlockNumber(block)); }
    tk::Label* DurationLabel(const tk::Panel* block) const {
        return Label(BlockNumber(block) + kBlocks);
    }
    // Moves and sizes a block; its labels follow at once.
    static void SetBlockBounds(tk::Panel* block, int left, int top, int width);

    // the block editor
    // The apply step: writes the editor's start and duration into the
    // current block and places it again. sender: Edit1, dtp1, a pressed time
    // label, or none.
    void dtp1Change(QObject* sender);
    // Left and width of the current block from the editor's start and duration.
    void PlaceBlock();
    // One quarter-hour step of the focused control (none: only the end).
    void WheelStep(QWidget* control, bool up);
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
    void DayPickerWheelStep(bool up);
    void LabelAClick();

    // day files and the staff list
    // data folder + "mm;ddaaa.txt" for the month and day on show
    FilePath DayFileName() const;
    void SeedTodaysFile();
    void LoadDayFile(const FilePath& name);
    void spb3Click();
    void FormDropFiles(const QStringList& paths);
    void FillNameBox();
    void sbtn1Click();

    // --- window-wide values ----------------------------------------------
    int hourWidth = 0;
    FilePath dataDir;                  // in the file system's form, like every path
    tk::Panel* currentBlock = nullptr; // the block the editor works on
    tk::GridCoord selAnchor{0, 0};     // set by every select-cell notification
    QPoint grabOffset;                 // press position in the pressed label
    DateSerial currentMonth = 0;       // first day of the month on show; 0 until set

    // --- controls (names as the program knows them) ------------------------
    tk::Panel* PanelA = nullptr;
    tk::PageControl* pgc1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    tk::StringGrid* sg1 = nullptr;
    tk::Panel* PanelC = nullptr;
    tk::Shape* ShapeA = nullptr;
    tk::Label* LabelB = nullptr;
    tk::SpeedButton* spb2 = nullptr;
    tk::SpeedButton* spb1 = nullptr;
    tk::SpeedButton* spb3 = nullptr;
    tk::SpeedButton* sbtn1 = nullptr;
    tk::DateTimePicker* dtp2 = nullptr;
    tk::Edit* Edit1 = nullptr;
    tk::DateTimePicker* dtp1 = nullptr;
    tk::ComboBox* cmb1 = nullptr;
    tk::DateTimePicker* dtp0 = nullptr;
    std::array<tk::Label*, 2 * kBlocks> labels{}; // Label1 .. Label100
    tk::Label* LabelA = nullptr;
    std::array<tk::Panel*, kBlocks> panels{}; // Panel1 .. Panel50
    tk::Memo* Memo1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    tk::Panel* PanelD = nullptr;
    tk::Panel* Shade1 = nullptr;
    tk::Shape* Shape1 = nullptr;
    QTimer* Timer1 = nullptr;

    tk::Panel* Panel(int n) const { return panels.at(static_cast<std::size_t>(n - 1)); }
    tk::Label* Label(int n) const { return labels.at(static_cast<std::size_t>(n - 1)); }

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
    // Label1MouseDown as a label's press handler
    std::function<void(tk::Label*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint)> blockPress();
    void updateSizeLimits();
    // The client area's largest size: the outer limit less the frame.
    QSize maxClientSize() const;
    bool onApplicationEvent(QObject* watched, QEvent* event);
    bool routeWheel(QObject* watched, QWheelEvent* event);
    bool filterEditorKeys(QObject* watched, QKeyEvent* event);
    bool followDrag(QObject* watched, QEvent* event);
    void WriteTimeLabel();
    // The end as the start plus the duration box's text read as hours.
    void SetEndFromDurationText();
    void DropBlock(tk::Label* sender);
    void DropInParking(tk::Panel* block);
    void DropOnBoard(tk::Panel* block, tk::Label* sender);

    tk::Environment& env_;
    SjisString hint_;
    bool created_ = false;
    QObject* appHook_ = nullptr; // wheel routing and activation
    bool routingWheel_ = false;
    // The block being dragged, through its pressed label, until the release.
    struct Drag {
        QPointer<tk::Label> label;
        Qt::MouseButton button = Qt::NoButton;
        QPoint hold; // grabbed point in the block
    } drag_;
};

} // namespace kab
