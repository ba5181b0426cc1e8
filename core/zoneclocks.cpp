#include "zoneclocks.h"
#include "moduleresets.h"

namespace vek {

namespace {
const std::array<const char *, ZoneCount> zoneNames = {
    "Pacific",         "Mountain",       "Central",        "Eastern",
    "Atlantic",        "Newfoundland",   "Saskatchewan",   "Pacific No DST",
    "Mountain No DST", "Central No DST", "Eastern No DST", "Atlantic No DST"};
} // namespace

std::array<QDateTime, ZoneCount> &ZoneTimes()
{
    static std::array<QDateTime, ZoneCount> zones;
    return zones;
}

QByteArray ZoneName(int zone)
{
    if (zone < 0 || zone >= ZoneCount)
        return {};
    return zoneNames[static_cast<size_t>(zone)];
}

void resetZoneTimes()
{
    ZoneTimes().fill(QDateTime());
}

} // namespace vek
