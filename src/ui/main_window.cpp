// The main window. Controls are built group by group in reading order (which
// is also the keyboard order); the bindings to the settings, the per-mode
// layout and the language texts are tables walked by the procedures below.
#include "ui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QThread>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

#include "settings/convert_modes.h"
#include "job/run_conversion.h"
#include "settings/settings_file.h"
#include "settings/settings_keys.h"
#include "ui/dialogs.h"
#include "ui/run_worker.h"
#include "ui/window_tables.h"

namespace geoplait::ui {

namespace {

constexpr const char* kWindowTitle = "KML Tool (geoplait.exe)";
constexpr const char* kPhotoFolderTitle = "Select Photo(jpg) Folder";
constexpr const char* kDateFormat = "yyyy/MM/dd";
constexpr const char* kTimeFormat = "HH:mm:ss";
const QColor kRedText(255, 15, 15);
const QColor kBlueText(15, 15, 255);
const QColor kGreyText(180, 180, 180);

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

QString Q(const std::string& text) { return QString::fromStdString(text); }
std::string S(const QString& text) { return text.toStdString(); }

QColor ColourOf(const Rgb& rgb) { return QColor(rgb.R, rgb.G, rgb.B); }
Rgb RgbOf(const QColor& colour) { return {colour.red(), colour.green(), colour.blue()}; }

// "BBGGRR" of a colour.
std::string HexOfColour(const QColor& colour) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02X%02X%02X", colour.blue() & 0xFF, colour.green() & 0xFF,
                  colour.red() & 0xFF);
    return hex;
}

// A combo shows `text` when it is one of its items, else nothing (and then
// collecting leaves the field as it was).
void SetComboText(QComboBox* combo, const std::string& text) {
    combo->setCurrentIndex(combo->findText(Q(text), Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void SetWidgetText(QWidget* widget, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        box->setTitle(text);
    }
}

// Where a picker text holds its fields: characters 1-4, 6-7, 9-10 of a date
// and 1-2, 4-5, 7-8 of a time.
QDate DateOfText(const std::string& text) {
    const QString t = Q(text);
    return QDate(t.mid(0, 4).toInt(), t.mid(5, 2).toInt(), t.mid(8, 2).toInt());
}
QTime TimeOfText(const std::string& text) {
    const QString t = Q(text);
    return QTime(t.mid(0, 2).toInt(), t.mid(3, 2).toInt(), t.mid(6, 2).toInt());
}

std::string Cut(const QString& text, size_t chars) {
    std::string value = S(text);
    CutToChars(value, chars);
    return value;
}

std::string ExtensionOf(std::string_view type) {
    const FileType* fileType = FileTypeOf(type);
    return fileType == nullptr ? std::string{} : std::string(".") + fileType->extension;
}

// The five modes that draw a track into KML (the vertical-line colour is theirs).
bool DrawsKmlTrack(std::string_view mode) {
    return WritesKml(mode) && InputTypeOf(mode) != "Photo(Only)";
}

}  // namespace

MainWindow::MainWindow(Settings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings), ui_(std::make_unique<WindowUi>(*this)) {
    setWindowTitle(kWindowTitle);
    setWindowIcon(QIcon::fromTheme("geoplait"));
    setObjectName("mainWindow");

    auto* root = new QVBoxLayout(this);
    root->addWidget(BuildFileRows());
    auto* columns = new QHBoxLayout;
    auto* column1 = new QVBoxLayout;
    column1->addWidget(BuildFilters());
    column1->addStretch(1);
    auto* column2 = new QVBoxLayout;
    column2->addWidget(BuildKmlDocument());
    column2->addWidget(BuildPhoto());
    column2->addStretch(1);
    auto* column3 = new QVBoxLayout;
    column3->addWidget(BuildTrackAndPlacemarks());
    column3->addStretch(1);
    auto* column4 = new QVBoxLayout;
    column4->addWidget(BuildSplit());
    column4->addWidget(BuildLabels());
    column4->addStretch(1);
    for (QVBoxLayout* column : {column1, column2, column3, column4}) columns->addLayout(column, 1);
    root->addLayout(columns, 1);
    root->addWidget(BuildBottom());

    // Keyboard order is reading order: the order the controls were made in.
    for (size_t i = 1; i < focusOrder_.size(); ++i) setTabOrder(focusOrder_[i - 1], focusOrder_[i]);

    FillCombos();
    ConnectCommands();
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, &MainWindow::UpdateProgress);

    // Opening: the custom colours of the choosers all white.
    for (int i = 0; i < QColorDialog::customCount(); ++i) QColorDialog::setCustomColor(i, Qt::white);
    version_->setText(kVersionText);
    message_->setText(" ");
    status_->setText(" ");
    PaintWindow();
    ApplyModeLayout();
}

MainWindow::~MainWindow() {
    if (worker_ != nullptr) {
        // Never waits for an answer that only this thread could give.
        closeAfterRun_ = true;
        job_->ui.cancel = true;
        while (!worker_->wait(10)) QCoreApplication::processEvents();
    }
}

// ---------------------------------------------------------------- building

template <typename T>
T* MainWindow::Focusable(T* widget, const char* name) {
    widget->setObjectName(name);
    focusOrder_.push_back(widget);
    return widget;
}

QPushButton* MainWindow::MakeButton(const char* text, const char* name) {
    return Focusable(new QPushButton(text, this), name);
}

QLineEdit* MainWindow::MakeEdit(const char* name, int chars) {
    auto* edit = Focusable(new QLineEdit(this), name);
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * chars);
    return edit;
}

QComboBox* MainWindow::MakeCombo(const char* name) {
    auto* combo = Focusable(new QComboBox(this), name);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return combo;
}

QCheckBox* MainWindow::AddCheck(TextRow row, const char* english, const char* name) {
    auto* box = Focusable(new QCheckBox(english, this), name);
    SetTextTarget(row, box);
    return box;
}

QCheckBox* MainWindow::MakeCheck(const char* text, const char* name) {
    return Focusable(new QCheckBox(text, this), name);
}

QLabel* MainWindow::AddLabel(TextRow row, const char* english, QWidget* buddy) {
    auto* label = new QLabel(english, this);
    if (buddy != nullptr) label->setBuddy(buddy);
    SetTextTarget(row, label);
    return label;
}

QLabel* MainWindow::MakeLabel(const char* text, QWidget* buddy) {
    auto* label = new QLabel(text, this);
    if (buddy != nullptr) label->setBuddy(buddy);
    return label;
}

void MainWindow::SetTextTarget(TextRow row, QWidget* widget) {
    textTargets_[static_cast<size_t>(row)] = widget;
}

void MainWindow::AddToPart(uint64_t part, std::initializer_list<QWidget*> widgets) {
    for (int bit = 0; bit < kLayoutPartCount; ++bit) {
        if (part == (1ull << bit)) {
            for (QWidget* widget : widgets) layoutParts_[static_cast<size_t>(bit)].push_back(widget);
        }
    }
}

QWidget* MainWindow::BuildFileRows() {
    auto* box = new QGroupBox(this);
    auto* grid = new QGridLayout(box);

    // Header: mode, item sets, units, time difference, language, version, End.
    auto* header = new QHBoxLayout;
    mode_ = MakeCombo("mode");
    header->addWidget(AddLabel(TextRow::Mode, "Mode", mode_));
    header->addWidget(mode_);
    inputItem_ = MakeButton("Imput Item Set", "inputItem");
    SetTextTarget(TextRow::InputItem, inputItem_);
    outputItem_ = MakeButton("Output Item Set", "outputItem");
    SetTextTarget(TextRow::OutputItem, outputItem_);
    header->addWidget(inputItem_);
    header->addWidget(outputItem_);
    header->addStretch(1);
    units_ = MakeCombo("units");
    units_->setAccessibleName("Units");
    header->addWidget(units_);
    timeDiff_ = MakeCombo("timeDiff");
    header->addWidget(MakeLabel("Time Diff", timeDiff_));
    header->addWidget(timeDiff_);
    language_ = MakeCombo("language");
    header->addWidget(MakeLabel("Language", language_));
    header->addWidget(language_);
    version_ = new QLabel(this);
    header->addWidget(version_);
    end_ = MakeButton("End", "end");
    SetTextTarget(TextRow::End, end_);
    header->addWidget(end_);
    grid->addLayout(header, 0, 0, 1, 6);

    inputFile_ = MakeEdit("inputFile", 48);
    inFileLabel_ = AddLabel(TextRow::InFile, "In  File", inputFile_);
    inputSearch_ = MakeButton("Search", "inputSearch");
    inputSearch_->setAccessibleName("Search input file");
    fButton_ = MakeButton("F", "f");
    fButton_->setAccessibleName("F");
    fButton_->setAccessibleDescription("Output named after the input file");
    grid->addWidget(inFileLabel_, 1, 0);
    grid->addWidget(inputFile_, 1, 1);
    grid->addWidget(inputSearch_, 1, 2);
    grid->addWidget(fButton_, 1, 3);
    AddToPart(kInputRow, {inFileLabel_, inputFile_, inputSearch_, fButton_});

    outputFile_ = MakeEdit("outputFile", 48);
    outputSearch_ = MakeButton("Search", "outputSearch");
    outputSearch_->setAccessibleName("Search output file");
    dButton_ = MakeButton("D", "d");
    dButton_->setAccessibleDescription("Output into the input file's folder");
    dirButton_ = MakeButton("Dir", "dir");
    dirButton_->setAccessibleDescription("Output named after the date in a chosen folder");
    grid->addWidget(AddLabel(TextRow::OutFile, "Out File", outputFile_), 2, 0);
    grid->addWidget(outputFile_, 2, 1);
    grid->addWidget(outputSearch_, 2, 2);
    grid->addWidget(dButton_, 2, 3);
    grid->addWidget(dirButton_, 2, 4);
    AddToPart(kDButton, {dButton_});

    auto* checks = new QHBoxLayout;
    bom_ = MakeCheck("Bom", "bom");
    tokyo_ = MakeCheck("Tokyo -> WGS84", "tokyo");
    errorOmit_ = MakeCheck("ErrorData\n    Omit", "errorOmit");
    errorOmit_->setAccessibleName("ErrorData Omit");
    for (QWidget* check : {static_cast<QWidget*>(bom_), static_cast<QWidget*>(tokyo_),
                           static_cast<QWidget*>(errorOmit_)}) {
        checks->addWidget(check);
    }
    checks->addStretch(1);
    grid->addLayout(checks, 1, 5, 2, 1);
    grid->setColumnStretch(1, 1);
    AddToPart(kTokyoCheck, {tokyo_});
    AddToPart(kErrorOmit, {errorOmit_});
    AddToPart(kInputItem, {inputItem_});
    AddToPart(kOutputItem, {outputItem_});
    return box;
}

QWidget* MainWindow::BuildFilters() {
    auto* box = new QGroupBox(this);
    box->setObjectName("filtersBox");
    filtersBox_ = box;
    auto* grid = new QGridLayout(box);

    includeData_ = AddCheck(TextRow::IncludeData, "IncludeData", "includeData");
    grid->addWidget(includeData_, 0, 0, 1, 4);
    auto* record = AddLabel(TextRow::Record, "Record", nullptr);
    recordStart_ = MakeEdit("recordStart", 10);
    recordEnd_ = MakeEdit("recordEnd", 10);
    auto* startLabel = AddLabel(TextRow::RangeStart, "Start", recordStart_);
    auto* endLabel = AddLabel(TextRow::RangeEnd, "End", recordEnd_);
    grid->addWidget(record, 1, 0);
    grid->addWidget(startLabel, 1, 1);
    grid->addWidget(recordStart_, 1, 2);
    grid->addWidget(endLabel, 2, 1);
    grid->addWidget(recordEnd_, 2, 2);
    AddToPart(kRecordRow, {includeData_, record, startLabel, recordStart_, endLabel, recordEnd_});

    satellites_ = MakeCombo("satellites");
    margin_ = MakeEdit("margin", 8);
    distance_ = MakeEdit("distance", 8);
    reNumber_ = AddCheck(TextRow::ReNumber, "ReNumber", "reNumber");
    auto* satellitesLabel = AddLabel(TextRow::SatellitesLow, "Satellites Low", satellites_);
    auto* marginLabel = AddLabel(TextRow::MarginHi, "Margin Hi", margin_);
    auto* distanceLabel = AddLabel(TextRow::FilterDistance, "Distance(m)", distance_);
    grid->addWidget(satellitesLabel, 3, 0, 1, 2);
    grid->addWidget(satellites_, 3, 2);
    grid->addWidget(marginLabel, 4, 0, 1, 2);
    grid->addWidget(margin_, 4, 2);
    grid->addWidget(distanceLabel, 5, 0, 1, 2);
    grid->addWidget(distance_, 5, 2);
    grid->addWidget(reNumber_, 6, 0, 1, 3);
    AddToPart(kFilterExtras,
              {satellitesLabel, satellites_, marginLabel, margin_, distanceLabel, distance_, reNumber_});
    includeDependents_ = {record, startLabel, endLabel, satellitesLabel, marginLabel, distanceLabel,
                          satellites_, reNumber_};

    dateFilter_ = MakeCheck("Date/Time", "dateFilter");
    startDate_ = Focusable(new QDateEdit(QDate::currentDate(), this), "startDate");
    startTime_ = Focusable(new QTimeEdit(QTime(0, 0, 0), this), "startTime");
    endDate_ = Focusable(new QDateEdit(QDate::currentDate(), this), "endDate");
    endTime_ = Focusable(new QTimeEdit(QTime(0, 0, 0), this), "endTime");
    for (QDateEdit* date : {startDate_, endDate_}) {
        date->setDisplayFormat(kDateFormat);
        date->setCalendarPopup(true);
    }
    for (QTimeEdit* time : {startTime_, endTime_}) time->setDisplayFormat(kTimeFormat);
    startDate_->setAccessibleName("Start date");
    startTime_->setAccessibleName("Start time");
    endDate_->setAccessibleName("End date");
    endTime_->setAccessibleName("End time");
    auto* tilde = new QLabel("~", this);
    grid->addWidget(dateFilter_, 7, 0, 1, 4);
    grid->addWidget(startDate_, 8, 0, 1, 2);
    grid->addWidget(startTime_, 8, 2);
    grid->addWidget(tilde, 9, 0);
    grid->addWidget(endDate_, 9, 1);
    grid->addWidget(endTime_, 9, 2);
    AddToPart(kDateRow, {dateFilter_, startDate_, startTime_, tilde, endDate_, endTime_});
    grid->setColumnStretch(3, 1);
    return box;
}

QWidget* MainWindow::BuildKmlDocument() {
    kmlBox_ = new QGroupBox("KML File Create", this);
    kmlBox_->setObjectName("kmlBox");
    SetTextTarget(TextRow::KmlFileCreate, kmlBox_);
    auto* grid = new QGridLayout(kmlBox_);
    kmlName_ = MakeEdit("kmlName", 16);
    setName_ = MakeButton("Set", "set");
    setName_->setAccessibleDescription("Name taken from the output file");
    grid->addWidget(AddLabel(TextRow::Name, "*KML Name", kmlName_), 0, 0);
    grid->addWidget(kmlName_, 0, 1);
    grid->addWidget(setName_, 0, 2);

    altitudeBox_ = new QGroupBox("*Altitude", this);
    altitudeBox_->setObjectName("altitudeBox");
    auto* altitude = new QGridLayout(altitudeBox_);
    altitude_ = AddCheck(TextRow::AltitudeCheck, "Altitude", "altitude");
    vLine_ = AddCheck(TextRow::VLine, "V-Line", "vLine");
    vLineSwatch_ = MakeButton("", "vLineSwatch");
    vLineSwatch_->setAccessibleName("Vertical-line colour");
    vLineTransparency_ = MakeCombo("vLineTransparency");
    polygon_ = AddLabel(TextRow::Polygon, "Polygon", vLineTransparency_);
    altitude->addWidget(altitude_, 0, 0);
    altitude->addWidget(vLine_, 0, 1, 1, 2);
    altitude->addWidget(polygon_, 1, 0);
    altitude->addWidget(vLineSwatch_, 1, 1);
    altitude->addWidget(vLineTransparency_, 1, 2);
    grid->addWidget(altitudeBox_, 1, 0, 1, 3);

    positionOffset_ = MakeButton("Position Offset", "positionOffset");
    grid->addWidget(positionOffset_, 2, 0, 1, 3, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    AddToPart(kKmlDocument, {kmlBox_});
    AddToPart(kAltitudeBox, {altitudeBox_});
    return kmlBox_;
}

QWidget* MainWindow::BuildPhoto() {
    photoBox_ = new QGroupBox(this);
    photoBox_->setObjectName("photoBox");
    auto* grid = new QGridLayout(photoBox_);
    photo_ = AddCheck(TextRow::Photo, "*Photo", "photo");
    kmz_ = MakeCheck("Adds kmz File", "kmz");
    photoConfig_ = MakeButton("Photo Config", "photoConfig");
    grid->addWidget(photo_, 0, 0);
    grid->addWidget(kmz_, 0, 1);
    grid->addWidget(photoConfig_, 0, 2);
    photoDir_ = MakeEdit("photoDir", 16);
    photoSearch_ = MakeButton("Search", "photoSearch");
    photoSearch_->setAccessibleName("Search photo folder");
    folderLabel_ = AddLabel(TextRow::Folder, "Folder", photoDir_);
    grid->addWidget(folderLabel_, 1, 0);
    grid->addWidget(photoDir_, 1, 1);
    grid->addWidget(photoSearch_, 1, 2);
    photoHint_ = new QLabel("<- Photo Config [CreateDirectory] Check.", this);
    photoHint_->setObjectName("photoHint");
    grid->addWidget(photoHint_, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    AddToPart(kPhotoBox, {photoBox_});

    timeStampBox_ = new QGroupBox("*TimeStamp", this);
    timeStampBox_->setObjectName("timeStampBox");
    auto* stamps = new QHBoxLayout(timeStampBox_);
    timeStampPath_ = MakeCheck("Path", "timeStampPath");
    timeStampPosition_ = MakeCheck("Position", "timeStampPosition");
    stamps->addWidget(timeStampPath_);
    stamps->addWidget(timeStampPosition_);
    stamps->addStretch(1);
    AddToPart(kTimeStampBox, {timeStampBox_});

    auto* both = new QWidget(this);
    auto* layout = new QVBoxLayout(both);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(photoBox_);
    layout->addWidget(timeStampBox_);
    return both;
}

QWidget* MainWindow::BuildTrackAndPlacemarks() {
    auto* both = new QWidget(this);
    auto* column = new QVBoxLayout(both);
    column->setContentsMargins(0, 0, 0, 0);

    trackBox_ = new QGroupBox(this);
    trackBox_->setObjectName("trackBox");
    auto* track = new QGridLayout(trackBox_);
    track_ = AddCheck(TextRow::Track, "*Track(Line)", "track");
    trackSwatch_ = MakeButton("BBGGRR", "trackSwatch");
    trackSwatch_->setAccessibleName("Track colour");
    lineWidth_ = MakeCombo("lineWidth");
    trackTransparency_ = MakeCombo("trackTransparency");
    group_ = MakeButton("Group", "group");
    auto* colour = AddLabel(TextRow::Colour, "Color", trackSwatch_);
    auto* width = AddLabel(TextRow::Width, "Width", lineWidth_);
    auto* transparent = AddLabel(TextRow::Transparent, "Transparent", trackTransparency_);
    track->addWidget(track_, 0, 0, 1, 2);
    track->addWidget(colour, 1, 0);
    track->addWidget(trackSwatch_, 1, 1);
    track->addWidget(width, 1, 2);
    track->addWidget(lineWidth_, 1, 3);
    track->addWidget(transparent, 2, 0);
    track->addWidget(trackTransparency_, 2, 1);
    track->addWidget(group_, 2, 2, 1, 2);
    trackDependents_ = {colour, trackSwatch_, width, lineWidth_, transparent, trackTransparency_, group_};
    column->addWidget(trackBox_);
    AddToPart(kTrackBox, {trackBox_});

    placemarkBox_ = new QGroupBox(this);
    placemarkBox_->setObjectName("placemarkBox");
    auto* grid = new QGridLayout(placemarkBox_);
    placemark_ = AddCheck(TextRow::Placemark, "*Placemark(Position)", "placemark");
    grid->addWidget(placemark_, 0, 0, 1, 4);
    interval_ = MakeEdit("interval", 6);
    auto* intervalLabel = AddLabel(TextRow::Interval, "Interval", interval_);
    auto* range = AddLabel(TextRow::IntervalRange, " (1-9999)", nullptr);
    grid->addWidget(intervalLabel, 1, 0);
    grid->addWidget(interval_, 1, 1);
    grid->addWidget(range, 1, 2, 1, 2);
    auto* view = AddLabel(TextRow::View, "View", nullptr);
    posType_ = AddCheck(TextRow::PosType, "Type", "posType");
    posTypeCombo_ = MakeCombo("posTypeCombo");
    posTypeCombo_->setAccessibleName("Placemark type");
    grid->addWidget(view, 2, 0);
    grid->addWidget(posType_, 2, 1);
    grid->addWidget(posTypeCombo_, 2, 2, 1, 2);
    posDistance_ = AddCheck(TextRow::PosDistance, "Distance()", "posDistance");
    posDistanceEdit_ = MakeEdit("posDistanceEdit", 6);
    posDistanceEdit_->setAccessibleName("Placemark distance");
    unitNote_ = AddLabel(TextRow::UnitNote, "(Meter)", nullptr);
    grid->addWidget(posDistance_, 3, 1);
    grid->addWidget(posDistanceEdit_, 3, 2);
    grid->addWidget(unitNote_, 3, 3);
    iconSize_ = MakeEdit("iconSize", 4);
    labelSize_ = MakeEdit("labelSize", 4);
    auto* iconSizeLabel = AddLabel(TextRow::IconSize, "ICON Size", iconSize_);
    auto* labelSizeLabel = AddLabel(TextRow::LabelSize, "Label Size", labelSize_);
    grid->addWidget(iconSizeLabel, 4, 0);
    grid->addWidget(iconSize_, 4, 1);
    grid->addWidget(labelSizeLabel, 4, 2);
    grid->addWidget(labelSize_, 4, 3);
    iconUrl_ = AddCheck(TextRow::IconUrl, "Icon Url", "iconUrl");
    iconUrlEdit_ = MakeEdit("iconUrlEdit", 16);
    iconUrlEdit_->setAccessibleName("Icon URL");
    grid->addWidget(iconUrl_, 5, 0);
    grid->addWidget(iconUrlEdit_, 5, 1, 1, 3);
    grid->setColumnStretch(3, 1);
    placemarkDependents_ = {intervalLabel, range, view, posType_, posDistance_, unitNote_,
                            iconSizeLabel, labelSizeLabel, iconUrl_};
    column->addWidget(placemarkBox_);
    AddToPart(kPlacemarkBox, {placemarkBox_});
    return both;
}

QWidget* MainWindow::BuildSplit() {
    splitBox_ = new QGroupBox("*Split", this);
    splitBox_->setObjectName("splitBox");
    SetTextTarget(TextRow::Split, splitBox_);
    auto* grid = new QGridLayout(splitBox_);
    lineDistance_ = MakeEdit("lineDistance", 8);
    lineDistanceSec_ = MakeEdit("lineDistanceSec", 8);
    auto* distance = AddLabel(TextRow::SplitDistance, "Distancd(Meter)", lineDistance_);
    auto* seconds = AddLabel(TextRow::SplitSeconds, "Distancd(Sec)", lineDistanceSec_);
    grid->addWidget(distance, 0, 0);
    grid->addWidget(lineDistance_, 0, 1);
    grid->addWidget(seconds, 1, 0);
    grid->addWidget(lineDistanceSec_, 1, 1);
    splitDate_ = AddCheck(TextRow::SplitDate, "Date", "splitDate");
    grid->addWidget(splitDate_, 2, 0, 1, 2);
    fileSplit_ = MakeCheck("Split OutFile", "fileSplit");
    auto* fileSplitLabel = AddLabel(TextRow::FileSplit, "FileSplit", fileSplit_);
    grid->addWidget(fileSplitLabel, 3, 0);
    grid->addWidget(fileSplit_, 3, 1);
    speedGroup_ = MakeCheck("SpeedGroup", "speedGroup");
    speed_ = MakeButton("Speed", "speed");
    grid->addWidget(speedGroup_, 4, 0);
    grid->addWidget(speed_, 4, 1);
    grid->setColumnStretch(1, 1);
    AddToPart(kSplitDistance, {distance, lineDistance_});
    AddToPart(kSplitSeconds, {seconds, lineDistanceSec_});
    AddToPart(kSplitDate, {splitDate_});
    AddToPart(kSplitFile, {fileSplitLabel, fileSplit_});
    AddToPart(kSpeedGroup, {speedGroup_, speed_});
    splitDependents_ = {distance, lineDistance_, seconds, lineDistanceSec_, splitDate_};
    fileSplitRow_ = {fileSplitLabel, fileSplit_};
    return splitBox_;
}

QWidget* MainWindow::BuildLabels() {
    labelsBox_ = new QGroupBox(this);
    labelsBox_->setObjectName("labelsBox");
    auto* grid = new QGridLayout(labelsBox_);
    labelCaption_ = AddLabel(TextRow::Label, "Label", nullptr);
    grid->addWidget(labelCaption_, 0, 0, 1, 2);
    for (size_t i = 0; i < std::size(kLabelOptions); ++i) {
        const LabelOption& option = kLabelOptions[i];
        labelOptions_[i] = AddCheck(option.row, option.english, option.name);
        const int row = 1 + static_cast<int>(i) / 2;
        grid->addWidget(labelOptions_[i], row, static_cast<int>(i) % 2);
        layoutParts_[static_cast<size_t>(kFirstLabelBit) + i].push_back(labelOptions_[i]);
    }
    AddToPart(kLabelsBox, {labelsBox_});
    return labelsBox_;
}

QWidget* MainWindow::BuildBottom() {
    auto* bottom = new QWidget(this);
    auto* rows = new QVBoxLayout(bottom);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QHBoxLayout;
    load_ = MakeButton("Load", "load");
    autoLoad_ = MakeButton("Auto.", "autoLoad");
    autoLoad_->setAccessibleName("Auto. Load");
    save_ = MakeButton(" Save", "save");
    autoSave_ = MakeButton("Auto.", "autoSave");
    autoSave_->setAccessibleName("Auto. Save");
    default_ = MakeButton("Default", "default");
    for (QPushButton* button : {load_, autoLoad_, save_, autoSave_, default_}) buttons->addWidget(button);
    for (QPushButton* autoSwitch : {autoLoad_, autoSave_}) {
        autoSwitch->setCheckable(true);
        autoSwitch->setFlat(true);
    }
    for (size_t i = 0; i < themes_.size(); ++i) {
        const std::string name = "theme" + std::to_string(i + 1);
        themes_[i] = MakeButton("BG", name.c_str());
        themes_[i]->setFlat(true);
        themes_[i]->setAccessibleName(Q("BG colour theme " + std::to_string(i + 1)));
        buttons->addWidget(themes_[i]);
    }
    buttons->addStretch(1);
    create_ = MakeButton("Create", "create");
    SetTextTarget(TextRow::Create, create_);
    cancel_ = MakeButton("Cancel", "cancel");
    SetTextTarget(TextRow::Cancel, cancel_);
    cancel_->setEnabled(false);
    buttons->addWidget(create_);
    buttons->addWidget(cancel_);
    rows->addLayout(buttons);

    progress_ = new QProgressBar(this);
    progress_->setObjectName("progress");
    progress_->setAccessibleName("Progress");
    progress_->setRange(0, 1);
    progress_->setValue(0);
    progress_->setTextVisible(true);
    progress_->setFormat(" ");
    rows->addWidget(progress_);

    auto* lines = new QHBoxLayout;
    message_ = new QLabel(this);
    message_->setObjectName("message");
    message_->setAccessibleName("Message");
    status_ = new QLabel(this);
    status_->setObjectName("status");
    status_->setAccessibleName("Status");
    auto* maker = AddLabel(TextRow::Maker, "geoplait  GPS log and photo converter", nullptr);
    lines->addWidget(message_, 1);
    lines->addWidget(status_, 1);
    lines->addWidget(maker);
    rows->addLayout(lines);
    return bottom;
}

void MainWindow::FillCombos() {
    for (const ConvertMode& entry : kConvertModes) mode_->addItem(entry.displayText);
    mode_->setMaxVisibleItems(kModeCount);
    for (const char* text : kUnitTexts) units_->addItem(text);
    for (const char* text : kLanguageNames) language_->addItem(QString::fromUtf8(text));
    for (const char* text : kTimeDifferenceTexts) timeDiff_->addItem(text);
    timeDiff_->setMaxVisibleItems(20);
    for (const char* text : kPlacemarkTypeTexts) posTypeCombo_->addItem(text);
    for (QComboBox* combo : {trackTransparency_, vLineTransparency_}) {
        for (const char* text : kTransparencyTexts) combo->addItem(text);
    }
    for (const char* text : kLineWidthTexts) lineWidth_->addItem(text);
    for (int n = 0; n < kSatelliteChoices; ++n) satellites_->addItem(QString::number(n));

    // What the bound controls hold, by field.
    checks_ = {
        {bom_, &ConvertSettings::Bom},
        {tokyo_, &ConvertSettings::Tokyo2WGS84},
        {errorOmit_, &ConvertSettings::OmitErrorData},
        {includeData_, &ConvertSettings::IncludeData},
        {reNumber_, &ConvertSettings::ReNumber},
        {dateFilter_, &ConvertSettings::IncludeData_date},
        {altitude_, &ConvertSettings::Altitude},
        {vLine_, &ConvertSettings::VLineAltitude},
        {photo_, &ConvertSettings::Photo},
        {kmz_, &ConvertSettings::Kmz},
        {timeStampPath_, &ConvertSettings::TimeStampPath},
        {timeStampPosition_, &ConvertSettings::TimeStampPosition},
        {track_, &ConvertSettings::TrackLine},
        {placemark_, &ConvertSettings::Placemark},
        {posType_, &ConvertSettings::PosType},
        {posDistance_, &ConvertSettings::PosDistance},
        {iconUrl_, &ConvertSettings::PosIconUrl},
        {splitDate_, &ConvertSettings::TrackGroupDate},
        {fileSplit_, &ConvertSettings::FileSplit},
        {speedGroup_, &ConvertSettings::SpeedGroup},
    };
    for (size_t i = 0; i < std::size(kLabelOptions); ++i) {
        checks_.push_back({labelOptions_[i], kLabelOptions[i].flag});
    }
    edits_ = {
        {inputFile_, &ConvertSettings::InputFile, kPathChars},
        {outputFile_, &ConvertSettings::OutputFile, kPathChars},
        {recordStart_, &ConvertSettings::RecordStart, kTextChars},
        {recordEnd_, &ConvertSettings::RecordEnd, kTextChars},
        {margin_, &ConvertSettings::Margin, kTextChars},
        {distance_, &ConvertSettings::Distance, kTextChars},
        {kmlName_, &ConvertSettings::Name, kPathChars},
        {photoDir_, &ConvertSettings::PhotoDir, kPathChars},
        {interval_, &ConvertSettings::Interval, kTextChars},
        {posDistanceEdit_, &ConvertSettings::PosDistance_edit, kTextChars},
        {iconSize_, &ConvertSettings::IconSize, kTextChars},
        {labelSize_, &ConvertSettings::LabelSize, kTextChars},
        {iconUrlEdit_, &ConvertSettings::IconURL, kPathChars},
        {lineDistance_, &ConvertSettings::LineDistance, kTextChars},
        {lineDistanceSec_, &ConvertSettings::LineDistanceSec, kTextChars},
    };
    combos_ = {
        {mode_, &ConvertSettings::Mode},
        {units_, &ConvertSettings::MeterMile},
        {timeDiff_, &ConvertSettings::TimeDifference},
        {language_, &ConvertSettings::Language},
        {satellites_, &ConvertSettings::Satellites},
        {posTypeCombo_, &ConvertSettings::PosType_edit},
    };
}

void MainWindow::ConnectCommands() {
    connect(mode_, &QComboBox::activated, this, &MainWindow::OnModeChosen);
    connect(language_, &QComboBox::activated, this, &MainWindow::OnLanguageChosen);
    connect(units_, &QComboBox::activated, this, &MainWindow::OnUnitsChosen);
    connect(trackTransparency_, &QComboBox::activated, this, [this] {
        settings_.current.TransparentPercent[0] = S(trackTransparency_->currentText());
    });
    connect(vLineTransparency_, &QComboBox::activated, this, [this] {
        settings_.current.VLineTransparentPercent = S(vLineTransparency_->currentText());
    });
    connect(inputSearch_, &QPushButton::clicked, this, &MainWindow::OnInputSearch);
    connect(outputSearch_, &QPushButton::clicked, this, &MainWindow::OnOutputSearch);
    connect(fButton_, &QPushButton::clicked, this, &MainWindow::OnOutputFromInputName);
    connect(dButton_, &QPushButton::clicked, this, &MainWindow::OnOutputIntoInputFolder);
    connect(dirButton_, &QPushButton::clicked, this, &MainWindow::OnOutputIntoPhotoFolder);
    connect(setName_, &QPushButton::clicked, this, &MainWindow::OnNameFromOutput);
    connect(photoSearch_, &QPushButton::clicked, this, &MainWindow::OnPhotoFolderSearch);
    connect(inputItem_, &QPushButton::clicked, this, &MainWindow::OnInputItems);
    connect(outputItem_, &QPushButton::clicked, this, &MainWindow::OnOutputItems);
    connect(photoConfig_, &QPushButton::clicked, this, &MainWindow::OnPhotoConfig);
    connect(positionOffset_, &QPushButton::clicked, this, &MainWindow::OnPositionOffset);
    connect(group_, &QPushButton::clicked, this, &MainWindow::OnGroupLines);
    connect(speed_, &QPushButton::clicked, this, &MainWindow::OnSpeedRanges);
    connect(trackSwatch_, &QPushButton::clicked, this, &MainWindow::OnTrackColour);
    connect(vLineSwatch_, &QPushButton::clicked, this, &MainWindow::OnVLineColour);
    connect(load_, &QPushButton::clicked, this, &MainWindow::OnLoad);
    connect(save_, &QPushButton::clicked, this, &MainWindow::OnSave);
    connect(default_, &QPushButton::clicked, this, &MainWindow::OnDefault);
    connect(autoLoad_, &QPushButton::clicked, this, [this] {
        std::string& flag = settings_.config.AutoLoad;
        flag = flag == "1" ? "0" : "1";
        PaintAutoSwitches();
    });
    connect(autoSave_, &QPushButton::clicked, this, [this] {
        std::string& flag = settings_.config.AutoSave;
        flag = flag == "1" ? "0" : "1";
        PaintAutoSwitches();
    });
    for (size_t i = 0; i < themes_.size(); ++i) {
        connect(themes_[i], &QPushButton::clicked, this, [this, i] { OnTheme(static_cast<int>(i)); });
    }
    connect(create_, &QPushButton::clicked, this, &MainWindow::OnCreate);
    connect(cancel_, &QPushButton::clicked, this, &MainWindow::OnCancel);
    connect(end_, &QPushButton::clicked, this, &QWidget::close);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
    connect(splitDate_, &QCheckBox::clicked, this, &MainWindow::OnSplitDateClicked);
    for (const CheckBinding& binding : checks_) {
        if (binding.box == splitDate_) continue;
        connect(binding.box, &QCheckBox::clicked, this, [this, box = binding.box] { OnCheckClicked(box); });
    }
}

// ---------------------------------------------------------------- bindings

void MainWindow::CollectDialogSettings() {
    ConvertSettings& s = settings_.current;
    for (const CheckBinding& binding : checks_) s.*binding.flag = binding.box->isChecked() ? 1 : 0;
    for (const EditBinding& binding : edits_) s.*binding.text = Cut(binding.edit->text(), binding.chars);
    for (const ComboBinding& binding : combos_) {
        if (binding.combo->currentIndex() >= 0) s.*binding.text = Cut(binding.combo->currentText(), kTextChars);
    }
    if (lineWidth_->currentIndex() >= 0) s.LineWidth[0] = S(lineWidth_->currentText());
    // The transparency combos through the percentage table; a text outside it changes nothing.
    if (const char* hex = TransparentOfPercent(S(trackTransparency_->currentText()))) {
        s.Transparent[0] = hex;
        s.TransparentPercent[0] = S(trackTransparency_->currentText());
    }
    if (const char* hex = TransparentOfPercent(S(vLineTransparency_->currentText()))) {
        s.VLineTransparent = hex;
        s.VLineTransparentPercent = S(vLineTransparency_->currentText());
    }
    s.DATE_IncludeStart = S(startDate_->date().toString(kDateFormat));
    s.TIME_IncludeStart = S(startTime_->time().toString(kTimeFormat));
    s.DATE_IncludeEnd = S(endDate_->date().toString(kDateFormat));
    s.TIME_IncludeEnd = S(endTime_->time().toString(kTimeFormat));
}

void MainWindow::ShowDialogSettings() {
    const ConvertSettings& s = settings_.current;
    for (const CheckBinding& binding : checks_) binding.box->setChecked(s.*binding.flag != 0);
    for (const EditBinding& binding : edits_) binding.edit->setText(Q(s.*binding.text));
    for (const ComboBinding& binding : combos_) SetComboText(binding.combo, s.*binding.text);
    SetComboText(lineWidth_, s.LineWidth[0]);
    SetComboText(trackTransparency_, s.TransparentPercent[0]);
    SetComboText(vLineTransparency_, s.VLineTransparentPercent);
    // A text that is no date or time leaves the picker as it was.
    const std::pair<QDateEdit*, const std::string*> dates[] = {{startDate_, &s.DATE_IncludeStart},
                                                               {endDate_, &s.DATE_IncludeEnd}};
    for (const auto& [picker, text] : dates) {
        if (const QDate date = DateOfText(*text); date.isValid()) picker->setDate(date);
    }
    const std::pair<QTimeEdit*, const std::string*> times[] = {{startTime_, &s.TIME_IncludeStart},
                                                               {endTime_, &s.TIME_IncludeEnd}};
    for (const auto& [picker, text] : times) {
        if (const QTime time = TimeOfText(*text); time.isValid()) picker->setTime(time);
    }
    ApplyLanguage();
    PaintSwatches();
    PaintAutoSwitches();
}

void MainWindow::ApplyModeLayout() {
    ConvertSettings& s = settings_.current;
    const ModeLayout* layout = LayoutOf(s.Mode);
    // A mode outside the table (a hand-edited file) shows everything.
    const uint64_t shown = layout != nullptr ? ApplyLayoutActions(*layout, s) : ~0ull;
    for (int bit = 0; bit < kLayoutPartCount; ++bit) {
        for (QWidget* widget : layoutParts_[static_cast<size_t>(bit)]) {
            widget->setVisible((shown & (1ull << bit)) != 0);
        }
    }
    filtersBox_->setVisible((shown & (kRecordRow | kFilterExtras | kDateRow)) != 0);
    splitBox_->setVisible(
        (shown & (kSplitDistance | kSplitSeconds | kSplitDate | kSplitFile | kSpeedGroup)) != 0);
    ShowDialogSettings();
    ApplyCheckDependencies();
}

void MainWindow::ApplyCheckDependencies() {
    ConvertSettings& s = settings_.current;
    const bool kmlOutput = WritesKml(s.Mode);
    if (!kmlOutput) {
        s.Photo = s.Kmz = 0;
        photo_->setChecked(false);
        kmz_->setChecked(false);
    }

    const bool include = includeData_->isChecked();
    for (QWidget* widget : includeDependents_) widget->setEnabled(include);
    for (QLineEdit* edit : {recordStart_, recordEnd_, margin_, distance_}) SetGreyed(edit, !include);

    const bool dates = dateFilter_->isChecked();
    for (QWidget* picker : std::initializer_list<QWidget*>{startDate_, startTime_, endDate_, endTime_}) {
        SetGreyed(picker, !dates);
    }

    // "Type" and "Distance()" choose the placemarks instead of "Interval".
    const bool placemark = placemark_->isChecked();
    const bool byType = posType_->isChecked();
    const bool byDistance = posDistance_->isChecked();
    for (QWidget* widget : placemarkDependents_) widget->setEnabled(placemark);
    for (QCheckBox* option : labelOptions_) option->setEnabled(placemark);
    labelCaption_->setEnabled(placemark);
    posTypeCombo_->setEnabled(placemark && byType);
    SetGreyed(interval_, !placemark || byType || byDistance);
    SetGreyed(posDistanceEdit_, !placemark || !byDistance);
    SetGreyed(iconUrlEdit_, !placemark || !iconUrl_->isChecked());
    SetGreyed(iconSize_, !placemark);
    SetGreyed(labelSize_, !placemark);

    const bool photo = photo_->isChecked();
    for (QWidget* widget : std::initializer_list<QWidget*>{folderLabel_, photoDir_, photoSearch_, photoConfig_}) {
        widget->setEnabled(photo);
    }
    const bool kmzPossible = photo && s.Photo_CreateDirectory == 1;
    kmz_->setEnabled(kmzPossible);
    photoHint_->setVisible(photo && !kmzPossible);

    const bool altitude = altitude_->isChecked();
    for (QWidget* widget : std::initializer_list<QWidget*>{vLine_, polygon_, vLineSwatch_, vLineTransparency_}) {
        widget->setEnabled(altitude);
    }
    vLineSwatch_->setVisible(DrawsKmlTrack(s.Mode));

    speed_->setEnabled(speedGroup_->isChecked());

    const bool track = track_->isChecked();
    for (QWidget* widget : trackDependents_) widget->setEnabled(track);
    for (QWidget* widget : splitDependents_) widget->setEnabled(track);
    for (QWidget* widget : fileSplitRow_) widget->setEnabled(track && !kmlOutput);
    PaintSwatches();
}

void MainWindow::ApplyLanguage() {
    const ConvertSettings& s = settings_.current;
    const int language = LanguageIndex(s.Language);
    if (language < 0) return;
    for (int row = 0; row < kTextRowCount; ++row) {
        QWidget* target = textTargets_[static_cast<size_t>(row)];
        const char* text = WindowText(static_cast<TextRow>(row), language, s.MeterMile);
        if (target != nullptr && text != nullptr) SetWidgetText(target, QString::fromUtf8(text));
    }
    // The Japanese window explains its main controls; a tip on a label also
    // covers the control it names.
    for (const ToolTip& tip : kJapaneseToolTips) {
        QWidget* target = textTargets_[static_cast<size_t>(tip.row)];
        const QString text = language == kJapanese ? QString::fromUtf8(tip.text) : QString();
        target->setToolTip(text);
        if (auto* label = qobject_cast<QLabel*>(target); label != nullptr && label->buddy() != nullptr) {
            label->buddy()->setToolTip(text);
        }
    }
    // A screen reader names each control after its label, in the language shown.
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label->buddy() != nullptr) label->buddy()->setAccessibleName(label->text().simplified());
    }
}

// ---------------------------------------------------------------- painting

void MainWindow::PaintWindow() {
    const ConfigSettings& config = settings_.config;
    QPalette window = palette();
    window.setColor(QPalette::Window, ColourOf(config.BackgroundColor));
    setPalette(window);
    setAutoFillBackground(true);
    for (QWidget* control : findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(control) != nullptr || qobject_cast<QComboBox*>(control) != nullptr ||
            qobject_cast<QAbstractSpinBox*>(control) != nullptr) {
            PaintControl(control);
        }
    }
    for (QLabel* label : {message_, status_, unitNote_}) {
        QPalette red = label->palette();
        red.setColor(QPalette::WindowText, kRedText);
        label->setPalette(red);
    }
    QLabel* maker = qobject_cast<QLabel*>(textTargets_[static_cast<size_t>(TextRow::Maker)]);
    QPalette blue = maker->palette();
    blue.setColor(QPalette::WindowText, kBlueText);
    maker->setPalette(blue);
    for (QPushButton* theme : themes_) {
        QPalette grey = theme->palette();
        grey.setColor(QPalette::ButtonText, kGreyText);
        theme->setPalette(grey);
    }
    PaintAutoSwitches();
    PaintSwatches();
}

// Edits on the edit colour, combos on the combo colour; a greyed control
// shows the text colour of a disabled one while it still takes typing.
void MainWindow::PaintControl(QWidget* control) {
    const ConfigSettings& config = settings_.config;
    const bool combo = qobject_cast<QComboBox*>(control) != nullptr;
    const QColor base = ColourOf(combo ? config.ComboColor : config.EditColor);
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

void MainWindow::SetGreyed(QWidget* control, bool greyed) {
    control->setEnabled(true);
    if (control->property("greyed").toBool() == greyed && control->property("painted").toBool()) return;
    control->setProperty("greyed", greyed);
    control->setProperty("painted", true);
    PaintControl(control);
}

void MainWindow::PaintSwatches() {
    const ConvertSettings& s = settings_.current;
    const std::pair<QPushButton*, const std::string*> swatches[] = {{trackSwatch_, &s.LineColorRGB[0]},
                                                                    {vLineSwatch_, &s.VLineColor}};
    for (const auto& [swatch, hex] : swatches) {
        const QColor colour = ColourOf(RgbOfHexColor(*hex));
        const QColor text = colour.lightness() < 128 ? Qt::white : Qt::black;
        swatch->setStyleSheet(QString("QPushButton { background-color: %1; color: %2; border: 1px solid gray;"
                                      " padding: 3px 8px; } QPushButton:disabled { color: gray; }")
                                  .arg(colour.name(), text.name()));
    }
}

void MainWindow::PaintAutoSwitches() {
    const std::pair<QPushButton*, const std::string*> switches[] = {{autoLoad_, &settings_.config.AutoLoad},
                                                                    {autoSave_, &settings_.config.AutoSave}};
    for (const auto& [button, flag] : switches) {
        const bool on = *flag == "1";
        button->setChecked(on);
        QPalette p = button->palette();
        p.setColor(QPalette::ButtonText, on ? kRedText : kGreyText);
        button->setPalette(p);
    }
}

// ---------------------------------------------------------------- commands

std::string MainWindow::InputText() const { return S(inputFile_->text()); }
std::string MainWindow::OutputText() const { return S(outputFile_->text()); }

void MainWindow::StoreInputPath(const std::string& path) {
    settings_.current.InputFile = path;
    inputFile_->setText(Q(path));
}

void MainWindow::StoreOutputPath(const std::string& path) {
    settings_.current.OutputFile = path;
    outputFile_->setText(Q(path));
}

void MainWindow::OnModeChosen() {
    // What was typed since the last collect survives the refresh of the layout.
    CollectDialogSettings();
    ConvertSettings& s = settings_.current;
    s.Mode = S(mode_->currentText());
    s.Bom = WritesKml(s.Mode) ? 1 : 0;
    ApplyModeLayout();
    StoreInputPath(ForceExtension(InputText(), ExtensionOf(InputTypeOf(s.Mode))));
    StoreOutputPath(ForceExtension(OutputText(), ExtensionOf(OutputTypeOf(s.Mode))));
}

void MainWindow::OnInputSearch() {
    ConvertSettings& s = settings_.current;
    s.Mode = S(mode_->currentText());
    const FileType* type = FileTypeOf(InputTypeOf(s.Mode));
    if (type == nullptr) return;
    QFileDialog chooser(this, type->openTitle, Q(FolderOf(InputText())), type->filters);
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setDefaultSuffix(type->extension);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    const std::string path = S(chooser.selectedFiles().front());
    StoreInputPath(path);
    outputFile_->setText(Q(ForceExtension(path, ExtensionOf(OutputTypeOf(s.Mode)))));
    kmlName_->setText(Q(StemOf(path)));
}

void MainWindow::OnOutputSearch() {
    ConvertSettings& s = settings_.current;
    s.Mode = S(mode_->currentText());
    const FileType* type = FileTypeOf(OutputTypeOf(s.Mode));
    if (type == nullptr) return;
    QFileDialog chooser(this, type->saveTitle, Q(FolderOf(OutputText())), type->filters);
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setDefaultSuffix(type->extension);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    const std::string path = ForceExtension(S(chooser.selectedFiles().front()), ExtensionOf(type->type));
    outputFile_->setText(Q(path));
    kmlName_->setText(Q(StemOf(path)));
}

void MainWindow::OnOutputFromInputName() {
    const std::string output = FolderOf(OutputText()) + FileNameOf(InputText());
    StoreOutputPath(ForceExtension(output, ExtensionOf(OutputTypeOf(S(mode_->currentText())))));
}

void MainWindow::OnOutputIntoInputFolder() {
    StoreOutputPath(FolderOf(InputText()) + FileNameOf(OutputText()));
}

void MainWindow::OnOutputIntoPhotoFolder() {
    const QString folder =
        QFileDialog::getExistingDirectory(this, kPhotoFolderTitle, photoDir_->text());
    if (folder.isEmpty()) return;  // cancelled: the output stays as it was
    const QDateTime now = QDateTime::currentDateTime();
    const QString name = QString("%1/doc_%2_%3.kml")
                             .arg(folder, now.date().toString("yyyyMMdd"), now.time().toString("HHmmss"));
    StoreOutputPath(S(name));
}

void MainWindow::OnNameFromOutput() { kmlName_->setText(Q(StemOf(OutputText()))); }

void MainWindow::OnPhotoFolderSearch() {
    const QString folder =
        QFileDialog::getExistingDirectory(this, kPhotoFolderTitle, photoDir_->text());
    if (!folder.isEmpty()) photoDir_->setText(folder);
}

// Every option dialog edits a copy of settings.current made from what the
// window shows, and stores it only on OK; the window then shows the result.
void MainWindow::AfterDialog(bool accepted) {
    if (!accepted) return;
    PaintWindow();
    ApplyModeLayout();
}

void MainWindow::OnInputItems() {
    CollectDialogSettings();
    for (QWidget* button : std::initializer_list<QWidget*>{create_, inputItem_, outputItem_}) {
        button->setEnabled(false);
    }
    const bool accepted = ExecInputItemDialog(this, settings_);
    inputItem_->setEnabled(true);
    outputItem_->setEnabled(true);
    create_->setEnabled(!IsRunning());
    AfterDialog(accepted);
}

void MainWindow::OnOutputItems() {
    CollectDialogSettings();
    for (QWidget* button : std::initializer_list<QWidget*>{create_, inputItem_, outputItem_}) {
        button->setEnabled(false);
    }
    const bool accepted = ExecOutputItemDialog(this, settings_);
    inputItem_->setEnabled(true);
    outputItem_->setEnabled(true);
    create_->setEnabled(!IsRunning());
    AfterDialog(accepted);
}

void MainWindow::OnPhotoConfig() {
    CollectDialogSettings();
    create_->setEnabled(false);
    photoConfig_->setEnabled(false);
    const bool accepted = ExecPhotoDialog(this, settings_);
    photoConfig_->setEnabled(true);
    create_->setEnabled(!IsRunning());
    // Without the copied photos there is nothing to pack into a KMZ.
    if (accepted && settings_.current.Photo_CreateDirectory == 0) settings_.current.Kmz = 0;
    AfterDialog(accepted);
}

void MainWindow::OnPositionOffset() {
    CollectDialogSettings();
    AfterDialog(ExecOffsetDialog(this, settings_));
}

void MainWindow::OnGroupLines() {
    CollectDialogSettings();
    AfterDialog(ExecGroupLineDialog(this, settings_));
}

void MainWindow::OnSpeedRanges() {
    CollectDialogSettings();
    AfterDialog(ExecSpeedRangeDialog(this, settings_));
}

void MainWindow::OnTrackColour() {
    const QColor colour = QColorDialog::getColor(ColourOf(trackChooserColour_), this);
    if (!colour.isValid()) return;
    settings_.current.LineColorRGB[0] = HexOfColour(colour);
    trackChooserColour_ = RgbOf(colour);
    PaintSwatches();
}

void MainWindow::OnVLineColour() {
    const QColor colour = QColorDialog::getColor(ColourOf(vlineChooserColour_), this);
    if (!colour.isValid()) return;
    settings_.current.VLineColor = HexOfColour(colour);
    vlineChooserColour_ = RgbOf(colour);
    PaintSwatches();
}

void MainWindow::OnLanguageChosen() {
    settings_.current.Language = S(language_->currentText());
    ApplyLanguage();
}

// The unit-dependent texts follow the units at once.
void MainWindow::OnUnitsChosen() {
    settings_.current.MeterMile = S(units_->currentText());
    ApplyLanguage();
}

void MainWindow::OnLoad() {
    LoadSettingsFile(settings_, *ui_, kSettingsFileName, LoadPass::AllKeys);
    ApplyBaselineSettings(settings_);
    trackChooserColour_ = RgbOfHexColor(settings_.current.LineColorRGB[0]);
    PaintWindow();
    ApplyModeLayout();
}

// A file that cannot be written shows its message; the window stays open
// with everything the user set.
void MainWindow::OnSave() {
    CollectDialogSettings();
    SaveSettingsFile(settings_, *ui_, kSettingsFileName, SaveNotice::Show);
}

void MainWindow::OnDefault() {
    SetDefaultSettings(settings_);
    ApplyBaselineSettings(settings_);
    trackChooserColour_ = RgbOfHexColor(settings_.current.LineColorRGB[0]);
    PaintWindow();
    ApplyModeLayout();
}

void MainWindow::OnTheme(int theme) {
    const ColourTheme& colours = kColourThemes[static_cast<size_t>(theme)];
    settings_.config.BackgroundColor = colours.background;
    settings_.config.EditColor = colours.edit;
    settings_.config.ComboColor = colours.combo;
    PaintWindow();
}

void MainWindow::OnCheckClicked(QCheckBox* box) {
    ConvertSettings& s = settings_.current;
    for (const CheckBinding& binding : checks_) {
        if (binding.box == box) s.*binding.flag = box->isChecked() ? 1 : 0;
    }
    // "Type" and "Distance()" exclude each other.
    if (box == posType_) {
        posDistance_->setChecked(false);
        s.PosDistance = 0;
    } else if (box == posDistance_) {
        posType_->setChecked(false);
        s.PosType = 0;
    }
    ApplyCheckDependencies();
}

// Splitting by date replaces the distance and time splits; switched off, the
// two edits get back what they held.
void MainWindow::OnSplitDateClicked() {
    ConvertSettings& s = settings_.current;
    s.TrackGroupDate = splitDate_->isChecked() ? 1 : 0;
    if (s.TrackGroupDate != 0) {
        savedSplitDistance_ = S(lineDistance_->text());
        savedSplitSeconds_ = S(lineDistanceSec_->text());
        splitTextsSaved_ = true;
        s.LineDistanceSec = savedSplitSeconds_;
        lineDistance_->clear();
        lineDistanceSec_->clear();
    } else if (splitTextsSaved_) {
        lineDistance_->setText(Q(savedSplitDistance_));
        lineDistanceSec_->setText(Q(savedSplitSeconds_));
        splitTextsSaved_ = false;
    } else {
        lineDistanceSec_->setText(Q(s.LineDistanceSec));
    }
    ApplyCheckDependencies();
}

// ---------------------------------------------------------------- the run

void MainWindow::SetProgressObserver(std::function<void(int, int32_t, int32_t)> observer) {
    progressObserver_ = std::move(observer);
}

void MainWindow::OnCreate() {
    if (IsRunning()) return;
    CollectDialogSettings();
    message_->setText(" ***** Processing *****");
    job_ = std::make_unique<RunJob>(settings_, *this);
    job_->ui.observer = progressObserver_;
    create_->setEnabled(false);
    cancel_->setEnabled(true);
    progress_->setRange(0, 0);
    progress_->setFormat(" ");
    worker_ = QThread::create([job = job_.get()] { job->outcome = RunConversion(job->ctx); });
    connect(worker_, &QThread::finished, this, &MainWindow::OnRunFinished);
    worker_->start();
    progressTimer_->start();
}

void MainWindow::OnCancel() {
    if (!IsRunning()) return;
    job_->ui.cancel = true;
    cancel_->setEnabled(false);
}

void MainWindow::UpdateProgress() {
    if (!IsRunning()) return;
    const WindowUi& ui = job_->ui;
    const int pass = ui.pass.load(std::memory_order_relaxed);
    const int32_t done = ui.done.load(std::memory_order_relaxed);
    const int32_t total = ui.total.load(std::memory_order_relaxed);
    if (pass == 0) return;  // nothing read yet: the bar stays busy
    if (total > 0) {
        progress_->setRange(0, total);
        progress_->setValue(done < total ? done : total);
        progress_->setFormat(QString("%1 / %2  %p%  pass %3").arg(done).arg(total).arg(pass));
    } else {
        progress_->setRange(0, 0);
    }
}

void MainWindow::OnRunFinished() {
    worker_->wait();
    worker_->deleteLater();
    worker_ = nullptr;
    UpdateProgress();
    progressTimer_->stop();
    const auto outcome = static_cast<int>(job_->outcome);
    job_.reset();
    if (progress_->maximum() == 0) progress_->setRange(0, 1);
    message_->setText(" ");
    create_->setEnabled(true);
    cancel_->setEnabled(false);
    emit RunFinished(outcome);
    if (closeAfterRun_) close();
}

void MainWindow::PresentMessage(const std::string& text, const std::string& caption) {
    if (closeAfterRun_) return;  // the window is going: nobody reads it
    QMessageBox box(QMessageBox::NoIcon, Q(caption), Q(text), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool MainWindow::PresentQuestion(const std::string& text, const std::string& caption) {
    if (closeAfterRun_) return false;
    QMessageBox box(QMessageBox::NoIcon, Q(caption), Q(text), QMessageBox::Ok | QMessageBox::Cancel, this);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Ok;
}

void MainWindow::SetMessageLine(const std::string& text) { message_->setText(Q(text)); }
void MainWindow::SetStatusLine(const std::string& text) { status_->setText(Q(text)); }

void MainWindow::closeEvent(QCloseEvent* event) {
    if (IsRunning()) {
        // The run stops after its current record; the window closes then.
        closeAfterRun_ = true;
        job_->ui.cancel = true;
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace geoplait::ui
