#include "support/form_fixture.h"

#include <QApplication>
#include <QTest>

namespace kab::test {

void FormTest::SetUp() {
    // nothing of an earlier test's window may reach this one
    QCoreApplication::processEvents();
    resetEnv();
    form = std::make_unique<TForm1>(env());
}

void FormTest::TearDown() {
    form.reset();
    QCoreApplication::processEvents();
    // the next test starts with no active window, as the program does
    QApplication::setActiveWindow(nullptr);
}

void FormTest::showForm() {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
}

} // namespace kab::test
