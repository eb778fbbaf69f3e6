// The input families. NMEA and CSV Full records go through the record
// emitter (filters, derived values, file split, counts); CSV Custom, POT,
// GPX and FIT records are checked against the record range only; KML records
// are written as they come (what particular pairs need of their output is the
// record runs' table of pairs). In a KML conversion NMEA and CSV records go through
// WriteTrackRecord with its filters and group breaks (speed groups for NMEA
// and CSV Full only); POT, GPX and FIT records only through the record range,
// and their path is cut by gaps alone (a FIT record's heart rate and cadence
// are its Label_Tex text); KML input has no KML passes.
#include "job/input_families.h"

#include <array>

namespace geoplait {

namespace {

bool OpenNmea(TrackReaders& r, const std::string& path, const ReaderStart& start, bool) {
    // A pipe the first-line check opened is read on from there.
    if (start.pipeInput.IsOpen()) return r.emplace<NmeaReader>().Open(start.pipeInput);
    return r.emplace<NmeaReader>().Open(path);
}

template <CsvLayout layout>
bool OpenCsv(TrackReaders& r, const std::string& path, const ReaderStart& start, bool) {
    return r.emplace<CsvReader>().Open(path, layout, start.settings, start.clock);
}

bool OpenPot(TrackReaders& r, const std::string& path, const ReaderStart& start, bool) {
    return r.emplace<PotReader>().Open(path, start.settings);
}

bool OpenGpx(TrackReaders& r, const std::string& path, const ReaderStart&, bool) {
    return r.emplace<GpxReader>().Open(path);
}

template <bool line>
bool OpenKml(TrackReaders& r, const std::string& path, const ReaderStart& start, bool toCsvCustom) {
    return r.emplace<KmlReader>().Open(path, {.line = line, .toCsvCustom = toCsvCustom}, start.settings, start.clock);
}

bool OpenFit(TrackReaders& r, const std::string& path, const ReaderStart&, bool) {
    return r.emplace<FitReader>().Open(path);
}

constexpr FamilyKmlPasses kNoKmlPasses{false, TrackSource::Nmea, false, nullptr};

constexpr std::array<InputFamily, 9> kInputFamilies = {{
    {ModeKind::Nmea, OpenNmea, CountRule::Fixes, true,
     {Acceptance::Emitter, InputOrigin::Nmea},
     {true, TrackSource::Nmea, true, nullptr}},
    {ModeKind::CsvFull, OpenCsv<CsvLayout::Full>, CountRule::Records, false,
     {Acceptance::Emitter, InputOrigin::CsvFull},
     {true, TrackSource::Csv, true, nullptr}},
    {ModeKind::CsvCustom, OpenCsv<CsvLayout::Custom>, CountRule::Records, false,
     {Acceptance::RecordRange, InputOrigin::Nmea},
     {true, TrackSource::Csv, false, nullptr}},
    {ModeKind::Pot, OpenPot, CountRule::Records, false,
     {Acceptance::RecordRange, InputOrigin::Nmea},
     {true, TrackSource::PotGpx, false, &TrackPoint::ExtendData}},
    {ModeKind::Gpx, OpenGpx, CountRule::Records, false,
     {Acceptance::RecordRange, InputOrigin::Nmea},
     {true, TrackSource::PotGpx, false, &TrackPoint::PointName}},
    {ModeKind::KmlLine, OpenKml<true>, CountRule::Records, false,
     {Acceptance::Nothing, InputOrigin::Nmea}, kNoKmlPasses},
    {ModeKind::KmlPoint, OpenKml<false>, CountRule::Records, false,
     {Acceptance::Nothing, InputOrigin::Nmea}, kNoKmlPasses},
    {ModeKind::Photo, nullptr, CountRule::Records, false,
     {Acceptance::Nothing, InputOrigin::Nmea}, kNoKmlPasses},
    {ModeKind::Fit, OpenFit, CountRule::Records, false,
     {Acceptance::RecordRange, InputOrigin::Nmea},
     {true, TrackSource::PotGpx, false, &TrackPoint::ExtendData}},
}};

// The rows stand in the order of ModeKind, so a family is found by its value.
constexpr bool RowsInKindOrder() {
    for (size_t i = 0; i < kInputFamilies.size(); ++i) {
        if (static_cast<size_t>(kInputFamilies[i].kind) != i) return false;
    }
    return true;
}
static_assert(RowsInKindOrder());

}  // namespace

const InputFamily& FamilyOf(ModeKind kind) { return kInputFamilies[static_cast<size_t>(kind)]; }

}  // namespace geoplait
