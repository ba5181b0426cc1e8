#pragma once

namespace vek {

// Returns every module table of the console to its start state, as at a fresh start:
// nobody logged in, no events, channels, queued messages or settings read. The tests
// begin each case from here.
void resetConsoleState();

// A library above core whose module keeps a table of its own registers the reset of it
// here (once, at static initialisation), so the call above reaches it without core
// knowing the library. Returns true, for use as a static initialiser.
bool registerStateReset(void (*reset)());

} // namespace vek
