// Summaries of what the whole-program cases do not show: dates under a time
// difference, over-limit gaps with TrackGroupDate, a kept empty record, an
// unknown language, input texts in the page.
#include "writers/summary_writer.h"

#include <functional>

#include "writer_fixture.h"

namespace geoplait::test {
namespace {

// One epoch, RMC first, at 139°45'E: time, date, latitude (ddmm.mmmm), speed
// in knots and altitude.
std::string Fix(const char* time, const char* date, const char* lat, const char* knots, const char* alt) {
    return std::string("$GPRMC,") + time + ",A," + lat + ",N,13945.0000,E," + knots + ",0.0," + date +
           ",,,A*00\n$GPGGA," + time + "," + lat + ",N,13945.0000,E,1,08,1.0," + alt + ",M,36.0,M,,*00\n";
}

struct Summary : WriterFixture {
    Summary() {
        s().InputFile = dir.File("track.log");
        s().OutputFile = dir.File("summary.out");
        s().Language = "English";
        s().MeterMile = "Km/Meter";
        s().TimeDifference = "  0:00";
        s().Bom = 0;
        ctx.run.FirstSentenceId = "$GPRMC";
    }
    std::string Run(const std::string& log, char variant) {
        Input(log);
        EXPECT_EQ(RunSummary(ctx, variant), 0);
        EXPECT_TRUE(ui.messages.empty());
        return ReadFileBytes(s().OutputFile);
    }
};

const char* const kHeader =
    "GroupNo,Start,End,Record,FromDate,FromTime,ToDate,ToTime,Km,Time,MaxSpeed,MinSpeed,AvgSpeed,"
    "MaxHight,MinHight,AvgHight\n";

TEST(SummaryCsv, Groups) {
    // Seven fixes 30 s and 0.1' of latitude (0.185 km) apart, 1..7 knots, 10..70 m.
    const std::string seven = Fix("120000", "010312", "3539.0000", "1.0", "10") +
                              Fix("120030", "010312", "3539.1000", "2.0", "20") +
                              Fix("120100", "010312", "3539.2000", "3.0", "30") +
                              Fix("120130", "010312", "3539.3000", "4.0", "40") +
                              Fix("120200", "010312", "3539.4000", "5.0", "50") +
                              Fix("120230", "010312", "3539.5000", "6.0", "60") +
                              Fix("120300", "010312", "3539.6000", "7.0", "70");
    const std::string midnight = Fix("235930", "290212", "3539.0000", "1.0", "10") +
                                 Fix("235959", "290212", "3539.1000", "1.0", "10") +
                                 Fix("000030", "010312", "3539.2000", "1.0", "10") +
                                 Fix("000100", "010312", "3539.3000", "1.0", "10");
    const std::string empty, oneFix = Fix("120000", "010312", "3539.0000", "1.0", "10");
    const std::string oneFixRow = "1,1,1,1,2012/03/01,12:00:00,2012/03/01,12:00:00,0.000,00:00:00,1.85,1.85,1.85,10,10,10\n";
    struct Case {
        const char* name;
        std::function<void(Summary&)> setup;
        const std::string& log;
        std::string expected;
    };
    const Case cases[] = {
        {"the local date follows the time difference",
         [](Summary& f) { f.s().TrackGroupDate = 1; f.ctx.run.TimeDifferenceValue = -10000; }, midnight,
         kHeader + std::string("1,1,4,4,2012/02/29,22:59:30,2012/02/29,23:01:00,0.555,00:01:30,1.85,1.85,1.85,10,10,10\n")},
        // Cut sums 0, 30, 60 | 90 pass the limit at the 4th and the 7th fix: those
        // add no distance (6 gaps less 2), the sums start again after each, and
        // the duration keeps the 6th fix's elapsed time.
        {"with TrackGroupDate a limit marks a gap instead of cutting",
         [](Summary& f) { f.s().TrackGroupDate = 1; f.ctx.run.GapSecondsLimit = 60.0; }, seven,
         kHeader + std::string("1,1,7,7,2012/03/01,12:00:00,2012/03/01,12:03:00,0.740,00:02:30,12.96,1.85,7.41,70,10,40\n")},
        {"the empty record kept: no date, time 00:00:00", [](Summary& f) { f.s().OmitErrorData = 0; }, empty,
         kHeader + std::string("1,1,1,1,,00:00:00,,00:00:00,0.000,00:00:00,0.00,0.00,0.00,0,0,0\n")},
        {"an unknown language has no header", [](Summary& f) { f.s().Language = "Deutsch"; }, oneFix, oneFixRow},
    };
    for (const Case& c : cases) {
        Summary f;
        c.setup(f);
        EXPECT_EQ(f.Run(c.log, 'T'), Crlf(c.expected)) << c.name;
    }
}

TEST(SummaryHtml, UnknownLanguageAndInputTextsInThePage) {
    struct Case {
        const char *language, *log, *part;
        bool headerRow;
    };
    const Case cases[] = {
        {"Deutsch", "$GPRMC,120000,A,3539.0000,N,13945.0000,E,1.0,0.0,010312,,,A*00\n", "<td>1.85</td>", false},
        // A date field with markup in it reaches the page as text.
        {"English", "$GPRMC,120000,A,3539.0000,N,13945.0000,E,1.0,0.0,<a&b>x,,,A*00\n",
         "<td>20&gt;x/&amp;b/&lt;a</td>", true},
    };
    for (const Case& c : cases) {
        Summary f;
        f.s().Language = c.language;
        const std::string page = f.Run(c.log, 'H');
        EXPECT_NE(page.find(c.part), std::string::npos) << page;
        EXPECT_EQ(page.find("<tr class=c0>") != std::string::npos, c.headerRow) << page;
    }
}

}  // namespace
}  // namespace geoplait::test
