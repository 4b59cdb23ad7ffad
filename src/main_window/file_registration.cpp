#include "file_registration.h"

#include "catalogue/catalogue_file.h"
#include "messages/messages.h"
#include "platform/system/file_names.h"
#include "platform/widgets/message_box.h"
#include "platform/widgets/progress.h"

#include <QMimeData>
#include <QUrl>

QStringList droppedGameFiles(const QMimeData *data)
{
    QStringList paths;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            paths << platform::localFileOf(url);
    }
    return paths;
}

bool registerWithProgress(QWidget *window, const platform::ProgramFolder &folder, const QString &catalogue,
                          const QStringList &paths, onboarding::Adding adding, const std::function<void()> &reread)
{
    // Closing the window meanwhile stops the registration before anything is written, and
    // then closes the window.
    onboarding::Registration done;
    // The work's own file: the window's one repaints the window while it waits, which only the
    // window's thread may do.
    const catalogue::CatalogueFile file(catalogue);
    const platform::TaskEnd end = platform::runWithProgress(
        window, messages::registrationInProgress(), messages::cancelCaption(),
        [&](platform::TaskProgress &progress) {
            done = onboarding::registerGameFiles(
                paths, folder, file, onboarding::Writing::Write,
                {[&progress](int n, int total) { progress.report(n, total); }, &progress.cancel()},
                onboarding::Copying::Mode::WhenNeeded, adding);
        });
    if (end == platform::TaskEnd::WindowClosed)
        return false;
    if (end == platform::TaskEnd::Cancelled || done.cancelled) {
        platform::showMessage(window, messages::registrationCancelled());
        return true;
    }
    reread();
    if (done.error) {
        platform::showMessage(window, messages::changeFailed(messages::Change::Import, *done.error));
        return true;
    }
    platform::showMessage(window, messages::batchRegistered(done.items, done.listProblems), messages::batchDetails(done.items));
    return true;
}
