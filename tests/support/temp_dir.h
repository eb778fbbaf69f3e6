// A fresh temporary directory per test, removed with its contents afterwards,
// and small file helpers.
#pragma once

#include <string>
#include <vector>

namespace geoplait::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string File(const std::string& name) const;

private:
    std::string path_;
};

// Whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// The names of the entries of `dir`, sorted.
std::vector<std::string> NamesIn(const std::string& dir);
// An NMEA sentence line: "$", `body`, its checksum "*hh" and CR LF.
std::string NmeaSentence(const std::string& body);

}  // namespace geoplait::test
