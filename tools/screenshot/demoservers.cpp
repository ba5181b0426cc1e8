#include "demoservers.h"

#include <QFile>

#include "core/consolecore.h"
#include "core/eventtable.h"
#include "core/settings.h"
#include "core/ui/frmlogin.h"
#include "core/ui/mdimain.h"
#include "core/users.h"

using namespace vek;

DemoServers::DemoServers()
{
    QFile scn(QStringLiteral(VEK_DEMO_SCENARIO));
    if (!scn.open(QIODevice::ReadOnly)) {
        error = scn.errorString();
        return;
    }
    QByteArray text = scn.readAll();
    for (const char *p : {"port=7901", "port=7902", "port=7903"})
        text.replace(p, "port=0");
    if (!m_sim.loadScenarioText(text, &error) || !m_sim.listenAll(&error))
        return;

    Settings &s = settings();
    const char *const names[] = {"", "Toronto North", "Ottawa East", "Winnipeg"};
    for (int he = 1; he <= 3; ++he) {
        s.HEOnLine[he] = true;
        s.HEName[he] = names[he];
        s.HEMainIP[he] = "127.0.0.1";
        s.HEBackupIP[he] = "127.0.0.1";
        s.HEPort[he] = QByteArray::number(m_sim.port(he));
        s.HEChannels[he] = 32;
    }
    users().UserName[1] = QStringLiteral("Admin");
    users().UserPass[1] = QStringLiteral("admin1");
    users().UserPrivilege[1] = PrivilegeAdmin;
    ok = SaveSettings() && SaveUsers();
    if (!ok)
        error = QStringLiteral("settings or users not saved");
}

bool DemoServers::startConsole(MDIMain &window, ConsoleCore &core, const QSize &size,
                               const QString &arguments)
{
    window.attach(&core);
    window.resize(size);
    window.show();
    core.MDIForm_Load(arguments);
    if (window.ended()) {
        error = QStringLiteral("the console ended at start-up");
        return false;
    }
    return true;
}

void DemoServers::closeLogin(MDIMain &window)
{
    if (window.loginWindow())
        window.loginWindow()->close();
}

int DemoServers::events()
{
    int n = 0;
    for (int he = 1; he <= 3; ++he) {
        for (int slot = 0; slot < 100; ++slot)
            n += Events().at(he, slot).InUse ? 1 : 0;
    }
    return n;
}
