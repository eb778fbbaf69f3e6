// The main window. The file rows and the bottom row are built here, the
// option groups by their panels, all in reading order (which is also the
// keyboard order); the bindings to the settings, the per-mode layout and the
// language texts are tables walked by the procedures below.
#include "ui/main_window.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QCompleter>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QStyle>
#include <QPushButton>
#include <QSignalBlocker>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "geo/time_zone.h"
#include "settings/convert_modes.h"
#include "settings/settings_file.h"
#include "settings/settings_keys.h"
#include "ui/control_texts.h"
#include "ui/dialog_frame.h"
#include "ui/greyed_access.h"
#include "ui/main_window_controls.h"
#include "ui/panels.h"
#include "ui/run_worker.h"
#include "ui/window_phrases.h"

namespace geoplait::ui {

namespace {

constexpr const char* kWindowTitle = "geoplait";
const QColor kRedText(255, 15, 15);
const QColor kBlueText(15, 15, 255);
const QColor kGreyText(180, 180, 180);

void SetWidgetText(QWidget* widget, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        box->setTitle(text);
    }
}

// A scroll area that asks for all the room its panels want (Qt's asks for
// a fixed fraction of the font): the window opens showing every panel where
// the screen has room, and scrolls them only where it has not.
class PanelsArea : public QScrollArea {
public:
    explicit PanelsArea(QWidget* parent) : QScrollArea(parent) {
        setWidgetResizable(true);
        setFrameShape(QFrame::NoFrame);
        viewport()->setAutoFillBackground(false);
        // The controls inside take the keyboard; Tab scrolls each into view.
        setFocusPolicy(Qt::NoFocus);
    }
    QSize sizeHint() const override {
        const int frame = 2 * frameWidth();
        return widget() != nullptr ? widget()->sizeHint() + QSize(frame, frame) : QScrollArea::sizeHint();
    }
    QSize minimumSizeHint() const override {
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        return QSize(4 * bar, 4 * bar);
    }
};

}  // namespace

QString WithMnemonic(QString text, QChar letter) {
    text.remove(QLatin1Char('&'));
    if (const qsizetype at = text.indexOf(letter, 0, Qt::CaseInsensitive); at >= 0) {
        text.insert(at, QLatin1Char('&'));
    } else {
        text += QStringLiteral("(&%1)").arg(letter.toUpper());
    }
    return text;
}

MainWindow::MainWindow(Settings& settings, QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      ui_(std::make_unique<WindowUi>(*this)),
      parts_(settings.config),
      c_(std::make_unique<Controls>()),
      openUrl_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    setWindowTitle(kWindowTitle);
    setWindowIcon(QIcon::fromTheme("geoplait"));
    setObjectName("mainWindow");
    // Before any control exists: greyed controls tell assistive technology so.
    InstallGreyedAccess();

    auto* root = new QVBoxLayout(this);
    root->addWidget(BuildFileRows());
    panels_ = BuildPanels();
    root->addWidget(panels_, 1);
    root->addWidget(BuildBottom());
    // Keyboard order is reading order: the order the controls were made in.
    const std::vector<QWidget*>& order = parts_.focusOrder();
    for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);

    BindFileRows();
    NameUncaptionedControls();
    ConnectCommands();
    ConnectRules();
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, &MainWindow::UpdateProgress);

    // Opening: the custom colours of the choosers all white.
    for (int i = 0; i < QColorDialog::customCount(); ++i) QColorDialog::setCustomColor(i, Qt::white);
    c_->version->setText(kVersionText);
    c_->message->setText(" ");
    c_->status->setText(" ");
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

// Mode, item sets, units, time difference, language, version, End.
QLayout* MainWindow::BuildHeader() {
    WindowParts& p = parts_;
    Controls& c = *c_;
    auto* header = new QHBoxLayout;
    c.mode = p.MakeCombo(this, "mode");
    for (const ConvertMode& entry : kConvertModes) c.mode->addItem(entry.displayText);
    c.mode->setMaxVisibleItems(kModeCount);
    header->addWidget(p.AddLabel(this, TextRow::Mode, "Mode", c.mode));
    header->addWidget(c.mode);
    c.inputItem = p.MakeButton(this, "Imput Item Set", "inputItem");
    p.SetTextTarget(TextRow::InputItem, c.inputItem);
    c.outputItem = p.MakeButton(this, "Output Item Set", "outputItem");
    p.SetTextTarget(TextRow::OutputItem, c.outputItem);
    header->addWidget(c.inputItem);
    header->addWidget(c.outputItem);
    header->addStretch(1);
    c.units = p.MakeCombo(this, "units");
    for (const char* text : kUnitTexts) c.units->addItem(text);
    c.units->setAccessibleName("Units");
    header->addWidget(c.units);
    c.timeDiff = p.MakeCombo(this, "timeDiff");
    for (const char* text : kTimeDifferenceTexts) c.timeDiff->addItem(text);
    c.timeDiff->setMaxVisibleItems(20);
    QLabel* timeDiffLabel = p.MakeLabel(this, "Time Diff", c.timeDiff);
    timeDiffLabel->setObjectName("timeDiffLabel");
    header->addWidget(timeDiffLabel);
    header->addWidget(c.timeDiff);
    c.timeZone = MakeTimeZoneCombo(p.MakeCombo(this, "timeZone"));
    header->addWidget(p.MakeLabel(this, "Zone", c.timeZone));
    AddHiddenBuddy(c.timeZone, QStringLiteral("Time Zone"));  // names its edit too
    header->addWidget(c.timeZone);
    c.language = p.MakeCombo(this, "language");
    for (const char* text : kLanguageNames) c.language->addItem(QString::fromUtf8(text));
    QLabel* languageLabel = p.MakeLabel(this, "Language", c.language);
    languageLabel->setObjectName("languageLabel");
    header->addWidget(languageLabel);
    header->addWidget(c.language);
    c.version = new QLabel(this);
    header->addWidget(c.version);
    c.end = p.MakeButton(this, "&End", "end");
    p.SetTextTarget(TextRow::End, c.end);
    header->addWidget(c.end);
    return header;
}

QWidget* MainWindow::BuildFileRows() {
    WindowParts& p = parts_;
    Controls& c = *c_;
    auto* box = new QGroupBox(this);
    box->setProperty(kUnnamedGroup, true);
    auto* grid = new QGridLayout(box);

    grid->addLayout(BuildHeader(), 0, 0, 1, 6);

    c.inputFile = p.MakeEdit(this, "inputFile", 48);
    auto* inFileLabel = p.AddLabel(this, TextRow::InFile, "In  File", c.inputFile);
    c.inputSearch = p.MakeButton(this, "Sea&rch", "inputSearch");
    c.inputSearch->setAccessibleName("Search input file");
    c.fButton = p.MakeButton(this, "F", "f");
    c.fButton->setAccessibleName("F");
    c.fButton->setAccessibleDescription("Output named after the input file");
    grid->addWidget(inFileLabel, 1, 0);
    grid->addWidget(c.inputFile, 1, 1);
    grid->addWidget(c.inputSearch, 1, 2);
    grid->addWidget(c.fButton, 1, 3);
    p.AddToPart(kInputRow, {inFileLabel, c.inputFile, c.inputSearch, c.fButton});

    c.outputFile = p.MakeEdit(this, "outputFile", 48);
    c.outputSearch = p.MakeButton(this, "Searc&h", "outputSearch");
    c.outputSearch->setAccessibleName("Search output file");
    c.dButton = p.MakeButton(this, "D", "d");
    c.dButton->setAccessibleDescription("Output into the input file's folder");
    c.dirButton = p.MakeButton(this, "Dir", "dir");
    c.dirButton->setAccessibleDescription("Output named after the date in a chosen folder");
    grid->addWidget(p.AddLabel(this, TextRow::OutFile, "Out File", c.outputFile), 2, 0);
    grid->addWidget(c.outputFile, 2, 1);
    grid->addWidget(c.outputSearch, 2, 2);
    grid->addWidget(c.dButton, 2, 3);
    grid->addWidget(c.dirButton, 2, 4);
    p.AddToPart(kDButton, {c.dButton});

    auto* checks = new QHBoxLayout;
    c.bom = p.MakeCheck(this, "Bom", "bom");
    c.tokyo = p.MakeCheck(this, "Tokyo -> WGS84", "tokyo");
    c.errorOmit = p.MakeCheck(this, "ErrorData\n    Omit", "errorOmit");
    c.errorOmit->setAccessibleName("ErrorData Omit");
    c.csvHeader = p.MakeCheck(this, "CSV Header", "csvHeader");
    for (QCheckBox* check : {c.bom, c.tokyo, c.errorOmit, c.csvHeader}) checks->addWidget(check);
    // How a GPX output holds the track: one route or a track of segments.
    c.gpxType = p.MakeCombo(this, "gpxType");
    for (const ChoiceValue& choice : kGpxTypeChoices) c.gpxType->addItem(choice.displayText);
    c.gpxType->setAccessibleName("GPX Type");
    auto* gpxTypeLabel = new QLabel("GPX", this);
    gpxTypeLabel->setBuddy(c.gpxType);
    checks->addWidget(gpxTypeLabel);
    checks->addWidget(c.gpxType);
    checks->addStretch(1);
    grid->addLayout(checks, 1, 5, 2, 1);
    grid->setColumnStretch(1, 1);
    p.AddToPart(kTokyoCheck, {c.tokyo});
    p.AddToPart(kErrorOmit, {c.errorOmit});
    p.AddToPart(kCsvHeader, {c.csvHeader});
    p.AddToPart(kGpxType, {gpxTypeLabel, c.gpxType});
    p.AddToPart(kInputItem, {c.inputItem});
    p.AddToPart(kOutputItem, {c.outputItem});
    return box;
}

// Four columns of panels. Room the window gains goes to the middle columns,
// whose path and URL edits can use it; on a screen too small for them they
// scroll, so that the file rows and the commands stay in view.
QWidget* MainWindow::BuildPanels() {
    filters_ = new FiltersPanel(parts_, this);
    kmlDocument_ = new KmlDocumentPanel(parts_, settings_, this);
    photo_ = new PhotoPanel(parts_, this);
    track_ = new TrackPanel(parts_, settings_, this);
    split_ = new SplitPanel(parts_, settings_, this);
    labels_ = new LabelsPanel(parts_, this);
    const std::initializer_list<QWidget*> columns[] = {
        {filters_}, {kmlDocument_, photo_}, {track_}, {split_, labels_}};
    constexpr int kStretch[] = {0, 1, 1, 0};
    auto* area = new PanelsArea(this);
    area->setObjectName("panelsArea");
    auto* inside = new QWidget(area);
    inside->setObjectName("panels");
    inside->setAutoFillBackground(false);
    auto* row = new QHBoxLayout(inside);
    row->setContentsMargins(0, 0, 0, 0);
    for (size_t i = 0; i < std::size(columns); ++i) {
        auto* column = new QVBoxLayout;
        for (QWidget* panel : columns[i]) column->addWidget(panel);
        column->addStretch(1);
        row->addLayout(column, kStretch[i]);
    }
    area->setWidget(inside);
    return area;
}

QWidget* MainWindow::BuildBottom() {
    WindowParts& p = parts_;
    Controls& c = *c_;
    auto* bottom = new QWidget(this);
    auto* rows = new QVBoxLayout(bottom);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QHBoxLayout;
    c.load = p.MakeButton(this, "&Load", "load");
    c.autoLoad = p.MakeButton(this, "Auto.", "autoLoad");
    c.autoLoad->setAccessibleName("Auto. Load");
    c.save = p.MakeButton(this, " &Save", "save");
    c.autoSave = p.MakeButton(this, "Auto.", "autoSave");
    c.autoSave->setAccessibleName("Auto. Save");
    c.defaults = p.MakeButton(this, "&Default", "default");
    for (QPushButton* button : {c.load, c.autoLoad, c.save, c.autoSave, c.defaults}) buttons->addWidget(button);
    for (QPushButton* autoSwitch : {c.autoLoad, c.autoSave}) {
        autoSwitch->setCheckable(true);
        autoSwitch->setFlat(true);
        ShowFocusOnFlatButton(autoSwitch);
    }
    for (size_t i = 0; i < c.themes.size(); ++i) {
        const std::string name = "theme" + std::to_string(i + 1);
        c.themes[i] = p.MakeButton(this, "BG", name.c_str());
        c.themes[i]->setFlat(true);
        ShowFocusOnFlatButton(c.themes[i]);
        c.themes[i]->setAccessibleName(Qt8("BG colour theme " + std::to_string(i + 1)));
        buttons->addWidget(c.themes[i]);
    }
    buttons->addStretch(1);
    c.create = p.MakeButton(this, "&Create", "create");
    p.SetTextTarget(TextRow::Create, c.create);
    c.cancel = p.MakeButton(this, "Ca&ncel", "cancel");
    p.SetTextTarget(TextRow::Cancel, c.cancel);
    c.cancel->setEnabled(false);
    c.preview = p.MakeButton(this, "&Preview", "preview");
    c.preview->setAccessibleDescription("Draws the input track as the KML will colour it");
    c.openOutput = p.MakeButton(this, "&Open", "openOutput");
    c.openOutput->setAccessibleDescription("Opens the output with the desktop's application");
    c.showFolder = p.MakeButton(this, "&Folder", "showFolder");
    c.showFolder->setAccessibleDescription("Shows the output's folder");
    for (QPushButton* button : {c.openOutput, c.showFolder}) button->setVisible(false);
    for (QPushButton* button : {c.create, c.cancel, c.preview, c.openOutput, c.showFolder}) {
        buttons->addWidget(button);
    }
    rows->addLayout(buttons);

    c.progress = new QProgressBar(this);
    c.progress->setObjectName("progress");
    c.progress->setAccessibleName("Progress");
    c.progress->setRange(0, 1);
    c.progress->setValue(0);
    c.progress->setTextVisible(true);
    c.progress->setFormat(" ");
    rows->addWidget(c.progress);

    auto* lines = new QHBoxLayout;
    c.message = new QLabel(this);
    c.message->setObjectName("message");
    // Read by what they say; what they are is their description.
    c.message->setAccessibleDescription("Message");
    c.status = new QLabel(this);
    c.status->setObjectName("status");
    c.status->setAccessibleDescription("Status");
    auto* maker = p.AddLabel(this, TextRow::Maker, "geoplait  GPS log and photo converter", nullptr);
    lines->addWidget(c.message, 1);
    lines->addWidget(c.status, 1);
    lines->addWidget(maker);
    rows->addLayout(lines);
    return bottom;
}

void MainWindow::BindFileRows() {
    SettingBinder& b = parts_.binder();
    const Controls& c = *c_;
    b.Check(c.bom, &ConvertSettings::Bom);
    b.Check(c.tokyo, &ConvertSettings::Tokyo2WGS84);
    b.Check(c.errorOmit, &ConvertSettings::OmitErrorData);
    b.Check(c.csvHeader, &ConvertSettings::CsvHeader);
    b.Combo(c.gpxType, &ConvertSettings::GpxType);
    b.Edit(c.inputFile, &ConvertSettings::InputFile, kPathChars);
    b.Edit(c.outputFile, &ConvertSettings::OutputFile, kPathChars);
    b.Combo(c.mode, &ConvertSettings::Mode);
    b.Combo(c.units, &ConvertSettings::MeterMile);
    b.Combo(c.timeDiff, &ConvertSettings::TimeDifference);
    // Any text may stand in the zone's edit; a name the database lacks is
    // refused when a run starts. Time Diff counts only without a zone.
    b.Custom(
        c.timeZone,
        [&c](const ConvertSettings& s) {
            const QSignalBlocker quiet(c.timeZone);
            c.timeZone->setEditText(QString::fromStdString(s.TimeZone));
            c.timeDiff->setEnabled(s.TimeZone.empty());
        },
        [&c](ConvertSettings& s) {
            QString text = c.timeZone->currentText().trimmed();
            s.TimeZone = text.left(static_cast<qsizetype>(kTextChars)).toStdString();
        });
    b.Combo(c.language, &ConvertSettings::Language);
}

// The zones of the system's database after "" (the fixed Time Diff) and
// "system", in an editable combo that completes any part of a name typed.
QComboBox* MainWindow::MakeTimeZoneCombo(QComboBox* combo) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItem(QString());
    combo->addItem(QString::fromLatin1(kSystemTimeZone));
    for (const std::string& name : TimeZoneNames()) combo->addItem(QString::fromStdString(name));
    combo->setMaxVisibleItems(20);
    combo->setMinimumContentsLength(5);  // the window must fit a small screen
    combo->view()->setMinimumWidth(240);  // the list shows whole names
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->completer()->setCompletionMode(QCompleter::PopupCompletion);
    combo->completer()->setFilterMode(Qt::MatchContains);
    combo->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    connect(combo, &QComboBox::editTextChanged, this,
            [this](const QString& text) { c_->timeDiff->setEnabled(text.trimmed().isEmpty()); });
    return combo;
}

// Qt announces a combo box on Linux by its buddy label: the combos the window
// shows without a caption get a hidden one.
void MainWindow::NameUncaptionedControls() {
    AddHiddenBuddy(c_->units, "Units");
    kmlDocument_->NameUncaptionedControls();
    track_->NameUncaptionedControls();
}

// Every check box with a setting keeps it and runs the rules, whether a
// click, the keyboard or assistive technology switched it.
void MainWindow::ConnectRules() {
    for (QCheckBox* box : parts_.binder().CheckBoxes()) {
        connect(box, &QCheckBox::toggled, this, [this, box](bool on) { OnCheckToggled(box, on); });
    }
}

// ---------------------------------------------------------------- bindings

void MainWindow::CollectDialogSettings() { parts_.binder().Collect(settings_.current); }

void MainWindow::ShowDialogSettings() {
    parts_.binder().Show(settings_.current);
    ApplyLanguage();
    PaintSwatches();
    PaintAutoSwitches();
}

void MainWindow::ApplyModeLayout() {
    ConvertSettings& s = settings_.current;
    const ConvertMode* mode = FindModeByDisplayText(s.Mode);
    // A mode outside the table (a hand-edited file) shows everything.
    const uint64_t shown = mode != nullptr ? ApplyLayoutActions(LayoutOfMode(*mode), s) : ~0ull;
    for (int bit = 0; bit < kLayoutPartCount; ++bit) {
        for (QWidget* widget : parts_.LayoutPart(bit)) widget->setVisible((shown & (1ull << bit)) != 0);
    }
    filters_->setVisible((shown & (kRecordRow | kFilterExtras | kDateRow)) != 0);
    split_->setVisible((shown & (kSplitDistance | kSplitSeconds | kSplitDate | kSplitFile | kSpeedGroup)) != 0);
    ShowDialogSettings();
    ApplyCheckDependencies();
    // The scroll area learns of its panels' new size.
    panels_->updateGeometry();
}

void MainWindow::ApplyCheckDependencies() {
    ConvertSettings& s = settings_.current;
    const bool kmlOutput = WritesKml(s.Mode);
    photo_->ApplyRules(s, kmlOutput);
    filters_->ApplyRules();
    track_->ApplyRules();
    labels_->ApplyRules(track_->PlacemarkOn());
    kmlDocument_->ApplyRules(DrawsKmlTrack(s.Mode));
    split_->ApplyRules(track_->TrackOn(), kmlOutput);
    PaintSwatches();
    DescribeGreyed();
}

// A greyed control looks disabled but still takes typing: a screen reader
// is told it is unavailable, as the eye is.
void MainWindow::DescribeGreyed() {
    const QString notInUse = PhraseText(Phrase::NotInUse, LanguageIndex(settings_.current.Language));
    for (QWidget* control : parts_.focusOrder()) {
        const bool greyed = control->property("greyed").toBool();
        if (greyed || control->accessibleDescription() == control->property("greyedSaid").toString()) {
            control->setAccessibleDescription(greyed ? notInUse : QString());
            control->setProperty("greyedSaid", greyed ? notInUse : QString());
        }
    }
}

void MainWindow::ApplyLanguage() {
    const ConvertSettings& s = settings_.current;
    const int language = LanguageIndex(s.Language);
    if (language < 0) return;
    for (int row = 0; row < kTextRowCount; ++row) {
        QWidget* target = parts_.TextTarget(static_cast<TextRow>(row));
        const char* text = WindowText(static_cast<TextRow>(row), language, s.MeterMile);
        if (target != nullptr && text != nullptr) SetWidgetText(target, QString::fromUtf8(text));
    }
    ApplyControlTexts(this, language);
    ApplyMnemonics();
    // The Japanese window explains its main controls; a tip on a label also
    // covers the control it names.
    for (const ToolTip& tip : kJapaneseToolTips) {
        QWidget* target = parts_.TextTarget(tip.row);
        const QString text = language == kJapanese ? QString::fromUtf8(tip.text) : QString();
        target->setToolTip(text);
        if (auto* label = qobject_cast<QLabel*>(target); label != nullptr && label->buddy() != nullptr) {
            label->buddy()->setToolTip(text);
        }
    }
    // A screen reader names each control after its label, in the language shown.
    NameControls(this, parts_.focusOrder(), language);
    DescribeGreyed();
}

// Alt+letter presses the buttons the language tables name; a text without
// the letter (Chinese, Japanese, Korean) carries it as a trailing "(&X)".
void MainWindow::ApplyMnemonics() {
    constexpr std::pair<TextRow, char> kMnemonics[] = {
        {TextRow::Create, 'C'}, {TextRow::Cancel, 'N'}, {TextRow::End, 'E'}};
    for (const auto& [row, letter] : kMnemonics) {
        auto* button = qobject_cast<QAbstractButton*>(parts_.TextTarget(row));
        button->setText(WithMnemonic(button->text(), QLatin1Char(letter)));
    }
}

// ---------------------------------------------------------------- painting

void MainWindow::PaintWindow() {
    const ConfigSettings& config = settings_.config;
    QPalette window = palette();
    window.setColor(QPalette::Window, QColor(config.BackgroundColor.R, config.BackgroundColor.G,
                                             config.BackgroundColor.B));
    setPalette(window);
    setAutoFillBackground(true);
    for (QWidget* control : findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(control) != nullptr || qobject_cast<QComboBox*>(control) != nullptr ||
            qobject_cast<QAbstractSpinBox*>(control) != nullptr) {
            parts_.PaintControl(control);
        }
    }
    for (QLabel* label : {c_->message, c_->status, track_->unitNote()}) {
        QPalette red = label->palette();
        red.setColor(QPalette::WindowText, kRedText);
        label->setPalette(red);
    }
    QWidget* maker = parts_.TextTarget(TextRow::Maker);
    QPalette blue = maker->palette();
    blue.setColor(QPalette::WindowText, kBlueText);
    maker->setPalette(blue);
    for (QPushButton* theme : c_->themes) {
        QPalette grey = theme->palette();
        grey.setColor(QPalette::ButtonText, kGreyText);
        theme->setPalette(grey);
    }
    PaintAutoSwitches();
    PaintSwatches();
}

void MainWindow::PaintSwatches() {
    track_->PaintSwatch();
    kmlDocument_->PaintSwatch();
}

void MainWindow::PaintAutoSwitches() {
    const std::pair<QPushButton*, const std::string*> switches[] = {{c_->autoLoad, &settings_.config.AutoLoad},
                                                                    {c_->autoSave, &settings_.config.AutoSave}};
    for (const auto& [button, flag] : switches) {
        const bool on = *flag == "1";
        const QSignalBlocker quiet(button);
        button->setChecked(on);
        QPalette p = button->palette();
        p.setColor(QPalette::ButtonText, on ? kRedText : kGreyText);
        button->setPalette(p);
    }
}

}  // namespace geoplait::ui
