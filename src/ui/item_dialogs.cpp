// The CSV Custom item dialogs. The input dialog reads only the first line of
// the input file (bounded, whatever the file holds) to preview the items; the
// output dialog greys the columns the chosen mode's input cannot fill.
#include "ui/item_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <span>
#include <string_view>

#include "settings/convert_modes.h"
#include "settings/settings_keys.h"
#include "ui/dialogs.h"
#include "ui/item_dialog_texts.h"

namespace geoplait::ui {

namespace {

using CS = ConvertSettings;

// ---- Input item dialog -----------------------------------------------------

enum class RowKind {
    Hemisphere,  // optional; without it the sign of the coordinate tells ("+/-")
    Coordinate,  // always present
    Optional,
};

constexpr const char* kCoordinateTypes[] = {"dd.dddddd", "ddmm.mmmm", "ddmmss.ss"};
constexpr const char* kDateTypes[] = {"ddmmyy", "yymmdd", "yyyy/mm/dd"};
constexpr const char* kTimeTypes[] = {"hhmmss UTC", "hhmmss UTC+Diff", "hh:mm:ss UTC+Diff"};
constexpr const char* kSpeedTypes[] = {"knots", "km"};

struct InputRow {
    ItemText label;
    RowKind kind;
    const char* name;  // of the position field
    int CS::*position;
    std::string CS::*type;  // nullptr: the row has no data type
    std::span<const char* const> types;
    ItemText hint;  // ItemText::Count: none
};

#define INPUT_ROW(label, kind, field) ItemText::label, RowKind::kind, #field, &CS::field
constexpr InputRow kInputRows[kInputRowCount] = {
    {INPUT_ROW(NorthSouth, Hemisphere, Imput_Latitude_ns), nullptr, {}, ItemText::NorthSouthHint},
    {INPUT_ROW(Latitude, Coordinate, Imput_Latitude), &CS::Imput_Latitude_dms, kCoordinateTypes, ItemText::Count},
    {INPUT_ROW(EastWest, Hemisphere, Imput_Longitude_ew), nullptr, {}, ItemText::EastWestHint},
    {INPUT_ROW(Longitude, Coordinate, Imput_Longitude), &CS::Imput_Longitude_dms, kCoordinateTypes, ItemText::Count},
    {INPUT_ROW(Altitude, Optional, Imput_Altitude), nullptr, {}, ItemText::Count},
    {INPUT_ROW(Date, Optional, Imput_Date), &CS::Imput_Date_ymd, kDateTypes, ItemText::Count},
    {INPUT_ROW(Time, Optional, Imput_Time), &CS::Imput_Time_hms, kTimeTypes, ItemText::Count},
    {INPUT_ROW(Speed, Optional, Imput_Speed), &CS::Imput_Speed_nk, kSpeedTypes, ItemText::Count},
    {INPUT_ROW(Degrees, Optional, Imput_Degrees), nullptr, {}, ItemText::Count},
};
#undef INPUT_ROW

// The layouts of two known CSV sources, in the order of kInputRows. A position
// of 0 leaves the row out; a type of nullptr leaves the row's type as it is.
struct InputPreset {
    const char* name;
    std::array<int, kInputRowCount> positions;
    std::array<const char*, kInputRowCount> types;
};
constexpr InputPreset kInputPresets[] = {
    {"CsvFull",
     {4, 3, 6, 5, 10, 25, 2, 23, 24},
     {nullptr, "ddmm.mmmm", nullptr, "ddmm.mmmm", nullptr, "ddmmyy", "hhmmss UTC", "knots", nullptr}},
    {"G-navi",
     {0, 2, 0, 1, 3, 5, 4, 0, 0},
     {nullptr, "dd.dddddd", nullptr, "dd.dddddd", nullptr, "yyyy/mm/dd", "hh:mm:ss UTC+Diff", nullptr, nullptr}},
};

constexpr size_t kSampleChars = 2047;
// Enough bytes for kSampleChars characters of UTF-8 and a byte-order mark.
constexpr size_t kSampleBytes = 4 * kSampleChars + 3;
// Positions offered when there is no first line to count.
constexpr int kDefaultPositions = 64;

// The first line of `path` without its byte-order mark and line end, cut to
// kSampleChars characters; false when the file cannot be read. Reads a
// bounded block, so a file without line ends costs no more than a short one.
bool ReadFirstLine(const std::string& path, std::string& line) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string block(kSampleBytes, '\0');
    in.read(block.data(), static_cast<std::streamsize>(block.size()));
    block.resize(static_cast<size_t>(in.gcount()));
    if (block.starts_with("\xEF\xBB\xBF")) block.erase(0, 3);
    block.resize(std::min(block.find_first_of("\r\n"), block.size()));
    CutToChars(block, kSampleChars);
    line = std::move(block);
    return true;
}

// Items end at "," or at the line end; an empty line has none.
std::vector<std::string> SplitItems(std::string_view line) {
    std::vector<std::string> items;
    while (!line.empty()) {
        const size_t comma = line.find(',');
        items.emplace_back(line.substr(0, comma));
        if (comma == std::string_view::npos) break;
        line.remove_prefix(comma + 1);
        if (line.empty()) items.emplace_back();  // a trailing comma ends an empty last item
    }
    return items;
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// ---- Output item dialog ----------------------------------------------------

// Which inputs cannot fill a column. For a CSV Custom input a column also
// needs its input item (csvItem > 0).
constexpr unsigned kNotFromCsvCustom = 1;
constexpr unsigned kNotFromPot = 2;
constexpr unsigned kNotFromGpx = 4;
constexpr unsigned kNotFromKmlLine = 8;
constexpr unsigned kNotFromKmlPoint = 16;
constexpr unsigned kNotFromFit = 32;
constexpr unsigned kNoHemisphere = kNotFromPot | kNotFromGpx;
constexpr unsigned kNoSpeed = kNotFromPot | kNotFromKmlLine | kNotFromKmlPoint;
constexpr unsigned kNoReceiver =
    kNotFromCsvCustom | kNotFromPot | kNotFromGpx | kNotFromKmlLine | kNotFromKmlPoint | kNotFromFit;

struct OutputBox {
    ItemText label;
    const char* name;
    int CS::*flag;
    int CS::*csvItem;  // nullptr: any CSV Custom layout can fill it
    unsigned unavailable;
};

#define BOX(label, field) ItemText::label, #field, &CS::field
constexpr OutputBox kOutputBoxes[kOutputBoxCount] = {
    {BOX(OutName, Output_Name), nullptr, 0},
    {BOX(OutLatitudeNs, Output_Latitude_ns), &CS::Imput_Latitude_ns, kNoHemisphere},
    {BOX(OutLatitudeDmm, Output_Latitude_dmm), nullptr, 0},
    {BOX(OutLatitudeDdd, Output_Latitude_ddd), nullptr, 0},
    {BOX(OutLatitudeDms, Output_Latitude_dms), nullptr, 0},
    {BOX(OutLongitudeEw, Output_Longitude_ew), &CS::Imput_Longitude_ew, kNoHemisphere},
    {BOX(OutLongitudeDmm, Output_Longitude_dmm), nullptr, 0},
    {BOX(OutLongitudeDdd, Output_Longitude_ddd), nullptr, 0},
    {BOX(OutLongitudeDms, Output_Longitude_dms), nullptr, 0},
    {BOX(OutAltitude, Output_Altitude), &CS::Imput_Altitude, 0},
    {BOX(OutSpeedKnots, Output_Speed_knots), &CS::Imput_Speed, kNoSpeed},
    {BOX(OutSpeedKm, Output_Speed_km), &CS::Imput_Speed, kNoSpeed},
    {BOX(OutDegrees, Output_Degrees), &CS::Imput_Degrees, kNoSpeed},
    {BOX(OutSatellites, Output_Satellites), nullptr, kNoReceiver},
    {BOX(OutDilution, Output_Dilution), nullptr, kNoReceiver},
    {BOX(OutDateDmy, Output_Date_dmy), &CS::Imput_Date, kNotFromKmlLine},
    {BOX(OutDateYmd, Output_Date_ymd), &CS::Imput_Date, kNotFromKmlLine},
    {BOX(OutTimeUtc, Output_Time_utc), &CS::Imput_Time, kNotFromKmlLine},
    {BOX(OutTimeUtc9, Output_Time_utc9), &CS::Imput_Time, kNotFromKmlLine},
    {BOX(OutElapsedDistance, Output_Elapsed_Distance), nullptr, kNotFromKmlLine},
    {BOX(OutElapsedHms, Output_Elapsed_hms), nullptr, kNotFromKmlLine},
    {BOX(OutElapsedSec, Output_Elapsed_sec), &CS::Imput_Time, kNotFromKmlLine},
    {BOX(OutIntervalDistance, Output_interval_Distance), nullptr, kNotFromKmlLine},
    {BOX(OutIntervalHms, Output_interval_hms), &CS::Imput_Time, kNotFromKmlLine},
    {BOX(OutIntervalSec, Output_interval_sec), &CS::Imput_Time, kNotFromKmlLine},
    {BOX(OutNo, Output_No), nullptr, 0},
    {BOX(OutExtendData, Output_Extend_Data), nullptr, 0},
};
#undef BOX

// The "chizroid" preset: these columns and no others.
constexpr int CS::*kChizroidColumns[] = {&CS::Output_Name, &CS::Output_Latitude_ddd, &CS::Output_Longitude_ddd,
                                         &CS::Output_Date_ymd, &CS::Output_Time_utc9};

// The columns the mode's input restricts, as a kNotFrom bit; 0 when the
// input can fill every column.
unsigned RestrictionOfMode(const std::string& mode) {
    const ConvertMode* entry = FindModeByDisplayText(mode);
    if (entry == nullptr) return 0;
    const bool toCsvCustom = entry->output == ModeOutput::CsvCustom;
    switch (entry->kind) {
    case ModeKind::KmlLine: return kNotFromKmlLine;
    case ModeKind::KmlPoint: return kNotFromKmlPoint;
    case ModeKind::CsvCustom: return toCsvCustom ? kNotFromCsvCustom : 0u;
    case ModeKind::Pot: return toCsvCustom ? kNotFromPot : 0u;
    case ModeKind::Gpx: return toCsvCustom ? kNotFromGpx : 0u;
    case ModeKind::Fit: return toCsvCustom ? kNotFromFit : 0u;
    default: return 0;
    }
}

}  // namespace

// ---- InputItemDialog ---------------------------------------------------------

InputItemDialog::InputItemDialog(QWidget* parent, const Settings& settings) : SettingsDialog(parent, settings) {
    const int language = ItemTextLanguage(edited_.Language);
    auto text = [language](ItemText id) { return QString::fromUtf8(ItemDialogText(id, language)); };
    language_ = language;
    setWindowTitle(text(ItemText::InputTitle));

    std::string line;
    const bool opened = ReadFirstLine(edited_.InputFile, line);
    items_ = SplitItems(line);

    auto* layout = new QVBoxLayout(this);
    auto* fileRow = new QHBoxLayout;
    auto* fileLabel = new QLabel(text(ItemText::InFile), this);
    auto* fileName =
        new QLabel(opened ? Qs(FileNameOf(edited_.InputFile)) : text(ItemText::NoInputFile), this);
    fileName->setObjectName(QStringLiteral("InputFileName"));
    fileName->setAccessibleDescription(fileLabel->text());  // its name is the file name it shows
    fileName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette palette = fileName->palette();
    palette.setColor(QPalette::WindowText, opened ? QColor(Qt::blue) : QColor(Qt::red));
    fileName->setPalette(palette);
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(fileName, 1);
    layout->addLayout(fileRow);

    auto* grid = new QGridLayout;
    const ItemText headers[] = {ItemText::ColumnItem, ItemText::ColumnPosition, ItemText::ColumnType,
                                ItemText::ColumnSample};
    for (int column = 0; column < 4; ++column) grid->addWidget(new QLabel(text(headers[column]), this), 0, column);

    QStringList positions;
    const int offered = items_.empty() ? kDefaultPositions : static_cast<int>(items_.size());
    for (int n = 1; n <= offered; ++n) positions << QString::number(n);

    for (size_t r = 0; r < kInputRowCount; ++r) BuildRow(grid, r, positions);
    grid->setColumnStretch(3, 1);
    layout->addLayout(grid);

    auto* presets = new QGroupBox(text(ItemText::Preset), this);
    auto* presetRow = new QHBoxLayout(presets);
    for (size_t p = 0; p < std::size(kInputPresets); ++p) {
        auto* button = new QPushButton(QString::fromLatin1(kInputPresets[p].name), presets);
        button->setObjectName(button->text());
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, p] { ApplyPreset(static_cast<int>(p)); });
        presetRow->addWidget(button);
    }
    presetRow->addStretch(1);
    layout->addWidget(presets);

    QDialogButtonBox* buttons = MakeOkCancel();
    buttons->button(QDialogButtonBox::Ok)->setText(text(ItemText::Ok));
    buttons->button(QDialogButtonBox::Cancel)->setText(text(ItemText::Cancel));
    layout->addWidget(buttons);
}

// Row `r`: its check box, position combo, data type, sample and hints.
void InputItemDialog::BuildRow(QGridLayout* grid, size_t r, const QStringList& positions) {
    auto text = [this](ItemText id) { return QString::fromUtf8(ItemDialogText(id, language_)); };
    const InputRow& def = kInputRows[r];
    Row& row = rows_[r];
    const QString label = text(def.label);
    const QString name = QString::fromLatin1(def.name);
    const int gridRow = static_cast<int>(r) + 1;

    row.check = new QCheckBox(label, this);
    row.check->setObjectName(name + QStringLiteral("_on"));
    row.check->setAccessibleName(label);
    grid->addWidget(row.check, gridRow, 0);

    row.position = new QComboBox(this);
    row.position->setObjectName(name);
    row.position->setEditable(true);
    row.position->setInsertPolicy(QComboBox::NoInsert);
    row.position->addItems(positions);
    row.position->setEditText(QString::number(edited_.*def.position));
    NameControl(row.position, label, text(ItemText::ColumnPosition));
    grid->addWidget(row.position, gridRow, 1);

    if (def.type != nullptr) {
        row.type = new QComboBox(this);
        row.type->setObjectName(name + QStringLiteral("_type"));
        for (const char* choice : def.types) row.type->addItem(QString::fromLatin1(choice));
        const QString held = Qs(edited_.*def.type);
        if (row.type->findText(held) < 0) row.type->addItem(held);  // kept as it is on OK
        row.type->setCurrentIndex(row.type->findText(held));
        NameControl(row.type, label, text(ItemText::ColumnType));
        grid->addWidget(row.type, gridRow, 2);
    }

    row.preview = new QLineEdit(this);
    row.preview->setObjectName(name + QStringLiteral("_preview"));
    row.preview->setReadOnly(true);
    NameControl(row.preview, label, text(ItemText::ColumnSample));
    grid->addWidget(row.preview, gridRow, 3);

    if (def.hint != ItemText::Count) grid->addWidget(new QLabel(text(def.hint), this), gridRow, 4);
    if (def.kind == RowKind::Hemisphere) {
        row.sign = new QLabel(QStringLiteral("+/-"), this);
        row.sign->setObjectName(name + QStringLiteral("_sign"));
        QSizePolicy policy = row.sign->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        row.sign->setSizePolicy(policy);
        grid->addWidget(row.sign, gridRow, 5);
    }

    connect(row.position, &QComboBox::editTextChanged, this, [this, r] { ShowPreview(r); });
    if (def.kind == RowKind::Coordinate) {
        row.check->setChecked(true);
        row.check->setEnabled(false);
    } else {
        SetRowOn(r, edited_.*def.position > 0);
        connect(row.check, &QCheckBox::toggled, this, [this, r](bool on) { SetRowOn(r, on); });
    }
    ShowPreview(r);
}

void InputItemDialog::SetRowOn(size_t r, bool on) {
    Row& row = rows_[r];
    row.check->setChecked(on);
    row.position->setEnabled(on);
    if (row.type != nullptr) row.type->setEnabled(on);
    if (row.sign != nullptr) row.sign->setVisible(!on);
    if (!on) row.position->setEditText(QStringLiteral("0"));
    ShowPreview(r);
}

void InputItemDialog::ShowPreview(size_t r) {
    Row& row = rows_[r];
    const int at = LeadingInt(Ss(row.position->currentText()));
    const bool inLine = at >= 1 && static_cast<size_t>(at) <= items_.size();
    row.preview->setText(inLine ? Qs(items_[static_cast<size_t>(at) - 1]) : QString());
}

void InputItemDialog::ApplyPreset(int preset) {
    const InputPreset& values = kInputPresets[static_cast<size_t>(preset)];
    for (size_t r = 0; r < kInputRowCount; ++r) {
        Row& row = rows_[r];
        const int position = values.positions[r];
        if (kInputRows[r].kind != RowKind::Coordinate) SetRowOn(r, position > 0);
        if (position > 0) row.position->setEditText(QString::number(position));
        if (values.types[r] != nullptr && row.type != nullptr) {
            row.type->setCurrentIndex(row.type->findText(QString::fromLatin1(values.types[r])));
        }
    }
}

void InputItemDialog::accept() {
    for (size_t r = 0; r < kInputRowCount; ++r) {
        const InputRow& def = kInputRows[r];
        // Text that is no number, or a negative one, leaves the item out.
        edited_.*def.position = std::max(0, LeadingInt(Ss(rows_[r].position->currentText())));
        if (def.type != nullptr) edited_.*def.type = FieldText(rows_[r].type->currentText());
    }
    QDialog::accept();
}

// ---- OutputItemDialog ------------------------------------------------------

OutputItemDialog::OutputItemDialog(QWidget* parent, const Settings& settings) : SettingsDialog(parent, settings) {
    const int language = ItemTextLanguage(edited_.Language);
    auto text = [language](ItemText id) { return QString::fromUtf8(ItemDialogText(id, language)); };
    setWindowTitle(text(ItemText::OutputTitle));

    const unsigned restriction = RestrictionOfMode(edited_.Mode);
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    constexpr int kRowsPerColumn = (kOutputBoxCount + 1) / 2;
    for (size_t i = 0; i < kOutputBoxCount; ++i) {
        const OutputBox& def = kOutputBoxes[i];
        bool available = (def.unavailable & restriction) == 0;
        if (restriction == kNotFromCsvCustom && def.csvItem != nullptr && edited_.*def.csvItem <= 0) available = false;
        auto* box = new QCheckBox(text(def.label), this);
        box->setObjectName(QString::fromLatin1(def.name));
        box->setAccessibleName(box->text());
        box->setChecked(available && edited_.*def.flag != 0);
        box->setEnabled(available);
        boxes_[i] = box;
        const int at = static_cast<int>(i);
        grid->addWidget(box, at % kRowsPerColumn, at / kRowsPerColumn);
    }
    layout->addLayout(grid);

    auto* commands = new QHBoxLayout;
    auto addButton = [](QWidget* owner, QLayout* into, const QString& label, const char* name) {
        auto* button = new QPushButton(label, owner);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        into->addWidget(button);
        return button;
    };
    QPushButton* defaults = addButton(this, commands, text(ItemText::Default), "Default");
    QPushButton* allSet = addButton(this, commands, text(ItemText::AllSet), "AllSet");
    QPushButton* allClear = addButton(this, commands, text(ItemText::AllClear), "AllClear");
    auto* presets = new QGroupBox(text(ItemText::Preset), this);
    auto* presetRow = new QHBoxLayout(presets);
    QPushButton* chizroid = addButton(presets, presetRow, QStringLiteral("chizroid"), "chizroid");
    commands->addWidget(presets);
    commands->addStretch(1);
    layout->addLayout(commands);
    // The columns an input restricts would be checked by these two.
    defaults->setEnabled(restriction == 0);
    allSet->setEnabled(restriction == 0);

    connect(defaults, &QPushButton::clicked, this,
            [this] { CheckBoxes([this](const OutputBox& def) { return settings_.baseline.*def.flag != 0; }); });
    connect(allSet, &QPushButton::clicked, this, [this] { CheckBoxes([](const OutputBox&) { return true; }); });
    connect(allClear, &QPushButton::clicked, this, [this] { CheckBoxes([](const OutputBox&) { return false; }); });
    connect(chizroid, &QPushButton::clicked, this, [this] {
        CheckBoxes([](const OutputBox& def) { return std::ranges::count(kChizroidColumns, def.flag) > 0; });
    });

    QDialogButtonBox* buttons = MakeOkCancel();
    buttons->button(QDialogButtonBox::Ok)->setText(text(ItemText::Ok));
    buttons->button(QDialogButtonBox::Cancel)->setText(text(ItemText::Cancel));
    layout->addWidget(buttons);
}

template <typename Predicate>
void OutputItemDialog::CheckBoxes(Predicate on) {
    for (size_t i = 0; i < kOutputBoxCount; ++i) boxes_[i]->setChecked(boxes_[i]->isEnabled() && on(kOutputBoxes[i]));
}

void OutputItemDialog::accept() {
    for (size_t i = 0; i < kOutputBoxCount; ++i) edited_.*kOutputBoxes[i].flag = boxes_[i]->isChecked() ? 1 : 0;
    QDialog::accept();
}

// ---- Entry points ----------------------------------------------------------

bool ExecInputItemDialog(QWidget* parent, Settings& settings) {
    InputItemDialog dialog(parent, settings);
    return RunSettingsDialog(dialog, settings, EscNotice::ItemsCancelled);
}

bool ExecOutputItemDialog(QWidget* parent, Settings& settings) {
    OutputItemDialog dialog(parent, settings);
    return RunSettingsDialog(dialog, settings, EscNotice::ItemsCancelled);
}

}  // namespace geoplait::ui
