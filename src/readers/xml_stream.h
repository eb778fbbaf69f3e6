// XML input as a stream of call-backs that a reader can pause when it has a
// record ready and resume for the next. The scanner is the project's own,
// made for GPX and KML of hundreds of megabytes: the file is read in large
// blocks and parsed in place, nothing of the document is kept beyond the
// block being parsed and the names of the open elements.
//
// What it takes: UTF-8 (with or without a byte-order mark), ISO-8859-1 and
// US-ASCII as the declaration names them, UTF-16 with a byte-order mark;
// elements, attributes in either quotes, character data with the five
// predefined entities and character references, CDATA sections, comments,
// processing instructions and a document type declaration (skipped; entities
// it would declare are not known). Line ends arrive as LF; attribute values
// have their white space made blanks. Element names keep their prefixes (no
// namespace processing). It stops with an error, where expat would, at a
// mismatched or unclosed element, a token cut off by the end of the file, an
// unknown entity, text or a second element after the root, a duplicate
// attribute or a "<" in an attribute value.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text_file.h"

namespace geoplait {

class XmlStream {
public:
    using StartHandler = void (*)(void* user, const char* name, const char** attributes);
    using EndHandler = void (*)(void* user, const char* name);
    using TextHandler = void (*)(void* user, const char* text, int length);
    struct Handlers {
        StartHandler start;
        EndHandler end;
        TextHandler text;
    };

    XmlStream() = default;
    ~XmlStream() { Close(); }
    XmlStream(const XmlStream&) = delete;
    XmlStream& operator=(const XmlStream&) = delete;

    // Opens the file for call-backs that get `user`.
    bool Open(const std::string& path, void* user, const Handlers& handlers);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    // Parses on until a call-back calls Pause() (true) or the document ends or
    // fails (false; Error() tells which).
    bool Run();
    // From a call-back: stop right after it returns.
    void Pause() { paused_ = true; }

    // Empty while the document reads well; else where and what went wrong.
    const std::string& Error() const { return error_; }

private:
    enum class Encoding { Utf8, Latin1, Utf16Le, Utf16Be };

    bool Step();
    bool Text();
    bool Markup();
    bool StartTag(size_t end);
    bool EndTag(size_t end);
    bool Skip(std::string_view terminator, bool cdata);
    bool SkipDoctype();
    // Delivers text [from, to) with entities decoded and line ends made LF;
    // returns where it stopped: before an entity or CR that `to` cuts, unless
    // `last`. npos after an error.
    size_t DeliverText(size_t from, size_t to, bool last);
    void Emit(const char* text, size_t length);
    // Makes room and reads more, keeping the bytes from `keep` on; false at
    // the end of the file (or after an error).
    bool Fill(size_t keep);
    size_t ReadDecoded(char* out, size_t room);
    bool DetectEncoding();
    bool Fail(const char* what, size_t at);
    bool FailAtEnd(const char* what) { return Fail(what, end_); }

    std::FILE* file_ = nullptr;
    void* user_ = nullptr;
    Handlers handlers_{};
    Encoding encoding_ = Encoding::Utf8;
    BlockBuffer<char> buf_;
    size_t pos_ = 0;
    size_t end_ = 0;
    bool eof_ = false;
    BlockBuffer<unsigned char> raw_;  // input before decoding (not UTF-8)
    size_t rawCarry_ = 0;
    // Where buf_[0] stands in the document, for the error's line and column.
    uint64_t line_ = 1;
    uint64_t column_ = 0;

    bool started_ = false;  // the encoding is known
    bool paused_ = false;
    bool finished_ = false;
    bool rootSeen_ = false;
    bool rootClosed_ = false;
    bool pendingEnd_ = false;  // an empty element's end, due after a pause
    std::string names_;  // the open elements' names, each ended by '\0'
    std::vector<size_t> nameStarts_;
    std::string attributeText_;
    std::vector<size_t> attributeOffsets_;
    std::vector<const char*> attributes_;
    std::string error_;
};

// The name of an element without its namespace prefix ("gx:Track" -> "Track").
std::string_view LocalName(const char* name);

// Appends character data to a value being collected, up to `capBytes` bytes in
// all: a value longer than any field is cut later anyway, and memory stays
// flat whatever a document holds.
void AppendCapped(std::string& value, const char* data, int length, size_t capBytes);

// The text without XML white space (blank, tab, CR, LF) at either end.
std::string_view TrimXmlSpace(std::string_view text);

// A value as one line, since every output holds it on one: each tab, CR and
// LF becomes a blank, runs of blanks become one, blanks at either end go.
void TidyText(std::string& text);

// An ISO 8601 date and time "yyyy-mm-ddThh:mm:ss[.fff][Z|+hh:mm|-hh:mm]" (a
// date alone stands for its midnight).
struct XmlTimeStamp {
    char date[7];  // ddmmyy, two-digit year
    char time[7];  // hhmmss; fractions of a second are dropped
    enum class Zone { Utc, Offset, Unstated } zone;
    int32_t offset;  // signed hhmmss, the zone's distance from UTC
};
// False when the text is not such a time stamp.
bool ReadXmlTimeStamp(std::string_view text, XmlTimeStamp& stamp);

}  // namespace geoplait
