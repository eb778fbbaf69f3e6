// Fuzz target for the NMEA reader: the bytes are read as a log file (through
// the text reader, so UTF-16 and long lines are covered) and, directly, as one
// line for the sentence parsers. Every record must hold only whole fields,
// and the GPX route and KML document written from the records must be valid
// UTF-8 and well-formed XML.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/text_file.h"
#include "engine/track_point.h"
#include "readers/nmea_reader.h"
#include "readers/nmea_scan.h"
#include "memory_file.h"
#include "xml_output.h"

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
    // "$GPGGA", "$GNGGA", ...: only GGA and RMC sentences of known talkers are parsed.
    Require(p.GgaId.empty() || IsGgaId(p.GgaId), "GgaId");
    Require(p.RmcId.empty() || IsRmcId(p.RmcId), "RmcId");
    for (const std::string* f :
         {&p.GgaTime, &p.GgaLatitude, &p.GgaNS, &p.GgaLongitude, &p.GgaEW, &p.GgaQuality,
          &p.GgaSatellites, &p.GgaDilution, &p.GgaAltitude, &p.GgaAltitudeUnit, &p.GgaGeoid,
          &p.GgaGeoidUnit, &p.GgaDgpsAge, &p.GgaDgpsStation, &p.RmcTime, &p.RmcStatus,
          &p.RmcLatitude, &p.RmcNS, &p.RmcLongitude, &p.RmcEW, &p.RmcSpeed, &p.RmcCourse,
          &p.RmcDate, &p.RmcMagVar, &p.RmcMagVarEW}) {
        CheckField(*f);
    }
}

// The one pass over a sentence against the plain rules: field k the text
// after the k-th "," (one within the first 2048 characters) up to the next
// ",", CR or LF; the checksum of the bytes between the first byte and the
// first "*", which two hexadecimal digits and line ends only must follow.
void CheckScan(std::string_view text) {
    SentenceScan scan;
    ScanSentence(text, true, scan);
    size_t k = 0;
    for (size_t comma = text.find(','); comma != std::string_view::npos && k < SentenceScan::kMaxFields;
         comma = text.find(',', comma + 1)) {
        if (!WithinFieldScan(text, comma)) break;
        ++k;
        size_t end = comma + 1;
        while (end < text.size() && text[end] != ',' && text[end] != '\r' && text[end] != '\n') ++end;
        Require(k <= scan.fields && scan.Field(text, k) == text.substr(comma + 1, end - comma - 1), "scanned field");
    }
    Require(scan.fields == k, "scanned field count");
    bool fails = false;
    const size_t star = text.find('*');
    if (star != std::string_view::npos) {
        unsigned sum = 0;
        for (size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(text[i]);
        std::string_view tail = text.substr(star + 1);
        while (!tail.empty() && (tail.back() == '\r' || tail.back() == '\n')) tail.remove_suffix(1);
        const auto hex = [](char c) {
            return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        };
        fails = tail.size() != 2 || hex(tail[0]) < 0 || hex(tail[1]) < 0 ||
                static_cast<unsigned>(hex(tail[0]) * 16 + hex(tail[1])) != sum;
    }
    Require(scan.failsChecksum == fails, "scanned checksum");
    SentenceScan alone;
    ScanSentence(text, false, alone);
    Require(alone.failsChecksum == fails, "checksum alone");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    CheckScan(bytes);

    // One line straight into the parsers, from an empty and from a full record.
    TrackPoint point;
    ParseGga(bytes, point);
    ParseRmc(bytes, point);
    ParseGga(bytes, point);
    CheckRecord(point);

    // The whole log as a run reads it.
    WriteMemoryFile(data, size);
    NmeaReader reader;
    Require(reader.Open(MemoryFilePath()), "open");
    int64_t epochs = 0;
    point = TrackPoint{};
    while (reader.Next(point)) {
        ++epochs;
        CheckRecord(point);
        ClearTrackPoint(point);
        // An epoch takes at least one line, and there is one more after the last.
        Require(epochs <= static_cast<int64_t>(size) + 1, "more epochs than the log holds");
    }
    Require(epochs >= 1, "at least one epoch");
    Require(!reader.Next(point), "the end stays the end");

    Settings settings;
    SilentUi ui;
    RunContext ctx(settings, ui);
    const auto readRecords = [&](const auto& take) {
        NmeaReader again;
        Require(again.Open(MemoryFilePath()), "open");
        ClearTrackPoint(ctx.point);
        while (again.Next(ctx.point)) {
            take(ctx);
            ClearTrackPoint(ctx.point);
        }
    };
    ShowEveryText(ctx.Current());
    CheckGpxOutput(ctx, readRecords);
    CheckKmlOutput(ctx, TrackSource::Nmea, nullptr, readRecords);
    return 0;
}
