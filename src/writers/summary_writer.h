// Summary output: one row per group of consecutive records (record numbers,
// first and last date and time, distance, duration, speed and altitude
// statistics), as CSV or as an HTML page.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "base/text_file.h"
#include "engine/run_values.h"
#include "engine/track_point.h"
#include "settings/convert_settings.h"

namespace geoplait {

// Statistics of the current summary group; the default is the reset state.
struct SummaryGroup {
    int32_t StartRecord = 0;  // WrittenCount of the group's first record, 0 = empty
    int32_t EndRecord = 0;
    int32_t Count = 0;
    std::string FromDate;
    std::string FromTime;
    std::string ToDate;
    std::string ToTime;
    // Whether From/To come from a record with a known date: a group starts and
    // ends at its first and last dated records, where it has any.
    bool FromDated = false;
    bool ToDated = false;
    double Distance = 0.0;
    int32_t Duration = 0;  // seconds
    double MaxSpeed = 0.0;
    double MinSpeed = 999999.0;
    double SpeedSum = 0.0;
    double MaxAltitude = 0.0;
    double MinAltitude = 999999.0;
    double AltitudeSum = 0.0;
    double CutDistance = 0.0;  // running sums that cut the groups
    double CutSeconds = 0.0;
};

// How the summary is laid out: CSV rows, or an HTML page with a table.
enum class SummaryFormat { Csv, Html };

// The summary writer's options, taken from the settings and the run values
// when the run starts.
struct SummaryOptions {
    SummaryFormat format = SummaryFormat::Csv;
    std::string language;          // Language: the header's language (none for an unknown one)
    std::string input;             // InputFile: the HTML page's title
    bool groupByDate = false;      // TrackGroupDate
    double distanceLimit = 0.0;    // km: the run's GapDistanceLimit
    double secondsLimit = 0.0;     // the run's GapSecondsLimit
};

SummaryOptions SummaryOptionsOf(const ConvertSettings& s, const RunValues& run, SummaryFormat format);

// The summary of one run in one format: Begin writes the head, Add takes
// each record (one epoch) and End writes the last group's row and the tail.
// Each is handed the record at hand and the record state around it, in which
// groups are numbered by SplitIndex.
class SummaryWriter {
public:
    explicit SummaryWriter(SummaryOptions options) : options_(std::move(options)) {}
    void Begin(TextWriter& out, TrackPoint& point, TrackStore& store);
    // Adds the record `accepted` by the emitter's filter (which noted its gap
    // and derived its values) to the group, closing the group first when a
    // limit or the date says so; a rejected record is only counted. Clears it.
    void Add(TextWriter& out, TrackPoint& point, TrackStore& store, bool accepted);
    void End(TextWriter& out, TrackStore& store);

private:
    // Empties the group statistics; elapsed time and distances restart with
    // the next group.
    void ResetGroup(TrackPoint& point, TrackStore& store);
    // Ends the current group: writes its row and starts the next one.
    void CloseGroup(TextWriter& out, TrackPoint& point, TrackStore& store);
    void WriteRow(TextWriter& out, int32_t group);

    SummaryOptions options_;
    SummaryGroup group_;
};

}  // namespace geoplait
