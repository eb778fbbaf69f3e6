// NMEA output: GGA and RMC sentences per record with fresh checksums, and the
// NMEA-to-NMEA pass-through run with its file split by date and time.
#pragma once

#include "engine/run_context.h"
#include "engine/text_file.h"

namespace geoplait {

// Writes the sentences of the current record ($GPGGA before $GPRMC, each when
// its Create_ flag is on), with the datum shift when Tokyo2WGS84 is on.
void WriteNmeaSentences(TextWriter& out, RunContext& ctx);

// "nmea(log) -> nmea(log)". Returns 0, or -1 when a file could not be opened
// or written in full (disk full), or the run stopped at an overlong epoch.
int RunNmeaToNmea(RunContext& ctx);

}  // namespace geoplait
