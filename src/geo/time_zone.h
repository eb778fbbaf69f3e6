// The local clock of a run: the fixed time difference of the settings, or a
// zone of the system's time-zone database, whose offset follows daylight
// saving and every change of the zone's rules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace date {
class time_zone;
}

namespace geoplait {

struct LocalClock {
    LocalClock() = default;
    // A fixed difference (signed hhmmss): what every run had before zones.
    LocalClock(int32_t fixedDifference) : fixed(fixedDifference) {}  // NOLINT: an offset is a clock

    int32_t fixed = 0;                      // signed hhmmss, when there is no zone
    const date::time_zone* zone = nullptr;  // owned by the database, lives as long as the process
};

// The clock of a TimeZone setting: "system" is the machine's zone ($TZ when
// it names a zone, else the system's own), any other text a zone name of the
// database ("Europe/Berlin"). False for a name the database does not know.
bool FindTimeZone(std::string_view name, LocalClock& clock);

// The name of the machine's zone ("Etc/UTC" when it cannot be told).
std::string SystemTimeZoneName();

// Every zone name of the database, sorted; empty when there is none.
std::vector<std::string> TimeZoneNames();

// The offset (signed hhmmss) of the clock at a UTC instant, in seconds since 1970.
int32_t OffsetAtUtc(const LocalClock& clock, int64_t utcSeconds);
// The offset of a clock at a UTC instant with the instants [from, until) it
// holds for, so that the records of a track ask the zone once per change.
struct OffsetSpan {
    const date::time_zone* zone = nullptr;
    int32_t fixed = 0;
    int64_t from = 0;
    int64_t until = 0;  // from == until: no span
    int32_t offset = 0;
    bool Holds(const LocalClock& clock, int64_t utcSeconds) const {
        return clock.zone == zone && clock.fixed == fixed && utcSeconds >= from && utcSeconds < until;
    }
};
OffsetSpan OffsetSpanAtUtc(const LocalClock& clock, int64_t utcSeconds);
// The offset (signed hhmmss) of the clock at a local time, in seconds since
// 1970 as if it were UTC. A time that a change skips or repeats takes the
// offset before the change.
int32_t OffsetAtLocal(const LocalClock& clock, int64_t localSeconds);

// Seconds of a signed hhmmss offset.
int64_t OffsetSeconds(int32_t hhmmss);

// The same for ddmmyy and hhmmss texts of a record. A date that is unknown
// takes the offset of 1 January 2000 at that time.
int32_t OffsetAtUtc(const LocalClock& clock, const std::string& ddmmyy, std::string_view hhmmss);
int32_t OffsetAtLocal(const LocalClock& clock, const std::string& ddmmyy, std::string_view hhmmss);

// Seconds since 1970 of a yyyymmdd date and hhmmss time (as a photo holds
// them), read as UTC; 0 for a date that is none.
int64_t CalendarSeconds(std::string_view yyyymmdd, std::string_view hhmmss);

// Rewrites a local ddmmyy date and hhmmss time into UTC in place by the
// offset the clock had at that local time.
void UtcFromLocal(std::string& date, std::string& time, const LocalClock& clock);

}  // namespace geoplait
