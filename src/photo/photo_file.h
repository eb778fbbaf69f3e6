// A photo file read by offset: every read is checked against the file's size
// and goes through one window of kPhotoWindow bytes, so that metadata is
// found wherever it lies in the file (a RAW file may keep its Exif folder
// after the picture) while memory stays the same for any file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace geoplait {

// One read fills the window; a JPEG's Exif segment (at most 64 KiB) comes in
// with the first.
inline constexpr size_t kPhotoWindow = size_t{64} << 10;

class PhotoFile {
public:
    // Opens `path` for reading; false when it cannot be opened.
    bool Open(const std::string& path);
    ~PhotoFile();
    PhotoFile() = default;
    PhotoFile(const PhotoFile&) = delete;
    PhotoFile& operator=(const PhotoFile&) = delete;

    // The file's size when it was opened.
    uint64_t Size() const { return size_; }
    // True when `length` bytes at `offset` lie inside the file.
    bool Holds(uint64_t offset, uint64_t length) const { return offset <= size_ && length <= size_ - offset; }
    // Copies `length` bytes at `offset` into `out`; false when they do not all
    // lie in the file (or it was cut meanwhile).
    bool Read(uint64_t offset, void* out, size_t length);

private:
    int fd_ = -1;
    uint64_t size_ = 0;
    std::vector<unsigned char> window_;
    uint64_t windowAt_ = 0;  // the file offset of window_[0]
};

}  // namespace geoplait
