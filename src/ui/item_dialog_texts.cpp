// The CSV item dialogs' text table: one row per label, one column per language.
// Data formats ("ddmm.mmmm", "hh:mm:ss", "UTC+9h") and the preset names stay as
// they are in every language.
#include "ui/item_dialog_texts.h"

#include <array>
#include <cstddef>

#include "settings/settings_keys.h"

namespace geoplait::ui {

namespace {

constexpr int kLanguageCount = 5;
constexpr int kEnglish = 1;

struct TextRow {
    ItemText id;
    std::array<const char*, kLanguageCount> text;  // 日本語, English, 汉语(簡), 國語(繁), 한국
};

constexpr TextRow kTexts[] = {
    {ItemText::InputTitle, {"入力項目設定", "Imput Item Set", "输入项目设定", "輸入項目設定", "입력 항목설정"}},
    {ItemText::InFile, {"入力ファイル", "In  File", "输入文件", "輸入文件", "입력 파일"}},
    {ItemText::NoInputFile,
     {" ** 入力ファイルがありません **", " ** No Imput File **", " ** 没有输入文件 **", " ** 沒有輸入檔案 **",
      " ** 입력 파일 없음 **"}},
    {ItemText::ColumnItem, {"項目", "Item", "项目", "項目", "항목"}},
    {ItemText::ColumnPosition, {"位置", "Position", "位置", "位置", "위치"}},
    {ItemText::ColumnType, {"形式", "Data Type", "格式", "格式", "형식"}},
    {ItemText::ColumnSample, {"先頭行のデータ", "First Line Data", "首行数据", "首行資料", "첫 줄 데이터"}},
    {ItemText::NorthSouth, {"北緯/南緯", "North/South", "北纬/南纬", "北緯/南緯", "북위/남위"}},
    {ItemText::NorthSouthHint, {"N:北 S:南", "N:North S:South", "N:北 S:南", "N:北 S:南", "N:북 S:남"}},
    {ItemText::Latitude, {"緯度", "Latitude", "纬度", "緯度", "위도"}},
    {ItemText::EastWest, {"東経/西経", "East/West", "东经/西经", "東經/西經", "동경/서경"}},
    {ItemText::EastWestHint, {"E:東 W:西", "E:East W:West", "E:东 W:西", "E:東 W:西", "E:동 W:서"}},
    {ItemText::Longitude, {"経度", "Longitude", "经度", "經度", "경도"}},
    {ItemText::Altitude, {"高度", "Altitude", "高度", "高度", "고도"}},
    {ItemText::Date, {"日付", "Date", "日期", "日期", "날짜"}},
    {ItemText::Time, {"時刻", "Time", "时间", "時間", "시각"}},
    {ItemText::Speed, {"速度", "Speed", "速度", "速度", "속도"}},
    {ItemText::Degrees, {"方位", "Degrees", "方位", "方位", "방위"}},

    {ItemText::OutputTitle, {"出力項目設定", "Output Item Set", "输出项目设定", "輸出項目設定", "출력 항목설정"}},
    {ItemText::OutName, {"(名前)", "(Name)", "(名称)", "(名稱)", "(이름)"}},
    {ItemText::OutLatitudeNs,
     {"緯度(北緯/南緯) [N|S]", "Latitude(North/South) [N|S]", "纬度(北纬/南纬) [N|S]", "緯度(北緯/南緯) [N|S]",
      "위도(북위/남위) [N|S]"}},
    {ItemText::OutLatitudeDmm,
     {"緯度 (ddmm.mmmmmm)", "Latitude (ddmm.mmmmmm)", "纬度 (ddmm.mmmmmm)", "緯度 (ddmm.mmmmmm)",
      "위도 (ddmm.mmmmmm)"}},
    {ItemText::OutLatitudeDdd,
     {"緯度 (dd.dddddddd)", "Latitude (dd.dddddddd)", "纬度 (dd.dddddddd)", "緯度 (dd.dddddddd)",
      "위도 (dd.dddddddd)"}},
    {ItemText::OutLatitudeDms,
     {"緯度 (ddmmss.ssss)", "Latitude (ddmmss.ssss)", "纬度 (ddmmss.ssss)", "緯度 (ddmmss.ssss)",
      "위도 (ddmmss.ssss)"}},
    {ItemText::OutLongitudeEw,
     {"経度(東経/西経) [E|W]", "Longitude(East/West) [E|W]", "经度(东经/西经) [E|W]", "經度(東經/西經) [E|W]",
      "경도(동경/서경) [E|W]"}},
    {ItemText::OutLongitudeDmm,
     {"経度 (ddmm.mmmm)", "Longitude (ddmm.mmmm)", "经度 (ddmm.mmmm)", "經度 (ddmm.mmmm)", "경도 (ddmm.mmmm)"}},
    {ItemText::OutLongitudeDdd,
     {"経度 (dd.dddddddd)", "Longitude (dd.dddddddd)", "经度 (dd.dddddddd)", "經度 (dd.dddddddd)",
      "경도 (dd.dddddddd)"}},
    {ItemText::OutLongitudeDms,
     {"経度 (ddmmss.ssss)", "Longitude (ddmmss.ssss)", "经度 (ddmmss.ssss)", "經度 (ddmmss.ssss)",
      "경도 (ddmmss.ssss)"}},
    {ItemText::OutAltitude, {"高度", "Altitude", "高度", "高度", "고도"}},
    {ItemText::OutSpeedKnots, {"速度(ノット)", "Speed(knots)", "速度(节)", "速度(節)", "속도(노트)"}},
    {ItemText::OutSpeedKm, {"速度(Km/Mile)", "Speed(Km/Mile)", "速度(Km/Mile)", "速度(Km/Mile)", "속도(Km/Mile)"}},
    {ItemText::OutDegrees, {"方位", "degrees", "方位", "方位", "방위"}},
    {ItemText::OutSatellites, {"衛星数", "Satellites", "卫星数", "衛星數", "위성 수"}},
    {ItemText::OutDilution, {"精度低下率", "Dilution", "精度因子", "精度因子", "정밀도 저하율"}},
    {ItemText::OutDateDmy,
     {"日付(ddmmyy) UTC", "Date(ddmmyy) UTC", "日期(ddmmyy) UTC", "日期(ddmmyy) UTC", "날짜(ddmmyy) UTC"}},
    {ItemText::OutDateYmd,
     {"日付(yyyy/mm/dd) UTC+9h", "Date(yyyy/mm/dd) UTC+9h", "日期(yyyy/mm/dd) UTC+9h", "日期(yyyy/mm/dd) UTC+9h",
      "날짜(yyyy/mm/dd) UTC+9h"}},
    {ItemText::OutTimeUtc,
     {"時刻 (hhmmss) UTC", "Time (hhmmss) UTC", "时间 (hhmmss) UTC", "時間 (hhmmss) UTC", "시각 (hhmmss) UTC"}},
    {ItemText::OutTimeUtc9,
     {"時刻 (hh:mm:ss) UTC+9h", "Time (hh:mm:ss) UTC+9h", "时间 (hh:mm:ss) UTC+9h", "時間 (hh:mm:ss) UTC+9h",
      "시각 (hh:mm:ss) UTC+9h"}},
    {ItemText::OutElapsedDistance,
     {"経過距離(0.00Km)", "Elapsed Distance(0.00Km)", "累计距离(0.00Km)", "累計距離(0.00Km)", "경과 거리(0.00Km)"}},
    {ItemText::OutElapsedHms,
     {"経過時間(hh:mm:ss)", "Elapsed(hh:mm:ss)", "经过时间(hh:mm:ss)", "經過時間(hh:mm:ss)", "경과 시간(hh:mm:ss)"}},
    {ItemText::OutElapsedSec, {"経過時間(秒)", "Elapsed(sec)", "经过时间(秒)", "經過時間(秒)", "경과 시간(초)"}},
    {ItemText::OutIntervalDistance,
     {"区間距離(0.00km)", "Interval Distance(0.00km)", "区间距离(0.00km)", "區間距離(0.00km)", "구간 거리(0.00km)"}},
    {ItemText::OutIntervalHms,
     {"区間時間(hh:mm:ss)", "Interval(hh:mm:ss)", "区间时间(hh:mm:ss)", "區間時間(hh:mm:ss)", "구간 시간(hh:mm:ss)"}},
    {ItemText::OutIntervalSec, {"区間時間(秒)", "Interval(sec)", "区间时间(秒)", "區間時間(秒)", "구간 시간(초)"}},
    {ItemText::OutNo, {"番号 (連番)", "No (Seq)", "编号 (序号)", "編號 (序號)", "번호 (연번)"}},
    {ItemText::OutExtendData, {"(拡張データ)", "(Extend Data)", "(扩展数据)", "(擴充資料)", "(확장 데이터)"}},
    {ItemText::Default, {"初期値", "Default", "默认", "預設值", "기본값"}},
    {ItemText::AllSet, {"全て選択", "All Set", "全选", "全選", "전체 선택"}},
    {ItemText::AllClear, {"全て解除", "All Clear", "全部取消", "全部清除", "전체 해제"}},

    {ItemText::Preset, {"プリセット", "Preset", "预设", "預設", "프리셋"}},
    {ItemText::Ok, {"保存", "OK", "确定", "確定", "확인"}},
    {ItemText::Cancel, {"キャンセル", "Cancel", "取消", "廢除", "캔슬"}},
};

// Every id has its row, in the order of the enumeration.
constexpr bool RowsInOrder() {
    for (size_t i = 0; i < std::size(kTexts); ++i) {
        if (static_cast<size_t>(kTexts[i].id) != i) return false;
    }
    return std::size(kTexts) == static_cast<size_t>(ItemText::Count);
}
static_assert(RowsInOrder(), "one text row per ItemText, in order");

}  // namespace

int ItemTextLanguage(const std::string& language) {
    for (size_t i = 0; i < kLanguageChoices.size(); ++i) {
        if (language == kLanguageChoices[i].displayText) return static_cast<int>(i);
    }
    return kEnglish;
}

const char* ItemDialogText(ItemText id, int language) {
    if (language < 0 || language >= kLanguageCount) language = kEnglish;
    return kTexts[static_cast<size_t>(id)].text[static_cast<size_t>(language)];
}

}  // namespace geoplait::ui
