// The scan of plain content at its edges: bytes looked at many at a time
// with a stop at each place of a vector, text that ends within a token, line
// breaks wherever they stand, names across the vectors, nesting at its
// limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "readers/xml_plain.h"

namespace geoplait {
namespace {


constexpr std::string_view kWanted[] = {"LineString", "Track"};
constexpr size_t kNot = std::string::npos;

size_t Plain(std::string_view content, int depthRoom = 100) {
    PlainLines lines;
    return PlainContentLength(content, "P", depthRoom, kWanted, lines);
}

size_t Siblings(std::string_view content, int depthRoom = 100) {
    PlainLines lines;
    return PlainSiblingsLength(content, "P", depthRoom, kWanted, lines);
}

PlainLines CountedLines(std::string_view text) {
    PlainLines lines;
    for (const char c : text) {
        lines.lineFeeds += c == '\n' ? 1 : 0;
        lines.carriageReturns += c == '\r' ? 1 : 0;
    }
    return lines;
}

// ---- Plain bytes ----

TEST(XmlPlainBytes, AByteThatIsNotPlainIsFoundAtEveryPlaceOfEveryLength) {
    const char notPlain[] = {'\0', '\x01', '\x08', '\x0B', '\x0C', '\x1F', '\x7F', '\x80', '\xC3', '\xFF'};
    for (size_t length = 1; length <= 100; ++length) {
        for (size_t at = 0; at < length; ++at) {
            for (const char c : notPlain) {
                std::string text(length, 'a');
                text[at] = c;
                PlainLines lines;
                EXPECT_FALSE(PlainBytes(text, lines)) << length << " " << at << " " << int(c);
            }
        }
        PlainLines lines;
        EXPECT_TRUE(PlainBytes(std::string(length, '~'), lines)) << length;
        EXPECT_TRUE(PlainBytes(std::string(length, ' '), lines)) << length;
    }
}

TEST(XmlPlainBytes, LineBreaksAreCountedOnceAtEveryPlace) {
    for (size_t length = 1; length <= 100; ++length) {
        for (size_t at = 0; at < length; ++at) {
            for (const char c : {'\n', '\r', '\t'}) {
                std::string text(length, 'x');
                text[at] = c;
                text[length - 1 - at] = c == '\t' ? '\n' : c;
                PlainLines lines{1, 2};  // added to
                ASSERT_TRUE(PlainBytes(text, lines)) << length << " " << at;
                const PlainLines want = CountedLines(text);
                EXPECT_EQ(lines.lineFeeds, want.lineFeeds + 1) << length << " " << at;
                EXPECT_EQ(lines.carriageReturns, want.carriageReturns + 2) << length << " " << at;
            }
        }
    }
}

TEST(XmlPlainBytes, LongRunsOfLineBreaksAreCountedWhole) {
    // More line breaks in one place of the vectors than a byte counts.
    for (const size_t length : {31u * 32u, 31u * 32u + 1u, 32u * 32u, 5000u, 100003u}) {
        const std::string lf(length, '\n');
        PlainLines lines;
        ASSERT_TRUE(PlainBytes(lf, lines));
        EXPECT_EQ(lines.lineFeeds, length);
        EXPECT_EQ(lines.carriageReturns, 0u);
        std::string crlf;
        while (crlf.size() < length) crlf += "\r\n";
        lines = {};
        ASSERT_TRUE(PlainBytes(crlf, lines));
        EXPECT_EQ(lines.lineFeeds, crlf.size() / 2);
        EXPECT_EQ(lines.carriageReturns, crlf.size() / 2);
    }
}

TEST(XmlPlainBytes, TextAtAnyOffsetIsReadAsItsBytesOnly) {
    // Bytes around the text are never looked at.
    std::string buffer(300, '\x01');
    for (size_t from = 1; from < 40; ++from) {
        for (size_t length = 0; length < 200; length += 7) {
            std::string text = buffer;
            for (size_t i = from; i < from + length; ++i) text[i] = i % 5 == 0 ? '\n' : 'b';
            PlainLines lines;
            const std::string_view view = std::string_view(text).substr(from, length);
            EXPECT_TRUE(PlainBytes(view, lines)) << from << " " << length;
            EXPECT_EQ(lines.lineFeeds, CountedLines(view).lineFeeds);
        }
    }
}

// ---- Plain content ----

TEST(XmlPlainScan, AStopInCharacterDataIsFoundAtEveryPlace) {
    for (size_t length = 1; length <= 70; ++length) {
        for (size_t at = 0; at < length; ++at) {
            std::string text(length, 'x');
            text[at] = '&';
            EXPECT_EQ(Plain("<a>" + text + "</a></P>"), kNot) << length << " " << at;
            EXPECT_EQ(Plain(text + "</P>"), kNot) << length << " " << at;
            text[at] = '>';
            EXPECT_EQ(Plain("<a>" + text + "</a></P>"), length + 7) << length << " " << at;
            text[at] = '\xE9';
            EXPECT_EQ(Plain("<a>" + text + "</a></P>"), kNot) << length << " " << at;
            text[at] = '\x7F';
            EXPECT_EQ(Plain(text + "</P>"), kNot) << length << " " << at;
            if (at + 3 <= length) {
                text = std::string(length, 'x');
                text.replace(at, 3, "]]>");
                EXPECT_EQ(Plain("<a>" + text + "</a></P>"), kNot) << length << " " << at;
                EXPECT_EQ(Plain("<a><![CDATA[" + text + "]]></a></P>"), kNot) << length << " " << at;
                EXPECT_EQ(Plain(text + "</P>"), kNot) << length << " " << at;
            }
        }
    }
}

TEST(XmlPlainScan, CDataAndCommentsEndAtTheirFirstClose) {
    const struct {
        std::string_view content;
        size_t length;
    } cases[] = {
        {"<![CDATA[]]></P>", 12},
        {"<![CDATA[]]]></P>", 13},
        {"<![CDATA[]]]]></P>", 14},
        {"<![CDATA[] ]] ]>]]></P>", 19},
        {"<![CDATA[&<a>]]></P>", 16},
        {"<![CDATA[\xC3\xA9]]></P>", kNot},
        {"<![CDATA[]]>]]></P>", kNot},
        {"<!-- - -- --></P>", kNot},
        {"<!-- -><- --></P>", 13},
        {"<!-- & --></P>", 10},
        {"<!-- \x01 --></P>", kNot},
        {"<![CDATA[x]]", kNot},
        {"<![CDATA[x]]>", kNot},
        {"<!-- x --", kNot},
    };
    for (const auto& c : cases) EXPECT_EQ(Plain(c.content), c.length) << c.content;
}

TEST(XmlPlainScan, ContentCutAnywhereIsLeftToTheParser) {
    const std::string content =
        "\r\n  <name>-0</name>\n  <snippet/>\n  <description><![CDATA[\n<table>\n<tr><td>x</td></tr>\n</table>\n]]>"
        "</description>\n  <LookAt a='1' bb=\"2 > 1\">\n <tilt>66</tilt>\n</LookAt>\n  <!-- note -->\n"
        "  <kml:TimeStamp>\r\n<when>2023-06-30T23:20:00Z</when></kml:TimeStamp>\n  <averylongelementnamebeyondsixteen>"
        "v</averylongelementnamebeyondsixteen>\n</P >";
    const size_t length = content.rfind("</P");
    PlainLines lines;
    EXPECT_EQ(PlainContentLength(content, "P", 10, kWanted, lines), length);
    const PlainLines want = CountedLines(std::string_view(content).substr(0, length));
    EXPECT_EQ(lines.lineFeeds, want.lineFeeds);
    EXPECT_EQ(lines.carriageReturns, want.carriageReturns);
    for (size_t cut = 0; cut + 1 < content.size(); ++cut) {
        // With the bytes after the cut not of the text: a copy of its own.
        const std::string text = content.substr(0, cut);
        EXPECT_EQ(Plain(text, 10), kNot) << cut;
        EXPECT_EQ(Siblings(text, 10), kNot) << cut;
    }
}

TEST(XmlPlainScan, LineBreaksAreCountedInEveryPartOfTheContentAndNotInItsEndTag) {
    const std::string_view contents[] = {
        "\n</P>",
        "<a\n/>\r</P>",
        "<a\r\nx\n=\r'\n'\n>\r\n</a\n></P>",
        "<![CDATA[\r\n\r\n]]><!--\n\n\n--></P\n>",
        "\r\r\r<b>\n</b>\r</P\r\n>",
    };
    for (const std::string_view content : contents) {
        PlainLines lines;
        const size_t length = PlainContentLength(content, "P", 10, kWanted, lines);
        ASSERT_EQ(length, content.rfind("</P")) << content;
        const PlainLines want = CountedLines(content.substr(0, length));
        EXPECT_EQ(lines.lineFeeds, want.lineFeeds) << content;
        EXPECT_EQ(lines.carriageReturns, want.carriageReturns) << content;
    }
}

TEST(XmlPlainScan, NamesOfEveryLengthAcrossTheVectors) {
    const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_.-0123456789";
    for (size_t length = 1; length <= 40; ++length) {
        std::string name;
        for (size_t i = 0; i < length; ++i) name += letters[(i * 7) % (i == 0 ? 53 : letters.size())];
        const std::string element = "<" + name + ">t</" + name + ">";
        EXPECT_EQ(Plain(element + "</P>"), element.size()) << name;
        EXPECT_EQ(Plain("<" + name + "/></P>"), name.size() + 3) << name;
        EXPECT_EQ(Plain("<" + name + " a='1'></" + name + " ></P>"), 2 * name.size() + 12) << name;
        // The end tag of another name: one byte more, one less, one other.
        EXPECT_EQ(Plain("<" + name + "></" + name + "x></P>"), kNot) << name;
        if (length > 1) {
            EXPECT_EQ(Plain("<" + name + "></" + name.substr(1) + "></P>"), kNot) << name;
        }
        std::string other = name;
        other.back() = other.back() == 'q' ? 'r' : 'q';
        EXPECT_EQ(Plain("<" + name + "></" + other + "></P>"), kNot) << name;
        // A colon at each place: a prefix when at neither end, and one only.
        for (size_t at = 0; at <= length; ++at) {
            std::string prefixed = name;
            prefixed.insert(at, ":");
            const bool valid = at > 0 && at < length;
            EXPECT_EQ(Plain("<" + prefixed + "></" + prefixed + "></P>"), valid ? 2 * prefixed.size() + 5 : kNot)
                << prefixed;
            EXPECT_EQ(Plain("<" + prefixed + ":x/></P>"), kNot) << prefixed;
        }
        // A byte that is no name byte at each place ends the name there.
        for (size_t at = 1; at < length; ++at) {
            for (const char c : {'/', '\xC3', '\x01', '#', '@', '[', '`', '{', ',', ';'}) {
                std::string broken = name;
                broken[at] = c;
                EXPECT_EQ(Plain("<" + broken + "></" + broken + "></P>"), kNot) << broken;
            }
        }
    }
    // Wanted by their local name, whatever the prefix, and only whole.
    EXPECT_EQ(Plain("<gx:Track/></P>"), kNot);
    EXPECT_EQ(Plain("<averyveryverylongprefix:LineString/></P>"), kNot);
    EXPECT_EQ(Plain("<LineStrings/><Trac/><gx:TrackX/></P>"), 33u);
}

TEST(XmlPlainScan, NestingAtItsLimit) {
    for (const int room : {1, 2, 15, 16, 17, 63, 64, 65, 256}) {
        const int open = std::min(room, kPlainMaxOpen);
        std::string nested;
        for (int i = 0; i < open; ++i) nested += "<e" + std::to_string(i) + ">";
        for (int i = open - 1; i >= 0; --i) nested += "</e" + std::to_string(i) + ">";
        EXPECT_EQ(Plain(nested + "</P>", room), nested.size()) << room;
        EXPECT_EQ(Plain("<x>" + nested + "</x></P>", room), kNot) << room;
        EXPECT_EQ(Plain(nested + "<y/></P>", room), nested.size() + 4) << room;
    }
}

// ---- Siblings ----

TEST(XmlPlainScan, SiblingsOfTheSameNameAreTakenWhilePlain) {
    const struct {
        std::string_view content;
        size_t length;
    } cases[] = {
        {"a</P>", 1},
        {"a</P><P>b</P>", 9},
        {"a</P>\n  <P>b</P>\r\n<P x='1' y=\"2\">c</P><Q>", 34},
        {"a</P ><P >b</P >", 11},
        {"a</P><P/><P>b</P>", 1},          // an empty sibling
        {"a</P>x&<P>b</P>", 1},            // a reference between
        {"a</P>]]><P>b</P>", 1},           // "]]>" between
        {"a</P>]] ><P>b</P>", 13},
        {"a</P><!-- --><P>b</P>", 1},      // a comment between
        {"a</P><p:P>b</p:P>", 1},          // another name
        {"a</P><Px>b</Px>", 1},
        {"a</P><P>&amp;</P>", 1},          // a sibling not plain
        {"a</P><P>\xC3\xA9</P>", 1},
        {"a</P><P><Track/></P>", 1},       // wanted in a sibling
        {"a</P><P>b</P><P>c", 9},          // the text ends in the last
        {"a</P><P>b", 1},
        {"a</P><P x='1' x='2'>b</P>", 1},  // an attribute twice
        {"a</P><P>b</P><P>\x01</P>", 9},
        {"a</P><P>b</Q>", 1},
        {"&</P><P>b</P>", kNot},
    };
    for (const auto& c : cases) EXPECT_EQ(Siblings(c.content), c.length) << c.content;
    // The line breaks of all that is taken, the end tags between included.
    PlainLines lines;
    const std::string_view content = "\n</P\n>\r\n<P\r>\n\n</P\n><P>\n&</P>";
    EXPECT_EQ(PlainSiblingsLength(content, "P", 10, kWanted, lines), 14u);
    EXPECT_EQ(lines.lineFeeds, 5u);
    EXPECT_EQ(lines.carriageReturns, 2u);
}

TEST(XmlPlainScan, TheElementsOwnNameIsMatchedWhole) {
    const struct {
        std::string_view content;
        std::string_view rawName;
        size_t length;
    } cases[] = {
        {"a</kml:Placemark><kml:Placemark>b</kml:Placemark >", "kml:Placemark", 33},
        {"a</kml:Placemark><Placemark>b</Placemark>", "kml:Placemark", 1},
        {"a</Placemark><kml:Placemark>b</kml:Placemark>", "Placemark", 1},
        {"a</Placemarks>", "Placemark", kNot},
        {"a</Placemar>", "Placemark", kNot},
        {"a</Placemark\n\r\t >", "Placemark", 1},
        {"a</Placemark/>", "Placemark", kNot},
        {"a</a:b:c>", "a:b:c", kNot},
        {"a</:a>", ":a", kNot},
        {"a</>", "", kNot},
        {"a</P>", "P", 1},
        {"a</P", "P", kNot},
    };
    for (const auto& c : cases) {
        PlainLines lines;
        EXPECT_EQ(PlainSiblingsLength(c.content, c.rawName, 10, kWanted, lines), c.length) << c.content;
    }
}

}  // namespace
}  // namespace geoplait
