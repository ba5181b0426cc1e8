// A picture of Event View 1 fed by the demo scenario's three simulated head ends, for the
// README. Runs only when VEK_SCREENSHOT_DIR names the folder to save it in (under Xvfb
// with a real platform, e.g. QT_QPA_PLATFORM=xcb xvfb-run -a ...).

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include "core/consolecore.h"
#include "core/eventtable.h"
#include "core/settings.h"
#include "core/ui/mdimain.h"
#include "core/users.h"
#include "demoservers.h"
#include "eventview/eventlists.h"
#include "eventview/eventviews.h"
#include "eventview/frmview.h"
#include "testregistry.h"

using namespace vek;

class TestEventViewShot : public QObject
{
    Q_OBJECT
private slots:
    void eventViewOfThreeHeadEnds()
    {
        const QString dir = qEnvironmentVariable("VEK_SCREENSHOT_DIR");
        if (dir.isEmpty())
            QSKIP("VEK_SCREENSHOT_DIR is not set");
        DemoServers demo;
        QVERIFY2(demo.ok, qPrintable(demo.error));

        MDIMain window;
        ConsoleCore core(&window);
        installEventViewOpener(&window);
        QVERIFY(DemoServers::startConsole(window, core, QSize(1280, 800)));

        auto events = [] {
            int n = 0;
            for (int he = 1; he <= 3; ++he) {
                for (int slot = 0; slot < 100; ++slot)
                    n += Events().at(he, slot).InUse ? 1 : 0;
            }
            return n;
        };
        QVERIFY(QTest::qWaitFor([&] { return events() >= 30; }, 15000));
        frmView *view = EventViews()[1];
        QVERIFY(view);
        // The window at the size it opens at.
        view->StatusBar1_PanelClick(16);
        view->headerDblClick(ListUpcoming, 8);
        // The dashboard counts come 2 s after the last event change.
        QTest::qWait(4500);
        QVERIFY(window.grab().save(dir + QStringLiteral("/event-view.png")));
    }
};

VEK_TEST(TestEventViewShot)
#include "tst_eventviewshot.moc"
