#include "engine/text_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

struct ReadCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

TEST(TextReader, LineEndsMarksAndEncodings) {
    const std::vector<ReadCase> cases = {
        {"lf", "a\nb\n", {"a\n", "b\n"}},
        {"crlf", "a\r\nb\r\n", {"a\n", "b\n"}},
        {"no final end", "a\r\nb", {"a\n", "b"}},
        {"lone cr kept", "a\rb\n", {"a\rb\n"}},
        {"cr at end of file", "a\r", {"a\r"}},
        {"utf8 mark skipped", "\xEF\xBB\xBF$GPGGA,1\r\n", {"$GPGGA,1\n"}},
        {"mark only", "\xEF\xBB\xBF", {}},
        {"empty", "", {}},
        {"invalid utf8 passes", "\xFF\xFE\xFD", {}},  // read as UTF-16LE mark + odd byte
        {"invalid utf8 inside", "a\xC3(\x80z\n", {"a\xC3(\x80z\n"}},
        {"utf16le", std::string("\xFF\xFE" "a\0\r\0\n\0\xE5\x65\n\0", 12), {"a\n", "\xE6\x97\xA5\n"}},
        {"utf16be", std::string("\xFE\xFF\0a\0\n", 6), {"a\n"}},
        {"utf16le surrogate pair", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), {"\xF0\x9F\x98\x80"}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        WriteFileBytes(dir.File("in"), c.bytes);
        EXPECT_EQ(ReadAll(dir.File("in")), c.lines) << c.name;
    }
}

TEST(TextReader, LongLineArrivesInPiecesOfLimitMinusOne) {
    TempDir dir;
    std::string text(5000, 'x');
    WriteFileBytes(dir.File("in"), text + "\r\nend\n");
    auto lines = ReadAll(dir.File("in"));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), 4095u);
    EXPECT_EQ(lines[1], std::string(905, 'x') + "\n");
    EXPECT_EQ(lines[2], "end\n");
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

TEST(TextReader, CrLfAcrossTheBlockBoundary) {
    TempDir dir;
    std::string big((1 << 20) - 1, 'y');
    WriteFileBytes(dir.File("in"), big + "\r\nz\r\n");
    auto lines = ReadAll(dir.File("in"), 1 << 21);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], big + "\n");
    EXPECT_EQ(lines[1], "z\n");
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

TEST(TextReader, MissingFileDoesNotOpen) {
    TextReader in("/nonexistent/dir/file");
    EXPECT_FALSE(in.IsOpen());
    std::string line;
    EXPECT_FALSE(in.ReadLine(line));
}

TEST(TextWriter, ModesMarksAndLineEnds) {
    TempDir dir;
    {
        TextWriter out(dir.File("create"), WriteMode::Create);
        out.Write("a\nb");
        out.Printf("%s=%03d\n", "n", 7);
        EXPECT_TRUE(out.Close());
    }
    EXPECT_EQ(ReadFileBytes(dir.File("create")), "\xEF\xBB\xBF" "a\r\nbn=007\r\n");
    {
        TextWriter out(dir.File("nobom"), WriteMode::Create);
        out.DropBom();
        out.Write("x\n");
    }
    EXPECT_EQ(ReadFileBytes(dir.File("nobom")), "x\r\n");
    {
        TextWriter out(dir.File("empty"), WriteMode::Create);
    }
    EXPECT_EQ(ReadFileBytes(dir.File("empty")), "\xEF\xBB\xBF");
    {
        TextWriter out(dir.File("create"), WriteMode::Append);
        out.Write("tail\n");
    }
    EXPECT_EQ(ReadFileBytes(dir.File("create")), "\xEF\xBB\xBF" "a\r\nbn=007\r\ntail\r\n");
    {
        TextWriter out(dir.File("plain"), WriteMode::Plain);
        out.Write("$GPGGA\n");
    }
    EXPECT_EQ(ReadFileBytes(dir.File("plain")), "$GPGGA\r\n");
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

TEST(TextWriter, UncreatableFileFailsToOpen) {
    TextWriter out("/nonexistent/dir/file", WriteMode::Create);
    EXPECT_FALSE(out.IsOpen());
}

}  // namespace
}  // namespace geoplait
