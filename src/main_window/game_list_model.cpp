#include "game_list_model.h"

int GameListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

QVariant GameListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    const Row &row = rows_[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return row.title;
    case Qt::AccessibleTextRole:
        return row.missing ? row.title + QStringLiteral("（ファイルなし）") : QVariant();
    case MissingRole:
        return row.missing;
    case LineRole:
        return row.line;
    default:
        return {};
    }
}

void GameListModel::setTitles(const QStringList &titles)
{
    beginResetModel();
    rows_.clear();
    rows_.reserve(titles.size());
    for (int i = 0; i < titles.size(); ++i)
        rows_.append(Row{i, titles[i], false});
    endResetModel();
}

void GameListModel::setMissing(const QList<bool> &byLine)
{
    for (int r = 0; r < rows_.size(); ++r) {
        const bool missing = rows_[r].line < byLine.size() && byLine[rows_[r].line];
        if (rows_[r].missing != missing) {
            rows_[r].missing = missing;
            emit dataChanged(index(r), index(r), {MissingRole, Qt::AccessibleTextRole});
        }
    }
}

int GameListModel::lineAt(int row) const
{
    return row >= 0 && row < rows_.size() ? rows_[row].line : -1;
}

int GameListModel::rowOf(int line) const
{
    for (int r = 0; r < rows_.size(); ++r)
        if (rows_[r].line == line)
            return r;
    return -1;
}
