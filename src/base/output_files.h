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
#include <utility>
#include <vector>

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
    // Where the output made for `target` is being written (to read it back
    // before the run completes, as a KMZ packs its KML); empty when none is.
    std::string WrittenPath(const std::string& target);
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
    // fails, on any error.
    bool CopyAll(int from, int to);
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
    // Commit makes each file durable (fsync) before it replaces the old one.
    // Worth it for a small file such as the settings; a conversion's outputs
    // of hundreds of megabytes would wait for the disk, and the rename after
    // the close already keeps the old file whole when a run is killed.
    void SyncOnCommit() { sync_ = true; }

private:
    struct Entry {
        std::string target;  // the file the output ends up as (links resolved)
        std::string temp;    // where it is written; empty when written in place
        int kept;            // a device or pipe written in place: open till the end
        int lock;            // holds the lock on the temporary file, or -1
    };
    Entry* Find(const std::string& target);
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
    bool sync_ = false;
    uint64_t budget_ = UINT64_MAX;
    unsigned serial_ = 0;  // numbers the temporary files of this set
    unsigned locks_ = 0;   // temporary files locked now
};

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
