// One table of rows tying controls to fields of the settings: the main
// window's panels and the option dialogs fill it as they build their
// controls, then show a settings instance in every control at once and
// collect every control back into one. Showing blocks each control's signals,
// so the rules that react to a user's change do not run while the window
// shows settings it loaded.
#pragma once

#include <QDate>
#include <QTime>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "settings/convert_settings.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QTimeEdit;
class QWidget;

namespace geoplait::ui {

class SettingBinder {
public:
    using Flag = int ConvertSettings::*;
    using Text = std::string ConvertSettings::*;
    // How a field's text becomes a picker's value; an invalid value leaves the picker as it is.
    using DateOf = QDate (*)(const std::string& text);
    using TimeOf = QTime (*)(const std::string& text);

    // A check box holds 1 or 0.
    void Check(QCheckBox* box, Flag field);
    // An edit holds at most `chars` characters of its text.
    void Edit(QLineEdit* edit, Text field, size_t chars);
    // A combo shows its field when it is one of its items, else nothing; a
    // combo showing nothing leaves its field as it was.
    void Combo(QComboBox* combo, Text field);
    // Pickers hold their value as text in `format`.
    void Date(QDateEdit* picker, Text field, const char* format, DateOf parse);
    void Time(QTimeEdit* picker, Text field, const char* format, TimeOf parse);
    // A control whose field goes through a table of its own.
    void Custom(QWidget* control, std::function<void(const ConvertSettings&)> show,
                std::function<void(ConvertSettings&)> collect);

    void Show(const ConvertSettings& s) const;
    void Collect(ConvertSettings& s) const;

    // The field a check box holds; nullptr for a box of no row.
    Flag FlagOf(const QCheckBox* box) const;
    // Every bound check box, in the order of the rows.
    std::vector<QCheckBox*> CheckBoxes() const;

private:
    struct CheckRow {
        QCheckBox* box;
        Flag field;
    };
    struct EditRow {
        QLineEdit* edit;
        Text field;
        size_t chars;
    };
    struct ComboRow {
        QComboBox* combo;
        Text field;
    };
    struct DateRow {
        QDateEdit* picker;
        Text field;
        const char* format;
        DateOf parse;
    };
    struct TimeRow {
        QTimeEdit* picker;
        Text field;
        const char* format;
        TimeOf parse;
    };
    struct CustomRow {
        QWidget* control;
        std::function<void(const ConvertSettings&)> show;
        std::function<void(ConvertSettings&)> collect;
    };
    std::vector<CheckRow> checks_;
    std::vector<EditRow> edits_;
    std::vector<ComboRow> combos_;
    std::vector<DateRow> dates_;
    std::vector<TimeRow> times_;
    std::vector<CustomRow> customs_;
};

// A picker text's fields by position: characters 1-4, 6-7, 9-10 of a date
// and 1-2, 4-5, 7-8 of a time, whatever separates them.
QDate DateAtPositions(const std::string& text);
QTime TimeAtPositions(const std::string& text);
// A picker text in exactly "yyyy/MM/dd" or "HH:mm:ss".
QDate DateInFormat(const std::string& text);
QTime TimeInFormat(const std::string& text);
inline constexpr const char* kPickerDateFormat = "yyyy/MM/dd";
inline constexpr const char* kPickerTimeFormat = "HH:mm:ss";

}  // namespace geoplait::ui
