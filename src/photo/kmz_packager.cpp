// The photo copies beside the KML and the KMZ archive.
//
// For the output DIR/NAME.kml the photos are copied into DIR/NAME_photo/ (the
// folder the placemarks link to), and the archive DIR/NAME.kmz holds, in this
// order: NAME.kml (deflated), each photo as NAME_photo/FILE (stored as it
// is: a JPEG does not shrink) and the folder entry NAME_photo/. Entries are
// streamed from their files by libzip, with UTF-8 names and ZIP64 where the
// archive needs it. Each copy and the archive are outputs of the run: written
// under a temporary name and put into place only when the whole run completes,
// so the archive packs the KML and the copies from where they are written.
#include "photo/kmz_packager.h"

#include <zip.h>

#include <ctime>
#include <filesystem>
#include <memory>
#include <system_error>

#include "settings/settings_keys.h"


namespace geoplait {

namespace fs = std::filesystem;

namespace {

std::string CopyFolder(const RunContext& ctx) {
    return ctx.run.OutputDrive + ctx.run.OutputDirectory + ctx.run.OutputName + "_photo";
}

std::string OriginalPath(const ConvertSettings& s, const std::string& name) {
    if (s.PhotoDir.empty()) return "./" + name;
    return s.PhotoDir.back() == '/' ? s.PhotoDir + name : s.PhotoDir + "/" + name;
}

// A copy made earlier with the same size and modification time needs no
// replacing.
bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec1;
    std::error_code ec2;
    const auto sizeA = fs::file_size(a, ec1);
    const auto sizeB = fs::file_size(b, ec2);
    if (ec1 || ec2 || sizeA != sizeB) return false;
    const auto timeA = fs::last_write_time(a, ec1);
    const auto timeB = fs::last_write_time(b, ec2);
    return !ec1 && !ec2 && timeA == timeB;
}

// Copies as one of the run's outputs and keeps the modification time (as a
// shell copy does).
bool CopyPhoto(RunContext& ctx, const fs::path& from, const std::string& to) {
    const std::string path = ctx.outputs.PathToWrite(to);
    if (path.empty()) return false;
    std::error_code ec;
    fs::copy_file(from, path, fs::copy_options::overwrite_existing, ec);
    if (ec) return false;
    const auto time = fs::last_write_time(from, ec);
    if (!ec) fs::last_write_time(path, time, ec);
    return true;
}

struct ZipDiscarder {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

// The name flag of an entry: UTF-8 when the name is, else its bytes as they
// stand (a Shift_JIS file name), which libzip would refuse as UTF-8.
zip_flags_t NameEncoding(const std::string& name) {
    return IsValidUtf8(name) ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_GUESS;
}

// Adds the file at `path` as entry `name`; false when it cannot be read.
bool AddFileEntry(zip_t* archive, const std::string& path, const std::string& name, bool deflate,
                  std::time_t now) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    zip_source_t* source = zip_source_file(archive, path.c_str(), 0, -1);  // -1: to the end
    if (source == nullptr) return false;
    const zip_int64_t index = zip_file_add(archive, name.c_str(), source, NameEncoding(name));
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    const auto entry = static_cast<zip_uint64_t>(index);
    return zip_set_file_compression(archive, entry, deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0) == 0 &&
           zip_file_set_mtime(archive, entry, now, 0) == 0;
}

bool WriteArchive(RunContext& ctx, const PhotoState& state, const std::string& path) {
    const ConvertSettings& s = ctx.Current();
    const RunValues& run = ctx.run;
    int error = 0;
    std::unique_ptr<zip_t, ZipDiscarder> archive(zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error));
    if (!archive) return false;
    const std::time_t now = std::time(nullptr);
    const std::string kml = ctx.outputs.WrittenPath(s.OutputFile);
    if (!AddFileEntry(archive.get(), kml.empty() ? s.OutputFile : kml, run.OutputName + run.OutputExtension, true,
                      now)) {
        return false;
    }
    const std::string prefix = run.OutputName + "_photo/";
    const std::string copies = CopyFolder(ctx) + "/";
    for (const PhotoEntry& photo : state.PhotoTable) {
        // The copy when there is one, else the photo itself: never an empty entry.
        std::error_code ec;
        std::string copy = ctx.outputs.WrittenPath(copies + photo.FileName);
        if (copy.empty()) copy = copies + photo.FileName;
        const std::string& from = fs::is_regular_file(copy, ec) ? copy : OriginalPath(s, photo.FileName);
        if (!AddFileEntry(archive.get(), from, prefix + photo.FileName, false, now)) return false;
    }
    const zip_int64_t folder = zip_dir_add(archive.get(), prefix.c_str(), NameEncoding(prefix));
    if (folder < 0 || zip_file_set_mtime(archive.get(), static_cast<zip_uint64_t>(folder), now, 0) != 0) {
        return false;
    }
    if (zip_close(archive.get()) != 0) return false;
    archive.release();  // closed: nothing left to discard
    return true;
}

}  // namespace

void CopyPhotos(RunContext& ctx, const PhotoState& state) {
    const ConvertSettings& s = ctx.Current();
    const std::vector<PhotoEntry>& photos = state.PhotoTable;
    if (s.Photo_CreateDirectory == 0 || photos.empty()) return;
    const fs::path folder = CopyFolder(ctx);
    std::error_code ec;
    fs::create_directories(folder, ec);

    // One question for all the copies an earlier run left behind.
    std::vector<bool> skip(photos.size(), false);
    bool replaceAsked = false;
    bool replace = true;
    for (size_t i = 0; i < photos.size(); ++i) {
        const fs::path target = folder / photos[i].FileName;
        if (!fs::exists(target, ec)) continue;
        if (SameFile(OriginalPath(s, photos[i].FileName), target)) {
            skip[i] = true;
            continue;
        }
        if (!replaceAsked) {
            replaceAsked = true;
            replace = ctx.ui.Ask(MakeNotice(Notice::ReplacePhotos));
        }
        skip[i] = !replace;
    }
    for (size_t i = 0; i < photos.size(); ++i) {
        if (skip[i]) continue;
        if (!CopyPhoto(ctx, OriginalPath(s, photos[i].FileName), (folder / photos[i].FileName).string())) {
            ctx.ui.Show(MakeNotice(Notice::PhotoNotCopied, {photos[i].FileName}));
            ctx.outputs.Fail();
            return;
        }
    }
}

void BuildKmz(RunContext& ctx, const PhotoState& state) {
    const std::string kmz = ctx.run.OutputDrive + ctx.run.OutputDirectory + ctx.run.OutputName + ".kmz";
    if (state.PhotoTable.empty()) {
        // Asked for and not made: the run says so rather than ending as if it were.
        AddRunWarning(ctx, MakeNotice(Notice::PhotoOutputNotMade, {kmz}));
        return;
    }
    ctx.ui.SetMessageLine(" ***** Create kmz *****");
    const std::string path = ctx.outputs.PathToWrite(kmz);
    if (path.empty() || !WriteArchive(ctx, state, path)) {
        ctx.ui.Show(MakeNotice(Notice::KmzNotCreated));
        ctx.outputs.Fail();
        return;
    }
    ctx.ui.SetMessageLine(" ***** Create kmz Complete. *****");
}

}  // namespace geoplait
