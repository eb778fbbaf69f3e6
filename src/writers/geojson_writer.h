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
//   for each accepted record: geojson.Add(out, ctx, lineCut)
//   geojson.End(out, ctx)
//
// With `placemarks` every record is a Point feature with the values of its
// label (number, elapsed time, distance, speed) as properties. Otherwise the
// track is one feature: a LineString, or a MultiLineString where a gap in
// distance or time (`lineCut`) cuts it, with the name, colour, first and last
// time, distance and the per-point times (coordTimes, as togeojson and QGIS
// read them) as properties. The coordinates and times go to two spools beside
// the output while the records come, and follow the feature's head at the
// end; a piece of fewer than two points is no line and is left out.
// Positions are longitude, latitude and (when known) altitude, WGS 84, as
// numbers that are never NaN; texts are valid UTF-8.
class GeoJsonWriter {
public:
    bool Begin(TextWriter& out, RunContext& ctx, bool placemarks);
    void Add(TextWriter& out, RunContext& ctx, bool lineCut);
    void End(TextWriter& out, RunContext& ctx);

private:
    void AddPlacemark(TextWriter& out, RunContext& ctx);
    void EndPiece();
    void NoteTime(const std::string& time);

    bool placemarks_ = false;
    int64_t features_ = 0;
    TextWriter coordinates_;  // the line's pieces: [[lon,lat,alt],...],...
    TextWriter times_;        // their times: ["...",null,...],...
    int64_t pieces_ = 0;      // pieces of two points or more written to the spools
    int64_t piecePoints_ = 0; // points of the current piece
    std::string heldCoordinate_;  // the first point of the current piece, until its second
    std::string heldTime_;
    std::string firstTime_;
    std::string lastTime_;
    double distance_ = 0.0;
    std::string line_;  // scratch for one record
};

// Appends `text` as a JSON string with its quotes: " and \ escaped, control
// characters as \u00XX, bytes that are no UTF-8 as U+FFFD.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace geoplait
