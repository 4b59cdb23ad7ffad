#include "game_list_model.h"
#include "main_window/window_tr.h"

#include "game_search.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

int GameListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

QVariant GameListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    const int line = rows_[index.row()];
    const Game &game = games_[line];
    switch (role) {
    case Qt::DisplayRole:
        return game.title;
    case Qt::AccessibleTextRole:
        if (!game.missing && !game.favourite)
            return {};
        return game.title + (game.favourite ? WindowTr::tr("、お気に入り") : QString())
               + (game.missing ? WindowTr::tr("（ファイルなし）") : QString());
    case MissingRole:
        return game.missing;
    case FavouriteRole:
        return game.favourite;
    case LineRole:
        return line;
    default:
        return {};
    }
}

void GameListModel::setGames(QList<Game> games)
{
    games_ = std::move(games);
    nameKeys_.clear();
    arrange();
}

void GameListModel::setMissing(const QList<bool> &byLine)
{
    bool changed = false;
    for (int line = 0; line < games_.size(); ++line) {
        const bool missing = line < byLine.size() && byLine[line];
        changed |= std::exchange(games_[line].missing, missing) != missing;
    }
    if (!changed)
        return;
    if (filter_ == Filter::Present)
        arrange();
    else if (!rows_.isEmpty())
        emit dataChanged(index(0), index(int(rows_.size()) - 1), {MissingRole, Qt::AccessibleTextRole});
}

void GameListModel::setMarks(const QList<Marks> &byLine)
{
    for (int line = 0; line < games_.size(); ++line) {
        const Marks marks = byLine.value(line);
        games_[line].favourite = marks.favourite;
        games_[line].plays = marks.plays;
        games_[line].lastPlayed = marks.lastPlayed;
    }
    if (order_ != Order::File && order_ != Order::Name && order_ != Order::Year)
        arrange();
    else if (filter_ == Filter::Favourites)
        arrange();
    else if (!rows_.isEmpty())
        emit dataChanged(index(0), index(int(rows_.size()) - 1), {FavouriteRole, Qt::AccessibleTextRole});
}

void GameListModel::setOrder(Order order)
{
    order_ = order;
    arrange();
}

void GameListModel::setFilter(Filter filter)
{
    filter_ = filter;
    arrange();
}

int GameListModel::yearOf(const QString &release)
{
    // The first run of four digits (full-width ones too) that is a year of the MSX's time or
    // later; a longer run is no year.
    int value = 0, digits = 0;
    for (qsizetype i = 0; i <= release.size(); ++i) {
        const char16_t c = i < release.size() ? release.at(i).unicode() : u' ';
        const int digit = c >= u'0' && c <= u'9' ? c - u'0' : c >= u'\uFF10' && c <= u'\uFF19' ? c - u'\uFF10' : -1;
        if (digit >= 0) {
            value = value * 10 + digit;
            ++digits;
            continue;
        }
        if (digits == 4 && value >= 1950 && value <= 2099)
            return value;
        value = digits = 0;
    }
    return -1;
}

void GameListModel::arrange()
{
    beginResetModel();
    rows_.clear();
    rows_.reserve(games_.size());
    for (int line = 0; line < games_.size(); ++line) {
        const Game &g = games_[line];
        bool shown = true;
        switch (filter_) {
        case Filter::All: break;
        case Filter::Favourites: shown = g.favourite; break;
        case Filter::Cartridge: shown = g.media == catalogue::Media::Cartridge; break;
        case Filter::Disk: shown = g.media == catalogue::Media::Disk; break;
        case Filter::Tape: shown = g.media == catalogue::Media::Tape; break;
        case Filter::Present: shown = !g.missing; break;
        }
        if (shown)
            rows_.append(line);
    }
    // Ties, and what an order cannot place, stay in the file's order.
    const auto by = [this](auto key) {
        std::stable_sort(rows_.begin(), rows_.end(), [this, &key](int a, int b) { return key(games_[a]) < key(games_[b]); });
    };
    switch (order_) {
    case Order::File: break;
    case Order::Name:
        if (nameKeys_.size() != size_t(games_.size())) {
            // Compared as the search compares them: width and case folded, katakana as hiragana.
            QCollator collator{QLocale(QLocale::Japanese, QLocale::Japan)};
            collator.setNumericMode(true);
            nameKeys_.clear();
            nameKeys_.reserve(games_.size());
            for (const Game &g : games_)
                nameKeys_.push_back(collator.sortKey(GameSearch::fold(g.title)));
        }
        std::stable_sort(rows_.begin(), rows_.end(), [this](int a, int b) { return nameKeys_[a].compare(nameKeys_[b]) < 0; });
        break;
    case Order::Year:
        by([](const Game &g) { return g.year < 0 ? INT_MAX : g.year; });
        break;
    case Order::Recent:
        by([](const Game &g) { return -g.lastPlayed; });
        break;
    case Order::MostPlayed:
        by([](const Game &g) { return -qint64(g.plays); });
        break;
    case Order::FavouritesFirst:
        by([](const Game &g) { return g.favourite ? 0 : 1; });
        break;
    }
    endResetModel();
}

int GameListModel::lineAt(int row) const
{
    return row >= 0 && row < rows_.size() ? rows_[row] : -1;
}

int GameListModel::rowOf(int line) const
{
    return int(rows_.indexOf(line));
}
