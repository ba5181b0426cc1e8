#include "eventstore.h"
#include "moduleresets.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <bit>
#include <vector>

#include "eventtable.h"
#include "platform/failure.h"

namespace vek {

namespace {

// Per head end: the lowest slot of each key and a bit per free slot. A key normally
// lives in one slot only; when a write puts it into a second one, the index says so and
// the rare questions about all its slots are answered from the table.
struct HeadEndIndex
{
    bool built = false;
    bool duplicates = false;
    QHash<QByteArray, int> lowestSlot;
    std::vector<quint64> freeBits;

    void setFree(int slot, bool free)
    {
        quint64 &word = freeBits[size_t(slot) / 64];
        const quint64 bit = quint64(1) << (slot % 64);
        word = free ? word | bit : word & ~bit;
    }
    int lowestFree() const
    {
        for (size_t w = 0; w < freeBits.size(); ++w) {
            if (freeBits[w])
                return int(w * 64) + std::countr_zero(freeBits[w]);
        }
        return -1;
    }
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

void addKey(HeadEndIndex &ix, const QByteArray &key, int slot)
{
    // One look-up: a key new to the index comes in with the size grown.
    const qsizetype before = ix.lowestSlot.size();
    int &lowest = ix.lowestSlot[key];
    if (ix.lowestSlot.size() != before) {
        lowest = slot;
        return;
    }
    ix.duplicates = true;
    lowest = std::min(lowest, slot);
}

void rebuild(int headEnd)
{
    HeadEndIndex &ix = indexes()[static_cast<size_t>(headEnd)];
    ix = HeadEndIndex();
    ix.freeBits.assign(size_t(EventTable::Slots + 63) / 64, 0);
    for (int slot = 0; slot < EventTable::Slots; ++slot) {
        const EventRec &r = Events().at(headEnd, slot);
        if (r.InUse)
            addKey(ix, r.EventKey, slot);
        else
            ix.setFree(slot, true);
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

// The slot's old record leaves the index. Returns false when the index can no longer
// answer for its key alone (the key was in more than one slot): then it is rebuilt.
bool forget(HeadEndIndex &ix, int slot, const EventRec &old)
{
    if (!old.InUse) {
        ix.setFree(slot, false);
        return true;
    }
    const auto it = ix.lowestSlot.find(old.EventKey);
    if (it == ix.lowestSlot.end() || *it != slot)
        return !ix.duplicates;
    if (ix.duplicates)
        return false;
    ix.lowestSlot.erase(it);
    return true;
}

// The lowest indexed slot holding key, checked against the table; -2 when the index
// disagrees with the table (another writer changed it) and must be rebuilt.
int lookup(int headEnd, HeadEndIndex &ix, const QByteArray &key)
{
    const auto it = ix.lowestSlot.constFind(key);
    if (it == ix.lowestSlot.constEnd())
        return -1;
    const int slot = *it;
    const EventRec &r = Events().at(headEnd, slot);
    return r.InUse && r.EventKey == key ? slot : -2;
}

} // namespace

void writeEventSlot(int headEnd, int slot, EventRec &&rec)
{
    HeadEndIndex &ix = indexOf(headEnd);
    EventRec &target = Events().edit(headEnd, slot);
    const bool indexed = forget(ix, slot, target);
    target = std::move(rec);
    if (!indexed) {
        rebuild(headEnd);
        return;
    }
    if (target.InUse)
        addKey(ix, target.EventKey, slot);
    else
        ix.setFree(slot, true);
}

void writeEventSlot(int headEnd, int slot, const EventRec &rec)
{
    writeEventSlot(headEnd, slot, EventRec(rec));
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
        const int slot = ix.lowestFree();
        if (slot < 0)
            return -1;
        if (!Events().at(headEnd, slot).InUse)
            return slot;
        rebuild(headEnd);
    }
    return -1;
}

int storeEvent(int headEnd, EventRec &&rec)
{
    int slot = findEventSlot(headEnd, rec.EventKey);
    if (slot < 0)
        slot = firstFreeEventSlot(headEnd);
    if (slot < 0)
        return -1;
    writeEventSlot(headEnd, slot, std::move(rec));
    return slot;
}

int storeEvent(int headEnd, const EventRec &rec)
{
    return storeEvent(headEnd, EventRec(rec));
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
