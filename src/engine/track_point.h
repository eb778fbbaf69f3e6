// The one current record and the run state kept around it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

// The text and number helpers every reader and writer uses with the record.
#include "base/text_fields.h"
#include "engine/record_time.h"

namespace geoplait {

// One axis of a record's position as numbers, at the full precision of the
// input: the unsigned NMEA value (ddmm.mmmm..., dddmm.mmmm...) and the same
// in degrees. A position read as NMEA text has the value of its text and
// DegreesOfNmea of it; one read as degrees has those degrees and
// ExactNmeaOfDegrees of them. Each output rounds once, to its own decimals. The hemisphere letters that sign it
// stay the record's texts (an NMEA output echoes them; HemisphereSign reads
// them with the system's defaults).
struct Coordinate {
    double nmea = 0.0;
    double degrees = 0.0;
    bool operator==(const Coordinate&) const = default;
};

// A position of the record: both axes or none.
struct RecordPosition {
    Coordinate latitude;
    Coordinate longitude;
    bool known = false;
    bool operator==(const RecordPosition&) const = default;
};

// A number of the record that its input may not give: `known` when the
// record has the text it is read from.
struct Reading {
    double value = 0.0;
    bool known = false;
    bool operator==(const Reading&) const = default;
};

// The record's measured numbers, read once from its texts as the record
// arrives from its reader (ReadRecordValues): the writers, filters and
// derived values use these instead of reading the texts again. The texts
// stay for the outputs that echo them as read (NMEA, CSV, the GPX <ele>,
// <sat> and comment).
struct RecordValues {
    Reading altitude;    // GgaAltitude, metres
    Reading speed;       // RmcSpeed, knots (the track's speed where the input gave none)
    Reading course;      // RmcCourse, degrees
    Reading satellites;  // GgaSatellites, satellites in use
    Reading dilution;    // GgaDilution, horizontal dilution of precision
    bool operator==(const RecordValues&) const = default;
};

// The whole part of a reading as the integer outputs and filters take it
// ("2.7" is 2, "1e3" is 1000), held to the int32_t range; 0 when unknown.
int32_t WholeOf(const Reading& reading);

// Numbers of the current record worked out once a record, and whether the
// values that depend on the record alone are derived already.
// ClearTrackPoint forgets them.
struct RecordReadings {
    // The signs of the hemispheres.
    char longitudeSign = ' ';
    char latitudeSign = ' ';
    bool positionRead = false;  // the numbers above are those of the record
    // The record's speed and local time are derived: another run state that
    // takes the record takes them too.
    bool valuesDerived = false;
    // Values.speed is the reading of RmcSpeed as its reader made the text
    // (a reader that reads its values: kValuesRead).
    bool speedRead = false;
    // The distances in km (on level ground) from the record to the last
    // points it was measured against, by their signed degrees: the previous
    // point and the placemark anchor, the same for each run state that takes
    // the record. Counted from 0 once the position is read.
    struct Distance {
        double longitude = 0.0;
        double latitude = 0.0;
        double km = 0.0;
    };
    std::array<Distance, 2> distances{};
    size_t distanceCount = 0;
};

// The current record. Text fields are named after the NMEA sentence they
// first came from; every reader fills the same fields from its own format.
struct TrackPoint {
    std::string GgaId;
    std::string GgaTime;
    std::string GgaLatitude;
    std::string GgaNS;
    std::string GgaLongitude;
    std::string GgaEW;
    std::string GgaQuality;
    std::string GgaSatellites;
    std::string GgaDilution;
    std::string GgaAltitude;
    std::string GgaAltitudeUnit;
    std::string GgaGeoid;
    std::string GgaGeoidUnit;
    std::string GgaDgpsAge;
    std::string GgaDgpsStation;  // with the "*" and checksum that follow it
    std::string RmcId;
    std::string RmcTime;  // blank slots after ClearTrackPoint, see SlotChar
    std::string RmcStatus;
    std::string RmcLatitude;
    std::string RmcNS;
    std::string RmcLongitude;
    std::string RmcEW;
    std::string RmcSpeed;
    std::string RmcCourse;
    std::string RmcDate;  // blank slots after ClearTrackPoint, see SlotChar
    std::string RmcMagVar;
    std::string RmcMagVarEW;
    // The reserved column of a CSV Full line (28), which a CSV Full output
    // writes back; the columns the program recomputes are not kept.
    std::string CsvReserved;
    // The point's name from GPX or KML input, and the extra text of the POT
    // "tex" item or the KML names; written by the CSV Custom columns Output_Name
    // and Output_Extend_Data. Not emptied by ClearTrackPoint: the readers that
    // fill them empty them themselves.
    std::string PointName;
    std::string ExtendData;

    // The position as numbers: Position of the RMC side (the track, its
    // distances and the KML), GgaPosition of the GGA side (GPX, POT, CSV,
    // GeoJSON and the GGA sentence). Readers of degrees (GPX, KML, FIT) fill
    // both and leave the NMEA texts above empty; the NMEA, CSV and POT
    // readers fill the texts, which SettleRecord reads into these. The two
    // differ only where an NMEA log's GGA and RMC sentences of one fix do.
    RecordPosition Position;
    RecordPosition GgaPosition;

    // The measured numbers of the texts above (ReadRecordValues).
    RecordValues Values;

    // The record's UTC time. Readers of ISO and epoch times (GPX, KML, FIT)
    // fill it and leave RmcTime, RmcDate and GgaTime empty; the NMEA, CSV and
    // POT readers fill those texts, which ReadTimeTexts reads into it (an
    // NMEA or CSV output echoes them as read).
    RecordTime Time;
    // The local time of Time by LocalOffset (LocalDateTime).
    RecordTime Local;

    // Derived numbers (ComputeDerived), the first two set by the filters
    // from Values: satellites in use (999 for none or unknown) and the whole
    // part of the HDOP.
    int32_t SatCount = 0;
    int32_t DilutionValue = 0;
    double Speed = 0.0;
    double IntervalDistance = 0.0;
    double StartDistance = 0.0;  // from PlacemarkAnchor, with PosDistance only
    double TotalDistance = 0.0;
    int32_t ElapsedSec = 0;
    int32_t IntervalSec = 0;
    int32_t LocalOffset = 0;  // signed hhmmss: the offset Local was worked out with

    RecordReadings Readings;
};

// A position as the emitters and ComputeDerived remember it: the record's
// Position, its hemisphere letters (RmcEW, RmcNS) and its altitude in metres:
// the previous point is measured from without being read again.
struct PointPosition {
    RecordPosition Position;
    // The hemisphere letters of RmcEW and RmcNS (HemisphereLetter).
    char EW = '\0';
    char NS = '\0';
    double altitudeMetres = 0.0;
    void Clear() { *this = PointPosition{}; }
    // The current record's Position, letters and altitude.
    void Take(const TrackPoint& point);
    bool operator==(const PointPosition&) const = default;
};

struct TrackStore {
    int32_t RecordIndex = 0;   // records read in this pass, rejected ones included
    int32_t WrittenCount = 0;  // records written in this pass
    int32_t OmitCount = 0;     // coordinate tuples dropped by the KML reader
    int32_t SplitIndex = 0;    // current split file or colour group
    PointPosition PreviousPoint;  // previous record seen by an emitter
    double GapDistance = 0.0;
    double SinceWrittenDistance = 0.0;
    int64_t GroupDay = 0;     // local day of the current date group
    bool GroupDated = false;  // a date group has begun
    // ComputeDerived's memories. Its first point is the placemark anchor that
    // distance-selected placemarks move.
    PointPosition DerivedPrevious;
    PointPosition PlacemarkAnchor;
    std::time_t FirstTime = 0;
    std::time_t PreviousTime = 0;
};

// A record's place in the run: the records read and written before it
// (RecordIndex, WrittenCount), as the writers number it.
struct RecordNumbers {
    int32_t read = 0;
    int32_t written = 0;
    // The record begins a new piece of the line: a gap in distance or time
    // (or, for NMEA input, a new date) cuts the track before it.
    bool lineCut = false;
};

// A coordinate of an unsigned NMEA value, and of unsigned degrees, both
// exact (no rounding on the way in).
Coordinate CoordinateOfNmea(double nmea);
Coordinate CoordinateOfDegrees(double degrees);

// The decimal-degree ("%7.6f") and d/m/s ("%3.2f" of ddmmss.ss) texts of
// one axis of a position, each empty when the position is unknown: the
// writers that show them make them as they write.
void DegreesText(const RecordPosition& position, const Coordinate& axis, std::string& degrees);
void DmsText(const RecordPosition& position, const Coordinate& axis, std::string& dms);

// The NMEA text of one axis as the outputs write it: the input's own text
// when it gave one (NMEA, CSV, POT: an NMEA output echoes it as read), else
// the axis's value rounded to four decimals of a minute (RoundedNmea) as
// "%5.4f" made in `scratch`; empty without a position.
const std::string& NmeaTextOf(const std::string& asRead, const RecordPosition& position, const Coordinate& axis,
                              std::string& scratch);

// Position and GgaPosition read from the NMEA texts of their sides
// (unsigned ddmm.mmmm, as SettleRecord leaves them): a side with both texts
// has a position, one without has none.
void ReadPositionTexts(TrackPoint& point);

// Time read from the texts RmcDate and RmcTime (TimeOfTexts).
void ReadTimeTexts(TrackPoint& point);

// The texts of the record's time as the outputs write them: the input's own
// text when its reader gave texts (an NMEA output echoes them as read, an
// empty GGA time beside an RMC time too), else that of the record's Time
// ("ddmmyy", "hhmmss"; "000000" for an unknown date), empty when the record
// has none. `scratch` holds a text made.
std::string_view DateTextOf(const std::string& asRead, const RecordTime& time, std::string& scratch);
std::string_view TimeTextOf(const std::string& asRead, const RecordTime& time, std::string& scratch);

// The date slot of a record whose date is not known, as the positional
// outputs read it: the input's own text when its reader gave texts (a
// pass-through reads it unsettled), else "000000" for an unknown date and ""
// for none.
const std::string& UnknownDateText(const TrackPoint& point);
// "yymmdd" of a date slot read by character position (SlotChar): a slot cut
// short ends it.
void AppendDateSlotDigits(std::string& out, const std::string& ddmmyy);

// The record's local date and time (Local) as the outputs write them, made
// in `out`: "20yy/mm/dd" and "hh:mm:ss", and the digits "ddmmyy" and
// "hhmmss". Without a time the time texts are empty; a date that is not known
// is its slot as read (UnknownDateText, "2000/00/00" of "000000").
void LocalDateText(const TrackPoint& point, std::string& out);
void LocalTimeText(const TrackPoint& point, std::string& out);
void LocalDateDigits(const TrackPoint& point, std::string& out);
void LocalTimeDigits(const TrackPoint& point, std::string& out);

// Reads the record's measured numbers (Values) from its texts, once its
// reader and the track's speed have filled them: each the ReadingOf its text.
void ReadRecordValues(TrackPoint& point);
Reading ReadingOf(std::string_view text);

// Empties every text field and both positions of the record and forgets its
// readings; the other numbers are left alone.
void ClearTrackPoint(TrackPoint& point);

// A record with a latitude and no longitude, or the reverse, has no
// position: no writer puts half of one at 0 degrees or into an empty
// attribute. Clears the half it has.
void DropHalfPosition(TrackPoint& point);

// The texts and positions of the record `from`, PointName and ExtendData
// with them, into `to`, whose numbers stay its own but LocalOffset, which
// goes with the local time texts: one record read, taken by two run states.
void CopyRecordTexts(const TrackPoint& from, TrackPoint& to);
// Exchanges the texts and positions of two records (and LocalOffset with
// them); the other numbers stay where they are.
void SwapRecordTexts(TrackPoint& a, TrackPoint& b);

// The numbers a run state keeps in its record from one record to the next,
// which SwapRecordTexts leaves in place (SatCount, DilutionValue, Speed, the
// distances and seconds, and the readings), from the record taken last into
// the one taken next: a taker given each record where it lies (a reading
// thread's) finds them as a taker of one fixed record leaves them.
void CarryRunNumbers(const TrackPoint& from, TrackPoint& to);
// Exchanges the numbers of the run states of two sections that take one
// record in turn, where it lies (the KML placemarks and path): those
// HandOnRecord leaves with each side (SatCount, DilutionValue, the distances
// and seconds), so that each section finds its own.
void SwapSectionNumbers(TrackPoint& a, TrackPoint& b);

// Hands the record `from` on to `to`, a cleared record of another run state
// that takes the same records: its texts, positions, readings and the numbers
// derived from the record alone (Values, Speed, LocalOffset) go to
// `to`, whose numbers of its run state (distances, times, counts) stay its
// own; `from` is left cleared, PointName and ExtendData emptied too. Nothing
// is copied: the texts change places (the buffers of long ones by their
// pointers). Handed on to itself (`to` is `from`)
// the record stays as it is, for a section that takes it where it lies
// with its own numbers (SwapSectionNumbers).
void HandOnRecord(TrackPoint& from, TrackPoint& to);

// The date of the record's group, where a group of the track begins: the
// record's local date when it is a calendar date.
void SetGroupDate(const TrackPoint& point, TrackStore& store);
// Whether the record begins a new group by its date (`byDate`: TrackGroupDate):
// a calendar date other than the group's.
bool DateGroupChanges(bool byDate, const TrackPoint& point, const TrackStore& store);

}  // namespace geoplait
