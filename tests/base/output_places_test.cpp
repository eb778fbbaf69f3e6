// Where the output set never writes and what it leaves behind: names of
// descriptors that are not open, new files in /dev and /proc, links in a
// folder written relative to its descriptor, folders a stopped run made.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/output_files.h"
#include "base/text_file.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

constexpr auto Names = test::NamesIn;

// A descriptor number that is surely closed in this process.
int ClosedDescriptor() {
    const int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    close(fd);
    return fd;
}

TEST(OutputPlaces, ANameOfAClosedDescriptorIsNeverMade) {
    const std::string closed = std::to_string(ClosedDescriptor());
    for (const std::string& path : {"/dev/fd/" + closed, "/proc/self/fd/" + closed}) {
        EXPECT_EQ(UnmakeableOutput(path), OutputRefusal::ClosedDescriptor) << path;
        OutputFiles files;
        bool empty = false;
        EXPECT_EQ(files.Open(path, WriteMode::Plain, empty), -1) << path;
        EXPECT_EQ(files.Refusal(), OutputRefusal::ClosedDescriptor) << path;
        EXPECT_EQ(files.RefusedPath(), path);
        EXPECT_FALSE(files.Commit());
    }
    // An open one is written where it is.
    EXPECT_EQ(UnmakeableOutput("/dev/stderr"), OutputRefusal::None);
    EXPECT_EQ(UnmakeableOutput("/dev/null"), OutputRefusal::None);
}

TEST(OutputPlaces, NoNewFileInDevProcOrSys) {
    for (const char* path : {"/dev/geoplait-test-out.gpx", "/proc/geoplait-test-out.gpx", "/sys/geoplait.gpx"}) {
        EXPECT_EQ(UnmakeableOutput(path), OutputRefusal::SystemFolder) << path;
        OutputFiles files;
        bool empty = false;
        EXPECT_EQ(files.Open(path, WriteMode::Plain, empty), -1) << path;
        EXPECT_EQ(files.Refusal(), OutputRefusal::SystemFolder) << path;
        EXPECT_FALSE(fs::exists(path));
    }
    // A plain folder, and the memory file system under /dev, are no system folders.
    TempDir dir;
    EXPECT_EQ(UnmakeableOutput(dir.File("out.gpx")), OutputRefusal::None);
    if (fs::is_directory("/dev/shm")) {
        EXPECT_EQ(UnmakeableOutput("/dev/shm/out.gpx"), OutputRefusal::None);
    }
}

// A file written relative to its folder's descriptor replaces a link in its
// place, never what the link points to.
TEST(OutputPlaces, AFolderFileReplacesALinkInItsPlace) {
    TempDir dir;
    fs::create_directory(dir.File("photos"));
    WriteFileBytes(dir.File("elsewhere.xmp"), "not to be touched");
    fs::create_symlink("../elsewhere.xmp", dir.File("photos/a.jpg.xmp"));
    OutputFiles files;
    const int opened = open(dir.File("photos").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int folder = files.AddFolder(opened, dir.File("photos"));
    close(opened);
    ASSERT_GE(folder, 0);
    TextWriter out;
    ASSERT_TRUE(out.OpenInFolder(files, folder, "a.jpg.xmp"));
    out.Write("sidecar\n");
    ASSERT_TRUE(out.Close());
    EXPECT_TRUE(files.Holds(dir.File("photos/a.jpg.xmp")));
    ASSERT_TRUE(files.Commit());
    EXPECT_EQ(ReadFileBytes(dir.File("elsewhere.xmp")), "not to be touched");
    EXPECT_FALSE(fs::is_symlink(dir.File("photos/a.jpg.xmp")));
    EXPECT_EQ(ReadFileBytes(dir.File("photos/a.jpg.xmp")), "sidecar\r\n");
    EXPECT_EQ(Names(dir.File("photos")), std::vector<std::string>{"a.jpg.xmp"});
}

// Folders a set made go with a set that does not complete (only when empty),
// and stay with one that does.
TEST(OutputPlaces, FoldersMadeGoWithAStoppedRun) {
    for (const bool complete : {false, true}) {
        TempDir dir;
        fs::create_directory(dir.File("kept"));
        OutputFiles files;
        ASSERT_TRUE(files.MakeFolders(dir.File("kept/new/deeper")));
        EXPECT_TRUE(files.MadeFolders());
        ASSERT_TRUE(files.MakeFolders(dir.File("kept/new/other")));
        TextWriter out;
        ASSERT_TRUE(out.Open(files, dir.File("kept/new/deeper/out.gpx"), WriteMode::Plain));
        out.Write("x");
        ASSERT_TRUE(out.Close());
        if (complete) {
            ASSERT_TRUE(files.Commit());
            EXPECT_EQ(ReadFileBytes(dir.File("kept/new/deeper/out.gpx")), "x");
            EXPECT_TRUE(fs::is_directory(dir.File("kept/new/other")));
        } else {
            files.Discard();
            EXPECT_EQ(Names(dir.File("kept")), std::vector<std::string>{});
        }
        EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"kept"});
    }
    // A folder that existed already is not the set's to remove.
    TempDir dir;
    OutputFiles files;
    ASSERT_TRUE(files.MakeFolders(dir.path()));
    EXPECT_FALSE(files.MadeFolders());
}

}  // namespace
}  // namespace geoplait
