// Loading a day file into the board: the pool is reset, then each record
// fills one block, from block 50 down. A day's lines from elsewhere (the
// clipboard) go through the same steps.

#include "window/shell/unit1.h"

#include "board/geometry.h"
#include "foundation/files.h"
#include "foundation/numbers.h"
#include "storage/dayfile.h"
#include "storage/dayread.h"
#include "toolkit/batch.h"
#include "toolkit/edit.h"
#include "toolkit/environment.h"
#include "toolkit/grid.h"
#include "toolkit/panel.h"
#include "toolkit/picker.h"
#include "toolkit/shape.h"
#include "window/shell/blockstate.h"

namespace kab {

void TForm1::loadDayFile(const FilePath& name) {
    loadDay([&]() -> std::optional<TextList> {
        known_[name] = storage::takeSnapshot(name);
        // a folder or a pipe is no day file, and is never waited on
        auto day = storage::readDayFile(name);
        if (!day) return std::nullopt;
        return std::move(day->lines);
    });
}

void TForm1::loadDayLines(const TextList& lines) {
    loadDay([&]() -> std::optional<TextList> { return lines; });
}

void TForm1::loadDay(const std::function<std::optional<TextList>()>& read) {
    // In every case, also when a record fails: every block shows, none is
    // current, the focus frame is hidden (declared first, so that this runs
    // last).
    struct Finish {
        TForm1* f;
        ~Finish() {
            for (tk::Panel* p : f->panels)
                if (p) p->show();
            f->makeParkedTop();
            f->currentBlock_ = nullptr;
            f->ShapeA->hide();
        }
    } finish{this};
    // Nothing of the board is painted until every record is in, as nothing
    // paints while a handler runs: the blocks are not hidden one by one for
    // that, which would cost a hide and a show with their layout for each.
    // Nor are the board's updates suspended: resuming them marks every block
    // and label for a repaint of its own besides the board's, and Qt paints
    // them twice; its own account of what moved and changed paints each once.
    // Each record passes its start and duration through the editor; the
    // editor's boxes show the last record's alone, laid out once.
    const tk::ControlBatch batch;
    // an empty board, and no more for a day without a file or lines
    resetPool();
    const auto day = read();
    if (!day) return;
    const int year = decodeDate(env_.today()).year;
    // one block a record, from 50 down
    int n = kBlocks;
    for (const SjisString& line : day->lines()) {
        if (line.empty()) break;
        const auto field = storage::splitRecord(line);
        tk::Panel* block = Panel(n);
        currentBlock_ = block;
        blockstate::setBounds(*block, block->x(), board::topOfRow(strToInt(field[0])),
                              block->width());
        block->setCaption(field[3]);
        // a start before 6:00 lies in the next day, as the report reads it
        dtp1->setValue(storage::startOnBoard(strToDateTime(field[1], year)));
        // a different text runs the apply step as the box's own change
        Edit1->setText(field[2]);
        setEndFromDurationText();
        dtp1Change(nullptr);
        // the start as the file has it, not as the apply step wrote it
        block->setHint(storage::joinHint(field[1], Edit1->text()));
        blockstate::setPlaced(*block);
        placeBlock();
        if (--n == 0) break;
    }
}

} // namespace kab
