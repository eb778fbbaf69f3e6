// The main window's commands: the file rows, the option dialogs, Load, Save,
// Default and the colour themes; and the run on its worker thread.
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QUrl>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QKeyEvent>
#include <QLayout>
#include <QScreen>
#include <QShortcut>
#include <QThread>
#include <QTimer>

#include "job/run_conversion.h"
#include "settings/convert_modes.h"
#include "settings/settings_file.h"
#include "ui/dialog_frame.h"
#include "ui/dialogs.h"
#include "ui/main_window_controls.h"
#include "ui/panels.h"
#include "ui/preview_pane.h"
#include "ui/run_worker.h"

namespace geoplait::ui {

namespace {

constexpr const char* kPhotoFolderTitle = "Select Photo(jpg) Folder";
constexpr const char* kStopRunQuestion = "Processing. Stop the conversion and close?";
constexpr const char* kStopRunCaption = "Check!";

std::string S(const QString& text) { return text.toStdString(); }

std::string ExtensionOf(const FileType* fileType) {
    return fileType == nullptr ? std::string{} : std::string(".") + fileType->extension;
}

}  // namespace

void MainWindow::ConnectCommands() {
    const Controls& c = *c_;
    connect(c.mode, &QComboBox::activated, this, &MainWindow::OnModeChosen);
    connect(c.language, &QComboBox::activated, this, &MainWindow::OnLanguageChosen);
    connect(c.units, &QComboBox::activated, this, &MainWindow::OnUnitsChosen);
    connect(c.inputSearch, &QPushButton::clicked, this, &MainWindow::OnInputSearch);
    connect(c.outputSearch, &QPushButton::clicked, this, &MainWindow::OnOutputSearch);
    connect(c.fButton, &QPushButton::clicked, this, &MainWindow::OnOutputFromInputName);
    connect(c.dButton, &QPushButton::clicked, this, &MainWindow::OnOutputIntoInputFolder);
    connect(c.dirButton, &QPushButton::clicked, this, &MainWindow::OnOutputIntoPhotoFolder);
    connect(kmlDocument_->setName(), &QPushButton::clicked, this, &MainWindow::OnNameFromOutput);
    connect(c.inputItem, &QPushButton::clicked, this, [this] { OnItemDialog(&ExecInputItemDialog); });
    connect(c.outputItem, &QPushButton::clicked, this, [this] { OnItemDialog(&ExecOutputItemDialog); });
    connect(photo_->photoConfig(), &QPushButton::clicked, this, &MainWindow::OnPhotoConfig);
    const std::pair<QPushButton*, bool (*)(QWidget*, Settings&)> dialogs[] = {
        {kmlDocument_->positionOffset(), &ExecOffsetDialog},
        {track_->group(), &ExecGroupLineDialog},
        {split_->speed(), &ExecSpeedRangeDialog}};
    for (const auto& [button, open] : dialogs) {
        connect(button, &QPushButton::clicked, this, [this, open = open] { OnOptionDialog(open); });
    }
    connect(c.load, &QPushButton::clicked, this, &MainWindow::OnLoad);
    connect(c.save, &QPushButton::clicked, this, &MainWindow::OnSave);
    connect(c.defaults, &QPushButton::clicked, this, &MainWindow::OnDefault);
    const std::pair<QPushButton*, std::string*> switches[] = {{c.autoLoad, &settings_.config.AutoLoad},
                                                              {c.autoSave, &settings_.config.AutoSave}};
    for (const auto& [button, flag] : switches) {
        connect(button, &QPushButton::toggled, this, [this, flag = flag](bool on) {
            *flag = on ? "1" : "0";
            PaintAutoSwitches();
        });
    }
    for (size_t i = 0; i < c.themes.size(); ++i) {
        connect(c.themes[i], &QPushButton::clicked, this, [this, i] { OnTheme(static_cast<int>(i)); });
    }
    connect(c.create, &QPushButton::clicked, this, &MainWindow::OnCreate);
    connect(c.preview, &QPushButton::clicked, this, &MainWindow::OnPreview);
    connect(c.openOutput, &QPushButton::clicked, this, [this] { OnOpenOutput(false); });
    connect(c.showFolder, &QPushButton::clicked, this, [this] { OnOpenOutput(true); });
    connect(c.cancel, &QPushButton::clicked, this, &MainWindow::OnCancel);
    connect(c.end, &QPushButton::clicked, this, &QWidget::close);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
}

// ---------------------------------------------------------------- file rows

std::string MainWindow::InputText() const { return S(c_->inputFile->text()); }
std::string MainWindow::OutputText() const { return S(c_->outputFile->text()); }

void MainWindow::StoreInputPath(const std::string& path) {
    settings_.current.InputFile = path;
    c_->inputFile->setText(Qt8(path));
}

void MainWindow::StoreOutputPath(const std::string& path) {
    settings_.current.OutputFile = path;
    c_->outputFile->setText(Qt8(path));
}

void MainWindow::OnModeChosen() {
    // What was typed since the last collect survives the refresh of the layout.
    CollectDialogSettings();
    ConvertSettings& s = settings_.current;
    s.Mode = S(c_->mode->currentText());
    // Bom, Photo and Kmz by the rule the command line's --mode applies too.
    if (const ConvertMode* mode = FindModeByDisplayText(s.Mode)) ApplyModeOutputRule(*mode, s);
    const QSize fittedBefore = sizeHint();
    ApplyModeLayout();
    FitToLayout(fittedBefore);
    StoreInputPath(ForceExtension(InputText(), ExtensionOf(InputFileTypeOf(s.Mode))));
    StoreOutputPath(ForceExtension(OutputText(), ExtensionOf(OutputFileTypeOf(s.Mode))));
}

void MainWindow::OnInputSearch() {
    ConvertSettings& s = settings_.current;
    s.Mode = S(c_->mode->currentText());
    const FileType* type = InputFileTypeOf(s.Mode);
    if (type == nullptr) return;
    QFileDialog chooser(this, type->openTitle, Qt8(FolderOf(InputText())), type->filters);
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setDefaultSuffix(type->extension);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    const std::string path = S(chooser.selectedFiles().front());
    StoreInputPath(path);
    c_->outputFile->setText(Qt8(ForceExtension(path, ExtensionOf(OutputFileTypeOf(s.Mode)))));
    kmlDocument_->SetName(StemOf(path));
}

void MainWindow::OnOutputSearch() {
    ConvertSettings& s = settings_.current;
    s.Mode = S(c_->mode->currentText());
    const FileType* type = OutputFileTypeOf(s.Mode);
    if (type == nullptr) return;
    QFileDialog chooser(this, type->saveTitle, Qt8(FolderOf(OutputText())), type->filters);
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setDefaultSuffix(type->extension);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    const std::string path = ForceExtension(S(chooser.selectedFiles().front()), ExtensionOf(type));
    c_->outputFile->setText(Qt8(path));
    kmlDocument_->SetName(StemOf(path));
}

void MainWindow::OnOutputFromInputName() {
    const std::string output = FolderOf(OutputText()) + FileNameOf(InputText());
    StoreOutputPath(ForceExtension(output, ExtensionOf(OutputFileTypeOf(S(c_->mode->currentText())))));
}

void MainWindow::OnOutputIntoInputFolder() { StoreOutputPath(FolderOf(InputText()) + FileNameOf(OutputText())); }

void MainWindow::OnOutputIntoPhotoFolder() {
    const QString folder = QFileDialog::getExistingDirectory(this, kPhotoFolderTitle, photo_->Folder());
    if (folder.isEmpty()) return;  // cancelled: the output stays as it was
    const QDateTime now = QDateTime::currentDateTime();
    const QString name = QString("%1/doc_%2_%3.kml")
                             .arg(folder, now.date().toString("yyyyMMdd"), now.time().toString("HHmmss"));
    StoreOutputPath(S(name));
}

void MainWindow::OnNameFromOutput() { kmlDocument_->SetName(StemOf(OutputText())); }

// ---------------------------------------------------------------- dialogs and switches

// Every option dialog edits a copy of settings.current made from what the
// window shows, and stores it only on OK; the window then shows the result.
void MainWindow::AfterDialog(bool accepted) {
    if (!accepted) return;
    PaintWindow();
    ApplyModeLayout();
}

void MainWindow::OnItemDialog(bool (*open)(QWidget*, Settings&)) {
    CollectDialogSettings();
    for (QPushButton* button : {c_->create, c_->inputItem, c_->outputItem}) button->setEnabled(false);
    const bool accepted = open(this, settings_);
    c_->inputItem->setEnabled(true);
    c_->outputItem->setEnabled(true);
    c_->create->setEnabled(!IsRunning());
    AfterDialog(accepted);
}

void MainWindow::OnPhotoConfig() {
    CollectDialogSettings();
    c_->create->setEnabled(false);
    photo_->photoConfig()->setEnabled(false);
    const bool accepted = ExecPhotoDialog(this, settings_);
    photo_->photoConfig()->setEnabled(true);
    c_->create->setEnabled(!IsRunning());
    // Without the copied photos there is nothing to pack into a KMZ.
    if (accepted && settings_.current.Photo_CreateDirectory == 0) settings_.current.Kmz = 0;
    AfterDialog(accepted);
}

void MainWindow::OnOptionDialog(bool (*open)(QWidget*, Settings&)) {
    CollectDialogSettings();
    AfterDialog(open(this, settings_));
}

void MainWindow::OnLanguageChosen() {
    settings_.current.Language = S(c_->language->currentText());
    ApplyLanguage();
}

// The unit-dependent texts follow the units at once.
void MainWindow::OnUnitsChosen() {
    settings_.current.MeterMile = S(c_->units->currentText());
    ApplyLanguage();
}

void MainWindow::OnLoad() {
    LoadSettingsFile(settings_, *ui_, kSettingsFileName, LoadPass::AllKeys);
    ApplyBaselineSettings(settings_);
    track_->ResetChooserColour();
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
    track_->ResetChooserColour();
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

void MainWindow::OnCheckToggled(QCheckBox* box, bool on) {
    if (const SettingBinder::Flag flag = parts_.binder().FlagOf(box)) settings_.current.*flag = on ? 1 : 0;
    ApplyCheckDependencies();
}

// ---------------------------------------------------------------- preview and outputs

void MainWindow::OnPreview() {
    CollectDialogSettings();
    if (preview_ == nullptr) preview_ = new PreviewPane(this);
    preview_->show();
    preview_->raise();
    preview_->Draw(settings_);
}

// The desktop's default application for the output, or its file manager on the folder.
void MainWindow::OnOpenOutput(bool folder) {
    if (completedOutput_.empty()) return;
    const QString path = folder ? Qt8(FolderOf(completedOutput_)) : Qt8(completedOutput_);
    QDesktopServices::openUrl(QUrl::fromLocalFile(path.isEmpty() ? QStringLiteral(".") : path));
}

// ---------------------------------------------------------------- the run

void MainWindow::SetProgressObserver(std::function<void(const RunProgress&)> observer) {
    progressObserver_ = std::move(observer);
}

void MainWindow::OnCreate() {
    if (IsRunning()) return;
    CollectDialogSettings();
    c_->message->setText(" ***** Processing *****");
    job_ = std::make_unique<RunJob>(settings_, *this);
    // The automatic save is the window's, after the run, with the settings it
    // holds then: a save the user made during the run is never undone.
    job_->settings.config.AutoSave = "0";
    job_->ui.observer = progressObserver_;
    c_->create->setEnabled(false);
    c_->cancel->setEnabled(true);
    c_->progress->setRange(0, 0);
    c_->progress->setFormat(" ");
    for (QPushButton* button : {c_->openOutput, c_->showFolder}) button->setVisible(false);
    worker_ = QThread::create([job = job_.get()] { job->outcome = RunConversion(job->ctx); });
    connect(worker_, &QThread::finished, this, &MainWindow::OnRunFinished);
    worker_->start();
    progressTimer_->start();
}

void MainWindow::OnCancel() {
    if (!IsRunning()) return;
    job_->ui.cancel = true;
    c_->cancel->setEnabled(false);
}

void MainWindow::UpdateProgress() {
    if (!IsRunning()) return;
    const WindowUi& ui = job_->ui;
    const int pass = ui.pass.load(std::memory_order_relaxed);
    const int32_t done = ui.done.load(std::memory_order_relaxed);
    const int permille = ui.permille.load(std::memory_order_relaxed);
    if (pass == 0) return;  // nothing read yet: the bar stays busy
    QProgressBar* progress = c_->progress;
    if (permille >= 0) {
        // The bar by bytes of the input read, the records as they go.
        progress->setRange(0, 1000);
        progress->setValue(permille);
        progress->setFormat(QString("%1 records  %p%  pass %2").arg(done).arg(pass));
    } else {
        progress->setRange(0, 0);
    }
}

void MainWindow::OnRunFinished() {
    worker_->wait();
    worker_->deleteLater();
    worker_ = nullptr;
    UpdateProgress();
    progressTimer_->stop();
    const RunOutcome result = job_->outcome;
    const std::string output = job_->settings.current.OutputFile;
    const auto outcome = static_cast<int>(result);
    job_.reset();
    if (c_->progress->maximum() == 0) c_->progress->setRange(0, 1);
    c_->message->setText(" ");
    c_->create->setEnabled(true);
    c_->cancel->setEnabled(false);
    if (!closeAfterRun_ && (result == RunOutcome::Complete || result == RunOutcome::CompleteWithWarnings)) {
        AutoSaveAfterRun();
        completedOutput_ = output;
        for (QPushButton* button : {c_->openOutput, c_->showFolder}) button->setVisible(true);
    }
    emit RunFinished(outcome);
    if (closeAfterRun_) close();
}

void MainWindow::AutoSaveAfterRun() {
    if (settings_.config.AutoSave != "1") return;
    CollectDialogSettings();
    SaveSettingsFile(settings_, *ui_, kSettingsFileName, SaveNotice::Silent);
}

void MainWindow::PresentMessage(const std::string& text, const std::string& caption) {
    if (closeAfterRun_) return;  // the window is going: nobody reads it
    QMessageBox box(QMessageBox::NoIcon, Qt8(caption), Qt8(text), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool MainWindow::PresentQuestion(const std::string& text, const std::string& caption) {
    if (closeAfterRun_) return false;
    QMessageBox box(QMessageBox::NoIcon, Qt8(caption), Qt8(text), QMessageBox::Ok | QMessageBox::Cancel, this);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Ok;
}

void MainWindow::SetMessageLine(const std::string& text) { c_->message->setText(Qt8(text)); }
void MainWindow::SetStatusLine(const std::string& text) { c_->status->setText(Qt8(text)); }

void MainWindow::closeEvent(QCloseEvent* event) {
    if (IsRunning() && !closeAfterRun_) {
        const bool stop = PresentQuestion(kStopRunQuestion, kStopRunCaption);
        // The run may have ended while the question was open.
        if (stop && IsRunning()) {
            // The run stops after its current record, keeping the earlier
            // output as Cancel does; the window closes then.
            closeAfterRun_ = true;
            job_->ui.cancel = true;
            c_->cancel->setEnabled(false);
        }
        event->ignore();
        if (stop && !IsRunning()) event->accept();
        return;
    }
    if (IsRunning()) {
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (!PressFocusedButton(this, event)) QWidget::keyPressEvent(event);
}

void MainWindow::FitToLayout(QSize fittedBefore) {
    if (!isVisible() || isMaximized() || isFullScreen()) return;
    layout()->activate();
    QSize fitted = sizeHint().expandedTo(minimumSizeHint());
    if (const QScreen* shown = screen()) fitted = fitted.boundedTo(shown->availableGeometry().size());
    QSize target = size();
    if (target.width() <= fittedBefore.width()) target.setWidth(fitted.width());
    if (target.height() <= fittedBefore.height()) target.setHeight(fitted.height());
    resize(target.expandedTo(minimumSizeHint()));
}

}  // namespace geoplait::ui
