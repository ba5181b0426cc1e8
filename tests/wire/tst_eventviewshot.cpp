// A picture of Event View 1 fed by the demo scenario's three simulated head ends, for the
// README. Runs only when VEK_SCREENSHOT_DIR names the folder to save it in (under Xvfb
// with a real platform, e.g. QT_QPA_PLATFORM=xcb xvfb-run -a ...).

#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include "core/consolecore.h"
#include "core/eventtable.h"
#include "core/settings.h"
#include "core/ui/mdimain.h"
#include "core/users.h"
#include "eventview/eventlists.h"
#include "eventview/eventviews.h"
#include "eventview/frmview.h"
#include "testhome.h"
#include "testregistry.h"
#include "tools/hwsim/hwsim.h"

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
        TestHome home;
        QFile scn(QStringLiteral(VEK_TEST_DATA "/../../tools/hwsim/scenarios/demo.scn"));
        QVERIFY(scn.open(QIODevice::ReadOnly));
        QByteArray text = scn.readAll();
        for (const char *p : {"port=7901", "port=7902", "port=7903"})
            text.replace(p, "port=0");
        sim::HwSim sim;
        QString error;
        QVERIFY2(sim.loadScenarioText(text, &error) && sim.listenAll(&error), qPrintable(error));

        resetSettings();
        resetUsers();
        resetEvents();
        Settings &s = settings();
        const char *const names[] = {"", "Toronto North", "Ottawa East", "Winnipeg"};
        for (int he = 1; he <= 3; ++he) {
            s.HEOnLine[he] = true;
            s.HEName[he] = names[he];
            s.HEMainIP[he] = "127.0.0.1";
            s.HEPort[he] = QByteArray::number(sim.port(he));
            s.HEChannels[he] = 32;
        }
        QVERIFY(SaveSettings());
        users().UserName[1] = QStringLiteral("Admin");
        users().UserPass[1] = QStringLiteral("admin1");
        users().UserPrivilege[1] = 3;
        QVERIFY(SaveUsers());

        MDIMain window;
        ConsoleCore core(&window);
        window.attach(&core);
        installEventViewOpener(&window);
        window.resize(1280, 800);
        window.show();
        core.MDIForm_Load(QStringLiteral("M"));
        QVERIFY(!window.ended());
        if (window.loginWindow())
            window.loginWindow()->close();

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
        qobject_cast<QMdiSubWindow *>(view->parentWidget())->showMaximized();
        view->StatusBar1_PanelClick(16);
        view->headerDblClick(ListUpcoming, 8);
        // The dashboard counts come 2 s after the last event change.
        QTest::qWait(4500);
        QVERIFY(window.grab().save(dir + QStringLiteral("/event-view.png")));
    }
};

VEK_TEST(TestEventViewShot)
#include "tst_eventviewshot.moc"
