// Runs a shell command for a test and returns what it printed; a command
// that fails gives "failed: COMMAND" and its output, so an assertion on the
// output shows what went wrong.
#pragma once

#include <cstdio>
#include <string>

namespace geoplait::test {

inline std::string Shell(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    return pclose(pipe) == 0 ? out : "failed: " + command + "\n" + out;
}

}  // namespace geoplait::test
