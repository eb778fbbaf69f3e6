#include "ui/languages.h"

#include "ui/window_tables.h"

namespace geoplait::ui {

const std::array<const char*, kLanguageCount> kLanguageNames = {"日本語", "English", "汉语(簡)",
                                                                "國語(繁)", "한국"};

namespace {

using Row = std::array<const char*, kLanguageCount>;

// Columns: Japanese, English, Simplified Chinese, Traditional Chinese, Korean.
// Unit-dependent rows hold their "Km/Meter" text here; kUnitTexts below has all three.
constexpr std::array<Row, kTextRowCount> kWindowTexts = {{
    /* Create */ {"処理", "Create", "处理", "處理", "처리"},
    /* InputItem */ {"入力項目設定", "Imput Item Set", "输入项目设定", "輸入項目設定", "입력 항목설정"},
    /* OutputItem */ {"出力項目設定", "Output Item Set", "输出项目设定", "輸出項目設定", "출력 항목설정"},
    /* End */ {"終了", "End", "关闭", "結束", "종료"},
    /* AltitudeCheck */ {"高度", "Altitude", "高度", "高度", "고도"},
    /* VLine */ {"垂直線", "V-Line", "垂直线", "垂直線", "수직선"},
    /* Polygon */ {"ポリゴン", "Polygon", "多边形", "多邊形", "폴리곤"},
    /* LabelAltitude */ {"高度", "Altitude", "高度", "高度", "고도"},
    /* LabelDate */ {"日付", "Date", "日期", "日期", "날짜"},
    /* LabelDegrees */ {"方位", "Degrees", "方位", "方位", "방위"},
    /* LabelElapsed */ {"経過時間", "Elapsed", "经过时间", "經過時間", "경과시간"},
    /* LabelIntervalTime */ {"間隔時間", "Interval(Time)", "间隔时间", "間隔時間", "간격시간"},
    /* LabelIntervalKm */ {"間隔距離", "Interval(Km)", "间隔距离", "間隔距離", "간격거리"},
    /* LabelKm */ {"距離", "Km", "距离", "距離", "거리"},
    /* UnitNote */ {"(Meter)", "(Meter)", "(米)", "(公尺)", "(미터)"},
    /* LabelLatLon */ {"緯度経度", "Lat/Lon", "纬度经度", "緯度經度", "위도경도"},
    /* LabelNo */ {"番号", "No", "编号", "編號", "번호"},
    /* LabelSatellites */ {"衛星数+誤差", "satellites + dilution", "卫星数+误差", "衛星數+誤差", "위성수+오차"},
    /* LabelSpeed */ {"速度", "Speed", "速度", "速度", "속도"},
    /* LabelTex */ {"テキスト(POT)", "Tex(POT)", "文本(POT)", "文字(POT)", "텍스트(POT)"},
    /* LabelTime */ {"時刻", "Time", "时刻", "時刻", "시각"},
    /* LabelDescription */ {"バルーン表示", "Description", "Description", "氣球表示", "벌룬 표시"},
    /* PosDistance */ {"移動距離(Meter)", "Distance", "移动距离(Meter)", "移動距離(Meter)", "이동거리(Meter)"},
    /* IconUrl */ {"アイコンURL", "Icon Url     ", "图标URL", "圖示URL", "아이콘 URL"},
    /* PosType */ {"種類", "Type", "种类", "種類", "종류"},
    /* IncludeData */ {"データ範囲指定", "IncludeData", "数据范围指定", "資料範圍指定", "데이터 범위지정"},
    /* FilterDistance */ {"移動距離", "Distance", "移动距离", "移動距離", "이동거리"},
    /* ReNumber */ {"番号振り直し", "ReNumber", "重新编号", "重新編號", "번호 재지정"},
    /* RangeEnd */ {"終了", "End", "结束", "結束", "끝"},
    /* MarginHi */ {"誤差上限", "Margin Hi", "误差上限", "誤差上限", "오차 상한"},
    /* Record */ {"レコード", "Record", "记录", "記錄", "레코드"},
    /* SatellitesLow */ {"衛星数下限", "Satellites Low", "卫星数下限", "衛星數下限", "위성수 하한"},
    /* RangeStart */ {"開始", "Start", "开始", "開始", "시작"},
    /* InFile */ {"入力ファイル", "In  File", "输入文件", "輸入文件", "입력 파일"},
    /* Maker */ {"geoplait  GPSログ・写真の変換ツール", "geoplait  GPS log and photo converter",
                 "geoplait  GPS日志与照片转换工具", "geoplait  GPS日誌與照片轉換工具",
                 "geoplait  GPS 로그·사진 변환 도구"},
    /* Mode */ {"モード", "Mode", "处理种类", "處理種類", "모드"},
    /* Name */ {"*名前", "*Name", "*名称", "*名稱", "*이름"},
    /* OutFile */ {"出力ファイル", "Out File", "输出文件", "輸出文件", "출력 파일"},
    /* IconSize */ {"アイコンサイズ", "ICON Size", "图标大小", "圖示大小", "아이콘 크기"},
    /* Interval */ {"間隔", "Interval", "间隔", "間隔", "간격"},
    /* IntervalRange */ {" (1-9999)", " (1-9999)", "（1-9999）", " (1-9999)", " (1-9999)"},
    /* Placemark */ {"*ポジション(Placemark)", "*Placemark(Position)", "*位置标记(Placemark)",
                     "*位置標記(Placemark)", "*위치 마크(Placemark)"},
    /* Label */ {"ラベル", "Label", "标签", "標籤", "라벨"},
    /* LabelSize */ {"ラベルサイズ", "Label Size", "标签大小", "標籤大小", "라벨 크기"},
    /* View */ {"表示", "View", "显示", "顯示", "표시"},
    /* KmlFileCreate */ {"KMLファイル作成", "KML File Create", "KML文件生成", "KML檔案產生", "KML 파일 생성"},
    /* Track */ {"*トラック(Line)", "*Track(Line)", "*轨迹(Line)", "*軌跡(Line)", "*트랙(Line)"},
    /* Colour */ {"色", "Color", "颜色", "顏色", "색"},
    /* SplitDistance */ {"距離(Meter)", "Distance(Meter)", "距离(Meter)", "距離(Meter)", "거리(Meter)"},
    /* SplitSeconds */ {"時間(秒)", "Time(Sec)", "时间(秒)", "時間(秒)", "시간(초)"},
    /* SplitDate */ {"日付", "Date", "日期", "日期", "날짜"},
    /* FileSplit */ {"File分割", "FileSplit", "文件分割", "File分割", "File분할"},
    /* Transparent */ {"透明度", "Transparent", "透明度", "透明度", "투명도"},
    /* Width */ {"幅", "Width", "宽度", "寬度", "폭"},
    /* Photo */ {"*写真", "*Photo", "*照片", "*照片", "*사진"},
    /* Folder */ {"フォルダ", "Folder", "文件夹", "資料夾", "폴더"},
    /* Split */ {"*分割", "*Split", "*分割", "*分割", "*분할"},
    /* Cancel */ {"中止", "Cancel", "取消", "取消", "취소"},
}};

// Rows that change with MeterMile: the texts for "Km/Meter", "Nautical
// Mile/Feet" and "Statute Mile/Feet".
struct UnitRow {
    TextRow row;
    int language;
    std::array<const char*, 3> texts;
};
constexpr UnitRow kUnitRows[] = {
    {TextRow::LabelIntervalKm, kEnglish, {"Interval(Km)", "Interval(Mile)", "Interval(Mile)"}},
    {TextRow::LabelKm, kEnglish, {"Km", "Mile", "Mile"}},
    {TextRow::UnitNote, kJapanese, {"(Meter)", "(Nautical Mile)", "(Statute Mile)"}},
    {TextRow::UnitNote, kEnglish, {"(Meter)", "(Nautical Mile)", "(Statute Mile)"}},
    {TextRow::UnitNote, 2, {"(米)", "(海里)", "(英里)"}},
    {TextRow::UnitNote, 3, {"(公尺)", "(海浬)", "(英哩)"}},
    {TextRow::UnitNote, 4, {"(미터)", "(해리)", "(마일)"}},
    {TextRow::PosDistance, kJapanese, {"移動距離(Meter)", "移動距離(Feet)", "移動距離(Feet)"}},
    {TextRow::PosDistance, 2, {"移动距离(Meter)", "移动距离(Feet)", "移动距离(Feet)"}},
    {TextRow::PosDistance, 3, {"移動距離(Meter)", "移動距離(Feet)", "移動距離(Feet)"}},
    {TextRow::PosDistance, 4, {"이동거리(Meter)", "이동거리(Feet)", "이동거리(Feet)"}},
    {TextRow::SplitDistance, kJapanese, {"距離(Meter)", "距離(Feet)", "距離(Feet)"}},
    {TextRow::SplitDistance, kEnglish, {"Distance(Meter)", "Distance(Mile)", "Distance(Mile)"}},
    {TextRow::SplitDistance, 2, {"距离(Meter)", "距离(Mile)", "距离(Mile)"}},
    {TextRow::SplitDistance, 3, {"距離(Meter)", "距離(Mile)", "距離(Mile)"}},
    {TextRow::SplitDistance, 4, {"거리(Meter)", "거리(Mile)", "거리(Mile)"}},
};

}  // namespace

const std::array<ToolTip, 11> kJapaneseToolTips = {{
    {TextRow::SatellitesLow, "指定された衛星数よりも少ない受信データ場合は、処理しません。"},
    {TextRow::MarginHi, "指定された誤差(m)よりも大きいデータ場合は、処理しません。"},
    {TextRow::FilterDistance, "指定された移動距離(m)よりも小さい(累積距離)場合は、処理しません。"},
    {TextRow::Create, "処理モードによりデータを作成します。"},
    {TextRow::Placemark, "ポジション(Placemark)を作成します。"},
    {TextRow::Track, "トラック(Track)を作成します。"},
    {TextRow::SplitDistance, "グループ距離を離れると線(軌跡)を分けます。"},
    {TextRow::SplitSeconds, "グループ時間を離れると線(軌跡)を分けます。"},
    {TextRow::FileSplit, "グループごとに出力ファイルを作成します。。"},
    {TextRow::Interval, "指定間隔毎に場所マーク(Placemark)を表示します。"},
    {TextRow::Photo, "写真を貼り付けます。(exif-GPS情報、exif-日時又はFile日時から緯度経度を決定)"},
}};

int LanguageIndex(std::string_view name) {
    for (int i = 0; i < kLanguageCount; ++i) {
        if (name == kLanguageNames[static_cast<size_t>(i)]) return i;
    }
    return -1;
}

const char* WindowText(TextRow row, int language, std::string_view meterMile) {
    if (language < 0 || language >= kLanguageCount) return nullptr;
    for (const UnitRow& unit : kUnitRows) {
        if (unit.row != row || unit.language != language) continue;
        for (size_t i = 0; i < kUnitTexts.size(); ++i) {
            if (meterMile == kUnitTexts[i]) return unit.texts[i];
        }
        return nullptr;  // units outside the list leave the text alone
    }
    return kWindowTexts[static_cast<size_t>(row)][static_cast<size_t>(language)];
}

}  // namespace geoplait::ui
