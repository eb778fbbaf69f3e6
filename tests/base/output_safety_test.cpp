// What the output set refuses and cleans up: inputs, unasked replacements,
// links in shared folders, over-long names, temporary files left by a
// killed run or by this process.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include <signal.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "base/output_files.h"
#include "base/signal_watch.h"
#include "base/temporary_files.h"
#include "base/text_file.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

constexpr auto Names = test::NamesIn;

bool Write(OutputFiles& files, const std::string& path, const std::string& text) {
    TextWriter out;
    if (!out.Open(files, path, WriteMode::Plain)) return false;
    out.Write(text);
    return out.Close();
}

TEST(OutputSafety, AnInputIsNeverAnOutputWhateverItsName) {
    TempDir dir;
    WriteFileBytes(dir.File("in.csv"), "input");
    ASSERT_EQ(link(dir.File("in.csv").c_str(), dir.File("hard.csv").c_str()), 0);
    for (const std::string name : {"in.csv", "hard.csv", "./in.csv"}) {
        OutputFiles files;
        files.ProtectInput(dir.File("in.csv"));
        EXPECT_TRUE(files.IsProtectedInput(dir.File(name)));
        EXPECT_FALSE(Write(files, dir.File(name), "output")) << name;
        EXPECT_EQ(files.Refusal(), OutputRefusal::SameAsInput);
        EXPECT_EQ(files.RefusedPath(), fs::canonical(dir.File(name)).string());
        EXPECT_FALSE(files.Commit());
        EXPECT_EQ(ReadFileBytes(dir.File("in.csv")), "input");
    }
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"hard.csv", "in.csv"}));
}

// An input named through a symbolic link is the file the link leads to: an
// output by its own name is refused, and so is one through the link when
// the input is named as it is.
TEST(OutputSafety, AnInputNamedThroughALinkIsProtected) {
    TempDir dir;
    WriteFileBytes(dir.File("in.csv"), "input");
    fs::create_symlink(dir.File("in.csv"), dir.File("link.csv"));
    const struct {
        const char* input;
        const char* output;
    } cases[] = {{"link.csv", "in.csv"}, {"in.csv", "link.csv"}, {"link.csv", "link.csv"}};
    for (const auto& c : cases) {
        OutputFiles files;
        files.ProtectInput(dir.File(c.input));
        EXPECT_TRUE(files.IsProtectedInput(dir.File(c.output))) << c.input << " " << c.output;
        EXPECT_FALSE(Write(files, dir.File(c.output), "output")) << c.input << " " << c.output;
        EXPECT_EQ(files.Refusal(), OutputRefusal::SameAsInput);
        EXPECT_EQ(ReadFileBytes(dir.File("in.csv")), "input");
    }
    EXPECT_TRUE(fs::is_symlink(dir.File("link.csv")));
}

TEST(OutputSafety, OneReplaceQuestionForTheWholeSet) {
    for (const bool answer : {true, false}) {
        TempDir dir;
        WriteFileBytes(dir.File("a_001.csv"), "old 1");
        WriteFileBytes(dir.File("a_002.csv"), "old 2");
        OutputFiles files;
        int asked = 0;
        files.SetReplaceQuestion([&] {
            ++asked;
            return answer;
        });
        EXPECT_TRUE(Write(files, dir.File("a_000.csv"), "new 0")) << "a new file needs no question";
        EXPECT_EQ(Write(files, dir.File("a_001.csv"), "new 1"), answer);
        EXPECT_EQ(Write(files, dir.File("a_002.csv"), "new 2"), answer);
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(files.Refusal(), answer ? OutputRefusal::None : OutputRefusal::Declined);
        EXPECT_EQ(files.Commit(), answer);
        EXPECT_EQ(ReadFileBytes(dir.File("a_002.csv")), answer ? "new 2" : "old 2");
    }
    // A question the run answered already is not asked again.
    TempDir dir;
    WriteFileBytes(dir.File("b.csv"), "old");
    OutputFiles files;
    files.SetReplaceQuestion([] { return false; });
    files.ReplaceAnswered();
    EXPECT_TRUE(Write(files, dir.File("b.csv"), "new"));
    // Nor does the caller that asked itself (the photo copies) get it.
    files.Reset();
    files.SetReplaceQuestion([] { return false; });
    EXPECT_FALSE(files.PathToWrite(dir.File("b.csv"), false).empty());
}

struct LinkCase {
    mode_t folderMode;
    uid_t linkOwner;
    uid_t folderOwner;
    uid_t user;
    bool follows;
};

TEST(OutputSafety, LinksInSharedStickyFoldersFollowTheKernelsRule) {
    const LinkCase cases[] = {
        {S_IFDIR | 01777, 1000, 0, 1000, true},     // the user's own link in /tmp
        {S_IFDIR | 01777, 1001, 0, 1000, false},    // another user's link in /tmp
        {S_IFDIR | 01777, 0, 0, 1000, true},        // the folder owner's link
        {S_IFDIR | 01770, 1001, 0, 1000, true},     // not world-writable
        {S_IFDIR | 00777, 1001, 0, 1000, true},     // not sticky
        {S_IFDIR | 01777, 1001, 1001, 1000, true},  // the folder and the link of one owner
    };
    for (const LinkCase& c : cases) {
        struct stat link {};
        struct stat folder {};
        link.st_uid = c.linkOwner;
        folder.st_mode = c.folderMode;
        folder.st_uid = c.folderOwner;
        EXPECT_EQ(MayFollowLink(link, folder, c.user), c.follows)
            << std::oct << c.folderMode << std::dec << " link " << c.linkOwner << " user " << c.user;
    }

    // The same with a real sticky folder, the user given by the seam. Root
    // hands the link to another owner; anyone else uses the system's /tmp,
    // which root owns.
    TempDir dir;
    std::string shared = fs::temp_directory_path().string();
    const uid_t other = geteuid() + 4242;
    if (geteuid() == 0) {
        shared = dir.File("shared");
        ASSERT_EQ(mkdir(shared.c_str(), 0777), 0);
        ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
    }
    WriteFileBytes(dir.File("victim.txt"), "someone else's");
    const std::string link = shared + "/geoplait-link-" + std::to_string(getpid()) + ".txt";
    fs::create_symlink(dir.File("victim.txt"), link);
    if (geteuid() == 0) {
        ASSERT_EQ(lchown(link.c_str(), other - 1, static_cast<gid_t>(-1)), 0);
    }
    OutputFiles stranger;
    stranger.SetUserId(other);
    EXPECT_FALSE(LinksMayBeFollowed(link, other));
    EXPECT_FALSE(Write(stranger, link, "replaced"));
    EXPECT_FALSE(stranger.Commit());
    EXPECT_EQ(ReadFileBytes(dir.File("victim.txt")), "someone else's");
    // The link's owner follows it: its target is replaced, the link stays.
    OutputFiles owner;
    owner.SetUserId(geteuid() == 0 ? other - 1 : geteuid());
    EXPECT_TRUE(Write(owner, link, "mine"));
    EXPECT_TRUE(owner.Commit());
    EXPECT_EQ(ReadFileBytes(dir.File("victim.txt")), "mine");
    EXPECT_TRUE(fs::is_symlink(link));
    fs::remove(link);
}

TEST(OutputSafety, TemporaryNamesFitTheLongestFileName) {
    TempDir dir;
    // 85 three-byte characters: 255 bytes, the longest name there is.
    std::string name;
    for (int i = 0; i < 85; ++i) name += "\xE6\xBC\xA2";
    const std::string stem = TemporaryStem(name);
    EXPECT_LE(stem.size() + 26, kNameMax);
    EXPECT_NE(stem, TemporaryStem(name.substr(0, 252) + "abc")) << "a cut name keeps a hash of the whole";
    EXPECT_EQ(stem.find("\xE6\xBC\xA2~"), stem.size() - 1 - 17 - 3) << "cut on a character boundary";
    OutputFiles files;
    ASSERT_TRUE(Write(files, dir.File(name), "kanji"));
    ASSERT_TRUE(files.Commit());
    EXPECT_EQ(ReadFileBytes(dir.File(name)), "kanji");
    // A name past the limit is refused and named.
    OutputFiles longer;
    EXPECT_FALSE(Write(longer, dir.File(name + "x"), "x"));
    EXPECT_EQ(longer.Refusal(), OutputRefusal::NameTooLong);
    EXPECT_EQ(longer.RefusedPath(), dir.File(name + "x"));
    // The longest name whose temporary name, with the longest process and
    // serial numbers, is 255 bytes keeps it whole; one byte more is cut.
    const std::string fits(228, 'n');
    EXPECT_EQ(TemporaryStem(fits), "." + fits + ".");
    EXPECT_EQ(TemporaryName("/d/" + fits, 4294967295L, 4294967295u).size(), 3 + kNameMax);
    EXPECT_EQ(TemporaryStem(fits + "n").find(fits + "n"), std::string::npos);
    EXPECT_LE(TemporaryName("/d/" + fits + "n", 4294967295L, 4294967295u).size(), 3 + kNameMax);
    EXPECT_EQ(TemporaryStem("out.kml"), ".out.kml.");
    EXPECT_TRUE(IsTemporaryOf(".out.kml.123-4.tmp", ".out.kml."));
    EXPECT_FALSE(IsTemporaryOf(".out.kml.12x-4.tmp", ".out.kml."));
    EXPECT_FALSE(IsTemporaryOf(".out.kml.old.123-4.tmp", ".out.kml."));
    EXPECT_FALSE(IsTemporaryOf(".out.kml.123-.tmp", ".out.kml."));
}

TEST(OutputSafety, StaleTemporaryFilesGoOnlyWhenOwnAndUnlocked) {
    TempDir dir;
    WriteFileBytes(dir.File(".out.kml.99999-1.tmp"), "killed run");
    WriteFileBytes(dir.File(".out.kml.99998-1.tmp"), "live run");
    WriteFileBytes(dir.File(".other.kml.99999-1.tmp"), "other target");
    const int live = open(dir.File(".out.kml.99998-1.tmp").c_str(), O_RDONLY);
    ASSERT_GE(live, 0);
    ASSERT_EQ(flock(live, LOCK_EX), 0);
    // Another user's files stay.
    EXPECT_EQ(RemoveStaleTemporaries(dir.path(), ".out.kml.", geteuid() + 4242), 0u);
    OutputFiles files;
    EXPECT_TRUE(Write(files, dir.File("out.kml"), "new"));
    EXPECT_EQ(Names(dir.path()).size(), 3u) << "the killed run's file went, the run's own came";
    EXPECT_FALSE(test::FileExists(dir.File(".out.kml.99999-1.tmp")));
    EXPECT_TRUE(test::FileExists(dir.File(".out.kml.99998-1.tmp")));
    EXPECT_TRUE(test::FileExists(dir.File(".other.kml.99999-1.tmp")));
    // The set's own file is locked while it lives: no other run removes it.
    EXPECT_EQ(RemoveStaleTemporaries(dir.path(), ".out.kml.", geteuid()), 0u);
    ASSERT_TRUE(files.Commit());
    close(live);
    EXPECT_EQ(Names(dir.path()),
              (std::vector<std::string>{".other.kml.99999-1.tmp", ".out.kml.99998-1.tmp", "out.kml"}));
}

TEST(OutputSafety, TheProcessListRemovesLiveTemporaryFiles) {
    TempDir dir;
    WriteFileBytes(dir.File("out.kml"), "earlier");
    OutputFiles files;
    TextWriter out;
    ASSERT_TRUE(out.Open(files, dir.File("out.kml"), WriteMode::Plain));
    out.Write("half");
    ASSERT_EQ(Names(dir.path()).size(), 2u);
    // As a second signal does: the files go, the earlier output stays.
    EXPECT_GE(RemoveRegisteredTemporaries(), 1u);
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"out.kml"});
    EXPECT_EQ(ReadFileBytes(dir.File("out.kml")), "earlier");
    EXPECT_EQ(RemoveRegisteredTemporaries(), 0u);
}

TEST(OutputSafety, AnAbandonedOutputLeavesTheTargetAndTheSetGoesOn) {
    TempDir dir;
    WriteFileBytes(dir.File("copy.jpg"), "earlier copy");
    OutputFiles files;
    const std::string path = files.PathToWrite(dir.File("copy.jpg"), false);
    ASSERT_FALSE(path.empty());
    WriteFileBytes(path, "half a photo");
    files.Abandon(dir.File("copy.jpg"));
    EXPECT_FALSE(test::FileExists(path));
    EXPECT_TRUE(Write(files, dir.File("next.jpg"), "next"));
    ASSERT_TRUE(files.Commit());
    EXPECT_EQ(ReadFileBytes(dir.File("copy.jpg")), "earlier copy");
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"copy.jpg", "next.jpg"}));
}

// Signals are counted on the watch's own thread, each once, in order.
TEST(OutputSafety, SignalsReachTheWatchOneByOne) {
    std::atomic<int> seen{0};
    std::atomic<int> last{0};
    {
        SignalWatch watch([&](int count) {
            last = count;
            ++seen;
        });
        ASSERT_TRUE(watch.Started());
        for (const int signal : {SIGHUP, SIGTERM, SIGINT}) {
            const int before = seen.load();
            ASSERT_EQ(kill(getpid(), signal), 0);
            for (int i = 0; i < 5000 && seen.load() == before; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
    }
    EXPECT_EQ(seen.load(), 3);
    EXPECT_EQ(last.load(), 3);
}

// A failure keeps the first file and reason the system gave, for the
// message; a failed write knows its reason alone, and Reset forgets both.
TEST(OutputFiles, AFailureKeepsItsFileAndReason) {
    test::TempDir dir;
    OutputFiles files;
    bool empty = false;
    const std::string missing = dir.File("no/such/folder/out.gpx");
    EXPECT_EQ(files.Open(missing, WriteMode::Create, empty), -1);
    EXPECT_EQ(files.FailedPath(), missing);
    EXPECT_EQ(files.FailedError(), ENOENT);
    files.Reset();
    EXPECT_EQ(files.FailedPath(), "");
    EXPECT_EQ(files.FailedError(), 0);

    files.FailAfterBytes(2);
    const int fd = files.Open(dir.File("out.gpx"), WriteMode::Create, empty);
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(files.WriteAll(fd, "abc", 3));
    EXPECT_EQ(files.FailedPath(), "");
    EXPECT_EQ(files.FailedError(), ENOSPC);
    // A later failure does not replace the first.
    EXPECT_EQ(files.Open(missing, WriteMode::Create, empty), -1);
    EXPECT_EQ(files.FailedError(), ENOSPC);
    files.CloseFile(fd);
    files.Discard();
}

TEST(ReadErrorOf, SaysWhyAPathIsNoFileToRead) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("in.log"), "x");
    EXPECT_EQ(ReadErrorOf(dir.File("in.log")), 0);
    EXPECT_EQ(ReadErrorOf(dir.File("none.log")), ENOENT);
    EXPECT_EQ(ReadErrorOf(dir.path()), EISDIR);
    EXPECT_EQ(ReadErrorOf(dir.File("in.log/x")), ENOTDIR);
    EXPECT_EQ(ReadErrorOf(""), ENOENT);
    // A device is not opened to find out.
    EXPECT_EQ(ReadErrorOf("/dev/zero"), 0);
    if (geteuid() != 0) {
        std::filesystem::permissions(dir.File("in.log"), std::filesystem::perms::none);
        EXPECT_EQ(ReadErrorOf(dir.File("in.log")), EACCES);
    }
}

}  // namespace
}  // namespace geoplait
