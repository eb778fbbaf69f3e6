// The photo folder of a KML document and the photo list.
//
// Folder layout: "<Folder>", its name "Photo", the style "photo_style", then per photo a
// placemark with its name items, an optional comment with what the Exif
// reader found, an optional time stamp, a description showing the photo, the
// thumbnail or shared style, and the point. A RAW or HEIC photo's
// description names it instead of showing it, and it has no thumbnail. Photos are linked as
// NAME_photo/FILE (the copy folder beside the KML, both parts URL-encoded) or
// under Photo_PhotoUrl_edit.
// The photo list has one line per photo and no header.
#include "photo/photo_folder.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "base/text_file.h"
#include "engine/track_point.h"
#include "geo/coordinates.h"
#include "geo/number_format.h"
#include "geo/time_zone.h"
#include "kml/kml_document.h"
#include "kml/kml_format.h"
#include "photo/exif_reader.h"
#include "photo/kmz_packager.h"
#include "base/text_encoding.h"
#include "photo/photo_containers.h"
#include "settings/settings_keys.h"

namespace geoplait {

namespace fs = std::filesystem;

namespace {

// The statistics comments: each line counts the photos whose ExifResult is
// one of its codes.
struct ExifStatistic {
    const char* line;
    int32_t codes[8];
};
constexpr ExifStatistic kExifStatistics[] = {
    {"<!--   Use Exif GPS   = %d -->\n", {1005, 1015, 1105, 1115, 1006, 1016, 1106, 1116}},
    {"<!--   Use Data Date  = %d -->\n", {105, 115, 106, 116}},
    {"<!--   Use Exif Date  = %d -->\n", {15, 16}},
    {"<!--   Use File Date  = %d -->\n", {1, 2, 3, 4, 9}},
    {"<!-- Exif Type  Intel = %d -->\n", {5, 15, 105, 115, 1005, 1015, 1105, 1115}},
    {"<!--            Motor = %d -->\n", {6, 16, 106, 116, 1006, 1016, 1106, 1116}},
};

void WriteStatistics(TextWriter& out, const PhotoState& state) {
    const std::vector<PhotoEntry>& photos = state.PhotoTable;
    out.Printf("<!-- Photo File all(%d) -->\n", static_cast<int>(photos.size()));
    if (state.SkippedCount > 0) out.Printf("<!-- Photo File skipped, link or not a file(%d) -->\n", state.SkippedCount);
    for (const ExifStatistic& statistic : kExifStatistics) {
        int count = 0;
        for (const PhotoEntry& photo : photos) {
            if (std::find(std::begin(statistic.codes), std::end(statistic.codes), photo.ExifResult) !=
                    std::end(statistic.codes) &&
                photo.ExifResult != 0) {
                ++count;
            }
        }
        out.Printf(statistic.line, count);
    }
}

// Text inside an XML comment: "--" may not occur there.
std::string CommentText(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '-' && !out.empty() && out.back() == '-') out.push_back(' ');
        out.push_back(c);
    }
    return out;
}

// A file name as a URL path segment: the characters that would end or change
// the path are percent-encoded; everything else, UTF-8 included, stays.
std::string UrlName(std::string_view name) {
    static constexpr std::string_view kEncoded = "\"#%<>?\\^`{|}";
    // A name that is not UTF-8 (a Shift_JIS or Latin-1 file name) has every
    // byte above ASCII encoded, so the link still names the file.
    const bool utf8 = IsUtf8Text(name);
    std::string out;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7F || (u >= 0x80 && !utf8) || kEncoded.find(c) != std::string_view::npos) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", u);
            out += hex;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// The sign before a decimal coordinate: the photo's letter when it is one of
// the two, else that of the system default hemisphere.
char SignOf(char letter, char plus, char minus, char fallback) {
    if (letter == plus) return '+';
    if (letter == minus) return '-';
    return fallback;
}

// Decimal degrees of a packed d/m/s text, moved by an offset in the given
// sense on the signed value, as the sign and the unsigned "%3.6f" text.
void PhotoCoordinate(const std::string& packed, const std::string& offset, const char* sense, char& sign,
                     std::string& degrees) {
    std::string nmea;
    std::string dms = packed;
    degrees.clear();
    CoordTexts(nmea, degrees, dms);
    if (degrees.empty()) degrees = "0.000000";
    if (NumberOf(offset) == 0.0) return;
    // Offsets move every position the same way on the globe: applied to the
    // signed value, and a position moved over the equator or the meridian
    // changes its sign.
    std::string value = sign == '-' ? "-" + degrees : degrees;
    OffsetCoordinate(value, offset, sense);
    if (!value.empty() && value[0] == '-') {
        sign = '-';
        degrees = value.substr(1);
    } else {
        if (sign == '-') sign = '+';
        degrees = value;
    }
}

// A position taken from the track moves from the Tokyo datum to WGS 84 as
// its record does (the offsets first, then the shift); a photo's own GPS
// position is WGS 84 already.
void ShiftFromTokyo(std::string& latitude, std::string& longitude) { TokyoToWgs84(latitude, longitude, true); }

// " %c:%d.%02d.%02d" of a packed d/m/s text.
void AppendDmsItem(std::string& name, char letter, const std::string& packed) {
    const int32_t x = IntegerOf(packed);
    const int32_t degrees = x / 10000;
    const int32_t minutes = (x - degrees * 10000) / 100;
    const int32_t seconds = x - (degrees * 100 + minutes) * 100;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, " %c:%d.%02d.%02d", letter, degrees, minutes, seconds);
    name += buffer;
}

std::string PlacemarkName(const ConvertSettings& s, const PhotoEntry& photo) {
    std::string name;
    const std::string& d = photo.Date;
    const std::string& t = photo.Time;
    if (s.Photo_Icon_FileName != 0) {
        // Shown as text, a file name that is not UTF-8 is read as the titles are.
        std::string shown;
        DecodeExifTitle(photo.FileName, shown);
        name += shown;
    }
    if (s.Photo_Icon_Date != 0 && d.size() >= 8) {
        name += ' ' + d.substr(0, 4) + '/' + d.substr(4, 2) + '/' + d.substr(6, 2);
    }
    if (s.Photo_Icon_Time != 0 && t.size() >= 6) {
        name += ' ' + t.substr(0, 2) + ':' + t.substr(2, 2) + ':' + t.substr(4, 2);
    }
    if (s.Photo_Icon_Title != 0) name += ' ' + photo.Title;
    if (s.Photo_Icon_Latitude != 0) AppendDmsItem(name, photo.LatitudeLetter, photo.Latitude);
    if (s.Photo_Icon_Longitudinal != 0) AppendDmsItem(name, photo.LongitudeLetter, photo.Longitude);
    return name;
}

// The photo's time stamp in the form of every other KML time stamp. Its
// date form carries two year digits, so a photo dated outside 2000-2099 (or
// not dated at all) gets none rather than one in the wrong century.
void WritePhotoTimeStamp(KmlBuffer& out, const LocalClock& clock, const PhotoEntry& photo) {
    const std::string& d = photo.Date;
    if (d.size() != 8 || d.compare(0, 2, "20") != 0 || d == "00000000") return;
    const std::string date = d.substr(6, 2) + d.substr(4, 2) + d.substr(2, 2);  // ddmmyy
    WriteTimeStampLines(out, date, photo.Time, OffsetAtLocal(clock, date, photo.Time));
}

void WritePlacemark(KmlBuffer& out, const PhotoRun& r, const PhotoEntry& photo, const std::string& link) {
    const ConvertSettings& s = r.settings;
    const PhotoPosition position = PlacemarkPosition(s, r.defaultSigns, photo);

    out.Text("\n<Placemark>\n <name>");
    out.Escaped(PlacemarkName(s, photo));
    out.Text("</name>\n");
    if (s.Photo_Comment != 0) {
        char head[96];
        std::snprintf(head, sizeof head, " <!-- Ret=%04d Title=", photo.ExifResult);
        out.Text(head);
        out.Text(CommentText(photo.Title));
        out.Text(" Date=");
        out.Text(CommentText(photo.Date));
        out.Text(" Time=");
        out.Text(CommentText(photo.Time));
        out.Text(" Size=");
        out.Int(static_cast<int64_t>(photo.FileSize));
        out.Text(" lat=");
        out.Char(photo.LatitudeLetter);
        out.Char(':');
        out.Text(CommentText(photo.Latitude));
        out.Text(" lon=");
        out.Char(photo.LongitudeLetter);
        out.Char(':');
        out.Text(CommentText(photo.Longitude));
        out.Text(" Alt=");
        out.Text(CommentText(photo.Altitude));
        out.Text("  Mode=");
        out.Text(CommentText(photo.DateSource));
        out.Text("  GPS=");
        out.Text(CommentText(photo.GpsItems));
        out.Text(" -->\n");
    }
    if (s.Photo_TimeStamp != 0) WritePhotoTimeStamp(out, ClockOf(r.run), photo);
    // A RAW or HEIC photo is named, not shown: viewers of KML show JPEG only.
    const bool shown = IsJpegFileName(photo.FileName);
    if (shown) {
        out.Text(" <description>\n  <![CDATA[<pre>Photo<br /><img src=\"");
        out.Escaped(link);
        out.Text("\" border=\"0\"  width=\"");
        out.Escaped(s.Photo_PhotoWidth);
        out.Text("\" ></pre>]]>\n");
    } else {
        out.Text(" <description>\n  <![CDATA[<pre>Photo<br />");
        out.Escaped(photo.FileName);
        out.Text("</pre>]]>\n");
    }
    if (s.Photo_Label != 0) {
        out.Text("  Date:");
        out.Escaped(photo.Date);
        out.Text("  Time:");
        out.Escaped(photo.Time);
        out.Text("\n");
    }
    out.Text(" </description>\n");
    if (s.Photo_IconThumbnail != 0 && shown) {
        out.Text(" <Style>\n  <IconStyle>\n   <scale>");
        out.Escaped(s.Photo_IconThumbnail_Sizel);
        out.Text("</scale>\n   <Icon>\n    <href>");
        out.Escaped(link);
        out.Text("</href>\n   </Icon>\n  </IconStyle>\n </Style>\n");
    } else {
        out.Text(" <styleUrl>#photo_style</styleUrl>\n");
    }
    out.Text(" <Point>\n");
    WriteAltitudeModeLine(out, s);
    out.Text("  <coordinates>");
    out.Char(position.longitudeSign);
    out.Text(position.longitude);
    out.Char(',');
    out.Char(position.latitudeSign);
    out.Text(position.latitude);
    out.Char(',');
    out.Text(position.altitude);
    out.Text("</coordinates>\n </Point>\n</Placemark>\n");
}

// True when the list can hold `name` byte for byte: UTF-8 (the list's
// encoding) without a control character (a line break would end the line).
bool ListableName(std::string_view name) {
    return IsUtf8Text(name) &&
           std::none_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// A file name holding a comma or a quote is quoted, so the columns stay in
// place. A name the list cannot hold as it is stays empty, rather than name
// a file that does not exist; the run's warnings name the photo.
void WritePhotoListLine(RunValues& run, TextWriter& list, size_t number, const PhotoEntry& photo) {
    std::string name;
    if (ListableName(photo.FileName)) {
        AppendCsvField(name, photo.FileName);
    } else {
        AddRunWarning(run, MakeNotice(Notice::PhotoNotNamedInList, {photo.FileName}));
    }
    list.Printf("%zu,%04d,%s,%s,%s,%c,%s,%c,%s,%s,%llu,%s,%s\n", number, photo.ExifResult, name.c_str(),
                photo.Date.c_str(), photo.Time.c_str(), photo.LatitudeLetter, photo.Latitude.c_str(),
                photo.LongitudeLetter, photo.Longitude.c_str(), photo.Altitude.c_str(),
                static_cast<unsigned long long>(photo.FileSize), photo.DateSource.c_str(), photo.GpsItems.c_str());
}

}  // namespace

PhotoPosition PlacemarkPosition(const ConvertSettings& s, HemisphereSigns defaultSigns, const PhotoEntry& photo) {
    PhotoPosition p;
    p.latitudeSign = SignOf(photo.LatitudeLetter, 'N', 'S', defaultSigns.latitude);
    p.longitudeSign = SignOf(photo.LongitudeLetter, 'E', 'W', defaultSigns.longitude);
    PhotoCoordinate(photo.Latitude, s.OffNS, "-", p.latitudeSign, p.latitude);
    PhotoCoordinate(photo.Longitude, s.OffWE, "+", p.longitudeSign, p.longitude);
    if (photo.FromTrack && s.Tokyo2WGS84 != 0) ShiftFromTokyo(p.latitude, p.longitude);
    AssignFixed(p.altitude, NumberOf(photo.Altitude) + NumberOf(s.OffAltitude), 2, 1);
    return p;
}

void ScanPhotoFolder(const PhotoRun& r, PhotoState& state) {
    const ConvertSettings& s = r.settings;
    std::vector<PhotoEntry>& photos = state.PhotoTable;
    photos.clear();
    TextWriter out;
    if (!out.Open(r.io.files, s.OutputFile, WriteMode::Append)) return;
    std::error_code ec;
    if (!fs::is_directory(s.PhotoDir, ec)) {
        r.io.ui.Show(MakeNotice(Notice::PhotoFolderNotFound));
        return;
    }
    std::vector<std::string> names;
    state.SkippedCount = 0;
    state.LostLines.clear();
    fs::directory_iterator it(s.PhotoDir, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (!IsPhotoFileName(name)) continue;
        // The entry itself, not what a link leads to: a link could hand a
        // private file to the copies and the archive.
        std::error_code typeError;
        if (it->symlink_status(typeError).type() == fs::file_type::regular) {
            names.push_back(std::move(name));
        } else {
            ++state.SkippedCount;
        }
    }
    if (ec) r.io.ui.Show(MakeNotice(Notice::PhotoFolderError));
    if (names.empty()) {
        if (s.Photo_Comment != 0 && state.SkippedCount > 0) WriteStatistics(out, state);
        out.Close();
        return;
    }
    // Name order, so that outputs repeat whatever order the listing has.
    std::sort(names.begin(), names.end());
    photos.resize(names.size());
    for (size_t i = 0; i < names.size(); ++i) photos[i].FileName = names[i];
    // A kept copy describes its photo, so the copies are decided first.
    PlanPhotoCopies(r, state);
    if (r.io.StopRequested()) return;
    const LocalClock clock = ClockOf(r.run);
    for (PhotoEntry& photo : photos) {
        if (r.io.StopRequested()) return;
        const std::string path = PhotoSource(s, r.run, photo);
        struct stat st {};
        photo.FileSize = lstat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
        photo.ExifResult = ReadExif(path, s, clock, r.io.ui, photo);
        if (photo.ExifResult == kExifNotOpened || photo.ExifResult == kExifNoAttributes) {
            // Its placemark stays; it cannot be copied or packed.
            photo.Lost = true;
            state.LostLines.push_back(MakeNotice(Notice::PhotoNotRead, {photo.FileName}));
        }
        if (s.Photo_Exif_GPS_Point == 0) {
            photo.LatitudeLetter = ' ';
            photo.LongitudeLetter = ' ';
            photo.Latitude.clear();
            photo.Longitude.clear();
        }
    }
    if (s.Photo_Comment != 0) WriteStatistics(out, state);
    out.Close();
}

void SetDefaultLocation(const ConvertSettings& s, PhotoState& state) {
    for (PhotoEntry& photo : state.PhotoTable) {
        if (photo.HasPosition()) continue;
        photo.Latitude = s.Photo_Default_Latitude;
        photo.Longitude = s.Photo_Default_Longitudinal;
        photo.Altitude = "0.00";
        photo.LatitudeLetter = s.Photo_Default_Latitude_ns.empty() ? ' ' : s.Photo_Default_Latitude_ns[0];
        photo.LongitudeLetter =
            s.Photo_Default_Longitudinal_we.empty() ? ' ' : s.Photo_Default_Longitudinal_we[0];
        photo.GpsItems += "(No Tag. Set Default)";
    }
}

void WritePhotoFolder(const PhotoRun& r, PhotoState& state) {
    const ConvertSettings& s = r.settings;
    OutputFiles& outputs = r.io.files;
    const std::vector<PhotoEntry>& photos = state.PhotoTable;
    state.PlacedCount = 0;
    if (photos.empty()) {
        if (s.Photo_CsvOut != 0) AddRunWarning(r.run, MakeNotice(Notice::PhotoOutputNotMade, {r.run.PhotoListPath}));
        return;
    }
    // The copy folder's name is a path segment of the link like the file
    // name: "trip #1" must not start a fragment nor "50%20off" decode to
    // another name. A base the user typed is a URL already and stays as is.
    std::string base = UrlName(r.run.OutputName) + "_photo/";
    if (s.Photo_PhotoUrl != 0) {
        base = s.Photo_PhotoUrl_edit;
        if (base.empty() || base.back() != '/') base += '/';
    }
    TextWriter file;
    if (!file.Open(outputs, s.OutputFile, WriteMode::Append)) return;
    const bool listed = s.Photo_CsvOut != 0;
    TextWriter list;
    if (listed && !list.Open(outputs, r.run.PhotoListPath, WriteMode::Plain)) {
        if (outputs.Refusal() == OutputRefusal::None) r.io.ui.Show(MakeNotice(Notice::PhotoListNotCreated));
        return;
    }
    {
        KmlBuffer out(file);
        out.Text("<Folder>\n<name>Photo</name>\n<Style id=\"photo_style\">\n <IconStyle>\n  <scale>");
        out.Escaped(s.Photo_IconSize);
        out.Text("</scale>\n");
        if (s.Photo_IconUrl != 0) {
            out.Text("  <Icon>\n   <href>");
            out.Escaped(s.Photo_IconUrl_edit);
            out.Text("</href>\n  </Icon>\n");
        }
        out.Text(" </IconStyle>\n <LabelStyle>\n  <scale>");
        out.Escaped(s.Photo_LabelSize);
        out.Text("</scale>\n </LabelStyle>\n</Style>\n");
        for (size_t i = 0; i < photos.size(); ++i) {
            if (r.io.StopRequested()) return;
            WritePlacemark(out, r, photos[i], base + UrlName(photos[i].FileName));
            if (listed) WritePhotoListLine(r.run, list, i + 1, photos[i]);
        }
        out.Text("</Folder>\n");
    }
    if (listed && !list.Close()) {
        r.io.ui.Show(MakeNotice(Notice::PhotoListNotCreated));
        return;
    }
    if (!file.Close()) return;
    state.PlacedCount = static_cast<int32_t>(photos.size());
}

}  // namespace geoplait
