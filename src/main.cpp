#include "window/shell/program.h"

int main(int argc, char** argv) {
    return kab::runProgram(argc, argv);
}
