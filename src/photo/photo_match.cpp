// Matching photos with the track by time.
//
// The camera adjustment corrects the photos' times first (the camera clock
// to the true time), so that the placemark shows the time it is matched by.
// The input is read again from its first line with the reader of its family,
// which the run hands in, without any record filter. Each record's UTC time is
// moved to local time; a photo taken at or after one record and before the
// next lies on the earlier one. Stamps compare as texts: "20yymmddhhmmss" of
// a record, yyyymmddhhmmss of a photo.
//
// A photo further than Photo_MaxGapSec from the nearest record (before the
// first, after the last, or within a gap of the track) is not placed: it is
// named in a warning. The track's reach, each record's time widened by that
// much, is kept as merged spans (one per pause of the track), so that the
// warning can tell whether most photos would fit the track at a whole or
// half hour off: a camera clock on another zone.
//
// Photos waiting for a position are kept sorted by stamp, so that each record
// finds the photos between it and the record before with two binary searches;
// a photo matched once is skipped from then on. Memory grows with the number
// of photos, never with the track.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <numeric>
#include <string>

#include "base/text_file.h"
#include "engine/derived_values.h"
#include "engine/record_filter.h"
#include "engine/track_point.h"
#include "geo/coordinates.h"
#include "geo/number_format.h"
#include "geo/time_difference.h"
#include "geo/time_zone.h"
#include "photo/photo_folder.h"

namespace geoplait {

namespace {

// A camera clock set years off must not overflow the seconds.
constexpr double kAdjustLimit = 100.0 * 366 * 86400;

int64_t SecondsOfHhmmss(int64_t value) {
    const int64_t magnitude = value < 0 ? -value : value;
    const int64_t seconds = magnitude / 10000 * 3600 + magnitude / 100 % 100 * 60 + magnitude % 100;
    return value < 0 ? -seconds : seconds;
}

// Seconds since 2000 of a "20yymmddhhmmss" stamp; non-digits read as 0.
double StampSeconds(const std::string& stamp) {
    auto field = [&](size_t pos, size_t length) {
        return pos < stamp.size() ? IntegerOf(std::string_view(stamp).substr(pos, length)) : 0;
    };
    std::tm when{};
    when.tm_year = 2000 + field(2, 2) - 1900;
    when.tm_mon = field(4, 2) - 1;
    when.tm_mday = field(6, 2);
    when.tm_hour = field(8, 2);
    when.tm_min = field(10, 2);
    when.tm_sec = field(12, 2);
    return static_cast<double>(timegm(&when));
}

struct Matcher {
    explicit Matcher(std::vector<PhotoEntry>& p) : photos(p) {}
    std::vector<PhotoEntry>& photos;
    std::vector<uint32_t> order;      // photos without a position, by stamp
    std::vector<std::string> stamps;  // their stamps in that order
    std::vector<uint32_t> next;       // next unmatched place at or after i (size + 1 entries)
    int32_t counter = 0;
    bool interpolate = false;  // Photo_Interpolate
    double window = 0.0;       // Photo_InterpolateSec: records at most so far apart
    std::string stamp;  // the current record's
    struct Position {
        char ns = ' ';
        char ew = ' ';
        std::string latitude;   // packed d/m/s
        std::string longitude;
        std::string altitude;  // the record's, metres
        double seconds = 0.0;  // of the local stamp
        double latitudeValue = 0.0;   // signed degrees, south negative
        double longitudeValue = 0.0;  // signed degrees, west negative
    };
    Position current;
    Position previous;
    std::string previousStamp;
    Position first;
    double maxGap = 0.0;  // Photo_MaxGapSec; 0: no limit
    struct Miss {
        uint32_t place;  // in `order`
        double seconds;  // photo time minus the nearest record's
    };
    std::vector<Miss> misses;
    std::vector<std::pair<double, double>> reach;  // record times widened by maxGap
};

// A photo stamp yyyymmddhhmmss that holds a date: only those are held
// against the gap limit.
bool Dated(const std::string& stamp) { return stamp.size() == 14 && stamp.compare(0, 8, "00000000") != 0; }

// True (and the photo set aside as missed) when photo `i` lies further than
// the limit from both records around it (`before` and `after` may be the same).
bool TooFar(Matcher& m, uint32_t i, double before, double after) {
    if (m.maxGap <= 0.0 || !Dated(m.stamps[i])) return false;
    const double seconds = StampSeconds(m.stamps[i]);
    const double fromBefore = seconds - before;
    const double fromAfter = seconds - after;
    const double nearest = std::fabs(fromBefore) <= std::fabs(fromAfter) ? fromBefore : fromAfter;
    if (std::fabs(nearest) <= m.maxGap) return false;
    m.next[i] = i + 1;
    m.misses.push_back({i, nearest});
    return true;
}

void WidenReach(Matcher& m, double seconds) {
    if (m.maxGap <= 0.0) return;
    const bool touches = !m.reach.empty() && seconds - m.maxGap <= m.reach.back().second &&
                         seconds + m.maxGap >= m.reach.back().first;
    if (touches) {
        m.reach.back().first = std::min(m.reach.back().first, seconds - m.maxGap);
        m.reach.back().second = std::max(m.reach.back().second, seconds + m.maxGap);
        return;
    }
    m.reach.emplace_back(seconds - m.maxGap, seconds + m.maxGap);
}

uint32_t NextUnmatched(Matcher& m, uint32_t i) {
    uint32_t root = i;
    while (m.next[root] != root) root = m.next[root];
    while (m.next[i] != root) {
        const uint32_t up = m.next[i];
        m.next[i] = root;
        i = up;
    }
    return root;
}

void Place(Matcher& m, uint32_t i, const Matcher::Position& p) {
    PhotoEntry& photo = m.photos[m.order[i]];
    photo.LatitudeLetter = p.ns;
    photo.LongitudeLetter = p.ew;
    photo.Latitude = p.latitude;
    photo.Longitude = p.longitude;
    photo.Altitude = p.altitude;
    photo.FromTrack = true;
    m.next[i] = i + 1;
}

// Degrees of an NMEA ddmm.mmmm value, signed by its hemisphere letter (S and
// W negative).
double SignedDegrees(double v, char letter, char minus) {
    const double whole = std::floor(v / 100.0);
    const double value = whole + (v - whole * 100.0) / 60.0;
    return letter == minus ? -value : value;
}

// Signed degrees as a hemisphere letter and a packed d/m/s text with six
// decimals of a second; the letter follows the sign when the records had
// hemisphere letters, else it stays `keep`.
void PackedOfSigned(double value, char plus, char minus, char keep, char& letter, std::string& packed) {
    letter = keep == plus || keep == minus ? (value < 0.0 ? minus : plus) : keep;
    const double magnitude = std::fabs(value);
    const double whole = std::floor(magnitude);
    const double minutesAll = (magnitude - whole) * 60.0;
    const double minutes = std::floor(minutesAll);
    const double seconds = (minutesAll - minutes) * 60.0;
    char buffer[64];
    if (seconds >= 60.0 - 0.5e-6) {
        // Seconds that "%f" would show as 60 carry into the minute.
        std::snprintf(buffer, sizeof buffer, "%f", NextMinute(whole * 100.0 + minutes) * 100.0);
    } else {
        std::snprintf(buffer, sizeof buffer, "%f", whole * 10000.0 + minutes * 100.0 + seconds);
    }
    packed = buffer;
}

// A photo taken between two records close enough in time lies on the
// straight line between them at the fraction of the time between them that
// had passed: latitude, longitude (the short way round) and altitude.
void PlaceBetween(Matcher& m, uint32_t i, const Matcher::Position& a, const Matcher::Position& b) {
    const double span = b.seconds - a.seconds;
    const double f = std::clamp((StampSeconds(m.stamps[i]) - a.seconds) / span, 0.0, 1.0);
    if (f == 0.0) {  // taken at the record itself
        Place(m, i, a);
        return;
    }
    const double latA = a.latitudeValue;
    const double latB = b.latitudeValue;
    const double lonA = a.longitudeValue;
    double lonB = b.longitudeValue;
    if (lonB - lonA > 180.0) lonB -= 360.0;
    if (lonA - lonB > 180.0) lonB += 360.0;
    double lon = lonA + (lonB - lonA) * f;
    if (lon > 180.0) lon -= 360.0;
    if (lon < -180.0) lon += 360.0;
    Matcher::Position p;
    PackedOfSigned(latA + (latB - latA) * f, 'N', 'S', a.ns, p.ns, p.latitude);
    PackedOfSigned(lon, 'E', 'W', a.ew, p.ew, p.longitude);
    char buffer[64];
    const double altA = NumberOf(a.altitude);
    std::snprintf(buffer, sizeof buffer, "%f", altA + (NumberOf(b.altitude) - altA) * f);
    p.altitude = buffer;
    Place(m, i, p);
}

// "20" and the date characters 5, 6, 3, 4, 1, 2 of a ddmmyy date, then the
// time; a date cut short ends the stamp.
void MakeStamp(std::string& stamp, const std::string& date, const std::string& time) {
    stamp.assign("20");
    for (size_t i : {4, 5, 2, 3, 0, 1}) {
        const char c = SlotChar(date, i);
        if (c == '\0') return;
        stamp.push_back(c);
    }
    stamp.append(time);
}

// "20yymmddhhmmss" with a month and a day: a record with its date and time
// (an undated one has zeros or blanks where its date goes).
bool IsFullStamp(const std::string& stamp) {
    if (stamp.size() != 14 || !std::all_of(stamp.begin(), stamp.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    const int month = (stamp[4] - '0') * 10 + (stamp[5] - '0');
    const int day = (stamp[6] - '0') * 10 + (stamp[7] - '0');
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

char LetterOf(const std::string& text) { return text.empty() ? ' ' : text[0]; }

// One track record: its local time, then the photos between the record
// before and this one.
void MatchRecord(Matcher& m, const LocalClock& clock, TrackPoint& point) {
    if (!point.Position.known) {
        ClearTrackPoint(point);
        return;
    }
    int64_t seconds = SecondsOfHhmmss(IntegerOf(point.RmcTime)) +
                      SecondsOfHhmmss(OffsetAtUtc(clock, point.RmcDate, point.RmcTime));
    const int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    seconds -= days * 86400;
    point.LocalDate = days == 0 ? point.RmcDate : ShiftDate(point.RmcDate, static_cast<int>(days));
    AssignSixDigits(point.LocalTime, seconds / 3600 * 10000 + seconds / 60 % 60 * 100 + seconds % 60);
    MakeStamp(m.stamp, point.LocalDate, point.LocalTime);

    Matcher::Position& current = m.current;
    current.ns = LetterOf(point.RmcNS);
    current.ew = LetterOf(point.RmcEW);
    DmsText(point.Position, point.Position.latitude, current.latitude);
    DmsText(point.Position, point.Position.longitude, current.longitude);
    current.altitude = point.GgaAltitude;
    current.seconds = StampSeconds(m.stamp);
    WidenReach(m, current.seconds);
    if (m.interpolate) {
        current.latitudeValue = SignedDegrees(point.Position.latitude.nmea, current.ns, 'S');
        current.longitudeValue = SignedDegrees(point.Position.longitude.nmea, current.ew, 'W');
    }

    if (m.counter == 0) {
        m.first = current;
    } else if (m.previousStamp < m.stamp) {
        const auto begin = std::lower_bound(m.stamps.begin(), m.stamps.end(), m.previousStamp);
        const auto end = std::lower_bound(begin, m.stamps.end(), m.stamp);
        const auto last = static_cast<uint32_t>(end - m.stamps.begin());
        const double span = current.seconds - m.previous.seconds;
        // Only between two dated records: an undated one has no time to share.
        const bool between = m.interpolate && span > 0.0 && span <= m.window && IsFullStamp(m.previousStamp) &&
                             IsFullStamp(m.stamp);
        for (uint32_t i = NextUnmatched(m, static_cast<uint32_t>(begin - m.stamps.begin())); i < last;
             i = NextUnmatched(m, i)) {
            if (TooFar(m, i, m.previous.seconds, current.seconds)) continue;
            if (between) {
                PlaceBetween(m, i, m.previous, current);
            } else {
                Place(m, i, m.previous);
            }
        }
    }
    std::swap(m.previous, current);
    m.previousStamp = m.stamp;
    ++m.counter;
    ClearTrackPoint(point);
}

// "7:00" of a number of seconds, whole minutes, without its sign.
std::string HoursText(double seconds) {
    const auto minutes = static_cast<long long>(std::fabs(seconds) / 60.0);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", minutes / 60, minutes % 60);
    return text;
}

// "UTC+2", "UTC-3:30", "UTC" of an offset in seconds.
std::string UtcText(int64_t seconds) {
    if (seconds == 0) return "UTC";
    const int64_t magnitude = seconds < 0 ? -seconds : seconds;
    char text[32];
    if (magnitude % 3600 == 0) {
        std::snprintf(text, sizeof text, "UTC%c%lld", seconds < 0 ? '-' : '+',
                      static_cast<long long>(magnitude / 3600));
    } else {
        std::snprintf(text, sizeof text, "UTC%c%lld:%02lld", seconds < 0 ? '-' : '+',
                      static_cast<long long>(magnitude / 3600), static_cast<long long>(magnitude / 60 % 60));
    }
    return text;
}

bool Reached(const std::vector<std::pair<double, double>>& reach, double seconds) {
    auto at = std::upper_bound(reach.begin(), reach.end(), std::make_pair(seconds, 1e300));
    return at != reach.begin() && std::prev(at)->second >= seconds;
}

// The setting that would put the photos' clock at `cameraSeconds` from UTC.
std::string FixText(const RunValues& run, int64_t cameraSeconds, double shift) {
    for (const TimeDifferenceEntry& entry : kTimeDifferences) {
        if (SecondsOfHhmmss(entry.value) == cameraSeconds) {
            return std::string("TimeDifference=") + entry.text + (run.Zone != nullptr ? ", TimeZone empty" : "");
        }
    }
    char text[64];
    std::snprintf(text, sizeof text, "Photo_TimeAdjustSec=%lld", static_cast<long long>(-shift));
    return text;
}

// One warning naming the photos left unplaced, and one naming the whole or
// half hour most photos are off by, when there is one.
void ReportMisses(RunValues& run, Matcher& m) {
    if (m.misses.empty()) return;
    constexpr size_t kShown = 20;
    NoticeText list;
    for (size_t n = 0; n < m.misses.size() && n < kShown; ++n) {
        const Matcher::Miss& miss = m.misses[n];
        PhotoEntry& photo = m.photos[m.order[miss.place]];
        NoticeText line = MakeNotice(Notice::PhotoNotMatched, {HoursText(miss.seconds), photo.FileName});
        if (n == 0) {
            list = std::move(line);
        } else {
            list.text += "\n" + line.text;
        }
    }
    if (m.misses.size() > kShown) {
        list.text +=
            "\n" + MakeNotice(Notice::PhotosMoreLost, {static_cast<int32_t>(m.misses.size() - kShown)}).text;
    }
    for (const Matcher::Miss& miss : m.misses) m.photos[m.order[miss.place]].DateSource += "(Not Matched)";
    AddRunWarning(run, std::move(list));

    // Would most dated photos fit the track at a whole or half hour off?
    std::sort(m.reach.begin(), m.reach.end());
    std::vector<std::pair<double, double>> merged;
    for (const auto& span : m.reach) {
        if (!merged.empty() && span.first <= merged.back().second) {
            merged.back().second = std::max(merged.back().second, span.second);
        } else {
            merged.push_back(span);
        }
    }
    std::vector<double> dated;
    for (const std::string& stamp : m.stamps) {
        if (Dated(stamp)) dated.push_back(StampSeconds(stamp));
    }
    const auto fitting = [&](double shift) {
        return static_cast<int32_t>(
            std::count_if(dated.begin(), dated.end(), [&](double s) { return Reached(merged, s - shift); }));
    };
    // Of the shifts that fit as many photos, the one nearest the middle miss.
    std::vector<double> missed;
    for (const Matcher::Miss& miss : m.misses) missed.push_back(miss.seconds);
    std::nth_element(missed.begin(), missed.begin() + static_cast<std::ptrdiff_t>(missed.size() / 2), missed.end());
    const double middle = missed[missed.size() / 2];
    constexpr int kHalfHours = 28;  // up to 14 hours either way
    const int32_t unshifted = fitting(0.0);
    int32_t best = 0;
    double bestShift = 0.0;
    for (int k = -kHalfHours; k <= kHalfHours; ++k) {
        const double shift = k * 1800.0;
        if (k == 0) continue;
        const int32_t count = fitting(shift);
        if (count > best || (count == best && std::fabs(shift - middle) < std::fabs(bestShift - middle))) {
            best = count;
            bestShift = shift;
        }
    }
    const auto total = static_cast<int32_t>(dated.size());
    if (best <= unshifted || best * 2 <= total) return;
    // The photos' clock: the run's offset at the first missed photo, and the shift.
    const std::string& first = m.stamps[m.misses.front().place];
    const int64_t runOffset = SecondsOfHhmmss(
        OffsetAtLocal(ClockOf(run), CalendarSeconds(first.substr(0, 8), std::string_view(first).substr(8))));
    const int64_t camera = runOffset + static_cast<int64_t>(bestShift);
    AddRunWarning(run, MakeNotice(Notice::PhotosOffByOffset, {best, total, HoursText(bestShift), UtcText(camera),
                                                               FixText(run, camera, bestShift)}));
}

}  // namespace

double CameraAdjust(const ConvertSettings& s) {
    double adjust = 0.0;
    if (s.Photo_TimeAdjust != 0) adjust = NumberOf(s.Photo_TimeAdjustSec);
    if (s.Photo_TimeAdjustCAL != 0) {
        adjust = StampSeconds(RangeStamp(s.Photo_CalNowDate, s.Photo_CalNowTime)) -
                 StampSeconds(RangeStamp(s.Photo_CalCameraDate, s.Photo_CalCameraTime));
    }
    return std::clamp(std::trunc(adjust), -kAdjustLimit, kAdjustLimit);
}

void AdjustPhotoTimes(const ConvertSettings& s, PhotoState& state) {
    state.CameraAdjust = CameraAdjust(s);
    const auto adjust = static_cast<int64_t>(state.CameraAdjust);
    if (adjust == 0) return;
    for (PhotoEntry& photo : state.PhotoTable) {
        if (photo.SatelliteClock) continue;
        const std::string& d = photo.Date;
        const std::string& t = photo.Time;
        if (d.size() != 8 || t.size() != 6 || d == "00000000") continue;
        std::tm when{};
        when.tm_year = IntegerOf(std::string_view(d).substr(0, 4)) - 1900;
        when.tm_mon = IntegerOf(std::string_view(d).substr(4, 2)) - 1;
        when.tm_mday = IntegerOf(std::string_view(d).substr(6, 2));
        when.tm_hour = IntegerOf(std::string_view(t).substr(0, 2));
        when.tm_min = IntegerOf(std::string_view(t).substr(2, 2));
        when.tm_sec = IntegerOf(std::string_view(t).substr(4, 2));
        const std::time_t moved = timegm(&when) + static_cast<std::time_t>(adjust);
        std::tm out{};
        if (gmtime_r(&moved, &out) == nullptr || out.tm_year + 1900 < 1000 || out.tm_year + 1900 > 9999) continue;
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", out.tm_year + 1900, out.tm_mon + 1, out.tm_mday);
        photo.Date = buffer;
        std::snprintf(buffer, sizeof buffer, "%02d%02d%02d", out.tm_hour, out.tm_min, out.tm_sec);
        photo.Time = buffer;
    }
}

void MatchPhotos(const PhotoRun& r, PhotoState& state, const TrackReader& readTrack) {
    const ConvertSettings& s = r.settings;
    std::vector<PhotoEntry>& photos = state.PhotoTable;
    Matcher m(photos);
    m.interpolate = s.Photo_Interpolate != 0;
    m.window = std::max(0.0, NumberOf(s.Photo_InterpolateSec));
    m.maxGap = std::max(0.0, NumberOf(s.Photo_MaxGapSec));
    for (uint32_t i = 0; i < photos.size(); ++i) {
        if (!photos[i].HasPosition()) m.order.push_back(i);
    }
    if (m.order.empty() || !readTrack) return;
    auto stampOf = [&](uint32_t i) { return photos[i].Date + photos[i].Time; };
    std::stable_sort(m.order.begin(), m.order.end(),
                     [&](uint32_t a, uint32_t b) { return stampOf(a) < stampOf(b); });
    for (uint32_t i : m.order) m.stamps.push_back(stampOf(i));
    m.next.resize(m.order.size() + 1);
    std::iota(m.next.begin(), m.next.end(), 0U);

    const LocalClock clock = ClockOf(r.run);
    if (!readTrack([&m, &clock](TrackPoint& point) { MatchRecord(m, clock, point); })) {
        r.io.ui.Show(WithCause(MakeNotice(Notice::InputNotFound), s.InputFile, ReadErrorOf(s.InputFile)));
        return;
    }
    if (m.counter == 0) return;  // no track record: the photos keep no position

    // After the last record: the photo stands there when taken at or after
    // it ("(Last)" when after), else at the first record ("(Fast)"), with
    // that record's own hemisphere letters.
    const uint32_t count = static_cast<uint32_t>(m.order.size());
    for (uint32_t i = NextUnmatched(m, 0); i < count; i = NextUnmatched(m, i)) {
        PhotoEntry& photo = photos[m.order[i]];
        const bool after = m.previousStamp < m.stamps[i];
        if (TooFar(m, i, after ? m.previous.seconds : m.first.seconds, after ? m.previous.seconds : m.first.seconds)) {
            continue;
        }
        if (m.stamps[i] == m.previousStamp) {
            Place(m, i, m.previous);
        } else if (m.previousStamp < m.stamps[i]) {
            Place(m, i, m.previous);
            photo.DateSource += "(Last)";
        } else {
            Place(m, i, m.first);
            photo.DateSource += "(Fast)";
        }
    }
    ReportMisses(r.run, m);
}

}  // namespace geoplait
