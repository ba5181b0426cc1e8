#include "linkactivity.h"
#include "moduleresets.h"

#include <array>

#include "platform/clock.h"
#include "settings.h"

namespace vek {

namespace {
std::array<QDateTime, MaxHeadEnds + 1> &arrivals()
{
    static std::array<QDateTime, MaxHeadEnds + 1> a;
    return a;
}
} // namespace

void noteArrival(int headEnd)
{
    if (validHeadEnd(headEnd))
        // Once per answer: UTC needs no time-zone lookup.
        arrivals()[size_t(headEnd)] = Clock::current().nowUtc();
}

QDateTime lastArrival(int headEnd)
{
    return validHeadEnd(headEnd) ? arrivals()[size_t(headEnd)] : QDateTime();
}

void resetLinkActivity()
{
    arrivals().fill(QDateTime());
}

} // namespace vek
