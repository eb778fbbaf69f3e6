// The KML writers' buffer: numbers exactly as printf writes them, long texts,
// escaping.
#include "kml/kml_format.h"

#include <cstdio>
#include <limits>
#include <string>

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

}  // namespace
}  // namespace geoplait::test
