#include "base/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstring>
#include <utility>

#include "base/text_encoding.h"
#include "base/thread_name.h"

namespace geoplait {

bool IsSpecialFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

bool IsPipe(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

int ReadErrorOf(const std::string& path) {
    struct stat st {};
    if (path.empty()) return ENOENT;
    if (stat(path.c_str(), &st) != 0) return errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return 0;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    close(fd);
    return 0;
}

namespace {

constexpr size_t kReadBlock = 1 << 20;
constexpr size_t kWriteBlock = 1 << 19;

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
    seekable_ = lseek(fileno(file_), 0, SEEK_CUR) >= 0;
    Start();
    return true;
}

void TextReader::Close() {
    // The buffer stays: a line view taken before remains readable.
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    pos_ = end_ = 0;
    eof_ = false;
    bytesRead_ = 0;
    lead_.clear();
    peeked_.clear();
    peekedNext_ = 0;
}

void TextReader::Rewind() {
    if (file_ == nullptr || !seekable_) return;
    std::rewind(file_);
    Start();
}

void TextReader::Adopt(TextReader& other) {
    Close();
    std::swap(file_, other.file_);
    std::swap(encoding_, other.encoding_);
    std::swap(buf_, other.buf_);
    std::swap(pos_, other.pos_);
    std::swap(end_, other.end_);
    std::swap(eof_, other.eof_);
    std::swap(raw_, other.raw_);
    std::swap(rawCarry_, other.rawCarry_);
    std::swap(pendingCr_, other.pendingCr_);
    std::swap(spill_, other.spill_);
    std::swap(bytesRead_, other.bytesRead_);
    std::swap(seekable_, other.seekable_);
    std::swap(lead_, other.lead_);
    std::swap(peeked_, other.peeked_);
    std::swap(peekedNext_, other.peekedNext_);
}

void TextReader::Start() {
    peeked_.clear();
    peekedNext_ = 0;
    lead_.clear();
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
    if (seekable_) {
        std::fseek(file_, static_cast<long>(skip), SEEK_SET);
        bytesRead_ = skip;
        return;
    }
    // A pipe cannot go back: what was read beyond the mark comes first.
    bytesRead_ = n;
    if (encoding_ == Encoding::Utf8) {
        lead_.assign(reinterpret_cast<const char*>(mark) + skip, n - skip);
    } else if (n > skip) {
        if (raw_.size() < kReadBlock + 8) raw_.resize(kReadBlock + 8);
        std::memcpy(raw_.data(), mark + skip, n - skip);
        rawCarry_ = n - skip;
    }
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
            const size_t lead = lead_.size();
            std::memcpy(buf_.data() + end_, lead_.data(), lead);
            lead_.clear();
            size_t n = std::fread(buf_.data() + end_ + lead, 1, kReadBlock - lead, file_);
            if (n < kReadBlock - lead) eof_ = true;
            end_ += lead + n;
            bytesRead_ += n;
        } else {
            if (raw_.size() < kReadBlock + 8) raw_.resize(kReadBlock + 8);
            size_t n = std::fread(raw_.data() + rawCarry_, 1, kReadBlock, file_);
            if (n < kReadBlock) eof_ = true;
            bytesRead_ += n;
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
    EndLoneCrLines();
    return true;
}

// A CR that no LF follows ends a line as LF does (old Mac programs, terminal
// loggers, spreadsheets' "CSV (Macintosh)"): it becomes "\n" in place. A CR
// at the end of a block was held back, so its follower is always known here.
void TextReader::EndLoneCrLines() {
    char* const data = buf_.data();
    size_t at = 0;
    while (at < end_) {
        void* cr = std::memchr(data + at, '\r', end_ - at);
        if (cr == nullptr) return;
        const size_t i = static_cast<size_t>(static_cast<char*>(cr) - data);
        if (i + 1 >= end_ || data[i + 1] != '\n') data[i] = '\n';
        at = i + 1;
    }
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
        const size_t room = line.empty() ? maxChars : maxChars - Utf8CharCount(line);
        const size_t window = std::min(avail, room * 4 + 2);
        const void* nl = std::memchr(start, '\n', window);
        const size_t raw = nl ? static_cast<size_t>(static_cast<const char*>(nl) - start) + 1 : window;
        const bool crlf = nl != nullptr && raw >= 2 && start[raw - 2] == '\r';
        // Bytes of the piece after CR LF -> LF; the CR stands for the "\n" while
        // characters are counted, both being single ASCII bytes.
        const size_t text = crlf ? raw - 1 : raw;
        if (line.size() + text > maxChars) {
            // Bytes exceed the limit: count characters exactly.
            const size_t have = Utf8CharCount(line);
            const size_t left = maxChars - have;
            const size_t take = Utf8CharBytes({start, text}, left);
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

bool TextReader::PeekLine(std::string& line, size_t limit) {
    line.clear();
    if (file_ == nullptr || limit < 2) return false;
    // The lines peeked before and not read yet stay; this one follows them.
    if (peekedNext_ == peeked_.size()) {
        peeked_.clear();
        peekedNext_ = 0;
    }
    std::string_view whole;
    if ((pos_ < end_ || Refill()) && TakeWholeLine(whole, limit - 1)) {
        line.assign(whole);
    } else if (!ReadPiece(line, limit - 1)) {
        return false;
    }
    peeked_.push_back(line);
    return true;
}

// The next peeked line, if any is left, as a view valid until the next read.
bool TextReader::TakePeeked(std::string_view& line) {
    if (peekedNext_ < peeked_.size()) {
        line = peeked_[peekedNext_++];
        return true;
    }
    if (!peeked_.empty()) {
        peeked_.clear();
        peekedNext_ = 0;
    }
    return false;
}

bool TextReader::ReadLine(std::string& line, size_t limit) {
    if (file_ == nullptr || limit < 2) {
        line.clear();
        return false;
    }
    std::string_view whole;
    if (TakePeeked(whole)) {
        line.assign(whole);
        return true;
    }
    if ((pos_ < end_ || Refill()) && TakeWholeLine(whole, limit - 1)) {
        line.assign(whole);
        return true;
    }
    return ReadPiece(line, limit - 1);
}

bool TextReader::ReadLineSlow(std::string_view& line, size_t limit) {
    line = {};
    if (file_ == nullptr || limit < 2) return false;
    if (TakePeeked(line)) return true;
    if ((pos_ < end_ || Refill()) && TakeWholeLine(line, limit - 1)) return true;
    if (!ReadPiece(spill_, limit - 1)) return false;
    line = spill_;
    return true;
}

// The writing side of a TextWriter once its output outgrows one block: a
// thread of its own checks that each full block is clean (making it so when
// it is not) and writes it, while the run fills the next block. One block is in hand at
// a time, so the bytes go out in the order they were written.
struct TextWriter::Drain {
    std::thread thread;
    std::mutex mutex;
    std::condition_variable changed;
    BlockBuffer<char> block;   // text handed over, with its CR LF
    size_t size = 0;
    bool final = false;        // the block ends what the file holds for now
    bool pending = false;      // a block waits to be written
    bool quit = false;
    bool failed = false;       // a write failed (the set has failed too)
    BlockOut* out = nullptr;

    void Run() {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return pending || quit; });
            if (!pending) return;
            lock.unlock();
            const bool ok = out->Write(block.data(), size, final);
            lock.lock();
            if (!ok) failed = true;
            pending = false;
            changed.notify_all();
        }
    }
    // Waits until the block in hand is written.
    void Wait() {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return !pending; });
    }
};

bool TextWriter::BlockOut::Write(const char* text, size_t size, bool final) {
    if (keepBytes || (carry.empty() && IsCleanText(std::string_view(text, size)))) {
        return WriteOut(text, size);
    }
    // Whatever the input held, an output is valid UTF-8 without the
    // characters XML forbids; a character cut by the block's end waits for
    // the rest of it. Rare: the block is copied to be joined to what waited.
    std::string joined = std::move(carry);
    joined.append(text, size);
    clean.clear();
    const size_t kept = AppendCleanText(clean, joined, final);
    carry.assign(joined, joined.size() - kept, kept);
    return WriteOut(clean.data(), clean.size());
}

bool TextWriter::BlockOut::WriteOut(const char* bytes, size_t size) {
    if (!files->WriteAll(fd, bytes, size)) return false;
    // Only a start: what fails here fails the sync before the rename too.
    if (writeEarly) (void)sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    return true;
}

TextWriter::TextWriter() = default;

TextWriter::TextWriter(const std::string& path, WriteMode mode) { Open(path, mode); }

TextWriter::~TextWriter() {
    Close();
    StopDrain();
}

bool TextWriter::Open(const std::string& path, WriteMode mode) {
    Close();
    own_.Reset();
    return Open(own_, path, mode);
}

bool TextWriter::Open(OutputFiles& files, const std::string& path, WriteMode mode, bool askReplace) {
    if (&files != &own_) Close();
    failed_ = false;
    used_ = 0;
    bomPending_ = false;
    files_ = &files;
    bool empty = false;
    fd_ = files.Open(path, mode, empty, askReplace);
    blockOut_.files = files_;
    blockOut_.fd = fd_;
    blockOut_.keepBytes = false;
    blockOut_.carry.clear();
    if (fd_ < 0) {
        failed_ = true;
        return false;
    }
    blockOut_.writeEarly = files.MadeDurable(path);
    if (mode == WriteMode::Create) bomPending_ = true;
    if (mode == WriteMode::Append) bomPending_ = empty;
    if (buf_.size() < kWriteBlock) buf_.resize(kWriteBlock);
    return true;
}

bool TextWriter::OpenInFolder(OutputFiles& files, int folder, const std::string& name) {
    return TakeDescriptor(files, files.OpenInFolder(folder, name));
}

bool TextWriter::OpenSpool(OutputFiles& files, const std::string& target) {
    return TakeDescriptor(files, files.OpenSpool(target));
}

bool TextWriter::TakeDescriptor(OutputFiles& files, int fd) {
    Close();
    failed_ = false;
    used_ = 0;
    bomPending_ = false;
    files_ = &files;
    fd_ = fd;
    blockOut_.files = files_;
    blockOut_.fd = fd_;
    blockOut_.keepBytes = false;
    blockOut_.writeEarly = false;
    blockOut_.carry.clear();
    if (fd_ < 0) {
        failed_ = true;
        return false;
    }
    if (buf_.size() < kWriteBlock) buf_.resize(kWriteBlock);
    return true;
}

bool TextWriter::AppendTo(TextWriter& out) {
    if (fd_ < 0 || out.fd_ < 0) return false;
    FlushBuffer(true);
    out.Write({});  // a mark still due goes first
    out.FlushBuffer(true);
    // The spool holds its lines as written (CR LF already): copied as they are.
    bool ok = !failed_ && !out.failed_ && lseek(fd_, 0, SEEK_SET) == 0 &&
              files_->CopyAll(fd_, out.fd_, out.blockOut_.writeEarly);
    if (!ok) {
        failed_ = true;
        out.failed_ = true;
        files_->Fail();
    }
    // The spool is no output of the set: closed here, never renamed.
    if (close(fd_) != 0) ok = false;
    fd_ = -1;
    files_ = nullptr;
    return ok;
}

void TextWriter::DropBom() { bomPending_ = false; }

void TextWriter::StopDrain() {
    if (drain_ == nullptr) return;
    {
        std::lock_guard lock(drain_->mutex);
        drain_->quit = true;
    }
    drain_->changed.notify_all();
    drain_->thread.join();
    drain_.reset();
}

void TextWriter::FlushBuffer(bool wait) {
    if (fd_ < 0) return;
    if (drain_ != nullptr) {
        drain_->Wait();
        if (drain_->failed) failed_ = true;
    }
    // The writing thread is idle here: what it holds back can be read.
    if (failed_ || (used_ == 0 && (!wait || blockOut_.carry.empty()))) {
        used_ = 0;
        return;
    }
    if (wait && drain_ == nullptr) {
        // A small output (or its last block): written here, no thread started.
        if (!blockOut_.Write(buf_.data(), used_, true)) failed_ = true;
        used_ = 0;
        return;
    }
    if (drain_ == nullptr) {
        drain_ = std::make_unique<Drain>();
        drain_->out = &blockOut_;
        drain_->thread = std::thread([d = drain_.get()] {
            NameThisThread("geoplait-write");
            d->Run();
        });
    }
    {
        std::lock_guard lock(drain_->mutex);
        std::swap(buf_, drain_->block);
        drain_->size = used_;
        drain_->final = wait;
        drain_->pending = true;
    }
    drain_->changed.notify_all();
    used_ = 0;
    if (buf_.size() < kWriteBlock) buf_.resize(kWriteBlock);
    if (wait) {
        drain_->Wait();
        if (drain_->failed) failed_ = true;
    }
}

void TextWriter::WriteBom() {
    bomPending_ = false;
    Write("\xEF\xBB\xBF");
}


void TextWriter::WriteLong(std::string_view text) {
    if (fd_ < 0) return;
    if (bomPending_) WriteBom();
    if (buf_.size() - used_ >= 2 * text.size() + 16) {
        char* const start = buf_.data() + used_;
        used_ += static_cast<size_t>(CopyWithCrLf(text.data(), text.size(), start) - start);
        return;
    }
    // Copied once, each "\n" as CR LF; the pair never parts at a block's end.
    while (!text.empty()) {
        if (buf_.size() - used_ < 2) FlushBuffer(false);
        char* const out = buf_.data() + used_;
        const size_t span = std::min(text.size(), buf_.size() - used_ - 1);
        const void* nl = std::memchr(text.data(), '\n', span);
        if (nl == nullptr) {
            std::memcpy(out, text.data(), span);
            used_ += span;
            text.remove_prefix(span);
            continue;
        }
        const auto length = static_cast<size_t>(static_cast<const char*>(nl) - text.data());
        std::memcpy(out, text.data(), length);
        out[length] = '\r';
        out[length + 1] = '\n';
        used_ += length + 2;
        text.remove_prefix(length + 1);
    }
}

char* TextWriter::RoomSlow(size_t size) {
    size = std::min(size, kMaxRoom);
    if (buf_.size() < kWriteBlock) buf_.resize(kWriteBlock);
    // A closed writer takes what is written and drops it (Commit adds nothing).
    if (fd_ < 0) return buf_.data();
    if (bomPending_) WriteBom();
    if (buf_.size() - used_ < size) FlushBuffer(false);
    return buf_.data() + used_;
}

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
        if (bomPending_) WriteBom();
        FlushBuffer(true);
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
