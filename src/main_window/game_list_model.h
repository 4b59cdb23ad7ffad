#pragma once

#include "catalogue/media.h"

#include <QAbstractListModel>
#include <QCollatorSortKey>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

// The games of the catalogue as the list shows them: a row for each line the filter lets
// through, in the order chosen (the file's by default). Every row carries the line it shows,
// so that an edit or a delete touches the line the user chose, whatever the order; the order
// shown never changes the file.
class GameListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role {
        MissingRole = Qt::UserRole + 1, // bool: the game's file is not there
        LineRole,                       // int: the catalogue line the row shows
        FavouriteRole,                  // bool: marked as a favourite
    };

    // What a line is, as the list sorts and filters by it.
    struct Game
    {
        QString title;
        QString description; // searched as the title is
        int year = -1;       // the year it came out, -1 when the line does not say
        std::optional<catalogue::Media> media;
        bool missing = false;
        bool favourite = false;
        int plays = 0;
        qint64 lastPlayed = 0; // ms since the epoch; 0: never
    };
    struct Marks
    {
        bool favourite = false;
        int plays = 0;
        qint64 lastPlayed = 0;
    };

    enum class Order { File, Name, Year, Recent, MostPlayed, FavouritesFirst };
    enum class Filter { All, Favourites, Cartridge, Disk, Tape, Present };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // The games anew, one per catalogue line, in the file's order.
    void setGames(QList<Game> games);
    // The missing marks and the player's marks, by line (lines past the list are ignored).
    void setMissing(const QList<bool> &byLine);
    void setMarks(const QList<Marks> &byLine);
    void setOrder(Order order);
    void setFilter(Filter filter);
    Order order() const { return order_; }
    Filter filter() const { return filter_; }

    // The line a row shows, and the row that shows a line; -1 for none.
    int lineAt(int row) const;
    int rowOf(int line) const;
    int lineCount() const { return int(games_.size()); }
    const Game &game(int line) const { return games_[line]; }

    // The rows in the order and under the filter chosen. The view's choice is lost by it: the
    // window chooses its line again.
    void arrange();

    // The year a release field names ("1986年", "1986/10"), or -1.
    static int yearOf(const QString &release);

private:
    QList<Game> games_;       // by line
    std::vector<QCollatorSortKey> nameKeys_; // by line, made at the first sort by name
    QList<int> rows_;         // the line of each row
    Order order_ = Order::File;
    Filter filter_ = Filter::All;
};
