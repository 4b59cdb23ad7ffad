#include "game_row_delegate.h"

#include "main_window/game_list_model.h"

#include <QPainter>

namespace {
const QColor FavouriteMark(255, 208, 64);
const QColor MissingText(176, 176, 176); // dimmer than the list's text
} // namespace

void GameRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const bool missing = index.data(GameListModel::MissingRole).toBool();
    const bool favourite = index.data(GameListModel::FavouriteRole).toBool();
    if (!missing && !favourite) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem row = option;
    if (missing)
        row.palette.setColor(QPalette::Text, MissingText);
    const bool selected = option.state & QStyle::State_Selected;
    const QString cross = missing ? QStringLiteral(" ×") : QString();
    const QString star = favourite ? QStringLiteral(" ★") : QString();
    const int crossWidth = missing ? option.fontMetrics.horizontalAdvance(cross) + 2 : 0;
    const int starWidth = favourite ? option.fontMetrics.horizontalAdvance(star) + 2 : 0;
    row.rect.setRight(option.rect.right() - crossWidth - starWidth);
    QStyledItemDelegate::paint(painter, row, index);
    painter->save();
    const QColor text = selected ? option.palette.color(QPalette::HighlightedText) : MissingText;
    const int right = option.rect.right();
    if (favourite) {
        painter->setPen(selected ? text : FavouriteMark);
        painter->drawText(QRect(right - crossWidth - starWidth, option.rect.top(), starWidth, option.rect.height()),
                          Qt::AlignRight | Qt::AlignVCenter, star);
    }
    if (missing) {
        painter->setPen(text);
        painter->drawText(QRect(right - crossWidth, option.rect.top(), crossWidth, option.rect.height()),
                          Qt::AlignRight | Qt::AlignVCenter, cross);
    }
    painter->restore();
}
