#include "mdiarrange.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <algorithm>

#include "core/ui/tilesizing.h"

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

// The area less a strip at the bottom for the minimised windows.
QRect freeArea(QMdiArea *area)
{
    int reserved = 0;
    for (QMdiSubWindow *w : visibleWindows(area, true))
        reserved = qMax(reserved, w->height());
    return area->viewport()->rect().adjusted(0, 0, 0, -reserved);
}

// A window whose least size follows its width takes its new width first, then its height.
// One that stays larger than its place is moved back inside the area where it can.
void place(QMdiSubWindow *w, const QRect &r, const QRect &area)
{
    if (w->isMaximized())
        w->showNormal();
    w->setGeometry(r);
    if (w->geometry() != r)
        w->setGeometry(r);
    const QRect g = w->geometry();
    w->move(qMax(area.left(), qMin(g.left(), area.right() + 1 - g.width())),
            qMax(area.top(), qMin(g.top(), area.bottom() + 1 - g.height())));
}

// Splits length into count parts, the first ones one pixel longer where it does not divide.
int partStart(int length, int count, int index)
{
    return int(qint64(length) * index / count);
}

// What a window's frame (title bar, borders) adds to its contents.
QSize decoration(const QMdiSubWindow *w)
{
    return w->widget() ? w->size() - w->widget()->size() : QSize();
}

QSize leastSize(const QMdiSubWindow *w)
{
    return w->minimumSize().expandedTo(w->minimumSizeHint());
}

// The height a window needs at a width to show a number of list rows with every control
// whole (0 rows: its least height, where its parts scroll); its least height where it
// cannot say.
int heightFor(const QMdiSubWindow *w, int width, int rows)
{
    const auto *sizing = dynamic_cast<const TileSizing *>(w->widget());
    const int least = leastSize(w).height();
    if (sizing == nullptr || rows == 0)
        return least;
    const QSize frame = decoration(w);
    return qMax(least, sizing->heightForRows(width - frame.width(), rows) + frame.height());
}

struct Grid
{
    int rows = 1;
    int cols = 1;
};

// The windows go row by row, cols to a row; the last row's windows share its whole width.
QRect cell(const QRect &r, const Grid &g, int n, int index)
{
    const int row = index / g.cols;
    const int inRow = row == g.rows - 1 ? n - row * g.cols : g.cols;
    const int col = index % g.cols;
    const int top = r.top() + partStart(r.height(), g.rows, row);
    const int bottom = r.top() + partStart(r.height(), g.rows, row + 1);
    const int left = r.left() + partStart(r.width(), inRow, col);
    const int right = r.left() + partStart(r.width(), inRow, col + 1);
    return QRect(left, top, qMax(1, right - left), qMax(1, bottom - top));
}

// How far the windows' needs exceed their cells, in pixels; 0 where all fit.
int shortfall(const QList<QMdiSubWindow *> &windows, const QRect &r, const Grid &g, int rows)
{
    const int n = int(windows.size());
    int missing = 0;
    for (int i = 0; i < n; ++i) {
        const QRect c = cell(r, g, n, i);
        const int width = qMax(c.width(), leastSize(windows[i]).width());
        missing += width - c.width() + qMax(0, heightFor(windows[i], width, rows) - c.height());
    }
    return missing;
}

// Bands (one column) or columns (one row) where every window shows three list rows there
// with every control whole; else the grid nearest to square in which they do, else in
// which they show one row so, else in which they keep their least size, else the one that
// comes nearest.
Grid chooseGrid(const QList<QMdiSubWindow *> &windows, const QRect &r, bool bands)
{
    const int n = int(windows.size());
    const Grid line = bands ? Grid{n, 1} : Grid{1, n};
    QList<Grid> grids;
    for (int cols = 1; cols <= n; ++cols) {
        const int rows = (n + cols - 1) / cols;
        if (rows * (cols - 1) >= n)
            continue; // a column would stay empty
        grids.append(Grid{rows, cols});
    }
    // Nearest to square first; of two alike, the one that leans the arrangement's way.
    std::stable_sort(grids.begin(), grids.end(), [bands](const Grid &a, const Grid &b) {
        const int da = qAbs(a.rows - a.cols);
        const int db = qAbs(b.rows - b.cols);
        if (da != db)
            return da < db;
        return bands ? a.rows > b.rows : a.cols > b.cols;
    });
    if (shortfall(windows, r, line, 3) == 0)
        return line;
    for (const int rows : {3, 1, 0}) {
        for (const Grid &g : grids) {
            if (shortfall(windows, r, g, rows) == 0)
                return g;
        }
    }
    return *std::min_element(grids.begin(), grids.end(), [&](const Grid &a, const Grid &b) {
        return shortfall(windows, r, a, 0) < shortfall(windows, r, b, 0);
    });
}

void tile(QMdiArea *area, bool bands)
{
    const QList<QMdiSubWindow *> windows = visibleWindows(area, false);
    if (windows.isEmpty())
        return;
    const QRect r = freeArea(area);
    for (QMdiSubWindow *w : windows) {
        if (w->isMaximized())
            w->showNormal();
    }
    const Grid g = chooseGrid(windows, r, bands);
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i)
        place(windows[i], cell(r, g, n, i), r);
}

// Each window one title bar down and right of the one before, all of one size that keeps
// the last inside the area; a window that needs more than that keeps its least size and
// the steps shrink so that the last stays inside the area where it can. The active window
// goes last, on top.
void cascade(QMdiArea *area)
{
    QList<QMdiSubWindow *> windows = visibleWindows(area, false);
    if (windows.isEmpty())
        return;
    if (QMdiSubWindow *active = area->currentSubWindow(); windows.removeOne(active))
        windows.append(active);
    const QRect r = freeArea(area);
    const int n = int(windows.size());
    const int step =
        windows.first()->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.first()) +
        4;
    int width = r.width() - step * (n - 1);
    for (QMdiSubWindow *w : windows)
        width = qMax(width, leastSize(w).width());
    width = qMin(width, r.width());
    int height = r.height() - step * (n - 1);
    for (QMdiSubWindow *w : windows)
        height = qMax(height, heightFor(w, width, 0));
    height = qMin(height, r.height());
    // Fewer pixels a step where the windows' least size leaves less room.
    const int dx = n > 1 ? qBound(0, (r.width() - width) / (n - 1), step) : 0;
    const int dy = n > 1 ? qBound(0, (r.height() - height) / (n - 1), step) : 0;
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *w = windows[i];
        place(w, QRect(r.left() + i * dx, r.top() + i * dy, width, height), r);
        w->raise();
    }
    if (QMdiSubWindow *active = windows.last(); area->currentSubWindow() != active)
        area->setActiveSubWindow(active);
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
