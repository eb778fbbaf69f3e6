// The one current record and the run state kept around it.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

// The text and number helpers every reader and writer uses with the record.
#include "base/text_fields.h"

namespace geoplait {

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
    std::string InLatitudeDeg;
    std::string InLongitudeDeg;
    std::string LatitudeDms;
    std::string LongitudeDms;
    std::string LatitudeDeg;
    std::string LongitudeDeg;
    std::string AltitudeText;
    std::string LocalDate;  // ddmmyy after the time difference
    std::string LocalTime;  // hhmmss after the time difference
    std::string LocalDateText;  // "20yy/mm/dd"
    std::string LocalTimeText;  // "hh:mm:ss"
    // Columns of a CSV Full line that the program recomputes; read by nothing else.
    std::string CsvSlot[24];
    // The point's name from GPX or KML input, and the extra text of the POT
    // "tex" item or the KML names; written by the CSV Custom columns Output_Name
    // and Output_Extend_Data. Not emptied by ClearTrackPoint: the readers that
    // fill them empty them themselves.
    std::string PointName;
    std::string ExtendData;

    // Derived numbers (ComputeDerived), the first two set by the emitters.
    int32_t SatCount = 0;
    int32_t DilutionValue = 0;
    double AltitudeValue = 0.0;
    double Speed = 0.0;
    double CourseValue = 0.0;
    double IntervalDistance = 0.0;
    double StartDistance = 0.0;
    double TotalDistance = 0.0;
    int32_t ElapsedSec = 0;
    int32_t IntervalSec = 0;
};

// A position as the emitters and ComputeDerived remember it: the raw NMEA
// longitude, latitude and altitude texts and the hemisphere letters.
struct PointTexts {
    std::string Longitude;
    std::string Latitude;
    std::string Altitude;
    std::string EW;
    std::string NS;
    void Clear() { Longitude.clear(); Latitude.clear(); Altitude.clear(); EW.clear(); NS.clear(); }
    // The current record's RmcLongitude, RmcLatitude, GgaAltitude, RmcEW and RmcNS.
    void Take(const TrackPoint& point);
    bool operator==(const PointTexts&) const = default;
};

struct TrackStore {
    int32_t RecordIndex = 0;   // records read in this pass, rejected ones included
    int32_t WrittenCount = 0;  // records written in this pass
    int32_t OmitCount = 0;     // coordinate tuples dropped by the KML reader
    int32_t SplitIndex = 0;    // current split file or colour group
    PointTexts PreviousPoint;  // previous record seen by an emitter
    double GapDistance = 0.0;
    double SinceWrittenDistance = 0.0;
    std::string GroupDate;
    // ComputeDerived's memories. Its first point is the placemark anchor that
    // distance-selected placemarks move.
    PointTexts DerivedPrevious;
    PointTexts PlacemarkAnchor;
    std::time_t FirstTime = 0;
    std::time_t PreviousTime = 0;
};

// A record's place in the run: the records read and written before it
// (RecordIndex, WrittenCount), as the writers number it.
struct RecordNumbers {
    int32_t read = 0;
    int32_t written = 0;
};

// Empties every text field of the record; numbers are left alone.
void ClearTrackPoint(TrackPoint& point);

}  // namespace geoplait
