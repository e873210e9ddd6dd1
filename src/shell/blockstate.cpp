#include "shell/blockstate.h"

#include "board/geometry.h"
#include "foundation/textlist.h"
#include "toolkit/label.h"
#include "toolkit/panel.h"

namespace kab::blockstate {

bool isPlaced(const tk::Panel& block) {
    return block.tag() != 0;
}

void setPlaced(tk::Panel& block) {
    block.setTag(1);
}

SjisString twoLines(std::string_view first, std::string_view second) {
    SjisString text(first);
    text += kCrLf;
    text += second;
    return text;
}

void setBounds(tk::Panel& block, int left, int top, int width) {
    block.setGeometry(left, top, width, block.height());
    // A shown block lays out its labels in its resize event; a hidden one
    // gets that event only when shown, so its labels follow here.
    if (block.testAttribute(Qt::WA_PendingResizeEvent)) block.realign();
}

void park(tk::Panel& block, tk::Label& times, tk::Label& duration, int left) {
    block.setTag(0);
    block.setHint({});
    block.setCaption(SjisString(kNoName));
    setBounds(block, left, board::parkingTop, board::parkingWidth);
    times.setCaption({});
    duration.setCaption({});
}

} // namespace kab::blockstate
