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
// libzip writes the archive through a source of ours into the run's own
// temporary file, so that no temporary file of its own is left anywhere.
#include "photo/kmz_packager.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <memory>
#include <system_error>

#include "photo/photo_containers.h"
#include "settings/settings_keys.h"

namespace geoplait {

namespace fs = std::filesystem;

namespace {

constexpr size_t kLostLinesShown = 20;

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

bool SameFolder(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

// Opens a photo to read: a regular file, not through a link. -1 when it
// cannot be read.
int OpenPhoto(const std::string& path, struct stat& st) {
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return -1;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

enum class CopyResult { Copied, SourceLost, NotWritten };

// Copies as one of the run's outputs and keeps the permissions and the
// modification time (as a shell copy does). A photo that cannot be read is
// lost alone; an output that cannot be written fails the run.
CopyResult CopyPhoto(RunContext& ctx, const std::string& from, const std::string& to) {
    struct stat st {};
    const int in = OpenPhoto(from, st);
    if (in < 0) return CopyResult::SourceLost;
    bool empty = false;
    const int out = ctx.outputs.Open(to, WriteMode::Plain, empty, false);
    if (out < 0) {
        close(in);
        return CopyResult::NotWritten;
    }
    static constexpr size_t kChunk = 65536;
    auto chunk = std::make_unique<char[]>(kChunk);
    CopyResult result = CopyResult::Copied;
    for (;;) {
        const ssize_t n = read(in, chunk.get(), kChunk);
        if (n == 0) break;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            result = CopyResult::SourceLost;
            break;
        }
        if (!ctx.outputs.WriteAll(out, chunk.get(), static_cast<size_t>(n))) {
            result = CopyResult::NotWritten;
            break;
        }
    }
    close(in);
    if (result == CopyResult::Copied) {
        (void)fchmod(out, st.st_mode & 07777);
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        (void)futimens(out, times);
    }
    if (!ctx.outputs.CloseFile(out)) return CopyResult::NotWritten;
    if (result == CopyResult::SourceLost) ctx.outputs.Abandon(to);
    return result;
}

struct ZipDiscarder {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

// The name flag of an entry: UTF-8 when the name is, else its bytes as they
// stand (a Shift_JIS file name), which libzip would refuse as UTF-8. libzip
// takes no control character in a UTF-8 name either: such a name is stored
// as its bytes too.
zip_flags_t NameEncoding(const std::string& name) {
    const bool control = std::any_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 && u != '\t' && u != '\n' && u != '\r';
    });
    return IsValidUtf8(name) && !control ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_GUESS;
}

// Adds the file at `path` as entry `name`; false when it cannot be read.
bool AddFileEntry(zip_t* archive, const std::string& path, const std::string& name, bool deflate,
                  std::time_t now) {
    struct stat st {};
    const int fd = OpenPhoto(path, st);
    if (fd < 0) return false;
    close(fd);
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

// Where libzip writes the archive: the run's temporary file for NAME.kmz. The
// archive is new, so there is nothing to read.
struct ArchiveSink {
    OutputFiles& outputs;
    int fd;
    zip_error_t error;
};

zip_int64_t SinkFailed(ArchiveSink& sink, int zipError) {
    zip_error_set(&sink.error, zipError, errno);
    return -1;
}

zip_int64_t ArchiveSinkCall(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    ArchiveSink& sink = *static_cast<ArchiveSink*>(userdata);
    switch (command) {
        case ZIP_SOURCE_STAT:
            // No archive yet: libzip starts a new one.
            zip_error_set(&sink.error, ZIP_ER_READ, ENOENT);
            return -1;
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&sink.error, data, length);
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_WRITABLE;
        case ZIP_SOURCE_OPEN:
        case ZIP_SOURCE_READ:
        case ZIP_SOURCE_CLOSE:
        case ZIP_SOURCE_SEEK:
        case ZIP_SOURCE_TELL:
        case ZIP_SOURCE_FREE:
        case ZIP_SOURCE_COMMIT_WRITE:
            return 0;
        case ZIP_SOURCE_BEGIN_WRITE:
        case ZIP_SOURCE_ROLLBACK_WRITE:
        case ZIP_SOURCE_REMOVE:
            if (ftruncate(sink.fd, 0) != 0 || lseek(sink.fd, 0, SEEK_SET) != 0) return SinkFailed(sink, ZIP_ER_WRITE);
            return 0;
        case ZIP_SOURCE_WRITE:
            if (!sink.outputs.WriteAll(sink.fd, static_cast<const char*>(data), static_cast<size_t>(length))) {
                return SinkFailed(sink, ZIP_ER_WRITE);
            }
            return static_cast<zip_int64_t>(length);
        case ZIP_SOURCE_SEEK_WRITE: {
            struct stat st {};
            const off_t current = lseek(sink.fd, 0, SEEK_CUR);
            if (current < 0 || fstat(sink.fd, &st) != 0) return SinkFailed(sink, ZIP_ER_SEEK);
            const zip_int64_t offset = zip_source_seek_compute_offset(
                static_cast<zip_uint64_t>(current), static_cast<zip_uint64_t>(st.st_size), data, length, &sink.error);
            if (offset < 0) return -1;
            if (lseek(sink.fd, static_cast<off_t>(offset), SEEK_SET) < 0) return SinkFailed(sink, ZIP_ER_SEEK);
            return 0;
        }
        case ZIP_SOURCE_TELL_WRITE: {
            const off_t current = lseek(sink.fd, 0, SEEK_CUR);
            return current < 0 ? SinkFailed(sink, ZIP_ER_TELL) : static_cast<zip_int64_t>(current);
        }
        default:
            zip_error_set(&sink.error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
    }
}

bool WriteArchive(RunContext& ctx, PhotoState& state, ArchiveSink& sink) {
    const ConvertSettings& s = ctx.Current();
    const RunValues& run = ctx.run;
    zip_error_init(&sink.error);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_function_create(ArchiveSinkCall, &sink, &error);
    if (source == nullptr) return false;
    std::unique_ptr<zip_t, ZipDiscarder> archive(zip_open_from_source(source, ZIP_CREATE | ZIP_TRUNCATE, &error));
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        return false;
    }
    const std::time_t now = std::time(nullptr);
    const std::string kml = ctx.outputs.WrittenPath(s.OutputFile);
    if (!AddFileEntry(archive.get(), kml.empty() ? s.OutputFile : kml, run.OutputName + run.OutputExtension, true,
                      now)) {
        return false;
    }
    const std::string prefix = run.OutputName + "_photo/";
    const std::string copies = CopyFolder(ctx) + "/";
    for (PhotoEntry& photo : state.PhotoTable) {
        // RAW and HEIC photos stay out of the archive: their placemarks name them.
        if (photo.Lost || !IsJpegFileName(photo.FileName)) continue;
        // The copy when there is one, else the photo itself: never an empty entry.
        std::error_code ec;
        std::string copy = ctx.outputs.WrittenPath(copies + photo.FileName);
        if (copy.empty()) copy = copies + photo.FileName;
        const std::string& from = fs::is_regular_file(copy, ec) ? copy : OriginalPath(s, photo.FileName);
        if (!AddFileEntry(archive.get(), from, prefix + photo.FileName, false, now)) {
            // This photo alone is left out.
            photo.Lost = true;
            state.LostLines.push_back(MakeNotice(Notice::PhotoNotPacked, {photo.FileName}));
        }
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

std::string CopyFolder(const RunContext& ctx) {
    return ctx.run.OutputDrive + ctx.run.OutputDirectory + ctx.run.OutputName + "_photo";
}

std::string OriginalPath(const ConvertSettings& s, const std::string& name) {
    if (s.PhotoDir.empty()) return "./" + name;
    return s.PhotoDir.back() == '/' ? s.PhotoDir + name : s.PhotoDir + "/" + name;
}

std::string PhotoSource(const RunContext& ctx, const PhotoEntry& photo) {
    if (photo.Copy == PhotoCopy::Kept) return CopyFolder(ctx) + "/" + photo.FileName;
    return OriginalPath(ctx.Current(), photo.FileName);
}

void PlanPhotoCopies(RunContext& ctx, PhotoState& state) {
    const ConvertSettings& s = ctx.Current();
    std::vector<PhotoEntry>& photos = state.PhotoTable;
    for (PhotoEntry& photo : photos) photo.Copy = PhotoCopy::None;
    if (s.Photo_CreateDirectory == 0 || photos.empty()) return;
    const std::string folder = CopyFolder(ctx);
    // The photos are there already.
    if (SameFolder(s.PhotoDir.empty() ? "." : s.PhotoDir, folder)) return;

    // One question for all the copies an earlier run left behind.
    bool replaceAsked = false;
    bool replace = true;
    for (PhotoEntry& photo : photos) {
        // Only JPEG photos are copied; a RAW file stays where it is, with its sidecar.
        if (!IsJpegFileName(photo.FileName)) continue;
        const std::string target = folder + "/" + photo.FileName;
        if (ctx.outputs.IsProtectedInput(target)) {
            ctx.outputs.Refuse(OutputRefusal::SameAsInput, target);
            return;
        }
        photo.Copy = PhotoCopy::Make;
        std::error_code ec;
        if (!fs::exists(target, ec)) continue;
        if (SameFile(OriginalPath(s, photo.FileName), target)) {
            photo.Copy = PhotoCopy::Same;
            continue;
        }
        if (!replaceAsked) {
            replaceAsked = true;
            replace = ctx.ui.Ask(MakeNotice(Notice::ReplacePhotos));
        }
        if (!replace) photo.Copy = PhotoCopy::Kept;
    }
}

void CopyPhotos(RunContext& ctx, PhotoState& state) {
    const ConvertSettings& s = ctx.Current();
    std::vector<PhotoEntry>& photos = state.PhotoTable;
    if (s.Photo_CreateDirectory == 0 || photos.empty()) return;
    std::error_code ec;
    fs::create_directories(CopyFolder(ctx), ec);
    if (ctx.beforePhotoCopies) ctx.beforePhotoCopies();
    const std::string folder = CopyFolder(ctx) + "/";
    for (PhotoEntry& photo : photos) {
        if (photo.Copy != PhotoCopy::Make || photo.Lost) continue;
        switch (CopyPhoto(ctx, OriginalPath(s, photo.FileName), folder + photo.FileName)) {
            case CopyResult::Copied:
                break;
            case CopyResult::SourceLost:
                photo.Lost = true;
                state.LostLines.push_back(MakeNotice(Notice::PhotoLostOnCopy, {photo.FileName}));
                break;
            case CopyResult::NotWritten:
                if (ctx.outputs.Refusal() == OutputRefusal::None) {
                    ctx.ui.Show(MakeNotice(Notice::PhotoNotCopied, {photo.FileName}));
                }
                ctx.outputs.Fail();
                return;
        }
    }
}

void BuildKmz(RunContext& ctx, PhotoState& state) {
    const std::string kmz = ctx.run.OutputDrive + ctx.run.OutputDirectory + ctx.run.OutputName + ".kmz";
    if (state.PhotoTable.empty()) {
        // Asked for and not made: the run says so rather than ending as if it were.
        AddRunWarning(ctx, MakeNotice(Notice::PhotoOutputNotMade, {kmz}));
        return;
    }
    ctx.ui.SetMessageLine(" ***** Create kmz *****");
    bool empty = false;
    const int fd = ctx.outputs.Open(kmz, WriteMode::Plain, empty);
    bool written = false;
    if (fd >= 0) {
        ArchiveSink sink{ctx.outputs, fd, {}};
        written = WriteArchive(ctx, state, sink);
        zip_error_fini(&sink.error);
        written = ctx.outputs.CloseFile(fd) && written;
    }
    if (!written) {
        if (ctx.outputs.Refusal() == OutputRefusal::None) ctx.ui.Show(MakeNotice(Notice::KmzNotCreated));
        ctx.outputs.Fail();
        return;
    }
    ctx.ui.SetMessageLine(" ***** Create kmz Complete. *****");
}

void ReportLostPhotos(RunContext& ctx, const PhotoState& state) {
    const std::vector<NoticeText>& lines = state.LostLines;
    if (lines.empty()) return;
    const size_t shown = std::min(lines.size(), kLostLinesShown);
    NoticeText warning = lines.front();
    for (size_t i = 1; i < shown; ++i) warning.text += "\n" + lines[i].text;
    if (lines.size() > shown) {
        warning.text += "\n" + MakeNotice(Notice::PhotosMoreLost, {static_cast<int32_t>(lines.size() - shown)}).text;
    }
    AddRunWarning(ctx, std::move(warning));
}

}  // namespace geoplait
