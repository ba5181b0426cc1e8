#pragma once

#include <QByteArray>
#include <array>
#include <span>

#include "core/receivestate.h"
#include "core/settings.h"

namespace vek {

// The ten counters a Hardware Server sends for its head end (kept by the receive path).
using DashBoardCounts = DashBoardRec;

// What the dashboard shows. Sums are 64-bit, so twelve head ends of any counters never
// overflow; the bar stays within 0..100 while the label shows the computed percentage.
struct DashBoardFigures
{
    qint64 Total = 0;
    qint64 Upcoming = 0;
    qint64 OnAir = 0;
    qint64 LessThan = 0;
    qint64 OnHold = 0;
    qint64 Interrupted = 0;
    qint64 Completed = 0;
    qint64 Completed2 = 0;
    qint64 Problem = 0;
    qint64 percent = 0;
    int bar = 0;

    // "50 % Completed"
    QByteArray percentText() const;
    // The number labels in the strip's order: Total, Upcoming, On-Air, Less Than,
    // On Hold, Interrupted, Completed (without the second count), Problem.
    std::array<QByteArray, 8> numberTexts() const;
};

// Percentage of done events: Done / Total x 100 rounded to the nearest whole number,
// halves to even (12.5 gives 12, 37.5 gives 38); 0 when Total is 0 or less.
qint64 dashBoardPercent(qint64 done, qint64 total);

// Adds up the counters of the shown head ends 1..12 of a table indexed by head end;
// entries the table does not have count as zeros.
DashBoardFigures sumDashBoard(const std::array<bool, MaxHeadEnds + 1> &showHE,
                              std::span<const DashBoardCounts> table);
// The same over the receive path's tables: today's counts or those of all events.
DashBoardFigures sumDashBoard(const std::array<bool, MaxHeadEnds + 1> &showHE, bool showToday);

} // namespace vek
