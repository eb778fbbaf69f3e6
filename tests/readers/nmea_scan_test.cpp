// The one pass over a sentence must find what the plain rules give: field k
// the text after the k-th "," up to the next ",", CR or LF (none whose ","
// lies past the first 2048 characters), and a checksum that fails unless
// "*" is followed by two hexadecimal digits of the exclusive-or of the bytes
// between "$" and "*", and line ends only.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "readers/nmea_reader.h"
#include "readers/nmea_scan.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

size_t Chars(const std::string& s) {
    // As the text reader counts: a valid UTF-8 sequence is one character.
    size_t chars = 0;
    for (size_t i = 0; i < s.size(); ++chars) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t len = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 1;
        if (len > s.size() - i) len = 1;
        for (size_t j = 1; j < len; ++j) {
            if ((static_cast<unsigned char>(s[i + j]) & 0xC0) != 0x80) {
                len = 1;
                break;
            }
        }
        i += len;
    }
    return chars;
}

std::vector<std::string> PlainFields(const std::string& text, size_t most) {
    std::vector<std::string> fields;
    for (size_t comma = text.find(','); comma != std::string::npos && fields.size() < most;) {
        if (Chars(text.substr(0, comma)) >= 2048) break;
        const size_t end = text.find_first_of(",\r\n", comma + 1);
        fields.push_back(text.substr(comma + 1, end == std::string::npos ? std::string::npos : end - comma - 1));
        comma = text.find(',', comma + 1);
    }
    return fields;
}

bool PlainFails(const std::string& text) {
    const size_t star = text.find('*');
    if (star == std::string::npos) return false;
    unsigned sum = 0;
    for (size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(text[i]);
    std::string tail = text.substr(star + 1);
    while (!tail.empty() && (tail.back() == '\r' || tail.back() == '\n')) tail.pop_back();
    char want[3];
    std::snprintf(want, sizeof want, "%02X", sum);
    if (tail.size() != 2) return true;
    const auto upper = [](char c) { return c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c; };
    return upper(tail[0]) != want[0] || upper(tail[1]) != want[1];
}

std::string WithChecksum(std::string body) {
    unsigned sum = 0;
    for (size_t i = 1; i < body.size(); ++i) sum ^= static_cast<unsigned char>(body[i]);
    char hex[4];
    std::snprintf(hex, sizeof hex, "*%02X", sum);
    return body + hex;
}

void ExpectPlain(const std::string& text) {
    SentenceScan scan;
    ScanSentence(text, true, scan);
    const std::vector<std::string> want = PlainFields(text, SentenceScan::kMaxFields);
    ASSERT_EQ(scan.fields, want.size()) << "'" << text << "'";
    for (size_t k = 1; k <= want.size(); ++k) {
        ASSERT_EQ(scan.Field(text, k), want[k - 1]) << "field " << k << " of '" << text << "'";
    }
    ASSERT_EQ(scan.failsChecksum, PlainFails(text)) << "'" << text << "'";
    SentenceScan alone;
    ScanSentence(text, false, alone);
    ASSERT_EQ(alone.failsChecksum, scan.failsChecksum) << "'" << text << "'";
    ASSERT_EQ(FailsChecksum(text), scan.failsChecksum) << "'" << text << "'";
}

TEST(SentenceScan, EdgesFollowThePlainRules) {
    const std::string fix = "$GPGGA,232000.00,3539.5158,N,13944.7270,E,1,08,1.5,43.1,M,39.4,M,,";
    const std::vector<std::string> cases = {
        "", "$", "*", "$*", "$*00", "**", ",", "$,", "$,,,,",
        WithChecksum(fix), WithChecksum(fix) + "\n", WithChecksum(fix) + "\r\n", WithChecksum(fix) + "\n\r\n",
        WithChecksum(fix) + "x", WithChecksum(fix) + "0", fix + "*", fix + "*5", fix + "*\n", fix + "*5\n",
        fix + "*GG", fix + "\n", fix,
        // Sizes about the pieces of sixteen and the short scan's 128 bytes.
        WithChecksum("$GPGGA,12345"), WithChecksum("$GPGGA,123456"), WithChecksum("$GPGGA,1234567"),
        WithChecksum("$GPGGA,1234567,9,"), "$GPGGA,12345678", "$GPGGA,123456789",
        "$GPRMC," + std::string(113, '1') + ",2", "$GPRMC," + std::string(114, '1') + ",2",
        "$GPRMC," + std::string(121, '1'), "$GPRMC," + std::string(122, '1'),
        WithChecksum("$GPRMC," + std::string(117, ',')), WithChecksum("$GPRMC," + std::string(118, ',')),
        "$GPGGA,\n" + std::string(119, 'x') + ",", "$GPGGA,\n" + std::string(120, 'x') + ",",
        "$GPGGA,\n" + std::string(55, 'x') + "," + std::string(63, 'x') + ",",
        // Line ends inside: a field ends at one, the next begins at the next ",".
        "$GPGGA,1\r2,3\n4,5", "$GPGGA,\n,\r,", "$GPGGA,1,2\n" + std::string(130, 'x') + ",3",
        "$GPGGA\r,1", WithChecksum("$GPGGA,1\r,2"),
        // Fields after the "*", and more fields than are kept.
        "$GPGGA,1*,2,3", "$GPGSV" + std::string(30, ','), "$GPGSV,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17",
        std::string("$GPGGA,\0,\0*", 11), std::string("\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0$GPGGA,1", 25),
        "\xEF\xBB\xBF$GPGGA,1,\xC3\xA9,\xFF,3",
    };
    for (const std::string& text : cases) ExpectPlain(text);
}

TEST(SentenceScan, FieldsPastTheFirst2048CharactersAreAbsent) {
    // 2046 characters before the "," that ends at 2047: within; then one more.
    for (const std::string& fill : {std::string("a"), std::string("\xC3\xA9")}) {
        for (size_t before = 2040; before <= 2050; ++before) {
            std::string text = "$GPGGA";
            for (size_t i = text.size(); i < before; ++i) text += fill;
            text += ",1,2,3";
            ExpectPlain(text);
            ExpectPlain(WithChecksum(text));
            ExpectPlain("$GPGGA,0" + text.substr(6) + "\n");
        }
    }
}

TEST(SentenceScan, RandomSentencesFollowThePlainRules) {
    const std::string alphabet = ",,,,,*\r\n0123456789.ANE$\xC3\xA9\x80\xFF\x00";
    std::mt19937 random(7);
    for (int n = 0; n < 20000; ++n) {
        std::string text = n % 3 == 0 ? "$GPRMC," : "$GPGGA,";
        const size_t length = random() % (n % 10 == 0 ? 400 : 140);
        for (size_t i = 0; i < length; ++i) text += alphabet[random() % (alphabet.size() + 1)];
        if (random() % 3 == 0) text = WithChecksum(text);
        if (random() % 2 == 0) text += random() % 2 == 0 ? "\r\n" : "\n";
        ExpectPlain(text);
    }
}

TEST(SentenceScan, VectorMarksAreTheBytesMarks) {
    std::mt19937 random(11);
    const unsigned char alphabet[] = {',', '*', '\r', '\n', '0', 'A', 0x00, 0x80, 0xAC, 0xAA, 0x8D, 0x8A, 0xFF};
    for (int n = 0; n < 20000; ++n) {
        unsigned char bytes[16];
        for (unsigned char& b : bytes) b = alphabet[random() % sizeof alphabet];
        const ChunkMarks vector = MarksOfChunk(bytes);
        const ChunkMarks plain = MarksOfBytes(bytes);
        ASSERT_EQ(vector.comma, plain.comma);
        ASSERT_EQ(vector.star, plain.star);
        ASSERT_EQ(vector.lineEnd, plain.lineEnd);
    }
    const unsigned char marks[16] = {',', 'x', '*', '\r', '\n', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, ','};
    const ChunkMarks m = MarksOfBytes(marks);
    EXPECT_EQ(m.comma, 0x8001u);
    EXPECT_EQ(m.star, 0x4u);
    EXPECT_EQ(m.lineEnd, 0x18u);
}

// The records of a log: each GGA and RMC field with its id, joined.
std::vector<std::string> RecordTexts(const std::string& log) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("in.log"), log);
    NmeaReader reader;
    EXPECT_TRUE(reader.Open(dir.File("in.log")));
    TrackPoint p;
    std::vector<std::string> records;
    while (reader.Next(p)) {
        std::string joined;
        for (const std::string* f :
             {&p.GgaId, &p.GgaTime, &p.GgaLatitude, &p.GgaNS, &p.GgaLongitude, &p.GgaEW, &p.GgaQuality,
              &p.GgaSatellites, &p.GgaDilution, &p.GgaAltitude, &p.GgaAltitudeUnit, &p.GgaGeoid, &p.GgaGeoidUnit,
              &p.GgaDgpsAge, &p.GgaDgpsStation, &p.RmcId, &p.RmcTime, &p.RmcStatus, &p.RmcLatitude, &p.RmcNS,
              &p.RmcLongitude, &p.RmcEW, &p.RmcSpeed, &p.RmcCourse, &p.RmcDate, &p.RmcMagVar, &p.RmcMagVarEW}) {
            joined += *f + "|";
        }
        records.push_back(joined);
        ClearTrackPoint(p);
    }
    return records;
}

TEST(SentenceScan, EachSideOfARecordIsFilledFromTheOtherAfterTheEpoch) {
    struct Case {
        const char* name;
        std::string log;
        std::vector<std::string> records;
    };
    const std::string gga = "$GPGGA,010203,3539.5158,N,13944.7270,E,1,08,1.5,43.1,M,39.4,M,,";
    const std::string rmc = "$GPRMC,010203,A,3539.6000,N,13944.8000,E,004.5,043.0,300623,,,A\n";
    // The later of an epoch's GGA and RMC gives all the fields of its side,
    // its empty ones too; only the other side is filled where empty. A
    // record without RMC gets its speed from the track (none here).
    const std::vector<Case> cases = {
        {"gga alone", gga + "\n",
         {"$GPGGA|010203|3539.5158|N|13944.7270|E|1|08|1.5|43.1|M|39.4|M|||"
          "|010203||3539.5158|N|13944.7270|E||0|000000|||"}},
        {"rmc alone", rmc,
         {"|010203|3539.6000|N|13944.8000|E||||||||||"
          "$GPRMC|010203|A|3539.6000|N|13944.8000|E|004.5|043.0|300623|||"}},
        {"rmc then gga: each its own", rmc + gga + "\n",
         {"$GPGGA|010203|3539.5158|N|13944.7270|E|1|08|1.5|43.1|M|39.4|M|||"
          "$GPRMC|010203|A|3539.6000|N|13944.8000|E|004.5|043.0|300623|||"}},
        {"gga without a position after rmc keeps none", rmc + "$GPGGA,010203,,,,,0\n",
         {"$GPGGA|010203|||||0|||||||||"
          "$GPRMC|010203|A|3539.6000|N|13944.8000|E|004.5|043.0|300623|||"}},
        {"rmc without a position after gga keeps none", gga + "\n$GPRMC,010203,V,,,,,,,300623\n",
         {"$GPGGA|010203|3539.5158|N|13944.7270|E|1|08|1.5|43.1|M|39.4|M|||"
          "$GPRMC|010203|V|||||||300623|||"}},
        {"gga with an empty time after rmc keeps it empty, rmc then gga of the next second",
         rmc + "$GPGGA,,3539.5158,N,13944.7270,E,1\n$GPRMC,010204,A\n$GPGGA,010204\n",
         {"$GPGGA||3539.5158|N|13944.7270|E|1|||||||||"
          "$GPRMC|010203|A|3539.6000|N|13944.8000|E|004.5|043.0|300623|||",
          "$GPGGA|010204||||||||||||||$GPRMC|010204|A|||||0|0|000000|||"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RecordTexts(c.log), c.records) << c.name;
    }
}

TEST(SentenceScan, AFixTimePastTheFieldLimitStillOpensARecord) {
    // A GLL whose time field lies beyond the first 2048 characters: its time
    // is read by the plain rule, so it opens a record of its own, and the
    // GGA after it, of another time, one more.
    const std::string gll = "$GPGLL," + std::string(2100, '1') + ",N,2,E,000002,A\n";
    EXPECT_EQ(RecordTexts("$GPGGA,000001\n" + gll + "$GPGGA,000001\n").size(), 3u);
    // Without a time there it joins the record of the GGA before it.
    const std::string noTime = "$GPGLL," + std::string(2100, '1') + ",N,2,E,,A\n";
    EXPECT_EQ(RecordTexts("$GPGGA,000001\n" + noTime + "$GPGGA,000001\n").size(), 2u);
}

TEST(SentenceScan, AltitudesAreKeptAsWrittenOrReadAsCellNumbers) {
    // Field 9 of a GGA: a plain number stays as it is written; any other
    // text is read as a spreadsheet's cell, or left unknown and counted.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"43.1", "43.1"}, {"+12", "+12"}, {"-0.5", "-0.5"}, {"7.", "7."}, {".5", ".5"}, {"0043", "0043"},
        {"1e3", "1000"}, {" 43", "43"}, {"4 3", ""}, {"1.2.3", ""}, {".", ""}, {"-", ""}, {"+-1", ""},
        {"12m", ""}, {"", ""},
    };
    for (const auto& [altitude, want] : cases) {
        test::TempDir dir;
        test::WriteFileBytes(dir.File("in.log"), "$GPGGA,010203,3539.5158,N,13944.7270,E,1,08,1.5," + altitude + ",M\n");
        NmeaReader reader;
        ASSERT_TRUE(reader.Open(dir.File("in.log")));
        TrackPoint p;
        ASSERT_TRUE(reader.Next(p));
        EXPECT_EQ(p.GgaAltitude, want) << "'" << altitude << "'";
        const bool unknown = want.empty() && !altitude.empty();
        EXPECT_EQ(reader.Losses().UnknownValues, unknown ? 1 : 0) << "'" << altitude << "'";
    }
}

}  // namespace
}  // namespace geoplait
