#include "engine/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstring>

namespace geoplait {

namespace {

constexpr size_t kReadBlock = 1 << 20;
constexpr size_t kWriteBlock = 1 << 20;

// Length of the valid UTF-8 sequence at p (at most n bytes), or 1 for a byte
// that does not start one: such a byte counts as one character on its own.
size_t SequenceLength(const unsigned char* p, size_t n) {
    unsigned char c = p[0];
    size_t len;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) len = 2;
    else if (c >= 0xE0 && c <= 0xEF) len = 3;
    else if (c >= 0xF0 && c <= 0xF4) len = 4;
    else return 1;
    if (len > n) return 1;
    for (size_t i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 1;
    }
    return len;
}

size_t CountChars(const char* s, size_t n) {
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    size_t chars = 0;
    for (size_t i = 0; i < n; ++chars) i += SequenceLength(p + i, n - i);
    return chars;
}

// Bytes of the first `chars` characters of s (or all of s when shorter).
size_t BytesOfChars(const char* s, size_t n, size_t chars) {
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    size_t i = 0;
    for (size_t c = 0; c < chars && i < n; ++c) i += SequenceLength(p + i, n - i);
    return i;
}

void AppendUtf8(BlockBuffer<char>& out, size_t& end, uint32_t cp) {
    if (cp < 0x80) {
        out[end++] = static_cast<char>(cp);
    } else if (cp < 0x800) {
        out[end++] = static_cast<char>(0xC0 | (cp >> 6));
        out[end++] = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out[end++] = static_cast<char>(0xE0 | (cp >> 12));
        out[end++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[end++] = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out[end++] = static_cast<char>(0xF0 | (cp >> 18));
        out[end++] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out[end++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[end++] = static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

TextReader::~TextReader() { Close(); }

bool TextReader::Open(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) return false;
    Rewind();
    return true;
}

void TextReader::Close() {
    // The buffer stays: a line view taken before remains readable.
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    pos_ = end_ = 0;
    eof_ = false;
}

void TextReader::Rewind() {
    if (file_ == nullptr) return;
    std::rewind(file_);
    pos_ = end_ = 0;
    eof_ = false;
    pendingCr_ = false;
    rawCarry_ = 0;
    encoding_ = Encoding::Utf8;
    unsigned char mark[3] = {0, 0, 0};
    size_t n = std::fread(mark, 1, 3, file_);
    size_t skip = 0;
    if (n >= 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF) {
        skip = 3;
    } else if (n >= 2 && mark[0] == 0xFF && mark[1] == 0xFE) {
        encoding_ = Encoding::Utf16Le;
        skip = 2;
    } else if (n >= 2 && mark[0] == 0xFE && mark[1] == 0xFF) {
        encoding_ = Encoding::Utf16Be;
        skip = 2;
    }
    std::fseek(file_, static_cast<long>(skip), SEEK_SET);
}

// Decodes n bytes of raw_ (after any carried bytes) into buf_ at end_; bytes of
// an incomplete unit or surrogate pair are carried to the next call.
size_t TextReader::DecodeUtf16(const unsigned char* src, size_t n) {
    const bool le = encoding_ == Encoding::Utf16Le;
    size_t i = 0;
    auto unit = [&](size_t at) -> uint32_t {
        return le ? static_cast<uint32_t>(src[at] | (src[at + 1] << 8))
                  : static_cast<uint32_t>((src[at] << 8) | src[at + 1]);
    };
    while (i + 1 < n) {
        uint32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 3 >= n) {
                if (eof_) {  // lone high surrogate at the very end
                    AppendUtf8(buf_, end_, 0xFFFD);
                    i += 2;
                    continue;
                }
                break;
            }
            uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(buf_, end_, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i += 4;
                continue;
            }
            AppendUtf8(buf_, end_, 0xFFFD);
            i += 2;
            continue;
        }
        AppendUtf8(buf_, end_, (u >= 0xDC00 && u <= 0xDFFF) ? 0xFFFD : u);
        i += 2;
    }
    return i;
}

// Fills buf_ with the next block of UTF-8 text. CR LF pairs stay in the
// buffer and are turned into "\n" as lines are taken; a CR at the very end of
// a block is held back for the next one so that a pair never spans two blocks.
bool TextReader::Refill() {
    if (file_ == nullptr) return false;
    pos_ = end_ = 0;
    if (buf_.size() < kReadBlock * 2 + 8) buf_.resize(kReadBlock * 2 + 8);
    while (end_ == 0) {
        if (pendingCr_) {
            buf_[end_++] = '\r';
            pendingCr_ = false;
        }
        if (eof_) return end_ > 0;
        if (encoding_ == Encoding::Utf8) {
            size_t n = std::fread(buf_.data() + end_, 1, kReadBlock, file_);
            if (n < kReadBlock) eof_ = true;
            end_ += n;
        } else {
            if (raw_.size() < kReadBlock + 8) raw_.resize(kReadBlock + 8);
            size_t n = std::fread(raw_.data() + rawCarry_, 1, kReadBlock, file_);
            if (n < kReadBlock) eof_ = true;
            size_t have = rawCarry_ + n;
            size_t used = DecodeUtf16(raw_.data(), have);
            rawCarry_ = have - used;
            if (eof_) rawCarry_ = 0;  // an odd trailing byte is dropped
            else std::memmove(raw_.data(), raw_.data() + used, rawCarry_);
        }
        if (!eof_ && end_ > 0 && buf_[end_ - 1] == '\r') {
            pendingCr_ = true;
            --end_;
        }
    }
    return true;
}

// The next line when it lies whole in the buffer and is short enough in bytes
// to be within the limit in characters; its CR LF becomes "\n" in place.
bool TextReader::TakeWholeLine(std::string_view& line, size_t maxChars) {
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

bool TextReader::ReadPiece(std::string& line, size_t maxChars) {
    line.clear();
    bool any = false;
    for (;;) {
        if (pos_ >= end_ && !Refill()) return any;
        any = true;
        const char* start = buf_.data() + pos_;
        const size_t avail = end_ - pos_;
        // Enough bytes to hold every character still allowed, each of up to
        // four bytes, and a CR LF: a line without "\n" there is cut anyway.
        const size_t room = line.empty() ? maxChars : maxChars - CountChars(line.data(), line.size());
        const size_t window = std::min(avail, room * 4 + 2);
        const void* nl = std::memchr(start, '\n', window);
        const size_t raw = nl ? static_cast<size_t>(static_cast<const char*>(nl) - start) + 1 : window;
        const bool crlf = nl != nullptr && raw >= 2 && start[raw - 2] == '\r';
        // Bytes of the piece after CR LF -> LF; the CR stands for the "\n" while
        // characters are counted, both being single ASCII bytes.
        const size_t text = crlf ? raw - 1 : raw;
        if (line.size() + text > maxChars) {
            // Bytes exceed the limit: count characters exactly.
            const size_t have = CountChars(line.data(), line.size());
            const size_t left = maxChars - have;
            const size_t take = BytesOfChars(start, text, left);
            if (take < text) {
                line.append(start, take);
                pos_ += take;
                return true;
            }
        }
        if (crlf) {
            line.append(start, raw - 2);
            line.push_back('\n');
        } else {
            line.append(start, raw);
        }
        pos_ += raw;
        if (nl) return true;
    }
}

bool TextReader::ReadLine(std::string& line, size_t limit) {
    if (file_ == nullptr || limit < 2) {
        line.clear();
        return false;
    }
    std::string_view whole;
    if ((pos_ < end_ || Refill()) && TakeWholeLine(whole, limit - 1)) {
        line.assign(whole);
        return true;
    }
    return ReadPiece(line, limit - 1);
}

bool TextReader::ReadLine(std::string_view& line, size_t limit) {
    line = {};
    if (file_ == nullptr || limit < 2) return false;
    if ((pos_ < end_ || Refill()) && TakeWholeLine(line, limit - 1)) return true;
    if (!ReadPiece(spill_, limit - 1)) return false;
    line = spill_;
    return true;
}

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

// "<dir>/.<name>.<pid>-<serial>.tmp" beside the target.
std::string TemporaryName(const std::string& target, unsigned serial) {
    const size_t slash = target.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%ld-%u.tmp", static_cast<long>(getpid()), serial);
    std::string name = target.substr(0, nameStart);
    name += '.';
    name.append(target, nameStart, std::string::npos);
    name += suffix;
    return name;
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

int OutputFiles::Make(const std::string& target, Entry*& made) {
    made = nullptr;
    struct stat st {};
    const bool exists = stat(target.c_str(), &st) == 0;
    if (exists && (!S_ISREG(st.st_mode) || IsDescriptorPath(target))) {
        // A device, a pipe or an open file: written where it is, never
        // replaced, and kept open for the whole run (a pipe closed after the
        // first KML pass would end the reader's input). Standard output is
        // written through the program's own descriptor, so that what the
        // program prints itself follows the output instead of overwriting it.
        const int own = DescriptorOf(target);
        const int fd = own >= 0 ? fcntl(own, F_DUPFD_CLOEXEC, 3) : open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return -1;
        entries_.push_back({target, {}, fd});
        made = &entries_.back();
        return dup(fd);
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = TemporaryName(target, ++serial_);
        const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return -1;
        }
        // The replaced file's permissions; a new file gets those of any new file.
        if (exists) (void)fchmod(fd, st.st_mode & 07777);
        entries_.push_back({target, std::move(temp), -1});
        made = &entries_.back();
        return fd;
    }
    return -1;
}

int OutputFiles::Open(const std::string& path, WriteMode mode, bool& empty) {
    empty = true;
    if (failed_) return -1;
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
        fd = Make(target, entry);
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
        fd = Make(target, entry);
    }
    if (fd < 0) {
        failed_ = true;
        return -1;
    }
    struct stat st {};
    empty = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0;
    return fd;
}

std::string OutputFiles::PathToWrite(const std::string& path) {
    bool empty = false;
    const int fd = Open(path, WriteMode::Create, empty);
    if (fd < 0 || !CloseFile(fd)) return {};
    return WrittenPath(path);
}

std::string OutputFiles::WrittenPath(const std::string& path) {
    const Entry* entry = Find(ResolveLinks(path));
    if (entry == nullptr) return {};
    return entry->temp.empty() ? entry->target : entry->temp;
}

bool OutputFiles::WriteAll(int fd, const char* data, size_t size) {
    if (failed_) return false;
    size_t allowed = size;
    if (budget_ < allowed) allowed = static_cast<size_t>(budget_);
    while (allowed > 0) {
        const ssize_t n = write(fd, data, allowed);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        data += n;
        size -= static_cast<size_t>(n);
        allowed -= static_cast<size_t>(n);
        if (budget_ != UINT64_MAX) budget_ -= static_cast<uint64_t>(n);
    }
    if (size != 0) failed_ = true;
    return !failed_;
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
            failed_ = true;
            break;
        }
        entries_[i].temp.clear();
    }
    const bool ok = !failed_;
    Discard();
    return ok;
}

void OutputFiles::Discard() {
    for (const Entry& entry : entries_) {
        if (!entry.temp.empty()) unlink(entry.temp.c_str());
        if (entry.kept >= 0) close(entry.kept);
    }
    entries_.clear();
}

void OutputFiles::Reset() {
    Discard();
    failed_ = false;
}

TextWriter::~TextWriter() { Close(); }

bool TextWriter::Open(const std::string& path, WriteMode mode) {
    Close();
    own_.Reset();
    own_.SyncOnCommit();
    return Open(own_, path, mode);
}

bool TextWriter::Open(OutputFiles& files, const std::string& path, WriteMode mode) {
    if (&files != &own_) Close();
    failed_ = false;
    used_ = 0;
    bomPending_ = false;
    files_ = &files;
    bool empty = false;
    fd_ = files.Open(path, mode, empty);
    if (fd_ < 0) {
        failed_ = true;
        return false;
    }
    if (mode == WriteMode::Create) bomPending_ = true;
    if (mode == WriteMode::Append) bomPending_ = empty;
    if (buf_.size() < kWriteBlock) buf_.resize(kWriteBlock);
    return true;
}

void TextWriter::DropBom() { bomPending_ = false; }

void TextWriter::FlushBuffer() {
    if (fd_ < 0 || used_ == 0) return;
    if (!files_->WriteAll(fd_, buf_.data(), used_)) failed_ = true;
    used_ = 0;
}

void TextWriter::Write(std::string_view text) {
    if (fd_ < 0) return;
    if (bomPending_) {
        bomPending_ = false;
        Write("\xEF\xBB\xBF");
    }
    if (buf_.size() - used_ >= 2 * text.size()) {
        // Room even if every byte were a "\n": no flush between the pieces.
        char* out = buf_.data() + used_;
        const char* in = text.data();
        const char* const end = in + text.size();
        while (in != end) {
            const auto* nl = static_cast<const char*>(std::memchr(in, '\n', static_cast<size_t>(end - in)));
            const char* const stop = nl != nullptr ? nl : end;
            std::memcpy(out, in, static_cast<size_t>(stop - in));
            out += stop - in;
            if (nl == nullptr) break;
            *out++ = '\r';
            *out++ = '\n';
            in = nl + 1;
        }
        used_ = static_cast<size_t>(out - buf_.data());
        return;
    }
    while (!text.empty()) {
        const void* nl = std::memchr(text.data(), '\n', text.size());
        size_t seg = nl ? static_cast<size_t>(static_cast<const char*>(nl) - text.data()) : text.size();
        // Copy the segment in pieces that fit the buffer.
        size_t done = 0;
        while (done < seg) {
            if (used_ == buf_.size()) FlushBuffer();
            size_t n = std::min(seg - done, buf_.size() - used_);
            std::memcpy(buf_.data() + used_, text.data() + done, n);
            used_ += n;
            done += n;
        }
        if (!nl) break;
        if (buf_.size() - used_ < 2) FlushBuffer();
        buf_[used_++] = '\r';
        buf_[used_++] = '\n';
        text.remove_prefix(seg + 1);
    }
}

void TextWriter::Put(char c) { Write(std::string_view(&c, 1)); }

void TextWriter::Printf(const char* format, ...) {
    char small[1024];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0) {
        va_end(copy);
        failed_ = true;
        if (files_ != nullptr) files_->Fail();
        return;
    }
    if (static_cast<size_t>(n) < sizeof small) {
        va_end(copy);
        Write(std::string_view(small, static_cast<size_t>(n)));
        return;
    }
    std::string big(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(big.data(), big.size(), format, copy);
    va_end(copy);
    big.resize(static_cast<size_t>(n));
    Write(big);
}

bool TextWriter::Close() {
    if (files_ == nullptr) return !failed_;
    if (fd_ >= 0) {
        if (bomPending_) {
            bomPending_ = false;
            Write("\xEF\xBB\xBF");
        }
        FlushBuffer();
        if (!files_->CloseFile(fd_)) failed_ = true;
        fd_ = -1;
    }
    if (files_ == &own_) {
        if (failed_) own_.Discard();
        else if (!own_.Commit()) failed_ = true;
    }
    files_ = nullptr;
    return !failed_;
}

}  // namespace geoplait
