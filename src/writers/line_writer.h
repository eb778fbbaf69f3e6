// What the line writers of the non-KML outputs (POT, GPX route points, NMEA,
// CSV) are handed for each record: the record itself, its numbers in the run,
// their options and their scratch space. The options are decoded from the
// settings once, when the run starts; a writer never sees the run as a whole.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/text_file.h"
#include "engine/track_point.h"
#include "geo/coordinates.h"
#include "settings/convert_settings.h"

namespace geoplait {

// The point label of the GPX route point name and the POT text item: which
// of the Label_ items it shows.
struct PointLabelOptions {
    bool number = false;    // Label_No
    bool elapsed = false;   // Label_Elapsed
    bool distance = false;  // Label_Km
    bool speed = false;     // Label_Speed
};

// The sentences an NMEA output writes of each record.
struct NmeaWriterOptions {
    bool gga = false;           // Create_GPGGA
    bool rmc = false;           // Create_GPRMC
    bool shiftToWgs84 = false;  // Tokyo2WGS84: the position moves from the Tokyo datum first
};

// The CSV Custom columns, in their fixed order (the Output_ flags).
inline constexpr size_t kCsvCustomColumnCount = 27;

struct CsvWriterOptions {
    std::array<bool, kCsvCustomColumnCount> customColumns{};  // Custom: the columns switched on
    bool latitudeHemisphereColumn = false;   // Output_Latitude_ns: no "-" before a southern latitude
    bool longitudeHemisphereColumn = false;  // Output_Longitude_ew: no "-" before a western longitude
    std::string meterMile;                   // Full: the MeterMile text, as the column shows it
    bool header = false;                     // CsvHeader: each file begins with the column names
};

// How a GPX output holds the track (GpxType).
enum class GpxLayout { Route, Track };

struct LineWriterOptions {
    PointLabelOptions label;
    GpxLayout gpx = GpxLayout::Route;
    HemisphereSigns defaultSigns;  // of the system default letters, for a record without its own
    NmeaWriterOptions nmea;
    CsvWriterOptions csv;
};

LineWriterOptions LineWriterOptionsOf(const ConvertSettings& current, const ConfigSettings& config);

// Working space a line writer reuses for one record at a time, so that
// writing a record allocates nothing once warm; nothing in it outlives the
// record.
struct LineScratch {
    std::string line;  // the record's output, built whole
    std::string latitude;
    std::string longitude;
    std::string latitudeDms;
    std::string longitudeDms;
    // NMEA texts made from the record's positions (NmeaTextOf).
    std::string ggaLatitude;
    std::string ggaLongitude;
    std::string rmcLatitude;
    std::string rmcLongitude;
    // Texts of the record's times: the local ones, and the UTC ones made
    // from its Time where the input gave no text (TimeTextOf, DateTextOf).
    std::string localDate;
    std::string localTime;
    std::string rmcTime;
    std::string rmcDate;
    std::string ggaTime;
    // The GPX "yyyy-mm-dd" of the day isoDay, made once a day.
    int64_t isoDay = 0;
    bool isoDateKnown = false;
    char isoDate[10] = {};
    // The POT "dd-Mon-yy" of the day potDay, made once a day.
    int64_t potDay = 0;
    bool potDateKnown = false;
    char potDate[9] = {};
};

// The options and scratch space of a run's line writer, which the run keeps.
struct LineOutput {
    LineWriterOptions options;
    LineScratch scratch;
};

using LineWriter = void (*)(TextWriter& out, const LineWriterOptions& options, const TrackPoint& point,
                            RecordNumbers numbers, LineScratch& scratch);
// What a line output writes at the start of each of its files (a split
// file too), before the first record.
using LineHead = void (*)(TextWriter& out, const LineWriterOptions& options);

}  // namespace geoplait
