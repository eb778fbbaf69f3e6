// The texts of the window that the control table does not hold: questions,
// messages, the preview pane, and the names a screen reader gives controls
// without a caption, in the five interface languages.
#pragma once

#include <QString>

namespace geoplait::ui {

enum class Phrase : int {
    DefaultQuestion,   // asked before Default resets every setting
    DefaultCaption,
    OpenFailed,        // %1: the path the desktop could not open
    OpenCaption,
    Count,
};
inline constexpr int kPhraseCount = static_cast<int>(Phrase::Count);

// The text of `phrase` in `language` (an index into kLanguageNames); English
// for a language outside the list.
QString PhraseText(Phrase phrase, int language);

}  // namespace geoplait::ui
