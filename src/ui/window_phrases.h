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
    PreviewTitle,
    PreviewClose,
    PreviewReading,
    PreviewRecords,      // %1: records drawn
    PreviewNoInput,
    PreviewNoPositions,
    PreviewCancelled,
    PreviewImageName,
    PreviewProgressName,
    // %1 points, %2 km, %3 and %4 the first and last time, %5 to %6 the
    // latitudes, %7 to %8 the longitudes (west to east)
    PreviewDescription,
    NoTime,              // a record without a time, in the description
    NotInUse,            // said of a greyed control, which still takes typing
    StopRunQuestion,     // closing the window during a run
    StopRunCaption,
    // The standard buttons of message boxes and dialogs, which Qt would
    // otherwise label in English.
    ButtonOk,
    ButtonCancel,
    ButtonYes,
    ButtonNo,
    ButtonClose,
    Count,
};
inline constexpr int kPhraseCount = static_cast<int>(Phrase::Count);

// The text of `phrase` in `language` (an index into kLanguageNames); English
// for a language outside the list.
QString PhraseText(Phrase phrase, int language);

}  // namespace geoplait::ui
