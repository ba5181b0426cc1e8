// The console core's Hardware Server link against the simulated server over real
// loopback sockets: what reaches the wire, and what the console makes of the answers.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "core/channeltable.h"
#include "core/consolecore.h"
#include "core/consolestate.h"
#include "core/eventstore.h"
#include "core/eventtable.h"
#include "core/hslink.h"
#include "core/hssocket.h"
#include "core/receivepath.h"
#include "core/receivestate.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "core/winqueue.h"
#include "core/zoneclocks.h"
#include "platform/clock.h"
#include "quietwindows.h"
#include "testhome.h"
#include "testregistry.h"
#include "tools/hwsim/hwsim.h"
#include "waituntil.h"

using namespace vek;
using vek::sim::HwSim;

namespace {

QByteArray chr(int code)
{
    return QByteArray(1, static_cast<char>(static_cast<unsigned char>(code)));
}

// Records the windows the link asks for and shows nothing.
class RecordingWindows : public QuietWindows
{
public:
    void showTroubleWindow(int headEnd) override { trouble.append(headEnd); }
    void showAlarmWindow(int headEnd, const QByteArray &text) override
    {
        alarms.append({headEnd, text});
    }
    void fillChanView(int headEnd) override { fills.append(headEnd); }

    QList<int> trouble;
    QList<QPair<int, QByteArray>> alarms;
    QList<int> fills;
};

void pause(int ms)
{
    waitUntil([] { return false; }, ms);
}

// A console core whose head ends point at a simulator of the given scenario, optionally
// with a clock that stands still (no polls fall due unless a test moves it).
class Rig
{
public:
    explicit Rig(const QByteArray &scenario, bool manualClock = false)
    {
        resetConsoleState();
        if (manualClock) {
            clock.emplace(QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
            scoped.emplace(*clock);
        }
        QString error;
        loaded = sim.loadScenarioText(scenario, &error) && sim.listenAll(&error);
        if (!loaded)
            qWarning("scenario: %s", qPrintable(error));
        for (QDateTime &z : ZoneTimes())
            z = Clock::localNow();
        core = std::make_unique<ConsoleCore>(&windows);
        for (const int he : sim.headEnds())
            configure(he, sim.port(he));
    }
    ~Rig()
    {
        core.reset();
        resetConsoleState();
    }

    void configure(int he, quint16 port)
    {
        Settings &s = settings();
        s.HEOnLine[he] = true;
        s.HEName[he] = "HE" + QByteArray::number(he);
        s.HEMainIP[he] = "127.0.0.1";
        s.HEPort[he] = QByteArray::number(port);
        s.HEListNo[he] = 1;
        s.HERetryMS[he] = 50;
        s.HEChannels[he] = 4;
        s.HEAlarm[he] = true;
    }

    HsLink &link() { return core->hsLink(); }

    // Connects every on-line head end and waits for the sockets, so the first message of
    // each head end reaches the wire.
    bool connect(const QList<int> &waitFor)
    {
        link().setRetryIntervals();
        link().connectHeadEnds(false);
        return waitUntil(
            [&] {
                for (const int he : waitFor) {
                    if (!link().socket(he) || !link().socket(he)->isConnected())
                        return false;
                }
                return true;
            },
            3000);
    }
    void start() { link().start(); }

    // Messages from the console to a head end as the simulator saw them, from index from on.
    QList<sim::TraceLine> received(int he, qsizetype from = 0) const
    {
        QList<sim::TraceLine> out;
        const QList<sim::TraceLine> &t = sim.trace();
        for (qsizetype i = from; i < t.size(); ++i) {
            if (t[i].headEnd == he && t[i].direction == "in")
                out.append(t[i]);
        }
        return out;
    }
    QList<QByteArray> bodies(int he, qsizetype from = 0) const
    {
        QList<QByteArray> out;
        for (const sim::TraceLine &l : received(he, from))
            out.append(l.bytes.mid(4));
        return out;
    }
    bool receivedBody(int he, const QByteArray &body) const { return bodies(he).contains(body); }

    // Nothing more reaches the simulator for quietMs (within limitMs).
    bool settle(int quietMs = 100, int limitMs = 3000)
    {
        QElapsedTimer total;
        total.start();
        while (total.elapsed() < limitMs) {
            const qsizetype before = sim.trace().size();
            pause(quietMs);
            if (sim.trace().size() == before)
                return true;
        }
        return false;
    }

    TestHome home;
    std::optional<ManualClock> clock;
    std::optional<ScopedClock> scoped;
    HwSim sim;
    RecordingWindows windows;
    std::unique_ptr<ConsoleCore> core;
    bool loaded = false;
};

int usedSlots(int he)
{
    int n = 0;
    for (int slot = 0; slot < EventTable::Slots; ++slot)
        n += Events().at(he, slot).InUse ? 1 : 0;
    return n;
}

QByteArray eventKey(int n)
{
    return ("EVT-" + QByteArray::number(n).rightJustified(3, '0') + "-").leftJustified(32, 'K');
}

const QByteArray Channels = R"(
channel 1 1 name=ALPHA num=101 level=3 def=1 src="Alpha" out=1 dest="Alpha 101" backup=9
channel 1 2 name=BRAVO num=102 level=3 def=2 src="Bravo" out=2 dest="Bravo 102" backup=7
channel 1 3 name=CHARLIE num=103 level=3 def=3 src="Charlie" out=3 dest="Charlie 103" backup=8
channel 1 5 name=ECHO num=105 level=3 def=5 src="Echo" out=5 dest="Echo 105"
)";

} // namespace

class TestIntegration : public QObject
{
    Q_OBJECT

private slots:
    void headerDigitsPerHeadEnd()
    {
        Rig rig("headend 1 zone=4 minutes=30 list=1\nheadend 2 zone=4 minutes=30 list=1\n" +
                Channels);
        QVERIFY(rig.loaded);
        QVERIFY(rig.connect({1, 2}));
        rig.start();
        for (const int he : {1, 2}) {
            QVERIFY2(waitUntil([&] { return rig.received(he).size() >= 11; }, 3000),
                     "eleven messages");
            QByteArray digits;
            for (const sim::TraceLine &l : rig.received(he)) {
                QVERIFY(l.bytes.startsWith("10\x01"));
                // A re-send carries the digit of the message it repeats.
                if (digits.isEmpty() || digits.back() != l.bytes[3])
                    digits += l.bytes[3];
            }
            QCOMPARE(digits.left(11), QByteArray("12345678901"));
        }
    }

    void channelDownloadThroughZoneAndMinutes()
    {
        Rig rig("headend 1 zone=7 minutes=45 list=1\n" + Channels);
        QVERIFY(rig.loaded);
        QVERIFY(rig.connect({1}));
        rig.start();
        QVERIFY(waitUntil([&] { return LessThanMinutes() == 45; }, 3000));
        QList<QByteArray> chain;
        for (const QByteArray &b : rig.bodies(1)) {
            if (b != "\n")
                chain.append(b);
        }
        // Records 0..4 are wanted (4 channels); record 5 ends the download.
        QCOMPARE(
            chain.mid(0, 8),
            (QList<QByteArray>{chr(19) + chr(0), chr(19) + chr(1), chr(19) + chr(2),
                               chr(19) + chr(3), chr(19) + chr(4), chr(19) + chr(5), "=", ">"}));
        QCOMPARE(HETimeZone(1), qint16(7));
        QCOMPARE(Channel(1, 2).ChanName, QByteArray("BRAVO"));
        QCOMPARE(Channel(1, 2).ChanNum, qint16(102));
        QCOMPARE(Channel(1, 3).ChanBackupSrc, qint16(8));
        QCOMPARE(Channel(1, 5).ChanNum, qint16(0));
    }

    void pollsNoCloserThanAQuarterSecond()
    {
        Rig rig("headend 1 zone=4 minutes=30 list=1\n", true);
        QVERIFY(rig.loaded);
        QVERIFY(rig.connect({1}));
        rig.start();
        QVERIFY(rig.settle());
        auto polls = [&] { return rig.bodies(1).count("\n"); };
        const qsizetype first = polls();
        QCOMPARE(first, qsizetype(1));

        rig.clock->advanceMs(240);
        pause(120);
        QCOMPARE(polls(), first);
        rig.clock->advanceMs(20);
        QVERIFY(waitUntil([&] { return polls() == first + 1; }, 1000));
        pause(120);
        QCOMPARE(polls(), first + 1);
    }

    void silentServerGetsEveryMessageFiveTimes()
    {
        Rig rig("headend 1 zone=4 minutes=30 list=1\n", true);
        QVERIFY(rig.loaded);
        QVERIFY(rig.connect({1}));
        rig.start();
        QVERIFY(rig.settle());
        Booted(1) = true;
        QVERIFY(rig.sim.command("silent 1").isEmpty());
        const qsizetype mark = rig.sim.trace().size();
        SendHS(1, chr(30), 0);
        SendHS(1, chr(31), 0);
        // Both ends share one event loop here, so the last re-send and the next message
        // can reach the simulator in one read: split the reads into the 5-byte messages.
        struct Sent
        {
            qint64 ms;
            QByteArray bytes;
        };
        QList<Sent> got;
        QVERIFY(waitUntil(
            [&] {
                got.clear();
                for (const sim::TraceLine &l : rig.received(1, mark)) {
                    for (qsizetype pos = 0; pos < l.bytes.size(); pos += 5)
                        got.append({l.ms, l.bytes.mid(pos, 5)});
                }
                return got.size() >= 10;
            },
            3000));
        pause(150);
        QCOMPARE(got.size(), qsizetype(10));
        for (int k = 0; k < 10; ++k) {
            QCOMPARE(got[k].bytes.mid(4), k < 5 ? chr(30) : chr(31));
            QCOMPARE(got[k].bytes, got[k < 5 ? 0 : 5].bytes);
            if (k % 5 != 0) {
                const qint64 gap = got[k].ms - got[k - 1].ms;
                QVERIFY2(gap >= 25 && gap <= 250, qPrintable(QString::number(gap)));
            }
        }
        QVERIFY(got[5].ms - got[4].ms <= 250);
        QVERIFY(rig.windows.trouble.isEmpty());
    }

    void troubleWindowOnlyAfterBootDelay()
    {
        Rig rig("headend 2 zone=4 minutes=30 list=1\n");
        QVERIFY(rig.loaded);
        // Head end 1 points at a port nobody listens on.
        quint16 deadPort = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            deadPort = probe.serverPort();
        }
        rig.configure(1, deadPort);
        rig.link().timeBoot().setInterval(300);
        QVERIFY(rig.connect({2}));
        rig.start();
        pause(200);
        QVERIFY(rig.windows.trouble.isEmpty());
        QVERIFY(waitUntil([&] { return !rig.windows.trouble.isEmpty(); }, 2000));
        pause(250);
        QCOMPARE(rig.windows.trouble, QList<int>{1});
        QCOMPARE(TroubleHE(), qint16(1));
        QCOMPARE(TroubleFlag(), QByteArray("1"));
    }

    void fiftyEventsStoredReplacedAndDeletedByKey()
    {
        QByteArray scenario = "headend 1 zone=4 minutes=30 list=1\n" + Channels;
        for (int n = 1; n <= 50; ++n)
            scenario += "event 1 key=" + eventKey(n) + " dest=1 src=2 start=+" +
                        QByteArray::number(n) + "h dur=30m desc=\"Show " + QByteArray::number(n) +
                        "\"\n";
        Rig rig(scenario);
        QVERIFY(rig.loaded);
        rig.link().timeDashBoard().setInterval(150);
        QVERIFY(rig.connect({1}));
        rig.start();
        QVERIFY(waitUntil([&] { return usedSlots(1) == 50; }, 5000));
        const int slot7 = findEventSlot(1, eventKey(7));
        QVERIFY(slot7 >= 0);
        QCOMPARE(Events().at(1, slot7).EventKey, eventKey(7));
        QCOMPARE(Events().at(1, slot7).Description, QByteArray("Show 7"));

        // The dashboard chain follows the burst.
        QVERIFY(waitUntil([&] { return DashBoardAll(1).Total == 50; }, 3000));
        QVERIFY(waitUntil([&] { return rig.receivedBody(1, chr(31)); }, 3000));
        const QList<QByteArray> b = rig.bodies(1);
        QVERIFY(b.indexOf(chr(30)) >= 0);
        QVERIFY(b.indexOf(chr(31)) > b.indexOf(chr(30)));
        QCOMPARE(DashBoardAll(1).Upcoming, 50);

        QVERIFY(rig.sim
                    .command("event 1 key=" + eventKey(7) +
                             " dest=1 src=2 start=+7h dur=1h desc=Replaced")
                    .isEmpty());
        QVERIFY(rig.sim.command("delete 1 " + eventKey(9)).isEmpty());
        QVERIFY(waitUntil([&] { return findEventSlot(1, eventKey(9)) < 0; }, 3000));
        QVERIFY(waitUntil([&] { return Events().at(1, slot7).Description == "Replaced"; }, 3000));
        QCOMPARE(findEventSlot(1, eventKey(7)), slot7);
        QCOMPARE(Events().at(1, slot7).Duration, QByteArray("01:00:00"));
        QCOMPARE(usedSlots(1), 49);
    }

    void alarmWindowAndClearingReport()
    {
        Rig rig("headend 1 zone=4 minutes=30 list=1\nalarm 1 Router 1 fault\n");
        QVERIFY(rig.loaded);
        QVERIFY(rig.connect({1}));
        rig.start();
        QVERIFY(waitUntil([&] { return !rig.windows.alarms.isEmpty(); }, 3000));
        QCOMPARE(rig.windows.alarms.size(), qsizetype(1));
        QCOMPARE(rig.windows.alarms[0].first, 1);
        const QByteArray shown = rig.windows.alarms[0].second;
        QCOMPARE(shown, QByteArray("(HE1) Router 1 fault"));

        rig.core->clearAlarm(QStringLiteral("1"), shown);
        const QByteArray report =
            "dOperator cleared alarm.  Alarm = (HE1) Router 1 fault from IP 127.0.0.1.";
        QVERIFY(waitUntil(
            [&] {
                for (const QByteArray &b : rig.bodies(1)) {
                    if (b.startsWith(report))
                        return true;
                }
                return false;
            },
            3000));
        QVERIFY(
            rig.home.readLog().contains("Operator cleared alarm.  Alarm = (HE1) Router 1 fault"));
    }

    void routerStatusLabels()
    {
        Rig rig("headend 1 zone=4 minutes=30 list=1\n" + Channels);
        QVERIFY(rig.loaded);
        QVERIFY(rig.sim.command("take 1 3 7 2").isEmpty());
        QVERIFY(rig.sim.command("take 1 3 45 3").isEmpty());
        QVERIFY(rig.connect({1}));
        rig.start();
        QVERIFY(waitUntil([&] { return !Channel(1, 3).CurSrcText.isEmpty(); }, 3000));
        QVERIFY(rig.receivedBody(1, ")" + chr(3)));
        QVERIFY(rig.receivedBody(1, chr(45) + chr(3)));

        QCOMPARE(Channel(1, 1).CurSrcText, QByteArray("Alpha (101)"));
        QVERIFY(!Channel(1, 1).Substituted);
        QCOMPARE(Channel(1, 2).CurSrcText, QByteArray("BU-Bravo (102)"));
        QVERIFY(Channel(1, 2).OnBackup);
        QVERIFY(!Channel(1, 2).Substituted);
        QCOMPARE(Channel(1, 3).CurSrcText, QByteArray("IP 3-45"));
        QVERIFY(Channel(1, 3).Substituted);

        // A later take travels with the next poll and its status chain.
        QVERIFY(rig.sim.command("take 1 3 3 3").isEmpty());
        QVERIFY(waitUntil([&] { return Channel(1, 3).CurSrcText == "Charlie (103)"; }, 3000));
    }
};

VEK_TEST(TestIntegration)
#include "tst_integration.moc"
