#include "toolkit/accessible.h"

#include "toolkit/button.h"
#include "toolkit/edit.h"
#include "toolkit/grid.h"
#include "toolkit/label.h"
#include "toolkit/panel.h"

#include <QAccessibleWidget>

namespace kab::tk {

namespace {

// The caption is the name, unless the program gave the widget one.
class AccessibleCaptioned : public QAccessibleWidget {
public:
    AccessibleCaptioned(Captioned* c, QAccessible::Role role) : QAccessibleWidget(c, role) {}

    QString text(QAccessible::Text t) const override {
        const auto* control = static_cast<const Captioned*>(widget());
        if (t == QAccessible::Description && control->describe) return control->describe();
        if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(t);
        return accessibleCaption(control->captionText());
    }
};

// A flat button never takes the focus, so a screen reader's press action is
// the only way to it without the mouse.
class AccessibleButton : public AccessibleCaptioned {
public:
    explicit AccessibleButton(SpeedButton* b) : AccessibleCaptioned(b, QAccessible::Button) {}

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& action) override {
        if (action != pressAction() || !widget()->isEnabled()) return;
        // Later, not inside the reader's call: the click may open a modal
        // box, and the reader would wait for its answer until that closes.
        // A button deleted meanwhile takes the queued click with it.
        auto* b = static_cast<SpeedButton*>(widget());
        QMetaObject::invokeMethod(b, &SpeedButton::click, Qt::QueuedConnection);
    }
};

// The name box: named by the program (Qt's own combo box takes its text for
// its name on this platform), its entry as its value, opened by a press.
class AccessibleNameBox : public QAccessibleWidget {
public:
    explicit AccessibleNameBox(ComboBox* c) : QAccessibleWidget(c, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return static_cast<ComboBox*>(widget())->currentText();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action != pressAction() || !widget()->isEnabled()) return;
        auto* c = static_cast<ComboBox*>(widget());
        QMetaObject::invokeMethod(c, &ComboBox::showPopup, Qt::QueuedConnection);
    }
};

bool is(const QString& className, const QMetaObject& meta) {
    return className == QLatin1String(meta.className());
}

} // namespace

QAccessibleInterface* accessibleControl(const QString& className, QObject* object) {
    auto* w = qobject_cast<QWidget*>(object);
    if (!w) return nullptr;
    if (is(className, Label::staticMetaObject))
        return new AccessibleCaptioned(static_cast<Label*>(w), QAccessible::StaticText);
    if (is(className, Panel::staticMetaObject))
        return new AccessibleCaptioned(static_cast<Panel*>(w), QAccessible::Pane);
    if (is(className, SpeedButton::staticMetaObject))
        return new AccessibleButton(static_cast<SpeedButton*>(w));
    if (is(className, StringGrid::staticMetaObject))
        return accessibleGrid(static_cast<StringGrid*>(w));
    if (is(className, ComboBox::staticMetaObject))
        return new AccessibleNameBox(static_cast<ComboBox*>(w));
    // A plain widget as the main window would read as a filler, which
    // screen readers skip instead of announcing the window.
    if (className == QLatin1String("QWidget") && w->windowType() == Qt::Window)
        return new QAccessibleWidget(w, QAccessible::Window);
    return nullptr;
}

void captionChanged(QWidget* control) {
    if (!QAccessible::isActive()) return;
    QAccessibleEvent e(control, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&e);
}

QString accessibleCaption(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

} // namespace kab::tk
