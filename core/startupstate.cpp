#include "startupstate.h"
#include "moduleresets.h"

namespace vek {

namespace {
struct StartupState
{
    bool useBackupServers = false;
    bool runningInIDE = false;
    QString appPath;
};

StartupState &state()
{
    static StartupState s;
    return s;
}
} // namespace

bool &UseBackupServers()
{
    return state().useBackupServers;
}

bool &RunningInIDE()
{
    return state().runningInIDE;
}

QString &AppPath()
{
    return state().appPath;
}

void resetStartupState()
{
    state() = StartupState();
}

} // namespace vek
