#include "chanviewdelegate.h"

#include <QPainter>

namespace vek {

void ChanViewDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    const QRect cell = option.rect;
    const QVariant back = index.data(Qt::BackgroundRole);
    if (back.isValid())
        painter->fillRect(cell, back.value<QColor>());
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty())
        return;
    painter->save();
    painter->setClipRect(cell);
    painter->setFont(option.font);
    // Text over a coloured cell follows the colour's lightness.
    const QVariant fore = index.data(Qt::ForegroundRole);
    painter->setPen(fore.isValid() ? fore.value<QColor>() : option.palette.color(QPalette::Text));
    painter->drawText(cell.adjusted(3, 0, -2, 0),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter->restore();
}

} // namespace vek
