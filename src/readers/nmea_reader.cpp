// NMEA 0183 log reader.
//
// A log is one sentence per line. Only GGA and RMC sentences are parsed, of
// GPS ("$GPGGA", "$GPRMC") and of the talkers of multi-system receivers
// ("$GNRMC", "$GLGGA", ...; an epoch may mix them); every other line only
// counts for the epoch boundary: an epoch starts at each line whose
// identifier equals the log's first one (the run's FirstSentenceId), or, when
// that is a GGA or RMC, at each GGA or RMC of any of these talkers (a
// receiver may change its talker when it starts using another system).
// Field k is the text after the k-th "," up to the next ",", CR or LF; a field
// whose "," lies beyond the first 2048 characters of the line is empty, a found
// field is taken whole. Checksums are neither verified nor removed: the last
// field of a sentence keeps its "*hh". Lines longer than 4095 characters
// arrive in pieces, each piece treated as a line of its own.
#include "readers/nmea_reader.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "base/text_encoding.h"
#include "geo/time_difference.h"
#include "readers/reader_text.h"

namespace geoplait {

namespace {

constexpr size_t kLineLimit = 4096;       // including the terminator
constexpr size_t kFieldScanLimit = 2048;  // characters in which a field's "," must lie

constexpr std::string_view kTalkers[] = {"GP", "GN", "GL", "GA", "GB", "BD", "GQ"};

constexpr size_t kGgaFieldCount = 14;
constexpr size_t kRmcFieldCount = 11;

// The record fields of fields 1..n, in sentence order.
constexpr std::array<std::string TrackPoint::*, kGgaFieldCount> kGgaFields = {
    &TrackPoint::GgaTime,       &TrackPoint::GgaLatitude,     &TrackPoint::GgaNS,
    &TrackPoint::GgaLongitude,  &TrackPoint::GgaEW,           &TrackPoint::GgaQuality,
    &TrackPoint::GgaSatellites, &TrackPoint::GgaDilution,     &TrackPoint::GgaAltitude,
    &TrackPoint::GgaAltitudeUnit, &TrackPoint::GgaGeoid,      &TrackPoint::GgaGeoidUnit,
    &TrackPoint::GgaDgpsAge,    &TrackPoint::GgaDgpsStation,
};
constexpr std::array<std::string TrackPoint::*, kRmcFieldCount> kRmcFields = {
    &TrackPoint::RmcTime,      &TrackPoint::RmcStatus, &TrackPoint::RmcLatitude,
    &TrackPoint::RmcNS,        &TrackPoint::RmcLongitude, &TrackPoint::RmcEW,
    &TrackPoint::RmcSpeed,     &TrackPoint::RmcCourse, &TrackPoint::RmcDate,
    &TrackPoint::RmcMagVar,    &TrackPoint::RmcMagVarEW,
};

// Where one side of the record is completed from the other: the target is
// filled with the source when it is still empty.
struct FillRule {
    std::string TrackPoint::*target;
    std::string TrackPoint::*source;  // nullptr: use `constant`
    const char* constant;
};

// After a GGA line: the RMC side, in this order.
constexpr std::array<FillRule, 8> kRmcFromGga = {{
    {&TrackPoint::RmcDate, nullptr, "000000"},
    {&TrackPoint::RmcSpeed, nullptr, "0"},
    {&TrackPoint::RmcCourse, nullptr, "0"},
    {&TrackPoint::RmcTime, &TrackPoint::GgaTime, nullptr},
    {&TrackPoint::RmcLatitude, &TrackPoint::GgaLatitude, nullptr},
    {&TrackPoint::RmcNS, &TrackPoint::GgaNS, nullptr},
    {&TrackPoint::RmcLongitude, &TrackPoint::GgaLongitude, nullptr},
    {&TrackPoint::RmcEW, &TrackPoint::GgaEW, nullptr},
}};

// After a RMC line: the GGA side.
constexpr std::array<FillRule, 5> kGgaFromRmc = {{
    {&TrackPoint::GgaTime, &TrackPoint::RmcTime, nullptr},
    {&TrackPoint::GgaLatitude, &TrackPoint::RmcLatitude, nullptr},
    {&TrackPoint::GgaNS, &TrackPoint::RmcNS, nullptr},
    {&TrackPoint::GgaLongitude, &TrackPoint::RmcLongitude, nullptr},
    {&TrackPoint::GgaEW, &TrackPoint::RmcEW, nullptr},
}};

// "," CR and LF are all at or below ",": one test passes the other characters.
bool EndsField(char c) {
    return static_cast<unsigned char>(c) <= ',' && (c == ',' || c == '\r' || c == '\n');
}

// Bytes of the 8-byte word v that equal c, each marked by its top bit; the
// lowest mark is exact (higher ones may be false after a match), which is
// all that finding the first match needs.
constexpr uint64_t MatchBytes(uint64_t v, char c) {
    const uint64_t x = v ^ (0x0101010101010101ULL * static_cast<unsigned char>(c));
    return (x - 0x0101010101010101ULL) & ~x & 0x8080808080808080ULL;
}

// Index of the first ",", CR or LF at or after i, or size. Eight bytes at a
// time where the line has them (in the byte order of a little-endian
// machine), then one by one.
size_t FieldEnd(const char* data, size_t i, size_t size) {
    if constexpr (std::endian::native == std::endian::little) {
        while (size - i >= 8) {
            uint64_t v = 0;
            std::memcpy(&v, data + i, 8);
            const uint64_t marks = MatchBytes(v, ',') | MatchBytes(v, '\r') | MatchBytes(v, '\n');
            if (marks != 0) return i + static_cast<size_t>(std::countr_zero(marks) / 8);
            i += 8;
        }
    }
    while (i < size && !EndsField(data[i])) ++i;
    return i;
}

// Whether the "," at byte `pos` lies within the first kFieldScanLimit
// characters. A byte index below the limit is a character index below it too,
// so only long lines need counting.
bool WithinScanLimit(std::string_view line, size_t pos) {
    return pos < kFieldScanLimit || Utf8CharCount(line.substr(0, pos)) < kFieldScanLimit;
}

// Assigns fields 1..N of the line to the record fields; absent fields empty.
template <size_t N>
void AssignFields(std::string_view line, TrackPoint& point,
                  const std::array<std::string TrackPoint::*, N>& targets) {
    const char* data = line.data();
    const size_t size = line.size();
    size_t comma = line.find(',');
    size_t k = 0;
    for (; k < N; ++k) {
        if (comma == std::string_view::npos || !WithinScanLimit(line, comma)) break;
        const size_t end = FieldEnd(data, comma + 1, size);
        (point.*targets[k]).assign(data + comma + 1, end - comma - 1);
        if (end < size && data[end] == ',') {
            comma = end;
        } else {
            // A lone CR inside the line ends the field, not the line.
            comma = end < size ? line.find(',', end) : std::string_view::npos;
        }
    }
    for (; k < N; ++k) (point.*targets[k]).clear();
}

template <size_t N>
void FillEmpty(TrackPoint& point, const std::array<FillRule, N>& rules) {
    for (const FillRule& rule : rules) {
        std::string& target = point.*rule.target;
        if (!target.empty()) continue;
        if (rule.source != nullptr) {
            target.assign(point.*rule.source);
        } else {
            target.assign(rule.constant);
        }
    }
}

// Inlined: once for every line of a log.
[[gnu::always_inline]] inline SentenceKind KindOf(std::string_view id) {
    if (id.size() != 6 || id[0] != '$') return SentenceKind::Other;
    const std::string_view sentence = id.substr(3);
    const SentenceKind kind = sentence == "GGA"   ? SentenceKind::Gga
                              : sentence == "RMC" ? SentenceKind::Rmc
                                                  : SentenceKind::Other;
    return kind != SentenceKind::Other && IsKnownTalker(id.substr(1, 2)) ? kind : SentenceKind::Other;
}

void ParseGgaWithId(std::string_view line, std::string_view id, TrackPoint& point) {
    point.GgaId.assign(id);
    AssignFields(line, point, kGgaFields);
    FillEmpty(point, kRmcFromGga);
}

void ParseRmcWithId(std::string_view line, std::string_view id, TrackPoint& point) {
    point.RmcId.assign(id);
    AssignFields(line, point, kRmcFields);
    FillEmpty(point, kGgaFromRmc);
}

uint64_t PackId(std::string_view id) {
    if (id.size() != 6) return 0;
    uint32_t head = 0;
    uint16_t tail = 0;
    std::memcpy(&head, id.data(), 4);
    std::memcpy(&tail, id.data() + 4, 2);
    return (static_cast<uint64_t>(tail) << 32) | head;
}

// Lines whose identifier passes `is` (IsRmcId, IsGgaId).
int32_t CountLinesWithId(TextReader& input, bool (*is)(std::string_view)) {
    int32_t count = 0;
    std::string_view line;
    while (input.ReadLine(line, kLineLimit)) {
        if (is(SentenceIdOf(line))) ++count;
    }
    return count;
}

bool IsZdaId(std::string_view id) {
    return id.size() == 6 && id[0] == '$' && id.substr(3) == "ZDA" && IsKnownTalker(id.substr(1, 2));
}

int32_t SecondsOfDay(std::string_view hhmmss) {
    const auto pair = [&](size_t i) { return (hhmmss[i] - '0') * 10 + (hhmmss[i + 1] - '0'); };
    return pair(0) * 3600 + pair(2) * 60 + pair(4);
}

void ReadZda(std::string_view line, NmeaZdaDate& zda) {
    std::string_view fields[4];
    size_t start = line.find(',');
    for (std::string_view& field : fields) {
        if (start == std::string_view::npos) return;
        const size_t end = FieldEnd(line.data(), start + 1, line.size());
        field = line.substr(start + 1, end - start - 1);
        start = end < line.size() && line[end] == ',' ? end : std::string_view::npos;
    }
    const auto allDigits = [](std::string_view text, size_t count) {
        if (text.size() != count) return false;
        for (char c : text) {
            if (c < '0' || c > '9') return false;
        }
        return true;
    };
    // The day, month and year fields, the year of four digits in 2000-2099.
    if (!allDigits(fields[1], 2) || !allDigits(fields[2], 2) || !allDigits(fields[3], 4) ||
        fields[3].substr(0, 2) != "20" || !IsTimeOfDay(fields[0])) {
        return;
    }
    const char date[7] = {fields[1][0], fields[1][1], fields[2][0], fields[2][1],
                          fields[3][2], fields[3][3], '\0'};
    if (!IsCalendarDate(std::string_view(date, 6))) return;
    std::memcpy(zda.date, date, sizeof date);
    zda.seconds = SecondsOfDay(fields[0]);
    zda.known = true;
}

// The epoch's times and position settled, and its date from the last ZDA
// when it had no RMC sentence of its own to date it. An epoch whose time of
// day lies more than half a day before the ZDA time is on the next day (a ZDA
// just before midnight).
void SettleEpoch(TrackPoint& point, const NmeaZdaDate& zda) {
    SettleRecord(point);
    // An epoch without RMC has no speed: the track gives it one.
    if (point.RmcId.empty() && !point.GgaId.empty()) point.RmcSpeed.clear();
    if (!zda.known || !point.RmcId.empty() || point.RmcDate != "000000" || point.RmcTime.empty()) return;
    point.RmcDate.assign(zda.date, 6);
    if (SecondsOfDay(point.RmcTime) + 43200 < zda.seconds) point.RmcDate = ShiftDate(point.RmcDate, 1);
}

}  // namespace

std::string_view SentenceIdOf(std::string_view line) {
    return line.substr(0, FieldEnd(line.data(), 0, line.size()));
}

bool IsKnownTalker(std::string_view talker) {
    for (std::string_view known : kTalkers) {
        if (talker == known) return true;
    }
    return false;
}

bool IsGgaId(std::string_view id) { return KindOf(id) == SentenceKind::Gga; }
bool IsRmcId(std::string_view id) { return KindOf(id) == SentenceKind::Rmc; }

bool StartsEpoch(std::string_view id, std::string_view firstId) {
    if (id == firstId) return true;
    const SentenceKind kind = KindOf(firstId);
    return kind != SentenceKind::Other && KindOf(id) == kind;
}

void ParseGga(std::string_view line, TrackPoint& point) {
    const std::string_view id = SentenceIdOf(line);
    if (IsGgaId(id)) ParseGgaWithId(line, id, point);
}

void ParseRmc(std::string_view line, TrackPoint& point) {
    const std::string_view id = SentenceIdOf(line);
    if (IsRmcId(id)) ParseRmcWithId(line, id, point);
}

bool NmeaReader::Open(const std::string& path, std::string_view firstId) {
    Reset(firstId);
    ended_ = !input_.Open(path);
    return !ended_;
}

bool NmeaReader::Open(TextReader& opened, std::string_view firstId) {
    Reset(firstId);
    input_.Adopt(opened);
    ended_ = !input_.IsOpen();
    return !ended_;
}

void NmeaReader::Reset(std::string_view firstId) {
    firstId_.assign(firstId);
    firstPacked_ = PackId(firstId_);
    firstKind_ = KindOf(firstId_);
    lineCount_ = 0;
    hasPending_ = false;
    pending_ = {};
    zda_ = {};
}

bool NmeaReader::IsFirstId(std::string_view id) const {
    if (id.size() != firstId_.size()) return false;
    return id.size() == 6 ? PackId(id) == firstPacked_ : id == firstId_;
}

void NmeaReader::Parse(std::string_view line, std::string_view id, SentenceKind kind, TrackPoint& point) {
    if (kind == SentenceKind::Gga) {
        ParseGgaWithId(line, id, point);
    } else if (kind == SentenceKind::Rmc) {
        ParseRmcWithId(line, id, point);
    } else if (IsZdaId(id)) {
        ReadZda(line, zda_);
    }
}

void NmeaReader::Take(std::string_view line, std::string_view id, SentenceKind kind, TrackPoint& point) {
    if (kept_ == nullptr) {
        Parse(line, id, kind, point);
    } else if (kept_->count == EpochLines::kMaxLines) {
        kept_->tooLong = true;
    } else {
        kept_->lines[kept_->count++].assign(line);
    }
}

void NmeaReader::EndEpoch(TrackPoint& point) {
    if (kept_ == nullptr) SettleEpoch(point, zda_);
}

bool NmeaReader::Next(TrackPoint& point) {
    if (ended_) return false;
    if (kept_ != nullptr) {
        kept_->count = 0;
        kept_->tooLong = false;
    }
    if (hasPending_) {
        hasPending_ = false;
        Take(pending_, pendingId_, pendingKind_, point);
    }
    std::string_view line;
    while (input_.ReadLine(line, kLineLimit)) {
        ++lineCount_;
        const std::string_view id = SentenceIdOf(line);
        const SentenceKind kind = KindOf(id);
        if (lineCount_ >= 2 &&
            (IsFirstId(id) || (kind == firstKind_ && kind != SentenceKind::Other))) {
            // The epoch is whole; the line that opens the next one waits.
            pending_ = line;
            pendingId_ = id;
            pendingKind_ = kind;
            hasPending_ = true;
            EndEpoch(point);
            return true;
        }
        Take(line, id, kind, point);
    }
    // The last epoch, also of an empty log.
    ended_ = true;
    EndEpoch(point);
    return true;
}

int32_t NmeaReader::CountFixes() {
    input_.Rewind();
    int32_t count = CountLinesWithId(input_, IsRmcId);
    if (count == 0) {
        input_.Rewind();
        count = CountLinesWithId(input_, IsGgaId);
    }
    ended_ = true;
    return count;
}

}  // namespace geoplait
