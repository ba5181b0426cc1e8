#pragma once

#include <QtGlobal>

namespace vek {

constexpr int ViewCount = 8;

// Threshold N of status 5 ("less than N minutes to air"): 30 at start, then the value
// the Hardware Server's minutes message sends.
qint16 &LessThanMinutes();

// GridDirty(view, head end): view 1..8 must rebuild the lists of that head end; head end
// 0 asks the view to refresh its menus (a login or logout).
bool &GridDirty(int view, int headEnd);

// Every receive-path flag back to its start value (tests).
void resetReceiveState();

} // namespace vek
