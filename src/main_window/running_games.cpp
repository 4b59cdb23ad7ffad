#include "running_games.h"
#include "main_window/window_tr.h"

#include "adapter/media_sets.h"
#include "platform/system/emulator_control.h"
#include "platform/system/handover.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QMutex>
#include <QPointer>
#include <QThreadPool>

#include <utility>

namespace {

constexpr qint64 MaxPartBytes = 16 * 1024 * 1024;

// Emulators are talked to on threads of their own: one that does not answer holds up no look
// at a disk.
QThreadPool &talkers()
{
    static QThreadPool pool;
    pool.setMaxThreadCount(2);
    return pool;
}

} // namespace

// What the worker keeps between questions: the software lists, read at the first set.
struct RunningGames::Shared
{
    std::function<onboarding::SoftwareLists()> load;
    QMutex mutex;
    std::optional<onboarding::SoftwareLists> lists;

    // The answers go back to the window's thread while their receiver lives; it is let go of
    // under the lock, so that an answer is never posted to a receiver being destroyed.
    QMutex ownerMutex;
    RunningGames *owner = nullptr;
    template<typename Answer>
    void post(Answer answer)
    {
        QMutexLocker lock(&ownerMutex);
        if (owner)
            QMetaObject::invokeMethod(owner, std::move(answer), Qt::QueuedConnection);
    }

    QStringList labelsOf(const QStringList &parts)
    {
        QMutexLocker lock(&mutex);
        if (!lists)
            lists = load ? load() : onboarding::SoftwareLists();
        QStringList labels;
        for (const QString &file : parts) {
            QFile in(file);
            QCryptographicHash sha1(QCryptographicHash::Sha1);
            const onboarding::KnownImage *known = in.open(QIODevice::ReadOnly) && in.size() <= MaxPartBytes && sha1.addData(&in)
                                                      ? lists->find(sha1.result().toHex())
                                                      : nullptr;
            labels << (known ? known->label : QString());
        }
        return labels;
    }
};

RunningGames::RunningGames(std::function<onboarding::SoftwareLists()> lists, QObject *parent)
    : QObject(parent), shared_(std::make_shared<Shared>())
{
    shared_->load = std::move(lists);
    shared_->owner = this;
}

RunningGames::~RunningGames()
{
    QMutexLocker lock(&shared_->ownerMutex);
    shared_->owner = nullptr;
}

void RunningGames::started(qint64 pid, const QString &snapName, std::optional<catalogue::Media> media, const QString &file)
{
    games_.append(Game{pid, snapName, media, {}, {}, file});
}

void RunningGames::ask()
{
    // Games that have ended are forgotten at once (a process table look, no disk).
    if (games_.removeIf([](const Game &g) { return !platform::processRunning(g.pid); }) > 0)
        ended_ = true;
    if (answering_ && !platform::processRunning(answering_->pid))
        answering_.reset();
    if (asking_) {
        askAgain_ = true;
        return;
    }
    asking_ = true;
    const bool ended = std::exchange(ended_, false);
    QPointer<RunningGames> self(this);
    const QList<Game> games = games_;
    const std::shared_ptr<Shared> shared = shared_;
    talkers().start([self, games, shared, ended] {
        const QString base = platform::privateBase();
        if (ended)
            adapter::removeEnded(base); // the sets staged for games that have ended go with them
        std::optional<Game> found;
        // The last started that answers: openMSX opens its socket a moment after its start.
        for (auto it = games.crbegin(); it != games.crend() && !found; ++it) {
            if (!platform::sendToEmulator(it->pid, {QStringLiteral("machine_info type")}, AnswerMs))
                continue;
            found = *it;
            if (found->parts.isEmpty()) {
                found->parts = adapter::stagedParts(base, it->pid);
                found->partLabels = shared->labelsOf(found->parts);
            }
        }
        shared->post([self, found] {
            if (!self)
                return;
            self->asking_ = false;
            if (found) // what was learnt of its set is kept with it
                for (Game &g : self->games_)
                    if (g.pid == found->pid)
                        g = *found;
            self->answering_ = found && platform::processRunning(found->pid) ? found : std::nullopt;
            emit self->answered();
            if (self->askAgain_) {
                self->askAgain_ = false;
                self->ask();
            }
        });
    });
}

void RunningGames::takeSnapshot(const Game &game, const QString &target, Crop crop)
{
    QPointer<RunningGames> self(this);
    talkers().start([self, shared = shared_, pid = game.pid, snapName = game.snapName, target, crop] {
        QString why;
        bool saved = false;
        // openMSX writes its screen into a folder of the user's alone; the picture inside the
        // border becomes the snapshot, put in place whole.
        const std::optional<QString> work = platform::makePrivateFolder(platform::privateBase(), QStringLiteral("tarumin-shot"));
        if (!work) {
            why = WindowTr::tr("一時フォルダーを作れません。");
        } else {
            const QString screen = *work + QStringLiteral("/screen.png");
            const QString cropped = *work + QStringLiteral("/snapshot.png");
            const auto replies = platform::sendToEmulator(pid, {QStringLiteral("screenshot -raw ") + platform::tclQuoted(screen)}, ScreenshotMs);
            if (!replies || replies->isEmpty()) {
                // openMSX did not answer: said so by the message without words of its own
            } else if (!replies->first().ok) {
                why = replies->first().text;
            } else if (!crop || !crop(screen, cropped)) {
                why = WindowTr::tr("画面の写真を読めません。");
            } else {
                QFile in(cropped);
                QSaveFile out(target);
                saved = in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly) && out.write(in.readAll()) > 0 && out.commit();
                if (!saved)
                    why = WindowTr::tr("%1 に保存できません（%2）。").arg(target, out.errorString());
            }
            QDir(*work).removeRecursively();
        }
        shared->post([self, snapName, saved, why] {
            if (self)
                emit self->snapshotTaken(snapName, saved, why);
        });
    });
}

void RunningGames::changePart(const Game &game, const QString &part)
{
    QPointer<RunningGames> self(this);
    const QString command = (game.media == catalogue::Media::Tape ? QStringLiteral("cassetteplayer insert ")
                                                                 : QStringLiteral("diska "))
                            + platform::tclQuoted(part);
    talkers().start([self, shared = shared_, pid = game.pid, command, part] {
        const auto replies = platform::sendToEmulator(pid, {command}, AnswerMs * 3);
        const bool ok = replies && !replies->isEmpty() && replies->first().ok;
        const QString why = replies && !replies->isEmpty() && !ok ? replies->first().text : QString();
        shared->post([self, part, ok, why] {
            if (self)
                emit self->partChanged(part, ok, why);
        });
    });
}

void RunningGames::saveState(const Game &game, const QString &stateFile, const QString &picture)
{
    QPointer<RunningGames> self(this);
    talkers().start([self, shared = shared_, pid = game.pid, stateFile, picture] {
        QString why;
        bool saved = false;
        // openMSX writes into a folder of the user's alone; the state is put in place whole.
        const std::optional<QString> work = platform::makePrivateFolder(platform::privateBase(), QStringLiteral("tarumin-state"));
        if (!work) {
            why = WindowTr::tr("一時フォルダーを作れません。");
        } else if (!QDir().mkpath(QFileInfo(stateFile).absolutePath())) {
            why = WindowTr::tr("%1 を作れません。").arg(QDir::toNativeSeparators(QFileInfo(stateFile).absolutePath()));
        } else {
            const QString state = *work + QStringLiteral("/state.oms");
            const QString screen = *work + QStringLiteral("/screen.png");
            const auto replies = platform::sendToEmulator(
                pid, {QStringLiteral("store_machine [machine] ") + platform::tclQuoted(state),
                      QStringLiteral("screenshot -raw ") + platform::tclQuoted(screen)}, ScreenshotMs);
            const auto copy = [&why](const QString &from, const QString &to) {
                QFile in(from);
                QSaveFile out(to);
                const bool ok = in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly) && out.write(in.readAll()) > 0 && out.commit();
                if (!ok)
                    why = WindowTr::tr("%1 に保存できません（%2）。").arg(QDir::toNativeSeparators(to), out.errorString());
                return ok;
            };
            if (!replies || replies->isEmpty()) {
                // openMSX did not answer: said so by the message without words of its own
            } else if (!replies->first().ok) {
                why = replies->first().text;
            } else {
                saved = copy(state, stateFile);
                if (saved && replies->size() > 1 && replies->at(1).ok)
                    copy(screen, picture); // a state without its picture is still the state
            }
            QDir(*work).removeRecursively();
        }
        shared->post([self, stateFile, saved, why] {
            if (self)
                emit self->stateSaved(stateFile, saved, why);
        });
    });
}
