// What a screen reader gets from the self-painting controls: roles, names
// that follow the captions on one line, and the buttons' press action. The
// change events need a live bridge, which offscreen Qt lacks: the end-to-end
// accessibility script listens for them.

#include "toolkit/button.h"
#include "toolkit/label.h"
#include "toolkit/panel.h"

#include <QAccessible>
#include <QCoreApplication>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace kab::test {
namespace {

QAccessibleInterface* iface(QObject* o) {
    return QAccessible::queryAccessibleInterface(o);
}

QString nameOf(QObject* o) {
    QAccessibleInterface* i = iface(o);
    return i ? i->text(QAccessible::Name) : QStringLiteral("<no interface>");
}

// Every control that paints its own caption, behind one setter.
struct Captioned {
    const char* kind;
    std::function<std::unique_ptr<QWidget>()> make;
    std::function<void(QWidget*, const SjisString&)> set;
};

const std::vector<Captioned>& captioned() {
    static const std::vector<Captioned> all = {
        {"label", [] { return std::make_unique<tk::Label>(); },
         [](QWidget* w, const SjisString& c) { static_cast<tk::Label*>(w)->setCaption(c); }},
        {"panel", [] { return std::make_unique<tk::Panel>(); },
         [](QWidget* w, const SjisString& c) { static_cast<tk::Panel*>(w)->setCaption(c); }},
        {"button", [] { return std::make_unique<tk::SpeedButton>(); },
         [](QWidget* w, const SjisString& c) { static_cast<tk::SpeedButton*>(w)->setCaption(c); }},
    };
    return all;
}

TEST(AccessibleControls, CaptionsReachTheNameOnOneLine) {
    const struct {
        const char* caption; // UTF-8, stored as Shift-JIS
        const char* name;
    } table[] = {
        {"鈴木", "鈴木"}, {"9:00\r\n13:00", "9:00 13:00"}, {"a\rb\nc", "a b c"}, {"4.0", "4.0"},
        {"", ""},
    };
    for (const auto& k : captioned()) {
        auto w = k.make();
        for (const auto& c : table) {
            SCOPED_TRACE(testing::Message() << k.kind << " " << c.caption);
            k.set(w.get(), sjis::fromUtf8(c.caption));
            EXPECT_EQ(nameOf(w.get()), QString::fromUtf8(c.name));
        }
        // a name the program gives wins over the caption
        w->setAccessibleName(QStringLiteral("given"));
        k.set(w.get(), "caption");
        EXPECT_EQ(nameOf(w.get()), QStringLiteral("given"));
    }
}

TEST(AccessibleControls, RolesOfWhatTheyLookLike) {
    auto window = std::make_unique<QWidget>();
    auto* child = new QWidget(window.get());
    const struct {
        const char* what;
        std::function<std::unique_ptr<QWidget>()> make;
        QAccessible::Role role;
    } table[] = {
        {"label", [] { return std::make_unique<tk::Label>(); }, QAccessible::StaticText},
        {"panel", [] { return std::make_unique<tk::Panel>(); }, QAccessible::Pane},
        {"button", [] { return std::make_unique<tk::SpeedButton>(); }, QAccessible::Button},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.what);
        auto w = c.make();
        ASSERT_NE(iface(w.get()), nullptr);
        EXPECT_EQ(iface(w.get())->role(), c.role);
    }
    EXPECT_EQ(iface(window.get())->role(), QAccessible::Window);
    // a plain widget inside a window stays a mere container
    EXPECT_EQ(iface(child)->role(), QAccessible::Client);
}

TEST(AccessibleControls, ThePressActionClicksOnceTheReaderIsAnswered) {
    auto b = std::make_unique<tk::SpeedButton>();
    int clicks = 0;
    b->onClick = [&](tk::SpeedButton*) { ++clicks; };
    QAccessibleActionInterface* a = iface(b.get())->actionInterface();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});

    a->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1);

    // nothing for other actions, nor for a disabled button
    a->doAction(QAccessibleActionInterface::setFocusAction());
    b->setEnabled(false);
    a->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1);

    // a button gone before the queued click is no crash
    b->setEnabled(true);
    a->doAction(QAccessibleActionInterface::pressAction());
    b.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1);
}

} // namespace
} // namespace kab::test
