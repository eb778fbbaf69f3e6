// A greyed control looks disabled but still takes typing (the main window's
// dependent edits and pickers, the photo dialog's URL edit). Assistive
// technology learns what the eye sees: while a control's "greyed" property
// is set, its accessible state says disabled, although Qt, which sees an
// enabled widget, would say enabled.
#pragma once

class QWidget;

namespace geoplait::ui {

// Puts the greyed state into the accessible interfaces of edits, spin boxes
// (the date and time pickers) and combos. Once per application; further calls
// do nothing.
void InstallGreyedAccess();

// Sets `control`'s "greyed" property and tells assistive technology that its
// disabled state changed. False when it already was as asked.
bool MarkGreyed(QWidget* control, bool greyed);

}  // namespace geoplait::ui
