#include "readers/xml_stream.h"

#include <algorithm>
#include <cstring>

#include "engine/track_point.h"

namespace geoplait {

namespace {

// Bytes read and handed to expat at a time.
constexpr int kXmlBlock = 1 << 18;

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

void PutPair(char* out, int value) {
    out[0] = static_cast<char>('0' + value / 10 % 10);
    out[1] = static_cast<char>('0' + value % 10);
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
    XML_SetCharacterDataHandler(parser_, &OnText);
    depth_ = 0;
    tooDeep_ = false;
    fed_ = 0;
    lastBlock_ = false;
    finished_ = false;
    pausing_ = false;
    return true;
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
    std::snprintf(text, sizeof text, "line %lu, column %lu: %s",
                  static_cast<unsigned long>(XML_GetCurrentLineNumber(parser_)),
                  static_cast<unsigned long>(XML_GetCurrentColumnNumber(parser_)), what);
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
    // Resume a paused parse, else parse the next block, until a call-back
    // pauses, the document fails or its last block is through.
    bool resume = parsing.parsing == XML_SUSPENDED;
    for (;;) {
        XML_Status status;
        if (resume) {
            status = XML_ResumeParser(parser_);
            resume = false;
        } else {
            void* block = XML_GetBuffer(parser_, kXmlBlock);
            if (block == nullptr) return Fail(XML_ErrorString(XML_GetErrorCode(parser_)));
            const size_t n = std::fread(block, 1, kXmlBlock, file_);
            if (std::ferror(file_)) return Fail("read error");
            lastBlock_ = n < static_cast<size_t>(kXmlBlock);
            fed_ += static_cast<int64_t>(n);
            status = XML_ParseBuffer(parser_, static_cast<int>(n), lastBlock_ ? XML_TRUE : XML_FALSE);
        }
        if (tooDeep_) return Fail("elements nested deeper than 256 levels");
        if (status == XML_STATUS_SUSPENDED) return true;
        if (status == XML_STATUS_ERROR) return Fail(XML_ErrorString(XML_GetErrorCode(parser_)));
        // What expat keeps unparsed is one unfinished token; beyond the
        // bound it is no document this program reads.
        const XML_Index parsed = XML_GetCurrentByteIndex(parser_);
        if (!lastBlock_ && parsed >= 0 && fed_ - static_cast<int64_t>(parsed) > kXmlMaxPendingBytes) {
            return Fail("more than 16 MiB without markup ending");
        }
        if (lastBlock_) {
            finished_ = true;
            return false;
        }
    }
}

std::string_view LocalName(const XML_Char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon != nullptr ? std::string_view(colon + 1) : std::string_view(name);
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
    for (char& c : text) {
        if (IsXmlSpace(c)) c = ' ';
    }
    CollapseBlanks(text);
}

bool ReadXmlTimeStamp(std::string_view text, XmlTimeStamp& stamp) {
    text = TrimXmlSpace(text);
    size_t i = 0;
    int year = 0;
    int month = 0;
    int day = 0;
    if (!TakeDigits(text, i, 4, year) || !TakeChar(text, i, '-') || !TakeDigits(text, i, 2, month) ||
        !TakeChar(text, i, '-') || !TakeDigits(text, i, 2, day)) {
        return false;
    }
    PutPair(stamp.date, day);
    PutPair(stamp.date + 2, month);
    PutPair(stamp.date + 4, year % 100);
    stamp.date[6] = '\0';
    std::memcpy(stamp.time, "000000", 7);
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
    PutPair(stamp.time, hours);
    PutPair(stamp.time + 2, minutes);
    PutPair(stamp.time + 4, seconds);
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
