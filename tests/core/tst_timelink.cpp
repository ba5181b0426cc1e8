#include <QTest>
#include <QThread>
#include <QTimer>
#include <functional>

#include "core/consolestate.h"
#include "core/log.h"
#include <QUdpSocket>
#include <vector>

#include "core/settings.h"
#include "core/timelink.h"
#include "platform/clock.h"
#include "platform/clocksetter.h"
#include "platform/failure.h"
#include "testhome.h"
#include "testregistry.h"
#include "tools/timesim/timeserversim.h"

using namespace vek;

namespace {
QDateTime at(int y, int mo, int d, int h, int mi, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

// Keeps every setting asked for; refuses like a PC without the right when told to.
class RecordingClockSetter : public ClockSetter
{
public:
    void setLocalTime(const QDateTime &local) override
    {
        if (refuse)
            throw Failure(ErrorKind::PermissionDenied);
        sets.push_back(local);
        if (onSet)
            onSet();
    }
    std::vector<QDateTime> sets;
    std::function<void()> onSet;
    bool refuse = false;
};

const QHostAddress Loopback(QStringLiteral("127.0.0.1"));
} // namespace

class TestTimeLink : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<ScopedClock> m_scopeClock;
    RecordingClockSetter m_setter;
    std::unique_ptr<ScopedClockSetter> m_scopeSetter;
    std::unique_ptr<TimeServerSim> m_server;
    std::unique_ptr<TimeLink> m_link;

    // The server on loopback and the link bound to the server's port + 1.
    void startLink()
    {
        for (int attempt = 0; attempt < 20; ++attempt) {
            m_server = std::make_unique<TimeServerSim>();
            QVERIFY(m_server->listen(Loopback, 0));
            if (m_server->port() == 65535)
                continue;
            settings().TimeServerPort = QByteArray::number(m_server->port());
            m_link = std::make_unique<TimeLink>();
            m_link->configure();
            try {
                m_link->bind();
                return;
            } catch (const Failure &) {
                // port + 1 taken by someone else: try another pair
            }
        }
        QFAIL("no free pair of ports on loopback");
    }

    // Sends the server's answer unasked and waits until the link has handled it: a good
    // answer of another time follows it, and datagrams on loopback keep their order.
    void deliverThenSentinel(const QByteArray &answer)
    {
        const size_t before = m_setter.sets.size();
        m_server->answerRaw(answer);
        QVERIFY(m_server->sendAnswer(Loopback, m_link->localPort()));
        m_server->answerFixedTime(QTime(6, 6, 6));
        QVERIFY(m_server->sendAnswer(Loopback, m_link->localPort()));
        QTRY_VERIFY(m_setter.sets.size() > before && lastSetIsSentinel());
    }

    // A good answer alone, once an earlier datagram is known to be handled.
    void sendSentinel()
    {
        const size_t before = m_setter.sets.size();
        m_server->answerFixedTime(QTime(6, 6, 6));
        QVERIFY(m_server->sendAnswer(Loopback, m_link->localPort()));
        QTRY_COMPARE(m_setter.sets.size(), before + 1);
    }

    bool lastSetIsSentinel() const
    {
        return !m_setter.sets.empty() && m_setter.sets.back().time() == QTime(6, 6, 6);
    }

private slots:
    void init()
    {
        m_home = std::make_unique<TestHome>();
        resetConsoleState();
        Settings &s = settings();
        s.UseQRNTime = true;
        s.TimeServerIP = "127.0.0.1";
        s.TimeOffset = "+00:00:00";
        s.TimeNic = 1;
        s.BroadcastNic = "127.0.0.1";
        s.HouseNic = "127.0.0.1";
        m_clock = std::make_unique<ManualClock>(at(2026, 12, 9, 12, 0));
        m_scopeClock = std::make_unique<ScopedClock>(*m_clock);
        m_setter = RecordingClockSetter();
        m_scopeSetter = std::make_unique<ScopedClockSetter>(m_setter);
        startLink();
    }

    void cleanup()
    {
        m_link.reset();
        m_server.reset();
        m_scopeSetter.reset();
        m_scopeClock.reset();
        m_clock.reset();
        m_home.reset();
        resetConsoleState();
    }

    void timeCalcOfTheServerTimeAndOffset_data()
    {
        QTest::addColumn<QByteArray>("t");
        QTest::addColumn<QByteArray>("offset");
        QTest::addColumn<QByteArray>("result");
        QTest::newRow("no offset")
            << QByteArray("12:34:56") << QByteArray("+00:00:00") << QByteArray("12:34:56");
        QTest::newRow("over midnight")
            << QByteArray("23:59:30") << QByteArray("+00:01:00") << QByteArray("00:00:30");
        QTest::newRow("back over midnight")
            << QByteArray("00:00:10") << QByteArray("-00:01:00") << QByteArray("23:59:10");
        QTest::newRow("minus to zero")
            << QByteArray("01:02:03") << QByteArray("-01:02:03") << QByteArray("00:00:00");
        QTest::newRow("plus to a day")
            << QByteArray("23:00:00") << QByteArray("+01:00:00") << QByteArray("00:00:00");
        QTest::newRow("largest offset")
            << QByteArray("00:00:00") << QByteArray("+23:59:59") << QByteArray("23:59:59");
        // Malformed texts give nothing.
        const QByteArray none;
        QTest::newRow("offset without sign")
            << QByteArray("12:00:00") << QByteArray("00:01:00") << none;
        QTest::newRow("blank sign") << QByteArray("12:00:00") << QByteArray(" 00:01:00") << none;
        QTest::newRow("other sign") << QByteArray("12:00:00") << QByteArray("*00:01:00") << none;
        QTest::newRow("7 characters") << QByteArray("1:02:03") << QByteArray("+00:00:00") << none;
        QTest::newRow("hour 24") << QByteArray("24:00:00") << QByteArray("+00:00:00") << none;
        QTest::newRow("minute 60") << QByteArray("12:60:00") << QByteArray("+00:00:00") << none;
        QTest::newRow("second 60") << QByteArray("12:00:60") << QByteArray("+00:00:00") << none;
        QTest::newRow("letters") << QByteArray("12:0a:00") << QByteArray("+00:00:00") << none;
        QTest::newRow("blank digit") << QByteArray(" 2:00:00") << QByteArray("+00:00:00") << none;
        QTest::newRow("signed field") << QByteArray("-1:00:00") << QByteArray("+00:00:00") << none;
        QTest::newRow("other separators")
            << QByteArray("12-00-00") << QByteArray("+00:00:00") << none;
        QTest::newRow("offset hour 24")
            << QByteArray("12:00:00") << QByteArray("+24:00:00") << none;
        QTest::newRow("offset minute 60")
            << QByteArray("12:00:00") << QByteArray("-00:60:00") << none;
        QTest::newRow("offset letters")
            << QByteArray("12:00:00") << QByteArray("+0x:00:00") << none;
        QTest::newRow("empty") << QByteArray() << QByteArray() << none;
    }

    void timeCalcOfTheServerTimeAndOffset()
    {
        QFETCH(QByteArray, t);
        QFETCH(QByteArray, offset);
        QFETCH(QByteArray, result);
        QCOMPARE(funTIMECALC(t, offset), result);
    }

    void aNewTimeOfDayLandsOnTheNearestDay()
    {
        const QDateTime evening = at(2026, 12, 9, 23, 59, 50);
        QCOMPARE(nearestDateTime(evening, QTime(0, 0, 30)), at(2026, 12, 10, 0, 0, 30));
        QCOMPARE(nearestDateTime(evening, QTime(23, 59, 10)), at(2026, 12, 9, 23, 59, 10));
        const QDateTime morning = at(2026, 12, 10, 0, 0, 5);
        QCOMPARE(nearestDateTime(morning, QTime(23, 59, 10)), at(2026, 12, 9, 23, 59, 10));
        // Year ends and a tie at exactly 12 hours, which keeps the day.
        QCOMPARE(nearestDateTime(at(2026, 12, 31, 23, 0), QTime(0, 30)), at(2027, 1, 1, 0, 30));
        QCOMPARE(nearestDateTime(at(2027, 1, 1, 0, 30), QTime(23, 0)), at(2026, 12, 31, 23, 0));
        QCOMPARE(nearestDateTime(at(2026, 12, 9, 12, 0), QTime(0, 0)), at(2026, 12, 9, 0, 0));
        QCOMPARE(nearestDateTime(at(2026, 12, 9, 11, 59), QTime(0, 0)), at(2026, 12, 9, 0, 0));
        QCOMPARE(nearestDateTime(at(2026, 12, 9, 12, 1), QTime(0, 0)), at(2026, 12, 10, 0, 0));
    }

    void aRequestEveryTwentiethTickAndItsAnswerSetsTheClock()
    {
        m_server->answerFixedTime(QTime(12, 0, 42));
        for (int i = 0; i < 19; ++i)
            m_link->tick();
        QCOMPARE(m_link->timeTick(), 19);
        m_link->tick();
        QCOMPARE(m_link->timeTick(), 0);
        QTRY_COMPARE(m_server->requests(), 1);
        QTRY_COMPARE(m_setter.sets.size(), size_t(1));
        QCOMPARE(m_setter.sets[0], at(2026, 12, 9, 12, 0, 42));
        QCOMPARE(m_server->ignored(), 0);

        // Switched off: the counter stands and answers are not believed.
        settings().UseQRNTime = false;
        for (int i = 0; i < 40; ++i)
            m_link->tick();
        QCOMPARE(m_link->timeTick(), 0);
        QVERIFY(m_server->sendAnswer(Loopback, m_link->localPort()));
        QTest::qWait(100);
        QCOMPARE(m_server->requests(), 1);
        QCOMPARE(m_setter.sets.size(), size_t(1));
    }

    void theOffsetAndMidnightRule()
    {
        // Late evening: the server's 23:59:30 plus a minute is tomorrow's 00:00:30.
        m_clock->set(at(2026, 12, 9, 23, 59, 50));
        settings().TimeOffset = "+00:01:00";
        m_server->answerFixedTime(QTime(23, 59, 30));
        QVERIFY(m_server->sendAnswer(Loopback, m_link->localPort()));
        QTRY_COMPARE(m_setter.sets.size(), size_t(1));
        QCOMPARE(m_setter.sets[0], at(2026, 12, 10, 0, 0, 30));

        // Just after midnight: a correction back to yesterday evening.
        m_clock->set(at(2026, 12, 10, 0, 0, 5));
        settings().TimeOffset = "-00:01:00";
        m_server->answerFixedTime(QTime(0, 0, 10));
        QVERIFY(m_server->sendAnswer(Loopback, m_link->localPort()));
        QTRY_COMPARE(m_setter.sets.size(), size_t(2));
        QCOMPARE(m_setter.sets[1], at(2026, 12, 9, 23, 59, 10));

        // Blanks around the time are ignored.
        m_clock->set(at(2026, 12, 9, 12, 0));
        settings().TimeOffset = "+00:00:00";
        deliverThenSentinel("r 12:00:07 ");
        QCOMPARE(m_setter.sets.size(), size_t(4));
        QCOMPARE(m_setter.sets[2], at(2026, 12, 9, 12, 0, 7));
    }

    void anAnswerEqualToTheClockSetsNothing()
    {
        m_clock->set(at(2026, 12, 9, 14, 15, 16));
        deliverThenSentinel("r14:15:16");
        QCOMPARE(m_setter.sets.size(), size_t(1));
        QVERIFY(lastSetIsSentinel());
    }

    void malformedAnswersSetNothing_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("offset");
        const QByteArray plain("+00:00:00");
        QTest::newRow("short time") << QByteArray("r1:02:03") << plain;
        QTest::newRow("hour 24") << QByteArray("r24:00:00") << plain;
        QTest::newRow("minute 60") << QByteArray("r12:60:00") << plain;
        QTest::newRow("second 99") << QByteArray("r12:00:99") << plain;
        QTest::newRow("letters") << QByteArray("r12:0a:00") << plain;
        QTest::newRow("too long") << QByteArray("r12:00:00:00") << plain;
        QTest::newRow("only r") << QByteArray("r") << plain;
        QTest::newRow("no r") << QByteArray("12:00:00") << plain;
        QTest::newRow("capital R") << QByteArray("R12:00:00") << plain;
        QTest::newRow("empty") << QByteArray() << plain;
        QTest::newRow("binary") << QByteArray("r\x00\x01\xff\xfe:00:00", 10) << plain;
        QTest::newRow("tab around") << QByteArray("r\t12:00:00") << plain;
        QTest::newRow("offset without sign") << QByteArray("r12:00:00") << QByteArray("00:01:00");
        QTest::newRow("offset blank sign") << QByteArray("r12:00:00") << QByteArray(" 00:01:00");
        QTest::newRow("offset minute 75") << QByteArray("r12:00:00") << QByteArray("+00:75:00");
    }

    void malformedAnswersSetNothing()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, offset);
        m_clock->set(at(2026, 12, 9, 11, 0));
        settings().TimeOffset = offset;
        m_server->answerRaw(answer);
        QVERIFY(m_server->sendAnswer(Loopback, m_link->localPort()));
        // wait for the malformed one to be handled before the sentinel
        QTRY_VERIFY(m_home->readLog().contains("winTime_DataArrival) ignored"));
        settings().TimeOffset = "+00:00:00";
        sendSentinel();
        QCOMPARE(m_setter.sets.size(), size_t(1));
        QVERIFY(lastSetIsSentinel());
    }

    void onlyTheTimeServerIsBelieved()
    {
        TimeServerSim stranger;
        QVERIFY2(stranger.listen(QHostAddress(QStringLiteral("127.0.0.2")), 0),
                 qPrintable(stranger.errorString()));
        stranger.answerFixedTime(QTime(3, 0, 0));
        QVERIFY(stranger.sendAnswer(Loopback, m_link->localPort()));
        QTRY_VERIFY(m_home->readLog().contains("ignored a datagram from 127.0.0.2"));
        sendSentinel();
        QCOMPARE(m_setter.sets.size(), size_t(1));
        QVERIFY(lastSetIsSentinel());

        // A time server address that is no address believes nobody. (A minute later, so
        // the line of this kind is not held back.)
        m_clock->advanceMs(61 * 1000);
        settings().TimeServerIP = "timeserver";
        m_server->answerFixedTime(QTime(4, 0, 0));
        QVERIFY(m_server->sendAnswer(Loopback, m_link->localPort()));
        QTRY_VERIFY(m_home->readLog().contains("ignored a datagram from 127.0.0.1"));
        QCOMPARE(m_setter.sets.size(), size_t(1));
    }

    void aFloodOfStrayDatagramsLogsOneLineOfEachKindAMinute()
    {
        TimeServerSim stranger;
        QVERIFY(stranger.listen(QHostAddress(QStringLiteral("127.0.0.2")), 0));
        stranger.answerFixedTime(QTime(3, 0, 0));
        m_server->answerRaw("no answer");
        for (int i = 0; i < 100; ++i) {
            QVERIFY(stranger.sendAnswer(Loopback, m_link->localPort()));
            QVERIFY(m_server->sendAnswer(Loopback, m_link->localPort()));
        }
        sendSentinel();
        QCOMPARE(m_home->readLog().count("ignored a datagram from 127.0.0.2"), 1);
        QCOMPARE(m_home->readLog().count("no time answer"), 1);

        // After the minute the next line says how many were left out.
        m_clock->advanceMs(60 * 1000);
        m_server->answerRaw("no answer");
        QVERIFY(m_server->sendAnswer(Loopback, m_link->localPort()));
        sendSentinel();
        QCOMPARE(m_home->readLog().count("no time answer"), 2);
        QVERIFY(
            m_home->readLog().contains("no time answer: no answer (99 more like it not logged)"));

        // A clock set back does not silence a kind until it catches up.
        m_clock->advanceMs(-3600 * 1000);
        m_server->answerRaw("no answer");
        QVERIFY(m_server->sendAnswer(Loopback, m_link->localPort()));
        sendSentinel();
        QCOMPARE(m_home->readLog().count("no time answer"), 3);
    }

    void aFloodIsReadInBatchesThatLetTheEventLoopRun()
    {
        constexpr int Flood = 200;
        for (int i = 0; i < Flood; ++i) {
            m_server->answerFixedTime(QTime(1, 0, 0).addSecs(i));
            QVERIFY(m_server->sendAnswer(Loopback, m_link->localPort()));
        }
        // Loopback delivery is quick but not instant: let every datagram reach the socket
        // before the loop runs. A timer armed while the first datagram is handled runs in
        // the first turn that the reading gives back.
        QThread::msleep(100);
        size_t readWhenTimerRan = 0;
        m_setter.onSet = [&] {
            m_setter.onSet = nullptr;
            QTimer::singleShot(0, this, [&] { readWhenTimerRan = m_setter.sets.size() + 1; });
        };
        QTRY_COMPARE(m_setter.sets.size(), size_t(Flood));
        QVERIFY(readWhenTimerRan > 0);
        QVERIFY2(readWhenTimerRan - 1 < size_t(Flood),
                 QByteArray::number(qulonglong(readWhenTimerRan - 1)).constData());
        QCOMPARE(m_setter.sets.back().time(), QTime(1, 0, 0).addSecs(Flood - 1));
    }

    void aRefusedSettingIsLogged()
    {
        m_setter.refuse = true;
        m_server->answerFixedTime(QTime(12, 30, 0));
        QVERIFY(m_server->sendAnswer(Loopback, m_link->localPort()));
        QTRY_VERIFY(
            m_home->readLog().contains(" Error winTime_DataArrival) 70 Permission denied\r\n"));
        QVERIFY(m_setter.sets.empty());
        // A flood of answers writes one line a minute, not one each.
        for (int i = 0; i < 50; ++i)
            m_link->winTime_DataArrival("r12:31:00", Loopback);
        QCOMPARE(m_home->readLog().count("Error winTime_DataArrival) 70"), 1);
        // The link goes on working afterwards.
        m_setter.refuse = false;
        QVERIFY(m_server->sendAnswer(Loopback, m_link->localPort()));
        QTRY_COMPARE(m_setter.sets.size(), size_t(1));
    }

    void bindingToTheChosenCard()
    {
        QVERIFY(m_link->isBound());
        QCOMPARE(int(m_link->localPort()), int(m_server->port()) + 1);
        QCOMPARE(m_link->remoteHost(), QByteArray("127.0.0.1"));
        QCOMPARE(m_link->remotePort(), qint32(m_server->port()));

        // An address the PC does not have, or no address at all: 10049.
        for (const QByteArray &nic : {QByteArray("192.0.2.77"), QByteArray("house card")}) {
            settings().BroadcastNic = nic;
            TimeLink link;
            link.configure();
            try {
                link.bind();
                QFAIL("bound to an address the PC does not have");
            } catch (const Failure &f) {
                QCOMPARE(f.number(), 10049);
            }
        }
        // With the house card chosen, the broadcast card's address does not matter.
        settings().TimeNic = 2;
        settings().HouseNic = "127.0.0.1";
        const quint16 port = m_link->localPort();
        m_link.reset();
        TimeLink house;
        house.configure();
        house.bind();
        QVERIFY(house.isBound());
        QCOMPARE(house.localPort(), port);
    }

    void portsOutOfRangeFailAtStartUp()
    {
        TimeLink link;
        settings().TimeServerPort = "65535";
        link.configure();
        try {
            link.bind();
            QFAIL("bound to port 65536");
        } catch (const Failure &f) {
            QCOMPARE(f.number(), 5);
        }
        settings().TimeServerPort = "99999999999";
        try {
            link.configure();
            QFAIL("took an overflowing port");
        } catch (const Failure &f) {
            QCOMPARE(f.number(), 6);
        }
    }

    void anUnboundLinkStillAsks()
    {
        // Started with "M": no bind, the request goes out from a port of the system's
        // choice.
        TimeLink link;
        link.configure();
        QVERIFY(!link.isBound());
        for (int i = 0; i < 20; ++i)
            link.tick();
        QTRY_COMPARE(m_server->requests(), 1);
    }

    void theDryRunWritesToTheDailyLog()
    {
        const QByteArray old = qgetenv("VEK_CLOCK_DRY_RUN");
        qputenv("VEK_CLOCK_DRY_RUN", "1");
        m_scopeSetter.reset();
        // Never let this test reach the real clock.
        QVERIFY(dynamic_cast<DryRunClockSetter *>(&ClockSetter::current()));
        m_server->answerFixedTime(QTime(12, 30, 0));
        QVERIFY(m_server->sendAnswer(Loopback, m_link->localPort()));
        QTRY_VERIFY(m_home->readLog().contains(
            " Clock not set (dry run): would set 2026-12-09 12:30:00\r\n"));
        for (int i = 0; i < 50; ++i)
            m_link->winTime_DataArrival("r12:31:00", Loopback);
        QCOMPARE(m_home->readLog().count("Clock not set (dry run)"), 1);
        qputenv("VEK_CLOCK_DRY_RUN", old);
    }

    void aRequestWithoutAServerAddressIsLogged()
    {
        settings().TimeServerIP = "nowhere";
        TimeLink link;
        link.configure();
        for (int i = 0; i < 20; ++i)
            link.tick();
        QVERIFY(m_home->readLog().contains(" Error timeTime_Timer) 5 "));
        QCOMPARE(link.timeTick(), 0);
    }
};

VEK_TEST(TestTimeLink)
#include "tst_timelink.moc"
