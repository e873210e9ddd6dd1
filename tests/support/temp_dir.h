#pragma once
// A fresh directory per test, removed afterwards, with byte-exact file helpers.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace kab::test {

class TempDirTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kab-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        // getcwd reports the resolved path, so compare against that
        std::error_code ec;
        dir_ = std::filesystem::canonical(pattern, ec).string();
        ASSERT_FALSE(ec);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    static void writeBytes(const std::string& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    static std::string readBytes(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    std::string dir_;
};

// Bytes this process has taken in through read calls so far (its "rchar"):
// what a read read, however long the machine took for it.
inline long long bytesRead() {
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    ADD_FAILURE() << "no rchar in /proc/self/io";
    return 0;
}

} // namespace kab::test
