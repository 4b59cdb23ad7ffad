#pragma once

#include <QList>
#include <QString>

// Finding a game by typing part of its name: texts are compared folded (NFKC, so half-width
// kana and full-width letters become their usual forms; lower case; katakana as hiragana), on
// the title and on the description, which for a game from the software lists begins with its
// romanised title.
class GameSearch
{
public:
    static QString fold(const QString &text);

    // The rows' texts, title and description, folded once.
    void setRows(const QList<std::pair<QString, QString>> &rows);
    // The first row from `from` on (then from the top) whose title or description holds what
    // was typed; step -1 looks backwards, round the end to the last row. -1 when none does.
    int find(const QString &typed, int from, int step = 1) const;

private:
    QList<QString> keys_; // title and description, folded, with a separator no text holds
};
