// Fuzz targets for the CSV Full, CSV Custom, POT, GPX, KML and FIT readers, one
// program per reader (GEOPLAIT_FUZZ_READER picks it when built). The bytes
// are read as a file, record by record as a run reads it; the line formats
// also go straight into their line parsers. The first bytes choose the
// settings that steer the reader (CSV Custom columns and notations, KML
// variant), so one corpus covers them all. Every record must hold whole
// values: hemisphere letters where the reader sets them, unsigned degrees,
// no line ends, and no more records than the input could hold. The records
// then go through the writers of the modes that make XML of this input (GPX
// route points; KML placemarks and path), and what they wrote must be valid
// UTF-8 and well-formed XML. A GPX document is also read with its plain
// points apart and by the parser alone, and the two reads must agree.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "geo/time_difference.h"
#include "readers/csv_reader.h"
#include "readers/fit_reader.h"
#include "readers/gpx_reader.h"
#include "readers/kml_reader.h"
#include "readers/pot_reader.h"
#include "memory_file.h"
#include "xml_output.h"

namespace {

using namespace geoplait;

enum Reader { kCsvFull, kCsvCustom, kPot, kGpx, kKml, kFit };

class SilentUi : public UserInterface {
public:
    void Show(const NoticeText&) override {}
    bool Ask(const NoticeText&) override { return true; }
    void SetMessageLine(const std::string&) override {}
    void SetStatusLine(const std::string&) override {}
};

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool IsLetter(const std::string& s, const char* letters) {
    return s.size() == 1 && (s[0] == letters[0] || s[0] == letters[1]);
}

void CheckRecord(const TrackPoint& p, Reader reader) {
    if (reader == kCsvFull) return;  // its columns are taken as they stand
    // A NUL byte of a line file passes through as it stands; XML has none, so
    // one there would be the reader's own end-of-coordinates mark.
    const std::string_view breaks("\r\n\0", reader == kGpx || reader == kKml ? 3 : 2);
    for (const std::string* f : {&p.GgaLatitude, &p.GgaLongitude,
                                 &p.RmcTime, &p.RmcDate, &p.GgaAltitude, &p.PointName, &p.ExtendData}) {
        Require(f->find_first_of(breaks) == std::string::npos, "line end in a value");
    }
    if (reader == kGpx || reader == kKml) {
        Require(IsLetter(p.GgaNS, "NS") && p.GgaNS == p.RmcNS, "latitude letter");
        Require(IsLetter(p.GgaEW, "EW") && p.GgaEW == p.RmcEW, "longitude letter");
        Require(p.RmcDate.empty() || p.RmcDate.size() == 6, "date of six digits");
        Require(p.PointName.size() <= 4 * 49 || reader == kKml, "name cut");
    }
    // A POT point has no speed: the track gives it one after reading.
    if (reader == kPot) Require(p.RmcSpeed.empty(), "POT speed");
    // What is left of a time and a date is a time of day and a calendar day,
    // or nothing ("000000" is the unknown date).
    Require(p.RmcTime.empty() || IsTimeOfDay(p.RmcTime), "time of day");
    Require(p.RmcDate.empty() || p.RmcDate == "000000" || IsCalendarDate(p.RmcDate), "calendar day");
    // The record's time: a time of day within its day, a date of the century.
    Require(!p.Time.timeKnown || p.Time.HasTimeOfDay(), "time within the day");
    Require(p.Time.date != DateKind::Known || (p.Time.day >= DaysFromCivil(2000, 1, 1) && p.Time.day <= DaysFromCivil(2099, 12, 31)),
            "date of 2000-2099");
}

// Settings from the first bytes: column positions 0-9 and the notations.
void Steer(ConvertSettings& s, std::string_view bytes) {
    const auto at = [&](size_t i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u; };
    int ConvertSettings::* const positions[] = {
        &ConvertSettings::Imput_Latitude_ns, &ConvertSettings::Imput_Latitude, &ConvertSettings::Imput_Longitude_ew,
        &ConvertSettings::Imput_Longitude,   &ConvertSettings::Imput_Altitude, &ConvertSettings::Imput_Date,
        &ConvertSettings::Imput_Time,        &ConvertSettings::Imput_Speed,    &ConvertSettings::Imput_Degrees};
    for (size_t i = 0; i < std::size(positions); ++i) s.*positions[i] = static_cast<int>(at(i) % 11);
    const char* const notations[] = {"dd.dddddd", "ddmm.mmmm", "ddmmss.ss"};
    const char* const dates[] = {"ddmmyy", "yymmdd", "yyyy/mm/dd"};
    const char* const times[] = {"hhmmss UTC", "hhmmss UTC+Diff", "hh:mm:ss UTC+Diff"};
    s.Imput_Latitude_dms = notations[at(9) % 3];
    s.Imput_Longitude_dms = notations[at(9) / 3 % 3];
    s.Imput_Date_ymd = dates[at(9) / 9 % 3];
    s.Imput_Time_hms = times[at(9) / 27 % 3];
    s.Imput_Speed_nk = at(9) & 0x80 ? "km" : "knots";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr Reader reader = GEOPLAIT_FUZZ_READER;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ConvertSettings settings;
    Steer(settings, bytes);
    const int32_t timeDifference = size > 10 ? (data[10] % 2 ? -93000 : 90000) : 0;
    TrackPoint point;

    // The first line, as the text reader hands it over.
    const size_t lineEnd = bytes.find('\n');
    const std::string_view line = lineEnd == std::string_view::npos ? bytes : bytes.substr(0, lineEnd + 1);
    if (reader == kCsvFull) ParseCsvFullLine(line, point);
    if (reader == kCsvCustom) {
        CsvCoordinateTexts coordinates;
        ParseCsvCustomLine(line, DecodeCsvCustomFormat(settings), settings, timeDifference, point, coordinates);
        CheckRecord(point, reader);
    }
    if (reader == kPot) {
        ParsePotLine(line, settings, point);
        CheckRecord(point, reader);
    }

    WriteMemoryFile(data, size);
    CsvReader csv;
    PotReader pot;
    GpxReader gpx;
    KmlReader kml;
    FitReader fit;
    const KmlVariant variant{size > 11 && data[11] % 2 == 0, size > 11 && data[11] % 4 >= 2};
    bool opened = false;
    if (reader == kCsvFull || reader == kCsvCustom) {
        opened = csv.Open(MemoryFilePath(), reader == kCsvFull ? CsvLayout::Full : CsvLayout::Custom, settings,
                          timeDifference);
    } else if (reader == kPot) {
        opened = pot.Open(MemoryFilePath(), settings);
    } else if (reader == kGpx) {
        opened = gpx.Open(MemoryFilePath());
    } else if (reader == kFit) {
        opened = fit.Open(MemoryFilePath());
    } else {
        opened = kml.Open(MemoryFilePath(), variant, settings, timeDifference);
    }
    Require(opened, "open");
    size_t records = 0;
    for (;;) {
        ClearTrackPoint(point);
        bool more = false;
        if (reader == kCsvFull || reader == kCsvCustom) more = csv.Next(point);
        if (reader == kPot) more = pot.Next(point);
        if (reader == kGpx) more = gpx.Next(point);
        if (reader == kKml) more = kml.Next(point);
        if (reader == kFit) more = fit.Next(point);
        if (!more) break;
        CheckRecord(point, reader);
        // A record takes at least one byte of a line, or a few of a tuple or an element.
        Require(++records <= size + 1, "more records than the input holds");
    }
    // Every dropped tuple took a few bytes of the document.
    Require(static_cast<size_t>(kml.Dropped()) <= size, "more dropped tuples than the input holds");

    // GPX points read by the plain scan are those the parser alone reads,
    // with the same input counts and the same error.
    if (reader == kGpx) {
        GpxReader scanned;
        GpxReader parsed;
        Require(scanned.Open(MemoryFilePath()) && parsed.Open(MemoryFilePath(), GpxScan::kParserOnly), "open twice");
        TrackPoint other;
        for (;;) {
            ClearTrackPoint(point);
            ClearTrackPoint(other);
            const bool more = scanned.Next(point);
            Require(more == parsed.Next(other), "as many GPX points either way");
            if (!more) break;
            Require(scanned.BytesRead() == parsed.BytesRead(), "GPX input count");
            for (const auto field : {&TrackPoint::GgaNS, &TrackPoint::GgaEW, &TrackPoint::GgaAltitude,
                                     &TrackPoint::RmcSpeed, &TrackPoint::RmcCourse, &TrackPoint::GgaSatellites,
                                     &TrackPoint::PointName}) {
                Require(point.*field == other.*field, "GPX value");
            }
            Require(point.Position == other.Position && point.Time == other.Time, "GPX position and time");
        }
        Require(scanned.Error() == parsed.Error(), "GPX error");
    }

    // The same records, read again for each pass, through the XML writers.
    Settings runSettings;
    SilentUi ui;
    RunContext ctx(runSettings, ui);
    ctx.Current() = settings;
    ctx.run.TimeDifferenceValue = timeDifference;
    ShowEveryText(ctx.Current());
    const auto readRecords = [&](const auto& take) {
        CsvReader csvAgain;
        PotReader potAgain;
        GpxReader gpxAgain;
        KmlReader kmlAgain;
        FitReader fitAgain;
        bool reopened = false;
        if (reader == kCsvFull || reader == kCsvCustom) {
            reopened = csvAgain.Open(MemoryFilePath(), reader == kCsvFull ? CsvLayout::Full : CsvLayout::Custom,
                                     settings, timeDifference);
        } else if (reader == kPot) {
            reopened = potAgain.Open(MemoryFilePath(), settings);
        } else if (reader == kGpx) {
            reopened = gpxAgain.Open(MemoryFilePath());
        } else if (reader == kFit) {
            reopened = fitAgain.Open(MemoryFilePath());
        } else {
            reopened = kmlAgain.Open(MemoryFilePath(), variant, settings, timeDifference);
        }
        Require(reopened, "open again");
        for (;;) {
            ClearTrackPoint(ctx.point);
            bool more = false;
            if (reader == kCsvFull || reader == kCsvCustom) more = csvAgain.Next(ctx.point);
            if (reader == kPot) more = potAgain.Next(ctx.point);
            if (reader == kGpx) more = gpxAgain.Next(ctx.point);
            if (reader == kKml) more = kmlAgain.Next(ctx.point);
            if (reader == kFit) more = fitAgain.Next(ctx.point);
            if (!more) break;
            take(ctx);
        }
    };
    // Every input but GPX may become a GPX route; every input but KML a KML document.
    if (reader != kGpx) CheckGpxOutput(ctx, readRecords);
    if (reader != kKml) {
        const TrackSource source =
            reader == kPot || reader == kGpx || reader == kFit ? TrackSource::PotGpx : TrackSource::Csv;
        std::string TrackPoint::*const name = reader == kPot || reader == kFit ? &TrackPoint::ExtendData
                                              : reader == kGpx ? &TrackPoint::PointName
                                                               : nullptr;
        CheckKmlOutput(ctx, source, name, readRecords);
    }
    return 0;
}
