// The CSV Custom item dialogs: which item of an input line holds which value
// (with previews from the input's first line), and which columns the CSV
// Custom output gets. Controls carry the name of the field they edit as their
// object name.
#pragma once

#include <QStringList>

#include <array>
#include <string>
#include <vector>

#include "ui/dialog_frame.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace geoplait::ui {

inline constexpr int kInputRowCount = 9;
inline constexpr int kOutputBoxCount = 27;

class InputItemDialog : public SettingsDialog {
public:
    InputItemDialog(QWidget* parent, const Settings& settings);
    void accept() override;

    // The preset buttons, "CsvFull" and "G-navi".
    void ApplyPreset(int preset);

private:
    struct Row {
        QCheckBox* check = nullptr;
        QComboBox* position = nullptr;
        QComboBox* type = nullptr;  // nullptr for rows without a data type
        QLineEdit* preview = nullptr;
        QLabel* sign = nullptr;  // "+/-" of a hemisphere row
    };
    void BuildRow(QGridLayout* grid, size_t row, const QStringList& positions);
    void SetRowOn(size_t row, bool on);
    void ShowPreview(size_t row);

    int language_ = 0;
    std::vector<std::string> items_;  // the items of the first input line; empty without one
    std::array<Row, kInputRowCount> rows_{};
};

class OutputItemDialog : public SettingsDialog {
public:
    OutputItemDialog(QWidget* parent, const Settings& settings);
    void accept() override;

private:
    // Checks the boxes `on` says, leaving the boxes this mode cannot fill unchecked.
    template <typename Predicate>
    void CheckBoxes(Predicate on);

    std::array<QCheckBox*, kOutputBoxCount> boxes_{};
};

}  // namespace geoplait::ui
