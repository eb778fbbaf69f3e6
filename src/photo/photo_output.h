// Photo outputs (the photo list, each photo copy, the KMZ archive) are written
// beside their target under a temporary name and renamed over it only when
// complete, so that a failed run never leaves a cut file in its place.
#pragma once

#include <string>

namespace geoplait {

class PendingOutput {
public:
    // Creates an empty temporary file in the target's directory; path() is
    // empty when that failed.
    explicit PendingOutput(std::string target);
    ~PendingOutput();  // removes the temporary file unless committed
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;

    // Where to write.
    const std::string& path() const { return temporary_; }
    // Renames the temporary file over the target (keeping the permissions of
    // a file it replaces); false when that failed.
    bool Commit();

private:
    std::string target_;
    std::string temporary_;
};

}  // namespace geoplait
