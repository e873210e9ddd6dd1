// Runs every window test offscreen inside one application object.

#include "support/fake_environment.h"
#include "toolkit/application.h"
#include "toolkit/printing.h"

#include <QDir>
#include <gtest/gtest.h>
#include <memory>

namespace kab::test {

namespace {
std::unique_ptr<FakeEnvironment> g_env;
}

FakeEnvironment& env() {
    return *g_env;
}

void resetEnv() {
    g_env->reports.clear();
    g_env->opened.clear();
    g_env->openFails.clear();
    g_env->notified.clear();
    g_env->todayValue = 46363;
    g_env->todayFails = false;
    g_env->cursor = {};
    g_env->programFolder.clear();
    g_env->saveHooks = nullptr;
    g_env->printToFile.clear();
    g_env->printDialogs = 0;
    g_env->questions.clear();
    g_env->overwrite = true;
    // no data folder an earlier test made or saved into
    QDir(g_env->dir.path() + QStringLiteral("/data")).removeRecursively();
    // the user's state folder, where recovery files go, starts empty
    const QString state = g_env->dir.path() + QStringLiteral("/state");
    QDir(state).removeRecursively();
    qputenv("XDG_STATE_HOME", state.toUtf8());
    g_env->saveFile.clear();
}

} // namespace kab::test

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    kab::test::g_env = std::make_unique<kab::test::FakeEnvironment>();
    kab::tk::Application app(argc, argv, *kab::test::g_env);
    kab::tk::usePrintModule(kabrelo24_print_module());
    app.setTitle(QStringLiteral("test"));
    int rc = RUN_ALL_TESTS();
    return rc;
}
