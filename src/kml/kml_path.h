// The folder "Path": the track as LineString placemarks, cut into groups, and
// WriteTrackRecord, the per-record writer of NMEA and CSV input that both the
// point pass and the path pass use.
#pragma once

#include "engine/run_context.h"
#include "engine/text_file.h"

namespace geoplait {

// The input a track record comes from: the group-break texts and the filters
// differ by it.
enum class TrackSource { Nmea, Csv, PotGpx };

// Speed range (0-11) of the current record's Speed by the lower bounds of SpeedRange.
int SpeedGroupIndex(const RunContext& ctx);

// Folder start and the first placemark's start, for kind 'L' or 'S'.
void OpenPathFolder(TextWriter& out, RunContext& ctx, char kind);

// The current record as one coordinate line "±lon,±lat,alt".
void WriteCoordinateLine(TextWriter& out, RunContext& ctx);

// Ends the current line placemark and begins the next one, group SplitIndex
// (Sequence L). NMEA also restarts the group's elapsed time, total distance
// and group date.
void WriteLineGroupBreak(TextWriter& out, RunContext& ctx, TrackSource source);

// Ends the current speed placemark with the name and style of group SplitIndex,
// begins the next and moves SplitIndex to `newGroup` (Sequence S; NMEA or CSV).
void WriteSpeedGroupBreak(TextWriter& out, RunContext& ctx, TrackSource source, int newGroup);

// Ends the last placemark and the folder.
void ClosePathFolder(TextWriter& out, RunContext& ctx, char kind);

// Filters the current record, writes it by kind ('P' placemark, 'L' line
// groups, 'S' speed groups), counts it and clears it.
void WriteTrackRecord(TextWriter& out, RunContext& ctx, char kind, TrackSource source);

}  // namespace geoplait
