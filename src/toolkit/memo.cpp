#include "toolkit/memo.h"

#include "foundation/textlist.h"

namespace kab::tk {

Memo::Memo(QWidget* parent) : QWidget(parent) {}

SjisString Memo::line(int i) const {
    TextList l;
    l.setText(text_);
    return i >= 0 && i < l.count() ? l.at(i) : SjisString();
}

} // namespace kab::tk
