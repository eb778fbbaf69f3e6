// The main window: every option of the current settings in one form, the file
// choosers, the option dialogs, Load/Save/Default, and Create, which runs the
// conversion on a worker thread with a progress bar and a Cancel button.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "base/user_interface.h"
#include "settings/convert_settings.h"
#include "ui/languages.h"
#include "ui/window_tables.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QThread;
class QTimeEdit;
class QTimer;

namespace geoplait::ui {

class WindowUi;
struct RunJob;

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
    // Called on the worker thread for every record of a run, after the window
    // learnt of it; lets a test hold a run at a chosen record.
    void SetProgressObserver(std::function<void(const RunProgress&)> observer);

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
    void closeEvent(class QCloseEvent* event) override;

private:
    // Building.
    QWidget* BuildFileRows();
    QWidget* BuildFilters();
    QWidget* BuildKmlDocument();
    QWidget* BuildPhoto();
    QWidget* BuildTrackAndPlacemarks();
    QWidget* BuildSplit();
    QWidget* BuildLabels();
    QWidget* BuildBottom();
    void FillCombos();
    void ConnectCommands();
    // Controls made in reading order, which becomes the keyboard order.
    template <typename T>
    T* Focusable(T* widget, const char* name);
    QPushButton* MakeButton(const char* text, const char* name);
    QLineEdit* MakeEdit(const char* name, int chars);
    QComboBox* MakeCombo(const char* name);
    QCheckBox* MakeCheck(const char* text, const char* name);
    QLabel* MakeLabel(const char* text, QWidget* buddy);
    // A check box or label whose text the language tables set.
    QCheckBox* AddCheck(TextRow row, const char* english, const char* name);
    QLabel* AddLabel(TextRow row, const char* english, QWidget* buddy);
    void SetTextTarget(TextRow row, QWidget* widget);
    // Widgets the layout bit `part` shows and hides.
    void AddToPart(uint64_t part, std::initializer_list<QWidget*> widgets);

    // Commands.
    void OnModeChosen();
    void OnInputSearch();
    void OnOutputSearch();
    void OnOutputFromInputName();    // "F"
    void OnOutputIntoInputFolder();  // "D"
    void OnOutputIntoPhotoFolder();  // "Dir"
    void OnNameFromOutput();         // "Set"
    void OnPhotoFolderSearch();
    void OnInputItems();
    void OnOutputItems();
    void OnPhotoConfig();
    void OnPositionOffset();
    void OnGroupLines();
    void OnSpeedRanges();
    void OnTrackColour();
    void OnVLineColour();
    void OnLanguageChosen();
    void OnUnitsChosen();
    void OnLoad();
    void OnSave();
    void OnDefault();
    void OnTheme(int theme);
    void OnCheckClicked(QCheckBox* box);
    void OnSplitDateClicked();
    void OnCreate();
    void OnCancel();
    void OnRunFinished();
    void UpdateProgress();
    // After a dialog closed with OK: the window shows what it changed.
    void AfterDialog(bool accepted);

    // Painting: window colours, greyed edits, the swatches and the "Auto." switches.
    void PaintWindow();
    void PaintControl(QWidget* control);
    void SetGreyed(QWidget* control, bool greyed);
    void PaintSwatches();
    void PaintAutoSwitches();
    // The files of the current mode's sides.
    void StoreInputPath(const std::string& path);
    void StoreOutputPath(const std::string& path);
    std::string InputText() const;
    std::string OutputText() const;

    struct CheckBinding {
        QCheckBox* box;
        int ConvertSettings::*flag;
    };
    struct EditBinding {
        QLineEdit* edit;
        std::string ConvertSettings::*text;
        size_t chars;
    };
    struct ComboBinding {
        QComboBox* combo;
        std::string ConvertSettings::*text;
    };

    Settings& settings_;
    // The user interface of Load and Save (on this thread).
    std::unique_ptr<WindowUi> ui_;
    std::vector<CheckBinding> checks_;
    std::vector<EditBinding> edits_;
    std::vector<ComboBinding> combos_;
    std::array<QWidget*, kTextRowCount> textTargets_{};
    std::array<std::vector<QWidget*>, kLayoutPartCount> layoutParts_;
    std::vector<QWidget*> focusOrder_;
    // Texts the split edits had before "Date" emptied them.
    std::string savedSplitDistance_;
    std::string savedSplitSeconds_;
    bool splitTextsSaved_ = false;
    // Start colours of the two colour choosers.
    Rgb trackChooserColour_{255, 0, 0};
    Rgb vlineChooserColour_{0, 255, 0};

    // File rows and header.
    QComboBox* mode_ = nullptr;
    QPushButton* inputItem_ = nullptr;
    QPushButton* outputItem_ = nullptr;
    QPushButton* end_ = nullptr;
    QLabel* inFileLabel_ = nullptr;
    QLineEdit* inputFile_ = nullptr;
    QPushButton* inputSearch_ = nullptr;
    QPushButton* fButton_ = nullptr;
    QLineEdit* outputFile_ = nullptr;
    QPushButton* outputSearch_ = nullptr;
    QPushButton* dButton_ = nullptr;
    QPushButton* dirButton_ = nullptr;
    QCheckBox* bom_ = nullptr;
    QCheckBox* tokyo_ = nullptr;
    QCheckBox* errorOmit_ = nullptr;
    QComboBox* units_ = nullptr;
    QComboBox* timeDiff_ = nullptr;
    QComboBox* language_ = nullptr;
    QLabel* version_ = nullptr;
    // Record filters.
    QWidget* filtersBox_ = nullptr;
    QCheckBox* includeData_ = nullptr;
    QLineEdit* recordStart_ = nullptr;
    QLineEdit* recordEnd_ = nullptr;
    QComboBox* satellites_ = nullptr;
    QLineEdit* margin_ = nullptr;
    QLineEdit* distance_ = nullptr;
    QCheckBox* reNumber_ = nullptr;
    std::vector<QWidget*> includeDependents_;
    QCheckBox* dateFilter_ = nullptr;
    QDateEdit* startDate_ = nullptr;
    QTimeEdit* startTime_ = nullptr;
    QDateEdit* endDate_ = nullptr;
    QTimeEdit* endTime_ = nullptr;
    // KML document.
    QGroupBox* kmlBox_ = nullptr;
    QLineEdit* kmlName_ = nullptr;
    QPushButton* setName_ = nullptr;
    QGroupBox* altitudeBox_ = nullptr;
    QCheckBox* altitude_ = nullptr;
    QCheckBox* vLine_ = nullptr;
    QPushButton* vLineSwatch_ = nullptr;
    QLabel* polygon_ = nullptr;
    QComboBox* vLineTransparency_ = nullptr;
    QPushButton* positionOffset_ = nullptr;
    // Photo.
    QGroupBox* photoBox_ = nullptr;
    QCheckBox* photo_ = nullptr;
    QCheckBox* kmz_ = nullptr;
    QPushButton* photoConfig_ = nullptr;
    QLabel* folderLabel_ = nullptr;
    QLineEdit* photoDir_ = nullptr;
    QPushButton* photoSearch_ = nullptr;
    QLabel* photoHint_ = nullptr;
    // Track and placemarks.
    QGroupBox* timeStampBox_ = nullptr;
    QCheckBox* timeStampPath_ = nullptr;
    QCheckBox* timeStampPosition_ = nullptr;
    QGroupBox* trackBox_ = nullptr;
    QCheckBox* track_ = nullptr;
    QPushButton* trackSwatch_ = nullptr;
    QComboBox* lineWidth_ = nullptr;
    QComboBox* trackTransparency_ = nullptr;
    QPushButton* group_ = nullptr;
    std::vector<QWidget*> trackDependents_;
    QGroupBox* placemarkBox_ = nullptr;
    QCheckBox* placemark_ = nullptr;
    QLineEdit* interval_ = nullptr;
    QCheckBox* posType_ = nullptr;
    QComboBox* posTypeCombo_ = nullptr;
    QCheckBox* posDistance_ = nullptr;
    QLineEdit* posDistanceEdit_ = nullptr;
    QLabel* unitNote_ = nullptr;
    QLineEdit* iconSize_ = nullptr;
    QLineEdit* labelSize_ = nullptr;
    QCheckBox* iconUrl_ = nullptr;
    QLineEdit* iconUrlEdit_ = nullptr;
    std::vector<QWidget*> placemarkDependents_;
    // Split.
    QGroupBox* splitBox_ = nullptr;
    QLineEdit* lineDistance_ = nullptr;
    QLineEdit* lineDistanceSec_ = nullptr;
    QCheckBox* splitDate_ = nullptr;
    QCheckBox* fileSplit_ = nullptr;
    QCheckBox* speedGroup_ = nullptr;
    QPushButton* speed_ = nullptr;
    std::vector<QWidget*> splitDependents_;
    std::vector<QWidget*> fileSplitRow_;
    // Labels.
    QGroupBox* labelsBox_ = nullptr;
    QLabel* labelCaption_ = nullptr;
    std::array<QCheckBox*, 14> labelOptions_{};
    // Bottom.
    QPushButton* load_ = nullptr;
    QPushButton* autoLoad_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* autoSave_ = nullptr;
    QPushButton* default_ = nullptr;
    std::array<QPushButton*, 3> themes_{};
    QPushButton* create_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* message_ = nullptr;
    QLabel* status_ = nullptr;

    // The run under way, if any.
    std::unique_ptr<RunJob> job_;
    QThread* worker_ = nullptr;
    QTimer* progressTimer_ = nullptr;
    std::function<void(const RunProgress&)> progressObserver_;
    bool closeAfterRun_ = false;
};

}  // namespace geoplait::ui
