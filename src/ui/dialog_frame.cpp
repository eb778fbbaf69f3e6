// The settings dialogs' common frame and helpers.
#include "ui/dialog_frame.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QColor>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>

#include "settings/settings_keys.h"

namespace geoplait::ui {

SettingsDialog::SettingsDialog(QWidget* parent, const Settings& settings)
    : QDialog(parent), settings_(settings), edited_(settings.current) {
    setModal(true);
}

void SettingsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    for (QWidget* w = nextInFocusChain(); w != nullptr && w != this; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) == 0 || !w->isVisibleTo(this) || !w->isEnabled()) continue;
        if (qobject_cast<QDialogButtonBox*>(w->parentWidget()) != nullptr) continue;
        w->setFocus(Qt::TabFocusReason);
        return;
    }
}

QDialogButtonBox* SettingsDialog::MakeOkCancel() {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, [this] {
        leftByCancel_ = true;
        reject();
    });
    return buttons;
}

bool RunSettingsDialog(SettingsDialog& dialog, Settings& settings, const char* escNotice) {
    if (dialog.exec() == QDialog::Accepted) {
        settings.current = dialog.Edited();
        return true;
    }
    if (escNotice != nullptr && !dialog.LeftByCancelButton()) {
        QMessageBox notice(QMessageBox::NoIcon, QStringLiteral("Check"), QString::fromUtf8(escNotice),
                           QMessageBox::Ok, dialog.parentWidget());
        notice.exec();
    }
    return false;
}

std::string FieldText(const QString& text) {
    std::string field = Ss(text);
    CutToChars(field, kTextChars);
    return field;
}

QString Fixed2(double value) {
    std::string text;
    AppendFixed2(text, value);
    return Qs(text);
}

void PaintSwatch(QWidget* swatch, const std::string& bbggrr) {
    const Rgb rgb = RgbOfHexColor(bbggrr);
    const QColor colour(rgb.R, rgb.G, rgb.B);
    // A style sheet, because not every style paints a button's palette colour.
    swatch->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid palette(mid);")
                              .arg(colour.name()));
    // Named by the colour it shows ("#FF0000"), not by the stored blue-green-red text.
    swatch->setToolTip(colour.name().toUpper());
    swatch->setAccessibleDescription(colour.name().toUpper());
}

void SetGreyed(QLineEdit* edit, bool greyed) {
    QPalette palette = QApplication::palette(edit);
    if (greyed) {
        const QColor grey = palette.color(QPalette::Disabled, QPalette::Text);
        palette.setColor(QPalette::Active, QPalette::Text, grey);
        palette.setColor(QPalette::Inactive, QPalette::Text, grey);
    }
    edit->setPalette(palette);
}

void NameControl(QWidget* widget, const QString& row, const QString& column) {
    const QString name = row.trimmed() + QLatin1Char(' ') + column.trimmed();
    widget->setAccessibleName(name);
    if (qobject_cast<QComboBox*>(widget) != nullptr) AddHiddenBuddy(widget, name);
}

QLabel* AddHiddenBuddy(QWidget* control, const QString& name) {
    auto* label = new QLabel(name, control->parentWidget());
    label->setBuddy(control);
    label->setVisible(false);
    if (auto* combo = qobject_cast<QComboBox*>(control); combo != nullptr && combo->lineEdit() != nullptr) {
        combo->lineEdit()->setAccessibleName(name);
        auto* inner = new QLabel(name, combo);
        inner->setBuddy(combo->lineEdit());
        inner->setVisible(false);
    }
    return label;
}

bool PressFocusedButton(QWidget* window, QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
    auto* button = qobject_cast<QPushButton*>(window->focusWidget());
    if (button == nullptr || !button->isEnabled() || !button->isVisible()) return false;
    button->animateClick();
    return true;
}

void SettingsDialog::keyPressEvent(QKeyEvent* event) {
    if (!PressFocusedButton(this, event)) QDialog::keyPressEvent(event);
}

}  // namespace geoplait::ui
