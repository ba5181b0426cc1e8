#include "mdiarrange.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

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

// A window whose least size follows its width takes its new width first, then its height.
void place(QMdiSubWindow *w, const QRect &r)
{
    w->setGeometry(r);
    if (w->geometry() != r)
        w->setGeometry(r);
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
            place(w, QRect(r.left(), top, r.width(), qMax(1, bottom - top)));
        } else {
            const int left = r.left() + partStart(r.width(), n, i);
            const int right = r.left() + partStart(r.width(), n, i + 1);
            place(w, QRect(left, r.top(), qMax(1, right - left), r.height()));
        }
    }
}

// Each window one title bar down and right of the one before, all of one size that keeps
// the last inside the area; a window that needs more than that keeps its minimum size and
// is moved back so that it stays whole inside the area where it can.
void cascade(QMdiArea *area)
{
    const QList<QMdiSubWindow *> windows = visibleWindows(area, false);
    if (windows.isEmpty())
        return;
    int reserved = 0;
    for (QMdiSubWindow *w : visibleWindows(area, true))
        reserved = qMax(reserved, w->height());
    const QRect r = area->viewport()->rect().adjusted(0, 0, 0, -reserved);
    const int n = int(windows.size());
    const int step =
        windows.first()->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.first()) +
        4;
    QSize least;
    for (QMdiSubWindow *w : windows)
        least = least.expandedTo(w->minimumSize());
    const int width = qMax(least.width(), r.width() - step * (n - 1));
    const int height = qMax(least.height(), r.height() - step * (n - 1));
    // Fewer pixels a step where the windows' least size leaves less room.
    const int dx = n > 1 ? qBound(0, (r.width() - width) / (n - 1), step) : 0;
    const int dy = n > 1 ? qBound(0, (r.height() - height) / (n - 1), step) : 0;
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *w = windows[i];
        if (w->isMaximized())
            w->showNormal();
        place(w, QRect(r.left() + i * dx, r.top() + i * dy, width, height));
        w->raise();
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
        cascade(area);
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
