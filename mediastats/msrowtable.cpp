#include "msrowtable.h"

#include <algorithm>

#include "platform/failure.h"

namespace vek {

MSRowTable::MSRowTable()
{
    clear();
}

void MSRowTable::clear()
{
    m_rows.clear();
    m_rows.emplace_back();
}

MediaStatsRec &MSRowTable::row(int r)
{
    if (r < 1 || r > count())
        throw Failure(ErrorKind::SubscriptOutOfRange);
    return m_rows[static_cast<size_t>(r)];
}

const MediaStatsRec &MSRowTable::row(int r) const
{
    return const_cast<MSRowTable *>(this)->row(r);
}

void MSRowTable::reserve(qsizetype rows)
{
    m_rows.reserve(static_cast<size_t>(std::clamp<qsizetype>(rows, 0, MaxRows) + 1));
}

MediaStatsRec &MSRowTable::append()
{
    if (count() >= MaxRows)
        throw Failure(ErrorKind::Overflow);
    return m_rows.emplace_back();
}

} // namespace vek
