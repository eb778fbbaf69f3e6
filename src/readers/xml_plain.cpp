#include "readers/xml_plain_scan.h"

namespace geoplait {

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

}  // namespace geoplait
