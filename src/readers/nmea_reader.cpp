// NMEA 0183 log reader.
//
// A log is one sentence per line, each line ending in LF, CR LF or a lone CR.
// Only GGA and RMC sentences are parsed, of GPS ("$GPGGA", "$GPRMC") and of
// the talkers of multi-system receivers ("$GNRMC", "$GLGGA", ...; a record may
// mix them). A record is one fix (NmeaEpochs): it begins at a GGA, RMC, GLL
// or GNS whose fix time differs from the record's, or that comes again in the
// record; sentences without a fix time (ZDA, VTG, GSA, GSV, TXT, proprietary)
// join the record they fall in. Real logs hold more than sentences:
// - a sentence is found at its "$", whatever stands before it on the line
//   (NUL padding left by a logger after a power cut, UBX binary between
//   u-blox sentences, a stray byte); a line without one is passed over;
// - a sentence whose "*hh" does not match its bytes is not used (one digit
//   flipped in transit moves a fix by hundreds of km); one without "*hh" is;
// - a log may open with a banner ("$GNTXT"), a blank line or half a sentence.
// Field k is the text after the k-th "," up to the next ",", CR or LF; a field
// whose "," lies beyond the first 2048 characters of the line is empty, a found
// field is taken whole. The last field of a sentence keeps its "*hh". A line
// longer than 4095 characters holds no sentence: it is passed over whole, never
// read in pieces whose tail could pass for one.
#include "readers/nmea_reader.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "geo/time_difference.h"
#include "readers/reader_text.h"
#include "readers/spreadsheet_text.h"

namespace geoplait {

namespace {

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

// Assigns fields 1..N that the scan found to the record fields; absent fields empty.
template <size_t N>
void AssignFields(std::string_view text, const SentenceScan& scan, TrackPoint& point,
                  const std::array<std::string TrackPoint::*, N>& targets) {
    const size_t found = scan.fields < N ? scan.fields : N;
    size_t k = 0;
    for (; k < found; ++k) {
        // Cleared and appended: the text never lies in the record, so the
        // copy needs no care for overlaps that assign takes.
        std::string& target = point.*targets[k];
        target.clear();
        target.append(text.data() + scan.start[k], scan.end[k] - scan.start[k]);
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

struct KindName {
    std::string_view name;
    SentenceKind kind;
    size_t timeField;  // the field that holds the fix time (0: none)
};
constexpr KindName kKinds[] = {
    {"GGA", SentenceKind::Gga, 1},
    {"RMC", SentenceKind::Rmc, 1},
    {"GLL", SentenceKind::Gll, 5},
    {"GNS", SentenceKind::Gns, 1},
};

SentenceKind KindOf(std::string_view id) {
    if (id.size() != 6 || id[0] != '$') return SentenceKind::Other;
    // Most sentences of a log are of other kinds: the last letter of many
    // (GSV, VTG, TXT) tells them apart before any comparison.
    const char last = id[5];
    if (last != 'A' && last != 'C' && last != 'L' && last != 'S') return SentenceKind::Other;
    const std::string_view sentence = id.substr(3);
    for (const KindName& k : kKinds) {
        if (sentence == k.name) return IsKnownTalker(id.substr(1, 2)) ? k.kind : SentenceKind::Other;
    }
    return SentenceKind::Other;
}

// kKinds' time fields by kind, looked up once per sentence.
constexpr auto kTimeFields = [] {
    std::array<size_t, static_cast<size_t>(SentenceKind::Gns) + 1> fields{};
    for (const KindName& k : kKinds) fields[static_cast<size_t>(k.kind)] = k.timeField;
    return fields;
}();

size_t TimeFieldOf(SentenceKind kind) {
    const auto k = static_cast<size_t>(kind);
    return k < kTimeFields.size() ? kTimeFields[k] : 0;
}

// Field k (from 1) of a sentence, up to ",", "*", CR or LF; empty when absent.
std::string_view FieldOf(std::string_view text, size_t k) {
    size_t start = 0;
    for (size_t i = 0; i < k; ++i) {
        start = text.find(',', start);
        if (start == std::string_view::npos) return {};
        ++start;
    }
    size_t end = start;
    while (end < text.size() && text[end] != ',' && text[end] != '*' && text[end] != '\r' && text[end] != '\n') {
        ++end;
    }
    return text.substr(start, end - start);
}

// A fix time without the zeros that end its fraction (when it has one):
// "123519.00" and "123519" are the same instant.
std::string_view PlainTime(std::string_view time, bool fraction) {
    if (!fraction) return time;
    while (!time.empty() && time.back() == '0') time.remove_suffix(1);
    if (!time.empty() && time.back() == '.') time.remove_suffix(1);
    return time;
}

std::string_view PlainTime(std::string_view time) { return PlainTime(time, time.find('.') != std::string_view::npos); }

bool IsIdCharacter(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// The GGA / RMC sentence into its side of the record. The other side is
// filled from it where empty (FillFromFix) by the caller: at once for one
// sentence, at the epoch's end for the reader, which gives the same record,
// as the later of an epoch's GGA and RMC assigns every field that the fill
// after the earlier one could have filled.
void ParseGgaWithId(std::string_view text, std::string_view id, const SentenceScan& scan, TrackPoint& point) {
    point.GgaId.assign(id);
    AssignFields(text, scan, point, kGgaFields);
}

void ParseRmcWithId(std::string_view text, std::string_view id, const SentenceScan& scan, TrackPoint& point) {
    point.RmcId.assign(id);
    AssignFields(text, scan, point, kRmcFields);
}

void FillFromFix(SentenceKind kind, TrackPoint& point) {
    if (kind == SentenceKind::Gga) FillEmpty(point, kRmcFromGga);
    if (kind == SentenceKind::Rmc) FillEmpty(point, kGgaFromRmc);
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

// A sign, digits and at most one point, one digit at least: a number that
// TakeCellNumber keeps as it stands (most altitudes), checked without a copy.
bool IsPlainNumber(std::string_view text) {
    size_t i = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits > 0;
}

// The epoch's times and position settled, and its date from the last ZDA
// when it had no RMC sentence of its own to date it. An epoch whose time of
// day lies more than half a day before the ZDA time is on the next day (a ZDA
// just before midnight).
// Returns 1 when the altitude was no number (it is unknown now), else 0.
int32_t SettleEpoch(TrackPoint& point, const NmeaZdaDate& zda) {
    SettleRecord(point);
    int32_t unknown = 0;
    if (!point.GgaAltitude.empty() && !IsPlainNumber(point.GgaAltitude) &&
        !TakeCellNumber(point.GgaAltitude, true, false)) {
        unknown = 1;
    }
    // An epoch without RMC has no speed: the track gives it one.
    if (point.RmcId.empty() && !point.GgaId.empty()) point.RmcSpeed.clear();
    if (!zda.known || !point.RmcId.empty() || point.RmcDate != "000000" || point.RmcTime.empty()) return unknown;
    point.RmcDate.assign(zda.date, 6);
    // The ZDA may come just before or, at the end of the fix's record, just
    // after midnight.
    const int32_t seconds = SecondsOfDay(point.RmcTime);
    if (seconds + 43200 < zda.seconds) point.RmcDate = ShiftDate(point.RmcDate, 1);
    if (seconds > zda.seconds + 43200) point.RmcDate = ShiftDate(point.RmcDate, -1);
    ReadTimeTexts(point);
    return unknown;
}

}  // namespace

std::string_view SentenceIdOf(std::string_view line) {
    return line.substr(0, FieldEnd(line.data(), 0, line.size()));
}

bool IsKnownTalker(std::string_view talker) {
    if (talker.size() != 2) return false;
    for (std::string_view known : kTalkers) {
        if (talker[0] == known[0] && talker[1] == known[1]) return true;
    }
    return false;
}

bool IsGgaId(std::string_view id) { return KindOf(id) == SentenceKind::Gga; }
bool IsRmcId(std::string_view id) { return KindOf(id) == SentenceKind::Rmc; }

bool FindNmeaSentence(std::string_view line, NmeaSentence& sentence) {
    // Most lines start with a "$" and an identifier of five letters and a ",".
    if (line.size() > 6 && line[0] == '$' && line[6] == ',' && IsIdCharacter(line[1]) && IsIdCharacter(line[2]) &&
        IsIdCharacter(line[3]) && IsIdCharacter(line[4]) && IsIdCharacter(line[5])) {
        sentence.text = line;
        sentence.id = line.substr(0, 6);
        sentence.kind = KindOf(sentence.id);
        return true;
    }
    size_t at = !line.empty() && line[0] == '$' ? 0 : line.find('$');
    for (; at != std::string_view::npos; at = line.find('$', at + 1)) {
        size_t end = at + 1;
        while (end < line.size() && end - at <= 10 && IsIdCharacter(line[end])) ++end;
        const size_t length = end - at - 1;
        if (length < 3 || length > 9) continue;
        if (end < line.size() && line[end] != ',' && line[end] != '*' && line[end] != '\r' && line[end] != '\n') {
            continue;
        }
        sentence.text = line.substr(at);
        sentence.id = line.substr(at, end - at);
        sentence.kind = KindOf(sentence.id);
        return true;
    }
    return false;
}

bool FailsChecksum(std::string_view text) {
    SentenceScan scan;
    ScanSentence(text, false, scan);
    return scan.failsChecksum;
}

std::string_view FixTimeOf(const NmeaSentence& sentence, const SentenceScan& scan) {
    const size_t field = TimeFieldOf(sentence.kind);
    if (field == 0) return {};
    // Fields past the scan's limit are read by the plain rule, which has none.
    if (field > scan.fields) return scan.cutAtLimit ? PlainTime(FieldOf(sentence.text, field)) : std::string_view();
    const char* const time = sentence.text.data() + scan.start[field - 1];
    const size_t size = scan.end[field - 1] - scan.start[field - 1];
    // Up to a "*", without the zeros that end a fraction.
    size_t end = 0;
    bool fraction = false;
    for (; end < size && time[end] != '*'; ++end) fraction = fraction || time[end] == '.';
    return PlainTime(std::string_view(time, end), fraction);
}

namespace {

// A line without a sentence that holds bytes no text line has (NUL padding,
// binary messages between sentences).
bool IsBinaryLine(std::string_view line) {
    for (char c : line) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t' && c != '\r' && c != '\n') || u == 0x7F) return true;
    }
    return false;
}

}  // namespace

bool NmeaEpochLoop::NextLine(TextReader& input, NmeaLine& line) {
    if (hasPending_) {
        // The line that ended the last epoch opens this one.
        hasPending_ = false;
        epochs_.Restart();
        epochs_.Take(pending_.sentence.kind, pending_.time);
        line = pending_;
        return true;
    }
    if (ended_) return false;
    std::string_view text;
    while (ReadWholeLine(input, text, longLines_, kNmeaLineLimit)) {
        line.found = FindNmeaSentence(text, line.sentence);
        if (!line.found) {
            if (IsBinaryLine(text)) continue;
            line.text = text;
            line.sentence = {};
            line.time = {};
            return true;
        }
        // One pass finds the checksum and, of a fix sentence, the fields.
        ScanSentence(line.sentence.text, line.sentence.kind != SentenceKind::Other, scan_);
        if (scan_.failsChecksum) {
            ++badChecksums_;
            continue;
        }
        line.text = line.sentence.text;
        line.time = line.sentence.kind == SentenceKind::Other ? std::string_view() : FixTimeOf(line.sentence, scan_);
        if (epochs_.Opens(line.sentence.kind, line.time)) {
            pending_ = line;
            hasPending_ = true;
            return false;
        }
        epochs_.Take(line.sentence.kind, line.time);
        return true;
    }
    ended_ = true;
    return false;
}

bool NmeaEpochs::Opens(SentenceKind kind, std::string_view time) const {
    if (TimeFieldOf(kind) == 0 || !any_) return false;
    if ((held_ & (1u << static_cast<unsigned>(kind))) != 0) return true;
    return !time.empty() && !time_.empty() && time != time_;
}

void NmeaEpochs::Take(SentenceKind kind, std::string_view time) {
    any_ = true;
    if (TimeFieldOf(kind) == 0) return;
    held_ |= 1u << static_cast<unsigned>(kind);
    if (time_.empty()) time_.assign(time);
}

void ParseGga(std::string_view line, TrackPoint& point) {
    const std::string_view id = SentenceIdOf(line);
    if (!IsGgaId(id)) return;
    SentenceScan scan;
    ScanSentence(line, true, scan);
    ParseGgaWithId(line, id, scan, point);
    FillFromFix(SentenceKind::Gga, point);
}

void ParseRmc(std::string_view line, TrackPoint& point) {
    const std::string_view id = SentenceIdOf(line);
    if (!IsRmcId(id)) return;
    SentenceScan scan;
    ScanSentence(line, true, scan);
    ParseRmcWithId(line, id, scan, point);
    FillFromFix(SentenceKind::Rmc, point);
}

bool NmeaReader::Open(const std::string& path) {
    Reset();
    ended_ = !input_.Open(path);
    return !ended_;
}

bool NmeaReader::Open(TextReader& opened) {
    Reset();
    input_.Adopt(opened);
    ended_ = !input_.IsOpen();
    return !ended_;
}

void NmeaReader::Reset() {
    loop_ = {};
    lastFix_ = SentenceKind::Other;
    unknownValues_ = 0;
    zda_ = {};
}

void NmeaReader::Parse(const NmeaSentence& sentence, TrackPoint& point) {
    if (sentence.kind == SentenceKind::Gga) {
        ParseGgaWithId(sentence.text, sentence.id, loop_.Scan(), point);
        lastFix_ = SentenceKind::Gga;
    } else if (sentence.kind == SentenceKind::Rmc) {
        ParseRmcWithId(sentence.text, sentence.id, loop_.Scan(), point);
        lastFix_ = SentenceKind::Rmc;
    } else if (IsZdaId(sentence.id)) {
        ReadZda(sentence.text, zda_);
    }
}

bool NmeaReader::Next(TrackPoint& point) {
    if (ended_) return false;
    NmeaLine line;
    lastFix_ = SentenceKind::Other;
    while (loop_.NextLine(input_, line)) {
        if (line.found) Parse(line.sentence, point);
    }
    // The epoch is whole: the last one when the log ended, also of an empty log.
    FillFromFix(lastFix_, point);
    ended_ = loop_.Ended();
    unknownValues_ += SettleEpoch(point, zda_);
    return true;
}

int32_t NmeaReader::CountFixes() {
    input_.Rewind();
    NmeaEpochLoop loop;
    NmeaLine line;
    int32_t rmc = 0;
    int32_t gga = 0;
    do {
        while (loop.NextLine(input_, line)) {
            if (!line.found) continue;
            if (line.sentence.kind == SentenceKind::Rmc) ++rmc;
            if (line.sentence.kind == SentenceKind::Gga) ++gga;
        }
    } while (!loop.Ended());
    ended_ = true;
    return rmc > 0 ? rmc : gga;
}

}  // namespace geoplait
