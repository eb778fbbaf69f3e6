// The preview pane: a window beside the main window that draws the input
// track as the KML will colour it, read on a worker thread (progress and
// Cancel) when asked, never on every edit.
#pragma once

#include <QWidget>

#include <memory>

#include "settings/convert_settings.h"
#include "ui/track_preview.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTemporaryDir;
class QThread;
class QTimer;

namespace geoplait::ui {

class PreviewPane : public QWidget {
    Q_OBJECT

public:
    explicit PreviewPane(QWidget* parent);
    ~PreviewPane() override;

    // Reads the input of `settings` afresh and draws it (a reading under way is cancelled first).
    void Draw(const Settings& settings);
    bool IsReading() const { return worker_ != nullptr; }
    // The last picture drawn.
    const QImage& Picture() const { return picture_; }

signals:
    void Drawn();
    // The pane was closed (its button, Esc or the close box).
    void Closed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Esc closes the pane, as it closes a dialog.
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void ApplyLanguage();
    // What a screen reader says of the picture: points, length, first and last time, extent.
    QString Description() const;
    void StopReading();
    void OnReadingFinished();
    void Paint();

    QLabel* image_ = nullptr;
    QLabel* note_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* close_ = nullptr;
    int language_ = -1;  // of the settings last drawn
    QTimer* progressTimer_ = nullptr;
    QThread* worker_ = nullptr;
    std::unique_ptr<PreviewControl> control_;
    std::unique_ptr<QTemporaryDir> scratch_;
    // Written by the worker only while it runs.
    PreviewTrack reading_;
    PreviewResult result_ = PreviewResult::NoInput;
    std::string problem_;
    PreviewTrack track_;
    ConvertSettings shown_;
    QImage picture_;
};

}  // namespace geoplait::ui
