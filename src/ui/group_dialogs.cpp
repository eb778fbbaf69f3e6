// The styles of the 12 line groups and the 12 speed ranges that pick a group
// by speed; both offer the colour presets.
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "settings/settings_keys.h"
#include "ui/control_texts.h"
#include "ui/dialogs.h"
#include "ui/item_dialog_texts.h"
#include "ui/languages.h"
#include "ui/option_dialogs.h"

namespace geoplait::ui {

namespace {

constexpr const char* kPercents[] = {" 0%", "12%", "25%", "38%", "50%", "62%", "75%", "88%"};
constexpr const char* kWidths[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "18", "24"};
constexpr int kCustomColours = 16;

// A preset button's text: a word in the interface language (or none), then
// marks that every language shares ("(1)", "x10").
using WordOf = QString (*)(int language);
QString NoWord(int /*language*/) { return {}; }
template <OptionText id>
QString OptionWord(int language) {
    return QString::fromUtf8(OptionDialogText(id, language));
}
QString PresetWord(int language) { return QString::fromUtf8(ItemDialogText(ItemText::Preset, language)); }
constexpr WordOf kDefaultWord = &OptionWord<OptionText::PresetDefault>;

struct Preset {
    WordOf word;
    const char* marks;
    size_t letter;  // 0 = A
};
constexpr Preset kGroupColourPresets[] = {{kDefaultWord, "", 0}, {&PresetWord, "(1)", 1}, {&PresetWord, "(2)", 2}};
constexpr Preset kSpeedColourPresets[] = {{kDefaultWord, "", 0},
                                          {&NoWord, "(1)", 1},
                                          {&NoWord, "(2)", 2},
                                          {&OptionWord<OptionText::PresetRed>, "", 3},
                                          {&OptionWord<OptionText::PresetGreen>, "", 4},
                                          {&OptionWord<OptionText::PresetBlue>, "", 5}};
constexpr Preset kSpeedPresets[] = {
    {kDefaultWord, "", 0}, {&NoWord, "x1", 1}, {&NoWord, "x2", 2}, {&NoWord, "x3", 3}, {&NoWord, "x10", 4}};

QString PresetText(const Preset& preset, int language) {
    return preset.word(language) + QString::fromLatin1(preset.marks);
}

// Two-digit group number: "01" to "12".
QString GroupNumber(size_t group) { return QStringLiteral("%1").arg(group + 1, 2, 10, QLatin1Char('0')); }

// "Group 01" in `language`.
QString GroupName(size_t group, int language) {
    return ControlCaption("group", language) + QLatin1Char(' ') + GroupNumber(group);
}

QString WindowWord(TextRow row, int language) { return QString::fromUtf8(WindowText(row, language, "Km/Meter")); }

// Preset buttons, three to a row, in a titled group; `apply` gets the preset's
// letter. A button's object name is its English text, whatever the language.
template <size_t N, typename Apply>
QGroupBox* PresetButtons(QWidget* owner, int language, const QString& title, const char* namePrefix,
                         const Preset (&presets)[N], Apply apply) {
    auto* group = new QGroupBox(title, owner);
    auto* grid = new QGridLayout(group);
    for (const Preset& preset : presets) {
        auto* button = new QPushButton(PresetText(preset, language), group);
        button->setObjectName(QString::fromLatin1(namePrefix) + PresetText(preset, kEnglish));
        button->setAccessibleName(title + QLatin1Char(' ') + button->text());
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, owner, [apply, preset] { apply(preset.letter); });
        const int at = grid->count();
        grid->addWidget(button, at / 3, at % 3);
    }
    return group;
}

}  // namespace

void ApplyLineColourPreset(const Settings& settings, size_t letter, ConvertSettings& edited) {
    for (size_t n = 0; n < kGroupCount; ++n) {
        edited.LineColorRGB[n] = HexColorOfRgbText(settings.presets.LineColorPresets[letter][n]);
    }
}

// ---- GroupLineDialog ----------------------------------------------------------

GroupLineDialog::GroupLineDialog(QWidget* parent, const Settings& settings) : SettingsDialog(parent, settings) {
    setWindowTitle(Text(OptionText::GroupLineTitle));
    const QString columns[] = {WindowWord(TextRow::Colour, Language()), WindowWord(TextRow::Transparent, Language()),
                               WindowWord(TextRow::Width, Language())};
    auto* grid = new QGridLayout;
    for (int c = 0; c < 3; ++c) grid->addWidget(new QLabel(columns[c], this), 0, c + 1);
    QStringList percents;
    for (const char* percent : kPercents) percents << QString::fromLatin1(percent);
    QStringList widths;
    for (const char* width : kWidths) widths << QString::fromLatin1(width);
    const int swatchWidth = fontMetrics().horizontalAdvance(QStringLiteral("BBGGRR")) * 2;

    for (size_t n = 0; n < kGroupCount; ++n) {
        const int row = static_cast<int>(n) + 1;
        const QString number = GroupNumber(n);
        const QString label = QString::number(n + 1) + QLatin1Char('.');
        grid->addWidget(new QLabel(label, this), row, 0);

        auto* swatch = new QPushButton(this);
        swatch->setObjectName(QStringLiteral("LineColorRGB_") + number);
        swatch->setMinimumWidth(swatchWidth);
        swatch->setAutoDefault(false);
        NameControl(swatch, label, columns[0]);
        PaintSwatch(swatch, edited_.LineColorRGB[n]);
        connect(swatch, &QPushButton::clicked, this, [this, n] { ChooseColour(n); });
        swatches_[n] = swatch;
        grid->addWidget(swatch, row, 1);

        auto* transparency = new QComboBox(this);
        transparency->setObjectName(QStringLiteral("TransparentPercent_") + number);
        transparency->addItems(percents);
        // A percentage outside the list shows no selection and stays as it is on OK.
        transparency->setCurrentIndex(transparency->findText(Qs(edited_.TransparentPercent[n])));
        NameControl(transparency, label, columns[1]);
        transparencies_[n] = transparency;
        grid->addWidget(transparency, row, 2);

        auto* width = new QComboBox(this);
        width->setObjectName(QStringLiteral("LineWidth_") + number);
        width->addItems(widths);
        const QString held = Qs(edited_.LineWidth[n]);
        if (width->findText(held) < 0) width->addItem(held);  // kept as it is on OK
        width->setCurrentIndex(width->findText(held));
        NameControl(width, label, columns[2]);
        widths_[n] = width;
        grid->addWidget(width, row, 3);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(PresetButtons(this, Language(), columns[0], "ColorPreset_", kGroupColourPresets,
                                    [this](size_t letter) { ApplyColourPreset(letter); }));
    layout->addWidget(MakeOkCancel());
}

void GroupLineDialog::ApplyColourPreset(size_t letter) {
    ApplyLineColourPreset(settings_, letter, edited_);
    for (size_t n = 0; n < kGroupCount; ++n) PaintSwatch(swatches_[n], edited_.LineColorRGB[n]);
}

void GroupLineDialog::ChooseColour(size_t group) {
    QColorDialog chooser(Qt::white, this);
    for (int i = 0; i < kCustomColours; ++i) QColorDialog::setCustomColor(i, Qt::white);
    chooser.setWindowTitle(GroupName(group, Language()));
    if (auto* buttons = chooser.findChild<QDialogButtonBox*>()) LabelStandardButtons(*buttons, Language());
    if (chooser.exec() != QDialog::Accepted) return;
    const QColor colour = chooser.selectedColor();
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02X%02X%02X", static_cast<unsigned>(colour.blue()),
                  static_cast<unsigned>(colour.green()), static_cast<unsigned>(colour.red()));
    edited_.LineColorRGB[group] = hex;
    PaintSwatch(swatches_[group], edited_.LineColorRGB[group]);
}

void GroupLineDialog::accept() {
    for (size_t n = 0; n < kGroupCount; ++n) {
        const QString percent = transparencies_[n]->currentText();
        if (const char* hex = TransparentOfPercent(Ss(percent))) {
            edited_.TransparentPercent[n] = Ss(percent);
            edited_.Transparent[n] = hex;
        }
        edited_.LineWidth[n] = FieldText(widths_[n]->currentText());
    }
    QDialog::accept();
}

// ---- SpeedRangeDialog ---------------------------------------------------------

SpeedRangeDialog::SpeedRangeDialog(QWidget* parent, const Settings& settings) : SettingsDialog(parent, settings) {
    setWindowTitle(Text(OptionText::SpeedRangeTitle));
    const QString columns[] = {WindowWord(TextRow::Colour, Language()), Text(OptionText::From),
                               Text(OptionText::To)};
    auto* grid = new QGridLayout;
    for (int c = 0; c < 3; ++c) grid->addWidget(new QLabel(columns[c], this), 0, c == 2 ? 4 : c + 1);
    const int swatchWidth = fontMetrics().horizontalAdvance(QStringLiteral("BGR")) * 3;
    const int boundWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000.00")) * 2;

    for (size_t n = 0; n < kGroupCount; ++n) {
        const int row = static_cast<int>(n) + 1;
        const QString label = GroupName(n, Language());
        grid->addWidget(new QLabel(label, this), row, 0);

        auto* swatch = new QLabel(this);
        swatch->setObjectName(QStringLiteral("SpeedColor_") + GroupNumber(n));
        swatch->setMinimumWidth(swatchWidth);
        NameControl(swatch, label, columns[0]);
        PaintSwatch(swatch, edited_.LineColorRGB[n]);
        swatches_[n] = swatch;
        grid->addWidget(swatch, row, 1);

        auto* lower = new QLineEdit(Fixed2(edited_.SpeedRange[n]), this);
        lower->setObjectName(QStringLiteral("SpeedRange_") + GroupNumber(n));
        lower->setReadOnly(n == 0);  // the first range starts at the lowest speed
        lower->setMaximumWidth(boundWidth);
        NameControl(lower, label, columns[1]);
        lowerBounds_[n] = lower;
        grid->addWidget(lower, row, 2);
        grid->addWidget(new QLabel(QStringLiteral("~"), this), row, 3);
    }
    for (size_t n = 0; n + 1 < kGroupCount; ++n) {
        upperBounds_[n] = new QLabel(lowerBounds_[n + 1]->text(), this);
        connect(lowerBounds_[n + 1], &QLineEdit::textChanged, upperBounds_[n], &QLabel::setText);
        grid->addWidget(upperBounds_[n], static_cast<int>(n) + 1, 4);
    }
    auto* top = new QLineEdit(QStringLiteral("999.99"), this);
    top->setObjectName(QStringLiteral("SpeedRangeTop"));
    top->setReadOnly(true);
    top->setMaximumWidth(boundWidth);
    NameControl(top, GroupName(kGroupCount - 1, Language()), columns[2]);
    grid->addWidget(top, kGroupCount, 4);

    auto* presets = new QVBoxLayout;
    presets->addWidget(PresetButtons(this, Language(), QString::fromUtf8(ItemDialogText(ItemText::Speed, Language())),
                                     "SpeedPreset_", kSpeedPresets, [this](size_t letter) { ApplySpeedPreset(letter); }));
    presets->addWidget(PresetButtons(this, Language(), columns[0], "ColorPreset_", kSpeedColourPresets,
                                     [this](size_t letter) { ApplyColourPreset(letter); }));
    presets->addStretch(1);
    auto* sides = new QHBoxLayout;
    sides->addLayout(grid);
    sides->addLayout(presets);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sides);
    layout->addWidget(MakeOkCancel());
}

void SpeedRangeDialog::ApplySpeedPreset(size_t letter) {
    edited_.SpeedRange = settings_.presets.SpeedRangePresets[letter];
    for (size_t n = 0; n < kGroupCount; ++n) lowerBounds_[n]->setText(Fixed2(edited_.SpeedRange[n]));
}

void SpeedRangeDialog::ApplyColourPreset(size_t letter) {
    ApplyLineColourPreset(settings_, letter, edited_);
    for (size_t n = 0; n < kGroupCount; ++n) PaintSwatch(swatches_[n], edited_.LineColorRGB[n]);
}

void SpeedRangeDialog::accept() {
    for (size_t n = 0; n < kGroupCount; ++n) edited_.SpeedRange[n] = LeadingNumber(Ss(lowerBounds_[n]->text()));
    QDialog::accept();
}

// ---- Entry points ----------------------------------------------------------

bool ExecGroupLineDialog(QWidget* parent, Settings& settings) {
    GroupLineDialog dialog(parent, settings);
    return RunSettingsDialog(dialog, settings, EscNotice::Cancelled);
}

bool ExecSpeedRangeDialog(QWidget* parent, Settings& settings) {
    SpeedRangeDialog dialog(parent, settings);
    return RunSettingsDialog(dialog, settings, EscNotice::Cancelled);
}

}  // namespace geoplait::ui
