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
#include <algorithm>
#include <string>
#include <string_view>

#include "readers/gpx_reader.h"
#include "readers/xml_plain_scan.h"

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
    if (!ReadPointContent(tokens, token, rawName) || token.text != rawName) {
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
        // No value is being read between points. Mostly the start tag of
        // the next point has the bytes of the one before but for its values.
        PlainToken::Kind kind = PlainToken::Kind::kStart;
        if (!tokens.FollowTag(tagShape_, token)) {
            const char* from = tokens.At();
            const PlainLines linesFrom = tokens.Lines();
            kind = tokens.Next(token, false);
            PlainLines before = tokens.LinesBeforeToken();
            before.lineFeeds -= linesFrom.lineFeeds;
            before.carriageReturns -= linesFrom.carriageReturns;
            tagShape_.Record(from, tokens.TokenAt(), tokens.At(), before, token);
        }
        while (kind == PlainToken::Kind::kCData || kind == PlainToken::Kind::kComment) {
            kind = tokens.Next(token, false);
        }
        if (kind != PlainToken::Kind::kStart || token.empty || token.text != rawName) break;
        tokens.LeaveLastOpen();
        Finish();
        Slot(read_ - 1).bytesRead = xml_.BytesThroughEvent(pointEnd);
        if (!BeginPlainPoint(token) || !ReadPointContent(tokens, token, rawName) || token.text != rawName) {
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

// A whole element: its start, its character data (none when empty) and its
// end, as Begin, TakeWhole and Finish take them one after the other, in one
// step. Begin and Finish of an element undo each other but where it is a
// value of the point (or of its extension): that value is taken, and its end
// leaves no value being read, even one the element stood within. Most
// elements of a point are none.
inline int GpxReader::TakeElement(const PlainToken& element) {
    if (pointDepth_ == 0) return -1;
    const int value = PointValueAt(ElementOf(element.local), depth_ + 1);
    if (value < 0) return -1;
    value_ = -1;
    valueDepth_ = 0;
    // With what the scan saw of its white space, all of it.
    TakeText(Reading(), static_cast<size_t>(value), ParsedText(element.content, element.carriageReturn, text_),
             element.spaced);
    return value;
}

inline void GpxReader::TakeText(PointTexts& point, size_t value, std::string_view text, bool spaced) {
    point.found[value] = true;
    if (text.empty()) {
        point.values[value].clear();
        point.spaced[value] = false;
        return;
    }
    point.values[value].assign(text.data(), std::min(text.size(), kCollectBytes));
    point.spaced[value] = spaced;
}

bool GpxReader::ReadPointContent(PlainTokens& tokens, PlainToken& token, std::string_view rawName) {
    std::array<PlainShapeText, PlainShape::kMaxTexts>& texts = shapeTexts_;
    if (Here() == shapeStart_ && rawName == shapeName_ && tokens.FollowShape(shape_, rawName, texts.data(), token)) {
        // Each whole element as TakeElement takes it, the reader left where
        // the shape's content left it.
        PointTexts& point = Reading();
        const int* const tags = shape_.tags.data();
        for (size_t i = 0; i < shape_.tags.size(); ++i) {
            if (tags[i] >= 0) TakeText(point, static_cast<size_t>(tags[i]), texts[i].text, texts[i].spaced);
        }
        GoBack(shapeEnd_);
        ++shapedPointsRead_;
        return true;
    }
    shapeStart_ = Here();
    shapeName_ = rawName;
    return ReadPlainContent(tokens, token);
}

bool GpxReader::ReadPlainContent(PlainTokens& tokens, PlainToken& token) {
    // The content's shape is recorded while it holds only what the reader
    // takes the same way from the same bytes: whole elements (their data
    // the holes), tags that begin or end no value, white space between.
    shape_.Start(tokens.At(), tokens.MaxOpen());
    bool shaped = tokens.Depth() == 0;
    const auto takeElement = [this, &shaped](const PlainToken& element) {
        const int value = TakeElement(element);
        if (shaped) shaped = !element.carriageReturn && shape_.AddText(element.content, value);
    };
    for (;;) {
        // Character data counts only within a value being read; elsewhere
        // the elements of a point come mostly whole, one after the other.
        const bool inValue = value_ >= 0 && depth_ == valueDepth_;
        switch (inValue ? tokens.Next(token, true, true) : tokens.NextAfterElements(token, takeElement)) {
            case PlainToken::Kind::kText:
            case PlainToken::Kind::kCData:
                shaped = false;
                if (value_ >= 0 && depth_ == valueDepth_) Take(ParsedText(token.text, token.carriageReturn, text_));
                break;
            case PlainToken::Kind::kElement:
                takeElement(token);
                break;
            case PlainToken::Kind::kComment:
                shaped = false;
                break;
            case PlainToken::Kind::kStart:
                // Within a point, an element is a value or nothing to the reader.
                shaped &= Begin(token.local) == Began::kOther;
                if (token.empty) shaped &= Finish() == Ended::kOther;
                break;
            case PlainToken::Kind::kEnd:
                shaped &= Finish() == Ended::kOther;
                break;
            case PlainToken::Kind::kOuterEnd:
                if (shaped) shape_.Close(tokens.TokenAt());
                shapeEnd_ = Here();
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
