// GPX 1.1 output: one document holding the whole track as a single <rte>.
//
// Layout: XML declaration, <gpx> start tag with the creator attribute and the
// kashmir3d namespace the route points use, an empty <metadata>, then <rte>
// with its <name> and one <rtept> per written record, each carrying every
// element (ele, time, course, speed, sat, hdop, name, cmt, extensions) even
// when its text is empty.
//
// Positions are signed decimal degrees (south and west negative, by the
// record's hemisphere letters or the system defaults). Quirks kept on
// purpose: <speed> holds knots as the log has them, the time is built
// positionally from RmcDate/RmcTime (UTC), and record numbers count every
// input record, written or not. A record without a date (a GGA-only log), or
// whose time is not hhmmss (" 222519" as one receiver writes it), has no
// <time>: a made-up or malformed time would be a lie.
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
#include "writers/slot_text.h"

namespace geoplait {

namespace {

constexpr const char* kVersionText = "Ver 0.33";
constexpr const char* kHandleUpper = "Geoplait";
constexpr const char* kHandleLower = "geoplait";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Appends `text` as XML text (cdata false) or as the content of a CDATA
// section (cdata true, where only "]]>" needs splitting).
void AppendXmlData(std::string& out, std::string_view text, bool cdata) {
    // Printable ASCII but the few that need care passes as it is: the usual
    // text (a number, a label) goes out in one piece.
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c >= 0x7F || c == '&' || c == '<' || c == '>' || c == ']') break;
        ++i;
    }
    if (i == text.size()) {
        out.append(text);
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
        out.append(replacement);
        i += consumed;
        runStart = i;
    }
    flush(i);
}

void WriteXmlData(TextWriter& out, std::string_view text, bool cdata) {
    std::string escaped;
    AppendXmlData(escaped, text, cdata);
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

void AppendElement(std::string& out, std::string_view open, std::string_view value,
                   std::string_view close) {
    out.append(open);
    AppendXmlData(out, value, false);
    out.append(close);
}

// A degree text with a "-" for the south or west.
void AppendSignedDegrees(std::string& out, char sign, const std::string& degrees) {
    if (NeedsMinus(sign, degrees)) out.push_back('-');
    AppendXmlData(out, degrees, false);
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

void WriteGpxHead(TextWriter& out, RunContext& ctx, bool upperCaseHandle) {
    out.Write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    // Name, version and handle; no web address, as the program has no site.
    out.Printf("<gpx version=\"1.1\" creator=\"geoplait %s  By %s\"", kVersionText,
               upperCaseHandle ? kHandleUpper : kHandleLower);
    // The route points carry a kashmir3d:ident element; without this
    // declaration namespace-aware readers refuse the document.
    out.Write(" xmlns:kashmir3d=\"http://www.kashmir3d.com/namespace/kashmir3d\">\n");
    out.Write("<metadata></metadata>\n");
    out.Write("  <rte>\n");
    WriteElement(out, "  <name>", ctx.Current().Name, "</name>\n");
}

void WriteGpxTail(TextWriter& out) {
    out.Write("  </rte>\n");
    out.Write("</gpx>\n");
}

void WriteGpxRoutePoint(TextWriter& out, const LineWriterOptions& options, const TrackPoint& p,
                        RecordNumbers numbers, LineScratch& scratch) {
    char label[kPointLabelSize];
    const size_t labelLength = FormatPointLabel(options.label, p, numbers, label, sizeof label);

    // Decimal degrees made afresh from the GGA position.
    NmeaCoordTexts(p.GgaLatitude, scratch.latitude, scratch.latitudeDms);
    NmeaCoordTexts(p.GgaLongitude, scratch.longitude, scratch.longitudeDms);
    const HemisphereSigns signs = HemisphereSign(p.RmcNS, p.RmcEW, options.defaultSigns);

    // "20yy-mm-ddThh:mm:ssZ", characters picked by position.
    SlotText timeText;
    timeText.Add("20");
    timeText.Add(SlotChar(p.RmcDate, 4));
    timeText.Add(SlotChar(p.RmcDate, 5));
    timeText.Add('-');
    timeText.Add(SlotChar(p.RmcDate, 2));
    timeText.Add(SlotChar(p.RmcDate, 3));
    timeText.Add('-');
    timeText.Add(SlotChar(p.RmcDate, 0));
    timeText.Add(SlotChar(p.RmcDate, 1));
    timeText.Add('T');
    timeText.Add(SlotChar(p.RmcTime, 0));
    timeText.Add(SlotChar(p.RmcTime, 1));
    timeText.Add(':');
    timeText.Add(SlotChar(p.RmcTime, 2));
    timeText.Add(SlotChar(p.RmcTime, 3));
    timeText.Add(':');
    timeText.Add(SlotChar(p.RmcTime, 4));
    timeText.Add(SlotChar(p.RmcTime, 5));
    timeText.Add('Z');

    // The whole point in one piece, in the run's reused line buffer.
    std::string& text = scratch.line;
    text.assign("      <rtept lat=\"");
    AppendSignedDegrees(text, signs.latitude, scratch.latitude);
    text.append("\" lon=\"");
    AppendSignedDegrees(text, signs.longitude, scratch.longitude);
    text.append("\">\n");
    AppendElement(text, "        <ele>", p.GgaAltitude, "</ele>\n");
    if (IsCalendarDate(p.RmcDate) && IsTimeOfDay(p.RmcTime)) {
        AppendElement(text, "        <time>", timeText.View(), "</time>\n");
    }
    AppendElement(text, "        <course>", p.RmcCourse, "</course>\n");
    AppendElement(text, "        <speed>", p.RmcSpeed, "</speed>\n");
    AppendElement(text, "        <sat>", p.GgaSatellites, "</sat>\n");
    AppendElement(text, "        <hdop>", p.GgaDilution, "</hdop>\n");
    text.append("        <name><![CDATA[");
    AppendXmlData(text, std::string_view(label, labelLength), true);
    text.append("]]></name>\n");
    text.append("        <cmt><![CDATA[(");
    AppendXmlData(text, p.GgaSatellites, true);
    text.push_back('/');
    AppendXmlData(text, p.GgaDilution, true);
    text.append(")]]></cmt>\n");
    text.append("        <extensions>\n");
    char number[24];
    const char* numberEnd = std::to_chars(number, number + sizeof number, RecordNumber(numbers)).ptr;
    text.append("        <kashmir3d:ident><![CDATA[");
    text.append(number, static_cast<size_t>(numberEnd - number));
    text.append("]]></kashmir3d:ident>\n");
    text.append("        </extensions>\n");
    text.append("      </rtept>\n");
    out.Write(text);
}

}  // namespace geoplait
