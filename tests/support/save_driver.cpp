// Saves its standard input into the file it is given, through the replace the
// board's save uses, so that the end-to-end tests can save as other users
// without a display; with --repeat N, N times, each save with its number as a
// last line, going on past refused saves. Exit 0; 1 with the error's message
// (the last one, after repeats); 2 on misuse.

#include "foundation/atomicfile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    int repeat = 0;
    if (argc == 4 && std::strcmp(argv[1], "--repeat") == 0) {
        repeat = std::atoi(argv[2]);
        argv += 2;
        argc -= 2;
    }
    if (argc != 2 || repeat < 0) {
        std::fprintf(stderr, "usage: save_driver [--repeat N] FILE < BYTES\n");
        return 2;
    }
    const std::string bytes{std::istreambuf_iterator<char>(std::cin), {}};
    int status = 0;
    for (int n = 1; n <= (repeat ? repeat : 1); ++n) {
        try {
            const std::string saved = repeat ? bytes + "0" + std::to_string(n % 8 + 1) +
                                                   "\\09:00\\4.0\\R" + std::to_string(n) + "\r\n"
                                             : bytes;
            if (const int e = kab::replaceFileContents(argv[1], saved).versionError)
                std::fprintf(stderr, "no version kept: %s\n", kab::systemErrorText(e).c_str());
            status = 0;
        } catch (const kab::Error& e) {
            std::fprintf(stderr, "%s\n", e.message().c_str());
            status = 1;
        }
    }
    return status;
}
