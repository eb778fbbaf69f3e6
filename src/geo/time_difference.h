// Local time from UTC by the TimeDifference setting, and the derived values of
// a record.
#pragma once

#include <string>
#include <string_view>

#include "engine/run_context.h"

namespace geoplait {

struct TimeDifferenceEntry {
    const char* text;  // "+ 9:00"
    int32_t value;     // 90000 (signed hhmmss)
};
inline constexpr int kTimeDifferenceCount = 40;
extern const TimeDifferenceEntry kTimeDifferences[kTimeDifferenceCount];

// The table value of `text`; `previous` when the text is not in the table.
int32_t TimeDifferenceValue(const std::string& text, int32_t previous);

// Moves a ddmmyy date by one day forward (+1) or back (-1) on the calendar.
std::string ShiftDate(const std::string& ddmmyy, int days);

// True when a ddmmyy text is a date of the calendar (20yy). A log without
// RMC sentences has "000000": its dates are unknown.
bool IsCalendarDate(std::string_view ddmmyy);

// True when a time text starts with a time of day as hhmmss (fractions may
// follow): " 222519" or ".1", as some receivers write, are not.
bool IsTimeOfDay(std::string_view hhmmss);

// LocalDate/LocalTime of the current record from RmcDate/RmcTime. An unknown
// date is never moved: it stays as it is when the time crosses midnight.
void LocalDateTime(RunContext& ctx);

// Rewrites a local ddmmyy date and hhmmss time into UTC in place.
void UtcFromLocal(std::string& date, std::string& time, int32_t timeDifference);

// Every derived value of the current record; once per record about to be written.
void ComputeDerived(RunContext& ctx);

}  // namespace geoplait
