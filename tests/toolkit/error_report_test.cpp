#include "foundation/errors.h"
#include "support/fake_environment.h"
#include "toolkit/application.h"
#include "toolkit/button.h"
#include "toolkit/text.h"

#include <QTest>
#include <gtest/gtest.h>

namespace kab::test {
namespace {

class ErrorReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetEnv();
        tk::Application::instance()->setTitle(QStringLiteral("Kabrelo24"));
    }
    void TearDown() override { tk::Application::instance()->setTitle(QStringLiteral("test")); }
};

// An object whose event handler fails, as a handler reached through Qt's
// event delivery would.
class Failing : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw Error::invalidInteger("abc");
        return QObject::event(e);
    }
};

TEST_F(ErrorReportTest, ErrorsEscapingAnEventAreReportedAndTheLoopGoesOn) {
    Failing f;
    QEvent e(QEvent::User);
    QCoreApplication::sendEvent(&f, &e);
    QCoreApplication::postEvent(&f, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    ASSERT_EQ(env().reports.size(), 2u);
    for (const auto& r : env().reports) {
        EXPECT_EQ(r.caption, QStringLiteral("Kabrelo24"));
        EXPECT_EQ(r.message, QStringLiteral("'abc' は整数ではありません."));
    }
}

TEST_F(ErrorReportTest, HandlerErrorsEndTheHandlerWithTheDotRule) {
    struct Case {
        Error error;
        const char* shown;
    } table[] = {
        {Error::invalidInteger(""), "'' は整数ではありません."},
        {Error::invalidNumber("4,0"), "'4,0' は浮動小数点数ではありません."},
        {Error::invalidDateTime("24:00"), "'24:00' は日付または時刻ではありません."},
        {Error::listIndex(1), "リストのインデックスが範囲を超えています (1)"},
    };
    tk::SpeedButton button;
    int after = 0;
    for (const auto& c : table) {
        SCOPED_TRACE(c.shown);
        env().reports.clear();
        button.onClick = [&](tk::SpeedButton*) {
            throw c.error;
            ++after; // never reached: the error ends the handler
        };
        button.resize(20, 20);
        QTest::mouseClick(&button, Qt::LeftButton);
        ASSERT_EQ(env().reports.size(), 1u);
        EXPECT_EQ(env().reports[0].message, QString::fromUtf8(c.shown));
        EXPECT_EQ(env().reports[0].caption, QStringLiteral("Kabrelo24"));
    }
    EXPECT_EQ(after, 0);
}

TEST_F(ErrorReportTest, ReportEndsAMouseGrab) {
    QWidget w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.grabMouse();
    ASSERT_EQ(QWidget::mouseGrabber(), &w);
    tk::guarded([] { throw Error::listIndex(3); });
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(env().reports.size(), 1u);
}

} // namespace
} // namespace kab::test
