#pragma once
// A hidden multi-line text holder without word wrap: its lines are exactly the
// pieces of its text between line breaks.

#include "foundation/sjis.h"

#include <QWidget>

namespace kab::tk {

class Memo : public QWidget {
    Q_OBJECT
public:
    explicit Memo(QWidget* parent = nullptr);

    void setText(const SjisString& text) { text_ = text; }
    const SjisString& text() const { return text_; }
    // A line at or beyond the last one is empty; asking for it is no error.
    SjisString line(int i) const;

private:
    SjisString text_;
};

} // namespace kab::tk
