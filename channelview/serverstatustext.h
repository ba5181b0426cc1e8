#pragma once

#include <QDateTime>
#include <QString>

namespace vek {

// What the server status window shows for a head end: off line, connecting, a
// communication problem, or connected with the seconds since its server last answered.
QString serverStatusText(int headEnd, const QDateTime &now);

} // namespace vek
