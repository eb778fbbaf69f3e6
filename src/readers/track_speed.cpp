#include "readers/track_speed.h"

#include <cmath>

#include "geo/coordinates.h"
#include "geo/number_format.h"
#include "geo/time_difference.h"

namespace geoplait {

namespace {

constexpr double kKmPerNauticalMile = 1.852;

// Signed degrees of an NMEA ddmm.mmmm value and its hemisphere letter.
double SignedDegrees(double value, const std::string& letter) {
    const double whole = std::floor(value / 100.0);
    const double degrees = whole + (value - whole * 100.0) / 60.0;
    return letter == "S" || letter == "W" ? -degrees : degrees;
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
    const double longitude = SignedDegrees(p.Position.longitude.nmea, p.RmcEW);
    const double latitude = SignedDegrees(p.Position.latitude.nmea, p.RmcNS);
    // A zero coordinate is no position to measure from, as for every
    // distance of the track.
    if (longitude == 0.0 || latitude == 0.0) {
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
            const double km = HubenyKm(longitude_, latitude_, longitude, latitude);
            AssignFixed(p.RmcSpeed, km / kKmPerNauticalMile / (elapsed / 3600.0), 3, 1);
        } else {
            p.RmcSpeed.assign(fallback);
        }
    }
    known_ = true;
    longitude_ = longitude;
    latitude_ = latitude;
    dated_ = dated;
    day_ = day;
    seconds_ = seconds;
}

}  // namespace geoplait
