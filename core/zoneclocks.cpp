#include "zoneclocks.h"

namespace vek {

std::array<QDateTime, ZoneCount> &ZoneTimes()
{
    static std::array<QDateTime, ZoneCount> zones;
    return zones;
}

} // namespace vek
