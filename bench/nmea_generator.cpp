// Synthetic NMEA log: a vehicle driving around at 1 Hz with a simple motion
// model, pseudo-random but fixed-seed so that every run writes the same bytes.
//
// Timeline (seconds of receiver time from the start, 23:20:00 UTC on
// 30 June 2023, so that midnight and a month end pass within the first
// megabyte): every 900 s the vehicle stands still for the last 120 s, and
// 1500 s into every 3 hours the receiver loses the sky for 7 minutes (no
// sentences, the position jumps on).
#include "nmea_generator.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

namespace geoplait::bench {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMetresPerDegree = 111320.0;
constexpr double kKnotsPerMetreSecond = 1.943844;
constexpr std::time_t kStartTime = 1688167200;  // 2023-06-30 23:20:00 UTC
constexpr int kCycleSeconds = 900;
constexpr int kStandSeconds = 120;
constexpr int kGapPeriod = 3 * 3600;
constexpr int kGapAt = 1500;
constexpr int kGapSeconds = 7 * 60;
constexpr int kSatellitesInView = 12;

// splitmix64: small, fast and the same on every platform.
struct Random {
    uint64_t state;
    uint64_t Next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [-1, 1).
    double Signed() { return static_cast<double>(Next() >> 11) * 0x1.0p-52 - 1.0; }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
};

struct Satellite {
    int prn;
    int elevation;
    int azimuth;
    int snr;
};

struct Vehicle {
    double latitude = 35.658581;  // degrees, north positive
    double longitude = 139.745433;
    double altitude = 42.0;  // metres
    double heading = 45.0;   // degrees
    double speed = 0.0;      // metres per second
    int satellitesUsed = 9;
    double hdop = 0.9;
    Satellite sky[kSatellitesInView]{};
};

// Appends sentence body "$...": adds "*hh" and CR LF.
class Output {
public:
    explicit Output(std::FILE* f) : file_(f) { buf_.reserve(kFlushAt + 1024); }

    void Sentence(const char* body, int length) {
        if (length <= 0) return;
        unsigned sum = 0;
        for (int i = 1; i < length; ++i) sum ^= static_cast<unsigned char>(body[i]);
        buf_.insert(buf_.end(), body, body + length);
        char tail[8];
        int n = std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
        buf_.insert(buf_.end(), tail, tail + n);
        written_ += static_cast<uint64_t>(length + n);
        if (buf_.size() >= kFlushAt) Flush();
    }

    bool Flush() {
        if (!buf_.empty() && std::fwrite(buf_.data(), 1, buf_.size(), file_) != buf_.size()) {
            failed_ = true;
        }
        buf_.clear();
        return !failed_;
    }

    uint64_t written() const { return written_; }

private:
    static constexpr size_t kFlushAt = 1 << 20;
    std::FILE* file_;
    std::vector<char> buf_;
    uint64_t written_ = 0;
    bool failed_ = false;
};

// ddmm.mmmm / dddmm.mmmm with its hemisphere letter.
void FormatCoordinate(char* out, size_t size, double degrees, bool longitude) {
    const char hemisphere = longitude ? (degrees < 0 ? 'W' : 'E') : (degrees < 0 ? 'S' : 'N');
    const long long tenThousandths = std::llround(std::fabs(degrees) * 60.0 * 10000.0);
    const long long whole = tenThousandths / 600000;
    const long long minutes = tenThousandths % 600000;
    std::snprintf(out, size, longitude ? "%03lld%02lld.%04lld,%c" : "%02lld%02lld.%04lld,%c", whole,
                  minutes / 10000, minutes % 10000, hemisphere);
}

void Move(Vehicle& v, Random& rng, int64_t second, bool standing) {
    if (standing) {
        // Standing: zero speed, the fix wanders by a few decimetres.
        v.speed = 0.0;
        v.latitude += rng.Signed() * 0.3 / kMetresPerDegree;
        v.longitude += rng.Signed() * 0.3 / kMetresPerDegree;
        return;
    }
    const double t = static_cast<double>(second);
    const double target = 14.0 + 9.0 * std::sin(2.0 * kPi * t / 600.0) + 3.0 * std::sin(t / 47.0);
    v.speed += (target - v.speed) * 0.15 + rng.Signed() * 0.4;
    if (v.speed < 0.0) v.speed = 0.0;
    v.heading += rng.Signed() * 4.0 + 2.5 * std::sin(t / 90.0);
    v.heading = std::fmod(v.heading + 360.0, 360.0);
    const double h = v.heading * kPi / 180.0;
    v.latitude += v.speed * std::cos(h) / kMetresPerDegree;
    v.longitude += v.speed * std::sin(h) / (kMetresPerDegree * std::cos(v.latitude * kPi / 180.0));
    v.altitude = 42.0 + 30.0 * std::sin(t / 1000.0) + rng.Signed() * 1.5;
}

void ChangeSky(Vehicle& v, Random& rng, int64_t second) {
    if (second % 30 == 0) {
        v.satellitesUsed += rng.Below(3) - 1;
        if (v.satellitesUsed < 5) v.satellitesUsed = 5;
        if (v.satellitesUsed > kSatellitesInView) v.satellitesUsed = kSatellitesInView;
        v.hdop = 0.7 + 1.3 * (static_cast<double>(kSatellitesInView - v.satellitesUsed) / 7.0) +
                 0.1 * rng.Signed();
    }
    for (int i = 0; i < kSatellitesInView; ++i) {
        Satellite& s = v.sky[i];
        if (second % 60 == 0) {
            s.azimuth = (s.azimuth + 1) % 360;
            s.elevation = 5 + (s.elevation + rng.Below(3) - 1 + 85) % 85;
        }
        s.snr = 25 + (s.snr - 25 + rng.Below(5) - 2 + 25) % 25;
    }
}

void WriteEpoch(Output& out, const Vehicle& v, std::time_t when) {
    std::tm utc{};
    gmtime_r(&when, &utc);
    char time[16];
    std::snprintf(time, sizeof time, "%02d%02d%02d.00", utc.tm_hour, utc.tm_min, utc.tm_sec);
    char date[32];
    std::snprintf(date, sizeof date, "%02d%02d%02d", utc.tm_mday, utc.tm_mon + 1, utc.tm_year % 100);
    char lat[64];
    char lon[64];
    FormatCoordinate(lat, sizeof lat, v.latitude, false);
    FormatCoordinate(lon, sizeof lon, v.longitude, true);

    char body[160];
    int n = std::snprintf(body, sizeof body, "$GPRMC,%s,A,%s,%s,%05.1f,%05.1f,%s,,,A", time, lat, lon,
                          v.speed * kKnotsPerMetreSecond, v.heading, date);
    out.Sentence(body, n);
    n = std::snprintf(body, sizeof body, "$GPGGA,%s,%s,%s,1,%02d,%.1f,%.1f,M,39.4,M,,", time, lat,
                      lon, v.satellitesUsed, v.hdop, v.altitude);
    out.Sentence(body, n);

    n = std::snprintf(body, sizeof body, "$GPGSA,A,3");
    for (int i = 0; i < kSatellitesInView; ++i) {
        n += i < v.satellitesUsed
                 ? std::snprintf(body + n, sizeof body - static_cast<size_t>(n), ",%02d", v.sky[i].prn)
                 : std::snprintf(body + n, sizeof body - static_cast<size_t>(n), ",");
    }
    n += std::snprintf(body + n, sizeof body - static_cast<size_t>(n), ",%.1f,%.1f,%.1f",
                       v.hdop * 1.6, v.hdop, v.hdop * 1.3);
    out.Sentence(body, n);

    for (int part = 0; part < 3; ++part) {
        n = std::snprintf(body, sizeof body, "$GPGSV,3,%d,%02d", part + 1, kSatellitesInView);
        for (int i = part * 4; i < part * 4 + 4; ++i) {
            const Satellite& s = v.sky[i];
            n += std::snprintf(body + n, sizeof body - static_cast<size_t>(n), ",%02d,%02d,%03d,%02d",
                               s.prn, s.elevation, s.azimuth, s.snr);
        }
        out.Sentence(body, n);
    }
}

}  // namespace

bool WriteNmeaLog(const std::string& path, uint64_t bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    Random rng{20230630};
    Vehicle v;
    for (int i = 0; i < kSatellitesInView; ++i) {
        v.sky[i] = {2 + i * 2 + (i > 8 ? 3 : 0), 10 + rng.Below(75), rng.Below(360), 30 + rng.Below(20)};
    }
    Output out(f);
    int64_t second = 0;  // receiver time since the start
    while (out.written() < bytes) {
        if (second % kGapPeriod == kGapAt) {
            // Lost the sky: no sentences, the vehicle drives on.
            for (int i = 0; i < kGapSeconds; ++i) Move(v, rng, second + i, false);
            second += kGapSeconds;
        }
        const bool standing = second % kCycleSeconds >= kCycleSeconds - kStandSeconds;
        Move(v, rng, second, standing);
        ChangeSky(v, rng, second);
        WriteEpoch(out, v, kStartTime + static_cast<std::time_t>(second));
        ++second;
    }
    bool ok = out.Flush();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

}  // namespace geoplait::bench
