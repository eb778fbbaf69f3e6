// Bytes of other programs as UTF-8: the length of a valid UTF-8 sequence,
// the windows-1252 and CP932 (Shift_JIS) decodings that texts from Windows
// and Japanese programs need, and the characters no output may carry.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace geoplait {

// The length of the valid UTF-8 sequence at the start of p[0..n) (1 for an
// ASCII byte), or 0 when the bytes there are no such sequence (an overlong
// form, a surrogate, beyond U+10FFFF, a stray continuation byte). A sequence
// cut off by the end of the bytes is 0 too, with `incomplete` set.
size_t Utf8SequenceLength(const unsigned char* p, size_t n, bool& incomplete);

// Whether the whole text is valid UTF-8.
bool IsUtf8Text(std::string_view text);

// The byte length of the character at the start of p[0..n), n > 0: a valid
// UTF-8 sequence, or 1 for a byte that starts none (such a byte is a
// character of its own, as its windows-1252 reading makes it).
size_t Utf8CharLength(const unsigned char* p, size_t n);
// The characters of `text` as Utf8CharLength counts them.
size_t Utf8CharCount(std::string_view text);
// The bytes of the first `chars` characters of `text` (all of it when shorter).
size_t Utf8CharBytes(std::string_view text, size_t chars);

// The length of the valid UTF-8 sequence at the start of p[0..n) when it is
// no forbidden character (IsForbiddenCharacter), else 0.
size_t CleanCharLength(const unsigned char* p, size_t n);

// Appends the windows-1252 character of one byte as UTF-8 (its five
// undefined bytes as U+FFFD).
void AppendWindows1252(std::string& out, unsigned char byte);

// out = the text with every byte that is no part of a valid UTF-8 sequence
// taken as a windows-1252 character.
void RepairUtf8(std::string_view text, std::string& out);

// A text field of a CSV or POT input as UTF-8, in place: valid UTF-8 as it
// stands, else CP932 (Shift_JIS, as Japanese programs write) when the whole
// field decodes so, else windows-1252 byte by byte.
void DecodeInputText(std::string& text);

// Characters no output carries (XML forbids them): U+0000-U+001F but tab,
// LF and CR, and U+FFFE, U+FFFF.
bool IsForbiddenCharacter(char32_t c);

// Output text made valid UTF-8 without forbidden characters: every byte of a
// malformed sequence and every forbidden character becomes U+FFFD. A sequence
// cut off at the end of `text` is left out and its length returned, unless
// `final`: then it is replaced too.
size_t AppendCleanText(std::string& out, std::string_view text, bool final);
// Whether AppendCleanText would copy the text unchanged (and leave nothing out).
bool IsCleanText(std::string_view text);

}  // namespace geoplait
