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
}};

}  // namespace

QString PhraseText(Phrase phrase, int language) {
    const int column = language >= 0 && language < kLanguageCount ? language : kEnglish;
    return QString::fromUtf8(kPhrases[static_cast<size_t>(phrase)][static_cast<size_t>(column)]);
}

}  // namespace geoplait::ui
