#include "chanviewmodel.h"

#include "core/settings.h"
#include "platform/text.h"
#include "platform/widgets/colors.h"

namespace vek {

namespace {
const char *const Titles[ChanViewColumns] = {"Source", "Dest.", "", "", "Source", "Dest.", "", ""};
}

ChanViewModel::ChanViewModel(QObject *parent) : QAbstractTableModel(parent)
{
    m_grid.lines.resize(1);
}

int ChanViewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_grid.lines.size());
}

int ChanViewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ChanViewColumns;
}

QVariant ChanViewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= m_grid.lines.size())
        return {};
    const ChanViewLine &line = m_grid.lines[size_t(index.row())];
    if (role == Qt::DisplayRole)
        return fromBytes(line.cells[size_t(index.column())]);
    if (role == Qt::BackgroundRole || role == Qt::ForegroundRole) {
        const quint8 paint = line.paint[size_t(index.column())];
        if (paint != PaintNone && paint < m_colors.size())
            return role == Qt::BackgroundRole ? m_colors[paint]
                                              : readableTextColor(m_colors[paint]);
    }
    return {};
}

QVariant ChanViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < ChanViewColumns)
        return QString::fromLatin1(Titles[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void ChanViewModel::setGrid(ChanViewGrid grid)
{
    const Settings &s = settings();
    for (int k = 1; k <= 4; ++k)
        m_colors[size_t(k)] = colorFromBgr(s.EventColors[size_t(k)]);
    m_colors[PaintStripe] = QColor(QRgb(StripeRgb));
    if (grid.lines.empty())
        grid.lines.resize(1);
    // Rows are added or taken away at the end and the rest is changed in place, so the view
    // keeps its columns and its scroll position and lays out only what changed.
    const int before = int(m_grid.lines.size());
    const int after = int(grid.lines.size());
    if (after > before) {
        beginInsertRows(QModelIndex(), before, after - 1);
        m_grid = std::move(grid);
        endInsertRows();
    } else if (after < before) {
        beginRemoveRows(QModelIndex(), after, before - 1);
        m_grid = std::move(grid);
        endRemoveRows();
    } else {
        m_grid = std::move(grid);
    }
    emit dataChanged(index(0, 0), index(after - 1, ChanViewColumns - 1));
}

QByteArray ChanViewModel::textMatrix(int row, int col) const
{
    if (col < 0 || col >= ChanViewColumns)
        return {};
    if (row == 0)
        return Titles[col];
    if (row < 1 || size_t(row) > m_grid.lines.size())
        return {};
    return m_grid.lines[size_t(row - 1)].cells[size_t(col)];
}

QColor ChanViewModel::cellColor(int row, int col) const
{
    if (row < 1 || size_t(row) > m_grid.lines.size() || col < 0 || col >= ChanViewColumns)
        return {};
    const quint8 paint = m_grid.lines[size_t(row - 1)].paint[size_t(col)];
    return paint != PaintNone && paint < m_colors.size() ? m_colors[paint] : QColor();
}

} // namespace vek
