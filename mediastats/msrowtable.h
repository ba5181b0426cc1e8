#pragma once

#include <vector>

#include "mediastatsrec.h"

namespace vek {

// The rows of one file, numbered from 1 in file order. Row numbers are 16-bit: a row past
// 32767 is an overflow error for the reader.
class MSRowTable
{
public:
    static constexpr int MaxRows = 32767;

    MSRowTable();

    void clear();
    int count() const { return static_cast<int>(m_rows.size()) - 1; }
    // Row 1..count(); any other number is a subscript-out-of-range Failure.
    MediaStatsRec &row(int r);
    const MediaStatsRec &row(int r) const;
    // Room for rows (at most MaxRows), so a large file is not copied as it grows.
    void reserve(qsizetype rows);
    // A new empty row at the end.
    MediaStatsRec &append();

private:
    std::vector<MediaStatsRec> m_rows; // slot 0 is never filled
};

} // namespace vek
