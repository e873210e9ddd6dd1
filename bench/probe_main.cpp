// The board as the start-up benchmark runs it: the program itself, with the
// probe that reports its first paint.

#include "startupprobe.h"
#include "window/shell/program.h"

int main(int argc, char** argv) {
    return kab::runProgram(argc, argv, kab::bench::installStartupProbe);
}
