// The XML scanner. One Step takes one piece of the document: a run of
// character data, a tag, a comment, a CDATA section, a processing
// instruction or the document type declaration. Character data streams
// through in pieces as the blocks come; every other token is taken whole, so
// the buffer keeps a token that a block cuts and reads on (up to
// kMaxTokenBytes, which no GPX or KML tag comes near). The buffer itself is
// never written to: names and attribute values are copied out, so that the
// line and column of an error are counted on the bytes as they were read.
#include "readers/xml_stream.h"

#include <algorithm>
#include <cstring>

#include "engine/track_point.h"

namespace geoplait {

namespace {

constexpr size_t kBlockBytes = size_t{1} << 18;     // read at a time
constexpr size_t kMaxTokenBytes = size_t{8} << 20;  // the longest tag, comment or CDATA section
constexpr size_t kNpos = static_cast<size_t>(-1);

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads `count` digits at text[i], advancing i; false when they are not there.
bool TakeDigits(std::string_view text, size_t& i, size_t count, int& value) {
    if (i + count > text.size()) return false;
    value = 0;
    for (size_t k = 0; k < count; ++k) {
        if (!IsDigit(text[i + k])) return false;
        value = value * 10 + (text[i + k] - '0');
    }
    i += count;
    return true;
}

bool TakeChar(std::string_view text, size_t& i, char c) {
    if (i >= text.size() || text[i] != c) return false;
    ++i;
    return true;
}

void PutPair(char* out, int value) {
    out[0] = static_cast<char>('0' + value / 10 % 10);
    out[1] = static_cast<char>('0' + value % 10);
}

// Appends code point `cp` as UTF-8.
size_t PutUtf8(char* out, uint32_t cp) {
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (cp >> 12));
        out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (cp >> 18));
    out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
}

// The text of an entity reference between "&" and ";" as UTF-8 into `out`
// (at most 4 bytes); 0 when it is no entity this scanner knows.
size_t DecodeEntity(std::string_view name, char* out) {
    static constexpr struct {
        std::string_view name;
        char text;
    } kPredefined[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& entity : kPredefined) {
        if (name == entity.name) {
            out[0] = entity.text;
            return 1;
        }
    }
    if (name.size() < 2 || name[0] != '#') return 0;
    uint32_t cp = 0;
    const bool hex = name[1] == 'x';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) return 0;
    for (const char c : digits) {
        uint32_t d = 0;
        if (IsDigit(c)) {
            d = static_cast<uint32_t>(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
            d = static_cast<uint32_t>(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
            d = static_cast<uint32_t>(c - 'A' + 10);
        } else {
            return 0;
        }
        cp = cp * (hex ? 16 : 10) + d;
        if (cp > 0x10FFFF) return 0;
    }
    // Characters XML cannot carry are no reference either.
    if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF) return 0;
    return PutUtf8(out, cp);
}

bool StartsWith(const char* p, size_t available, std::string_view prefix) {
    return available >= prefix.size() && std::memcmp(p, prefix.data(), prefix.size()) == 0;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

bool XmlStream::Open(const std::string& path, void* user, const Handlers& handlers) {
    Close();
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) return false;
    user_ = user;
    handlers_ = handlers;
    encoding_ = Encoding::Utf8;
    if (buf_.size() == 0) buf_.resize(2 * kBlockBytes);
    if (raw_.size() == 0) raw_.resize(kBlockBytes);
    pos_ = end_ = 0;
    rawCarry_ = 0;
    eof_ = false;
    line_ = 1;
    column_ = 0;
    started_ = paused_ = finished_ = false;
    rootSeen_ = rootClosed_ = pendingEnd_ = false;
    names_.clear();
    nameStarts_.clear();
    error_.clear();
    return true;
}

void XmlStream::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

bool XmlStream::Fail(const char* what, size_t at) {
    finished_ = true;
    // Line and column (from 0, in characters) of buf_[at].
    uint64_t line = line_;
    uint64_t column = column_;
    const char* p = buf_.data();
    const char* stop = p + std::min(at, end_);
    for (; p < stop; ++p) {
        if (*p == '\n') {
            ++line;
            column = 0;
        } else if ((static_cast<unsigned char>(*p) & 0xC0) != 0x80) {
            ++column;
        }
    }
    char text[200];
    std::snprintf(text, sizeof text, "line %llu, column %llu: %s", static_cast<unsigned long long>(line),
                  static_cast<unsigned long long>(column), what);
    error_.assign(text);
    return false;
}

bool XmlStream::Run() {
    if (file_ == nullptr || finished_) return false;
    paused_ = false;
    if (!started_) {
        started_ = true;
        if (!DetectEncoding()) return false;
    }
    while (!paused_) {
        if (!Step()) return false;
    }
    return true;
}

// The encoding by the byte-order mark, else by the declaration; the first
// block is read into raw_ and stays there to be decoded.
bool XmlStream::DetectEncoding() {
    size_t n = std::fread(raw_.data(), 1, raw_.size(), file_);
    const unsigned char* b = raw_.data();
    size_t skip = 0;
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        skip = 3;
    } else if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        encoding_ = Encoding::Utf16Le;
        skip = 2;
    } else if (n >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
        encoding_ = Encoding::Utf16Be;
        skip = 2;
    } else {
        const std::string_view head(reinterpret_cast<const char*>(b), n);
        if (head.starts_with("<?xml")) {
            const size_t close = head.find("?>");
            const std::string_view declaration = head.substr(0, close);
            const size_t at = declaration.find("encoding");
            if (at != std::string_view::npos) {
                size_t i = at + 8;
                while (i < declaration.size() && (IsXmlSpace(declaration[i]) || declaration[i] == '=')) ++i;
                const char quote = i < declaration.size() ? declaration[i] : '\0';
                const size_t stop = declaration.find(quote, i + 1);
                const std::string_view name =
                    (quote == '"' || quote == '\'') && stop != std::string_view::npos
                        ? declaration.substr(i + 1, stop - i - 1)
                        : std::string_view();
                if (EqualNoCase(name, "ISO-8859-1") || EqualNoCase(name, "ISO8859-1") ||
                    EqualNoCase(name, "ISO_8859-1") || EqualNoCase(name, "LATIN1")) {
                    encoding_ = Encoding::Latin1;
                } else if (!EqualNoCase(name, "UTF-8") && !EqualNoCase(name, "UTF8") &&
                           !EqualNoCase(name, "US-ASCII") && !EqualNoCase(name, "ASCII")) {
                    return Fail("unknown encoding", 0);
                }
            }
        }
    }
    std::memmove(raw_.data(), raw_.data() + skip, n - skip);
    rawCarry_ = n - skip;
    if (std::ferror(file_)) return Fail("read error", 0);
    return true;
}

size_t XmlStream::ReadDecoded(char* out, size_t room) {
    if (encoding_ == Encoding::Utf8) {
        if (rawCarry_ > 0) {
            const size_t n = std::min(rawCarry_, room);
            std::memcpy(out, raw_.data(), n);
            std::memmove(raw_.data(), raw_.data() + n, rawCarry_ - n);
            rawCarry_ -= n;
            return n;
        }
        return std::fread(out, 1, room, file_);
    }
    // Latin-1 doubles at most, UTF-16 takes 3 bytes for 2 (4 for 4): half
    // the room in raw bytes always fits.
    const size_t want = std::min(raw_.size(), room / 2);
    if (rawCarry_ < want) rawCarry_ += std::fread(raw_.data() + rawCarry_, 1, want - rawCarry_, file_);
    const unsigned char* b = raw_.data();
    const size_t limit = std::min(rawCarry_, want);
    size_t used = 0;
    size_t made = 0;
    if (encoding_ == Encoding::Latin1) {
        for (; used < limit; ++used) made += PutUtf8(out + made, b[used]);
    } else {
        const bool little = encoding_ == Encoding::Utf16Le;
        const auto unit = [&](size_t i) {
            return static_cast<uint32_t>(little ? (b[i] | (b[i + 1] << 8)) : ((b[i] << 8) | b[i + 1]));
        };
        const bool atEnd = std::feof(file_) != 0 && limit == rawCarry_;
        while (used + 2 <= limit) {
            uint32_t cp = unit(used);
            size_t step = 2;
            if (cp >= 0xD800 && cp <= 0xDBFF) {
                if (used + 4 > limit && !atEnd) break;  // the pair's second half comes next
                const uint32_t low = used + 4 <= limit ? unit(used + 2) : 0;
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    step = 4;
                } else {
                    cp = 0xFFFD;
                }
            } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
                cp = 0xFFFD;
            }
            made += PutUtf8(out + made, cp);
            used += step;
        }
        if (atEnd && used < limit && used + 2 > limit) used = limit;  // a lone last byte
    }
    std::memmove(raw_.data(), raw_.data() + used, rawCarry_ - used);
    rawCarry_ -= used;
    return made;
}

bool XmlStream::Fill(size_t keep) {
    if (!error_.empty()) return false;
    if (keep > 0) {
        // The bytes given up: count their lines for the errors to come.
        const char* p = buf_.data();
        const char* stop = p + keep;
        for (const void* nl; (nl = std::memchr(p, '\n', static_cast<size_t>(stop - p))) != nullptr;) {
            ++line_;
            column_ = 0;
            p = static_cast<const char*>(nl) + 1;
        }
        for (; p < stop; ++p) {
            if ((static_cast<unsigned char>(*p) & 0xC0) != 0x80) ++column_;
        }
        std::memmove(buf_.data(), buf_.data() + keep, end_ - keep);
        end_ -= keep;
        pos_ -= keep;
    }
    if (eof_) return false;
    if (buf_.size() - end_ < kBlockBytes / 2) {
        if (buf_.size() >= kMaxTokenBytes) {
            Fail("token too long", pos_);
            return false;
        }
        BlockBuffer<char> bigger;
        bigger.resize(buf_.size() * 2);
        std::memcpy(bigger.data(), buf_.data(), end_);
        buf_ = std::move(bigger);
    }
    for (;;) {
        const size_t n = ReadDecoded(buf_.data() + end_, buf_.size() - end_);
        if (n > 0) {
            end_ += n;
            return true;
        }
        if (std::ferror(file_)) {
            Fail("read error", end_);
            return false;
        }
        if (std::feof(file_) && rawCarry_ == 0) {
            eof_ = true;
            return false;
        }
    }
}

bool XmlStream::Step() {
    if (pendingEnd_) {
        pendingEnd_ = false;
        return EndTag(kNpos);
    }
    if (pos_ >= end_ && !Fill(pos_)) {
        if (!error_.empty()) return false;
        finished_ = true;
        if (!rootSeen_ || !nameStarts_.empty()) return FailAtEnd("no element found");
        return false;
    }
    return buf_[pos_] == '<' ? Markup() : Text();
}

void XmlStream::Emit(const char* text, size_t length) {
    if (length > 0 && !nameStarts_.empty()) handlers_.text(user_, text, static_cast<int>(length));
}

size_t XmlStream::DeliverText(size_t from, size_t to, bool last) {
    const char* b = buf_.data();
    if (nameStarts_.empty()) {
        // Outside the root only white space may stand.
        for (size_t i = from; i < to; ++i) {
            if (!IsXmlSpace(b[i])) {
                Fail(rootClosed_ ? "junk after document element" : "syntax error", i);
                return kNpos;
            }
        }
        return to;
    }
    size_t run = from;
    for (size_t i = from; i < to; ++i) {
        const char c = b[i];
        if (c != '&' && c != '\r') continue;
        Emit(b + run, i - run);
        if (c == '\r') {
            if (i + 1 == to && !last) return i;  // an LF may follow in the next block
            run = i + 1;
            if (i + 1 < to && b[i + 1] == '\n') continue;  // CR LF: the LF stays
            Emit("\n", 1);
            continue;
        }
        const void* semicolon = std::memchr(b + i + 1, ';', std::min<size_t>(to - i - 1, 12));
        if (semicolon == nullptr) {
            if (!last && to - i < 12) return i;  // the reference goes on in the next block
            Fail("not well-formed (invalid token)", i);
            return kNpos;
        }
        const size_t close = static_cast<size_t>(static_cast<const char*>(semicolon) - b);
        char decoded[4];
        const size_t n = DecodeEntity(std::string_view(b + i + 1, close - i - 1), decoded);
        if (n == 0) {
            Fail("undefined entity", i);
            return kNpos;
        }
        Emit(decoded, n);
        i = close;
        run = close + 1;
    }
    Emit(b + run, to - run);
    return to;
}

bool XmlStream::Text() {
    for (;;) {
        const void* lt = std::memchr(buf_.data() + pos_, '<', end_ - pos_);
        const size_t stop = lt != nullptr ? static_cast<size_t>(static_cast<const char*>(lt) - buf_.data()) : end_;
        const size_t done = DeliverText(pos_, stop, lt != nullptr || eof_);
        if (done == kNpos) return false;
        pos_ = done;
        if (lt != nullptr || paused_) return true;
        if (!Fill(pos_)) {
            if (!error_.empty()) return false;
            // The end of the file: what is left is the last of the text.
            const size_t rest = DeliverText(pos_, end_, true);
            if (rest == kNpos) return false;
            pos_ = end_;
            return true;
        }
    }
}

// Takes the whole token that starts at pos_ and ends with `terminator`
// (comment, processing instruction, CDATA section, whose text is delivered).
bool XmlStream::Skip(std::string_view terminator, bool cdata) {
    const size_t open = cdata ? 9 : 2;
    for (;;) {
        const char* b = buf_.data();
        const std::string_view rest(b + pos_ + open, end_ - pos_ - open);
        const size_t at = rest.find(terminator);
        if (at != std::string_view::npos) {
            const size_t contentEnd = pos_ + open + at;
            if (cdata) {
                // No entities inside, but line ends as everywhere.
                size_t run = pos_ + open;
                for (size_t i = run; i < contentEnd; ++i) {
                    if (b[i] != '\r') continue;
                    Emit(b + run, i - run);
                    run = i + 1;
                    if (i + 1 < contentEnd && b[i + 1] == '\n') continue;
                    Emit("\n", 1);
                }
                Emit(b + run, contentEnd - run);
            }
            pos_ = contentEnd + terminator.size();
            return true;
        }
        if (!Fill(pos_)) return error_.empty() ? FailAtEnd("unclosed token") : false;
    }
}

bool XmlStream::SkipDoctype() {
    size_t scanned = pos_ + 2;
    int brackets = 0;
    char quote = '\0';
    for (;;) {
        const char* b = buf_.data();
        for (; scanned < end_; ++scanned) {
            const char c = b[scanned];
            if (quote != '\0') {
                if (c == quote) quote = '\0';
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '[') {
                ++brackets;
            } else if (c == ']') {
                --brackets;
            } else if (c == '>' && brackets <= 0) {
                pos_ = scanned + 1;
                return true;
            }
        }
        const size_t offset = scanned - pos_;
        if (!Fill(pos_)) return error_.empty() ? FailAtEnd("unclosed token") : false;
        scanned = pos_ + offset;
    }
}

bool XmlStream::Markup() {
    // Enough bytes to tell the kinds of markup apart.
    while (end_ - pos_ < 9 && !eof_) {
        if (!Fill(pos_) && !error_.empty()) return false;
    }
    const char* b = buf_.data();
    const size_t available = end_ - pos_;
    if (available < 2) return FailAtEnd("unclosed token");
    const char c = b[pos_ + 1];
    if (c == '!') {
        if (StartsWith(b + pos_, available, "<!--")) return Skip("-->", false);
        if (StartsWith(b + pos_, available, "<![CDATA[")) {
            if (nameStarts_.empty()) return Fail("syntax error", pos_);
            return Skip("]]>", true);
        }
        if (StartsWith(b + pos_, available, "<!DOCTYPE") && !rootSeen_) return SkipDoctype();
        return Fail("not well-formed (invalid token)", pos_);
    }
    if (c == '?') return Skip("?>", false);
    // A tag: up to its ">", which may also stand inside a quoted value.
    size_t scanned = pos_ + 1;
    char quote = '\0';
    for (;;) {
        b = buf_.data();
        for (; scanned < end_; ++scanned) {
            const char d = b[scanned];
            if (quote != '\0') {
                const void* close = std::memchr(b + scanned, quote, end_ - scanned);
                if (close == nullptr) {
                    scanned = end_;
                    break;
                }
                scanned = static_cast<size_t>(static_cast<const char*>(close) - b);
                quote = '\0';
            } else if (d == '"' || d == '\'') {
                quote = d;
            } else if (d == '>') {
                return c == '/' ? EndTag(scanned) : StartTag(scanned);
            } else if (d == '<') {
                return Fail("not well-formed (invalid token)", scanned);
            }
        }
        const size_t offset = scanned - pos_;
        if (!Fill(pos_)) return error_.empty() ? FailAtEnd("unclosed token") : false;
        scanned = pos_ + offset;
    }
}

bool XmlStream::StartTag(size_t end) {
    const char* b = buf_.data();
    const bool empty = b[end - 1] == '/';
    const size_t limit = empty ? end - 1 : end;
    size_t i = pos_ + 1;
    while (i < limit && !IsXmlSpace(b[i])) ++i;
    if (i == pos_ + 1 || b[pos_ + 1] == '/' || b[pos_ + 1] == '=') return Fail("not well-formed (invalid token)", pos_ + 1);
    if (rootClosed_) return Fail("junk after document element", pos_);
    nameStarts_.push_back(names_.size());
    names_.append(b + pos_ + 1, i - pos_ - 1);
    names_.push_back('\0');

    // Attributes as "name\0value\0" pairs in attributeText_, then pointers.
    std::string& text = attributeText_;
    text.clear();
    attributeOffsets_.clear();
    for (;;) {
        while (i < limit && IsXmlSpace(b[i])) ++i;
        if (i >= limit) break;
        const size_t nameStart = i;
        while (i < limit && !IsXmlSpace(b[i]) && b[i] != '=') ++i;
        const size_t nameEnd = i;
        while (i < limit && IsXmlSpace(b[i])) ++i;
        if (nameEnd == nameStart || i >= limit || b[i] != '=') return Fail("not well-formed (invalid token)", i);
        ++i;
        while (i < limit && IsXmlSpace(b[i])) ++i;
        if (i >= limit || (b[i] != '"' && b[i] != '\'')) return Fail("not well-formed (invalid token)", i);
        const char quote = b[i];
        const size_t valueStart = ++i;
        while (i < limit && b[i] != quote) ++i;
        if (i >= limit) return Fail("not well-formed (invalid token)", valueStart);
        const std::string_view name(b + nameStart, nameEnd - nameStart);
        for (size_t k = 0; k < attributeOffsets_.size(); k += 2) {
            if (std::string_view(text.data() + attributeOffsets_[k]) == name) {
                return Fail("duplicate attribute", nameStart);
            }
        }
        attributeOffsets_.push_back(text.size());
        text.append(name);
        text.push_back('\0');
        attributeOffsets_.push_back(text.size());
        for (size_t k = valueStart; k < i; ++k) {
            const char v = b[k];
            if (v == '<') return Fail("not well-formed (invalid token)", k);
            if (v == '&') {
                const size_t close = std::string_view(b + k, i - k).find(';');
                char decoded[4];
                const size_t n = close == std::string_view::npos ? 0 : DecodeEntity(std::string_view(b + k + 1, close - 1), decoded);
                if (n == 0) return Fail("undefined entity", k);
                text.append(decoded, n);
                k += close;
            } else if (v == '\r' && k + 1 < i && b[k + 1] == '\n') {
                // CR LF is one line end, and so one blank.
            } else {
                text.push_back(IsXmlSpace(v) ? ' ' : v);
            }
        }
        text.push_back('\0');
        ++i;
        if (i < limit && !IsXmlSpace(b[i])) return Fail("not well-formed (invalid token)", i);
    }
    attributes_.clear();
    for (const size_t offset : attributeOffsets_) attributes_.push_back(text.data() + offset);
    attributes_.push_back(nullptr);

    rootSeen_ = true;
    pos_ = end + 1;
    handlers_.start(user_, names_.data() + nameStarts_.back(), attributes_.data());
    if (!empty) return true;
    if (paused_) {
        pendingEnd_ = true;
        return true;
    }
    return EndTag(kNpos);
}

// The end tag that ends at `end`, or (kNpos) the end of the empty element
// just begun.
bool XmlStream::EndTag(size_t end) {
    if (end != kNpos) {
        const char* b = buf_.data();
        size_t i = pos_ + 2;
        while (i < end && !IsXmlSpace(b[i])) ++i;
        const std::string_view name(b + pos_ + 2, i - pos_ - 2);
        while (i < end && IsXmlSpace(b[i])) ++i;
        if (i != end) return Fail("not well-formed (invalid token)", i);
        if (nameStarts_.empty()) return Fail(rootClosed_ ? "junk after document element" : "syntax error", pos_);
        if (name != std::string_view(names_.data() + nameStarts_.back())) return Fail("mismatched tag", pos_ + 2);
        pos_ = end + 1;
    }
    handlers_.end(user_, names_.data() + nameStarts_.back());
    names_.resize(nameStarts_.back());
    nameStarts_.pop_back();
    if (nameStarts_.empty()) rootClosed_ = true;
    return true;
}

std::string_view LocalName(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon != nullptr ? std::string_view(colon + 1) : std::string_view(name);
}

void AppendCapped(std::string& value, const char* data, int length, size_t capBytes) {
    if (length <= 0 || value.size() >= capBytes) return;
    value.append(data, std::min(static_cast<size_t>(length), capBytes - value.size()));
}

std::string_view TrimXmlSpace(std::string_view text) {
    while (!text.empty() && IsXmlSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsXmlSpace(text.back())) text.remove_suffix(1);
    return text;
}

void TidyText(std::string& text) {
    for (char& c : text) {
        if (IsXmlSpace(c)) c = ' ';
    }
    CollapseBlanks(text);
}

bool ReadXmlTimeStamp(std::string_view text, XmlTimeStamp& stamp) {
    text = TrimXmlSpace(text);
    size_t i = 0;
    int year = 0;
    int month = 0;
    int day = 0;
    if (!TakeDigits(text, i, 4, year) || !TakeChar(text, i, '-') || !TakeDigits(text, i, 2, month) ||
        !TakeChar(text, i, '-') || !TakeDigits(text, i, 2, day)) {
        return false;
    }
    PutPair(stamp.date, day);
    PutPair(stamp.date + 2, month);
    PutPair(stamp.date + 4, year % 100);
    stamp.date[6] = '\0';
    std::memcpy(stamp.time, "000000", 7);
    stamp.zone = XmlTimeStamp::Zone::Unstated;
    stamp.offset = 0;
    if (i == text.size()) return true;  // a date alone

    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    if (!(TakeChar(text, i, 'T') || TakeChar(text, i, 't') || TakeChar(text, i, ' ')) ||
        !TakeDigits(text, i, 2, hours) || !TakeChar(text, i, ':') || !TakeDigits(text, i, 2, minutes)) {
        return false;
    }
    if (TakeChar(text, i, ':')) {
        if (!TakeDigits(text, i, 2, seconds)) return false;
        if (TakeChar(text, i, '.') || TakeChar(text, i, ',')) {
            while (i < text.size() && IsDigit(text[i])) ++i;
        }
    }
    PutPair(stamp.time, hours);
    PutPair(stamp.time + 2, minutes);
    PutPair(stamp.time + 4, seconds);
    if (i == text.size()) return true;
    if (TakeChar(text, i, 'Z') || TakeChar(text, i, 'z')) {
        stamp.zone = XmlTimeStamp::Zone::Utc;
        return i == text.size();
    }
    if (text[i] != '+' && text[i] != '-') return false;
    const bool west = text[i] == '-';
    ++i;
    int offsetHours = 0;
    int offsetMinutes = 0;
    if (!TakeDigits(text, i, 2, offsetHours)) return false;
    TakeChar(text, i, ':');
    if (i < text.size() && !TakeDigits(text, i, 2, offsetMinutes)) return false;
    if (i != text.size() || offsetHours > 14 || offsetMinutes > 59) return false;
    stamp.zone = offsetHours == 0 && offsetMinutes == 0 ? XmlTimeStamp::Zone::Utc : XmlTimeStamp::Zone::Offset;
    stamp.offset = (offsetHours * 10000 + offsetMinutes * 100) * (west ? -1 : 1);
    return true;
}

}  // namespace geoplait
