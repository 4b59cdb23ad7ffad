#include "progress.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QProgressDialog>
#include <QtConcurrent/QtConcurrentRun>

namespace platform {

namespace {

// Reports from the task's thread reach the dialog as queued calls on the window's thread.
class DialogProgress : public TaskProgress
{
public:
    explicit DialogProgress(QProgressDialog &dialog) : dialog_(dialog) {}

    void report(int done, int total) override
    {
        QMetaObject::invokeMethod(&dialog_, [this, done, total] {
            dialog_.setMaximum(qMax(1, total));
            dialog_.setValue(done);
        }, Qt::QueuedConnection);
    }
    void requestStop() { cancel_ = true; }

private:
    QProgressDialog &dialog_;
};

// Turns a close of the window into a request to stop, remembered so that the window can close
// once the work has returned.
class CloseCatcher : public QObject
{
public:
    CloseCatcher(QWidget *window, DialogProgress &progress) : window_(window), progress_(progress)
    {
        if (window_)
            window_->installEventFilter(this);
    }
    bool closeAsked() const { return asked_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window_ && event->type() == QEvent::Close) {
            event->ignore();
            asked_ = true;
            progress_.requestStop();
            return true;
        }
        return false;
    }

private:
    QWidget *window_;
    DialogProgress &progress_;
    bool asked_ = false;
};

} // namespace

TaskEnd runWithProgress(QWidget *parent, const QString &label, const QString &cancelCaption,
                        const std::function<void(TaskProgress &)> &work)
{
    QProgressDialog dialog(label, cancelCaption, 0, 0, parent);
    dialog.setWindowTitle(QStringLiteral("tarumin"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(500);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    DialogProgress progress(dialog);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&progress] { progress.requestStop(); });
    QWidget *window = parent ? parent->window() : nullptr;
    CloseCatcher catcher(window, progress);

    QFutureWatcher<void> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run([&work, &progress] { work(progress); }));
    if (!watcher.isFinished())
        loop.exec();
    watcher.waitForFinished();
    // Reports still queued must not reach the dialog once it is gone.
    QCoreApplication::removePostedEvents(&dialog);
    dialog.reset();
    if (catcher.closeAsked()) {
        window->removeEventFilter(&catcher);
        QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
        return TaskEnd::WindowClosed;
    }
    return progress.cancel().load() ? TaskEnd::Cancelled : TaskEnd::Finished;
}

std::function<void(bool)> keepPaintingWhileWaiting()
{
    return [busy = false](bool waiting) mutable {
        if (waiting) {
            if (!busy)
                QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            busy = true;
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        } else if (busy) {
            QGuiApplication::restoreOverrideCursor();
            busy = false;
        }
    };
}

} // namespace platform
