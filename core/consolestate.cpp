#include "consolestate.h"

#include <vector>

#include "moduleresets.h"

namespace vek {

namespace {
std::vector<void (*)()> &registered()
{
    static std::vector<void (*)()> r;
    return r;
}
} // namespace

bool registerStateReset(void (*reset)())
{
    registered().push_back(reset);
    return true;
}

void resetConsoleState()
{
    // The libraries above core first: their tables describe core's (views of the event
    // table, the channel grid).
    for (void (*reset)() : registered())
        reset();
    // Then what is derived from a table before the table itself, and the settings, which
    // every other module reads, last.
    resetSession();
    resetSelection();
    resetEventIndex();
    resetEventKeys();
    resetEvents();
    resetChannelTable();
    resetReceivePath();
    resetReceiveState();
    resetSendPath();
    resetWinQueue();
    resetLinkActivity();
    resetZoneTimes();
    resetDSTTable();
    resetSystemOptions();
    resetStartupState();
    resetUsers();
    resetSettings();
    resetLogLimits();
}

} // namespace vek
