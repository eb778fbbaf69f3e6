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

// Makes the written bytes durable before a rename puts them in place.
bool SyncPath(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = fsync(fd) == 0;
    close(fd);
    return ok;
}

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

bool IsExistingRegularFile(const std::string& path) {
    struct stat st {};
    return !IsDescriptorPath(path) && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

OutputFiles::Entry* OutputFiles::Find(const std::string& target) {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (it->target == target) return &*it;
    }
    return nullptr;
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
    if (exists && (!S_ISREG(st.st_mode) || IsDescriptorPath(target))) {
        // A device, a pipe or an open file: written where it is, never
        // replaced, and kept open for the whole run (a pipe closed after the
        // first KML pass would end the reader's input). Standard output is
        // written through the program's own descriptor, so that what the
        // program prints itself follows the output instead of overwriting it.
        const int own = DescriptorOf(target);
        const int fd = own >= 0 ? fcntl(own, F_DUPFD_CLOEXEC, 3) : open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return -1;
        entries_.push_back({target, {}, fd, -1});
        made = &entries_.back();
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
    RemoveStaleTemporaries(folder, TemporaryStem(NameOf(target)), user_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = TemporaryName(target, static_cast<long>(getpid()), ++serial_);
        const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return -1;
        }
        RegisterTemporary(temp);
        // The replaced file's permissions; a new file gets those of any new file.
        if (exists) (void)fchmod(fd, st.st_mode & 07777);
        // The lock tells a later run that this file is in use; the descriptor
        // holding it stays open until the file is put into place or removed.
        // Past kMostLocks files (a folder of photo copies) or without a spare
        // descriptor a file goes unlocked, so that the run never runs out of
        // descriptors for its outputs.
        const bool lock = locks_ < kMostLocks && flock(fd, LOCK_EX | LOCK_NB) == 0;
        const int handed = lock ? fcntl(fd, F_DUPFD_CLOEXEC, 3) : -1;
        if (handed >= 0) ++locks_;
        entries_.push_back({target, std::move(temp), -1, handed >= 0 ? fd : -1});
        made = &entries_.back();
        return handed >= 0 ? handed : fd;
    }
    return -1;
}

void OutputFiles::Release(Entry& entry, bool unlinkTemp) {
    if (!entry.temp.empty()) {
        if (unlinkTemp) unlink(entry.temp.c_str());
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
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (it->target != target || it->temp.empty()) continue;
        Release(*it, true);
        entries_.erase(std::next(it).base());
        return;
    }
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
    const bool beside = !IsDescriptorPath(target) && (stat(target.c_str(), &st) != 0 || S_ISREG(st.st_mode));
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

bool OutputFiles::CopyAll(int from, int to) {
    {
        std::lock_guard lock(writing_);
        if (failed_) return false;
        // Without a byte budget (a test's full disk) the kernel copies the
        // bytes itself; an appending descriptor is at its end already.
        const int flags = fcntl(to, F_GETFL);
        if (budget_ == UINT64_MAX && flags >= 0 && fcntl(to, F_SETFL, flags & ~O_APPEND) == 0) {
            bool copied = true;
            bool any = false;
            for (;;) {
                const ssize_t n = copy_file_range(from, nullptr, to, nullptr, size_t{1} << 30, 0);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) copied = false;
                if (n <= 0) break;
                any = true;
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

bool OutputFiles::Commit() {
    for (Entry& entry : entries_) {
        if (entry.kept >= 0 && close(entry.kept) != 0) failed_ = true;
        entry.kept = -1;
    }
    for (size_t i = 0; i < entries_.size() && !failed_; ++i) {
        const Entry& entry = entries_[i];
        if (entry.temp.empty()) continue;
        if ((sync_ && !SyncPath(entry.temp)) || std::rename(entry.temp.c_str(), entry.target.c_str()) != 0) {
            NoteFailure(entry.target, errno);
            failed_ = true;
            break;
        }
        Release(entries_[i], false);
    }
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
