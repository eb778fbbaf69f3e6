// Fuzz target for the NMEA reader: the bytes are read as a log file (through
// the text reader, so UTF-16 and long lines are covered) and, directly, as one
// line for the sentence parsers. Every record must hold only whole fields.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/run_context.h"
#include "base/text_file.h"
#include "engine/track_point.h"
#include "readers/nmea_reader.h"
#include "memory_file.h"

namespace {

using namespace geoplait;

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

// A parsed field never spans a separator or a line end.
void CheckField(const std::string& field) {
    Require(field.find_first_of(",\r\n") == std::string::npos, "field holds a separator");
}

void CheckRecord(const TrackPoint& p) {
    Require(p.GgaId.empty() || p.GgaId == "$GPGGA", "GgaId");
    Require(p.RmcId.empty() || p.RmcId == "$GPRMC", "RmcId");
    for (const std::string* f :
         {&p.GgaTime, &p.GgaLatitude, &p.GgaNS, &p.GgaLongitude, &p.GgaEW, &p.GgaQuality,
          &p.GgaSatellites, &p.GgaDilution, &p.GgaAltitude, &p.GgaAltitudeUnit, &p.GgaGeoid,
          &p.GgaGeoidUnit, &p.GgaDgpsAge, &p.GgaDgpsStation, &p.RmcTime, &p.RmcStatus,
          &p.RmcLatitude, &p.RmcNS, &p.RmcLongitude, &p.RmcEW, &p.RmcSpeed, &p.RmcCourse,
          &p.RmcDate, &p.RmcMagVar, &p.RmcMagVarEW}) {
        CheckField(*f);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // One line straight into the parsers, from an empty and from a full record.
    TrackPoint point;
    ParseGga(bytes, point);
    ParseRmc(bytes, point);
    ParseGga(bytes, point);
    CheckRecord(point);

    // The whole log as a run reads it.
    WriteMemoryFile(data, size);
    Settings settings;
    SilentUi ui;
    RunContext ctx(settings, ui);
    TextReader input(MemoryFilePath());
    Require(input.IsOpen(), "open");
    std::string first;
    if (input.ReadLine(first, 4096)) ctx.run.FirstSentenceId = std::string(SentenceIdOf(first));
    input.Rewind();
    int64_t calls = 0;
    ReadNmeaEpochs(input, ctx, [&](RunContext& c) {
        ++calls;
        CheckRecord(c.point);
        ClearTrackPoint(c.point);
    });
    Require(calls >= 1, "at least one call");
    return 0;
}
