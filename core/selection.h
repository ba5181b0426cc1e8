#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace vek {

// The event the Event View hands to the event dialogs: head end and event-table slot
// (both 0 to add a new event) and the number of the calling view. The caller sets them
// and then opens the dialog, which reads them once when it opens; they keep their values
// until the next caller sets them.
qint16 &SelHE();
qint16 &SelCh();
qint16 &SelView();

// The type-ahead buffer of the channel lists: each key press appends its character, a
// 1500 ms timer restarted on every key empties it.
QByteArray &KeyBuffer();

} // namespace vek
