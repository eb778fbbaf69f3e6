// The option dialogs the main window opens. Each is modal over `parent`, edits
// a copy of settings.current and stores the copy back only on OK, so that
// Cancel, Esc or the close box never change a setting. True on OK.
#pragma once

class QWidget;

namespace geoplait {
struct Settings;
}

namespace geoplait::ui {

// The CSV Custom input and output layouts, in the language of settings.current.Language.
bool ExecInputItemDialog(QWidget* parent, Settings& settings);
bool ExecOutputItemDialog(QWidget* parent, Settings& settings);

// Photo options, position offset, line groups and speed ranges, in the same language.
bool ExecPhotoDialog(QWidget* parent, Settings& settings);
bool ExecOffsetDialog(QWidget* parent, Settings& settings);
bool ExecGroupLineDialog(QWidget* parent, Settings& settings);
bool ExecSpeedRangeDialog(QWidget* parent, Settings& settings);

}  // namespace geoplait::ui
