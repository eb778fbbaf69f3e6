// Text files as every reader and writer sees them.
//
// Reading: a UTF-8 byte-order mark at the start is skipped; a file that starts
// with a UTF-16 mark (either byte order) is decoded to UTF-8; CR LF and a lone
// CR arrive as one "\n"; a read returns at most limit-1 characters (code points; an invalid
// byte counts as one and passes through unchanged), the rest of a longer line
// arriving as the next read.
//
// Writing: every "\n" is written as CR LF, as the text is copied into the
// block (a caller may also format straight into the block: Room, Commit).
// Once an output outgrows a block, a thread of its own checks each full block
// and writes it while the next one is filled. Create writes the UTF-8 mark unless
// the caller drops it (Bom 0) before writing anything; Append adds to the end
// (a mark only when the file is new or empty); Plain writes no mark. Every
// write and close is checked, and a replaced file is renamed into place only
// when it is complete (OutputFiles).
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/output_files.h"

namespace geoplait {

// Copies `size` bytes to `out` with each "\n" as CR LF, sixteen bytes at a
// time: a piece without a line end is stored whole, one with one is stored
// whole too, and the CR LF written over it where the first line end stood.
// `out` has room for 2 * size + 16 bytes. Returns the end of what it wrote.
inline char* CopyWithCrLf(const char* in, size_t size, char* out) {
    using Bytes = unsigned char __attribute__((vector_size(16)));
    const Bytes lf = Bytes{} + static_cast<unsigned char>('\n');
    const char* const end = in + size;
    // The first line end of a piece is found by its byte's place in the
    // words, low bytes first: on a big-endian machine, one byte at a time.
    while (std::endian::native == std::endian::little && end - in >= 16) {
        Bytes v;
        std::memcpy(&v, in, sizeof v);
        std::memcpy(out, &v, sizeof v);
        const auto found = v == lf;
        uint64_t words[2];
        static_assert(sizeof found == sizeof words);
        std::memcpy(words, &found, sizeof words);
        if ((words[0] | words[1]) == 0) {
            in += 16;
            out += 16;
            continue;
        }
        const auto at = static_cast<size_t>(words[0] != 0 ? __builtin_ctzll(words[0]) / 8
                                                            : 8 + __builtin_ctzll(words[1]) / 8);
        out[at] = '\r';
        out[at + 1] = '\n';
        in += at + 1;
        out += at + 2;
    }
    for (; in != end; ++in) {
        if (*in == '\n') *out++ = '\r';
        *out++ = *in;
    }
    return out;
}

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

// True when `path` names a pipe (a FIFO, or /dev/stdin when standard input is
// one): it can be read, but only once, from its start to its end.
bool IsPipe(const std::string& path);

// Why `path` cannot be read as a file: EISDIR for a directory, else the errno
// of opening it for reading (ENOENT, EACCES, ...); 0 when it can be. A device
// or a pipe is not opened (that could wait for a writer): 0.
int ReadErrorOf(const std::string& path);

class TextReader {
public:
    TextReader() = default;
    explicit TextReader(const std::string& path) { Open(path); }
    ~TextReader();
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    // A pipe opens too; it is read once, and Rewind leaves it where it is.
    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    void Close();
    // Back to the first line (after the byte-order mark); nothing for an
    // input that cannot seek (a pipe).
    void Rewind();
    // Takes over the file `other` has open, where it stands (with a line it
    // peeked); `other` is closed then.
    void Adopt(TextReader& other);

    // Reads the line after those peeked already as ReadLine does and keeps
    // it: the next ReadLines give the peeked lines again, in order (whatever
    // their limit). So the first lines can be looked at without going back,
    // which a pipe cannot.
    bool PeekLine(std::string& line, size_t limit = 4096);

    // Reads the next line into `line`, keeping its "\n" when it has one, with at
    // most limit-1 characters. False at the end of the input.
    bool ReadLine(std::string& line, size_t limit = 4096);
    // The same line as a view into the reader's buffer, valid until the next
    // read or rewind (Close keeps it): no copy for lines that need no assembling.
    bool ReadLine(std::string_view& line, size_t limit = 4096) {
        // Most lines lie whole in the block read already.
        if (pos_ < end_ && peeked_.empty() && file_ != nullptr && limit >= 2 && TakeWholeLine(line, limit - 1)) {
            return true;
        }
        return ReadLineSlow(line, limit);
    }

    // Bytes of the file read up to the next line (for progress: in a UTF-16
    // file, close to it).
    uint64_t BytesRead() const {
        const uint64_t ahead = end_ - pos_;
        return bytesRead_ > ahead ? bytesRead_ - ahead : 0;
    }

private:
    // Reads the byte-order mark of the file just opened or rewound.
    void Start();
    bool Refill();
    void EndLoneCrLines();
    bool TakeWholeLine(std::string_view& line, size_t maxChars);
    bool ReadLineSlow(std::string_view& line, size_t limit);
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
    uint64_t bytesRead_ = 0;
    bool seekable_ = true;            // false: a pipe, read once without seeking
    std::string lead_;  // bytes read looking for a mark that cannot be sought back to
    std::vector<std::string> peeked_;  // the lines PeekLine keeps
    size_t peekedNext_ = 0;            // the next of them to read
    bool TakePeeked(std::string_view& line);
};

// The next line when it lies whole in the buffer and is short enough in bytes
// to be within the limit in characters; its CR LF becomes "\n" in place.
inline bool TextReader::TakeWholeLine(std::string_view& line, size_t maxChars) {
    const char* start = buf_.data() + pos_;
    const size_t avail = end_ - pos_;
    // A line taken here has at most maxChars bytes before its "\n", plus a CR.
    const size_t window = std::min(avail, maxChars + 2);
    const void* nl = std::memchr(start, '\n', window);
    if (nl == nullptr) return false;
    const size_t raw = static_cast<size_t>(static_cast<const char*>(nl) - start) + 1;
    if (raw >= 2 && start[raw - 2] == '\r') {
        if (raw - 1 > maxChars) return false;
        buf_[pos_ + raw - 2] = '\n';
        line = std::string_view(start, raw - 1);
    } else {
        if (raw > maxChars) return false;
        line = std::string_view(start, raw);
    }
    pos_ += raw;
    return true;
}

class TextWriter {
public:
    TextWriter();
    // A file of its own, not one of a run's: written to a temporary file and
    // renamed into place, made durable first, by a Close that found no error.
    TextWriter(const std::string& path, WriteMode mode);
    ~TextWriter();  // closes; a failure is lost here, call Close() to see it
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    bool Open(const std::string& path, WriteMode mode);
    // One of the outputs of `files` (a run's): put into place by its Commit.
    // `askReplace` false: the caller decided itself about replacing `path`.
    bool Open(OutputFiles& files, const std::string& path, WriteMode mode, bool askReplace = true);
    // The file `name` of a folder of the run's `files` (OutputFiles::AddFolder),
    // written relative to the folder's descriptor (OutputFiles::OpenInFolder),
    // "w" without a mark.
    bool OpenInFolder(OutputFiles& files, int folder, const std::string& name);
    // A spool of the run's `files` beside `target` (OutputFiles::OpenSpool):
    // written as any output, "\n" as CR LF, without a byte-order mark, until
    // AppendTo copies it to an output.
    bool OpenSpool(OutputFiles& files, const std::string& target);
    // Copies what this spool holds, as written, to the end of `out` and closes
    // the spool; false (the set has failed) when anything could not be copied.
    bool AppendTo(TextWriter& out);
    bool IsOpen() const { return fd_ >= 0; }
    // Bom 0: the byte-order mark of a created file is not written. Call before
    // the first Write.
    void DropBom();
    // The bytes go out as written, not made clean: for a copy of the input's
    // own lines (the NMEA pass-through), whose checksums cover those bytes.
    void KeepBytes() { blockOut_.keepBytes = true; }
    // Writes text, "\n" as CR LF. What reaches the file is valid UTF-8 without
    // the characters XML forbids (each becomes U+FFFD), whatever the input held.
    void Write(std::string_view text) {
        // A short text that fits goes in with its line ends made CR LF as it
        // is copied: the one copy of its bytes.
        if (text.size() <= kShortText && fd_ >= 0 && !bomPending_ && buf_.size() - used_ >= 2 * text.size() + 16) {
            char* const out = buf_.data() + used_;
            used_ += static_cast<size_t>(CopyWithCrLf(text.data(), text.size(), out) - out);
            return;
        }
        WriteLong(text);
    }
    void Put(char c) { Write(std::string_view(&c, 1)); }
    // Room for `size` bytes (at most kMaxRoom) at the end of the block, for a
    // caller that formats straight into it: it fills them with bytes as they
    // are to reach the file (a "\n" there is not made CR LF: numbers and the
    // like), then tells Commit how many it filled. Nothing else is written
    // in between.
    static constexpr size_t kMaxRoom = 4096;
    char* Room(size_t size) {
        if (fd_ >= 0 && !bomPending_ && buf_.size() - used_ >= size) return buf_.data() + used_;
        return RoomSlow(size);
    }
    void Commit(size_t filled) {
        if (fd_ >= 0) used_ += filled;
    }
    // Formatted write (printf rules), "\n" as CR LF.
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Flushes and closes; false when anything failed to be written (the set
    // of outputs has failed then). A file of its own is put into place here.
    bool Close();

private:
    static constexpr size_t kShortText = 48;
    void WriteLong(std::string_view text);
    char* RoomSlow(size_t size);
    // The byte-order mark still due, written ahead of the first text.
    void WriteBom();
    // Writes to `fd`, a descriptor of `files` just made; false when it is -1.
    bool TakeDescriptor(OutputFiles& files, int fd);
    struct Drain;
    // The bytes of the file from blocks of text with their CR LF: made valid
    // UTF-8 without the characters XML forbids (unless keepBytes). Used by
    // one thread at a time: the writing thread once there is one.
    struct BlockOut {
        OutputFiles* files = nullptr;
        int fd = -1;
        bool keepBytes = false;
        // The file is made durable when the run completes: the system is
        // asked to start writing each block out once it is written, so that
        // the disk works while the run does and little is left to wait for.
        bool writeEarly = false;
        std::string carry;        // a character cut by the end of the last block
        std::string clean;        // a block made clean, when it needed it
        // Writes one block; `final`: nothing follows, so a character still
        // cut off is replaced rather than held. False when a write failed.
        bool Write(const char* text, size_t size, bool final);
        bool WriteOut(const char* bytes, size_t size);
    };
    // Hands the block on to be written; with `wait`, returns once it is.
    void FlushBuffer(bool wait);
    void StopDrain();

    OutputFiles own_;  // the set of a file of its own
    OutputFiles* files_ = nullptr;
    int fd_ = -1;
    BlockBuffer<char> buf_;  // text as it goes to the file, CR LF, not yet checked
    size_t used_ = 0;
    bool bomPending_ = false;
    bool failed_ = false;
    BlockOut blockOut_;
    std::unique_ptr<Drain> drain_;  // the thread that writes full blocks
};

}  // namespace geoplait
