// GeoJSON output (RFC 7946): a FeatureCollection for web maps and GIS tools.
#pragma once

#include <cstdint>
#include <string>

#include "base/text_file.h"
#include "engine/run_context.h"

namespace geoplait {

// Writes the records a run lets through, one at a time, in constant memory.
//
//   GeoJsonWriter geojson;
//   if (!geojson.Begin(out, ctx, placemarks)) ...the spools could not be made
//   for each accepted record:
//       at a group break: geojson.EndGroup(out, ctx), then the next SplitIndex
//       geojson.Add(out, ctx, lineCut)
//   geojson.End(out, ctx)
//
// With `placemarks` every record is a Point feature with the values of its
// label (number, elapsed time, distance, speed) as properties. Otherwise each
// line group (store.SplitIndex, as the KML path numbers and colours them) is
// one feature: a LineString, or a MultiLineString where a cut (`lineCut`)
// within the group splits it, with the group's name, colour, first and last
// time, distance and the per-point times (coordTimes, as togeojson and QGIS
// read them) as properties. The coordinates and times of the current group go
// to two spools beside the output while the records come, and follow the
// feature's head when the group ends; a piece of fewer than two points is no
// line and is left out, a group without a line is no feature.
// Positions are longitude, latitude and (when known) altitude, WGS 84, as
// numbers that are never NaN; texts are valid UTF-8.
class GeoJsonWriter {
public:
    bool Begin(TextWriter& out, RunContext& ctx, bool placemarks);
    void Add(TextWriter& out, RunContext& ctx, bool lineCut);
    // Writes the current group's feature (group store.SplitIndex) and starts
    // the next group afresh; false when its spools could not be made.
    bool EndGroup(TextWriter& out, RunContext& ctx);
    void End(TextWriter& out, RunContext& ctx);

private:
    void AddPlacemark(TextWriter& out, RunContext& ctx);
    void EndPiece();
    void NoteTime(const std::string& time);
    void WriteGroupFeature(TextWriter& out, RunContext& ctx);

    bool placemarks_ = false;
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
