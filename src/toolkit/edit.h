#pragma once
// The single-line edit box and the combo box of the editor panel.

#include "foundation/sjis.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <exception>
#include <functional>
#include <optional>
#include <vector>

namespace kab::tk {

// An edit box. Assigning a different text runs the change handler at once,
// nested; assigning the same text runs nothing. An error of that nested run
// ends the assigning step too, as if the handler had been called from it.
// Within a control batch the text assigned last is shown when it closes.
class Edit : public QLineEdit {
    Q_OBJECT
public:
    explicit Edit(QWidget* parent = nullptr);

    SjisString text() const;
    void setText(const SjisString& text);
    void setCentered(bool on);
    // Shows the text held back by a control batch, notifying nobody again.
    void showHeld();

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    // Closed: the box takes no input method; keys arrive as plain keys, and
    // what an input method commits all the same is dropped.
    void setInputMethodClosed(bool closed) { imClosed_ = closed; }
    // The texts the user may turn the box's text into, by a paste or a drop
    // as by typing: a change to any other is refused whole and the box keeps
    // its text. The program's own assignments are not held to it.
    void setTextRule(std::function<bool(const SjisString&)> rule);

    std::function<void(Edit* sender)> onChange;
    std::function<void(Edit* sender)> onEnter;

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    bool event(QEvent* e) override;
    void focusInEvent(QFocusEvent*) override;
    void inputMethodEvent(QInputMethodEvent*) override;

private:
    void notifyChange();

    int tag_ = 0;
    bool imClosed_ = false;
    int assigning_ = 0;              // depth of program assignments under way
    bool showing_ = false;           // Qt's control takes a held text
    std::exception_ptr nestedError_; // raised by the change handler meanwhile
    std::optional<QString> held_;    // the text a control batch holds back
};

// A combo box with an edit field and a drop-down list. The drop-down is
// built the first time it opens or its list is asked for (Qt's view()):
// most runs of the board never open it.
class ComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit ComboBox(QWidget* parent = nullptr);

    // The chosen entry's text as it was given, bytes that do not convert
    // included; the edit field's text when no entry is chosen.
    SjisString text() const;
    void setItems(const std::vector<SjisString>& items);
    void insertItem(int index, const SjisString& item);
    // Every entry of the drop-down this many pixels high.
    void setItemHeight(int h);
    // As the edit box's.
    void setInputMethodClosed(bool closed) { imClosed_ = closed; }
    // The drop-down, built now if it was not.
    QAbstractItemView* list();

    std::function<void(ComboBox* sender)> onChange;
    std::function<void(ComboBox* sender)> onEnter;

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void showPopup() override;

protected:
    void changeEvent(QEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void inputMethodEvent(QInputMethodEvent*) override;

private:
    bool imClosed_ = false;
    int itemHeight_ = 0;
    QAbstractItemView* list_ = nullptr;
};

} // namespace kab::tk
