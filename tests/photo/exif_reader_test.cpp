// The Exif reader on JPEG files built here byte by byte (both byte orders,
// every result code, broken and hostile layouts), on files written by
// exiftool, and on the regression inputs the fuzzer found.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "photo/exif_reader.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait::test {
namespace {

struct Tag {
    uint16_t tag;
    uint16_t type;  // 2 ASCII, 3 SHORT, 4 LONG, 5 RATIONAL
    uint32_t count;
    std::string data;  // already in the block's byte order
};

// A TIFF block: header, IFD0 (at `ifd0At`) with its values, then the Exif
// and GPS IFDs that IFD0 points to when they have entries.
struct Tiff {
    bool little = true;
    std::vector<Tag> ifd0, exif, gps;
    uint32_t ifd0At = 8;

    std::string N(uint64_t v, int bytes) const {
        std::string s(static_cast<size_t>(bytes), '\0');
        for (int i = 0; i < bytes; ++i) s[little ? i : bytes - 1 - i] = static_cast<char>(v >> (8 * i));
        return s;
    }
    std::string R(std::vector<std::pair<uint32_t, uint32_t>> parts) const {
        std::string s;
        for (auto [n, d] : parts) s += N(n, 4) + N(d, 4);
        return s;
    }
    static size_t Size(const std::vector<Tag>& tags) {
        size_t size = 6 + 12 * tags.size();
        for (const Tag& t : tags) size += t.data.size() > 4 ? t.data.size() : 0;
        return size;
    }
    std::string Ifd(const std::vector<Tag>& tags, size_t at) const {
        std::string entries = N(tags.size(), 2), values;
        size_t valueAt = at + 6 + 12 * tags.size();
        for (const Tag& t : tags) {
            entries += N(t.tag, 2) + N(t.type, 2) + N(t.count, 4);
            if (t.data.size() <= 4) {
                entries += t.data + std::string(4 - t.data.size(), '\0');
            } else {
                entries += N(valueAt + values.size(), 4);
                values += t.data;
            }
        }
        return entries + N(0, 4) + values;
    }
    // The header, padded up to IFD0.
    std::string Head() const {
        std::string head = (little ? "II" : "MM") + N(42, 2) + N(ifd0At, 4);
        head.resize(ifd0At, '\0');
        return head;
    }
    std::string Bytes() const { return Head() + Folders(); }
    // IFD0 and the folders after it, as they lie from `ifd0At` on.
    std::string Folders() const {
        std::vector<Tag> zero = ifd0;
        const size_t exifAt = ifd0At + Size(ifd0) + (exif.empty() ? 0 : 12) + (gps.empty() ? 0 : 12);
        const size_t gpsAt = exifAt + (exif.empty() ? 0 : Size(exif));
        if (!exif.empty()) zero.push_back({34665, 4, 1, N(exifAt, 4)});
        if (!gps.empty()) zero.push_back({34853, 4, 1, N(gpsAt, 4)});
        return Ifd(zero, ifd0At) + (exif.empty() ? "" : Ifd(exif, exifAt)) + (gps.empty() ? "" : Ifd(gps, gpsAt));
    }
};

std::string Segment(char marker, const std::string& payload) {
    const size_t n = payload.size() + 2;
    return std::string("\xFF") + marker + static_cast<char>(n >> 8) + static_cast<char>(n & 0xFF) + payload;
}
std::string Jpeg(const std::string& tiff, const std::string& before = "") {
    return "\xFF\xD8" + before + Segment('\xE1', std::string("Exif\0\0", 6) + tiff) + "\xFF\xD9";
}
const std::string kJfif = Segment('\xE0', std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14));

// A whole 1x1 grey baseline JPEG (no Exif), for exiftool to write into.
const std::string kPlainJpeg = [] {
    std::string dqt(1, '\0');
    dqt += std::string(64, '\x01');
    std::string dht(1, '\0');
    dht += std::string("\x01", 1) + std::string(15, '\0') + std::string(1, '\0');
    std::string ac = dht;
    ac[0] = '\x10';
    return "\xFF\xD8" + Segment('\xDB', dqt) + Segment('\xC0', std::string("\x08\0\x01\0\x01\x01\x01\x11\0", 9)) +
           Segment('\xC4', dht) + Segment('\xC4', ac) + Segment('\xDA', std::string("\x01\x01\0\0\x3F\0", 6)) +
           "\x3F\xFF\xD9";
}();

struct Read {
    int32_t code;
    PhotoEntry photo;
    test::Notices messages;
};

// Reads the photo at `path`, its file time set to 2023-11-14 22:13:20 UTC.
Read ReadPath(const std::string& path, int32_t timeDifference = 90000, int dateTimeOriginal = 1,
              int gpsTimeStamp = 1) {
    struct timespec times[2] = {{1700000000, 0}, {1700000000, 0}};  // 2023-11-14 22:13:20 UTC
    utimensat(AT_FDCWD, path.c_str(), times, 0);
    ConvertSettings s;
    RecordingUi ui;
    s.Photo_Icon_Title = s.Photo_Exif_DateTime = 1;
    s.Photo_Exif_DateTimeOriginal = dateTimeOriginal;
    s.Photo_Exif_GPS_TimeStamp = gpsTimeStamp;
    Read r{0, {}, {}};
    r.code = ReadExif(path, s, LocalClock(timeDifference), ui, r.photo);
    r.messages = ui.messages;
    return r;
}

Read ReadBytes(const std::string& bytes, int32_t timeDifference = 90000, int dateTimeOriginal = 1,
               int gpsTimeStamp = 1) {
    TempDir dir;
    const std::string path = dir.File("p.jpg");
    WriteFileBytes(path, bytes);
    return ReadPath(path, timeDifference, dateTimeOriginal, gpsTimeStamp);
}

// What a photo holds, in one line: code, date, time, source, letters,
// positions, altitude, GPS items, title.
std::string Summary(const Read& r) {
    const PhotoEntry& p = r.photo;
    return std::to_string(r.code) + " " + p.Date + " " + p.Time + " " + p.DateSource + " " + p.LatitudeLetter + ":" +
           p.Latitude + " " + p.LongitudeLetter + ":" + p.Longitude + " " + p.Altitude + " " + p.GpsItems + " [" +
           p.Title + "]";
}

// The file time 2023-11-14 22:13:20 UTC in local time: at + 9:00, + 15:00 and UTC.
constexpr const char* kFileDate = "20231115 071320 FileDate *: *:  ";
constexpr const char* kFileDate15 = "20231115 131320 FileDate *: *:  ";
constexpr const char* kFileDateUtc = "20231114 221320 FileDate *: *:  ";

Tag Ascii(uint16_t tag, const std::string& text) {
    return {tag, 2, static_cast<uint32_t>(text.size() + 1), text + std::string(1, '\0')};
}

Tiff Full(bool little) {
    Tiff t;
    t.little = little;
    t.ifd0 = {Ascii(270, "Harbour & <pier>"), Ascii(306, "2024:01:02 03:04:05")};
    t.exif = {Ascii(36867, "2024:01:02 06:07:08")};
    t.gps = {{1, 2, 2, "S"},
             {2, 5, 3, t.R({{35, 1}, {41, 1}, {5412, 100}})},
             {3, 2, 2, "W"},
             {4, 5, 3, t.R({{139, 1}, {4623, 100}, {0, 1}})},
             {5, 1, 1, "\x01"},
             {6, 5, 1, t.R({{125, 10}})},
             {7, 5, 3, t.R({{9, 1}, {30, 1}, {1512, 100}})},
             Ascii(29, "2024:01:31")};
    return t;
}

TEST(ExifReader, CodesAndLayouts) {
    Tiff intel = Full(true), motorola = Full(false), moved = Full(true), dateOnly;
    moved.ifd0At = 100;
    dateOnly.little = false;
    dateOnly.ifd0 = {Ascii(306, "2024:01:02 03:04:05")};
    const std::string gpsRead =
        " S:354154.120000 W:1394613.800000 -12.500000 34853-02(Lat).34853-04(Lon).34853-06(Alt) [Harbour & <pier>]";
    struct Case {
        const char* what;
        std::string bytes;
        std::string expected;
    } cases[] = {
        {"not a JPEG", "GIF89a", std::string("1 ") + kFileDate15 + " []"},
        {"empty file", "", std::string("1 ") + kFileDate15 + " []"},
        {"no marker after SOI", std::string("\xFF\xD8\x00\x01", 4), std::string("2 ") + kFileDate15 + " []"},
        {"no APP segment", kPlainJpeg, std::string("7 ") + kFileDate15 + " []"},
        {"APP1 holding XMP", "\xFF\xD8" + Segment('\xE1', "http://ns.adobe.com/xap/1.0/"),
         std::string("3 ") + kFileDate15 + " []"},
        {"byte order XX", Jpeg("XX*\0"), std::string("4 ") + kFileDate15 + " []"},
        {"Intel, all tags", Jpeg(intel.Bytes()), "1115 20240201 003015 34853-07(GPS-Time).34853-29(GPS-Date)" + gpsRead},
        {"Motorola, all tags", Jpeg(motorola.Bytes()),
         "1116 20240201 003015 34853-07(GPS-Time).34853-29(GPS-Date)" + gpsRead},
        {"Motorola, DateTime only", Jpeg(dateOnly.Bytes()), "16 20240102 030405 306(Exif):DateTime *: *:   []"},
        {"IFD0 not at 8, long JFIF and a comment first",
         Jpeg(moved.Bytes(), Segment('\xE0', "JFIF" + std::string(200, 'x')) + Segment('\xFE', "hi")),
         "1115 20240201 003015 34853-07(GPS-Time).34853-29(GPS-Date)" + gpsRead},
        {"standard JFIF first", Jpeg(dateOnly.Bytes(), kJfif), "16 20240102 030405 306(Exif):DateTime *: *:   []"},
    };
    for (const Case& c : cases) EXPECT_EQ(Summary(ReadBytes(c.bytes, 150000)), c.expected) << c.what;
}

TEST(ExifReader, FileNotReadable) {
    TempDir dir;
    const ConvertSettings s;
    RecordingUi ui;
    PhotoEntry photo;
    EXPECT_EQ(ReadExif(dir.File("missing.jpg"), s, LocalClock(), ui, photo), kExifNoAttributes);
    EXPECT_EQ(photo.Date + photo.DateSource, "00000000Error(NoDate)");
    // A socket has attributes but does not open.
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir.File("s.jpg");
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(ReadExif(socketPath, s, LocalClock(), ui, photo), kExifNotOpened);
    EXPECT_EQ(photo.DateSource, "FileDate");
    close(fd);
}

TEST(ExifReader, ValuesAndOptions) {
    Tiff t;
    auto gps = [&](std::vector<Tag> tags, int32_t difference = 90000, int original = 1, int stamps = 1) {
        t.gps = std::move(tags);
        return Summary(ReadBytes(Jpeg(t.Bytes()), difference, original, stamps));
    };
    // Kodak: fractional minutes carry into the seconds; Nikon: seconds 724/100.
    // A GPS time without its GPS date is no moment: the file time stays.
    EXPECT_EQ(gps({{2, 5, 3, t.R({{0, 1}, {22278, 1000}, {0, 1}})}, {4, 5, 3, t.R({{139, 1}, {0, 1}, {0, 1}})},
                   {7, 5, 3, t.R({{14, 1}, {27, 1}, {724, 100}})}}),
              "1005 20231115 071320 FileDate *:2216.680000 *:1390000.000000  34853-02(Lat).34853-04(Lon). []");
    // Half a position is none; lower-case references name the hemisphere.
    EXPECT_EQ(gps({{1, 2, 2, "N"}, {2, 5, 3, t.R({{35, 1}, {0, 1}, {0, 1}})}}),
              "1005 20231115 071320 FileDate N: *:  34853-02(Lat). []");
    EXPECT_EQ(gps({{2, 5, 3, t.R({{35, 1}, {0, 1}, {0, 1}})}, {4, 5, 3, t.R({{10, 0}, {0, 1}, {0, 1}})}}),
              "1005 20231115 071320 FileDate *: *:  34853-02(Lat). []");
    EXPECT_EQ(gps({{4, 5, 3, t.R({{10, 1}, {0, 1}, {0, 1}})}}), "1005 20231115 071320 FileDate *: *:  34853-04(Lon). []");
    EXPECT_EQ(gps({{1, 2, 2, "s"}, {2, 5, 3, t.R({{1, 1}, {0, 1}, {0, 1}})}, {3, 2, 2, "w"},
                   {4, 5, 3, t.R({{2, 1}, {0, 1}, {0, 1}})}}),
              "1005 20231115 071320 FileDate S:10000.000000 W:20000.000000  34853-02(Lat).34853-04(Lon). []");
    // GPS time and date both: moved by the time difference, across midnight backwards.
    EXPECT_EQ(gps({{7, 5, 3, t.R({{1, 1}, {0, 1}, {0, 1}})}, Ascii(29, "2024:03:01")}, -50000),
              "1005 20240229 200000 34853-07(GPS-Time).34853-29(GPS-Date) *: *:   []");
    // A date with the year from 1900 and the month from 0.
    EXPECT_EQ(gps({Ascii(29, "0124:00:31"), {7, 5, 3, t.R({{9, 1}, {30, 1}, {15, 1}})}}),
              "1005 20240131 183015 34853-07(GPS-Time).34853-29(GPS-Date) *: *:   []");
    // A GPS time or a GPS date alone leaves the camera's DateTimeOriginal.
    t.exif = {Ascii(36867, "2024:01:02 06:07:08")};
    EXPECT_EQ(gps({{7, 5, 3, t.R({{9, 1}, {30, 1}, {15, 1}})}}),
              "1105 20240102 060708 34665-36867(IFD):DateTimeOriginal *: *:   []");
    EXPECT_EQ(gps({Ascii(29, "2024:01:31")}), "1105 20240102 060708 34665-36867(IFD):DateTimeOriginal *: *:   []");
    t.exif.clear();
    // Zero denominators and angles beyond the pole leave the value out.
    EXPECT_EQ(gps({{2, 5, 3, t.R({{35, 1}, {41, 0}, {0, 1}})}, {4, 5, 3, t.R({{181, 1}, {0, 1}, {0, 1}})},
                   {6, 5, 1, t.R({{5, 0}})}, {1, 2, 2, "\x7F"}}),
              std::string("1005 ") + kFileDate + " []");
    EXPECT_EQ(gps({{7, 5, 3, t.R({{9, 1}, {30, 1}, {15, 1}})}}, 90000, 1, 0), std::string("1005 ") + kFileDate + " []");
    t.gps.clear();
    t.ifd0 = {Ascii(306, "    :  :     :  :  ")};
    t.exif = {Ascii(36867, "2024:13:01 00:00:00")};
    EXPECT_EQ(Summary(ReadBytes(Jpeg(t.Bytes()))), std::string("5 ") + kFileDate + " []");
    t.exif = {Ascii(36867, "2024:12:01 00:00:00")};
    EXPECT_EQ(Summary(ReadBytes(Jpeg(t.Bytes()), 0, 2)), std::string("5 ") + kFileDateUtc + " []");
}

// The file time is UTC plus the time difference, whatever zone the machine is set to.
TEST(ExifReader, FileTimeIgnoresTheMachineZone) {
    const char* saved = std::getenv("TZ");
    const std::string before = saved != nullptr ? saved : "";
    for (const char* zone : {"UTC", "Asia/Tokyo", "America/New_York"}) {
        setenv("TZ", zone, 1);
        tzset();
        EXPECT_EQ(Summary(ReadBytes("GIF89a")), std::string("1 ") + kFileDate + " []") << zone;
        EXPECT_EQ(Summary(ReadBytes("GIF89a", -50000)), "1 20231114 171320 FileDate *: *:   []") << zone;
    }
    if (saved != nullptr) {
        setenv("TZ", before.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

TEST(ExifReader, Titles) {
    struct Case {
        std::string stored;
        std::string title;
    } cases[] = {
        {"ab", "ab"},                                // inline in the entry
        {"\x93\xfa\x96\x7b\x82\xcc\x8a\x43", "日本の海"},  // Shift_JIS
        {"caf\xe9\x01", "caf\xef\xbf\xbd "},          // undecodable byte, control character
        {std::string(3000, 'L'), std::string(3000, 'L')},
        {"x\xEF\xBF\xBF", "x\xEF\xBF\xBD"},  // U+FFFF, which XML cannot hold
    };
    for (const Case& c : cases) {
        Tiff t;
        t.ifd0 = {Ascii(270, c.stored)};
        const Read r = ReadBytes(Jpeg(t.Bytes()));
        EXPECT_EQ(r.photo.Title, c.title);
        EXPECT_TRUE(r.messages.empty());
    }
    // A RAW file's title is cut at 64 KiB, which no camera writes near.
    for (const size_t length : {size_t{65535}, size_t{65536}, size_t{70000}}) {
        Tiff t;
        t.ifd0 = {Ascii(270, std::string(length, 'T'))};
        EXPECT_EQ(ReadBytes(t.Bytes()).photo.Title, std::string(std::min<size_t>(length, 65536), 'T')) << length;
    }
}

// Offsets, counts and lengths that point outside the segment; the inputs
// the fuzzer found. Each must give a code and whole texts.
TEST(ExifReader, HostileAndTruncated) {
    Tiff t = Full(true);
    const std::string whole = Jpeg(t.Bytes());
    std::vector<std::string> inputs;
    for (size_t cut = 0; cut < whole.size(); cut += 7) inputs.push_back(whole.substr(0, cut));
    std::string huge = Jpeg(t.Bytes());
    huge[4] = huge[5] = '\xFF';  // segment longer than the file
    inputs.push_back(huge);
    Tiff bad;
    bad.ifd0 = {{306, 2, 0xFFFFFFFF, bad.N(0xFFFFFFF0, 4)}, {270, 2, 0x40000000, bad.N(12, 4)},
                {34853, 4, 1, bad.N(0xFFFFFFFE, 4)}, {34665, 4, 1, bad.N(8, 4)}};
    inputs.push_back(Jpeg(bad.Bytes()));
    std::string manyEntries = bad.Bytes();
    manyEntries[8] = manyEntries[9] = '\xFF';
    inputs.push_back(Jpeg(manyEntries));
    for (const auto& entry : std::filesystem::directory_iterator(std::string(GEOPLAIT_TEST_DATA) + "/exif_regression")) {
        inputs.push_back(ReadFileBytes(entry.path().string()));
    }
    for (const std::string& input : inputs) {
        const Read r = ReadBytes(input);
        EXPECT_TRUE(r.code >= 1 && (r.code <= 9 || r.code % 10 == 5 || r.code % 10 == 6)) << r.code;
        EXPECT_EQ(r.photo.Date.find_first_not_of("0123456789"), std::string::npos);
        EXPECT_EQ(r.photo.Date.size() + r.photo.Time.size(), 14u);
    }
}

// Files as a real Exif writer lays them out (JFIF first, IFD0 offsets, the
// Exif IFD before the GPS IFD, the thumbnail IFD after).
TEST(ExifReader, WrittenByExiftool) {
    TempDir dir;
    const std::string path = dir.File("e.jpg");
    WriteFileBytes(path, "\xFF\xD8" + kJfif + kPlainJpeg.substr(2));
    const std::string command =
        "exiftool -q -overwrite_original -ImageDescription='Bay' -DateTimeOriginal='2021:07:08 09:10:11' "
        "-GPSLatitude=33.8675 -GPSLatitudeRef=S -GPSLongitude=151.2070 -GPSLongitudeRef=E -GPSAltitude=12.3 "
        "-GPSTimeStamp=23:30:00 -GPSDateStamp=2021:07:08 " + path;
    ASSERT_EQ(std::system(command.c_str()), 0) << "exiftool (libimage-exiftool-perl) is needed";
    ConvertSettings s;
    RecordingUi ui;
    s.Photo_Icon_Title = s.Photo_Exif_DateTimeOriginal = s.Photo_Exif_GPS_TimeStamp = 1;
    Read r{0, {}, {}};
    r.code = ReadExif(path, s, LocalClock(100000), ui, r.photo);
    EXPECT_EQ(Summary(r), "1106 20210709 093000 34853-07(GPS-Time).34853-29(GPS-Date) S:335203.000000 "
                          "E:1511225.200000 12.300000 34853-02(Lat).34853-04(Lon).34853-06(Alt) [Bay]");
}


// ---- Other containers: TIFF-structured RAW, RAF, ISO base media (HEIC) ----

std::string Be(uint64_t v, int bytes) {
    std::string s(static_cast<size_t>(bytes), '\0');
    for (int i = 0; i < bytes; ++i) s[static_cast<size_t>(bytes - 1 - i)] = static_cast<char>(v >> (8 * i));
    return s;
}
std::string Box(const std::string& type, const std::string& content) { return Be(content.size() + 8, 4) + type + content; }
std::string FullBox(const std::string& type, int version, const std::string& content) {
    return Box(type, std::string(1, static_cast<char>(version)) + std::string(3, '\0') + content);
}

// A HEIF file: ftyp, meta (hdlr, iinf with an Exif item and one other, iloc
// version `ilocVersion` with 4-byte offsets and lengths), then the Exif item
// in mdat ("\0\0\0\6Exif\0\0" and the TIFF block) or, with `inIdat`, in the
// meta box's idat; `metaPadding` bytes of a free box before iinf.
std::string Heif(const std::string& tiff, int ilocVersion = 0, bool inIdat = false, int64_t shiftOffset = 0,
                 size_t metaPadding = 0) {
    const std::string item = Be(6, 4) + std::string("Exif\0\0", 6) + tiff;
    const std::string ftyp = Box("ftyp", "heic" + Be(0, 4) + "mif1heic");
    const std::string iinf = FullBox("iinf", 0,
                                     Be(2, 2) + FullBox("infe", 2, Be(1, 2) + Be(0, 2) + "hvc1" + std::string(1, '\0')) +
                                         FullBox("infe", 2, Be(2, 2) + Be(0, 2) + "Exif" + std::string(1, '\0')));
    const auto meta = [&](uint64_t exifOffset) {
        std::string entries = Be(1, 2) + (ilocVersion == 1 ? Be(0, 2) : "") + Be(0, 2) + Be(1, 2) + Be(0, 4) + Be(0, 4);
        entries += Be(2, 2) + (ilocVersion == 1 ? Be(inIdat ? 1 : 0, 2) : "") + Be(0, 2) + Be(1, 2) +
                   Be(exifOffset, 4) + Be(item.size(), 4);
        const std::string iloc = FullBox("iloc", ilocVersion, Be(0x44, 1) + Be(0, 1) + Be(2, 2) + entries);
        const std::string padding = metaPadding == 0 ? "" : Box("free", std::string(metaPadding, '\0'));
        return FullBox("meta", 0, FullBox("hdlr", 0, Be(0, 4) + "pict" + std::string(13, '\0')) + padding + iinf + iloc +
                                      (inIdat ? Box("idat", item) : ""));
    };
    const size_t metaSize = meta(0).size();
    const uint64_t exifOffset = inIdat ? 0 : ftyp.size() + metaSize + 8;
    return ftyp + meta(static_cast<uint64_t>(static_cast<int64_t>(exifOffset) + shiftOffset)) +
           (inIdat ? "" : Box("mdat", item));
}

// A Fujifilm RAF head with its embedded JPEG.
std::string Raf(const std::string& jpeg) {
    std::string head = "FUJIFILMCCD-RAW 0201FF383501" + std::string(56, '\0');
    head += Be(100, 4) + Be(jpeg.size(), 4);
    head.resize(100, '\0');
    return head + jpeg;
}

// A Canon CR3: IFD0, the Exif folder and the GPS folder as TIFF structures
// of their own in the CMT boxes of Canon's uuid box in moov.
std::string Cr3(const Tiff& full) {
    Tiff ifd0 = full, exif = full, gps = full;
    ifd0.exif.clear();
    ifd0.gps.clear();
    exif.ifd0 = full.exif;
    exif.exif.clear();
    exif.gps.clear();
    gps.ifd0 = full.gps;
    gps.exif.clear();
    gps.gps.clear();
    const std::string uuid("\x85\xC0\xB6\x87\x82\x0F\x11\xE0\x81\x11\xF4\xCE\x46\x2B\x6A\x48", 16);
    return Box("ftyp", "crx " + Be(1, 4) + "crx isom") +
           Box("moov", Box("uuid", uuid + Box("CNCV", "CanonCR3_001/01.09.00/00.00.00") + Box("CMT1", ifd0.Bytes()) +
                                       Box("CMT2", exif.Bytes()) + Box("CMT3", "") + Box("CMT4", gps.Bytes())) +
                           Box("trak", "")) +
           Box("mdat", std::string(16, '\0'));
}

// The TIFF structure found in each container gives what a JPEG gives.
TEST(ExifReader, RawAndHeifContainers) {
    const std::string gpsRead =
        " S:354154.120000 W:1394613.800000 -12.500000 34853-02(Lat).34853-04(Lon).34853-06(Alt) [Harbour & <pier>]";
    const std::string all = " 20240201 003015 34853-07(GPS-Time).34853-29(GPS-Date)" + gpsRead;
    std::string orf = Full(true).Bytes();
    orf[2] = 'R';
    orf[3] = 'O';
    std::string rw2 = Full(true).Bytes();
    rw2[2] = 0x55;
    std::string unknownMagic = Full(false).Bytes();
    unknownMagic[3] = 43;
    struct Case {
        const char* what;
        std::string bytes;
        std::string expected;
    } cases[] = {
        {"TIFF RAW, Intel", Full(true).Bytes(), "1115" + all},
        {"TIFF RAW, Motorola", Full(false).Bytes(), "1116" + all},
        {"ORF magic", orf, "1115" + all},
        {"RW2 magic", rw2, "1115" + all},
        {"MM and 43: no TIFF", unknownMagic, std::string("1 ") + kFileDate15 + " []"},
        {"RAF with its JPEG", Raf(Jpeg(Full(false).Bytes())), "1116" + all},
        {"HEIF, Intel", Heif(Full(true).Bytes()), "1115" + all},
        {"HEIF, Motorola", Heif(Full(false).Bytes()), "1116" + all},
        {"HEIF, iloc version 1", Heif(Full(true).Bytes(), 1), "1115" + all},
        {"HEIF, Exif in idat", Heif(Full(false).Bytes(), 1, true), "1116" + all},
        {"HEIF, Exif item beyond the file", Heif(Full(true).Bytes(), 0, false, 1 << 20),
         std::string("7 ") + kFileDate15 + " []"},
        {"HEIF, Exif item cut by the file's end", Heif(Full(true).Bytes(), 0, false, 40),
         std::string("4 ") + kFileDate15 + " []"},
        {"ftyp alone", Box("ftyp", "heic"), std::string("7 ") + kFileDate15 + " []"},
        {"CR3, Intel", Cr3(Full(true)), "1115" + all},
        {"CR3, Motorola", Cr3(Full(false)), "1116" + all},
    };
    for (const Case& c : cases) EXPECT_EQ(Summary(ReadBytes(c.bytes, 150000)), c.expected) << c.what;
}

// Sizes that reach beyond their box or the file, boxes of 64-bit and zero
// size, and every cut of a HEIF file: nothing is read from outside, and a
// read gives a code of the table.
TEST(ExifReader, HostileContainers) {
    const std::string heif = Heif(Full(true).Bytes(), 1, true);
    std::vector<std::string> inputs;
    for (size_t cut = 0; cut < heif.size(); cut += 5) inputs.push_back(heif.substr(0, cut));
    for (size_t at = 0; at + 4 <= heif.size(); at += 4) {
        std::string bad = heif;
        bad.replace(at, 4, "\xFF\xFF\xFF\xF0");
        inputs.push_back(bad);
        bad.replace(at, 4, std::string("\0\0\0\x01", 4));
        inputs.push_back(bad);
    }
    const std::string cr3 = Cr3(Full(false));
    for (size_t cut = 0; cut < cr3.size(); cut += 5) inputs.push_back(cr3.substr(0, cut));
    for (size_t at = 0; at + 4 <= cr3.size(); at += 4) {
        std::string bad = cr3;
        bad.replace(at, 4, "\x00\x00\x00\x09");
        inputs.push_back(bad);
    }
    std::string raf = Raf(Jpeg(Full(true).Bytes()));
    raf.replace(84, 4, "\x7F\xFF\xFF\xFF");
    inputs.push_back(raf);
    for (const std::string& input : inputs) {
        const Read r = ReadBytes(input);
        EXPECT_TRUE(r.code >= 1 && (r.code <= 9 || r.code % 10 == 5 || r.code % 10 == 6)) << r.code;
        EXPECT_EQ(r.photo.Date.size() + r.photo.Time.size(), 14u);
    }
    // A 64-bit box size before the meta box, and the meta box of size 0 (to
    // the end of the file); its Exif item lies in its idat, wherever it is.
    const std::string idatHeif = Heif(Full(true).Bytes(), 1, true);
    const size_t ftypSize = 24;
    std::string rest = idatHeif.substr(ftypSize);
    EXPECT_EQ(ReadBytes(idatHeif.substr(0, ftypSize) + Be(1, 4) + "free" + Be(20, 8) + "four" + rest).code, 1115);
    rest.replace(0, 4, Be(0, 4));
    EXPECT_EQ(ReadBytes(idatHeif.substr(0, ftypSize) + rest).code, 1115);
}

// A RAW file may keep its folders after the picture, anywhere in the file
// (TIFF offsets reach 4 GiB), and a HEIF meta box may be large: each is read
// where it lies, up to the file's last byte and not one beyond.
TEST(ExifReader, MetadataBeyondTheFirstMebibyte) {
    const std::string gpsRead =
        " S:354154.120000 W:1394613.800000 -12.500000 34853-02(Lat).34853-04(Lon).34853-06(Alt) [Harbour & <pier>]";
    const std::string all = " 20240201 003015 34853-07(GPS-Time).34853-29(GPS-Date)" + gpsRead;
    const std::string noGpsDate = " 20240102 060708 34665-36867(IFD):DateTimeOriginal" + gpsRead;
    for (const bool little : {true, false}) {
        const std::string order = little ? "5" : "6";
        Tiff far = Full(little);
        far.ifd0At = (1u << 20) + 1;  // past the first MiB, at an odd offset
        const std::string bytes = far.Bytes();
        ASSERT_GT(bytes.size(), (1u << 20) + 200);
        EXPECT_EQ(Summary(ReadBytes(bytes, 150000)), "111" + order + all);
        // The GPS date, the last value, ends at the file's end (its NUL cut
        // off: ten characters are enough); one byte less and it is absent.
        EXPECT_EQ(Summary(ReadBytes(bytes.substr(0, bytes.size() - 1), 150000)), "111" + order + all);
        EXPECT_EQ(Summary(ReadBytes(bytes.substr(0, bytes.size() - 2), 150000)), "111" + order + noGpsDate);
        // IFD0 past the file's end: the header alone.
        EXPECT_EQ(Summary(ReadBytes(far.Head(), 150000)), order + " " + kFileDate15 + " []");
        // The Exif item of a HEIF file whose meta box holds 3 MiB before iinf and iloc.
        const std::string heif = Heif(Full(little).Bytes(), 0, false, 0, 3u << 20);
        EXPECT_EQ(Summary(ReadBytes(heif, 150000)), "111" + order + all);
    }
    // IFD0 and its folders in the last KiB before 4 GiB of a sparse file.
    TempDir dir;
    const std::string path = dir.File("far.dng");
    Tiff last = Full(false);
    last.ifd0At = 0xFFFFFC00u;
    const std::string folders = last.Folders();
    ASSERT_LT(uint64_t{last.ifd0At} + folders.size(), uint64_t{1} << 32);
    const std::string head = "MM" + last.N(42, 2) + last.N(last.ifd0At, 4);
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(pwrite(fd, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
    ASSERT_EQ(pwrite(fd, folders.data(), folders.size(), last.ifd0At), static_cast<ssize_t>(folders.size()));
    close(fd);
    EXPECT_EQ(Summary(ReadPath(path, 150000)), "1116" + all);
}

// An iloc box of many items whose extents take no bytes (offset and length
// sizes of 0), 65535 each: they are stepped over at once, and the Exif item
// after them is found when it is among the first 65536 items.
TEST(ExifReader, IlocItemsOfEmptyExtents) {
    const std::string all = " 20240201 003015 34853-07(GPS-Time).34853-29(GPS-Date) S:354154.120000 "
                            "W:1394613.800000 -12.500000 34853-02(Lat).34853-04(Lon).34853-06(Alt) [Harbour & <pier>]";
    const std::string item = Be(6, 4) + std::string("Exif\0\0", 6) + Full(true).Bytes();
    const std::string ftyp = Box("ftyp", "heic" + Be(0, 4) + "mif1heic");
    const std::string iinf =
        FullBox("iinf", 0, Be(1, 2) + FullBox("infe", 2, Be(1, 2) + Be(0, 2) + "Exif" + std::string(1, '\0')));
    // Sizes: offset 0, length 0, base offset 4, index 0; version 1 counts
    // items in two bytes, version 2 in four.
    const auto heif = [&](int version, uint32_t decoys) {
        const int idSize = version == 2 ? 4 : 2;
        const auto meta = [&](uint64_t exifAt) {
            std::string entries;
            for (uint32_t i = 0; i < decoys; ++i) {
                entries += Be(2, idSize) + Be(0, 2) + Be(0, 2) + Be(0, 4) + Be(0xFFFF, 2);
            }
            entries += Be(1, idSize) + Be(0, 2) + Be(0, 2) + Be(exifAt, 4) + Be(1, 2);
            return FullBox("meta", 0, iinf + FullBox("iloc", version,
                                                     Be(0x00, 1) + Be(0x40, 1) + Be(decoys + 1, idSize) + entries));
        };
        return ftyp + meta(ftyp.size() + meta(0).size() + 8) + Box("mdat", item);
    };
    EXPECT_EQ(Summary(ReadBytes(heif(1, 65534), 150000)), "1115" + all);
    EXPECT_EQ(Summary(ReadBytes(heif(2, 65535), 150000)), "1115" + all);
    EXPECT_EQ(Summary(ReadBytes(heif(2, 65536), 150000)), std::string("7 ") + kFileDate15 + " []");
}

// exiftool reads the HEIF files made here as it reads a camera's, and a
// TIFF-structured file it wrote the tags into is read here.
TEST(ExifReader, ContainersAndExiftool) {
    TempDir dir;
    const std::string heic = dir.File("p.heic");
    WriteFileBytes(heic, Heif(Full(false).Bytes()));
    const std::string listing = dir.File("listing");
    const std::string read = "exiftool -q -n -p '$GPSLatitude $GPSLongitude $DateTimeOriginal' " + heic + " > " + listing;
    ASSERT_EQ(std::system(read.c_str()), 0) << "exiftool (libimage-exiftool-perl) is needed";
    EXPECT_EQ(ReadFileBytes(listing), "-35.6983666666667 -139.7705 2024:01:02 06:07:08\n");
    const std::string cr3 = dir.File("p.cr3");
    WriteFileBytes(cr3, Cr3(Full(true)));
    ASSERT_EQ(std::system(("exiftool -q -n -p '$GPSLatitude $GPSLongitude $DateTimeOriginal' " + cr3 + " > " +
                           listing).c_str()),
              0);
    EXPECT_EQ(ReadFileBytes(listing), "-35.6983666666667 -139.7705 2024:01:02 06:07:08\n");

    const std::string dng = dir.File("p.dng");
    Tiff plain;
    plain.little = false;
    plain.ifd0 = {{256, 3, 1, plain.N(1, 2)}, {257, 3, 1, plain.N(1, 2)}, Ascii(306, "2020:01:01 00:00:00")};
    WriteFileBytes(dng, plain.Bytes());
    const std::string write =
        "exiftool -q -q -overwrite_original -DateTimeOriginal='2021:07:08 09:10:11' -GPSLatitude=33.8675 "
        "-GPSLatitudeRef=S -GPSLongitude=151.2070 -GPSLongitudeRef=E " + dng;
    ASSERT_EQ(std::system(write.c_str()), 0);
    ConvertSettings s;
    RecordingUi ui;
    s.Photo_Exif_DateTimeOriginal = 1;
    Read r{0, {}, {}};
    r.code = ReadExif(dng, s, LocalClock(0), ui, r.photo);
    EXPECT_EQ(Summary(r), "1106 20210708 091011 34665-36867(IFD):DateTimeOriginal S:335203.000000 "
                          "E:1511225.200000  34853-02(Lat).34853-04(Lon). []");
}

}  // namespace
}  // namespace geoplait::test
