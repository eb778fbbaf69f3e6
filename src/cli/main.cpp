// geoplait-cli: the converter without its window.
#include <unistd.h>

#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) {
    // The progress bar only where someone watches it.
    return geoplait::RunCli(argc, argv, std::cout, std::cerr, isatty(STDERR_FILENO) == 1, true);
}
