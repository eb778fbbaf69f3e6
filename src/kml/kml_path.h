// The folder "Path": the track as LineString placemarks, cut into groups, and
// WriteTrackRecord, the per-record writer of NMEA and CSV input that both the
// point pass and the path pass use.
#pragma once

#include <cstdint>
#include <string>

#include "engine/track_point.h"
#include "kml/kml_document.h"
#include "kml/kml_format.h"

namespace geoplait {

// The input a track record comes from: the group-break texts and the filters
// differ by it.
enum class TrackSource { Nmea, Csv, PotGpx };

// What a pass makes of the track records: position placemarks (the point
// pass), or the path as line placemarks cut into groups by gaps, or by speed
// ranges too.
enum class PathKind { Placemarks, LineGroups, SpeedGroups };

// Speed range (0-11) of the record's Speed by the lower bounds of SpeedRange.
int SpeedGroupIndex(const ConvertSettings& s, const TrackPoint& point);

// Folder start and the first placemark's start, for LineGroups or SpeedGroups.
void OpenPathFolder(KmlBuffer& out, const KmlSection& section, PathKind kind);

// The record as one coordinate line "±lon,±lat,alt": the degrees made afresh
// from the raw NMEA texts, then offset, datum shift and altitude offset. The
// record stays as it is; the texts are made in the writer's scratch space.
void MakeCoordinateLine(const TrackPoint& point, KmlRecordWriter& writer, std::string& line);
void WriteCoordinateLine(KmlBuffer& out, const TrackPoint& point, KmlRecordWriter& writer);

// Ends the current line placemark and begins the next one, group SplitIndex
// (Sequence L), its style as `options` hold it. NMEA also restarts the
// group's elapsed time, total distance and group date.
void WriteLineGroupBreak(KmlBuffer& out, KmlSection& section, const KmlRecordOptions& options, TrackSource source);

// The part of a line group break from " <Style>" to "  <coordinates>" for
// group slot g (0-11), with the settings texts escaped; `nmea` chooses the
// indentation of the vertical lines' colour.
std::string LineGroupStart(const ConvertSettings& s, size_t g, bool nmea);

// Ends the current speed placemark with the name and style of group SplitIndex,
// begins the next and moves SplitIndex to `newGroup` (Sequence S; NMEA or CSV).
void WriteSpeedGroupBreak(KmlBuffer& out, KmlSection& section, TrackSource source, int newGroup);

// Ends the last placemark and the folder.
void ClosePathFolder(KmlBuffer& out, const KmlSection& section, PathKind kind);

// Writes the record of NMEA or CSV input (source Nmea or Csv), which the
// filters of its input accepted, as `kind` asks, counts it and clears it.
// POT and GPX input have a gap pass of their own. With `handOn`, the record
// goes there (HandOnRecord), the values derived from it with it, rather
// than being cleared: another section takes it next.
void WriteTrackRecord(KmlBuffer& out, KmlSection& section, KmlRecordWriter& writer, PathKind kind,
                      TrackSource source, TrackPoint* handOn = nullptr);

// One record of the path over POT or GPX input (line groups only), within
// the record range, its values derived. `written` counts the records this
// pass wrote: the first never ends a placemark. A gap in distance (km) or
// time starts the next group; with TimeStampPath every later record ends a
// placemark of its own and begins the next. Counts and clears the record.
void WriteGapRecord(KmlBuffer& out, KmlSection& section, KmlRecordWriter& writer, int32_t& written);

}  // namespace geoplait
