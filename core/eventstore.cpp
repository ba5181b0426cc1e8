#include "eventstore.h"

#include <QHash>
#include <array>
#include <set>

#include "eventtable.h"
#include "platform/failure.h"

namespace vek {

namespace {

struct HeadEndIndex
{
    bool built = false;
    QHash<QByteArray, std::set<int>> slotsByKey;
    std::set<int> freeSlots;
};

std::array<HeadEndIndex, EventTable::HeadEnds> &indexes()
{
    static std::array<HeadEndIndex, EventTable::HeadEnds> i;
    return i;
}

void checkHeadEnd(int headEnd)
{
    if (headEnd < 0 || headEnd >= EventTable::HeadEnds)
        throw Failure(ErrorKind::SubscriptOutOfRange);
}

void rebuild(int headEnd)
{
    HeadEndIndex &ix = indexes()[static_cast<size_t>(headEnd)];
    ix = HeadEndIndex();
    for (int slot = 0; slot < EventTable::Slots; ++slot) {
        const EventRec &r = Events().at(headEnd, slot);
        if (r.InUse)
            ix.slotsByKey[r.EventKey].insert(slot);
        else
            ix.freeSlots.insert(slot);
    }
    ix.built = true;
}

HeadEndIndex &indexOf(int headEnd)
{
    checkHeadEnd(headEnd);
    HeadEndIndex &ix = indexes()[static_cast<size_t>(headEnd)];
    if (!ix.built)
        rebuild(headEnd);
    return ix;
}

void forget(HeadEndIndex &ix, int slot, const EventRec &old)
{
    if (!old.InUse) {
        ix.freeSlots.erase(slot);
        return;
    }
    const auto it = ix.slotsByKey.find(old.EventKey);
    if (it == ix.slotsByKey.end())
        return;
    it->erase(slot);
    if (it->empty())
        ix.slotsByKey.erase(it);
}

// The first indexed slot holding key, checked against the table; -2 when the index
// disagrees with the table (another writer changed it) and must be rebuilt.
int lookup(int headEnd, HeadEndIndex &ix, const QByteArray &key)
{
    const auto it = ix.slotsByKey.constFind(key);
    if (it == ix.slotsByKey.constEnd())
        return -1;
    const int slot = *it->begin();
    const EventRec &r = Events().at(headEnd, slot);
    return r.InUse && r.EventKey == key ? slot : -2;
}

} // namespace

void writeEventSlot(int headEnd, int slot, const EventRec &rec)
{
    HeadEndIndex &ix = indexOf(headEnd);
    EventRec &target = Events().edit(headEnd, slot);
    forget(ix, slot, target);
    target = rec;
    if (rec.InUse)
        ix.slotsByKey[rec.EventKey].insert(slot);
    else
        ix.freeSlots.insert(slot);
}

int findEventSlot(int headEnd, const QByteArray &key)
{
    HeadEndIndex &ix = indexOf(headEnd);
    int slot = lookup(headEnd, ix, key);
    if (slot == -2) {
        rebuild(headEnd);
        slot = lookup(headEnd, ix, key);
    }
    return slot < 0 ? -1 : slot;
}

int firstFreeEventSlot(int headEnd)
{
    HeadEndIndex &ix = indexOf(headEnd);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (ix.freeSlots.empty())
            return -1;
        const int slot = *ix.freeSlots.begin();
        if (!Events().at(headEnd, slot).InUse)
            return slot;
        rebuild(headEnd);
    }
    return -1;
}

int storeEvent(int headEnd, const EventRec &rec)
{
    int slot = findEventSlot(headEnd, rec.EventKey);
    if (slot < 0)
        slot = firstFreeEventSlot(headEnd);
    if (slot < 0)
        return -1;
    writeEventSlot(headEnd, slot, rec);
    return slot;
}

int deleteEvents(int headEnd, const QByteArray &key)
{
    int emptied = 0;
    for (int slot = findEventSlot(headEnd, key); slot >= 0; slot = findEventSlot(headEnd, key)) {
        writeEventSlot(headEnd, slot, EventRec());
        ++emptied;
    }
    return emptied;
}

void resetEventIndex()
{
    for (HeadEndIndex &ix : indexes())
        ix = HeadEndIndex();
}

} // namespace vek
