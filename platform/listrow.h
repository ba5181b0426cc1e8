#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstddef>

#include "platform/textrow.h"

namespace vek {

// Rows that are made when they are first read: a list of 100,000 events formats only the
// rows that are shown or read, not every row at every rebuild.
class RowSource
{
public:
    virtual ~RowSource() = default;
    // Row `index`, made on its first read; its layout stays while the source lives.
    virtual TextRowView row(quint32 index) = 0;
    // One cell of row `index`, without making the whole row when it is not made yet.
    virtual QByteArray cellText(quint32 index, int cell) = 0;
};

// A row of a list handed to a grid: row `index` of `source`, or the empty row when there
// is no source.
struct ListRow
{
    RowSource *source = nullptr;
    quint32 index = 0;

    TextRowView view() const { return source ? source->row(index) : TextRowView(); }
    QByteArrayView cell(int cell) const { return view().cell(cell); }
    bool operator==(const ListRow &) const = default;
};

// Every row of a list handed to a grid at once, without a copy per row: row i is at(i).
// What it holds never changes while it is shared.
class ListRows
{
public:
    virtual ~ListRows() = default;
    virtual size_t size() const = 0;
    virtual ListRow at(size_t row) const = 0;
    // Whether other hands out the same rows, row for row; false when that is not known
    // without reading them.
    virtual bool sameRows(const ListRows &other) const
    {
        Q_UNUSED(other);
        return false;
    }
};

// Rows first..last of a list take colour `colour` of a palette (0: none).
struct ColourRun
{
    int first = 0;
    int last = 0;
    int colour = 0;
    bool operator==(const ColourRun &) const = default;
};

} // namespace vek
