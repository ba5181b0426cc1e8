#pragma once

#include <QtGlobal>

namespace vek {

// Threshold N of status 5 ("less than N minutes to air"): 30 at start, then the value
// the Hardware Server's minutes message sends.
qint16 &LessThanMinutes();

} // namespace vek
