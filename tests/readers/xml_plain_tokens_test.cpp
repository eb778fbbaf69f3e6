// Plain markup read token by token: a whole element "<name>data</name>" is
// one token where asked, white space between elements is passed by, and
// whatever does not have those shapes exactly (attributes, a blank in the end
// tag, a reference, a text that ends early) is read piece by piece as before,
// with the same tokens, offsets and line breaks.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "readers/xml_plain.h"

namespace geoplait {
namespace {

using Kind = PlainToken::Kind;

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::kText: return "text";
        case Kind::kCData: return "cdata";
        case Kind::kComment: return "comment";
        case Kind::kStart: return "start";
        case Kind::kEnd: return "end";
        case Kind::kOuterEnd: return "outer";
        case Kind::kElement: return "element";
        case Kind::kNotPlain: return "not";
    }
    return "?";
}

// Every token of the text as "kind:text" ("element:name=content" for a whole
// element, its local name after "/" when it has a prefix), each with the
// offset after it and the line breaks before the next one; "!" marks a CR in
// the text or content, "~" white space in a whole element's content.
std::string Tokens(std::string_view text, bool withText, bool whole, int depthRoom = 10) {
    PlainTokens tokens(text, depthRoom);
    PlainToken token;
    std::string out;
    for (int i = 0; i < 100; ++i) {
        const Kind kind = tokens.Next(token, withText, whole);
        out += KindName(kind);
        if (kind == Kind::kNotPlain) break;
        out += ":";
        if (kind != Kind::kComment) out += std::string(token.text);
        if (kind == Kind::kElement || kind == Kind::kStart) {
            if (token.local != token.text) out += "/" + std::string(token.local);
        }
        if (kind == Kind::kElement) {
            out += "=" + std::string(token.content);
            if (token.spaced) out += "~";
        }
        if ((kind == Kind::kText || kind == Kind::kCData || kind == Kind::kElement) && token.carriageReturn) {
            out += "!";
        }
        const PlainLines& lines = tokens.LinesBeforeToken();
        out += "@" + std::to_string(tokens.TokenStart()) + "-" + std::to_string(tokens.Offset()) + "(" +
               std::to_string(lines.lineFeeds) + "," + std::to_string(lines.carriageReturns) + ") ";
    }
    return out;
}

TEST(XmlPlainTokens, AWholeElementIsOneToken) {
    const struct {
        std::string_view text;
        std::string_view tokens;  // with `whole`, text passed by
    } cases[] = {
        {"<ele>43.1</ele></p>", "element:ele=43.1@0-15(0,0) outer:p@15-19(0,0) not"},
        {"<ele></ele></p>", "element:ele=@0-11(0,0) outer:p@11-15(0,0) not"},
        {"<gpx:ele>5</gpx:ele></p>", "element:gpx:ele/ele=5@0-20(0,0) outer:p@20-24(0,0) not"},
        {"<a.b-c_d>x</a.b-c_d></p>", "element:a.b-c_d=x@0-20(0,0) outer:p@20-24(0,0) not"},
        {"<name>a b</name></p>", "element:name=a b~@0-16(0,0) outer:p@16-20(0,0) not"},
        {"<name>a\tb</name></p>", "element:name=a\tb~@0-16(0,0) outer:p@16-20(0,0) not"},
        {"<name>a\r\nb\rc</name></p>", "element:name=a\r\nb\rc~!@0-19(0,0) outer:p@19-23(1,2) not"},
        {"<name>\n</name></p>", "element:name=\n~@0-14(0,0) outer:p@14-18(1,0) not"},
        // Names longer than one word, and ending where the word would.
        {"<geoidheight>39.4</geoidheight></p>", "element:geoidheight=39.4@0-31(0,0) outer:p@31-35(0,0) not"},
        {"<abcdefgh>1</abcdefgh></p>", "element:abcdefgh=1@0-22(0,0) outer:p@22-26(0,0) not"},
        {"<abcdefgh>1</abcdefgx></p>", "start:abcdefgh@0-10(0,0) text:1@10-11(0,0) not"},
        {"<abcdefghi>1</abcdefghx></p>", "start:abcdefghi@0-11(0,0) text:1@11-12(0,0) not"},
        {"<ele>1</el></p>", "start:ele@0-5(0,0) text:1@5-6(0,0) not"},
        {"<ele>1</eles></p>", "start:ele@0-5(0,0) text:1@5-6(0,0) not"},
        // Other shapes, read piece by piece.
        {"<ele>1</ele ></p>", "start:ele@0-5(0,0) text:1@5-6(0,0) end:ele@6-13(0,0) outer:p@13-17(0,0) not"},
        {"<ele >1</ele></p>", "start:ele@0-6(0,0) text:1@6-7(0,0) end:ele@7-13(0,0) outer:p@13-17(0,0) not"},
        {"<ele a='1'>1</ele></p>", "start:ele@0-11(0,0) text:1@11-12(0,0) end:ele@12-18(0,0) outer:p@18-22(0,0) not"},
        {"<ele/></p>", "start:ele@0-6(0,0) outer:p@6-10(0,0) not"},
        {"<ele>1>2</ele></p>", "start:ele@0-5(0,0) text:1>2@5-8(0,0) end:ele@8-14(0,0) outer:p@14-18(0,0) not"},
        {"<ele>]]></ele></p>", "start:ele@0-5(0,0) not"},
        {"<ele>&amp;</ele></p>", "start:ele@0-5(0,0) not"},
        {"<ele>caf\xC3\xA9</ele></p>", "start:ele@0-5(0,0) not"},
        {"<ele>\x01</ele></p>", "start:ele@0-5(0,0) not"},
        {"<ele><![CDATA[1]]></ele></p>",
         "start:ele@0-5(0,0) cdata:1@5-18(0,0) end:ele@18-24(0,0) outer:p@24-28(0,0) not"},
        {"<ele>1<!---->2</ele></p>",
         "start:ele@0-5(0,0) text:1@5-6(0,0) comment:@6-13(0,0) text:2@13-14(0,0) end:ele@14-20(0,0) "
         "outer:p@20-24(0,0) not"},
        {"<x><ele>1</ele></x></p>", "start:x@0-3(0,0) element:ele=1@3-15(0,0) end:x@15-19(0,0) outer:p@19-23(0,0) not"},
        // Names that are none.
        {"<a:>1</a:></p>", "not"},
        {"<a:b:c>1</a:b:c></p>", "not"},
        {"<:a>1</:a></p>", "not"},
        {"<1a>1</1a></p>", "not"},
        {"<a>1</a ", "start:a@0-3(0,0) text:1@3-4(0,0) not"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Tokens(c.text, true, true), c.tokens) << c.text;
        // Without `whole`, the same markup piece by piece.
        std::string pieces = Tokens(c.text, true, false);
        EXPECT_EQ(pieces.find("element"), std::string::npos) << c.text;
    }
}

TEST(XmlPlainTokens, AWholeElementCutByTheEndOfTheTextIsReadPieceByPiece) {
    // The element cut at each of its bytes: never a whole element, and the
    // pieces up to the cut are those without `whole`.
    const std::string element = "<gpx:ele>43.1\r\n</gpx:ele>";
    for (size_t cut = 0; cut < element.size(); ++cut) {
        const std::string text = element.substr(0, cut);
        const std::string tokens = Tokens(text, true, true);
        EXPECT_EQ(tokens, Tokens(text, true, false)) << cut;
        EXPECT_EQ(tokens.find("element"), std::string::npos) << cut;
    }
    // Whole up to its last byte, it is one token.
    EXPECT_EQ(Tokens(element, true, true), "element:gpx:ele/ele=43.1\r\n~!@0-25(0,0) not");
}

TEST(XmlPlainTokens, WhiteSpaceBetweenElementsIsPassedBy) {
    const struct {
        std::string_view text;
        std::string_view tokens;  // with `whole`, text passed by
    } cases[] = {
        {"\n        <ele>1</ele>\n      </p>", "element:ele=1@9-21(1,0) outer:p@28-32(2,0) not"},
        {"\r\n\t<ele>1</ele>\r\n</p>", "element:ele=1@3-15(1,1) outer:p@17-21(2,2) not"},
        {"                  \n\n <ele>1</ele></p>", "element:ele=1@21-33(2,0) outer:p@33-37(2,0) not"},
        {" \t \n<a/></p>", "start:a@4-8(1,0) outer:p@8-12(1,0) not"},
        // Text that is not white space only is checked as before.
        {"\n  x <ele>1</ele></p>", "element:ele=1@5-17(1,0) outer:p@17-21(1,0) not"},
        {"\n  & <ele>1</ele></p>", "not"},
        {"\n  ]]> <ele>1</ele></p>", "not"},
        // White space up to the end of the text, in a word and after it.
        {"\n        ", "not"},
        {"\n   ", "not"},
        {"          \r", "not"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Tokens(c.text, false, true), c.tokens) << c.text;
    }
    // With text asked for, white space is a token of its own.
    EXPECT_EQ(Tokens("\n  <ele>1</ele></p>", true, true),
              "text:\n  @0-3(0,0) element:ele=1@3-15(1,0) outer:p@15-19(1,0) not");
}

TEST(XmlPlainTokens, AWholeElementNestsAsItsStartTagWould) {
    // Room for one level: the element fits inside the text's own content,
    // not inside another element.
    EXPECT_EQ(Tokens("<ele>1</ele></p>", true, true, 1), "element:ele=1@0-12(0,0) outer:p@12-16(0,0) not");
    EXPECT_EQ(Tokens("<x><ele>1</ele></x></p>", true, true, 1), "start:x@0-3(0,0) not");
    EXPECT_EQ(Tokens("<ele>1</ele></p>", true, true, 0), "not");
}

TEST(XmlPlainTokens, AttributeValuesTellWhetherTheyHoldWhiteSpaceToMakeBlanks) {
    const struct {
        std::string_view tag;
        std::string_view value;
        bool spaced;
    } cases[] = {
        {"<a v=\"35.658596667\"/>", "35.658596667", false},
        {"<a v='a b > c \"'/>", "a b > c \"", false},
        {"<a v=\"1\t2\"/>", "1\t2", true},
        {"<a v=\"1\r\n2\"/>", "1\r\n2", true},
        {"<a v=\"a fairly long value that spans more than sixteen bytes\t\"/>",
         "a fairly long value that spans more than sixteen bytes\t", true},
        {"<a v=\"\"/>", "", false},
    };
    for (const auto& c : cases) {
        const std::string text = std::string(c.tag) + "</p>";
        PlainTokens tokens(text, 10);
        PlainToken token;
        ASSERT_EQ(tokens.Next(token, false, true), Kind::kStart) << c.tag;
        ASSERT_EQ(token.attributeCount, 1) << c.tag;
        EXPECT_EQ(token.attributes[0].value, c.value) << c.tag;
        EXPECT_EQ(token.attributes[0].spaced, c.spaced) << c.tag;
    }
    // Values that are no plain content end the scan, long or short.
    for (const std::string_view tag : {"<a v=\"x&amp;y\"/>", "<a v=\"a value longer than sixteen bytes <\"/>",
                                       "<a v=\"caf\xC3\xA9\"/>", "<a v=\"12345678901234567890"}) {
        PlainTokens tokens(tag, 10);
        PlainToken token;
        EXPECT_EQ(tokens.Next(token, false, true), Kind::kNotPlain) << tag;
    }
}

}  // namespace
}  // namespace geoplait
