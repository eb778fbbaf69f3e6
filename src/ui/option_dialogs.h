// The option dialogs: photo options, position offset, line-group styles and
// speed ranges, in the interface language of the settings they open with.
// Controls carry the name of the field they edit as their object name.
#pragma once

#include <QList>
#include <array>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "ui/dialog_frame.h"
#include "ui/setting_binder.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTimeEdit;
class QVBoxLayout;
class QWidget;

namespace geoplait::ui {

class PhotoDialog : public SettingsDialog {
public:
    PhotoDialog(QWidget* parent, const Settings& settings);
    void accept() override;

private:
    QCheckBox* Check(QWidget* owner, const QString& label, int ConvertSettings::*field, const char* name);
    QLineEdit* Edit(QWidget* owner, std::string ConvertSettings::*field, const char* name);
    static QLabel* Label(QWidget* owner, const QString& text, QWidget* buddy);
    QComboBox* Combo(QWidget* owner, std::initializer_list<const char*> choices,
                     std::string ConvertSettings::*field, const char* name, const QString& accessible);
    QWidget* BuildClock();
    QWidget* BuildStamps();
    QWidget* BuildLocation();
    QWidget* BuildIcon();
    QWidget* BuildIconName();
    void BuildOutputRows(QVBoxLayout* column);
    void ConnectRules();
    void ShowTimeControls();
    void ShowIconControls();

    QCheckBox* timeAdjust_ = nullptr;
    QCheckBox* calibration_ = nullptr;
    QCheckBox* iconUrl_ = nullptr;
    QCheckBox* iconThumbnail_ = nullptr;
    QCheckBox* title_ = nullptr;
    QLabel* titleHint_ = nullptr;
    QList<QWidget*> adjustControls_;       // seconds edit and its labels
    QList<QWidget*> calibrationControls_;  // the four pickers and their labels
    QLineEdit* iconUrlEdit_ = nullptr;
    QList<QWidget*> thumbnailControls_;
    // The "Now" and "Camera" pickers: date, time, date, time.
    std::array<QDateEdit*, 2> dates_{};
    std::array<QTimeEdit*, 2> times_{};
    QLineEdit* photoUrlEdit_ = nullptr;
    // What the dialog shows and OK stores, control by control.
    SettingBinder binder_;
};

class OffsetDialog : public SettingsDialog {
public:
    OffsetDialog(QWidget* parent, const Settings& settings);
    void accept() override;

private:
    enum Axis { kLatitude, kLongitude };
    QWidget* BuildAltitude();
    // Moves an axis by `hundredths` of a second of arc from what its edit shows.
    void Step(Axis axis, int hundredths);
    // Writes the axis offset, in hundredths of a second, into its field, edit and slider.
    void SetAxis(Axis axis, long hundredths);
    void SetAltitude(int metres);
    void ShowDistance(const char* metresTail);
    void Reset();

    std::array<QSlider*, 2> sliders_{};
    std::array<QLineEdit*, 2> edits_{};
    QSlider* altitudeSlider_ = nullptr;
    QLineEdit* altitudeEdit_ = nullptr;
    QLabel* altitudeNote_ = nullptr;
    QLabel* distance_ = nullptr;
};

class GroupLineDialog : public SettingsDialog {
public:
    GroupLineDialog(QWidget* parent, const Settings& settings);
    void accept() override;

private:
    void ApplyColourPreset(size_t letter);
    void ChooseColour(size_t group);

    std::array<QPushButton*, kGroupCount> swatches_{};
    std::array<QComboBox*, kGroupCount> transparencies_{};
    std::array<QComboBox*, kGroupCount> widths_{};
};

class SpeedRangeDialog : public SettingsDialog {
public:
    SpeedRangeDialog(QWidget* parent, const Settings& settings);
    void accept() override;

private:
    void ApplySpeedPreset(size_t letter);
    void ApplyColourPreset(size_t letter);

    std::array<QLabel*, kGroupCount> swatches_{};
    std::array<QLineEdit*, kGroupCount> lowerBounds_{};
    std::array<QLabel*, kGroupCount - 1> upperBounds_{};  // the next range's lower bound
};

// Sets group n's "BBGGRR" colour from row n of colour preset `letter` (0 = A).
void ApplyLineColourPreset(const Settings& settings, size_t letter, ConvertSettings& edited);

}  // namespace geoplait::ui
