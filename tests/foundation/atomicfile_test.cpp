#include "foundation/atomicfile.h"
#include "support/temp_dir.h"

#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/versions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <sys/mount.h>
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
        int linkErrno = 0;
    };
    const std::string big(200000, '\x95');
    const Case cases[] = {{"replace", "old contents\r\n", "03\\09:00\\4.0\\x\r\n", 0},
                          {"shorter", "a long old file", "x", 0},
                          {"to empty", "old", "", 0},
                          {"new file", "", "new\r\n", 0},
                          {"short writes", "old", "0123456789", 3},
                          {"large", "old", big, 4096},
                          // vfat, exfat: the version is a copy, the day still one rename
                          {"no hard links", "old\r\n", "new\r\n", 0, EPERM}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string p = path("表.txt");
        std::filesystem::remove(p);
        std::filesystem::remove_all(path(".versions"));
        if (!c.old.empty()) {
            writeBytes(p, c.old);
            ASSERT_EQ(::chmod(p.c_str(), 0640), 0);
        }
        FileWriteHooks hooks;
        hooks.writeChunk = c.writeChunk;
        hooks.linkErrno = c.linkErrno;
        replaceFileContents(p, c.bytes, &hooks);
        EXPECT_EQ(readBytes(p), c.bytes);
        if (c.old.empty()) {
            EXPECT_EQ(entries(), std::vector<std::string>{"表.txt"});
        } else {
            // the version replaced is kept, hidden, with its mode
            EXPECT_EQ(entries(), (std::vector<std::string>{".versions", "表.txt"}));
            const auto kept = keptVersions(p);
            ASSERT_EQ(kept, std::vector<std::string>{path(".versions/表.txt/000001")});
            EXPECT_EQ(readBytes(kept[0]), c.old);
            EXPECT_EQ(modeOf(kept[0]), 0640u);
            EXPECT_EQ(modeOf(p), 0640u);
        }
    }
}

// Each replace keeps the version it replaced as the newest; one that changes
// nothing keeps none; beyond ten the oldest go. The single previous version
// earlier saves kept beside the day becomes the oldest. A version that cannot
// be kept stops no save.
TEST_F(AtomicFile, TheLastTenVersionsAreKept) {
    const std::string p = path("12;07月.txt");
    auto kept = [&] {
        std::vector<std::string> contents;
        for (const auto& v : keptVersions(p))
            contents.push_back(readBytes(v));
        return contents;
    };
    writeBytes(path(".12;07月.txt.prev"), "prev");
    writeBytes(p, "loaded");
    auto day = [](int n) {
        return "0" + std::to_string(1 + n % 8) + "\\09:00\\4.0\\staff" + std::to_string(n) + "\r\n";
    };
    auto days = [&](int from, int to) {
        std::vector<std::string> list;
        for (int n = from; n <= to; ++n)
            list.push_back(day(n));
        return list;
    };
    const struct {
        int first, last; // days saved in turn
        std::vector<std::string> kept;
    } runs[] = {
        {0, 0, {"prev", "loaded"}},
        {0, 0, {"prev", "loaded"}}, // the same bytes again
        {0, 1, {"prev", "loaded", day(0)}},
        // twelve saves of other boards: the ten before the last
        {2, 13, days(3, 12)},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(testing::Message() << "days " << run.first << " to " << run.last);
        for (int n = run.first; n <= run.last; ++n)
            replaceFileContents(p, day(n));
        EXPECT_EQ(readBytes(p), day(run.last));
        EXPECT_EQ(kept(), run.kept);
    }
    EXPECT_FALSE(std::filesystem::exists(path(".12;07月.txt.prev")));
    // a file where the versions go: the day is saved all the same
    std::filesystem::remove_all(path(".versions"));
    writeBytes(path(".versions"), "x");
    EXPECT_EQ(replaceFileContents(p, "after").versionError, ENOTDIR) << "said, not thrown";
    EXPECT_EQ(readBytes(p), "after");
    EXPECT_EQ(readBytes(path(".versions")), "x");
}

// In a folder others may write, what they plant among the versions is no
// version: it neither pushes the numbers to the end of their range nor makes
// a save prune the real ones, and it stays. (Root alone can plant here a file
// of someone else's.) A name swapped for a link while a version is copied
// does not put the link's file among the versions.
TEST_F(AtomicFile, VersionsNobodyElseCanSpoil) {
    const std::string p = path("12;07月.txt"), kept = path(".versions/12;07月.txt/");
    writeBytes(p, "day 0");
    if (::geteuid() == 0) {
        std::filesystem::create_directories(kept);
        for (const char* planted : {"999999", "18446744073709551614", "000005", "000000"}) {
            writeBytes(kept + planted, "planted");
            ASSERT_EQ(::chown((kept + planted).c_str(), 65534, 65534), 0);
        }
    }
    for (int n = 1; n <= 12; ++n)
        EXPECT_EQ(replaceFileContents(p, "day " + std::to_string(n)).versionError, 0);
    std::vector<std::string> names;
    for (const auto& v : keptVersions(p))
        names.push_back(v.substr(kept.size()) + "=" + readBytes(v));
    // 000005 was taken: the save after 000004 keeps 000006
    const std::vector<std::string> want =
        ::geteuid() == 0 ? std::vector<std::string>{"000003=day 2", "000004=day 3", "000006=day 4",
                                                    "000007=day 5", "000008=day 6", "000009=day 7",
                                                    "000010=day 8", "000011=day 9", "000012=day 10",
                                                    "000013=day 11"}
                         : std::vector<std::string>{"000003=day 2", "000004=day 3", "000005=day 4",
                                                    "000006=day 5", "000007=day 6", "000008=day 7",
                                                    "000009=day 8", "000010=day 9", "000011=day 10",
                                                    "000012=day 11"};
    EXPECT_EQ(names, want);
    for (const char* planted : {"999999", "18446744073709551614", "000005", "000000"}) {
        if (::geteuid() == 0) {
            EXPECT_EQ(readBytes(kept + planted), "planted") << planted;
        }
    }

    // written in place (a second name), the name swapped for a link to a
    // secret once the day is open: the version is the day's old bytes
    std::filesystem::remove_all(path(".versions"));
    writeBytes(path("secret"), "secret");
    writeBytes(p, "old day");
    ASSERT_EQ(::link(p.c_str(), path("second").c_str()), 0);
    FileWriteHooks hooks;
    hooks.inPlaceStep = [&](std::string_view step) {
        if (step != "version") return;
        std::filesystem::rename(p, path("aside"));
        std::filesystem::create_symlink(path("secret"), p);
    };
    (void)replaceFileContents(p, "new day", &hooks);
    ASSERT_EQ(keptVersions(p).size(), 1u);
    EXPECT_EQ(readBytes(keptVersions(p)[0]), "old day");
    EXPECT_EQ(readBytes(path("second")), "new day") << "the file opened is the one written";
    EXPECT_EQ(readBytes(path("secret")), "secret");
}

// A link to a file stays a link, and the file it leads to takes the save in
// its own folder (made where it is missing). A link is followed only as the
// kernel follows one in a shared sticky folder (made by the user or by the
// folder's owner), only to a regular file, and only into a folder nobody but
// its owner may write: any other is refused and nothing is written. A name
// that is no link and no regular file becomes a plain file of the user's
// default mode: a device's or a pipe's 0666 is not handed on.
TEST_F(AtomicFile, Links) {
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0666), 0);
    std::filesystem::create_directory(path("sub"));
    std::filesystem::create_directory(path("shared"));
    ASSERT_EQ(::chmod(path("sub").c_str(), 0755), 0);
    ASSERT_EQ(::chmod(path("shared").c_str(), 0777), 0);
    writeBytes(path("sub/day.txt"), "old");
    writeBytes(path("shared/day.txt"), "theirs");
    writeBytes(path("sub/mine.txt"), "mine");
    ASSERT_EQ(::chmod(path("sub/day.txt").c_str(), 0640), 0);
    std::filesystem::create_symlink("/dev/null", path("to-null"));
    std::filesystem::create_symlink(path("fifo"), path("to-fifo"));
    std::filesystem::create_symlink("sub/day.txt", path("to-day"));
    std::filesystem::create_symlink("to-day", path("to-to-day"));
    std::filesystem::create_symlink("sub/none.txt", path("to-none"));
    std::filesystem::create_symlink("shared/day.txt", path("to-shared"));
    std::filesystem::create_symlink("shared/none.txt", path("to-shared-none"));
    std::filesystem::create_symlink("sub/mine.txt", path("planted"));
    // a link someone else made, in a folder of the user's: root alone can
    // make one here
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::lchown(path("planted").c_str(), 65534, 65534), 0);
    }
    const struct {
        const char* name;
        const char* target; // nullptr: the name itself becomes a plain file
        mode_t mode;
        bool refused = false;
    } cases[] = {{"to-null", nullptr, 0, true},
                 {"to-fifo", nullptr, 0, true},
                 {"fifo", nullptr, 0644},
                 {"to-day", "sub/day.txt", 0640},
                 {"to-to-day", "sub/day.txt", 0640},
                 {"to-none", "sub/none.txt", 0644},
                 {"to-shared", "shared/day.txt", 0, true},
                 {"to-shared-none", "shared/none.txt", 0, true},
                 {"planted", "sub/mine.txt", 0, root}};
    const mode_t mask = ::umask(022);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = std::string("new from ") + c.name;
        const auto before = c.refused && std::filesystem::is_regular_file(path(c.name))
                                ? std::optional(readBytes(path(c.name)))
                                : std::nullopt;
        bool saved = true;
        try {
            (void)replaceFileContents(path(c.name), bytes);
        } catch (const Error&) {
            saved = false;
        }
        EXPECT_EQ(saved, !c.refused);
        const auto type = std::filesystem::symlink_status(path(c.name)).type();
        if (c.refused) {
            EXPECT_EQ(type, std::filesystem::file_type::symlink);
            // nothing made where it leads, nothing changed there
            EXPECT_EQ(std::filesystem::is_regular_file(path(c.name)), before.has_value());
            EXPECT_EQ(before ? readBytes(path(c.name)) : "", before.value_or(""));
            continue;
        }
        EXPECT_EQ(readBytes(path(c.name)), bytes);
        EXPECT_EQ(modeOf(path(c.name)), c.mode);
        if (c.target) {
            EXPECT_EQ(type, std::filesystem::file_type::symlink);
            EXPECT_EQ(readBytes(path(c.target)), bytes);
        } else {
            EXPECT_EQ(type, std::filesystem::file_type::regular);
        }
    }
    ::umask(mask);
    // versions beside the file replaced, none for what was no file
    EXPECT_EQ(keptVersions(path("sub/day.txt")).size(), 2u);
    EXPECT_EQ(readBytes(keptVersions(path("sub/day.txt"))[0]), "old");
    EXPECT_EQ(keptVersions(path("sub/none.txt")).size(), 0u);
    EXPECT_FALSE(std::filesystem::exists(path("shared/.versions")));
    EXPECT_EQ(readBytes(path("shared/day.txt")), "theirs");
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

// Where the new file cannot take the old one's place, the old one is written
// over where it lies: in a folder that takes no new file, and when the file
// has a second name, which must see the save too. Room is taken first, so a
// save that does not fit leaves every old byte.
TEST_F(AtomicFile, WrittenInPlace) {
    const std::string old = "a longer old day\r\n";
    ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0); // for the ordinary user
    const struct {
        const char* folder;
        bool asNobody;   // the folder refuses new files to an ordinary user
        bool secondName; // the day has another name outside its folder
        std::size_t size;
        int errorNumber; // 0: saved
    } cases[] = {{"read-only", true, false, 5, 0},
                 {"linked", false, true, 5, 0},
                 // a 64 KiB file system, full, last: skipped where none can be mounted
                 {"full", true, false, 256 * 1024, ENOSPC}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const std::string folder = path(c.folder), day = folder + "/day.txt";
        const std::string bytes(c.size, 'n');
        std::filesystem::create_directory(folder);
        struct Unmount {
            std::string at;
            ~Unmount() {
                if (!at.empty()) ::umount(at.c_str());
            }
        } mounted;
        if (c.errorNumber == ENOSPC) {
            if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0)
                GTEST_SKIP() << "no tmpfs can be mounted here (not root)";
            mounted.at = folder;
        }
        writeBytes(day, old);
        ASSERT_EQ(::chmod(day.c_str(), 0666), 0);
        if (c.secondName) {
            ASSERT_EQ(::link(day.c_str(), path("other-name").c_str()), 0);
        }
        if (mounted.at.size()) {
            std::ofstream filler(folder + "/filler", std::ios::binary);
            const std::string block(4096, 'f');
            while (filler.write(block.data(), block.size()) && filler.flush()) {
            }
        }
        if (c.asNobody) {
            ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
        }
        const std::string want = Error::fileCreate(day, systemErrorText(c.errorNumber)).message();
        // root may create files in any folder: an ordinary user in a child
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            if (c.asNobody && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(3);
            try {
                replaceFileContents(day, bytes);
                ::_exit(c.errorNumber == 0 ? 0 : 1);
            } catch (const Error& e) {
                ::_exit(e.message() == want ? 0 : 2);
            }
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ::chmod(folder.c_str(), 0755);
        ASSERT_TRUE(WIFEXITED(status));
        if (WEXITSTATUS(status) == 3) GTEST_SKIP() << "cannot drop root rights";
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: no error, 2: another error";
        EXPECT_EQ(readBytes(day), c.errorNumber ? old : bytes);
        EXPECT_EQ(modeOf(day), 0666u);
        if (c.secondName) {
            EXPECT_EQ(readBytes(path("other-name")), bytes);
        }
    }
}

} // namespace
} // namespace kab
