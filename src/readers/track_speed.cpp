#include "readers/track_speed.h"

#include <cmath>

#include "geo/coordinates.h"
#include "geo/number_format.h"
#include "geo/time_difference.h"

namespace geoplait {

namespace {

constexpr double kKmPerNauticalMile = 1.852;

// Signed degrees of an NMEA ddmm.mmmm value, negative in the south or west.
double SignedDegrees(double value, bool southOrWest) {
    const double whole = std::floor(value / 100.0);
    const double degrees = whole + (value - whole * 100.0) / 60.0;
    return southOrWest ? -degrees : degrees;
}

bool SouthOrWest(const std::string& letter) { return letter == "S" || letter == "W"; }

// Whether the degrees of a value may be 0: of 0 itself, of a negative value
// (-40 is -1 degree and 60 minutes), of one too small for its 60th to hold,
// or of no number. Any other value has whole degrees of 1 and more, or its
// own 60th: the degrees need not be worked out to tell.
bool MayBeNoDegrees(double value) { return !(value >= 0x1p-1000); }

bool NoDegrees(double value, bool southOrWest) {
    return MayBeNoDegrees(value) && SignedDegrees(value, southOrWest) == 0.0;
}

}  // namespace

void TrackSpeed::Fill(TrackPoint& p, std::string_view fallback) {
    const bool positioned = p.Position.known;
    const bool timed = p.Time.HasTimeOfDay();
    if (!positioned || !timed) {
        // The empty record after the last line of a log stays empty.
        const bool read = positioned || !p.GgaId.empty() || !p.RmcId.empty();
        if (read && p.RmcSpeed.empty()) p.RmcSpeed.assign(fallback);
        return;
    }
    // The degrees are worked out only for a speed: most records have one.
    const double longitude = p.Position.longitude.nmea;
    const double latitude = p.Position.latitude.nmea;
    const bool west = SouthOrWest(p.RmcEW);
    const bool south = SouthOrWest(p.RmcNS);
    // A zero coordinate is no position to measure from, as for every
    // distance of the track.
    if (NoDegrees(longitude, west) || NoDegrees(latitude, south)) {
        if (p.RmcSpeed.empty()) p.RmcSpeed.assign(fallback);
        return;
    }
    const bool dated = p.Time.date == DateKind::Known;
    const int64_t day = dated ? p.Time.day : 0;
    const double seconds = SecondsWithFraction(p.Time);
    if (p.RmcSpeed.empty()) {
        const double elapsed =
            (known_ && dated && dated_ ? static_cast<double>(day - day_) * 86400.0 : 0.0) + seconds - seconds_;
        if (known_ && elapsed > 0.0) {
            const double km = HubenyKm(SignedDegrees(longitude_, west_), SignedDegrees(latitude_, south_),
                                       SignedDegrees(longitude, west), SignedDegrees(latitude, south));
            AssignFixed(p.RmcSpeed, km / kKmPerNauticalMile / (elapsed / 3600.0), 3, 1);
        } else {
            p.RmcSpeed.assign(fallback);
        }
    }
    known_ = true;
    longitude_ = longitude;
    latitude_ = latitude;
    west_ = west;
    south_ = south;
    dated_ = dated;
    day_ = day;
    seconds_ = seconds;
}

}  // namespace geoplait
