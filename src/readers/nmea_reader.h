// NMEA 0183 logs: one record per epoch, the group of sentences that starts at
// every line with the log's first sentence identifier.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "engine/run_context.h"
#include "engine/text_file.h"

namespace geoplait {

using EpochEmitter = std::function<void(RunContext&)>;

// Reads the log from its current position and calls `emit` once per epoch with
// ctx.point filled, and once more after the last line (also for an empty log).
// The emitter writes or rejects the record and clears it; it may close
// `input` to end the reading, but neither reads from it nor rewinds it.
void ReadNmeaEpochs(TextReader& input, RunContext& ctx, const EpochEmitter& emit);

// Parse the line when its identifier is exactly "$GPGGA" / "$GPRMC".
void ParseGga(std::string_view line, TrackPoint& point);
void ParseRmc(std::string_view line, TrackPoint& point);

// Characters before the first ",", CR, LF or the end.
std::string_view SentenceIdOf(std::string_view line);

}  // namespace geoplait
