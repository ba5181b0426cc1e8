// The receive path with the console's state behind it: a run is a burst of arrivals from
// three head ends (answers with or without a matching header, split event messages,
// timer ticks between them). Nothing may crash, and what a peer sends stays bounded.
// Every run starts from a fresh console.

#include <fuzzer/FuzzedDataProvider.h>

#include "core/channeltable.h"
#include "core/consolestate.h"
#include "core/linkhost.h"
#include "core/receivepath.h"
#include "core/receivestate.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "fuzzsupport.h"

namespace {

constexpr int HeadEnds = 3;
constexpr int MaxMessages = 48;

// Timers are not run; a split event waits until the run flushes it.
class QuietHost : public vek::LinkHost
{
public:
    void restartResendTimer(int) override {}
    void stopResendTimer(int) override {}
    void restartUpdateTimer() override {}
    void restartDashBoardTimer() override {}
    void startEventWait(int) override {}
    vek::ConsoleUi *ui() override { return nullptr; }
};

void setUpConsole()
{
    static QuietHost host;
    vek::setLinkHost(&host);
    vek::Settings &s = vek::settings();
    const qint16 channels[HeadEnds + 1] = {0, 255, 16, 0};
    // List 40 cannot be flagged in a poll reply: its rule fails.
    const qint16 lists[HeadEnds + 1] = {0, 1, 17, 40};
    for (int he = 1; he <= HeadEnds; ++he) {
        s.HEName[he] = "HE" + QByteArray::number(he);
        s.HEChannels[he] = channels[he];
        s.HEListNo[he] = lists[he];
        s.HEAlarm[he] = he != 2;
        s.HEOnLine[he] = true;
    }
}

// A past refresh, so an event change refreshes through the timer instead of scanning the
// whole table in every run.
double recentRefresh()
{
    return vek::Clock::secondsSinceMidnight();
}

void checkBounds()
{
    for (int he = 1; he <= HeadEnds; ++he) {
        for (int level = 0; level <= vek::MaxRouterLevel; ++level)
            vekfuzz::require(vek::RTRBuffer(he, level).size() <= vek::MaxStatusText,
                             "router status text stays capped");
        for (int unit = 0; unit <= vek::MaxTmxUnit; ++unit)
            vekfuzz::require(vek::TMXBuffer(he, unit).size() <= vek::MaxStatusText,
                             "TMX status text stays capped");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    vekfuzz::setUp();
    vek::resetConsoleState();
    setUpConsole();
    vek::LastGridUpdate() = recentRefresh();

    FuzzedDataProvider in(data, size);
    int messages = 0;
    while (in.remaining_bytes() > 0 && messages < MaxMessages) {
        const auto op = in.ConsumeIntegral<uint8_t>();
        const int he = 1 + op % HeadEnds;
        const std::string body = in.ConsumeRandomLengthString(2048);
        QByteArray arrival(body.data(), static_cast<qsizetype>(body.size()));
        // Most real answers carry the header of the message in flight.
        if (op & 0x10)
            arrival.prepend(vek::LastSent(he).left(4));
        vek::wsHS_DataArrival(he, arrival);
        ++messages;
        switch (op >> 5) {
        case 1:
            vek::flushPartialEvent(he);
            break;
        case 2:
            vek::HSResendTick(he);
            break;
        case 3:
            vek::requestPendingDashBoards();
            break;
        case 4:
            // Rarely: it scans the head end's whole table.
            if ((op & 0x0f) == 0)
                vek::refreshPendingHeadEnds();
            break;
        default:
            break;
        }
    }
    checkBounds();
    return 0;
}
