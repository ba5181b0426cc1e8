#pragma once

#include <QByteArray>
#include <QDate>

#include "eventchecks.h"
#include "scheduleinput.h"

class QWidget;

namespace vek {

// What the On-Air dialog shows when one of its OK buttons is pressed.
using OnAirInput = ScheduleInput;

// OK of the On-Air dialog ("Update Event", or "Default Now" with defaultNow): the checks
// in their order, the air question on the end, then the edits written into the event's
// record in the table and the record sent to the head end's server. True when sent; a
// refusal changes and sends nothing, a fault is logged.
bool submitOnAir(const OnAirInput &in, const EventRef &event, bool defaultNow, QWidget *parent);

} // namespace vek
