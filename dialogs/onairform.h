#pragma once

#include <QByteArray>
#include <QDate>

#include "eventchecks.h"

class QWidget;

namespace vek {

// What the On-Air dialog shows when one of its OK buttons is pressed.
struct OnAirInput
{
    int group = 0;
    bool active = true; // "Active", else "On Hold"
    int automation = 0;
    bool backupSource = false;
    bool monitorBeg = false;
    bool monitorEnd = false;
    QDate startDate;
    QDate endDate;
    // Time boxes as shown, blanks as "_". The start box is only read for the checks.
    QByteArray startTime;
    QByteArray endTime;
    QByteArray duration;
    QByteArray description;
    QByteArray comments;
};

// OK of the On-Air dialog ("Update Event", or "Default Now" with defaultNow): the checks
// in their order, the air question on the end, then the edits written into the event's
// record in the table and the record sent to the head end's server. True when sent; a
// refusal changes and sends nothing, a fault is logged.
bool submitOnAir(const OnAirInput &in, const EventRef &event, bool defaultNow, QWidget *parent);

} // namespace vek
