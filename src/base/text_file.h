// Text files as every reader and writer sees them.
//
// Reading: a UTF-8 byte-order mark at the start is skipped; a file that starts
// with a UTF-16 mark (either byte order) is decoded to UTF-8; CR LF arrives as
// one "\n"; a read returns at most limit-1 characters (code points; an invalid
// byte counts as one and passes through unchanged), the rest of a longer line
// arriving as the next read.
//
// Writing: every "\n" is written as CR LF. Create writes the UTF-8 mark unless
// the caller drops it (Bom 0) before writing anything; Append adds to the end
// (a mark only when the file is new or empty); Plain writes no mark. Every
// write and close is checked, and a replaced file is renamed into place only
// when it is complete (OutputFiles).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/output_files.h"

namespace geoplait {

// A block buffer allocated on first use and never zero-filled: the files fill
// it, and a short file touches only what it needs.
template <typename T>
class BlockBuffer {
public:
    // Makes room for n elements; the contents are not kept.
    void resize(size_t n) {
        data_.reset(new T[n]);
        size_ = n;
    }
    size_t size() const { return size_; }
    T* data() { return data_.get(); }
    const T* data() const { return data_.get(); }
    T& operator[](size_t i) { return data_[i]; }
    const T& operator[](size_t i) const { return data_[i]; }

private:
    std::unique_ptr<T[]> data_;
    size_t size_ = 0;
};

// True when `path` names something that exists but is neither a regular file
// nor a directory (a device, a pipe, a socket, /dev/stdin): read as an input
// it could wait for a writer for ever, never end, or not read the same twice.
// Nothing is opened to find out.
bool IsSpecialFile(const std::string& path);

class TextReader {
public:
    TextReader() = default;
    explicit TextReader(const std::string& path) { Open(path); }
    ~TextReader();
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    void Close();
    // Back to the first line (after the byte-order mark).
    void Rewind();

    // Reads the next line into `line`, keeping its "\n" when it has one, with at
    // most limit-1 characters. False at the end of the input.
    bool ReadLine(std::string& line, size_t limit = 4096);
    // The same line as a view into the reader's buffer, valid until the next
    // read or rewind (Close keeps it): no copy for lines that need no assembling.
    bool ReadLine(std::string_view& line, size_t limit = 4096);

private:
    bool Refill();
    bool TakeWholeLine(std::string_view& line, size_t maxChars);
    bool ReadPiece(std::string& line, size_t maxChars);
    size_t DecodeUtf16(const unsigned char* src, size_t n);

    std::FILE* file_ = nullptr;
    enum class Encoding { Utf8, Utf16Le, Utf16Be } encoding_ = Encoding::Utf8;
    BlockBuffer<char> buf_;     // decoded UTF-8 bytes
    size_t pos_ = 0;            // next unread byte in buf_
    size_t end_ = 0;            // end of valid bytes in buf_
    bool eof_ = false;
    BlockBuffer<unsigned char> raw_;  // UTF-16 input before decoding
    size_t rawCarry_ = 0;             // undecoded bytes kept at the start of raw_
    bool pendingCr_ = false;          // a CR held back from the end of the last block
    std::string spill_;               // a line assembled across blocks or cut at the limit
};

class TextWriter {
public:
    TextWriter() = default;
    // A file of its own, not one of a run's: written to a temporary file and
    // renamed into place, made durable first, by a Close that found no error.
    TextWriter(const std::string& path, WriteMode mode) { Open(path, mode); }
    ~TextWriter();  // closes; a failure is lost here, call Close() to see it
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    bool Open(const std::string& path, WriteMode mode);
    // One of the outputs of `files` (a run's): put into place by its Commit.
    // `askReplace` false: the caller decided itself about replacing `path`.
    bool Open(OutputFiles& files, const std::string& path, WriteMode mode, bool askReplace = true);
    bool IsOpen() const { return fd_ >= 0; }
    // Bom 0: the byte-order mark of a created file is not written. Call before
    // the first Write.
    void DropBom();
    // Writes text, "\n" as CR LF.
    void Write(std::string_view text);
    void Put(char c);
    // Formatted write (printf rules), "\n" as CR LF.
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Flushes and closes; false when anything failed to be written (the set
    // of outputs has failed then). A file of its own is put into place here.
    bool Close();

private:
    void FlushBuffer();

    OutputFiles own_;  // the set of a file of its own
    OutputFiles* files_ = nullptr;
    int fd_ = -1;
    BlockBuffer<char> buf_;
    size_t used_ = 0;
    bool bomPending_ = false;
    bool failed_ = false;
};

}  // namespace geoplait
