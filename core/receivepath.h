#pragma once

#include <QByteArray>

#include "receivestate.h"

namespace vek {

// Everything a head end's Hardware Server sends: the acknowledgement test, then the
// answer dispatched by its code.
void wsHS_DataArrival(int headEnd, const QByteArray &data);
// Decodes a poll reply and asks for what it flags (up to three requests).
void ProcessHSStatus(int headEnd, QByteArrayView body);
// Ten 4-character big-endian counters in wire order.
DashBoardRec ParseDashBoard(const QByteArray &p);

// An event message that arrived without all its fields is held this long for the rest.
constexpr int EventWaitMs = 300;
// The wait for the rest of a split event message is over: handle what arrived.
void flushPartialEvent(int headEnd);
bool hasPartialEvent(int headEnd);

// The 1 s timer: refreshes the head ends whose events changed during a burst.
void refreshPendingHeadEnds();
// The 2 s timer: asks each flagged head end for its dashboard counts.
void requestPendingDashBoards();

} // namespace vek
