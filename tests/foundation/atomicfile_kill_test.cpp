// A process killed at any moment of a stream of saves: the day file holds one
// whole version, never a cut one.

#include "foundation/atomicfile.h"
#include "foundation/versions.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kab {
namespace {

std::string dayOf(int records) {
    std::string day;
    for (int i = 0; i < records; ++i)
        day += "0" + std::to_string(1 + i % 8) + "\\09:30\\4.5\\\x8D\xB2\x93\xA1" +
               std::to_string(i) + "\r\n";
    return day;
}

class AtomicFileKill : public kab::test::TempDirTest {
protected:
    // Checks what a killed stream of saves of a and b left in the folder and
    // removes its temporary files: true when there was one.
    bool checkAndTidy(const std::string& a, const std::string& b) {
        bool temp = false;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir_)) {
            const std::string name = e.path().filename().string();
            const std::string in = e.path().parent_path().filename().string();
            if (e.is_directory() || name == "12;07.txt") continue;
            if (in == "12;07.txt" && name.find_first_not_of("0123456789") == std::string::npos) {
                // a version kept is whole too
                const std::string kept = readBytes(e.path().string());
                EXPECT_TRUE(kept == a || kept == b) << kept.size() << " bytes kept";
                continue;
            }
            // ".<name>." and six characters: a replace, or a version's copy,
            // cut short
            const auto of = replacedByTemporary(name);
            EXPECT_TRUE(of && (in == "12;07.txt"
                                   ? of->find_first_not_of("0123456789") == std::string::npos
                                   : *of == "12;07.txt"))
                << name;
            std::filesystem::remove(e.path());
            temp = true;
        }
        return temp;
    }
};

// Killed at any moment, with hard links and without them (vfat, exfat), where
// the version is a copy: a day file is always there, wholly old or new.
TEST_F(AtomicFileKill, AKilledWriterLeavesOneWholeVersion) {
    const std::string a = dayOf(1), b = dayOf(50);
    const std::string target = path("12;07.txt");

    // finished replaces, counted by the child where the parent can see them
    void* shared = ::mmap(nullptr, sizeof(std::atomic<long>), PROT_READ | PROT_WRITE,
                          MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    auto* done = new (shared) std::atomic<long>(0);

    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> delayUs(0, 4000);
    for (const int linkErrno : {0, EPERM}) {
        SCOPED_TRACE(linkErrno ? "without hard links" : "with hard links");
        std::filesystem::remove_all(path(".versions"));
        writeBytes(target, a);
        FileWriteHooks hooks;
        hooks.linkErrno = linkErrno;
        // the steps around keeping the version, each hit for certain
        for (auto step : {&FileWriteHooks::beforeRename, &FileWriteHooks::afterVersionKept}) {
            pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                FileWriteHooks killed = hooks;
                killed.*step = [] { ::raise(SIGKILL); };
                replaceFileContents(target, b, &killed);
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFSIGNALED(status)) << "the step was not reached";
            EXPECT_EQ(readBytes(target), a);
            EXPECT_TRUE(checkAndTidy(a, b));
        }
        int endedA = 0, endedB = 0, roundsWithTemp = 0;
        long replaces = 0;
        for (int round = 0; round < 40; ++round) {
            SCOPED_TRACE(testing::Message() << "round " << round);
            done->store(0);
            // every save replaces another day, and so keeps a version
            const bool fromA = readBytes(target) == a;
            pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                for (long n = 0;; ++n) {
                    try {
                        replaceFileContents(target, (n % 2 == 0) == fromA ? b : a, &hooks);
                    } catch (...) {
                        ::_exit(1);
                    }
                    done->fetch_add(1);
                }
            }
            // the kill lands somewhere in the stream, not before its first save
            while (done->load() == 0) {
                int status = 0;
                if (::waitpid(child, &status, WNOHANG) == child) FAIL() << "the writer failed";
                std::this_thread::yield();
            }
            std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
            ASSERT_EQ(::kill(child, SIGKILL), 0);
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself";
            replaces += done->load();

            const std::string now = readBytes(target);
            ASSERT_TRUE(now == a || now == b) << now.size() << " bytes";
            (now == a ? endedA : endedB)++;
            roundsWithTemp += checkAndTidy(a, b);
            if (HasFailure()) return;
        }
        // a kill may come before the oldest versions go; the next save drops them
        replaceFileContents(target, readBytes(target) == a ? b : a, &hooks);
        EXPECT_EQ(keptVersions(target).size(), kKeptVersions);
        std::printf("[          ] %s: 40 kills after %ld replaces: %d ended on A, %d on B, "
                    "%d left a temporary file\n",
                    linkErrno ? "no links" : "links", replaces, endedA, endedB, roundsWithTemp);
    }
    ::munmap(shared, sizeof(std::atomic<long>));
}

// A day written in place (it has a second name) and killed before any of the
// write's calls: the day reads, up to the empty line that ends a day file's
// reading, as the old day or exactly the new records, never the old tail.
TEST_F(AtomicFileKill, AKillInAnInPlaceWriteLeavesTheOldDayOrTheNewRecords) {
    const std::string a = dayOf(50), b = dayOf(2);
    const std::string target = path("12;07.txt");
    const auto records = [](const std::string& bytes) {
        const auto end = bytes.find("\r\n\r\n");
        return end == std::string::npos ? bytes : bytes.substr(0, end + 2);
    };
    for (const char* step : {"open", "version", "reserve", "write", "truncate", "sync", "none"}) {
        SCOPED_TRACE(step);
        std::filesystem::remove_all(path(".versions"));
        std::filesystem::remove(path("second-name"));
        writeBytes(target, a);
        ASSERT_EQ(::link(target.c_str(), path("second-name").c_str()), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            FileWriteHooks hooks;
            hooks.inPlaceStep = [step](std::string_view now) {
                if (now == step) ::raise(SIGKILL);
            };
            (void)replaceFileContents(target, b, &hooks);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        const bool killed = WIFSIGNALED(status);
        EXPECT_EQ(killed, std::string_view(step) != "none") << "the step was not reached";
        const std::string now = readBytes(target);
        EXPECT_TRUE(now == a || records(now) == b) << now.size() << " bytes";
        EXPECT_EQ(readBytes(path("second-name")), now) << "written in place";
        EXPECT_TRUE(killed || now == b);
    }
}

} // namespace
} // namespace kab
