// Summaries of what the whole-program cases (summary_*) cannot show: an
// unknown language (the window's only) and input texts in the page.
#include "writers/summary_writer.h"

#include "writer_fixture.h"

namespace geoplait::test {
namespace {

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
        EXPECT_TRUE(ctx.outputs.Commit());
        return ReadFileBytes(s().OutputFile);
    }
};

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
