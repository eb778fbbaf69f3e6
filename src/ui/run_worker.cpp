#include "ui/run_worker.h"

#include <QMetaObject>
#include <QThread>

#include "ui/main_window.h"

namespace geoplait::ui {

namespace {

// Runs `call` on the window's thread: at once when already there, else
// waiting for it (a message box must be answered before the run goes on).
template <typename Call>
void OnWindowThread(MainWindow& window, Call call) {
    if (QThread::currentThread() == window.thread()) {
        call();
    } else {
        QMetaObject::invokeMethod(&window, call, Qt::BlockingQueuedConnection);
    }
}

}  // namespace

void WindowUi::Show(const NoticeText& notice) {
    if (notice.kind != NoticeKind::Warning) lastResult = notice.text.substr(0, notice.text.find('\n'));
    OnWindowThread(window_, [&] { window_.PresentMessage(notice.text, notice.caption); });
}

bool WindowUi::Ask(const NoticeText& question) {
    bool ok = false;
    OnWindowThread(window_, [&] { ok = window_.PresentQuestion(question.text, question.caption); });
    return ok;
}

void WindowUi::SetMessageLine(const std::string& text) {
    QMetaObject::invokeMethod(&window_, [w = &window_, text] { w->SetMessageLine(text); });
}

void WindowUi::SetStatusLine(const std::string& text) {
    QMetaObject::invokeMethod(&window_, [w = &window_, text] { w->SetStatusLine(text); });
}

void WindowUi::ShowProgress(const RunProgress& progress) {
    int read = -1;
    if (progress.bytesTotal > 0) {
        const uint64_t shown = progress.bytesRead < progress.bytesTotal ? progress.bytesRead : progress.bytesTotal;
        read = static_cast<int>(1000.0 * static_cast<double>(shown) / static_cast<double>(progress.bytesTotal));
    }
    pass.store(progress.pass, std::memory_order_relaxed);
    done.store(progress.records, std::memory_order_relaxed);
    permille.store(read, std::memory_order_relaxed);
    if (observer) observer(progress);
}

}  // namespace geoplait::ui
