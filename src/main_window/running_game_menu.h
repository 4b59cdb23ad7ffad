#pragma once

#include "main_window/running_games.h"
#include "platform/system/program_folder.h"

#include <QObject>

class PlayerData;
class QMenu;
class QPoint;
class QWidget;

// The running game's menu on the snapshot picture (a right click, the menu key, Shift+F10):
// take its screen as the game's snapshot, save its state (openMSX), put in another disk or tape
// of its set. Shown at once; its items follow the running game's answer, greyed when no
// emulator this window started answers.
class RunningGameMenu : public QObject
{
    Q_OBJECT
public:
    RunningGameMenu(QWidget *picture, const platform::ProgramFolder &folder, PlayerData *player);

    // The emulators the window started, made at the first start or menu.
    RunningGames *games();
    QMenu *make(QWidget *parent);

signals:
    // A running game's screen became the snapshot of that name.
    void snapshotSaved(const QString &snapName);

private:
    void show(const QPoint &at);
    void takeSnapshot(const RunningGames::Game &running);
    void saveState(const RunningGames::Game &running);

    QWidget *picture_;
    platform::ProgramFolder folder_;
    PlayerData *player_;
    RunningGames *games_ = nullptr;
};
