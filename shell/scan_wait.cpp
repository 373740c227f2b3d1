#include "shell/scan_wait.h"

#include "shell/app.h"
#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <cstdio>

namespace pelmora {
namespace {

// How often the worker's state is looked at, and how often the counts are shown.
constexpr int kPollMilliseconds = 15;
constexpr int kStatusMilliseconds = 200;

// Holds back the user's input while the read runs; Esc sets the cancel flag instead.
class InputHold : public QObject {
public:
    explicit InputHold(ScanProgress& progress) : progress_(progress) {
        qApp->installEventFilter(this);
    }
    ~InputHold() override { qApp->removeEventFilter(this); }
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                progress_.cancel.store(true, std::memory_order_relaxed);
            }
            return true;
        case QEvent::Close:
            event->ignore(); // the window stays until the read is over
            return true;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
        }
    }

private:
    ScanProgress& progress_;
};

std::string progressText(char drive, const ScanProgress& progress) {
    char text[160];
    std::snprintf(text, sizeof text, "Reading disk %c:\\  %lld folders, %lld files  (Esc cancels)",
                  drive, static_cast<long long>(progress.folders.load(std::memory_order_relaxed)),
                  static_cast<long long>(progress.files.load(std::memory_order_relaxed)));
    return text;
}

} // namespace

void waitForScan(MainWindow& window, char drive, ScanProgress& progress,
                 const std::function<bool()>& finished) {
    App& app = window.app();
    app.shell.readingDisk = true;
    {
        InputHold hold(progress);
        QEventLoop loop;
        QTimer poll;
        QElapsedTimer sinceStatus;
        sinceStatus.start();
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (finished()) {
                loop.quit();
                return;
            }
            if (sinceStatus.elapsed() >= kStatusMilliseconds) {
                window.setStatusText(progressText(drive, progress));
                sinceStatus.restart();
            }
        });
        poll.start(kPollMilliseconds);
        window.setStatusText(progressText(drive, progress));
        if (!finished()) {
            loop.exec();
        }
    }
    app.shell.readingDisk = false;
    // Commands that arrived during the read run now, in their order.
    std::vector<int> deferred;
    deferred.swap(app.shell.deferredCommands);
    for (int id : deferred) {
        window.postCommand(id);
    }
}

} // namespace pelmora
