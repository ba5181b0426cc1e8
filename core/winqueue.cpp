#include "winqueue.h"
#include "moduleresets.h"

#include <algorithm>
#include <array>
#include <deque>

#include "eventtable.h"
#include "linkhost.h"
#include "log.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "settings.h"

namespace vek {

namespace {

struct WinState
{
    std::array<std::deque<QByteArray>, MaxHeadEnds + 1> queue;
    std::array<bool, MaxHeadEnds + 1> queued{};
};

WinState &state()
{
    static WinState s;
    return s;
}

// Statuses whose events have not gone to air: problem, active, on hold, less than N.
bool removable(quint8 status)
{
    return status == StatusProblem || status == StatusActive || status == StatusOnHold ||
           status == StatusLessThan;
}

} // namespace

void WINADD(const QByteArray &msg, int headEnd)
{
    try {
        if (!validHeadEnd(headEnd))
            throw Failure(ErrorKind::SubscriptOutOfRange);
        state().queued[headEnd] = true;
        // A blank message is a free entry: it would never be handed out.
        if (std::all_of(msg.begin(), msg.end(), [](char c) { return c == ' '; }))
            return;
        state().queue[headEnd].push_back(msg);
        if (LinkHost *host = linkHost())
            host->sendDue();
    } catch (const Failure &f) {
        logError("Error WINADD)", f);
    }
}

QByteArray WINGET(int headEnd)
{
    if (!validHeadEnd(headEnd))
        return {};
    std::deque<QByteArray> &q = state().queue[headEnd];
    if (q.empty()) {
        state().queued[headEnd] = false;
        return {};
    }
    QByteArray m = std::move(q.front());
    q.pop_front();
    return m;
}

void WINREMOVE(int headEnd, const QByteArray &id)
{
    if (id.isEmpty() || !validHeadEnd(headEnd))
        return;
    const QByteArray wanted = trimBlanks(id);
    for (int slot = 0; slot < EventTable::Slots; ++slot) {
        const EventRec &r = Events().at(headEnd, slot);
        if (r.InUse && trimBlanks(r.MediaPointID) == wanted && removable(r.Status))
            WINADD(QByteArray(1, '\x0c') + r.EventKey, headEnd);
    }
}

bool WinQueued(int headEnd)
{
    return validHeadEnd(headEnd) && state().queued[headEnd];
}

int winQueueSize(int headEnd)
{
    return validHeadEnd(headEnd) ? static_cast<int>(state().queue[headEnd].size()) : 0;
}

void resetWinQueue()
{
    state() = WinState();
}

} // namespace vek
