#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QString>

// The games of the catalogue as the list shows them: a row each, in the file's order, every
// row carrying the line it shows (so that a sorted or filtered list still knows its line), its
// title, and whether its file was found missing. Room for what a row will know more of
// (favourite, play data) is in its roles.
class GameListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role {
        MissingRole = Qt::UserRole + 1, // bool: the game's file is not there
        LineRole,                       // int: the catalogue line the row shows
    };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // The rows anew: a title for each catalogue line, in order; nothing marked missing.
    void setTitles(const QStringList &titles);
    // The missing marks, by line (lines past the list are ignored).
    void setMissing(const QList<bool> &byLine);

    // The line a row shows, and the row that shows a line; -1 for none.
    int lineAt(int row) const;
    int rowOf(int line) const;

private:
    struct Row
    {
        int line = 0;
        QString title;
        bool missing = false;
    };
    QList<Row> rows_;
};
