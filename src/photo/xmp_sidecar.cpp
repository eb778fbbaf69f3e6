// XMP sidecars beside the photos.
//
// A sidecar is named after the whole photo file name (IMG_0001.JPG.xmp), as
// darktable and digiKam look for it, or with Photo_SidecarName=Short after
// the name without its extension (IMG_0001.xmp), as Lightroom and other RAW
// programs do. Short names can clash: a RAW and a JPEG of one shot
// (IMG_0001.CR2, IMG_0001.JPG) would share IMG_0001.xmp. The RAW or HEIC
// photo gets it, else the first by name; the other gets none and is named,
// and no sidecar of the run ever overwrites another. The clash is found
// without regard to ASCII case, as a memory card's FAT folder finds names.
//
// A sidecar holds one XMP packet whose toolkit attribute x:xmptk names this
// program: that is how a later run knows the file is its own to replace.
// Another program that rewrites the packet puts its own toolkit there, and
// its file is then left alone. Coordinates are the XMP GPSCoordinate form
// "DDD,MM.mmmmmmR"; the altitude a rational in
// centimetres with its reference (0 above, 1 below sea level); the time stamp
// the photo's time in UTC.
#include "photo/xmp_sidecar.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/notices.h"
#include "base/temporary_files.h"
#include "base/text_file.h"
#include "geo/number_format.h"
#include "geo/time_zone.h"
#include "kml/kml_format.h"
#include "photo/photo_containers.h"
#include "photo/photo_folder.h"
#include "settings/settings_file.h"

namespace geoplait {

namespace {

constexpr std::string_view kToolkit = "x:xmptk=\"geoplait ";
// Enough of the file to find the toolkit attribute near its start.
constexpr size_t kMarkerWindow = 4096;

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

// Writes one sidecar as an output of the run, `name` in the photo folder
// `folder` of the run's outputs; false when it cannot be written. Whether an
// existing sidecar is replaced was decided before: no question.
bool WriteSidecar(const PhotoRun& r, const PhotoEntry& photo, int folder, const std::string& name) {
    const PhotoPosition position = PlacemarkPosition(r.settings, r.defaultSigns, photo);
    TextWriter file;
    if (!file.OpenInFolder(r.io.files, folder, name)) return false;
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
        const int32_t offset = OffsetAtLocal(ClockOf(r.run), CalendarSeconds(photo.Date, photo.Time));
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

// True when `st` is the file `path` names (links followed).
bool SameFile(const struct stat& st, const std::string& path) {
    struct stat other {};
    return !path.empty() && stat(path.c_str(), &other) == 0 && other.st_dev == st.st_dev && other.st_ino == st.st_ino;
}

// What may stand where a sidecar goes: nothing, a sidecar of ours (a regular
// file, not a link), or anything else, which stays as it is. A name that is
// one of the run's own files (its input, its outputs, the photo) is never
// written either. Looked at relative to the photo folder's descriptor and
// never through a link, so that what is checked is what is replaced.
enum class Existing { None, Ours, Other };

// True when `path` is the entry `name` of the folder `folder`, whether the
// file exists yet or not.
bool SameEntry(const struct stat& folder, const std::string& name, const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string_view last = slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
    if (last != name) return false;
    const std::string parent = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    struct stat st {};
    return stat(parent.c_str(), &st) == 0 && st.st_dev == folder.st_dev && st.st_ino == folder.st_ino;
}

Existing ExistingSidecar(const PhotoRun& r, int folder, const std::string& name, const std::string& path,
                         const std::string& photoPath) {
    // A name the run writes already (its output, its photo list, its
    // archive) is theirs, made or not.
    struct stat here {};
    if (name.size() > kNameMax || r.io.files.Holds(path) || fstat(folder, &here) != 0) return Existing::Other;
    const RunValues& run = r.run;
    const ConvertSettings& s = r.settings;
    for (const std::string& output : {s.OutputFile, run.PhotoListPath,
                                      run.OutputDrive + run.OutputDirectory + run.OutputName + ".kmz"}) {
        if (SameEntry(here, name, output)) return Existing::Other;
    }
    struct stat st {};
    if (fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? Existing::None : Existing::Other;
    }
    if (!S_ISREG(st.st_mode) || SameFile(st, photoPath) || SameFile(st, s.InputFile) ||
        SameFile(st, s.OutputFile) || SameFile(st, run.PhotoListPath)) {
        return Existing::Other;
    }
    const int fd = openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Existing::Other;
    std::string head(kMarkerWindow, '\0');
    size_t got = 0;
    while (got < head.size()) {
        const ssize_t n = read(fd, head.data() + got, head.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    head.resize(got);
    return IsOwnSidecar(head) ? Existing::Ours : Existing::Other;
}

// The sidecar's name: the whole photo file name and ".xmp", or (`shortName`)
// the name without its last extension and ".xmp".
std::string SidecarName(const std::string& photoName, bool shortName) {
    if (!shortName) return photoName + ".xmp";
    return photoName.substr(0, photoName.rfind('.')) + ".xmp";
}

std::string AsciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Short names: for each sidecar name (ASCII case folded), the photo placed
// from the track that gets it: a RAW or HEIC photo before a JPEG, else the
// first in name order.
std::unordered_map<std::string, const PhotoEntry*> SidecarOwners(const PhotoState& state) {
    std::unordered_map<std::string, const PhotoEntry*> owners;
    for (const PhotoEntry& photo : state.PhotoTable) {
        if (!photo.FromTrack) continue;
        const auto [at, fresh] = owners.try_emplace(AsciiLower(SidecarName(photo.FileName, true)), &photo);
        if (!fresh && IsJpegFileName(at->second->FileName) && !IsJpegFileName(photo.FileName)) at->second = &photo;
    }
    return owners;
}

}  // namespace

bool IsOwnSidecar(std::string_view bytes) {
    const size_t meta = bytes.find("<x:xmpmeta ");
    if (meta == std::string_view::npos) return false;
    const size_t end = bytes.find('>', meta);
    return bytes.substr(meta, end == std::string_view::npos ? std::string_view::npos : end - meta).find(kToolkit) !=
           std::string_view::npos;
}

void WriteSidecars(const PhotoRun& r, const PhotoState& state) {
    const ConvertSettings& s = r.settings;
    OutputFiles& outputs = r.io.files;
    if (s.Photo_Sidecar == 0) return;
    struct Pending {
        const PhotoEntry* photo;
        std::string name;  // in the photo folder
        std::string path;  // as the messages show it
    };
    std::vector<Pending> fresh;
    std::vector<Pending> replaced;
    // Every sidecar is looked at and written relative to the folder opened
    // here: a folder or a sidecar swapped for a link is never followed.
    const std::string folderPath = s.PhotoDir.empty() ? "." : s.PhotoDir;
    const int opened = open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A folder the run may not write to leaves the sidecars out rather than
    // failing the whole run with them.
    const bool writable = opened >= 0 && faccessat(opened, ".", W_OK, AT_EACCESS) == 0;
    const int folder = writable ? outputs.AddFolder(opened, folderPath) : -1;
    if (opened >= 0) close(opened);
    if (writable && folder < 0) return;  // the run has failed
    const int fd = writable ? outputs.FolderDescriptor(folder) : -1;
    const bool shortNames = s.Photo_SidecarName == "Short";
    const std::unordered_map<std::string, const PhotoEntry*> owners =
        shortNames ? SidecarOwners(state) : std::unordered_map<std::string, const PhotoEntry*>{};
    for (const PhotoEntry& photo : state.PhotoTable) {
        if (r.io.StopRequested()) return;
        if (!photo.FromTrack) continue;
        const std::string photoPath = PhotoPath(s, photo.FileName);
        const std::string name = SidecarName(photo.FileName, shortNames);
        Pending sidecar{&photo, name, PhotoPath(s, name)};
        if (shortNames) {
            const PhotoEntry* owner = owners.at(AsciiLower(name));
            if (owner != &photo) {
                AddRunWarning(r.run, MakeNotice(Notice::SidecarNameShared, {owner->FileName, photoPath}));
                continue;
            }
        }
        if (!writable) {
            AddRunWarning(r.run, MakeNotice(Notice::SidecarNotWritable, {sidecar.path}));
            continue;
        }
        switch (ExistingSidecar(r, fd, sidecar.name, sidecar.path, photoPath)) {
            case Existing::None:
                fresh.push_back(std::move(sidecar));
                break;
            case Existing::Ours:
                replaced.push_back(std::move(sidecar));
                break;
            case Existing::Other:
                AddRunWarning(r.run, MakeNotice(Notice::SidecarNotReplaced, {sidecar.path}));
                break;
        }
    }
    // Sidecars an earlier run wrote: replaced under the run's one question,
    // asked here when the output was new and the run has not asked it.
    if (!replaced.empty() && r.run.OverrideNote.empty() && !r.io.ui.Ask(MakeNotice(Notice::ReplaceOutput))) {
        for (const Pending& kept : replaced) AddRunWarning(r.run, MakeNotice(Notice::SidecarNotReplaced, {kept.path}));
        replaced.clear();
    }
    for (const std::vector<Pending>* list : {&fresh, &replaced}) {
        for (const Pending& sidecar : *list) {
            if (r.io.StopRequested()) return;
            if (!WriteSidecar(r, *sidecar.photo, folder, sidecar.name)) return;  // the run has failed
        }
    }
}

}  // namespace geoplait
