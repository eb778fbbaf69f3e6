// The Create command: run values, validation of the file names, the replace
// question, the output directory, the pre-scan, the first-line check of NMEA
// logs, the mode dispatch and the completion report.
#include "job/run_conversion.h"

#include <unistd.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "engine/record_filter.h"
#include "base/text_file.h"
#include "engine/track_point.h"
#include "geo/time_difference.h"
#include "geo/time_zone.h"
#include "job/input_families.h"
#include "job/mode_table.h"
#include "job/output_checks.h"
#include "job/run_files.h"
#include "job/run_steps.h"
#include "job/track_input.h"
#include "readers/nmea_reader.h"
#include "readers/spreadsheet_text.h"
#include "settings/settings_file.h"
#include "settings/settings_keys.h"

namespace geoplait {

namespace fs = std::filesystem;

namespace {

// Identifiers an NMEA log may start with, in the order they are compared.
constexpr std::string_view kFirstSentenceIds[] = {
    "$GPAAM", "$GPRMC", "$GPALM", "$GPRTE", "$GPAPA", "$GPTRF", "$GPAPB", "$GPSTN", "$GPBOD",
    "$GPVBW", "$GPBWC", "$GPVTG", "$GPDTM", "$GPWCV", "$GPGGA", "$GPWPL", "$GPGLL", "$GPXTC",
    "$GPGRS", "$GPXTE", "$GPGSA", "$GPZTG", "$GPGST", "$GPZDA", "$GPGSV", "$PGRME", "$GPMSK",
    "$PGRMM", "$GPMSS", "$PGRMZ", "$GPRMA", "$PSLIB", "$GPRMB",
};
static_assert(std::size(kFirstSentenceIds) == 33);

// How far into a log its first known sentence may stand.
constexpr size_t kLogStartLookAhead = size_t{64} << 10;

// Placemark types that set the interval from the pre-scan count.
struct PlacemarkType {
    std::string_view text;
    int32_t divisor;
};
constexpr PlacemarkType kPlacemarkTypes[] = {
    {"Start & End", 1}, {"Point 3", 3},   {"Point 5", 5},     {"Point 10", 10},
    {"Point 30", 30},   {"Point 50", 50}, {"Point 100", 100},
};

constexpr std::string_view kKmzExtensions[] = {".kml", ".KML", ".Kml"};

// A directory opens as a file on this system but not where the program comes
// from; it is neither an input nor an existing output.
bool OpenForReading(TextReader& reader, const std::string& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return false;
    return reader.Open(path);
}

bool OpensForReading(const std::string& path) {
    TextReader reader;
    return OpenForReading(reader, path);
}

bool OpenForReading(TrackInput& input, RunContext& ctx, ModeKind kind) {
    std::error_code ec;
    if (fs::is_directory(ctx.Current().InputFile, ec)) return false;
    return input.Open(ctx, kind);
}

// The size of the input when it is a regular file, else 0 (a pipe: unknown).
uint64_t RegularFileSize(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return 0;
    const uintmax_t size = fs::file_size(path, ec);
    return ec ? 0 : static_cast<uint64_t>(size);
}

// The end of a run that went through its procedure: its outputs are put into
// place, or, when one could not be written in full or the run was cancelled,
// all of them are removed and the files that were there before stay as they
// were. Only a failure is reported here; a cancel is the user's own.
bool PutOutputsInPlace(RunContext& ctx) {
    if (!ctx.StopRequested() && ctx.outputs.Commit()) return true;
    ctx.outputs.Discard();
    if (ReportRefusedOutput(ctx.outputs, ctx.ui)) return false;
    if (!ctx.outputs.Failed()) return false;
    NoticeText notice = MakeNotice(Notice::OutputNotCreated);
    // The file that failed and why, when the system said.
    if (ctx.outputs.FailedError() != 0) {
        const std::string& path = ctx.outputs.FailedPath();
        notice = WithCause(notice, path.empty() ? ctx.Current().OutputFile : path, ctx.outputs.FailedError());
    }
    ctx.ui.Show(notice);
    return false;
}

std::string DirectoryToCreate(const RunValues& run) {
    std::string directory = run.OutputDrive + run.OutputDirectory;
    while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    return directory;
}

// Returns true when the directory did not exist and was made. A run that
// does not complete removes it again.
bool CreateOutputDirectory(OutputFiles& outputs, const std::string& directory) {
    if (directory.empty()) return false;
    const bool before = outputs.MadeFolders();
    return outputs.MakeFolders(directory) && !before && outputs.MadeFolders();
}

fs::path NormalPath(const std::string& path) {
    std::error_code ec;
    fs::path normal = fs::weakly_canonical(path, ec);
    if (ec) {
        fs::path absolute = fs::absolute(path, ec);
        normal = ec ? fs::path(path).lexically_normal() : absolute.lexically_normal();
    }
    return normal;
}

// Clears what a run leaves behind in the store and the record.
void ResetRunState(RunContext& ctx) {
    ctx.store = TrackStore{};
    ctx.point.ElapsedSec = 0;
    ctx.point.IntervalSec = 0;
    ctx.point.TotalDistance = 0.0;
    // Not emptied with the record: a name of the conversion before must not
    // reach this one's columns.
    ctx.point.PointName.clear();
    ctx.point.ExtendData.clear();
}

}  // namespace

// The run values taken from the setting texts.
void DeriveRunValues(const ConvertSettings& s, const ConfigSettings& config, RunValues& run) {
    // A time difference outside the table keeps the value of the run before.
    int32_t previousDifference = run.TimeDifferenceValue;
    run = RunValues{};
    run.RecordRangeStart = IntegerOf(s.RecordStart);
    run.RecordRangeEnd = IntegerOf(s.RecordEnd);
    run.SatelliteThreshold = IntegerOf(s.Satellites);
    run.DilutionThreshold = IntegerOf(s.Margin);
    run.ThinningDistance = IntegerOf(s.Distance) / 1000.0;
    run.PlacemarkDistance = IntegerOf(s.PosDistance_edit) / 1000.0;
    run.GapDistanceLimit = NumberOf(s.LineDistance) / 1000.0;
    if (run.GapDistanceLimit == 0.0) run.GapDistanceLimit = 99999.0;
    run.GapSecondsLimit = NumberOf(s.LineDistanceSec);
    if (run.GapSecondsLimit == 0.0) run.GapSecondsLimit = 99999999.0;
    run.RangeStartStamp = RangeStamp(s.DATE_IncludeStart, s.TIME_IncludeStart);
    run.RangeEndStamp = RangeStamp(s.DATE_IncludeEnd, s.TIME_IncludeEnd);
    run.TimeDifferenceValue = TimeDifferenceValue(s.TimeDifference, previousDifference);
    // A zone that cannot be found leaves the run without one; the run
    // refuses it before it reads anything.
    LocalClock clock;
    if (!s.TimeZone.empty() && FindTimeZone(s.TimeZone, clock)) run.Zone = clock.zone;
    run.Units = UnitSystemOf(s.MeterMile);
    run.DefaultSigns = DefaultHemisphereSigns(config.LatitudeNS, config.LongitudeWE);
}

namespace {

// What the readers could not use, one warning a kind with its count.
void AddLossWarnings(RunContext& ctx) {
    const InputLosses& losses = ctx.run.Losses;
    const struct {
        int32_t count;
        Notice notice;
    } kinds[] = {
        {losses.BadChecksums, Notice::BadChecksums},   {losses.LongEpochLines, Notice::LongEpochLines},
        {losses.UnknownValues, Notice::UnknownValues}, {losses.BrokenLines, Notice::BrokenLines},
        {losses.LongLines, Notice::LongLines},
        {losses.DroppedTuples, Notice::DroppedTuples},
    };
    for (const auto& kind : kinds) {
        if (kind.count > 0) AddRunWarning(ctx, MakeNotice(kind.notice, {kind.count}));
    }
}

RunOutcome ReportCompletion(RunContext& ctx) {
    ctx.ui.SetMessageLine(" ***** Complete. *****");
    const TrackStore& store = ctx.store;
    RunOutcome outcome;
    if (store.RecordIndex >= 1 && store.WrittenCount >= 1) {
        ctx.ui.Show(MakeNotice(Notice::RunComplete, {store.WrittenCount, store.RecordIndex,
                                                     ctx.run.DirectoryNote, ctx.run.OverrideNote}));
        if (ctx.settings.config.AutoSave == "1") {
            bool saved = SaveSettingsFile(ctx.settings, ctx.ui, kSettingsFileName, SaveNotice::Silent);
            // A protected file is refused on purpose, not a failure.
            if (!saved && ctx.settings.config.Protect != "1") ctx.run.SettingsSaveFailed = true;
        }
        outcome = ctx.run.Warnings.empty() ? RunOutcome::Complete : RunOutcome::CompleteWithWarnings;
    } else if (store.RecordIndex >= 1) {
        ctx.ui.Show(MakeNotice(Notice::NothingIncluded, {store.WrittenCount, store.RecordIndex}));
        outcome = RunOutcome::NothingIncluded;
    } else {
        ctx.ui.Show(MakeNotice(Notice::NoData, {store.OmitCount}));
        outcome = RunOutcome::NoData;
    }
    for (const NoticeText& warning : ctx.run.Warnings) ctx.ui.Show(warning);
    ctx.ui.SetStatusLine("");
    return outcome;
}

// The run ends without its completion message and without the settings save;
// what it wrote goes, and the files that were there before stay as they were.
RunOutcome ReportCancelled(RunContext& ctx) {
    ctx.outputs.Discard();
    ctx.ui.SetMessageLine(" *** Cancelled ***");
    ctx.ui.Show(MakeNotice(Notice::RunCancelled, {ctx.store.WrittenCount, ctx.store.RecordIndex}));
    ctx.ui.SetStatusLine("");
    return RunOutcome::Cancelled;
}

}  // namespace

void SplitOutputPath(const std::string& path, RunValues& run) {
    size_t slash = path.rfind('/');
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = ExtensionStart(path);
    if (dot == std::string::npos) dot = path.size();
    run.OutputDrive.clear();
    run.OutputDirectory = path.substr(0, nameStart);
    run.OutputName = path.substr(nameStart, dot - nameStart);
    run.OutputExtension = path.substr(dot);
}

bool IsSameFile(const std::string& input, const std::string& output) {
    if (input == output) return true;
    if (input.empty() || output.empty()) return false;
    std::error_code ec;
    if (fs::equivalent(input, output, ec) && !ec) return true;
    return NormalPath(input) == NormalPath(output);
}

LogStart FindLogStart(TextReader& input, std::string& id) {
    std::string line;
    size_t looked = 0;
    LogStart start = LogStart::Empty;
    NmeaSentence sentence;
    // The pieces of a line over the limit hold no sentence, as the reader
    // reads them (peeked with the reader's limit, they are its pieces).
    bool longLine = false;
    while (looked < kLogStartLookAhead && input.PeekLine(line, kNmeaLineLimit + 1)) {
        start = LogStart::Unknown;
        looked += line.size();
        const bool skip = longLine || IsCutLine(line, kNmeaLineLimit);
        longLine = skip && line.back() != '\n';
        if (!skip && FindNmeaSentence(line, sentence) && IsKnownFirstSentenceId(sentence.id) &&
            !FailsChecksum(sentence.text)) {
            id.assign(sentence.id);
            return LogStart::Found;
        }
    }
    return start;
}

bool IsKnownFirstSentenceId(std::string_view id) {
    for (std::string_view known : kFirstSentenceIds) {
        if (id == known) return true;
        // The "$GP" identifiers with the talkers of multi-system receivers too.
        if (known.starts_with("$GP") && id.size() == known.size() && id[0] == '$' &&
            id.substr(3) == known.substr(3) && IsKnownTalker(id.substr(1, 2))) {
            return true;
        }
    }
    return false;
}

int32_t CountInputRecords(RunContext& ctx, const ConvertMode* mode) {
    // The summaries read their input themselves and count nothing in advance.
    if (mode == nullptr || FamilyOf(mode->kind).open == nullptr ||
        OutputKindOf(mode->output).run == OutputRun::Summary) {
        return 0;
    }
    TrackInput input;
    if (!OpenForReading(input, ctx, mode->kind)) {
        ctx.ui.Show(InputNotice(Notice::InputNotFound, ctx.Current().InputFile));
        return 0;
    }
    return input.Count(ctx);
}

bool NeedsRecordCount(const ConvertSettings& s, const ConvertMode* mode) {
    if (mode == nullptr || OutputKindOf(mode->output).run != OutputRun::Kml || s.Placemark == 0 || s.PosType == 0) return false;
    for (const PlacemarkType& type : kPlacemarkTypes) {
        if (s.PosType_edit == type.text) return true;
    }
    return false;
}

bool ReadsInputTwice(const ConvertSettings& s, const ConvertMode* mode) {
    if (mode == nullptr) return true;
    const InputFamily& family = FamilyOf(mode->kind);
    // The count before the run.
    if (NeedsRecordCount(s, mode)) return true;
    // The photos are matched by a read of their own after the track sections.
    return OutputKindOf(mode->output).run == OutputRun::Kml && family.kml.track && s.Photo != 0 &&
           (s.Placemark != 0 || s.TrackLine != 0);
}

int32_t PlacemarkIntervalOf(const ConvertSettings& s, int32_t prescanCount) {
    int32_t interval = IntegerOf(s.Interval);
    if (s.PosType != 0) {
        for (const PlacemarkType& type : kPlacemarkTypes) {
            if (s.PosType_edit == type.text) {
                interval = prescanCount / type.divisor;
                break;
            }
        }
    }
    return interval < 1 ? 1 : interval;
}

namespace {

// The settings and file names checked before anything is read or written:
// the photo folder, the KMZ extension, input and output naming one file, the
// input opening, the names the run derives, the side outputs, the replace
// question and the output directory. False when the run stops here (the
// message shown).
bool CheckRunFiles(RunContext& ctx, const ConvertMode* mode, bool photoOnly) {
    const ConvertSettings& s = ctx.Current();
    RunValues& run = ctx.run;
    UserInterface& ui = ctx.ui;
    if (s.Photo != 0 && s.PhotoDir.empty()) {
        ui.Show(MakeNotice(Notice::PhotoFolderNotGiven));
        return false;
    }

    SplitOutputPath(s.OutputFile, run);

    if (s.Kmz != 0) {
        bool kmlExtension = false;
        for (std::string_view extension : kKmzExtensions) {
            if (run.OutputExtension == extension) kmlExtension = true;
        }
        if (!kmlExtension) {
            ui.Show(MakeNotice(Notice::OutputNotKml, {run.OutputName + run.OutputExtension}));
            return false;
        }
    }

    // Beyond equal texts, two names of one file (./a.log and a.log, a link)
    // are refused too: the output would overwrite the input while it is read.
    if (IsSameFile(s.InputFile, s.OutputFile)) {
        ui.SetMessageLine(" *** Error ***");
        ui.Show(MakeNotice(Notice::InputIsOutput));
        return false;
    }

    // A pipe is read once: a run that reads its input once takes it, one
    // that would read it again (the second read would find it empty) is
    // refused, as is a device (which may never end), before anything opens it.
    const bool pipe = !photoOnly && IsPipe(s.InputFile);
    if (!photoOnly && IsSpecialFile(s.InputFile) && (!pipe || ReadsInputTwice(s, mode))) {
        ui.Show(MakeNotice(Notice::InputNotRegular, {s.InputFile}));
        return false;
    }

    // A pipe is not opened to try it: that would wait for its writer, and
    // what it holds is its reader's.
    if (!photoOnly && (pipe ? access(s.InputFile.c_str(), R_OK) != 0 : !OpensForReading(s.InputFile))) {
        ui.Show(InputNotice(Notice::InputNotFoundOnCheck, s.InputFile));
        return false;
    }

    // Every name the run will make fits, no side output is the input, and
    // one question covers every existing output known now.
    if (!CheckDerivedNames(s, run, ui, mode) || !CheckSideOutputs(s, run, ui, !photoOnly) ||
        !CheckMakeableOutputs(s, run, ui)) {
        return false;
    }
    if (!PrepareOutputSet(ctx.outputs, s, run, ui, !photoOnly)) return false;

    if (CreateOutputDirectory(ctx.outputs, DirectoryToCreate(run))) {
        run.DirectoryNote = "Create Directory.";
        ui.SetStatusLine(run.DirectoryNote);
    }
    return true;
}

// An NMEA log is taken when a known sentence stands within its first 64 KiB:
// lines before it (a receiver's power-up banner, a blank line, half a
// sentence, binary bytes) are passed over; its identifier is the run's
// FirstSentenceId. A log with lines but none of the known sentences there is
// refused; an empty log is not (it has no data). False when the run stops
// here (the message shown).
// A pipe stays open with the lines looked at kept (RunContext::pipeInput):
// the run's one read of it begins there.
bool CheckFirstSentence(RunContext& ctx) {
    const bool pipe = IsPipe(ctx.Current().InputFile);
    TextReader own;
    TextReader& input = pipe ? ctx.pipeInput : own;
    if (!OpenForReading(input, ctx.Current().InputFile)) {
        ctx.ui.Show(InputNotice(Notice::InputNotFound, ctx.Current().InputFile));
        return false;
    }
    const LogStart start = FindLogStart(input, ctx.run.FirstSentenceId);
    if (start == LogStart::Unknown) {
        ctx.ui.Show(MakeNotice(Notice::FirstSentenceUnknown));
        return false;
    }
    return true;
}

// Runs the mode's procedure and ends the run: cancelled, failed (outputs
// removed) or complete.
RunOutcome DispatchMode(RunContext& ctx, const ConvertMode* mode, std::span<const ModeProcedure> table) {
    // Cancelled during the pre-scan, or after the current record of a pass.
    if (ctx.ui.CancelRequested()) return ReportCancelled(ctx);
    const ModeProcedure procedure = mode != nullptr ? table[ModeRow(*mode)] : nullptr;
    if (procedure != nullptr) {
        try {
            procedure(ctx, *mode);
        } catch (const RunCancelled&) {
            return ReportCancelled(ctx);
        }
    }
    // A cancel that a reading loop noticed between records ends the run the same way.
    if (ctx.cancelRequested.load(std::memory_order_relaxed)) return ReportCancelled(ctx);
    AddLossWarnings(ctx);
    if (!PutOutputsInPlace(ctx)) return RunOutcome::Stopped;
    return ReportCompletion(ctx);
}

}  // namespace

RunOutcome RunConversionWithTable(RunContext& ctx, std::span<const ModeProcedure> table) {
    ctx.outputs.Reset();
    ctx.cancelRequested = false;
    ResetRunState(ctx);
    DeriveRunValues(ctx.Current(), ctx.settings.config, ctx.run);
    const ConvertSettings& s = ctx.Current();
    const ConvertMode* mode = FindModeByDisplayText(s.Mode);
    const bool photoOnly = mode != nullptr && FamilyOf(mode->kind).open == nullptr;
    if (!s.TimeZone.empty() && ctx.run.Zone == nullptr) {
        ctx.ui.Show(MakeNotice(Notice::TimeZoneUnknown, {s.TimeZone}));
        return RunOutcome::Stopped;
    }
    if (!CheckRunFiles(ctx, mode, photoOnly)) return RunOutcome::Stopped;

    // Progress goes by bytes of the input; the records are counted in advance
    // only for a placemark type whose interval follows from their number.
    ctx.run.InputBytes = RegularFileSize(s.InputFile);
    if (NeedsRecordCount(s, mode)) ctx.run.PrescanCount = CountInputRecords(ctx, mode);
    ctx.run.PlacemarkInterval = PlacemarkIntervalOf(s, ctx.run.PrescanCount);
    if (s.Photo_CsvOut != 0) ctx.run.PhotoListPath = ReplaceExtension(s.OutputFile, "_Photo.csv");
    ClearTrackPoint(ctx.point);

    RunOutcome outcome = RunOutcome::Stopped;
    if (mode == nullptr || !FamilyOf(mode->kind).firstSentence || CheckFirstSentence(ctx)) {
        outcome = DispatchMode(ctx, mode, table);
    }
    // A pipe not taken over by a reader is let go with the run; a run that
    // stopped before its end removes what it made (the folders too).
    ctx.pipeInput.Close();
    ctx.outputs.Discard();
    return outcome;
}

RunOutcome RunConversion(RunContext& ctx) { return RunConversionWithTable(ctx, kModeTable); }

}  // namespace geoplait
