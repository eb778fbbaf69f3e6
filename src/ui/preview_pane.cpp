#include "ui/preview_pane.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace geoplait::ui {

PreviewPane::PreviewPane(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("previewPane");
    setWindowTitle("Preview");
    image_ = new QLabel(this);
    image_->setObjectName("previewImage");
    image_->setAccessibleName("Track preview");
    image_->setMinimumSize(320, 240);
    image_->setAlignment(Qt::AlignCenter);
    image_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    note_ = new QLabel(this);
    note_->setObjectName("previewNote");
    progress_ = new QProgressBar(this);
    progress_->setObjectName("previewProgress");
    progress_->setAccessibleName("Preview progress");
    progress_->setRange(0, 1);
    progress_->setFormat("%v");
    cancel_ = new QPushButton("Ca&ncel", this);
    cancel_->setObjectName("previewCancel");
    cancel_->setEnabled(false);
    auto* row = new QHBoxLayout;
    row->addWidget(note_, 1);
    row->addWidget(progress_);
    row->addWidget(cancel_);
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
    control_ = std::make_unique<PreviewControl>();
    scratch_ = std::make_unique<QTemporaryDir>();
    progress_->setRange(0, 0);
    note_->setText(" ***** Reading *****");
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
            note_->setText(QString("%1 records").arg(track_.records));
            break;
        case PreviewResult::NoInput:
            track_ = PreviewTrack{};
            note_->setText(problem_.empty() ? QString("No input") : QString::fromStdString(problem_).simplified());
            break;
        case PreviewResult::Cancelled:
            note_->setText("Cancelled");
            break;
    }
    reading_ = PreviewTrack{};
    Paint();
    emit Drawn();
}

void PreviewPane::Paint() {
    const QSize size = image_->size().expandedTo(QSize(32, 32));
    picture_ = QImage(size, QImage::Format_RGB32);
    DrawPreview(track_, shown_, picture_);
    image_->setPixmap(QPixmap::fromImage(picture_));
}

void PreviewPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!IsReading() && !picture_.isNull()) Paint();
}

}  // namespace geoplait::ui
