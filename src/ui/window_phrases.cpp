#include "ui/window_phrases.h"

#include <array>

#include "ui/languages.h"

namespace geoplait::ui {

namespace {

using Row = std::array<const char*, kLanguageCount>;

// Columns: Japanese, English, Simplified Chinese, Traditional Chinese, Korean.
constexpr std::array<Row, kPhraseCount> kPhrases = {{
    /* DefaultQuestion */ {"すべての設定を初期値に戻しますか？", "Reset every setting to its default?",
                           "将所有设定恢复为默认值吗？", "將所有設定恢復為預設值嗎？",
                           "모든 설정을 기본값으로 되돌리시겠습니까?"},
    /* DefaultCaption */ {"初期値", "Default", "默认", "預設", "기본값"},
    /* OpenFailed */ {"%1 を開くアプリケーションがありません。", "No application could open %1",
                      "没有可以打开 %1 的应用程序。", "沒有可以開啟 %1 的應用程式。",
                      "%1 을(를) 열 수 있는 프로그램이 없습니다."},
    /* OpenCaption */ {"開く", "Open", "打开", "開啟", "열기"},
    /* PreviewTitle */ {"プレビュー", "Preview", "预览", "預覽", "미리보기"},
    /* PreviewClose */ {"閉じる(&C)", "&Close", "关闭(&C)", "關閉(&C)", "닫기(&C)"},
    /* PreviewReading */ {" ***** 読み込み中 *****", " ***** Reading *****", " ***** 读取中 *****",
                         " ***** 讀取中 *****", " ***** 읽는 중 *****"},
    /* PreviewRecords */ {"%1 件", "%1 records", "%1 条记录", "%1 筆記錄", "%1 건"},
    /* PreviewNoInput */ {"入力なし", "No input", "无输入", "無輸入", "입력 없음"},
    /* PreviewNoPositions */ {"入力に位置がありません", "No positions in the input", "输入中没有位置",
                             "輸入中沒有位置", "입력에 위치가 없습니다"},
    /* PreviewCancelled */ {"中止しました", "Cancelled", "已取消", "已取消", "취소됨"},
    /* PreviewImageName */ {"トラックのプレビュー", "Track preview", "轨迹预览", "軌跡預覽", "트랙 미리보기"},
    /* PreviewProgressName */ {"プレビューの進行", "Preview progress", "预览进度", "預覽進度", "미리보기 진행"},
    /* PreviewDescription */ {"%1 点、%2 km、%3 ～ %4、緯度 %5 ～ %6、経度 %7 ～ %8",
                             "%1 points, %2 km, %3 to %4, latitude %5 to %6, longitude %7 to %8",
                             "%1 个点，%2 km，%3 至 %4，纬度 %5 至 %6，经度 %7 至 %8",
                             "%1 個點，%2 km，%3 至 %4，緯度 %5 至 %6，經度 %7 至 %8",
                             "%1개 지점, %2 km, %3 ~ %4, 위도 %5 ~ %6, 경도 %7 ~ %8"},
    /* NoTime */ {"時刻なし", "no time", "无时刻", "無時刻", "시각 없음"},
    /* NotInUse */ {"使用されません（無効）", "unavailable (not used with these settings)", "不可用（当前设定下不使用）",
                    "不可用（目前設定下不使用）", "사용 불가 (현재 설정에서 사용하지 않음)"},
    /* StopRunQuestion */ {"処理中です。変換を中止して閉じますか？", "Processing. Stop the conversion and close?",
                           "正在处理。要停止转换并关闭吗？", "正在處理。要停止轉換並關閉嗎？",
                           "처리 중입니다. 변환을 중지하고 닫으시겠습니까?"},
    /* StopRunCaption */ {"確認!", "Check!", "确认!", "確認!", "확인!"},
    /* ButtonOk */ {"OK", "OK", "确定", "確定", "확인"},
    /* ButtonCancel */ {"キャンセル", "Cancel", "取消", "取消", "취소"},
    /* ButtonYes */ {"はい", "Yes", "是", "是", "예"},
    /* ButtonNo */ {"いいえ", "No", "否", "否", "아니요"},
    /* ButtonClose */ {"閉じる", "Close", "关闭", "關閉", "닫기"},
}};

}  // namespace

QString PhraseText(Phrase phrase, int language) {
    const int column = language >= 0 && language < kLanguageCount ? language : kEnglish;
    return QString::fromUtf8(kPhrases[static_cast<size_t>(phrase)][static_cast<size_t>(column)]);
}

}  // namespace geoplait::ui
