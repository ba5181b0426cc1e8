#pragma once

#include <QString>

namespace vek {

// The folder of VEK.INI, USER.INI and the daily logs: $VEK_HOME when set, else the
// folder of the executable.
QString dataFolder();
QString dataFilePath(const QString &fileName);

} // namespace vek
