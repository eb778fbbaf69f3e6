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

#include "ui/dialogs.h"
#include "ui/option_dialogs.h"

namespace geoplait::ui {

namespace {

using CS = ConvertSettings;

constexpr const char* kDateFormat = "yyyy/MM/dd";
constexpr const char* kTimeFormat = "HH:mm:ss";

#define FIELD(field) &CS::field, #field

}  // namespace

PhotoDialog::PhotoDialog(QWidget* parent, const Settings& settings) : SettingsDialog(parent, settings) {
    setWindowTitle(QStringLiteral("Photo Config"));

    // Builders: each control bound to its field, named after it, in tab order.
    auto check = [this](QWidget* owner, const char* label, int CS::*field, const char* name) {
        auto* box = new QCheckBox(QString::fromUtf8(label), owner);
        box->setObjectName(QString::fromLatin1(name));
        box->setChecked(edited_.*field != 0);
        checkFields_.emplace_back(box, field);
        return box;
    };
    auto edit = [this](QWidget* owner, std::string CS::*field, const char* name) {
        auto* line = new QLineEdit(Qs(edited_.*field), owner);
        line->setObjectName(QString::fromLatin1(name));
        editFields_.emplace_back(line, field);
        return line;
    };
    auto label = [](QWidget* owner, const char* text, QWidget* buddy) {
        auto* shown = new QLabel(QString::fromUtf8(text), owner);
        if (buddy != nullptr) shown->setBuddy(buddy);
        return shown;
    };
    auto combo = [this](QWidget* owner, std::initializer_list<const char*> choices, std::string CS::*field,
                        const char* name, const char* accessible) {
        auto* box = new QComboBox(owner);
        box->setObjectName(QString::fromLatin1(name));
        box->setAccessibleName(QString::fromLatin1(accessible));
        for (const char* choice : choices) box->addItem(QString::fromLatin1(choice));
        const QString held = Qs(edited_.*field);
        if (box->findText(held) < 0) box->addItem(held);
        box->setCurrentIndex(box->findText(held));
        comboFields_.emplace_back(box, field);
        return box;
    };

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;

    // Camera clock: a fixed difference or a calibration from two readings.
    auto* clock = new QGroupBox(QStringLiteral("Camera Clock"), this);
    auto* clockGrid = new QGridLayout(clock);
    timeAdjust_ = check(clock, "Time Adjust", FIELD(Photo_TimeAdjust));
    auto* seconds = edit(clock, FIELD(Photo_TimeAdjustSec));
    QLabel* diffLabel = label(clock, "Camera Diff", seconds);
    QLabel* secLabel = label(clock, "Sec        (ex.  -60   or  +60 )", nullptr);
    clockGrid->addWidget(timeAdjust_, 0, 0);
    clockGrid->addWidget(diffLabel, 0, 1);
    clockGrid->addWidget(seconds, 0, 2);
    clockGrid->addWidget(secLabel, 0, 3);
    adjustControls_ = {seconds, diffLabel, secLabel};
    calibration_ = check(clock, "Time Calibration", FIELD(Photo_TimeAdjustCAL));
    clockGrid->addWidget(calibration_, 1, 0, 1, 4);
    const std::string* pickerTexts[2][2] = {{&edited_.Photo_CalNowDate, &edited_.Photo_CalNowTime},
                                            {&edited_.Photo_CalCameraDate, &edited_.Photo_CalCameraTime}};
    const char* pickerRows[2] = {"Now", "Camera"};
    for (size_t p = 0; p < 2; ++p) {
        // A picker starts at what it showed last time, else at the present moment.
        QDate date = QDate::fromString(Qs(*pickerTexts[p][0]), QLatin1String(kDateFormat));
        QTime time = QTime::fromString(Qs(*pickerTexts[p][1]), QLatin1String(kTimeFormat));
        if (!date.isValid()) date = QDate::currentDate();
        if (!time.isValid()) time = QTime::currentTime();
        dates_[p] = new QDateEdit(date, clock);
        dates_[p]->setDisplayFormat(QLatin1String(kDateFormat));
        dates_[p]->setCalendarPopup(true);
        times_[p] = new QTimeEdit(time, clock);
        times_[p]->setDisplayFormat(QLatin1String(kTimeFormat));
        const QString row = QString::fromLatin1(pickerRows[p]);
        QLabel* rowLabel = label(clock, pickerRows[p], dates_[p]);
        NameControl(dates_[p], row, QStringLiteral("date"));
        NameControl(times_[p], row, QStringLiteral("time"));
        clockGrid->addWidget(rowLabel, 2 + static_cast<int>(p), 1);
        clockGrid->addWidget(dates_[p], 2 + static_cast<int>(p), 2);
        clockGrid->addWidget(times_[p], 2 + static_cast<int>(p), 3);
        calibrationControls_ << rowLabel << dates_[p] << times_[p];
    }
    left->addWidget(clock);

    auto* stamps = new QGroupBox(QStringLiteral("TimeStamp"), this);
    auto* stampGrid = new QGridLayout(stamps);
    stampGrid->addWidget(check(stamps, "GPS Date", FIELD(Photo_Exif_GPS_TimeStamp)), 0, 0);
    stampGrid->addWidget(check(stamps, "IFD Date", FIELD(Photo_Exif_DateTimeOriginal)), 0, 1);
    stampGrid->addWidget(check(stamps, "Exit Date", FIELD(Photo_Exif_DateTime)), 1, 0);
    // Shown for information only: the conversion sets it, this dialog never changes it.
    auto* fileDate = new QCheckBox(QStringLiteral("File Date"), stamps);
    fileDate->setObjectName(QStringLiteral("Photo_FileDate"));
    fileDate->setChecked(edited_.Photo_FileDate != 0);
    fileDate->setEnabled(false);
    stampGrid->addWidget(fileDate, 1, 1);
    left->addWidget(stamps);

    left->addWidget(check(this, "Use GPS Point", FIELD(Photo_Exif_GPS_Point)));

    // Between two records close enough in time, a photo lies on the line between them.
    auto* between = new QHBoxLayout;
    QCheckBox* interpolate = check(this, "Interpolate", FIELD(Photo_Interpolate));
    auto* gap = edit(this, FIELD(Photo_InterpolateSec));
    QLabel* gapLabel = label(this, "Records Within", gap);
    QLabel* gapUnit = label(this, "Sec", nullptr);
    between->addWidget(interpolate);
    between->addWidget(gapLabel);
    between->addWidget(gap);
    between->addWidget(gapUnit);
    left->addLayout(between);
    for (QWidget* widget : {static_cast<QWidget*>(gap), static_cast<QWidget*>(gapLabel),
                            static_cast<QWidget*>(gapUnit)}) {
        widget->setEnabled(interpolate->isChecked());
        connect(interpolate, &QCheckBox::toggled, widget, &QWidget::setEnabled);
    }

    auto* location = new QGroupBox(QStringLiteral("Default location"), this);
    auto* locationGrid = new QGridLayout(location);
    QComboBox* northSouth = combo(location, {"N", "S"}, FIELD(Photo_Default_Latitude_ns), "Latitude N/S");
    auto* latitude = edit(location, FIELD(Photo_Default_Latitude));
    QComboBox* eastWest = combo(location, {"E", "W"}, FIELD(Photo_Default_Longitudinal_we), "Longitudinal E/W");
    auto* longitude = edit(location, FIELD(Photo_Default_Longitudinal));
    locationGrid->addWidget(northSouth, 0, 0);
    locationGrid->addWidget(label(location, "Latitude (hhmmss.ss)", latitude), 0, 1);
    locationGrid->addWidget(latitude, 0, 2);
    locationGrid->addWidget(eastWest, 1, 0);
    locationGrid->addWidget(label(location, "Longitudinal (hhmmss.ss)", longitude), 1, 1);
    locationGrid->addWidget(longitude, 1, 2);
    left->addWidget(location);
    left->addStretch(1);

    auto* icon = new QGroupBox(QStringLiteral("Icon"), this);
    auto* iconGrid = new QGridLayout(icon);
    iconUrl_ = check(icon, "Icon Url ", FIELD(Photo_IconUrl));
    iconUrlEdit_ = edit(icon, FIELD(Photo_IconUrl_edit));
    iconUrlEdit_->setAccessibleName(QStringLiteral("Icon Url"));
    iconThumbnail_ = check(icon, "Icon Thumbnail", FIELD(Photo_IconThumbnail));
    auto* thumbnailSize = edit(icon, FIELD(Photo_IconThumbnail_Sizel));
    QLabel* thumbnailLabel = label(icon, "Thumbnail Size", thumbnailSize);
    iconGrid->addWidget(iconUrl_, 0, 0);
    iconGrid->addWidget(iconUrlEdit_, 0, 1, 1, 2);
    iconGrid->addWidget(iconThumbnail_, 1, 0);
    iconGrid->addWidget(thumbnailLabel, 1, 1);
    iconGrid->addWidget(thumbnailSize, 1, 2);
    iconGrid->setColumnStretch(2, 1);
    thumbnailControls_ = {thumbnailLabel, thumbnailSize};
    right->addWidget(icon);

    auto* names = new QGroupBox(QStringLiteral("Icon Name"), this);
    auto* nameGrid = new QGridLayout(names);
    nameGrid->addWidget(check(names, "FileName", FIELD(Photo_Icon_FileName)), 0, 0);
    nameGrid->addWidget(check(names, "Date", FIELD(Photo_Icon_Date)), 0, 1);
    nameGrid->addWidget(check(names, "Time", FIELD(Photo_Icon_Time)), 0, 2);
    title_ = check(names, "Title", FIELD(Photo_Icon_Title));
    nameGrid->addWidget(title_, 1, 0);
    nameGrid->addWidget(check(names, "Latitude", FIELD(Photo_Icon_Latitude)), 1, 1);
    nameGrid->addWidget(check(names, "Longitudinal", FIELD(Photo_Icon_Longitudinal)), 1, 2);
    titleHint_ = new QLabel(QStringLiteral("ASCII &  SJIS  Only"), names);  // no buddy: "&" shows as it is
    titleHint_->setObjectName(QStringLiteral("TitleHint"));
    QSizePolicy hintPolicy = titleHint_->sizePolicy();
    hintPolicy.setRetainSizeWhenHidden(true);
    titleHint_->setSizePolicy(hintPolicy);
    nameGrid->addWidget(titleHint_, 2, 0, 1, 3);
    right->addWidget(names);

    auto* urlRow = new QHBoxLayout;
    QCheckBox* photoUrl = check(this, "Photo Url   ", FIELD(Photo_PhotoUrl));
    auto* photoUrlEdit = edit(this, FIELD(Photo_PhotoUrl_edit));
    photoUrlEdit->setAccessibleName(QStringLiteral("Photo Url"));
    // Greyed as the dialog opens; it keeps accepting typing either way.
    SetGreyed(photoUrlEdit, edited_.Photo_PhotoUrl == 0);
    urlRow->addWidget(photoUrl);
    urlRow->addWidget(photoUrlEdit, 1);
    right->addLayout(urlRow);

    auto* sizes = new QHBoxLayout;
    const std::pair<const char*, std::string CS::*> sizeFields[] = {
        {"Label Size", &CS::Photo_LabelSize}, {"ICON Size", &CS::Photo_IconSize}, {"Photo Width", &CS::Photo_PhotoWidth}};
    const char* sizeNames[] = {"Photo_LabelSize", "Photo_IconSize", "Photo_PhotoWidth"};
    for (size_t i = 0; i < std::size(sizeFields); ++i) {
        auto* value = edit(this, sizeFields[i].second, sizeNames[i]);
        sizes->addWidget(label(this, sizeFields[i].first, value));
        sizes->addWidget(value);
    }
    right->addLayout(sizes);

    auto* output = new QGridLayout;
    output->addWidget(check(this, "CreateDirectory", FIELD(Photo_CreateDirectory)), 0, 0);
    output->addWidget(label(this, "Create Directory And Jpg File Copy  (Kmz Create File)", nullptr), 0, 1, 1, 2);
    output->addWidget(check(this, "Photo Data CSV OUT", FIELD(Photo_CsvOut)), 1, 0);
    output->addWidget(label(this, "(OutFileName)_Photo.csv", nullptr), 1, 1, 1, 2);
    output->addWidget(check(this, "Include Comment", FIELD(Photo_Comment)), 2, 0);
    output->addWidget(check(this, "TimeStampTAG", FIELD(Photo_TimeStamp)), 3, 0);
    QCheckBox* photoLabel = check(this, " (  Label  TimeStamp", FIELD(Photo_Label));
    photoLabel->setAccessibleName(QStringLiteral("Label  TimeStamp"));
    output->addWidget(photoLabel, 3, 1);
    output->addWidget(label(this, ")", nullptr), 3, 2);
    output->addWidget(check(this, "XMP Sidecar", FIELD(Photo_Sidecar)), 4, 0);
    output->addWidget(label(this, "(PhotoFile).xmp  Position For Photo Software", nullptr), 4, 1, 1, 2);
    output->setColumnStretch(2, 1);
    right->addLayout(output);
    right->addStretch(1);

    columns->addLayout(left);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(MakeOkCancel());

    connect(timeAdjust_, &QCheckBox::clicked, this, [this](bool on) {
        if (on) calibration_->setChecked(false);
        ShowTimeControls();
    });
    connect(calibration_, &QCheckBox::clicked, this, [this](bool on) {
        if (on) timeAdjust_->setChecked(false);
        ShowTimeControls();
    });
    // Exactly one of the two icons: a click on either switches both.
    connect(iconUrl_, &QCheckBox::clicked, this, [this](bool on) {
        iconThumbnail_->setChecked(!on);
        ShowIconControls();
    });
    connect(iconThumbnail_, &QCheckBox::clicked, this, [this](bool on) {
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
    for (const auto& [box, field] : checkFields_) edited_.*field = box->isChecked() ? 1 : 0;
    for (const auto& [line, field] : editFields_) edited_.*field = FieldText(line->text());
    for (const auto& [box, field] : comboFields_) edited_.*field = FieldText(box->currentText());
    edited_.Photo_CalNowDate = Ss(dates_[0]->date().toString(QLatin1String(kDateFormat)));
    edited_.Photo_CalNowTime = Ss(times_[0]->time().toString(QLatin1String(kTimeFormat)));
    edited_.Photo_CalCameraDate = Ss(dates_[1]->date().toString(QLatin1String(kDateFormat)));
    edited_.Photo_CalCameraTime = Ss(times_[1]->time().toString(QLatin1String(kTimeFormat)));
    QDialog::accept();
}

#undef FIELD

bool ExecPhotoDialog(QWidget* parent, Settings& settings) {
    PhotoDialog dialog(parent, settings);
    return RunSettingsDialog(dialog, settings, nullptr);
}

}  // namespace geoplait::ui
