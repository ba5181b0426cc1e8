#pragma once

#include <QDateTime>

namespace vek {

// When each head end's Hardware Server last sent anything, in UTC (head end 1..12; an
// invalid time before the first arrival), for the server status window.
void noteArrival(int headEnd);
QDateTime lastArrival(int headEnd);

} // namespace vek
