#pragma once

#include <QDateTime>
#include <array>

namespace vek {

// The daylight-saving table: one period per year, 02:00 on the second Sunday of March to
// 02:00 on the first Sunday of November, in the PC's local wall time. Outside these years
// no period applies.
constexpr int DSTFirstYear = 2015;
constexpr int DSTLastYear = 2099;
constexpr int DSTYears = DSTLastYear - DSTFirstYear + 1;

using DSTTable = std::array<QDateTime, DSTYears>;

// Fills the daylight-saving table (start-up).
void LoadDSTTable();
// Entry i is the period of the year DSTFirstYear + i; wall times held with Qt::UTC.
const DSTTable &DSTStart();
const DSTTable &DSTEnd();

// The PC's standard bias as the zone clocks use it: 210, 240, 300, 360, 420 and 480
// stay, any other bias (a PC outside these zones) counts as Pacific, 480.
int normalisedBias(int bias);
// The normalised bias of the PC at a local date and time.
int PCBias(const QDateTime &localNow);

// Minutes to add to the PC's local time for the Saskatchewan clock (zone 6), which keeps
// standard time all year. The first form reads now from the clock.
int FixedZoneMinutes(int bias);
int FixedZoneMinutes(int bias, const QDateTime &localNow);
// Minutes to add to the PC's local time for the "No DST" clock 7 + k (k = 0..4; any
// other k counts as Mountain). The first form reads now from the clock.
int ZoneMinutes(int k, int bias);
int ZoneMinutes(int k, int bias, const QDateTime &localNow);

// Recomputes the twelve zone clocks (the 250 ms tick).
void updateZoneTimes();

} // namespace vek
