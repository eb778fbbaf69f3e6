// The photo options: camera clock correction, which time stamps to trust, the
// default location, the icon and label of a photo placemark, and what is
// written beside the KML.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <array>

#include "settings/settings_keys.h"
#include "ui/control_texts.h"
#include "ui/dialogs.h"
#include "ui/item_dialog_texts.h"
#include "ui/languages.h"
#include "ui/option_dialogs.h"

namespace geoplait::ui {

namespace {

using CS = ConvertSettings;
using T = OptionText;

#define FIELD(field) &CS::field, #field

// Photo_SidecarName as a combo of the texts `choices` (one for each of
// kSidecarNameChoices); a value outside the choices shows nothing and is kept.
QComboBox* SidecarNameCombo(QWidget* owner, SettingBinder& binder,
                            const std::array<QString, kSidecarNameChoices.size()>& choices) {
    auto* box = new QComboBox(owner);
    box->setObjectName(QStringLiteral("Photo_SidecarName"));
    for (const QString& choice : choices) box->addItem(choice);
    binder.Custom(
        box,
        [box](const CS& s) {
            int shown = -1;
            for (size_t i = 0; i < kSidecarNameChoices.size(); ++i) {
                if (s.Photo_SidecarName == kSidecarNameChoices[i].displayText) shown = static_cast<int>(i);
            }
            box->setCurrentIndex(shown);
        },
        [box](CS& s) {
            if (box->currentIndex() >= 0) {
                s.Photo_SidecarName = kSidecarNameChoices[static_cast<size_t>(box->currentIndex())].displayText;
            }
        });
    return box;
}

}  // namespace

PhotoDialog::PhotoDialog(QWidget* parent, const Settings& settings) : SettingsDialog(parent, settings) {
    setWindowTitle(ControlCaption("photoConfig", Language()));
    auto* left = new QVBoxLayout;
    left->addWidget(BuildClock());
    left->addWidget(BuildStamps());
    left->addWidget(Check(this, Text(T::UseGpsPoint), FIELD(Photo_Exif_GPS_Point)));
    // Between two records close enough in time, a photo lies on the line between them.
    auto* between = new QHBoxLayout;
    QCheckBox* interpolate = Check(this, Text(T::Interpolate), FIELD(Photo_Interpolate));
    auto* gap = Edit(this, FIELD(Photo_InterpolateSec));
    const QList<QWidget*> gapControls = {Label(this, Text(T::RecordsWithin), gap), gap,
                                       Label(this, Text(T::SecondsWithin), nullptr)};
    between->addWidget(interpolate);
    for (QWidget* widget : gapControls) between->addWidget(widget);
    left->addLayout(between);
    left->addWidget(BuildLocation());
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(BuildIcon());
    right->addWidget(BuildIconName());
    BuildOutputRows(right);
    right->addStretch(1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(MakeOkCancel());

    // A picker starts at the present moment where its field holds no date or time.
    for (size_t p = 0; p < 2; ++p) {
        dates_[p]->setDate(QDate::currentDate());
        times_[p]->setTime(QTime::currentTime());
    }
    binder_.Show(edited_);
    // Greyed as the dialog opens; it keeps accepting typing either way.
    SetGreyed(photoUrlEdit_, edited_.Photo_PhotoUrl == 0, Language());
    ConnectRules();
    // The interpolation window is edited only with interpolation on.
    for (QWidget* widget : gapControls) {
        widget->setEnabled(interpolate->isChecked());
        connect(interpolate, &QCheckBox::toggled, widget, &QWidget::setEnabled);
    }
}

// Builders: each control bound to its field, named after it, in tab order.
QCheckBox* PhotoDialog::Check(QWidget* owner, const QString& label, int CS::*field, const char* name) {
    auto* box = new QCheckBox(label, owner);
    box->setObjectName(QString::fromLatin1(name));
    binder_.Check(box, field);
    return box;
}

QLineEdit* PhotoDialog::Edit(QWidget* owner, std::string CS::*field, const char* name) {
    auto* line = new QLineEdit(owner);
    line->setObjectName(QString::fromLatin1(name));
    binder_.Edit(line, field, kTextChars);
    return line;
}

QLabel* PhotoDialog::Label(QWidget* owner, const QString& text, QWidget* buddy) {
    auto* shown = new QLabel(text, owner);
    if (buddy != nullptr) shown->setBuddy(buddy);
    return shown;
}

// A choice the file holds outside the list is added to it, so that OK keeps it.
QComboBox* PhotoDialog::Combo(QWidget* owner, std::initializer_list<const char*> choices, std::string CS::*field,
                              const char* name, const QString& accessible) {
    auto* box = new QComboBox(owner);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(accessible);
    for (const char* choice : choices) box->addItem(QString::fromLatin1(choice));
    const QString held = Qs(edited_.*field);
    if (box->findText(held) < 0) box->addItem(held);
    binder_.Combo(box, field);
    AddHiddenBuddy(box, accessible);
    return box;
}

// Camera clock: a fixed difference or a calibration from two readings.
QWidget* PhotoDialog::BuildClock() {
    auto* clock = new QGroupBox(Text(T::CameraClock), this);
    auto* grid = new QGridLayout(clock);
    timeAdjust_ = Check(clock, Text(T::TimeAdjust), FIELD(Photo_TimeAdjust));
    auto* seconds = Edit(clock, FIELD(Photo_TimeAdjustSec));
    QLabel* diffLabel = Label(clock, Text(T::CameraDiff), seconds);
    QLabel* secLabel = Label(clock, Text(T::SecondsExample), nullptr);
    grid->addWidget(timeAdjust_, 0, 0);
    grid->addWidget(diffLabel, 0, 1);
    grid->addWidget(seconds, 0, 2);
    grid->addWidget(secLabel, 0, 3);
    adjustControls_ = {seconds, diffLabel, secLabel};
    calibration_ = Check(clock, Text(T::TimeCalibration), FIELD(Photo_TimeAdjustCAL));
    grid->addWidget(calibration_, 1, 0, 1, 4);
    using Field = std::string CS::*;
    const std::pair<Field, Field> pickerFields[2] = {{&CS::Photo_CalNowDate, &CS::Photo_CalNowTime},
                                                     {&CS::Photo_CalCameraDate, &CS::Photo_CalCameraTime}};
    const QString pickerRows[2] = {Text(T::Now), Text(T::Camera)};
    for (size_t p = 0; p < 2; ++p) {
        dates_[p] = new QDateEdit(clock);
        dates_[p]->setDisplayFormat(QLatin1String(kPickerDateFormat));
        dates_[p]->setCalendarPopup(true);
        times_[p] = new QTimeEdit(clock);
        times_[p]->setDisplayFormat(QLatin1String(kPickerTimeFormat));
        binder_.Date(dates_[p], pickerFields[p].first, kPickerDateFormat, &DateInFormat);
        binder_.Time(times_[p], pickerFields[p].second, kPickerTimeFormat, &TimeInFormat);
        QLabel* rowLabel = Label(clock, pickerRows[p], dates_[p]);
        NameControl(dates_[p], pickerRows[p], Text(T::PickerDate));
        NameControl(times_[p], pickerRows[p], Text(T::PickerTime));
        grid->addWidget(rowLabel, 2 + static_cast<int>(p), 1);
        grid->addWidget(dates_[p], 2 + static_cast<int>(p), 2);
        grid->addWidget(times_[p], 2 + static_cast<int>(p), 3);
        calibrationControls_ << rowLabel << dates_[p] << times_[p];
    }
    return clock;
}

QWidget* PhotoDialog::BuildStamps() {
    auto* stamps = new QGroupBox(Text(T::TimeStamp), this);
    auto* grid = new QGridLayout(stamps);
    grid->addWidget(Check(stamps, Text(T::GpsDate), FIELD(Photo_Exif_GPS_TimeStamp)), 0, 0);
    grid->addWidget(Check(stamps, Text(T::IfdDate), FIELD(Photo_Exif_DateTimeOriginal)), 0, 1);
    grid->addWidget(Check(stamps, Text(T::ExitDate), FIELD(Photo_Exif_DateTime)), 1, 0);
    // Shown for information only: the conversion sets it, this dialog never changes it.
    auto* fileDate = new QCheckBox(Text(T::FileDate), stamps);
    fileDate->setObjectName(QStringLiteral("Photo_FileDate"));
    fileDate->setChecked(edited_.Photo_FileDate != 0);
    fileDate->setEnabled(false);
    grid->addWidget(fileDate, 1, 1);
    return stamps;
}

QWidget* PhotoDialog::BuildLocation() {
    auto* location = new QGroupBox(Text(T::DefaultLocation), this);
    auto* grid = new QGridLayout(location);
    // The hemisphere letters are values of the settings file, the same in every language.
    QComboBox* northSouth = Combo(location, {"N", "S"}, FIELD(Photo_Default_Latitude_ns), Text(T::LatitudeNs));
    auto* latitude = Edit(location, FIELD(Photo_Default_Latitude));
    QComboBox* eastWest =
        Combo(location, {"E", "W"}, FIELD(Photo_Default_Longitudinal_we), Text(T::LongitudinalEw));
    auto* longitude = Edit(location, FIELD(Photo_Default_Longitudinal));
    grid->addWidget(northSouth, 0, 0);
    grid->addWidget(Label(location, Text(T::LatitudeHms), latitude), 0, 1);
    grid->addWidget(latitude, 0, 2);
    grid->addWidget(eastWest, 1, 0);
    grid->addWidget(Label(location, Text(T::LongitudinalHms), longitude), 1, 1);
    grid->addWidget(longitude, 1, 2);
    return location;
}

QWidget* PhotoDialog::BuildIcon() {
    auto* icon = new QGroupBox(Text(T::Icon), this);
    auto* grid = new QGridLayout(icon);
    iconUrl_ = Check(icon, Text(T::IconUrl), FIELD(Photo_IconUrl));
    iconUrlEdit_ = Edit(icon, FIELD(Photo_IconUrl_edit));
    iconUrlEdit_->setAccessibleName(Text(T::IconUrl).trimmed());
    iconThumbnail_ = Check(icon, Text(T::IconThumbnail), FIELD(Photo_IconThumbnail));
    auto* thumbnailSize = Edit(icon, FIELD(Photo_IconThumbnail_Sizel));
    QLabel* thumbnailLabel = Label(icon, Text(T::ThumbnailSize), thumbnailSize);
    grid->addWidget(iconUrl_, 0, 0);
    grid->addWidget(iconUrlEdit_, 0, 1, 1, 2);
    grid->addWidget(iconThumbnail_, 1, 0);
    grid->addWidget(thumbnailLabel, 1, 1);
    grid->addWidget(thumbnailSize, 1, 2);
    grid->setColumnStretch(2, 1);
    thumbnailControls_ = {thumbnailLabel, thumbnailSize};
    return icon;
}

QWidget* PhotoDialog::BuildIconName() {
    auto* names = new QGroupBox(Text(T::IconName), this);
    auto* grid = new QGridLayout(names);
    const auto item = [this](ItemText id) { return QString::fromUtf8(ItemDialogText(id, Language())); };
    grid->addWidget(Check(names, Text(T::FileName), FIELD(Photo_Icon_FileName)), 0, 0);
    grid->addWidget(Check(names, item(ItemText::Date), FIELD(Photo_Icon_Date)), 0, 1);
    grid->addWidget(Check(names, item(ItemText::Time), FIELD(Photo_Icon_Time)), 0, 2);
    title_ = Check(names, Text(T::Title), FIELD(Photo_Icon_Title));
    grid->addWidget(title_, 1, 0);
    grid->addWidget(Check(names, item(ItemText::Latitude), FIELD(Photo_Icon_Latitude)), 1, 1);
    grid->addWidget(Check(names, Text(T::Longitudinal), FIELD(Photo_Icon_Longitudinal)), 1, 2);
    titleHint_ = new QLabel(Text(T::TitleHint), names);  // no buddy: "&" shows as it is
    titleHint_->setObjectName(QStringLiteral("TitleHint"));
    QSizePolicy hintPolicy = titleHint_->sizePolicy();
    hintPolicy.setRetainSizeWhenHidden(true);
    titleHint_->setSizePolicy(hintPolicy);
    grid->addWidget(titleHint_, 2, 0, 1, 3);
    return names;
}

// The photo URL, the sizes, and what is written beside the KML.
void PhotoDialog::BuildOutputRows(QVBoxLayout* column) {
    auto* urlRow = new QHBoxLayout;
    QCheckBox* photoUrl = Check(this, Text(T::PhotoUrl), FIELD(Photo_PhotoUrl));
    photoUrlEdit_ = Edit(this, FIELD(Photo_PhotoUrl_edit));
    photoUrlEdit_->setAccessibleName(Text(T::PhotoUrl).trimmed());
    urlRow->addWidget(photoUrl);
    urlRow->addWidget(photoUrlEdit_, 1);
    column->addLayout(urlRow);

    auto* sizes = new QHBoxLayout;
    const auto window = [this](TextRow row) { return QString::fromUtf8(WindowText(row, Language(), edited_.MeterMile)); };
    const std::pair<QString, std::string CS::*> sizeFields[] = {{window(TextRow::LabelSize), &CS::Photo_LabelSize},
                                                                {window(TextRow::IconSize), &CS::Photo_IconSize},
                                                                {Text(T::PhotoWidth), &CS::Photo_PhotoWidth}};
    const char* sizeNames[] = {"Photo_LabelSize", "Photo_IconSize", "Photo_PhotoWidth"};
    for (size_t i = 0; i < std::size(sizeFields); ++i) {
        auto* value = Edit(this, sizeFields[i].second, sizeNames[i]);
        sizes->addWidget(Label(this, sizeFields[i].first, value));
        sizes->addWidget(value);
    }
    column->addLayout(sizes);

    auto* output = new QGridLayout;
    // Each switch is told what its note beside it says. "CreateDirectory" keeps
    // its name in every language: the main window's photo hint quotes it.
    const auto noted = [this, output](QCheckBox* box, const QString& note, int row) {
        output->addWidget(box, row, 0);
        output->addWidget(Label(this, note, nullptr), row, 1, 1, 2);
        box->setAccessibleDescription(note.simplified());
    };
    noted(Check(this, Text(T::CreateDirectory), FIELD(Photo_CreateDirectory)), Text(T::CreateDirectoryNote), 0);
    noted(Check(this, Text(T::CsvOut), FIELD(Photo_CsvOut)), Text(T::CsvOutNote), 1);
    output->addWidget(Check(this, Text(T::IncludeComment), FIELD(Photo_Comment)), 2, 0);
    output->addWidget(Check(this, Text(T::TimeStampTag), FIELD(Photo_TimeStamp)), 3, 0);
    const QString labelStamp = Text(T::LabelTimeStamp);
    QCheckBox* photoLabel = Check(this, labelStamp, FIELD(Photo_Label));
    photoLabel->setAccessibleName(labelStamp.mid(labelStamp.indexOf(QLatin1Char('(')) + 1).trimmed());
    output->addWidget(photoLabel, 3, 1);
    output->addWidget(Label(this, QStringLiteral(")"), nullptr), 3, 2);
    QCheckBox* sidecar = Check(this, Text(T::XmpSidecar), FIELD(Photo_Sidecar));
    noted(sidecar, Text(T::XmpSidecarNote), 4);
    // How the sidecars are named, edited with sidecars on.
    QComboBox* sidecarName =
        SidecarNameCombo(this, binder_, {Text(T::SidecarNameFull), Text(T::SidecarNameShort)});
    QLabel* sidecarNameLabel = Label(this, Text(T::SidecarName), sidecarName);
    output->addWidget(sidecarNameLabel, 5, 0);
    output->addWidget(sidecarName, 5, 1);
    for (QWidget* widget : {static_cast<QWidget*>(sidecarNameLabel), static_cast<QWidget*>(sidecarName)}) {
        widget->setEnabled(edited_.Photo_Sidecar != 0);
        connect(sidecar, &QCheckBox::toggled, widget, &QWidget::setEnabled);
    }
    output->setColumnStretch(2, 1);
    column->addLayout(output);
}

void PhotoDialog::ConnectRules() {
    // On toggled, so that assistive technology switching a box runs the same rules as a click.
    connect(timeAdjust_, &QCheckBox::toggled, this, [this](bool on) {
        if (on) calibration_->setChecked(false);
        ShowTimeControls();
    });
    connect(calibration_, &QCheckBox::toggled, this, [this](bool on) {
        if (on) timeAdjust_->setChecked(false);
        ShowTimeControls();
    });
    // Exactly one of the two icons: a click on either switches both.
    connect(iconUrl_, &QCheckBox::toggled, this, [this](bool on) {
        iconThumbnail_->setChecked(!on);
        ShowIconControls();
    });
    connect(iconThumbnail_, &QCheckBox::toggled, this, [this](bool on) {
        iconUrl_->setChecked(!on);
        ShowIconControls();
    });
    connect(title_, &QCheckBox::toggled, titleHint_, &QWidget::setVisible);
    titleHint_->setVisible(title_->isChecked());
    ShowTimeControls();
    ShowIconControls();
}

void PhotoDialog::ShowTimeControls() {
    for (QWidget* widget : adjustControls_) widget->setEnabled(timeAdjust_->isChecked());
    for (QWidget* widget : calibrationControls_) widget->setEnabled(calibration_->isChecked());
}

void PhotoDialog::ShowIconControls() {
    iconUrlEdit_->setEnabled(iconUrl_->isChecked());
    for (QWidget* widget : thumbnailControls_) widget->setEnabled(iconThumbnail_->isChecked());
}

void PhotoDialog::accept() {
    binder_.Collect(edited_);
    QDialog::accept();
}

#undef FIELD

bool ExecPhotoDialog(QWidget* parent, Settings& settings) {
    PhotoDialog dialog(parent, settings);
    return RunSettingsDialog(dialog, settings, EscNotice::None);
}

}  // namespace geoplait::ui
