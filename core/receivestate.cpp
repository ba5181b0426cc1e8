#include "receivestate.h"

#include <array>

#include "platform/failure.h"

namespace vek {

namespace {
struct ReceiveState
{
    qint16 lessThanMinutes = 30;
    std::array<std::array<bool, 13>, ViewCount + 1> gridDirty{};
};

ReceiveState &state()
{
    static ReceiveState s;
    return s;
}
} // namespace

qint16 &LessThanMinutes()
{
    return state().lessThanMinutes;
}

bool &GridDirty(int view, int headEnd)
{
    if (view < 0 || view > ViewCount || headEnd < 0 || headEnd > 12)
        throw Failure(ErrorKind::SubscriptOutOfRange);
    return state().gridDirty[view][headEnd];
}

void resetReceiveState()
{
    state() = ReceiveState();
}

} // namespace vek
