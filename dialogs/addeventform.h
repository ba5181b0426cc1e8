#pragma once

#include <QByteArray>
#include <QDate>

#include "core/eventrec.h"
#include "eventchecks.h"
#include "scheduleinput.h"

class QWidget;

namespace vek {

// What the Add / Update Event dialog shows when OK is pressed.
struct AddEventInput : ScheduleInput
{
    int headEnd = 0; // 0: no head end selected
    int dest = -1;   // channel index of the destination; -1: none selected
    int src = -1;    // channel index of the source; -1: none selected
    QByteArray destText;
    QByteArray srcText;
};

// How the dialog was opened: to add (no event) or to update the event it opened with.
struct AddEventContext
{
    bool addMode = true;
    EventRef event;
    QByteArray keptMediaPointID;
};

// The record OK sends: every field from the input and the channel table, the key given.
EventRec buildAddRecord(const AddEventInput &in, const QByteArray &key,
                        const QByteArray &keptMediaPointID);

// OK of the Add / Update Event dialog: the checks in their order (the first refusal is
// shown and nothing is sent), the air question, the conflict check, then the event
// message to the head end's server. True when it was sent. A fault is logged and sends
// nothing.
bool submitAddEvent(const AddEventInput &in, const AddEventContext &context, QWidget *parent);

} // namespace vek
