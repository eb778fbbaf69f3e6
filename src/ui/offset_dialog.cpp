// The position offset: latitude and longitude in seconds of arc, each on a
// slider of hundredths of a second with step buttons, and the altitude in
// metres on a vertical slider whose top is the highest offset.
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "geo/coordinates.h"
#include "settings/settings_keys.h"
#include "ui/dialogs.h"
#include "ui/item_dialog_texts.h"
#include "ui/option_dialogs.h"

namespace geoplait::ui {

namespace {

using CS = ConvertSettings;

constexpr int kArcRange = 2400;  // hundredths of a second of arc either way
constexpr int kArcPageStep = 10;
constexpr int kAltitudeRange = 100;  // metres either way
constexpr double kMetresPerArcSecond = 30.9064676;  // along a meridian
constexpr double kFeetPerMetre = 3.28084;
// Beyond any offset a slider can show; keeps typed numbers like "1e300" in range.
constexpr double kHundredthsLimit = 1e9;

struct StepButton {
    const char* text;
    int hundredths;
};
constexpr StepButton kSteps[] = {{"<<", -100}, {"<", -1}, {">", 1}, {">>", 100}};

struct AxisDef {
    ItemText label;
    const char* name;
    std::string CS::*field;
};
constexpr AxisDef kAxes[] = {{ItemText::Latitude, "OffNS", &CS::OffNS}, {ItemText::Longitude, "OffWE", &CS::OffWE}};

// The offset an edit shows, in whole hundredths of a second.
long HundredthsOf(const QString& text) {
    const double hundredths = LeadingNumber(Ss(text)) * 100.0;
    return std::lround(std::clamp(hundredths, -kHundredthsLimit, kHundredthsLimit));
}

}  // namespace

OffsetDialog::OffsetDialog(QWidget* parent, const Settings& settings) : SettingsDialog(parent, settings) {
    setWindowTitle(Text(OptionText::OffsetTitle));
    const int em = fontMetrics().averageCharWidth();
    const QString seconds = Text(OptionText::Seconds);

    auto* grid = new QGridLayout;
    for (size_t a = 0; a < std::size(kAxes); ++a) {
        const AxisDef& axis = kAxes[a];
        const int row = static_cast<int>(a);
        const QString name = QString::fromUtf8(ItemDialogText(axis.label, Language()));
        grid->addWidget(new QLabel(name, this), row, 0);
        // In tab order as shown: "<<", "<", the slider, ">", ">>".
        QSlider* slider = nullptr;
        int column = 1;
        for (const StepButton& step : kSteps) {
            if (step.hundredths > 0 && slider == nullptr) {
                slider = new QSlider(Qt::Horizontal, this);
                slider->setObjectName(QString::fromLatin1(axis.name) + QStringLiteral("_slider"));
                slider->setRange(-kArcRange, kArcRange);
                slider->setPageStep(kArcPageStep);
                slider->setMinimumWidth(40 * em);
                NameControl(slider, name, Text(OptionText::Slider));
                sliders_[a] = slider;
                grid->addWidget(slider, row, column++);
            }
            auto* button = new QPushButton(QString::fromLatin1(step.text), this);
            button->setObjectName(QString::fromLatin1(axis.name) + QString::fromLatin1(step.text));
            button->setAutoDefault(false);
            button->setMaximumWidth(fontMetrics().horizontalAdvance(button->text()) + 4 * em);
            NameControl(button, name, button->text());
            button->setToolTip(Fixed2(step.hundredths / 100.0) + QLatin1Char(' ') + seconds);
            const Axis which = static_cast<Axis>(a);
            connect(button, &QPushButton::clicked, this, [this, which, step] { Step(which, step.hundredths); });
            grid->addWidget(button, row, column++);
        }
        auto* edit = new QLineEdit(Qs(edited_.*axis.field), this);
        edit->setObjectName(QString::fromLatin1(axis.name));
        edit->setAccessibleName(name);
        edit->setMinimumWidth(8 * em);
        edit->setMaximumWidth(12 * em);
        edits_[a] = edit;
        grid->addWidget(edit, row, column++);
        grid->addWidget(new QLabel(seconds, this), row, column++);
        slider->setValue(static_cast<int>(std::clamp<long>(HundredthsOf(edit->text()), -kArcRange, kArcRange)));
        const Axis which = static_cast<Axis>(a);
        connect(slider, &QSlider::valueChanged, this, [this, which](int value) { SetAxis(which, value); });
    }
    // The latitude offset as a distance; a longitude distance would need the latitude it is taken at.
    distance_ = new QLabel(this);
    distance_->setObjectName(QStringLiteral("Distance"));
    distance_->setMinimumWidth(12 * em);
    grid->addWidget(distance_, 0, 8);

    QWidget* altitude = BuildAltitude();

    auto* reset = new QPushButton(Text(OptionText::Reset), this);
    reset->setObjectName(QStringLiteral("Reset"));
    reset->setAutoDefault(false);
    connect(reset, &QPushButton::clicked, this, &OffsetDialog::Reset);

    auto* top = new QHBoxLayout;
    top->addLayout(grid, 1);
    top->addWidget(altitude);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(reset);
    bottom->addStretch(1);
    bottom->addWidget(MakeOkCancel());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom);
    ShowDistance("   ");
}

// The altitude offset: a vertical slider, its edit in metres and a note.
QWidget* OffsetDialog::BuildAltitude() {
    const int em = fontMetrics().averageCharWidth();
    const QString altitudeName = QString::fromUtf8(ItemDialogText(ItemText::Altitude, Language()));
    auto* altitude = new QGroupBox(altitudeName, this);
    auto* altitudeLayout = new QVBoxLayout(altitude);
    altitudeSlider_ = new QSlider(Qt::Vertical, altitude);
    altitudeSlider_->setObjectName(QStringLiteral("OffAltitude_slider"));
    // The position is the negated offset, and the lowest position is drawn at the top: up is higher.
    altitudeSlider_->setRange(-kAltitudeRange, kAltitudeRange);
    altitudeSlider_->setPageStep(1);
    altitudeSlider_->setInvertedAppearance(true);
    altitudeSlider_->setInvertedControls(true);
    altitudeSlider_->setMinimumHeight(8 * fontMetrics().height());
    altitudeSlider_->setAccessibleName(altitudeName + QLatin1Char(' ') + Text(OptionText::Slider));
    altitudeEdit_ = new QLineEdit(Qs(edited_.OffAltitude), altitude);
    altitudeEdit_->setObjectName(QStringLiteral("OffAltitude"));
    altitudeEdit_->setAccessibleName(altitudeName);
    altitudeEdit_->setMaximumWidth(8 * em);
    altitudeNote_ = new QLabel(altitude);
    altitudeNote_->setObjectName(QStringLiteral("AltitudeNote"));
    auto* altitudeRow = new QHBoxLayout;
    altitudeRow->addWidget(altitudeEdit_);
    altitudeRow->addWidget(new QLabel(QStringLiteral("m"), altitude));
    altitudeLayout->addWidget(altitudeSlider_, 1, Qt::AlignHCenter);
    altitudeLayout->addLayout(altitudeRow);
    altitudeLayout->addWidget(altitudeNote_, 0, Qt::AlignHCenter);
    const int metres = LeadingInt(edited_.OffAltitude);
    altitudeSlider_->setValue(-std::clamp(metres, -kAltitudeRange, kAltitudeRange));
    altitudeNote_->setText(QString::number(-metres));
    connect(altitudeSlider_, &QSlider::valueChanged, this, [this](int value) { SetAltitude(-value); });

    return altitude;
}

void OffsetDialog::Step(Axis axis, int hundredths) {
    SetAxis(axis, HundredthsOf(edits_[axis]->text()) + hundredths);
}

void OffsetDialog::SetAxis(Axis axis, long hundredths) {
    const QString text = Fixed2(static_cast<double>(hundredths) / 100.0);
    edited_.*kAxes[axis].field = Ss(text);
    edits_[axis]->setText(text);
    const QSignalBlocker quiet(sliders_[axis]);
    sliders_[axis]->setValue(static_cast<int>(std::clamp<long>(hundredths, -kArcRange, kArcRange)));
    if (axis == kLatitude) ShowDistance("");
}

void OffsetDialog::SetAltitude(int metres) {
    edited_.OffAltitude = std::to_string(metres);
    altitudeEdit_->setText(Qs(edited_.OffAltitude));
    const QSignalBlocker quiet(altitudeSlider_);
    altitudeSlider_->setValue(-std::clamp(metres, -kAltitudeRange, kAltitudeRange));
    altitudeNote_->setText(QString::number(-metres));
}

void OffsetDialog::ShowDistance(const char* metresTail) {
    const double metres = LeadingNumber(edited_.OffNS) * kMetresPerArcSecond;
    const UnitSystem units = UnitSystemOf(edited_.MeterMile);
    if (units == UnitSystem::NauticalMile || units == UnitSystem::StatuteMile) {
        distance_->setText(Fixed2(metres * kFeetPerMetre) + QLatin1Char(' ') + Text(OptionText::Feet));
    } else {
        distance_->setText(Fixed2(metres) + QStringLiteral(" m") + QString::fromLatin1(metresTail));
    }
}

void OffsetDialog::Reset() {
    SetAxis(kLatitude, 0);
    SetAxis(kLongitude, 0);
    SetAltitude(0);
    ShowDistance("   ");
}

void OffsetDialog::accept() {
    // What the edits show, so that a typed value wins over the sliders.
    edited_.OffNS = FieldText(edits_[kLatitude]->text());
    edited_.OffWE = FieldText(edits_[kLongitude]->text());
    edited_.OffAltitude = FieldText(altitudeEdit_->text());
    QDialog::accept();
}

bool ExecOffsetDialog(QWidget* parent, Settings& settings) {
    OffsetDialog dialog(parent, settings);
    return RunSettingsDialog(dialog, settings, EscNotice::None);
}

}  // namespace geoplait::ui
