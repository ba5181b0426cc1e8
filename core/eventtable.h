#pragma once

#include <QByteArray>
#include <vector>

#include "eventrec.h"

namespace vek {

// The event table: head ends 0..12 (1..12 used) by slots 0..10000. Only the Hardware
// Server's event messages fill or clear slots; local edits change a record in place.
class EventTable
{
public:
    static constexpr int HeadEnds = 13;
    static constexpr int Slots = 10001;

    EventTable();

    static bool validIndex(int headEnd, int slot)
    {
        return headEnd >= 0 && headEnd < HeadEnds && slot >= 0 && slot < Slots;
    }

    // Callers index only within validIndex(); at() of an invalid index is a
    // subscript-out-of-range error.
    const EventRec &at(int headEnd, int slot) const;
    EventRec &edit(int headEnd, int slot);

    void clear();

private:
    std::vector<EventRec> m_slots;
};

// The one event table of the console.
EventTable &Events();
void resetEvents();

// A row key "he-slot" of the lists; anything else (or out of range) names head end 0,
// slot 0, whose record is never used.
struct RowKey
{
    int headEnd = 0;
    int slot = 0;
};
RowKey parseRowKey(const QByteArray &key);
QByteArray makeRowKey(int headEnd, int slot);

QDate EventDateOf(const QByteArray &rowKey);
quint8 EventStatusOf(const QByteArray &rowKey);
bool EventFlagOf(const QByteArray &rowKey);
quint8 EventInterruptedOf(const QByteArray &rowKey);

} // namespace vek
