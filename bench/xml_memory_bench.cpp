// geoplait-memory-bench [DIR]: the memory bounds of the XML readers on large
// and hostile documents. Each case's file is generated in DIR (default: a
// fresh directory under /tmp, removed at the end), read by its reader in a
// child process, and the child's peak resident memory (wait4) and time are
// printed with the bound; the program exits 1 when a case exceeds its bound
// or reads other than expected.
//
//   build/release/bench/geoplait-memory-bench
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "engine/track_point.h"
#include "settings/convert_settings.h"
#include "readers/gpx_reader.h"
#include "readers/kml_reader.h"

namespace {

using namespace geoplait;
namespace fs = std::filesystem;

struct Case {
    const char* name;
    const char* reader;  // "kml-line" or "gpx"
    long boundKiB;       // peak resident memory of the reading process
    long long records;   // records the reader must give
    bool broken;         // the reader must report the document broken
    std::function<void(std::FILE*)> write;
};

void Repeat(std::FILE* f, const char* text, long long times) {
    for (long long i = 0; i < times; ++i) std::fputs(text, f);
}

// `tuples` distinct tuples on one line, as Google Earth and GDAL write a path.
void Tuples(std::FILE* f, long long first, long long tuples) {
    for (long long i = first; i < first + tuples; ++i) {
        std::fprintf(f, "%s%.6f,%.6f,%lld", i == first ? "" : " ", 139.0 + static_cast<double>(i) * 1e-7,
                     35.0 + static_cast<double>(i) * 1e-7, i % 1000);
    }
}

constexpr long long kLongPath = 1400000;  // about 33 MB on one line

const Case kCases[] = {
    {"kml one-line path, time stamp after it (33 MB)", "kml-line", 16 * 1024, kLongPath, false,
     [](std::FILE* f) {
         std::fputs("<?xml version=\"1.0\"?>\n<kml><Document><Placemark><name>path</name><LineString><coordinates>", f);
         Tuples(f, 0, kLongPath);
         std::fputs("</coordinates></LineString><TimeStamp><when>2024-01-01T00:00:00Z</when></TimeStamp>"
                    "</Placemark></Document></kml>\n",
                    f);
     }},
    {"kml 400 undated paths of 5000 tuples (64 MB)", "kml-line", 16 * 1024, 400 * 5000LL, false,
     [](std::FILE* f) {
         std::fputs("<?xml version=\"1.0\"?>\n<kml><Document>\n", f);
         for (long long p = 0; p < 400; ++p) {
             std::fputs("<Placemark><name>path</name><LineString><coordinates>\n", f);
             Tuples(f, p * 5000, 5000);
             std::fputs("\n</coordinates></LineString></Placemark>\n", f);
         }
         std::fputs("</Document></kml>\n", f);
     }},
    {"kml 35 MB of nested elements", "kml-line", 16 * 1024, 0, true,
     [](std::FILE* f) {
         std::fputs("<kml>", f);
         Repeat(f, "<Folder>", 35 << 20 >> 3);
     }},
    {"gpx 100 MB attribute", "gpx", 64 * 1024, 1, true,
     [](std::FILE* f) {
         std::fputs("<?xml version=\"1.0\"?>\n<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"2\"/>\n<trkpt lat=\"3\" lon=\"4\" x=\"", f);
         Repeat(f, "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
                1000000);
         std::fputs("\"/></trkseg></trk></gpx>\n", f);
     }},
};

// In the child: reads the file, exits 0 when records and brokenness are as expected.
int ReadCase(const Case& c, const std::string& path) {
    const ConvertSettings defaults;
    TrackPoint point;
    long long records = 0;
    std::string error;
    if (std::string(c.reader) == "gpx") {
        GpxReader reader;
        if (!reader.Open(path)) return 3;
        for (ClearTrackPoint(point); reader.Next(point); ClearTrackPoint(point)) ++records;
        error = reader.Error();
    } else {
        KmlReader reader;
        if (!reader.Open(path, {.line = true, .toCsvCustom = false}, defaults, 0)) return 3;
        for (ClearTrackPoint(point); reader.Next(point); ClearTrackPoint(point)) ++records;
        error = reader.Error();
    }
    std::fprintf(stderr, "    %lld records%s%s\n", records, error.empty() ? "" : ", broken: ", error.c_str());
    return records == c.records && error.empty() != c.broken ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    const bool ownDir = argc < 2;
    fs::path dir = ownDir ? fs::temp_directory_path() / ("geoplait-memory-bench-" + std::to_string(getpid()))
                          : fs::path(argv[1]);
    fs::create_directories(dir);
    int failures = 0;
    std::printf("%-50s %10s %10s %8s\n", "case", "peak KiB", "bound KiB", "seconds");
    for (const Case& c : kCases) {
        const std::string path = (dir / "case.xml").string();
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (f == nullptr) {
            std::perror(path.c_str());
            return 1;
        }
        c.write(f);
        std::fclose(f);
        std::fflush(stdout);
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) _exit(ReadCase(c, path));
        int status = 0;
        struct rusage usage {};
        wait4(child, &status, 0, &usage);
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        const bool read = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        const bool bounded = usage.ru_maxrss <= c.boundKiB;
        std::printf("%-50s %10ld %10ld %8.2f%s%s\n", c.name, usage.ru_maxrss, c.boundKiB, seconds.count(),
                    bounded ? "" : "  OVER BOUND", read ? "" : "  WRONG READING");
        if (!read || !bounded) ++failures;
        fs::remove(path);
    }
    if (ownDir) fs::remove_all(dir);
    return failures == 0 ? 0 : 1;
}
