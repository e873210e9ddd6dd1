// Saves its standard input into the file it is given, through the replace the
// board's save uses, so that the end-to-end tests can save as other users
// without a display. Exit 0; 1 with the error's message; 2 on misuse.

#include "foundation/atomicfile.h"

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: save_driver FILE < BYTES\n");
        return 2;
    }
    const std::string bytes{std::istreambuf_iterator<char>(std::cin), {}};
    try {
        if (const int e = kab::replaceFileContents(argv[1], bytes).versionError)
            std::fprintf(stderr, "no version kept: %s\n", kab::systemErrorText(e).c_str());
    } catch (const kab::Error& e) {
        std::fprintf(stderr, "%s\n", e.message().c_str());
        return 1;
    }
    return 0;
}
