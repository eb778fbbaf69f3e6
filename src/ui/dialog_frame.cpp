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

#include <utility>

#include "settings/settings_keys.h"
#include "ui/greyed_access.h"
#include "ui/languages.h"
#include "ui/window_phrases.h"

namespace geoplait::ui {

namespace {

int DialogLanguage(const std::string& language) {
    const int index = LanguageIndex(language);
    return index >= 0 ? index : kEnglish;
}

// The standard buttons our tables label.
constexpr std::pair<int, Phrase> kStandardButtons[] = {{QDialogButtonBox::Ok, Phrase::ButtonOk},
                                                       {QDialogButtonBox::Cancel, Phrase::ButtonCancel},
                                                       {QDialogButtonBox::Yes, Phrase::ButtonYes},
                                                       {QDialogButtonBox::No, Phrase::ButtonNo},
                                                       {QDialogButtonBox::Close, Phrase::ButtonClose}};

}  // namespace

SettingsDialog::SettingsDialog(QWidget* parent, const Settings& settings)
    : QDialog(parent),
      settings_(settings),
      edited_(settings.current),
      language_(DialogLanguage(settings.current.Language)) {
    setModal(true);
    InstallGreyedAccess();
}

QString SettingsDialog::Text(OptionText id) const { return QString::fromUtf8(OptionDialogText(id, language_)); }

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
    LabelStandardButtons(*buttons, language_);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, [this] {
        leftByCancel_ = true;
        reject();
    });
    return buttons;
}

bool RunSettingsDialog(SettingsDialog& dialog, Settings& settings, EscNotice notice) {
    if (dialog.exec() == QDialog::Accepted) {
        settings.current = dialog.Edited();
        return true;
    }
    if (notice != EscNotice::None && !dialog.LeftByCancelButton()) {
        const OptionText text = notice == EscNotice::Cancelled ? OptionText::CancelNotice : OptionText::ItemsCancelNotice;
        QMessageBox box(QMessageBox::NoIcon, dialog.Text(OptionText::CheckCaption), dialog.Text(text), QMessageBox::Ok,
                        dialog.parentWidget());
        LabelStandardButtons(box, dialog.Language());
        box.exec();
    }
    return false;
}

void LabelStandardButtons(QDialogButtonBox& buttons, int language) {
    for (const auto& [which, phrase] : kStandardButtons) {
        if (QPushButton* button = buttons.button(static_cast<QDialogButtonBox::StandardButton>(which))) {
            button->setText(PhraseText(phrase, language));
        }
    }
}

void LabelStandardButtons(QMessageBox& box, int language) {
    // QMessageBox's standard buttons have the values of QDialogButtonBox's.
    for (const auto& [which, phrase] : kStandardButtons) {
        if (QAbstractButton* button = box.button(static_cast<QMessageBox::StandardButton>(which))) {
            button->setText(PhraseText(phrase, language));
        }
    }
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

void SetGreyed(QLineEdit* edit, bool greyed, int language) {
    QPalette palette = QApplication::palette(edit);
    if (greyed) {
        const QColor grey = palette.color(QPalette::Disabled, QPalette::Text);
        palette.setColor(QPalette::Active, QPalette::Text, grey);
        palette.setColor(QPalette::Inactive, QPalette::Text, grey);
    }
    edit->setPalette(palette);
    MarkGreyed(edit, greyed);
    edit->setAccessibleDescription(greyed ? PhraseText(Phrase::NotInUse, language) : QString());
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
