// Pictures of the settings dialogs, the colour legend and the about box, over three head
// ends and two users.

#include "core/settings.h"
#include "core/ui/mdimain.h"
#include "core/users.h"
#include "pictures.h"
#include "scenes.h"
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

using namespace vek;

namespace {

// Three head ends, view names, as-run comments, an administrator and an operator.
void setUp()
{
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
}

bool sitesScene(Pictures &pictures)
{
    setUp();
    return pictures.saveAndDelete(new frmSetSites, QStringLiteral("frmsetsites"));
}
VEK_SCENE("frmsetsites", sitesScene)

bool usersScene(Pictures &pictures)
{
    setUp();
    return pictures.saveAndDelete(new frmSetUsers, QStringLiteral("frmsetusers"));
}
VEK_SCENE("frmsetusers", usersScene)

bool timeScene(Pictures &pictures)
{
    setUp();
    return pictures.saveAndDelete(new frmSetTime, QStringLiteral("frmsettime"));
}
VEK_SCENE("frmsettime", timeScene)

bool nicsScene(Pictures &pictures)
{
    setUp();
    return pictures.saveAndDelete(new frmSetNics, QStringLiteral("frmsetnics"));
}
VEK_SCENE("frmsetnics", nicsScene)

bool colourSettingsScene(Pictures &pictures)
{
    setUp();
    return pictures.saveAndDelete(new frmSetColor, QStringLiteral("frmsetcolor"));
}
VEK_SCENE("frmsetcolor", colourSettingsScene)

bool colourLegendScene(Pictures &pictures)
{
    setUp();
    return pictures.saveAndDelete(new frmColor, QStringLiteral("frmcolor"));
}
VEK_SCENE("frmcolor", colourLegendScene)

bool viewNamesScene(Pictures &pictures)
{
    setUp();
    MDIMain main;
    return pictures.saveAndDelete(new frmSetNames(&main), QStringLiteral("frmsetnames"));
}
VEK_SCENE("frmsetnames", viewNamesScene)

bool asRunCommentsScene(Pictures &pictures)
{
    setUp();
    return pictures.saveAndDelete(new frmSetAsRun, QStringLiteral("frmsetasrun"));
}
VEK_SCENE("frmsetasrun", asRunCommentsScene)

bool qualityControlScene(Pictures &pictures)
{
    setUp();
    return pictures.saveAndDelete(new frmSetQC, QStringLiteral("frmsetqc"));
}
VEK_SCENE("frmsetqc", qualityControlScene)

bool aboutScene(Pictures &pictures)
{
    setUp();
    return pictures.saveAndDelete(new frmAbout, QStringLiteral("frmabout"));
}
VEK_SCENE("frmabout", aboutScene)

} // namespace
