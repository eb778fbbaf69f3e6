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
#include <climits>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <memory>
#include <system_error>

#include "base/text_encoding.h"
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
CopyResult CopyPhoto(OutputFiles& outputs, const std::string& from, const std::string& to) {
    struct stat st {};
    const int in = OpenPhoto(from, st);
    if (in < 0) return CopyResult::SourceLost;
    bool empty = false;
    const int out = outputs.Open(to, WriteMode::Plain, empty, false);
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
        if (!outputs.WriteAll(out, chunk.get(), static_cast<size_t>(n))) {
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
    if (!outputs.CloseFile(out)) return CopyResult::NotWritten;
    if (result == CopyResult::SourceLost) outputs.Abandon(to);
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
    return IsUtf8Text(name) && !control ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_GUESS;
}

// A file packed into the archive, handed to libzip through this source
// rather than by name: libzip reads it when the archive is closed, seconds
// after the check, and a photo swapped for a link meanwhile would pack the
// file the link points to. The source opens the name relative to its
// folder's descriptor without following a link, and reads it only when it is
// the very file that was checked (device, inode, size, modification time);
// anything else fails this entry, and the archive is made again without it.
struct PackedFile {
    int folder;                // the folder's descriptor, or AT_FDCWD
    std::string name;          // relative to it
    struct stat checked;       // the file as it was checked
    bool* changed;             // set when the file is no longer the one checked
    int fd = -1;
    zip_error_t error{};
};

bool SameIdentity(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

zip_int64_t PackedFileLost(PackedFile& file, int zipError) {
    *file.changed = true;
    zip_error_set(&file.error, zipError, errno);
    return -1;
}

zip_int64_t PackedFileCall(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    PackedFile& file = *static_cast<PackedFile*>(userdata);
    switch (command) {
        case ZIP_SOURCE_OPEN: {
            file.fd = openat(file.folder, file.name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            struct stat now {};
            if (file.fd < 0 || fstat(file.fd, &now) != 0 || !S_ISREG(now.st_mode) ||
                !SameIdentity(now, file.checked)) {
                if (file.fd >= 0) close(file.fd);
                file.fd = -1;
                return PackedFileLost(file, ZIP_ER_CHANGED);
            }
            return 0;
        }
        case ZIP_SOURCE_READ: {
            for (;;) {
                const ssize_t n = read(file.fd, data, static_cast<size_t>(std::min<zip_uint64_t>(length, SSIZE_MAX)));
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) return PackedFileLost(file, ZIP_ER_READ);
                return static_cast<zip_int64_t>(n);
            }
        }
        case ZIP_SOURCE_CLOSE:
            if (file.fd >= 0) close(file.fd);
            file.fd = -1;
            return 0;
        case ZIP_SOURCE_STAT: {
            auto* st = static_cast<zip_stat_t*>(data);
            zip_stat_init(st);
            st->size = static_cast<zip_uint64_t>(file.checked.st_size);
            st->mtime = file.checked.st_mtim.tv_sec;
            st->valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&file.error, data, length);
        case ZIP_SOURCE_FREE:
            if (file.fd >= 0) close(file.fd);
            zip_error_fini(&file.error);
            delete &file;
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        default:
            zip_error_set(&file.error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
    }
}

// Adds the file `name` of `folder` (a descriptor, or AT_FDCWD for a path) as
// entry `entryName`; false when it cannot be read now. `changed` is set when
// it is no longer the same file when the archive is written.
bool AddFileEntry(zip_t* archive, int folder, const std::string& name, const std::string& entryName, bool deflate,
                  std::time_t now, bool* changed) {
    struct stat st {};
    const int fd = openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    close(fd);
    if (!regular) return false;
    auto* file = new PackedFile{folder, name, st, changed};
    zip_error_init(&file->error);
    zip_source_t* source = zip_source_function(archive, PackedFileCall, file);
    if (source == nullptr) {
        zip_error_fini(&file->error);
        delete file;
        return false;
    }
    const zip_int64_t index = zip_file_add(archive, entryName.c_str(), source, NameEncoding(entryName));
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

// A photo of the archive and whether it was found changed when packed.
struct PackedPhoto {
    PhotoEntry* photo;
    bool changed;
};

enum class ArchiveResult { Written, PhotoChanged, Failed };

// One attempt at the archive with the photos not lost. PhotoChanged when a
// photo was no longer the file checked when libzip came to read it (it is
// then lost, and the archive is to be made again).
ArchiveResult WriteArchive(const PhotoRun& r, PhotoState& state, ArchiveSink& sink, int photoFolder,
                           const std::function<void()>& beforeClose) {
    const ConvertSettings& s = r.settings;
    const RunValues& run = r.run;
    OutputFiles& outputs = r.io.files;
    zip_error_fini(&sink.error);
    zip_error_init(&sink.error);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_function_create(ArchiveSinkCall, &sink, &error);
    if (source == nullptr) return ArchiveResult::Failed;
    std::unique_ptr<zip_t, ZipDiscarder> archive(zip_open_from_source(source, ZIP_CREATE | ZIP_TRUNCATE, &error));
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        return ArchiveResult::Failed;
    }
    const std::time_t now = std::time(nullptr);
    const std::string kml = outputs.WrittenPath(s.OutputFile);
    bool kmlChanged = false;
    if (!AddFileEntry(archive.get(), AT_FDCWD, kml.empty() ? s.OutputFile : kml, run.OutputName + run.OutputExtension,
                      true, now, &kmlChanged)) {
        return ArchiveResult::Failed;
    }
    const std::string prefix = run.OutputName + "_photo/";
    const std::string copies = CopyFolder(run) + "/";
    std::vector<PackedPhoto> packed;
    packed.reserve(state.PhotoTable.size());
    for (PhotoEntry& photo : state.PhotoTable) {
        // RAW and HEIC photos stay out of the archive: their placemarks name them.
        if (photo.Lost || !IsJpegFileName(photo.FileName)) continue;
        if (r.io.StopRequested()) return ArchiveResult::Failed;
        packed.push_back({&photo, false});
        // The copy when there is one (the run's own file), else the photo itself:
        // never an empty entry.
        std::string copy = outputs.WrittenPath(copies + photo.FileName);
        if (copy.empty()) copy = copies + photo.FileName;
        struct stat st {};
        const bool fromCopy = lstat(copy.c_str(), &st) == 0 && S_ISREG(st.st_mode);
        const bool added = fromCopy ? AddFileEntry(archive.get(), AT_FDCWD, copy, prefix + photo.FileName, false, now,
                                                   &packed.back().changed)
                                    : AddFileEntry(archive.get(), photoFolder, photo.FileName, prefix + photo.FileName,
                                                   false, now, &packed.back().changed);
        if (!added) {
            // This photo alone is left out.
            photo.Lost = true;
            state.LostLines.push_back(MakeNotice(Notice::PhotoNotPacked, {photo.FileName}));
        }
    }
    const zip_int64_t folder = zip_dir_add(archive.get(), prefix.c_str(), NameEncoding(prefix));
    if (folder < 0 || zip_file_set_mtime(archive.get(), static_cast<zip_uint64_t>(folder), now, 0) != 0) {
        return ArchiveResult::Failed;
    }
    if (beforeClose) beforeClose();
    if (zip_close(archive.get()) == 0) {
        archive.release();  // closed: nothing left to discard
        return ArchiveResult::Written;
    }
    bool changed = false;
    for (PackedPhoto& photo : packed) {
        if (!photo.changed || photo.photo->Lost) continue;
        photo.photo->Lost = true;
        state.LostLines.push_back(MakeNotice(Notice::PhotoNotPacked, {photo.photo->FileName}));
        changed = true;
    }
    return changed && !kmlChanged ? ArchiveResult::PhotoChanged : ArchiveResult::Failed;
}

}  // namespace

std::string CopyFolder(const RunValues& run) {
    return run.OutputDrive + run.OutputDirectory + run.OutputName + "_photo";
}

std::string OriginalPath(const ConvertSettings& s, const std::string& name) {
    if (s.PhotoDir.empty()) return "./" + name;
    return s.PhotoDir.back() == '/' ? s.PhotoDir + name : s.PhotoDir + "/" + name;
}

std::string PhotoSource(const ConvertSettings& s, const RunValues& run, const PhotoEntry& photo) {
    if (photo.Copy == PhotoCopy::Kept) return CopyFolder(run) + "/" + photo.FileName;
    return OriginalPath(s, photo.FileName);
}

void PlanPhotoCopies(const PhotoRun& r, PhotoState& state) {
    const ConvertSettings& s = r.settings;
    OutputFiles& outputs = r.io.files;
    std::vector<PhotoEntry>& photos = state.PhotoTable;
    for (PhotoEntry& photo : photos) photo.Copy = PhotoCopy::None;
    if (s.Photo_CreateDirectory == 0 || photos.empty()) return;
    const std::string folder = CopyFolder(r.run);
    // The photos are there already.
    if (SameFolder(s.PhotoDir.empty() ? "." : s.PhotoDir, folder)) return;

    // One question for all the copies an earlier run left behind.
    bool replaceAsked = false;
    bool replace = true;
    for (PhotoEntry& photo : photos) {
        if (r.io.StopRequested()) return;
        // Only JPEG photos are copied; a RAW file stays where it is, with its sidecar.
        if (!IsJpegFileName(photo.FileName)) continue;
        const std::string target = folder + "/" + photo.FileName;
        if (outputs.IsProtectedInput(target)) {
            outputs.Refuse(OutputRefusal::SameAsInput, target);
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
            replace = r.io.ui.Ask(MakeNotice(Notice::ReplacePhotos));
        }
        if (!replace) photo.Copy = PhotoCopy::Kept;
    }
}

void CopyPhotos(const PhotoRun& r, PhotoState& state, const std::function<void()>& beforeCopies) {
    const ConvertSettings& s = r.settings;
    OutputFiles& outputs = r.io.files;
    std::vector<PhotoEntry>& photos = state.PhotoTable;
    if (s.Photo_CreateDirectory == 0 || photos.empty()) return;
    outputs.MakeFolders(CopyFolder(r.run));
    if (beforeCopies) beforeCopies();
    const std::string folder = CopyFolder(r.run) + "/";
    for (PhotoEntry& photo : photos) {
        if (r.io.StopRequested()) return;
        if (photo.Copy != PhotoCopy::Make || photo.Lost) continue;
        switch (CopyPhoto(outputs, OriginalPath(s, photo.FileName), folder + photo.FileName)) {
            case CopyResult::Copied:
                break;
            case CopyResult::SourceLost:
                photo.Lost = true;
                state.LostLines.push_back(MakeNotice(Notice::PhotoLostOnCopy, {photo.FileName}));
                break;
            case CopyResult::NotWritten:
                if (outputs.Refusal() == OutputRefusal::None) {
                    r.io.ui.Show(MakeNotice(Notice::PhotoNotCopied, {photo.FileName}));
                }
                outputs.Fail();
                return;
        }
    }
}

void BuildKmz(const PhotoRun& r, PhotoState& state, const std::function<void()>& beforeClose) {
    OutputFiles& outputs = r.io.files;
    const std::string kmz = r.run.OutputDrive + r.run.OutputDirectory + r.run.OutputName + ".kmz";
    if (state.PhotoTable.empty()) {
        // Asked for and not made: the run says so rather than ending as if it were.
        AddRunWarning(r.run, MakeNotice(Notice::PhotoOutputNotMade, {kmz}));
        return;
    }
    r.io.ui.SetMessageLine(" ***** Create kmz *****");
    bool empty = false;
    const int fd = outputs.Open(kmz, WriteMode::Plain, empty);
    bool written = false;
    if (fd >= 0) {
        const ConvertSettings& s = r.settings;
        const int photoFolder = open(s.PhotoDir.empty() ? "." : s.PhotoDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ArchiveSink sink{outputs, fd, {}};
        zip_error_init(&sink.error);
        // Each photo found changed is left out and the archive made again:
        // at most once per photo.
        ArchiveResult result = ArchiveResult::PhotoChanged;
        while (result == ArchiveResult::PhotoChanged && photoFolder >= 0) {
            result = WriteArchive(r, state, sink, photoFolder, beforeClose);
        }
        if (photoFolder >= 0) close(photoFolder);
        zip_error_fini(&sink.error);
        written = outputs.CloseFile(fd) && result == ArchiveResult::Written;
    }
    if (!written) {
        if (outputs.Refusal() == OutputRefusal::None) r.io.ui.Show(MakeNotice(Notice::KmzNotCreated));
        outputs.Fail();
        return;
    }
    r.io.ui.SetMessageLine(" ***** Create kmz Complete. *****");
}

void ReportLostPhotos(RunValues& run, const PhotoState& state) {
    const std::vector<NoticeText>& lines = state.LostLines;
    if (lines.empty()) return;
    const size_t shown = std::min(lines.size(), kLostLinesShown);
    NoticeText warning = lines.front();
    for (size_t i = 1; i < shown; ++i) warning.text += "\n" + lines[i].text;
    if (lines.size() > shown) {
        warning.text += "\n" + MakeNotice(Notice::PhotosMoreLost, {static_cast<int32_t>(lines.size() - shown)}).text;
    }
    AddRunWarning(run, std::move(warning));
}

}  // namespace geoplait
