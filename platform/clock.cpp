#include "clock.h"

namespace vek {

namespace {
const SystemClock systemClock;
const Clock *installed = nullptr;
} // namespace

const Clock &Clock::current()
{
    return installed ? *installed : systemClock;
}

void Clock::install(const Clock *clock)
{
    installed = clock;
}

double Clock::secondsSinceMidnight()
{
    return current().secondsOfDay();
}

double SystemClock::secondsOfDay() const
{
    constexpr qint64 DayMs = 86400000;
    const qint64 utcMs = QDateTime::currentMSecsSinceEpoch();
    const qint64 minute = utcMs / 60000;
    if (minute != m_offsetMinute) {
        m_offsetMs = qint64(QDateTime::currentDateTime().offsetFromUtc()) * 1000;
        m_offsetMinute = minute;
    }
    return double(((utcMs + m_offsetMs) % DayMs + DayMs) % DayMs) / 1000.0;
}

} // namespace vek
