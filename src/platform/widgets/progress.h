#pragma once

#include <QString>

#include <atomic>
#include <functional>

class QWidget;

namespace platform {

// What a task running off the window's thread is given: where to report how far it is, and
// whether the user asked it to stop. Both may be used from the task's thread.
class TaskProgress
{
public:
    virtual ~TaskProgress() = default;
    virtual void report(int done, int total) = 0;
    const std::atomic<bool> &cancel() const { return cancel_; }

protected:
    std::atomic<bool> cancel_{false};
};

enum class TaskEnd {
    Finished,     // the work ran to its end
    Cancelled,    // the cancel button asked it to stop
    WindowClosed, // closing parent's window asked it to stop; the window closes now
};

// Runs work on a thread of its own while the window keeps painting. A progress dialog with a
// cancel button comes up when the work takes longer than half a second; the button asks the
// work to stop. Closing parent's window asks it to stop too, and the window closes once the
// work has returned. Returns once the work has returned.
TaskEnd runWithProgress(QWidget *parent, const QString &label, const QString &cancelCaption,
                        const std::function<void(TaskProgress &)> &work);

// For a wait the window cannot avoid (another program holding a lock): called with true now
// and then while waiting, it shows the busy cursor and lets the windows repaint (the user's
// clicks and keys wait); called with false, it gives the cursor back.
std::function<void(bool waiting)> keepPaintingWhileWaiting();

} // namespace platform
