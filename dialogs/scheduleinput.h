#pragma once

#include <QByteArray>
#include <QDate>

namespace vek {

// What the Add / Update Event and On-Air dialogs both show when OK is pressed.
struct ScheduleInput
{
    int group = 0;
    bool active = true; // "Active", else "On Hold"
    int automation = 0;
    bool backupSource = false;
    bool monitorBeg = false;
    bool monitorEnd = false;
    QDate startDate;
    QDate endDate;
    // Time boxes as shown, blanks as "_". The On-Air dialog's start box is shown only and
    // read for the checks.
    QByteArray startTime;
    QByteArray endTime;
    QByteArray duration;
    QByteArray description;
    QByteArray comments;
};

} // namespace vek
