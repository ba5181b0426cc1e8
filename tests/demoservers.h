#pragma once

// The demo scenario's three head ends served by a simulator on free ports, with VEK.INI and
// USER.INI of a fresh data folder pointing at them, for the README's pictures.

#include <QFile>
#include <QTest>

#include "core/consolecore.h"
#include "core/eventtable.h"
#include "core/settings.h"
#include "core/ui/mdimain.h"
#include "core/users.h"
#include "testhome.h"
#include "tools/hwsim/hwsim.h"

class DemoServers
{
public:
    DemoServers()
    {
        QFile scn(QStringLiteral(VEK_TEST_DATA "/../../tools/hwsim/scenarios/demo.scn"));
        if (!scn.open(QIODevice::ReadOnly)) {
            error = scn.errorString();
            return;
        }
        QByteArray text = scn.readAll();
        for (const char *p : {"port=7901", "port=7902", "port=7903"})
            text.replace(p, "port=0");
        if (!sim.loadScenarioText(text, &error) || !sim.listenAll(&error))
            return;

        vek::resetSettings();
        vek::resetUsers();
        vek::resetEvents();
        vek::Settings &s = vek::settings();
        const char *const names[] = {"", "Toronto North", "Ottawa East", "Winnipeg"};
        for (int he = 1; he <= 3; ++he) {
            s.HEOnLine[he] = true;
            s.HEName[he] = names[he];
            s.HEMainIP[he] = "127.0.0.1";
            s.HEPort[he] = QByteArray::number(sim.port(he));
            s.HEChannels[he] = 32;
        }
        vek::users().UserName[1] = QStringLiteral("Admin");
        vek::users().UserPass[1] = QStringLiteral("admin1");
        vek::users().UserPrivilege[1] = 3;
        ok = vek::SaveSettings() && vek::SaveUsers();
        if (!ok)
            error = QStringLiteral("settings or users not saved");
    }

    // Starts the console in window from the demo's data folder, without the time socket, and
    // closes the login window; false when start-up ended the program.
    static bool startConsole(vek::MDIMain &window, vek::ConsoleCore &core, const QSize &size)
    {
        window.attach(&core);
        window.resize(size);
        window.show();
        core.MDIForm_Load(QStringLiteral("M"));
        if (window.ended())
            return false;
        if (window.loginWindow())
            window.loginWindow()->close();
        return true;
    }

    TestHome home;
    vek::sim::HwSim sim;
    bool ok = false;
    QString error;
};
