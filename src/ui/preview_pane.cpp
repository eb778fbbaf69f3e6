#include "ui/preview_pane.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/languages.h"
#include "ui/main_window.h"
#include "ui/window_phrases.h"

namespace geoplait::ui {

PreviewPane::PreviewPane(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("previewPane");
    image_ = new QLabel(this);
    image_->setObjectName("previewImage");
    // The picture takes focus, so that a screen reader reaches its description.
    image_->setFocusPolicy(Qt::StrongFocus);
    image_->setMinimumSize(320, 240);
    image_->setAlignment(Qt::AlignCenter);
    image_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    note_ = new QLabel(this);
    note_->setObjectName("previewNote");
    progress_ = new QProgressBar(this);
    progress_->setObjectName("previewProgress");
    progress_->setRange(0, 1);
    progress_->setFormat("%v");
    cancel_ = new QPushButton(this);
    cancel_->setObjectName("previewCancel");
    cancel_->setEnabled(false);
    close_ = new QPushButton(this);
    close_->setObjectName("previewClose");
    auto* row = new QHBoxLayout;
    row->addWidget(note_, 1);
    row->addWidget(progress_);
    row->addWidget(cancel_);
    row->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(image_, 1);
    layout->addLayout(row);
    resize(640, 520);
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, [this] {
        if (control_) progress_->setValue(control_->done.load(std::memory_order_relaxed));
    });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (control_) control_->cancel = true;
    });
    connect(close_, &QPushButton::clicked, this, &QWidget::close);
    setTabOrder(image_, cancel_);
    setTabOrder(cancel_, close_);
    ApplyLanguage();
}

void PreviewPane::ApplyLanguage() {
    setWindowTitle(PhraseText(Phrase::PreviewTitle, language_));
    image_->setAccessibleName(PhraseText(Phrase::PreviewImageName, language_));
    progress_->setAccessibleName(PhraseText(Phrase::PreviewProgressName, language_));
    const char* cancel = language_ >= 0 ? WindowText(TextRow::Cancel, language_, {}) : nullptr;
    cancel_->setText(WithMnemonic(QString::fromUtf8(cancel != nullptr ? cancel : "Cancel"), QLatin1Char('N')));
    close_->setText(PhraseText(Phrase::PreviewClose, language_));
}

QString PreviewPane::Description() const {
    const PreviewExtent extent = ExtentOf(track_);
    if (!extent.any) return note_->text();
    const auto time = [this](const std::string& text) {
        return text.empty() ? PhraseText(Phrase::NoTime, language_) : QString::fromStdString(text);
    };
    const auto degrees = [](double value) { return QString::number(value, 'f', 5); };
    return PhraseText(Phrase::PreviewDescription, language_)
        .arg(QString::number(track_.records), QString::number(track_.lengthM / 1000.0, 'f', 2),
             time(track_.firstTime), time(track_.lastTime), degrees(extent.south), degrees(extent.north),
             degrees(extent.west), degrees(extent.east));
}

void PreviewPane::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PreviewPane::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    emit Closed();
}

PreviewPane::~PreviewPane() { StopReading(); }

void PreviewPane::StopReading() {
    if (worker_ == nullptr) return;
    control_->cancel = true;
    disconnect(worker_, nullptr, this, nullptr);
    while (!worker_->wait(10)) QCoreApplication::processEvents();
    delete worker_;
    worker_ = nullptr;
    progressTimer_->stop();
}

void PreviewPane::Draw(const Settings& settings) {
    StopReading();
    shown_ = settings.current;
    language_ = LanguageIndex(shown_.Language);
    ApplyLanguage();
    control_ = std::make_unique<PreviewControl>();
    scratch_ = std::make_unique<QTemporaryDir>();
    progress_->setRange(0, 0);
    note_->setText(PhraseText(Phrase::PreviewReading, language_));
    image_->setFocus();
    cancel_->setEnabled(true);
    worker_ = QThread::create([this, copy = settings, dir = scratch_->path().toStdString()] {
        result_ = CollectPreview(copy, dir, *control_, reading_, problem_);
    });
    connect(worker_, &QThread::finished, this, &PreviewPane::OnReadingFinished);
    worker_->start();
    progressTimer_->start();
}

void PreviewPane::OnReadingFinished() {
    worker_->wait();
    worker_->deleteLater();
    worker_ = nullptr;
    progressTimer_->stop();
    cancel_->setEnabled(false);
    const int32_t done = control_->done.load();
    progress_->setRange(0, done > 0 ? done : 1);
    progress_->setValue(done);
    scratch_.reset();
    switch (result_) {
        case PreviewResult::Drawn:
            track_ = std::move(reading_);
            note_->setText(ExtentOf(track_).any ? PhraseText(Phrase::PreviewRecords, language_).arg(track_.records)
                                                : PhraseText(Phrase::PreviewNoPositions, language_));
            break;
        case PreviewResult::NoInput:
            track_ = PreviewTrack{};
            note_->setText(problem_.empty() ? PhraseText(Phrase::PreviewNoInput, language_)
                                            : QString::fromStdString(problem_).simplified());
            break;
        case PreviewResult::Cancelled:
            // The picture of an earlier file would pass for this one's.
            track_ = PreviewTrack{};
            note_->setText(PhraseText(Phrase::PreviewCancelled, language_));
            break;
    }
    reading_ = PreviewTrack{};
    Paint();
    emit Drawn();
}

// At the screen's device pixel ratio, so that a scaled screen shows it sharp.
void PreviewPane::Paint() {
    const QSize size = image_->size().expandedTo(QSize(32, 32));
    const qreal ratio = devicePixelRatioF();
    picture_ = QImage(size * ratio, QImage::Format_RGB32);
    picture_.setDevicePixelRatio(ratio);
    DrawPreview(track_, shown_, picture_);
    if (!ExtentOf(track_).any) {
        // An empty picture says why.
        QPainter painter(&picture_);
        painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter | Qt::TextWordWrap, note_->text());
    }
    image_->setPixmap(QPixmap::fromImage(picture_));
    image_->setAccessibleDescription(Description());
}

void PreviewPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!IsReading() && !picture_.isNull()) Paint();
}

}  // namespace geoplait::ui
