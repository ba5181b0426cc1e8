#pragma once

#include <QTableView>
#include <vector>

#include "gridmodel.h"
#include "twips.h"

namespace vek {

// The list control of the console: a QTableView over a GridModel with fixed row heights,
// addressed the way the lists are written: row 0 is the header (the titles), row r is
// model row r - 1; widths in twips; Row/RowSel and Col/ColSel bound one contiguous
// selection block; TopRow is the first visible row.
class GridView : public QTableView
{
    Q_OBJECT
public:
    explicit GridView(QWidget *parent = nullptr);

    GridModel *gridModel() const { return m_model; }

    // Number of rows including the header (at least 1).
    int rows() const { return m_model->rowCount() + 1; }
    void setRows(int rows);
    int cols() const { return m_model->columnCount(); }
    void setCols(int cols);

    // Row 0 reads and writes the titles. A row or column outside the list reads "".
    QByteArray textMatrix(int row, int col) const;
    // The source of a row handed over with its source (setRowData); empty otherwise.
    ListRow listRow(int row) const { return m_model->listRow(row - 1); }
    void setTextMatrix(int row, int col, QByteArrayView text);

    int columnWidthTwips(int col) const;
    void setColumnWidthTwips(int col, int twips);
    // The scale of the widths in twips (15 unless the list's font asks for another); set it
    // before the widths.
    void setTwipsPerPixel(double twipsPerPixel) { m_twipsPerPixel = twipsPerPixel; }
    double twipsPerPixel() const { return m_twipsPerPixel; }

    int row() const { return m_row; }
    int rowSel() const { return m_rowSel; }
    int col() const { return m_col; }
    int colSel() const { return m_colSel; }
    // Setting Row (or Col) collapses the selection onto it; RowSel (ColSel) then
    // extends it. Values are held within the rows (columns) that exist.
    void setRow(int row);
    void setRowSel(int row);
    void setCol(int col);
    void setColSel(int col);

    int topRow() const;
    void setTopRow(int row);

    // Back colour of the selected block Row..RowSel x Col..ColSel.
    void setSelectionRangeBackColor(const QColor &color);
    // Back colour of rows first..last (list row numbers) over columns firstCol..lastCol.
    void setRangeBackColor(int first, int last, int firstCol, int lastCol, const QColor &color);
    QColor rowBackColor(int row) const { return m_model->rowBackColor(row - 1); }

    // An invalid colour restores the normal header.
    void setHeaderBackColor(const QColor &color) { m_model->setHeaderBackColor(color); }
    QColor headerBackColor() const { return m_model->headerBackColor(); }

    // Back colour of the selection; its text turns black or white to stay readable.
    void setSelectionBackColor(const QColor &color);

    // Sorts every row below the header by the text of columns Col..ColSel with a text
    // sort code 5..8; false (nothing sorted) for any other code.
    bool sort(int code);

    // Empties the list: no rows below the header, titles, colours and widths kept.
    void clear();
    // Replaces every row below the header (list rows 1..n).
    void setRowData(std::vector<TextRow> rows);
    // The same with rows made by their sources when first shown or read; the grid holds
    // keepAlive (the sources) for as long as it shows them, painted as given (list rows).
    void setRowData(std::vector<ListRow> rows, std::vector<std::shared_ptr<const void>> keepAlive,
                    const std::vector<GridModel::RowPaint> &paint = {});

    // The same with the rows of a shared list, which also keeps their sources alive.
    void setRowData(std::shared_ptr<const ListRows> rows,
                    const std::vector<GridModel::RowPaint> &paint = {});
    // The same painted by runs of list rows in row order, each in a colour of the palette
    // over columns firstCol..lastCol.
    void setRowData(std::shared_ptr<const ListRows> rows, std::span<const ColourRun> runs,
                    std::span<const QColor> palette, int firstCol, int lastCol);

private:
    // After new rows: the current and selected rows stay within them.
    void keepSelectionInRows();
    void applySelection();
    void readSelection();

    GridModel *m_model;
    std::vector<int> m_twips;
    double m_twipsPerPixel = TwipsPerPixel;
    int m_row = 1;
    int m_rowSel = 1;
    int m_col = 0;
    int m_colSel = 0;
    bool m_applying = false;
};

} // namespace vek
