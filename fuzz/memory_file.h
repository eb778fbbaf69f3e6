// The input of a fuzz target as a file: an anonymous memory file, opened by
// its /proc path, rewritten with each input.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace geoplait {

inline const std::string& MemoryFilePath() {
    static const std::string path = [] {
        const int fd = memfd_create("fuzz-input", 0);
        if (fd < 0) std::abort();
        return "/proc/self/fd/" + std::to_string(fd);
    }();
    return path;
}

// Replaces the memory file's contents with the input; returns its path.
inline const std::string& WriteMemoryFile(const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(MemoryFilePath().c_str(), "wb");
    if (f == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return MemoryFilePath();
}

}  // namespace geoplait
