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
    return localNow().time().msecsSinceStartOfDay() / 1000.0;
}

} // namespace vek
