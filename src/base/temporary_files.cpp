#include "base/temporary_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <unordered_set>
#include <vector>

namespace geoplait {

namespace {

// ".<pid>-<serial>.tmp" at its longest: two 32-bit numbers in decimal.
constexpr size_t kLongestSuffix = 1 + 10 + 1 + 10 + 4;
// "~" and 16 hexadecimal digits after a cut name.
constexpr size_t kHashPart = 17;

// The list of this process's temporary files (see the header on why it is the
// process's own).
struct Registry {
    std::mutex lock;
    std::unordered_set<std::string> paths;
    std::vector<std::string> folders;  // in the order they were made
    std::mutex commit;                 // held while outputs are renamed into place
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

uint64_t NameHash(std::string_view name) {
    uint64_t hash = 14695981039346656037ULL;  // FNV-1a
    for (char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

void RegisterTemporary(const std::string& path) {
    Registry& registry = TheRegistry();
    const std::lock_guard guard(registry.lock);
    registry.paths.insert(path);
}

void ForgetTemporary(const std::string& path) {
    Registry& registry = TheRegistry();
    const std::lock_guard guard(registry.lock);
    registry.paths.erase(path);
}

void RegisterFolder(const std::string& path) {
    Registry& registry = TheRegistry();
    const std::lock_guard guard(registry.lock);
    registry.folders.push_back(path);
}

void ForgetFolder(const std::string& path) {
    Registry& registry = TheRegistry();
    const std::lock_guard guard(registry.lock);
    auto& folders = registry.folders;
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        if (*it == path) {
            folders.erase(std::next(it).base());
            return;
        }
    }
}

CommitHold::CommitHold() { TheRegistry().commit.lock(); }
CommitHold::~CommitHold() { TheRegistry().commit.unlock(); }

size_t RemoveRegisteredTemporaries() {
    Registry& registry = TheRegistry();
    const std::lock_guard committing(registry.commit);
    const std::lock_guard guard(registry.lock);
    const size_t count = registry.paths.size();
    for (const std::string& path : registry.paths) unlink(path.c_str());
    registry.paths.clear();
    // The newest first: a folder made inside another goes before it. A folder
    // that holds anything else stays.
    for (auto it = registry.folders.rbegin(); it != registry.folders.rend(); ++it) rmdir(it->c_str());
    registry.folders.clear();
    return count;
}

std::string TemporaryStem(std::string_view name) {
    std::string stem = ".";
    if (1 + name.size() + kLongestSuffix <= kNameMax) {
        stem += name;
    } else {
        size_t keep = kNameMax - kLongestSuffix - 1 - kHashPart;
        // Not inside a UTF-8 sequence: back to the start of a character.
        while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
        stem.append(name.substr(0, keep));
        char hash[24];
        std::snprintf(hash, sizeof hash, "~%016llx", static_cast<unsigned long long>(NameHash(name)));
        stem += hash;
    }
    stem += '.';
    return stem;
}

std::string TemporaryName(const std::string& target, long pid, unsigned serial) {
    const size_t slash = target.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string name = target.substr(0, nameStart);
    name += TemporaryStem(std::string_view(target).substr(nameStart));
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, "%ld-%u.tmp", pid, serial);
    name += suffix;
    return name;
}

bool IsTemporaryOf(std::string_view name, std::string_view stem) {
    if (!name.starts_with(stem) || !name.ends_with(".tmp")) return false;
    const std::string_view numbers = name.substr(stem.size(), name.size() - stem.size() - 4);
    const size_t dash = numbers.find('-');
    return dash != std::string_view::npos && AllDigits(numbers.substr(0, dash)) &&
           AllDigits(numbers.substr(dash + 1));
}

namespace {

// Removes the temporary files `names` of `folder` an earlier process left.
size_t RemoveLeftFiles(const std::string& folder, const std::vector<std::string>& names, uid_t user) {
    size_t removed = 0;
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat opened {};
        struct stat named {};
        // Removed only while locked here, and only when the name still leads
        // to the file that was checked.
        if (fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == user &&
            flock(fd, LOCK_EX | LOCK_NB) == 0 && lstat(path.c_str(), &named) == 0 &&
            named.st_dev == opened.st_dev && named.st_ino == opened.st_ino && unlink(path.c_str()) == 0) {
            ++removed;
        }
        close(fd);
    }
    return removed;
}

}  // namespace

std::string_view TemporaryStemOf(std::string_view name) {
    if (!name.ends_with(".tmp")) return {};
    std::string_view rest = name.substr(0, name.size() - 4);
    const auto digitsBefore = [](std::string_view text) {
        size_t n = text.size();
        while (n > 0 && text[n - 1] >= '0' && text[n - 1] <= '9') --n;
        return text.size() - n;
    };
    const size_t serial = digitsBefore(rest);
    if (serial == 0 || serial == rest.size() || rest[rest.size() - serial - 1] != '-') return {};
    rest = rest.substr(0, rest.size() - serial - 1);
    const size_t pid = digitsBefore(rest);
    if (pid == 0 || pid == rest.size() || rest[rest.size() - pid - 1] != '.') return {};
    return rest.substr(0, rest.size() - pid);
}

size_t RemoveStaleTemporaries(const std::string& directory, std::string_view stem, uid_t user) {
    const std::string folder = directory.empty() ? "." : directory;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return 0;
    std::vector<std::string> found;
    while (const dirent* entry = readdir(dir)) {
        if (IsTemporaryOf(entry->d_name, stem)) found.emplace_back(entry->d_name);
    }
    closedir(dir);
    return RemoveLeftFiles(folder, found, user);
}

size_t StaleTemporaries::Remove(const std::string& directory, std::string_view stem, uid_t user) {
    const std::string folder = directory.empty() ? "." : directory;
    auto known = std::find_if(folders_.begin(), folders_.end(), [&](const Folder& f) { return f.path == folder; });
    if (known == folders_.end()) {
        Folder read{folder, {}};
        if (DIR* dir = opendir(folder.c_str())) {
            while (const dirent* entry = readdir(dir)) {
                const std::string_view found = TemporaryStemOf(entry->d_name);
                if (!found.empty()) read.byStem[std::string(found)].emplace_back(entry->d_name);
            }
            closedir(dir);
        }
        folders_.push_back(std::move(read));
        known = std::prev(folders_.end());
    }
    const auto files = known->byStem.find(std::string(stem));
    if (files == known->byStem.end()) return 0;
    const size_t removed = RemoveLeftFiles(folder, files->second, user);
    known->byStem.erase(files);
    return removed;
}

}  // namespace geoplait
