#include "base/output_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/temporary_files.h"

namespace geoplait {

namespace {

// The descriptor an open-file name stands for (/dev/stdout is 1, /dev/fd/3
// is 3), -1 for any other name.
int DescriptorOf(std::string_view path) {
    if (path == "/dev/stdin") return 0;
    if (path == "/dev/stdout") return 1;
    if (path == "/dev/stderr") return 2;
    for (std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (!path.starts_with(prefix) || path.size() == prefix.size() || path.size() > prefix.size() + 6) continue;
        int fd = 0;
        for (char c : path.substr(prefix.size())) {
            if (c < '0' || c > '9') return -1;
            fd = fd * 10 + (c - '0');
        }
        return fd;
    }
    return -1;
}

// Names of files already open (/dev/stdout, /dev/fd/3, /proc/...): written
// where they are, as they are, even when they lead to a regular file.
bool IsDescriptorPath(std::string_view path) { return DescriptorOf(path) >= 0 || path.starts_with("/proc/"); }

// The file a path names once symbolic links are followed. A file that is no
// regular file keeps its name; a dangling link names the file it would create.
std::string ResolveLinks(const std::string& path) {
    struct stat file {};
    if (IsDescriptorPath(path)) return path;
    if (stat(path.c_str(), &file) == 0) {
        if (!S_ISREG(file.st_mode)) return path;
        char real[PATH_MAX];
        return realpath(path.c_str(), real) != nullptr ? std::string(real) : path;
    }
    std::string resolved = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (lstat(resolved.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return resolved;
        char target[PATH_MAX];
        const ssize_t n = readlink(resolved.c_str(), target, sizeof target - 1);
        if (n <= 0) return resolved;
        std::string next(target, static_cast<size_t>(n));
        if (next.front() != '/') {
            const size_t slash = resolved.rfind('/');
            if (slash != std::string::npos) next.insert(0, resolved, 0, slash + 1);
        }
        resolved = std::move(next);
    }
    return resolved;
}

// The folder of a path ("" for a bare name) and its last component.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string_view NameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
}

// "<stem>_<n><ext>" of a target (the extension of its file name).
std::string NumberedName(const std::string& target, unsigned n) {
    size_t dot = ExtensionStart(target);
    if (dot == std::string::npos) dot = target.size();
    return target.substr(0, dot) + "_" + std::to_string(n) + target.substr(dot);
}

bool CopyFileInto(const std::string& from, int to) {
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    char chunk[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = read(in, chunk, sizeof chunk);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = write(to, chunk + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return close(in), false;
            done += w;
        }
    }
    close(in);
    return ok;
}

// Folders where no file of a run is ever made: the device and process
// pseudo-files (a new /dev/stdout would catch what every later process
// writes to it).
bool IsSystemFolder(const std::string& folder) {
    char real[PATH_MAX];
    if (realpath(folder.empty() ? "." : folder.c_str(), real) == nullptr) return false;
    const std::string_view path(real);
    for (std::string_view system : {"/dev", "/proc", "/sys"}) {
        if (path == system) return true;
        if (path.starts_with(system) && path[system.size()] == '/') {
            // /dev/shm is a plain memory file system.
            return system != "/dev" || !(path == "/dev/shm" || path.starts_with("/dev/shm/"));
        }
    }
    return false;
}

// Beyond this many files, one sync of their file system is cheaper than one
// fsync each.
constexpr size_t kFilesSyncedOneByOne = 64;
// The piece of a copy into an output made durable (CopyAll) that is started
// on its way to the disk at a time.
constexpr size_t kEarlyWritePiece = size_t{8} << 20;

}  // namespace

size_t ExtensionStart(std::string_view path) {
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot <= nameStart) return std::string_view::npos;
    return dot;
}

bool MayFollowLink(const struct stat& link, const struct stat& folder, uid_t user) {
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !shared || link.st_uid == user || link.st_uid == folder.st_uid;
}

bool LinksMayBeFollowed(const std::string& path, uid_t user) {
    if (IsDescriptorPath(path)) return true;
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat link {};
        if (lstat(current.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return true;
        const std::string folderPath = FolderOf(current);
        struct stat folder {};
        if (stat(folderPath.empty() ? "." : folderPath.c_str(), &folder) != 0) return true;
        if (!MayFollowLink(link, folder, user)) return false;
        char target[PATH_MAX];
        const ssize_t n = readlink(current.c_str(), target, sizeof target - 1);
        if (n <= 0) return true;
        std::string next(target, static_cast<size_t>(n));
        if (next.front() != '/' && !folderPath.empty()) next.insert(0, folderPath + "/");
        current = std::move(next);
    }
    return true;
}

OutputRefusal UnmakeableOutput(const std::string& path) {
    struct stat st {};
    const std::string target = ResolveLinks(path);
    if (stat(target.c_str(), &st) == 0) return OutputRefusal::None;
    if (DescriptorOf(target) >= 0) return OutputRefusal::ClosedDescriptor;
    if (IsSystemFolder(FolderOf(target))) return OutputRefusal::SystemFolder;
    return OutputRefusal::None;
}

bool IsExistingRegularFile(const std::string& path) {
    struct stat st {};
    return !IsDescriptorPath(path) && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

OutputFiles::Entry* OutputFiles::Find(const std::string& target) {
    const auto found = latest_.find(target);
    return found == latest_.end() ? nullptr : &entries_[found->second];
}

OutputFiles::Entry& OutputFiles::AddEntry(Entry entry) {
    latest_[entry.target] = entries_.size();
    entries_.push_back(std::move(entry));
    return entries_.back();
}

int OutputFiles::MakeTemporary(Entry& entry, int dirfd, bool nofollow) {
    const int fd = openat(dirfd, entry.tempName.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | (nofollow ? O_NOFOLLOW : 0), 0666);
    if (fd < 0) return -1;
    RegisterTemporary(entry.temp);
    // The lock tells a later run that this file is in use; the descriptor
    // holding it stays open until the file is put into place or removed.
    // Past kMostLocks files (a folder of photo copies) or without a spare
    // descriptor a file goes unlocked, so that the run never runs out of
    // descriptors for its outputs.
    const bool lock = locks_ < kMostLocks && flock(fd, LOCK_EX | LOCK_NB) == 0;
    const int handed = lock ? fcntl(fd, F_DUPFD_CLOEXEC, 3) : -1;
    if (handed >= 0) ++locks_;
    entry.lock = handed >= 0 ? fd : -1;
    return handed >= 0 ? handed : fd;
}

int OutputFiles::Make(const std::string& target, Entry*& made, bool askReplace) {
    made = nullptr;
    struct stat st {};
    const bool exists = stat(target.c_str(), &st) == 0;
    if (exists && std::find(inputs_.begin(), inputs_.end(), std::pair(st.st_dev, st.st_ino)) != inputs_.end()) {
        refusal_ = OutputRefusal::SameAsInput;
        refusedPath_ = target;
        return -1;
    }
    if (NameOf(target).size() > kNameMax) {
        refusal_ = OutputRefusal::NameTooLong;
        refusedPath_ = target;
        return -1;
    }
    if (!exists) {
        if (const OutputRefusal why = UnmakeableOutput(target); why != OutputRefusal::None) {
            refusal_ = why;
            refusedPath_ = target;
            return -1;
        }
    }
    if (exists && (!S_ISREG(st.st_mode) || IsDescriptorPath(target))) {
        // A device, a pipe or an open file: written where it is, never
        // replaced, and kept open for the whole run (a pipe closed after the
        // first KML pass would end the reader's input). Standard output is
        // written through the program's own descriptor, so that what the
        // program prints itself follows the output instead of overwriting it.
        const int own = DescriptorOf(target);
        const int fd = own >= 0 ? fcntl(own, F_DUPFD_CLOEXEC, 3) : open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return -1;
        made = &AddEntry({target, {}, fd, -1, -1, {}, {}});
        return dup(fd);
    }
    if (exists && askReplace && !replaceAnswered_ && ask_) {
        if (!ask_()) {
            refusal_ = OutputRefusal::Declined;
            refusedPath_ = target;
            return -1;
        }
        replaceAnswered_ = true;
    }
    const std::string folder = FolderOf(target);
    stale_.Remove(folder, TemporaryStem(NameOf(target)), user_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        Entry entry{target, TemporaryName(target, static_cast<long>(getpid()), ++serial_), -1, -1, -1, {}, {}};
        entry.tempName = entry.temp;
        const int fd = MakeTemporary(entry, AT_FDCWD, false);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return -1;
        }
        // The replaced file's permissions; a new file gets those of any new file.
        if (exists) (void)fchmod(fd, st.st_mode & 07777);
        made = &AddEntry(std::move(entry));
        return fd;
    }
    return -1;
}

int OutputFiles::AddFolder(int fd, const std::string& path) {
    const int own = fd >= 0 ? fcntl(fd, F_DUPFD_CLOEXEC, 3) : -1;
    if (own < 0) {
        failed_ = true;
        return -1;
    }
    folders_.push_back({own, path.empty() ? std::string(".") : path});
    return static_cast<int>(folders_.size() - 1);
}

int OutputFiles::OpenInFolder(int folder, const std::string& name) {
    if (failed_ || folder < 0 || static_cast<size_t>(folder) >= folders_.size()) return -1;
    const Folder& where = folders_[static_cast<size_t>(folder)];
    if (name.size() > kNameMax) {
        refusal_ = OutputRefusal::NameTooLong;
        refusedPath_ = where.path + "/" + name;
        failed_ = true;
        return -1;
    }
    stale_.Remove(where.path, TemporaryStem(name), user_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, "%ld-%u.tmp", static_cast<long>(getpid()), ++serial_);
        Entry entry{where.path + "/" + name, {}, -1, -1, folder, name, TemporaryStem(name) + suffix};
        entry.temp = where.path + "/" + entry.tempName;
        const int fd = MakeTemporary(entry, where.fd, true);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            break;
        }
        AddEntry(std::move(entry));
        return fd;
    }
    failed_ = true;
    return -1;
}

bool OutputFiles::Holds(const std::string& path) {
    // A file written in a folder is known by its name there, links or not.
    return Find(path) != nullptr || Find(ResolveLinks(path)) != nullptr;
}

bool OutputFiles::MakeFolders(const std::string& path) {
    if (path.empty()) return true;
    struct stat st {};
    for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        if (!part.empty() && part.back() != '/' && stat(part.c_str(), &st) != 0) {
            // A folder another process made meanwhile (EEXIST) is not ours
            // to remove.
            if (mkdir(part.c_str(), 0777) == 0) {
                madeFolders_.push_back(part);
                RegisterFolder(part);
            } else if (errno != EEXIST) {
                return false;
            }
        }
        if (end == std::string::npos) break;
    }
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void OutputFiles::Release(Entry& entry, bool unlinkTemp) {
    if (!entry.temp.empty()) {
        const int dirfd = entry.folder >= 0 ? folders_[static_cast<size_t>(entry.folder)].fd : AT_FDCWD;
        if (unlinkTemp) unlinkat(dirfd, entry.tempName.c_str(), 0);
        ForgetTemporary(entry.temp);
        entry.temp.clear();
    }
    if (entry.lock >= 0) {
        close(entry.lock);
        --locks_;
    }
    entry.lock = -1;
}

void OutputFiles::NoteFailure(const std::string& path, int error) {
    if (failedError_ != 0 || error == 0) return;
    failedPath_ = path;
    failedError_ = error;
}

void OutputFiles::ProtectInput(const std::string& path) {
    struct stat st {};
    if (!path.empty() && stat(path.c_str(), &st) == 0) inputs_.emplace_back(st.st_dev, st.st_ino);
}

void OutputFiles::Refuse(OutputRefusal why, const std::string& path) {
    failed_ = true;
    refusal_ = why;
    refusedPath_ = path;
}

void OutputFiles::Abandon(const std::string& path) {
    const std::string target = ResolveLinks(path);
    Entry* entry = Find(target);
    if (entry == nullptr || entry->temp.empty()) return;
    // The entry stays, empty, so that the others keep their places.
    Release(*entry, true);
    latest_.erase(target);
}

bool OutputFiles::IsProtectedInput(const std::string& path) const {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 &&
           std::find(inputs_.begin(), inputs_.end(), std::pair(st.st_dev, st.st_ino)) != inputs_.end();
}

int OutputFiles::Open(const std::string& path, WriteMode mode, bool& empty, bool askReplace) {
    empty = true;
    if (failed_) return -1;
    if (!LinksMayBeFollowed(path, user_)) {
        failed_ = true;
        return -1;
    }
    std::string target = ResolveLinks(path);
    Entry* entry = Find(target);
    int fd = -1;
    if (entry != nullptr && entry->kept >= 0) {
        // A device or pipe of this run: its open descriptor again.
        fd = dup(entry->kept);
    } else if (mode == WriteMode::Append && entry != nullptr) {
        // Continue the output this set made.
        fd = open(entry->temp.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    } else if (mode == WriteMode::Append) {
        // A file this run did not make: its contents so far, then the new text.
        const bool regular = IsExistingRegularFile(target);
        fd = Make(target, entry, false);
        if (fd >= 0 && regular && !CopyFileInto(target, fd)) {
            close(fd);
            fd = -1;
        }
    } else {
        // A target this set made already is never overwritten: a new name.
        if (entry != nullptr && !entry->temp.empty()) {
            const std::string base = target;
            for (unsigned n = 2; Find(target) != nullptr; ++n) target = NumberedName(base, n);
        }
        fd = Make(target, entry, askReplace);
    }
    if (fd < 0) {
        NoteFailure(target, errno);
        failed_ = true;
        return -1;
    }
    struct stat st {};
    empty = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0;
    return fd;
}

int OutputFiles::OpenSpool(const std::string& path) {
    if (failed_) return -1;
    const std::string target = ResolveLinks(path);
    struct stat st {};
    const bool beside = !IsDescriptorPath(target) && (stat(target.c_str(), &st) != 0 || S_ISREG(st.st_mode)) &&
                        !IsSystemFolder(FolderOf(target));
    std::string base = target;
    if (!beside) {
        const char* dir = std::getenv("TMPDIR");
        base = (dir != nullptr && *dir != '\0') ? std::string(dir) : std::string("/tmp");
        if (base.back() != '/') base += '/';
        base += "geoplait-spool";
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = TemporaryName(base, static_cast<long>(getpid()), ++serial_);
        const int fd = open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            break;
        }
        unlink(temp.c_str());
        return fd;
    }
    failed_ = true;
    return -1;
}

std::string OutputFiles::PathToWrite(const std::string& path, bool askReplace) {
    bool empty = false;
    const int fd = Open(path, WriteMode::Create, empty, askReplace);
    if (fd < 0 || !CloseFile(fd)) return {};
    return WrittenPath(path);
}

bool OutputFiles::MadeDurable(const std::string& path) {
    const Entry* entry = Find(ResolveLinks(path));
    return entry != nullptr && !entry->temp.empty();
}

std::string OutputFiles::WrittenPath(const std::string& path) {
    const Entry* entry = Find(ResolveLinks(path));
    if (entry == nullptr) return {};
    return entry->temp.empty() ? entry->target : entry->temp;
}

bool OutputFiles::WriteAll(int fd, const char* data, size_t size) {
    std::lock_guard lock(writing_);
    if (failed_) return false;
    size_t allowed = size;
    if (budget_ < allowed) allowed = static_cast<size_t>(budget_);
    while (allowed > 0) {
        const ssize_t n = write(fd, data, allowed);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            NoteFailure({}, n < 0 ? errno : ENOSPC);
            break;
        }
        data += n;
        size -= static_cast<size_t>(n);
        allowed -= static_cast<size_t>(n);
        if (budget_ != UINT64_MAX) budget_ -= static_cast<uint64_t>(n);
    }
    if (size != 0) {
        // The byte budget of a test is a full disk.
        NoteFailure({}, ENOSPC);
        failed_ = true;
    }
    return !failed_;
}

bool OutputFiles::CopyAll(int from, int to, bool writeEarly) {
    {
        std::lock_guard lock(writing_);
        if (failed_) return false;
        // Without a byte budget (a test's full disk) the kernel copies the
        // bytes itself; an appending descriptor is at its end already.
        const int flags = fcntl(to, F_GETFL);
        if (budget_ == UINT64_MAX && flags >= 0 && fcntl(to, F_SETFL, flags & ~O_APPEND) == 0) {
            bool copied = true;
            bool any = false;
            // An output made durable is copied a piece at a time, each piece
            // started on its way to the disk as the next is copied: the sync
            // before the rename then waits for little more than the last.
            const size_t piece = writeEarly ? kEarlyWritePiece : size_t{1} << 30;
            off_t pieceStart = writeEarly ? lseek(to, 0, SEEK_CUR) : -1;
            for (;;) {
                const ssize_t n = copy_file_range(from, nullptr, to, nullptr, piece, 0);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) copied = false;
                if (n <= 0) break;
                any = true;
                if (pieceStart >= 0) {
                    (void)sync_file_range(to, pieceStart, n, SYNC_FILE_RANGE_WRITE);
                    pieceStart += n;
                }
            }
            (void)fcntl(to, F_SETFL, flags);
            if (copied) return true;
            // Not between these files (a pipe, another file system): copied below.
            if (any) {
                failed_ = true;
                return false;
            }
        }
    }
    char chunk[65536];
    for (;;) {
        const ssize_t n = read(from, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            failed_ = true;
            return false;
        }
        if (n == 0) return !failed_;
        if (!WriteAll(to, chunk, static_cast<size_t>(n))) return false;
    }
}

bool OutputFiles::CloseFile(int fd) {
    if (close(fd) != 0) failed_ = true;
    return !failed_;
}

bool OutputFiles::SyncTemporaries() {
    size_t count = 0;
    for (const Entry& entry : entries_) count += entry.temp.empty() ? 0 : 1;
    if (count > kFilesSyncedOneByOne) {
        // Thousands of photo copies and sidecars: the file system of each
        // folder they are in at once, rather than one flush per file.
        std::vector<std::string> folders;
        std::vector<dev_t> synced;
        for (const Entry& entry : entries_) {
            if (entry.temp.empty()) continue;
            std::string folder = entry.folder >= 0 ? folders_[static_cast<size_t>(entry.folder)].path
                                                   : FolderOf(entry.target);
            if (std::find(folders.begin(), folders.end(), folder) != folders.end()) continue;
            const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            folders.push_back(std::move(folder));
            struct stat st {};
            const bool ok = fd >= 0 && fstat(fd, &st) == 0 &&
                            (std::find(synced.begin(), synced.end(), st.st_dev) != synced.end() || syncfs(fd) == 0);
            if (fd >= 0) close(fd);
            if (!ok) return false;
            synced.push_back(st.st_dev);
        }
        return true;
    }
    for (const Entry& entry : entries_) {
        if (entry.temp.empty()) continue;
        const int dirfd = entry.folder >= 0 ? folders_[static_cast<size_t>(entry.folder)].fd : AT_FDCWD;
        const int fd = openat(dirfd, entry.tempName.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) return false;
        const bool ok = fsync(fd) == 0;
        close(fd);
        if (!ok) return false;
    }
    return true;
}

void OutputFiles::SyncFolders(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) continue;
        (void)fsync(fd);  // the files are in place: a folder that cannot sync changes nothing now
        close(fd);
    }
}

bool OutputFiles::Commit() {
    for (Entry& entry : entries_) {
        if (entry.kept >= 0 && close(entry.kept) != 0) failed_ = true;
        entry.kept = -1;
    }
    // Durable before they replace anything: a machine that stops after the
    // rename finds the new file whole, not empty.
    if (!failed_ && !SyncTemporaries()) {
        NoteFailure({}, errno);
        failed_ = true;
    }
    std::vector<std::string> renamedIn;  // each folder once
    {
        // A signal that ends the process waits for the renames: all or none.
        const CommitHold hold;
        for (size_t i = 0; i < entries_.size() && !failed_; ++i) {
            Entry& entry = entries_[i];
            if (entry.temp.empty()) continue;
            const int dirfd = entry.folder >= 0 ? folders_[static_cast<size_t>(entry.folder)].fd : AT_FDCWD;
            const std::string& name = entry.folder >= 0 ? entry.name : entry.target;
            if (renameat(dirfd, entry.tempName.c_str(), dirfd, name.c_str()) != 0) {
                NoteFailure(entry.target, errno);
                failed_ = true;
                break;
            }
            std::string folder = entry.folder >= 0 ? folders_[static_cast<size_t>(entry.folder)].path
                                                   : FolderOf(entry.target);
            if (std::find(renamedIn.begin(), renamedIn.end(), folder) == renamedIn.end()) {
                renamedIn.push_back(std::move(folder));
            }
            Release(entry, false);
        }
        if (!failed_) {
            for (const std::string& folder : madeFolders_) ForgetFolder(folder);
            madeFolders_.clear();
        }
    }
    SyncFolders(renamedIn);
    const bool ok = !failed_;
    Discard();
    return ok;
}

void OutputFiles::Discard() {
    for (Entry& entry : entries_) {
        Release(entry, true);
        if (entry.kept >= 0) close(entry.kept);
    }
    entries_.clear();
    latest_.clear();
    for (const Folder& folder : folders_) close(folder.fd);
    folders_.clear();
    stale_.Clear();
    // The folders this run made, newest first; one that holds anything stays.
    for (auto it = madeFolders_.rbegin(); it != madeFolders_.rend(); ++it) {
        rmdir(it->c_str());
        ForgetFolder(*it);
    }
    madeFolders_.clear();
}

void OutputFiles::Reset() {
    Discard();
    failed_ = false;
    refusal_ = OutputRefusal::None;
    refusedPath_.clear();
    failedPath_.clear();
    failedError_ = 0;
    replaceAnswered_ = false;
    inputs_.clear();
}

}  // namespace geoplait
