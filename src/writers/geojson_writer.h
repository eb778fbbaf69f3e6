// GeoJSON output (RFC 7946): a FeatureCollection for web maps and GIS tools.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/output_files.h"
#include "base/text_file.h"
#include "engine/track_point.h"
#include "geo/coordinates.h"
#include "settings/convert_settings.h"

namespace geoplait {

// The GeoJSON writer's options, decoded from the settings when the run starts.
struct GeoJsonOptions {
    bool placemarks = false;       // a Point feature per record, not lines
    HemisphereSigns defaultSigns;  // of LatitudeNS and LongitudeWE, for a record without letters
    std::string outputFile;        // the spools are made beside it
    std::string trackName;         // Name
    std::string units;             // MeterMile
    std::array<std::string, kGroupCount> colours;  // "#rrggbb" of LineColorRGB; empty for none
};

GeoJsonOptions GeoJsonOptionsOf(const ConvertSettings& s, const ConfigSettings& config, bool placemarks);

// Writes the records a run lets through, one at a time, in constant memory.
//
//   GeoJsonWriter geojson;
//   if (!geojson.Begin(out, outputs, options)) ...the spools could not be made
//   for each accepted record:
//       at a group break: geojson.EndGroup(out, group), then the next group
//       geojson.Add(out, point, recordIndex, lineCut)
//   geojson.End(out, group)
//
// With `placemarks` every record is a Point feature with the values of its
// label (number recordIndex + 1, elapsed time, distance, speed) as
// properties. Otherwise each line group (`group`, the record state's
// SplitIndex, as the KML path numbers and colours them) is one feature: a
// LineString, or a MultiLineString where a cut (`lineCut`) within the group
// splits it, with the group's name, colour, first and last time, distance
// and the per-point times (coordTimes, as togeojson and QGIS read them) as
// properties. The coordinates and times of the current group go
// to two spools beside the output while the records come, and follow the
// feature's head when the group ends; a piece of fewer than two points is no
// line and is left out, a group without a line is no feature.
// Positions are longitude, latitude and (when known) altitude, WGS 84, as
// numbers that are never NaN; texts are valid UTF-8.
class GeoJsonWriter {
public:
    // The spools are outputs of the run (`outputs`, which outlives the writer).
    bool Begin(TextWriter& out, OutputFiles& outputs, GeoJsonOptions options);
    void Add(TextWriter& out, const TrackPoint& point, int32_t recordIndex, bool lineCut);
    // Writes the current group's feature (group `group`) and starts the next
    // group afresh; false when its spools could not be made.
    bool EndGroup(TextWriter& out, int32_t group);
    void End(TextWriter& out, int32_t group);

private:
    bool OpenSpools();
    void AddPlacemark(TextWriter& out, const TrackPoint& point, int32_t recordIndex);
    void EndPiece();
    void NoteTime(const std::string& time);
    void WriteGroupFeature(TextWriter& out, int32_t group);

    GeoJsonOptions options_;
    OutputFiles* outputs_ = nullptr;
    int64_t features_ = 0;
    TextWriter coordinates_;  // the line's pieces: [[lon,lat,alt],...],...
    TextWriter times_;        // their times: ["...",null,...],...
    int64_t pieces_ = 0;      // pieces of two points or more written to the spools
    int64_t piecePoints_ = 0; // points of the current piece
    std::string heldCoordinate_;  // the first point of the current piece, until its second
    std::string heldTime_;
    double heldDistance_ = 0.0;  // the total distance at the current piece's first point
    std::string firstTime_;
    std::string lastTime_;
    double pieceEndDistance_ = 0.0;  // the total distance at the current piece's last point
    double distance_ = 0.0;          // along the group's ended pieces
    std::string line_;  // scratch for one record
};

// Appends `text` as a JSON string with its quotes: " and \ escaped, control
// characters as \u00XX, bytes that are no UTF-8 as U+FFFD.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace geoplait
