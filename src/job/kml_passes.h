// The KML conversions: head, point pass, path pass, photo steps, closing
// lines, each pass reading the input again and appending to the output.
#pragma once

#include <string_view>

#include "engine/run_context.h"
#include "kml/kml_document.h"
#include "kml/kml_format.h"
#include "kml/kml_path.h"
#include "settings/convert_modes.h"

namespace geoplait {

// The parts of `ctx` that the KML writers of its section use.
inline KmlSection SectionOf(RunContext& ctx) { return {ctx.Current(), ctx.point, ctx.store, ctx.run}; }

// The current record of NMEA or CSV input (source Nmea or Csv): filtered as
// its input's KML passes filter, then written as `kind` asks (WriteTrackRecord)
// or, when rejected, only counted; cleared or, with `handOn`, handed on there.
void TakeTrackRecord(KmlBuffer& out, RunContext& ctx, KmlRecordWriter& writer, PathKind kind, TrackSource source,
                     TrackPoint* handOn = nullptr);

// The current record of POT or GPX input for the path: outside the record
// range (or without a position) only counted; otherwise its gap from the
// record before measured, its values derived, and written (WriteGapRecord).
void TakeGapRecord(KmlBuffer& out, RunContext& ctx, KmlRecordWriter& writer, int32_t& written);

// The placemarks' step for a record of POT or GPX input, which the thinning
// filters do not touch: outside the record range (IncludeData) it is only
// counted; otherwise its values are derived, its placemark is written when
// selected and it counts as written. Clears the record, or with `handOn`
// hands it on there (HandOnRecord) for another section to take.
void TakeRangedPlacemark(KmlBuffer& out, RunContext& ctx, KmlRecordWriter& writer, std::string_view nameText,
                         TrackPoint* handOn = nullptr);

// Runs every pass of a KML conversion for the input family of `mode` (for
// "Photo(Only) -> kml" only the photo steps). The counts left in ctx.store
// are those of the last pass that counted.
void RunKmlPasses(RunContext& ctx, const ConvertMode& mode);

}  // namespace geoplait
