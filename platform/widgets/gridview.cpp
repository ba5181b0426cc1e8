#include "gridview.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>

#include "colors.h"
#include "gridheader.h"
#include "twips.h"

namespace vek {

GridView::GridView(QWidget *parent) : QTableView(parent), m_model(new GridModel(this))
{
    setHorizontalHeader(new GridHeader(this));
    setModel(m_model);
    setWordWrap(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalHeader()->hide();
    // Fixed row heights: the view never measures 100,000 rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(0);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { readSelection(); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { readSelection(); });
}

void GridView::setRows(int rows)
{
    m_model->resizeRows(qMax(1, rows) - 1);
}

void GridView::setCols(int cols)
{
    cols = qMax(0, cols);
    m_model->setColumnCount(cols);
    m_twips.resize(size_t(cols), -1);
}

QByteArray GridView::textMatrix(int row, int col) const
{
    if (col < 0)
        return {};
    if (row == 0)
        return m_model->title(col);
    return m_model->cellText(row - 1, col);
}

void GridView::setTextMatrix(int row, int col, QByteArrayView text)
{
    if (col < 0)
        return;
    if (row == 0)
        m_model->setTitle(col, text.toByteArray());
    else
        m_model->setCell(row - 1, col, text);
}

int GridView::columnWidthTwips(int col) const
{
    if (col < 0 || col >= cols())
        return 0;
    const int px = columnWidth(col);
    const int set = m_twips[size_t(col)];
    // A width nobody changed since it was set reads back exactly as it was given.
    if (set >= 0 && twipsToPixels(set, m_twipsPerPixel) == px)
        return set;
    return pixelsToTwips(px, m_twipsPerPixel);
}

void GridView::setColumnWidthTwips(int col, int twips)
{
    if (col < 0 || col >= cols())
        return;
    twips = qMax(0, twips);
    m_twips[size_t(col)] = twips;
    setColumnWidth(col, twipsToPixels(twips, m_twipsPerPixel));
}

void GridView::setRow(int row)
{
    m_row = qBound(0, row, rows() - 1);
    m_rowSel = m_row;
    applySelection();
}

void GridView::setRowSel(int row)
{
    m_rowSel = qBound(0, row, rows() - 1);
    applySelection();
}

void GridView::setCol(int col)
{
    m_col = qBound(0, col, qMax(0, cols() - 1));
    m_colSel = m_col;
    applySelection();
}

void GridView::setColSel(int col)
{
    m_colSel = qBound(0, col, qMax(0, cols() - 1));
    applySelection();
}

void GridView::applySelection()
{
    QItemSelectionModel *sel = selectionModel();
    m_applying = true;
    const int r1 = qMin(m_row, m_rowSel) - 1;
    const int r2 = qMax(m_row, m_rowSel) - 1;
    const int c1 = qMin(m_col, m_colSel);
    const int c2 = qMax(m_col, m_colSel);
    if (r2 < 0 || cols() == 0) {
        sel->clear();
    } else {
        const QModelIndex current = m_model->index(qMax(0, m_row - 1), m_col);
        sel->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
        sel->select(QItemSelection(m_model->index(qMax(0, r1), c1), m_model->index(r2, c2)),
                    QItemSelectionModel::ClearAndSelect);
    }
    m_applying = false;
}

void GridView::readSelection()
{
    if (m_applying)
        return;
    const QModelIndex current = selectionModel()->currentIndex();
    if (!current.isValid())
        return;
    const int cr = current.row() + 1;
    const int cc = current.column();
    const QItemSelection s = selectionModel()->selection();
    if (s.isEmpty()) {
        m_row = m_rowSel = cr;
        m_col = m_colSel = cc;
        return;
    }
    // The user's block: its far corner from the current cell is where it started.
    const QItemSelectionRange &range = s.first();
    const int top = range.top() + 1;
    const int bottom = range.bottom() + 1;
    if (cr == top || cr == bottom) {
        m_row = cr == top ? bottom : top;
        m_rowSel = cr;
    } else {
        m_row = top;
        m_rowSel = bottom;
    }
    if (cc == range.left() || cc == range.right()) {
        m_col = cc == range.left() ? range.right() : range.left();
        m_colSel = cc;
    } else {
        m_col = range.left();
        m_colSel = range.right();
    }
}

int GridView::topRow() const
{
    const int r = rowAt(0);
    return r < 0 ? 1 : r + 1;
}

void GridView::setTopRow(int row)
{
    if (row < 1 || row >= rows())
        return;
    // The scroll range follows a new row count only after layout.
    doItemsLayout();
    verticalScrollBar()->setValue(row - 1);
}

void GridView::setSelectionRangeBackColor(const QColor &color)
{
    setRangeBackColor(m_row, m_rowSel, m_col, m_colSel, color);
}

void GridView::setRangeBackColor(int first, int last, int firstCol, int lastCol,
                                 const QColor &color)
{
    m_model->setRowsBackColor(first - 1, last - 1, firstCol, lastCol, color);
}

void GridView::setSelectionBackColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Active, QPalette::Highlight, color);
    p.setColor(QPalette::Inactive, QPalette::Highlight, color);
    // The selected rows' text stays readable on any back colour (white on the base
    // colour of an inactive view would vanish).
    const QColor text = readableTextColor(color);
    p.setColor(QPalette::Active, QPalette::HighlightedText, text);
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, text);
    setPalette(p);
}

bool GridView::sort(int code)
{
    return m_model->sortRows(m_col, m_colSel, code);
}

void GridView::clear()
{
    m_model->setRows({});
    m_row = m_rowSel = 0;
    applySelection();
}

void GridView::keepSelectionInRows()
{
    m_row = qBound(0, m_row, rows() - 1);
    m_rowSel = qBound(0, m_rowSel, rows() - 1);
    applySelection();
}

void GridView::setRowData(std::vector<TextRow> rows)
{
    m_model->setRows(std::move(rows));
    keepSelectionInRows();
}

namespace {
// Paint by list rows as the model's rows.
std::vector<GridModel::RowPaint> modelPaint(const std::vector<GridModel::RowPaint> &paint)
{
    std::vector<GridModel::RowPaint> out(paint);
    for (GridModel::RowPaint &p : out) {
        --p.first;
        --p.last;
    }
    return out;
}
} // namespace

void GridView::setRowData(std::vector<ListRow> rows,
                          std::vector<std::shared_ptr<const void>> keepAlive,
                          const std::vector<GridModel::RowPaint> &paint)
{
    m_model->setListRows(std::move(rows), std::move(keepAlive), modelPaint(paint));
    keepSelectionInRows();
}

void GridView::setRowData(std::shared_ptr<const ListRows> rows,
                          const std::vector<GridModel::RowPaint> &paint)
{
    m_model->setListRows(std::move(rows), paint, 1);
    keepSelectionInRows();
}

void GridView::setRowData(std::shared_ptr<const ListRows> rows, std::span<const ColourRun> runs,
                          std::span<const QColor> palette, int firstCol, int lastCol)
{
    m_model->setListRows(std::move(rows), runs, palette, firstCol, lastCol, 1);
    keepSelectionInRows();
}

} // namespace vek
