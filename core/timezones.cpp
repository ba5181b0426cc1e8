#include "timezones.h"
#include "moduleresets.h"

#include "platform/clock.h"
#include "platform/timezonebias.h"
#include "zoneclocks.h"

namespace vek {

namespace {
struct DSTPeriods
{
    DSTTable start;
    DSTTable end;
};

DSTPeriods &periods()
{
    static DSTPeriods p;
    return p;
}

// Zone arithmetic is plain wall-clock arithmetic: a value held with Qt::UTC never meets a
// daylight-saving gap of the PC's own zone.
QDateTime wallClock(const QDateTime &local)
{
    return QDateTime(local.date(), local.time(), Qt::UTC);
}

QDate nthSunday(int year, int month, int n)
{
    const QDate first(year, month, 1);
    return first.addDays((7 - first.dayOfWeek()) % 7 + 7 * (n - 1));
}

int tableIndex(const QDateTime &wall)
{
    return wall.date().year() - DSTFirstYear;
}

// The year's period when there is one; a period never spans a new year.
bool periodOf(const QDateTime &wall, QDateTime &start, QDateTime &end)
{
    const int i = tableIndex(wall);
    if (i < 0 || i >= DSTYears)
        return false;
    start = periods().start[static_cast<size_t>(i)];
    end = periods().end[static_cast<size_t>(i)];
    return start.isValid() && end.isValid();
}

// Standard offsets from the PC's bias for zones 0..5 (Pacific .. Newfoundland).
constexpr std::array<int, 6> followingZones = {480, 420, 360, 300, 240, 210};
} // namespace

void LoadDSTTable()
{
    for (int i = 0; i < DSTYears; ++i) {
        const int year = DSTFirstYear + i;
        periods().start[static_cast<size_t>(i)] =
            QDateTime(nthSunday(year, 3, 2), QTime(2, 0), Qt::UTC);
        periods().end[static_cast<size_t>(i)] =
            QDateTime(nthSunday(year, 11, 1), QTime(2, 0), Qt::UTC);
    }
}

void resetDSTTable()
{
    periods().start.fill(QDateTime());
    periods().end.fill(QDateTime());
}

const DSTTable &DSTStart()
{
    return periods().start;
}

const DSTTable &DSTEnd()
{
    return periods().end;
}

int normalisedBias(int bias)
{
    switch (bias) {
    case 210:
    case 240:
    case 300:
    case 360:
    case 420:
    case 480:
        return bias;
    default:
        return 480;
    }
}

int PCBias(const QDateTime &localNow)
{
    return normalisedBias(TimeZoneBias::current().standardBias(localNow));
}

int FixedZoneMinutes(int bias)
{
    return FixedZoneMinutes(bias, Clock::localNow());
}

int FixedZoneMinutes(int bias, const QDateTime &localNow)
{
    // The period is tested at Central standard time, the zone's own reading.
    const QDateTime t = wallClock(localNow).addSecs(qint64(bias - 360) * 60);
    QDateTime start, end;
    const bool inPeriod = periodOf(t, start, end) && start <= t && t < end;
    return inPeriod ? bias - 420 : bias - 360;
}

int ZoneMinutes(int k, int bias)
{
    return ZoneMinutes(k, bias, Clock::localNow());
}

int ZoneMinutes(int k, int bias, const QDateTime &localNow)
{
    int daylight = 480;
    int standard = 420;
    switch (k) {
    case 0:
        daylight = 540, standard = 480;
        break;
    case 1:
        daylight = 480, standard = 420;
        break;
    case 2:
        daylight = 420, standard = 360;
        break;
    case 3:
        daylight = 360, standard = 300;
        break;
    case 4:
        daylight = 300, standard = 240;
        break;
    default:
        break;
    }
    // Strictly inside: at 02:00:00 of the start day the PC still counts standard time.
    const QDateTime now = wallClock(localNow);
    QDateTime start, end;
    const bool inPeriod = periodOf(now, start, end) && start < now && now < end;
    return inPeriod ? bias - daylight : bias - standard;
}

void updateZoneTimes()
{
    // One reading of now for all twelve clocks, so they never disagree by a tick.
    const QDateTime localNow = Clock::localNow();
    const QDateTime now = wallClock(localNow);
    const int bias = PCBias(localNow);
    auto &zones = ZoneTimes();
    for (size_t z = 0; z < followingZones.size(); ++z)
        zones[z] = now.addSecs(qint64(bias - followingZones[z]) * 60);
    zones[6] = now.addSecs(qint64(FixedZoneMinutes(bias, localNow)) * 60);
    for (int k = 0; k < 5; ++k)
        zones[static_cast<size_t>(7 + k)] =
            now.addSecs(qint64(ZoneMinutes(k, bias, localNow)) * 60);
}

} // namespace vek
