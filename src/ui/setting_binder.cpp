#include "ui/setting_binder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimeEdit>

#include "settings/settings_keys.h"

namespace geoplait::ui {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

std::string Cut(const QString& text, size_t chars) {
    std::string value = text.toStdString();
    CutToChars(value, chars);
    return value;
}

}  // namespace

void SettingBinder::Check(QCheckBox* box, Flag field) { checks_.push_back({box, field}); }

void SettingBinder::Edit(QLineEdit* edit, Text field, size_t chars) { edits_.push_back({edit, field, chars}); }

void SettingBinder::Combo(QComboBox* combo, Text field) { combos_.push_back({combo, field}); }

void SettingBinder::Date(QDateEdit* picker, Text field, const char* format, DateOf parse) {
    dates_.push_back({picker, field, format, parse});
}

void SettingBinder::Time(QTimeEdit* picker, Text field, const char* format, TimeOf parse) {
    times_.push_back({picker, field, format, parse});
}

void SettingBinder::Custom(QWidget* control, std::function<void(const ConvertSettings&)> show,
                           std::function<void(ConvertSettings&)> collect) {
    customs_.push_back({control, std::move(show), std::move(collect)});
}

void SettingBinder::Show(const ConvertSettings& s) const {
    for (const CheckRow& row : checks_) {
        const QSignalBlocker quiet(row.box);
        row.box->setChecked(s.*row.field != 0);
    }
    for (const EditRow& row : edits_) {
        const QSignalBlocker quiet(row.edit);
        row.edit->setText(Q(s.*row.field));
    }
    for (const ComboRow& row : combos_) {
        const QSignalBlocker quiet(row.combo);
        row.combo->setCurrentIndex(row.combo->findText(Q(s.*row.field), Qt::MatchExactly | Qt::MatchCaseSensitive));
    }
    for (const DateRow& row : dates_) {
        const QSignalBlocker quiet(row.picker);
        if (const QDate date = row.parse(s.*row.field); date.isValid()) row.picker->setDate(date);
    }
    for (const TimeRow& row : times_) {
        const QSignalBlocker quiet(row.picker);
        if (const QTime time = row.parse(s.*row.field); time.isValid()) row.picker->setTime(time);
    }
    for (const CustomRow& row : customs_) {
        const QSignalBlocker quiet(row.control);
        row.show(s);
    }
}

void SettingBinder::Collect(ConvertSettings& s) const {
    for (const CheckRow& row : checks_) s.*row.field = row.box->isChecked() ? 1 : 0;
    for (const EditRow& row : edits_) s.*row.field = Cut(row.edit->text(), row.chars);
    for (const ComboRow& row : combos_) {
        if (row.combo->currentIndex() >= 0) s.*row.field = Cut(row.combo->currentText(), kTextChars);
    }
    for (const DateRow& row : dates_) s.*row.field = row.picker->date().toString(row.format).toStdString();
    for (const TimeRow& row : times_) s.*row.field = row.picker->time().toString(row.format).toStdString();
    for (const CustomRow& row : customs_) row.collect(s);
}

SettingBinder::Flag SettingBinder::FlagOf(const QCheckBox* box) const {
    for (const CheckRow& row : checks_) {
        if (row.box == box) return row.field;
    }
    return nullptr;
}

std::vector<QCheckBox*> SettingBinder::CheckBoxes() const {
    std::vector<QCheckBox*> boxes;
    boxes.reserve(checks_.size());
    for (const CheckRow& row : checks_) boxes.push_back(row.box);
    return boxes;
}

QDate DateAtPositions(const std::string& text) {
    const QString t = Q(text);
    return QDate(t.mid(0, 4).toInt(), t.mid(5, 2).toInt(), t.mid(8, 2).toInt());
}

QTime TimeAtPositions(const std::string& text) {
    const QString t = Q(text);
    return QTime(t.mid(0, 2).toInt(), t.mid(3, 2).toInt(), t.mid(6, 2).toInt());
}

QDate DateInFormat(const std::string& text) { return QDate::fromString(Q(text), QLatin1String(kPickerDateFormat)); }

QTime TimeInFormat(const std::string& text) { return QTime::fromString(Q(text), QLatin1String(kPickerTimeFormat)); }

}  // namespace geoplait::ui
