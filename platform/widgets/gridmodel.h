#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

#include "platform/listrow.h"
#include "platform/textrow.h"

namespace vek {

// Plain row data behind a GridView: one TextRow per row, a back colour per row (over a
// column range), column titles and the header's back colour. Model row r is the list's
// row r + 1 (the list's row 0 is the header).
class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit GridModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void setColumnCount(int columns);
    QByteArray title(int column) const;
    void setTitle(int column, const QByteArray &text);
    // An invalid colour gives the style's normal header.
    void setHeaderBackColor(const QColor &color);
    QColor headerBackColor() const { return m_headerColor; }

    // Replaces every row at once (colours cleared).
    void setRows(std::vector<TextRow> rows);
    // The same with rows that live elsewhere: the model holds keepAlive for as long as it
    // shows them, so a list of 100,000 rows is handed over without copying a row.
    void setRowViews(std::vector<TextRowView> rows,
                     std::vector<std::shared_ptr<const void>> keepAlive);
    // Back colour of model rows first..last over columns firstCol..lastCol.
    struct RowPaint
    {
        int first = 0;
        int last = 0;
        int firstCol = 0;
        int lastCol = 0;
        QColor color;
    };
    // The same with rows their sources make when a row is first shown or read, painted
    // as given: the view hears of it once.
    void setListRows(std::vector<ListRow> rows, std::vector<std::shared_ptr<const void>> keepAlive,
                     const std::vector<RowPaint> &paint = {});
    // The same with rows that a shared list hands out: the model keeps no data per row
    // but its colour until it is asked to change a row (a cell, the row count, a sort).
    // Paint rows count from paintFirstRow (1 when they are list rows).
    void setListRows(std::shared_ptr<const ListRows> rows, const std::vector<RowPaint> &paint,
                     int paintFirstRow = 0);
    // The same with runs in row order, apart from each other, each in a colour of the
    // palette (an index past it is its last colour) over columns firstCol..lastCol: a list
    // of many runs is painted without a paint of its own per run.
    void setListRows(std::shared_ptr<const ListRows> rows, std::span<const ColourRun> runs,
                     std::span<const QColor> palette, int firstCol, int lastCol, int paintFirstRow);
    // The source and index of a row handed over by setListRows, made or not; an empty
    // ListRow for any other row.
    ListRow listRow(int modelRow) const;
    // Cuts rows off the end or appends empty ones.
    void resizeRows(int rows);

    TextRowView row(int modelRow) const;
    // Any stored cell, also one beyond the shown columns; "" outside the rows.
    QByteArrayView cell(int modelRow, int cell) const;
    // The same as a copy; a row not made yet is not made for it.
    QByteArray cellText(int modelRow, int cell) const;
    void setCell(int modelRow, int cell, QByteArrayView text);

    // Back colour of model rows first..last over columns firstCol..lastCol (clamped to
    // the rows). An invalid colour removes it.
    void setRowsBackColor(int first, int last, int firstCol, int lastCol, const QColor &color);
    QColor rowBackColor(int modelRow) const;
    void clearRowColors();

    // Sorts every row by the texts of columns firstCol..lastCol (a text sort code 5..8);
    // rows with equal keys keep their order. False for another code.
    bool sortRows(int firstCol, int lastCol, int code);

private:
    struct Paint
    {
        QRgb rgb = 0;
        qint16 firstCol = 0;
        qint16 lastCol = -1;
        bool operator==(const Paint &) const = default;
    };

    size_t rows() const { return m_list ? m_list->size() : m_rows.size(); }
    // Shows a shared list with the paint runs in m_spareRuns (byRun) or a paint per row.
    void showListRows(std::shared_ptr<const ListRows> rows, bool byRun, std::vector<Paint> painted);
    bool validRow(int modelRow) const { return modelRow >= 0 && size_t(modelRow) < rows(); }
    // Turns rows of a shared list into rows of the model's own before one is changed.
    void unshareList();
    // Row r, made by its source on its first read.
    TextRowView view(size_t r) const;
    bool pending(size_t r) const
    {
        return r < m_sources.size() && m_sources[r].source && !m_rows[r].layout();
    }
    void paintRows(int first, int last, int firstCol, int lastCol, const QColor &color);
    static void paintRows(std::vector<Paint> &paint, int first, int last, int firstCol, int lastCol,
                          const QColor &color);
    static Paint paintOf(int firstCol, int lastCol, const QColor &color);
    Paint paintAt(size_t r) const;
    // Turns runs of colours into a colour per row before one is changed.
    void paintEveryRow();

    // Rows not made yet have an empty layout here; m_sources keeps every row's source
    // (it is empty when every row came ready).
    mutable std::vector<TextRowView> m_rows;
    mutable std::vector<ListRow> m_sources;
    // Rows handed over as a shared list, read from it (m_rows and m_sources are empty).
    std::shared_ptr<const ListRows> m_list;
    std::vector<Paint> m_paint;
    // Colours of a shared list as runs of rows in row order (m_paint is then empty), until
    // a colour, the row count or the order changes.
    struct PaintRun
    {
        int first = 0;
        int last = 0;
        Paint paint;
        bool operator==(const PaintRun &) const = default;
    };
    std::vector<PaintRun> m_paintRuns;
    // The runs before the last, written over by the next list (fresh memory is slow).
    std::vector<PaintRun> m_spareRuns;
    bool m_paintByRun = false;
    std::vector<std::shared_ptr<const void>> m_keepAlive;
    // Rows written cell by cell, by the place of their layout.
    std::unordered_map<const char *, TextRow> m_edited;
    std::vector<QByteArray> m_titles;
    QColor m_headerColor;
};

} // namespace vek
