#include "writers/summary_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace geoplait {
namespace {

using test::FileExists;
using test::ReadFileBytes;
using test::ShownMessage;
using test::TempDir;
using test::WriteFileBytes;

const std::string kBom = "\xEF\xBB\xBF";

std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// One epoch, RMC first: time, date, latitude (ddmm.mmmm), speed in knots and
// altitude; the longitude stays put.
std::string Fix(const char* time, const char* date, const char* lat, const char* knots,
                const char* alt) {
    return std::string("$GPRMC,") + time + ",A," + lat + ",N,13945.0000,E," + knots + ",0.0," +
           date + ",,,A*00\n" + "$GPGGA," + time + "," + lat + ",N,13945.0000,E,1,08,1.0," + alt +
           ",M,36.0,M,,*00\n";
}

// Seven fixes 30 s apart, 0.1' of latitude (0.185 km) apart, speeds 1..7
// knots, altitudes 10..70 m.
std::string SevenFixes() {
    return Fix("120000", "010312", "3539.0000", "1.0", "10") +
           Fix("120030", "010312", "3539.1000", "2.0", "20") +
           Fix("120100", "010312", "3539.2000", "3.0", "30") +
           Fix("120130", "010312", "3539.3000", "4.0", "40") +
           Fix("120200", "010312", "3539.4000", "5.0", "50") +
           Fix("120230", "010312", "3539.5000", "6.0", "60") +
           Fix("120300", "010312", "3539.6000", "7.0", "70");
}

struct SummaryFixture {
    Settings settings;
    test::RecordingUi ui;
    RunContext ctx{settings, ui};
    TempDir dir;
    std::string input = dir.File("track.log");
    std::string output = dir.File("summary.out");

    SummaryFixture() {
        ConvertSettings& s = settings.current;
        s.InputFile = input;
        s.OutputFile = output;
        s.Language = "English";
        s.MeterMile = "Km/Meter";
        s.TimeDifference = "  0:00";
        s.Bom = 0;
        ctx.run.FirstSentenceId = "$GPRMC";
    }
    ConvertSettings& s() { return settings.current; }

    // Runs the summary over the log; the output as written.
    std::string Run(const std::string& log, char variant) {
        WriteFileBytes(input, log);
        EXPECT_EQ(RunSummary(ctx, variant), 0);
        EXPECT_TRUE(ui.messages.empty());
        return ReadFileBytes(output);
    }
};

const std::string kEnglishCsvHeader =
    "GroupNo,Start,End,Record,FromDate,FromTime,ToDate,ToTime,Km,Time,MaxSpeed,MinSpeed,AvgSpeed,"
    "MaxHight,MinHight,AvgHight\n";

// --- Groups ------------------------------------------------------------------

TEST(SummaryGroups, AccumulatedSecondsCutGroupsAndTheCuttingRecordStartsTheNext) {
    SummaryFixture f;
    f.ctx.run.GapSecondsLimit = 60.0;
    // Cut sums: 0, 30, 60 | 90 cuts at the 4th record; 30, 60 | 90 cuts at the 7th.
    const std::string expected = kEnglishCsvHeader +
        "1,1,3,3,2012/03/01,12:00:00,2012/03/01,12:01:00,0.370,00:01:00,5.56,1.85,3.70,30,10,20\n"
        "2,4,6,3,2012/03/01,12:01:30,2012/03/01,12:02:30,0.370,00:01:00,11.11,7.41,9.26,60,40,50\n"
        "3,7,7,1,2012/03/01,12:03:00,2012/03/01,12:03:00,0.000,00:00:00,12.96,12.96,12.96,70,70,70\n";
    EXPECT_EQ(f.Run(SevenFixes(), 'T'), Crlf(expected));
    EXPECT_EQ(f.ctx.store.RecordIndex, 7);
    EXPECT_EQ(f.ctx.store.WrittenCount, 7);
}

TEST(SummaryGroups, AccumulatedDistanceCutsGroups) {
    SummaryFixture f;
    f.ctx.run.GapDistanceLimit = 0.6;  // km: four gaps (0.740 km) pass it
    const std::string expected = kEnglishCsvHeader +
        "1,1,4,4,2012/03/01,12:00:00,2012/03/01,12:01:30,0.555,00:01:30,7.41,1.85,4.63,40,10,25\n"
        "2,5,7,3,2012/03/01,12:02:00,2012/03/01,12:03:00,0.370,00:01:00,12.96,9.26,11.11,70,50,60\n";
    EXPECT_EQ(f.Run(SevenFixes(), 'T'), Crlf(expected));
}

TEST(SummaryGroups, NoLimitReachedGivesOneRowNumberedOne) {
    SummaryFixture f;
    const std::string expected = kEnglishCsvHeader +
        "1,1,7,7,2012/03/01,12:00:00,2012/03/01,12:03:00,1.109,00:03:00,12.96,1.85,7.41,70,10,40\n";
    EXPECT_EQ(f.Run(SevenFixes(), 'T'), Crlf(expected));
}

TEST(SummaryGroups, ValuesInTheMileUnitUnderTheKmHeader) {
    SummaryFixture f;
    f.s().MeterMile = "Nautical Mile/Feet";
    const std::string expected = kEnglishCsvHeader +
        "1,1,7,7,2012/03/01,12:00:00,2012/03/01,12:03:00,0.599,00:03:00,7.00,1.00,4.00,70,10,40\n";
    EXPECT_EQ(f.Run(SevenFixes(), 'T'), Crlf(expected));
}

std::string MidnightLog() {
    return Fix("235930", "290212", "3539.0000", "1.0", "10") +
           Fix("235959", "290212", "3539.1000", "1.0", "10") +
           Fix("000030", "010312", "3539.2000", "1.0", "10") +
           Fix("000100", "010312", "3539.3000", "1.0", "10");
}

TEST(SummaryGroups, TrackGroupDateCutsAtTheLocalDateChange) {
    SummaryFixture f;
    f.s().TrackGroupDate = 1;
    const std::string expected = kEnglishCsvHeader +
        "1,1,2,2,2012/02/29,23:59:30,2012/02/29,23:59:59,0.185,00:00:29,1.85,1.85,1.85,10,10,10\n"
        "2,3,4,2,2012/03/01,00:00:30,2012/03/01,00:01:00,0.185,00:00:30,1.85,1.85,1.85,10,10,10\n";
    EXPECT_EQ(f.Run(MidnightLog(), 'T'), Crlf(expected));
    EXPECT_EQ(f.ctx.store.GroupDate, "010312");
}

TEST(SummaryGroups, LocalDateFollowsTheTimeDifference) {
    SummaryFixture f;
    f.s().TrackGroupDate = 1;
    f.ctx.run.TimeDifferenceValue = -10000;  // "- 1:00": all four fixes on 29 Feb
    const std::string expected = kEnglishCsvHeader +
        "1,1,4,4,2012/02/29,22:59:30,2012/02/29,23:01:00,0.555,00:01:30,1.85,1.85,1.85,10,10,10\n";
    EXPECT_EQ(f.Run(MidnightLog(), 'T'), Crlf(expected));
}

TEST(SummaryGroups, WithoutTrackGroupDateTheDateDoesNotCut) {
    SummaryFixture f;
    const std::string expected = kEnglishCsvHeader +
        "1,1,4,4,2012/02/29,23:59:30,2012/03/01,00:01:00,0.555,00:01:30,1.85,1.85,1.85,10,10,10\n";
    EXPECT_EQ(f.Run(MidnightLog(), 'T'), Crlf(expected));
}

TEST(SummaryGroups, TrackGroupDateOverLimitMarksAGapInsteadOfCutting) {
    SummaryFixture f;
    f.s().TrackGroupDate = 1;
    f.ctx.run.GapSecondsLimit = 60.0;
    // Cut sums: 0, 30, 60 | 90 passes the limit at the 4th fix, 30, 60 | 90 at
    // the 7th: those two fixes add no distance (6 gaps less 2), the sums start
    // again after each, and the duration keeps the 6th fix's elapsed time.
    const std::string expected = kEnglishCsvHeader +
        "1,1,7,7,2012/03/01,12:00:00,2012/03/01,12:03:00,0.740,00:02:30,12.96,1.85,7.41,70,10,40\n";
    EXPECT_EQ(f.Run(SevenFixes(), 'T'), Crlf(expected));
}

TEST(SummaryGroups, FilteredRecordsAreCountedButNotSummed) {
    SummaryFixture f;
    f.s().IncludeData = 1;
    f.ctx.run.RecordRangeStart = 2;
    f.ctx.run.RecordRangeEnd = 3;
    const std::string expected = kEnglishCsvHeader +
        "1,1,2,2,2012/03/01,12:00:30,2012/03/01,12:01:00,0.185,00:00:30,5.56,3.70,4.63,30,20,25\n";
    EXPECT_EQ(f.Run(SevenFixes(), 'T'), Crlf(expected));
    EXPECT_EQ(f.ctx.store.RecordIndex, 7);
    EXPECT_EQ(f.ctx.store.WrittenCount, 2);
}

TEST(SummaryGroups, EmptyLog) {
    struct Case {
        int omitErrorData;
        std::string row;
    };
    const Case cases[] = {
        // The empty record at the end of the input is dropped: a row of nothing.
        {1, "1,0,0,0,,,,,0.000,00:00:00,0.00,999999.00,0.00,0,999999,0\n"},
        // The empty record is taken: no date, time 00:00:00.
        {0, "1,1,1,1,,00:00:00,,00:00:00,0.000,00:00:00,0.00,0.00,0.00,0,0,0\n"},
    };
    for (const Case& c : cases) {
        SummaryFixture f;
        f.s().OmitErrorData = c.omitErrorData;
        EXPECT_EQ(f.Run("", 'T'), Crlf(kEnglishCsvHeader + c.row)) << c.omitErrorData;
    }
}

// --- Headers, languages, BOM ---------------------------------------------------

struct LanguageCase {
    const char* language;
    const char* csvHeader;  // without the line end; empty: none
    const char* htmlRow;    // the column names joined by "|"; empty: no row
};

const LanguageCase kLanguageCases[] = {
    {"日本語",
     "グループ番号,開始,終了,件数,開始日付,開始時間,終了日付,終了時間,距離,所要時間,最高速度,最低速度,平均速度,最大高度,最低高度,平均高度",
     "Group|開始|終了|件数|開始日付|開始時間|終了日付|終了時間|距離合計|所要時間|最高速度|最低速度|平均速度|最大高度|最低高度|平均高度"},
    {"English",
     "GroupNo,Start,End,Record,FromDate,FromTime,ToDate,ToTime,Km,Time,MaxSpeed,MinSpeed,AvgSpeed,MaxHight,MinHight,AvgHight",
     "Group|Start|End|Record|FromDate|FromTime|ToDate|ToTime|Km|Time|MaxSpeed|MinSpeed|AvgSpeed|MaxHight|MinHight|AvgHight"},
    {"汉语(簡)",
     "号码,开始,结束,数据,从日期,从时间,到日期,到时间,公里,要时间,最大速度,最小速度,平时速度,最大高度,最小高度,平时高度",
     "号码|开始|结束|数据|从日期|从时间|到日期|到时间|公里|要时间|最大速度|最小速度|平时速度|最大高度|最小高度|平时高度"},
    {"國語(繁)",
     "GroupNo,Start,End,Record,FromDate,FromTime,ToDate,ToTime,Km,Time,MaxSpeed,MinSpeed,AvgSpeed,MaxHight,MinHight,AvgHigh",
     "Group|開始|結束|件數|開始日期|開始時間|結束日期|結束時間|距離共計|所要時間|最高速度|最低速度|平均速度|最大高度|最低高度|平均高度"},
    {"한국",
     "GroupNo,Start,End,Record,FromDate,FromTime,ToDate,ToTime,Km,Time,MaxSpeed,MinSpeed,AvgSpeed,MaxHight,MinHight,AvgHigh",
     "Group|시작|종료|건수|시작날짜|시작시간|종료날짜|종료시간|거리합계|소요시간|최고속도|최저속도|평균속도|최대고도|최저고도|평균고도"},
    {"Deutsch", "", ""},
};

const std::string kOneFixRow = "1,1,1,1,2012/03/01,12:00:00,2012/03/01,12:00:00,0.000,00:00:00,1.85,1.85,1.85,10,10,10\n";

TEST(SummaryHeaders, CsvHeaderInEachLanguage) {
    for (const LanguageCase& c : kLanguageCases) {
        SummaryFixture f;
        f.s().Language = c.language;
        const std::string header = *c.csvHeader ? std::string(c.csvHeader) + "\n" : "";
        EXPECT_EQ(f.Run(Fix("120000", "010312", "3539.0000", "1.0", "10"), 'T'),
                  Crlf(header + kOneFixRow))
            << c.language;
    }
}

// The line of the HTML output that holds the table header, "" when none.
std::string HeaderRowOf(const std::string& page) {
    const size_t start = page.find("<tr class=c0>");
    if (start == std::string::npos) return "";
    return page.substr(start, page.find('\n', start) + 1 - start);
}

TEST(SummaryHeaders, HtmlHeaderRowInEachLanguage) {
    for (const LanguageCase& c : kLanguageCases) {
        SummaryFixture f;
        f.s().Language = c.language;
        std::string expected;
        if (*c.htmlRow) {
            expected = "<tr class=c0><th>";
            for (const char* p = c.htmlRow; *p; ++p) {
                if (*p == '|') {
                    expected += "</th><th>";
                } else {
                    expected += *p;
                }
            }
            expected += "</th><tr>\r\n";
        }
        EXPECT_EQ(HeaderRowOf(f.Run(Fix("120000", "010312", "3539.0000", "1.0", "10"), 'H')),
                  expected)
            << c.language;
    }
}

TEST(SummaryHeaders, BomFollowsTheSetting) {
    for (char variant : {'T', 'H'}) {
        for (int bom : {0, 1}) {
            SummaryFixture f;
            f.s().Bom = bom;
            const std::string out = f.Run("", variant);
            EXPECT_EQ(out.rfind(kBom, 0) == 0, bom == 1) << variant << bom;
            EXPECT_EQ(out.substr(bom ? 3 : 0, 7), variant == 'H' ? "<html>\r" : "GroupNo");
        }
    }
}

// --- HTML page ---------------------------------------------------------------

std::string HtmlHead(const std::string& title) {
    return "<html>\n"
           " <head>\n"
           " <meta http-equiv='Content-Type' content='text/html; charset=utf-8'>\n"
           "  <title>GPS Data Summary [" + title + "]</title>\n"
           "  <style type=text/css>\n"
           "   <!--\n"
           "   A.lk:link    { color: #0000a0; text-decoration: none}\n"
           "   A.lk:active  { color: #FF3000; text-decoration: none; position: relative; left: 1px; top: 1px;}\n"
           "   A.lk:visited { color: #0000a0; text-decoration: none}\n"
           "   A.lk:hover   { color: #f00000; text-decoration: none; position: relative; left: 2px; top: 2px;}\n"
           "   \n"
           "   .tb1         { width: 100%; border-collapse: collapse; border: 2px #008000 solid; }\n"
           "   .tb1 th      { border: 1px #00a000 solid  ; padding: 1px; font-size: 9pt;background-color: #a0fea0; }\n"
           "   .tb1 td      { border: 1px #00a000 dotted ; padding: 1px; font-size: 10pt;text-align:right}\n"
           "   tr.c1        { background-color: #e0fee0; }\n"
           "   tr.c2        { background-color: #d0fed0; }\n"
           "   -->\n"
           "     </style>\n"
           " </head>\n"
           " <body bgcolor='#e8fee8'>\n"
           " <h2><font color='#0000ff'>GPS Data Summary [" + title + "]</font></h2>\n"
           "  <hr />\n"
           "  <table class=tb1>\n"
           "<tr class=c0><th>Group</th><th>Start</th><th>End</th><th>Record</th><th>FromDate</th>"
           "<th>FromTime</th><th>ToDate</th><th>ToTime</th><th>Km</th><th>Time</th><th>MaxSpeed</th>"
           "<th>MinSpeed</th><th>AvgSpeed</th><th>MaxHight</th><th>MinHight</th><th>AvgHight</th><tr>\n";
}

const std::string kHtmlTail =
    "  </table>\n"
    "  <hr />\n"
    "  <font size='2' color='#0000ff'> Create Soft:geoplait.exe&nbsp;&nbsp;&nbsp;Ver 0.33"
    "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<A class='lk' HREF='https://geoplait.example.org/'>"
    "https://geoplait.example.org/</a></font>\n"
    "  \n"
    " </body>\n"
    "</html>\n";

TEST(SummaryHtml, WholePageWithRowClassesAlternating) {
    SummaryFixture f;
    f.ctx.run.GapSecondsLimit = 60.0;
    const std::string expected =
        HtmlHead("track") +
        "   <tr class=c2><td>1</td><td>1</td><td>3</td><td>3</td><td>2012/03/01</td><td>12:00:00</td>"
        "<td>2012/03/01</td><td>12:01:00</td><td><b>0.370</b></td><td>00:01:00</td><td>5.56</td>"
        "<td>1.85</td><td>3.70</td><td>30</td><td>10</td><td>20</td></tr>\n"
        "   <tr class=c1><td>2</td><td>4</td><td>6</td><td>3</td><td>2012/03/01</td><td>12:01:30</td>"
        "<td>2012/03/01</td><td>12:02:30</td><td><b>0.370</b></td><td>00:01:00</td><td>11.11</td>"
        "<td>7.41</td><td>9.26</td><td>60</td><td>40</td><td>50</td></tr>\n"
        "   <tr class=c2><td>3</td><td>7</td><td>7</td><td>1</td><td>2012/03/01</td><td>12:03:00</td>"
        "<td>2012/03/01</td><td>12:03:00</td><td><b>0.000</b></td><td>00:00:00</td><td>12.96</td>"
        "<td>12.96</td><td>12.96</td><td>70</td><td>70</td><td>70</td></tr>\n" +
        kHtmlTail;
    EXPECT_EQ(f.Run(SevenFixes(), 'H'), Crlf(expected));
}

TEST(SummaryHtml, TitleIsTheEscapedFileNameWithoutDirectoryAndExtension) {
    SummaryFixture f;
    f.input = f.dir.File("a&b <c>.d.log");
    f.s().InputFile = f.input;
    const std::string page = f.Run("", 'H');
    EXPECT_EQ(page.substr(0, Crlf(HtmlHead("a&amp;b &lt;c&gt;.d")).size()),
              Crlf(HtmlHead("a&amp;b &lt;c&gt;.d")));
}

TEST(SummaryHtml, DateAndTimeCellsAreEscaped) {
    SummaryFixture f;
    // A date field with markup in it reaches the page as text.
    const std::string page = f.Run(
        "$GPRMC,120000,A,3539.0000,N,13945.0000,E,1.0,0.0,<a&b>x,,,A*00\n", 'H');
    EXPECT_NE(page.find("<td>20&gt;x/&amp;b/&lt;a</td>"), std::string::npos) << page;
}

TEST(SummaryHtml, PagePassesTheHtmlChecker) {
    if (std::system("xmllint --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xmllint";
    for (const LanguageCase& c : kLanguageCases) {
        SummaryFixture f;
        f.s().Language = c.language;
        f.input = f.dir.File("x&y<z>.log");
        f.s().InputFile = f.input;
        f.ctx.run.GapSecondsLimit = 60.0;
        f.Run(SevenFixes(), 'H');
        const std::string command = "xmllint --html --noout '" + f.output + "' 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string diagnostics;
        char buffer[512];
        while (fgets(buffer, sizeof buffer, pipe) != nullptr) diagnostics += buffer;
        EXPECT_EQ(pclose(pipe), 0) << c.language;
        EXPECT_EQ(diagnostics, "") << c.language;
    }
}

// --- Files ---------------------------------------------------------------------

TEST(SummaryFiles, MissingInputIsReportedAndNothingWritten) {
    SummaryFixture f;
    EXPECT_EQ(RunSummary(f.ctx, 'T'), -1);
    EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Input File Not Found", "Check!"}}));
    EXPECT_FALSE(FileExists(f.output));
}

TEST(SummaryFiles, OutputThatCannotBeCreatedIsReported) {
    SummaryFixture f;
    WriteFileBytes(f.input, SevenFixes());
    f.s().OutputFile = f.dir.File("missing/summary.html");
    EXPECT_EQ(RunSummary(f.ctx, 'H'), -1);
    EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Output File Not Create", "Error"}}));
}

TEST(SummaryFiles, OutputCutShortIsReported) {
    if (!FileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    for (char variant : {'T', 'H'}) {
        SummaryFixture f;
        WriteFileBytes(f.input, SevenFixes());
        f.s().OutputFile = "/dev/full";  // every write fails: disk full
        EXPECT_EQ(RunSummary(f.ctx, variant), -1) << variant;
        EXPECT_EQ(f.ui.messages, (std::vector<ShownMessage>{{"Output File Not Create", "Error"}}))
            << variant;
    }
}

}  // namespace
}  // namespace geoplait
