// Run state of this subsystem that outlives one record within a run. A
// default-constructed WriterState is the state at the start of a run.
#pragma once

#include <cstdint>
#include <string>

namespace geoplait {

struct WriterState {
    // --- Record emitter and CSV line writers (record_emitter.cpp, csv_writer.cpp) ---
    // Name parts of the split files "%s_%03i%s", taken from OutputFile before
    // the run renames it to its _000 file.
    std::string SplitBase;       // OutputFile without its extension
    std::string SplitExtension;  // the extension with its dot, or empty
    bool SplitNamed = false;     // SplitBase/SplitExtension hold this run's parts
    // Reused buffers, so that writing a line allocates nothing once warm.
    std::string LineBuffer;
    std::string DegreeScratch;
    // --- end of record emitter block ---

    // --- Summary (summary_writer.cpp) ---
    // Statistics of the current summary group; the default is the reset state.
    struct SummaryState {
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
    SummaryState summary;
    // --- end of summary block ---
};

}  // namespace geoplait
