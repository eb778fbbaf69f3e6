// Zones through Howard Hinnant's date/tz over the system's zoneinfo files
// (the C++20 <chrono> zones of later compilers are the same library).
#include "geo/time_zone.h"

#include <cstdint>

#include <date/tz.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <iterator>

#include <unistd.h>

#include "base/text_fields.h"
#include "geo/time_difference.h"

namespace geoplait {

namespace {

// The names of UTC in the database, all of one zone that never changes: its
// clock needs no database, whose first use reads the whole zoneinfo folder
// (milliseconds at the start of a run).
constexpr std::string_view kUtcNames[] = {"UTC",       "Etc/UTC",       "UCT",  "Etc/UCT",
                                          "Universal", "Etc/Universal", "Zulu", "Etc/Zulu"};

bool IsUtcName(std::string_view name) {
    return std::find(std::begin(kUtcNames), std::end(kUtcNames), name) != std::end(kUtcNames);
}

// The zone of UTC, told by its address alone: never read through.
const char kUtcMark = 0;
const date::time_zone* const kUtc = reinterpret_cast<const date::time_zone*>(&kUtcMark);

const date::time_zone* LocateZone(std::string_view name) {
    if (name.empty()) return nullptr;
    try {
        return date::locate_zone(name);
    } catch (const std::exception&) {
        return nullptr;  // unknown name, or no database at all
    }
}

// The zone name of $TZ as the C library reads it: ":Europe/Berlin",
// "Europe/Berlin" or a path into the zoneinfo folder; an empty TZ is UTC.
std::string_view TzVariableName(const char* tz) {
    std::string_view name(tz);
    if (name.starts_with(':')) name.remove_prefix(1);
    if (const size_t at = name.find("zoneinfo/"); name.starts_with('/') && at != std::string_view::npos) {
        name.remove_prefix(at + 9);
    }
    return name.empty() ? "Etc/UTC" : name;
}

// $TZ's zone; null where it is not set or names none (a POSIX rule text
// such as "CET-1CEST").
const date::time_zone* ZoneOfTzVariable() {
    const char* tz = std::getenv("TZ");
    return tz == nullptr ? nullptr : LocateZone(TzVariableName(tz));
}

// Whether the machine's zone is UTC, told without the database: $TZ names
// it, or, without $TZ, /etc/localtime links into the zoneinfo folder to it.
// False where only the database can tell.
bool SystemZoneIsUtc() {
    if (const char* tz = std::getenv("TZ")) return IsUtcName(TzVariableName(tz));
    char target[4096];
    const ssize_t length = readlink("/etc/localtime", target, sizeof target);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof target) return false;
    const std::string_view path(target, static_cast<size_t>(length));
    const size_t at = path.find("zoneinfo/");
    return at != std::string_view::npos && IsUtcName(path.substr(at + 9));
}

const date::time_zone* SystemZone() {
    if (const date::time_zone* zone = ZoneOfTzVariable()) return zone;
    try {
        return date::current_zone();
    } catch (const std::exception&) {
        return LocateZone("Etc/UTC");
    }
}

int32_t HhmmssOf(int64_t seconds) {
    const int64_t magnitude = seconds < 0 ? -seconds : seconds;
    const int64_t value = magnitude / 3600 * 10000 + magnitude / 60 % 60 * 100 + magnitude % 60;
    return static_cast<int32_t>(seconds < 0 ? -value : value);
}

int64_t SecondsOfTexts(const std::string& ddmmyy, std::string_view hhmmss) {
    constexpr int64_t kJanuary2000 = 10957;  // days since 1970
    const int64_t day = IsCalendarDate(ddmmyy) ? DayNumberOf(ddmmyy) : kJanuary2000;
    return day * kSecondsPerDay + SecondsOfClock(hhmmss);
}

}  // namespace

bool FindTimeZone(std::string_view name, LocalClock& clock) {
    const date::time_zone* zone = nullptr;
    if (name == "system") {
        zone = SystemZoneIsUtc() ? kUtc : SystemZone();
    } else {
        zone = IsUtcName(name) ? kUtc : LocateZone(name);
    }
    if (zone == nullptr) return false;
    clock.zone = zone;
    return true;
}

std::string SystemTimeZoneName() {
    const date::time_zone* zone = SystemZone();
    return zone != nullptr ? std::string(zone->name()) : std::string("Etc/UTC");
}

std::vector<std::string> TimeZoneNames() {
    std::vector<std::string> names;
    try {
        const date::tzdb& db = date::get_tzdb();
        for (const date::time_zone& zone : db.zones) names.emplace_back(zone.name());
    } catch (const std::exception&) {
        return {};
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

int32_t OffsetAtUtc(const LocalClock& clock, int64_t utcSeconds) {
    if (clock.zone == nullptr) return clock.fixed;
    if (clock.zone == kUtc) return 0;
    const date::sys_info info = clock.zone->get_info(date::sys_seconds{std::chrono::seconds{utcSeconds}});
    return HhmmssOf(info.offset.count());
}

OffsetSpan OffsetSpanAtUtc(const LocalClock& clock, int64_t utcSeconds) {
    OffsetSpan span;
    span.zone = clock.zone;
    span.fixed = clock.fixed;
    if (clock.zone == nullptr || clock.zone == kUtc) {
        span.from = INT64_MIN;
        span.until = INT64_MAX;
        span.offset = clock.zone == nullptr ? clock.fixed : 0;
        return span;
    }
    const date::sys_info info = clock.zone->get_info(date::sys_seconds{std::chrono::seconds{utcSeconds}});
    span.from = info.begin.time_since_epoch().count();
    span.until = info.end.time_since_epoch().count();
    span.offset = HhmmssOf(info.offset.count());
    // A span that does not hold the instant (never, by the database's word)
    // is not kept.
    if (utcSeconds < span.from || utcSeconds >= span.until) span.until = span.from;
    return span;
}

int32_t OffsetAtLocal(const LocalClock& clock, int64_t localSeconds) {
    if (clock.zone == nullptr) return clock.fixed;
    if (clock.zone == kUtc) return 0;
    const date::local_info info =
        clock.zone->get_info(date::local_seconds{std::chrono::seconds{localSeconds}});
    // Skipped or repeated local times (the hour of a change) take the offset before it.
    return HhmmssOf(info.first.offset.count());
}

int64_t OffsetSeconds(int32_t hhmmss) {
    if (hhmmss == 0) return 0;
    const int64_t magnitude = hhmmss < 0 ? -static_cast<int64_t>(hhmmss) : hhmmss;
    const int64_t seconds = magnitude / 10000 * 3600 + magnitude / 100 % 100 * 60 + magnitude % 100;
    return hhmmss < 0 ? -seconds : seconds;
}

int32_t OffsetAtUtc(const LocalClock& clock, const std::string& ddmmyy, std::string_view hhmmss) {
    if (clock.zone == nullptr) return clock.fixed;
    return OffsetAtUtc(clock, SecondsOfTexts(ddmmyy, hhmmss));
}

int32_t OffsetAtLocal(const LocalClock& clock, const std::string& ddmmyy, std::string_view hhmmss) {
    if (clock.zone == nullptr) return clock.fixed;
    return OffsetAtLocal(clock, SecondsOfTexts(ddmmyy, hhmmss));
}

int64_t CalendarSeconds(std::string_view yyyymmdd, std::string_view hhmmss) {
    if (yyyymmdd.size() != 8 || yyyymmdd.find_first_not_of("0123456789") != std::string_view::npos) return 0;
    const int year = static_cast<int>(IntegerOf(yyyymmdd.substr(0, 4)));
    const auto month = static_cast<unsigned>(IntegerOf(yyyymmdd.substr(4, 2)));
    const auto day = static_cast<unsigned>(IntegerOf(yyyymmdd.substr(6, 2)));
    const date::year_month_day ymd{date::year{year}, date::month{month}, date::day{day}};
    if (!ymd.ok()) return 0;
    return date::sys_days{ymd}.time_since_epoch().count() * kSecondsPerDay + SecondsOfClock(hhmmss);
}

void UtcFromLocal(std::string& date, std::string& time, const LocalClock& clock) {
    UtcFromLocal(date, time, OffsetAtLocal(clock, date, time));
}

}  // namespace geoplait
