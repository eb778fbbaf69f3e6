// The main window's group boxes, one widget each: record filters, the KML
// document, photos, track and placemarks, splitting, and the label options.
// A panel builds and owns its controls, adds their rows to the window's one
// binder, and runs the rules between its own check boxes; the window wires
// the buttons that open dialogs and tells the panels what depends on others.
#pragma once

#include <QGroupBox>
#include <QWidget>

#include <array>
#include <string>
#include <vector>

#include "settings/convert_settings.h"
#include "ui/window_parts.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;

namespace geoplait::ui {

// "IncludeData" with the record range and the thinning filters, and the date/time range.
class FiltersPanel : public QGroupBox {
public:
    FiltersPanel(WindowParts& parts, QWidget* parent);
    void ApplyRules();

private:
    void BuildRecordRows(QGridLayout* grid);
    void BuildDateRows(QGridLayout* grid);

    WindowParts& parts_;
    QCheckBox* includeData_ = nullptr;
    QLineEdit* recordStart_ = nullptr;
    QLineEdit* recordEnd_ = nullptr;
    QComboBox* satellites_ = nullptr;
    QLineEdit* margin_ = nullptr;
    QLineEdit* distance_ = nullptr;
    std::vector<QWidget*> includeDependents_;
    QCheckBox* dateFilter_ = nullptr;
    std::array<QWidget*, 4> pickers_{};  // start date, start time, end date, end time
};

// "KML File Create": the document's name, the altitude and vertical lines, the position offset.
class KmlDocumentPanel : public QGroupBox {
public:
    KmlDocumentPanel(WindowParts& parts, Settings& settings, QWidget* parent);
    void SetName(const std::string& name);
    // `drawsTrack`: the mode draws a track into KML (the vertical lines are its).
    void ApplyRules(bool drawsTrack);
    void PaintSwatch();
    void NameUncaptionedControls();
    QPushButton* setName() const { return setName_; }
    QPushButton* positionOffset() const { return positionOffset_; }

private:
    void ChooseVLineColour();

    WindowParts& parts_;
    Settings& settings_;
    QLineEdit* kmlName_ = nullptr;
    QPushButton* setName_ = nullptr;
    QCheckBox* altitude_ = nullptr;
    QCheckBox* vLine_ = nullptr;
    QPushButton* vLineSwatch_ = nullptr;
    QLabel* polygon_ = nullptr;
    QComboBox* vLineTransparency_ = nullptr;
    QPushButton* positionOffset_ = nullptr;
    Rgb chooserColour_{0, 255, 0};
};

// "*Photo" with its folder and the KMZ switch, and "*TimeStamp".
class PhotoPanel : public QWidget {
public:
    PhotoPanel(WindowParts& parts, QWidget* parent);
    QString Folder() const;
    // Photos need KML output; the KMZ needs the copied photos.
    void ApplyRules(ConvertSettings& s, bool kmlOutput);
    QPushButton* photoConfig() const { return photoConfig_; }

private:
    void SearchFolder();

    WindowParts& parts_;
    QCheckBox* photo_ = nullptr;
    QCheckBox* kmz_ = nullptr;
    QPushButton* photoConfig_ = nullptr;
    QLabel* folderLabel_ = nullptr;
    QLineEdit* photoDir_ = nullptr;
    QPushButton* photoSearch_ = nullptr;
    QLabel* photoHint_ = nullptr;
};

// "*Track(Line)" with its colour, width and groups, and "*Placemark(Position)".
class TrackPanel : public QWidget {
public:
    TrackPanel(WindowParts& parts, Settings& settings, QWidget* parent);
    void ApplyRules();
    void PaintSwatch();
    // The colour chooser starts at the first group's colour again.
    void ResetChooserColour();
    void NameUncaptionedControls();
    bool TrackOn() const;
    bool PlacemarkOn() const;
    QPushButton* group() const { return group_; }
    QLabel* unitNote() const { return unitNote_; }

private:
    QWidget* BuildTrack();
    QWidget* BuildPlacemarks();
    void ChooseTrackColour();

    WindowParts& parts_;
    Settings& settings_;
    QCheckBox* track_ = nullptr;
    QPushButton* trackSwatch_ = nullptr;
    QComboBox* lineWidth_ = nullptr;
    QComboBox* trackTransparency_ = nullptr;
    QPushButton* group_ = nullptr;
    std::vector<QWidget*> trackDependents_;
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
    Rgb chooserColour_{255, 0, 0};
};

// "*Split": where the track breaks into groups, files and speed groups.
class SplitPanel : public QGroupBox {
public:
    SplitPanel(WindowParts& parts, Settings& settings, QWidget* parent);
    void ApplyRules(bool track, bool kmlOutput);
    QPushButton* speed() const { return speed_; }

private:
    void OnSplitDate(bool on);

    WindowParts& parts_;
    Settings& settings_;
    QLineEdit* lineDistance_ = nullptr;
    QLineEdit* lineDistanceSec_ = nullptr;
    QCheckBox* splitDate_ = nullptr;
    QCheckBox* speedGroup_ = nullptr;
    QPushButton* speed_ = nullptr;
    std::vector<QWidget*> splitDependents_;
    std::vector<QWidget*> fileSplitRow_;
    // Texts the split edits had before "Date" emptied them.
    std::string savedDistance_;
    std::string savedSeconds_;
    bool textsSaved_ = false;
};

// "Label": what a placemark's label shows.
class LabelsPanel : public QGroupBox {
public:
    LabelsPanel(WindowParts& parts, QWidget* parent);
    void ApplyRules(bool placemark);

private:
    QLabel* caption_ = nullptr;
    std::array<QCheckBox*, 14> options_{};
};

}  // namespace geoplait::ui
