// geoplait-cli: the converter without its window.
#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) { return geoplait::RunCli(argc, argv, std::cout, std::cerr); }
