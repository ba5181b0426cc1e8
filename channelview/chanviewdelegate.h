#pragma once

#include <QStyledItemDelegate>

namespace vek {

// Paints a Channel View cell: its back colour and its text, cut at the cell's edge. The
// list is redrawn on every channel status message, and the style's full item painting
// costs several times more for the same picture.
class ChanViewDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};

} // namespace vek
