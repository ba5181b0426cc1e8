#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <array>

#include "chanviewgrid.h"

namespace vek {

// The Channel View's list: the rows of a ChanViewGrid under the fixed header, each cell
// with its own back colour.
class ChanViewModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ChanViewModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Replaces every row; paints 1..4 take the list colours of the settings.
    void setGrid(ChanViewGrid grid);
    const ChanViewGrid &grid() const { return m_grid; }

    // Cell text of list row r (row 0 is the header), "" outside the rows.
    QByteArray textMatrix(int row, int col) const;
    QColor cellColor(int row, int col) const;

private:
    ChanViewGrid m_grid;
    std::array<QColor, 10> m_colors;
};

} // namespace vek
