// XMP sidecars beside the photos.
//
// A sidecar is named after the whole photo file name (IMG_0001.JPG.xmp), as
// darktable and digiKam look for it. It holds one XMP packet whose toolkit
// attribute x:xmptk names this program: that is how a later run knows the
// file is its own to replace. Another program that rewrites the packet puts
// its own toolkit there, and its file is then left alone. Coordinates are the
// XMP GPSCoordinate form "DDD,MM.mmmmmmR"; the altitude a rational in
// centimetres with its reference (0 above, 1 below sea level); the time stamp
// the photo's time in UTC.
#include "photo/xmp_sidecar.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "base/notices.h"
#include "base/text_file.h"
#include "geo/number_format.h"
#include "geo/time_zone.h"
#include "kml/kml_format.h"
#include "photo/photo_folder.h"
#include "settings/settings_file.h"

namespace geoplait {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kToolkit = "x:xmptk=\"geoplait ";
// Enough of the file to find the toolkit attribute near its start.
constexpr std::streamsize kMarkerWindow = 4096;

std::string PhotoPath(const ConvertSettings& s, const std::string& name) {
    if (s.PhotoDir.empty()) return "./" + name;
    return s.PhotoDir.back() == '/' ? s.PhotoDir + name : s.PhotoDir + "/" + name;
}

// Unsigned decimal degrees as "D,MM.mmmmmm" and the hemisphere letter.
std::string GpsCoordinate(const std::string& degrees, char sign, char plus, char minus) {
    const double value = std::fabs(NumberOf(degrees));
    double whole = std::floor(value);
    double minutes = std::round((value - whole) * 60.0 * 1e6) / 1e6;
    if (minutes >= 60.0) {
        whole += 1.0;
        minutes -= 60.0;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d,%09.6f%c", static_cast<int>(whole), minutes,
                  sign == '-' ? minus : plus);
    return buffer;
}

// The photo's local date and time (yyyymmdd, hhmmss) in UTC as
// "YYYY-MM-DDThh:mm:ssZ"; empty when the photo has no date.
std::string UtcTimeStamp(const PhotoEntry& photo, int32_t timeDifference) {
    const std::string& d = photo.Date;
    const std::string& t = photo.Time;
    if (d.size() != 8 || t.size() != 6 || d == "00000000") return {};
    std::tm when{};
    when.tm_year = IntegerOf(std::string_view(d).substr(0, 4)) - 1900;
    when.tm_mon = IntegerOf(std::string_view(d).substr(4, 2)) - 1;
    when.tm_mday = IntegerOf(std::string_view(d).substr(6, 2));
    when.tm_hour = IntegerOf(std::string_view(t).substr(0, 2));
    when.tm_min = IntegerOf(std::string_view(t).substr(2, 2));
    when.tm_sec = IntegerOf(std::string_view(t).substr(4, 2));
    const int32_t magnitude = timeDifference < 0 ? -timeDifference : timeDifference;
    const int32_t shift = magnitude / 10000 * 3600 + magnitude / 100 % 100 * 60 + magnitude % 100;
    const std::time_t utc = timegm(&when) - (timeDifference < 0 ? -shift : shift);
    std::tm out{};
    if (gmtime_r(&utc, &out) == nullptr) return {};
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02dZ", out.tm_year + 1900, out.tm_mon + 1,
                  out.tm_mday, out.tm_hour, out.tm_min, out.tm_sec);
    return buffer;
}

void Element(KmlBuffer& out, std::string_view name, std::string_view value) {
    out.Text("   <exif:");
    out.Text(name);
    out.Char('>');
    out.Escaped(value);
    out.Text("</exif:");
    out.Text(name);
    out.Text(">\n");
}

// Writes one sidecar as an output of the run; false when it cannot be written.
bool WriteSidecar(RunContext& ctx, const PhotoEntry& photo, const std::string& path) {
    const PhotoPosition position = PlacemarkPosition(ctx, photo);
    TextWriter file;
    // Whether an existing sidecar is replaced was decided before: no question.
    if (!file.Open(ctx.outputs, path, WriteMode::Plain, false)) return false;
    {
        KmlBuffer out(file);
        out.Text("<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
                 "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\" x:xmptk=\"geoplait ");
        out.Escaped(kVersionText);
        out.Text("\">\n"
                 " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
                 "  <rdf:Description rdf:about=\"\"\n"
                 "    xmlns:exif=\"http://ns.adobe.com/exif/1.0/\">\n");
        Element(out, "GPSVersionID", "2.3.0.0");
        Element(out, "GPSLatitude", GpsCoordinate(position.latitude, position.latitudeSign, 'N', 'S'));
        Element(out, "GPSLongitude", GpsCoordinate(position.longitude, position.longitudeSign, 'E', 'W'));
        const double altitude = NumberOf(position.altitude);
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%lld/100", std::llround(std::fabs(altitude) * 100.0));
        Element(out, "GPSAltitude", buffer);
        Element(out, "GPSAltitudeRef", altitude < 0.0 ? "1" : "0");
        const int32_t offset = OffsetAtLocal(ClockOf(ctx.run), CalendarSeconds(photo.Date, photo.Time));
        const std::string stamp = UtcTimeStamp(photo, offset);
        if (!stamp.empty()) Element(out, "GPSTimeStamp", stamp);
        Element(out, "GPSMapDatum", "WGS-84");
        out.Text("  </rdf:Description>\n"
                 " </rdf:RDF>\n"
                 "</x:xmpmeta>\n"
                 "<?xpacket end=\"w\"?>\n");
    }
    return file.Close();
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

// What may stand where a sidecar goes: nothing, a sidecar of ours (a regular
// file, links followed), or anything else, which stays as it is. A name that
// is one of the run's own files (its input, its outputs, the photo) is never
// written either.
enum class Existing { None, Ours, Other };

Existing ExistingSidecar(const RunContext& ctx, const std::string& path, const std::string& photoPath) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) return fs::is_symlink(fs::symlink_status(path, ec)) ? Existing::Other : Existing::None;
    const ConvertSettings& s = ctx.Current();
    if (!fs::is_regular_file(status) || SameFile(path, photoPath) || SameFile(path, s.InputFile) ||
        SameFile(path, s.OutputFile) || SameFile(path, ctx.run.PhotoListPath)) {
        return Existing::Other;
    }
    std::ifstream in(path, std::ios::binary);
    std::string head(static_cast<size_t>(kMarkerWindow), '\0');
    in.read(head.data(), kMarkerWindow);
    head.resize(static_cast<size_t>(in.gcount()));
    return IsOwnSidecar(head) ? Existing::Ours : Existing::Other;
}

}  // namespace

bool IsOwnSidecar(std::string_view bytes) {
    const size_t meta = bytes.find("<x:xmpmeta ");
    if (meta == std::string_view::npos) return false;
    const size_t end = bytes.find('>', meta);
    return bytes.substr(meta, end == std::string_view::npos ? std::string_view::npos : end - meta).find(kToolkit) !=
           std::string_view::npos;
}

void WriteSidecars(RunContext& ctx, const PhotoState& state) {
    const ConvertSettings& s = ctx.Current();
    if (s.Photo_Sidecar == 0) return;
    struct Pending {
        const PhotoEntry* photo;
        std::string path;
    };
    std::vector<Pending> fresh;
    std::vector<Pending> replaced;
    // A folder the run may not write to leaves the sidecars out rather than
    // failing the whole run with them.
    const bool writable = access(s.PhotoDir.empty() ? "." : s.PhotoDir.c_str(), W_OK) == 0;
    for (const PhotoEntry& photo : state.PhotoTable) {
        if (!photo.FromTrack) continue;
        const std::string photoPath = PhotoPath(s, photo.FileName);
        std::string path = photoPath + ".xmp";
        if (!writable) {
            AddRunWarning(ctx, MakeNotice(Notice::SidecarNotWritable, {path}));
            continue;
        }
        switch (ExistingSidecar(ctx, path, photoPath)) {
            case Existing::None:
                fresh.push_back({&photo, std::move(path)});
                break;
            case Existing::Ours:
                replaced.push_back({&photo, std::move(path)});
                break;
            case Existing::Other:
                AddRunWarning(ctx, MakeNotice(Notice::SidecarNotReplaced, {path}));
                break;
        }
    }
    // Sidecars an earlier run wrote: replaced under the run's one question,
    // asked here when the output was new and the run has not asked it.
    if (!replaced.empty() && ctx.run.OverrideNote.empty() && !ctx.ui.Ask(MakeNotice(Notice::ReplaceOutput))) {
        for (const Pending& kept : replaced) AddRunWarning(ctx, MakeNotice(Notice::SidecarNotReplaced, {kept.path}));
        replaced.clear();
    }
    for (const std::vector<Pending>* list : {&fresh, &replaced}) {
        for (const Pending& sidecar : *list) {
            if (!WriteSidecar(ctx, *sidecar.photo, sidecar.path)) return;  // the run has failed
        }
    }
}

}  // namespace geoplait
