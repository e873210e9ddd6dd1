// Build step: puts the first-run staff list and sample day into the data
// folder unless the user's own files are already there.
//
//   kabrelo_seed DATA_DIR LIST_SOURCE SAMPLE_SOURCE

#include "foundation/errors.h"
#include "storage/seeding.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

bool readSource(const char* path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    out = text.str();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    using namespace kab;
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s DATA_DIR LIST_SOURCE SAMPLE_SOURCE\n", argv[0]);
        return 2;
    }
    std::string list, sample;
    for (auto [path, out] : {std::pair{argv[2], &list}, std::pair{argv[3], &sample}}) {
        if (!readSource(path, *out)) {
            std::fprintf(stderr, "%s: cannot read %s\n", argv[0], path);
            return 1;
        }
    }
    // the folder as the file system names it, whatever characters it holds
    FilePath dir = argv[1];
    if (!dir.empty() && dir.back() != '/') dir += '/';
    try {
        if (storage::seedStaffList(dir, list)) std::printf("seeded %sList1.txt\n", dir.c_str());
        if (storage::seedSampleDay(dir, sample)) std::printf("seeded %ssmpl.dat\n", dir.c_str());
    } catch (const Error& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], sjis::toUtf8(e.message()).c_str());
        return 1;
    }
    return 0;
}
