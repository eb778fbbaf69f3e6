// The outputs of a run: written aside and put into place only when the run
// completes, so that a run that does not complete leaves the earlier files.
#pragma once

#include <atomic>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/temporary_files.h"

namespace geoplait {

enum class WriteMode {
    Create,  // "w,ccs=UTF-8": truncate, byte-order mark
    Append,  // "a,ccs=UTF-8": append
    Plain,   // "w": truncate, no mark
};

// The files one run writes, so that a run that does not complete leaves the
// files that were there before byte for byte.
//
// An output that is a regular file, or does not exist yet, is written to a
// temporary file in its directory; Commit renames every one over its target
// (keeping the permissions of the file it replaces) when the run completes,
// Discard removes them when it does not. A symbolic link is followed: the file
// it points to is replaced, the link stays. An output that is not a regular
// file (a device such as /dev/full, a pipe) or names a file already open
// (/dev/stdout, /dev/fd/N: it may lead to a file the shell opened) is written
// in place and never renamed over.
//
// No output replaces an input of the run (ProtectInput): a target that is one
// of them, by device and inode whatever its name, is refused. An existing
// regular file the set did not make is replaced only after the replace
// question (SetReplaceQuestion), asked once for the whole set. A symbolic link
// in a world-writable sticky folder (/tmp) is followed only when the user or
// the folder's owner owns it, as the kernel's protected-symlinks rule has it
// for the shell's ">".
//
// Each temporary file is locked (flock) while the set holds it and noted in
// the process's list (temporary_files.h); making one removes the files a
// killed run left for the same target.
//
// Within a set, Create of a target the set created before never overwrites
// it: the new file gets the next free name "<name>_2<ext>", "_3", ...; Append
// continues the file the set made for the target (the KML passes reopen their
// output once per pass).
// Why a set refused an output, beyond a failed write.
enum class OutputRefusal {
    None,
    SameAsInput,  // the output is an input of the run
    Declined,     // the user declined replacing an existing file
    NameTooLong,  // the file name is longer than the system takes
    ClosedDescriptor,  // names a descriptor that is not open (/dev/stdout when 1 is closed)
    SystemFolder,      // a new file in /dev, /proc or /sys
};

class OutputFiles {
public:
    OutputFiles() = default;
    ~OutputFiles() { Discard(); }
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    // Opens the file to write for `target` and returns its descriptor, or -1
    // (the set has failed then). `empty` tells whether the file holds nothing yet.
    // `askReplace` false: the caller asked about replacing `target` itself.
    int Open(const std::string& target, WriteMode mode, bool& empty, bool askReplace = true);
    // For a file that another library writes itself (an archive, a copied
    // photo): registers `target` as Create does and returns the path to write,
    // the temporary file or the target itself; empty (the set has failed) when
    // it cannot be made. A library that fails to write it calls Fail().
    std::string PathToWrite(const std::string& target, bool askReplace = true);
    // A folder written relative to its descriptor (OpenInFolder): the set
    // keeps a descriptor of its own of `fd`, whose path is `path`. Returns the
    // folder's handle, -1 (the set has failed) when it cannot be kept.
    int AddFolder(int fd, const std::string& path);
    // The descriptor of a folder handle, to look at what stands in it.
    int FolderDescriptor(int folder) const { return folders_[static_cast<size_t>(folder)].fd; }
    // Opens the file `name` of a folder (AddFolder) to write, relative to the
    // folder's descriptor: the temporary file is made there without following
    // a link and renamed over `name` (renameat) when the run completes, so
    // that a link standing in its place is replaced, never followed. -1 (the
    // set has failed) when it cannot be made. No replace question.
    int OpenInFolder(int folder, const std::string& name);
    // True when the set writes an output to `path` (links followed).
    bool Holds(const std::string& path);
    // Makes the folder `path` and every missing folder above it, noting the
    // ones made: a run that does not complete removes them again (when
    // empty), one that completes keeps them. True when `path` is a folder then.
    bool MakeFolders(const std::string& path);
    // Whether MakeFolders made any folder in this set.
    bool MadeFolders() const { return !madeFolders_.empty(); }
    // Where the output made for `target` is being written (to read it back
    // before the run completes, as a KMZ packs its KML); empty when none is.
    std::string WrittenPath(const std::string& target);
    // Whether the output made for `target` is a temporary file that Commit
    // makes durable before it puts it into place.
    bool MadeDurable(const std::string& target);
    // A scratch file for text a run writes before it can go to its output
    // (the path section of a KML, written while the placemarks are): made
    // beside `target`, or in $TMPDIR (else /tmp) when the target is not a
    // regular file, and unlinked at once, so that it never outlives the run.
    // Open for reading and writing; -1 (the set has failed) when it cannot be made.
    int OpenSpool(const std::string& target);
    // Writes the bytes whole; false, and the set fails, on any error. Safe
    // to call from several threads.
    bool WriteAll(int fd, const char* data, size_t size);
    // Copies what `from` holds after its offset to `to`, at the end of what
    // was written there, by the kernel where it can; false, and the set
    // fails, on any error. `writeEarly`: `to` is made durable when the run
    // completes, and the system is asked to start writing out what is
    // copied while the copy goes on.
    bool CopyAll(int from, int to, bool writeEarly = false);
    // Closes a descriptor from Open; false, and the set fails, on an error.
    bool CloseFile(int fd);

    // Notes an input of the run: an output that is this file is refused.
    void ProtectInput(const std::string& path);
    // True when `path` (links followed) is a file ProtectInput noted.
    bool IsProtectedInput(const std::string& path) const;
    // The question asked before the set replaces an existing file it did not
    // make; true to replace. Asked at most once: after an OK, or after
    // ReplaceAnswered (the run asked about its output), no more.
    void SetReplaceQuestion(std::function<bool()> ask) { ask_ = std::move(ask); }
    void ReplaceAnswered() { replaceAnswered_ = true; }
    // Refuses an output the caller checked itself: the set fails.
    void Refuse(OutputRefusal why, const std::string& path);
    // Gives up the output made for `target` (its source could not be read):
    // its temporary file goes, the target stays as it was, the set goes on.
    void Abandon(const std::string& target);
    // Why the set failed, when it refused an output.
    OutputRefusal Refusal() const { return refusal_; }
    // The output that was refused.
    const std::string& RefusedPath() const { return refusedPath_; }
    // For tests: the user the link and stale-file rules take as the owner.
    void SetUserId(uid_t user) { user_ = user; }

    // A write failed: Commit will not put anything into place.
    void Fail() { failed_ = true; }
    // The file and the system's reason of the first failure, when known
    // (empty and 0 otherwise; a failed write knows its reason, not its file).
    const std::string& FailedPath() const { return failedPath_; }
    int FailedError() const { return failedError_; }
    bool Failed() const { return failed_.load(std::memory_order_relaxed); }
    // Renames every temporary file over its target, in the order they were
    // made. False (the set failed) when the set had failed or a file could not
    // be put into place; what was not put into place is removed.
    bool Commit();
    // Removes every temporary file; the targets stay as they were.
    void Discard();
    // Discard, and the set is fresh (the failure, the refusal, the inputs and
    // the replace answer are forgotten).
    void Reset();

    // For tests: the writes fail, as on a full disk, once `bytes` more bytes
    // were written through this set in all.
    void FailAfterBytes(uint64_t bytes) { budget_ = bytes; }
private:
    struct Entry {
        std::string target;  // the file the output ends up as (links resolved)
        std::string temp;    // where it is written; empty when written in place
        int kept;            // a device or pipe written in place: open till the end
        int lock;            // holds the lock on the temporary file, or -1
        int folder = -1;     // a folder handle: written relative to it (OpenInFolder)
        std::string name;    // then the target's and the temporary file's names in it
        std::string tempName;
    };
    struct Folder {
        int fd;
        std::string path;
    };
    Entry* Find(const std::string& target);
    // Notes a new entry as the latest for its target.
    Entry& AddEntry(Entry entry);
    // Makes the temporary file `tempName` (relative to `dirfd`) exclusively,
    // locks it and registers it under `temp`; its descriptor, or -1.
    int MakeTemporary(Entry& entry, int dirfd, bool nofollow);
    // Makes every temporary file durable before the renames.
    bool SyncTemporaries();
    // Makes the renames durable: each folder renamed into is synced.
    static void SyncFolders(const std::vector<std::string>& folders);
    // Registers a new output for `target`: a temporary file beside it, or the
    // target itself when it is not a regular file. -1 when it cannot be made
    // or is refused.
    int Make(const std::string& target, Entry*& made, bool askReplace);
    // Removes the temporary file of an entry and lets go of its lock.
    void Release(Entry& entry, bool unlinkTemp);
    // Notes why the set failed, the first time it does.
    void NoteFailure(const std::string& path, int error);

    static constexpr unsigned kMostLocks = 256;

    std::vector<Entry> entries_;
    std::unordered_map<std::string, size_t> latest_;  // the newest entry of each target
    std::vector<Folder> folders_;
    std::vector<std::string> madeFolders_;  // in the order they were made
    StaleTemporaries stale_;
    // Written by the threads that write outputs' blocks too (TextWriter).
    std::atomic<bool> failed_{false};
    std::mutex writing_;  // one WriteAll at a time: the byte budget is shared
    std::vector<std::pair<dev_t, ino_t>> inputs_;
    std::function<bool()> ask_;
    bool replaceAnswered_ = false;
    OutputRefusal refusal_ = OutputRefusal::None;
    std::string refusedPath_;
    std::string failedPath_;
    int failedError_ = 0;
    uid_t user_ = geteuid();
    uint64_t budget_ = UINT64_MAX;
    unsigned serial_ = 0;  // numbers the temporary files of this set
    unsigned locks_ = 0;   // temporary files locked now
};

// Why a new output could not be made at `path` (a name that does not exist
// yet): it names a descriptor that is not open (/dev/stdout, /dev/fd/N,
// /proc/self/fd/N), or it would be a new file in /dev, /proc or /sys. Such a
// name is never created, replaced nor renamed over. None for any other path.
OutputRefusal UnmakeableOutput(const std::string& path);

// True when `path` (links followed) names an existing regular file, and not
// through a name of an open file (/dev/stdout), the only kind of output a
// conversion replaces. Nothing is opened to find out.
bool IsExistingRegularFile(const std::string& path);

// The kernel's protected-symlinks rule: a link in a world-writable sticky
// folder is followed by `user` only when it owns the link or the folder's
// owner does.
bool MayFollowLink(const struct stat& link, const struct stat& folder, uid_t user);
// True when every link `path` goes through to its file may be followed by
// `user` (MayFollowLink of each link in its folder).
bool LinksMayBeFollowed(const std::string& path, uid_t user);

// Where the extension of the last path component starts (its last "."), or
// npos when it has none; a "." that is the component's first character, or
// lies in a directory name, starts none.
size_t ExtensionStart(std::string_view path);

}  // namespace geoplait
