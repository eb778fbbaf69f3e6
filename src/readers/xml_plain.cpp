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

[[maybe_unused]] bool Holds(uint64_t word, char c) {
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

// The byte sums of the eight lanes of each word of a vector whose lanes
// hold at most 31 each (their sum fits in a byte): by a multiply.
template <typename Bytes>
size_t LaneSum(const Bytes& counts) {
    uint64_t words[sizeof(Bytes) / 8];
    static_assert(sizeof counts == sizeof words);
    std::memcpy(words, &counts, sizeof words);
    size_t sum = 0;
    for (const uint64_t w : words) sum += static_cast<size_t>((w * kOnes) >> 56);
    return sum;
}

using PlainVector = signed char __attribute__((vector_size(32)));
using PlainUnsignedVector = unsigned char __attribute__((vector_size(32)));

// One vector of PlainBytes: its bytes that are not plain marked in `bad`,
// its LFs and CRs counted in their lanes, for its lanes in `keep` (all bits
// set or none). A byte plus one (wrapping) is below 0x21 as a signed byte
// for the control characters, DEL and the bytes 0x80 and above; tab, LF and
// CR are plain.
[[gnu::always_inline]] inline void LookAt(const PlainVector& v, const PlainVector& keep, PlainVector& bad,
                                          PlainVector& lfs, PlainVector& crs) {
    const PlainVector isLf = v == static_cast<signed char>('\n');
    const PlainVector isCr = v == static_cast<signed char>('\r');
    const PlainVector isTab = v == static_cast<signed char>('\t');
    const auto next =
        __builtin_bit_cast(PlainVector, __builtin_bit_cast(PlainUnsignedVector, v) + static_cast<unsigned char>(1));
    const PlainVector below = next < static_cast<signed char>(0x21);
    bad |= below & ~(isLf | isCr | isTab) & keep;
    lfs -= isLf & keep;
    crs -= isCr & keep;
}

}  // namespace

// Made for two machines, chosen when the program loads: with AVX2 the
// vector unit looks at 32 bytes at a time, without it 16. Each lane counts
// line breaks for at most 31 vectors before the counts are summed, so that
// no lane overflows. The bytes after the last whole vector are looked at in
// one more that ends with the text, its lanes looked at before left out.
__attribute__((target_clones("avx2", "default"))) bool PlainBytes(std::string_view text, PlainLines& lines) {
    using Bytes = PlainVector;
    const char* p = text.data();
    const size_t n = text.size();
    if (n < sizeof(Bytes)) {
        bool plain = true;
        for (size_t i = 0; i < n; ++i) {
            plain &= IsPlain(p[i]);
            lines.lineFeeds += p[i] == '\n' ? 1 : 0;
            lines.carriageReturns += p[i] == '\r' ? 1 : 0;
        }
        return plain;
    }
    const Bytes all = Bytes{} - static_cast<signed char>(1);
    Bytes bad{};
    Bytes lfs{};
    Bytes crs{};
    size_t i = 0;
    for (int held = 0; n - i >= sizeof(Bytes); i += sizeof(Bytes)) {
        Bytes v;
        std::memcpy(&v, p + i, sizeof v);
        LookAt(v, all, bad, lfs, crs);
        if (++held == 31) {
            lines.lineFeeds += LaneSum(lfs);
            lines.carriageReturns += LaneSum(crs);
            lfs = crs = Bytes{};
            held = 0;
        }
    }
    if (i < n) {
        const Bytes lane = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                            16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31};
        Bytes v;
        std::memcpy(&v, p + n - sizeof(Bytes), sizeof v);
        LookAt(v, lane >= static_cast<signed char>(sizeof(Bytes) - (n - i)), bad, lfs, crs);
    }
    lines.lineFeeds += LaneSum(lfs);
    lines.carriageReturns += LaneSum(crs);
    return LaneSum(bad & static_cast<signed char>(1)) == 0;
}

namespace {

// The first "<", "&" or ">" from p on, or `end`: where character data stops
// to be looked at. Sixteen bytes at a time where the machine compares them
// so ("<" and ">" differ in one bit: 0x3C and 0x3E are 0x3E with it set).
const char* NextDataStop(const char* p, const char* end) {
#if defined(__SSE2__)
    const __m128i angle = _mm_set1_epi8('>');
    const __m128i two = _mm_set1_epi8(2);
    const __m128i amp = _mm_set1_epi8('&');
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(_mm_or_si128(v, two), angle), _mm_cmpeq_epi8(v, amp));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        if (mask != 0) return p + std::countr_zero(mask);
        p += 16;
    }
#else
    while (end - p >= 8) {
        const uint64_t word = Word(p);
        if (Holds(word, '<') || Holds(word, '&') || Holds(word, '>')) break;
        p += 8;
    }
#endif
    for (; p < end; ++p) {
        if (*p == '<' || *p == '&' || *p == '>') return p;
    }
    return end;
}

// A name at scan.p as PlainScan::TakeName reads it, with its local part in
// `local`: its end found sixteen bytes at a time where the machine compares
// so; a name with a colon (a prefix, or not a name) is read by TakeName.
std::string_view TakeNameAt(PlainScan& scan, std::string_view& local) {
    const char* start = scan.p;
    if (start == scan.end || (ClassOf(*start) & kNameStart) == 0) return {};
    const char* q = start + 1;
    bool colon = false;
    bool ended = false;  // at a byte that is no name byte
#if defined(__SSE2__)
    const __m128i belowA = _mm_set1_epi8('a' - 1);
    const __m128i aboveZ = _mm_set1_epi8('z' + 1);
    // "-", ".", "/", the digits and ":" stand together, "/" no name byte.
    const __m128i belowDash = _mm_set1_epi8('-' - 1);
    const __m128i aboveColon = _mm_set1_epi8(':' + 1);
    while (!ended && scan.end - q >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        const __m128i lower = _mm_or_si128(v, _mm_set1_epi8(0x20));
        const __m128i letter = _mm_and_si128(_mm_cmpgt_epi8(lower, belowA), _mm_cmplt_epi8(lower, aboveZ));
        const __m128i other = _mm_andnot_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('/')),
                                               _mm_and_si128(_mm_cmpgt_epi8(v, belowDash), _mm_cmplt_epi8(v, aboveColon)));
        const __m128i isName = _mm_or_si128(_mm_or_si128(letter, other), _mm_cmpeq_epi8(v, _mm_set1_epi8('_')));
        const auto ends = static_cast<unsigned>(~_mm_movemask_epi8(isName)) & 0xFFFFU;
        const auto colons = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(':'))));
        const int length = ends == 0 ? 16 : std::countr_zero(ends);
        colon |= (colons & ((1U << length) - 1)) != 0;
        q += length;
        ended = ends != 0;
    }
#endif
    for (; !ended && q < scan.end && (ClassOf(*q) & kNameChar) != 0; ++q) colon |= *q == ':';
    if (colon) {
        const std::string_view name = scan.TakeName();
        local = scan.colon == nullptr
                    ? name
                    : std::string_view(scan.colon + 1, static_cast<size_t>(scan.p - scan.colon - 1));
        return name;
    }
    scan.p = q;
    local = std::string_view(start, static_cast<size_t>(q - start));
    return local;
}

// Whether the bytes at p are the name of an open element (checked at its
// start tag) and no longer name: eight bytes at a time while the text holds
// enough after p (the name stands before p, so as many are there to read).
bool IsOpenName(const char* p, const char* end, const char* name, size_t length) {
    if (length <= 16 && static_cast<size_t>(end - p) > 16) {
        const uint64_t first = length >= 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * length)) - 1;
        const uint64_t second = length <= 8 ? 0 : length == 16 ? ~uint64_t{0} : (uint64_t{1} << (8 * (length - 8))) - 1;
        if ((((Word(p) ^ Word(name)) & first) | ((Word(p + 8) ^ Word(name + 8)) & second)) != 0) return false;
    } else if (static_cast<size_t>(end - p) <= length || std::memcmp(p, name, length) != 0) {
        return false;
    }
    return (ClassOf(p[length]) & kNameChar) == 0;
}

// The end of the first `close` ("--" or "]]>") from p on, or nullptr when
// the text ends first: found by its first byte, which a comment or a CDATA
// section mostly holds nowhere else.
const char* After(const char* p, const char* end, std::string_view close) {
    for (;;) {
        const void* found = std::memchr(p, close.front(), static_cast<size_t>(end - p));
        if (found == nullptr) return nullptr;
        p = static_cast<const char*>(found);
        if (static_cast<size_t>(end - p) < close.size()) return nullptr;
        if (std::memcmp(p, close.data(), close.size()) == 0) return p + close.size();
        ++p;
    }
}

// The structure of plain content: its markup and the stops of its character
// data, with each byte's being plain and the line breaks left to PlainBytes
// (every byte of plain content is plain, wherever it stands, and every line
// break counts). With `siblings`, the elements of the same name that follow
// the first as its siblings, after character data only, are taken in turn
// while each is plain too: the length ends at the end tag of the last.
size_t PlainElementsLength(std::string_view text, std::string_view rawName, int depthRoom,
                           std::span<const std::string_view> wanted, bool siblings, PlainLines& lines) {
    constexpr size_t kNot = std::string::npos;
    const int maxOpen = depthRoom < kMaxOpen ? depthRoom : kMaxOpen;
    // The names of the open elements, left unset until used (this runs for
    // every element passed over).
    const char* openName[kMaxOpen];
    size_t openLength[kMaxOpen];
    int depth = 0;
    // The element's own name, compared as it stands where a name is read:
    // one that is no name as plain markup has them is never found.
    PlainScan own{rawName.data(), rawName.data() + rawName.size(), {}};
    if (own.TakeName().size() != rawName.size() || rawName.empty()) return kNot;
    const auto isOwnName = [rawName](const char* p, const char* end) {
        return static_cast<size_t>(end - p) > rawName.size() &&
               std::memcmp(p, rawName.data(), rawName.size()) == 0 && (ClassOf(p[rawName.size()]) & kNameChar) == 0;
    };
    PlainScan scan{text.data(), text.data() + text.size(), {}};
    // The lengths of the wanted names, a bit each (the longest share one):
    // most names are of none of them and need no comparing.
    uint64_t wantedLengths = 0;
    for (const std::string_view w : wanted) wantedLengths |= uint64_t{1} << std::min<size_t>(w.size(), 63);
    // Room for the attributes of a tag, set once (that is 512 bytes).
    std::array<PlainAttribute, kMaxAttributes> attributes;
    // The content taken so far, the plain bytes of it and their line breaks.
    size_t taken = kNot;
    PlainLines takenLines;
    for (;;) {
        // Character data up to the next markup: no reference, no "]]>".
        const char* run = scan.p;
        for (;;) {
            scan.p = NextDataStop(scan.p, scan.end);
            if (scan.p == scan.end) return taken;
            if (*scan.p == '<') break;
            if (*scan.p == '&' || (scan.p - run >= 2 && scan.p[-1] == ']' && scan.p[-2] == ']')) return taken;
            ++scan.p;
        }
        const char* markup = scan.p++;
        if (scan.p < scan.end && *scan.p == '/') {
            ++scan.p;
            if (depth == 0) {
                if (!isOwnName(scan.p, scan.end)) return taken;
                scan.p += rawName.size();
                if (*scan.p != '>') scan.SkipSpace();
                if (!scan.Take('>')) return taken;
                // An element's content taken whole: its bytes plain.
                const size_t from = taken == kNot ? 0 : taken;
                const auto length = static_cast<size_t>(markup - text.data());
                PlainLines more = takenLines;
                if (!PlainBytes(text.substr(from, length - from), more)) return taken;
                taken = length;
                takenLines = more;
                lines = takenLines;
                if (!siblings) return taken;
                // A sibling of the same name after character data: its
                // content follows, as the first element's did.
                run = scan.p;
                for (;;) {
                    scan.p = NextDataStop(scan.p, scan.end);
                    if (scan.p == scan.end) return taken;
                    if (*scan.p == '<') break;
                    if (*scan.p == '&' || (scan.p - run >= 2 && scan.p[-1] == ']' && scan.p[-2] == ']')) {
                        return taken;
                    }
                    ++scan.p;
                }
                ++scan.p;
                if (!isOwnName(scan.p, scan.end)) return taken;
                scan.p += rawName.size();
                if (scan.p < scan.end && *scan.p == '>') {
                    ++scan.p;
                } else {
                    int count = 0;
                    bool empty = false;
                    if (!scan.TagRest(empty, attributes.data(), count) || empty) return taken;
                }
                continue;
            }
            // The end tag of the open element: its name as it stands (a name
            // checked at its start tag), then white space and ">".
            const auto open = static_cast<size_t>(depth - 1);
            const size_t length = openLength[open];
            if (!IsOpenName(scan.p, scan.end, openName[open], length)) return taken;
            scan.p += length;
            if (*scan.p != '>') scan.SkipSpace();
            if (!scan.Take('>')) return taken;
            --depth;
        } else if (scan.Take('!')) {
            // A comment ("--" only in its closing "-->") or a CDATA section.
            if (scan.Take("--")) {
                const char* close = After(scan.p, scan.end, "--");
                if (close == nullptr) return taken;
                scan.p = close;
                if (!scan.Take('>')) return taken;
            } else {
                const char* close = scan.Take("[CDATA[") ? After(scan.p, scan.end, "]]>") : nullptr;
                if (close == nullptr) return taken;
                scan.p = close;
            }
        } else {
            // A start or empty-element tag (anything else after "<" has no name).
            std::string_view local;
            const std::string_view name = TakeNameAt(scan, local);
            if (name.empty() || depth + 1 > maxOpen) return taken;
            if ((wantedLengths >> std::min<size_t>(local.size(), 63) & 1) != 0) {
                for (const std::string_view w : wanted) {
                    if (local == w) return taken;
                }
            }
            bool empty = false;
            if (scan.p < scan.end && *scan.p == '>') {
                ++scan.p;  // mostly a tag without attributes
            } else if (scan.end - scan.p >= 2 && scan.p[0] == '/' && scan.p[1] == '>') {
                scan.p += 2;
                empty = true;
            } else {
                int count = 0;
                if (!scan.TagRest(empty, attributes.data(), count)) return taken;
            }
            if (!empty) {
                openName[depth] = name.data();
                openLength[depth] = name.size();
                ++depth;
            }
        }
    }
}

}  // namespace

size_t PlainContentLength(std::string_view text, std::string_view rawName, int depthRoom,
                          std::span<const std::string_view> wanted, PlainLines& lines) {
    return PlainElementsLength(text, rawName, depthRoom, wanted, false, lines);
}

size_t PlainSiblingsLength(std::string_view text, std::string_view rawName, int depthRoom,
                           std::span<const std::string_view> wanted, PlainLines& lines) {
    return PlainElementsLength(text, rawName, depthRoom, wanted, true, lines);
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
