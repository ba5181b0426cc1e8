// A picture of the Channel View over the demo scenario's first head end, for the README.
// Runs only when VEK_SCREENSHOT_DIR names the folder to save it in (under Xvfb with a real
// platform, e.g. QT_QPA_PLATFORM=xcb xvfb-run -a ...), in the demo's zone (TZ=America/Halifax)
// so that the head end's clock and the simulator's event times agree.

#include <QMdiSubWindow>
#include <QTest>

#include "channelview/channelwindows.h"
#include "channelview/frmadmin.h"
#include "channelview/frmchanview.h"
#include "channelview/frmcvcont.h"
#include "channelview/frmserverstatus.h"
#include "core/channeltable.h"
#include "core/consolecore.h"
#include "core/settings.h"
#include "core/ui/mdimain.h"
#include "core/users.h"
#include "demoservers.h"
#include "testregistry.h"

using namespace vek;

class TestChanViewShot : public QObject
{
    Q_OBJECT
private slots:
    void channelViewOfTheFirstHeadEnd()
    {
        const QString dir = qEnvironmentVariable("VEK_SCREENSHOT_DIR");
        if (dir.isEmpty())
            QSKIP("VEK_SCREENSHOT_DIR is not set");
        DemoServers demo;
        QVERIFY2(demo.ok, qPrintable(demo.error));

        MDIMain window;
        ConsoleCore core(&window);
        installChannelViewOpeners(&window);
        QVERIFY(DemoServers::startConsole(window, core, QSize(800, 700)));
        window.menuWindow_Click(MenuWindow::ChannelView);
        frmChanView *view = chanView();
        QVERIFY(view);
        // Substituted, pending, under 30 minutes and on backup all show once the router
        // status and the events are in.
        QVERIFY(QTest::qWaitFor(
            [] {
                return Channel(1, 4).OnBackup && Channel(1, 5).Substituted &&
                       Channel(1, 3).PendingSub && Channel(1, 8).Under30;
            },
            15000));
        auto *sub = qobject_cast<QMdiSubWindow *>(view->parentWidget());
        QVERIFY(sub);
        // Wider than its first size, so the labels show whole.
        sub->resize(620, 520);
        QTest::qWait(1500);
        QVERIFY(sub->grab().save(dir + QStringLiteral("/channel-view.png")));

        // The other windows at their first size: the control window of a substituted
        // channel, the administrator options and the server status.
        view->gridCV_DblClick(5, 1);
        frmCVCont *control = channelControl();
        QVERIFY(control && QTest::qWaitForWindowExposed(control));
        QTest::qWait(300);
        QVERIFY(control->grab().save(dir + QStringLiteral("/frmcvcont.png")));
        control->cmdDONE_Click();
        frmAdmin *admin = openAdminOptions(&window);
        QVERIFY(QTest::qWaitForWindowExposed(admin));
        QTest::qWait(300);
        QVERIFY(admin->grab().save(dir + QStringLiteral("/frmadmin.png")));
        admin->close();
        frmServerStatus *status = openServerStatus(&window);
        QVERIFY(QTest::qWaitForWindowExposed(status));
        QTest::qWait(1200);
        QVERIFY(status->grab().save(dir + QStringLiteral("/frmserverstatus.png")));
    }
};

VEK_TEST(TestChanViewShot)
#include "tst_chanviewshot.moc"
