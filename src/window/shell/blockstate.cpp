#include "window/shell/blockstate.h"

#include "board/geometry.h"
#include "foundation/textlist.h"
#include "toolkit/grid.h"
#include "toolkit/label.h"
#include "toolkit/panel.h"
#include "window/shell/unit1.h"

#include <algorithm>

namespace kab::blockstate {

bool isPlaced(const tk::Panel& block) {
    return block.tag() != 0;
}

void setPlaced(tk::Panel& block) {
    block.setTag(1);
}

SjisString timesText(std::string_view start, std::string_view end) {
    SjisString text(start);
    text += kCrLf;
    text += end;
    return text;
}

void setBounds(tk::Panel& block, int left, int top, int width) {
    block.setGeometry(left, top, width, block.height());
    // A shown block lays out its labels in its resize event; a hidden one
    // gets that event only when shown, so its labels follow here.
    if (block.testAttribute(Qt::WA_PendingResizeEvent)) block.realign();
}

Times shownTimes(const tk::Label& times) {
    TextList lines;
    lines.setText(times.caption());
    const auto line = [&](int i) { return i < lines.count() ? lines.at(i) : SjisString(); };
    return {line(0), line(1)};
}

SjisString description(const tk::Panel& block, const tk::Label& times, const tk::Label& duration) {
    if (!isPlaced(block) || !board::onBoard(block.y())) return sjis::fromUtf8("待機中");
    const Times shown = shownTimes(times);
    return std::to_string(board::rowOfTop(block.y())) + sjis::fromUtf8("行目、") + shown.start +
           sjis::fromUtf8("から") + shown.end + sjis::fromUtf8("まで、") + duration.caption() +
           sjis::fromUtf8("時間");
}

storage::BlockState capture(const tk::Panel& block, const tk::Label& times,
                            const tk::Label& duration) {
    return {block.x(),    block.y(),       block.width(),   block.tag(),
            block.hint(), block.caption(), times.caption(), duration.caption()};
}

void restore(tk::Panel& block, tk::Label& times, tk::Label& duration,
             const storage::BlockState& state) {
    block.setTag(state.tag);
    block.setHint(state.hint);
    block.setCaption(state.name);
    setBounds(block, state.left, state.top, state.width);
    times.setCaption(state.times);
    duration.setCaption(state.duration);
}

namespace {

// emptied, not placed, at the parking spot's top and width
storage::BlockState parkedAt(int left) {
    return {left, board::parkingTop, board::parkingWidth, 0, {}, SjisString(kNoName), {}, {}};
}

} // namespace

void park(tk::Panel& block, tk::Label& times, tk::Label& duration, int left) {
    restore(block, times, duration, parkedAt(left));
}

storage::BlockState parkedState() {
    return parkedAt(board::parkingLeft);
}

} // namespace kab::blockstate

namespace kab {

storage::BoardState TForm1::boardState() const {
    storage::BoardState board;
    // a start that stopped before the pool was set up reads its blocks as
    // they are
    if (!poolSetUp_) const_cast<TForm1*>(this)->makeBlocksDownTo(1);
    for (int n = 1; n <= kBlocks; ++n)
        board.blocks[std::size_t(n - 1)] =
            blockMade(n) ? blockstate::capture(*Panel(n), *Label(n), *Label(n + kBlocks))
                         : blockstate::parkedState();
    // the grid's children lie in their stacking order, the bottom one first
    std::size_t at = 0;
    std::array<bool, kBlocks + 1> seen{};
    for (const QObject* child : sg1->children()) {
        if (child == poolMark_) {
            for (int n = 1; n < madeFrom_; ++n) {
                board.stack[at++] = std::uint8_t(n);
                seen[std::size_t(n)] = true;
            }
            continue;
        }
        const auto found = std::find(panels.begin(), panels.end(), child);
        if (found == panels.end()) continue;
        const int n = int(found - panels.begin()) + 1;
        board.stack[at++] = std::uint8_t(n);
        seen[std::size_t(n)] = true;
    }
    // blocks outside the grid (a start-up that stopped early) below them
    for (int n = 1; at < board.stack.size(); ++n)
        if (!seen[std::size_t(n)]) board.stack[at++] = std::uint8_t(n);
    return board;
}

} // namespace kab
