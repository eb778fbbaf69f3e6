// What the main window's panels build into: the keyboard order, the controls
// whose texts the language tables set, the widgets each part of the per-mode
// layout shows and hides, and the one binder of controls to settings. The
// makers name every control and add it to the keyboard order as it is made,
// so the order of building is the order of reading.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "settings/convert_settings.h"
#include "ui/languages.h"
#include "ui/setting_binder.h"
#include "ui/window_tables.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace geoplait::ui {

class WindowParts {
public:
    explicit WindowParts(const ConfigSettings& config) : config_(config) {}

    template <typename T>
    T* Focusable(T* widget, const char* name) {
        widget->setObjectName(name);
        focusOrder_.push_back(widget);
        return widget;
    }
    QPushButton* MakeButton(QWidget* owner, const char* text, const char* name);
    QLineEdit* MakeEdit(QWidget* owner, const char* name, int chars);
    QComboBox* MakeCombo(QWidget* owner, const char* name);
    QCheckBox* MakeCheck(QWidget* owner, const char* text, const char* name);
    QLabel* MakeLabel(QWidget* owner, const char* text, QWidget* buddy);
    // A check box or label whose text the language tables set.
    QCheckBox* AddCheck(QWidget* owner, TextRow row, const char* english, const char* name);
    QLabel* AddLabel(QWidget* owner, TextRow row, const char* english, QWidget* buddy);
    void SetTextTarget(TextRow row, QWidget* widget) { textTargets_[static_cast<size_t>(row)] = widget; }
    // Widgets the layout bit `part` shows and hides.
    void AddToPart(uint64_t part, std::initializer_list<QWidget*> widgets);
    void AddToBit(int bit, QWidget* widget) { layoutParts_[static_cast<size_t>(bit)].push_back(widget); }

    // Edits on the edit colour, combos on the combo colour; a greyed control
    // shows the text colour of a disabled one while it still takes typing.
    void PaintControl(QWidget* control) const;
    void SetGreyed(QWidget* control, bool greyed) const;

    SettingBinder& binder() { return binder_; }
    const SettingBinder& binder() const { return binder_; }
    const std::vector<QWidget*>& focusOrder() const { return focusOrder_; }
    QWidget* TextTarget(TextRow row) const { return textTargets_[static_cast<size_t>(row)]; }
    const std::vector<QWidget*>& LayoutPart(int bit) const { return layoutParts_[static_cast<size_t>(bit)]; }

private:
    const ConfigSettings& config_;
    SettingBinder binder_;
    std::vector<QWidget*> focusOrder_;
    std::array<QWidget*, kTextRowCount> textTargets_{};
    std::array<std::vector<QWidget*>, kLayoutPartCount> layoutParts_;
};

// A flat button draws no focus of its own in every style: it gets a frame
// while it has the keyboard.
void ShowFocusOnFlatButton(QPushButton* button);

// A colour button filled with its "BBGGRR" colour, its text readable on it.
void PaintColourButton(QPushButton* button, const std::string& bbggrr);

// Opens the colour chooser at `start`, its OK and Cancel in `language`; on OK stores the colour as "BBGGRR"
// into `field` and makes it the chooser's next start. False when cancelled.
bool ChooseColourInto(QWidget* parent, Rgb& start, std::string& field, int language);

inline QString Qt8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace geoplait::ui
