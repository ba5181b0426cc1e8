#pragma once

// The reset of each core module's table. Only resetConsoleState() calls them, in its
// order: a table is never cleared on its own, so no module sees another half reset.
// Included by consolestate.cpp and by the modules that define them, nowhere else.

namespace vek {

void resetSession();
void resetSelection();
void resetEventIndex();
void resetEventKeys();
void resetEvents();
void resetChannelTable();
void resetReceivePath();
void resetReceiveState();
void resetSendPath();
void resetWinQueue();
void resetLinkActivity();
void resetZoneTimes();
void resetDSTTable();
void resetSystemOptions();
void resetStartupState();
void resetUsers();
void resetSettings();
void resetLogLimits();

} // namespace vek
