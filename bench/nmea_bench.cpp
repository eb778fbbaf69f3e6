// Reading throughput over NMEA input: the text reader alone, the epoch reader,
// and the epoch reader with the per-record work every run does
// (ComputeDerived and ClearTrackPoint).
//
// The log is generated once (~64 MB) into the temporary directory, or taken
// from the file named by GEOPLAIT_BENCH_NMEA.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "engine/derived_values.h"
#include "engine/run_context.h"
#include "base/text_file.h"
#include "engine/track_point.h"
#include "geo/time_difference.h"
#include "nmea_generator.h"
#include "readers/nmea_reader.h"
#include "settings/convert_settings.h"

namespace geoplait {
namespace {

constexpr uint64_t kGeneratedBytes = 64ull << 20;

class SilentUi : public UserInterface {
public:
    void Show(const NoticeText&) override {}
    bool Ask(const NoticeText&) override { return true; }
    void SetMessageLine(const std::string&) override {}
    void SetStatusLine(const std::string&) override {}
};

// The log under test; a generated one is removed at exit.
struct BenchLog {
    std::string path;
    bool generated = false;
    int64_t bytes = 0;

    BenchLog() {
        const char* given = std::getenv("GEOPLAIT_BENCH_NMEA");
        if (given != nullptr && *given != '\0') {
            path = given;
        } else {
            path = (std::filesystem::temp_directory_path() /
                    ("geoplait-bench-" + std::to_string(getpid()) + ".nmea"))
                       .string();
            generated = bench::WriteNmeaLog(path, kGeneratedBytes);
            if (!generated) std::fprintf(stderr, "cannot write %s\n", path.c_str());
        }
        std::error_code ec;
        bytes = static_cast<int64_t>(std::filesystem::file_size(path, ec));
        if (ec) bytes = 0;
    }
    ~BenchLog() {
        if (generated) std::remove(path.c_str());
    }
};

const BenchLog& Log() {
    static const BenchLog log;
    return log;
}

// Settings as a run sees them: the defaults, applied.
Settings RunSettings() {
    Settings s;
    SetDefaultSettings(s);
    ApplyBaselineSettings(s);
    return s;
}

// What the job does before a reading run: the time difference, and the log
// opened.
void PrepareRun(NmeaReader& reader, RunContext& ctx) {
    ctx.run.TimeDifferenceValue = TimeDifferenceValue(ctx.Current().TimeDifference, 0);
    reader.Open(Log().path);
}

void Finish(benchmark::State& state, int64_t records) {
    state.SetBytesProcessed(state.iterations() * Log().bytes);
    state.counters["records"] = benchmark::Counter(static_cast<double>(records),
                                                   benchmark::Counter::kIsRate);
}

void BM_ReadLines(benchmark::State& state) {
    if (Log().bytes == 0) {
        state.SkipWithError("no log");
        return;
    }
    int64_t lines = 0;
    std::string line;
    for (auto _ : state) {
        TextReader input(Log().path);
        while (input.ReadLine(line, 4096)) ++lines;
        benchmark::DoNotOptimize(line.data());
    }
    Finish(state, lines);
}

void BM_NmeaEpochs(benchmark::State& state) {
    if (Log().bytes == 0) {
        state.SkipWithError("no log");
        return;
    }
    Settings settings = RunSettings();
    SilentUi ui;
    int64_t records = 0;
    for (auto _ : state) {
        RunContext ctx(settings, ui);
        NmeaReader reader;
        PrepareRun(reader, ctx);
        while (reader.Next(ctx.point)) {
            benchmark::DoNotOptimize(ctx.point.RmcLatitude.data());
            ClearTrackPoint(ctx.point);
            ++records;
        }
    }
    Finish(state, records);
}

void BM_NmeaEpochsDerived(benchmark::State& state) {
    if (Log().bytes == 0) {
        state.SkipWithError("no log");
        return;
    }
    Settings settings = RunSettings();
    SilentUi ui;
    int64_t records = 0;
    for (auto _ : state) {
        RunContext ctx(settings, ui);
        NmeaReader reader;
        PrepareRun(reader, ctx);
        while (reader.Next(ctx.point)) {
            ComputeDerived(ctx);
            benchmark::DoNotOptimize(ctx.point.LocalTime.data());
            ClearTrackPoint(ctx.point);
            ++ctx.store.WrittenCount;
            ++ctx.store.RecordIndex;
            ++records;
        }
    }
    Finish(state, records);
}

BENCHMARK(BM_ReadLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NmeaEpochs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NmeaEpochsDerived)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace geoplait

BENCHMARK_MAIN();
