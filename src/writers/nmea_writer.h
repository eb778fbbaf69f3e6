// NMEA output: GGA and RMC sentences per record with fresh checksums.
#pragma once

#include "engine/run_context.h"
#include "base/text_file.h"

namespace geoplait {

// Writes the sentences of the current record ($GPGGA before $GPRMC, each when
// its Create_ flag is on), with the datum shift when Tokyo2WGS84 is on.
void WriteNmeaSentences(TextWriter& out, RunContext& ctx);
// The one sentence of the record's GGA (RMC) side, whatever the Create_ flags.
void WriteGgaSentence(TextWriter& out, RunContext& ctx);
void WriteRmcSentence(TextWriter& out, RunContext& ctx);

}  // namespace geoplait
