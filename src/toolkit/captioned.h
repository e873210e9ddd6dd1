#pragma once
// A control that shows a caption, kept both as the program's text and as the
// text shown, converted once when it changes. Screen readers take the
// caption for the control's name.

#include "foundation/sjis.h"

#include <QWidget>
#include <functional>
#include <utility>

namespace kab::tk {

class Captioned : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    void setCaption(const SjisString& caption);
    const SjisString& caption() const { return caption_; }
    // The caption as shown: line breaks as LF on a control of several lines.
    const QString& captionText() const { return text_; }

    // What a screen reader reads as the control's description, asked for
    // only when one does (a block's row and times).
    std::function<QString()> describe;

protected:
    // A CR LF or a lone CR in the caption breaks the line shown.
    void setMultiLine(bool on) { multiLine_ = on; }
    // Sets a setting of the control's look and paints it again.
    template <typename T, typename V> void restyle(T& setting, V&& value) {
        setting = std::forward<V>(value);
        update();
    }

private:
    SjisString caption_;
    QString text_;
    bool multiLine_ = false;
};

} // namespace kab::tk
