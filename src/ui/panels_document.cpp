// The record filters, the KML document and the photo panels.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "settings/settings_keys.h"
#include "ui/dialog_frame.h"
#include "ui/panels.h"

namespace geoplait::ui {

namespace {

constexpr const char* kPhotoFolderTitle = "Select Photo(jpg) Folder";

}  // namespace

// ---------------------------------------------------------------- filters

FiltersPanel::FiltersPanel(WindowParts& parts, QWidget* parent) : QGroupBox(parent), parts_(parts) {
    setObjectName("filtersBox");
    auto* grid = new QGridLayout(this);
    BuildRecordRows(grid);
    BuildDateRows(grid);
    grid->setColumnStretch(3, 1);
}

void FiltersPanel::BuildRecordRows(QGridLayout* grid) {
    WindowParts& p = parts_;
    includeData_ = p.AddCheck(this, TextRow::IncludeData, "IncludeData", "includeData");
    grid->addWidget(includeData_, 0, 0, 1, 4);
    auto* record = p.AddLabel(this, TextRow::Record, "Record", nullptr);
    recordStart_ = p.MakeEdit(this, "recordStart", 10);
    recordEnd_ = p.MakeEdit(this, "recordEnd", 10);
    auto* startLabel = p.AddLabel(this, TextRow::RangeStart, "Start", recordStart_);
    auto* endLabel = p.AddLabel(this, TextRow::RangeEnd, "End", recordEnd_);
    grid->addWidget(record, 1, 0);
    grid->addWidget(startLabel, 1, 1);
    grid->addWidget(recordStart_, 1, 2);
    grid->addWidget(endLabel, 2, 1);
    grid->addWidget(recordEnd_, 2, 2);
    p.AddToPart(kRecordRow, {includeData_, record, startLabel, recordStart_, endLabel, recordEnd_});

    satellites_ = p.MakeCombo(this, "satellites");
    for (int n = 0; n < kSatelliteChoices; ++n) satellites_->addItem(QString::number(n));
    margin_ = p.MakeEdit(this, "margin", 8);
    distance_ = p.MakeEdit(this, "distance", 8);
    auto* reNumber = p.AddCheck(this, TextRow::ReNumber, "ReNumber", "reNumber");
    auto* satellitesLabel = p.AddLabel(this, TextRow::SatellitesLow, "Satellites Low", satellites_);
    auto* marginLabel = p.AddLabel(this, TextRow::MarginHi, "Margin Hi", margin_);
    auto* distanceLabel = p.AddLabel(this, TextRow::FilterDistance, "Distance(m)", distance_);
    grid->addWidget(satellitesLabel, 3, 0, 1, 2);
    grid->addWidget(satellites_, 3, 2);
    grid->addWidget(marginLabel, 4, 0, 1, 2);
    grid->addWidget(margin_, 4, 2);
    grid->addWidget(distanceLabel, 5, 0, 1, 2);
    grid->addWidget(distance_, 5, 2);
    grid->addWidget(reNumber, 6, 0, 1, 3);
    p.AddToPart(kFilterExtras,
                {satellitesLabel, satellites_, marginLabel, margin_, distanceLabel, distance_, reNumber});
    includeDependents_ = {record, startLabel, endLabel, satellitesLabel, marginLabel, distanceLabel,
                          satellites_, reNumber};

    SettingBinder& b = p.binder();
    b.Check(includeData_, &ConvertSettings::IncludeData);
    b.Check(reNumber, &ConvertSettings::ReNumber);
    b.Edit(recordStart_, &ConvertSettings::RecordStart, kTextChars);
    b.Edit(recordEnd_, &ConvertSettings::RecordEnd, kTextChars);
    b.Edit(margin_, &ConvertSettings::Margin, kTextChars);
    b.Edit(distance_, &ConvertSettings::Distance, kTextChars);
    b.Combo(satellites_, &ConvertSettings::Satellites);
}

void FiltersPanel::BuildDateRows(QGridLayout* grid) {
    WindowParts& p = parts_;
    dateFilter_ = p.MakeCheck(this, "Date/Time", "dateFilter");
    auto* startDate = p.Focusable(new QDateEdit(QDate::currentDate(), this), "startDate");
    auto* startTime = p.Focusable(new QTimeEdit(QTime(0, 0, 0), this), "startTime");
    auto* endDate = p.Focusable(new QDateEdit(QDate::currentDate(), this), "endDate");
    auto* endTime = p.Focusable(new QTimeEdit(QTime(0, 0, 0), this), "endTime");
    for (QDateEdit* date : {startDate, endDate}) {
        date->setDisplayFormat(kPickerDateFormat);
        date->setCalendarPopup(true);
    }
    for (QTimeEdit* time : {startTime, endTime}) time->setDisplayFormat(kPickerTimeFormat);
    startDate->setAccessibleName("Start date");
    startTime->setAccessibleName("Start time");
    endDate->setAccessibleName("End date");
    endTime->setAccessibleName("End time");
    auto* tilde = new QLabel("~", this);
    grid->addWidget(dateFilter_, 7, 0, 1, 4);
    grid->addWidget(startDate, 8, 0, 1, 2);
    grid->addWidget(startTime, 8, 2);
    grid->addWidget(tilde, 9, 0);
    grid->addWidget(endDate, 9, 1);
    grid->addWidget(endTime, 9, 2);
    p.AddToPart(kDateRow, {dateFilter_, startDate, startTime, tilde, endDate, endTime});
    pickers_ = {startDate, startTime, endDate, endTime};

    // A text that is no date or time leaves the picker as it was.
    SettingBinder& b = p.binder();
    b.Check(dateFilter_, &ConvertSettings::IncludeData_date);
    b.Date(startDate, &ConvertSettings::DATE_IncludeStart, kPickerDateFormat, &DateAtPositions);
    b.Time(startTime, &ConvertSettings::TIME_IncludeStart, kPickerTimeFormat, &TimeAtPositions);
    b.Date(endDate, &ConvertSettings::DATE_IncludeEnd, kPickerDateFormat, &DateAtPositions);
    b.Time(endTime, &ConvertSettings::TIME_IncludeEnd, kPickerTimeFormat, &TimeAtPositions);
}

void FiltersPanel::ApplyRules() {
    const bool include = includeData_->isChecked();
    for (QWidget* widget : includeDependents_) widget->setEnabled(include);
    for (QLineEdit* edit : {recordStart_, recordEnd_, margin_, distance_}) parts_.SetGreyed(edit, !include);
    for (QWidget* picker : pickers_) parts_.SetGreyed(picker, !dateFilter_->isChecked());
}

// ---------------------------------------------------------------- KML document

KmlDocumentPanel::KmlDocumentPanel(WindowParts& parts, Settings& settings, QWidget* parent)
    : QGroupBox("KML File Create", parent), parts_(parts), settings_(settings) {
    WindowParts& p = parts_;
    setObjectName("kmlBox");
    p.SetTextTarget(TextRow::KmlFileCreate, this);
    auto* grid = new QGridLayout(this);
    kmlName_ = p.MakeEdit(this, "kmlName", 16);
    setName_ = p.MakeButton(this, "Set", "set");
    setName_->setAccessibleDescription("Name taken from the output file");
    grid->addWidget(p.AddLabel(this, TextRow::Name, "*KML Name", kmlName_), 0, 0);
    grid->addWidget(kmlName_, 0, 1);
    grid->addWidget(setName_, 0, 2);

    auto* altitudeBox = new QGroupBox("*Altitude", this);
    altitudeBox->setObjectName("altitudeBox");
    auto* altitude = new QGridLayout(altitudeBox);
    altitude_ = p.AddCheck(altitudeBox, TextRow::AltitudeCheck, "Altitude", "altitude");
    vLine_ = p.AddCheck(altitudeBox, TextRow::VLine, "V-Line", "vLine");
    vLineSwatch_ = p.MakeButton(altitudeBox, "", "vLineSwatch");
    vLineSwatch_->setAccessibleName("Vertical-line colour");
    vLineTransparency_ = p.MakeCombo(altitudeBox, "vLineTransparency");
    for (const char* text : kTransparencyTexts) vLineTransparency_->addItem(text);
    polygon_ = p.AddLabel(altitudeBox, TextRow::Polygon, "Polygon", nullptr);
    altitude->addWidget(altitude_, 0, 0);
    altitude->addWidget(vLine_, 0, 1, 1, 2);
    altitude->addWidget(polygon_, 1, 0);
    altitude->addWidget(vLineSwatch_, 1, 1);
    altitude->addWidget(vLineTransparency_, 1, 2);
    grid->addWidget(altitudeBox, 1, 0, 1, 3);

    positionOffset_ = p.MakeButton(this, "Position Offset", "positionOffset");
    grid->addWidget(positionOffset_, 2, 0, 1, 3, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    p.AddToPart(kKmlDocument, {this});
    p.AddToPart(kAltitudeBox, {altitudeBox});

    SettingBinder& b = p.binder();
    b.Edit(kmlName_, &ConvertSettings::Name, kPathChars);
    b.Check(altitude_, &ConvertSettings::Altitude);
    b.Check(vLine_, &ConvertSettings::VLineAltitude);
    // The transparency through the percentage table; a text outside it changes nothing.
    b.Custom(
        vLineTransparency_,
        [this](const ConvertSettings& s) {
            vLineTransparency_->setCurrentIndex(vLineTransparency_->findText(Qt8(s.VLineTransparentPercent)));
        },
        [this](ConvertSettings& s) {
            const std::string percent = vLineTransparency_->currentText().toStdString();
            if (const char* hex = TransparentOfPercent(percent)) {
                s.VLineTransparent = hex;
                s.VLineTransparentPercent = percent;
            }
        });
    connect(vLineTransparency_, &QComboBox::activated, this, [this] {
        settings_.current.VLineTransparentPercent = vLineTransparency_->currentText().toStdString();
    });
    connect(vLineSwatch_, &QPushButton::clicked, this, &KmlDocumentPanel::ChooseVLineColour);
}

// The transparency combo is named for what it sets, not for the "Polygon" caption beside it.
void KmlDocumentPanel::NameUncaptionedControls() {
    AddHiddenBuddy(vLineTransparency_, "Vertical-line transparency");
}

void KmlDocumentPanel::SetName(const std::string& name) { kmlName_->setText(Qt8(name)); }

void KmlDocumentPanel::ApplyRules(bool drawsTrack) {
    const bool altitude = altitude_->isChecked();
    for (QWidget* widget : std::initializer_list<QWidget*>{vLine_, polygon_, vLineSwatch_, vLineTransparency_}) {
        widget->setEnabled(altitude);
    }
    vLineSwatch_->setVisible(drawsTrack);
}

void KmlDocumentPanel::PaintSwatch() { PaintColourButton(vLineSwatch_, settings_.current.VLineColor); }

void KmlDocumentPanel::ChooseVLineColour() {
    const int language = LanguageIndex(settings_.current.Language);
    if (ChooseColourInto(window(), chooserColour_, settings_.current.VLineColor, language)) PaintSwatch();
}

// ---------------------------------------------------------------- photo

PhotoPanel::PhotoPanel(WindowParts& parts, QWidget* parent) : QWidget(parent), parts_(parts) {
    WindowParts& p = parts_;
    auto* photoBox = new QGroupBox(this);
    photoBox->setObjectName("photoBox");
    auto* grid = new QGridLayout(photoBox);
    photo_ = p.AddCheck(photoBox, TextRow::Photo, "*Photo", "photo");
    kmz_ = p.MakeCheck(photoBox, "Adds kmz File", "kmz");
    photoConfig_ = p.MakeButton(photoBox, "Photo Config", "photoConfig");
    grid->addWidget(photo_, 0, 0);
    grid->addWidget(kmz_, 0, 1);
    grid->addWidget(photoConfig_, 0, 2);
    photoDir_ = p.MakeEdit(photoBox, "photoDir", 16);
    photoSearch_ = p.MakeButton(photoBox, "Se&arch", "photoSearch");
    photoSearch_->setAccessibleName("Search photo folder");
    folderLabel_ = p.AddLabel(photoBox, TextRow::Folder, "Folder", photoDir_);
    grid->addWidget(folderLabel_, 1, 0);
    grid->addWidget(photoDir_, 1, 1);
    grid->addWidget(photoSearch_, 1, 2);
    photoHint_ = new QLabel("<- Photo Config [CreateDirectory] Check.", photoBox);
    photoHint_->setObjectName("photoHint");
    grid->addWidget(photoHint_, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    p.AddToPart(kPhotoBox, {photoBox});

    auto* timeStampBox = new QGroupBox("*TimeStamp", this);
    timeStampBox->setObjectName("timeStampBox");
    auto* stamps = new QHBoxLayout(timeStampBox);
    auto* timeStampPath = p.MakeCheck(timeStampBox, "Path", "timeStampPath");
    auto* timeStampPosition = p.MakeCheck(timeStampBox, "Position", "timeStampPosition");
    stamps->addWidget(timeStampPath);
    stamps->addWidget(timeStampPosition);
    stamps->addStretch(1);
    p.AddToPart(kTimeStampBox, {timeStampBox});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(photoBox);
    layout->addWidget(timeStampBox);

    SettingBinder& b = p.binder();
    b.Check(photo_, &ConvertSettings::Photo);
    b.Check(kmz_, &ConvertSettings::Kmz);
    b.Edit(photoDir_, &ConvertSettings::PhotoDir, kPathChars);
    b.Check(timeStampPath, &ConvertSettings::TimeStampPath);
    b.Check(timeStampPosition, &ConvertSettings::TimeStampPosition);
    connect(photoSearch_, &QPushButton::clicked, this, &PhotoPanel::SearchFolder);
}

QString PhotoPanel::Folder() const { return photoDir_->text(); }

void PhotoPanel::ApplyRules(ConvertSettings& s, bool kmlOutput) {
    if (!kmlOutput) {
        s.Photo = s.Kmz = 0;
        const QSignalBlocker quietPhoto(photo_);
        const QSignalBlocker quietKmz(kmz_);
        photo_->setChecked(false);
        kmz_->setChecked(false);
    }
    const bool photo = photo_->isChecked();
    for (QWidget* widget : std::initializer_list<QWidget*>{folderLabel_, photoDir_, photoSearch_, photoConfig_}) {
        widget->setEnabled(photo);
    }
    const bool kmzPossible = photo && s.Photo_CreateDirectory == 1;
    kmz_->setEnabled(kmzPossible);
    photoHint_->setVisible(photo && !kmzPossible);
}

void PhotoPanel::SearchFolder() {
    const QString folder = QFileDialog::getExistingDirectory(window(), kPhotoFolderTitle, photoDir_->text());
    if (!folder.isEmpty()) photoDir_->setText(folder);
}

}  // namespace geoplait::ui
