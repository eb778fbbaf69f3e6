// CSV input: the Full layout (the 50 columns this program writes) and the
// Custom layout (columns and notations described by the Imput_ settings).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/text_file.h"
#include "engine/run_values.h"
#include "engine/track_point.h"
#include "geo/time_zone.h"
#include "settings/convert_settings.h"

namespace geoplait {

// One line of the Full layout into the record: columns 1-28 into the NMEA
// fields and the reserved slot, 33/34 into the decimal degrees, 41/42 into
// the d/m/s texts, 43/44 into the local date and time. The other columns are
// recomputed by ComputeDerived and not read. Returns 1 when the altitude was
// no number (it is unknown now), else 0.
int32_t ParseCsvFullLine(std::string_view line, TrackPoint& point);

// How a latitude or longitude column of the Custom layout is written:
// "dd.dddddd", "ddmm.mmmm", "ddmmss.ss"; any other text reads no position.
enum class CsvCoordNotation { Degrees, Nmea, Dms, Unknown };
// "ddmmyy", "yymmdd", "yyyy/mm/dd"; any other text takes the column as it stands.
enum class CsvDateNotation { Ddmmyy, Yymmdd, YearSlashed, AsItStands };
// "hhmmss UTC", "hhmmss UTC+Diff", "hh:mm:ss UTC+Diff"; any other text takes
// the column as it stands.
enum class CsvTimeNotation { Utc, LocalDigits, LocalColons, AsItStands };
// "knots", "km" (km/h); any other text reads the speed as 0.
enum class CsvSpeedUnit { Knots, KmPerHour, Unknown };

// The Custom layout as the Imput_ settings describe it, decoded once before
// the first line: the column of each item (0 = absent) and its notation.
struct CsvCustomFormat {
    int latitudeNs = 0;
    int latitude = 0;
    int longitudeEw = 0;
    int longitude = 0;
    int altitude = 0;
    int date = 0;
    int time = 0;
    int speed = 0;
    int course = 0;
    CsvCoordNotation latitudeNotation = CsvCoordNotation::Unknown;
    CsvCoordNotation longitudeNotation = CsvCoordNotation::Unknown;
    CsvDateNotation dateNotation = CsvDateNotation::AsItStands;
    CsvTimeNotation timeNotation = CsvTimeNotation::AsItStands;
    CsvSpeedUnit speedUnit = CsvSpeedUnit::Unknown;
};

CsvCustomFormat DecodeCsvCustomFormat(const ConvertSettings& settings);

// One line of the Custom layout into the record, the NMEA defaults of
// `settings` first. Local times are turned into UTC by `clock` (a fixed
// difference or a zone). Returns the number of cells that held no number
// (left unknown).
// The coordinate columns of a Custom line in decimal degrees or d/m/s, on
// their way to the record's NMEA texts and positions; a reader keeps them
// from line to line for their room.
struct CsvCoordinateTexts {
    std::string latitudeDegrees;
    std::string longitudeDegrees;
    std::string latitudeDms;
    std::string longitudeDms;
};

int32_t ParseCsvCustomLine(std::string_view line, const CsvCustomFormat& format, const ConvertSettings& settings,
                           const LocalClock& clock, TrackPoint& point, CsvCoordinateTexts& coordinates);

enum class CsvLayout { Full, Custom };

// A CSV file as a source of records: every line is one, but a first line
// that is a header of ours (IsCsvHeaderLine); any other header is read as data.
//
//   CsvReader reader;
//   if (!reader.Open(path, CsvLayout::Custom, settings, clock)) ... "Input File Not Found"
//   while (reader.Next(point)) { ...write or reject point..., ClearTrackPoint }
//
// The Custom layout reads its columns and notations from the Imput_ items of
// `items` (kept by reference: they must outlive the reading) and turns local
// times into UTC by `clock` (a fixed difference or a zone); the Full layout
// needs neither. The reader keeps nothing between records but its file position; a
// pass that reads the file again opens it again.
class CsvReader {
public:
    bool Open(const std::string& path, CsvLayout layout, const ConvertSettings& items, const LocalClock& clock);
    void Close() { input_.Close(); }
    // Parses the next line into the point; false at the end of the file.
    bool Next(TrackPoint& point);
    // Passes over the record Next would give, reading its line only (to
    // count the records); false at the end of the file. The cells are not
    // looked at, so their losses are the reading pass's to count.
    bool Skip();
    // Bytes of the input read up to the record last given, for progress.
    uint64_t BytesRead() const { return input_.BytesRead(); }
    // What this pass could not read: cells that were no number, lines too long.
    InputLosses Losses() const { return losses_; }

private:
    // The line of the next record; `mayBeHeader`: it is the first line, which
    // may name another program's columns.
    bool NextLine(std::string_view& line, bool& mayBeHeader);
    TextReader input_;
    InputLosses losses_;
    CsvLayout layout_ = CsvLayout::Full;
    CsvCustomFormat custom_;      // decoded from the settings when opened
    CsvCoordinateTexts coordinates_;
    const ConvertSettings* items_ = nullptr;
    LocalClock clock_;
    bool firstLine_ = true;
};

}  // namespace geoplait
