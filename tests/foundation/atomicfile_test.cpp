#include "foundation/atomicfile.h"
#include "support/temp_dir.h"

#include "foundation/errors.h"
#include "foundation/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kab {
namespace {

class AtomicFile : public kab::test::TempDirTest {
protected:
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static mode_t modeOf(const std::string& p) {
        struct stat st {};
        EXPECT_EQ(::stat(p.c_str(), &st), 0);
        return st.st_mode & 07777;
    }
    // The create error for path carrying the system's text for errorNumber.
    static void expectCreateError(const std::string& p, int errorNumber, FileWriteHooks* hooks,
                                  const std::string& bytes = "new") {
        try {
            replaceFileContents(p, bytes, hooks);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::FileCreate);
            EXPECT_EQ(e.message(), Error::fileCreate(p, systemErrorText(errorNumber)).message());
        }
    }
};

TEST_F(AtomicFile, ReplacesAndCreates) {
    struct Case {
        const char* name;
        std::string old; // empty: no file before
        std::string bytes;
        std::size_t writeChunk;
    };
    const std::string big(200000, '\x95');
    const Case cases[] = {{"replace", "old contents\r\n", "03\\09:00\\4.0\\x\r\n", 0},
                          {"shorter", "a long old file", "x", 0},
                          {"to empty", "old", "", 0},
                          {"new file", "", "new\r\n", 0},
                          {"short writes", "old", "0123456789", 3},
                          {"large", "old", big, 4096}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string p = path("表.txt");
        std::filesystem::remove(p);
        std::filesystem::remove(path(".表.txt.prev"));
        if (!c.old.empty()) writeBytes(p, c.old);
        FileWriteHooks hooks;
        hooks.writeChunk = c.writeChunk;
        replaceFileContents(p, c.bytes, &hooks);
        EXPECT_EQ(readBytes(p), c.bytes);
        if (c.old.empty()) {
            EXPECT_EQ(entries(), std::vector<std::string>{"表.txt"});
        } else {
            // the version replaced stays beside it, hidden
            EXPECT_EQ(entries(), (std::vector<std::string>{".表.txt.prev", "表.txt"}));
            EXPECT_EQ(readBytes(path(".表.txt.prev")), c.old);
        }
    }
}

// Each replace keeps the version it replaced, in place of the one kept
// before; one that changes nothing keeps that one.
TEST_F(AtomicFile, ThePreviousVersionIsTheOneReplaced) {
    const std::string p = path("12;07月.txt"), kept = path(".12;07月.txt.prev");
    writeBytes(p, "loaded\r\n");
    const struct {
        const char* bytes;
        const char* previous;
    } saves[] = {{"first\r\n", "loaded\r\n"},
                 {"second\r\n", "first\r\n"},
                 {"second\r\n", "first\r\n"}, // the same bytes again
                 {"", "second\r\n"}};
    for (const auto& c : saves) {
        SCOPED_TRACE(c.bytes);
        replaceFileContents(p, c.bytes);
        EXPECT_EQ(readBytes(p), c.bytes);
        EXPECT_EQ(readBytes(kept), c.previous);
    }
    EXPECT_EQ(previousVersion("day.txt"), ".day.txt.prev");
}

// Whatever the name leads to, the save gives a plain file of the user's
// default mode: a device's or a pipe's 0666 is not handed on.
TEST_F(AtomicFile, ALinkToADeviceOrAPipeBecomesAPlainFile) {
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0666), 0);
    std::filesystem::create_symlink("/dev/null", path("to-null"));
    std::filesystem::create_symlink(path("fifo"), path("to-fifo"));
    const mode_t mask = ::umask(022);
    for (const char* name : {"to-null", "to-fifo", "fifo"}) {
        SCOPED_TRACE(name);
        replaceFileContents(path(name), "new");
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(path(name))));
        EXPECT_EQ(modeOf(path(name)), 0644u);
        EXPECT_EQ(readBytes(path(name)), "new");
    }
    ::umask(mask);
    EXPECT_FALSE(std::filesystem::exists(path(".to-null.prev")));
}

TEST_F(AtomicFile, KeepsTheOldModeAndGivesANewFileTheDefault) {
    writeBytes(path("ro-group"), "old");
    ASSERT_EQ(::chmod(path("ro-group").c_str(), 0640), 0);
    replaceFileContents(path("ro-group"), "new");
    EXPECT_EQ(modeOf(path("ro-group")), 0640u);

    mode_t mask = ::umask(022);
    replaceFileContents(path("fresh"), "new");
    ::umask(mask);
    EXPECT_EQ(modeOf(path("fresh")), 0644u);
}

// Whatever byte the device fails at, the old file stays whole and no
// temporary file is left behind.
TEST_F(AtomicFile, AFailedWriteAtAnyOffsetLeavesTheOldFile) {
    const std::string old = "01\\09:00\\4.0\\\x8D\xB2\x93\xA1\r\n";
    const std::string payload = "02\\10:30\\2.25\\\x8E\x52\x93\x63\r\n08\\6:00\\8.0\\---\r\n";
    writeBytes(path("day.txt"), old);
    for (std::size_t chunk : {std::size_t{0}, std::size_t{1}, std::size_t{7}}) {
        for (std::size_t n = 0; n < payload.size(); ++n) {
            SCOPED_TRACE(testing::Message() << "chunk " << chunk << ", fail after " << n);
            FileWriteHooks hooks;
            hooks.writeChunk = chunk;
            hooks.failAfter = n;
            hooks.failErrno = n % 2 ? ENOSPC : EIO;
            expectCreateError(path("day.txt"), hooks.failErrno, &hooks, payload);
            ASSERT_EQ(readBytes(path("day.txt")), old);
            ASSERT_EQ(entries(), std::vector<std::string>{"day.txt"});
        }
    }
    FileWriteHooks hooks;
    hooks.failAfter = payload.size(); // the last byte is written: no failure
    replaceFileContents(path("day.txt"), payload, &hooks);
    EXPECT_EQ(readBytes(path("day.txt")), payload);
}

TEST_F(AtomicFile, StoppingBeforeTheRenameLeavesTheOldFile) {
    writeBytes(path("day.txt"), "old");
    FileWriteHooks hooks;
    std::vector<std::string> seen;
    std::string tempContents;
    hooks.beforeRename = [&] {
        seen = entries(); // the synced temporary file sits beside the target
        if (!seen.empty()) tempContents = readBytes(path(seen[0]));
        throw std::runtime_error("crash");
    };
    EXPECT_THROW(replaceFileContents(path("day.txt"), "new", &hooks), std::runtime_error);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].rfind(".day.txt.", 0), 0u) << seen[0];
    EXPECT_EQ(tempContents, "new");
    EXPECT_EQ(readBytes(path("day.txt")), "old");
    EXPECT_EQ(entries(), std::vector<std::string>{"day.txt"});
}

TEST_F(AtomicFile, RefusedTargets) {
    std::filesystem::create_directory(path("dir"));
    struct Case {
        const char* name;
        std::string target;
        int errorNumber;
    };
    const Case cases[] = {{"missing folder", path("gone/day.txt"), ENOENT},
                          {"target is a folder", path("dir"), EISDIR},
                          {"folder name", path("dir/"), EISDIR},
                          {"file as folder", path("plain/x"), ENOTDIR}};
    writeBytes(path("plain"), "keep");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectCreateError(c.target, c.errorNumber, nullptr);
    }
    EXPECT_EQ(readBytes(path("plain")), "keep");
    EXPECT_EQ(entries(), (std::vector<std::string>{"dir", "plain"}));
    EXPECT_TRUE(std::filesystem::is_empty(path("dir")));
}

TEST_F(AtomicFile, ARelativeNameReportsTheAbsolutePath) {
    auto saved = std::filesystem::current_path();
    ASSERT_EQ(::chdir(dir_.c_str()), 0);
    replaceFileContents("rel.txt", "x");
    std::string message;
    try {
        replaceFileContents("gone/rel.txt", "x");
    } catch (const Error& e) {
        message = e.message();
    }
    std::filesystem::current_path(saved);
    EXPECT_EQ(readBytes(path("rel.txt")), "x");
    EXPECT_EQ(message,
              Error::fileCreate(dir_ + "/gone/rel.txt", systemErrorText(ENOENT)).message());
}

TEST_F(AtomicFile, AReadOnlyTargetIsNotReplaced) {
    writeBytes(path("ro.txt"), "old");
    ASSERT_EQ(::chmod(path("ro.txt").c_str(), 0444), 0);
    // Anyone may create and rename in the folder, so only the check on the
    // target itself can refuse.
    ASSERT_EQ(::chmod(dir_.c_str(), 0777), 0);
    const std::string want = Error::fileCreate(path("ro.txt"), systemErrorText(EACCES)).message();
    auto attempt = [&]() -> int {
        try {
            replaceFileContents(path("ro.txt"), "new");
            return 1;
        } catch (const Error& e) {
            return e.message() == want ? 0 : 2;
        }
    };
    int result = 0;
    if (::geteuid() != 0) {
        result = attempt();
    } else {
        // root may write any file: try as an ordinary user in a child
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
            ::_exit(attempt());
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        result = WIFEXITED(status) ? WEXITSTATUS(status) : 4;
        if (result == 3) GTEST_SKIP() << "cannot drop root rights to test a refused write";
    }
    EXPECT_EQ(result, 0) << "1: replaced, 2: other message, 4: child died";
    EXPECT_EQ(readBytes(path("ro.txt")), "old");
    EXPECT_EQ(entries(), std::vector<std::string>{"ro.txt"});
}

// A folder that takes no new file: a day file that may be written is written
// over where it lies instead of being refused.
TEST_F(AtomicFile, InAFolderThatRefusesNewFilesTheFileIsWrittenInPlace) {
    writeBytes(path("day.txt"), "a longer old day\r\n");
    ASSERT_EQ(::chmod(path("day.txt").c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
    // root may create files in any folder: try as an ordinary user in a child
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        try {
            replaceFileContents(path("day.txt"), "new\r\n");
            ::_exit(0);
        } catch (const Error&) {
            ::_exit(1);
        }
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ::chmod(dir_.c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3) GTEST_SKIP() << "cannot drop root rights";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "refused";
    EXPECT_EQ(readBytes(path("day.txt")), "new\r\n");
    EXPECT_EQ(entries(), std::vector<std::string>{"day.txt"});
}

} // namespace
} // namespace kab
