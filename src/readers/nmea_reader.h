// NMEA 0183 logs: one record per epoch, the group of sentences that starts at
// every line with the log's first sentence identifier.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "engine/run_context.h"
#include "base/text_file.h"

namespace geoplait {

using EpochEmitter = std::function<void(RunContext&)>;

// Reads the log from its current position and calls `emit` once per epoch with
// ctx.point filled, and once more after the last line (also for an empty log).
// The emitter writes or rejects the record and clears it; it neither reads
// from `input` nor rewinds it. Reading ends early when the run must stop.
void ReadNmeaEpochs(TextReader& input, RunContext& ctx, const EpochEmitter& emit);

// Parse the line when it is a GGA / RMC sentence of a known talker
// ("$GPGGA", "$GNGGA", ...).
void ParseGga(std::string_view line, TrackPoint& point);
void ParseRmc(std::string_view line, TrackPoint& point);

// The talkers whose sentences are read: GP (GPS) and those of the receivers
// that combine systems: GN (several), GL (GLONASS), GA (Galileo), GB and BD
// (BeiDou), GQ (QZSS).
bool IsKnownTalker(std::string_view talker);
// "$ttGGA" / "$ttRMC" of a known talker tt.
bool IsGgaId(std::string_view id);
bool IsRmcId(std::string_view id);
// Whether a line with identifier `id` starts an epoch of a log that starts
// with `firstId`: the same identifier, or the same GGA/RMC of another talker.
bool StartsEpoch(std::string_view id, std::string_view firstId);

// Characters before the first ",", CR, LF or the end.
std::string_view SentenceIdOf(std::string_view line);

}  // namespace geoplait
