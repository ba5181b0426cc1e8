// Pictures of the console running against the demo scenario's simulated head ends. Run in
// the demo's zone (TZ=America/Halifax), so the head ends' clocks and the simulator's event
// times agree.

#include <QMdiSubWindow>
#include <QTabWidget>

#include "channelview/channelwindows.h"
#include "channelview/frmadmin.h"
#include "channelview/frmchanview.h"
#include "channelview/frmcvcont.h"
#include "channelview/frmserverstatus.h"
#include "core/channeltable.h"
#include "core/consolecore.h"
#include "core/eventtable.h"
#include "core/sendpath.h"
#include "core/ui/mdimain.h"
#include "demoservers.h"
#include "eventview/eventlists.h"
#include "eventview/eventviews.h"
#include "eventview/frmview.h"
#include "pictures.h"
#include "scenes.h"

using namespace vek;

namespace {

// The main window as it starts, the login window open (before the head ends' alarms
// come).
bool mainWindow(Pictures &pictures, const QString &arguments, const QString &name)
{
    DemoServers demo;
    if (!demo.ok)
        return Pictures::fail(demo.error);
    MDIMain window;
    ConsoleCore core(&window);
    if (!demo.startConsole(window, core, QSize(1024, 700), arguments))
        return Pictures::fail(demo.error);
    return pictures.saveFramed(&window, name);
}

bool mainWindowScene(Pictures &pictures)
{
    return mainWindow(pictures, QStringLiteral("M"), QStringLiteral("main-window"));
}
VEK_SCENE("main-window", mainWindowScene)

bool mainWindowBackupScene(Pictures &pictures)
{
    return mainWindow(pictures, QStringLiteral("B M"), QStringLiteral("main-window-backup"));
}
VEK_SCENE("main-window-backup", mainWindowBackupScene)

// Event View 1 at the size it opens at, the dashboard on, showing its On-Air list: the
// first head end's group 2 substituted now and then interrupted, so its rows show in the
// interrupted colour.
bool eventViewScene(Pictures &pictures)
{
    DemoServers demo;
    if (!demo.ok)
        return Pictures::fail(demo.error);
    MDIMain window;
    ConsoleCore core(&window);
    installEventViewOpener(&window);
    if (!demo.startConsole(window, core, QSize(1280, 800)))
        return Pictures::fail(demo.error);
    DemoServers::closeLogin(window);
    if (!Pictures::waitFor([] { return DemoServers::events() >= 30; }, 15000))
        return Pictures::fail(QStringLiteral("the demo's events did not come"));
    frmView *view = EventViews()[1];
    if (!view)
        return Pictures::fail(QStringLiteral("no Event View 1"));
    const auto groupOnAir = [](bool interrupted) {
        for (int slot = 0; slot < EventTable::Slots; ++slot) {
            const EventRec &e = Events().at(1, slot);
            if (e.InUse && e.GroupNo == 2 && e.Status >= StatusOnAir &&
                (e.Interrupted == 1) == interrupted)
                return true;
        }
        return false;
    };
    SendHS(1, QByteArray("]\x02", 2), 0); // substitute group 2 now
    if (!Pictures::waitFor([&] { return groupOnAir(false); }, 15000))
        return Pictures::fail(QStringLiteral("group 2 did not go on air"));
    SendHS(1, QByteArray("_\x02", 2), 0); // interrupt group 2
    if (!Pictures::waitFor([&] { return groupOnAir(true); }, 15000))
        return Pictures::fail(QStringLiteral("group 2 was not interrupted"));
    view->tabs()->setCurrentIndex(1);
    view->StatusBar1_PanelClick(16);
    // The dashboard counts come 2 s after the last event change.
    Pictures::wait(4500);
    return pictures.save(&window, QStringLiteral("event-view"));
}
VEK_SCENE("event-view", eventViewScene)

// The console with the Channel View of the first head end open, once its channels show
// each colour: substituted, pending, under 30 minutes and on backup.
struct ChannelDemo
{
    DemoServers demo;
    MDIMain window;
    ConsoleCore core{&window};
    frmChanView *view = nullptr;

    bool start()
    {
        if (!demo.ok)
            return Pictures::fail(demo.error);
        installChannelViewOpeners(&window);
        if (!demo.startConsole(window, core, QSize(800, 700)))
            return Pictures::fail(demo.error);
        DemoServers::closeLogin(window);
        window.menuWindow_Click(MenuWindow::ChannelView);
        view = chanView();
        if (!view)
            return Pictures::fail(QStringLiteral("no Channel View"));
        if (!Pictures::waitFor(
                [] {
                    return Channel(1, 4).OnBackup && Channel(1, 5).Substituted &&
                           Channel(1, 3).PendingSub && Channel(1, 8).Under30;
                },
                15000))
            return Pictures::fail(QStringLiteral("the demo's channel states did not come"));
        return true;
    }
};

bool channelViewScene(Pictures &pictures)
{
    ChannelDemo demo;
    if (!demo.start())
        return false;
    auto *sub = qobject_cast<QMdiSubWindow *>(demo.view->parentWidget());
    if (!sub)
        return Pictures::fail(QStringLiteral("the Channel View is not a sub-window"));
    // Wider than its first size, so the labels show whole.
    sub->resize(620, 520);
    Pictures::wait(1500);
    return pictures.save(sub, QStringLiteral("channel-view"));
}
VEK_SCENE("channel-view", channelViewScene)

// The control window of a substituted channel.
bool channelControlScene(Pictures &pictures)
{
    ChannelDemo demo;
    if (!demo.start())
        return false;
    demo.view->gridCV_DblClick(5, 1);
    frmCVCont *control = channelControl();
    if (!control)
        return Pictures::fail(QStringLiteral("no channel-control window"));
    const bool ok = pictures.save(control, QStringLiteral("frmcvcont"));
    control->cmdDONE_Click();
    return ok;
}
VEK_SCENE("frmcvcont", channelControlScene)

bool adminOptionsScene(Pictures &pictures)
{
    ChannelDemo demo;
    if (!demo.start())
        return false;
    frmAdmin *admin = openAdminOptions(&demo.window);
    const bool ok = pictures.save(admin, QStringLiteral("frmadmin"));
    admin->close();
    return ok;
}
VEK_SCENE("frmadmin", adminOptionsScene)

bool serverStatusScene(Pictures &pictures)
{
    ChannelDemo demo;
    if (!demo.start())
        return false;
    frmServerStatus *status = openServerStatus(&demo.window);
    // Its figures fill in on its first refresh.
    Pictures::wait(1000);
    return pictures.save(status, QStringLiteral("frmserverstatus"));
}
VEK_SCENE("frmserverstatus", serverStatusScene)

} // namespace
