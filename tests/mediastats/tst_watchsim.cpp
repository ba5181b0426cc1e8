// The watched folder end to end: a file dropped into it reaches the simulated Hardware
// Server as event messages over a real loopback connection.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include "core/consolecore.h"
#include "core/eventtext.h"
#include "core/hslink.h"
#include "core/hssocket.h"
#include "core/receivepath.h"
#include "core/sendpath.h"
#include "mediastats/watchedfolder.h"
#include "msfixture.h"
#include "quietwindows.h"
#include "samples.h"
#include "testregistry.h"
#include "tools/hwsim/hwsim.h"
#include "waituntil.h"

using namespace vek;
using namespace samples;

class TestWatchSim : public QObject
{
    Q_OBJECT
private slots:
    void aDroppedFileReachesTheServerAndIsDeleted()
    {
        MsFixture f;
        resetSendPath();
        resetReceiveState();
        resetReceivePath();
        sim::HwSim simulator;
        QString error;
        QVERIFY2(simulator.loadScenarioText("headend 1 zone=4 minutes=30 list=1\n", &error) &&
                     simulator.listenAll(&error),
                 qPrintable(error));
        Settings &s = settings();
        s.HEOnLine[1] = true;
        s.HEMainIP[1] = "127.0.0.1";
        s.HEPort[1] = QByteArray::number(simulator.port(1));
        s.HEListNo[1] = 1;
        s.HERetryMS[1] = 50;
        // Head end 2 shares the C.O. number but is off line: nothing is queued for it.
        s.HEMediaStatsCO[2] = "1000";
        s.AutoLoadCSV = true;
        f.setZoneNow(f.clock.now());

        QuietWindows windows;
        ConsoleCore core(&windows);
        WatchedFolder folder;
        core.setFolderWatcher([&] { return folder.tick(); });
        core.hsLink().setRetryIntervals();
        core.hsLink().connectHeadEnds(false);
        QVERIFY(waitUntil(
            [&] { return core.hsLink().socket(1) && core.hsLink().socket(1)->isConnected(); }));
        core.hsLink().start();

        CsvRow a, b;
        a.description = "First drop";
        b.description = "Second drop";
        b.id = "MP-7";
        f.writeSettled("drop.csv", csvFile({a.line(), b.line()}));
        f.clock.advanceMs(60000);
        f.setZoneNow(f.clock.now().addSecs(-60));
        core.timeWatch_Timer();
        QCOMPARE(core.timeWatchInterval(), 60000);
        QVERIFY(!QFile::exists(f.home.path("drop.csv")));

        QList<QByteArray> bodies;
        QVERIFY(waitUntil([&] {
            bodies.clear();
            for (const sim::TraceLine &l : simulator.trace()) {
                if (l.headEnd == 1 && l.direction == "in" && l.bytes.mid(4).startsWith('Q'))
                    bodies += l.bytes.mid(4);
            }
            return bodies.size() >= 2;
        }));
        QCOMPARE(bodies.size(), 2);
        const EventRec first = ParseEvent(bodies.at(0).mid(1));
        const EventRec second = ParseEvent(bodies.at(1).mid(1));
        QCOMPARE(first.Description, QByteArray("First drop"));
        QCOMPARE(first.EventKey.left(16), QByteArray("2403051001001001"));
        QCOMPARE(second.Description, QByteArray("Second drop"));
        QCOMPARE(second.MediaPointID, QByteArray("MP-7"));
        QCOMPARE(second.EventKey.left(16), QByteArray("2403051001001002"));
        QVERIFY(matchesGolden("watch.q", bodies.join('\n') + '\n'));
        QVERIFY(waitUntil([&] { return simulator.event(1, first.EventKey).has_value(); }));
        QCOMPARE(winQueueSize(2), 0);
    }
};

VEK_TEST(TestWatchSim)
#include "tst_watchsim.moc"
