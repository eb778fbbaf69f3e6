// One pass over a sentence's bytes. Each piece of sixteen bytes is marked
// where it holds ",", "*", CR or LF (by vector compares where the machine has
// them); the marks give the fields in order, and the piece's bytes before the
// first "*" are folded into the checksum as they are marked.
#include "readers/nmea_scan.h"

#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace geoplait {

namespace {

constexpr size_t kNoStar = static_cast<size_t>(-1);

[[gnu::always_inline]] inline ChunkMarks Marks(const unsigned char* p) {
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    ChunkMarks m;
    m.comma = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(','))));
    m.star = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('*'))));
    m.lineEnd = static_cast<uint32_t>(_mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\n')))));
    return m;
#else
    return MarksOfBytes(p);
#endif
}

// Bytes of sixteen at p that are "*", bit i for byte i.
[[gnu::always_inline]] inline uint32_t StarMask(const unsigned char* p) {
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('*'))));
#else
    return MarksOfBytes(p).star;
#endif
}

// The value of each byte as a hexadecimal digit, -1 for the others.
constexpr auto kHexDigits = [] {
    std::array<signed char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[static_cast<size_t>(c)] = static_cast<signed char>(c >= '0' && c <= '9'   ? c - '0'
                                                                 : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                                 : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                                                        : -1);
    }
    return table;
}();

// Characters in s as the text reader counts them.
size_t CharCount(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    size_t chars = 0;
    for (size_t i = 0; i < n; ++chars) {
        const unsigned char c = p[i];
        size_t len = 1;
        if (c >= 0xC2 && c <= 0xDF) len = 2;
        else if (c >= 0xE0 && c <= 0xEF) len = 3;
        else if (c >= 0xF0 && c <= 0xF4) len = 4;
        if (len > n - i) len = 1;
        for (size_t j = 1; j < len; ++j) {
            if ((p[i + j] & 0xC0) != 0x80) {
                len = 1;
                break;
            }
        }
        i += len;
    }
    return chars;
}

// The "*hh" after the "*" at `star`: two hexadecimal digits, then nothing but
// line ends, whose value is `sum`.
inline bool ChecksumHolds(const unsigned char* p, size_t n, size_t star, unsigned sum) {
    if (n - star < 3) return false;
    for (size_t i = star + 3; i < n; ++i) {
        if (p[i] != '\r' && p[i] != '\n') return false;
    }
    const int high = kHexDigits[p[star + 1]];
    const int low = kHexDigits[p[star + 2]];
    return (high | low) >= 0 && static_cast<unsigned>(high * 16 + low) == sum;
}

}  // namespace

ChunkMarks MarksOfBytes(const unsigned char* p) {
    ChunkMarks m;
    for (unsigned i = 0; i < 16; ++i) {
        m.comma |= static_cast<uint32_t>(p[i] == ',') << i;
        m.star |= static_cast<uint32_t>(p[i] == '*') << i;
        m.lineEnd |= static_cast<uint32_t>(p[i] == '\r' || p[i] == '\n') << i;
    }
    return m;
}

ChunkMarks MarksOfChunk(const unsigned char* p) { return Marks(p); }

bool WithinFieldScan(std::string_view line, size_t pos) {
    // A byte index below the limit is a character index below it too, so
    // only long lines need counting.
    return pos < kFieldScanChars || CharCount(line.substr(0, pos)) < kFieldScanChars;
}

namespace {

// 0xFF sixteen times, then 0x00 sixteen times: the sixteen bytes from
// kPrefixMask + 16 - b keep bytes [0, b) of a piece.
constexpr unsigned char kPrefixMask[32] = {
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
};

// Exclusive-or of bytes [from, to) of the sixteen at p, as a word whose bytes
// fold to it.
[[gnu::always_inline]] inline uint64_t XorBytes(const unsigned char* p, unsigned from, unsigned to) {
    uint64_t w[2];
    uint64_t keep[2];
    uint64_t drop[2];
    std::memcpy(w, p, sizeof w);
    std::memcpy(keep, kPrefixMask + 16 - to, sizeof keep);
    std::memcpy(drop, kPrefixMask + 16 - from, sizeof drop);
    return ((w[0] & keep[0] & ~drop[0]) ^ (w[1] & keep[1] & ~drop[1]));
}

// The state of a scan between its pieces. The "," found: those that begin
// fields, then one that only ends the last (the one past kMaxFields, or the
// first past the scan's limit).
struct ScanState {
    size_t commas[SentenceScan::kMaxFields + 1];
    size_t count = 0;          // of them that begin fields
    bool cut = false;          // a "," past the limit was found
    bool tracking = false;     // fields are still being found
    size_t star = kNoStar;
    size_t firstEnd = 0;       // the first CR or LF (the text's size: none)
    uint64_t sum = 0;          // exclusive-or of the bytes before the "*", folded at the end
};

// One piece of sixteen bytes at p, whose byte 0 is byte `base` of the text;
// bytes before `from` were scanned already. False once nothing more is to
// be found.
[[gnu::always_inline]] inline bool ScanPiece(std::string_view text, const unsigned char* p, size_t base, unsigned from,
                                             ScanState& st) {
    const ChunkMarks m = Marks(p);
    const uint32_t fresh = ~((1u << from) - 1);
    if (st.star == kNoStar) {
        const uint32_t stars = m.star & fresh;
        if (stars == 0) {
            st.sum ^= XorBytes(p, from, 16);
        } else {
            const auto b = static_cast<unsigned>(std::countr_zero(stars));
            st.sum ^= XorBytes(p, from, b);
            st.star = base + b;
            if (!st.tracking) return false;
        }
    }
    if (!st.tracking) return true;
    const uint32_t lineEnds = m.lineEnd & fresh;
    if (lineEnds != 0 && st.firstEnd == text.size()) {
        st.firstEnd = base + static_cast<unsigned>(std::countr_zero(lineEnds));
    }
    size_t count = st.count;
    for (uint32_t c = m.comma & fresh; c != 0; c &= c - 1) {
        const size_t pos = base + static_cast<unsigned>(std::countr_zero(c));
        if (count > SentenceScan::kMaxFields) {
            st.tracking = false;
            break;
        }
        if (pos >= kFieldScanChars && !WithinFieldScan(text, pos)) {
            // It still ends the field before it.
            st.cut = true;
            st.commas[count] = pos;
            st.tracking = false;
            break;
        }
        st.commas[count++] = pos;
    }
    st.count = count;
    return st.tracking || st.star == kNoStar;
}

// Whether the checksum of a sentence whose first "*" is at `star` fails;
// `sum` holds the exclusive-or of the bytes before it, the "$" too, as a
// word whose bytes fold to it.
[[gnu::always_inline]] inline bool FailsAt(const unsigned char* p, size_t n, size_t star, uint64_t sum) {
    sum ^= sum >> 32;
    sum ^= sum >> 16;
    sum ^= sum >> 8;
    // The sum runs from the byte after the "$".
    const unsigned total = star == 0 ? 0 : static_cast<unsigned>(sum & 0xFF) ^ p[0];
    return !ChecksumHolds(p, n, star, total);
}

// Any sentence, piece by piece: the scan of texts too long for ScanShort.
void ScanAnyLength(std::string_view text, bool wantFields, SentenceScan& scan) {
    const auto* const p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    ScanState st;
    st.tracking = wantFields;
    st.firstEnd = n;
    // Sixteen bytes at a time; the last piece, when shorter, is read as the
    // sixteen bytes that end the text (those before `from` were read
    // already), or, in a text shorter than sixteen, copied before NULs.
    size_t at = 0;
    bool more = true;
    for (; more && n - at >= 16; at += 16) more = ScanPiece(text, p + at, at, 0, st);
    if (more && at < n) {
        if (n >= 16) {
            const auto from = static_cast<unsigned>(16 - (n - at));
            ScanPiece(text, p + n - 16, n - 16, from, st);
        } else {
            unsigned char shortText[16] = {};
            std::memcpy(shortText, p, n);
            ScanPiece(text, shortText, 0, 0, st);
        }
    }
    const size_t star = st.star;
    // Field k runs from its "," to the next ",", CR or LF. The commas past
    // the last field end it and are no field of their own.
    const size_t fields = st.count < SentenceScan::kMaxFields ? st.count : SentenceScan::kMaxFields;
    const size_t ends = st.cut ? st.count + 1 : st.count;
    scan.fields = fields;
    scan.cutAtLimit = st.cut;
    if (fields > 0) {
        for (size_t k = 0; k < fields; ++k) {
            scan.start[k] = st.commas[k] + 1;
            scan.end[k] = k + 1 < ends ? st.commas[k + 1] : n;
        }
        // A line end ends the field it falls in: mostly the last field, at
        // the end of the line. One before it is looked for in every field.
        if (st.firstEnd > st.commas[fields - 1]) {
            if (st.firstEnd < scan.end[fields - 1]) scan.end[fields - 1] = st.firstEnd;
        } else {
            for (size_t k = 0; k < fields; ++k) {
                for (size_t i = scan.start[k]; i < scan.end[k]; ++i) {
                    if (p[i] == '\r' || p[i] == '\n') {
                        scan.end[k] = i;
                        break;
                    }
                }
            }
        }
    }
    scan.failsChecksum = star != kNoStar && FailsAt(p, n, star, st.sum);
}

// A text of at most kShortText bytes (a sentence has at most 82 and most
// lines are sentences): the marks of all its bytes are gathered first, as
// bits of two words, and read after.
constexpr size_t kShortText = 128;

struct Bits {
    uint64_t word[2] = {0, 0};
    bool Any() const { return (word[0] | word[1]) != 0; }
    // The lowest bit set (Any) and the bits without it.
    size_t First() const {
        return word[0] != 0 ? static_cast<size_t>(std::countr_zero(word[0]))
                            : 64 + static_cast<size_t>(std::countr_zero(word[1]));
    }
    void DropFirst() {
        if (word[0] != 0) {
            word[0] &= word[0] - 1;
        } else {
            word[1] &= word[1] - 1;
        }
    }
    // The first bit set at or after i, or `none`.
    size_t FirstFrom(size_t i, size_t none) const {
        if (i >= 128) return none;
        if (i < 64) {
            const uint64_t low = word[0] >> i;
            if (low != 0) return i + static_cast<size_t>(std::countr_zero(low));
            return word[1] != 0 ? 64 + static_cast<size_t>(std::countr_zero(word[1])) : none;
        }
        const uint64_t high = word[1] >> (i - 64);
        return high != 0 ? i + static_cast<size_t>(std::countr_zero(high)) : none;
    }
};

// Folds the bytes of the piece at `bytes` (its "*" marks `stars`; bytes
// before `seen` read already) that precede its first "*" into the sum, and
// sets `star` when it holds one.
[[gnu::always_inline]] inline void SumPiece(const unsigned char* bytes, uint32_t stars, unsigned seen, size_t base,
                                            uint64_t& sum, size_t& star) {
    stars = stars >> seen << seen;
    if (stars == 0) {
        sum ^= XorBytes(bytes, seen, 16);
        return;
    }
    const auto b = static_cast<unsigned>(std::countr_zero(stars));
    sum ^= XorBytes(bytes, seen, b);
    star = base + b;
}

void ScanShort(std::string_view text, bool wantFields, SentenceScan& scan) {
    const auto* const p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    Bits commas;
    Bits lineEnds;
    uint64_t sum = 0;
    size_t star = kNoStar;
    // Piece j holds bytes [16 j, 16 j + 16): bits 16 (j % 4) on of word j / 4.
    const auto take = [&](const ChunkMarks& m, size_t at) {
        const unsigned shift = static_cast<unsigned>(at % 64);
        commas.word[at / 64] |= uint64_t{m.comma} << shift;
        lineEnds.word[at / 64] |= uint64_t{m.lineEnd} << shift;
    };
    size_t at = 0;
    for (; at + 16 <= n; at += 16) {
        const ChunkMarks m = Marks(p + at);
        if (star == kNoStar) SumPiece(p + at, m.star, 0, at, sum, star);
        take(m, at);
    }
    if (at < n) {
        // The last bytes: the sixteen that end the text, their marks moved
        // down past those read already; a text shorter than sixteen is
        // copied before NULs.
        if (n >= 16) {
            ChunkMarks m = Marks(p + n - 16);
            const auto seen = static_cast<unsigned>(16 - (n - at));
            if (star == kNoStar) SumPiece(p + n - 16, m.star, seen, n - 16, sum, star);
            m.comma >>= seen;
            m.lineEnd >>= seen;
            take(m, at);
        } else {
            unsigned char bytes[16] = {};
            std::memcpy(bytes, p, n);
            const ChunkMarks m = Marks(bytes);
            SumPiece(bytes, m.star, 0, 0, sum, star);
            take(m, 0);
        }
    }
    // The fields: up to kMaxFields + 1 ",", the last only ending the field before it.
    scan.cutAtLimit = false;
    size_t fields = 0;
    if (wantFields && commas.Any()) {
        size_t last = 0;  // the "," of the last field
        for (; commas.Any() && fields < SentenceScan::kMaxFields; commas.DropFirst()) {
            const size_t pos = commas.First();
            if (fields > 0) scan.end[fields - 1] = pos;
            scan.start[fields++] = pos + 1;
            last = pos;
        }
        scan.end[fields - 1] = commas.Any() ? commas.First() : n;
        // A line end ends the field it falls in: mostly the last field, at
        // the end of the line. One before it is looked for in every field.
        if (lineEnds.Any()) {
            const size_t firstEnd = lineEnds.First();
            if (firstEnd > last) {
                if (firstEnd < scan.end[fields - 1]) scan.end[fields - 1] = firstEnd;
            } else {
                for (size_t k = 0; k < fields; ++k) {
                    const size_t end = lineEnds.FirstFrom(scan.start[k], n);
                    if (end < scan.end[k]) scan.end[k] = end;
                }
            }
        }
    }
    scan.fields = fields;
    scan.failsChecksum = star != kNoStar && FailsAt(p, n, star, sum);
}

// The checksum alone, up to the "*".
void ScanChecksum(std::string_view text, SentenceScan& scan) {
    const auto* const p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    scan.fields = 0;
    scan.cutAtLimit = false;
    uint64_t sum = 0;
    size_t star = kNoStar;
    size_t at = 0;
    for (; star == kNoStar && at + 16 <= n; at += 16) SumPiece(p + at, StarMask(p + at), 0, at, sum, star);
    if (star == kNoStar && at < n) {
        if (n >= 16) {
            SumPiece(p + n - 16, StarMask(p + n - 16), static_cast<unsigned>(16 - (n - at)), n - 16, sum, star);
        } else {
            unsigned char bytes[16] = {};
            std::memcpy(bytes, p, n);
            SumPiece(bytes, StarMask(bytes), 0, 0, sum, star);
        }
    }
    scan.failsChecksum = star != kNoStar && FailsAt(p, n, star, sum);
}

}  // namespace

void ScanSentence(std::string_view text, bool wantFields, SentenceScan& scan) {
    if (!wantFields) {
        ScanChecksum(text, scan);
    } else if (text.size() <= kShortText) {
        ScanShort(text, wantFields, scan);
    } else {
        ScanAnyLength(text, wantFields, scan);
    }
}

}  // namespace geoplait
