#include "base/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/fed_pipe.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

std::vector<std::string> ReadAll(const std::string& path, size_t limit = 4096) {
    TextReader in(path);
    std::vector<std::string> lines;
    std::string line;
    while (in.ReadLine(line, limit)) lines.push_back(line);
    return lines;
}

std::vector<std::string> ReadAllFromPipe(const std::string& bytes) {
    test::FedPipe pipe(bytes);
    return ReadAll(pipe.Path());
}

struct ReadCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

TEST(TextReader, LineEndsMarksAndEncodings) {
    const std::vector<ReadCase> cases = {
        {"no final end", "a\r\nb", {"a\n", "b"}},
        {"lone cr ends a line", "a\rb\n", {"a\n", "b\n"}},
        {"cr at end of file", "a\r", {"a\n"}},
        {"cr only", "a\rb\rc", {"a\n", "b\n", "c"}},
        {"cr before cr lf", "a\r\r\nb", {"a\n", "\n", "b"}},
        {"lf cr", "a\n\rb", {"a\n", "\n", "b"}},
        {"utf16le cr only", std::string("\xFF\xFE" "a\0\r\0b\0", 8), {"a\n", "b"}},
        {"utf8 mark skipped", "\xEF\xBB\xBF$GPGGA,1\r\n", {"$GPGGA,1\n"}},
        {"invalid utf8 passes", "\xFF\xFE\xFD", {}},  // read as UTF-16LE mark + odd byte
        {"invalid utf8 inside", "a\xC3(\x80z\n", {"a\xC3(\x80z\n"}},
        {"utf16le", std::string("\xFF\xFE" "a\0\r\0\n\0\xE5\x65\n\0", 12), {"a\n", "\xE6\x97\xA5\n"}},
        {"utf16be", std::string("\xFE\xFF\0a\0\n", 6), {"a\n"}},
        {"utf16le surrogate pair", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), {"\xF0\x9F\x98\x80"}},
        {"utf16le odd byte after the mark", std::string("\xFF\xFE" "a", 3), {}},
        {"utf16be three bytes", std::string("\xFE\xFF\0", 3), {}},
        {"empty", "", {}},
        {"one byte", "a", {"a"}},
        {"two bytes, not a mark", "\xEF\xBB", {"\xEF\xBB"}},
        {"the mark alone", "\xEF\xBB\xBF", {}},
        {"the mark and a line", "\xEF\xBB\xBF" "a", {"a"}},
        {"short lines", "a\nb\r\nc", {"a\n", "b\n", "c"}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        WriteFileBytes(dir.File("in"), c.bytes);
        EXPECT_EQ(ReadAll(dir.File("in")), c.lines) << c.name;
        // A pipe cannot go back after the mark; it reads the same all the same.
        EXPECT_EQ(ReadAllFromPipe(c.bytes), c.lines) << c.name << ", from a pipe";
    }
}

TEST(TextReader, APipeReadsAsAFileAcrossBlocks) {
    // Lines over several blocks of the reader, a CR LF across a block's end.
    std::string text = "\xEF\xBB\xBF";
    for (int i = 0; text.size() < (size_t{3} << 20); ++i) text += "$GPGGA," + std::to_string(i) + ",x\r\n";
    TempDir dir;
    WriteFileBytes(dir.File("in"), text);
    const std::vector<std::string> fromFile = ReadAll(dir.File("in"));
    EXPECT_GT(fromFile.size(), 100000u);
    EXPECT_EQ(ReadAllFromPipe(text), fromFile);
    std::string utf16 = "\xFF\xFE";
    for (char c : text.substr(3, (size_t{1} << 20) + 5)) {
        utf16.push_back(c);
        utf16.push_back('\0');
    }
    WriteFileBytes(dir.File("in16"), utf16);
    EXPECT_EQ(ReadAllFromPipe(utf16), ReadAll(dir.File("in16")));
}

TEST(TextReader, CrOnlyLinesAcrossBlocks) {
    // A lone CR as the last byte of a block ends its line, as one inside does.
    std::string text;
    for (int i = 0; text.size() < (size_t{3} << 20); ++i) text += "$GPGGA," + std::to_string(i) + ",x\r";
    TempDir dir;
    WriteFileBytes(dir.File("in"), text);
    const std::vector<std::string> lines = ReadAll(dir.File("in"));
    ASSERT_GT(lines.size(), 100000u);
    for (size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i], "$GPGGA," + std::to_string(i) + ",x\n") << i;
    }
    EXPECT_EQ(ReadAllFromPipe(text), lines);
}

TEST(TextReader, PeekedLineComesAgainAndAdoptReadsOn) {
    const std::string bytes = "\xEF\xBB\xBF" "first\r\nsecond\nthird";
    TempDir dir;
    WriteFileBytes(dir.File("in"), bytes);
    test::FedPipe pipe(bytes);
    for (const std::string& path : {dir.File("in"), pipe.Path()}) {
        SCOPED_TRACE(path);
        TextReader peek(path);
        std::string line;
        ASSERT_TRUE(peek.PeekLine(line));
        EXPECT_EQ(line, "first\n");
        EXPECT_EQ(peek.BytesRead() > 0, true);
        TextReader reader;
        reader.Adopt(peek);
        EXPECT_FALSE(peek.IsOpen());
        ASSERT_TRUE(reader.IsOpen());
        std::string_view view;
        ASSERT_TRUE(reader.ReadLine(view));
        EXPECT_EQ(view, "first\n");
        ASSERT_TRUE(reader.ReadLine(line));
        EXPECT_EQ(line, "second\n");
        // A pipe cannot go back: Rewind leaves it where it is; a file starts again.
        reader.Rewind();
        ASSERT_TRUE(reader.ReadLine(line));
        EXPECT_EQ(line, path == pipe.Path() ? "third" : "first\n");
    }
}

TEST(TextReader, PipesAreToldFromOtherFiles) {
    TempDir dir;
    WriteFileBytes(dir.File("file"), "x");
    ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
    test::FedPipe pipe("");
    EXPECT_TRUE(IsPipe(dir.File("fifo")));
    EXPECT_TRUE(IsPipe(pipe.Path()));
    EXPECT_TRUE(IsSpecialFile(pipe.Path()));
    EXPECT_FALSE(IsPipe(dir.File("file")));
    EXPECT_FALSE(IsPipe(dir.path()));
    EXPECT_FALSE(IsPipe(dir.File("none")));
    EXPECT_FALSE(IsPipe("/dev/null"));
    EXPECT_FALSE(IsPipe(""));
}

TEST(TextReader, LimitCountsCharactersNotBytes) {
    TempDir dir;
    // Three-byte characters: 4 of them fit a limit of 5, never split.
    WriteFileBytes(dir.File("in"), "\xE6\x97\xA5\xE6\x97\xA5\xE6\x97\xA5\xE6\x97\xA5\xE6\x97\xA5\n");
    auto lines = ReadAll(dir.File("in"), 5);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "\xE6\x97\xA5\xE6\x97\xA5\xE6\x97\xA5\xE6\x97\xA5");
    EXPECT_EQ(lines[1], "\xE6\x97\xA5\n");
}

TEST(TextReader, LineEndExactlyAtLimitComesAsItsOwnRead) {
    TempDir dir;
    WriteFileBytes(dir.File("in"), "abcd\n");
    EXPECT_EQ(ReadAll(dir.File("in"), 5), (std::vector<std::string>{"abcd", "\n"}));
}

TEST(TextReader, RewindStartsAfterTheMark) {
    TempDir dir;
    WriteFileBytes(dir.File("in"), "\xEF\xBB\xBF" "a\nb\n");
    TextReader in(dir.File("in"));
    std::string line;
    ASSERT_TRUE(in.ReadLine(line));
    ASSERT_TRUE(in.ReadLine(line));
    in.Rewind();
    ASSERT_TRUE(in.ReadLine(line));
    EXPECT_EQ(line, "a\n");
}

TEST(TextWriter, ModesMarksAndLineEnds) {
    const struct { WriteMode mode; bool dropBom; const char *before, *text, *after; } cases[] = {
        {WriteMode::Create, false, nullptr, "a\nb", "\xEF\xBB\xBF" "a\r\nb"},
        {WriteMode::Create, true, "old", "x\n", "x\r\n"},
        {WriteMode::Create, false, nullptr, "", "\xEF\xBB\xBF"},
        {WriteMode::Append, false, "\xEF\xBB\xBF" "a\r\n", "tail\n", "\xEF\xBB\xBF" "a\r\ntail\r\n"},
        {WriteMode::Append, false, nullptr, "new\n", "\xEF\xBB\xBF" "new\r\n"},
        {WriteMode::Plain, false, "old", "$GPGGA\n", "$GPGGA\r\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        if (c.before) WriteFileBytes(dir.File("f"), c.before);
        TextWriter out(dir.File("f"), c.mode);
        if (c.dropBom) out.DropBom();
        out.Write(c.text);
        EXPECT_TRUE(out.Close());
        EXPECT_EQ(ReadFileBytes(dir.File("f")), c.after) << c.text;
    }
}

TEST(TextWriter, LargeWritesAndLongFormattedTexts) {
    TempDir dir;
    std::string line(3000, 'q');
    {
        TextWriter out(dir.File("big"), WriteMode::Plain);
        for (int i = 0; i < 1000; ++i) out.Printf("%s\n", line.c_str());
        EXPECT_TRUE(out.Close());
    }
    EXPECT_EQ(ReadFileBytes(dir.File("big")).size(), 1000u * 3002u);
}

// A caller may format straight into the block: the bytes it commits go to
// the file as they stand (after a mark still due), in order with the texts
// written around them, across block ends; a stray byte there is made clean
// as any text is. A closed writer takes them and writes nothing.
TEST(TextWriter, RoomTakesFormattedBytesAsTheyStand) {
    TempDir dir;
    std::string expected = "\xEF\xBB\xBF";
    {
        TextWriter out(dir.File("room.txt"), WriteMode::Create);
        for (int i = 0; expected.size() < (3u << 20); ++i) {
            const std::string formatted = std::to_string(static_cast<long long>(i) * 7919) + (i % 5 == 0 ? "\n" : ",");
            const size_t size = i % 11 == 0 ? TextWriter::kMaxRoom : 64;
            char* at = out.Room(size);
            std::copy(formatted.begin(), formatted.end(), at);
            out.Commit(formatted.size());
            expected += formatted;
            if (i % 3 == 0) {
                out.Write("x\n");
                expected += "x\r\n";
            }
        }
        char* at = out.Room(2);
        at[0] = '\xFF';
        out.Commit(1);
        expected += "\xEF\xBF\xBD";
        ASSERT_TRUE(out.Close());
        char* closed = out.Room(16);
        closed[0] = 'z';
        out.Commit(1);
        out.Write("after\n");
    }
    EXPECT_TRUE(ReadFileBytes(dir.File("room.txt")) == expected);
}

// Outputs of many blocks are written by a thread of their own: the bytes
// arrive whole and in order, a "\n" at any place of a block included, and a
// write that fails there fails the output and the set.
TEST(TextWriter, BlocksWrittenAsideKeepTheirOrderAndFailures) {
    TempDir dir;
    std::string expected = "\xEF\xBB\xBF";
    {
        OutputFiles files;
        TextWriter out;
        ASSERT_TRUE(out.Open(files, dir.File("many.txt"), WriteMode::Create));
        // Pieces of every length from 1 to 997 bytes, so that line ends fall
        // on block boundaries and across them.
        for (int i = 0; expected.size() < (5u << 20); ++i) {
            std::string piece(static_cast<size_t>(i % 997) + 1, static_cast<char>('a' + i % 26));
            piece.back() = '\n';
            if (i % 7 == 0) piece = "\n";
            out.Write(piece);
            piece.pop_back();
            expected += piece + "\r\n";
        }
        ASSERT_TRUE(out.Close());
        ASSERT_TRUE(files.Commit());
    }
    EXPECT_TRUE(ReadFileBytes(dir.File("many.txt")) == expected);

    OutputFiles files;
    files.FailAfterBytes(3u << 20);
    TextWriter out;
    ASSERT_TRUE(out.Open(files, dir.File("full.txt"), WriteMode::Plain));
    const std::string line(1000, 'x');
    for (int i = 0; i < 8000 && !files.Failed(); ++i) out.Write(line + "\n");
    EXPECT_FALSE(out.Close());
    EXPECT_TRUE(files.Failed());
    EXPECT_FALSE(files.Commit());
    EXPECT_FALSE(test::FileExists(dir.File("full.txt")));
}

// The names in a directory, sorted: no temporary file may stay behind.
std::vector<std::string> Names(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(OutputFiles, PutIntoPlaceOnlyWhenTheRunCompletes) {
    for (const bool complete : {true, false}) {
        TempDir dir;
        WriteFileBytes(dir.File("old.kml"), "old");
        ASSERT_EQ(chmod(dir.File("old.kml").c_str(), 0640), 0);
        std::filesystem::create_symlink("old.kml", dir.File("link.kml"));
        OutputFiles files;
        // A document made in passes: created once, then reopened for each.
        for (const WriteMode mode : {WriteMode::Create, WriteMode::Append, WriteMode::Append}) {
            TextWriter out;
            ASSERT_TRUE(out.Open(files, dir.File("link.kml"), mode));
            out.Write("x\n");
            EXPECT_TRUE(out.Close());
        }
        TextWriter piece;
        ASSERT_TRUE(piece.Open(files, dir.File("piece.txt"), WriteMode::Plain));
        piece.Close();
        EXPECT_EQ(ReadFileBytes(dir.File("old.kml")), "old");
        if (complete) {
            ASSERT_TRUE(files.Commit());
        } else {
            files.Discard();
        }
        EXPECT_EQ(ReadFileBytes(dir.File("old.kml")), complete ? "\xEF\xBB\xBFx\r\nx\r\nx\r\n" : "old");
        EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.kml")));
        struct stat st {};
        ASSERT_EQ(stat(dir.File("old.kml").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(Names(dir), complete ? (std::vector<std::string>{"link.kml", "old.kml", "piece.txt"})
                                       : (std::vector<std::string>{"link.kml", "old.kml"}));
    }
}

TEST(OutputFiles, PiecesNamedAlikeNeverOverwriteEachOther) {
    TempDir dir;
    OutputFiles files;
    for (const char* text : {"1", "2", "3"}) {
        TextWriter out;
        ASSERT_TRUE(out.Open(files, dir.File("p.txt"), WriteMode::Plain));
        out.Write(text);
    }
    ASSERT_TRUE(files.Commit());
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"p.txt", "p_2.txt", "p_3.txt"}));
    EXPECT_EQ(ReadFileBytes(dir.File("p_3.txt")), "3");
}

TEST(OutputFiles, AFailedWriteLeavesEverythingAsItWas) {
    TempDir dir;
    WriteFileBytes(dir.File("out.txt"), "old");
    OutputFiles files;
    files.FailAfterBytes(5);
    TextWriter out;
    ASSERT_TRUE(out.Open(files, dir.File("out.txt"), WriteMode::Plain));
    out.Write("0123456789");
    EXPECT_FALSE(out.Close());
    EXPECT_TRUE(files.Failed());
    EXPECT_FALSE(out.Open(files, dir.File("next.txt"), WriteMode::Plain)) << "nothing more is written";
    EXPECT_FALSE(files.Commit());
    EXPECT_EQ(Names(dir), std::vector<std::string>{"out.txt"});
    EXPECT_EQ(ReadFileBytes(dir.File("out.txt")), "old");
    // A file of its own that cannot be written whole replaces nothing either.
    TextWriter full("/dev/full", WriteMode::Plain);
    full.Write("x");
    EXPECT_FALSE(full.Close());
}

TEST(OutputFiles, DevicesAreWrittenInPlaceAndOthersGetAPathToWrite) {
    TempDir dir;
    OutputFiles files;
    EXPECT_EQ(files.PathToWrite("/dev/null"), "/dev/null");
    const std::string path = files.PathToWrite(dir.File("photo.jpg"));
    ASSERT_NE(path, dir.File("photo.jpg"));
    EXPECT_EQ(files.WrittenPath(dir.File("photo.jpg")), path);
    WriteFileBytes(path, "jpeg");  // written by another library
    EXPECT_FALSE(test::FileExists(dir.File("photo.jpg")));
    ASSERT_TRUE(files.Commit());
    EXPECT_EQ(ReadFileBytes(dir.File("photo.jpg")), "jpeg");
    EXPECT_EQ(Names(dir), std::vector<std::string>{"photo.jpg"});
    EXPECT_TRUE(IsExistingRegularFile(dir.File("photo.jpg")));
    EXPECT_FALSE(IsExistingRegularFile("/dev/null"));
    EXPECT_FALSE(IsExistingRegularFile(dir.path()));
}

TEST(OutputFiles, ASpoolCopiedIntoADurableOutputInPiecesKeepsEveryByteInOrder) {
    // Into an output made durable the copy goes in pieces, each started on
    // its way to the disk: spools of none, one and several whole pieces and
    // of pieces and a part, each after a head of an odd length.
    for (const size_t size : {size_t{0}, size_t{1}, size_t{8} << 20, (size_t{16} << 20) + 12345}) {
        TempDir dir;
        OutputFiles files;
        TextWriter out;
        ASSERT_TRUE(out.Open(files, dir.File("doc.kml"), WriteMode::Create));
        ASSERT_TRUE(files.MadeDurable(dir.File("doc.kml")));
        TextWriter spool;
        ASSERT_TRUE(spool.OpenSpool(files, dir.File("doc.kml")));
        out.Write("head.\n");
        // Every 8 bytes differ from the 8 before, so a piece out of place shows.
        std::string body(size, ' ');
        for (size_t i = 0; i < size; ++i) body[i] = static_cast<char>('a' + (i / 8 + i) % 26);
        spool.Write(body);
        ASSERT_TRUE(spool.AppendTo(out)) << size;
        out.Write("tail\n");
        ASSERT_TRUE(out.Close());
        ASSERT_TRUE(files.Commit());
        EXPECT_EQ(ReadFileBytes(dir.File("doc.kml")), "\xEF\xBB\xBFhead.\r\n" + body + "tail\r\n") << size;
        EXPECT_EQ(Names(dir), std::vector<std::string>{"doc.kml"});
    }
}

TEST(OutputFiles, ASpoolLeavesNoFileAndJoinsItsOutputAsWritten) {
    TempDir dir;
    OutputFiles files;
    TextWriter out;
    ASSERT_TRUE(out.Open(files, dir.File("doc.kml"), WriteMode::Create));
    TextWriter spool;
    ASSERT_TRUE(spool.OpenSpool(files, dir.File("doc.kml")));
    EXPECT_EQ(Names(dir).size(), 1u) << "the spool has no name in the directory";
    spool.Write("path\n");
    out.Write("head\n");
    // More than a write block, so the copy goes in pieces.
    const std::string big(3 << 20, 'x');
    spool.Write(big);
    ASSERT_TRUE(spool.AppendTo(out));
    out.Write("tail\n");
    ASSERT_TRUE(out.Close());
    ASSERT_TRUE(files.Commit());
    EXPECT_EQ(ReadFileBytes(dir.File("doc.kml")), "\xEF\xBB\xBFhead\r\npath\r\n" + big + "tail\r\n");
    EXPECT_EQ(Names(dir), std::vector<std::string>{"doc.kml"});

    // Beside an output that is no regular file the spool is made in TMPDIR.
    OutputFiles devices;
    TextWriter toNull;
    ASSERT_TRUE(toNull.Open(devices, "/dev/null", WriteMode::Plain));
    TextWriter nullSpool;
    const char* old = std::getenv("TMPDIR");
    const std::string kept = old != nullptr ? old : "";
    setenv("TMPDIR", dir.path().c_str(), 1);
    ASSERT_TRUE(nullSpool.OpenSpool(devices, "/dev/null"));
    if (old != nullptr) setenv("TMPDIR", kept.c_str(), 1); else unsetenv("TMPDIR");
    nullSpool.Write("x\n");
    EXPECT_TRUE(nullSpool.AppendTo(toNull));
    EXPECT_TRUE(toNull.Close());
    EXPECT_EQ(Names(dir), std::vector<std::string>{"doc.kml"});

    // A spool that cannot be copied whole fails the set.
    OutputFiles failing;
    TextWriter short_;
    ASSERT_TRUE(short_.Open(failing, dir.File("short.kml"), WriteMode::Plain));
    TextWriter shortSpool;
    ASSERT_TRUE(shortSpool.OpenSpool(failing, dir.File("short.kml")));
    shortSpool.Write("0123456789");
    failing.FailAfterBytes(12);  // the spool's 10 bytes, then 2 of the copy
    EXPECT_FALSE(shortSpool.AppendTo(short_));
    EXPECT_TRUE(failing.Failed());
    short_.Close();
    failing.Discard();
    EXPECT_EQ(Names(dir), std::vector<std::string>{"doc.kml"});
}

}  // namespace
}  // namespace geoplait
