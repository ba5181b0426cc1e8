#pragma once

#include <QByteArray>

namespace vek {

// The WIN queue: bodies waiting for a head end's free turns between polls. Each head
// end's messages leave in the order they were added.

void WINADD(const QByteArray &msg, int headEnd);
// The oldest message of a head end, taken out of the queue; "" when none is left (and
// the head end's pending flag is cleared).
QByteArray WINGET(int headEnd);
// Queues the delete message of every not-yet-aired event of the head end whose
// MediaPoint ID is id.
void WINREMOVE(int headEnd, const QByteArray &id);

// The queue may hold messages for the head end.
bool WinQueued(int headEnd);
int winQueueSize(int headEnd);

} // namespace vek
