#include "ui/window_parts.h"

#include <QApplication>
#include <QColorDialog>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>

#include "ui/dialog_frame.h"
#include "ui/greyed_access.h"

namespace geoplait::ui {

QPushButton* WindowParts::MakeButton(QWidget* owner, const char* text, const char* name) {
    return Focusable(new QPushButton(text, owner), name);
}

QLineEdit* WindowParts::MakeEdit(QWidget* owner, const char* name, int chars) {
    auto* edit = Focusable(new QLineEdit(owner), name);
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * chars);
    return edit;
}

QComboBox* WindowParts::MakeCombo(QWidget* owner, const char* name) {
    auto* combo = Focusable(new QComboBox(owner), name);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return combo;
}

QCheckBox* WindowParts::MakeCheck(QWidget* owner, const char* text, const char* name) {
    return Focusable(new QCheckBox(text, owner), name);
}

QLabel* WindowParts::MakeLabel(QWidget* owner, const char* text, QWidget* buddy) {
    auto* label = new QLabel(text, owner);
    if (buddy != nullptr) label->setBuddy(buddy);
    return label;
}

QCheckBox* WindowParts::AddCheck(QWidget* owner, TextRow row, const char* english, const char* name) {
    QCheckBox* box = MakeCheck(owner, english, name);
    SetTextTarget(row, box);
    return box;
}

QLabel* WindowParts::AddLabel(QWidget* owner, TextRow row, const char* english, QWidget* buddy) {
    QLabel* label = MakeLabel(owner, english, buddy);
    SetTextTarget(row, label);
    return label;
}

void WindowParts::AddToPart(uint64_t part, std::initializer_list<QWidget*> widgets) {
    for (int bit = 0; bit < kLayoutPartCount; ++bit) {
        if (part != (1ull << bit)) continue;
        for (QWidget* widget : widgets) AddToBit(bit, widget);
    }
}

void WindowParts::PaintControl(QWidget* control) const {
    const bool combo = qobject_cast<QComboBox*>(control) != nullptr;
    const Rgb rgb = combo ? config_.ComboColor : config_.EditColor;
    const QColor base(rgb.R, rgb.G, rgb.B);
    const QPalette standard = QApplication::palette(control);
    QPalette p = control->palette();
    p.setColor(QPalette::Base, base);
    if (combo) p.setColor(QPalette::Button, base);
    const bool greyed = control->property("greyed").toBool();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        for (QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText}) {
            p.setColor(group, role, standard.color(greyed ? QPalette::Disabled : group, role));
        }
    }
    control->setPalette(p);
}

void WindowParts::SetGreyed(QWidget* control, bool greyed) const {
    control->setEnabled(true);
    if (!MarkGreyed(control, greyed) && control->property("painted").toBool()) return;
    control->setProperty("painted", true);
    PaintControl(control);
}

bool ChooseColourInto(QWidget* parent, Rgb& start, std::string& field, int language) {
    QColorDialog chooser(QColor(start.R, start.G, start.B), parent);
    if (auto* buttons = chooser.findChild<QDialogButtonBox*>()) LabelStandardButtons(*buttons, language);
    if (chooser.exec() != QDialog::Accepted) return false;
    const QColor colour = chooser.selectedColor();
    if (!colour.isValid()) return false;
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02X%02X%02X", colour.blue() & 0xFF, colour.green() & 0xFF,
                  colour.red() & 0xFF);
    field = hex;
    start = {colour.red(), colour.green(), colour.blue()};
    return true;
}

void ShowFocusOnFlatButton(QPushButton* button) {
    button->setStyleSheet(QStringLiteral("QPushButton:focus { border: 2px solid palette(highlight); border-radius: 2px; }"));
}

void PaintColourButton(QPushButton* button, const std::string& bbggrr) {
    const Rgb rgb = RgbOfHexColor(bbggrr);
    const QColor colour(rgb.R, rgb.G, rgb.B);
    const QColor text = colour.lightness() < 128 ? Qt::white : Qt::black;
    // With the keyboard on it, a thick dashed frame in its text colour, which shows on any fill.
    button->setStyleSheet(QString("QPushButton { background-color: %1; color: %2; border: 1px solid gray;"
                                  " padding: 3px 8px; } QPushButton:disabled { color: gray; }"
                                  " QPushButton:focus { border: 3px dashed %2; padding: 1px 6px; }")
                              .arg(colour.name(), text.name()));
    // Read out as the colour it shows, not as the stored blue-green-red text.
    button->setAccessibleDescription(colour.name().toUpper());
}

}  // namespace geoplait::ui
