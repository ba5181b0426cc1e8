#pragma once

#include <QSize>
#include <QString>

#include "tools/hwsim/hwsim.h"

namespace vek {
class ConsoleCore;
class MDIMain;
} // namespace vek

// The demo scenario's three head ends served by a simulator in this process on free ports,
// with VEK.INI and USER.INI of the data folder pointing at them.
class DemoServers
{
public:
    DemoServers();

    // Starts the console in window (without the time socket, arguments as on its command
    // line); false, with error set, when start-up ended the program.
    bool startConsole(vek::MDIMain &window, vek::ConsoleCore &core, const QSize &size,
                      const QString &arguments = QStringLiteral("M"));
    // Closes the login window, as an operator who is not logging in yet would.
    static void closeLogin(vek::MDIMain &window);
    // Events in the table of the first three head ends.
    static int events();

    bool ok = false;
    QString error;

private:
    vek::sim::HwSim m_sim;
};
