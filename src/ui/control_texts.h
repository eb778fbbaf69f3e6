// The window's texts that are not rows of the main text table, by the
// object name of their control: buttons, check boxes, labels and group
// titles, and the names a screen reader gives controls without a caption;
// and the procedures that apply them in one of the five languages.
#pragma once

#include <QString>

#include <vector>

class QWidget;

namespace geoplait::ui {

// A group box with this property set frames controls without naming them
// (the file rows): their names are not joined to it.
inline constexpr const char* kUnnamedGroup = "unnamedGroup";

// Sets the shown texts of `root`'s named controls in `language` (an index
// into kLanguageNames), with their Alt+letter, and the descriptions of what
// the terse ones do.
void ApplyControlTexts(QWidget* root, int language);

// Names each of `controls` for assistive technology in `language`: a name
// of its own from the table, else its label's text, else its own text. A
// name used twice in the window is joined to the control's group, as
// "Split: Distance".
void NameControls(QWidget* root, const std::vector<QWidget*>& controls, int language);

// The shown text of the control named `name` in `language`, without its
// Alt+letter (the option dialogs reuse some); empty for a name the table lacks.
QString ControlCaption(const char* name, int language);

// "Sea&rch" and "参照(&R)" read as "Search" and "参照".
QString WithoutMnemonic(QString text);

}  // namespace geoplait::ui
