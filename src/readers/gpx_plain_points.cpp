// GPX points in plain markup (xml_plain.h), read without the parser. From the
// start of a point the parser reported, the reader scans the point's content
// and that of the points following it as siblings of the same name (with
// only character data and comments between), and hands the parser the end
// tag of the last one: the parser never sees the rest. Each start, end and
// text goes to the same part of the reader as the parser's event would, with
// the text the parser would give (line breaks as LF in character data and
// CDATA sections; tabs and line breaks as blanks in attribute values), so a
// point reads the same either way. Where the markup stops being plain, or
// anything else comes between two points, the scan ends after the last whole
// point and the parser reads on from there: nothing is read twice or lost.
#include <string>
#include <string_view>

#include "readers/gpx_reader.h"

namespace geoplait {

namespace {

// Character data as the parser gives it: CR LF and a lone CR are LF.
std::string_view ParsedText(std::string_view text, bool carriageReturn, std::string& scratch) {
    if (!carriageReturn) return text;
    scratch.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            scratch += text[i];
            continue;
        }
        scratch += '\n';
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    return scratch;
}

// An attribute value as the parser gives it: a tab, LF, CR LF or a lone CR is
// one blank.
std::string_view ParsedAttribute(const PlainAttribute& attribute, std::string& scratch) {
    const std::string_view value = attribute.value;
    if (!attribute.spaced) return value;
    scratch.clear();
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        scratch += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
        if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
    }
    return scratch;
}

}  // namespace

void GpxReader::ReadPlainPoints(const XML_Char* name) {
    const XmlStream::TextAhead ahead = xml_.TextAfterStartTag(name);
    if (ahead.text.empty()) return;
    const std::string_view rawName(name);
    PlainTokens tokens(ahead.text, ahead.depthRoom);
    PlainToken token;
    const Place first = Here();
    if (!ReadPlainContent(tokens, token) || token.text != rawName) {
        GoBack(first);
        Reading().found.fill(false);
        return;
    }
    // What the parser is kept from: the content up to the end tag of the
    // last point read, and its line breaks.
    size_t kept = tokens.TokenStart();
    PlainLines keptLines = tokens.LinesBeforeToken();
    ++plainPointsRead_;
    // The points that follow, while the one before can end without a pause
    // (the parser's end of the last one pauses where it must); a point that
    // is the document element has none.
    while (!ahead.outermost && read_ + 1 - given_ < kPointsAhead - 1) {
        const size_t pointEnd = tokens.Offset();
        const Place inPoint = Here();
        // No value is being read between points.
        PlainToken::Kind kind = tokens.Next(token, false);
        while (kind == PlainToken::Kind::kCData || kind == PlainToken::Kind::kComment) {
            kind = tokens.Next(token, false);
        }
        if (kind != PlainToken::Kind::kStart || token.empty || token.text != rawName) break;
        tokens.LeaveLastOpen();
        Finish();
        Slot(read_ - 1).bytesRead = xml_.BytesThroughEvent(pointEnd);
        if (!BeginPlainPoint(token) || !ReadPlainContent(tokens, token) || token.text != rawName) {
            // The point before is the last one read: it ends by the parser.
            --read_;
            GoBack(inPoint);
            break;
        }
        kept = tokens.TokenStart();
        keptLines = tokens.LinesBeforeToken();
        ++plainPointsRead_;
    }
    xml_.PassOver(kept, keptLines);
}

bool GpxReader::BeginPlainPoint(const PlainToken& token) {
    if (Begin(token.local) != Began::kPoint) return false;
    std::string_view latitude;
    std::string_view longitude;
    int found = 0;
    for (int i = 0; i < token.attributeCount; ++i) {
        const PlainAttribute& a = token.attributes[static_cast<size_t>(i)];
        if (a.name == "lat") {
            latitude = ParsedAttribute(a, latitude_);
            ++found;
        } else if (a.name == "lon") {
            longitude = ParsedAttribute(a, longitude_);
            ++found;
        }
    }
    return found == 2 && StartPoint(latitude, longitude);
}

bool GpxReader::ReadPlainContent(PlainTokens& tokens, PlainToken& token) {
    for (;;) {
        // Character data counts only within a value being read.
        switch (tokens.Next(token, value_ >= 0 && depth_ == valueDepth_, true)) {
            case PlainToken::Kind::kText:
            case PlainToken::Kind::kCData:
                if (value_ >= 0 && depth_ == valueDepth_) Take(ParsedText(token.text, token.carriageReturn, text_));
                break;
            case PlainToken::Kind::kElement:
                // Its start, its character data (none when empty) and its end.
                if (Begin(token.local) == Began::kValue && !token.content.empty()) {
                    // With what the scan saw of its white space, all of it.
                    TakeWhole(ParsedText(token.content, token.carriageReturn, text_), token.spaced);
                }
                Finish();
                break;
            case PlainToken::Kind::kComment:
                break;
            case PlainToken::Kind::kStart:
                // Within a point, an element is a value or nothing to the reader.
                Begin(token.local);
                if (token.empty) Finish();
                break;
            case PlainToken::Kind::kEnd:
                Finish();
                break;
            case PlainToken::Kind::kOuterEnd:
                return true;
            case PlainToken::Kind::kNotPlain:
                return false;
        }
    }
}

void GpxReader::GoBack(const Place& place) {
    depth_ = place.depth;
    pointDepth_ = place.pointDepth;
    valueDepth_ = place.valueDepth;
    value_ = place.value;
    extensionDepth_ = place.extensionDepth;
}

}  // namespace geoplait
