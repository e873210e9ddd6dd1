#include "toolkit/edit.h"

#include "toolkit/application.h"
#include "toolkit/batch.h"
#include "toolkit/text.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QListView>
#include <QStyledItemDelegate>
#include <QValidator>
#include <utility>

namespace kab::tk {

namespace {

// Qt's line edit asks its validator about every change the user makes
// (typing, pasting, dropping) and takes back one that turns its text
// invalid; the program's own setText is not taken back.
class RuleValidator : public QValidator {
public:
    RuleValidator(std::function<bool(const SjisString&)> rule, QObject* parent)
        : QValidator(parent), rule_(std::move(rule)) {}
    State validate(QString& input, int&) const override {
        return rule_(fromQt(input)) ? Acceptable : Invalid;
    }

private:
    std::function<bool(const SjisString&)> rule_;
};

// Whether the focused control takes an input method: Qt asks it.
QVariant closedOr(bool closed, Qt::InputMethodQuery query, QVariant answer) {
    return closed && query == Qt::ImEnabled ? QVariant(false) : answer;
}

} // namespace

Edit::Edit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (showing_) return; // notified when the text was assigned
        notifyChange();
    });
}

void Edit::notifyChange() {
    if (!onChange) return;
    if (assigning_ == 0) {
        guarded([this] { onChange(this); }); // the user's change
        return;
    }
    // no error may cross Qt's signal: it is carried past it to setText
    try {
        onChange(this);
    } catch (...) {
        if (!nestedError_) nestedError_ = std::current_exception();
    }
}

SjisString Edit::text() const {
    return fromQt(held_ ? *held_ : QLineEdit::text());
}

void Edit::setText(const SjisString& text) {
    // Qt's control keeps no more than its maximum length
    const QString qt = toQt(text).left(maxLength());
    // the same text changes nothing and notifies nobody: spare the layout
    if (qt == (held_ ? *held_ : QLineEdit::text())) return;
    if (ControlBatch::defers(this)) {
        held_ = qt;
        ControlBatch::holding(this);
        ++assigning_;
        notifyChange();
        --assigning_;
    } else {
        showHeld();
        // A text the user was about to type over stays wholly selected, so the
        // digits typed next replace the program's text instead of joining it.
        const bool typeOver = hasFocus() && selectedText() == QLineEdit::text();
        ++assigning_;
        QLineEdit::setText(qt);
        --assigning_;
        if (typeOver) selectAll();
    }
    if (nestedError_) std::rethrow_exception(std::exchange(nestedError_, nullptr));
}

void Edit::showHeld() {
    if (!held_) return;
    const QString text = *std::exchange(held_, std::nullopt);
    showing_ = true;
    QLineEdit::setText(text);
    showing_ = false;
}

bool Edit::event(QEvent* e) {
    showHeld(); // whatever reaches the box finds its text in Qt's control
    return QLineEdit::event(e);
}

void Edit::setTextRule(std::function<bool(const SjisString&)> rule) {
    setValidator(new RuleValidator(std::move(rule), this));
}

QVariant Edit::inputMethodQuery(Qt::InputMethodQuery query) const {
    return closedOr(imClosed_, query, QLineEdit::inputMethodQuery(query));
}

void Edit::inputMethodEvent(QInputMethodEvent* e) {
    if (imClosed_) return e->accept();
    QLineEdit::inputMethodEvent(e);
}

void Edit::setCentered(bool on) {
    setAlignment(on ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
}

void Edit::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    // The whole text is selected when the focus comes from the keyboard or
    // from the program, so that typing replaces it; a click inside the box
    // places the cursor, and coming back to the window keeps both as they were.
    const Qt::FocusReason r = e->reason();
    if (r != Qt::MouseFocusReason && r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason)
        selectAll();
    if (onEnter) guarded([this] { onEnter(this); });
}

namespace {
class FixedHeightDelegate : public QStyledItemDelegate {
public:
    FixedHeightDelegate(int h, QObject* parent) : QStyledItemDelegate(parent), h_(h) {}
    QSize sizeHint(const QStyleOptionViewItem& o, const QModelIndex& i) const override {
        return {QStyledItemDelegate::sizeHint(o, i).width(), h_};
    }

private:
    int h_;
};
} // namespace

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent) {
    // The edit field as setEditable(true) gives it, without the drop-down
    // that setEditable builds as well.
    auto* field = new QLineEdit(this);
    field->setPalette(palette());
    setLineEdit(field);
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (onChange) guarded([this] { onChange(this); });
    });
}

SjisString ComboBox::text() const {
    const int i = currentIndex();
    if (i >= 0 && currentText() == itemText(i) && itemData(i).isValid())
        return itemData(i).toByteArray().toStdString();
    return fromQt(currentText());
}

void ComboBox::setItems(const std::vector<SjisString>& items) {
    clear();
    for (const SjisString& item : items)
        addItem(toQt(item), QByteArray::fromStdString(item));
}

void ComboBox::insertItem(int index, const SjisString& item) {
    QComboBox::insertItem(index, toQt(item), QByteArray::fromStdString(item));
}

void ComboBox::setItemHeight(int h) {
    itemHeight_ = h;
    if (list_) list_->setItemDelegate(new FixedHeightDelegate(h, list_));
}

QAbstractItemView* ComboBox::list() {
    if (list_) return list_;
    auto* list = new QListView(this);
    list->setUniformItemSizes(true); // every item is one fixed height
    list_ = list;
    setView(list);
    if (itemHeight_ > 0) list->setItemDelegate(new FixedHeightDelegate(itemHeight_, list));
    // the drop-down, a window of its own, takes the box's font as Qt gives
    // it on every change of that font
    QEvent fontChange(QEvent::FontChange);
    QComboBox::changeEvent(&fontChange);
    return list;
}

void ComboBox::showPopup() {
    list();
    QComboBox::showPopup();
}

void ComboBox::changeEvent(QEvent* e) {
    // Qt's own handling of a new font builds the drop-down to hand it on;
    // an unbuilt one takes it when it is built.
    if (e->type() == QEvent::FontChange && !list_) return QWidget::changeEvent(e);
    QComboBox::changeEvent(e);
}

QVariant ComboBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    return closedOr(imClosed_, query, QComboBox::inputMethodQuery(query));
}

void ComboBox::inputMethodEvent(QInputMethodEvent* e) {
    if (imClosed_) return e->accept();
    QComboBox::inputMethodEvent(e);
}

void ComboBox::focusInEvent(QFocusEvent* e) {
    QComboBox::focusInEvent(e);
    if (onEnter) guarded([this] { onEnter(this); });
}

} // namespace kab::tk
