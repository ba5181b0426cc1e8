#include "eventgrids.h"

#include <QDate>
#include <QHeaderView>
#include <QLocale>
#include <QStyle>
#include <algorithm>

#include "core/log.h"
#include "core/settings.h"
#include "eventview/viewtables.h"
#include "platform/failure.h"
#include "platform/widgets/colors.h"
#include "platform/widgets/gridview.h"
#include "platform/widgets/twips.h"

namespace vek {

namespace {
constexpr qint32 HeaderRed = 255;
// Set on a grid whose MediaPoint ID column was last laid out hidden by the lock mode.
constexpr char MediaPointHidden[] = "vekMediaPointHidden";

void layoutColumns(const EventGrids &grids, bool vcogLock)
{
    for (int list = 1; list <= EventListCount; ++list) {
        GridView *g = grids.grid[size_t(list)];
        if (!g)
            continue;
        const int cols = columnsOf(list);
        g->setCols(cols);
        g->setProperty(MediaPointHidden, !vcogLock);
        for (int c = 0; c < cols; ++c) {
            g->setTextMatrix(0, c, columnTitle(list, c));
            const bool hidden = c == MediaPointColumn && !vcogLock;
            g->setColumnWidthTwips(c, hidden ? 0 : ColWidths(list, c));
        }
    }
}
} // namespace

double listTwipsPerPixel(const GridView &grid)
{
    const QFontMetrics cells(grid.font());
    const QFontMetrics titles(grid.horizontalHeader()->font());
    QStyle *style = grid.style();
    const int cellMargin =
        2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1) + 2;
    const int titleMargin = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &grid) + 6;
    double scale = TwipsPerPixel;
    const auto fit = [&scale](int pixels, int twips) {
        if (twips > 0 && pixels > 0)
            scale = std::min(scale, double(twips) / pixels);
    };
    // The widest date of the year in the short form the lists show.
    int date = 0;
    for (int month = 1; month <= 12; ++month)
        date = std::max(date, cells.horizontalAdvance(QLocale::system().toString(
                                  QDate(2028, month, 28), QLocale::ShortFormat)));
    fit(date + cellMargin, defaultColumnWidth(3));
    fit(cells.horizontalAdvance(QStringLiteral("23:59:59")) + cellMargin,
        std::min(defaultColumnWidth(4), defaultColumnWidth(5)));
    fit(cells.horizontalAdvance(QStringLiteral("On Hold")) + cellMargin, defaultColumnWidth(9));
    fit(cells.horizontalAdvance(QStringLiteral("< 30 Min.")) + cellMargin, defaultColumnWidth(9));
    // Fifteen characters of a name in mixed case.
    fit(cells.horizontalAdvance(QStringLiteral("Head End Name 1")) + cellMargin,
        defaultColumnWidth(1));
    for (int c = 1; c < AsRunColumns; ++c)
        fit(titles.horizontalAdvance(QString::fromLatin1(columnTitle(ListAsRun, c))) + titleMargin,
            defaultColumnWidth(c));
    return scale;
}

void GRIDSET(const EventGrids &grids, bool vcogLock)
{
    try {
        for (GridView *g : grids.grid) {
            if (!g)
                continue;
            g->clear();
            g->setRows(2);
            g->setHeaderBackColor(QColor());
            g->gridModel()->clearRowColors();
        }
        layoutColumns(grids, vcogLock);
    } catch (const Failure &f) {
        logError("Error (frmView_GRIDSET)", f);
    }
}

GridPanels rebuildGrids(const EventGrids &grids, ListBuilder &engine, const ViewOptions &options,
                        int shownTab)
{
    std::array<int, EventListCount + 1> row{};
    std::array<int, EventListCount + 1> top{};
    for (int list = 1; list <= EventListCount; ++list) {
        GridView *g = grids.grid[size_t(list)];
        if (!g)
            continue;
        row[size_t(list)] = g->row();
        top[size_t(list)] = g->topRow();
        // The operator's widths survive the rebuild. A MediaPoint ID column that is only
        // hidden by the lock mode keeps the width it had.
        const int cols = qMin(g->cols(), columnsOf(list));
        const bool mediaPointHidden = g->property(MediaPointHidden).toBool();
        for (int c = 0; c < cols; ++c) {
            if (c == MediaPointColumn && mediaPointHidden)
                continue;
            ColWidths(list, c) = static_cast<qint16>(qMin(g->columnWidthTwips(c), 32767));
        }
    }
    layoutColumns(grids, options.vcogLock);

    EventLists lists = engine.build(options);

    const auto &colors = settings().EventColors;
    std::vector<QColor> runColors(colors.size());
    for (size_t k = 1; k < colors.size(); ++k)
        runColors[k] = colorFromBgr(colors[k]);
    // A run's colour is at least the first.
    if (runColors.size() > 1)
        runColors[0] = runColors[1];
    GridPanels panels;
    for (int list = 1; list <= EventListCount; ++list) {
        EventListRows &l = lists.list[size_t(list)];
        if (list == shownTab + 1) {
            panels.events = eventCountText(l.events);
            panels.sort = l.sort.text;
        }
        GridView *g = grids.grid[size_t(list)];
        if (!g)
            continue;
        const int lastCol = columnsOf(list) - 1;
        g->setRowData(std::move(l.rows), l.runs, runColors, 1, lastCol);
        g->setHeaderBackColor(l.sort.headerRed ? colorFromBgr(HeaderRed) : QColor());
        g->setRow(restoredRow(row[size_t(list)], g->rows()));
        g->setCol(0);
        g->setColSel(lastCol);
        const int t = restoredTopRow(top[size_t(list)], g->rows());
        if (t > 0)
            g->setTopRow(t);
    }
    return panels;
}

} // namespace vek
