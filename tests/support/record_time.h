// Records' times made from ddmmyy and hhmmss texts, as the readers of NMEA
// texts leave them (texts and Time both), and the local ones read back.
#pragma once

#include <string>

#include "engine/track_point.h"

namespace geoplait::test {

// RmcDate, RmcTime and GgaTime of the record, and its Time read from them.
inline void SetTimeTexts(TrackPoint& point, const std::string& ddmmyy, const std::string& hhmmss) {
    point.RmcDate = ddmmyy;
    point.RmcTime = point.GgaTime = hhmmss;
    ReadTimeTexts(point);
}

// The record's UTC time and date as the NMEA outputs write them, whether its
// reader gave texts or its Time alone.
inline std::string UtcTimeText(const TrackPoint& point) {
    std::string scratch;
    return std::string(TimeTextOf(point.RmcTime, point.Time, scratch));
}
inline std::string UtcDateText(const TrackPoint& point) {
    std::string scratch;
    return std::string(DateTextOf(point.RmcDate, point.Time, scratch));
}

// The record's Local as "ddmmyy hhmmss".
inline std::string LocalDigits(const TrackPoint& point) {
    std::string date;
    std::string time;
    LocalDateDigits(point, date);
    LocalTimeDigits(point, time);
    return date + " " + time;
}

// The date of the store's date group as ddmmyy, empty before the first.
inline std::string GroupDateText(const TrackStore& store) {
    if (!store.GroupDated) return {};
    char digits[6];
    return std::string(digits, static_cast<size_t>(PutDdmmyy(digits, store.GroupDay) - digits));
}

// A record's local time of these local texts, as ComputeDerived leaves it.
inline void SetLocalTexts(TrackPoint& point, const std::string& ddmmyy, const std::string& hhmmss) {
    point.Local = TimeOfTexts(ddmmyy, hhmmss);
}

}  // namespace geoplait::test
