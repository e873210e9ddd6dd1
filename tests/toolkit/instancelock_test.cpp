#include "toolkit/instancelock.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kab::test {
namespace {

// Points the lock at a private runtime folder for the test's duration.
class InstanceLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        old = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", dir.path().toUtf8());
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", old); }

    // A child process that takes the lock, reports through a pipe and then
    // sleeps until killed.
    pid_t holdInChild() {
        int fds[2];
        if (pipe(fds) != 0) return -1;
        pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            tk::InstanceLock lock("_kabrelo24");
            char c = lock.acquired() ? 'y' : 'n';
            if (write(fds[1], &c, 1) != 1) _exit(2);
            for (;;)
                pause();
        }
        close(fds[1]);
        char c = 0;
        EXPECT_EQ(read(fds[0], &c, 1), 1);
        close(fds[0]);
        EXPECT_EQ(c, 'y');
        return pid;
    }

    // A copy of the built program, offscreen unless told otherwise, with the
    // test's runtime folder; the copy's data folder is its own, so no run
    // touches the build's day files.
    void startProgram(QProcess& p, const QStringList& unset = {}) {
        const QString exe = dir.path() + QStringLiteral("/prog/kabrelo24");
        if (!QFile::exists(exe)) {
            ASSERT_TRUE(QDir().mkpath(dir.path() + QStringLiteral("/prog/data")));
            ASSERT_TRUE(QFile::copy(QStringLiteral(KABRELO_EXE), exe));
        }
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        for (const QString& name : unset)
            e.remove(name);
        p.setProcessEnvironment(e);
        p.start(exe, {});
    }

    QTemporaryDir dir;
    QByteArray old;
};

TEST_F(InstanceLockTest, LockFileLivesInTheRuntimeFolder) {
    tk::InstanceLock lock("_kabrelo24");
    EXPECT_TRUE(lock.acquired());
    EXPECT_EQ(lock.path(), dir.path().toStdString() + "/_kabrelo24");
}

// Only a folder of the user's own holds the lock: one that another user made,
// or that others may enter, could keep the board from starting or let a
// second copy run.
TEST_F(InstanceLockTest, TheLockFolderIsTheUsersOwn) {
    const std::string base = dir.path().toStdString();
    auto folder = [&](const std::string& name, mode_t mode, bool othersOwn) {
        const std::string p = base + "/" + name;
        ::mkdir(p.c_str(), mode);
        ::chmod(p.c_str(), mode);
        if (othersOwn && ::chown(p.c_str(), 65534, 65534) != 0) return std::string("?");
        return p;
    };
    const std::string own = folder("own", 0700, false), open = folder("open", 0755, false);
    const std::string others = folder("others", 0700, true);
    const std::string link = base + "/link";
    ::symlink(own.c_str(), link.c_str());
    const std::string shared = base + "/runtime-1000", home = base + "/home";
    ::mkdir(home.c_str(), 0755);
    const std::string inHome = home + "/.cache/kabrelo24";
    const struct {
        const char* what;
        tk::InstanceLock::Candidates c;
        std::string want;
    } table[] = {
        {"the session's folder", {own, shared, home}, own},
        {"no session folder: the shared one, made", {"", shared, home}, shared},
        {"a session folder others may enter", {open, shared, home}, shared},
        {"a session folder that is a link", {link, shared, home}, shared},
        {"another user's session folder", {others, shared, home}, shared},
        {"the shared folder made by another user", {"", others, home}, inHome},
        {"the shared folder open to others", {"", open, home}, inHome},
        {"nothing of the user's own", {"", others, ""}, ""},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.what);
        if (c.c.session == "?" || c.c.shared == "?") {
            std::printf("[          ] skipped, no folder can be given to another user: %s\n",
                        c.what);
            continue;
        }
        EXPECT_EQ(tk::InstanceLock::runtimeDir(c.c), c.want);
    }
    struct stat st {};
    ASSERT_EQ(::stat(inHome.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(InstanceLockTest, SecondProcessIsRefusedUntilTheHolderDies) {
    pid_t holder = holdInChild();
    ASSERT_GT(holder, 0);
    {
        tk::InstanceLock second("_kabrelo24");
        EXPECT_FALSE(second.acquired());
    }
    // the holder is killed without any clean-up of its own
    kill(holder, SIGKILL);
    int status = 0;
    waitpid(holder, &status, 0);
    tk::InstanceLock after("_kabrelo24");
    EXPECT_TRUE(after.acquired());
}

TEST_F(InstanceLockTest, TheProgramEndsAtOnceWhileAnotherCopyRuns) {
    tk::InstanceLock held("_kabrelo24");
    ASSERT_TRUE(held.acquired());
    QProcess p;
    startProgram(p);
    ASSERT_TRUE(p.waitForFinished(10000)) << "the second copy kept running";
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
}

TEST_F(InstanceLockTest, TheProgramRunsWhenTheLockIsFree) {
    QProcess p;
    startProgram(p);
    ASSERT_TRUE(p.waitForStarted());
    // still running after a while: it took the lock and opened its window
    EXPECT_FALSE(p.waitForFinished(1500));
    {
        tk::InstanceLock second("_kabrelo24");
        EXPECT_FALSE(second.acquired());
    }
    p.kill();
    p.waitForFinished();
}

// Nowhere to open the window: the program says so and fails, where Qt alone
// would abort with advice to reinstall.
TEST_F(InstanceLockTest, WithoutAnyDisplayTheProgramSaysWhyAndFails) {
    QProcess p;
    startProgram(p, {QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("DISPLAY"),
                     QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("WAYLAND_SOCKET")});
    ASSERT_TRUE(p.waitForFinished(10000)) << "it kept running";
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(p.readAllStandardError(),
              "kabrelo24: no display to open the window on: DISPLAY is not set, "
              "WAYLAND_DISPLAY is not set\n");
}

} // namespace
} // namespace kab::test
