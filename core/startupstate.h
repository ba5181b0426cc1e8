#pragma once

#include <QString>

namespace vek {

// What start-up learned from the command line and the program's location, read by the
// windows that depend on it.

// "B": connected to the backup Hardware Servers.
bool &UseBackupServers();
// "IDE": no mouse-wheel hook.
bool &RunningInIDE();
// The executable's folder.
QString &AppPath();

} // namespace vek
