// The KML document as a whole: the head with the shared placemark style, the
// closing lines, and the pieces that the placemark and path writers share
// (hemisphere signs, time stamps, the position adjustment, the altitude-mode
// and extrude lines).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/output_files.h"
#include "engine/run_values.h"
#include "engine/track_point.h"
#include "geo/coordinates.h"
#include "geo/unit_system.h"
#include "kml/kml_format.h"
#include "settings/convert_settings.h"

namespace geoplait {

// What the KML writers of one section of a track (its placemarks, or its
// path beside them) work on: the settings, the section's record and its
// record state (numbers, groups, distances), and the run's values (the gap
// limits, the placemark interval, whether the record is the last), which
// the sections share.
struct KmlSection {
    const ConvertSettings& settings;
    TrackPoint& point;
    TrackStore& store;
    const RunValues& run;
};

// Creates OutputFile (of `s`) as one of the run's `outputs` (always with the
// byte-order mark) and writes the head and the style "style".
void WriteKmlHeader(OutputFiles& outputs, const ConvertSettings& s);

// Appends "</Document>" and "</kml>" to `outputFile`, one of the run's outputs.
void WriteKmlClosing(OutputFiles& outputs, const std::string& outputFile);

// " <TimeStamp>", "  <when>20yy-mm-ddThh:mm:ss+hh:mm</when>", " </TimeStamp>"
// of a local date (ddmmyy) and time (hhmmss) with the time difference
// (signed hhmmss) as the offset, "Z" for 0. Nothing when the date is not a
// calendar date (a log without dates): no time is better than a wrong one.
// Every KML time stamp is written here.
void WriteTimeStampLines(KmlBuffer& out, const std::string& localDate, const std::string& localTime,
                         int32_t timeDifference);
// The same of a record's local time (Local): nothing without a known date
// and a time.
void WriteTimeStampLines(KmlBuffer& out, const RecordTime& local, int32_t timeDifference);

// The move of every written position: OffNS, OffWE (d/m/s), OffAltitude
// (metres) and the datum shift, decoded when the run starts.
struct PositionAdjustment {
    std::string offNS;
    std::string offWE;
    std::string offAltitude;
    bool toWgs84 = false;  // Tokyo2WGS84
    // The numbers of the three texts, read once (PositionAdjustmentOf).
    double offNSValue = 0.0;
    double offWEValue = 0.0;
    double offAltitudeValue = 0.0;
};

// The adjustment of these settings texts, their numbers read.
PositionAdjustment PositionAdjustmentOf(const std::string& offNS, const std::string& offWE,
                                        const std::string& offAltitude, bool toWgs84);

// A position's texts as they are written: decimal degrees and the altitude.
struct PositionTexts {
    std::string latitude;
    std::string longitude;
    std::string altitude;
};

// A record's position as the KML writers write it: its decimal degrees and
// altitude adjusted (AdjustPosition) and the signs they are written with,
// kept with the numbers and signs they were made from: the sections that
// write one record's position adjust it once.
struct AdjustedPosition {
    RecordPosition from;
    double fromAltitude = 0.0;
    HemisphereSigns fromSigns;
    PositionTexts texts;
    HemisphereSigns signs;
    // The decimal degrees before the adjustment ("%7.6f" of `from`, empty
    // without a position; no altitude), as the description shows them.
    PositionTexts degrees;
    bool valid = false;
};

// What the KML writers take from the settings and the run values for each
// record, decoded once when the run starts.
struct KmlRecordOptions {
    // The items of a position placemark's label (Label_ flags).
    bool labelNumber = false;
    bool labelDate = false;
    bool labelTime = false;
    bool labelElapsed = false;
    bool labelIntervalTime = false;
    bool labelDistance = false;
    bool labelSpeed = false;
    bool labelAltitude = false;
    bool labelSatellites = false;
    bool labelCourse = false;
    bool labelName = false;
    bool labelIntervalDistance = false;
    bool labelLatLon = false;
    bool renumber = false;         // ReNumber: the label numbers written records
    bool description = false;      // Label_Description
    bool timeStamp = false;        // TimeStampPosition
    bool absoluteAltitude = false; // Altitude
    UnitSystem units = UnitSystem::Km;
    HemisphereSigns defaultSigns;  // of the system default letters
    PositionAdjustment adjust;
    // What a line group break writes after the group's name, from " <Style>"
    // to "  <coordinates>", for each of the 12 groups, its setting texts
    // escaped once here rather than at every break: with the NMEA
    // indentation of the vertical lines' colour, and with that of CSV, POT
    // and GPX input. Kept as they reach the file (each line end CR LF).
    std::array<std::string, kGroupCount> nmeaGroupStart;
    std::array<std::string, kGroupCount> otherGroupStart;
};

KmlRecordOptions KmlRecordOptionsOf(const ConvertSettings& current, const ConfigSettings& config,
                                    const RunValues& run);

// The options and scratch space of a run's KML record writers, which the
// run keeps.
struct KmlRecordWriter {
    KmlRecordOptions options;
    PositionTexts scratch;
    AdjustedPosition position{};  // the last position written (AdjustOnce)
    // The position of the record being written as it was made ahead of the
    // writers (where the record was read), or null: see WriterPosition.
    const AdjustedPosition* madeAhead = nullptr;
    // A coordinate line, made once for a record, as it reaches the file (CR LF).
    std::string line{};
};

// The decimal degrees ("%7.6f", empty without a position) of `from` and
// its altitude in metres as they are written: moved by OffNS/OffWE in the
// same direction whatever the hemisphere (`signs` are those the position is
// written with, and change when the offset crosses the equator or the
// meridian), the datum shifted and OffAltitude added to the altitude
// ("%1.2f"). The degrees go through their text on the way, so that the
// offsets and the shift start from the six decimals shown.
void AdjustPosition(const PositionAdjustment& adjust, const RecordPosition& from, double altitude,
                    PositionTexts& position, HemisphereSigns& signs);

// The adjusted position of this position, altitude and signs: `memo` when it
// was made from them, else made there.
const AdjustedPosition& AdjustOnce(const PositionAdjustment& adjust, AdjustedPosition& memo,
                                   const RecordPosition& from, double altitude, HemisphereSigns signs);

// The adjusted position of the record `p` as `writer` writes it: the one
// made ahead (madeAhead) when it was made from the record's position,
// altitude and signs, else AdjustOnce's in writer.position.
const AdjustedPosition& WriterPosition(KmlRecordWriter& writer, const TrackPoint& p);

// "  <altitudeMode>absolute</altitudeMode>" with Altitude, else clampToGround.
void WriteAltitudeModeLine(KmlBuffer& out, const ConvertSettings& s);
void WriteAltitudeModeLine(KmlBuffer& out, bool absolute);
// "  <extrude>1</extrude>" with Altitude and VLineAltitude, else 0.
void WriteExtrudeLine(KmlBuffer& out, const ConvertSettings& s);

}  // namespace geoplait
