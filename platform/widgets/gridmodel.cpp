#include "gridmodel.h"

#include <QBrush>
#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <utility>

#include "colors.h"
#include "platform/text.h"

namespace vek {

GridModel::GridModel(QObject *parent) : QAbstractTableModel(parent) {}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows());
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_titles.size());
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !validRow(index.row()))
        return {};
    const size_t r = size_t(index.row());
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(view(r).cell(index.column()));
    if (role == Qt::BackgroundRole || role == Qt::ForegroundRole) {
        const Paint p = paintAt(r);
        if (index.column() >= p.firstCol && index.column() <= p.lastCol) {
            const QColor back(p.rgb);
            return QBrush(role == Qt::BackgroundRole ? back : readableTextColor(back));
        }
    }
    return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || size_t(section) >= m_titles.size())
        return {};
    if (role == Qt::DisplayRole)
        return fromBytes(m_titles[size_t(section)]);
    if (role == Qt::BackgroundRole && m_headerColor.isValid())
        return QBrush(m_headerColor);
    return {};
}

void GridModel::setColumnCount(int columns)
{
    columns = qMax(0, columns);
    if (size_t(columns) == m_titles.size())
        return;
    beginResetModel();
    m_titles.resize(size_t(columns));
    endResetModel();
}

QByteArray GridModel::title(int column) const
{
    return column >= 0 && size_t(column) < m_titles.size() ? m_titles[size_t(column)]
                                                           : QByteArray();
}

void GridModel::setTitle(int column, const QByteArray &text)
{
    // Titles are set again at every rebuild: only a new one is news to the header.
    if (column < 0 || size_t(column) >= m_titles.size() || m_titles[size_t(column)] == text)
        return;
    m_titles[size_t(column)] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void GridModel::setHeaderBackColor(const QColor &color)
{
    if (m_headerColor == color)
        return;
    m_headerColor = color;
    if (!m_titles.empty())
        emit headerDataChanged(Qt::Horizontal, 0, int(m_titles.size()) - 1);
}

void GridModel::setRows(std::vector<TextRow> rows)
{
    auto owned = std::make_shared<std::vector<TextRow>>(std::move(rows));
    std::vector<TextRowView> views;
    views.reserve(owned->size());
    for (const TextRow &r : *owned)
        views.push_back(r.view());
    setRowViews(std::move(views), {std::move(owned)});
}

void GridModel::setRowViews(std::vector<TextRowView> rows,
                            std::vector<std::shared_ptr<const void>> keepAlive)
{
    beginResetModel();
    m_list.reset();
    m_rows = std::move(rows);
    m_sources.clear();
    m_paintByRun = false;
    m_paintRuns.clear();
    m_paint.assign(m_rows.size(), Paint());
    m_keepAlive = std::move(keepAlive);
    m_edited.clear();
    endResetModel();
}

void GridModel::setListRows(std::vector<ListRow> rows,
                            std::vector<std::shared_ptr<const void>> keepAlive,
                            const std::vector<RowPaint> &paint)
{
    std::vector<Paint> painted(rows.size());
    for (const RowPaint &p : paint)
        paintRows(painted, p.first, p.last, p.firstCol, p.lastCol, p.color);
    // A source's rows never change once read, so the same rows of the same sources in the
    // same colours are what the view shows already: a list rebuilt with nothing new is
    // neither reset nor painted again. (Its sources may be new objects that hold no row.)
    if (!m_list && !m_paintByRun && m_edited.empty() && m_rows.size() == rows.size() &&
        m_sources == rows && m_paint == painted) {
        m_keepAlive = std::move(keepAlive);
        return;
    }
    beginResetModel();
    m_list.reset();
    m_rows.assign(rows.size(), TextRowView());
    m_sources = std::move(rows);
    m_paintByRun = false;
    m_paintRuns.clear();
    m_paint = std::move(painted);
    m_keepAlive = std::move(keepAlive);
    m_edited.clear();
    endResetModel();
}

void GridModel::setListRows(std::shared_ptr<const ListRows> rows,
                            const std::vector<RowPaint> &paint, int paintFirstRow)
{
    if (rows && rows->size() == 0)
        rows.reset();
    const size_t n = rows ? rows->size() : 0;
    // Runs in row order, apart from each other, as the lists give them, are kept as they
    // are; others are painted row by row, each over the ones before.
    std::vector<PaintRun> &runs = m_spareRuns;
    runs.clear();
    if (runs.capacity() < paint.size())
        runs.reserve(paint.size() + paint.size() / 8);
    bool byRun = true;
    int lastPainted = -1;
    QColor lastColor;
    std::pair<int, int> lastCols;
    Paint lastPaint;
    for (const RowPaint &p : paint) {
        const int first = qMax(p.first - paintFirstRow, 0);
        const int last = qMin(p.last - paintFirstRow, int(n) - 1);
        if (first > last)
            continue;
        if (first <= lastPainted) {
            byRun = false;
            break;
        }
        lastPainted = last;
        if (!p.color.isValid())
            continue;
        // The runs of a list share a few colours, mostly copies of one another: alike bytes
        // are surely the same colour (other bytes only make the paint be worked out again).
        if (runs.empty() || std::memcmp(&p.color, &lastColor, sizeof(QColor)) != 0 ||
            p.firstCol != lastCols.first || p.lastCol != lastCols.second) {
            lastColor = p.color;
            lastCols = {p.firstCol, p.lastCol};
            lastPaint = paintOf(p.firstCol, p.lastCol, p.color);
        }
        runs.push_back({first, last, lastPaint});
    }
    std::vector<Paint> painted;
    if (!byRun) {
        runs.clear();
        painted.resize(n);
        for (const RowPaint &p : paint)
            paintRows(painted, p.first - paintFirstRow, p.last - paintFirstRow, p.firstCol,
                      p.lastCol, p.color);
    }
    showListRows(std::move(rows), byRun, std::move(painted));
}

void GridModel::setListRows(std::shared_ptr<const ListRows> rows, std::span<const ColourRun> runs,
                            std::span<const QColor> palette, int firstCol, int lastCol,
                            int paintFirstRow)
{
    if (rows && rows->size() == 0)
        rows.reset();
    const int n = rows ? int(rows->size()) : 0;
    std::array<Paint, 16> paints{};
    const int colours = int(qMin(palette.size(), paints.size()));
    for (int k = 0; k < colours; ++k)
        paints[size_t(k)] = paintOf(firstCol, lastCol, palette[size_t(k)]);
    std::vector<PaintRun> &out = m_spareRuns;
    out.clear();
    if (out.capacity() < runs.size())
        out.reserve(runs.size() + runs.size() / 8);
    int lastPainted = -1;
    for (const ColourRun &run : runs) {
        const int first = qMax(run.first - paintFirstRow, 0);
        const int last = qMin(run.last - paintFirstRow, n - 1);
        if (first > last)
            continue;
        if (colours == 0)
            break;
        if (first <= lastPainted) {
            // Runs over one another: painted row by row, each over the ones before.
            std::vector<RowPaint> paint;
            for (const ColourRun &r : runs)
                paint.push_back({r.first, r.last, firstCol, lastCol,
                                 palette[size_t(qBound(0, r.colour, colours - 1))]});
            setListRows(std::move(rows), paint, paintFirstRow);
            return;
        }
        lastPainted = last;
        const Paint &p = paints[size_t(qBound(0, run.colour, colours - 1))];
        if (p.lastCol >= p.firstCol)
            out.push_back({first, last, p});
    }
    showListRows(std::move(rows), true, {});
}

void GridModel::showListRows(std::shared_ptr<const ListRows> rows, bool byRun,
                             std::vector<Paint> painted)
{
    std::vector<PaintRun> &runs = m_spareRuns;
    // The same rows in the same colours are what the view shows already: a list rebuilt
    // with nothing new is neither reset nor painted again.
    if (m_list && rows && m_list->sameRows(*rows) && m_edited.empty() && byRun == m_paintByRun &&
        runs == m_paintRuns && painted == m_paint)
        return;

    beginResetModel();
    m_list = std::move(rows);
    m_rows.clear();
    m_sources.clear();
    m_keepAlive.clear();
    m_edited.clear();
    m_paintByRun = byRun;
    m_paintRuns.swap(runs);
    m_paint = std::move(painted);
    endResetModel();
}

GridModel::Paint GridModel::paintAt(size_t r) const
{
    if (!m_paintByRun)
        return m_paint[r];
    const auto after =
        std::upper_bound(m_paintRuns.begin(), m_paintRuns.end(), int(r),
                         [](int row, const PaintRun &run) { return row < run.first; });
    if (after == m_paintRuns.begin())
        return {};
    const PaintRun &run = *(after - 1);
    return int(r) <= run.last ? run.paint : Paint();
}

void GridModel::paintEveryRow()
{
    if (!m_paintByRun)
        return;
    m_paint.assign(rows(), Paint());
    for (const PaintRun &run : m_paintRuns)
        std::fill(m_paint.begin() + run.first, m_paint.begin() + run.last + 1, run.paint);
    m_paintRuns.clear();
    m_paintByRun = false;
}

void GridModel::unshareList()
{
    if (!m_list)
        return;
    const size_t n = m_list->size();
    m_rows.assign(n, TextRowView());
    m_sources.resize(n);
    for (size_t r = 0; r < n; ++r)
        m_sources[r] = m_list->at(r);
    // The sources stay alive with the list that holds them.
    m_keepAlive.push_back(std::move(m_list));
    m_list.reset();
}

ListRow GridModel::listRow(int modelRow) const
{
    if (m_list)
        return validRow(modelRow) ? m_list->at(size_t(modelRow)) : ListRow();
    return validRow(modelRow) && size_t(modelRow) < m_sources.size() ? m_sources[size_t(modelRow)]
                                                                     : ListRow();
}

TextRowView GridModel::view(size_t r) const
{
    if (m_list)
        return m_list->at(r).view();
    if (pending(r))
        m_rows[r] = m_sources[r].view();
    return m_rows[r];
}

void GridModel::resizeRows(int rows)
{
    rows = qMax(0, rows);
    const int old = rowCount();
    if (rows == old)
        return;
    unshareList();
    paintEveryRow();
    if (rows < old) {
        beginRemoveRows(QModelIndex(), rows, old - 1);
        for (int i = rows; i < old; ++i)
            m_edited.erase(m_rows[size_t(i)].layout());
        m_rows.resize(size_t(rows));
        if (m_sources.size() > size_t(rows))
            m_sources.resize(size_t(rows));
        m_paint.resize(size_t(rows));
        endRemoveRows();
    } else {
        beginInsertRows(QModelIndex(), old, rows - 1);
        m_rows.resize(size_t(rows));
        m_paint.resize(size_t(rows));
        endInsertRows();
    }
}

TextRowView GridModel::row(int modelRow) const
{
    return validRow(modelRow) ? view(size_t(modelRow)) : TextRowView();
}

QByteArrayView GridModel::cell(int modelRow, int cellIndex) const
{
    return row(modelRow).cell(cellIndex);
}

QByteArray GridModel::cellText(int modelRow, int cellIndex) const
{
    if (!validRow(modelRow))
        return {};
    const size_t r = size_t(modelRow);
    if (m_list) {
        const ListRow row = m_list->at(r);
        return row.source ? row.source->cellText(row.index, cellIndex) : QByteArray();
    }
    if (pending(r))
        return m_sources[r].source->cellText(m_sources[r].index, cellIndex);
    return m_rows[r].cell(cellIndex).toByteArray();
}

void GridModel::setCell(int modelRow, int cellIndex, QByteArrayView text)
{
    if (!validRow(modelRow) || cellIndex < 0)
        return;
    unshareList();
    view(size_t(modelRow));
    TextRowView &r = m_rows[size_t(modelRow)];
    TextRow changed;
    const auto old = m_edited.find(r.layout());
    if (old != m_edited.end()) {
        changed = old->second.withCell(cellIndex, text);
        m_edited.erase(old);
    } else {
        changed = TextRow(r).withCell(cellIndex, text);
    }
    r = changed.view();
    m_edited.emplace(r.layout(), std::move(changed));
    if (cellIndex < columnCount())
        emit dataChanged(index(modelRow, cellIndex), index(modelRow, cellIndex), {Qt::DisplayRole});
}

GridModel::Paint GridModel::paintOf(int firstCol, int lastCol, const QColor &color)
{
    Paint p;
    if (color.isValid()) {
        p.rgb = color.rgb();
        p.firstCol = static_cast<qint16>(qBound(0, firstCol, 32767));
        p.lastCol = static_cast<qint16>(qBound(0, lastCol, 32767));
    }
    return p;
}

void GridModel::paintRows(int first, int last, int firstCol, int lastCol, const QColor &color)
{
    paintEveryRow();
    paintRows(m_paint, first, last, firstCol, lastCol, color);
}

void GridModel::paintRows(std::vector<Paint> &paint, int first, int last, int firstCol, int lastCol,
                          const QColor &color)
{
    const Paint p = paintOf(firstCol, lastCol, color);
    first = qMax(first, 0);
    last = qMin(last, int(paint.size()) - 1);
    if (first <= last)
        std::fill(paint.begin() + first, paint.begin() + last + 1, p);
}

void GridModel::setRowsBackColor(int first, int last, int firstCol, int lastCol,
                                 const QColor &color)
{
    if (first > last)
        std::swap(first, last);
    if (firstCol > lastCol)
        std::swap(firstCol, lastCol);
    first = qMax(first, 0);
    last = qMin(last, rowCount() - 1);
    if (first > last)
        return;
    paintRows(first, last, firstCol, lastCol, color);
    if (columnCount() > 0)
        emit dataChanged(index(first, 0), index(last, columnCount() - 1), {Qt::BackgroundRole});
}

QColor GridModel::rowBackColor(int modelRow) const
{
    if (!validRow(modelRow))
        return {};
    const Paint p = paintAt(size_t(modelRow));
    return p.lastCol < p.firstCol ? QColor() : QColor(p.rgb);
}

void GridModel::clearRowColors()
{
    m_paintRuns.clear();
    std::fill(m_paint.begin(), m_paint.end(), Paint());
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                         {Qt::BackgroundRole});
}

bool GridModel::sortRows(int firstCol, int lastCol, int code)
{
    const TextSortCode how = textSortCode(code);
    if (!how.valid)
        return false;
    if (firstCol > lastCol)
        std::swap(firstCol, lastCol);
    unshareList();
    paintEveryRow();
    for (size_t r = 0; r < m_sources.size(); ++r)
        view(r);
    m_sources.clear();
    std::vector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (int c = firstCol; c <= lastCol; ++c) {
            const int r = compareText(m_rows[size_t(a)].cell(c), m_rows[size_t(b)].cell(c),
                                      how.caseSensitive);
            if (r != 0)
                return how.descending ? r > 0 : r < 0;
        }
        return false;
    });
    // Rows are rearranged under the view: selection and scroll position stay at the same
    // row numbers, as the lists expect after a sort.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<TextRowView> rows(m_rows.size());
    std::vector<Paint> paint(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i) {
        rows[i] = m_rows[size_t(order[i])];
        paint[i] = m_paint[size_t(order[i])];
    }
    m_rows = std::move(rows);
    m_paint = std::move(paint);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return true;
}

} // namespace vek
