// The temporary files of this process, and the ones an earlier process left.
//
// Outputs are written to temporary files beside their targets and renamed
// into place when a run completes. A run that is interrupted removes them
// itself (a cancel); a process ended by a signal it could not wait for removes
// them through this list, which is the process's own because a signal is
// delivered to the process, not to one of its runs. A process killed outright
// leaves its files behind: the next run that writes the same target removes
// them, when they are the user's own and no live run holds their lock.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace geoplait {

// Notes a temporary file of this process / forgets it (renamed or removed).
void RegisterTemporary(const std::string& path);
void ForgetTemporary(const std::string& path);
// Removes every temporary file noted, then every folder noted that is empty
// by then; returns how many files there were. For the end of the process on a
// signal: callable from any thread. It waits for a commit under way
// (HoldCommit), so that a run's outputs are put into place all or none.
size_t RemoveRegisteredTemporaries();

// Notes a folder a run made / forgets it (the run completed and keeps it).
void RegisterFolder(const std::string& path);
void ForgetFolder(const std::string& path);

// Held while a run renames its outputs into place.
class CommitHold {
public:
    CommitHold();
    ~CommitHold();
    CommitHold(const CommitHold&) = delete;
    CommitHold& operator=(const CommitHold&) = delete;
};

// Longest file name the system takes in a directory.
inline constexpr size_t kNameMax = 255;

// "<dir>/<stem><pid>-<serial>.tmp": the temporary file for `target`. The
// stem ".<name>." names the target; a name too long to fit within kNameMax
// with the longest suffix is cut (on a character boundary) and followed by a
// hash of the whole name, so that every temporary name fits and still names
// its target alone.
std::string TemporaryStem(std::string_view name);
std::string TemporaryName(const std::string& target, long pid, unsigned serial);

// True when `name` is a temporary file name of `stem` ("<stem><digits>-<digits>.tmp").
bool IsTemporaryOf(std::string_view name, std::string_view stem);

// Removes in `directory` the temporary files an earlier process left for the
// target whose stem is `stem`: only regular files owned by `user` on which no
// one holds the lock (a live run holds one on each of its files). Returns how
// many were removed.
size_t RemoveStaleTemporaries(const std::string& directory, std::string_view stem, uid_t user);

// The stem of a temporary file name ("<stem><digits>-<digits>.tmp"), or
// empty when `name` is none.
std::string_view TemporaryStemOf(std::string_view name);

// The temporary files of one directory by the stem of their target, read
// once, so that a run writing thousands of files into one folder reads it
// once rather than once per file.
class StaleTemporaries {
public:
    // Reads `directory` ("" is the current one) the first time it is asked for.
    // Then removes the files left for `stem` (as RemoveStaleTemporaries does).
    size_t Remove(const std::string& directory, std::string_view stem, uid_t user);
    void Clear() { folders_.clear(); }

private:
    struct Folder {
        std::string path;
        std::unordered_map<std::string, std::vector<std::string>> byStem;
    };
    std::vector<Folder> folders_;
};

}  // namespace geoplait
