#include "photo/photo_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace geoplait {

namespace {

// Reads up to `length` bytes at `offset`; the count read.
size_t ReadFully(int fd, uint64_t offset, unsigned char* out, size_t length) {
    size_t got = 0;
    while (got < length) {
        const ssize_t n = pread(fd, out + got, length - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    return got;
}

}  // namespace

bool PhotoFile::Open(const std::string& path) {
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return false;
    struct stat st {};
    // A file whose size is no offset pread takes is read as empty.
    size_ = fstat(fd_, &st) == 0 && st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
    return true;
}

PhotoFile::~PhotoFile() {
    if (fd_ >= 0) close(fd_);
}

bool PhotoFile::Read(uint64_t offset, void* out, size_t length) {
    if (fd_ < 0 || !Holds(offset, length)) return false;
    auto* bytes = static_cast<unsigned char*>(out);
    if (offset >= windowAt_ && offset - windowAt_ <= window_.size() &&
        length <= window_.size() - (offset - windowAt_)) {
        if (length > 0) std::memcpy(bytes, window_.data() + (offset - windowAt_), length);
        return true;
    }
    // A value longer than the window is read on its own.
    if (length > kPhotoWindow) return ReadFully(fd_, offset, bytes, length) == length;
    window_.resize(static_cast<size_t>(std::min<uint64_t>(kPhotoWindow, size_ - offset)));
    windowAt_ = offset;
    window_.resize(ReadFully(fd_, offset, window_.data(), window_.size()));
    if (length > window_.size()) return false;
    std::memcpy(bytes, window_.data(), length);
    return true;
}

}  // namespace geoplait
