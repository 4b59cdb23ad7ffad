#pragma once

#include <QStyledItemDelegate>

// Draws a game's row with its marks at the right end: a favourite's star, and a game whose
// file is missing greyed, with a cross.
class GameRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
