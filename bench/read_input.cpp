// geoplait-read READER FILE [--positions]: reads FILE with one of the readers
// (gpx, kml-line, kml-point, csv-full, csv-custom, pot), as a run would,
// and prints the number of records, the tuples dropped (a run's OmitCount)
// and the reading time; with
// --positions, every record's signed decimal latitude and longitude and its
// UTC date and time first, one a line, to compare with what other programs
// read from the same file. Time a reader alone with /usr/bin/time -v.
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "readers/csv_reader.h"
#include "readers/gpx_reader.h"
#include "readers/kml_reader.h"
#include "readers/pot_reader.h"

namespace {

using namespace geoplait;

// "-33.870000" from the unsigned degrees and the hemisphere letter.
void PrintPosition(const TrackPoint& p) {
    std::string latitude;
    std::string longitude;
    DegreesText(p.Position, p.Position.latitude, latitude);
    DegreesText(p.Position, p.Position.longitude, longitude);
    std::printf("%s%s,%s%s,%s,%s\n", p.RmcNS == "S" ? "-" : "", latitude.c_str(), p.RmcEW == "W" ? "-" : "",
                longitude.c_str(), p.RmcDate.c_str(), p.RmcTime.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: geoplait-read gpx|kml-line|kml-point|csv-full|csv-custom|pot FILE [--positions]\n");
        return 2;
    }
    const std::string kind = argv[1];
    const std::string path = argv[2];
    const bool positions = argc > 3 && std::strcmp(argv[3], "--positions") == 0;

    const ConvertSettings settings;
    const int32_t timeDifference = 0;  // times without a zone are taken as UTC
    TrackPoint point;
    CsvReader csv;
    PotReader pot;
    GpxReader gpx;
    KmlReader kml;
    bool opened = false;
    std::function<bool()> next;
    const std::string* error = nullptr;
    if (kind == "gpx") {
        opened = gpx.Open(path);
        next = [&] { return gpx.Next(point); };
        error = &gpx.Error();
    } else if (kind == "kml-line" || kind == "kml-point") {
        opened = kml.Open(path, {kind == "kml-line", false}, settings, timeDifference);
        next = [&] { return kml.Next(point); };
        error = &kml.Error();
    } else if (kind == "csv-full" || kind == "csv-custom") {
        opened = csv.Open(path, kind == "csv-full" ? CsvLayout::Full : CsvLayout::Custom, settings,
                          timeDifference);
        next = [&] { return csv.Next(point); };
    } else if (kind == "pot") {
        opened = pot.Open(path, settings);
        next = [&] { return pot.Next(point); };
    }
    if (!opened) {
        std::fprintf(stderr, "geoplait-read: cannot open %s as %s\n", path.c_str(), kind.c_str());
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    long long records = 0;
    for (;;) {
        ClearTrackPoint(point);
        if (!next()) break;
        ++records;
        if (positions) PrintPosition(point);
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::fprintf(stderr, "records %lld, omitted %d, %.3f s\n", records, kml.Dropped(), seconds.count());
    if (error != nullptr && !error->empty()) {
        std::fprintf(stderr, "error: %s\n", error->c_str());
        return 1;
    }
    return 0;
}
