// Summary output.
//
// CSV: a header line in the interface language (none for an unknown
// language), then one line of 16 columns per group. HTML: a fixed page head
// with an embedded style sheet, a table whose header row ends in an unclosed
// "<tr>", one row per group with the classes c2/c1 for odd/even group
// numbers, and a footer. The headers say Km whatever the unit; the values are
// in the MeterMile unit.
//
// Groups are cut when the running sums of gap distance or interval seconds
// exceed the line limits, or (TrackGroupDate) when the local date changes;
// the record that cuts starts the new group. Rows are numbered from 1.
#include "writers/summary_writer.h"

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "geo/time_difference.h"
#include "settings/settings_file.h"

namespace geoplait {

namespace {

constexpr size_t kColumnCount = 16;

struct SummaryLanguage {
    const char* name;
    const char* csvHeader;
    std::array<const char*, kColumnCount> htmlColumns;
};

constexpr std::array<SummaryLanguage, 5> kLanguages = {{
    {"日本語",
     "グループ番号,開始,終了,件数,開始日付,開始時間,終了日付,終了時間,距離,所要時間,最高速度,最低速度,平均速度,最大高度,最低高度,平均高度\n",
     {"Group", "開始", "終了", "件数", "開始日付", "開始時間", "終了日付", "終了時間", "距離合計",
      "所要時間", "最高速度", "最低速度", "平均速度", "最大高度", "最低高度", "平均高度"}},
    {"English",
     "GroupNo,Start,End,Record,FromDate,FromTime,ToDate,ToTime,Km,Time,MaxSpeed,MinSpeed,AvgSpeed,MaxHight,MinHight,AvgHight\n",
     {"Group", "Start", "End", "Record", "FromDate", "FromTime", "ToDate", "ToTime", "Km", "Time",
      "MaxSpeed", "MinSpeed", "AvgSpeed", "MaxHight", "MinHight", "AvgHight"}},
    {"汉语(簡)",
     "号码,开始,结束,数据,从日期,从时间,到日期,到时间,公里,要时间,最大速度,最小速度,平时速度,最大高度,最小高度,平时高度\n",
     {"号码", "开始", "结束", "数据", "从日期", "从时间", "到日期", "到时间", "公里", "要时间",
      "最大速度", "最小速度", "平时速度", "最大高度", "最小高度", "平时高度"}},
    {"國語(繁)",
     "GroupNo,Start,End,Record,FromDate,FromTime,ToDate,ToTime,Km,Time,MaxSpeed,MinSpeed,AvgSpeed,MaxHight,MinHight,AvgHigh\n",
     {"Group", "開始", "結束", "件數", "開始日期", "開始時間", "結束日期", "結束時間", "距離共計",
      "所要時間", "最高速度", "最低速度", "平均速度", "最大高度", "最低高度", "平均高度"}},
    {"한국",
     "GroupNo,Start,End,Record,FromDate,FromTime,ToDate,ToTime,Km,Time,MaxSpeed,MinSpeed,AvgSpeed,MaxHight,MinHight,AvgHigh\n",
     {"Group", "시작", "종료", "건수", "시작날짜", "시작시간", "종료날짜", "종료시간", "거리합계",
      "소요시간", "최고속도", "최저속도", "평균속도", "최대고도", "최저고도", "평균고도"}},
}};

// The page head; "%s" is the title, "%%" one per cent sign.
constexpr std::array<const char*, 23> kHtmlHead = {
    "<html>\n",
    " <head>\n",
    " <meta http-equiv='Content-Type' content='text/html; charset=utf-8'>\n",
    "  <title>GPS Data Summary [%s]</title>\n",
    "  <style type=text/css>\n",
    "   <!--\n",
    "   A.lk:link    { color: #0000a0; text-decoration: none}\n",
    "   A.lk:active  { color: #FF3000; text-decoration: none; position: relative; left: 1px; top: 1px;}\n",
    "   A.lk:visited { color: #0000a0; text-decoration: none}\n",
    "   A.lk:hover   { color: #f00000; text-decoration: none; position: relative; left: 2px; top: 2px;}\n",
    "   \n",
    "   .tb1         { width: 100%%; border-collapse: collapse; border: 2px #008000 solid; }\n",
    "   .tb1 th      { border: 1px #00a000 solid  ; padding: 1px; font-size: 9pt;background-color: #a0fea0; }\n",
    "   .tb1 td      { border: 1px #00a000 dotted ; padding: 1px; font-size: 10pt;text-align:right}\n",
    "   tr.c1        { background-color: #e0fee0; }\n",
    "   tr.c2        { background-color: #d0fed0; }\n",
    "   -->\n",
    "     </style>\n",
    " </head>\n",
    " <body bgcolor='#e8fee8'>\n",
    " <h2><font color='#0000ff'>GPS Data Summary [%s]</font></h2>\n",
    "  <hr />\n",
    "  <table class=tb1>\n",
};

const SummaryLanguage* FindLanguage(const std::string& name) {
    for (const SummaryLanguage& language : kLanguages) {
        if (name == language.name) return &language;
    }
    return nullptr;
}

// Text as HTML character data: &, < and > as entities.
void AppendHtmlText(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            default: out += c; break;
        }
    }
}

void WriteHtmlText(TextWriter& out, std::string_view text) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char* entity = nullptr;
        switch (text[i]) {
            case '&': entity = "&amp;"; break;
            case '<': entity = "&lt;"; break;
            case '>': entity = "&gt;"; break;
            default: continue;
        }
        out.Write(text.substr(start, i - start));
        out.Write(entity);
        start = i + 1;
    }
    out.Write(text.substr(start));
}

// The input file name without directory and extension.
std::string_view TitleOf(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    const size_t start = slash == std::string_view::npos ? 0 : slash + 1;
    const size_t dot = ExtensionStart(path);
    return path.substr(start, (dot == std::string_view::npos ? path.size() : dot) - start);
}

void WriteHead(TextWriter& out, const SummaryOptions& options) {
    const SummaryLanguage* language = FindLanguage(options.language);
    if (options.format == SummaryFormat::Csv) {
        if (language != nullptr) out.Write(language->csvHeader);
        return;
    }
    std::string title;
    AppendHtmlText(title, TitleOf(options.input));
    for (const char* line : kHtmlHead) out.Printf(line, title.c_str());
    if (language != nullptr) {
        out.Write("<tr class=c0>");
        for (const char* column : language->htmlColumns) {
            out.Write("<th>");
            out.Write(column);
            out.Write("</th>");
        }
        out.Write("<tr>\n");
    }
}

void WriteTail(TextWriter& out) {
    out.Write("  </table>\n");
    out.Write("  <hr />\n");
    // The program and its version only: the program has no web site to link to.
    out.Printf("  <font size='2' color='#0000ff'> Create Soft:geoplait.exe&nbsp;&nbsp;&nbsp;%s</font>\n",
               kVersionText);
    out.Write("  \n");
    out.Write(" </body>\n");
    out.Write("</html>\n");
}

}  // namespace

SummaryOptions SummaryOptionsOf(const ConvertSettings& s, const RunValues& run, SummaryFormat format) {
    return {format, s.Language, s.InputFile, s.TrackGroupDate != 0, run.GapDistanceLimit, run.GapSecondsLimit};
}

void SummaryWriter::ResetGroup(TrackPoint& point, TrackStore& store) {
    group_ = SummaryGroup{};
    point.ElapsedSec = 0;
    point.IntervalDistance = 0.0;
    point.TotalDistance = 0.0;
    store.FirstTime = 0;
}

void SummaryWriter::CloseGroup(TextWriter& out, TrackPoint& point, TrackStore& store) {
    if (store.SplitIndex == 0) store.SplitIndex = 1;
    WriteRow(out, store.SplitIndex);
    ResetGroup(point, store);
    store.SplitIndex += 1;
    // The record that cut the group is the new group's first: its elapsed time
    // is counted from this record's time stamp, not from the next one's.
    store.FirstTime = store.PreviousTime;
}

void SummaryWriter::Begin(TextWriter& out, TrackPoint& point, TrackStore& store) {
    store.SplitIndex = 0;
    ResetGroup(point, store);
    WriteHead(out, options_);
}

void SummaryWriter::End(TextWriter& out, TrackStore& store) {
    if (store.SplitIndex == 0) store.SplitIndex = 1;
    WriteRow(out, store.SplitIndex);
    if (options_.format == SummaryFormat::Html) WriteTail(out);
}

void SummaryWriter::Add(TextWriter& out, TrackPoint& p, TrackStore& store, bool accepted) {
    SummaryGroup& g = group_;

    if (!accepted) {
        store.RecordIndex += 1;
        ClearTrackPoint(p);
        return;
    }
    // The filter added the gap to the previous point and ran ComputeDerived.
    g.CutDistance += store.GapDistance;
    g.CutSeconds += p.IntervalSec;
    if (store.GroupDate.empty()) SetGroupDate(p, store);

    const double distanceLimit = options_.distanceLimit;
    const double secondsLimit = options_.secondsLimit;
    const bool overLimit = (distanceLimit > 0.0 || secondsLimit > 0.0) && store.WrittenCount > 0 &&
                           (g.CutDistance > distanceLimit || g.CutSeconds > secondsLimit);
    bool gapRecord = false;
    if (!options_.groupByDate) {
        if (overLimit) CloseGroup(out, p, store);
    } else {
        // Grouped by date, a limit passed marks a gap inside the day: the
        // record adds no distance, and the sums start again from it. Left
        // running, the sums would stay over the limit for the rest of the day
        // and zero every later record (a day's distance would stop after the
        // first ten minutes with the default 600 seconds).
        if (overLimit) {
            p.ElapsedSec = 0;
            p.IntervalDistance = 0.0;
            g.CutDistance = 0.0;
            g.CutSeconds = 0.0;
            gapRecord = true;
        }
        if (DateGroupChanges(true, p, store)) {
            CloseGroup(out, p, store);
            SetGroupDate(p, store);
        }
    }

    store.RecordIndex += 1;
    store.WrittenCount += 1;
    g.EndRecord = store.WrittenCount;
    const bool dated = IsCalendarDate(p.LocalDate);
    if (g.StartRecord != 0 && dated && !g.FromDated) {
        g.FromDate = p.LocalDateText;
        g.FromTime = p.LocalTimeText;
        g.FromDated = true;
    }
    if (g.StartRecord == 0) {
        g.StartRecord = store.WrittenCount;
        g.FromDate = p.LocalDateText;
        g.FromTime = p.LocalTimeText;
        g.FromDated = dated;
        g.MaxSpeed = p.Speed;
        g.MinSpeed = p.Speed;
        g.MaxAltitude = p.Values.altitude.value;
        g.MinAltitude = p.Values.altitude.value;
    }
    g.Count += 1;
    if (dated || !g.ToDated) {
        g.ToDate = p.LocalDateText;
        g.ToTime = p.LocalTimeText;
        g.ToDated = dated;
    }
    // A gap record's zeroed elapsed time must not wipe the group's duration.
    if (!gapRecord || g.Count == 1) g.Duration = p.ElapsedSec;
    g.Distance += p.IntervalDistance;
    if (p.Speed > g.MaxSpeed) g.MaxSpeed = p.Speed;
    if (p.Speed < g.MinSpeed) g.MinSpeed = p.Speed;
    g.SpeedSum += p.Speed;
    if (p.Values.altitude.value > g.MaxAltitude) g.MaxAltitude = p.Values.altitude.value;
    if (p.Values.altitude.value < g.MinAltitude) g.MinAltitude = p.Values.altitude.value;
    g.AltitudeSum += p.Values.altitude.value;

    ClearTrackPoint(p);
}

void SummaryWriter::WriteRow(TextWriter& out, int32_t group) {
    const SummaryGroup& g = group_;
    const int32_t d = g.Duration;
    char duration[48];
    std::snprintf(duration, sizeof duration, "%02d:%02d:%02d", d / 3600, (d % 3600) / 60, d % 60);
    // A group without records has no average; it is written as 0.
    const double avgSpeed = g.Count > 0 ? g.SpeedSum / g.Count : 0.0;
    const double avgAltitude = g.Count > 0 ? g.AltitudeSum / g.Count : 0.0;

    if (options_.format == SummaryFormat::Csv) {
        out.Printf("%d,%d,%d,%d,%s,%s,%s,%s,%1.3f,%s,%1.2f,%1.2f,%1.2f,%1.0f,%1.0f,%1.0f\n", group,
                   g.StartRecord, g.EndRecord, g.Count, g.FromDate.c_str(), g.FromTime.c_str(),
                   g.ToDate.c_str(), g.ToTime.c_str(), g.Distance, duration, g.MaxSpeed,
                   g.MinSpeed, avgSpeed, g.MaxAltitude, g.MinAltitude, avgAltitude);
        return;
    }
    out.Printf("   <tr class=%s>", group % 2 == 0 ? "c1" : "c2");
    out.Printf("<td>%d</td><td>%d</td><td>%d</td><td>%d</td>", group, g.StartRecord,
               g.EndRecord, g.Count);
    for (const std::string* text : {&g.FromDate, &g.FromTime, &g.ToDate, &g.ToTime}) {
        out.Write("<td>");
        WriteHtmlText(out, *text);
        out.Write("</td>");
    }
    out.Printf("<td><b>%1.3f</b></td><td>%s</td><td>%1.2f</td><td>%1.2f</td><td>%1.2f</td>"
               "<td>%1.0f</td><td>%1.0f</td><td>%1.0f</td>",
               g.Distance, duration, g.MaxSpeed, g.MinSpeed, avgSpeed, g.MaxAltitude,
               g.MinAltitude, avgAltitude);
    out.Write("</tr>\n");
}

}  // namespace geoplait
