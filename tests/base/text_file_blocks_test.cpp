// Block handling of the text files: for the reader, CR LF pairs and lines
// that meet the end of a 1 MiB read block, the view form of ReadLine and long
// lines without an end; for the writer, pieces that meet the end of its
// buffer.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_file.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

constexpr size_t kBlock = size_t{1} << 20;

std::vector<std::string> ReadAllCopies(const std::string& path, size_t limit) {
    TextReader in(path);
    std::vector<std::string> lines;
    std::string line = "stale";
    while (in.ReadLine(line, limit)) lines.push_back(line);
    EXPECT_EQ(line, "");
    return lines;
}

std::vector<std::string> ReadAllViews(const std::string& path, size_t limit) {
    TextReader in(path);
    std::vector<std::string> lines;
    std::string_view line;
    while (in.ReadLine(line, limit)) lines.emplace_back(line);
    EXPECT_TRUE(line.empty());
    return lines;
}

// Lines of an ASCII text as the reader must deliver them: CR LF and a lone CR
// become "\n", and a line of more than limit-1 characters comes in pieces,
// its "\n" counting as a character of the last one.
std::vector<std::string> ModelLines(const std::string& bytes, size_t limit) {
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        text.push_back(bytes[i] == '\r' ? '\n' : bytes[i]);
    }
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        end = end == std::string::npos ? text.size() : end + 1;
        const size_t take = std::min(end - pos, limit - 1);
        lines.push_back(text.substr(pos, take));
        pos += take;
    }
    return lines;
}

void ExpectBothForms(const std::string& bytes, size_t limit, const std::vector<std::string>& want,
                     const char* name) {
    TempDir dir;
    WriteFileBytes(dir.File("in"), bytes);
    EXPECT_EQ(ReadAllCopies(dir.File("in"), limit), want) << name << " (copies)";
    EXPECT_EQ(ReadAllViews(dir.File("in"), limit), want) << name << " (views)";
}

TEST(TextReaderBlocks, CarriageReturnsAtTheEndOfABlock) {
    const std::string head(kBlock - 1, 'a');  // the block's last byte is the next one
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"cr lf split by the block end", head + "\r\nb\r\n", {head + "\n", "b\n"}},
        {"lone cr at the block end", head + "\rb\n", {head + "\n", "b\n"}},
        {"cr at the block end, cr lf after", head + "\r\r\nb", {head + "\n", "\n", "b"}},
        {"cr as the last byte of a full block", head + "\r", {head + "\n"}},
        {"lf as the last byte of a block", head + "\n\r\n", {head + "\n", "\n"}},
        {"cr lf as the last two bytes", std::string(kBlock - 2, 'a') + "\r\nz",
         {std::string(kBlock - 2, 'a') + "\n", "z"}},
        {"two blocks of cr", std::string(2 * kBlock, '\r') + "\n", std::vector<std::string>(2 * kBlock, "\n")},
    };
    for (const auto& c : cases) ExpectBothForms(c.bytes, 1 << 22, c.lines, c.name);
}

TEST(TextReaderBlocks, UtfSixteenCarriageReturnAtTheEndOfADecodedBlock) {
    // The first block after the mark: "a" x (2^19 - 1) and CR; LF opens the next.
    std::string bytes = "\xFF\xFE";
    for (size_t i = 0; i < (kBlock / 2) - 1; ++i) bytes += std::string("a\0", 2);
    bytes += std::string("\r\0", 2);
    bytes += std::string("\n\0b\0", 4);
    ExpectBothForms(bytes, 1 << 22, {std::string(kBlock / 2 - 1, 'a') + "\n", "b"}, "utf16");
}

TEST(TextReaderBlocks, ShortLimitsAcrossBlocksFollowTheModel) {
    // Random ASCII lines with CR LF, LF, lone CR and long runs over three
    // blocks, read with limits that cut lines short and long.
    std::mt19937 random(7);
    std::string bytes;
    while (bytes.size() < 2 * kBlock + 12345) {
        const int kind = static_cast<int>(random() % 10);
        const size_t length = kind == 0 ? random() % 9000 : random() % 90;
        for (size_t i = 0; i < length; ++i) bytes.push_back(static_cast<char>('0' + random() % 40));
        const int end = static_cast<int>(random() % 6);
        bytes += end < 3 ? "\r\n" : end < 5 ? "\n" : "\r";
    }
    for (size_t limit : {3u, 64u, 4096u}) {
        ExpectBothForms(bytes, limit, ModelLines(bytes, limit), "random");
    }
}

TEST(TextReaderBlocks, ViewAndCopyAgreeWithMultiByteCharactersAtTheLimit) {
    // "é" (2 bytes) and "日" (3 bytes) around limits of a few characters, with
    // CR LF right at the limit.
    const std::string e = "\xC3\xA9";
    const std::string ri = "\xE6\x97\xA5";
    const struct {
        const char* name;
        std::string bytes;
        size_t limit;
        std::vector<std::string> lines;
    } cases[] = {
        {"four characters and cr lf, limit 5", ri + ri + ri + ri + "\r\n", 5,
         {ri + ri + ri + ri, "\n"}},
        {"three characters and cr lf, limit 5", ri + ri + ri + "\r\nx", 5, {ri + ri + ri + "\n", "x"}},
        {"mixed widths", e + "a" + ri + "b\r\n" + e, 4, {e + "a" + ri, "b\n", e}},
        {"bytes beyond the limit, characters within", ri + ri + "\r\n", 4, {ri + ri + "\n"}},
    };
    for (const auto& c : cases) ExpectBothForms(c.bytes, c.limit, c.lines, c.name);
}

TEST(TextReaderBlocks, LineWithoutAnEndArrivesInPieces) {
    // Eight megabytes without a line end: pieces of limit-1 characters.
    const std::string bytes(8 * kBlock + 5, 'q');
    TempDir dir;
    WriteFileBytes(dir.File("in"), bytes);
    TextReader in(dir.File("in"));
    std::string_view line;
    size_t pieces = 0;
    size_t total = 0;
    while (in.ReadLine(line, 4096)) {
        ++pieces;
        total += line.size();
        if (total < bytes.size()) {
            ASSERT_EQ(line.size(), 4095u);
        }
    }
    EXPECT_EQ(total, bytes.size());
    EXPECT_EQ(pieces, (bytes.size() + 4094) / 4095);
}

TEST(TextReaderBlocks, ViewStaysValidUntilTheNextReadOrRewind) {
    TempDir dir;
    WriteFileBytes(dir.File("in"), "first\r\nsecond\n");
    TextReader in(dir.File("in"));
    std::string_view a;
    ASSERT_TRUE(in.ReadLine(a));
    EXPECT_EQ(a, "first\n");
    std::string_view b;
    ASSERT_TRUE(in.ReadLine(b));
    EXPECT_EQ(b, "second\n");
    in.Rewind();
    ASSERT_TRUE(in.ReadLine(a));
    EXPECT_EQ(a, "first\n");
    // Closing ends the reading but leaves the last line readable.
    in.Close();
    EXPECT_EQ(a, "first\n");
    EXPECT_FALSE(in.ReadLine(b));
}

TEST(TextWriterBlocks, PiecesOfEverySizeAroundTheBufferEnd) {
    // Random pieces, from empty to larger than the buffer, with line ends
    // anywhere, several of them at the start and the end of a piece.
    std::mt19937 random(11);
    std::string written;
    std::string want;
    TempDir dir;
    {
        TextWriter out(dir.File("out"), WriteMode::Plain);
        size_t total = 0;
        while (total < 3 * kBlock) {
            const size_t kind = random() % 20;
            const size_t size = kind == 0 ? random() % (kBlock + 100) : kind < 4 ? 0 : random() % 300;
            std::string piece;
            for (size_t i = 0; i < size; ++i) {
                piece.push_back(random() % 8 == 0 ? '\n' : static_cast<char>('a' + random() % 26));
            }
            if (kind == 5) piece = std::string(random() % 5000, '\n');
            out.Write(piece);
            for (char c : piece) {
                if (c == '\n') want.push_back('\r');
                want.push_back(c);
            }
            total += piece.size();
        }
        ASSERT_TRUE(out.Close());
    }
    written = ReadFileBytes(dir.File("out"));
    ASSERT_EQ(written.size(), want.size());
    EXPECT_TRUE(written == want);
}

}  // namespace
}  // namespace geoplait
