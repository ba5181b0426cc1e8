#pragma once

#include <QByteArray>

#include "eventrec.h"

namespace vek {

constexpr int EventHeaderLength = 128;
constexpr int EventTextFields = 20;

// The event wire text: a 128-character header of digit fields, a TAB, then 20 text
// fields each followed by a TAB.
QByteArray EventToString(const EventRec &rec);
// The event message that sends a record to its Hardware Server: "Q" and its wire text,
// made in one piece of the exact size (queues keep it).
QByteArray eventMessage(const EventRec &rec);

// Reads a wire text into a record with InUse set. A text with fewer than 21 fields, a
// header number beyond its field's type or a date that is not a real DD/MM/YYYY date
// throws a Failure, and nothing results.
EventRec ParseEvent(QByteArrayView text);

// "" when the record fits its head end's schedule, else the conflict text.
QByteArray CheckConflict(const EventRec &rec);
QByteArray EventDetails(const EventRec &rec);

QByteArray StatusText(quint8 status, const QByteArray &detail);
QByteArray GroupText(quint8 group);
// "Off", "Notify" or "Auto"; "" for any other value.
QByteArrayView automationText(quint8 automation);

} // namespace vek
