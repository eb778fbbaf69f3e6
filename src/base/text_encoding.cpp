#include "base/text_encoding.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace geoplait {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// windows-1252 at 0x80-0x9F; 0 marks the five bytes it leaves undefined.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

char32_t DecodeSequence(const unsigned char* p, size_t length) {
    switch (length) {
        case 1: return p[0];
        case 2: return static_cast<char32_t>((p[0] & 0x1F) << 6 | (p[1] & 0x3F));
        case 3: return static_cast<char32_t>((p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
        default:
            return static_cast<char32_t>((p[0] & 0x07) << 18 | (p[1] & 0x3F) << 12 | (p[2] & 0x3F) << 6 |
                                         (p[3] & 0x3F));
    }
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

constexpr uint64_t kHighBits = 0x8080808080808080u;

uint64_t WordAt(const unsigned char* p) {
    uint64_t word = 0;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Whether any of the eight bytes at p is not ASCII.
bool HasHighByte(const unsigned char* p) { return (WordAt(p) & kHighBits) != 0; }

// Whether any of the eight bytes at p is not printable ASCII (0x20-0x7F): a
// byte below 0x20 borrows in the subtraction and sets its high bit there.
bool HasUnprintableByte(const unsigned char* p) {
    const uint64_t word = WordAt(p);
    return ((word & kHighBits) | ((word - 0x2020202020202020u) & ~word & kHighBits)) != 0;
}

// The whole field as CP932; false when any of it does not decode.
bool DecodeCp932(std::string_view text, std::string& out) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-8", "SHIFT_JIS");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.assign(text.size() * 3 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<size_t>(-1) || inLeft != 0) return false;
    out.resize(out.size() - outLeft);
    return true;
}

}  // namespace

size_t Utf8SequenceLength(const unsigned char* p, size_t n, bool& incomplete) {
    incomplete = false;
    if (n == 0) return 0;
    const unsigned char c = p[0];
    if (c < 0x80) return 1;
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if (i >= n) {
            incomplete = true;
            return 0;
        }
        const unsigned char next = p[i];
        if (i == 1 ? (next < low || next > high) : !IsContinuation(next)) return 0;
    }
    return length;
}

bool IsUtf8Text(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        // Runs of ASCII, most of any document, eight bytes at a time.
        while (n - i >= 8 && !HasHighByte(p + i)) i += 8;
        if (i == n) break;
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        bool incomplete = false;
        const size_t length = Utf8SequenceLength(p + i, n - i, incomplete);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

size_t Utf8CharLength(const unsigned char* p, size_t n) {
    if (p[0] < 0x80) return 1;
    bool incomplete = false;
    const size_t length = Utf8SequenceLength(p, n, incomplete);
    return length == 0 ? 1 : length;
}

size_t Utf8CharCount(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    size_t chars = 0;
    for (size_t i = 0; i < n; ++chars) {
        if (n - i >= 8 && !HasHighByte(p + i)) {
            i += 8;
            chars += 7;
            continue;
        }
        i += Utf8CharLength(p + i, n - i);
    }
    return chars;
}

size_t Utf8CharBytes(std::string_view text, size_t chars) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    size_t i = 0;
    for (size_t c = 0; c < chars && i < n; ++c) i += Utf8CharLength(p + i, n - i);
    return i;
}

size_t CleanCharLength(const unsigned char* p, size_t n) {
    bool incomplete = false;
    const size_t length = Utf8SequenceLength(p, n, incomplete);
    return length == 0 || IsForbiddenCharacter(DecodeSequence(p, length)) ? 0 : length;
}

void AppendWindows1252(std::string& out, unsigned char byte) {
    if (byte < 0x80) {
        out.push_back(static_cast<char>(byte));
    } else if (byte < 0xA0) {
        const char16_t c = kWindows1252High[byte - 0x80];
        if (c == 0) {
            out.append(kReplacement);
        } else {
            AppendUtf8(out, c);
        }
    } else {
        AppendUtf8(out, byte);
    }
}

void RepairUtf8(std::string_view text, std::string& out) {
    out.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        bool incomplete = false;
        const size_t length = Utf8SequenceLength(p + i, n - i, incomplete);
        if (length == 0) {
            AppendWindows1252(out, p[i]);
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
}

void DecodeInputText(std::string& text) {
    if (IsUtf8Text(text)) return;
    std::string decoded;
    if (!DecodeCp932(text, decoded)) RepairUtf8(text, decoded);
    text.swap(decoded);
}

bool IsForbiddenCharacter(char32_t c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0xFFFE || c == 0xFFFF;
}

namespace {

// Whether the 64 bytes at p are all printable ASCII (0x20-0x7F), tabs and line
// ends, as many at a time as the machine's vector unit compares: the
// blocks of an output on their way to the file, CR LF and all. Compared as
// signed bytes, everything from 0x80 on is below the space as the controls
// are, so one comparison finds both; of those, only a tab or a CR (the two
// bytes that OR 4 makes a CR) and an LF are allowed.
[[gnu::always_inline]] inline bool IsPlainRun(const unsigned char* p) {
    using Bytes = signed char __attribute__((vector_size(32)));
    const Bytes space = Bytes{} + static_cast<signed char>(0x20);
    const Bytes lf = Bytes{} + static_cast<signed char>('\n');
    const Bytes cr = Bytes{} + static_cast<signed char>('\r');
    const Bytes four = Bytes{} + static_cast<signed char>(4);
    auto bad = space != space;
    for (size_t k = 0; k < 64; k += sizeof(Bytes)) {
        Bytes v;
        std::memcpy(&v, p + k, sizeof v);
        bad |= (v < space) & ~((v == lf) | ((v | four) == cr));
    }
    uint64_t words[4];
    static_assert(sizeof bad == sizeof words);
    std::memcpy(words, &bad, sizeof words);
    return (words[0] | words[1] | words[2] | words[3]) == 0;
}

}  // namespace

// Made for two machines, chosen when the program loads: with AVX2 the
// vector unit compares 32 bytes at a time, without it 16.
__attribute__((target_clones("avx2", "default"))) bool IsCleanText(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        while (n - i >= 64 && IsPlainRun(p + i)) i += 64;
        // Runs of printable ASCII eight bytes at a time.
        while (n - i >= 8 && !HasUnprintableByte(p + i)) i += 8;
        if (i == n) break;
        const unsigned char c = p[i];
        // Line ends (the CR LF of a block on its way out) and tabs are allowed.
        if ((c >= 0x20 && c < 0x80) || c == '\n' || c == '\r' || c == '\t') {
            ++i;
            continue;
        }
        bool incomplete = false;
        const size_t length = Utf8SequenceLength(p + i, n - i, incomplete);
        if (length == 0 || IsForbiddenCharacter(DecodeSequence(p + i, length))) return false;
        i += length;
    }
    return true;
}

size_t AppendCleanText(std::string& out, std::string_view text, bool final) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c >= 0x20 && c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        bool incomplete = false;
        const size_t length = Utf8SequenceLength(p + i, n - i, incomplete);
        if (length == 0 && incomplete && !final) return n - i;
        if (length == 0 || IsForbiddenCharacter(DecodeSequence(p + i, length))) {
            out.append(kReplacement);
            i += length == 0 ? 1 : length;
            continue;
        }
        out.append(text.substr(i, length));
        i += length;
    }
    return 0;
}

}  // namespace geoplait
