// Exif reader of our own: five tags, nothing else.
//
// Layout: the TIFF block of the photo's container (photo_containers: the
// Exif segment of a JPEG, a TIFF-structured RAW file, the Exif item of a
// HEIC file), with its
// byte order "II"/"MM", 42, the offset of IFD0. An IFD is a two-byte count of
// twelve-byte entries (tag, type, count, value or offset). Read here:
//   IFD0 270 ImageDescription, 306 DateTime, 34665 Exif IFD (36867
//   DateTimeOriginal), 34853 GPS IFD (1/3 hemisphere letters, 2/4 degrees,
//   minutes, seconds as rationals, 5/6 altitude reference and altitude,
//   7 UTC time as rationals, 29 UTC date "YYYY:MM:DD").
// Quirks coped with: offsets count from the TIFF header, not from the file;
// a value of up to four bytes sits in the entry itself; every rational is
// numerator / denominator (Kodak writes minutes as 22278/1000, Nikon GPS
// seconds as 724/100); a zero denominator, a date that is not digits and any
// offset or count reaching outside the block make that value absent. The
// block is read where it lies in the file, field by field through the
// photo file's window (photo_file.h): an Exif folder after a RAW file's
// picture is found, and no file costs more memory than another; a title is
// cut at kMaxTitleBytes.
#include "photo/exif_reader.h"

#include <iconv.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iterator>
#include <optional>

#include "base/text_encoding.h"
#include "engine/track_point.h"
#include "geo/time_zone.h"
#include "photo/photo_containers.h"
#include "photo/photo_file.h"

namespace geoplait {

namespace {

constexpr uint16_t kTagImageDescription = 270;
constexpr uint16_t kTagDateTime = 306;
constexpr uint16_t kTagExifIfd = 34665;
constexpr uint16_t kTagGpsIfd = 34853;
constexpr uint16_t kTagDateTimeOriginal = 36867;

constexpr uint16_t kGpsLatitudeRef = 1;
constexpr uint16_t kGpsLatitude = 2;
constexpr uint16_t kGpsLongitudeRef = 3;
constexpr uint16_t kGpsLongitude = 4;
constexpr uint16_t kGpsAltitudeRef = 5;
constexpr uint16_t kGpsAltitude = 6;
constexpr uint16_t kGpsTimeStamp = 7;
constexpr uint16_t kGpsDateStamp = 29;

// Bytes per component of each TIFF type (index = type); 0 for unknown types.
constexpr unsigned kTypeSize[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};

// The longest title kept; no camera writes one near it.
constexpr size_t kMaxTitleBytes = size_t{64} << 10;

// A TIFF block: a span of the photo file whose offsets count from its start.
// Every read is checked against its size: what lies outside is absent (and a
// read the file no longer holds gives zeros).
class TiffBlock {
public:
    TiffBlock(PhotoFile& file, const FileSpan& span, bool little)
        : file_(&file), start_(span.start), size_(span.Size()), little_(little) {}

    bool Has(uint64_t offset, uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    uint16_t U16(uint64_t at) const {
        unsigned char b[2]{};
        if (!Has(at, 2) || !file_->Read(start_ + at, b, 2)) return 0;
        return little_ ? static_cast<uint16_t>(b[0] | b[1] << 8) : static_cast<uint16_t>(b[0] << 8 | b[1]);
    }
    uint32_t U32(uint64_t at) const {
        unsigned char b[4]{};
        if (!Has(at, 4) || !file_->Read(start_ + at, b, 4)) return 0;
        const uint32_t a = b[0], c1 = b[1], c2 = b[2], d = b[3];
        return little_ ? (d << 24 | c2 << 16 | c1 << 8 | a) : (a << 24 | c1 << 16 | c2 << 8 | d);
    }
    // `length` bytes at `at` (zeros where the file no longer holds them).
    std::string Bytes(uint64_t at, size_t length) const {
        std::string bytes(length, '\0');
        if (!Has(at, length) || !file_->Read(start_ + at, bytes.data(), length)) bytes.assign(length, '\0');
        return bytes;
    }
    uint64_t size() const { return size_; }

private:
    PhotoFile* file_;
    uint64_t start_;
    uint64_t size_;
    bool little_;
};

struct IfdEntry {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    uint64_t field;  // offset of the four-byte value field in the block
};

// Calls `visit` with each entry of the IFD at `offset` that lies wholly
// inside the block, in turn (at most 65535: the count is two bytes).
template <typename Visit>
void ForEachEntry(const TiffBlock& tiff, uint64_t offset, Visit&& visit) {
    if (!tiff.Has(offset, 2)) return;
    const uint16_t count = tiff.U16(offset);
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t at = offset + 2 + 12ULL * i;
        if (!tiff.Has(at, 12)) break;
        visit(IfdEntry{tiff.U16(at), tiff.U16(at + 2), tiff.U32(at + 4), at + 8});
    }
}

// Where an entry's value lies: in the field itself when it fits in four
// bytes, else at the offset the field holds. At least `minimum` bytes must be
// inside the block; a longer value is cut at the block's end. False: absent.
bool ValueAt(const TiffBlock& tiff, const IfdEntry& e, size_t minimum, uint64_t& at, uint64_t& length) {
    const uint64_t unit = e.type < std::size(kTypeSize) && kTypeSize[e.type] != 0 ? kTypeSize[e.type] : 1;
    const uint64_t size = unit * e.count;
    const uint64_t offset = size <= 4 ? e.field : tiff.U32(e.field);
    if (!tiff.Has(offset, minimum)) return false;
    at = offset;
    length = std::min<uint64_t>(std::max<uint64_t>(size, minimum), tiff.size() - offset);
    return true;
}

// Rational n of an entry (numerator / denominator); false when absent or its
// denominator is zero.
bool RationalOf(const TiffBlock& tiff, const IfdEntry& e, size_t n, double& value) {
    uint64_t at = 0;
    uint64_t length = 0;
    if (!ValueAt(tiff, e, 8 * (n + 1), at, length)) return false;
    at += 8 * n;
    const uint32_t denominator = tiff.U32(at + 4);
    if (denominator == 0) return false;
    if (e.type == 10) {  // SRATIONAL
        value = static_cast<double>(static_cast<int32_t>(tiff.U32(at))) /
                static_cast<double>(static_cast<int32_t>(denominator));
    } else {
        value = static_cast<double>(tiff.U32(at)) / static_cast<double>(denominator);
    }
    return std::isfinite(value);
}

bool AllDigits(std::string_view text) {
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return !text.empty();
}

// A yyyymmdd date of a calendar month and day (any year) and a hhmmss time of
// day; "0000:00:00" is what cameras write for an unknown date.
bool IsDate(int32_t ymd) { return ymd / 100 % 100 >= 1 && ymd / 100 % 100 <= 12 && ymd % 100 >= 1 && ymd % 100 <= 31; }
bool IsTime(int32_t hms) { return hms / 10000 < 24 && hms / 100 % 100 < 60 && hms % 100 < 60; }

// "YYYY:MM:DD HH:MM:SS" into yyyymmdd and hhmmss; false when the picked
// characters are not a date and a time of day (cameras write blanks or zeros
// for an unknown date).
bool ExifDateTime(const TiffBlock& tiff, const IfdEntry& e, std::string& date, std::string& time) {
    uint64_t at = 0;
    uint64_t length = 0;
    if (!ValueAt(tiff, e, 19, at, length)) return false;
    const std::string bytes = tiff.Bytes(at, 19);
    const std::string_view s = bytes;
    std::string d{s.substr(0, 4)};
    d.append(s.substr(5, 2)).append(s.substr(8, 2));
    std::string t{s.substr(11, 2)};
    t.append(s.substr(14, 2)).append(s.substr(17, 2));
    if (!AllDigits(d) || !AllDigits(t) || !IsDate(IntegerOf(d)) || !IsTime(IntegerOf(t))) return false;
    date = d;
    time = t;
    return true;
}

// Degrees, minutes and seconds as the packed number ddmmss.ssssss; a fraction
// of the degrees carries into the minutes and one of the minutes into the
// seconds. False when a part is absent or the angle exceeds `limit` degrees.
bool PackedAngle(const TiffBlock& tiff, const IfdEntry& e, double limit, std::string& text) {
    double d = 0.0;
    double m = 0.0;
    double s = 0.0;
    if (!RationalOf(tiff, e, 0, d) || !RationalOf(tiff, e, 1, m) || !RationalOf(tiff, e, 2, s)) return false;
    if (d < 0.0 || m < 0.0 || s < 0.0) return false;
    double degrees = std::floor(d);
    const double minutesAll = (d - degrees) * 60.0 + m;
    double minutes = std::floor(minutesAll);
    double seconds = (minutesAll - minutes) * 60.0 + s;
    if (seconds >= 60.0) {
        minutes += std::floor(seconds / 60.0);
        seconds = std::fmod(seconds, 60.0);
    }
    if (minutes >= 60.0) {
        degrees += std::floor(minutes / 60.0);
        minutes = std::fmod(minutes, 60.0);
    }
    if (degrees + minutes / 60.0 + seconds / 3600.0 > limit) return false;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%f", (degrees * 100.0 + minutes) * 100.0 + seconds);
    text = buffer;
    return true;
}

// A hemisphere letter as written: printable ASCII, else '*' (unknown); the
// four hemisphere letters in either case count as upper case ("s" is south).
char LetterOf(const TiffBlock& tiff, const IfdEntry& e) {
    uint64_t at = 0;
    uint64_t length = 0;
    if (!ValueAt(tiff, e, 1, at, length)) return '*';
    const char c = tiff.Bytes(at, 1)[0];
    if (c == 'n' || c == 's' || c == 'e' || c == 'w') return static_cast<char>(c - 'a' + 'A');
    return c > ' ' && c < 0x7F ? c : '*';
}

// A yyyymmdd date moved by `days`; a date outside 19000101-29991231 counts as
// 20000101.
int32_t ShiftYmd(int32_t ymd, int days) {
    if (ymd < 19000101 || ymd > 29991231) ymd = 20000101;
    std::tm when{};
    when.tm_year = ymd / 10000 - 1900;
    when.tm_mon = ymd / 100 % 100 - 1;
    when.tm_mday = ymd % 100 + days;
    when.tm_hour = 12;
    const std::time_t t = timegm(&when);
    std::tm out{};
    gmtime_r(&t, &out);
    return (out.tm_year + 1900) * 10000 + (out.tm_mon + 1) * 100 + out.tm_mday;
}

// The GPS time and date, both taken: to local time by the time difference.
void ShiftGpsToLocal(PhotoEntry& photo, int32_t timeDifference) {
    const int32_t t = IntegerOf(photo.Time);
    const int32_t magnitude = timeDifference < 0 ? -timeDifference : timeDifference;
    int32_t shift = magnitude / 10000 * 3600 + magnitude / 100 % 100 * 60 + magnitude % 100;
    if (timeDifference < 0) shift = -shift;
    int32_t seconds = t / 10000 * 3600 + t / 100 % 100 * 60 + t % 100 + shift;
    int days = 0;
    if (seconds < 0) {
        seconds += 86400;
        days = -1;
    } else if (seconds >= 86400) {
        seconds -= 86400;
        days = 1;
    }
    char buffer[16];
    if (days != 0) {
        std::snprintf(buffer, sizeof buffer, "%d", ShiftYmd(IntegerOf(photo.Date), days));
        photo.Date = buffer;
    }
    std::snprintf(buffer, sizeof buffer, "%02d%02d%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    photo.Time = buffer;
}

// What a GPS IFD gave, kept until the whole IFD is read.
struct GpsRead {
    std::string time;  // hhmmss UTC, empty when not taken
    std::string date;  // yyyymmdd UTC, empty when not taken
    bool altitudeBelowSea = false;
    bool hasAltitude = false;
    double altitude = 0.0;
};

void ReadGpsEntry(const TiffBlock& tiff, const IfdEntry& e, const ConvertSettings& s, PhotoEntry& photo,
                  GpsRead& gps) {
    switch (e.tag) {
        case kGpsLatitudeRef:
            photo.LatitudeLetter = LetterOf(tiff, e);
            break;
        case kGpsLongitudeRef:
            photo.LongitudeLetter = LetterOf(tiff, e);
            break;
        case kGpsLatitude:
            if (PackedAngle(tiff, e, 90.0, photo.Latitude)) photo.GpsItems += "34853-02(Lat).";
            break;
        case kGpsLongitude:
            if (PackedAngle(tiff, e, 180.0, photo.Longitude)) photo.GpsItems += "34853-04(Lon).";
            break;
        case kGpsAltitudeRef: {
            uint64_t at = 0;
            uint64_t length = 0;
            if (ValueAt(tiff, e, 1, at, length)) gps.altitudeBelowSea = tiff.Bytes(at, 1)[0] == 1;
            break;
        }
        case kGpsAltitude:
            if (RationalOf(tiff, e, 0, gps.altitude)) {
                gps.hasAltitude = true;
                photo.GpsItems += "34853-06(Alt)";
            }
            break;
        case kGpsTimeStamp: {
            if (s.Photo_Exif_GPS_TimeStamp != 1) break;
            double h = 0.0;
            double m = 0.0;
            double sec = 0.0;
            if (!RationalOf(tiff, e, 0, h) || !RationalOf(tiff, e, 1, m) || !RationalOf(tiff, e, 2, sec)) break;
            if (!(h >= 0.0 && h < 24.0 && m >= 0.0 && m < 60.0 && sec >= 0.0 && sec < 60.0)) break;
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "%02d%02d%02d", static_cast<int>(h), static_cast<int>(m),
                          static_cast<int>(sec));
            gps.time = buffer;
            break;
        }
        case kGpsDateStamp: {
            if (s.Photo_Exif_GPS_TimeStamp != 1) break;
            uint64_t at = 0;
            uint64_t length = 0;
            if (!ValueAt(tiff, e, 10, at, length)) break;
            const std::string bytes = tiff.Bytes(at, 10);
            const std::string_view d = bytes;
            const std::string_view y = d.substr(0, 4), mo = d.substr(5, 2), day = d.substr(8, 2);
            if (!AllDigits(y) || !AllDigits(mo) || !AllDigits(day)) break;
            int32_t date = 0;
            if (d[0] == '0') {
                // The year counted from 1900 and the month from 0, as some
                // cameras write the fields of a C calendar time.
                date = (IntegerOf(y) * 100 + 190001 + IntegerOf(mo)) * 100 + IntegerOf(day);
            } else {
                date = IntegerOf(std::string(y) + std::string(mo) + std::string(day));
            }
            if (date < 19000101 || date > 29991231 || !IsDate(date)) break;
            gps.date = std::to_string(date);
            break;
        }
        default:
            break;
    }
}

// The file's modification time in the run's local time: UTC plus the time
// difference, whatever zone the machine is set to.
void SetFileDate(const struct stat& st, int32_t timeDifference, PhotoEntry& photo) {
    const int32_t magnitude = timeDifference < 0 ? -timeDifference : timeDifference;
    const int32_t shift = magnitude / 10000 * 3600 + magnitude / 100 % 100 * 60 + magnitude % 100;
    std::tm local{};
    const std::time_t mtime = st.st_mtime + (timeDifference < 0 ? -shift : shift);
    if (gmtime_r(&mtime, &local) == nullptr) return;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    photo.Date = buffer;
    std::snprintf(buffer, sizeof buffer, "%02d%02d%02d", local.tm_hour, local.tm_min, local.tm_sec);
    photo.Time = buffer;
    photo.DateSource = "FileDate";
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

}  // namespace

bool DecodeExifTitle(std::string_view bytes, std::string& title) {
    title.clear();
    bool decoded = true;
    if (IsUtf8Text(bytes)) {
        title.assign(bytes);
    } else {
        iconv_t cd = iconv_open("UTF-8", "CP932");
        if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-8", "SHIFT_JIS");
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            decoded = false;
            for (unsigned char c : bytes) {
                if (c < 0x80) {
                    title.push_back(static_cast<char>(c));
                } else {
                    title.append(kReplacement);
                }
            }
        } else {
            std::string in(bytes);
            char* inPtr = in.data();
            size_t inLeft = in.size();
            char out[1024];
            while (inLeft > 0) {
                char* outPtr = out;
                size_t outLeft = sizeof out;
                const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
                title.append(out, static_cast<size_t>(outPtr - out));
                if (r == static_cast<size_t>(-1) && errno != E2BIG) {
                    // An undecodable byte (or a sequence cut at the end).
                    title.append(kReplacement);
                    ++inPtr;
                    --inLeft;
                    iconv(cd, nullptr, nullptr, nullptr, nullptr);
                }
            }
            iconv_close(cd);
        }
    }
    for (char& c : title) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) c = ' ';
    }
    // U+FFFE and U+FFFF are no characters an XML document may hold.
    for (size_t at = title.find("\xEF\xBF"); at != std::string::npos; at = title.find("\xEF\xBF", at + 1)) {
        if (at + 2 < title.size() && (title[at + 2] == '\xBE' || title[at + 2] == '\xBF')) title[at + 2] = '\xBD';
    }
    return decoded;
}

namespace {

// The Exif folder at `offset`: DateTimeOriginal.
int32_t ReadExifIfd(const TiffBlock& tiff, uint64_t offset, PhotoEntry& photo) {
    int32_t code = 0;
    ForEachEntry(tiff, offset, [&](const IfdEntry& x) {
        if (x.tag == kTagDateTimeOriginal && ExifDateTime(tiff, x, photo.Date, photo.Time)) {
            code += kExifDateTimeOriginal;
            photo.DateSource = "34665-36867(IFD):DateTimeOriginal";
        }
    });
    return code;
}

void ReadGpsIfd(const TiffBlock& tiff, uint64_t offset, const ConvertSettings& s, PhotoEntry& photo, GpsRead& gps) {
    ForEachEntry(tiff, offset, [&](const IfdEntry& g) { ReadGpsEntry(tiff, g, s, photo, gps); });
}

// Walks IFD0 and the Exif and GPS folders it points to (each followed
// once, so a loop of pointers ends), or, where they stand apart (`exifPart`,
// `gpsPart`: their IFD0), those; returns the result code's additions.
int32_t ReadExifFolders(const TiffBlock& tiff, const TiffBlock* exifPart, const TiffBlock* gpsPart,
                        const ConvertSettings& s, UserInterface& ui, PhotoEntry& photo, GpsRead& gps) {
    bool exifIfdRead = false;
    bool gpsIfdRead = false;
    int32_t code = 0;
    ForEachEntry(tiff, tiff.U32(4), [&](const IfdEntry& e) {
        uint64_t at = 0;
        uint64_t length = 0;
        switch (e.tag) {
            case kTagImageDescription:
                if (s.Photo_Icon_Title != 0 && ValueAt(tiff, e, 1, at, length)) {
                    const std::string bytes =
                        tiff.Bytes(at, static_cast<size_t>(std::min<uint64_t>(length, kMaxTitleBytes)));
                    std::string_view text = bytes;
                    text = text.substr(0, text.find('\0'));
                    if (!DecodeExifTitle(text, photo.Title)) {
                        ui.Show(MakeNotice(Notice::ExifTitleUndecodable));
                    }
                }
                break;
            case kTagDateTime:
                if (s.Photo_Exif_DateTime != 0 && ExifDateTime(tiff, e, photo.Date, photo.Time)) {
                    code += kExifDateTime;
                    photo.DateSource = "306(Exif):DateTime";
                }
                break;
            case kTagExifIfd:
                // One Exif IFD: a second pointer is not followed.
                if (s.Photo_Exif_DateTimeOriginal != 1 || exifIfdRead) break;
                exifIfdRead = true;
                code += ReadExifIfd(tiff, e.type == 3 ? tiff.U16(e.field) : tiff.U32(e.field), photo);
                break;
            case kTagGpsIfd:
                if (gpsIfdRead) break;
                gpsIfdRead = true;
                code += kExifGps;
                ReadGpsIfd(tiff, e.type == 3 ? tiff.U16(e.field) : tiff.U32(e.field), s, photo, gps);
                break;
            default:
                break;
        }
    });
    if (exifPart != nullptr && !exifIfdRead && s.Photo_Exif_DateTimeOriginal == 1) {
        code += ReadExifIfd(*exifPart, exifPart->U32(4), photo);
    }
    if (gpsPart != nullptr && !gpsIfdRead) {
        code += kExifGps;
        ReadGpsIfd(*gpsPart, gpsPart->U32(4), s, photo, gps);
    }
    return code;
}

// A TIFF structure of its own (CR3): its header at the span's start, IFD0's
// offset within.
std::optional<TiffBlock> PartOf(PhotoFile& file, const FileSpan& span) {
    unsigned char order[2];
    if (span.Size() < 8 || !file.Read(span.start, order, 2)) return std::nullopt;
    const bool little = order[0] == 'I' && order[1] == 'I';
    if (!little && !(order[0] == 'M' && order[1] == 'M')) return std::nullopt;
    return TiffBlock(file, span, little);
}

// What the GPS folder gave, made into the photo's fields.
void TakeGpsFields(const GpsRead& gps, const LocalClock& clock, PhotoEntry& photo) {
    // A latitude without a usable longitude, or the reverse, is no position:
    // the photo is then placed by its time like one without GPS data.
    if (photo.Latitude.empty() != photo.Longitude.empty()) {
        photo.Latitude.clear();
        photo.Longitude.clear();
    }
    if (gps.hasAltitude) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%f", gps.altitudeBelowSea ? -gps.altitude : gps.altitude);
        photo.Altitude = buffer;
    }
    // A GPS time is UTC and only with its GPS date a moment: both are taken
    // (and win over the camera's dates), moved to local time. A GPS time or
    // date alone is not mixed with a local date or time of the camera.
    if (!gps.time.empty() && !gps.date.empty()) {
        photo.Time = gps.time;
        photo.Date = gps.date;
        photo.DateSource = "34853-07(GPS-Time).34853-29(GPS-Date)";
        photo.SatelliteClock = true;
        ShiftGpsToLocal(photo, OffsetAtUtc(clock, CalendarSeconds(photo.Date, photo.Time)));
    }
}

}  // namespace

int32_t ReadExif(const std::string& path, const ConvertSettings& s, const LocalClock& clock, UserInterface& ui,
                 PhotoEntry& photo) {
    const std::string name = photo.FileName;
    const uint64_t size = photo.FileSize;
    const PhotoCopy copy = photo.Copy;
    photo = PhotoEntry{};
    photo.FileName = name;
    photo.FileSize = size;
    photo.Copy = copy;

    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return kExifNoAttributes;
    SetFileDate(st, OffsetAtUtc(clock, static_cast<int64_t>(st.st_mtime)), photo);
    PhotoFile file;
    if (!file.Open(path)) return kExifNotOpened;

    TiffBlocks blocks;
    const int32_t found = FindTiffBlock(file, blocks);
    if (found != 0) return found;
    unsigned char order[2];
    if (blocks.block.Size() < 2 || !file.Read(blocks.block.start, order, 2)) return kExifBadByteOrder;
    const bool little = order[0] == 'I' && order[1] == 'I';
    const bool big = order[0] == 'M' && order[1] == 'M';
    if (!little && !big) return kExifBadByteOrder;
    int32_t code = little ? kExifIntel : kExifMotorola;

    const TiffBlock tiff(file, blocks.block, little);
    if (!tiff.Has(4, 4)) return code;
    GpsRead gps;
    const std::optional<TiffBlock> exifPart = PartOf(file, blocks.exif);
    const std::optional<TiffBlock> gpsPart = PartOf(file, blocks.gps);
    code += ReadExifFolders(tiff, exifPart ? &*exifPart : nullptr, gpsPart ? &*gpsPart : nullptr, s, ui, photo, gps);
    TakeGpsFields(gps, clock, photo);
    return code;
}

}  // namespace geoplait
