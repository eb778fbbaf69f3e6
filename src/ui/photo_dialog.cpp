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
#include "ui/dialogs.h"
#include "ui/item_dialog_texts.h"
#include "ui/option_dialogs.h"

namespace geoplait::ui {

namespace {

using CS = ConvertSettings;

#define FIELD(field) &CS::field, #field

// The sidecar name choice in the five languages (日本語, English, 汉语(簡),
// 國語(繁), 한국): its caption, then one text for each of kSidecarNameChoices.
constexpr std::array<std::array<const char*, 5>, 3> kSidecarNameTexts = {{
    {"サイドカー名", "Sidecar Name", "附属文件名", "附屬檔名", "사이드카 이름"},
    {"完全 (NAME.EXT.xmp)", "Full (NAME.EXT.xmp)", "完整 (NAME.EXT.xmp)", "完整 (NAME.EXT.xmp)", "전체 (NAME.EXT.xmp)"},
    {"短縮 (NAME.xmp)", "Short (NAME.xmp)", "简短 (NAME.xmp)", "簡短 (NAME.xmp)", "짧게 (NAME.xmp)"},
}};
static_assert(kSidecarNameTexts.size() == kSidecarNameChoices.size() + 1);

// Photo_SidecarName as a combo of the texts of `language`; a value outside
// the choices shows nothing and is kept.
QComboBox* SidecarNameCombo(QWidget* owner, SettingBinder& binder, int language) {
    auto* box = new QComboBox(owner);
    box->setObjectName(QStringLiteral("Photo_SidecarName"));
    const auto column = static_cast<size_t>(language);
    for (size_t i = 0; i < kSidecarNameChoices.size(); ++i) {
        box->addItem(QString::fromUtf8(kSidecarNameTexts[i + 1][column]));
    }
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
    setWindowTitle(QStringLiteral("Photo Config"));
    auto* left = new QVBoxLayout;
    left->addWidget(BuildClock());
    left->addWidget(BuildStamps());
    left->addWidget(Check(this, "Use GPS Point", FIELD(Photo_Exif_GPS_Point)));
    // Between two records close enough in time, a photo lies on the line between them.
    auto* between = new QHBoxLayout;
    QCheckBox* interpolate = Check(this, "Interpolate", FIELD(Photo_Interpolate));
    auto* gap = Edit(this, FIELD(Photo_InterpolateSec));
    const QList<QWidget*> gapControls = {Label(this, "Records Within", gap), gap, Label(this, "Sec", nullptr)};
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
    SetGreyed(photoUrlEdit_, edited_.Photo_PhotoUrl == 0);
    ConnectRules();
    // The interpolation window is edited only with interpolation on.
    for (QWidget* widget : gapControls) {
        widget->setEnabled(interpolate->isChecked());
        connect(interpolate, &QCheckBox::toggled, widget, &QWidget::setEnabled);
    }
}

// Builders: each control bound to its field, named after it, in tab order.
QCheckBox* PhotoDialog::Check(QWidget* owner, const char* label, int CS::*field, const char* name) {
    auto* box = new QCheckBox(QString::fromUtf8(label), owner);
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

QLabel* PhotoDialog::Label(QWidget* owner, const char* text, QWidget* buddy) {
    auto* shown = new QLabel(QString::fromUtf8(text), owner);
    if (buddy != nullptr) shown->setBuddy(buddy);
    return shown;
}

// A choice the file holds outside the list is added to it, so that OK keeps it.
QComboBox* PhotoDialog::Combo(QWidget* owner, std::initializer_list<const char*> choices, std::string CS::*field,
                              const char* name, const char* accessible) {
    auto* box = new QComboBox(owner);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(QString::fromLatin1(accessible));
    for (const char* choice : choices) box->addItem(QString::fromLatin1(choice));
    const QString held = Qs(edited_.*field);
    if (box->findText(held) < 0) box->addItem(held);
    binder_.Combo(box, field);
    AddHiddenBuddy(box, QString::fromLatin1(accessible));
    return box;
}

// Camera clock: a fixed difference or a calibration from two readings.
QWidget* PhotoDialog::BuildClock() {
    auto* clock = new QGroupBox(QStringLiteral("Camera Clock"), this);
    auto* grid = new QGridLayout(clock);
    timeAdjust_ = Check(clock, "Time Adjust", FIELD(Photo_TimeAdjust));
    auto* seconds = Edit(clock, FIELD(Photo_TimeAdjustSec));
    QLabel* diffLabel = Label(clock, "Camera Diff", seconds);
    QLabel* secLabel = Label(clock, "Sec        (ex.  -60   or  +60 )", nullptr);
    grid->addWidget(timeAdjust_, 0, 0);
    grid->addWidget(diffLabel, 0, 1);
    grid->addWidget(seconds, 0, 2);
    grid->addWidget(secLabel, 0, 3);
    adjustControls_ = {seconds, diffLabel, secLabel};
    calibration_ = Check(clock, "Time Calibration", FIELD(Photo_TimeAdjustCAL));
    grid->addWidget(calibration_, 1, 0, 1, 4);
    using Text = std::string CS::*;
    const std::pair<Text, Text> pickerFields[2] = {{&CS::Photo_CalNowDate, &CS::Photo_CalNowTime},
                                                   {&CS::Photo_CalCameraDate, &CS::Photo_CalCameraTime}};
    const char* pickerRows[2] = {"Now", "Camera"};
    for (size_t p = 0; p < 2; ++p) {
        dates_[p] = new QDateEdit(clock);
        dates_[p]->setDisplayFormat(QLatin1String(kPickerDateFormat));
        dates_[p]->setCalendarPopup(true);
        times_[p] = new QTimeEdit(clock);
        times_[p]->setDisplayFormat(QLatin1String(kPickerTimeFormat));
        binder_.Date(dates_[p], pickerFields[p].first, kPickerDateFormat, &DateInFormat);
        binder_.Time(times_[p], pickerFields[p].second, kPickerTimeFormat, &TimeInFormat);
        const QString row = QString::fromLatin1(pickerRows[p]);
        QLabel* rowLabel = Label(clock, pickerRows[p], dates_[p]);
        NameControl(dates_[p], row, QStringLiteral("date"));
        NameControl(times_[p], row, QStringLiteral("time"));
        grid->addWidget(rowLabel, 2 + static_cast<int>(p), 1);
        grid->addWidget(dates_[p], 2 + static_cast<int>(p), 2);
        grid->addWidget(times_[p], 2 + static_cast<int>(p), 3);
        calibrationControls_ << rowLabel << dates_[p] << times_[p];
    }
    return clock;
}

QWidget* PhotoDialog::BuildStamps() {
    auto* stamps = new QGroupBox(QStringLiteral("TimeStamp"), this);
    auto* grid = new QGridLayout(stamps);
    grid->addWidget(Check(stamps, "GPS Date", FIELD(Photo_Exif_GPS_TimeStamp)), 0, 0);
    grid->addWidget(Check(stamps, "IFD Date", FIELD(Photo_Exif_DateTimeOriginal)), 0, 1);
    grid->addWidget(Check(stamps, "Exit Date", FIELD(Photo_Exif_DateTime)), 1, 0);
    // Shown for information only: the conversion sets it, this dialog never changes it.
    auto* fileDate = new QCheckBox(QStringLiteral("File Date"), stamps);
    fileDate->setObjectName(QStringLiteral("Photo_FileDate"));
    fileDate->setChecked(edited_.Photo_FileDate != 0);
    fileDate->setEnabled(false);
    grid->addWidget(fileDate, 1, 1);
    return stamps;
}

QWidget* PhotoDialog::BuildLocation() {
    auto* location = new QGroupBox(QStringLiteral("Default location"), this);
    auto* grid = new QGridLayout(location);
    QComboBox* northSouth = Combo(location, {"N", "S"}, FIELD(Photo_Default_Latitude_ns), "Latitude N/S");
    auto* latitude = Edit(location, FIELD(Photo_Default_Latitude));
    QComboBox* eastWest = Combo(location, {"E", "W"}, FIELD(Photo_Default_Longitudinal_we), "Longitudinal E/W");
    auto* longitude = Edit(location, FIELD(Photo_Default_Longitudinal));
    grid->addWidget(northSouth, 0, 0);
    grid->addWidget(Label(location, "Latitude (hhmmss.ss)", latitude), 0, 1);
    grid->addWidget(latitude, 0, 2);
    grid->addWidget(eastWest, 1, 0);
    grid->addWidget(Label(location, "Longitudinal (hhmmss.ss)", longitude), 1, 1);
    grid->addWidget(longitude, 1, 2);
    return location;
}

QWidget* PhotoDialog::BuildIcon() {
    auto* icon = new QGroupBox(QStringLiteral("Icon"), this);
    auto* grid = new QGridLayout(icon);
    iconUrl_ = Check(icon, "Icon Url ", FIELD(Photo_IconUrl));
    iconUrlEdit_ = Edit(icon, FIELD(Photo_IconUrl_edit));
    iconUrlEdit_->setAccessibleName(QStringLiteral("Icon Url"));
    iconThumbnail_ = Check(icon, "Icon Thumbnail", FIELD(Photo_IconThumbnail));
    auto* thumbnailSize = Edit(icon, FIELD(Photo_IconThumbnail_Sizel));
    QLabel* thumbnailLabel = Label(icon, "Thumbnail Size", thumbnailSize);
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
    auto* names = new QGroupBox(QStringLiteral("Icon Name"), this);
    auto* grid = new QGridLayout(names);
    grid->addWidget(Check(names, "FileName", FIELD(Photo_Icon_FileName)), 0, 0);
    grid->addWidget(Check(names, "Date", FIELD(Photo_Icon_Date)), 0, 1);
    grid->addWidget(Check(names, "Time", FIELD(Photo_Icon_Time)), 0, 2);
    title_ = Check(names, "Title", FIELD(Photo_Icon_Title));
    grid->addWidget(title_, 1, 0);
    grid->addWidget(Check(names, "Latitude", FIELD(Photo_Icon_Latitude)), 1, 1);
    grid->addWidget(Check(names, "Longitudinal", FIELD(Photo_Icon_Longitudinal)), 1, 2);
    titleHint_ = new QLabel(QStringLiteral("ASCII &  SJIS  Only"), names);  // no buddy: "&" shows as it is
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
    QCheckBox* photoUrl = Check(this, "Photo Url   ", FIELD(Photo_PhotoUrl));
    photoUrlEdit_ = Edit(this, FIELD(Photo_PhotoUrl_edit));
    photoUrlEdit_->setAccessibleName(QStringLiteral("Photo Url"));
    urlRow->addWidget(photoUrl);
    urlRow->addWidget(photoUrlEdit_, 1);
    column->addLayout(urlRow);

    auto* sizes = new QHBoxLayout;
    const std::pair<const char*, std::string CS::*> sizeFields[] = {
        {"Label Size", &CS::Photo_LabelSize}, {"ICON Size", &CS::Photo_IconSize}, {"Photo Width", &CS::Photo_PhotoWidth}};
    const char* sizeNames[] = {"Photo_LabelSize", "Photo_IconSize", "Photo_PhotoWidth"};
    for (size_t i = 0; i < std::size(sizeFields); ++i) {
        auto* value = Edit(this, sizeFields[i].second, sizeNames[i]);
        sizes->addWidget(Label(this, sizeFields[i].first, value));
        sizes->addWidget(value);
    }
    column->addLayout(sizes);

    auto* output = new QGridLayout;
    output->addWidget(Check(this, "CreateDirectory", FIELD(Photo_CreateDirectory)), 0, 0);
    output->addWidget(Label(this, "Create Directory And Jpg File Copy  (Kmz Create File)", nullptr), 0, 1, 1, 2);
    output->addWidget(Check(this, "Photo Data CSV OUT", FIELD(Photo_CsvOut)), 1, 0);
    output->addWidget(Label(this, "(OutFileName)_Photo.csv", nullptr), 1, 1, 1, 2);
    output->addWidget(Check(this, "Include Comment", FIELD(Photo_Comment)), 2, 0);
    output->addWidget(Check(this, "TimeStampTAG", FIELD(Photo_TimeStamp)), 3, 0);
    QCheckBox* photoLabel = Check(this, " (  Label  TimeStamp", FIELD(Photo_Label));
    photoLabel->setAccessibleName(QStringLiteral("Label  TimeStamp"));
    output->addWidget(photoLabel, 3, 1);
    output->addWidget(Label(this, ")", nullptr), 3, 2);
    QCheckBox* sidecar = Check(this, "XMP Sidecar", FIELD(Photo_Sidecar));
    output->addWidget(sidecar, 4, 0);
    output->addWidget(Label(this, "(PhotoFile).xmp  Position For Photo Software", nullptr), 4, 1, 1, 2);
    // How the sidecars are named, edited with sidecars on.
    const int language = ItemTextLanguage(edited_.Language);
    QComboBox* sidecarName = SidecarNameCombo(this, binder_, language);
    QLabel* sidecarNameLabel = Label(this, kSidecarNameTexts[0][static_cast<size_t>(language)], sidecarName);
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
    return RunSettingsDialog(dialog, settings, nullptr);
}

}  // namespace geoplait::ui
