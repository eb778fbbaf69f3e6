// Element content a reader has no use for, recognised without the parser so
// that the parser need not be given it (XmlStream::PassOverContent).
//
// Only plain markup is recognised: printable ASCII, tabs and line breaks;
// start, end and empty-element tags with names of letters, digits and
// "_:.-" and attributes in quotes (none twice in a tag); comments and CDATA
// sections. An entity or character reference, a processing instruction, a
// declaration, a byte outside ASCII or anything else is not plain: such
// content is left to the parser, which reads it and finds its faults. Plain
// content is well-formed as it stands, so passing over it changes nothing of
// what the document is.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace geoplait {

// The line breaks of plain content: its LF and CR bytes.
struct PlainLines {
    size_t lineFeeds = 0;
    size_t carriageReturns = 0;
};

// The bytes of an element's content in `text` (which starts right after its
// start tag) up to the end tag `</rawName>` that closes it, when all of it is
// plain markup, its elements nest no deeper than `depthRoom` levels, and none
// of them has a local name among `wanted`, with its line breaks in `lines`;
// std::string::npos otherwise (also when `text` ends first).
size_t PlainContentLength(std::string_view text, std::string_view rawName, int depthRoom,
                          std::span<const std::string_view> wanted, PlainLines& lines);

// The same over the element's content and the siblings of the same name
// that follow it, each after character data only and each plain with no
// wanted element, as many as there are: the bytes up to the end tag of the
// last, which close one element for a parser given the rest.
size_t PlainSiblingsLength(std::string_view text, std::string_view rawName, int depthRoom,
                           std::span<const std::string_view> wanted, PlainLines& lines);

// Whether all of `text` is plain characters (printable ASCII, tab, LF, CR);
// adds its LFs and CRs to `lines`.
bool PlainBytes(std::string_view text, PlainLines& lines);

// Elements open at once and attributes of one tag that plain content may
// hold; more is left to the parser.
inline constexpr int kPlainMaxOpen = 64;
inline constexpr int kPlainMaxAttributes = 16;

struct PlainAttribute {
    std::string_view name;
    std::string_view value;  // as it stands between its quotes
    bool spaced = false;     // the value holds a tab or a line break
};

struct PlainScan;

// One piece of plain markup.
struct PlainToken {
    enum class Kind : uint8_t {
        kText,      // character data: `text` as it stands (line breaks not yet made LF)
        kCData,     // a CDATA section: its characters in `text`, as they stand
        kComment,
        kStart,     // a start tag or, when `empty`, an empty-element tag: its name in `text`
        kEnd,       // the end tag of an element begun in the scan (its name checked)
        kOuterEnd,  // an end tag with no element of the scan open: its name in `text`
        kElement,   // a whole element "<name>data</name>" (Next with `whole`): as kStart, and its data in `content`
        kNotPlain,  // anything else, and text that ends before its markup does
    };
    Kind kind = Kind::kNotPlain;
    bool empty = false;
    bool carriageReturn = false;  // kText, kCData, kElement: the text (the content) holds a CR
    bool spaced = false;          // kElement: the content holds white space (blank, tab, CR, LF)
    std::string_view text;
    std::string_view local;    // kStart, kElement: the name without its prefix
    std::string_view content;  // kElement: its character data as it stands, maybe empty
    int attributeCount = 0;
    std::array<PlainAttribute, kPlainMaxAttributes> attributes;
};

// The shape of an element's content that was read as whole elements
// ("<name>data</name>"), other tags and white space alone: its markup and
// white space as they stood, with the character data of each whole element
// a hole in it. A sibling whose content has the same bytes but for that data
// reads as the content did, token for token, so it is followed in one pass
// (PlainTokens::FollowShape) instead of read token by token: the markup
// compared, the data checked plain. Programs write point after point alike.
struct PlainShape {
    // Holes kept at most; content with more has no shape.
    static constexpr size_t kMaxTexts = 48;
    struct Piece {
        uint32_t length = 0;  // of markup and white space, in `literals`
        PlainLines lines;     // its line breaks
    };
    std::string literals;       // the pieces one after the other
    std::vector<Piece> pieces;  // one more than the holes: a piece stands before each and after the last
    std::vector<int> tags;      // a number for each hole, the recorder's to give (what its data is to it)
    PlainLines lines;           // of all the pieces
    int maxOpen = 0;            // elements open at once that the content's scan allowed
    bool whole = false;         // the recording ended with the content: the shape may be followed

    // Recording, along a scan of the content that starts at `at`.
    void Start(const char* at, int open);
    // The piece up to `text`, the data of a whole element, and the hole it is;
    // false once there are too many.
    bool AddText(std::string_view text, int tag);
    // The last piece, up to `end` (the end tag of the element around the content).
    void Close(const char* end);

private:
    const char* from_ = nullptr;  // the end of the last hole (the start, before any)
    bool AddPiece(const char* to);
};

// The shape of a start tag with attributes and the white space before it,
// as PlainShape has that of content: its bytes with each attribute's value a
// hole. A tag of the same bytes but for its values (plain characters other
// than the quote) is that tag with other values (PlainTokens::FollowTag):
// the next point's start tag.
struct PlainTagShape {
    struct Name {
        uint32_t at = 0;  // its first byte, from the start of its piece
        uint32_t length = 0;
    };
    std::string literals;
    std::vector<PlainShape::Piece> pieces;  // one more than the values
    std::vector<Name> names;                // of each value's attribute, in the piece before the value
    uint32_t tagAt = 0;                     // where "<" stands in the first piece
    PlainLines linesBefore;                 // the line breaks before it
    Name name;                              // the tag's name, and its local part
    Name local;
    bool whole = false;

    // Made of the start tag `token` that the scan read from `from` to `end`,
    // with white space (or other character data) alone before it, at `tag`,
    // and `lines` before it since `from`.
    void Record(const char* from, const char* tag, const char* end, const PlainLines& lines, const PlainToken& token);
};

// The data of one hole of a shape as followed: as it stands, and whether it
// holds white space.
struct PlainShapeText {
    std::string_view text;
    bool spaced = false;
};

// Plain markup read token by token, as the parser would report it: start and
// end tags nest within `depthRoom` levels (and kPlainMaxOpen), an end tag
// closes the element open, no attribute stands twice in a tag. Every step is
// bounds-checked against the end of the text; once a token is kNotPlain, the
// scan stays there.
class PlainTokens {
public:
    PlainTokens(std::string_view text, int depthRoom);
    // The next token; without `withText`, character data is checked and
    // passed by, and the markup after it is the token. With `whole`, an
    // element of a start tag without attributes, character data without
    // references or ">", and its end tag right after ("<ele>12.5</ele>", the
    // most common shape of all) is one token, kElement: it is what kStart,
    // kText (when not empty) and kEnd would be, in one step.
    PlainToken::Kind Next(PlainToken& token, bool withText = true, bool whole = false);
    // Next(token, false, true) after the whole elements that come first, each
    // handed to `take` as the kElement token Next would give: the elements of
    // a point in a row, without a call for each (defined with the scan's
    // internals, xml_plain_scan.h).
    template <typename Take>
    PlainToken::Kind NextAfterElements(PlainToken& token, Take&& take);
    // At the start of the content of the element around the scan (no
    // element of the scan open): the content of the shape from here on,
    // then the end tag "</outerName>" as it stands (no blanks before ">"),
    // as the kOuterEnd token: the data
    // of each hole into `texts` (room for kMaxTexts). False, nothing read,
    // where the content differs from the shape but for its data, a hole's
    // data is not plain, holds a reference or a CR (which the token way makes
    // LF), or the text ends first.
    bool FollowShape(const PlainShape& shape, std::string_view outerName, PlainShapeText* texts, PlainToken& token);
    // From here: the white space and start tag of the shape, as the token
    // Next(token, false) would give. False, nothing read, where the bytes
    // differ from the shape's but for the values, a value is not plain or
    // holds a tab or line break, or the text ends first.
    bool FollowTag(const PlainTagShape& shape, PlainToken& token);
    // The line breaks of the scan so far.
    const PlainLines& Lines() const { return lines_; }
    // Where the scan stands, and where the token read last starts.
    const char* At() const { return p_; }
    const char* TokenAt() const { return tokenStart_; }
    // The element whose start tag was read last is the one around what
    // follows: its end tag comes as kOuterEnd.
    void LeaveLastOpen() { --depth_; }
    // Elements begun in the scan and open now.
    int Depth() const { return depth_; }
    // Elements the scan lets open at once.
    int MaxOpen() const { return maxOpen_; }
    // Bytes of the text before the token read last, and after it.
    size_t TokenStart() const { return static_cast<size_t>(tokenStart_ - begin_); }
    size_t Offset() const { return static_cast<size_t>(p_ - begin_); }
    // The line breaks before the token read last.
    const PlainLines& LinesBeforeToken() const { return linesBefore_; }

private:
    bool SkipBlanks();
    bool Element(PlainToken& token);
    PlainToken::Kind Data(PlainToken& token);
    [[gnu::noinline]] PlainToken::Kind MarkupToken(PlainToken& token);
    PlainToken::Kind Markup(PlainScan& scan, PlainToken& token);

    const char* begin_;
    const char* p_;
    const char* end_;
    const char* tokenStart_;
    int maxOpen_;
    int depth_ = 0;
    bool stopped_ = false;
    PlainLines lines_;
    PlainLines linesBefore_;
    std::array<std::string_view, kPlainMaxOpen> open_;
};

}  // namespace geoplait
