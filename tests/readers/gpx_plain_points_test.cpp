// GPX points in plain markup are read by the reader's own scan: each record,
// the input read up to it and the message, line and column of a broken
// document are those of a read by the parser alone, whatever a point holds,
// and markup that is not plain is left to the parser.
#include <gtest/gtest.h>

#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "geo/number_format.h"
#include "readers/gpx_reader.h"
#include "readers/reader_text.h"
#include "support/record_time.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

using test::TempDir;
using test::WriteFileBytes;

// What a read gave: each record's fields with the input read through it,
// and the error.
struct Read {
    std::vector<std::string> records;
    std::string error;
    uint64_t plain = 0;
    uint64_t shaped = 0;
};

std::string Hex(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%a", value);
    return text;
}

std::string Describe(const TrackPoint& p, uint64_t bytes) {
    std::string d;
    for (const std::string* f : {&p.GgaNS, &p.GgaEW, &p.RmcNS, &p.RmcEW, &p.GgaAltitude, &p.RmcSpeed,
                                 &p.RmcCourse, &p.GgaSatellites, &p.PointName}) {
        d += *f + "|";
    }
    for (const RecordPosition* position : {&p.Position, &p.GgaPosition}) {
        d += position->known ? Hex(position->latitude.degrees) + "," + Hex(position->longitude.degrees) + "|" : "-|";
    }
    return d + test::UtcDateText(p) + " " + test::UtcTimeText(p) + " @" + std::to_string(bytes);
}

Read ReadAll(const std::string& path, GpxScan scan) {
    GpxReader reader;
    Read read;
    EXPECT_TRUE(reader.Open(path, scan));
    TrackPoint point;
    while (reader.Next(point)) {
        read.records.push_back(Describe(point, reader.BytesRead()));
        ClearTrackPoint(point);
    }
    read.error = reader.Error();
    read.plain = reader.PlainPointsRead();
    read.shaped = reader.ShapedPointsRead();
    return read;
}

// Reads the document both ways; the records and the error must agree. The
// read with plain points apart is returned.
Read ExpectSameRead(const std::string& path, const std::string& document) {
    WriteFileBytes(path, document);
    const Read parsed = ReadAll(path, GpxScan::kParserOnly);
    const Read scanned = ReadAll(path, GpxScan::kPlainPointsApart);
    const std::string_view shown = std::string_view(document).substr(0, 10000);
    EXPECT_EQ(parsed.plain, 0u);
    EXPECT_EQ(scanned.error, parsed.error) << shown;
    EXPECT_EQ(scanned.records, parsed.records) << shown;
    return scanned;
}

const std::string kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\"><trk><trkseg>\n";
const std::string kTail = "</trkseg></trk></gpx>\n";

std::string Point(std::string_view content, int i = 0) {
    return "  <trkpt lat=\"35." + std::to_string(i) + "\" lon=\"-139.5\">" + std::string(content) + "</trkpt>\n";
}

// A point of the given content among plain ones before and after it.
std::string Among(std::string_view content) {
    return kHead + Point("<ele>1</ele>", 1) + Point(content, 2) + Point(content, 3) + Point("<name>n</name>", 4) +
           kTail;
}

TEST(GpxPlainPoints, WhatAPointHoldsReadsAsTheParserReadsIt) {
    TempDir dir;
    const std::string path = dir.File("in.gpx");
    const std::string longSpaces(1030, ' ');
    const std::string longBreaks = [] {
        std::string s;
        for (int i = 0; i < 600; ++i) s += "\r\n";
        return s;
    }();
    const std::string_view contents[] = {
        "",
        "<ele>43.1</ele><time>2023-06-30T23:20:01Z</time><speed>4.5</speed><course>39.2</course><sat>8</sat>",
        "\n    <ele>12</ele>\n    <name>walk</name>\n  ",
        "\r\n\t<ele>\r\n 7 \r\n</ele>\r<name>a\r\nb\rc\n\nd\t e</name>\r\n",
        "<name>  a   b  </name>",
        "<name><![CDATA[a<b>&c]]></name>",
        "<name>x<![CDATA[\r\n]]>y</name><ele><![CDATA[5]]></ele>",
        "<ele>1<!-- a comment -->2</ele><name>n<!---->m</name>",
        "<!-- <ele>9</ele> --><ele>3</ele>",
        "<hdop>1.5</hdop><fix>3d</fix><extensions><x:y a='1' b=\"2\"/><z>t</z></extensions>",
        "<gpx:ele>5</gpx:ele><a:name>pre</a:name><p:time>2024-01-02T03:04:05Z</p:time>",
        "<ele/><name/><time/>",
        "<ele></ele><name></name>",
        "<ele>1</ele><ele>2</ele><name>a</name><name>b</name>",
        "<x><ele>3</ele><name>deep</name></x>",
        "<name>a<b>inner</b>c<name>d</name>e</name>",
        "<extensions><gpxtpx:TrackPointExtension><gpxtpx:speed>3</gpxtpx:speed>"
        "<gpxtpx:course>90</gpxtpx:course></gpxtpx:TrackPointExtension></extensions>",
        "<course>10</course><speed>1</speed><extensions><TrackPointExtension><speed>3</speed>"
        "<course>90</course></TrackPointExtension></extensions>",
        "<extensions><TrackPointExtension><TrackPointExtension><speed>3</speed></TrackPointExtension>"
        "</TrackPointExtension></extensions>",
        "<time>2024-05-01T10:00:00Z<a><TrackPointExtension><speed>7</speed></TrackPointExtension></a>tail</time>",
        "<ele x:a=\"1\" b:lat='2'>6</ele><x:y lat=\"1\" lon=\"2\"/>",
        "<name>with &gt; a reference</name>",
        "<name>caf\xC3\xA9</name>",
        "<?pi data?><ele>4</ele>",
        "<ele>1.5e2</ele><speed>-0</speed><course>x</course><sat>12 </sat>",
        "<time> 2024-05-01T10:00:00.123+09:00 </time>",
        "<name>]]</name><ele>>2</ele>",
        "<ele a=\"1\" b='&amp;'>3</ele>",
        "<trkpt lat=\"1\" lon=\"2\"><ele>9</ele></trkpt>",
        "<ele>\t5 </ele><name>a  b</name><sat> 7</sat><time>\n2024-05-01T10:00:00Z</time>",
        "<ele>5</ele ><name >n</name><sat>3</sat  >",
        "<geoidheight>39.4</geoidheight><gpx:TrackPointExtension>x</gpx:TrackPointExtension><hdop>1</hdop>",
        "\r\n        <ele>1</ele>\r\n        <time>2024-05-01T10:00:00Z</time>\r\n      ",
        "<ele>1</ele><name>x</nam>",
        "<ele>2<name>n</name></ele><name>m<x>y</x></name>",
        "<a:b:c>1</a:b:c>",
    };
    for (const std::string_view content : contents) {
        ExpectSameRead(path, Among(content));
    }
    // Values beyond what the reader collects: the cut falls on the same byte.
    for (const std::string& content :
         {"<name>" + longSpaces + "abc</name>", "<name>" + longBreaks + "abc</name>",
          "<ele>" + longBreaks + "</ele><name>x" + longSpaces + "y" + longBreaks + "z</name>"}) {
        ExpectSameRead(path, Among(content));
    }
}

// A point whose content has the bytes of the one before but for the data
// of its whole elements is read along that one's shape; any other
// difference, or data the token way reads otherwise, is read token by token.
TEST(GpxPlainPoints, APointOfTheShapeOfTheOneBeforeReadsAsTheParserReadsIt) {
    TempDir dir;
    const std::string path = dir.File("in.gpx");
    const std::string base =
        "\r\n        <ele>43.1</ele>\r\n        <time>2023-06-30T23:20:01Z</time>\r\n        <hdop>1.5</hdop>"
        "\r\n        <extensions><gpxtpx:TrackPointExtension><gpxtpx:speed>3</gpxtpx:speed>"
        "</gpxtpx:TrackPointExtension></extensions>\r\n        <name>n</name><x a=\"1\"/>\r\n      ";
    // Six points: two of the base, the changed one, the base, the changed
    // one twice. The second of each is read along the shape of the first
    // wherever the first has one: only the base's second where the change
    // has none, also the changed ones' second where its shape is another.
    const struct {
        std::string_view from;
        std::string_view to;
        uint64_t shaped;
        uint64_t plain = 6;
    } changes[] = {
        {"43.1", "-7", 5},
        {"43.1", "", 5},
        {"<name>n</name>", "<name>a  b\tc\nd</name>", 5},
        {"1.5", "12345678901234567890", 5},
        {"<gpxtpx:speed>3", "<gpxtpx:speed>", 5},
        {"<name>n", "<name>]]", 5},
        {"<ele>43.1</ele>", "", 2},
        {"<ele>43.1</ele>", "<ele>1</ele><ele>2</ele>", 2},
        {"<ele>43.1</ele>", "<elf>43.1</elf>", 2},
        {"\r\n        <time>", "\n        <time>", 2},
        {"<x a=\"1\"/>", "<x a=\"2\"/>", 2},
        {"<x a=\"1\"/>", "<x a='1'/>", 2},
        {"<name>n", "<name>n\r\n", 1},
        {"<name>n", "<name>1>2", 1},
        {"<name>n", "<name><!--c-->", 1},
        {"<name>n", "<name><y/>", 1},
        {"<ele>43.1</ele>", "<ele/>", 1},
        {"<ele>43.1</ele>", "<speed/>", 1},  // no speed, not the extension's
        {"<ele>43.1</ele>", "<ele>43.1</ele >", 1},
        {"</extensions>\r\n", "</extensions><!---->\r\n", 1},
        // Left to the parser, where the shape is read anew.
        {"<name>n", "<name>a &amp; b", 1, 3},
        {"<name>n", "<name>caf\xC3\xA9", 1, 3},
    };
    const auto changed = [&](std::string_view from, std::string_view to) {
        std::string content = base;
        const size_t at = content.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return content.replace(at, from.size(), to);
    };
    for (const auto& change : changes) {
        const std::string content = changed(change.from, change.to);
        std::string document = kHead;
        for (int i = 0; i < 2; ++i) document += Point(base, i);
        document += Point(content, 2) + Point(base, 3) + Point(content, 4) + Point(content, 5) + kTail;
        const Read read = ExpectSameRead(path, document);
        EXPECT_EQ(read.plain, change.plain) << change.to;
        EXPECT_EQ(read.shaped, change.shaped) << change.to;
    }
    // A shape holds at most 48 pieces of data (the <ele> one of them): one
    // more, and each point is read token by token.
    for (const auto& [elements, shaped] : {std::pair{46, 2u}, std::pair{47, 2u}, std::pair{48, 0u}}) {
        std::string content;
        for (int i = 0; i < elements; ++i) content += "<hdop>" + std::to_string(i) + "</hdop>";
        const std::string document = kHead + Point(content + "<ele>1</ele>", 1) + Point(content + "<ele>2</ele>", 2) +
                                     Point(content + "<ele>3</ele>", 3) + kTail;
        EXPECT_EQ(ExpectSameRead(path, document).shaped, shaped) << elements;
    }
    // The end tag of the point as the shape has it, or another.
    for (const std::string_view end : {"</trkpt >", "</wpt>", "</trkpt"}) {
        const std::string document = kHead + Point(base, 1) + Point(base, 2) + "  <trkpt lat=\"1\" lon=\"2\">" + base +
                                     std::string(end) + "\n" + Point(base, 3) + kTail;
        ExpectSameRead(path, document);
    }
}

TEST(GpxPlainPoints, ASpeedInMetresPerSecondIsReadOnceAsBefore) {
    TempDir dir;
    const std::string path = dir.File("in.gpx");
    // A speed as knots, as the record took it before: the text cut to 14
    // characters, then read again and converted.
    const auto knots = [](std::string text) {
        TidyText(text);
        std::string speed;
        TakeXmlNumber(text, 14, speed);
        double value = 0.0;
        if (ReadXmlNumber(speed, value)) AssignFixed(speed, value * 3600.0 / 1852.0, 3, 1);
        return speed;
    };
    const std::string_view speeds[] = {
        "2", "4.064111", "1.5e1", "-0", "abc", " 3 ", "12345678901234.5678", "1234567890123.4", "0.0000000000001",
        "99999999999999", "", "1e400", "7.", ".5", "+2.5",
    };
    for (const std::string_view head : {"<gpx version=\"1.0\">", "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\">"}) {
        std::string document = std::string(head) + "<trk><trkseg>\n";
        for (const std::string_view speed : speeds) {
            document += "  <trkpt lat=\"1\" lon=\"2\"><speed>" + std::string(speed) + "</speed></trkpt>\n";
            document += "  <trkpt lat=\"1\" lon=\"2\"><extensions><gpxtpx:TrackPointExtension><gpxtpx:speed>" +
                        std::string(speed) + "</gpxtpx:speed></gpxtpx:TrackPointExtension></extensions></trkpt>\n";
        }
        document += "</trkseg></trk></gpx>\n";
        ExpectSameRead(path, document);
        GpxReader reader;
        ASSERT_TRUE(reader.Open(path));
        TrackPoint point;
        for (const std::string_view speed : speeds) {
            for (int twice = 0; twice < 2; ++twice) {
                ASSERT_TRUE(reader.Next(point));
                EXPECT_EQ(point.RmcSpeed, knots(std::string(speed))) << speed;
                // A speed read with its text is the reading of that text, to the bit.
                if (point.Readings.speedRead) {
                    EXPECT_EQ(Hex(point.Values.speed.value), Hex(ReadingOf(point.RmcSpeed).value)) << speed;
                    EXPECT_TRUE(point.Values.speed.known) << speed;
                }
                ClearTrackPoint(point);
            }
        }
        EXPECT_FALSE(reader.Next(point));
    }
}

TEST(GpxPlainPoints, NumbersReadTheSameWhateverTheirLength) {
    // Texts of 19 bytes and less gather their digits without counting them.
    const std::string_view texts[] = {
        "1234567890123456789",  "12345678901234567890", "123456789012345678.9", "1.234567890123456789",
        "-123456789012345678",  "-1234567890123456789", "9007199254740993",     "9007199254740993.0",
        "0.00000000000000001",  "35.658596667",         "139.745450000",        "-0.5",
    };
    for (const std::string_view text : texts) {
        double value = 0.0;
        ASSERT_TRUE(ReadXmlNumber(text, value)) << text;
        double expected = 0.0;
        const std::string_view digits = text.front() == '+' ? text.substr(1) : text;
        std::from_chars(digits.data(), digits.data() + digits.size(), expected);
        EXPECT_EQ(Hex(value), Hex(expected)) << text;
    }
}

TEST(GpxPlainPoints, PlainPointsAreReadByTheScanAndTheRestByTheParser) {
    TempDir dir;
    const std::string path = dir.File("in.gpx");
    const struct {
        std::string_view content;
        uint64_t plain;  // of the four points of Among
    } cases[] = {
        {"<ele>2</ele>", 4},
        {"<name><![CDATA[x]]></name><!-- c -->", 4},
        {"<name>a &amp; b</name>", 2},  // the plain ones before and after
        {"<name>caf\xC3\xA9</name>", 2},
        {"<?pi?>", 2},
        {"<a><b></a></b>", 1},  // broken: the parser stops at the first of them
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpectSameRead(path, Among(c.content)).plain, c.plain) << c.content;
    }
}

TEST(GpxPlainPoints, WaypointsAndRoutePointsAreReadByTheScanToo) {
    TempDir dir;
    const std::string path = dir.File("in.gpx");
    const std::string point = " lat=\"35.5\" lon=\"139.5\">\n    <ele>5</ele>\n    <name>p</name>\n  ";
    const std::string document = "<gpx version=\"1.1\">\n"
                                 "  <wpt" + point + "</wpt>\n  <wpt" + point + "</wpt>\n"
                                 "  <xwpt" + point + "</xwpt>\n  <gpx:wpt" + point + "</gpx:wpt>\n"
                                 "  <rte><name>r</name>\n  <rtept" + point + "</rtept>\n  <rtept" + point +
                                 "</rtept>\n  <rtept" + point + "</rtept></rte>\n"
                                 "  <trk><trkseg><trkpt" + point + "</trkpt></trkseg></trk>\n</gpx>\n";
    const Read read = ExpectSameRead(path, document);
    EXPECT_EQ(read.records.size(), 7u);
    EXPECT_EQ(read.plain, 7u);
}

TEST(GpxPlainPoints, APointsCoordinatesReadAsTheParserReadsThem) {
    TempDir dir;
    const std::string path = dir.File("in.gpx");
    const std::string_view tags[] = {
        "<trkpt lat=\"35.5\" lon=\"139.5\">",
        "<trkpt lon='139.5' lat='-35.5'>",
        "<trkpt  lat = \"35.5\"\r\n\tlon=\"139.5\" >",
        "<trkpt lat=\"\t35.5\r\n\" lon=\" 139.5 \">",
        "<trkpt lat=\"3\t5.5\" lon=\"13\r\n9.5\">",
        "<trkpt lat=\"35.5\" lon=\"139\r5\">",
        "<trkpt lat=\"35.5\" lon=\"139.5\" ele=\"2\" x:lat=\"1\">",
        "<trkpt lat=\"35.5\">",
        "<trkpt lon=\"139.5\">",
        "<trkpt>",
        "<trkpt lat=\"\" lon=\"139.5\">",
        "<trkpt lat=\"  \" lon=\"139.5\">",
        "<trkpt lat=\"95\" lon=\"139.5\">",
        "<trkpt lat=\"abc\" lon=\"1e2\">",
        "<trkpt lat=\"35.5\" lon=\"139.5\" lat=\"1\">",
        "<trkpt lat=\"35.5\" lon=\"139&#46;5\">",
        "<trkpt lat=\"35.5\" lon=\"139.5\"/>",
        "<gpx:trkpt lat=\"35.5\" lon=\"139.5\">",
    };
    // Line breaks are one blank each to the parser: what is left of a long
    // value within the bytes the reader keeps depends on it.
    std::string breaks;
    for (int i = 0; i < 600; ++i) breaks += i % 2 == 0 ? "\r\n" : "\t\n";
    const std::string longTags[] = {
        "<trkpt lat=\"35.5" + breaks + "x\" lon=\"139.5\">",
        "<trkpt lat=\"35.5\" lon=\"139.5" + breaks + "1\">",
    };
    std::vector<std::string_view> all(std::begin(tags), std::end(tags));
    all.insert(all.end(), std::begin(longTags), std::end(longTags));
    for (const std::string_view tag : all) {
        // The tag first, where the parser reads it, then after a plain point,
        // where the scan does.
        std::string end = "</" + std::string(tag.substr(1, tag.find_first_of(" \t\r\n>", 1) - 1)) + ">";
        if (tag.ends_with("/>")) end.clear();
        const std::string point = std::string(tag) + "<ele>5</ele>" + end + "\n";
        ExpectSameRead(path, kHead + point + Point("<ele>1</ele>") + point + point + kTail);
    }
}

// The start tag of a point with the bytes of the one before but for its
// values is read along that one's shape: its values as they stand.
TEST(GpxPlainPoints, AStartTagOfTheShapeOfTheOneBeforeReadsAsTheParserReadsIt) {
    TempDir dir;
    const std::string path = dir.File("in.gpx");
    const std::string_view tags[] = {
        "<trkpt lat=\"-35.25\" lon=\"139\">", "<trkpt lat=\"\" lon=\"1\">", "<trkpt lat=\"3'5\" lon=\"1\">",
        "<trkpt lat=\"3>5\" lon=\"1\">",  "<trkpt lat=\"3&#46;5\" lon=\"1\">", "<trkpt lat=\"3<5\" lon=\"1\">",
        "<trkpt lat=\"3\t5\" lon=\"1\">",  "<trkpt lat=\"3\r\n5\" lon=\"1\">", "<trkpt lat='35' lon='1'>",
        "<trkpt lon=\"1\" lat=\"35\">",    "<trkpt lat=\"35\" lon=\"1\" x=\"2\">", "<trkpt lat=\"35\"  lon=\"1\">",
        "<trkptx lat=\"35\" lon=\"1\">",   "<trkpt lat=\"35\" lon=\"1\"/>", "<trkpt lat=\"9\xC3\xA9\" lon=\"1\">",
        "<trkpt lat=\"35\" lon=\"1\" lat=\"2\">",
    };
    const std::string base = "<trkpt lat=\"35.5\" lon=\"139.5\">";
    for (const std::string_view tag : tags) {
        const std::string name(tag.substr(1, tag.find(' ') - 1));
        const std::string point = std::string(tag) + (tag.ends_with("/>") ? "" : "<ele>5</ele></" + name + ">") + "\n  ";
        const std::string plain = base + "<ele>5</ele></trkpt>\n  ";
        // After two of the base, then twice itself, then the base again.
        const Read read = ExpectSameRead(path, kHead + plain + plain + point + point + plain + kTail);
        EXPECT_GE(read.plain, 2u) << tag;
    }
}

TEST(GpxPlainPoints, WhatStandsBetweenPointsEndsTheScanThere) {
    TempDir dir;
    const std::string path = dir.File("in.gpx");
    const std::string_view betweens[] = {
        "",
        "\r\n\t ",
        "<!-- between -->",
        "text between",
        "<![CDATA[x]]>",
        "</trkseg><trkseg>",
        "<extensions/>",
        "<wpt lat=\"1\" lon=\"2\"><name>w</name></wpt>",
        "<rtept lat=\"1\" lon=\"2\"/>",
        "&amp;",
        "</trkseg></trk><trk><trkseg>",
    };
    for (const std::string_view between : betweens) {
        std::string document = kHead;
        for (int i = 0; i < 5; ++i) document += Point("<ele>1</ele>", i) + std::string(between);
        ExpectSameRead(path, document + kTail);
    }
}

TEST(GpxPlainPoints, ABrokenDocumentBreaksAtTheSameLineAndColumn) {
    TempDir dir;
    const std::string path = dir.File("in.gpx");
    std::string plain;
    for (int i = 0; i < 40; ++i) plain += Point("\r\n    <ele>1</ele><name>a\nb</name>\r\n  ", i);
    const struct {
        std::string document;
        std::string error;
    } cases[] = {
        {kHead + plain + kTail, ""},
        {kHead + plain + "<trkpt lat=\"1\" lon=\"2\"><ele>1</name></trkpt>" + kTail,
         "line 163, column 31: mismatched tag"},
        {kHead + plain + "<trkpt lat=\"1\" lon=\"2\"><ele>&x;</ele></trkpt>" + kTail,
         "line 163, column 28: undefined entity"},
        {kHead + plain + "<trkpt lat=\"1\" lon=\"2\"><ele>1</ele>", "line 163, column 35: no element found"},
        {kHead + plain, "line 163, column 0: no element found"},
        {kHead + plain + "</trk>", "line 163, column 2: mismatched tag"},
        {kHead + plain + "  <trkpt lat=\"1\" lat=\"2\"/>" + kTail, "line 163, column 17: duplicate attribute"},
        {kHead + plain + "  <trkpt lat=\"1\" lon=\"2\">\xFF</trkpt>" + kTail, ""},
    };
    for (const auto& c : cases) {
        const Read read = ExpectSameRead(path, c.document);
        EXPECT_EQ(read.error, c.error) << c.document;
        EXPECT_GE(read.plain, 40u) << c.document;
    }
}

TEST(GpxPlainPoints, APointThatIsTheDocumentElementHasNoSiblings) {
    TempDir dir;
    const std::string path = dir.File("in.gpx");
    const std::string point = "<trkpt lat=\"5\" lon=\"6\"><ele>1</ele></trkpt>";
    const struct {
        std::string document;
        std::string error;
    } cases[] = {
        {point + point, "line 1, column 43: junk after document element"},
        {point + "\n" + point + "\n" + point, "line 2, column 0: junk after document element"},
        {point + "<!-- c -->" + point, "line 1, column 53: junk after document element"},
        {point + "\n", ""},
    };
    for (const auto& c : cases) {
        const Read read = ExpectSameRead(path, c.document);
        EXPECT_EQ(read.error, c.error) << c.document;
        EXPECT_EQ(read.records.size(), 1u) << c.document;
    }
}

TEST(GpxPlainPoints, PointsAcrossTheEndOfABlockAreReadByTheParser) {
    TempDir dir;
    const std::string path = dir.File("long.gpx");
    // About 1.3 MB: points cut by the end of each block, CR LF line ends.
    std::string document = kHead;
    for (int i = 0; i < 6000; ++i) {
        document += Point("\r\n    <ele>" + std::to_string(i) + "</ele>\r\n    <time>2024-05-01T10:" +
                              std::to_string(10 + i / 60 % 50) + ":" + std::to_string(10 + i % 50) +
                              "Z</time>\r\n    <name>" + std::string(static_cast<size_t>(i % 150), 'x') +
                              "</name>\r\n  ",
                          i);
    }
    EXPECT_GE(ExpectSameRead(path, document + kTail).plain, 5900u);
    EXPECT_GE(ExpectSameRead(path, document + "<trkpt lat=\"1\" lon=\"2\"><q></trkpt>").plain, 5900u);
}

TEST(GpxPlainPoints, MarkupLongerThanTheBoundEndsWhereTheParserAloneEndsIt) {
    TempDir dir;
    const std::string path = dir.File("comment.gpx");
    // A comment of a little more than 16 MiB with start tags of points in
    // it, ending within the block that crosses the bound: the parser reads
    // it whole either way. Longer, the document breaks at it either way.
    std::string filler;
    while (filler.size() < 4000) filler += "<trkpt lat=\"1\" lon=\"2\"> x ";
    for (const size_t bytes : {(size_t{16} << 20) + 100000, (size_t{16} << 20) + 600000}) {
        std::string document = kHead + Point("<ele>1</ele>") + "<!--";
        while (document.size() < bytes) document += filler;
        document += "-->" + Point("<ele>2</ele>") + kTail;
        const Read read = ExpectSameRead(path, document);
        EXPECT_EQ(read.records.size(), bytes < (size_t{33} << 19) ? 2u : 1u);
    }
}

TEST(GpxPlainPoints, RandomDocumentsReadTheSameEitherWay) {
    TempDir dir;
    const std::string path = dir.File("random.gpx");
    // Points of random content, mostly well-formed, now and then with a
    // piece of hostile markup anywhere.
    const std::string_view starts[] = {
        "<trkpt lat=\"1.5\" lon=\"2\">", "<trkpt lon='-3' lat=' 4\t'>", "<trkpt lat=\"5\r\n\" lon=\"6\" a='b'>",
        "<trkpt>", "<trkpt lat=\"7\">", "<wpt lat=\"1\" lon=\"2\">", "<p:trkpt lat=\"1\" lon=\"2\">",
    };
    const std::string_view ends[] = {"</trkpt>", "</trkpt>", "</trkpt>", "</trkpt >", "</wpt>", "</p:trkpt>", ""};
    // Elements of a point, their texts and what else stands in plain content.
    const std::string_view names[] = {"ele", "name", "time", "speed", "course", "sat", "extensions",
                                      "gpxtpx:TrackPointExtension", "gpxtpx:speed", "gpxtpx:course", "x"};
    const std::string_view texts[] = {
        "12.5", "-3e1", "2024-05-01T10:00:00Z", "a b", " ", "\n", "\r\n", "\r", "\t", "<!-- c -->",
        "<![CDATA[ <a>\r\n ]]>", "<ele/>", "<x a='1'/>", "7",
    };
    const std::string_view hostile[] = {
        "&amp;", "&x;", "]]>", ">", "<?p?>", "\xC3\xA9", "\xFF", "\x01", "<", "=\"", "--", "<!--", "-->", "</",
        "<trkpt lat=\"7\" lon=\"8\">", "</trkseg>", "<!DOCTYPE x>", "&#65;", "<a b='1' b='2'/>", "<ele>", "</ele>",
    };
    std::mt19937 random(20261207);
    const auto pick = [&](auto& list) {
        return list[std::uniform_int_distribution<size_t>(0, std::size(list) - 1)(random)];
    };
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> count(0, 8);
    // Well-formed content nested up to `depth` levels, with a hostile piece
    // now and then where `clean` is false.
    std::function<std::string(int, bool)> content = [&](int depth, bool clean) {
        std::string c;
        const int n = count(random) / 2;
        for (int i = 0; i < n; ++i) {
            if (!clean && percent(random) < 10) {
                c += pick(hostile);
            } else if (depth > 0 && percent(random) < 50) {
                const std::string name(pick(names));
                c += "<" + name + ">" + content(depth - 1, clean) + "</" + name + ">";
            } else {
                c += pick(texts);
            }
        }
        return c;
    };
    uint64_t plain = 0;
    uint64_t records = 0;
    for (int round = 0; round < 1500; ++round) {
        std::string document = "<gpx><trk><trkseg>";
        const int points = count(random) * 3;
        for (int k = 0; k < points; ++k) {
            const bool clean = percent(random) < 70;
            document += percent(random) < 85 || !clean ? starts[0] : pick(starts);
            document += content(3, clean);
            document += clean || percent(random) < 85 ? ends[0] : pick(ends);
            document += percent(random) < 50 ? "\n  " : (percent(random) < 90 ? "" : pick(texts));
        }
        if (round % 3 != 0) document += "</trkseg></trk></gpx>";
        WriteFileBytes(path, document);
        const Read parsed = ReadAll(path, GpxScan::kParserOnly);
        const Read scanned = ReadAll(path, GpxScan::kPlainPointsApart);
        plain += scanned.plain;
        records += scanned.records.size();
        ASSERT_EQ(scanned.error, parsed.error) << document;
        ASSERT_EQ(scanned.records, parsed.records) << document;
    }
    // The documents hold plain points often enough for the scan to read many,
    // and others for the parser.
    EXPECT_GT(plain, 3000u) << plain;
    EXPECT_GT(records - plain, 100u) << plain << " of " << records;
}

TEST(GpxPlainPoints, PointsOfOneShapeAndChangesToItReadTheSameEitherWay) {
    TempDir dir;
    const std::string path = dir.File("shapes.gpx");
    const std::string_view names[] = {"ele", "name", "time", "speed", "course", "sat", "hdop", "gpxtpx:speed"};
    const std::string_view values[] = {"12.5", "", "2024-05-01T10:00:00Z", "a b", "7", "\t", "-0", "1e3", "a\r\nb"};
    const std::string_view blanks[] = {"", "\n  ", "\r\n    ", " "};
    const std::string_view bytes[] = {"<", ">", "&", "/", "\r", "\n", " ", "a", "\"", "=", "!", "\xC3", "]"};
    std::mt19937 random(20261208);
    const auto pick = [&](auto& list) {
        return list[std::uniform_int_distribution<size_t>(0, std::size(list) - 1)(random)];
    };
    std::uniform_int_distribution<int> percent(0, 99);
    uint64_t shaped = 0;
    for (int round = 0; round < 400; ++round) {
        // A shape: whole elements, once in an extension, between blanks.
        std::vector<std::string_view> shape;
        const int elements = 1 + percent(random) % 8;
        for (int i = 0; i < elements; ++i) shape.push_back(pick(names));
        const std::string_view blank = pick(blanks);
        const bool extension = percent(random) < 30;
        std::string document = "<gpx><trk><trkseg>";
        for (int k = 0; k < 12; ++k) {
            std::string content;
            for (size_t i = 0; i < shape.size(); ++i) {
                if (extension && i + 1 == shape.size()) content += "<extensions><gpxtpx:TrackPointExtension>";
                content += std::string(blank) + "<" + std::string(shape[i]) + ">" + std::string(pick(values)) + "</" +
                           std::string(shape[i]) + ">";
                if (extension && i + 1 == shape.size()) content += "</gpxtpx:TrackPointExtension></extensions>";
            }
            content += blank;
            // Now and then one byte changed, put in or taken away anywhere.
            if (percent(random) < 25 && !content.empty()) {
                const size_t at = std::uniform_int_distribution<size_t>(0, content.size() - 1)(random);
                const int how = percent(random) % 3;
                if (how == 0) content.insert(at, pick(bytes));
                if (how == 1) content.erase(at, 1);
                if (how == 2) content.replace(at, 1, pick(bytes));
            }
            document += "<trkpt lat=\"1." + std::to_string(k) + "\" lon=\"2\">" + content + "</trkpt>" +
                        std::string(blank);
        }
        document += "</trkseg></trk></gpx>";
        WriteFileBytes(path, document);
        const Read parsed = ReadAll(path, GpxScan::kParserOnly);
        const Read scanned = ReadAll(path, GpxScan::kPlainPointsApart);
        shaped += scanned.shaped;
        ASSERT_EQ(scanned.error, parsed.error) << document;
        ASSERT_EQ(scanned.records, parsed.records) << document;
    }
    EXPECT_GT(shaped, 400u) << shaped;
}

}  // namespace
}  // namespace geoplait
