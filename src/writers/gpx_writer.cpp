// GPX 1.1 output, valid by the GPX 1.1 schema: one document holding the whole
// track as a single <rte>, or (GpxType Track) as one <trk> whose <trkseg>
// pieces are cut where a gap in distance or time cuts the line.
//
// Layout: XML declaration, <gpx> start tag with the creator attribute, the
// GPX namespace and its schema location, the Garmin TrackPointExtension v2
// and kashmir3d namespaces the points use, an empty <metadata>, then <rte>
// (or <trk><trkseg>) with its <name> and one <rtept> (<trkpt>) per written
// record: ele, time, name, cmt, sat, hdop in the schema's order, then
// <extensions> with the speed in metres per second and the course in degrees
// (gpxtpx:TrackPointExtension, as GPX readers take them) and the record
// number. A value the record does not know (or that is no number) leaves its
// element out.
//
// Positions are signed decimal degrees (south and west negative, by the
// record's hemisphere letters or the system defaults). The time is the
// record's UTC instant, and record numbers count every input record, written
// or not. A record without a date (a GGA-only log), or without a time of day
// (one its reader could not read), has no <time>: a made-up or malformed
// time would be a lie.
// Texts taken from the user or the input are escaped, or kept inside their
// CDATA section, so the document stays well-formed whatever they hold.
#include "writers/gpx_writer.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "base/text_encoding.h"
#include "engine/derived_values.h"
#include "geo/coordinates.h"
#include "geo/number_format.h"
#include "geo/time_difference.h"

namespace geoplait {

namespace {

constexpr const char* kVersionText = "Ver 0.33";
constexpr const char* kHandleUpper = "Geoplait";
constexpr const char* kHandleLower = "geoplait";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Where a point is built. StringSink: a string, as the text goes to
// TextWriter::Write. BlockSink: straight into the writer's block (Room), the
// bytes as they reach the file, each "\n" made CR LF here as Write makes it.
// appendPlain takes a text known to hold no "\n". A literal of the layout
// (a string literal; its terminating NUL is not written) has its bytes known
// when the program is compiled: the unrolled loop leaves it stored with its
// CR LF, without a look at a byte when it runs.
struct StringSink {
    std::string& text;
    void append(std::string_view piece) { text.append(piece); }
    template <size_t N>
    void append(const char (&literal)[N]) {
        text.append(literal, N - 1);
    }
    void appendPlain(std::string_view piece) { text.append(piece); }
    void push_back(char c) { text.push_back(c); }
};

struct BlockSink {
    char* p;
    void append(std::string_view piece) {
        while (const void* nl = std::memchr(piece.data(), '\n', piece.size())) {
            const auto length = static_cast<size_t>(static_cast<const char*>(nl) - piece.data());
            std::memcpy(p, piece.data(), length);
            p += length;
            *p++ = '\r';
            *p++ = '\n';
            piece.remove_prefix(length + 1);
        }
        appendPlain(piece);
    }
    template <size_t N>
    [[gnu::always_inline]] void append(const char (&literal)[N]) {
        static_assert(N >= 1);
#pragma GCC unroll 256
        for (size_t i = 0; i + 1 < N; ++i) {
            if (literal[i] == '\n') *p++ = '\r';
            *p++ = literal[i];
        }
    }
    void appendPlain(std::string_view piece) {
        std::memcpy(p, piece.data(), piece.size());
        p += piece.size();
    }
    void push_back(char c) {
        if (c == '\n') *p++ = '\r';
        *p++ = c;
    }
};

// The most bytes AppendXmlData makes of one byte of its text: "&amp;", and
// "]]]]><![CDATA[>" of three; CR LF of "\n" is two.
constexpr size_t kXmlDataGrowth = 5;

// Appends `text` as XML text (cdata false) or as the content of a CDATA
// section (cdata true, where only "]]>" needs splitting).
template <class Sink>
void AppendXmlData(Sink& out, std::string_view text, bool cdata) {
    // Printable ASCII but the few that need care passes as it is: the usual
    // text (a number, a label) goes out in one piece.
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c >= 0x7F || c == '&' || c == '<' || c == '>' || c == ']') break;
        ++i;
    }
    if (i == text.size()) {
        out.appendPlain(text);
        return;
    }
    size_t runStart = 0;
    const auto flush = [&](size_t end) {
        if (end > runStart) out.append(text.substr(runStart, end - runStart));
    };
    while (i < text.size()) {
        const char c = text[i];
        std::string_view replacement;
        size_t consumed = 1;
        if (!cdata && c == '&') {
            replacement = "&amp;";
        } else if (!cdata && c == '<') {
            replacement = "&lt;";
        } else if (!cdata && c == '>') {
            replacement = "&gt;";
        } else if (cdata && c == ']' && text.substr(i, 3) == "]]>") {
            replacement = "]]]]><![CDATA[>";
            consumed = 3;
        } else {
            // ASCII that XML allows passes here; other bytes go through the
            // text layer's character test.
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80 && (byte >= 0x20 || c == '\t' || c == '\n' || c == '\r')) {
                ++i;
                continue;
            }
            const size_t length = CleanCharLength(reinterpret_cast<const unsigned char*>(text.data()) + i,
                                                  text.size() - i);
            if (length > 0) {
                i += length;
                continue;
            }
            replacement = kReplacement;
        }
        flush(i);
        out.appendPlain(replacement);
        i += consumed;
        runStart = i;
    }
    flush(i);
}

void WriteXmlData(TextWriter& out, std::string_view text, bool cdata) {
    std::string escaped;
    StringSink sink{escaped};
    AppendXmlData(sink, text, cdata);
    out.Write(escaped);
}

// RecordIndex + 1, without overflow at the end of the range.
long long RecordNumber(RecordNumbers numbers) { return static_cast<long long>(numbers.read) + 1; }

void WriteElement(TextWriter& out, std::string_view open, std::string_view value,
                  std::string_view close) {
    out.Write(open);
    WriteXmlData(out, value, false);
    out.Write(close);
}

// A degree text (DegreesText: digits, a point and a sign, or printf's "nan"
// and "inf", never a byte XML escapes) with a "-" for the south or west.
template <class Sink>
void AppendSignedDegrees(Sink& out, char sign, const std::string& degrees) {
    if (NeedsMinus(sign, degrees)) out.push_back('-');
    out.appendPlain(degrees);
}

}  // namespace

void WriteXmlText(TextWriter& out, std::string_view text) { WriteXmlData(out, text, false); }

size_t FormatPointLabel(const PointLabelOptions& label, const TrackPoint& p, RecordNumbers numbers, char* buffer,
                        size_t size) {
    if (size == 0) return 0;
    // Built whole (at most two numbers of kFixedTextSize and a few short
    // items), then cut to the caller's buffer as a formatted print would.
    char text[2 * kFixedTextSize + 128];
    size_t used = 0;
    const auto put = [&](std::string_view item) {
        if (item.size() > sizeof text - used) return;
        std::memcpy(text + used, item.data(), item.size());
        used += item.size();
    };
    const auto integer = [&](long long value) {
        const auto [end, ec] = std::to_chars(text + used, text + sizeof text, value);
        if (ec == std::errc()) used = static_cast<size_t>(end - text);
    };
    const auto fixed = [&](double value, int width) {
        if (sizeof text - used >= kFixedTextSize) used += FormatFixedText(text + used, value, 2, width);
    };
    if (label.number) {
        integer(RecordNumber(numbers));
        put(".");
    }
    if (label.elapsed) {
        char clock[kClockTextSize];
        put("[");
        put(std::string_view(clock, FormatClock(clock, p.ElapsedSec)));
        put("]");
    }
    if (label.distance) {
        put("(");
        fixed(p.TotalDistance, 3);
        put("Km)");
    }
    if (label.speed) {
        put("[");
        fixed(p.Speed, 2);
        put("Km(h)]");
    }
    const size_t length = std::min(used, size - 1);
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return length;
}

namespace {

// The elements of the point, the schema's order: position, time, then the
// descriptions, then the fix quality, then the extensions.
constexpr std::string_view kGpxNamespaces =
    " xmlns=\"http://www.topografix.com/GPX/1/1\""
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\""
    // The points carry a kashmir3d:ident element.
    " xmlns:kashmir3d=\"http://www.kashmir3d.com/namespace/kashmir3d\""
    " xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd"
    " http://www.garmin.com/xmlschemas/TrackPointExtension/v2"
    " http://www8.garmin.com/xmlschemas/TrackPointExtensionv2.xsd\"";

constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;

// Whether `text` is an xs:decimal: an optional sign, digits with at most one
// point, at least one digit; no exponent, no blanks.
bool IsXmlDecimal(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    bool digit = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

bool IsDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// <open>value</close> when the value is a number; an unknown value has no element.
template <class Sink, size_t Open, size_t Close>
void AppendDecimal(Sink& out, const char (&open)[Open], std::string_view value, const char (&close)[Close]) {
    if (!IsXmlDecimal(value)) return;
    out.append(open);
    out.appendPlain(value);
    out.append(close);
}

// The texts of one point that WriteGpxPoint has made ready.
// The time, the label and the number are made here of digits and the
// label's few literals, so they go out as they are: no byte of theirs needs
// an entity, and the label holds no ">" that could close its CDATA section.
struct GpxPointTexts {
    bool track;
    HemisphereSigns signs;
    std::string_view time;   // empty: no <time>
    std::string_view label;  // empty: no <name>
    std::string_view number;  // the record number
};

// The whole point, "\n" as written (a StringSink) or as CR LF (a BlockSink).
template <class Sink>
void AppendGpxPoint(Sink& text, const GpxPointTexts& t, const TrackPoint& p, RecordNumbers numbers,
                    const LineScratch& scratch) {
    if (t.track && numbers.lineCut && numbers.written > 0) text.append("  </trkseg>\n  <trkseg>\n");
    if (t.track) {
        text.append("      <trkpt lat=\"");
    } else {
        text.append("      <rtept lat=\"");
    }
    AppendSignedDegrees(text, t.signs.latitude, scratch.latitude);
    text.append("\" lon=\"");
    AppendSignedDegrees(text, t.signs.longitude, scratch.longitude);
    text.append("\">\n");
    AppendDecimal(text, "        <ele>", p.GgaAltitude, "</ele>\n");
    if (!t.time.empty()) {
        text.append("        <time>");
        text.appendPlain(t.time);
        text.append("</time>\n");
    }
    if (!t.label.empty()) {
        text.append("        <name><![CDATA[");
        text.appendPlain(t.label);
        text.append("]]></name>\n");
    }
    // "(satellites/HDOP)"; neither known, no comment.
    if (!p.GgaSatellites.empty() || !p.GgaDilution.empty()) {
        text.append("        <cmt><![CDATA[(");
        AppendXmlData(text, p.GgaSatellites, true);
        text.push_back('/');
        AppendXmlData(text, p.GgaDilution, true);
        text.append(")]]></cmt>\n");
    }
    if (IsDigits(p.GgaSatellites)) {
        text.append("        <sat>");
        text.appendPlain(p.GgaSatellites);
        text.append("</sat>\n");
    }
    if (IsXmlDecimal(p.GgaDilution) && p.Values.dilution.value >= 0.0) {
        text.append("        <hdop>");
        text.appendPlain(p.GgaDilution);
        text.append("</hdop>\n");
    }
    text.append("        <extensions>\n");
    // Speed (m/s, from the record's knots) and course (degrees from north)
    // where GPX readers look for them.
    // The record's numbers are those of its texts: a plain decimal reads to
    // the same double either way.
    const bool speed = IsXmlDecimal(p.RmcSpeed) && p.Values.speed.value >= 0.0;
    const double course = IsXmlDecimal(p.RmcCourse) ? p.Values.course.value : -1.0;
    const bool hasCourse = course >= 0.0 && course < 360.0;
    if (speed || hasCourse) {
        text.append("        <gpxtpx:TrackPointExtension>\n");
        if (speed) {
            text.append("          <gpxtpx:speed>");
            char number[kFixedTextSize];
            text.appendPlain(std::string_view(
                number, FormatFixedText(number, p.Values.speed.value * kMetresPerSecondPerKnot, 4, 1)));
            text.append("</gpxtpx:speed>\n");
        }
        if (hasCourse) {
            text.append("          <gpxtpx:course>");
            text.appendPlain(p.RmcCourse);
            text.append("</gpxtpx:course>\n");
        }
        text.append("        </gpxtpx:TrackPointExtension>\n");
    }
    text.append("        <kashmir3d:ident><![CDATA[");
    text.appendPlain(t.number);
    text.append("]]></kashmir3d:ident>\n");
    text.append("        </extensions>\n");
    if (t.track) {
        text.append("      </trkpt>\n");
    } else {
        text.append("      </rtept>\n");
    }
}

// Bytes of AppendGpxPoint but its variable texts, CR LF counted: less than
// this (about 980 at most).
constexpr size_t kGpxPointFixedBytes = 1280;

}  // namespace

void WriteGpxHead(TextWriter& out, const LineWriterOptions& options, const std::string& name, bool upperCaseHandle) {
    out.Write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    // Name, version and handle; no web address, as the program has no site.
    out.Printf("<gpx version=\"1.1\" creator=\"geoplait %s  By %s\"", kVersionText,
               upperCaseHandle ? kHandleUpper : kHandleLower);
    out.Write(kGpxNamespaces);
    out.Write(">\n");
    out.Write("<metadata></metadata>\n");
    const bool track = options.gpx == GpxLayout::Track;
    out.Write(track ? "  <trk>\n" : "  <rte>\n");
    if (!name.empty()) WriteElement(out, "  <name>", name, "</name>\n");
    if (track) out.Write("  <trkseg>\n");
}

void WriteGpxTail(TextWriter& out, const LineWriterOptions& options) {
    out.Write(options.gpx == GpxLayout::Track ? "  </trkseg>\n  </trk>\n" : "  </rte>\n");
    out.Write("</gpx>\n");
}

void WriteGpxPoint(TextWriter& out, const LineWriterOptions& options, const TrackPoint& p, RecordNumbers numbers,
                   LineScratch& scratch) {
    const bool track = options.gpx == GpxLayout::Track;
    char label[kPointLabelSize];
    const size_t labelLength = FormatPointLabel(options.label, p, numbers, label, sizeof label);

    // Decimal degrees made afresh from the GGA position.
    DegreesText(p.GgaPosition, p.GgaPosition.latitude, scratch.latitude);
    DegreesText(p.GgaPosition, p.GgaPosition.longitude, scratch.longitude);

    // "yyyy-mm-ddThh:mm:ssZ" (PutIsoUtc), the date made once a day.
    char timeText[24];
    size_t timeLength = 0;
    if (p.Time.HasInstant()) {
        if (!scratch.isoDateKnown || scratch.isoDay != p.Time.day) {
            PutDateText(scratch.isoDate, p.Time.day, '-');
            scratch.isoDay = p.Time.day;
            scratch.isoDateKnown = true;
        }
        std::memcpy(timeText, scratch.isoDate, sizeof scratch.isoDate);
        timeText[sizeof scratch.isoDate] = 'T';
        char* end = PutClockText(timeText + sizeof scratch.isoDate + 1, p.Time.second);
        *end++ = 'Z';
        timeLength = static_cast<size_t>(end - timeText);
    }

    GpxPointTexts texts{track, HemisphereSign(p.RmcNS, p.RmcEW, options.defaultSigns), {},
                        std::string_view(label, labelLength), {}};
    if (timeLength != 0) texts.time = std::string_view(timeText, timeLength);
    char number[24];
    const char* numberEnd = std::to_chars(number, number + sizeof number, RecordNumber(numbers)).ptr;
    texts.number = std::string_view(number, static_cast<size_t>(numberEnd - number));

    // Formatted straight into the writer's block when the point surely fits
    // its room; else built whole in the run's reused line buffer.
    const size_t variable = scratch.latitude.size() + scratch.longitude.size() + p.GgaAltitude.size() +
                            texts.time.size() + texts.label.size() + 2 * p.GgaSatellites.size() +
                            2 * p.GgaDilution.size() + p.RmcCourse.size();
    const size_t most = kGpxPointFixedBytes + kFixedTextSize + texts.number.size() + kXmlDataGrowth * variable;
    if (most <= TextWriter::kMaxRoom) {
        char* const room = out.Room(most);
        BlockSink sink{room};
        AppendGpxPoint(sink, texts, p, numbers, scratch);
        out.Commit(static_cast<size_t>(sink.p - room));
        return;
    }
    scratch.line.clear();
    StringSink sink{scratch.line};
    AppendGpxPoint(sink, texts, p, numbers, scratch);
    out.Write(scratch.line);
}

}  // namespace geoplait
