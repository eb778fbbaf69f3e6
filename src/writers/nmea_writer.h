// NMEA output: GGA and RMC sentences per record with fresh checksums.
#pragma once

#include "base/text_file.h"
#include "writers/line_writer.h"

namespace geoplait {

// Writes the sentences of the record ($GPGGA before $GPRMC, each when its
// option is on), with the datum shift when that is on.
void WriteNmeaSentences(TextWriter& out, const LineWriterOptions& options, const TrackPoint& point,
                        RecordNumbers numbers, LineScratch& scratch);
// The one sentence of the record's GGA (RMC) side, shifted from the Tokyo
// datum when `shiftToWgs84`.
void WriteGgaSentence(TextWriter& out, const TrackPoint& point, bool shiftToWgs84, LineScratch& scratch);
void WriteRmcSentence(TextWriter& out, const TrackPoint& point, bool shiftToWgs84, LineScratch& scratch);

}  // namespace geoplait
