// The KML document frame. Layout of a document:
//   <?xml ...?> / <kml xmlns=KML 2.1> / <Document> / <name> / style "style"
//   the point folder, the path folder, the photo folder (each optional)
//   </Document> / </kml>
// Each pass opens the file anew and appends; only the head creates it, and
// the head always keeps the UTF-8 byte-order mark (Bom does not apply to KML).
// Every text taken from the user or from the input (names, sizes, URLs,
// colours, the record's date) is written XML-escaped: a raw "&" or "<" would
// make the document unreadable.
#include "kml/kml_document.h"

#include "geo/coordinates.h"
#include "geo/number_format.h"

namespace geoplait {

void WriteKmlHeader(RunContext& ctx) {
    const ConvertSettings& s = ctx.Current();
    TextWriter file;
    if (!file.Open(s.OutputFile, WriteMode::Create)) {
        ctx.ui.ShowMessage("Output File Not Create", "Error");
        return;
    }
    {
        KmlBuffer out(file);
        out.Text("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<kml xmlns=\"http://earth.google.com/kml/2.1\">\n"
                 "<Document>\n"
                 "<name>");
        out.Escaped(s.Name);
        out.Text("</name>\n"
                 "\n"
                 "<Style id=\"style\">\n"
                 "<IconStyle>\n"
                 " <scale>");
        out.Escaped(s.IconSize);
        out.Text("</scale>\n");
        if (s.PosIconUrl != 0) {
            out.Text(" <Icon>\n"
                     "  <href>");
            out.Escaped(s.IconURL);
            out.Text("</href>\n"
                     " </Icon>\n");
        }
        out.Text("</IconStyle>\n"
                 "<LabelStyle>\n"
                 " <scale>");
        out.Escaped(s.LabelSize);
        out.Text("</scale>\n"
                 "</LabelStyle>\n"
                 "</Style>\n"
                 "\n");
    }
    file.Close();
}

void WriteKmlClosing(RunContext& ctx) {
    TextWriter file;
    if (!file.Open(ctx.Current().OutputFile, WriteMode::Append)) {
        ctx.ui.ShowMessage("Output File Not Create", "Error");
        return;
    }
    file.Write("</Document>\n"
               "</kml>\n");
    file.Close();
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

// The character at a fixed position of a local date or time slot, a whole
// UTF-8 sequence (positions count characters, so a date text with a
// multi-byte character is never cut inside it); a position the text does not
// reach, and a NUL, read as a blank, the slot's filling.
std::string_view SlotCharacter(const std::string& text, size_t index) {
    size_t pos = 0;
    for (size_t count = 0; pos < text.size(); ++count) {
        size_t len = 1;
        while (pos + len < text.size() && (static_cast<unsigned char>(text[pos + len]) & 0xC0) == 0x80) ++len;
        if (count == index) return text[pos] == '\0' ? std::string_view(" ") : std::string_view(text).substr(pos, len);
        pos += len;
    }
    return " ";
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

void WriteTimeStampLines(KmlBuffer& out, const TrackPoint& point) {
    const std::string& d = point.LocalDate;
    const std::string& t = point.LocalTime;
    const auto digitsOnly = [](const std::string& text) {
        if (text.size() < 6 || (text.size() > 6 && (static_cast<unsigned char>(text[6]) & 0xC0) == 0x80)) return false;
        for (size_t i = 0; i < 6; ++i) {
            if (text[i] < '0' || text[i] > '9') return false;
        }
        return true;
    };
    if (digitsOnly(d) && digitsOnly(t)) {
        const char when[] = {'2', '0', d[4], d[5], '-', d[2], d[3], '-', d[0], d[1], 'T',
                             t[0], t[1], ':', t[2], t[3], ':', t[4], t[5]};
        out.Text(" <TimeStamp>\n"
                 "  <when>");
        out.Text(std::string_view(when, sizeof when));
        out.Text("Z</when>\n"
                 " </TimeStamp>\n");
        return;
    }
    // "20yy-mm-ddThh:mm:ss": date characters 4, 5, 2, 3, 0, 1, then the time's six.
    constexpr struct {
        bool time;
        size_t index;
        const char* after;
    } kWhen[] = {{false, 4, ""}, {false, 5, "-"}, {false, 2, ""}, {false, 3, "-"}, {false, 0, ""}, {false, 1, "T"},
                 {true, 0, ""},  {true, 1, ":"},  {true, 2, ""},  {true, 3, ":"},  {true, 4, ""},  {true, 5, ""}};
    out.Text(" <TimeStamp>\n"
             "  <when>20");
    for (const auto& c : kWhen) {
        out.Escaped(SlotCharacter(c.time ? t : d, c.index));
        out.Text(c.after);
    }
    out.Text("Z</when>\n"
             " </TimeStamp>\n");
}

void AdjustPosition(RunContext& ctx) {
    const ConvertSettings& s = ctx.Current();
    TrackPoint& p = ctx.point;
    // A zero offset leaves the value as it is; the datum step rewrites both
    // texts with "%3.6f" in any case.
    if (NumberOf(s.OffNS) != 0.0) OffsetCoordinate(p.LatitudeDeg, s.OffNS, "-");
    if (NumberOf(s.OffWE) != 0.0) OffsetCoordinate(p.LongitudeDeg, s.OffWE, "+");
    TokyoToWgs84(ctx);
    AssignFixed(p.AltitudeText, NumberOf(p.AltitudeText) + NumberOf(s.OffAltitude), 2, 1);
}

void WriteAltitudeModeLine(KmlBuffer& out, const ConvertSettings& s) {
    out.Text(s.Altitude != 0 ? "  <altitudeMode>absolute</altitudeMode>\n"
                             : "  <altitudeMode>clampToGround</altitudeMode>\n");
}

void WriteExtrudeLine(KmlBuffer& out, const ConvertSettings& s) {
    out.Text(s.Altitude != 0 && s.VLineAltitude != 0 ? "  <extrude>1</extrude>\n"
                                                      : "  <extrude>0</extrude>\n");
}

}  // namespace geoplait
