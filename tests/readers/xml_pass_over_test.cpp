// Element content kept from the parser: only plain, well-formed markup is
// recognised, and a document read with its plain elements passed over gives
// the same events around them, the same byte counts and the same message,
// line and column where it breaks as when the parser reads all of it; so
// does one with runs of plain sibling elements passed over at once.
#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "readers/kml_reader.h"
#include "readers/xml_plain.h"
#include "readers/xml_stream.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

using test::TempDir;
using test::WriteFileBytes;

constexpr std::string_view kWanted[] = {"LineString", "Track"};
constexpr size_t kNot = std::string::npos;

size_t Plain(std::string_view content, int depthRoom = 100) {
    PlainLines lines;
    return PlainContentLength(content, "P", depthRoom, kWanted, lines);
}

TEST(XmlPlain, PlainContentEndsAtItsOwnEndTag) {
    const struct {
        std::string_view content;
        size_t length;
    } cases[] = {
        {"</P>", 0},
        {"  \r\n\t</P >", 5},
        {"<name>-0</name><snippet/><when>2023-06-30T23:20:00Z</when></P>", 58},
        {"<a x=\"1\" y='>2'\n z = \"\"><b/></a></P>", 32},
        {"<gx:coordX>1</gx:coordX></P>", 24},
        {"<![CDATA[<LineString> & ]] > <]]></P>", 33},
        {"<!-- <LineString> - --></P>", 23},
        {"<!----></P>", 7},
        {"a > b ]> ]]<!---->></P>", 19},
        {"<P>nested</P></P>", 13},
        {"</P></Q>", 0},
        {"<p:Q/></P>", 6},
    };
    for (const auto& c : cases) EXPECT_EQ(Plain(c.content), c.length) << c.content;
}

TEST(XmlPlain, LineBreaksAreCountedWhereverTheyStand) {
    PlainLines lines;
    const std::string_view content = "<a x='\n' \n>\r\n<![CDATA[\n]]><!--\r-->\n</a>\n</P>";
    EXPECT_EQ(PlainContentLength(content, "P", 10, kWanted, lines), content.size() - 4);
    EXPECT_EQ(lines.lineFeeds, 6u);
    EXPECT_EQ(lines.carriageReturns, 2u);
}

TEST(XmlPlain, AnythingElseIsLeftToTheParser) {
    const std::string_view cases[] = {
        "",                                  // ends first
        "<a>",                               // ends first
        "text",                              // ends first
        "</Q>",                              // another element's end
        "<a></b></P>",                       // mismatched
        "<a></a ></P ",                      // unfinished end tag
        "&amp;</P>",                         // a reference
        "&#65;</P>",                         // a character reference
        "<a x=\"&amp;\"/></P>",              // a reference in a value
        "<a x=\"<\"/></P>",                  // "<" in a value
        "<a x=\"1\" x=\"2\"/></P>",          // an attribute twice
        "<a x=\"1\"y=\"2\"/></P>",           // no space before an attribute
        "<a x=1/></P>",                      // a value without quotes
        "<a x/></P>",                        // no value
        "<a / ></P>",                        // "/" apart from ">"
        "]]></P>",                           // "]]>" in text
        "x]]>y</P>",                         // "]]>" in text
        "<?pi?></P>",                        // a processing instruction
        "<!DOCTYPE x></P>",                  // a declaration
        "<!-- a -- b --></P>",               // "--" in a comment
        "<!-- a ---></P>",                   // "-" before the closing "-->"
        "<![CDATA[ x ]></P>",                // an unclosed CDATA section
        "<![CDATX[ x ]]></P>",               // no CDATA section
        "caf\xC3\xA9</P>",                   // a byte outside ASCII
        "a\x01</P>",                         // a control character
        "a\x7F</P>",                         // DEL
        "<LineString/></P>",                 // wanted
        "<x><kml:LineString></kml:LineString></x></P>",  // wanted, with a prefix
        "<gx:Track></gx:Track></P>",         // wanted
        "<1a/></P>",                         // a name starting with a digit
        "<:a/></P>",                         // a name starting with ":"
        "<a:/></P>",                         // a name ending with ":"
        "<a:b:c/></P>",                      // two colons
        "< a/></P>",                         // no name
    };
    for (const std::string_view c : cases) EXPECT_EQ(Plain(c), kNot) << c;
}

TEST(XmlPlain, NestingStaysWithinTheRoomLeft) {
    EXPECT_EQ(Plain("<a><b/></a></P>", 2), 11u);
    EXPECT_EQ(Plain("<a><b/></a></P>", 1), kNot);
    EXPECT_EQ(Plain("<a/></P>", 1), 4u);
    EXPECT_EQ(Plain("<a/></P>", 0), kNot);
    // Beyond 64 open elements the parser reads the content itself.
    std::string deep;
    for (int i = 0; i < 64; ++i) deep += "<a>";
    for (int i = 0; i < 64; ++i) deep += "</a>";
    EXPECT_EQ(Plain(deep + "</P>", 256), deep.size());
    EXPECT_EQ(Plain("<a>" + deep + "</a></P>", 256), kNot);
}

// ---- Documents read with and without passing over ----

// What a reader of events saw: each start and end (name and depth) with the
// bytes read through it, and the error.
struct Events {
    std::vector<std::string> lines;
    std::string error;
    int passed = 0;
};

struct Recorder {
    XmlStream xml;
    bool passOver = false;
    bool siblings = false;  // runs of plain siblings passed over with the element
    int depth = 0;
    int skippedDepth = 0;  // depth of a P passed over, while in it
    Events events;

    static void OnStart(void* user, const XML_Char* name, const XML_Char**) {
        auto& r = *static_cast<Recorder*>(user);
        ++r.depth;
        r.events.lines.push_back("<" + std::string(name) + " " + std::to_string(r.depth) + " " +
                                 std::to_string(r.xml.BytesThroughEvent()));
        if (std::string_view(name) == "P" && r.passOver && r.xml.PassOverContent(name, kWanted, r.siblings)) {
            ++r.events.passed;
            r.skippedDepth = r.depth;
            r.events.lines.push_back("(passed over)");
        }
    }
    static void OnEnd(void* user, const XML_Char* name) {
        auto& r = *static_cast<Recorder*>(user);
        r.events.lines.push_back("</" + std::string(name) + " " + std::to_string(r.depth) + " " +
                                 std::to_string(r.xml.BytesThroughEvent()));
        --r.depth;
    }
    static void OnText(void*, const XML_Char*, int) {}
};

Events Record(const std::string& path, bool passOver, bool siblings = false) {
    Recorder r;
    r.passOver = passOver;
    r.siblings = siblings;
    EXPECT_TRUE(r.xml.Open(path, &r, {&Recorder::OnStart, &Recorder::OnEnd, &Recorder::OnText}));
    if (passOver) r.xml.EndPiecesAtStartTags("P");
    while (r.xml.Run()) {
    }
    r.events.error = r.xml.Error();
    return r.events;
}

// The events of the parser's whole read, less those from after the start of
// each element passed over up to the end that the read passing over saw
// next (its own end, or that of its last sibling passed over with it: the
// same bytes read through it).
std::vector<std::string> Outside(const Events& whole, const Events& over) {
    std::vector<std::string> ends;
    for (size_t i = 1; i + 1 < over.lines.size(); ++i) {
        if (over.lines[i] == "(passed over)") ends.push_back(over.lines[i + 1]);
    }
    std::vector<std::string> kept;
    size_t next = 0;
    bool skipping = false;
    for (const std::string& line : whole.lines) {
        if (skipping) {
            if (line != ends[next]) continue;
            skipping = false;
            ++next;
        }
        kept.push_back(line);
        // A start the other read passed over: the same line, then "(passed over)".
        if (next < ends.size() && line.starts_with("<P ")) {
            for (size_t k = 0; k + 1 < over.lines.size(); ++k) {
                if (over.lines[k] == line && over.lines[k + 1] == "(passed over)") skipping = true;
            }
        }
    }
    return kept;
}

void ExpectSameRead(const std::string& path, const std::string& document, int minimumPassed,
                    int maximumPassed = std::numeric_limits<int>::max(), bool siblings = false) {
    WriteFileBytes(path, document);
    const Events whole = Record(path, false);
    const Events passed = Record(path, true, siblings);
    const std::string_view shown = std::string_view(document).substr(0, 2000);
    EXPECT_GE(passed.passed, minimumPassed) << shown;
    EXPECT_LE(passed.passed, maximumPassed) << shown;
    EXPECT_EQ(passed.error, whole.error) << shown;
    std::vector<std::string> events = passed.lines;
    std::erase(events, "(passed over)");
    EXPECT_EQ(events, Outside(whole, passed)) << shown;
}

TEST(XmlPassOver, ABrokenDocumentBreaksAtTheSameLineAndColumn) {
    TempDir dir;
    const std::string path = dir.File("doc.xml");
    const std::string plain = "<P>\n  <name>a</name>\r\n  <d><![CDATA[x\ny]]></d>\r  <e a='1'/>\n</P>";
    const struct {
        std::string document;
        std::string error;
        int passed;
    } cases[] = {
        {"<r>" + plain + plain + "<P><x></y></P></r>", "line 11, column 12: mismatched tag", 2},
        {"<r>" + plain + "  <P>&bad;</P>" + plain + "</r>", "line 6, column 9: undefined entity", 1},
        {"<r>" + plain + "<q>" + plain + "</r>", "line 11, column 6: mismatched tag", 2},
        {"<r>" + plain + plain, "line 11, column 4: no element found", 2},
        {"<r>" + plain + plain + "</r>", "", 2},
    };
    for (const auto& c : cases) {
        WriteFileBytes(path, c.document);
        EXPECT_EQ(Record(path, true).error, c.error) << c.document;
        ExpectSameRead(path, c.document, c.passed);
    }
}

TEST(XmlPassOver, ColumnsOnOneLineAddUpOverEveryElementPassedOver) {
    TempDir dir;
    const std::string path = dir.File("line.xml");
    std::string document = "<r>";
    for (int i = 0; i < 50; ++i) document += "<P><a x=\"" + std::to_string(i) + "\">b</a></P>";
    ExpectSameRead(path, document + "<P><a></b></P></r>", 50);
    ExpectSameRead(path, document + "</r>&", 50);
    ExpectSameRead(path, document + "\n<x></r>", 50);
}

TEST(XmlPassOver, ElementsAcrossTheEndOfABlockAreReadByTheParser) {
    TempDir dir;
    const std::string path = dir.File("long.xml");
    // About 900 KB: several blocks, an element cut by the end of each.
    std::string document = "<?xml version=\"1.0\"?>\r\n<r>\r\n";
    for (int i = 0; i < 9000; ++i) {
        document += "  <P>\r\n    <name>" + std::to_string(i) + "</name>\r\n    <t>" + std::string(60, 'x') +
                    "</t>\r\n  </P>\r\n";
    }
    ExpectSameRead(path, document + "  <P><q></P>\r\n</r>\r\n", 8900);
    ExpectSameRead(path, document + "</r>\r\n", 8900);
}

// Documents of random pieces, read with their plain elements (or runs of
// plain siblings) passed over and by the parser alone: the elements passed
// over, in all.
void ReadRandomDocuments(uint32_t seed, int rounds, int mostPieces, bool siblings, int& passed) {
    TempDir dir;
    const std::string path = dir.File("random.xml");
    const std::string_view pieces[] = {
        "<P>", "</P>", "<P a='1'>", "<P/>", "<a>", "</a>", "<b x=\"1\" y='2'>", "</b>", "<c/>", "text",
        " ",   "\n",   "\r\n",      "\r",   "&amp;", "&x;", "<!-- c -->", "<!-- - -->", "<![CDATA[ <a> ]]>",
        "]]>", "]",    ">",         "<?p?>", "\xC3\xA9", "\xFF", "\x01", "<LineString/>", "<a", "x=\"",
        "--",  "<!--", "-->",       "</",   "<P ", "<!DOCTYPE r>", "&#65;", "<P>\n<e>1</e>\n</P>",
        "<P><a b='c'>d</a></P>", "<P>\r<!---->\r\n</P>", "</P\n>", "<P>x</P>", "<P>y</P>\n", "</P><P>",
    };
    std::mt19937 random(seed);
    std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> count(0, mostPieces);
    passed = 0;
    for (int round = 0; round < rounds; ++round) {
        std::string document = "<r>";
        const int n = count(random);
        for (int i = 0; i < n; ++i) document += pieces[pick(random)];
        if (round % 3 != 0) document += "</r>";
        WriteFileBytes(path, document);
        const Events whole = Record(path, false);
        const Events over = Record(path, true, siblings);
        passed += over.passed;
        ASSERT_EQ(over.error, whole.error) << document;
        std::vector<std::string> events = over.lines;
        std::erase(events, "(passed over)");
        ASSERT_EQ(events, Outside(whole, over)) << document;
    }
}

TEST(XmlPassOver, RandomDocumentsReadTheSameEitherWay) {
    int passed = 0;
    ReadRandomDocuments(20261207, 1000, 24, false, passed);
    // The documents hold plain elements often enough to pass some over.
    EXPECT_GT(passed, 150) << passed;
}

TEST(XmlPassOver, MarkupHoldingStartTagsIsGivenToTheParserWholeNotInPieces) {
    TempDir dir;
    const std::string path = dir.File("comment.xml");
    // 400 KB of a comment full of start tags that pieces end at: given piece
    // by piece, the parser would scan the comment again with each (seconds,
    // growing with the square of its length); given on to the end of the
    // block, once per block (milliseconds).
    std::string document = "<r><P><a/></P><!--";
    while (document.size() < 400000) document += "<P> x ";
    document += "--><P><a/></P></r>";
    const auto start = std::chrono::steady_clock::now();
    ExpectSameRead(path, document, 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(XmlPassOverSiblings, RunsOfPlainSiblingsAreOneElementToTheParser) {
    TempDir dir;
    const std::string path = dir.File("doc.xml");
    const std::string plain = "<P>\n  <name>a</name>\r\n  <d><![CDATA[x\ny]]></d>\r  <e a='1'/>\n</P>";
    const struct {
        std::string document;
        std::string error;
        int passed;  // at most
    } cases[] = {
        {"<r>" + plain + plain + "<P><x></y></P></r>", "line 11, column 12: mismatched tag", 1},
        {"<r>" + plain + "  <P>&bad;</P>" + plain + "</r>", "line 6, column 9: undefined entity", 1},
        {"<r>" + plain + "<q>" + plain + "</r>", "line 11, column 6: mismatched tag", 2},
        {"<r>" + plain + plain, "line 11, column 4: no element found", 1},
        {"<r>" + plain + plain + "</r>", "", 1},
        // The document element has no siblings to pass over with it.
        {"<P>b</P>\n<P>c</P>", "line 2, column 0: junk after document element", 1},
        {plain + plain, "line 6, column 4: junk after document element", 1},
    };
    for (const auto& c : cases) {
        WriteFileBytes(path, c.document);
        EXPECT_EQ(Record(path, true, true).error, c.error) << c.document;
        EXPECT_EQ(Record(path, false).error, c.error) << c.document;
        ExpectSameRead(path, c.document, 1, c.passed, true);
    }
    // Line breaks in the end tags between siblings and in the last one.
    const struct {
        std::string document;
        int passed;
    } more[] = {
        {"<r>" + plain + "\n<P>a</P\n>\n<P>b</P\r\n>" + plain + "</r>x", 1},
        {"<r>" + plain + "<P>a</P\n>&</r>", 1},
        {"<r><P>a</P\r\n>\n<x></y></r>", 1},
        {"<r><P>a</P>\n<P>b</P><!---->\n<P>c</P>\n\xC3\xA9<P>d</P>\n<P>e</P>\n<P>f</P>\n<P/><P>g</P><P>h</P></r>", 4},
    };
    for (const auto& c : more) ExpectSameRead(path, c.document, 1, c.passed, true);
}

TEST(XmlPassOverSiblings, RunsAcrossTheEndOfABlockStopBeforeIt) {
    TempDir dir;
    const std::string path = dir.File("long.xml");
    // About 900 KB: several blocks, an element cut by the end of each; a few
    // elements not plain here and there.
    std::string document = "<?xml version=\"1.0\"?>\r\n<r>\r\n";
    for (int i = 0; i < 9000; ++i) {
        document += "  <P>\r\n    <name>" + std::to_string(i) + (i % 997 == 0 ? "&amp;" : "") + "</name>\r\n    <t>" +
                    std::string(60, 'x') + "</t>\r\n  </P>\r\n";
    }
    ExpectSameRead(path, document + "  <P><q></P>\r\n</r>\r\n", 1, 40, true);
    ExpectSameRead(path, document + "</r>\r\n", 1, 40, true);
    ExpectSameRead(path, document + "</r>\r\n<", 1, 40, true);
}

TEST(XmlPassOverSiblings, RandomDocumentsReadTheSameEitherWay) {
    int passed = 0;
    ReadRandomDocuments(20261208, 1500, 30, true, passed);
    EXPECT_GT(passed, 200) << passed;
}

// ---- The KML reader ----

TEST(XmlPassOver, KmlLinesSkipThePointsOfATrackButNotItsPath) {
    TempDir dir;
    const std::string path = dir.File("track.kml");
    std::string document = "<kml><Document><Folder>\n";
    for (int i = 0; i < 3; ++i) {
        document += "<Placemark><name>-" + std::to_string(i) +
                    "</name><TimeStamp><when>2023-06-30T23:20:0" + std::to_string(i) +
                    "Z</when></TimeStamp><Point><coordinates>139.7,35.6</coordinates></Point></Placemark>\n";
    }
    document += "</Folder><Placemark><name>Path</name><LineString><coordinates>\n"
                "139.1,35.1\n139.2,35.2\n</coordinates></LineString></Placemark></Document></kml>\n";
    WriteFileBytes(path, document);
    ConvertSettings settings;
    KmlReader reader;
    ASSERT_TRUE(reader.Open(path, {.line = true, .toCsvCustom = true}, settings, LocalClock{}));
    std::vector<std::string> read;
    TrackPoint point;
    while (reader.Next(point)) {
        read.push_back(std::to_string(point.Position.latitude.degrees) + " " + point.PointName);
        ClearTrackPoint(point);
    }
    EXPECT_EQ(reader.Error(), "");
    EXPECT_EQ(read, (std::vector<std::string>{"35.100000 <Path>", "35.200000 <Path>"}));
}

TEST(XmlPassOver, TheWhensOfATrackAreFoundPastThePointsBeforeIt) {
    TempDir dir;
    const std::string path = dir.File("track.kml");
    std::string document = "<kml xmlns:gx=\"http://www.google.com/kml/ext/2.2\"><Document>\n";
    for (int i = 0; i < 3; ++i) {
        document += "<Placemark><TimeStamp><when>2023-06-30T23:20:0" + std::to_string(i) +
                    "Z</when></TimeStamp><Point><coordinates>139.7,35.6</coordinates></Point></Placemark>\n";
    }
    document += "<Placemark><gx:Track><when>2023-07-01T10:00:00Z</when><when>2023-07-01T10:00:01Z</when>"
                "<gx:coord>139.1 35.1 0</gx:coord><gx:coord>139.2 35.2 0</gx:coord></gx:Track></Placemark>"
                "<Placemark><gx:Track><when>2023-07-02T10:00:00Z</when></gx:Track></Placemark>"
                "</Document></kml>\n";
    WriteFileBytes(path, document);
    KmlWhenCursor cursor;
    ASSERT_TRUE(cursor.Open(path));
    std::vector<std::string> whens;
    std::string when;
    ASSERT_TRUE(cursor.Seek(1));
    while (cursor.Next(when)) whens.push_back(when);
    ASSERT_TRUE(cursor.Seek(2));
    while (cursor.Next(when)) whens.push_back(when);
    EXPECT_FALSE(cursor.Seek(3));
    EXPECT_EQ(whens, (std::vector<std::string>{"2023-07-01T10:00:00Z", "2023-07-01T10:00:01Z",
                                               "2023-07-02T10:00:00Z"}));
}

}  // namespace
}  // namespace geoplait
