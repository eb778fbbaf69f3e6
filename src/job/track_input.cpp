#include "job/track_input.h"

#include "readers/nmea_reader.h"

namespace geoplait {

namespace {

constexpr size_t kLineLimit = 4096;

// Lines whose identifier passes `is` (IsRmcId, IsGgaId).
int32_t CountLinesWithId(TextReader& input, bool (*is)(std::string_view)) {
    int32_t count = 0;
    std::string_view line;
    while (input.ReadLine(line, kLineLimit)) {
        if (is(SentenceIdOf(line))) ++count;
    }
    return count;
}

// Every record of a reader with Open/Next, until the end or a stop.
template <typename Reader>
void PullRecords(Reader& reader, RunContext& ctx, const RecordSink& take) {
    while (!ctx.StopRequested() && reader.Next(ctx)) take(ctx);
}

template <typename Reader>
int32_t CountRecords(Reader& reader, RunContext& ctx) {
    int32_t count = 0;
    while (reader.Next(ctx)) {
        ++count;
        ClearTrackPoint(ctx.point);
    }
    return count;
}

}  // namespace

bool TrackInput::Open(RunContext& ctx, ModeKind kind, bool toCsvCustom) {
    Close();
    kind_ = kind;
    const std::string& path = ctx.Current().InputFile;
    switch (kind) {
        case ModeKind::Nmea: return text_.Open(path);
        case ModeKind::CsvFull: return csv_.Open(path, CsvLayout::Full);
        case ModeKind::CsvCustom: return csv_.Open(path, CsvLayout::Custom);
        case ModeKind::Pot: return pot_.Open(path);
        case ModeKind::Gpx: return gpx_.Open(path);
        case ModeKind::KmlLine: return kml_.Open(path, {.line = true, .toCsvCustom = toCsvCustom});
        case ModeKind::KmlPoint: return kml_.Open(path, {.line = false, .toCsvCustom = toCsvCustom});
        case ModeKind::Photo: return false;
    }
    return false;
}

void TrackInput::Close() {
    text_.Close();
    csv_.Close();
    pot_.Close();
    gpx_.Close();
    kml_.Close();
}

void TrackInput::ForEach(RunContext& ctx, const RecordSink& take) {
    switch (kind_) {
        case ModeKind::Nmea: ReadNmeaEpochs(text_, ctx, take); break;
        case ModeKind::CsvFull:
        case ModeKind::CsvCustom: PullRecords(csv_, ctx, take); break;
        case ModeKind::Pot: PullRecords(pot_, ctx, take); break;
        case ModeKind::Gpx:
            PullRecords(gpx_, ctx, take);
            ReportBrokenInput(ctx, gpx_.Error());
            break;
        case ModeKind::KmlLine:
        case ModeKind::KmlPoint:
            PullRecords(kml_, ctx, take);
            ReportBrokenInput(ctx, kml_.Error());
            break;
        case ModeKind::Photo: break;
    }
}

int32_t TrackInput::Count(RunContext& ctx) {
    int32_t count = 0;
    switch (kind_) {
        case ModeKind::Nmea:
            // The fixes: RMC sentences, or GGA in a log without RMC.
            count = CountLinesWithId(text_, IsRmcId);
            if (count == 0) {
                text_.Rewind();
                count = CountLinesWithId(text_, IsGgaId);
            }
            break;
        case ModeKind::CsvFull:
        case ModeKind::CsvCustom: count = CountRecords(csv_, ctx); break;
        case ModeKind::Pot: count = CountRecords(pot_, ctx); break;
        case ModeKind::Gpx:
            count = CountRecords(gpx_, ctx);
            ReportBrokenInput(ctx, gpx_.Error());
            break;
        case ModeKind::KmlLine:
        case ModeKind::KmlPoint: {
            // Dropped tuples are counted by the run that reads them.
            const int32_t omitted = ctx.store.OmitCount;
            count = CountRecords(kml_, ctx);
            ctx.store.OmitCount = omitted;
            ReportBrokenInput(ctx, kml_.Error());
            break;
        }
        case ModeKind::Photo: break;
    }
    // The names the readers leave behind are the run's to fill.
    ctx.point.PointName.clear();
    ctx.point.ExtendData.clear();
    return count;
}

void ReportBrokenInput(RunContext& ctx, const std::string& error) {
    if (error.empty() || ctx.run.InputErrorShown) return;
    ctx.run.InputErrorShown = true;
    ctx.ui.Show(MakeNotice(Notice::InputBroken, {error}));
}

}  // namespace geoplait
