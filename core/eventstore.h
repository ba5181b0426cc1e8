#pragma once

#include <QByteArray>

#include "eventrec.h"

namespace vek {

// The receive path's writes into the event table. Every slot write goes through
// writeEventSlot, which keeps an index from key to slots and of the free slots, so an
// event message finds its slot without scanning the whole table.

void writeEventSlot(int headEnd, int slot, const EventRec &rec);
void writeEventSlot(int headEnd, int slot, EventRec &&rec);
// The lowest in-use slot of the head end holding key, else -1.
int findEventSlot(int headEnd, const QByteArray &key);
// The lowest slot not in use, else -1.
int firstFreeEventSlot(int headEnd);

// Replaces the first slot holding rec's key, else fills the lowest free slot. Returns
// the slot, or -1 when every slot is in use (nothing stored).
int storeEvent(int headEnd, const EventRec &rec);
int storeEvent(int headEnd, EventRec &&rec);
// Empties every in-use slot holding key; returns how many were emptied.
int deleteEvents(int headEnd, const QByteArray &key);

} // namespace vek
