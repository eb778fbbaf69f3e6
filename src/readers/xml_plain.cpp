#include "readers/xml_plain.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace geoplait {

namespace {

constexpr int kMaxOpen = kPlainMaxOpen;
constexpr int kMaxAttributes = kPlainMaxAttributes;

enum ByteClass : uint8_t {
    kNotPlain = 0,
    kPlain = 1,      // a character of plain content
    kNameChar = 2,   // also within a name
    kNameStart = 4,  // also at the start of one
    kDataStop = 8,   // ends a run of character data: "<", "&", ">" (of "]]>"), line breaks and what is not plain
};

constexpr std::array<uint8_t, 256> MakeClasses() {
    std::array<uint8_t, 256> classes{};
    classes['\t'] = classes['\n'] = classes['\r'] = kPlain;
    for (int c = 0x20; c <= 0x7E; ++c) classes[static_cast<size_t>(c)] = kPlain;
    for (int c = 'a'; c <= 'z'; ++c) classes[static_cast<size_t>(c)] = kPlain | kNameChar | kNameStart;
    for (int c = 'A'; c <= 'Z'; ++c) classes[static_cast<size_t>(c)] = kPlain | kNameChar | kNameStart;
    for (int c = '0'; c <= '9'; ++c) classes[static_cast<size_t>(c)] = kPlain | kNameChar;
    classes['_'] = kPlain | kNameChar | kNameStart;
    classes['.'] = classes['-'] = classes[':'] = kPlain | kNameChar;
    for (uint8_t& c : classes) {
        if (c == kNotPlain) c = kDataStop;
    }
    classes['<'] |= kDataStop;
    classes['&'] |= kDataStop;
    classes['>'] |= kDataStop;
    classes['\n'] |= kDataStop;
    classes['\r'] |= kDataStop;
    return classes;
}
constexpr std::array<uint8_t, 256> kClasses = MakeClasses();

uint8_t ClassOf(char c) { return kClasses[static_cast<unsigned char>(c)]; }

bool IsPlain(char c) { return (ClassOf(c) & kPlain) != 0; }

// Eight bytes at a time: whether a word holds only printable ASCII (0x20 to
// 0x7E), and whether it holds byte c (the usual tests for a zero byte).
constexpr uint64_t kOnes = 0x0101010101010101ULL;
constexpr uint64_t kHighs = 0x8080808080808080ULL;

uint64_t Word(const char* p) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

bool Printable(uint64_t word) {
    const uint64_t below = (word - kOnes * 0x20) & ~word;
    const uint64_t del = word ^ (kOnes * 0x7F);
    return ((word | below | ((del - kOnes) & ~del)) & kHighs) == 0;
}

bool Holds(uint64_t word, char c) {
    const uint64_t match = word ^ (kOnes * static_cast<unsigned char>(c));
    return ((match - kOnes) & ~match & kHighs) != 0;
}

// Where the bytes at q that are printable ASCII other than "<", "&", ">" and
// `also` end, up to `end`: at a byte that is none of them (a tab or line
// break among them). Sixteen at a time where the machine compares vectors, else
// eight: each such byte of a word gets its high bit set, exactly so for the
// lowest one (a borrow only runs upward, from a byte that is one itself),
// and the lowest byte of a word is its first in memory.
[[gnu::always_inline]] inline const char* PrintableRunEnd(const char* q, const char* end, char also = '<') {
#if defined(__SSE2__)
    for (; end - q >= 16; q += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        // Signed bytes: those of 0x80 and above are below 0x20 too.
        const __m128i outside = _mm_or_si128(_mm_cmplt_epi8(v, _mm_set1_epi8(0x20)),
                                             _mm_cmpeq_epi8(v, _mm_set1_epi8(0x7F)));
        const __m128i markup = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('<')), _mm_cmpeq_epi8(v, _mm_set1_epi8(also))),
            _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('&')), _mm_cmpeq_epi8(v, _mm_set1_epi8('>'))));
        const auto stops = static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(outside, markup)));
        if (stops != 0) return q + std::countr_zero(stops);
    }
#else
    if constexpr (std::endian::native == std::endian::little) {
        const auto match = [](uint64_t word, unsigned char c) {
            const uint64_t m = word ^ (kOnes * c);
            return (m - kOnes) & ~m;
        };
        while (end - q >= 8) {
            const uint64_t word = Word(q);
            const uint64_t below = (word - kOnes * 0x20) & ~word;
            const uint64_t stops = (word | below | match(word, 0x7F) | match(word, '<') | match(word, '&') |
                                    match(word, '>') | match(word, static_cast<unsigned char>(also))) &
                                   kHighs;
            if (stops != 0) return q + std::countr_zero(stops) / 8;
            q += 8;
        }
    }
#endif
    for (; q < end; ++q) {
        const auto c = static_cast<unsigned char>(*q);
        if (c < 0x20 || c > 0x7E || c == '<' || c == '&' || c == '>' || c == static_cast<unsigned char>(also)) break;
    }
    return q;
}

// The number of bytes at the start of a word that are blanks, 8 when all
// are.
int LeadingBlanks(uint64_t word) {
    const uint64_t other = word ^ (kOnes * ' ');
    if constexpr (std::endian::native == std::endian::little) {
        return std::countr_zero(other) / 8;
    } else {
        return std::countl_zero(other) / 8;
    }
}

// Whether all of text is plain characters; counts its line breaks.
bool AllPlain(std::string_view text, PlainLines& lines) {
    bool plain = true;
    const auto check = [&](char c) {
        plain &= IsPlain(c);
        lines.lineFeeds += c == '\n' ? 1 : 0;
        lines.carriageReturns += c == '\r' ? 1 : 0;
    };
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        if (Printable(Word(text.data() + i))) continue;
        for (size_t k = i; k < i + 8; ++k) check(text[k]);
    }
    for (; i < text.size(); ++i) check(text[i]);
    return plain;
}

// Whether the bytes at p are those of `name` (as many as it has, there).
bool SameBytes(const char* p, std::string_view name) {
    for (const char c : name) {
        if (*p++ != c) return false;
    }
    return true;
}

void CountBreak(char c, PlainLines& lines) {
    if (c == '\n') ++lines.lineFeeds;
    if (c == '\r') ++lines.carriageReturns;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

// A plain content reader over one piece of text, from p to end; every step
// is bounds-checked and false when the text is no plain content or ends
// first.
struct PlainScan {
    const char* p;
    const char* end;
    PlainLines lines;
    const char* colon = nullptr;  // of the name taken last; nullptr when it has none

    void SkipSpace() {
        for (; p < end && IsSpace(*p); ++p) CountBreak(*p, lines);
    }

    // A name at p: a letter or "_" first, then letters, digits and "_.-",
    // with at most one ":" and never at either end (a prefix and a local
    // name, as namespaces want them).
    std::string_view TakeName() {
        const char* start = p;
        colon = nullptr;
        if (p == end || (ClassOf(*p) & kNameStart) == 0) return {};
        for (++p; p < end && (ClassOf(*p) & kNameChar) != 0; ++p) {
            if (*p != ':') continue;
            if (colon != nullptr) return {};
            colon = p;
        }
        if (colon == p - 1) return {};
        return std::string_view(start, static_cast<size_t>(p - start));
    }

    bool Take(char c) {
        if (p == end || *p != c) return false;
        ++p;
        return true;
    }

    bool Take(std::string_view literal) {
        if (static_cast<size_t>(end - p) < literal.size() || std::memcmp(p, literal.data(), literal.size()) != 0) {
            return false;
        }
        p += literal.size();
        return true;
    }

    // Plain characters up to and through `close` (of two or three bytes).
    bool Through(std::string_view close) {
        const std::string_view rest(p, static_cast<size_t>(end - p));
        const size_t at = rest.find(close);
        if (at == std::string_view::npos || !AllPlain(rest.substr(0, at), lines)) return false;
        p += at + close.size();
        return true;
    }

    // The attributes and end of a start tag after its name, into
    // `attributes` (room for kMaxAttributes) and `count`; `empty` tells a tag
    // closed by "/>".
    [[gnu::always_inline]] bool TagRest(bool& empty, PlainAttribute* attributes, int& count) {
        empty = false;
        count = 0;
        if (Take('>')) return true;
        for (;;) {
            const char* before = p;
            SkipSpace();
            if (Take('>')) return true;
            if (Take('/')) {
                empty = true;
                return Take('>');
            }
            // An attribute stands after white space, and only once in a tag.
            if (p == before || count == kMaxAttributes) return false;
            const std::string_view name = TakeName();
            if (name.empty()) return false;
            for (int k = 0; k < count; ++k) {
                if (attributes[k].name.size() == name.size() && SameBytes(attributes[k].name.data(), name)) return false;
            }
            SkipSpace();
            if (!Take('=')) return false;
            SkipSpace();
            if (p == end || (*p != '"' && *p != '\'')) return false;
            const char quote = *p++;
            const char* value = p;
            bool spaced = false;
            for (;;) {
                p = PrintableRunEnd(p, end, quote);
                if (p == end || *p == quote) break;
                if (*p == '\n') {
                    ++lines.lineFeeds;
                } else if (*p == '\r') {
                    ++lines.carriageReturns;
                } else if (*p != '>' && *p != '\t') {
                    return false;
                }
                spaced |= *p != '>';
                ++p;
            }
            attributes[count++] = {name, std::string_view(value, static_cast<size_t>(p - value)), spaced};
            if (!Take(quote)) return false;
        }
    }
};

namespace {

std::string_view LocalPart(std::string_view name) {
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

}  // namespace

size_t PlainContentLength(std::string_view text, std::string_view rawName, int depthRoom,
                          std::span<const std::string_view> wanted, PlainLines& lines) {
    constexpr size_t kNot = std::string::npos;
    const int maxOpen = depthRoom < kMaxOpen ? depthRoom : kMaxOpen;
    // The names of the open elements, left unset until used (this runs for
    // every element passed over).
    const char* openName[kMaxOpen];
    size_t openLength[kMaxOpen];
    int depth = 0;
    PlainScan scan{text.data(), text.data() + text.size(), {}};
    for (;;) {
        // Character data up to the next markup: no reference, no "]]>".
        const char* run = scan.p;
        for (;;) {
            while (scan.end - scan.p >= 8) {
                const uint64_t word = Word(scan.p);
                if (!Printable(word) || Holds(word, '<') || Holds(word, '&') || Holds(word, '>')) break;
                scan.p += 8;
            }
            while (scan.p < scan.end && (ClassOf(*scan.p) & kDataStop) == 0) ++scan.p;
            if (scan.p == scan.end) return kNot;
            if (*scan.p == '<') break;
            if (*scan.p == '\n' || *scan.p == '\r') {
                CountBreak(*scan.p++, scan.lines);
                continue;
            }
            if (*scan.p != '>' || (scan.p - run >= 2 && scan.p[-1] == ']' && scan.p[-2] == ']')) return kNot;
            ++scan.p;
        }
        const char* markup = scan.p++;
        if (scan.Take('/')) {
            const std::string_view name = scan.TakeName();
            scan.SkipSpace();
            if (name.empty() || !scan.Take('>')) return kNot;
            if (depth == 0) {
                if (name != rawName) return kNot;
                lines = scan.lines;
                return static_cast<size_t>(markup - text.data());
            }
            const auto open = static_cast<size_t>(depth - 1);
            if (name != std::string_view(openName[open], openLength[open])) return kNot;
            --depth;
        } else if (scan.Take('!')) {
            // A comment ("--" only in its closing "-->") or a CDATA section.
            if (scan.Take("--")) {
                if (!scan.Through("--") || !scan.Take('>')) return kNot;
            } else if (!scan.Take("[CDATA[") || !scan.Through("]]>")) {
                return kNot;
            }
        } else {
            // A start or empty-element tag (anything else after "<" has no name).
            const std::string_view name = scan.TakeName();
            if (name.empty() || depth + 1 > maxOpen) return kNot;
            const std::string_view local = LocalPart(name);
            for (const std::string_view w : wanted) {
                if (local == w) return kNot;
            }
            bool empty = false;
            if (scan.p < scan.end && *scan.p == '>') {
                ++scan.p;  // mostly a tag without attributes
            } else {
                std::array<PlainAttribute, kMaxAttributes> attributes;
                int count = 0;
                if (!scan.TagRest(empty, attributes.data(), count)) return kNot;
            }
            if (!empty) {
                openName[depth] = name.data();
                openLength[depth] = name.size();
                ++depth;
            }
        }
    }
}

PlainTokens::PlainTokens(std::string_view text, int depthRoom)
    : begin_(text.data()),
      p_(text.data()),
      end_(text.data() + text.size()),
      tokenStart_(text.data()),
      maxOpen_(depthRoom < kMaxOpen ? depthRoom : kMaxOpen) {}

// White space up to the next markup, passed by: mostly the line break and
// indent between two elements, the blanks eight at a time. False, nothing
// passed, where anything else stands before the markup or the text ends
// first (Data then reads it). Called with a byte left to read.
[[gnu::always_inline]] inline bool PlainTokens::SkipBlanks() {
    const char* q = p_;
    PlainLines lines = lines_;
    // Mostly a line feed, then the indent.
    if (*q == '\n') {
        ++lines.lineFeeds;
        ++q;
    }
    for (;;) {
        if (end_ - q >= 8) q += LeadingBlanks(Word(q));
        if (q == end_) return false;
        const char c = *q;
        if (c == '<') break;
        if (c == '\n') {
            ++lines.lineFeeds;
        } else if (c == '\r') {
            ++lines.carriageReturns;
        } else if (c != ' ' && c != '\t') {
            return false;
        }
        ++q;
    }
    p_ = q;
    lines_ = lines;
    return true;
}

// At markup: "<name>data</name>" as one token, where the start tag has no
// attributes, the data no reference and no ">" (nor anything else that is
// not plain), and the end tag follows as it stands, without blanks. False,
// nothing read, for any other markup: the token is read piece by piece.
[[gnu::always_inline]] inline bool PlainTokens::Element(PlainToken& token) {
    const char* q = p_ + 1;
    if (q >= end_ || (ClassOf(*q) & kNameStart) == 0) return false;
    const char* name = q;
    const char* colon = nullptr;
    for (++q; q < end_ && (ClassOf(*q) & kNameChar) != 0; ++q) {
        if (*q != ':') continue;
        if (colon != nullptr) return false;
        colon = q;
    }
    if (q == end_ || *q != '>' || colon == q - 1 || depth_ >= maxOpen_) return false;
    const auto nameLength = static_cast<size_t>(q - name);
    const char* data = ++q;
    PlainLines lines = lines_;
    bool spaced = false;
    for (;;) {
        q = PrintableRunEnd(q, end_, ' ');
        if (q == end_) return false;
        const char c = *q;
        if (c == '<') break;
        if (c == '\n') {
            ++lines.lineFeeds;
        } else if (c == '\r') {
            ++lines.carriageReturns;
        } else if (c != ' ' && c != '\t') {
            return false;
        }
        spaced = true;
        ++q;
    }
    if (static_cast<size_t>(end_ - q) < nameLength + 3 || q[1] != '/' || q[nameLength + 2] != '>') return false;
    if (nameLength <= 8 && end_ - q >= 10) {
        // The name in one word: its bytes are before q, and the word at q + 2
        // within the text.
        const uint64_t differ = Word(name) ^ Word(q + 2);
        const uint64_t mask = nameLength == 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * nameLength)) - 1;
        if constexpr (std::endian::native == std::endian::little) {
            if ((differ & mask) != 0) return false;
        } else if (!SameBytes(q + 2, std::string_view(name, nameLength))) {
            return false;
        }
    } else if (!SameBytes(q + 2, std::string_view(name, nameLength))) {
        return false;
    }
    token.kind = PlainToken::Kind::kElement;
    token.empty = false;
    token.attributeCount = 0;
    token.text = std::string_view(name, nameLength);
    token.local = colon == nullptr ? token.text : token.text.substr(static_cast<size_t>(colon + 1 - name));
    token.content = std::string_view(data, static_cast<size_t>(q - data));
    token.carriageReturn = lines.carriageReturns != lines_.carriageReturns;
    token.spaced = spaced;
    p_ = q + nameLength + 3;
    lines_ = lines;
    return true;
}

PlainToken::Kind PlainTokens::Next(PlainToken& token, bool withText, bool whole) {
    tokenStart_ = p_;
    linesBefore_ = lines_;
    token.kind = PlainToken::Kind::kNotPlain;
    if (stopped_ || p_ == end_) return token.kind;
    if (*p_ != '<') {
        if (withText || !SkipBlanks()) {
            if (Data(token) == PlainToken::Kind::kNotPlain || withText) return token.kind;
        }
        // Checked and passed by: the markup after it is the token.
        tokenStart_ = p_;
        linesBefore_ = lines_;
        token.kind = PlainToken::Kind::kNotPlain;
    }
    if (whole && Element(token)) return token.kind;
    return MarkupToken(token);
}

// Apart from Next, whose common steps need none of this.
PlainToken::Kind PlainTokens::MarkupToken(PlainToken& token) {
    PlainScan scan{p_, end_, lines_};
    const PlainToken::Kind kind = Markup(scan, token);
    if (kind == PlainToken::Kind::kNotPlain) {
        stopped_ = true;
        return kind;
    }
    p_ = scan.p;
    lines_ = scan.lines;
    token.kind = kind;
    return kind;
}

// Character data up to the next markup ("<", which must follow): no
// reference, no "]]>". Byte by byte: the runs between the elements of a
// point are a few bytes long.
PlainToken::Kind PlainTokens::Data(PlainToken& token) {
    const char* q = p_;
    for (;; ++q) {
        if (q == end_) {
            stopped_ = true;
            return PlainToken::Kind::kNotPlain;
        }
        const char c = *q;
        if ((ClassOf(c) & kDataStop) == 0) continue;
        if (c == '<') break;
        if (c == '\n') {
            ++lines_.lineFeeds;
        } else if (c == '\r') {
            ++lines_.carriageReturns;
        } else if (c != '>' || (q - p_ >= 2 && q[-1] == ']' && q[-2] == ']')) {
            stopped_ = true;
            return PlainToken::Kind::kNotPlain;
        }
    }
    token.text = std::string_view(p_, static_cast<size_t>(q - p_));
    token.carriageReturn = lines_.carriageReturns != linesBefore_.carriageReturns;
    p_ = q;
    token.kind = PlainToken::Kind::kText;
    return token.kind;
}

PlainToken::Kind PlainTokens::Markup(PlainScan& scan, PlainToken& token) {
    using Kind = PlainToken::Kind;
    ++scan.p;
    if (scan.Take('/')) {
        // Mostly the end tag of the element open, as it stands: "</name>".
        if (depth_ > 0) {
            const std::string_view open = open_[static_cast<size_t>(depth_ - 1)];
            if (static_cast<size_t>(scan.end - scan.p) > open.size() && scan.p[open.size()] == '>' &&
                SameBytes(scan.p, open)) {
                scan.p += open.size() + 1;
                token.text = open;
                --depth_;
                return Kind::kEnd;
            }
        }
        const std::string_view name = scan.TakeName();
        scan.SkipSpace();
        if (name.empty() || !scan.Take('>')) return Kind::kNotPlain;
        token.text = name;
        if (depth_ == 0) return Kind::kOuterEnd;
        if (open_[static_cast<size_t>(depth_ - 1)] != name) return Kind::kNotPlain;
        --depth_;
        return Kind::kEnd;
    }
    if (scan.Take('!')) {
        // A comment ("--" only in its closing "-->") or a CDATA section.
        if (scan.Take("--")) return scan.Through("--") && scan.Take('>') ? Kind::kComment : Kind::kNotPlain;
        if (!scan.Take("[CDATA[")) return Kind::kNotPlain;
        const char* start = scan.p;
        if (!scan.Through("]]>")) return Kind::kNotPlain;
        token.text = std::string_view(start, static_cast<size_t>(scan.p - 3 - start));
        token.carriageReturn = scan.lines.carriageReturns != lines_.carriageReturns;
        return Kind::kCData;
    }
    // A start or empty-element tag (anything else after "<" has no name).
    const std::string_view name = scan.TakeName();
    const char* colon = scan.colon;
    if (name.empty() || depth_ >= maxOpen_) return Kind::kNotPlain;
    if (scan.p < scan.end && *scan.p == '>') {
        // Mostly a tag without attributes.
        ++scan.p;
        token.empty = false;
        token.attributeCount = 0;
    } else if (!scan.TagRest(token.empty, token.attributes.data(), token.attributeCount)) {
        return Kind::kNotPlain;
    }
    token.text = name;
    token.local = colon == nullptr ? name : name.substr(static_cast<size_t>(colon + 1 - name.data()));
    if (!token.empty) open_[static_cast<size_t>(depth_++)] = name;
    return Kind::kStart;
}

}  // namespace geoplait
