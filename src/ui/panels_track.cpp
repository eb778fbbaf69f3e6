// The track and placemark, split and label panels.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/settings_keys.h"
#include "ui/dialog_frame.h"
#include "ui/panels.h"

namespace geoplait::ui {

namespace {

// The label options in the order of their layout bits (kLabelNo upwards).
struct LabelOption {
    TextRow row;
    const char* english;
    const char* name;
    int ConvertSettings::*flag;
};
constexpr LabelOption kLabelOptions[] = {
    {TextRow::LabelNo, "No", "labelNo", &ConvertSettings::Label_No},
    {TextRow::LabelKm, "Km", "labelKm", &ConvertSettings::Label_Km},
    {TextRow::LabelSpeed, "Speed", "labelSpeed", &ConvertSettings::Label_Speed},
    {TextRow::LabelElapsed, "Elapsed", "labelElapsed", &ConvertSettings::Label_Elapsed},
    {TextRow::LabelDegrees, "Degrees", "labelDegrees", &ConvertSettings::Label_Degrees},
    {TextRow::LabelDate, "Date", "labelDate", &ConvertSettings::Label_Date},
    {TextRow::LabelTime, "Time", "labelTime", &ConvertSettings::Label_Time},
    {TextRow::LabelIntervalTime, "Interval(Time)", "labelIntervalTime", &ConvertSettings::Label_IntervalTime},
    {TextRow::LabelAltitude, "Altitude", "labelAltitude", &ConvertSettings::Label_Altitude},
    {TextRow::LabelIntervalKm, "Interval", "labelIntervalKm", &ConvertSettings::Label_IntervalKm},
    {TextRow::LabelSatellites, "satellites + dilution", "labelSatellites", &ConvertSettings::Label_Satellites},
    {TextRow::LabelTex, "Tex(POT)/Name(Gpx)", "labelTex", &ConvertSettings::Label_Tex},
    {TextRow::LabelLatLon, "Lat/Lon", "labelLatLon", &ConvertSettings::Label_LatLon},
    {TextRow::LabelDescription, "Description ", "labelDescription", &ConvertSettings::Label_Description},
};
static_assert(std::size(kLabelOptions) == 14);
constexpr int kFirstLabelBit = 21;  // kLabelNo

}  // namespace

// ---------------------------------------------------------------- track and placemarks

TrackPanel::TrackPanel(WindowParts& parts, Settings& settings, QWidget* parent)
    : QWidget(parent), parts_(parts), settings_(settings) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(BuildTrack());
    column->addWidget(BuildPlacemarks());

    // "Type" and "Distance()" exclude each other.
    connect(posType_, &QCheckBox::toggled, this, [this](bool on) {
        if (on) posDistance_->setChecked(false);
    });
    connect(posDistance_, &QCheckBox::toggled, this, [this](bool on) {
        if (on) posType_->setChecked(false);
    });
    connect(trackSwatch_, &QPushButton::clicked, this, &TrackPanel::ChooseTrackColour);
    connect(trackTransparency_, &QComboBox::activated, this, [this] {
        settings_.current.TransparentPercent[0] = trackTransparency_->currentText().toStdString();
    });
}

QWidget* TrackPanel::BuildTrack() {
    WindowParts& p = parts_;
    auto* box = new QGroupBox(this);
    box->setObjectName("trackBox");
    auto* grid = new QGridLayout(box);
    track_ = p.AddCheck(box, TextRow::Track, "*Track(Line)", "track");
    trackSwatch_ = p.MakeButton(box, "BBGGRR", "trackSwatch");
    trackSwatch_->setAccessibleName("Track colour");
    lineWidth_ = p.MakeCombo(box, "lineWidth");
    for (const char* text : kLineWidthTexts) lineWidth_->addItem(text);
    trackTransparency_ = p.MakeCombo(box, "trackTransparency");
    for (const char* text : kTransparencyTexts) trackTransparency_->addItem(text);
    group_ = p.MakeButton(box, "Group", "group");
    auto* colour = p.AddLabel(box, TextRow::Colour, "Color", trackSwatch_);
    auto* width = p.AddLabel(box, TextRow::Width, "Width", lineWidth_);
    auto* transparent = p.AddLabel(box, TextRow::Transparent, "Transparent", trackTransparency_);
    grid->addWidget(track_, 0, 0, 1, 2);
    grid->addWidget(colour, 1, 0);
    grid->addWidget(trackSwatch_, 1, 1);
    grid->addWidget(width, 1, 2);
    grid->addWidget(lineWidth_, 1, 3);
    grid->addWidget(transparent, 2, 0);
    grid->addWidget(trackTransparency_, 2, 1);
    grid->addWidget(group_, 2, 2, 1, 2);
    trackDependents_ = {colour, trackSwatch_, width, lineWidth_, transparent, trackTransparency_, group_};
    p.AddToPart(kTrackBox, {box});

    SettingBinder& b = p.binder();
    b.Check(track_, &ConvertSettings::TrackLine);
    b.Custom(
        lineWidth_, [this](const ConvertSettings& s) { lineWidth_->setCurrentIndex(lineWidth_->findText(Qt8(s.LineWidth[0]))); },
        [this](ConvertSettings& s) {
            if (lineWidth_->currentIndex() >= 0) s.LineWidth[0] = lineWidth_->currentText().toStdString();
        });
    // The transparency through the percentage table; a text outside it changes nothing.
    b.Custom(
        trackTransparency_,
        [this](const ConvertSettings& s) {
            trackTransparency_->setCurrentIndex(trackTransparency_->findText(Qt8(s.TransparentPercent[0])));
        },
        [this](ConvertSettings& s) {
            const std::string percent = trackTransparency_->currentText().toStdString();
            if (const char* hex = TransparentOfPercent(percent)) {
                s.Transparent[0] = hex;
                s.TransparentPercent[0] = percent;
            }
        });
    return box;
}

QWidget* TrackPanel::BuildPlacemarks() {
    WindowParts& p = parts_;
    auto* box = new QGroupBox(this);
    box->setObjectName("placemarkBox");
    auto* grid = new QGridLayout(box);
    placemark_ = p.AddCheck(box, TextRow::Placemark, "*Placemark(Position)", "placemark");
    grid->addWidget(placemark_, 0, 0, 1, 4);
    interval_ = p.MakeEdit(box, "interval", 6);
    auto* intervalLabel = p.AddLabel(box, TextRow::Interval, "Interval", interval_);
    auto* range = p.AddLabel(box, TextRow::IntervalRange, " (1-9999)", nullptr);
    grid->addWidget(intervalLabel, 1, 0);
    grid->addWidget(interval_, 1, 1);
    grid->addWidget(range, 1, 2, 1, 2);
    auto* view = p.AddLabel(box, TextRow::View, "View", nullptr);
    posType_ = p.AddCheck(box, TextRow::PosType, "Type", "posType");
    posTypeCombo_ = p.MakeCombo(box, "posTypeCombo");
    for (const char* text : kPlacemarkTypeTexts) posTypeCombo_->addItem(text);
    posTypeCombo_->setAccessibleName("Placemark type");
    grid->addWidget(view, 2, 0);
    grid->addWidget(posType_, 2, 1);
    grid->addWidget(posTypeCombo_, 2, 2, 1, 2);
    posDistance_ = p.AddCheck(box, TextRow::PosDistance, "Distance()", "posDistance");
    posDistanceEdit_ = p.MakeEdit(box, "posDistanceEdit", 6);
    posDistanceEdit_->setAccessibleName("Placemark distance");
    unitNote_ = p.AddLabel(box, TextRow::UnitNote, "(Meter)", nullptr);
    grid->addWidget(posDistance_, 3, 1);
    grid->addWidget(posDistanceEdit_, 3, 2);
    grid->addWidget(unitNote_, 3, 3);
    iconSize_ = p.MakeEdit(box, "iconSize", 4);
    // Wide enough for its number whatever the length of its caption.
    labelSize_ = p.MakeEdit(box, "labelSize", 8);
    auto* iconSizeLabel = p.AddLabel(box, TextRow::IconSize, "ICON Size", iconSize_);
    auto* labelSizeLabel = p.AddLabel(box, TextRow::LabelSize, "Label Size", labelSize_);
    grid->addWidget(iconSizeLabel, 4, 0);
    grid->addWidget(iconSize_, 4, 1);
    grid->addWidget(labelSizeLabel, 4, 2);
    grid->addWidget(labelSize_, 4, 3);
    iconUrl_ = p.AddCheck(box, TextRow::IconUrl, "Icon Url", "iconUrl");
    iconUrlEdit_ = p.MakeEdit(box, "iconUrlEdit", 16);
    iconUrlEdit_->setAccessibleName("Icon URL");
    grid->addWidget(iconUrl_, 5, 0);
    grid->addWidget(iconUrlEdit_, 5, 1, 1, 3);
    grid->setColumnStretch(3, 1);
    placemarkDependents_ = {intervalLabel, range, view, posType_, posDistance_, unitNote_,
                            iconSizeLabel, labelSizeLabel, iconUrl_};
    p.AddToPart(kPlacemarkBox, {box});

    SettingBinder& b = p.binder();
    b.Check(placemark_, &ConvertSettings::Placemark);
    b.Check(posType_, &ConvertSettings::PosType);
    b.Check(posDistance_, &ConvertSettings::PosDistance);
    b.Check(iconUrl_, &ConvertSettings::PosIconUrl);
    b.Edit(interval_, &ConvertSettings::Interval, kTextChars);
    b.Edit(posDistanceEdit_, &ConvertSettings::PosDistance_edit, kTextChars);
    b.Edit(iconSize_, &ConvertSettings::IconSize, kTextChars);
    b.Edit(labelSize_, &ConvertSettings::LabelSize, kTextChars);
    b.Edit(iconUrlEdit_, &ConvertSettings::IconURL, kPathChars);
    b.Combo(posTypeCombo_, &ConvertSettings::PosType_edit);
    return box;
}

// "Type" and "Distance()" choose the placemarks instead of "Interval".
void TrackPanel::ApplyRules() {
    const bool placemark = placemark_->isChecked();
    const bool byType = posType_->isChecked();
    const bool byDistance = posDistance_->isChecked();
    for (QWidget* widget : placemarkDependents_) widget->setEnabled(placemark);
    posTypeCombo_->setEnabled(placemark && byType);
    parts_.SetGreyed(interval_, !placemark || byType || byDistance);
    parts_.SetGreyed(posDistanceEdit_, !placemark || !byDistance);
    parts_.SetGreyed(iconUrlEdit_, !placemark || !iconUrl_->isChecked());
    parts_.SetGreyed(iconSize_, !placemark);
    parts_.SetGreyed(labelSize_, !placemark);
    for (QWidget* widget : trackDependents_) widget->setEnabled(track_->isChecked());
}

void TrackPanel::PaintSwatch() { PaintColourButton(trackSwatch_, settings_.current.LineColorRGB[0]); }

void TrackPanel::ResetChooserColour() { chooserColour_ = RgbOfHexColor(settings_.current.LineColorRGB[0]); }

void TrackPanel::NameUncaptionedControls() { AddHiddenBuddy(posTypeCombo_, "Placemark type"); }

bool TrackPanel::TrackOn() const { return track_->isChecked(); }
bool TrackPanel::PlacemarkOn() const { return placemark_->isChecked(); }

void TrackPanel::ChooseTrackColour() {
    const int language = LanguageIndex(settings_.current.Language);
    if (ChooseColourInto(window(), chooserColour_, settings_.current.LineColorRGB[0], language)) PaintSwatch();
}

// ---------------------------------------------------------------- split

SplitPanel::SplitPanel(WindowParts& parts, Settings& settings, QWidget* parent)
    : QGroupBox("*Split", parent), parts_(parts), settings_(settings) {
    WindowParts& p = parts_;
    setObjectName("splitBox");
    p.SetTextTarget(TextRow::Split, this);
    auto* grid = new QGridLayout(this);
    lineDistance_ = p.MakeEdit(this, "lineDistance", 8);
    lineDistanceSec_ = p.MakeEdit(this, "lineDistanceSec", 8);
    auto* distance = p.AddLabel(this, TextRow::SplitDistance, "Distancd(Meter)", lineDistance_);
    auto* seconds = p.AddLabel(this, TextRow::SplitSeconds, "Distancd(Sec)", lineDistanceSec_);
    grid->addWidget(distance, 0, 0);
    grid->addWidget(lineDistance_, 0, 1);
    grid->addWidget(seconds, 1, 0);
    grid->addWidget(lineDistanceSec_, 1, 1);
    splitDate_ = p.AddCheck(this, TextRow::SplitDate, "Date", "splitDate");
    grid->addWidget(splitDate_, 2, 0, 1, 2);
    auto* fileSplit = p.MakeCheck(this, "Split OutFile", "fileSplit");
    auto* fileSplitLabel = p.AddLabel(this, TextRow::FileSplit, "FileSplit", fileSplit);
    grid->addWidget(fileSplitLabel, 3, 0);
    grid->addWidget(fileSplit, 3, 1);
    speedGroup_ = p.MakeCheck(this, "SpeedGroup", "speedGroup");
    speed_ = p.MakeButton(this, "Speed", "speed");
    grid->addWidget(speedGroup_, 4, 0);
    grid->addWidget(speed_, 4, 1);
    grid->setColumnStretch(1, 1);
    p.AddToPart(kSplitDistance, {distance, lineDistance_});
    p.AddToPart(kSplitSeconds, {seconds, lineDistanceSec_});
    p.AddToPart(kSplitDate, {splitDate_});
    p.AddToPart(kSplitFile, {fileSplitLabel, fileSplit});
    p.AddToPart(kSpeedGroup, {speedGroup_, speed_});
    splitDependents_ = {distance, lineDistance_, seconds, lineDistanceSec_, splitDate_};
    fileSplitRow_ = {fileSplitLabel, fileSplit};

    SettingBinder& b = p.binder();
    b.Edit(lineDistance_, &ConvertSettings::LineDistance, kTextChars);
    b.Edit(lineDistanceSec_, &ConvertSettings::LineDistanceSec, kTextChars);
    b.Check(splitDate_, &ConvertSettings::TrackGroupDate);
    b.Check(fileSplit, &ConvertSettings::FileSplit);
    b.Check(speedGroup_, &ConvertSettings::SpeedGroup);
    connect(splitDate_, &QCheckBox::toggled, this, &SplitPanel::OnSplitDate);
}

// Splitting by date replaces the distance and time splits; switched off, the
// two edits get back what they held.
void SplitPanel::OnSplitDate(bool on) {
    ConvertSettings& s = settings_.current;
    if (on) {
        savedDistance_ = lineDistance_->text().toStdString();
        savedSeconds_ = lineDistanceSec_->text().toStdString();
        textsSaved_ = true;
        s.LineDistanceSec = savedSeconds_;
        lineDistance_->clear();
        lineDistanceSec_->clear();
    } else if (textsSaved_) {
        lineDistance_->setText(Qt8(savedDistance_));
        lineDistanceSec_->setText(Qt8(savedSeconds_));
        textsSaved_ = false;
    } else {
        lineDistanceSec_->setText(Qt8(s.LineDistanceSec));
    }
}

void SplitPanel::ApplyRules(bool track, bool kmlOutput) {
    speed_->setEnabled(speedGroup_->isChecked());
    for (QWidget* widget : splitDependents_) widget->setEnabled(track);
    for (QWidget* widget : fileSplitRow_) widget->setEnabled(track && !kmlOutput);
}

// ---------------------------------------------------------------- labels

LabelsPanel::LabelsPanel(WindowParts& parts, QWidget* parent) : QGroupBox(parent) {
    setObjectName("labelsBox");
    auto* grid = new QGridLayout(this);
    caption_ = parts.AddLabel(this, TextRow::Label, "Label", nullptr);
    grid->addWidget(caption_, 0, 0, 1, 2);
    for (size_t i = 0; i < std::size(kLabelOptions); ++i) {
        const LabelOption& option = kLabelOptions[i];
        options_[i] = parts.AddCheck(this, option.row, option.english, option.name);
        const int row = 1 + static_cast<int>(i) / 2;
        grid->addWidget(options_[i], row, static_cast<int>(i) % 2);
        parts.AddToBit(kFirstLabelBit + static_cast<int>(i), options_[i]);
        parts.binder().Check(options_[i], option.flag);
    }
    parts.AddToPart(kLabelsBox, {this});
}

void LabelsPanel::ApplyRules(bool placemark) {
    for (QCheckBox* option : options_) option->setEnabled(placemark);
    caption_->setEnabled(placemark);
}

}  // namespace geoplait::ui
