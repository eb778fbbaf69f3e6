// The main window's commands: the file rows, the option dialogs, Load, Save,
// Default and the colour themes; and the run on its worker thread.
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
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
#include <QScrollArea>
#include <QAbstractItemView>
#include <QAccessible>
#include <QThread>
#include <QTimer>

#include <utility>

#include "job/run_conversion.h"
#include "settings/convert_modes.h"
#include "settings/settings_file.h"
#include "settings/startup_settings.h"
#include "ui/dialog_frame.h"
#include "ui/dialogs.h"
#include "ui/main_window_controls.h"
#include "ui/panels.h"
#include "ui/preview_pane.h"
#include "ui/run_worker.h"
#include "ui/window_phrases.h"

namespace geoplait::ui {

namespace {

constexpr const char* kPhotoFolderTitle = "Select Photo(jpg) Folder";

std::string S(const QString& text) { return text.toStdString(); }

bool SameBesidesMode(const ConvertSettings& a, ConvertSettings b) {
    b.Mode = a.Mode;
    return a == b;
}

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
    connect(c.inputItem, &QPushButton::clicked, this, [this] { OnItemDialog(&ExecInputItemDialog, c_->inputItem); });
    connect(c.outputItem, &QPushButton::clicked, this,
            [this] { OnItemDialog(&ExecOutputItemDialog, c_->outputItem); });
    connect(photo_->photoConfig(), &QPushButton::clicked, this, &MainWindow::OnPhotoConfig);
    const std::pair<QPushButton*, bool (*)(QWidget*, Settings&)> dialogs[] = {
        {kmlDocument_->positionOffset(), &ExecOffsetDialog},
        {track_->group(), &ExecGroupLineDialog},
        {split_->speed(), &ExecSpeedRangeDialog}};
    for (const auto& [button, open] : dialogs) {
        connect(button, &QPushButton::clicked, this,
                [this, open = open, button = button] { OnOptionDialog(open, button); });
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
    connect(c.outputFile, &QLineEdit::textChanged, this, &MainWindow::HideOpenButtons);
    connect(c.mode, &QComboBox::currentIndexChanged, this, &MainWindow::HideOpenButtons);
    connect(c.cancel, &QPushButton::clicked, this, &MainWindow::OnCancel);
    // Quitting is End or the close box; Esc closes only what is open on top
    // of the window (a list, a calendar, a dialog), which handle it themselves.
    connect(c.end, &QPushButton::clicked, this, &QWidget::close);
    c.mode->installEventFilter(this);
    c.mode->view()->installEventFilter(this);
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

// Arrowing through the closed mode list passes every mode on the way. A key
// or wheel step that follows another with nothing else changed starts again
// from the settings as they were before the first step, so a mode reached
// with the keyboard leaves what picking it from the list leaves.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_->mode) {
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::Wheel: modeKeyStep_ = true; break;
            case QEvent::KeyRelease:
            case QEvent::MouseButtonPress: modeKeyStep_ = false; break;
            case QEvent::FocusOut: modeSteps_.reset(); break;
            default: break;
        }
    } else if (watched == c_->mode->view() && event->type() == QEvent::Show) {
        // A pick from the open list is a change of its own.
        modeKeyStep_ = false;
        modeSteps_.reset();
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::OnModeChosen() {
    // What was typed since the last collect survives the refresh of the layout.
    CollectDialogSettings();
    ConvertSettings& s = settings_.current;
    const bool keyStep = std::exchange(modeKeyStep_, false);
    // The combo shows the new mode already: the rest must be as the last step left it.
    if (keyStep && modeSteps_ && SameBesidesMode(modeSteps_->after, s)) {
        s = modeSteps_->before;
    } else if (keyStep) {
        modeSteps_ = ModeSteps{s, s};
    } else {
        modeSteps_.reset();
    }
    s.Mode = S(c_->mode->currentText());
    // Bom, Photo and Kmz by the rule the command line's --mode applies too.
    if (const ConvertMode* mode = FindModeByDisplayText(s.Mode)) ApplyModeOutputRule(*mode, s);
    const QSize fittedBefore = sizeHint();
    ApplyModeLayout();
    FitToLayout(fittedBefore);
    // A path whose extension already fits the new side keeps its name.
    StoreInputPath(FitExtension(InputText(), InputFileTypeOf(s.Mode)));
    StoreOutputPath(FitExtension(OutputText(), OutputFileTypeOf(s.Mode)));
    if (modeSteps_) {
        CollectDialogSettings();
        modeSteps_->after = s;
    }
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

// The button that opened a dialog has the keyboard again once it closed
// (it was disabled meanwhile, which took the focus away).
void MainWindow::ReturnFocus(QWidget* opener) {
    if (opener == nullptr || !opener->isVisible() || !opener->isEnabled()) return;
    activateWindow();
    opener->setFocus(Qt::OtherFocusReason);
}

void MainWindow::OnItemDialog(bool (*open)(QWidget*, Settings&), QWidget* opener) {
    CollectDialogSettings();
    for (QPushButton* button : {c_->create, c_->inputItem, c_->outputItem}) button->setEnabled(false);
    const bool accepted = open(this, settings_);
    c_->inputItem->setEnabled(true);
    c_->outputItem->setEnabled(true);
    c_->create->setEnabled(!IsRunning());
    AfterDialog(accepted);
    ReturnFocus(opener);
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
    ReturnFocus(photo_->photoConfig());
}

void MainWindow::OnOptionDialog(bool (*open)(QWidget*, Settings&), QWidget* opener) {
    CollectDialogSettings();
    AfterDialog(open(this, settings_));
    ReturnFocus(opener);
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

// Every setting goes back to its default, the zone and language those of the
// machine as at a first start: asked first, since nothing brings them back.
void MainWindow::OnDefault() {
    const int language = LanguageIndex(settings_.current.Language);
    QMessageBox box(QMessageBox::Question, PhraseText(Phrase::DefaultCaption, language),
                    PhraseText(Phrase::DefaultQuestion, language), QMessageBox::Ok | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Cancel);
    LabelStandardButtons(box, language);
    if (box.exec() != QMessageBox::Ok) return;
    SetDefaultSettings(settings_);
    ApplyMachineDefaults(settings_.baseline, ReadMachineEnvironment());
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
    if (preview_ == nullptr) {
        preview_ = new PreviewPane(this);
        // Closed, the pane gives the keyboard back to the button that opened it.
        connect(preview_, &PreviewPane::Closed, this, [this] {
            activateWindow();
            c_->preview->setFocus(Qt::OtherFocusReason);
        });
    }
    preview_->show();
    preview_->raise();
    preview_->activateWindow();
    preview_->Draw(settings_);
}

// The desktop's default application for the output, or its file manager on
// the folder; a desktop without one says so.
void MainWindow::OnOpenOutput(bool folder) {
    if (completedOutput_.empty()) return;
    QString path = folder ? Qt8(FolderOf(completedOutput_)) : Qt8(completedOutput_);
    if (path.isEmpty()) path = QStringLiteral(".");
    if (openUrl_(QUrl::fromLocalFile(path))) return;
    const int language = LanguageIndex(settings_.current.Language);
    QMessageBox box(QMessageBox::Warning, PhraseText(Phrase::OpenCaption, language),
                    PhraseText(Phrase::OpenFailed, language).arg(path), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    LabelStandardButtons(box, language);
    box.exec();
}

// Open and Folder name the output of the last run: once the output or the
// mode changes they would open something else than what is shown.
void MainWindow::HideOpenButtons() {
    completedOutput_.clear();
    for (QPushButton* button : {c_->openOutput, c_->showFolder}) button->setVisible(false);
}

// ---------------------------------------------------------------- the run

void MainWindow::SetProgressObserver(std::function<void(const RunProgress&)> observer) {
    progressObserver_ = std::move(observer);
}

void MainWindow::OnCreate() {
    if (IsRunning()) return;
    CollectDialogSettings();
    c_->message->setText(" ***** Processing *****");
    SetStatusLine(" ");
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
    // The result stays readable (and is read out) until the next run.
    const QString shown = Qt8(job_->ui.lastResult).trimmed();
    job_.reset();
    if (c_->progress->maximum() == 0) c_->progress->setRange(0, 1);
    c_->message->setText(" ");
    c_->status->setText(shown.isEmpty() ? QStringLiteral(" ") : shown);
    c_->progress->setAccessibleDescription(shown);
    // Said at once by a screen reader, which reads the line again later on.
    QAccessibleEvent said(c_->status, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&said);
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
    LabelStandardButtons(box, LanguageIndex(settings_.current.Language));
    box.exec();
}

bool MainWindow::PresentQuestion(const std::string& text, const std::string& caption) {
    if (closeAfterRun_) return false;
    QMessageBox box(QMessageBox::NoIcon, Qt8(caption), Qt8(text), QMessageBox::Ok | QMessageBox::Cancel, this);
    box.setTextFormat(Qt::PlainText);
    LabelStandardButtons(box, LanguageIndex(settings_.current.Language));
    return box.exec() == QMessageBox::Ok;
}

void MainWindow::SetMessageLine(const std::string& text) { c_->message->setText(Qt8(text)); }
void MainWindow::SetStatusLine(const std::string& text) { c_->status->setText(Qt8(text)); }

void MainWindow::closeEvent(QCloseEvent* event) {
    if (IsRunning() && !closeAfterRun_) {
        const int language = LanguageIndex(settings_.current.Language);
        const bool stop = PresentQuestion(PhraseText(Phrase::StopRunQuestion, language).toStdString(),
                                          PhraseText(Phrase::StopRunCaption, language).toStdString());
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
    // The panels' own layout first: the scroll area then tells the window their new size.
    if (auto* area = qobject_cast<QScrollArea*>(panels_); area != nullptr && area->widget()->layout() != nullptr) {
        area->widget()->layout()->activate();
        area->updateGeometry();
    }
    layout()->activate();
    QSize fitted = sizeHint().expandedTo(minimumSizeHint());
    if (const QScreen* shown = screen()) fitted = fitted.boundedTo(shown->availableGeometry().size());
    QSize target = size();
    if (target.width() <= fittedBefore.width()) target.setWidth(fitted.width());
    if (target.height() <= fittedBefore.height()) target.setHeight(fitted.height());
    resize(target.expandedTo(minimumSizeHint()));
}

}  // namespace geoplait::ui
