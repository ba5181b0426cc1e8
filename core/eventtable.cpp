#include "eventtable.h"

#include "platform/failure.h"
#include "platform/numeric.h"

namespace vek {

EventTable::EventTable() : m_slots(static_cast<size_t>(HeadEnds) * Slots) {}

const EventRec &EventTable::at(int headEnd, int slot) const
{
    if (!validIndex(headEnd, slot))
        throw Failure(ErrorKind::SubscriptOutOfRange);
    return m_slots[static_cast<size_t>(headEnd) * Slots + slot];
}

EventRec &EventTable::edit(int headEnd, int slot)
{
    if (!validIndex(headEnd, slot))
        throw Failure(ErrorKind::SubscriptOutOfRange);
    return m_slots[static_cast<size_t>(headEnd) * Slots + slot];
}

EventRec &EventTable::editLocal(int headEnd, int slot)
{
    EventRec &r = edit(headEnd, slot);
    ++m_changes[size_t(headEnd)];
    return r;
}

void EventTable::clear()
{
    for (EventRec &r : m_slots)
        r = EventRec();
}

EventTable &Events()
{
    static EventTable table;
    return table;
}

void resetEvents()
{
    Events().clear();
}

RowKey parseRowKey(const QByteArray &key)
{
    if (key.isEmpty())
        return {};
    const QList<QByteArray> parts = key.split('-');
    if (parts.size() != 2)
        return {};
    const double he = leadingValue(parts.at(0));
    const double slot = leadingValue(parts.at(1));
    RowKey k{static_cast<int>(he), static_cast<int>(slot)};
    if (he != k.headEnd || slot != k.slot || !EventTable::validIndex(k.headEnd, k.slot))
        return {};
    return k;
}

QByteArray makeRowKey(int headEnd, int slot)
{
    return QByteArray::number(headEnd) + '-' + QByteArray::number(slot);
}

namespace {
const EventRec &recordOf(const QByteArray &rowKey)
{
    const RowKey k = parseRowKey(rowKey);
    return Events().at(k.headEnd, k.slot);
}
} // namespace

QDate EventDateOf(const QByteArray &rowKey)
{
    return recordOf(rowKey).EventDate;
}

quint8 EventStatusOf(const QByteArray &rowKey)
{
    return recordOf(rowKey).Status;
}

bool EventFlagOf(const QByteArray &rowKey)
{
    return recordOf(rowKey).BackupSrc;
}

quint8 EventInterruptedOf(const QByteArray &rowKey)
{
    return recordOf(rowKey).Interrupted;
}

} // namespace vek
