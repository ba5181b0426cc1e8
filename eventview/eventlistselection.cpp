#include "core/eventtable.h"
#include "eventlists.h"

// The selection of a list across its rebuilds: the rows kept, and whether a picked row's
// slot still holds its event.

namespace vek {

int restoredRow(int rememberedRow, int rows)
{
    return rememberedRow >= 1 && rows > rememberedRow ? rememberedRow : 1;
}

int restoredTopRow(int rememberedTop, int rows)
{
    return rememberedTop >= 1 && rows > rememberedTop ? rememberedTop : 0;
}

bool slotHoldsEvent(int headEnd, int slot, const QByteArray &fullKey)
{
    if (headEnd < 1 || !EventTable::validIndex(headEnd, slot))
        return false;
    const EventRec &e = Events().at(headEnd, slot);
    return e.InUse && e.EventKey == fullKey;
}

} // namespace vek
