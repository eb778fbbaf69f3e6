// The derived values of the current record and the run-level geodesy on it:
// the local date and time by the run's time difference, the coordinate texts,
// distances along the track (through the run's memo, ctx.geo) and the datum
// shift. geo/ does the arithmetic on plain values; this file applies it to the
// record, the settings and the run state.
#pragma once

#include <string>

#include "engine/run_context.h"
#include "geo/coordinates.h"

namespace geoplait {

// The sign characters of a record's hemisphere letters, with the system
// defaults LatitudeNS and LongitudeWE (see HemisphereSign in geo/coordinates.h).
HemisphereSigns HemisphereSign(const RunContext& ctx, const std::string& ns, const std::string& ew);
// Of the current record's RmcNS and RmcEW.
HemisphereSigns HemisphereSign(const RunContext& ctx);

// The current record's readings (altitude, hemisphere signs), worked out the
// first time they are asked for in a record.
const RecordReadings& ReadPosition(RunContext& ctx);

// Distance in km from the current record (Position, GgaAltitude) to the
// given point, on signed coordinates: south and west count negative
// (HemisphereSign), so a track across the equator or the prime meridian
// measures its true length. The slope of the altitudes counts when the
// Altitude setting is on.
double TrackDistance(RunContext& ctx, const PointPosition& other);

// Local and LocalOffset of the current record from its Time. An unknown date
// is never moved: it stays as it is when the time crosses midnight.
void LocalDateTime(RunContext& ctx);

// Every derived value of the current record; once per record about to be
// written. The values that depend on the record alone are derived once a
// record: a record handed on (HandOnRecord) with them keeps them, and only
// those of the run state (distances, times) are derived for it again.
void ComputeDerived(RunContext& ctx);

}  // namespace geoplait
