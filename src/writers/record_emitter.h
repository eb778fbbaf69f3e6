// The record emitter of the non-KML outputs: filters the current record,
// splits the output file by distance, time or date, writes the record in the
// output kind and counts it.
#pragma once

#include "engine/run_context.h"
#include "engine/text_file.h"

namespace geoplait {

enum class InputOrigin { Nmea, CsvFull };

// kind: 'P' POT, 'G' GPX route point, 'N' NMEA (CSV Full input only),
// 'F' CSV Full, 'C' CSV Custom. Returns 0, or -1 when a split file cannot be
// created (the run then ends with its message).
int EmitRecord(TextWriter& out, RunContext& ctx, char kind, InputOrigin origin);

}  // namespace geoplait
