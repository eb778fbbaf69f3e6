// XML input as a stream of call-backs (libexpat) that a reader can pause when
// it has a record ready and resume for the next: the file is read in large
// blocks, nothing of the document is kept beyond the block being parsed.
// Documents in UTF-8, UTF-16 and ISO-8859-1 are read by expat itself, those
// declared in another encoding that iconv maps byte sequence by sequence
// (windows-125x, ISO-8859-x, Shift_JIS, EUC-JP, GBK, Big5, EUC-KR) through
// iconv; one of variable length such as GB18030 is refused, naming it.
// Also the pieces the GPX and KML readers share: element names without
// their prefix, capped text collection and ISO 8601 time stamps.
//
// A hostile document costs bounded time and memory: elements nested deeper
// than kXmlMaxDepth, or more than kXmlMaxPendingBytes fed to the parser
// without it delivering anything (one token that never ends: a huge tag or
// attribute, which expat would scan again with every block), make the
// document broken there, as a syntax error does. Entities stay as expat
// bounds them (its amplification limit); nothing outside the file is read.
#pragma once

#include <expat.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "readers/xml_plain.h"

namespace geoplait {

inline constexpr int kXmlMaxDepth = 256;
inline constexpr int64_t kXmlMaxPendingBytes = int64_t{16} << 20;

class XmlStream {
public:
    struct Handlers {
        XML_StartElementHandler start;
        XML_EndElementHandler end;
        XML_CharacterDataHandler text;
    };

    XmlStream() = default;
    ~XmlStream() { Close(); }
    XmlStream(const XmlStream&) = delete;
    XmlStream& operator=(const XmlStream&) = delete;

    // Opens the file and a fresh parser whose call-backs get `user`.
    bool Open(const std::string& path, void* user, const Handlers& handlers);
    void Close();
    bool IsOpen() const { return parser_ != nullptr; }

    // Parses on until a call-back calls Pause() (true) or the document ends or
    // fails (false; Error() tells which).
    bool Run();
    // From a call-back: stop after it returns. A few call-backs may still
    // follow (expat delivers what it would otherwise lose), so handlers only
    // collect, and the reader takes its record after Run returns.
    void Pause();

    // Whether character data reaches the reader's text call-back: off when a
    // stream opens, and on only while the reader collects a value, so that
    // the white space between elements costs no call-back.
    void CollectText(bool on);

    // Feeds the parser each block in pieces, each ending with a start tag
    // whose local name is `name` (found in the bytes), so that the call-back
    // of such an element can keep its content from the parser
    // (PassOverContent). Set after Open.
    void EndPiecesAtStartTags(std::string_view name) { EndPiecesAtStartTags({&name, 1}); }
    // The same with any of several names (up to four).
    void EndPiecesAtStartTags(std::span<const std::string_view> names);

    // From the start-element call-back of an element that ends a piece: when
    // its content, up to its end tag, is in the block being read, is plain
    // markup (PlainContentLength: well-formed as it stands) and holds no
    // element whose local name is among `wanted`, the parser is not given
    // it: the element's end tag follows at once. Byte counts, lines and
    // columns of what follows stay those of the document; only the elements
    // inside are not reported. True when so; false in a document not in
    // UTF-8, while text is collected, and for content that is not so.
    // With `siblingsToo`, the elements of the same name that follow it as
    // its siblings after character data only (PlainSiblingsLength) are
    // passed over with it while each is so too: the parser sees its start
    // tag and the last one's end tag, one element where there were several.
    bool PassOverContent(const XML_Char* name, std::span<const std::string_view> wanted, bool siblingsToo = false);

    // The same in two steps, for a reader that reads plain content itself.
    // From the start-element call-back of an element that ends a piece: the
    // rest of the block after its start tag, which the parser has not been
    // given, and the nesting it leaves room for; an empty text where the
    // parser must be given it (the cases where PassOverContent is false).
    struct TextAhead {
        std::string_view text;
        int depthRoom = 0;
        // The element is the document element: it has no siblings, and
        // markup after its end tag is the parser's to refuse.
        bool outermost = false;
    };
    TextAhead TextAfterStartTag(const XML_Char* name) const;
    // Keeps the parser from the first `length` bytes of that text, plain
    // content (xml_plain.h) whose elements all end within it, with its line
    // breaks `lines`: the parser goes on after them.
    void PassOver(size_t length, const PlainLines& lines);

    // Bytes of the document parsed so far, for progress.
    uint64_t BytesRead() const;
    // From a call-back: the bytes of the document up to the end of the markup
    // it was called for, as BytesRead tells after a pause there.
    uint64_t BytesThroughEvent() const { return BytesThroughEvent(0); }
    // The same `more` bytes further on: the end of markup in the text after
    // a start tag (TextAfterStartTag), from its call-back.
    uint64_t BytesThroughEvent(size_t more) const;

    // Empty while the document reads well; else where and what went wrong.
    const std::string& Error() const { return error_; }

private:
    bool Fail(const char* what);
    // Reads the next block into `buffer` (room for the carry and a block),
    // after the carry of the block before, repaired where the document is
    // UTF-8 (RepairUtf8; in pieces, each piece is repaired as it is given):
    // the text to parse, in `buffer` or in repaired_; false on a read error.
    bool ReadBlock(char* buffer, std::string_view& block);
    // Hands the parser its next bytes and parses them: the next block, or
    // with EndPiecesAtStartTags the block's next piece. The failure to
    // report, or nullptr with the parser's status.
    const char* FeedNext(XML_Status& status);
    // The end of the piece of block_ from blockPos_: after the next start
    // tag named pieceName_, or the block's end.
    size_t PieceEnd() const;
    // Where in the document the parser stands, with the passed-over content
    // counted back in.
    struct Position {
        uint64_t line;
        uint64_t column;
    };
    Position DocumentPosition() const;
    // Call-backs that keep the nesting depth and hand on to the reader's.
    static void OnStart(void* self, const XML_Char* name, const XML_Char** attributes);
    static void OnEnd(void* self, const XML_Char* name);
    static void OnText(void* self, const XML_Char* text, int length);

    std::FILE* file_ = nullptr;
    void* user_ = nullptr;
    Handlers handlers_{};
    int depth_ = 0;
    bool tooDeep_ = false;  // a start tag beyond kXmlMaxDepth stopped the parser
    int64_t fed_ = 0;       // bytes handed to the parser so far
    XML_Parser parser_ = nullptr;
    bool lastBlock_ = false;  // the block being parsed is the end of the file
    bool finished_ = false;
    bool pausing_ = false;
    bool collecting_ = false;  // the text call-back is set
    uint64_t bytesRead_ = 0;
    bool firstBlock_ = true;
    // A document in UTF-8 (declared so, or declaring nothing) gets each byte
    // that is not UTF-8 as its windows-1252 character before expat sees it.
    bool repairUtf8_ = false;
    std::string raw_;    // a block that needs repair, copied out of the parser's buffer
    std::string carry_;  // a sequence cut by the block's end
    std::string repaired_;
    std::string refusedEncoding_;  // a declared encoding that cannot be read
    bool fedFinal_ = false;        // the parser has been given the last bytes

    // Pieces (EndPiecesAtStartTags): the block read ahead of the parser.
    std::string pieceName_;  // the end all piece names share, searched for
    std::array<std::string, 4> pieceNames_;
    size_t pieceNameCount_ = 0;
    std::string readBuffer_;
    std::string_view block_;  // in readBuffer_, not yet repaired
    size_t blockPos_ = 0;     // what the parser has been given of it
    bool pieceRepaired_ = false;  // the last piece was not UTF-8 and was given repaired
    XML_Index heldAt_ = -1;       // where the markup the parser held after the last piece began
    // Content passed over: its bytes, its line breaks, and the shift of the
    // parser's columns on its line `shiftLine_` (0: none) after the last.
    uint64_t passedBytes_ = 0;
    uint64_t passedLines_ = 0;
    uint64_t shiftLine_ = 0;
    int64_t columnShift_ = 0;
    std::string error_;
};

// The name of an element without its namespace prefix ("gx:Track" -> "Track").
std::string_view LocalName(const XML_Char* name);

// Appends character data to a value being collected, up to `capBytes` bytes in
// all: a value longer than any field is cut later anyway, and memory stays
// flat whatever a document holds.
void AppendCapped(std::string& value, const XML_Char* data, int length, size_t capBytes);

// The text without XML white space (blank, tab, CR, LF) at either end.
std::string_view TrimXmlSpace(std::string_view text);

// A value as one line, since every output holds it on one: each tab, CR and
// LF becomes a blank, runs of blanks become one, blanks at either end go.
void TidyText(std::string& text);

// An ISO 8601 date and time "yyyy-mm-ddThh:mm:ss[.fff][Z|+hh:mm|-hh:mm]" (a
// date alone stands for its midnight; any number of fractional digits). A
// date that is no day of the calendar or a time that is no time of day is no
// time stamp.
struct XmlTimeStamp {
    int year;
    int month;
    int day;
    int32_t second;  // of the day; fractions of a second are dropped
    enum class Zone { Utc, Offset, Unstated } zone;
    int32_t offset;  // signed hhmmss, the zone's distance from UTC
};
// False when the text is not such a time stamp.
bool ReadXmlTimeStamp(std::string_view text, XmlTimeStamp& stamp);

}  // namespace geoplait
