#pragma once

#include <vector>

// The main thread's busy stretches: from the return of one wait for events (a poll call of
// the event loop, whatever its dispatcher) to the start of the next. Nothing that arrives in
// a stretch is read before it ends, so its length is what an operator's click waits for.
namespace vekbench {

// Starts noting stretches of the calling thread, forgetting those noted before.
void watchStretches();
// Stops noting; the stretches noted since watchStretches(), in ms.
std::vector<double> stopWatchingStretches();

} // namespace vekbench
