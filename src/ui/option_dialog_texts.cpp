#include "ui/option_dialog_texts.h"

#include <array>
#include <cstddef>

#include "ui/languages.h"

namespace geoplait::ui {

namespace {

struct TextRow {
    OptionText id;
    std::array<const char*, kLanguageCount> text;  // 日本語, English, 汉语(簡), 國語(繁), 한국
};

// The English column is the dialogs' own text, spaces included: they line
// the controls up as the dialogs were laid out.
constexpr TextRow kTexts[] = {
    {OptionText::UseGpsPoint, {"GPS位置を使用", "Use GPS Point", "使用GPS位置", "使用GPS位置", "GPS 위치 사용"}},
    {OptionText::Interpolate, {"補間", "Interpolate", "插值", "內插", "보간"}},
    {OptionText::RecordsWithin, {"記録の間隔", "Records Within", "记录间隔", "記錄間隔", "기록 간격"}},
    {OptionText::SecondsWithin, {"秒以内", "Sec", "秒以内", "秒以內", "초 이내"}},
    {OptionText::CameraClock, {"カメラの時計", "Camera Clock", "相机时钟", "相機時鐘", "카메라 시계"}},
    {OptionText::TimeAdjust, {"時刻補正", "Time Adjust", "时间校正", "時間校正", "시각 보정"}},
    {OptionText::CameraDiff, {"カメラの時差", "Camera Diff", "相机时差", "相機時差", "카메라 시차"}},
    {OptionText::SecondsExample,
     {"秒        (例.  -60   または  +60 )", "Sec        (ex.  -60   or  +60 )", "秒        (例:  -60   或  +60 )",
      "秒        (例:  -60   或  +60 )", "초        (예:  -60   또는  +60 )"}},
    {OptionText::TimeCalibration, {"時刻の較正", "Time Calibration", "时间校准", "時間校準", "시각 교정"}},
    {OptionText::Now, {"現在", "Now", "现在", "現在", "현재"}},
    {OptionText::Camera, {"カメラ", "Camera", "相机", "相機", "카메라"}},
    {OptionText::PickerDate, {"日付", "date", "日期", "日期", "날짜"}},
    {OptionText::PickerTime, {"時刻", "time", "时间", "時間", "시각"}},
    {OptionText::TimeStamp, {"タイムスタンプ", "TimeStamp", "时间戳", "時間戳記", "타임스탬프"}},
    {OptionText::GpsDate, {"GPS日付", "GPS Date", "GPS日期", "GPS日期", "GPS 날짜"}},
    {OptionText::IfdDate, {"IFD日付", "IFD Date", "IFD日期", "IFD日期", "IFD 날짜"}},
    {OptionText::ExitDate, {"Exif日付", "Exit Date", "Exif日期", "Exif日期", "Exif 날짜"}},
    {OptionText::FileDate, {"ファイル日付", "File Date", "文件日期", "檔案日期", "파일 날짜"}},
    {OptionText::DefaultLocation, {"既定の位置", "Default location", "默认位置", "預設位置", "기본 위치"}},
    {OptionText::LatitudeNs, {"緯度 北/南", "Latitude N/S", "纬度 北/南", "緯度 北/南", "위도 북/남"}},
    {OptionText::LongitudinalEw, {"経度 東/西", "Longitudinal E/W", "经度 东/西", "經度 東/西", "경도 동/서"}},
    {OptionText::LatitudeHms,
     {"緯度 (hhmmss.ss)", "Latitude (hhmmss.ss)", "纬度 (hhmmss.ss)", "緯度 (hhmmss.ss)", "위도 (hhmmss.ss)"}},
    {OptionText::LongitudinalHms,
     {"経度 (hhmmss.ss)", "Longitudinal (hhmmss.ss)", "经度 (hhmmss.ss)", "經度 (hhmmss.ss)", "경도 (hhmmss.ss)"}},
    {OptionText::Icon, {"アイコン", "Icon", "图标", "圖示", "아이콘"}},
    {OptionText::IconUrl, {"アイコンURL ", "Icon Url ", "图标URL ", "圖示URL ", "아이콘 URL "}},
    {OptionText::IconThumbnail, {"サムネイルアイコン", "Icon Thumbnail", "缩略图图标", "縮圖圖示", "썸네일 아이콘"}},
    {OptionText::ThumbnailSize, {"サムネイルサイズ", "Thumbnail Size", "缩略图大小", "縮圖大小", "썸네일 크기"}},
    {OptionText::IconName, {"アイコン名", "Icon Name", "图标名称", "圖示名稱", "아이콘 이름"}},
    {OptionText::FileName, {"ファイル名", "FileName", "文件名", "檔名", "파일 이름"}},
    {OptionText::Title, {"タイトル", "Title", "标题", "標題", "제목"}},
    {OptionText::Longitudinal, {"経度", "Longitudinal", "经度", "經度", "경도"}},
    {OptionText::TitleHint,
     {"ASCII・SJISのみ", "ASCII &  SJIS  Only", "仅限ASCII与SJIS", "僅限ASCII與SJIS", "ASCII·SJIS만"}},
    {OptionText::PhotoUrl, {"写真URL   ", "Photo Url   ", "照片URL   ", "照片URL   ", "사진 URL   "}},
    {OptionText::PhotoWidth, {"写真の幅", "Photo Width", "照片宽度", "照片寬度", "사진 폭"}},
    {OptionText::CreateDirectory,
     {"CreateDirectory", "CreateDirectory", "CreateDirectory", "CreateDirectory", "CreateDirectory"}},
    {OptionText::CreateDirectoryNote,
     {"フォルダを作成しJPGファイルをコピー  (KMZ作成ファイル)", "Create Directory And Jpg File Copy  (Kmz Create File)",
      "创建文件夹并复制JPG文件  (KMZ生成文件)", "建立資料夾並複製JPG檔案  (KMZ產生檔案)",
      "폴더를 만들고 JPG 파일 복사  (KMZ 생성 파일)"}},
    {OptionText::CsvOut,
     {"写真データCSV出力", "Photo Data CSV OUT", "照片数据CSV输出", "照片資料CSV輸出", "사진 데이터 CSV 출력"}},
    {OptionText::CsvOutNote,
     {"(出力ファイル名)_Photo.csv", "(OutFileName)_Photo.csv", "(输出文件名)_Photo.csv", "(輸出檔名)_Photo.csv",
      "(출력 파일 이름)_Photo.csv"}},
    {OptionText::IncludeComment, {"コメントを含める", "Include Comment", "包含注释", "包含註解", "주석 포함"}},
    {OptionText::TimeStampTag, {"TimeStampタグ", "TimeStampTAG", "TimeStamp标签", "TimeStamp標籤", "TimeStamp 태그"}},
    {OptionText::LabelTimeStamp,
     {" (  ラベルにタイムスタンプ", " (  Label  TimeStamp", " (  标签显示时间戳", " (  標籤顯示時間戳記",
      " (  라벨에 타임스탬프"}},
    {OptionText::XmpSidecar, {"XMPサイドカー", "XMP Sidecar", "XMP附属文件", "XMP附屬檔案", "XMP 사이드카"}},
    {OptionText::XmpSidecarNote,
     {"(写真ファイル).xmp  写真ソフト用の位置", "(PhotoFile).xmp  Position For Photo Software",
      "(照片文件).xmp  供照片软件使用的位置", "(照片檔案).xmp  供照片軟體使用的位置",
      "(사진 파일).xmp  사진 프로그램용 위치"}},
    {OptionText::SidecarName, {"サイドカー名", "Sidecar Name", "附属文件名", "附屬檔案名稱", "사이드카 이름"}},
    {OptionText::SidecarNameFull,
     {"完全 (NAME.EXT.xmp)", "Full (NAME.EXT.xmp)", "完整 (NAME.EXT.xmp)", "完整 (NAME.EXT.xmp)",
      "전체 (NAME.EXT.xmp)"}},
    {OptionText::SidecarNameShort,
     {"短縮 (NAME.xmp)", "Short (NAME.xmp)", "简短 (NAME.xmp)", "簡短 (NAME.xmp)", "짧게 (NAME.xmp)"}},

    {OptionText::OffsetTitle, {"GPS位置オフセット", "GPS Position Offset", "GPS位置偏移", "GPS位置偏移", "GPS 위치 오프셋"}},
    {OptionText::Slider, {"スライダー", "slider", "滑块", "滑桿", "슬라이더"}},
    {OptionText::Seconds, {"秒", "sec", "秒", "秒", "초"}},
    {OptionText::Feet, {"フィート", "Feet", "英尺", "英尺", "피트"}},
    {OptionText::Reset, {"リセット", "Reset", "重置", "重設", "초기화"}},

    {OptionText::GroupLineTitle, {"グループ線", "Group Line", "分组线", "分組線", "그룹 선"}},
    {OptionText::PresetDefault, {"初期値", "default", "默认", "預設", "기본값"}},
    {OptionText::SpeedRangeTitle, {"速度範囲", "Speed Range ", "速度范围", "速度範圍", "속도 범위"}},
    {OptionText::From, {"から", "From", "从", "從", "부터"}},
    {OptionText::To, {"まで", "To", "到", "到", "까지"}},
    {OptionText::PresetRed, {"赤", "R", "红", "紅", "빨강"}},
    {OptionText::PresetGreen, {"緑", "G", "绿", "綠", "초록"}},
    {OptionText::PresetBlue, {"青", "B", "蓝", "藍", "파랑"}},

    {OptionText::CheckCaption, {"確認", "Check", "确认", "確認", "확인"}},
    {OptionText::CancelNotice, {"キャンセルしました", "Cancel", "已取消", "已取消", "취소했습니다"}},
    {OptionText::ItemsCancelNotice, {"キャンセルしました...", "Cancel...", "已取消...", "已取消...", "취소했습니다..."}},
};

// Every id has its row, in the order of the enumeration.
constexpr bool RowsInOrder() {
    for (size_t i = 0; i < std::size(kTexts); ++i) {
        if (static_cast<size_t>(kTexts[i].id) != i) return false;
    }
    return std::size(kTexts) == static_cast<size_t>(OptionText::Count);
}
static_assert(RowsInOrder(), "one text row per OptionText, in order");

}  // namespace

const char* OptionDialogText(OptionText id, int language) {
    if (language < 0 || language >= kLanguageCount) language = kEnglish;
    return kTexts[static_cast<size_t>(id)].text[static_cast<size_t>(language)];
}

}  // namespace geoplait::ui
