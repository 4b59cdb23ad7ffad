#include "game_search.h"

QString GameSearch::fold(const QString &text)
{
    QString folded = text.normalized(QString::NormalizationForm_KC).toCaseFolded();
    for (QChar &c : folded) {
        const char16_t u = c.unicode();
        if (u >= 0x30A1 && u <= 0x30F6) // katakana ァ..ヶ to hiragana ぁ..ゖ
            c = QChar(char16_t(u - 0x60));
    }
    return folded;
}

void GameSearch::setRows(const QList<std::pair<QString, QString>> &rows)
{
    keys_.clear();
    keys_.reserve(rows.size());
    for (const auto &[title, description] : rows)
        keys_ << fold(title) + QChar(u'\n') + fold(description);
}

int GameSearch::find(const QString &typed, int from, int step) const
{
    const QString wanted = fold(typed).trimmed();
    const int n = int(keys_.size());
    if (wanted.isEmpty() || n == 0)
        return -1;
    from = (from % n + n) % n; // one past either end is the other end
    for (int k = 0; k < n; ++k) {
        const int row = ((from + step * k) % n + n) % n;
        if (keys_[row].contains(wanted))
            return row;
    }
    return -1;
}
