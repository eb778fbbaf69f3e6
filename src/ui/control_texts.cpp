#include "ui/control_texts.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <string_view>

#include "ui/languages.h"
#include "ui/main_window.h"

namespace geoplait::ui {

namespace {

using Row = std::array<const char*, kLanguageCount>;

struct ControlText {
    const char* name;  // object name
    char mnemonic;     // the Alt+letter, 0 for none
    Row text;          // Japanese, English, Simplified Chinese, Traditional Chinese, Korean
};

// Shown texts. The English column is the text the control is made with.
constexpr ControlText kControlTexts[] = {
    {"inputSearch", 'R', {"参照", "Search", "浏览", "瀏覽", "찾기"}},
    {"outputSearch", 'H', {"参照", "Search", "浏览", "瀏覽", "찾기"}},
    {"photoSearch", 'A', {"参照", "Search", "浏览", "瀏覽", "찾기"}},
    {"load", 'L', {"読込", "Load", "读取", "讀取", "불러오기"}},
    {"save", 'S', {" 保存", " Save", " 保存", " 儲存", " 저장"}},
    {"autoLoad", 0, {"自動", "Auto.", "自动", "自動", "자동"}},
    {"autoSave", 0, {"自動", "Auto.", "自动", "自動", "자동"}},
    {"default", 'D', {"初期値", "Default", "默认", "預設", "기본값"}},
    {"preview", 'P', {"プレビュー", "Preview", "预览", "預覽", "미리보기"}},
    {"openOutput", 'O', {"開く", "Open", "打开", "開啟", "열기"}},
    {"showFolder", 'F', {"フォルダ", "Folder", "文件夹", "資料夾", "폴더"}},
    {"set", 0, {"設定", "Set", "设定", "設定", "설정"}},
    {"positionOffset", 0, {"位置オフセット", "Position Offset", "位置偏移", "位置偏移", "위치 오프셋"}},
    {"photoConfig", 0, {"写真設定", "Photo Config", "照片设定", "照片設定", "사진 설정"}},
    {"group", 0, {"グループ", "Group", "分组", "分組", "그룹"}},
    {"speed", 0, {"速度", "Speed", "速度", "速度", "속도"}},
    {"errorOmit", 0, {"エラーデータ\n    除外", "ErrorData\n    Omit", "错误数据\n    除外", "錯誤資料\n    除外",
                      "오류 데이터\n    제외"}},
    {"kmz", 0, {"kmzファイル追加", "Adds kmz File", "添加kmz文件", "添加kmz檔案", "kmz 파일 추가"}},
    {"timeStampPath", 0, {"パス", "Path", "路径", "路徑", "경로"}},
    {"timeStampPosition", 0, {"位置", "Position", "位置", "位置", "위치"}},
    {"dateFilter", 0, {"日付/時刻", "Date/Time", "日期/时间", "日期/時間", "날짜/시각"}},
    {"fileSplit", 0, {"出力ファイル分割", "Split OutFile", "分割输出文件", "分割輸出檔案", "출력 파일 분할"}},
    {"speedGroup", 0, {"速度グループ", "SpeedGroup", "速度分组", "速度分組", "속도 그룹"}},
    {"timeDiffLabel", 0, {"時差", "Time Diff", "时差", "時差", "시차"}},
    {"languageLabel", 0, {"言語", "Language", "语言", "語言", "언어"}},
    {"photoHint", 0, {"<- 写真設定 [CreateDirectory] をチェック", "<- Photo Config [CreateDirectory] Check.",
                      "<- 照片设定 [CreateDirectory] 请勾选", "<- 照片設定 [CreateDirectory] 請勾選",
                      "<- 사진 설정 [CreateDirectory] 체크"}},
    {"altitudeBox", 0, {"*高度", "*Altitude", "*高度", "*高度", "*고도"}},
    {"timeStampBox", 0, {"*タイムスタンプ", "*TimeStamp", "*时间戳", "*時間戳記", "*타임스탬프"}},
};

struct ControlName {
    const char* name;  // object name
    Row text;
};

// Names of controls whose caption does not name them (or that have none).
constexpr ControlName kControlNames[] = {
    {"units", {"単位", "Units", "单位", "單位", "단위"}},
    {"inputSearch", {"入力ファイルの参照", "Search input file", "浏览输入文件", "瀏覽輸入檔案", "입력 파일 찾기"}},
    {"outputSearch", {"出力ファイルの参照", "Search output file", "浏览输出文件", "瀏覽輸出檔案", "출력 파일 찾기"}},
    {"photoSearch", {"写真フォルダの参照", "Search photo folder", "浏览照片文件夹", "瀏覽照片資料夾", "사진 폴더 찾기"}},
    {"errorOmit", {"エラーデータ除外", "ErrorData Omit", "错误数据除外", "錯誤資料除外", "오류 데이터 제외"}},
    {"autoLoad", {"自動読込", "Auto. Load", "自动读取", "自動讀取", "자동 불러오기"}},
    {"autoSave", {"自動保存", "Auto. Save", "自动保存", "自動儲存", "자동 저장"}},
    {"theme1", {"背景色テーマ 1", "BG colour theme 1", "背景色主题 1", "背景色主題 1", "배경색 테마 1"}},
    {"theme2", {"背景色テーマ 2", "BG colour theme 2", "背景色主题 2", "背景色主題 2", "배경색 테마 2"}},
    {"theme3", {"背景色テーマ 3", "BG colour theme 3", "背景色主题 3", "背景色主題 3", "배경색 테마 3"}},
    {"startDate", {"開始日", "Start date", "开始日期", "開始日期", "시작 날짜"}},
    {"startTime", {"開始時刻", "Start time", "开始时间", "開始時間", "시작 시각"}},
    {"endDate", {"終了日", "End date", "结束日期", "結束日期", "종료 날짜"}},
    {"endTime", {"終了時刻", "End time", "结束时间", "結束時間", "종료 시각"}},
    {"vLineSwatch", {"垂直線の色", "Vertical-line colour", "垂直线颜色", "垂直線顏色", "수직선 색"}},
    {"trackSwatch", {"トラックの色", "Track colour", "轨迹颜色", "軌跡顏色", "트랙 색"}},
    {"posTypeCombo", {"ポジションの種類", "Placemark type", "位置标记种类", "位置標記種類", "위치 마크 종류"}},
    {"posDistanceEdit", {"ポジションの距離", "Placemark distance", "位置标记距离", "位置標記距離", "위치 마크 거리"}},
    {"iconUrlEdit", {"アイコンURLアドレス", "Icon URL address", "图标URL地址", "圖示URL位址", "아이콘 URL 주소"}},
    {"progress", {"進行状況", "Progress", "进度", "進度", "진행 상황"}},
};

// What a screen reader adds after a control's name: what it does.
constexpr ControlName kControlDescriptions[] = {
    {"f", {"入力ファイル名で出力", "Output named after the input file", "以输入文件名输出", "以輸入檔名輸出",
           "입력 파일 이름으로 출력"}},
    {"d", {"入力ファイルのフォルダに出力", "Output into the input file's folder", "输出到输入文件的文件夹",
           "輸出到輸入檔案的資料夾", "입력 파일의 폴더에 출력"}},
    {"dir", {"選んだフォルダに日付の名前で出力", "Output named after the date in a chosen folder",
             "以日期命名输出到所选文件夹", "以日期命名輸出到所選資料夾", "선택한 폴더에 날짜 이름으로 출력"}},
    {"preview", {"入力のトラックをKMLの色で描きます", "Draws the input track as the KML will colour it",
                 "按KML的颜色绘制输入轨迹", "按KML的顏色繪製輸入軌跡", "입력 트랙을 KML 색으로 그립니다"}},
    {"openOutput", {"出力をデスクトップのアプリケーションで開きます", "Opens the output with the desktop's application",
                    "用桌面的应用程序打开输出", "用桌面的應用程式開啟輸出", "출력을 데스크톱 프로그램으로 엽니다"}},
    {"showFolder", {"出力のフォルダを表示します", "Shows the output's folder", "显示输出的文件夹", "顯示輸出的資料夾",
                    "출력 폴더를 표시합니다"}},
    {"message", {"メッセージ", "Message", "消息", "訊息", "메시지"}},
    {"status", {"状態", "Status", "状态", "狀態", "상태"}},
    {"set", {"出力ファイルから取った名前", "Name taken from the output file", "取自输出文件的名称", "取自輸出檔案的名稱",
             "출력 파일에서 가져온 이름"}},
};

void SetShownText(QWidget* widget, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        box->setTitle(text);
    }
}

QString Plain(const QString& text) {
    QString plain = WithoutMnemonic(text).simplified();
    if (plain.startsWith(QLatin1Char('*'))) plain.remove(0, 1);
    return plain.trimmed();
}

// The group a control sits in, by its title or, untitled, by the switch or
// caption it opens with.
QString GroupNameOf(const QWidget* control) {
    for (const QWidget* up = control->parentWidget(); up != nullptr; up = up->parentWidget()) {
        const auto* box = qobject_cast<const QGroupBox*>(up);
        if (box == nullptr || box->property(kUnnamedGroup).toBool()) continue;
        if (!box->title().isEmpty()) return Plain(box->title());
        for (const QObject* child : box->children()) {
            if (const auto* button = qobject_cast<const QAbstractButton*>(child); button != nullptr) {
                return Plain(button->text());
            }
            if (const auto* label = qobject_cast<const QLabel*>(child); label != nullptr && !label->text().isEmpty()) {
                return Plain(label->text());
            }
        }
    }
    return {};
}

}  // namespace

QString WithoutMnemonic(QString text) {
    static const QRegularExpression kTrailing(QStringLiteral("\\(&.\\)$"));
    text.remove(kTrailing);
    text.remove(QLatin1Char('&'));
    return text;
}

QString ControlCaption(const char* name, int language) {
    if (language < 0 || language >= kLanguageCount) language = kEnglish;
    for (const ControlText& row : kControlTexts) {
        if (std::string_view(row.name) == name) return QString::fromUtf8(row.text[static_cast<size_t>(language)]);
    }
    return {};
}

void ApplyControlTexts(QWidget* root, int language) {
    if (language < 0 || language >= kLanguageCount) return;
    for (const ControlText& row : kControlTexts) {
        QWidget* widget = root->findChild<QWidget*>(QLatin1String(row.name));
        if (widget == nullptr) continue;
        QString text = QString::fromUtf8(row.text[static_cast<size_t>(language)]);
        if (row.mnemonic != 0) text = WithMnemonic(text, QLatin1Char(row.mnemonic));
        SetShownText(widget, text);
    }
    for (const ControlName& row : kControlDescriptions) {
        if (QWidget* widget = root->findChild<QWidget*>(QLatin1String(row.name))) {
            widget->setAccessibleDescription(QString::fromUtf8(row.text[static_cast<size_t>(language)]));
        }
    }
}

void NameControls(QWidget* root, const std::vector<QWidget*>& controls, int language) {
    if (language < 0 || language >= kLanguageCount) return;
    QHash<const QWidget*, QLabel*> captions;
    for (QLabel* label : root->findChildren<QLabel*>()) {
        if (label->buddy() != nullptr) captions.insert(label->buddy(), label);
    }
    std::vector<QWidget*> named = controls;
    for (const ControlName& row : kControlNames) {
        QWidget* widget = root->findChild<QWidget*>(QLatin1String(row.name));
        if (widget != nullptr && std::find(named.begin(), named.end(), widget) == named.end()) named.push_back(widget);
    }
    std::vector<QString> names(named.size());
    QHash<QString, int> uses;
    for (size_t i = 0; i < named.size(); ++i) {
        const QWidget* widget = named[i];
        QString name;
        for (const ControlName& row : kControlNames) {
            if (widget->objectName() == QLatin1String(row.name)) name = QString::fromUtf8(row.text[static_cast<size_t>(language)]);
        }
        if (name.isEmpty()) {
            if (const QLabel* caption = captions.value(widget); caption != nullptr && caption->isVisibleTo(root)) {
                name = Plain(caption->text());
            } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
                name = Plain(button->text());
            } else if (caption != nullptr) {
                name = Plain(caption->text());
            }
        }
        names[i] = name;
        if (!name.isEmpty()) ++uses[name];
    }
    for (size_t i = 0; i < named.size(); ++i) {
        if (names[i].isEmpty()) continue;
        QString name = names[i];
        if (uses.value(name) > 1) {
            const QString group = GroupNameOf(named[i]);
            if (!group.isEmpty() && group != name) name = group + QStringLiteral(": ") + name;
        }
        named[i]->setAccessibleName(name);
        // Qt announces a combo by its buddy: a hidden caption says the same.
        if (QLabel* caption = captions.value(named[i]); caption != nullptr && !caption->isVisibleTo(root)) {
            caption->setText(name);
        }
    }
}

}  // namespace geoplait::ui
