// The byte classes and the bounds-checked reader of plain markup that the
// scan of element content (xml_plain.cpp) and the point tokens
// (xml_plain_tokens.cpp, and the GPX points read with them) share. Internal
// to the readers of plain markup.
#pragma once

#include "readers/xml_plain.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace geoplait {

// Named, so that PlainScan below, shared by both files, uses one definition of each.
namespace plain_markup {

inline constexpr int kMaxOpen = kPlainMaxOpen;
inline constexpr int kMaxAttributes = kPlainMaxAttributes;

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
inline constexpr std::array<uint8_t, 256> kClasses = MakeClasses();

inline uint8_t ClassOf(char c) { return kClasses[static_cast<unsigned char>(c)]; }

inline bool IsPlain(char c) { return (ClassOf(c) & kPlain) != 0; }

// Eight bytes at a time: whether a word holds only printable ASCII (0x20 to
// 0x7E), and whether it holds byte c (the usual tests for a zero byte).
inline constexpr uint64_t kOnes = 0x0101010101010101ULL;
inline constexpr uint64_t kHighs = 0x8080808080808080ULL;

inline uint64_t Word(const char* p) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

inline bool Printable(uint64_t word) {
    const uint64_t below = (word - kOnes * 0x20) & ~word;
    const uint64_t del = word ^ (kOnes * 0x7F);
    return ((word | below | ((del - kOnes) & ~del)) & kHighs) == 0;
}

inline bool Holds(uint64_t word, char c) {
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
inline int LeadingBlanks(uint64_t word) {
    const uint64_t other = word ^ (kOnes * ' ');
    if constexpr (std::endian::native == std::endian::little) {
        return std::countr_zero(other) / 8;
    } else {
        return std::countl_zero(other) / 8;
    }
}

// Whether all of text is plain characters; counts its line breaks.
inline bool AllPlain(std::string_view text, PlainLines& lines) {
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
inline bool SameBytes(const char* p, std::string_view name) {
    for (const char c : name) {
        if (*p++ != c) return false;
    }
    return true;
}

inline void CountBreak(char c, PlainLines& lines) {
    if (c == '\n') ++lines.lineFeeds;
    if (c == '\r') ++lines.carriageReturns;
}

inline bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace plain_markup

using namespace plain_markup;

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
            // Field by field: an attribute made whole first is stored in
            // halves and read back at once, which waits until both are written.
            PlainAttribute& attribute = attributes[count++];
            attribute.name = name;
            attribute.value = std::string_view(value, static_cast<size_t>(p - value));
            attribute.spaced = spaced;
            if (!Take(quote)) return false;
        }
    }
};

// The common steps of PlainTokens, inline where they are used: Next
// (xml_plain_tokens.cpp) and NextAfterElements, for the readers of points.

// White space between markup: a line break counted, a blank or tab passed;
// false for any other byte.
[[gnu::always_inline]] inline bool TakeBlank(char c, PlainLines& lines) {
    if (c == '\n') {
        ++lines.lineFeeds;
        return true;
    }
    if (c == '\r') {
        ++lines.carriageReturns;
        return true;
    }
    return c == ' ' || c == '\t';
}

// The end of a whole element's data from q: plain characters and white
// space (its line breaks counted, `spaced` set) up to the "<" of its end
// tag; nullptr where anything else stands first or the text ends. `kNoCr`:
// a CR ends it too (it would be LF as the parser gives it).
template <bool kNoCr>
[[gnu::always_inline]] inline const char* WholeDataEnd(const char* q, const char* end, PlainLines& lines,
                                                       bool& spaced) {
    for (;;) {
        q = PrintableRunEnd(q, end, ' ');
        if (q == end) return nullptr;
        const char c = *q;
        if (c == '<') return q;
        if ((kNoCr && c == '\r') || !TakeBlank(c, lines)) return nullptr;
        spaced = true;
        ++q;
    }
}

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
        if (!TakeBlank(c, lines)) return false;
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
    q = WholeDataEnd<false>(q, end_, lines, spaced);
    if (q == nullptr) return false;
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
    // From the name itself, not read back from the token: a load of what was
    // stored in two halves just before waits until both are written.
    const std::string_view text(name, nameLength);
    token.text = text;
    token.local = colon == nullptr ? text : text.substr(static_cast<size_t>(colon + 1 - name));
    token.content = std::string_view(data, static_cast<size_t>(q - data));
    token.carriageReturn = lines.carriageReturns != lines_.carriageReturns;
    token.spaced = spaced;
    p_ = q + nameLength + 3;
    lines_ = lines;
    return true;
}

template <typename Take>
PlainToken::Kind PlainTokens::NextAfterElements(PlainToken& token, Take&& take) {
    // Each step as Next takes it: white space passed by (anything else
    // before the markup is Next's to read, from where it starts), then a
    // whole element, or else the markup as its token.
    while (!stopped_ && p_ != end_) {
        if (*p_ != '<' && !SkipBlanks()) break;
        if (!Element(token)) {
            tokenStart_ = p_;
            linesBefore_ = lines_;
            token.kind = PlainToken::Kind::kNotPlain;
            return MarkupToken(token);
        }
        take(token);
    }
    return Next(token, false, true);
}

}  // namespace geoplait
