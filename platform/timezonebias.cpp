#include "timezonebias.h"

namespace vek {

namespace {
const SystemTimeZoneBias systemBias;
const TimeZoneBias *installed = nullptr;

int biasOf(const QTimeZone &zone, const QDateTime &at)
{
    // standardTimeOffset is seconds east of UTC; the bias counts minutes west.
    const QDateTime instant = at.isValid() ? at : QDateTime::currentDateTime();
    return -zone.standardTimeOffset(instant) / 60;
}
} // namespace

const TimeZoneBias &TimeZoneBias::current()
{
    return installed ? *installed : systemBias;
}

void TimeZoneBias::install(const TimeZoneBias *bias)
{
    installed = bias;
}

int ZoneTimeZoneBias::standardBias(const QDateTime &at) const
{
    return biasOf(m_zone, at);
}

int SystemTimeZoneBias::standardBias(const QDateTime &at) const
{
    return biasOf(QTimeZone::systemTimeZone(), at);
}

} // namespace vek
