#include "photo/photo_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace geoplait {

PendingOutput::PendingOutput(std::string target) : target_(std::move(target)) {
    struct stat existing {};
    const bool replaces = stat(target_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = target_ + ".tmp" + std::to_string(getpid()) + "_" + std::to_string(attempt);
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return;
        }
        if (replaces) fchmod(fd, existing.st_mode & 07777);
        close(fd);
        temporary_ = std::move(name);
        return;
    }
}

PendingOutput::~PendingOutput() {
    if (!temporary_.empty()) std::remove(temporary_.c_str());
}

bool PendingOutput::Commit() {
    if (temporary_.empty()) return false;
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) return false;
    temporary_.clear();
    return true;
}

}  // namespace geoplait
