// The main window: the mode and file rows, the option panels, Load/Save/
// Default, and Create, which runs the conversion on a worker thread with a
// progress bar and a Cancel button.
#pragma once

#include <QSize>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/user_interface.h"
#include "settings/convert_settings.h"
#include "ui/window_parts.h"

class QCheckBox;
class QLayout;
class QThread;
class QTimer;
class QUrl;

namespace geoplait::ui {

class WindowUi;
struct RunJob;
class FiltersPanel;
class KmlDocumentPanel;
class PhotoPanel;
class TrackPanel;
class SplitPanel;
class LabelsPanel;
class PreviewPane;

// `text` with `letter` as its mnemonic: the first occurrence of the letter
// marked with "&", or "(&X)" appended when the text has none.
QString WithMnemonic(QString text, QChar letter);

class MainWindow : public QWidget {
    Q_OBJECT

public:
    // `settings` is the program's: the window edits its current instance.
    explicit MainWindow(Settings& settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    Settings& settings() { return settings_; }

    // Every bound control into settings.current.
    void CollectDialogSettings();
    // Every bound control from settings.current, with the language texts.
    void ShowDialogSettings();
    // Shows and hides the groups of the current Mode, then ShowDialogSettings
    // and ApplyCheckDependencies.
    void ApplyModeLayout();
    // Enables, disables and greys what depends on the check boxes.
    void ApplyCheckDependencies();
    // The texts of settings.current.Language (nothing for an unknown language).
    void ApplyLanguage();

    bool IsRunning() const { return job_ != nullptr; }
    // The preview pane, made when Preview is first pressed (nullptr before).
    PreviewPane* Preview() const { return preview_; }
    // Called on the worker thread for every record of a run, after the window
    // learnt of it; lets a test hold a run at a chosen record.
    void SetProgressObserver(std::function<void(const RunProgress&)> observer);

    // What Open and Folder hand a path to; the desktop's by default.
    void SetUrlOpener(std::function<bool(const QUrl&)> opener) { openUrl_ = std::move(opener); }

    // A message box or an OK/Cancel question owned by the window (window thread only).
    void PresentMessage(const std::string& text, const std::string& caption);
    bool PresentQuestion(const std::string& text, const std::string& caption);
    // The engine's message and status lines (window thread only).
    void SetMessageLine(const std::string& text);
    void SetStatusLine(const std::string& text);

signals:
    // A run ended; `outcome` is its RunOutcome.
    void RunFinished(int outcome);

protected:
    // During a run, closing asks whether to stop it; OK stops it as Cancel
    // does and the window closes when the run has ended.
    void closeEvent(class QCloseEvent* event) override;
    // Enter on a focused button presses it, as Space does.
    void keyPressEvent(class QKeyEvent* event) override;
    // Tells the mode combo's key and wheel steps from a pick in its list.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Controls;

    // Building.
    QLayout* BuildHeader();
    QComboBox* MakeTimeZoneCombo(QComboBox* combo);
    QWidget* BuildFileRows();
    QWidget* BuildPanels();
    QWidget* BuildBottom();
    void BindFileRows();
    void ConnectCommands();
    void ConnectRules();
    void NameUncaptionedControls();
    void ApplyMnemonics();
    // After a layout change: the window takes its new natural size (within
    // the screen) in each direction the user has not enlarged it beyond the old one.
    void FitToLayout(QSize fittedBefore);

    // Commands.
    void OnModeChosen();
    void OnInputSearch();
    void OnOutputSearch();
    void OnOutputFromInputName();    // "F"
    void OnOutputIntoInputFolder();  // "D"
    void OnOutputIntoPhotoFolder();  // "Dir"
    void OnNameFromOutput();         // "Set"
    void OnItemDialog(bool (*open)(QWidget*, Settings&), QWidget* opener);
    void OnPhotoConfig();
    void OnOptionDialog(bool (*open)(QWidget*, Settings&), QWidget* opener);
    void ReturnFocus(QWidget* opener);
    void OnLanguageChosen();
    void OnUnitsChosen();
    void OnLoad();
    void OnSave();
    void OnDefault();
    void OnTheme(int theme);
    void OnCheckToggled(QCheckBox* box, bool on);
    void OnPreview();
    void OnOpenOutput(bool folder);
    void HideOpenButtons();
    void OnCreate();
    void OnCancel();
    void OnRunFinished();
    // The automatic save after a complete run, with what the window holds now.
    void AutoSaveAfterRun();
    void UpdateProgress();
    // After a dialog closed with OK: the window shows what it changed.
    void AfterDialog(bool accepted);

    // Painting: window colours, greyed edits, the swatches and the "Auto." switches.
    void PaintWindow();
    void PaintSwatches();
    void PaintAutoSwitches();
    void DescribeGreyed();
    // The files of the current mode's sides.
    void StoreInputPath(const std::string& path);
    void StoreOutputPath(const std::string& path);
    std::string InputText() const;
    std::string OutputText() const;

    Settings& settings_;
    // The user interface of Load and Save (on this thread).
    std::unique_ptr<WindowUi> ui_;
    WindowParts parts_;
    // The file rows and the bottom row's controls.
    std::unique_ptr<Controls> c_;
    FiltersPanel* filters_ = nullptr;
    KmlDocumentPanel* kmlDocument_ = nullptr;
    PhotoPanel* photo_ = nullptr;
    TrackPanel* track_ = nullptr;
    SplitPanel* split_ = nullptr;
    LabelsPanel* labels_ = nullptr;
    PreviewPane* preview_ = nullptr;
    QWidget* panels_ = nullptr;  // the scroll area of the option panels
    std::string completedOutput_;
    std::function<bool(const QUrl&)> openUrl_;

    // The run under way, if any.
    std::unique_ptr<RunJob> job_;
    QThread* worker_ = nullptr;
    QTimer* progressTimer_ = nullptr;
    std::function<void(const RunProgress&)> progressObserver_;
    bool closeAfterRun_ = false;

    // A run of mode changes by keys on the closed mode combo: the settings
    // before the first step and those the last step left.
    struct ModeSteps {
        ConvertSettings before;
        ConvertSettings after;
    };
    std::optional<ModeSteps> modeSteps_;
    bool modeKeyStep_ = false;  // a key or wheel event is reaching the mode combo
};

}  // namespace geoplait::ui
