// The KML document frame. Layout of a document:
//   <?xml ...?> / <kml xmlns=KML 2.1> / <Document> / <name> / style "style"
//   the point folder, the path folder, the photo folder (each optional)
//   </Document> / </kml>
// Each pass opens the file anew and appends; only the head creates it, and
// the head always keeps the UTF-8 byte-order mark (Bom does not apply to KML).
// Texts the user typed are written as typed except Name and IconURL, which are
// escaped: a raw "&" or "<" would make the document unreadable.
#include "kml/kml_document.h"

#include <cstdio>

#include "geo/coordinates.h"

namespace geoplait {

void WriteKmlHeader(RunContext& ctx) {
    const ConvertSettings& s = ctx.Current();
    TextWriter out;
    if (!out.Open(s.OutputFile, WriteMode::Create)) {
        ctx.ui.ShowMessage("Output File Not Create", "Error");
        return;
    }
    out.Write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<kml xmlns=\"http://earth.google.com/kml/2.1\">\n"
              "<Document>\n"
              "<name>");
    WriteXmlEscaped(out, s.Name);
    out.Write("</name>\n"
              "\n"
              "<Style id=\"style\">\n"
              "<IconStyle>\n"
              " <scale>");
    out.Write(s.IconSize);
    out.Write("</scale>\n");
    if (s.PosIconUrl != 0) {
        out.Write(" <Icon>\n"
                  "  <href>");
        WriteXmlEscaped(out, s.IconURL);
        out.Write("</href>\n"
                  " </Icon>\n");
    }
    out.Write("</IconStyle>\n"
              "<LabelStyle>\n"
              " <scale>");
    out.Write(s.LabelSize);
    out.Write("</scale>\n"
              "</LabelStyle>\n"
              "</Style>\n"
              "\n");
    out.Close();
}

void WriteKmlClosing(RunContext& ctx) {
    TextWriter out;
    if (!out.Open(ctx.Current().OutputFile, WriteMode::Append)) {
        ctx.ui.ShowMessage("Output File Not Create", "Error");
        return;
    }
    out.Write("</Document>\n"
              "</kml>\n");
    out.Close();
}

void WriteXmlEscaped(TextWriter& out, std::string_view text) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char* entity = nullptr;
        switch (text[i]) {
            case '&': entity = "&amp;"; break;
            case '<': entity = "&lt;"; break;
            case '>': entity = "&gt;"; break;
            case '"': entity = "&quot;"; break;
            default: continue;
        }
        out.Write(text.substr(start, i - start));
        out.Write(entity);
        start = i + 1;
    }
    out.Write(text.substr(start));
}

namespace {

// Sign of a hemisphere letter: the first letter gives '+', the second '-',
// anything else `fallback`.
char SignOf(const std::string& letter, char plus, char minus, char fallback) {
    if (letter.size() != 1) return fallback;
    if (letter[0] == plus) return '+';
    if (letter[0] == minus) return '-';
    return fallback;
}

// A character of a local date or time slot at a fixed position; a position the
// text does not reach reads as a blank (the slot's filling), never as NUL.
char SlotAt(const std::string& text, size_t i) {
    const char c = SlotChar(text, i);
    return c == '\0' ? ' ' : c;
}

}  // namespace

HemisphereSigns HemisphereSign(const RunContext& ctx) {
    HemisphereSigns signs;
    signs.latitude = SignOf(ctx.settings.config.LatitudeNS, 'N', 'S', ' ');
    signs.longitude = SignOf(ctx.settings.config.LongitudeWE, 'E', 'W', ' ');
    signs.latitude = SignOf(ctx.point.RmcNS, 'N', 'S', signs.latitude);
    signs.longitude = SignOf(ctx.point.RmcEW, 'E', 'W', signs.longitude);
    return signs;
}

void WriteTimeStampLines(TextWriter& out, const TrackPoint& point) {
    const std::string& d = point.LocalDate;
    const std::string& t = point.LocalTime;
    char line[96];
    const int n = std::snprintf(line, sizeof line,
                                " <TimeStamp>\n"
                                "  <when>20%c%c-%c%c-%c%cT%c%c:%c%c:%c%cZ</when>\n"
                                " </TimeStamp>\n",
                                SlotAt(d, 4), SlotAt(d, 5), SlotAt(d, 2), SlotAt(d, 3),
                                SlotAt(d, 0), SlotAt(d, 1), SlotAt(t, 0), SlotAt(t, 1),
                                SlotAt(t, 2), SlotAt(t, 3), SlotAt(t, 4), SlotAt(t, 5));
    if (n > 0) out.Write(std::string_view(line, static_cast<size_t>(n)));
}

void AdjustPosition(RunContext& ctx) {
    const ConvertSettings& s = ctx.Current();
    TrackPoint& p = ctx.point;
    OffsetCoordinate(p.LatitudeDeg, s.OffNS, "-");
    OffsetCoordinate(p.LongitudeDeg, s.OffWE, "+");
    TokyoToWgs84(ctx);
    // Room for any double in "%1.2f" (at most 309 digits before the point).
    char text[330];
    const int n = std::snprintf(text, sizeof text, "%1.2f",
                                NumberOf(p.AltitudeText) + NumberOf(s.OffAltitude));
    if (n > 0 && static_cast<size_t>(n) < sizeof text) p.AltitudeText.assign(text, static_cast<size_t>(n));
}

void WriteAltitudeModeLine(TextWriter& out, const ConvertSettings& s) {
    out.Write(s.Altitude != 0 ? "  <altitudeMode>absolute</altitudeMode>\n"
                              : "  <altitudeMode>clampToGround</altitudeMode>\n");
}

void WriteExtrudeLine(TextWriter& out, const ConvertSettings& s) {
    out.Write(s.Altitude != 0 && s.VLineAltitude != 0 ? "  <extrude>1</extrude>\n"
                                                       : "  <extrude>0</extrude>\n");
}

}  // namespace geoplait
