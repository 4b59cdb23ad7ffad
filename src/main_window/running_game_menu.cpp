#include "running_game_menu.h"
#include "main_window/window_tr.h"

#include "main_window/player_data.h"
#include "messages/messages.h"
#include "onboarding/snapshot_picture.h"
#include "onboarding/software_lists.h"
#include "platform/system/modules.h"
#include "platform/widgets/message_box.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QShortcut>

RunningGameMenu::RunningGameMenu(QWidget *picture, const platform::ProgramFolder &folder, PlayerData *player)
    : QObject(picture), picture_(picture), folder_(folder), player_(player)
{
    picture_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(picture_, &QWidget::customContextMenuRequested, this, &RunningGameMenu::show);
    auto *menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), picture_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(menuKey, &QShortcut::activated, this, [this] { show(picture_->rect().center()); });
}

RunningGames *RunningGameMenu::games()
{
    if (!games_) {
        QWidget *window = picture_->window();
        games_ = new RunningGames([folder = folder_] { return onboarding::loadSoftwareLists(folder); }, this);
        connect(games_, &RunningGames::snapshotTaken, this, [this, window](const QString &snapName, bool ok, const QString &why) {
            if (!ok)
                platform::showMessage(window, messages::runningSnapshotFailed(why));
            else
                emit snapshotSaved(snapName);
        });
        connect(games_, &RunningGames::partChanged, this, [window](const QString &part, bool ok, const QString &why) {
            if (!ok)
                platform::showMessage(window, messages::partNotChanged(QFileInfo(part).fileName(), why));
        });
        connect(games_, &RunningGames::stateSaved, this, [window](const QString &, bool ok, const QString &why) {
            platform::showMessage(window, ok ? messages::stateSaved() : messages::stateNotSaved(why));
        });
    }
    return games_;
}

QMenu *RunningGameMenu::make(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("PictureMenu"));
    QAction *snapshot = menu->addAction(WindowTr::tr("いまの画面をスナップショットにする"));
    snapshot->setObjectName(QStringLiteral("TakeSnapshot"));
    QAction *saveAction = menu->addAction(WindowTr::tr("いまの状態を保存"));
    saveAction->setObjectName(QStringLiteral("SaveState"));
    QMenu *parts = menu->addMenu(QString());
    parts->setObjectName(QStringLiteral("ChangePart"));
    // Shown at once with what the last answer said; filled again when the running game
    // answers now (or greyed when none does).
    const auto fill = [this, snapshot, saveAction, parts] {
        const std::optional<RunningGames::Game> &running = games()->answering();
        snapshot->setEnabled(bool(running));
        snapshot->disconnect();
        saveAction->setEnabled(running && !running->file.isEmpty());
        saveAction->disconnect();
        if (running) {
            connect(snapshot, &QAction::triggered, this, [this, r = *running] { takeSnapshot(r); });
            connect(saveAction, &QAction::triggered, this, [this, r = *running] { saveState(r); });
        }
        const bool tape = running && running->media == catalogue::Media::Tape;
        parts->setTitle(tape ? WindowTr::tr("テープを入れかえる") : WindowTr::tr("ディスクを入れかえる"));
        parts->clear();
        const QStringList staged = running ? running->parts : QStringList();
        for (int i = 0; i < staged.size(); ++i) {
            const QString label = running->partLabels.value(i);
            QAction *part = parts->addAction(WindowTr::tr("&%1 %2目").arg(i + 1).arg(tape ? WindowTr::tr("本") : WindowTr::tr("枚"))
                                             + (label.isEmpty() ? QString() : WindowTr::tr("（%1）").arg(label)));
            connect(part, &QAction::triggered, this, [this, r = *running, file = staged[i]] { games()->changePart(r, file); });
        }
        parts->setEnabled(staged.size() >= 2);
        parts->menuAction()->setEnabled(staged.size() >= 2);
    };
    fill();
    connect(games(), &RunningGames::answered, menu, fill);
    games()->ask();
    return menu;
}

void RunningGameMenu::show(const QPoint &at)
{
    QMenu *menu = make(picture_->window());
    menu->exec(picture_->mapToGlobal(at));
    menu->deleteLater();
}

void RunningGameMenu::takeSnapshot(const RunningGames::Game &running)
{
    const QStringList targets = folder_.snapshotCandidates(running.snapName);
    if (running.snapName.trimmed().isEmpty() || targets.isEmpty()) {
        platform::showMessage(picture_->window(), messages::runningSnapshotNoName());
        return;
    }
    const QString target = targets[0].endsWith(QLatin1String(".png")) ? targets[0] : targets[1];
    const auto crop = reinterpret_cast<onboarding::CropSnapshot>(
        platform::moduleFunction(onboarding::PictureModuleName, onboarding::CropSnapshotSymbol));
    games()->takeSnapshot(running, target, [crop](const QString &screen, const QString &cropped) {
        return crop && crop(screen, cropped) == onboarding::CropResult::Saved;
    });
}

void RunningGameMenu::saveState(const RunningGames::Game &running)
{
    // The state goes with the game the emulator was started with, found by its file.
    const int line = int(player_->files().indexOf(running.file));
    if (line < 0) {
        platform::showMessage(picture_->window(), messages::stateNotSaved(WindowTr::tr("このゲームはもうリストにありません。")));
        return;
    }
    const QString stateFile = player_->stateFileFor(line);
    connect(games(), &RunningGames::stateSaved, this, [this, line, stateFile, file = running.file](const QString &saved, bool ok) {
        if (ok && saved == stateFile && player_->fileOf(line) == file)
            player_->stateSaved(line, stateFile);
    }, Qt::SingleShotConnection);
    games()->saveState(running, stateFile, player_->statePictureFor(line));
}

