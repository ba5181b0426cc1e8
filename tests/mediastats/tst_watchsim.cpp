// The watched folder end to end: a file dropped into it reaches the simulated Hardware
// Server as event messages over a real loopback connection.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <memory>

#include "core/consolecore.h"
#include "core/eventtext.h"
#include "core/hslink.h"
#include "core/hssocket.h"
#include "core/receivepath.h"
#include "core/sendpath.h"
#include "mediastats/readlease.h"
#include "mediastats/watchedfolder.h"
#include "msfixture.h"
#include "quietwindows.h"
#include "samples.h"
#include "testregistry.h"
#include "tools/hwsim/hwsim.h"
#include "waituntil.h"

using namespace vek;
using namespace samples;

namespace {

// A console linked to simulated servers of head ends 1 and 2 (head end 2 shares head end
// 1's C.O. number), watching the folder for CSV files.
class SimConsole
{
public:
    SimConsole()
    {
        Settings &s = settings();
        s.HEName[2] = "South";
        s.HEMediaStatsCO[2] = "1000";
        s.AutoLoadCSV = true;
        f.setZoneNow(f.clock.now());
    }

    // Starts the servers of the head ends and connects them.
    bool start(const QList<int> &headEnds)
    {
        QString error;
        QByteArray scenario;
        for (int he : headEnds)
            scenario += "headend " + QByteArray::number(he) + " zone=4 minutes=30 list=1\n";
        if (!simulator.loadScenarioText(scenario, &error) || !simulator.listenAll(&error)) {
            qWarning("%s", qPrintable(error));
            return false;
        }
        for (int he : headEnds) {
            Settings &s = settings();
            s.HEOnLine[size_t(he)] = true;
            s.HEMainIP[size_t(he)] = "127.0.0.1";
            s.HEPort[size_t(he)] = QByteArray::number(simulator.port(he));
            s.HEListNo[size_t(he)] = 1;
            s.HERetryMS[size_t(he)] = 50;
        }
        core = std::make_unique<ConsoleCore>(&windows);
        core->setFolderWatcher([this] { return folder.tick(); });
        core->hsLink().setRetryIntervals();
        core->hsLink().connectHeadEnds(false);
        for (int he : headEnds) {
            if (!waitUntil([&] { return linked(he); }))
                return false;
        }
        core->hsLink().start();
        return true;
    }

    bool linked(int he) const
    {
        return core->hsLink().socket(he) && core->hsLink().socket(he)->isConnected();
    }

    // A tick of the watched folder, the given seconds after the last.
    void tick(int seconds = 10)
    {
        f.clock.advanceMs(seconds * 1000);
        core->timeWatch_Timer();
    }

    // The event messages the server of a head end received.
    QList<QByteArray> bodies(int he) const
    {
        QList<QByteArray> out;
        for (const sim::TraceLine &l : simulator.trace()) {
            if (l.headEnd == he && l.direction == "in" && l.bytes.mid(4).startsWith('Q'))
                out += l.bytes.mid(4);
        }
        return out;
    }

    // Waits until the server of a head end has received n event messages.
    bool received(int he, int n)
    {
        return waitUntil([&] { return bodies(he).size() >= n; }) && bodies(he).size() == n;
    }

    MsFixture f;
    sim::HwSim simulator;
    QuietWindows windows;
    // After the folder: it calls the folder until it goes.
    WatchedFolder folder;
    std::unique_ptr<ConsoleCore> core;
};

QByteArray twoRows()
{
    CsvRow a, b;
    a.description = "First drop";
    b.description = "Second drop";
    b.id = "MP-7";
    return csvFile({a.line(), b.line()});
}

} // namespace

class TestWatchSim : public QObject
{
    Q_OBJECT
private slots:
    void aDroppedFileReachesTheServerAndIsDeleted()
    {
        SimConsole c;
        // Head end 2 shares the C.O. number but is off line: nothing is queued for it.
        QVERIFY(c.start({1}));
        c.f.writeSettled("drop.csv", twoRows());
        c.f.clock.advanceMs(60000);
        c.f.setZoneNow(c.f.clock.now().addSecs(-60));
        c.core->timeWatch_Timer();
        QCOMPARE(c.core->timeWatchInterval(), 60000);
        QVERIFY(!QFile::exists(c.f.home.path("drop.csv")));

        QVERIFY(c.received(1, 2));
        const QList<QByteArray> bodies = c.bodies(1);
        const EventRec first = ParseEvent(bodies.at(0).mid(1));
        const EventRec second = ParseEvent(bodies.at(1).mid(1));
        QCOMPARE(first.Description, QByteArray("First drop"));
        QCOMPARE(first.EventKey.left(16), QByteArray("2403051001001001"));
        QCOMPARE(second.Description, QByteArray("Second drop"));
        QCOMPARE(second.MediaPointID, QByteArray("MP-7"));
        QCOMPARE(second.EventKey.left(16), QByteArray("2403051001001002"));
        QVERIFY(matchesGolden("watch.q", bodies.join('\n') + '\n'));
        QVERIFY(waitUntil([&] { return c.simulator.event(1, first.EventKey).has_value(); }));
        QCOMPARE(winQueueSize(2), 0);
    }

    void aFileStillOpenForWritingWaitsForItsWriter()
    {
        SimConsole c;
        c.f.write("probe.txt", "");
        if (ReadLease(c.f.home.path("probe.txt")).state() != ReadLease::State::Held)
            QSKIP("this file system gives no read leases");
        QVERIFY(c.start({1}));
        // A writer that pauses with the file open: unchanged for a minute, yet not done.
        CsvRow r;
        const QByteArray whole = csvFile({r.line(), r.line(), r.line(), r.line()});
        const qsizetype half = whole.indexOf('\n', whole.size() / 2) + 1;
        QFile writer(c.f.home.path("slow.csv"));
        QVERIFY(writer.open(QIODevice::WriteOnly));
        writer.write(whole.left(half));
        QVERIFY(writer.flush());
        QVERIFY(
            writer.setFileTime(c.f.clock.now().addSecs(-60), QFileDevice::FileModificationTime));
        c.tick(60);
        c.tick();
        QVERIFY(QFile::exists(writer.fileName()));
        QCOMPARE(winQueueSize(1), 0);
        writer.write(whole.mid(half));
        writer.close();
        QFile done(writer.fileName());
        QVERIFY(done.open(QIODevice::ReadOnly));
        QVERIFY(done.setFileTime(c.f.clock.now().addSecs(-60), QFileDevice::FileModificationTime));
        done.close();
        c.tick();
        QVERIFY(!QFile::exists(writer.fileName()));
        QVERIFY(c.received(1, 4));
    }

    void aFileThatCannotBeDeletedLoadsOnceWhateverTheFolderDoes()
    {
        SimConsole c;
        QVERIFY(QDir(c.f.home.path(QString())).mkdir(QStringLiteral("in")));
        settings().AutoLoadPath = c.f.home.path(QStringLiteral("in/")).toLatin1();
        c.folder.setRemover([](const QByteArray &) { return false; });
        QVERIFY(c.start({1}));
        c.f.writeSettled("in/kept.csv", twoRows());
        c.tick(60);
        QVERIFY(c.received(1, 2));
        // The folder away for a tick, the format unticked for one, the path changed for one:
        // the file is the same file when it is seen again.
        QDir home(c.f.home.path(QString()));
        QVERIFY(home.rename(QStringLiteral("in"), QStringLiteral("away")));
        c.tick();
        QVERIFY(home.rename(QStringLiteral("away"), QStringLiteral("in")));
        c.tick();
        settings().AutoLoadCSV = false;
        c.tick();
        settings().AutoLoadCSV = true;
        c.tick();
        settings().AutoLoadPath = c.f.home.path(QString()).toLatin1();
        c.tick();
        settings().AutoLoadPath = c.f.home.path(QStringLiteral("in/")).toLatin1();
        c.tick();
        QCOMPARE(winQueueSize(1), 0);
        QCOMPARE(c.f.home.readLog().count("kept.csv loaded but could not be deleted"), 1);
    }

    void aFileDatedAheadOfOurClockSettles()
    {
        SimConsole c;
        QVERIFY(c.start({1}));
        c.f.writeSettled("ahead.csv", twoRows(), -3600);
        c.tick();
        QVERIFY(QFile::exists(c.f.home.path("ahead.csv")));
        c.tick();
        QVERIFY(!QFile::exists(c.f.home.path("ahead.csv")));
        QVERIFY(c.received(1, 2));
    }

    // The file is kept in "Not Sent" (a name there already gets a number); the head end
    // that got its rows is not sent them again.
    void rowsForAHeadEndWhoseLinkIsDownAreKeptNotQueued()
    {
        SimConsole c;
        QVERIFY(c.start({1, 2}));
        c.simulator.command("close 2");
        QVERIFY(waitUntil([&] { return !c.linked(2); }));
        c.f.writeSettled("drop.csv", twoRows());
        c.tick(60);
        QVERIFY(!QFile::exists(c.f.home.path("drop.csv")));
        QVERIFY(QFile::exists(c.f.home.path("Not Sent/drop.csv")));
        QCOMPARE(winQueueSize(2), 0);
        QVERIFY(c.f.home.readLog().contains(
            "MediaStats Auto Load drop.csv loaded; its rows were not sent to head end 2 (South): "
            "the link is down; it is kept as " +
            c.f.home.path("Not Sent/drop.csv").toLatin1()));
        QVERIFY(c.received(1, 2));
        c.f.writeSettled("drop.csv", twoRows());
        c.tick(60);
        c.tick(60);
        QVERIFY(QFile::exists(c.f.home.path("Not Sent/drop (1).csv")));
        QVERIFY(c.received(1, 4));
    }
};

VEK_TEST(TestWatchSim)
#include "tst_watchsim.moc"
