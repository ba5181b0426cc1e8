#pragma once

#include <QByteArray>
#include <QDate>

#include "core/eventtable.h"
#include "core/receivestate.h"
#include "core/settings.h"
#include "eventview/eventlists.h"
#include "eventview/viewtables.h"

// Events and view options for the list tests. Today is 9 December 2026.
namespace eventfixture {

inline QDate today()
{
    return QDate(2026, 12, 9);
}

inline vek::EventRec &addEvent(int he, int slot, quint8 status, qint64 startKey = 0,
                               const QByteArray &dest = "CNN")
{
    vek::EventRec &e = vek::Events().edit(he, slot);
    e = vek::EventRec();
    e.InUse = true;
    e.HeadEnd = quint8(he);
    e.Status = status;
    e.EventDate = today().addDays(1);
    e.StartKey = startKey ? startKey : 2026121000000 + slot;
    e.EndKey = e.StartKey + 1800;
    e.DestText = dest;
    e.EventKey =
        "KEY-" + QByteArray::number(he) + "-" + QByteArray::number(slot) + "-ABCDEFGHIJKLMNOP";
    e.HEText = "Stored " + QByteArray::number(he);
    return e;
}

inline vek::ViewOptions allShown()
{
    vek::ViewOptions o;
    for (int he = 1; he <= vek::MaxHeadEnds; ++he) {
        o.showHE[size_t(he)] = true;
        o.heName[size_t(he)] = "Name " + QByteArray::number(he);
    }
    return o;
}

inline QByteArray cell(const vek::EventListRows &l, int listRow, int col)
{
    if (!l.rows || listRow < 1 || size_t(listRow) > l.rows->size())
        return "<no row>";
    return l.rows->at(size_t(listRow - 1)).cell(col).toByteArray();
}

} // namespace eventfixture
