// The KML writers' buffer: numbers exactly as printf writes them, long texts,
// escaping.
#include "kml/kml_format.h"

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "engine/record_time.h"
#include "kml_fixture.h"

namespace geoplait::test {
namespace {

using KmlFormatTest = KmlFixture;

TEST_F(KmlFormatTest, IntegersAndDurations) {
    EXPECT_EQ(Captured([](KmlBuffer& out) {
                  out.Int(0); out.Char(' '); out.Int(-2147483648LL); out.Char(' ');
                  out.TwoDigits(7); out.Char(' '); out.TwoDigits(-7); out.Char(' '); out.TwoDigits(123);
              }),
              "0 -2147483648 07 -7 123");
    const std::pair<int32_t, const char*> cases[] = {
        {0, "00:00:00"},       {59, "00:00:59"},      {3725, "01:02:05"},
        {360059, "100:00:59"}, {-61, "00:-1:-1"},     {-3600, "-1:00:00"},
        {2147483647, "596523:14:07"}, {-2147483647 - 1, "-596523:-14:-8"}};
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(Captured([&](KmlBuffer& out) { out.Duration(seconds); }), text) << seconds;
    }
}

// A held piece is written once it has two coordinates and dropped with
// fewer, head and all; what lies outside pieces is never held.
TEST_F(KmlFormatTest, PiecesOfFewerThanTwoCoordinatesAreLeftOut) {
    const auto piece = [](int coordinates, std::string_view head) {
        return [=](KmlBuffer& out) {
            out.Text("<Folder>");
            out.HoldPiece();
            out.Text(head);
            for (int i = 0; i < coordinates; ++i) out.PieceCoordinate(std::to_string(i) + ";");
            if (out.EndPiece()) out.Text("</P>");
            out.Text("</Folder>");
        };
    };
    EXPECT_EQ(Captured(piece(0, "<P>")), "<Folder></Folder>");
    EXPECT_EQ(Captured(piece(1, "<P>")), "<Folder></Folder>");
    EXPECT_EQ(Captured(piece(2, "<P>")), "<Folder><P>0;1;</P></Folder>");
    EXPECT_EQ(Captured(piece(5, "<P>")), "<Folder><P>0;1;2;3;4;</P></Folder>");
    // A head longer than the buffer is held whole, then dropped or written whole.
    const std::string longHead = "<P>" + std::string(10000, 'x');
    EXPECT_EQ(Captured(piece(1, longHead)), "<Folder></Folder>");
    EXPECT_EQ(Captured(piece(3, longHead)), "<Folder>" + longHead + "0;1;2;</P></Folder>");
}

TEST_F(KmlFormatTest, TextsLongerThanTheBufferArriveWholeAndInOrder) {
    const std::string x(10000, 'x'), y(4095, 'y');
    EXPECT_EQ(Captured([&](KmlBuffer& out) {
                  out.Text({}); out.Char('a'); out.Text(x); out.Char('b'); out.Text(y); out.Char('c');
              }),
              "a" + x + "b" + y + "c");
    std::string amps;
    for (int i = 0; i < 3000; ++i) amps += "&amp;";
    EXPECT_EQ(Captured([](KmlBuffer& out) {
                  for (int i = 0; i < 3000; ++i) out.Escaped("&");
              }),
              amps);
}

// Each of the four bytes that take an entity, at every place of a text longer
// than the eight bytes looked at together, among bytes one away from them.
TEST_F(KmlFormatTest, EscapedFindsEachEntityByteAtEveryPlace) {
    const std::string filler = "%';=?!#\xC3\xA9" "abcdefghijklmnopqr";
    const std::pair<char, std::string> entities[] = {
        {'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}};
    for (const auto& [c, entity] : entities) {
        for (size_t at = 0; at < filler.size(); ++at) {
            if (at == 7 || at == 8) continue;  // the two bytes of the e acute
            std::string text = filler;
            text[at] = c;
            const std::string want = filler.substr(0, at) + entity + filler.substr(at + 1);
            EXPECT_EQ(Captured([&](KmlBuffer& out) { out.Escaped(text); }), want) << c << " at " << at;
        }
    }
    EXPECT_EQ(Captured([&](KmlBuffer& out) { out.Escaped(filler); }), filler);
}

// Short texts are copied whole and looked at where they landed, in copies of
// 4, 8, 16 and 32 bytes that overlap: a line end at each place of each size
// around those becomes CR LF (Captured fails on a lone LF), and nothing else
// changes.
TEST_F(KmlFormatTest, ShortTextsOfEverySizeGetEachLineEndAsCrLf) {
    const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (size_t size = 0; size <= 40; ++size) {
        std::vector<std::string> texts;
        std::string want;
        for (size_t at = 0; at <= size; ++at) {
            std::string text = letters.substr(0, size);
            if (at < size) text[at] = '\n';
            std::string twice = text;
            if (size > 2) twice[size - 1] = '\n';
            want += "<" + text + twice + ">";
            texts.push_back(std::move(text));
            texts.push_back(std::move(twice));
        }
        EXPECT_EQ(Captured([&](KmlBuffer& out) {
                      for (size_t i = 0; i < texts.size(); i += 2) {
                          out.Char('<');
                          out.Text(texts[i]);
                          out.Text(texts[i + 1]);
                          out.Char('>');
                      }
                  }),
                  want)
            << size;
    }
}

TEST_F(KmlFormatTest, LiteralsArriveWithTheirLineEndsAsCrLf) {
    const std::string raw = dir.File("raw.txt");
    {
        TextWriter file(raw, WriteMode::Plain);
        KmlBuffer out(file);
        out.Text("");
        out.Text("a\nb\n\n");
        out.Text("\n");
        out.Char('\n');
        out.Text(" <styleUrl>#style</styleUrl>\n <Point>\n  <altitudeMode>clampToGround</altitudeMode>\n");
        out.Bytes("c\r\nd");
        EXPECT_TRUE(file.Close());
    }
    EXPECT_EQ(ReadFileBytes(raw),
              "a\r\nb\r\n\r\n\r\n\r\n <styleUrl>#style</styleUrl>\r\n <Point>\r\n"
              "  <altitudeMode>clampToGround</altitudeMode>\r\nc\r\nd");
}

// An array filled when the program runs is written up to its first NUL, as
// a text is, not to the array's end.
TEST_F(KmlFormatTest, ArraysFilledWhenRunningEndAtTheirNul) {
    char head[32];
    std::snprintf(head, sizeof head, " <!-- Ret=%04d", 106);
    const char cut[] = "ab\0cd";
    EXPECT_EQ(Captured([&](KmlBuffer& out) {
                  out.Text(head);
                  out.Char('|');
                  out.Text(cut);
              }),
              " <!-- Ret=0106|ab");
}

// A held piece keeps its bytes as they reach the file: line ends, numbers
// and texts longer than its first room come out once it has its second
// coordinate, as they would unheld.
TEST_F(KmlFormatTest, AHeldPieceComesOutAsItWouldUnheld) {
    const std::string longText = std::string(3000, 'y') + "\n" + std::string(5000, 'z') + "\n";
    const auto write = [&](KmlBuffer& out) {
        out.Text("<Placemark>\n");
        out.Fixed(-0.125, 2, 6);
        out.Char('\n');
        out.Text(longText);
        out.Escaped("a&b\n<c>");
        out.Bytes("coords\r\n");
        out.Int(-42);
        out.Duration(3725);
    };
    const std::string unheld = Captured([&](KmlBuffer& out) { write(out); });
    EXPECT_EQ(unheld.substr(0, 21), "<Placemark>\n -0.12\nyy");
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(Captured([&](KmlBuffer& out) {
                      out.HoldPiece();
                      write(out);
                      out.PieceCoordinate("1,2\n");
                      out.PieceCoordinate("3,4\n");
                      out.Text("</Placemark>\n");
                  }),
                  unheld + "1,2\n3,4\n</Placemark>\n")
            << round;
    }
}

// Durations of up to 99 hours take the two-digit path; the others the general one.
// Dates and instants made once a day come out as PutDateText and
// PutClockText write them, day after day, back to an earlier day, with either
// separator, and padded and bare numbers as printf pads them.
TEST_F(KmlFormatTest, DatesMadeOnceADayAndInstantsAsTheirTexts) {
    const int64_t days[] = {19538, 19538, 19539, 10957, 19538, 47481, 10956, 19539};
    const int64_t seconds[] = {0, 86399, 43200, 1, 3599, 3600, 59, 86340};
    std::string want;
    const std::string got = Captured([&](KmlBuffer& out) {
        for (size_t i = 0; i < std::size(days); ++i) {
            char text[32];
            const char separator = i % 2 == 0 ? '/' : '-';
            out.Date(days[i], separator);
            want.append(text, static_cast<size_t>(PutDateText(text, days[i], separator) - text));
            out.Char(';');
            want += ';';
            const std::string_view offset = i % 3 == 0 ? "Z" : "+09:30";
            out.When(days[i], seconds[i], offset);
            char* end = PutDateText(text, days[i], '-');
            *end++ = 'T';
            end = PutClockText(end, seconds[i]);
            want.append(text, static_cast<size_t>(end - text));
            want.append(offset);
            out.Char(';');
            want += ';';
            out.Padded("1.5", 5);
            out.Padded("12.25", 3);
            want += "  1.512.25;";
            out.Char(';');
        }
    });
    EXPECT_EQ(got, want);
}

TEST_F(KmlFormatTest, DurationsAroundTheirTwoDigitPath) {
    const std::pair<int32_t, const char*> cases[] = {
        {1, "00:00:01"},       {599, "00:09:59"},      {35999, "09:59:59"}, {36000, "10:00:00"},
        {359999, "99:59:59"},  {360000, "100:00:00"},  {-1, "00:00:-1"}};
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(Captured([&](KmlBuffer& out) { out.Duration(seconds); }), text) << seconds;
    }
}

}  // namespace
}  // namespace geoplait::test
