#pragma once

#include "main_window/game_search.h"

#include <QObject>
#include <QString>

#include <functional>

class GameListModel;
class QLabel;
class QLineEdit;
class QListView;

// Finding a game by typing its name on the list: a field over the list's bottom edge, shown
// while it is used (object name Search); each key chooses the next row whose title or
// description holds what was typed, in the order the list shows; Down/Up go on, Enter starts
// the game, Esc closes. When nothing matches, it says 「見つかりません」 inside the field
// (SearchMiss) and the choice stays.
class ListSearch : public QObject
{
    Q_OBJECT
public:
    struct Hooks
    {
        std::function<std::pair<QString, QString>(int line)> texts; // a line's title and description
        std::function<int()> chosenLine;
        std::function<void(int line)> choose;
        std::function<void()> start; // Enter: the chosen game started
    };
    ListSearch(QListView *list, GameListModel *games, Hooks hooks);

    QLineEdit *field() const { return field_; }
    void open(const QString &typed);
    void close();
    // The list's rows changed (read again, sorted, filtered): folded again at the next key.
    void forgetRows() { ready_ = false; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void find(int from, int step);
    int chosenRow() const;

    QListView *list_;
    GameListModel *games_;
    Hooks hooks_;
    QLineEdit *field_;
    QLabel *miss_;
    GameSearch search_;
    bool ready_ = false;
};
