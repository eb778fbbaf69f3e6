// Texts of other programs as UTF-8, and outputs that stay valid UTF-8 without
// the characters XML forbids, whatever they are given.
#include "base/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text_file.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

TEST(TextEncoding, Utf8SequenceLengths) {
    const struct {
        std::string bytes;
        size_t length;
        bool incomplete;
    } cases[] = {
        {"a", 1, false},           {"\xC3\xA9", 2, false},    {"\xE2\x82\xAC", 3, false},
        {"\xF0\x9F\x98\x80", 4, false},
        {"\xC3", 0, true},         {"\xE2\x82", 0, true},     {"\xF0\x9F\x98", 0, true},
        {"\xC0\xAF", 0, false},    // overlong "/"
        {"\xE0\x80\xAF", 0, false},  // overlong
        {"\xED\xA0\x80", 0, false},  // surrogate
        {"\xF4\x8F\xBF\xBF", 4, false},  // U+10FFFF, the last
        {"\xF4\x90\x80\x80", 0, false},  // beyond U+10FFFF
        {"\xF5\x80\x80\x80", 0, false}, {"\xF6\x80\x80\x80", 0, false},  // leads of nothing
        {"\xF7\xBF\xBF\xBF", 0, false}, {"\xF8\x88\x80\x80\x80", 0, false},
        {"\xC1\xBF", 0, false},  {"\xC2\x80", 2, false},  // overlong, and the first two-byte form
        {"\xED\x9F\xBF", 3, false},  // U+D7FF, just below the surrogates
        {"\x80", 0, false},        {"\xE9t", 0, false},       {"\xFF", 0, false},
    };
    for (const auto& c : cases) {
        bool incomplete = false;
        const auto* p = reinterpret_cast<const unsigned char*>(c.bytes.data());
        EXPECT_EQ(Utf8SequenceLength(p, c.bytes.size(), incomplete), c.length) << c.bytes;
        EXPECT_EQ(incomplete, c.incomplete) << c.bytes;
    }
}

// ASCII is checked a word of eight bytes at a time: a sequence anywhere in a
// word, across two words or in the bytes after the last whole word decides
// as it does alone.
TEST(TextEncoding, Utf8TestAtEveryPositionOfAWord) {
    const struct {
        std::string bytes;
        bool valid;
    } inserts[] = {
        {"\x7F", true},           {"\xC3\xA9", true},      {"\xE2\x82\xAC", true},
        {"\xF0\x9F\x98\x80", true}, {"\xE9", false},      {"\x80", false},
        {"\xC3", false},          {"\xE2\x82", false},     {"\xF0\x9F\x98", false},
        {"\xED\xA0\x80", false},  {"\xC0\xAF", false},    {"\xFF", false},
    };
    for (size_t length = 0; length <= 24; ++length) {
        for (size_t at = 0; at <= length; ++at) {
            for (const auto& insert : inserts) {
                std::string text(length, 'a');
                text.insert(at, insert.bytes);
                EXPECT_EQ(IsUtf8Text(text), insert.valid) << length << " " << at << " " << insert.bytes;
                // The same after a valid sequence, and seen from an odd start.
                const std::string after = "\xC3\xA9" + text;
                EXPECT_EQ(IsUtf8Text(after), insert.valid) << length << " " << at << " " << insert.bytes;
                EXPECT_EQ(IsUtf8Text(std::string_view(after).substr(2)), insert.valid) << length << " " << at;
            }
        }
        EXPECT_TRUE(IsUtf8Text(std::string(length, 'a')));
    }
}

// Printable ASCII is checked a word and a run of 64 bytes at a time too: a
// byte XML forbids, a sequence or a stray byte at any place of a word or run
// (the first or the second) decides as it does alone.
TEST(TextEncoding, CleanTestAtEveryPositionOfAWord) {
    const struct {
        std::string bytes;
        bool clean;
    } inserts[] = {
        {" ", true},         {"\x7F", true},        {"\t", true},     {"\r\n", true},
        {"\xC3\xA9", true},  {"\xEF\xBF\xBD", true}, {std::string(1, '\0'), false}, {"\x01", false},
        {"\x1F", false},     {"\x0B", false},       {"\xE9", false},  {"\xEF\xBF\xBE", false},
        {"\xC3", false},    {"\n", true},         {"\r", true},     {"\x80", false},
        {"\xFF", false},
    };
    for (size_t length = 0; length <= 140; ++length) {
        for (size_t at = 0; at <= length; ++at) {
            for (const auto& insert : inserts) {
                std::string text(length, '~');
                text.insert(at, insert.bytes);
                EXPECT_EQ(IsCleanText(text), insert.clean) << length << " " << at << " " << insert.bytes;
                const std::string after = "\xC3\xA9" + text;
                EXPECT_EQ(IsCleanText(std::string_view(after).substr(2)), insert.clean) << length << " " << at;
            }
        }
        EXPECT_TRUE(IsCleanText(std::string(length, ' ')));
    }
}

// Every single byte in the middle of a run of 64: printable ASCII, DEL, a
// tab, a CR and an LF are clean, every other control and every byte that
// starts no character (alone, 0x80 and above) is not; controls that differ
// from a tab or a CR by one bit are not taken for them.
TEST(TextEncoding, CleanTestOfEveryByteInARun) {
    for (int b = 0; b < 256; ++b) {
        const bool clean = (b >= 0x20 && b <= 0x7F) || b == '\t' || b == '\n' || b == '\r';
        for (size_t at : {0, 1, 15, 16, 40, 63, 64, 100}) {
            std::string text(130, 'a');
            text[at] = static_cast<char>(b);
            EXPECT_EQ(IsCleanText(text), clean) << b << " at " << at;
        }
    }
}

// A character is a valid sequence or a byte that starts none, wherever it
// stands in the eight-byte words the count skips ASCII by.
TEST(TextEncoding, CharactersAreCountedAndCutAsSequencesOrStrayBytes) {
    const struct {
        std::string bytes;
        size_t chars;
    } inserts[] = {
        {"\xC3\xA9", 1}, {"\xF0\x9F\x98\x80", 1}, {"\xE9", 1}, {"\x80\x80", 2},
        {"\xE0\x80\x80", 3}, {"\xF5\x80\x80\x80", 4}, {"\xC3", 1}, {"\x9F", 1},
    };
    for (size_t length = 0; length <= 17; ++length) {
        for (size_t at = 0; at <= length; ++at) {
            for (const auto& insert : inserts) {
                std::string text(length, 'a');
                text.insert(at, insert.bytes);
                EXPECT_EQ(Utf8CharCount(text), length + insert.chars) << length << " " << at << " " << insert.bytes;
                // Cut just before and just after the inserted characters.
                EXPECT_EQ(Utf8CharBytes(text, at), at) << length << " " << at;
                EXPECT_EQ(Utf8CharBytes(text, at + insert.chars), at + insert.bytes.size()) << length << " " << at;
                EXPECT_EQ(Utf8CharBytes(text, length + insert.chars + 1), text.size());
            }
        }
    }
}

TEST(TextEncoding, StrayBytesAreWindows1252) {
    std::string out;
    RepairUtf8("Caf\xE9 \x80 \x92s \x81 \xC3\xA9", out);
    EXPECT_EQ(out, "Caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x99s \xEF\xBF\xBD \xC3\xA9");
    // The edges of the table: 0x9F is the last byte it maps, 0xA0 the first it does not.
    RepairUtf8("\x9F\xA0\x7F", out);
    EXPECT_EQ(out, "\xC5\xB8\xC2\xA0\x7F");
    RepairUtf8("plain", out);
    EXPECT_EQ(out, "plain");
}

TEST(TextEncoding, InputFieldsAreUtf8ThenCp932ThenWindows1252) {
    const struct {
        std::string field;
        std::string text;
    } cases[] = {
        {"\xE6\x9D\xB1\xE4\xBA\xAC", "\xE6\x9D\xB1\xE4\xBA\xAC"},  // UTF-8 stays
        {"\x93\x8C\x8B\x9E", "\xE6\x9D\xB1\xE4\xBA\xAC"},          // CP932 "Tokyo"
        {"\x95\x5C\x8E\xA6", "\xE8\xA1\xA8\xE7\xA4\xBA"},          // a trail byte that is "\"
        {"\xB6\xC0", "\xEF\xBD\xB6\xEF\xBE\x80"},                  // half-width kana
        {"Caf\xE9", "Caf\xC3\xA9"},                                // no CP932 sequence: windows-1252
        {"\x82\xA0\xFF", "\xE2\x80\x9A\xC2\xA0\xC3\xBF"},          // CP932 fails at its end
        {"", ""},
    };
    for (const auto& c : cases) {
        std::string text = c.field;
        DecodeInputText(text);
        EXPECT_EQ(text, c.text) << c.field;
    }
}

TEST(TextEncoding, CleanTextReplacesWhatNoOutputCarries) {
    EXPECT_TRUE(IsCleanText("tab\there\r\nok \xC3\xA9 \xEF\xBF\xBD"));
    for (const std::string& dirty : {std::string("a\0b", 3), std::string("\x01"), std::string("\x1F"),
                                    std::string("\xEF\xBF\xBE"), std::string("\xEF\xBF\xBF"),
                                    std::string("\xE9"), std::string("\xC3")}) {
        EXPECT_FALSE(IsCleanText(dirty)) << dirty;
        std::string out;
        EXPECT_EQ(AppendCleanText(out, dirty, true), 0u);
        EXPECT_TRUE(IsCleanText(out)) << out;
        EXPECT_NE(out.find("\xEF\xBF\xBD"), std::string::npos);
    }
    // A sequence cut by the end waits for the rest, unless the text ends there.
    std::string out;
    EXPECT_EQ(AppendCleanText(out, "ab\xE2\x82", false), 2u);
    EXPECT_EQ(out, "ab");
    out.clear();
    EXPECT_EQ(AppendCleanText(out, "ab\xE2\x82", true), 0u);
    EXPECT_EQ(out, "ab\xEF\xBF\xBD\xEF\xBF\xBD");
}

// Every output goes through the writer: a character cut by its buffer's end
// is written whole, and forbidden bytes never reach the file.
TEST(TextEncoding, WrittenFilesAreClean) {
    test::TempDir dir;
    const std::string path = dir.File("out.txt");
    std::string big(1 << 20, 'x');
    big.back() = '\xE2';  // the euro sign starts at the last byte of the buffer
    {
        TextWriter out(path, WriteMode::Plain);
        out.Write(big);
        out.Write("\x82\xAC|\x01|\xE9|");
        ASSERT_TRUE(out.Close());
    }
    const std::string bytes = test::ReadFileBytes(path);
    ASSERT_GT(bytes.size(), big.size());
    EXPECT_EQ(bytes.substr(big.size() - 1), "\xE2\x82\xAC|\xEF\xBF\xBD|\xEF\xBF\xBD|");
    EXPECT_TRUE(IsCleanText(bytes));
}

// Blocks are made clean where they are written: the bytes of a character
// still cut off when the file ends are replaced, in a small file and after
// full blocks, and a file that keeps its bytes gets them as written.
TEST(TextEncoding, ACharacterCutOffAtTheEndIsReplaced) {
    struct Case {
        size_t before;  // bytes written ahead of the cut character
        bool keep;
        const char* tail;
    };
    const Case cases[] = {
        {10, false, "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {(1 << 19) - 1, false, "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {3 << 19, false, "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {3 << 19, true, "\xE2\x82"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string path = dir.File("out.txt");
        {
            TextWriter out(path, WriteMode::Plain);
            if (c.keep) out.KeepBytes();
            out.Write(std::string(c.before, 'x'));
            out.Write("\xE2\x82");
            ASSERT_TRUE(out.Close());
        }
        const std::string bytes = test::ReadFileBytes(path);
        ASSERT_EQ(bytes.size(), c.before + std::string_view(c.tail).size()) << c.before;
        EXPECT_EQ(bytes.substr(c.before), c.tail) << c.before;
    }
}

// A character whose bytes come in two writes is written whole wherever the
// writer's block ends: before, at and after the end of the first block and
// of the second, in small files, with a line end before it or none. One
// whose rest never comes is replaced, byte by byte, before the text after it.
TEST(TextEncoding, ACharacterSplitBetweenWritesIsWrittenWholeOrReplaced) {
    constexpr size_t kWriterBlock = size_t{1} << 19;
    const std::string euro = "\xE2\x82\xAC";
    const std::string replacement = "\xEF\xBF\xBD";
    for (const size_t before : {size_t{0}, size_t{5}, kWriterBlock - 3, kWriterBlock - 2, kWriterBlock - 1,
                                kWriterBlock, kWriterBlock + 1, 2 * kWriterBlock - 1}) {
        for (size_t cut = 1; cut < euro.size(); ++cut) {
            for (const bool completed : {true, false}) {
                const bool newline = cut == 1;
                SCOPED_TRACE(std::to_string(before) + " " + std::to_string(cut) + (completed ? "" : " abandoned"));
                test::TempDir dir;
                const std::string path = dir.File("out.txt");
                std::string head(before, 'x');
                if (newline && before > 0) head.back() = '\n';
                {
                    TextWriter out(path, WriteMode::Plain);
                    out.Write(head);
                    out.Write(euro.substr(0, cut));
                    out.Write((completed ? euro.substr(cut) : std::string()) + "|");
                    ASSERT_TRUE(out.Close());
                }
                const std::string bytes = test::ReadFileBytes(path);
                const size_t lineEnds = newline && before > 0 ? 1 : 0;
                std::string tail = completed ? euro : std::string();
                for (size_t i = 0; !completed && i < cut; ++i) tail += replacement;
                tail += "|";
                ASSERT_EQ(bytes.size(), before + lineEnds + tail.size());
                EXPECT_EQ(bytes.substr(before + lineEnds), tail);
            }
        }
    }
}

// The writer checks each line a word of 8 bytes at a time: a byte no output
// carries is found at every place of a word, and the bytes that XML allows
// (tab, CR, DEL, characters beyond ASCII) pass wherever they are.
TEST(TextEncoding, EveryPlaceOfALineIsChecked) {
    const struct {
        std::string byte;
        std::string written;
    } cases[] = {
        {"\x01", "\xEF\xBF\xBD"}, {"\x1F", "\xEF\xBF\xBD"}, {"\x80", "\xEF\xBF\xBD"},
        {"\xFF", "\xEF\xBF\xBD"}, {"\t", "\t"},                {"\r", "\r"},
        {"\x7F", "\x7F"},          {"\xC3\xA9", "\xC3\xA9"},
    };
    for (const auto& c : cases) {
        for (size_t at = 0; at < 18; ++at) {
            SCOPED_TRACE(std::to_string(at) + " " + c.written);
            test::TempDir dir;
            const std::string path = dir.File("out.txt");
            const std::string line = std::string(at, 'a') + c.byte + std::string(17 - at, 'b');
            {
                TextWriter out(path, WriteMode::Plain);
                out.Write("clean line\n" + line + "\nend\n");
                ASSERT_TRUE(out.Close());
            }
            EXPECT_EQ(test::ReadFileBytes(path), "clean line\r\n" + std::string(at, 'a') + c.written +
                                                     std::string(17 - at, 'b') + "\r\nend\r\n");
        }
    }
}

}  // namespace
}  // namespace geoplait
