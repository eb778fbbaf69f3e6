// The runs of the modes that write one record at a time, every output but
// KML: one loop per input family reads the records and hands each to the
// writer of the mode.
#pragma once

#include "engine/run_context.h"
#include "settings/convert_modes.h"

namespace geoplait {

// POT, GPX, NMEA, CSV Full or CSV Custom output from any input family. The
// family decides what a record goes through on its way to the writer: the
// record emitter with its filters and file split (NMEA and CSV Full input),
// the record range alone (CSV Custom, POT, GPX), or nothing (KML); and a few
// details of the output (the GPX creator's spelling, how an NMEA output is
// opened).
void RunRecords(RunContext& ctx, const ConvertMode& mode);

// "nmea(log) -> nmea(log)": epochs copied as they stand, split by date and time.
void RunNmeaPassThrough(RunContext& ctx, const ConvertMode& mode);

// "nmea(log) -> Summary(csv)" and "nmea(log) -> Summary(html)".
void RunSummary(RunContext& ctx, const ConvertMode& mode);

// "... -> geojson" from any input family: the records through the family's
// filters, as the GeoJSON writer's track line (placemarks from KML points).
void RunGeoJson(RunContext& ctx, const ConvertMode& mode);

}  // namespace geoplait
