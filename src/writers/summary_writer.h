// Summary output: one row per group of consecutive records (record numbers,
// first and last date and time, distance, duration, speed and altitude
// statistics), as CSV or as an HTML page.
#pragma once

#include <cstdint>
#include <string>

#include "engine/run_context.h"
#include "base/text_file.h"

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

// The summary of one run in one format: Begin writes the
// head, Add takes each record (one epoch) and End writes the last group's
// row and the tail. Groups are numbered by ctx.store.SplitIndex.
class SummaryWriter {
public:
    explicit SummaryWriter(SummaryFormat format) : format_(format) {}
    void Begin(TextWriter& out, RunContext& ctx);
    // Adds the current record to the group, closing the group first when a
    // limit or the date says so; rejected records are only counted. Clears it.
    void Add(TextWriter& out, RunContext& ctx);
    void End(TextWriter& out, RunContext& ctx);

private:
    // Empties the group statistics; elapsed time and distances restart with
    // the next group.
    void ResetGroup(RunContext& ctx);
    // Ends the current group: writes its row and starts the next one.
    void CloseGroup(TextWriter& out, RunContext& ctx);
    void WriteRow(TextWriter& out, RunContext& ctx);

    SummaryFormat format_;
    SummaryGroup group_;
};

}  // namespace geoplait
