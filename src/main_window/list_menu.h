#pragma once

#include "main_window/game_list_model.h"

#include <QList>
#include <QObject>

#include <functional>

class PlayerData;
class QAction;
class QListView;
class QMenu;
class QPoint;

// The game list's menu (a right click on a game, the Menu key, Shift+F10): what is remembered
// of the chosen game (favourite, saved state, machine), the list's order and filter, edit and
// delete. Its items are the list's actions too, so their keys work without the menu: Ctrl+D
// favourite, Ctrl+Enter play on from the state, F2 edit. The order and filter chosen are kept
// in the player's data and applied again at the next start.
class GameListMenu : public QObject
{
    Q_OBJECT
public:
    // What the window does for the menu.
    struct Commands
    {
        std::function<int()> chosenLine;                       // -1 when none is chosen
        std::function<void(const QString &state)> playFrom;    // start the chosen game from a state
        std::function<void()> edit, remove;
        std::function<void(const std::function<void()> &)> rearrange; // keeps the choice
    };
    GameListMenu(QListView *list, GameListModel *games, PlayerData *player, Commands commands);

    // The menu anew, its items as the chosen game now is.
    QMenu *make(QWidget *parent);
    // The items as the chosen game and the player's data now are.
    void update();
    // 続きから遊ぶ, when the chosen game has a state.
    void resume();

private:
    void show(const QPoint &at);
    void setOrder(GameListModel::Order order);
    void setFilter(GameListModel::Filter filter);

    QListView *list_;
    GameListModel *games_;
    PlayerData *player_;
    Commands commands_;
    QAction *favourite_, *resume_, *removeState_, *forgetMachine_, *edit_, *remove_;
    QList<QAction *> orders_, filters_, languages_;
};
