#include "readers/xml_stream.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "base/text_encoding.h"
#include "engine/track_point.h"
#include "geo/time_difference.h"

namespace geoplait {

namespace {

// Bytes read and handed to expat at a time.
constexpr size_t kXmlBlock = size_t{1} << 18;

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads `count` digits at text[i], advancing i; false when they are not there.
bool TakeDigits(std::string_view text, size_t& i, size_t count, int& value) {
    if (i + count > text.size()) return false;
    value = 0;
    for (size_t k = 0; k < count; ++k) {
        if (!IsDigit(text[i + k])) return false;
        value = value * 10 + (text[i + k] - '0');
    }
    i += count;
    return true;
}

bool TakeChar(std::string_view text, size_t& i, char c) {
    if (i >= text.size() || text[i] != c) return false;
    ++i;
    return true;
}

// ---- Encodings expat does not know, through iconv ----

// One document's decoder: the iconv descriptor and the length of the byte
// sequence each lead byte starts.
struct IconvEncoding {
    iconv_t cd = reinterpret_cast<iconv_t>(-1);
    int length[256] = {};
};

// The character of one whole byte sequence, or -1.
int DecodeWith(iconv_t cd, const char* bytes, size_t n, int* error) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char out[8];
    char* in = const_cast<char*>(bytes);
    size_t inLeft = n;
    char* outPtr = out;
    size_t outLeft = sizeof out;
    const size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    if (error != nullptr) *error = result == static_cast<size_t>(-1) ? errno : 0;
    if (result == static_cast<size_t>(-1) || inLeft != 0 || sizeof out - outLeft != 4) return -1;
    const auto* u = reinterpret_cast<const unsigned char*>(out);
    const uint32_t c = u[0] | (u[1] << 8) | (static_cast<uint32_t>(u[2]) << 16) | (static_cast<uint32_t>(u[3]) << 24);
    return c <= 0x10FFFF ? static_cast<int>(c) : -1;
}

int XMLCALL ConvertSequence(void* data, const char* s) {
    const auto* encoding = static_cast<const IconvEncoding*>(data);
    const int length = encoding->length[static_cast<unsigned char>(s[0])];
    return DecodeWith(encoding->cd, s, static_cast<size_t>(length), nullptr);
}

void XMLCALL ReleaseEncoding(void* data) {
    auto* encoding = static_cast<IconvEncoding*>(data);
    iconv_close(encoding->cd);
    delete encoding;
}

// The length of the sequences lead byte b starts: 2 or 3 when one such
// sequence decodes and none of another length does; 0 when the length
// depends on the bytes that follow (GB18030); -1 when none decodes (a row
// the encoding leaves unassigned: the byte is invalid).
int SequenceLength(iconv_t cd, unsigned char b) {
    char bytes[4] = {static_cast<char>(b)};
    bool two = false;
    bool longer = false;
    for (int t = 0x21; t <= 0xFE; ++t) {
        bytes[1] = static_cast<char>(t);
        int error = 0;
        if (DecodeWith(cd, bytes, 2, &error) >= 0) two = true;
        if (error == EINVAL) longer = true;  // a valid start of a longer sequence
    }
    if (two) return longer ? 0 : 2;
    for (int t1 = 0xA1; t1 <= 0xFE; ++t1) {
        for (int t2 = 0xA1; t2 <= 0xFE; ++t2) {
            bytes[1] = static_cast<char>(t1);
            bytes[2] = static_cast<char>(t2);
            if (DecodeWith(cd, bytes, 3, nullptr) >= 0) return 3;
        }
    }
    return longer ? 0 : -1;
}

// The iconv name to use for a declared one: the Windows supersets that
// programs mean when they write the older name.
const char* IconvNameOf(std::string_view name) {
    const auto is = [&](std::string_view other) {
        if (name.size() != other.size()) return false;
        for (size_t i = 0; i < name.size(); ++i) {
            const char a = name[i] >= 'a' && name[i] <= 'z' ? static_cast<char>(name[i] - 32) : name[i];
            if (a != other[i]) return false;
        }
        return true;
    };
    if (is("SHIFT_JIS") || is("SHIFT-JIS") || is("SJIS") || is("X-SJIS") || is("MS_KANJI") ||
        is("WINDOWS-31J")) {
        return "CP932";
    }
    if (is("GB2312") || is("EUC-CN") || is("X-GBK")) return "GBK";
    if (is("EUC-KR") || is("KS_C_5601-1987")) return "CP949";
    return nullptr;
}

int XMLCALL OnUnknownEncoding(void* user, const XML_Char* name, XML_Encoding* info) {
    auto* refused = static_cast<std::string*>(user);
    refused->assign(name);
    auto encoding = std::make_unique<IconvEncoding>();
    if (const char* superset = IconvNameOf(name)) encoding->cd = iconv_open("UTF-32LE", superset);
    if (encoding->cd == reinterpret_cast<iconv_t>(-1)) encoding->cd = iconv_open("UTF-32LE", name);
    if (encoding->cd == reinterpret_cast<iconv_t>(-1)) return XML_STATUS_ERROR;
    bool multibyte = false;
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        int error = 0;
        const int c = DecodeWith(encoding->cd, &byte, 1, &error);
        if (c >= 0) {
            info->map[b] = c;
            encoding->length[b] = 1;
        } else if (error == EINVAL) {
            const int length = SequenceLength(encoding->cd, static_cast<unsigned char>(b));
            if (length == 0) {
                iconv_close(encoding->cd);
                return XML_STATUS_ERROR;
            }
            info->map[b] = length < 0 ? -1 : -length;
            encoding->length[b] = length < 0 ? 0 : length;
            multibyte = multibyte || length > 0;
        } else {
            info->map[b] = -1;
        }
    }
    // ASCII must be ASCII for expat; an encoding where it is not is refused.
    for (int b = 0x20; b < 0x7F; ++b) {
        if (info->map[b] != b && std::strchr("$@\\^`{}~", b) == nullptr) {
            iconv_close(encoding->cd);
            return XML_STATUS_ERROR;
        }
    }
    refused->clear();
    info->convert = multibyte ? &ConvertSequence : nullptr;
    info->release = &ReleaseEncoding;
    info->data = encoding.release();
    return XML_STATUS_OK;
}

// Whether the document starting with `head` is UTF-8: no UTF-16 mark or
// layout, and an XML declaration that declares no encoding or UTF-8.
bool IsUtf8Document(std::string_view head) {
    if (head.size() >= 2 && ((head[0] == '\xFE' && head[1] == '\xFF') || (head[0] == '\xFF' && head[1] == '\xFE') ||
                             head[0] == '\0' || head[1] == '\0')) {
        return false;
    }
    if (head.starts_with("\xEF\xBB\xBF")) head.remove_prefix(3);
    if (!head.starts_with("<?xml")) return true;
    const size_t close = head.find("?>");
    const std::string_view declaration = head.substr(0, close);
    const size_t key = declaration.find("encoding");
    if (key == std::string_view::npos) return true;
    const size_t quote = declaration.find_first_of("\"'", key);
    if (quote == std::string_view::npos) return true;
    const size_t end = declaration.find(declaration[quote], quote + 1);
    if (end == std::string_view::npos) return true;
    std::string name(declaration.substr(quote + 1, end - quote - 1));
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return name == "UTF-8" || name == "UTF8";
}

// The length of the valid start of a UTF-8 sequence that the end of the text
// cuts off (1 to 3 bytes), or 0 when the text ends with a whole character
// or with bytes that are no such start.
size_t CutSequenceLength(std::string_view text) {
    size_t start = text.size();
    while (start > 0 && text.size() - start < 3 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) {
        --start;
    }
    if (start == 0 || static_cast<unsigned char>(text[start - 1]) < 0xC0) return 0;
    bool incomplete = false;
    const auto* tail = reinterpret_cast<const unsigned char*>(text.data()) + start - 1;
    const size_t length = text.size() - start + 1;
    return Utf8SequenceLength(tail, length, incomplete) == 0 && incomplete ? length : 0;
}

}  // namespace

bool XmlStream::Open(const std::string& path, void* user, const Handlers& handlers) {
    Close();
    error_.clear();
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) return false;
    parser_ = XML_ParserCreate(nullptr);
    if (parser_ == nullptr) {
        std::fclose(file_);
        file_ = nullptr;
        return false;
    }
    user_ = user;
    handlers_ = handlers;
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &OnStart, &OnEnd);
    collecting_ = false;
    depth_ = 0;
    tooDeep_ = false;
    fed_ = 0;
    refusedEncoding_.clear();
    XML_SetUnknownEncodingHandler(parser_, &OnUnknownEncoding, &refusedEncoding_);
    lastBlock_ = false;
    finished_ = false;
    pausing_ = false;
    bytesRead_ = 0;
    firstBlock_ = true;
    repairUtf8_ = false;
    carry_.clear();
    fedFinal_ = false;
    pieceName_.clear();
    pieceNameCount_ = 0;
    block_ = {};
    blockPos_ = 0;
    pieceRepaired_ = false;
    heldAt_ = -1;
    passedBytes_ = 0;
    passedLines_ = 0;
    shiftLine_ = 0;
    columnShift_ = 0;
    return true;
}

bool XmlStream::ReadBlock(char* buffer, std::string_view& block) {
    const size_t carried = carry_.size();
    std::memcpy(buffer, carry_.data(), carried);
    carry_.clear();
    const size_t n = std::fread(buffer + carried, 1, kXmlBlock, file_);
    if (std::ferror(file_)) return false;
    bytesRead_ += n;
    lastBlock_ = n < kXmlBlock;
    std::string_view text(buffer, carried + n);
    if (firstBlock_) {
        firstBlock_ = false;
        repairUtf8_ = IsUtf8Document(text);
    }
    block = text;
    if (!repairUtf8_) return true;
    // A sequence cut by the end of the block waits for the next one.
    if (!lastBlock_) {
        const size_t cut = CutSequenceLength(text);
        carry_.assign(text.substr(text.size() - cut));
        text.remove_suffix(cut);
        block = text;
    }
    // In pieces each piece is checked as it goes to the parser (a piece
    // ends at a ">" or at the block's end, never within a sequence), so
    // that content passed over is never looked at twice.
    if (!pieceName_.empty() || IsUtf8Text(text)) return true;
    raw_.assign(text);
    RepairUtf8(raw_, repaired_);
    block = repaired_;
    return true;
}

const char* XmlStream::FeedNext(XML_Status& status) {
    const char* kNoMemory = XML_ErrorString(XML_ERROR_NO_MEMORY);
    std::string_view text;
    if (pieceName_.empty()) {
        // The block goes straight into the parser's buffer; only a block
        // that needs repair is copied in once more.
        auto* buffer = static_cast<char*>(XML_GetBuffer(parser_, static_cast<int>(carry_.size() + kXmlBlock)));
        if (buffer == nullptr) return kNoMemory;
        if (!ReadBlock(buffer, text)) return "read error";
        if (text.data() != buffer) {
            void* into = XML_GetBuffer(parser_, static_cast<int>(std::max<size_t>(text.size(), 1)));
            if (into == nullptr) return kNoMemory;
            std::memcpy(into, text.data(), text.size());
        }
        fedFinal_ = lastBlock_;
    } else {
        // The block is read here and handed on a piece at a time, each up to
        // the end of a start tag the reader may pass over the content of.
        if (blockPos_ == block_.size()) {
            readBuffer_.resize(kXmlBlock + 4);
            if (!ReadBlock(readBuffer_.data(), block_)) return "read error";
            blockPos_ = 0;
        }
        // Markup not closed yet at the end of a piece (a comment, a CDATA
        // section, a tag) stays with the parser, which scans it again with
        // each piece: when it still holds the same after the next piece, the
        // rest of the block goes at once, as without pieces.
        const XML_Index parsed = XML_GetCurrentByteIndex(parser_);
        const XML_Index held = parsed >= 0 && parsed < fed_ ? parsed : -1;
        const size_t end = held >= 0 && held == heldAt_ ? block_.size() : PieceEnd();
        heldAt_ = held;
        text = block_.substr(blockPos_, end - blockPos_);
        blockPos_ = end;
        pieceRepaired_ = repairUtf8_ && !IsUtf8Text(text);
        if (pieceRepaired_) {
            raw_.assign(text);
            RepairUtf8(raw_, repaired_);
            text = repaired_;
        }
        void* into = XML_GetBuffer(parser_, static_cast<int>(std::max<size_t>(text.size(), 1)));
        if (into == nullptr) return kNoMemory;
        std::memcpy(into, text.data(), text.size());
        fedFinal_ = lastBlock_ && blockPos_ == block_.size();
    }
    fed_ += static_cast<int64_t>(text.size());
    status = XML_ParseBuffer(parser_, static_cast<int>(text.size()), fedFinal_ ? XML_TRUE : XML_FALSE);
    return nullptr;
}

// The parser counts only the bytes it was given: those passed over
// (PassOverContent) are added back.
uint64_t XmlStream::BytesRead() const {
    if (parser_ == nullptr || finished_) return bytesRead_;
    const XML_Index at = XML_GetCurrentByteIndex(parser_);
    const uint64_t in = static_cast<uint64_t>(at) + passedBytes_;
    return at > 0 && in < bytesRead_ ? in : bytesRead_;
}

uint64_t XmlStream::BytesThroughEvent(size_t more) const {
    const XML_Index at = XML_GetCurrentByteIndex(parser_);
    if (at < 0) return bytesRead_;
    const uint64_t end =
        static_cast<uint64_t>(at) + static_cast<uint64_t>(XML_GetCurrentByteCount(parser_)) + passedBytes_ + more;
    return end > 0 && end < bytesRead_ ? end : bytesRead_;
}

void XmlStream::Close() {
    if (parser_ != nullptr) XML_ParserFree(parser_);
    parser_ = nullptr;
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

bool XmlStream::Fail(const char* what) {
    finished_ = true;
    char text[160];
    const Position at = DocumentPosition();
    std::snprintf(text, sizeof text, "line %lu, column %lu: %s", static_cast<unsigned long>(at.line),
                  static_cast<unsigned long>(at.column), what);
    error_.assign(text);
    return false;
}

void XmlStream::OnStart(void* self, const XML_Char* name, const XML_Char** attributes) {
    auto& x = *static_cast<XmlStream*>(self);
    if (x.tooDeep_) return;
    if (++x.depth_ > kXmlMaxDepth) {
        // Stops for good, also when the reader has just asked for a pause.
        x.tooDeep_ = true;
        XML_StopParser(x.parser_, XML_FALSE);
        return;
    }
    x.handlers_.start(x.user_, name, attributes);
}

void XmlStream::OnEnd(void* self, const XML_Char* name) {
    auto& x = *static_cast<XmlStream*>(self);
    if (x.tooDeep_) return;
    --x.depth_;
    x.handlers_.end(x.user_, name);
}

void XmlStream::OnText(void* self, const XML_Char* text, int length) {
    auto& x = *static_cast<XmlStream*>(self);
    if (!x.tooDeep_) x.handlers_.text(x.user_, text, length);
}

void XmlStream::CollectText(bool on) {
    if (on == collecting_) return;
    collecting_ = on;
    XML_SetCharacterDataHandler(parser_, on ? &OnText : nullptr);
}

void XmlStream::Pause() {
    if (pausing_) return;
    pausing_ = true;
    XML_StopParser(parser_, XML_TRUE);
}

bool XmlStream::Run() {
    if (parser_ == nullptr || finished_) return false;
    pausing_ = false;
    XML_ParsingStatus parsing;
    XML_GetParsingStatus(parser_, &parsing);
    // Resume a paused parse, else parse the next block or piece, until a
    // call-back pauses, the document fails or its last bytes are through.
    bool resume = parsing.parsing == XML_SUSPENDED;
    for (;;) {
        XML_Status status = XML_STATUS_OK;
        if (resume) {
            status = XML_ResumeParser(parser_);
            resume = false;
        } else if (const char* failure = FeedNext(status)) {
            return Fail(failure);
        }
        if (tooDeep_) return Fail("elements nested deeper than 256 levels");
        if (status == XML_STATUS_SUSPENDED) return true;
        if (status == XML_STATUS_ERROR) {
            if (XML_GetErrorCode(parser_) == XML_ERROR_UNKNOWN_ENCODING && !refusedEncoding_.empty()) {
                const std::string what = "encoding \"" + refusedEncoding_.substr(0, 40) + "\" cannot be read";
                return Fail(what.c_str());
            }
            return Fail(XML_ErrorString(XML_GetErrorCode(parser_)));
        }
        // What expat keeps unparsed is one unfinished token; beyond the
        // bound it is no document this program reads.
        const XML_Index parsed = XML_GetCurrentByteIndex(parser_);
        if (!fedFinal_ && parsed >= 0 && fed_ - static_cast<int64_t>(parsed) > kXmlMaxPendingBytes) {
            return Fail("more than 16 MiB without markup ending");
        }
        if (fedFinal_) {
            finished_ = true;
            return false;
        }
    }
}

std::string_view LocalName(const XML_Char* name) {
    // One pass over a name of a few bytes, for every element of a document.
    const char* local = name;
    const char* end = name;
    for (; *end != '\0'; ++end) {
        if (*end == ':') local = end + 1;
    }
    return std::string_view(local, static_cast<size_t>(end - local));
}

void AppendCapped(std::string& value, const XML_Char* data, int length, size_t capBytes) {
    if (length <= 0 || value.size() >= capBytes) return;
    value.append(data, std::min(static_cast<size_t>(length), capBytes - value.size()));
}

std::string_view TrimXmlSpace(std::string_view text) {
    while (!text.empty() && IsXmlSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsXmlSpace(text.back())) text.remove_suffix(1);
    return text;
}

void TidyText(std::string& text) {
    // Most values (numbers, times) hold no white space at all: a look at
    // each byte finds that without rewriting them.
    bool space = false;
    for (const char c : text) space |= static_cast<unsigned char>(c) <= ' ' && IsXmlSpace(c);
    if (!space) return;
    // In one pass: white space before the first other character goes, a run
    // of it after one is kept as a blank when another character follows.
    size_t out = 0;
    bool blank = false;
    for (const char c : text) {
        if (IsXmlSpace(c)) {
            blank = out > 0;
            continue;
        }
        if (blank) {
            text[out++] = ' ';
            blank = false;
        }
        text[out++] = c;
    }
    text.resize(out);
}

namespace {

// The stamp most files hold, "yyyy-mm-ddThh:mm:ssZ", read in its fixed
// places; false for any other text, which the general reading takes.
bool ReadUtcStampInPlace(std::string_view t, XmlTimeStamp& stamp) {
    if (t.size() != 20 || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' || t[16] != ':' ||
        t[19] != 'Z') {
        return false;
    }
    const auto digit = [&](size_t k) { return static_cast<unsigned>(static_cast<unsigned char>(t[k])) - unsigned{'0'}; };
    constexpr size_t kPlaces[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18};
    unsigned any = 0;
    for (const size_t k : kPlaces) any |= digit(k) > 9 ? 1U : 0U;
    if (any != 0) return false;
    const auto two = [&](size_t k) { return static_cast<int>(digit(k) * 10 + digit(k + 1)); };
    const int year = two(0) * 100 + two(2);
    const int month = two(5);
    const int day = two(8);
    const int hours = two(11);
    const int minutes = two(14);
    const int seconds = two(17);
    if (!IsDayOfMonth(year, month, day) || hours > 23 || minutes > 59 || seconds > 59) return false;
    stamp.year = year;
    stamp.month = month;
    stamp.day = day;
    stamp.second = hours * 3600 + minutes * 60 + seconds;
    stamp.zone = XmlTimeStamp::Zone::Utc;
    stamp.offset = 0;
    return true;
}

}  // namespace

bool ReadXmlTimeStamp(std::string_view text, XmlTimeStamp& stamp) {
    text = TrimXmlSpace(text);
    if (ReadUtcStampInPlace(text, stamp)) return true;
    size_t i = 0;
    int year = 0;
    int month = 0;
    int day = 0;
    if (!TakeDigits(text, i, 4, year) || !TakeChar(text, i, '-') || !TakeDigits(text, i, 2, month) ||
        !TakeChar(text, i, '-') || !TakeDigits(text, i, 2, day)) {
        return false;
    }
    if (!IsDayOfMonth(year, month, day)) return false;
    stamp.year = year;
    stamp.month = month;
    stamp.day = day;
    stamp.second = 0;
    stamp.zone = XmlTimeStamp::Zone::Unstated;
    stamp.offset = 0;
    if (i == text.size()) return true;  // a date alone

    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    if (!(TakeChar(text, i, 'T') || TakeChar(text, i, 't') || TakeChar(text, i, ' ')) ||
        !TakeDigits(text, i, 2, hours) || !TakeChar(text, i, ':') || !TakeDigits(text, i, 2, minutes)) {
        return false;
    }
    if (TakeChar(text, i, ':')) {
        if (!TakeDigits(text, i, 2, seconds)) return false;
        if (TakeChar(text, i, '.') || TakeChar(text, i, ',')) {
            while (i < text.size() && IsDigit(text[i])) ++i;
        }
    }
    if (hours > 23 || minutes > 59 || seconds > 59) return false;
    stamp.second = hours * 3600 + minutes * 60 + seconds;
    if (i == text.size()) return true;
    if (TakeChar(text, i, 'Z') || TakeChar(text, i, 'z')) {
        stamp.zone = XmlTimeStamp::Zone::Utc;
        return i == text.size();
    }
    if (text[i] != '+' && text[i] != '-') return false;
    const bool west = text[i] == '-';
    ++i;
    int offsetHours = 0;
    int offsetMinutes = 0;
    if (!TakeDigits(text, i, 2, offsetHours)) return false;
    TakeChar(text, i, ':');
    if (i < text.size() && !TakeDigits(text, i, 2, offsetMinutes)) return false;
    if (i != text.size() || offsetHours > 14 || offsetMinutes > 59) return false;
    stamp.zone = offsetHours == 0 && offsetMinutes == 0 ? XmlTimeStamp::Zone::Utc : XmlTimeStamp::Zone::Offset;
    stamp.offset = (offsetHours * 10000 + offsetMinutes * 100) * (west ? -1 : 1);
    return true;
}

}  // namespace geoplait
