#include "mdiarrange.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace vek {

namespace {
QList<QMdiSubWindow *> visibleWindows(QMdiArea *area, bool minimised)
{
    QList<QMdiSubWindow *> out;
    for (QMdiSubWindow *w : area->subWindowList(QMdiArea::CreationOrder)) {
        if (w->isVisible() && w->isMinimized() == minimised)
            out.append(w);
    }
    return out;
}

// Splits length into count parts, the first ones one pixel longer where it does not divide.
int partStart(int length, int count, int index)
{
    return int(qint64(length) * index / count);
}

void tile(QMdiArea *area, bool bands)
{
    const QList<QMdiSubWindow *> windows = visibleWindows(area, false);
    if (windows.isEmpty())
        return;
    // Minimised windows keep a strip at the bottom.
    int reserved = 0;
    for (QMdiSubWindow *w : visibleWindows(area, true))
        reserved = qMax(reserved, w->height());
    const QRect r = area->viewport()->rect().adjusted(0, 0, 0, -reserved);
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *w = windows[i];
        if (w->isMaximized())
            w->showNormal();
        if (bands) {
            const int top = r.top() + partStart(r.height(), n, i);
            const int bottom = r.top() + partStart(r.height(), n, i + 1);
            w->setGeometry(r.left(), top, r.width(), qMax(1, bottom - top));
        } else {
            const int left = r.left() + partStart(r.width(), n, i);
            const int right = r.left() + partStart(r.width(), n, i + 1);
            w->setGeometry(left, r.top(), qMax(1, right - left), r.height());
        }
    }
}

void arrangeIcons(QMdiArea *area)
{
    const QRect r = area->viewport()->rect();
    int x = r.left();
    int y = r.bottom() + 1;
    int rowHeight = 0;
    for (QMdiSubWindow *w : visibleWindows(area, true)) {
        const QSize s = w->size();
        if (x > r.left() && x + s.width() > r.right() + 1) {
            // The row is full: the next one goes above it.
            y -= rowHeight;
            x = r.left();
            rowHeight = 0;
        }
        rowHeight = qMax(rowHeight, s.height());
        w->move(x, y - s.height());
        x += s.width();
    }
}
} // namespace

void arrangeMdi(QMdiArea *area, int arrangement)
{
    if (area == nullptr)
        return;
    switch (arrangement) {
    case 0:
        area->cascadeSubWindows();
        break;
    case 1:
        tile(area, true);
        break;
    case 2:
        tile(area, false);
        break;
    case 3:
        arrangeIcons(area);
        break;
    default:
        break;
    }
}

} // namespace vek
