#include <QDir>
#include <QPointer>
#include <QTabWidget>
#include <QTest>

#include "core/receivestate.h"
#include "core/settings.h"
#include "core/ui/mdimain.h"
#include "core/users.h"
#include "settings/frmabout.h"
#include "settings/frmcolor.h"
#include "settings/frmsetasrun.h"
#include "settings/frmsetcolor.h"
#include "settings/frmsetnames.h"
#include "settings/frmsetnics.h"
#include "settings/frmsetqc.h"
#include "settings/frmsetsites.h"
#include "settings/frmsettime.h"
#include "settings/frmsetusers.h"
#include "testregistry.h"
#include "windowshot.h"

using namespace vek;

// Pictures of the settings dialogs and the colour legend for the documentation: only when
// VEK_SCREENSHOT_DIR names the folder to write them to (run under a real display server,
// e.g. xvfb-run).
class TestSettingsShots : public QObject
{
    Q_OBJECT
private slots:
    void saveScreenshots()
    {
        const QString folder = qEnvironmentVariable("VEK_SCREENSHOT_DIR");
        if (folder.isEmpty())
            QSKIP("VEK_SCREENSHOT_DIR not set");
        QDir().mkpath(folder);
        resetSettings();
        resetUsers();
        resetReceiveState();
        Settings &s = settings();
        const char *const names[3] = {"Calgary North", "Calgary South", "Red Deer"};
        for (int n = 1; n <= 3; ++n) {
            s.HEName[size_t(n)] = names[n - 1];
            s.HEOnLine[size_t(n)] = true;
        }
        s.HEShortName[1] = "CGN";
        s.HEMainIP[1] = "10.10.1.20";
        s.HEBackupIP[1] = "10.10.2.20";
        s.ViewName[1] = "Master Control";
        s.ViewName[2] = "Sports";
        s.AsRunComment[1] = "Started late";
        s.AsRunComment[2] = "Signal lost at the head end";
        s.AsRunComment[3] = "Operator switched by hand";
        Users &u = users();
        u.UserName[1] = QStringLiteral("Admin");
        u.UserPass[1] = QStringLiteral("admin1");
        u.UserPrivilege[1] = PrivilegeAdmin;
        u.UserName[2] = QStringLiteral("Operator");
        u.UserPass[2] = QStringLiteral("oper1");
        u.UserPrivilege[2] = PrivilegeOperator;
        for (int i = 1; i <= MaxUsers; ++i) {
            if (i > 2)
                u.UserPrivilege[size_t(i)] = PrivilegeNone;
            for (int he = 1; he <= MaxHeadEnds; ++he)
                u.UserHEAccess[size_t(i)][size_t(he)] = i <= 2 && (i == 1 || he <= 3);
        }

        saveWindowShot(new frmSetSites, folder + QStringLiteral("/frmsetsites.png"));
        saveWindowShot(new frmSetUsers, folder + QStringLiteral("/frmsetusers.png"));
        saveWindowShot(new frmSetTime, folder + QStringLiteral("/frmsettime.png"));
        saveWindowShot(new frmSetNics, folder + QStringLiteral("/frmsetnics.png"));
        saveWindowShot(new frmSetColor, folder + QStringLiteral("/frmsetcolor.png"));
        saveWindowShot(new frmColor, folder + QStringLiteral("/frmcolor.png"));
        MDIMain main;
        saveWindowShot(new frmSetNames(&main), folder + QStringLiteral("/frmsetnames.png"));
        saveWindowShot(new frmSetAsRun, folder + QStringLiteral("/frmsetasrun.png"));
        saveWindowShot(new frmSetQC, folder + QStringLiteral("/frmsetqc.png"));
        saveWindowShot(new frmAbout, folder + QStringLiteral("/frmabout.png"));
    }
};

VEK_TEST(TestSettingsShots)
#include "tst_settingsshots.moc"
