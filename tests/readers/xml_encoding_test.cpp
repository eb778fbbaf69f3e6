// XML documents of other programs: declared encodings decoded through iconv,
// stray bytes of a UTF-8 document taken as windows-1252 wherever the read
// blocks cut them, and an encoding that cannot be read refused by name.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "readers/gpx_reader.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

constexpr size_t kBlock = 1 << 18;  // the bytes the stream hands expat at a time

struct Read {
    std::vector<std::string> names;
    std::string error;
};

Read ReadGpx(const std::string& bytes) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("in.gpx"), bytes);
    GpxReader reader;
    EXPECT_TRUE(reader.Open(dir.File("in.gpx")));
    Read read;
    TrackPoint point;
    while (reader.Next(point)) {
        read.names.push_back(point.PointName);
        ClearTrackPoint(point);
    }
    read.error = reader.Error();
    return read;
}

std::string Head(const std::string& encoding) {
    return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>\n<gpx version=\"1.1\">\n";
}

std::string Point(const std::string& name) { return "<wpt lat=\"35\" lon=\"139\"><name>" + name + "</name></wpt>\n"; }

// A document whose byte `at` of `name` (in the second point) is the first
// byte of the second read block.
std::string Straddling(const std::string& name, size_t at) {
    const std::string head = Head("UTF-8") + Point("one") + "<!--";
    const std::string before = "-->\n<wpt lat=\"35\" lon=\"139\"><name>";
    const std::string pad(kBlock - head.size() - before.size() - at, 'x');
    return head + pad + before + name + "</name></wpt>\n" + Point("three") + "</gpx>\n";
}

TEST(XmlEncoding, StrayBytesWhereverTheBlocksEnd) {
    const struct {
        std::string name;
        size_t at;
        std::string read;
    } cases[] = {
        {"Caf\xC3\xA9 \xE9t\xE9", 4, "Caf\xC3\xA9 \xC3\xA9t\xC3\xA9"},      // a valid sequence cut
        {"Caf\xE9xyz", 4, "Caf\xC3\xA9xyz"},                                // a stray lead byte last
        {"ab\xE2\x82\xAC\x92", 3, "ab\xE2\x82\xAC\xE2\x80\x99"},            // three bytes cut after two
        {"\x80\xF0\x9F\x98\x80", 2, "\xE2\x82\xAC\xF0\x9F\x98\x80"},        // four bytes cut after one
    };
    for (const auto& c : cases) {
        const std::string doc = Straddling(c.name, c.at);
        ASSERT_EQ(doc.find(c.name), kBlock - c.at) << c.read;
        const Read read = ReadGpx(doc);
        EXPECT_EQ(read.error, "") << c.read;
        EXPECT_EQ(read.names, (std::vector<std::string>{"one", c.read, "three"}));
    }
}

// A document of several blocks: name i has its byte at[i] as the first byte
// of block i + 1, and the document ends with a whole block when `exact`.
std::string AcrossBlocks(const std::vector<std::pair<std::string, size_t>>& names, bool exact) {
    std::string doc = Head("UTF-8") + Point("first");
    const std::string before = "-->\n<wpt lat=\"35\" lon=\"139\"><name>";
    for (size_t i = 0; i < names.size(); ++i) {
        const size_t start = (i + 1) * kBlock - names[i].second;
        doc += "<!--" + std::string(start - doc.size() - 4 - before.size(), 'x') + before;
        doc += names[i].first + "</name></wpt>\n";
    }
    doc += Point("last");
    const std::string end = "</gpx>\n";
    if (exact) {
        const size_t size = (doc.size() + end.size() + 7 + kBlock - 1) / kBlock * kBlock;
        doc += "<!--" + std::string(size - doc.size() - end.size() - 7, 'x') + "-->";
    }
    return doc + end;
}

// Blocks read as they are and blocks repaired follow each other in any
// order: a whole character cut by a block's end waits for the next block,
// repaired or not, and stray bytes are taken as windows-1252 wherever they
// stand, also when the document ends with a whole block.
TEST(XmlEncoding, CleanAndRepairedBlocksInAnyOrder) {
    const std::vector<std::pair<std::string, size_t>> names = {
        {"\xE6\x9D\xB1\xE4\xBA\xAC", 1},     // clean, a character cut after its first byte
        {"plain", 0},                         // clean, whole in the block
        {"Caf\xE9", 3},                       // a stray byte the block starts with
        {"\xF0\x9F\x98\x80 ok", 2},           // clean again after a repaired block, cut after two
        {"a\xE6\x9Dz", 3},                     // a cut start that the next block shows to be none
        {"\xC3\xA9\xC3\xA9", 3},               // cut after the lead byte of the second character
        {"end", 1},
    };
    const std::vector<std::string> read = {
        "first", "\xE6\x9D\xB1\xE4\xBA\xAC", "plain", "Caf\xC3\xA9", "\xF0\x9F\x98\x80 ok",
        "a\xC3\xA6\xEF\xBF\xBDz", "\xC3\xA9\xC3\xA9", "end", "last",
    };
    for (const bool exact : {false, true}) {
        const std::string doc = AcrossBlocks(names, exact);
        for (size_t i = 0; i < names.size(); ++i) {
            ASSERT_EQ(doc.find(names[i].first), (i + 1) * kBlock - names[i].second) << i;
        }
        if (exact) {
            ASSERT_EQ(doc.size() % kBlock, 0u);
        }
        const Read got = ReadGpx(doc);
        EXPECT_EQ(got.error, "") << exact;
        EXPECT_EQ(got.names, read) << exact;
    }
}

TEST(XmlEncoding, DeclaredEncodings) {
    const struct {
        std::string encoding;
        std::string bytes;
        std::string read;
    } cases[] = {
        {"windows-1252", "\x80 caf\xE9 \x93q\x94", "\xE2\x82\xAC caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D"},
        {"ISO-8859-15", "\xA4", "\xE2\x82\xAC"},
        {"Shift_JIS", "\x93\x8C\x8B\x9E \x95\x5C", "\xE6\x9D\xB1\xE4\xBA\xAC \xE8\xA1\xA8"},
        {"EUC-JP", "\xC5\xEC\xB5\xFE \x8E\xB6", "\xE6\x9D\xB1\xE4\xBA\xAC \xEF\xBD\xB6"},
        {"GBK", "\xB1\xB1\xBE\xA9", "\xE5\x8C\x97\xE4\xBA\xAC"},
        {"Big5", "\xA5\x78\xA5\x5F", "\xE5\x8F\xB0\xE5\x8C\x97"},
        {"EUC-KR", "\xBC\xAD\xBF\xEF", "\xEC\x84\x9C\xEC\x9A\xB8"},
    };
    for (const auto& c : cases) {
        const Read read = ReadGpx(Head(c.encoding) + Point(c.bytes) + "</gpx>\n");
        EXPECT_EQ(read.error, "") << c.encoding;
        EXPECT_EQ(read.names, std::vector<std::string>{c.read}) << c.encoding;
    }
}

TEST(XmlEncoding, EncodingsThatCannotBeReadAreNamed) {
    for (const std::string encoding : {"GB18030", "no-such-encoding"}) {
        const Read read = ReadGpx(Head(encoding) + Point("x") + "</gpx>\n");
        EXPECT_TRUE(read.names.empty());
        EXPECT_EQ(read.error, "line 1, column 30: encoding \"" + encoding + "\" cannot be read");
    }
}

}  // namespace
}  // namespace geoplait
