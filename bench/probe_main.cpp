// The board as the start-up benchmark runs it: the program itself, with the
// probe that reports its first paint.

#include "window/shell/program.h"
#include "startupprobe.h"

int main(int argc, char** argv) {
    return kab::runProgram(argc, argv, kab::bench::installStartupProbe);
}
