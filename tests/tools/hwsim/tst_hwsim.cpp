#include <QCoreApplication>
#include <QFileInfo>
#include <QHostAddress>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>

#include "core/eventtext.h"
#include "platform/clock.h"
#include "testregistry.h"
#include "tools/hwsim/hwsim.h"

using namespace vek;
using namespace vek::sim;

namespace {

const QByteArray Scenario = R"(# two head ends
headend 1 name="North" list=3 zone=4 minutes=30
channel 1 1 name=CH3 num=3 level=1 def=3 src="CBC" out=3 dest="CH 3" backup=103
channel 1 2 name=CH4 num=4 level=1 def=4 src="CTV" out=4 dest="CH 4" backup=104
channel 1 3 name=SUB num=50 level=1 def=50 src="Sports" out=50 dest="Sub" hidden=1
channel 1 4 name=INS num=60 level=81 def=7 src="Local" out=2 dest="Insert"
channel 1 5 name=DIG num=70 level=12 def=2 src="Dig" out=1 dest="Dig"
event 1 key=EVT1 dest=1 src=3 start=+45m dur=30m desc="Hockey" group=2
event 1 key=EVT2 dest=2 src=3 start=-10m dur=30m desc="News"
event 1 key=EVT3 dest=2 src=3 start=-3h dur=1h desc="Old"
headend 2 name="South" list=1
channel 2 1 name=A num=1 level=0 def=1 src="A" out=1 dest="A"
)";

const QDateTime Start(QDate(2026, 3, 10), QTime(12, 0, 0));

QByteArray key32(const QByteArray &k)
{
    return k + QByteArray(32 - k.size(), '0');
}

quint32 counter(const QByteArray &p, int index)
{
    const QByteArray b = p.mid(index * 4, 4);
    return quint32(quint8(b[0])) << 24 | quint32(quint8(b[1])) << 16 | quint32(quint8(b[2])) << 8 |
           quint8(b[3]);
}

// A bare console end of the link: one header per message, as the console builds it.
class Client
{
public:
    explicit Client(quint16 port, int listNo = 3) : m_listNo(listNo)
    {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        m_connected = m_socket.waitForConnected(2000);
    }

    bool connected() const { return m_connected; }
    QTcpSocket &socket() { return m_socket; }
    const QByteArray &lastHeader() const { return m_header; }

    // Sends one message; returns what arrived (empty after waitMs without an answer).
    QByteArray send(const QByteArray &body, int waitMs = 2000, int settleMs = 0)
    {
        m_seq = (m_seq + 1) % 10;
        m_header = QByteArray("10") + char(m_listNo) + char('0' + m_seq);
        m_socket.write(m_header + body);
        m_socket.flush();
        QByteArray got;
        // Silence is a valid outcome here: the caller checks for an empty result.
        [[maybe_unused]] const bool answered = QTest::qWaitFor(
            [&] {
                got += m_socket.readAll();
                return !got.isEmpty();
            },
            waitMs);
        if (settleMs > 0)
            QTest::qWait(settleMs);
        return got + m_socket.readAll();
    }

    // The answer's body, after checking that it echoes the header.
    QByteArray ask(const QByteArray &body)
    {
        const QByteArray got = send(body);
        if (got.left(4) != m_header) {
            qWarning() << "header not echoed:" << escapeBytes(got);
            return {};
        }
        return got.mid(4);
    }

private:
    QTcpSocket m_socket;
    int m_listNo;
    int m_seq = 0;
    bool m_connected = false;
    QByteArray m_header;
};

} // namespace

class TestHwSim : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<ScopedClock> m_scope;
    std::unique_ptr<HwSim> m_sim;

    quint16 start()
    {
        m_sim = std::make_unique<HwSim>();
        QString error;
        if (!m_sim->loadScenarioText(Scenario, &error))
            qWarning() << error;
        if (!m_sim->listen(1) || !m_sim->listen(2))
            return 0;
        return m_sim->port(1);
    }

    // Fetches event changes with "R" until the poll reply no longer flags list 3.
    QList<QByteArray> drainEvents(Client &c)
    {
        QList<QByteArray> answers;
        for (int i = 0; i < 20; ++i) {
            const QByteArray poll = c.ask("\n");
            if (poll.size() < 13 || !(quint8(poll[5]) & 0x04))
                break;
            answers.append(c.ask("R"));
        }
        return answers;
    }

private slots:
    void init()
    {
        m_clock = std::make_unique<ManualClock>(Start);
        m_scope = std::make_unique<ScopedClock>(*m_clock);
    }

    void cleanup()
    {
        m_sim.reset();
        m_scope.reset();
        m_clock.reset();
    }

    void pollReplyFlagsWhatANewConsoleNeeds()
    {
        Client c(start());
        QVERIFY(c.connected());
        const QByteArray p = c.ask("\n");
        QCOMPARE(p.size(), 13);
        QCOMPARE(quint8(p[0]), 110);
        QCOMPARE(quint8(p[1]), 1);    // channel table
        QCOMPARE(quint8(p[2]), 0x01); // router level 1
        QCOMPARE(quint8(p[3]), 0x01); // TMX unit 1
        QCOMPARE(quint8(p[4]), 1);    // channel status (device code 12)
        QCOMPARE(quint8(p[5]), 0x04); // list 3 has event changes
        QCOMPARE(quint8(p[6]), 0);
        QCOMPARE(quint8(p[7]), 0); // no alarm
        QCOMPARE(quint8(p[8]), 0); // no backup record

        // The list number comes from the console's header: list 10 is bit 1 of b6.
        Client other(m_sim->port(1), 10);
        const QByteArray q = other.ask("\n");
        QCOMPARE(quint8(q[5]), 0);
        QCOMPARE(quint8(q[6]), 0x02);
        // Lists 17..32 live in b9 and b10; list 0 has no bit at all.
        Client list20(m_sim->port(1), 20);
        QCOMPARE(quint8(list20.ask("\n")[9]), 0x08);
        Client list32(m_sim->port(1), 32);
        QCOMPARE(quint8(list32.ask("\n")[10]), 0x80);
        Client list0(m_sim->port(1), 0);
        const QByteArray none = list0.ask("\n");
        QCOMPARE(none.mid(5, 2) + none.mid(9, 2), QByteArray(4, '\0'));

        // TMX units 9..16 are flagged in b11.
        QCOMPARE(m_sim->command("take 1 90 3 1"), QByteArray());
        QCOMPARE(quint8(c.ask("\n")[11]), 0x02);
    }

    void answersZoneMinutesAndDashboard()
    {
        Client c(start());
        QCOMPARE(c.ask("="), QByteArray("\xa1\x04", 2));
        QCOMPARE(c.ask(">"), QByteArray("\xa2\x1e", 2));

        // EVT1 active (45 min ahead), EVT2 on air, EVT3 done.
        const QByteArray all = c.ask(QByteArray(1, char(30)));
        QCOMPARE(all.size(), 41);
        QCOMPARE(quint8(all[0]), 130);
        const QByteArray p = all.mid(1);
        QCOMPARE(counter(p, 0), 0u); // spare
        QCOMPARE(counter(p, 2), 1u); // completed
        QCOMPARE(counter(p, 3), 3u); // total
        QCOMPARE(counter(p, 6), 1u); // on air
        QCOMPARE(counter(p, 9), 1u); // upcoming
        const QByteArray today = c.ask(QByteArray(1, char(31)));
        QCOMPARE(quint8(today[0]), 131);
        QCOMPARE(counter(today.mid(1), 3), 3u);
    }

    void downloadsChannelRecords()
    {
        Client c(start());
        const QByteArray r0 = c.ask(QByteArray("\x13\x00", 2));
        QCOMPARE(quint8(r0[0]), 119);
        QCOMPARE(quint8(r0[1]), 0);
        const QList<QByteArray> empty = r0.mid(2).split(char(206));
        QCOMPARE(empty.size(), 17);
        QCOMPARE(empty[1], QByteArray("0")); // unused entry

        const QByteArray r1 = c.ask(QByteArray("\x13\x01", 2));
        QCOMPARE(quint8(r1[1]), 1);
        const QList<QByteArray> f = r1.mid(2).split(char(206));
        QCOMPARE(f.size(), 17);
        QCOMPARE(f[0], QByteArray("CH3"));
        QCOMPARE(f[2], QByteArray("1"));
        QCOMPARE(f[4], QByteArray("CBC"));
        QCOMPARE(f[6], QByteArray("3"));
        QCOMPARE(f[7], QByteArray("CH 3"));
        QCOMPARE(f[9], QByteArray("103"));
        QCOMPARE(f[10], QByteArray("False"));
        const QList<QByteArray> hidden = c.ask(QByteArray("\x13\x03", 2)).mid(2).split(char(206));
        QCOMPARE(hidden[10], QByteArray("True"));

        // Asking for record 0 started the download: the flag is down until a change.
        QCOMPARE(quint8(c.ask("\n")[1]), 0);
        QCOMPARE(m_sim->command("channel 1 2 src=\"CTV 2\""), QByteArray());
        QCOMPARE(quint8(c.ask("\n")[1]), 1);
        QCOMPARE(c.ask(QByteArray("\x13\x02", 2)).mid(2).split(char(206))[4], QByteArray("CTV 2"));
    }

    void storesEventAndEchoesItWithFullKey()
    {
        Client c(start());
        Client other(m_sim->port(1));
        drainEvents(other);

        EventRec e = *m_sim->event(1, "EVT1");
        e.EventKey = "2603101230000000";
        e.Description = "Added";
        const QByteArray a = c.ask("Q" + EventToString(e));
        QCOMPARE(quint8(a[0]), 181);
        const EventRec back = ParseEvent(a.mid(1));
        QCOMPARE(back.EventKey, key32("2603101230000000"));
        QCOMPARE(back.EventKey.size(), 32);
        QCOMPARE(back.Description, QByteArray("Added"));
        QVERIFY(m_sim->event(1, key32("2603101230000000")));

        // The other console learns of it through its list bit and "R".
        const QList<QByteArray> seen = drainEvents(other);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(quint8(seen[0][0]), 181);
        QCOMPARE(ParseEvent(seen[0].mid(1)).EventKey, key32("2603101230000000"));

        // Delete by the stored key: answered with 182, and the other console hears of it.
        const QByteArray d = c.ask('\x0c' + key32("2603101230000000"));
        QCOMPARE(quint8(d[0]), 182);
        QCOMPARE(ParseEvent(d.mid(1)).EventKey, key32("2603101230000000"));
        QVERIFY(!m_sim->event(1, key32("2603101230000000")));
        const QList<QByteArray> gone = drainEvents(other);
        QCOMPARE(gone.size(), 1);
        QCOMPARE(quint8(gone[0][0]), 182);

        // An unknown key is still answered 182 and changes nothing.
        const int before = int(m_sim->events(1).size());
        QCOMPARE(quint8(c.ask('\x0c' + key32("NOSUCH"))[0]), 182);
        QCOMPARE(int(m_sim->events(1).size()), before);
        QVERIFY(drainEvents(other).isEmpty());
    }

    void newConsoleFetchesEveryEventThenGetsPollReply()
    {
        Client c(start());
        const QList<QByteArray> answers = drainEvents(c);
        QCOMPARE(answers.size(), 3);
        QStringList keys;
        for (const QByteArray &a : answers) {
            QCOMPARE(quint8(a[0]), 181);
            keys << QString::fromLatin1(ParseEvent(a.mid(1)).EventKey.left(4));
        }
        keys.sort();
        QCOMPARE(keys, QStringList({"EVT1", "EVT2", "EVT3"}));
        // "R" with nothing waiting: a poll reply, never an event the console cannot parse.
        QCOMPARE(quint8(c.ask("R")[0]), 110);

        // A churn of every event: the Active one goes on hold, the others get a comment.
        QVERIFY(m_sim->command("churn 100").isEmpty());
        const QList<QByteArray> churned = drainEvents(c);
        QCOMPARE(churned.size(), 3);
        for (const QByteArray &a : churned) {
            const EventRec e = ParseEvent(a.mid(1));
            if (e.EventKey.startsWith("EVT1"))
                QCOMPARE(int(e.Status), int(StatusOnHold));
            else
                QCOMPARE(e.Comments, QByteArray("Changed 1"));
        }
    }

    void badEventTextIsAnsweredWithPollReply()
    {
        Client c(start());
        const int before = int(m_sim->events(1).size());
        QCOMPARE(quint8(c.ask("Qnot an event\t")[0]), 110);
        QCOMPARE(int(m_sim->events(1).size()), before);
    }

    void statusesAdvanceWithTime()
    {
        Client c(start());
        drainEvents(c);
        QCOMPARE(m_sim->event(1, "EVT1")->Status, quint8(StatusActive));
        QCOMPARE(m_sim->event(1, "EVT2")->Status, quint8(StatusOnAir));
        QCOMPARE(m_sim->event(1, "EVT3")->Status, quint8(StatusDone));
        QCOMPARE(m_sim->routerInput(1, 1, 4), 50); // EVT2 switched CH4 to Sports

        m_clock->advanceMs(20 * 60 * 1000); // 12:20, EVT1 at 12:45, EVT2 ended 12:20
        m_sim->tick();
        QCOMPARE(m_sim->event(1, "EVT1")->Status, quint8(StatusLessThan));
        const EventRec done = *m_sim->event(1, "EVT2");
        QCOMPARE(done.Status, quint8(StatusDone));
        QCOMPARE(done.ActualEnd, QByteArray("12:20:00"));
        QCOMPARE(m_sim->routerInput(1, 1, 4), 4); // back to its default
        QCOMPARE(drainEvents(c).size(), 2);

        m_clock->advanceMs(25 * 60 * 1000); // 12:45
        m_sim->tick();
        const EventRec onAir = *m_sim->event(1, "EVT1");
        QCOMPARE(onAir.Status, quint8(StatusOnAir));
        QCOMPARE(onAir.ActualStart, QByteArray("12:45:00"));
        QCOMPARE(m_sim->routerInput(1, 1, 3), 50);

        // The poll flags level 1 and the extended status chain carries the new input.
        const QByteArray poll = c.ask("\n");
        QCOMPARE(quint8(poll[2]), 0x01);
        QByteArray text;
        for (int part = 0; part < 5; ++part) {
            const QByteArray a = c.ask(QByteArray(1, char(41 + part)) + char(1));
            QCOMPARE(quint8(a[0]), 141 + part);
            QCOMPARE(quint8(a[1]), 1);
            text += a.mid(2);
        }
        QCOMPARE(text.size(), 100); // outputs 1..50, two characters each
        QCOMPARE(quint8(text[4]) * 256 + quint8(text[5]), 50);
        QCOMPARE(quint8(c.ask("\n")[2]), 0);
        // The flag drops as soon as the chain starts, so a change during it flags again.
        m_sim->command("take 1 2 7 1");
        QCOMPARE(quint8(c.ask("\n")[2]), 0x02);
        c.ask(QByteArray(")\x02"));
        QCOMPARE(quint8(c.ask("\n")[2]), 0);

        m_sim->command("advance 30m"); // the demo's way of moving time
        QCOMPARE(m_sim->event(1, "EVT1")->Status, quint8(StatusDone));
        QCOMPARE(m_sim->routerInput(1, 1, 3), 3);
    }

    void minutesThresholdDrivesLessThanStatus()
    {
        start();
        // EVT1 starts at 12:45: exactly 30 minutes ahead is not yet "less than".
        m_clock->set(Start.addSecs(15 * 60));
        m_sim->tick();
        QCOMPARE(m_sim->event(1, "EVT1")->Status, quint8(StatusActive));
        // Half a second later 1799.5 seconds are left: whole seconds cut towards zero.
        m_clock->set(Start.addMSecs(15 * 60 * 1000 + 500));
        m_sim->tick();
        QCOMPARE(m_sim->event(1, "EVT1")->Status, quint8(StatusLessThan));
        m_clock->set(Start.addSecs(15 * 60 + 1));
        m_sim->tick();
        QCOMPARE(m_sim->event(1, "EVT1")->Status, quint8(StatusLessThan));
        m_clock->set(Start);
        m_sim->tick();
        QCOMPARE(m_sim->event(1, "EVT1")->Status, quint8(StatusActive));
        QCOMPARE(m_sim->command("minutes 1 60"), QByteArray());
        QCOMPARE(m_sim->event(1, "EVT1")->Status, quint8(StatusLessThan));
        Client c(m_sim->port(1));
        QCOMPARE(c.ask(">"), QByteArray("\xa2\x3c", 2));
    }

    // Across midnight the "less than" test still counts real minutes; two days ahead is
    // never less than the minutes a server can report.
    void lessThanAcrossMidnightAndFarAhead()
    {
        start();
        QCOMPARE(m_sim->command("minutes 1 255"), QByteArray());
        m_clock->set(QDateTime(QDate(2026, 3, 10), QTime(23, 50, 0)));
        QCOMPARE(
            m_sim->command("event 1 key=NEXT dest=1 src=3 start=00:10:00 date=11/03/2026 dur=30m"),
            QByteArray());
        QCOMPARE(
            m_sim->command("event 1 key=LATER dest=1 src=3 start=00:00:00 date=12/03/2026 dur=30m"),
            QByteArray());
        QCOMPARE(
            m_sim->command("event 1 key=EDGE dest=1 src=3 start=04:00:00 date=11/03/2026 dur=30m"),
            QByteArray());
        m_sim->tick();
        QCOMPARE(m_sim->event(1, "NEXT")->Status, quint8(StatusLessThan));
        QCOMPARE(m_sim->event(1, "EDGE")->Status, quint8(StatusLessThan)); // 250 minutes ahead
        QCOMPARE(m_sim->event(1, "LATER")->Status, quint8(StatusActive));
        m_clock->set(QDateTime(QDate(2026, 3, 11), QTime(20, 0, 0)));
        m_sim->tick();
        QCOMPARE(m_sim->event(1, "LATER")->Status, quint8(StatusLessThan));
    }

    // The trace kept in memory is bounded; the trace file still gets every line.
    void traceInMemoryIsBounded()
    {
        QTemporaryDir dir;
        Client c(start());
        QVERIFY(QTest::qWaitFor([&] { return m_sim->connectionCount(1) == 1; }, 2000));
        QVERIFY(m_sim->setTraceFile(dir.filePath("trace.txt")));
        m_sim->clearTrace();
        m_sim->setTraceLimit(4);
        for (int i = 0; i < 5; ++i)
            c.ask("=");
        QVERIFY(m_sim->trace().size() <= 4);
        QVERIFY(m_sim->trace().size() >= 2);
        QCOMPARE(m_sim->trace().last().direction, QByteArray("out"));
        QFile file(dir.filePath("trace.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count('\n'), 10);
        m_sim->setTraceLimit(0);
        c.ask("=");
        QVERIFY(m_sim->trace().size() <= 4);
    }

    void subNowAndDefaultNowRequests()
    {
        Client c(start());
        EventRec e = *m_sim->event(1, "EVT1");
        e.SubNow = true;
        const EventRec sub = ParseEvent(c.ask("Q" + EventToString(e)).mid(1));
        QCOMPARE(sub.Status, quint8(StatusOnAir));
        QVERIFY(!sub.SubNow);
        QCOMPARE(m_sim->routerInput(1, 1, 3), 50);

        e = sub;
        e.DefNow = true;
        const EventRec def = ParseEvent(c.ask("Q" + EventToString(e)).mid(1));
        QCOMPARE(def.Status, quint8(StatusDone));
        QCOMPARE(m_sim->routerInput(1, 1, 3), 3);

        // An operator's abort of an on-air event returns the channel too.
        e = *m_sim->event(1, "EVT2");
        e.Status = StatusAbort;
        QCOMPARE(ParseEvent(c.ask("Q" + EventToString(e)).mid(1)).Status, quint8(StatusAbort));
        QCOMPARE(m_sim->routerInput(1, 1, 4), 4);
    }

    void groupCommandsChangeMembers()
    {
        Client c(start());
        QCOMPARE(quint8(c.ask(QByteArray("[\x02"))[0]), 191);
        QCOMPARE(m_sim->event(1, "EVT1")->Status, quint8(StatusOnHold));
        QCOMPARE(quint8(c.ask(QByteArray("]\x02"))[0]), 193);
        QCOMPARE(m_sim->event(1, "EVT1")->Status, quint8(StatusOnAir));
        c.ask(QByteArray("_\x02"));
        QCOMPARE(m_sim->event(1, "EVT1")->Status, quint8(StatusOnHoldOnAir));
        QCOMPARE(m_sim->event(1, "EVT1")->Interrupted, quint8(1));
        QCOMPARE(m_sim->routerInput(1, 1, 3), 3);
        c.ask(QByteArray("`\x02"));
        QCOMPARE(m_sim->event(1, "EVT1")->Status, quint8(StatusOnAir));
        QCOMPARE(m_sim->routerInput(1, 1, 3), 50);
    }

    void takesMoveTheRouterAndStatusMessagesReportIt()
    {
        Client c(start());
        QCOMPARE(quint8(c.ask("\x10"
                              "01050003")[0]),
                 116);
        QCOMPARE(m_sim->routerInput(1, 1, 3), 50);
        const QByteArray plain = c.ask(QByteArray("\x0f\x01", 2));
        QCOMPARE(quint8(plain[0]), 115);
        QCOMPARE(quint8(plain[1]), 1);
        QCOMPARE(quint8(plain.at(2 + 2)), 50); // output 3

        // Send home: every item back to its default input.
        QCOMPARE(quint8(c.ask("\x11/01003003/01004004")[0]), 117);
        QCOMPARE(m_sim->routerInput(1, 1, 3), 3);
        // An unused entry (output 0) between two items is passed over, not the end.
        c.ask("\x10"
              "01050003");
        c.ask("\x10"
              "01060004");
        c.ask("\x11/01003003/00000000/01004004");
        QCOMPARE(m_sim->routerInput(1, 1, 3), 3);
        QCOMPARE(m_sim->routerInput(1, 1, 4), 4);
        // The ESNI re-send and the output commands are answered and traced.
        QCOMPARE(quint8(c.ask("X")[0]), 188);
        QCOMPARE(m_sim->trace().at(m_sim->trace().size() - 2).bytes,
                 QByteArray("re-send of all events to ESNI asked"));
        QCOMPARE(quint8(c.ask("e01006004")[0]), 201);

        // TMX unit 1 (code 81): plain and the four-part extended chain.
        c.ask("\x10"
              "81009002");
        QCOMPARE(quint8(c.ask(QByteArray("\x12\x01", 2)).at(2 + 1)), 9);
        QByteArray tmx;
        for (int part = 0; part < 4; ++part) {
            const QByteArray a = c.ask(QByteArray(1, char('3' + part)) + char(1));
            QCOMPARE(quint8(a[0]), 151 + part);
            tmx += a.mid(2);
        }
        QCOMPARE(tmx.size(), 4);
        QCOMPARE(quint8(tmx[3]), 9);

        // Channel status digits: device code 12 at digit 3, default source 2 -> "1".
        QByteArray status = c.ask(QByteArray("\x15\x01", 2));
        QCOMPARE(quint8(status[0]), 121);
        QCOMPARE(status.size(), 66);
        QCOMPARE(status[1 + 2], '1');
        c.ask("\x10"
              "012005001"); // take on device code 12, source 5
        status = c.ask(QByteArray("\x15\x01", 2));
        QCOMPARE(status[1 + 2], '4');

        // A take it cannot read changes nothing and is still answered.
        QCOMPARE(quint8(c.ask("\x10"
                              "0x")[0]),
                 116);
        QVERIFY(std::any_of(m_sim->trace().begin(), m_sim->trace().end(), [](const TraceLine &t) {
            return t.text().contains(" note take not understood: 0x");
        }));
    }

    void alarmAndBackupAutomation()
    {
        Client c(start());
        QCOMPARE(m_sim->command("alarm 1 Router  fault on CH3"), QByteArray());
        QCOMPARE(m_sim->command("backup 1 ch3 103 switch"), QByteArray());
        QByteArray poll = c.ask("\n");
        QCOMPARE(quint8(poll[7]), 1);
        QCOMPARE(quint8(poll[8]), 1);
        QCOMPARE(c.ask("\x0e"), QByteArray("\x72Router  fault on CH3"));
        QCOMPARE(c.ask("G"), QByteArray("\xab\x01\x03"
                                        "00CH3     0103"));
        poll = c.ask("\n");
        QCOMPARE(quint8(poll[7]), 0);
        QCOMPARE(quint8(poll[8]), 0);
        // Nothing waiting: an empty alarm and a record the console passes over.
        QCOMPARE(c.ask("\x0e"), QByteArray("\x72"));
        QCOMPARE(c.ask("G"), QByteArray("\xab\x00\x00", 3));
    }

    void misbehavesOnCommand()
    {
        Client c(start());
        QCOMPARE(m_sim->command("silent 1 1"), QByteArray());
        QVERIFY(c.send("\n", 200).isEmpty());
        QCOMPARE(quint8(c.ask("\n")[0]), 110); // one answer only was swallowed

        m_sim->command("badheader 1 1");
        QByteArray got = c.send("\n");
        QCOMPARE(got.left(3), c.lastHeader().left(3));
        QVERIFY(got[3] != c.lastHeader()[3]);
        QCOMPARE(quint8(got[4]), 110);

        m_sim->command("twice 1 1");
        got = c.send("=", 2000, 100);
        QCOMPARE(got, (c.lastHeader() + "\xa1\x04").repeated(2));

        m_sim->command("malformed 1 1");
        got = c.send("\n");
        QCOMPARE(got.size(), 4 + 3); // a poll reply cut short
        QCOMPARE(got.left(4), c.lastHeader());

        m_sim->command("silent 1");
        QVERIFY(c.send("\n", 100).isEmpty());
        QVERIFY(c.send("\n", 100).isEmpty());
        m_sim->command("normal 1");
        QCOMPARE(quint8(c.ask("\n")[0]), 110);

        QCOMPARE(m_sim->connectionCount(1), 1);
        QCOMPARE(m_sim->command("close 1"), QByteArray());
        QVERIFY(QTest::qWaitFor(
            [&] { return c.socket().state() == QAbstractSocket::UnconnectedState; }, 2000));
        QCOMPARE(m_sim->connectionCount(1), 0);

        // Raw bytes on demand, e.g. an unsolicited status message.
        Client d(m_sim->port(1));
        QVERIFY(QTest::qWaitFor([&] { return m_sim->connectionCount(1) == 1; }, 2000));
        QCOMPARE(m_sim->command("send 1 \\x73\\x01abc"), QByteArray());
        QVERIFY(QTest::qWaitFor([&] { return d.socket().bytesAvailable() >= 5; }, 2000));
        QCOMPARE(d.socket().readAll(), QByteArray("\x73\x01"
                                                  "abc"));
    }

    void shortMessagesAndBadCommandsAreReported()
    {
        Client c(start());
        QVERIFY(c.socket().write("1\x03") == 2);
        QTest::qWait(100);
        QCOMPARE(c.socket().bytesAvailable(), 0);
        QVERIFY(m_sim->trace().last().text().contains("shorter than its header"));

        QVERIFY(m_sim->command("explode 1").contains("unknown command"));
        QVERIFY(m_sim->command("bogus").contains("unknown command"));
        QVERIFY(m_sim->command("advance soon").contains("usage"));
        QVERIFY(m_sim->command("churn 0").contains("usage"));
        QVERIFY(m_sim->command("alarm 9 x").contains("not in the scenario"));
        QVERIFY(m_sim->command("take 1 9 1 1").contains("level"));
        QVERIFY(m_sim->command("silent 1 0").contains("count"));
        QVERIFY(m_sim->command("event 1 dest=99 src=1").contains("dest"));
        QVERIFY(m_sim->command("event 1 dest=1 src=3 colour=red").contains("colour"));
        QVERIFY(m_sim->command("event 1 dest=1 src=3 start=noon").contains("start"));

        HwSim other;
        QString error;
        QVERIFY(!other.loadScenarioText("headend 1\nchannel 1 1 level=x\n", &error));
        QVERIFY2(error.startsWith("line 2:"), qPrintable(error));
        QVERIFY(!other.loadScenario("/nonexistent/file.scn", &error));
    }

    void traceRecordsBothDirections()
    {
        QTemporaryDir dir;
        Client c(start());
        QVERIFY(QTest::qWaitFor([&] { return m_sim->connectionCount(1) == 1; }, 2000));
        QVERIFY(m_sim->setTraceFile(dir.filePath("trace.txt")));
        m_sim->clearTrace();
        c.ask("=");
        QList<QByteArray> lines;
        for (const TraceLine &t : m_sim->trace())
            lines << t.text();
        QCOMPARE(lines.size(), 2);
        const QByteArray in = c.lastHeader().left(2) + "\\x03" + c.lastHeader().mid(3) + "=";
        QVERIFY2(lines[0].endsWith(" HE1 in " + in), lines[0].constData());
        QVERIFY2(lines[1].endsWith(" HE1 out " + c.lastHeader().left(2) + "\\x03" +
                                   c.lastHeader().mid(3) + "\\xA1\\x04"),
                 lines[1].constData());
        bool ok = false;
        lines[0].split(' ').first().toLongLong(&ok);
        QVERIFY(ok);

        QFile file(dir.filePath("trace.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), lines.join('\n') + '\n');

        const QByteArray all = QByteArray::fromRawData("\x00\x01\\ A\xff\xce", 7);
        QCOMPARE(escapeBytes(all), QByteArray("\\x00\\x01\\\\ A\\xFF\\xCE"));
        QCOMPARE(unescapeBytes(escapeBytes(all)), all);
        QCOMPARE(unescapeBytes("a\\x4"), QByteArray("a\\x4")); // unfinished escape kept
    }

    // The program: ports on stdout, commands on stdin, the trace in a file.
    void programRunsScenarioAndReadsCommands()
    {
        const QString program = QCoreApplication::applicationDirPath() + "/vek-hwsim";
        if (!QFileInfo::exists(program))
            QSKIP("vek-hwsim is not built");
        QTemporaryDir dir;
        const QString scenario = dir.filePath("t.scn");
        QFile file(scenario);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Scenario);
        file.close();

        QProcess process;
        process.start(program, {"--scenario", scenario, "--port", "1=0", "--trace",
                                dir.filePath("t.trace"), "--quiet", "--poll-times"});
        QVERIFY(process.waitForStarted(5000));
        QVERIFY(QTest::qWaitFor([&] { return process.canReadLine(); }, 5000));
        const QByteArray first = process.readLine().trimmed();
        QVERIFY2(first.startsWith("HE1 port "), first.constData());
        const quint16 port = quint16(first.mid(9).toUInt());
        QVERIFY(port > 0);

        process.write("alarm 1 Fire in the hall\n");
        Client c(port);
        QVERIFY(c.connected());
        QVERIFY(QTest::qWaitFor(
            [&] {
                const QByteArray poll = c.ask("\n");
                return poll.size() > 7 && poll[7] == 1;
            },
            5000));
        QCOMPARE(c.ask("\x0e"), QByteArray("\x72"
                                           "Fire in the hall"));
        // The first poll, stamped once.
        QByteArray out;
        QVERIFY(QTest::qWaitFor(
            [&] {
                out += process.readAllStandardOutput();
                return out.contains("HE1 poll ");
            },
            2000));
        QCOMPARE(out.count("HE1 poll "), 1);

        process.write("quit\n");
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.exitCode(), 0);
        QFile trace(dir.filePath("t.trace"));
        QVERIFY(trace.open(QIODevice::ReadOnly));
        QVERIFY(trace.readAll().contains(" HE1 out " + c.lastHeader().left(2) + "\\x03" +
                                         c.lastHeader().mid(3) + "rFire in the hall"));
    }
};

VEK_TEST(TestHwSim)
#include "tst_hwsim.moc"
