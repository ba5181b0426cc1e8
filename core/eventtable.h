#pragma once

#include <QByteArray>
#include <array>
#include <memory>
#include <span>
#include <vector>

#include "eventrec.h"

namespace vek {

// Told before a record of the event table changes, while it still holds what it held: a
// reader that formats its rows late (the lists) formats now what it read from it.
class EventTableWatcher
{
public:
    virtual ~EventTableWatcher() = default;
    virtual void beforeEdit(int headEnd, int slot) = 0;
    virtual void beforeClear() = 0;
};

// The event table: head ends 0..12 (1..12 used) by slots 0..10000. Only the Hardware
// Server's event messages fill or clear slots; local edits change a record in place.
// Memory is taken as slots are first written, in blocks that never move, so a reference
// to a record stays valid while others are written.
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
    // An edit the console makes on its own (a command, a dialog), before the Hardware
    // Server's echo: the lists' rows of its head end are stale from now on.
    EventRec &editLocal(int headEnd, int slot);

    // Every record back to unused, and its memory returned.
    void clear();

    // Watchers are told of every edit and clearing.
    void addWatcher(EventTableWatcher *watcher);

    // Grows with every local edit of the head end's events: lists built from an older
    // count are stale. (The receive path's changes reach the lists through GridDirty.)
    quint64 changeCount(int headEnd) const
    {
        return headEnd >= 0 && headEnd < HeadEnds ? m_changes[size_t(headEnd)] : 0;
    }

    // Every edit (and every clearing of the table) takes the next stamp, so a reader that
    // noted lastStamp() finds the records edited since by their stamps: those above it.
    quint64 lastStamp() const { return m_lastStamp; }
    quint64 clearedAt() const { return m_clearedAt; }
    // The stamps of a head end's slots by slot number; slots beyond the span were never
    // edited since the table was last cleared.
    std::span<const quint64> stamps(int headEnd) const;

private:
    static constexpr int BlockSlots = 64;
    using Block = std::unique_ptr<EventRec[]>;
    std::array<std::vector<Block>, HeadEnds> m_blocks;
    std::array<quint64, HeadEnds> m_changes{};
    std::array<std::vector<quint64>, HeadEnds> m_stamps;
    quint64 m_lastStamp = 0;
    quint64 m_clearedAt = 0;
    std::vector<EventTableWatcher *> m_watchers;
};

// The one event table of the console.
EventTable &Events();

// A row key "he-slot" of the lists; anything else (or out of range) names head end 0,
// slot 0, whose record is never used.
struct RowKey
{
    int headEnd = 0;
    int slot = 0;
};
RowKey parseRowKey(const QByteArray &key);
QByteArray makeRowKey(int headEnd, int slot);

} // namespace vek
