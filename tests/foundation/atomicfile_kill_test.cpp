// A process killed at any moment of a stream of saves: the day file holds one
// whole version, never a cut one.

#include "foundation/atomicfile.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
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

class AtomicFileKill : public kab::test::TempDirTest {};

TEST_F(AtomicFileKill, AKilledWriterLeavesOneWholeVersion) {
    const std::string a = dayOf(1), b = dayOf(50);
    const std::string target = path("12;07.txt");
    writeBytes(target, a);

    // finished replaces, counted by the child where the parent can see them
    void* shared = ::mmap(nullptr, sizeof(std::atomic<long>), PROT_READ | PROT_WRITE,
                          MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    auto* done = new (shared) std::atomic<long>(0);

    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> delayUs(0, 4000);
    int endedA = 0, endedB = 0, roundsWithTemp = 0;
    long replaces = 0;
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        done->store(0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (long n = 0;; ++n) {
                try {
                    replaceFileContents(target, n % 2 ? a : b);
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
        bool temp = false;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) {
            const std::string name = e.path().filename().string();
            if (name == "12;07.txt") continue;
            if (name == ".12;07.txt.prev") {
                // the version replaced is kept whole too
                const std::string kept = readBytes(e.path().string());
                ASSERT_TRUE(kept == a || kept == b) << kept.size() << " bytes kept";
                continue;
            }
            // ".<name>." and six characters: a replace cut short
            ASSERT_EQ(name.rfind(".12;07.txt.", 0), 0u) << name;
            ASSERT_EQ(name.size(), std::string(".12;07.txt.").size() + 6) << name;
            std::filesystem::remove(e.path());
            temp = true;
        }
        roundsWithTemp += temp;
    }
    ::munmap(shared, sizeof(std::atomic<long>));
    std::printf("[          ] 40 kills after %ld replaces: %d ended on A, %d on B, "
                "%d left a temporary file\n",
                replaces, endedA, endedB, roundsWithTemp);
}

} // namespace
} // namespace kab
