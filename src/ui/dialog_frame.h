// What every settings dialog shares: it edits a copy of the current settings,
// has OK and Cancel, and only OK hands the copy back. Small helpers for texts,
// colour swatches and greyed edits live here too.
#pragma once

#include <QDialog>
#include <QString>
#include <string>

#include "settings/convert_settings.h"
#include "ui/option_dialog_texts.h"

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QMessageBox;
class QWidget;

namespace geoplait::ui {

class SettingsDialog : public QDialog {
public:
    SettingsDialog(QWidget* parent, const Settings& settings);

    // The edited copy; what OK stores into settings.current.
    const ConvertSettings& Edited() const { return edited_; }
    // True when the dialog was left with its Cancel button rather than Esc or the close box.
    bool LeftByCancelButton() const { return leftByCancel_; }
    // The interface language of settings.current as the dialog opened: an
    // index into kLanguageNames, English for a name outside the list.
    int Language() const { return language_; }
    // A text of the option dialogs' table in that language.
    QString Text(OptionText id) const;

protected:
    // Enter on a focused push button presses it, as Space does.
    void keyPressEvent(QKeyEvent* event) override;
    // Opens with the keyboard on the first control, not on OK.
    void showEvent(QShowEvent* event) override;
    // OK (the default button) and Cancel, in the dialog's language; OK runs
    // accept(), which each dialog overrides to read its controls into edited_ first.
    QDialogButtonBox* MakeOkCancel();

    const Settings& settings_;
    ConvertSettings edited_;

private:
    int language_;
    bool leftByCancel_ = false;
};

// What a dialog left with Esc or the close box says afterwards, titled
// "Check": nothing, "Cancel" or "Cancel...".
enum class EscNotice { None, Cancelled, ItemsCancelled };

// Runs the dialog modally and stores its copy into settings.current on OK.
// Left with Esc or the close box, it then shows `notice` in the dialog's
// language. True on OK.
bool RunSettingsDialog(SettingsDialog& dialog, Settings& settings, EscNotice notice);

// Labels the standard buttons (OK, Cancel, Yes, No, Close) in `language` from
// our tables, so that no Qt translation file is needed; a button the table
// does not name keeps its text.
void LabelStandardButtons(QDialogButtonBox& buttons, int language);
void LabelStandardButtons(QMessageBox& box, int language);

inline QString Qs(const std::string& text) { return QString::fromStdString(text); }
inline std::string Ss(const QString& text) { return text.toStdString(); }
// A control's text as stored in a text field: at most 63 characters.
std::string FieldText(const QString& text);

// "%1.2f" without the locale.
QString Fixed2(double value);

// Fills a swatch with a "BBGGRR" colour; its tool tip names the colour.
void PaintSwatch(QWidget* swatch, const std::string& bbggrr);

// A greyed edit looks disabled but still accepts typing; assistive technology
// is told it is disabled and, in `language`, unavailable.
void SetGreyed(QLineEdit* edit, bool greyed, int language);

// A control without a label of its own (a cell of a table of rows) is named
// after its row and column, so that a screen reader can tell it; a combo box
// also gets a hidden label as its buddy (what Qt announces a combo by on Linux).
void NameControl(QWidget* widget, const QString& row, const QString& column);

// A label for `control` that is never shown: its buddy relation names the
// control to assistive technology where the window shows no caption. An
// editable combo's inner edit gets the same name. Call it once the control
// sits in its final parent.
QLabel* AddHiddenBuddy(QWidget* control, const QString& name);

// Presses the push button that has the focus in `window` when the key is
// Enter or Return; false when the key is something else or no button has it.
bool PressFocusedButton(QWidget* window, class QKeyEvent* event);

}  // namespace geoplait::ui
