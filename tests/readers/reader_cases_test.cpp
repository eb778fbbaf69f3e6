// Reader cases: every directory under tests/data/readers/ holding `options`.
// Its first line names the reader (csv-full, csv-custom, pot, gpx, kml-line,
// kml-point, kml-line-csv, kml-point-csv, fit); further lines are settings-file
// lines, or "input=PATH" to read another case's input instead of its own
// input*. The input is read as a run reads it (the record cleared before each
// record), and the dump (one line per record with its non-empty fields, then
// OmitCount and the reader's error) is compared with `expected`; the same
// bytes read from a pipe must give the same dump.
// GEOPLAIT_UPDATE_GOLDEN=1 writes the dumps into `expected`.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "geo/time_difference.h"
#include "readers/csv_reader.h"
#include "readers/fit_reader.h"
#include "readers/gpx_reader.h"
#include "readers/kml_reader.h"
#include "readers/pot_reader.h"
#include "settings/settings_file.h"
#include "support/fed_pipe.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

namespace fs = std::filesystem;

#define F(name) {#name, &TrackPoint::name}
constexpr std::pair<const char*, std::string TrackPoint::*> kFields[] = {
    F(GgaId), F(GgaTime), F(GgaLatitude), F(GgaNS), F(GgaLongitude), F(GgaEW), F(GgaQuality),
    F(GgaSatellites), F(GgaDilution), F(GgaAltitude), F(GgaAltitudeUnit), F(GgaGeoid), F(GgaGeoidUnit),
    F(GgaDgpsAge), F(GgaDgpsStation), F(RmcId), F(RmcTime), F(RmcStatus), F(RmcLatitude), F(RmcNS),
    F(RmcLongitude), F(RmcEW), F(RmcSpeed), F(RmcCourse), F(RmcDate), F(RmcMagVar), F(RmcMagVarEW),
    F(LocalDate), F(LocalTime), F(CsvReserved), F(PointName), F(ExtendData)};
#undef F

fs::path CaseRoot() { return fs::path(GEOPLAIT_TEST_DATA) / "readers"; }

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(CaseRoot(), ec)) {
        if (fs::exists(entry.path() / "options")) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The record's fields; its positions as the NMEA outputs write them.
std::string Dump(const TrackPoint& record, int number) {
    TrackPoint p = record;
    std::string scratch;
    p.GgaLatitude = NmeaTextOf(record.GgaLatitude, record.GgaPosition, record.GgaPosition.latitude, scratch);
    p.GgaLongitude = NmeaTextOf(record.GgaLongitude, record.GgaPosition, record.GgaPosition.longitude, scratch);
    p.RmcLatitude = NmeaTextOf(record.RmcLatitude, record.Position, record.Position.latitude, scratch);
    p.RmcLongitude = NmeaTextOf(record.RmcLongitude, record.Position, record.Position.longitude, scratch);
    std::string line = std::to_string(number) + ":";
    for (const auto& [name, field] : kFields) {
        if (!(p.*field).empty()) line += std::string(" ") + name + "=" + p.*field;
    }
    return line + "\n";
}

// Reads the whole input with the reader the options name (through a pipe
// with `throughPipe`).
std::string ReadCase(const fs::path& dir, bool throughPipe = false) {
    std::vector<std::string> options;
    std::string text = test::ReadFileBytes((dir / "options").string());
    for (size_t pos = 0, end; pos < text.size(); pos = end + 1) {
        end = std::min(text.find('\n', pos), text.size());
        options.push_back(text.substr(pos, end - pos));
    }
    std::string input;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().filename().string().starts_with("input")) input = entry.path().string();
    }
    // The same bytes through a pipe, which is read once and cannot seek.
    std::optional<test::FedPipe> pipe;
    if (throughPipe) {
        pipe.emplace(test::ReadFileBytes(input));
        input = pipe->Path();
    }
    Settings settings;
    SetDefaultSettings(settings);
    for (size_t i = 1; i < options.size(); ++i) {
        // "input=PATH": the input of another case, read another way.
        if (options[i].starts_with("input=")) input = (dir / options[i].substr(6)).string();
        ApplySettingsLine(settings, options[i], LoadPass::AllKeys);
    }
    ApplyBaselineSettings(settings);
    const ConvertSettings& s = settings.current;
    const int32_t timeDifference = TimeDifferenceValue(s.TimeDifference, 0);
    TrackPoint point;

    const std::string& kind = options.at(0);
    CsvReader csv;
    PotReader pot;
    GpxReader gpx;
    KmlReader kml;
    FitReader fit;
    bool opened = false;
    std::function<bool()> next;
    if (kind == "csv-full" || kind == "csv-custom") {
        opened = csv.Open(input, kind == "csv-full" ? CsvLayout::Full : CsvLayout::Custom, s, timeDifference);
        next = [&] { return csv.Next(point); };
    } else if (kind == "pot") {
        opened = pot.Open(input, s);
        next = [&] { return pot.Next(point); };
    } else if (kind == "gpx") {
        opened = gpx.Open(input);
        next = [&] { return gpx.Next(point); };
    } else if (kind.starts_with("kml-")) {
        opened = kml.Open(input, {kind.starts_with("kml-line"), kind.ends_with("-csv")}, s, timeDifference);
        next = [&] { return kml.Next(point); };
    } else if (kind == "fit") {
        opened = fit.Open(input);
        next = [&] { return fit.Next(point); };
    }
    if (!opened) return "cannot open " + input + " as " + kind + "\n";
    std::string dump;
    for (int number = 1;; ++number) {
        ClearTrackPoint(point);
        if (!next()) break;
        dump += Dump(point, number);
    }
    // The tuples dropped, as a run adds them to its OmitCount.
    dump += "OmitCount=" + std::to_string(kml.Dropped()) + "\n";
    const std::string& error = kind == "gpx" ? gpx.Error() : kind == "fit" ? fit.Error() : kml.Error();
    if (!error.empty()) dump += "Error=" + error + "\n";
    return dump;
}

class ReaderCase : public ::testing::TestWithParam<std::string> {};

TEST_P(ReaderCase, MatchesExpected) {
    const fs::path dir = CaseRoot() / GetParam();
    const std::string dump = ReadCase(dir);
    const char* update = std::getenv("GEOPLAIT_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        test::WriteFileBytes((dir / "expected").string(), dump);
        return;
    }
    ASSERT_TRUE(fs::exists(dir / "expected")) << "make it with GEOPLAIT_UPDATE_GOLDEN=1 and check it by hand";
    EXPECT_EQ(dump, test::ReadFileBytes((dir / "expected").string()));
    EXPECT_EQ(ReadCase(dir, true), dump) << "read from a pipe";
}

std::string CaseTestName(const ::testing::TestParamInfo<std::string>& param) {
    std::string name = param.param;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, ReaderCase, ::testing::ValuesIn(CaseNames()), CaseTestName);

}  // namespace
}  // namespace geoplait
