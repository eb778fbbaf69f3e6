// NMEA output.
//
// Sentences: "$GPGGA,<14 fields>*hh" and "$GPRMC,<11 fields>*hh", one per line,
// GGA first. The record's last GGA field (station) and last RMC field
// (variation direction) still carry the checksum of the line they were read
// from ("0000*47"): those three characters are cut off and a fresh checksum is
// computed over the body between "$" and "*". With the datum shift the
// position is moved from the Tokyo datum to WGS 84 first.
#include "writers/nmea_writer.h"

#include <initializer_list>
#include <string>
#include <string_view>

#include "geo/coordinates.h"
#include "geo/number_format.h"

namespace geoplait {

namespace {

// The field minus the "*hh" of the checksum it carries: empty when shorter
// than three characters. The cut counts characters, not bytes.
std::string_view WithoutOldChecksum(std::string_view field) {
    size_t end = field.size();
    for (int cut = 0; cut < 3; ++cut) {
        if (end == 0) return {};
        --end;
        // Step back over the continuation bytes of a UTF-8 sequence.
        while (end > 0 && (static_cast<unsigned char>(field[end]) & 0xC0) == 0x80) --end;
    }
    return field.substr(0, end);
}

// NMEA 0183 checksum: exclusive-or of the bytes, accumulated.
unsigned XorOf(std::string_view text, unsigned sum) {
    for (char c : text) sum ^= static_cast<unsigned char>(c);
    return sum;
}

// Writes the fields joined by "," and "*hh\n"; the checksum covers everything
// after a leading "$".
void WriteSentence(TextWriter& out, std::initializer_list<std::string_view> fields) {
    unsigned sum = 0;
    bool first = true;
    for (std::string_view field : fields) {
        if (first) {
            out.Write(field);
            sum = XorOf(field.starts_with('$') ? field.substr(1) : field, sum);
            first = false;
        } else {
            out.Put(',');
            out.Write(field);
            sum = XorOf(field, sum ^ static_cast<unsigned>(','));
        }
    }
    out.Printf("*%02X\n", sum & 0xFFu);
}

// Tokyo datum to WGS 84 for one side of the record (NMEA-notation texts),
// through decimal degrees as CoordTexts writes them.
void ShiftToWgs84(std::string& latitude, std::string& longitude) {
    std::string latDeg;
    std::string latDms;
    std::string lonDeg;
    std::string lonDms;
    CoordTexts(latitude, latDeg, latDms);
    CoordTexts(longitude, lonDeg, lonDms);
    const double lat = NumberOf(latDeg);
    const double lon = NumberOf(lonDeg);
    const double shiftedLat = lat - lat * 0.00010695 + lon * 1.7464e-05 + 0.0046017;
    const double shiftedLon = lon - lat * 4.6038e-05 - lon * 8.3043e-05 + 0.01004;
    AssignFixed(latDeg, shiftedLat, 6, 3);
    AssignFixed(lonDeg, shiftedLon, 6, 3);
    latitude.clear();
    latDms.clear();
    longitude.clear();
    lonDms.clear();
    CoordTexts(latitude, latDeg, latDms);
    CoordTexts(longitude, lonDeg, lonDms);
}

}  // namespace

void WriteGgaSentence(TextWriter& out, const TrackPoint& p, bool shiftToWgs84, LineScratch& scratch) {
    const std::string_view station = WithoutOldChecksum(p.GgaDgpsStation);
    const std::string* latitude =
        &NmeaTextOf(p.GgaLatitude, p.GgaPosition, p.GgaPosition.latitude, scratch.ggaLatitude);
    const std::string* longitude =
        &NmeaTextOf(p.GgaLongitude, p.GgaPosition, p.GgaPosition.longitude, scratch.ggaLongitude);
    if (shiftToWgs84) {
        scratch.latitude.assign(*latitude);
        scratch.longitude.assign(*longitude);
        ShiftToWgs84(scratch.latitude, scratch.longitude);
        latitude = &scratch.latitude;
        longitude = &scratch.longitude;
    }
    WriteSentence(out, {p.GgaId, TimeTextOf(p.GgaTime, p.Time, scratch.ggaTime), *latitude, p.GgaNS, *longitude, p.GgaEW, p.GgaQuality,
                        p.GgaSatellites, p.GgaDilution, p.GgaAltitude, p.GgaAltitudeUnit, p.GgaGeoid,
                        p.GgaGeoidUnit, p.GgaDgpsAge, station});
}

void WriteRmcSentence(TextWriter& out, const TrackPoint& p, bool shiftToWgs84, LineScratch& scratch) {
    const std::string_view direction = WithoutOldChecksum(p.RmcMagVarEW);
    const std::string* latitude = &NmeaTextOf(p.RmcLatitude, p.Position, p.Position.latitude, scratch.rmcLatitude);
    const std::string* longitude = &NmeaTextOf(p.RmcLongitude, p.Position, p.Position.longitude, scratch.rmcLongitude);
    if (shiftToWgs84) {
        scratch.latitude.assign(*latitude);
        scratch.longitude.assign(*longitude);
        ShiftToWgs84(scratch.latitude, scratch.longitude);
        latitude = &scratch.latitude;
        longitude = &scratch.longitude;
    }
    WriteSentence(out, {p.RmcId, TimeTextOf(p.RmcTime, p.Time, scratch.rmcTime), p.RmcStatus, *latitude, p.RmcNS,
                        *longitude, p.RmcEW, p.RmcSpeed, p.RmcCourse, DateTextOf(p.RmcDate, p.Time, scratch.rmcDate),
                        p.RmcMagVar, direction});
}

void WriteNmeaSentences(TextWriter& out, const LineWriterOptions& options, const TrackPoint& point, RecordNumbers,
                        LineScratch& scratch) {
    if (options.nmea.gga) WriteGgaSentence(out, point, options.nmea.shiftToWgs84, scratch);
    if (options.nmea.rmc) WriteRmcSentence(out, point, options.nmea.shiftToWgs84, scratch);
}

}  // namespace geoplait
