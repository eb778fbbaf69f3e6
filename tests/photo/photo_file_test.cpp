// Reads of a photo file by offset: inside the window, across its end, longer
// than it, at the file's end and beyond, and of a file cut after it was opened.
#include "photo/photo_file.h"

#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace geoplait::test {
namespace {

// The bytes 0, 1, ... 250, 0, 1, ... of a file of `size` bytes.
std::string Counting(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

std::string ReadAt(PhotoFile& file, uint64_t offset, size_t length) {
    std::string out(length, '?');
    return file.Read(offset, out.data(), length) ? out : "absent";
}

TEST(PhotoFile, ReadsByOffsetWithinTheFile) {
    TempDir dir;
    const size_t size = 3 * kPhotoWindow + 100;
    const std::string bytes = Counting(size);
    WriteFileBytes(dir.File("p.dng"), bytes);
    PhotoFile file;
    ASSERT_TRUE(file.Open(dir.File("p.dng")));
    EXPECT_EQ(file.Size(), size);
    const struct {
        uint64_t offset;
        size_t length;
    } reads[] = {
        {0, 4},                           // fills the window
        {kPhotoWindow - 2, 4},            // across the window's end: a new window there
        {10, 2},                          // back before it
        {100, kPhotoWindow + 1},          // longer than the window: read on its own
        {size - 4, 4},                    // the last bytes
        {size, 0},                        // nothing, at the end
        {2 * kPhotoWindow, kPhotoWindow}, // a whole window
    };
    for (const auto& r : reads) {
        EXPECT_EQ(ReadAt(file, r.offset, r.length), bytes.substr(r.offset, r.length)) << r.offset << "+" << r.length;
    }
    EXPECT_EQ(ReadAt(file, size - 3, 4), "absent");
    EXPECT_EQ(ReadAt(file, size + 1, 0), "absent");
    EXPECT_EQ(ReadAt(file, UINT64_MAX - 1, 4), "absent");
    EXPECT_TRUE(file.Holds(size - 4, 4));
    EXPECT_FALSE(file.Holds(size - 4, 5));
    EXPECT_FALSE(file.Holds(1, UINT64_MAX));
}

TEST(PhotoFile, AFileCutAfterOpeningReadsAsAbsent) {
    TempDir dir;
    const std::string bytes = Counting(2 * kPhotoWindow);
    WriteFileBytes(dir.File("p.heic"), bytes);
    PhotoFile file;
    ASSERT_TRUE(file.Open(dir.File("p.heic")));
    ASSERT_EQ(truncate(dir.File("p.heic").c_str(), 100), 0);
    EXPECT_EQ(ReadAt(file, 96, 4), bytes.substr(96, 4));
    EXPECT_EQ(ReadAt(file, 98, 4), "absent");
    EXPECT_EQ(ReadAt(file, kPhotoWindow, kPhotoWindow + 1), "absent");
}

TEST(PhotoFile, AMissingFileDoesNotOpen) {
    TempDir dir;
    PhotoFile file;
    EXPECT_FALSE(file.Open(dir.File("none.jpg")));
    char byte = 0;
    EXPECT_FALSE(file.Read(0, &byte, 1));
}

}  // namespace
}  // namespace geoplait::test
