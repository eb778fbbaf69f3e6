// FIT reader.
//
// Layout: a file header (its size in its first byte, 12 or 14; the protocol
// and profile versions; the size of the data that follows, little-endian;
// ".FIT"; with 14 bytes a CRC of the first 12, 0 when not computed), the data
// (messages, each after a one-byte header), then the CRC of header and data,
// two bytes little-endian. Several such files may follow one another.
//   Normal header 0DRxLLLL: D a definition message, R (with D) developer
//     fields follow, L the local message type 0-15.
//   Compressed-timestamp header 1LLTTTTT: a data message of local type 0-3
//     whose time is the last timestamp with its low five bits T (rolled over
//     when T is below them).
//   Definition: reserved, architecture (0 little-, 1 big-endian), global
//     message number, field count, then 3 bytes a field (number, size, base
//     type); with R a count and 3 bytes a developer field (number, size,
//     index), whose bytes are skipped.
//   Read: every timestamp (field 253, seconds since 1989-12-31 00:00 UTC);
//     of message 20 (record) the fields 0/1 position (semicircles), 2/78
//     altitude and enhanced altitude (metres * 5 + 500), 6/73 speed and
//     enhanced speed (mm/s), 3 heart rate, 4 cadence.
// Quirks coped with: a value that is its base type's invalid marker (0xFF,
// 0x7FFFFFFF, ...; 0 for the z types) is unknown, never a number; a field of
// another size than its base type is unknown; a time below 0x10000000 counts
// from the device's start, not from the epoch, and is unknown. Every size is
// checked against the data size of the header and the bytes of the file; the
// definitions sit in a table of fixed size, and the data go through one
// fixed buffer.
#include "readers/fit_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "geo/coordinates.h"
#include "geo/number_format.h"
#include "geo/time_difference.h"
#include "readers/reader_text.h"

namespace geoplait {

namespace {

constexpr size_t kBufferSize = size_t{64} << 10;
constexpr size_t kLocalTypes = 16;
constexpr size_t kMaxFields = 255;

constexpr uint16_t kMessageRecord = 20;
constexpr uint8_t kFieldTimestamp = 253;
// Seconds from 1970-01-01 to the FIT epoch, 1989-12-31 00:00 UTC.
constexpr int64_t kFitEpoch = 631065600;
// Times below it count from the device's power-on.
constexpr uint32_t kFirstAbsoluteTime = 0x10000000;

constexpr double kDegreesPerSemicircle = 180.0 / 2147483648.0;
constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;

// The base types by their number (the low five bits of the base-type byte).
struct BaseType {
    uint8_t size;
    bool isSigned;
    bool isFloat;
    uint64_t invalid;
};
constexpr BaseType kBaseTypes[] = {
    {1, false, false, 0xFF},                   // 0 enum
    {1, true, false, 0x7F},                    // 1 sint8
    {1, false, false, 0xFF},                   // 2 uint8
    {2, true, false, 0x7FFF},                  // 3 sint16
    {2, false, false, 0xFFFF},                 // 4 uint16
    {4, true, false, 0x7FFFFFFF},              // 5 sint32
    {4, false, false, 0xFFFFFFFF},             // 6 uint32
    {1, false, false, 0x00},                   // 7 string
    {4, false, true, 0xFFFFFFFF},              // 8 float32
    {8, false, true, 0xFFFFFFFFFFFFFFFF},      // 9 float64
    {1, false, false, 0x00},                   // 10 uint8z
    {2, false, false, 0x0000},                 // 11 uint16z
    {4, false, false, 0x00000000},             // 12 uint32z
    {1, false, false, 0xFF},                   // 13 byte
    {8, true, false, 0x7FFFFFFFFFFFFFFF},      // 14 sint64
    {8, false, false, 0xFFFFFFFFFFFFFFFF},     // 15 uint64
    {8, false, false, 0x0000000000000000},     // 16 uint64z
};

// The values of a record message the reader takes.
enum Slot { kTime, kLatitude, kLongitude, kAltitude, kEnhancedAltitude, kSpeed, kEnhancedSpeed, kHeartRate,
            kCadence, kSlotCount };

struct RecordField {
    uint8_t number;
    Slot slot;
};
constexpr RecordField kRecordFields[] = {
    {kFieldTimestamp, kTime}, {0, kLatitude}, {1, kLongitude}, {2, kAltitude}, {78, kEnhancedAltitude},
    {6, kSpeed},              {73, kEnhancedSpeed}, {3, kHeartRate}, {4, kCadence},
};

// The CRC of the FIT protocol (CRC-16, polynomial 0xA001 reflected), by nibbles.
constexpr uint16_t kCrcTable[16] = {0x0000, 0xCC01, 0xD801, 0x1400, 0xF001, 0x3C00, 0x2800, 0xE401,
                                    0xA001, 0x6C00, 0x7800, 0xB401, 0x5000, 0x9C01, 0x8801, 0x4400};

uint16_t CrcByte(uint16_t crc, uint8_t byte) {
    uint16_t tmp = kCrcTable[crc & 0xF];
    crc = static_cast<uint16_t>((crc >> 4) & 0x0FFF);
    crc = static_cast<uint16_t>(crc ^ tmp ^ kCrcTable[byte & 0xF]);
    tmp = kCrcTable[crc & 0xF];
    crc = static_cast<uint16_t>((crc >> 4) & 0x0FFF);
    return static_cast<uint16_t>(crc ^ tmp ^ kCrcTable[(byte >> 4) & 0xF]);
}

uint16_t CrcOfBytes(const uint8_t* bytes, size_t size) {
    uint16_t crc = 0;
    for (size_t i = 0; i < size; ++i) crc = CrcByte(crc, bytes[i]);
    return crc;
}

uint64_t Unsigned(const uint8_t* bytes, size_t size, bool bigEndian) {
    uint64_t v = 0;
    for (size_t i = 0; i < size; ++i) v = (v << 8) | bytes[bigEndian ? i : size - 1 - i];
    return v;
}

// A field's value as a number; false when it is unknown (the invalid marker,
// or a size that is not the base type's).
bool FieldValue(const uint8_t* bytes, size_t size, uint8_t baseTypeByte, bool bigEndian, double& value) {
    const size_t number = baseTypeByte & 0x1F;
    if (number >= std::size(kBaseTypes)) return false;
    const BaseType& type = kBaseTypes[number];
    if (size != type.size) return false;
    const uint64_t raw = Unsigned(bytes, size, bigEndian);
    if (raw == type.invalid) return false;
    if (type.isFloat) {
        if (size == 4) {
            float f = 0.0F;
            const auto bits = static_cast<uint32_t>(raw);
            std::memcpy(&f, &bits, sizeof f);
            value = f;
        } else {
            std::memcpy(&value, &raw, sizeof value);
        }
        return std::isfinite(value);
    }
    if (type.isSigned) {
        const unsigned shift = static_cast<unsigned>(64 - 8 * size);
        value = static_cast<double>(static_cast<int64_t>(raw << shift) >> shift);
    } else {
        value = static_cast<double>(raw);
    }
    return true;
}

// The UTC time of a FIT time. Its day is read as the two-digit year of the
// record's dates always said: the years 1998 and 1999 (the first times FIT
// counts as absolute) as 2098 and 2099, those after 2099 in this century.
RecordTime TimeOfFit(uint32_t fitTime) {
    const int64_t since1970 = kFitEpoch + fitTime;
    RecordTime time;
    time.date = DateKind::Known;
    time.day = FoldedDay(since1970 / 86400);
    time.second = since1970 % 86400;
    time.timeKnown = true;
    return time;
}

// The hemisphere letter of signed degrees, on both sides.
void TakeLetter(double degrees, char positive, char negative, std::string& ggaLetter, std::string& rmcLetter) {
    const char letter = degrees < 0.0 ? negative : positive;
    ggaLetter.assign(1, letter);
    rmcLetter.assign(1, letter);
}

}  // namespace

struct FitField {
    uint8_t number;
    uint8_t size;
    uint8_t baseType;
};

struct FitDefinition {
    bool defined = false;
    bool bigEndian = false;
    uint16_t global = 0;
    uint16_t fieldCount = 0;
    uint32_t developerBytes = 0;
    std::array<FitField, kMaxFields> fields{};
};

struct FitReader::State {
    std::FILE* file = nullptr;
    std::array<uint8_t, kBufferSize> buffer{};
    size_t at = 0;      // next byte of the buffer
    size_t filled = 0;  // bytes in the buffer
    uint64_t offset = 0;  // bytes of the input taken
    uint16_t crc = 0;     // of the bytes taken since the current file's start
    uint64_t dataEnd = 0;  // offset where the current file's data end
    bool inFile = false;   // between a file header and its CRC
    bool ended = false;
    int files = 0;  // file headers read
    uint32_t lastTime = 0;
    bool timeKnown = false;
    uint64_t recordEnd = 0;
    uint64_t messageStart = 0;  // where the message being read starts
    std::string error;
    std::array<FitDefinition, kLocalTypes> definitions;
    std::array<double, kSlotCount> values{};
    std::array<bool, kSlotCount> known{};

    ~State() {
        if (file != nullptr) std::fclose(file);
    }

    // The next `n` bytes into `out` (nullptr: passed over); false where the
    // input ends first.
    bool Take(uint8_t* out, size_t n) {
        while (n > 0) {
            if (at == filled) {
                if (file == nullptr) return false;
                filled = std::fread(buffer.data(), 1, buffer.size(), file);
                at = 0;
                if (filled == 0) return false;
            }
            const size_t count = std::min(n, filled - at);
            for (size_t i = 0; i < count; ++i) crc = CrcByte(crc, buffer[at + i]);
            if (out != nullptr) {
                std::memcpy(out, buffer.data() + at, count);
                out += count;
            }
            at += count;
            offset += count;
            n -= count;
        }
        return true;
    }

    // Whether `n` more bytes of the current file's data remain.
    bool InData(uint64_t n) const { return offset <= dataEnd && dataEnd - offset >= n; }

    // Ends the reading at the current byte with `what`.
    bool Broken(const char* what) { return Broken(what, offset); }
    bool Broken(const char* what, uint64_t where) {
        Fault(what, where);
        ended = true;
        return false;
    }
    // Names a fault (the first one only); the reading goes on.
    void Fault(const char* what) { Fault(what, offset); }
    void Fault(const char* what, uint64_t where) {
        if (!error.empty()) return;
        char text[64];
        std::snprintf(text, sizeof text, "byte %llu: ", static_cast<unsigned long long>(where));
        error.assign(text);
        error.append(what);
    }

    bool StartFile();
    bool EndFile();
    bool ReadDefinition(uint8_t header);
    bool ReadData(size_t local, bool compressed, uint8_t timeBits, bool& isRecord);
    void Fill(TrackPoint& p) const;
};

bool FitReader::State::StartFile() {
    crc = 0;
    const uint64_t start = offset;
    uint8_t size = 0;
    if (!Take(&size, 1)) {
        // The input ends between files, where it may (an empty input has
        // no records and nothing broken).
        ended = true;
        return false;
    }
    uint8_t header[14]{};
    if (size < 12 || !Take(header + 1, 11) || std::memcmp(header + 8, ".FIT", 4) != 0) {
        Fault("no FIT file header", start);
        ended = true;
        return false;
    }
    header[0] = size;
    ++files;
    const uint16_t headerCrc = CrcOfBytes(header, 12);
    if (size >= 14) {
        if (!Take(header + 12, 2)) return Broken("file cut in its header");
        const auto stored = static_cast<uint16_t>(Unsigned(header + 12, 2, false));
        if (stored != 0 && stored != headerCrc) Fault("the header's CRC does not match", start + 12);
    }
    // A longer header of a later protocol: its further bytes are passed over.
    if (!Take(nullptr, size - (size >= 14 ? 14U : 12U))) return Broken("file cut in its header");
    dataEnd = offset + Unsigned(header + 4, 4, false);
    for (FitDefinition& d : definitions) d.defined = false;
    timeKnown = false;
    inFile = true;
    return true;
}

bool FitReader::State::EndFile() {
    inFile = false;
    const uint16_t computed = crc;
    uint8_t stored[2]{};
    if (!Take(stored, 2)) return Broken("file cut before its CRC");
    if (Unsigned(stored, 2, false) != computed) Fault("the file's CRC does not match", offset - 2);
    return true;
}

bool FitReader::State::ReadDefinition(uint8_t header) {
    FitDefinition& d = definitions[header & 0x0F];
    d.defined = false;
    uint8_t fixed[5]{};
    if (!InData(5)) return Broken("message beyond the data size", messageStart);
    if (!Take(fixed, 5)) return Broken("file cut inside a message");
    d.bigEndian = fixed[1] == 1;
    d.global = static_cast<uint16_t>(Unsigned(fixed + 2, 2, d.bigEndian));
    d.fieldCount = fixed[4];
    if (!InData(3U * d.fieldCount)) return Broken("message beyond the data size", messageStart);
    for (uint16_t i = 0; i < d.fieldCount; ++i) {
        uint8_t f[3]{};
        if (!Take(f, 3)) return Broken("file cut inside a message");
        d.fields[i] = {f[0], f[1], f[2]};
    }
    d.developerBytes = 0;
    if ((header & 0x20) != 0) {
        uint8_t count = 0;
        if (!InData(1)) return Broken("message beyond the data size", messageStart);
        if (!Take(&count, 1)) return Broken("file cut inside a message");
        if (!InData(3U * count)) return Broken("message beyond the data size", messageStart);
        for (unsigned i = 0; i < count; ++i) {
            uint8_t f[3]{};
            if (!Take(f, 3)) return Broken("file cut inside a message");
            d.developerBytes += f[1];
        }
    }
    d.defined = true;
    return true;
}

bool FitReader::State::ReadData(size_t local, bool compressed, uint8_t timeBits, bool& isRecord) {
    const FitDefinition& d = definitions[local];
    if (!d.defined) return Broken("data message of a local type without a definition", messageStart);
    uint64_t size = d.developerBytes;
    for (uint16_t i = 0; i < d.fieldCount; ++i) size += d.fields[i].size;
    if (!InData(size)) return Broken("message beyond the data size", messageStart);
    isRecord = d.global == kMessageRecord;
    known.fill(false);
    if (compressed && timeKnown) {
        uint32_t time = (lastTime & ~uint32_t{0x1F}) + timeBits;
        if (timeBits < (lastTime & 0x1F)) time += 0x20;
        lastTime = time;
        values[kTime] = time;
        known[kTime] = true;
    }
    uint8_t bytes[kMaxFields];
    for (uint16_t i = 0; i < d.fieldCount; ++i) {
        const FitField& f = d.fields[i];
        const RecordField* wanted = nullptr;
        for (const RecordField& r : kRecordFields) {
            if (r.number == f.number && (isRecord || r.slot == kTime)) wanted = &r;
        }
        if (wanted == nullptr) {
            if (!Take(nullptr, f.size)) return Broken("file cut inside a message");
            continue;
        }
        if (!Take(bytes, f.size)) return Broken("file cut inside a message");
        double value = 0.0;
        if (!FieldValue(bytes, f.size, f.baseType, d.bigEndian, value)) continue;
        if (wanted->slot == kTime) {
            if (value < 0.0 || value > 4294967295.0) continue;
            lastTime = static_cast<uint32_t>(value);
            timeKnown = true;
        }
        values[wanted->slot] = value;
        known[wanted->slot] = true;
    }
    if (!Take(nullptr, d.developerBytes)) return Broken("file cut inside a message");
    return true;
}

void FitReader::State::Fill(TrackPoint& p) const {
    const double latitude = values[kLatitude] * kDegreesPerSemicircle;
    const double longitude = values[kLongitude] * kDegreesPerSemicircle;
    const bool positioned =
        known[kLatitude] && known[kLongitude] && std::fabs(latitude) <= 90.0 && std::fabs(longitude) <= 180.0;
    if (positioned) {
        TakeLetter(latitude, 'N', 'S', p.GgaNS, p.RmcNS);
        TakeLetter(longitude, 'E', 'W', p.GgaEW, p.RmcEW);
    }
    // The degrees of the semicircles exactly: each output rounds them once.
    TakeDegreePosition(p, positioned, std::fabs(latitude), std::fabs(longitude));

    // The enhanced values, of a wider range, win where both are given.
    const Slot altitude = known[kEnhancedAltitude] ? kEnhancedAltitude : kAltitude;
    if (known[altitude]) AssignFixed(p.GgaAltitude, values[altitude] / 5.0 - 500.0, 1, 1);
    // A record without a speed of its own has none: RmcSpeed stays empty
    // for the speed computed from the track.
    p.RmcSpeed.clear();
    const Slot speed = known[kEnhancedSpeed] ? kEnhancedSpeed : kSpeed;
    if (known[speed]) AssignFixed(p.RmcSpeed, values[speed] / 1000.0 * kKnotsPerMetrePerSecond, 3, 1);

    if (known[kTime] && values[kTime] >= kFirstAbsoluteTime) {
        p.Time = TimeOfFit(static_cast<uint32_t>(values[kTime]));
    }

    p.PointName.clear();
    p.ExtendData.clear();
    if (known[kHeartRate]) {
        p.ExtendData.append("HR ");
        AppendFixed(p.ExtendData, values[kHeartRate], 0, 1);
    }
    if (known[kCadence]) {
        if (!p.ExtendData.empty()) p.ExtendData.push_back(' ');
        p.ExtendData.append("Cadence ");
        AppendFixed(p.ExtendData, values[kCadence], 0, 1);
    }
}

FitReader::FitReader() = default;
FitReader::~FitReader() = default;
FitReader::FitReader(FitReader&&) noexcept = default;
FitReader& FitReader::operator=(FitReader&&) noexcept = default;

bool FitReader::Open(const std::string& path) {
    if (state_ == nullptr) state_ = std::make_unique<State>();
    State& s = *state_;
    if (s.file != nullptr) std::fclose(s.file);
    s.file = std::fopen(path.c_str(), "rb");
    s.at = s.filled = 0;
    s.offset = s.dataEnd = s.recordEnd = 0;
    s.crc = 0;
    s.inFile = s.ended = s.timeKnown = false;
    s.files = 0;
    s.lastTime = 0;
    s.error.clear();
    return s.file != nullptr;
}

void FitReader::Close() {
    if (state_ != nullptr && state_->file != nullptr) {
        std::fclose(state_->file);
        state_->file = nullptr;
    }
}

bool FitReader::Next(TrackPoint& point) {
    if (state_ == nullptr) return false;
    State& s = *state_;
    while (!s.ended) {
        if (!s.inFile) {
            if (!s.StartFile()) return false;
            continue;
        }
        if (s.offset >= s.dataEnd) {
            if (!s.EndFile()) return false;
            continue;
        }
        uint8_t header = 0;
        s.messageStart = s.offset;
        if (!s.Take(&header, 1)) return s.Broken("file cut inside a message");
        bool isRecord = false;
        if ((header & 0x80) != 0) {
            if (!s.ReadData((header >> 5) & 0x03, true, header & 0x1F, isRecord)) return false;
        } else if ((header & 0x40) != 0) {
            if (!s.ReadDefinition(header)) return false;
        } else if (!s.ReadData(header & 0x0F, false, 0, isRecord)) {
            return false;
        }
        if (isRecord) {
            s.recordEnd = s.offset;
            s.Fill(point);
            return true;
        }
    }
    return false;
}

uint64_t FitReader::BytesRead() const { return state_ == nullptr ? 0 : state_->recordEnd; }

const std::string& FitReader::Error() const {
    static const std::string kNone;
    return state_ == nullptr ? kNone : state_->error;
}

}  // namespace geoplait
