#include <QElapsedTimer>
#include <QTest>

#include "core/consolestate.h"
#include "core/eventtable.h"
#include "hslinkfixture.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "testregistry.h"

using namespace vek;

class TestSendPath : public QObject
{
    Q_OBJECT
private slots:
    void headerDigitsRunOneToNineThenZeroPerHeadEnd()
    {
        LinkFixture f({1, 2});
        settings().HEListNo[1] = 5;
        settings().HEListNo[2] = 32;
        const QByteArray digits = "1234567890123";
        for (int i = 0; i < digits.size(); ++i) {
            SendHS(1, "A" + QByteArray::number(i), 0);
            QCOMPARE(f.sock(1).sent.last(),
                     "10" + chr(5) + digits.at(i) + "A" + QByteArray::number(i));
            // A bare acknowledgement is no error.
            f.sock(1).arrive(f.sock(1).sent.last().left(4));
            QCOMPARE(ResendLeft(1), qint16(0));
        }
        // Polls use up a digit too; the other head end counts on its own.
        f.link->timeBuffer_Timer();
        QCOMPARE(f.sock(1).sent.last(), "10" + chr(5) + "4\n");
        QCOMPARE(f.sock(2).sent.last(), "10" + chr(32) + "1\n");
        QVERIFY(!f.home.readLog().contains("Error"));
        // A list number no byte can carry: every header says so, the log once a minute.
        settings().HEListNo[1] = 300;
        for (int i = 0; i < 5; ++i)
            QCOMPARE(BuildHSHeader(1, 0).size(), 4);
        QCOMPARE(f.home.readLog().count("Error BuildHSHeader) 5"), 1);
    }

    void pollsNoCloserThanAQuarterSecondAndWinMessagesBetween()
    {
        LinkFixture f;
        f.link->timeBuffer_Timer();
        QCOMPARE(f.sock(1).sent.size(), 1);
        QVERIFY(f.sock(1).sent.last().endsWith('\n'));
        f.sock(1).arrive(LastSent(1).left(4));

        WINADD("W1", 1);
        WINADD("X1", 2);
        WINADD("W2", 1);
        f.clock.advanceMs(100);
        f.link->timeBuffer_Timer();
        QCOMPARE(f.sock(1).sent.last().mid(4), QByteArray("W1"));
        f.sock(1).arrive(LastSent(1).left(4));
        f.clock.advanceMs(150); // exactly 0.25 s: no poll yet
        f.link->timeBuffer_Timer();
        QCOMPARE(f.sock(1).sent.last().mid(4), QByteArray("W2"));
        f.sock(1).arrive(LastSent(1).left(4));
        f.link->timeBuffer_Timer();
        QCOMPARE(f.sock(1).sent.size(), 3);
        QVERIFY(!WinQueued(1));
        QVERIFY(WinQueued(2));

        f.clock.advanceMs(10);
        f.link->timeBuffer_Timer();
        QCOMPARE(f.sock(1).sent.size(), 4);
        QCOMPARE(f.sock(1).sent.last().mid(4), QByteArray("\n"));
        f.sock(1).arrive(LastSent(1).left(4));

        // After midnight the last poll lies in the future: polling goes on at once.
        f.clock.set(QDateTime(QDate(2026, 12, 10), QTime(0, 0, 0, 300)));
        f.link->timeBuffer_Timer();
        QCOMPARE(f.sock(1).sent.size(), 5);
        QCOMPARE(f.sock(1).sent.last().mid(4), QByteArray("\n"));
        f.sock(1).arrive(LastSent(1).left(4));

        // A server slower than the poll interval: each poll's exchange ends with the next
        // poll due, and the WIN queue still gets every other turn.
        WINADD("S1", 1);
        WINADD("S2", 1);
        QList<QByteArray> bodies;
        for (int turn = 0; turn < 5; ++turn) {
            f.clock.advanceMs(300);
            f.link->timeBuffer_Timer();
            bodies.append(f.sock(1).sent.last().mid(4));
            f.sock(1).arrive(LastSent(1).left(4));
        }
        QCOMPARE(bodies, (QList<QByteArray>{"S1", "\n", "S2", "\n", "\n"}));
    }

    // The flush sleeps until the next poll is due instead of ticking every 10 ms, and
    // anything that may make a message due wakes it within one 10 ms beat.
    void flushSleepsUntilThePollIsDueAndWakesForWork()
    {
        LinkFixture f({1, 2});
        f.link->start();
        f.link->timeBuffer_Timer();
        // Both polls in flight: nothing can be due before their acknowledgements.
        QCOMPARE(msUntilSendDue(1), -1);
        QCOMPARE(msUntilSendDue(2), -1);
        QVERIFY(f.link->timeBuffer().isActive());
        QVERIFY(f.link->timeBuffer().remainingTime() > 200);

        f.sock(1).arrive(LastSent(1).left(4));
        const int due = msUntilSendDue(1);
        QVERIFY2(due > 200 && due <= 251, QByteArray::number(due));
        // A bare acknowledgement with nothing queued does not wake the flush.
        QVERIFY(f.link->timeBuffer().remainingTime() > 200);

        // The end of a later exchange re-arms the flush for this head end's poll, rather
        // than leaving it asleep until another head end's wake-up.
        QTest::qWait(150);
        SendHS(1, "late", 0);
        f.link->timeBuffer_Timer();
        QVERIFY(f.link->timeBuffer().remainingTime() > 200);
        f.sock(1).arrive(LastSent(1).left(4));
        QVERIFY2(f.link->timeBuffer().remainingTime() <= 110,
                 QByteArray::number(f.link->timeBuffer().remainingTime()));
        f.link->timeBuffer().start(250);

        // A WIN message is due at once and wakes the flush within its beat.
        WINADD("W1", 1);
        QCOMPARE(msUntilSendDue(1), 0);
        QVERIFY(f.link->timeBuffer().remainingTime() <= 10);
        f.link->timeBuffer_Timer();
        QCOMPARE(f.sock(1).sent.last().mid(4), QByteArray("W1"));

        // A message queued behind one in flight goes when the acknowledgement comes.
        SendHS(1, "A", 0);
        f.link->timeBuffer().start(200);
        f.sock(1).arrive(LastSent(1).left(4));
        QVERIFY(f.link->timeBuffer().remainingTime() <= 10);
        f.link->timeBuffer_Timer();
        QCOMPARE(f.sock(1).sent.last().mid(4), QByteArray("A"));

        // Re-sends used up: the next message may follow.
        SendHS(1, "C", 0);
        f.link->timeBuffer().start(200);
        for (int tick = 0; tick < 4; ++tick)
            f.link->timeHSCTS_Timer(1);
        QCOMPARE(ResendLeft(1), qint16(0));
        QVERIFY(f.link->timeBuffer().remainingTime() <= 10);
        f.link->timeBuffer_Timer();
        QCOMPARE(f.sock(1).sent.last().mid(4), QByteArray("C"));
    }

    void winQueueHandsOutEachHeadEndsMessagesInOrder()
    {
        resetConsoleState();
        WINADD("a1", 3);
        WINADD("b1", 4);
        WINADD("a2", 3);
        QCOMPARE(WINGET(3), QByteArray("a1"));
        WINADD("a3", 3);
        QCOMPARE(WINGET(3), QByteArray("a2"));
        QCOMPARE(WINGET(3), QByteArray("a3"));
        QVERIFY(WinQueued(3));
        QCOMPARE(WINGET(3), QByteArray());
        QVERIFY(!WinQueued(3));
        QCOMPARE(WINGET(4), QByteArray("b1"));
        resetConsoleState();
    }

    void winRemoveByMediaPointId()
    {
        TestHome home;
        resetConsoleState();
        const quint8 statuses[] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
        int slot = 0;
        for (quint8 st : statuses) {
            EventRec &r = Events().edit(2, slot += 3);
            r.InUse = true;
            r.Status = st;
            r.EventKey = "K" + QByteArray::number(st);
            r.MediaPointID = " MP7 ";
        }
        WINREMOVE(2, "MP7 ");
        QList<QByteArray> got;
        for (QByteArray m = WINGET(2); !m.isEmpty(); m = WINGET(2))
            got.append(m);
        const QList<QByteArray> want{"\x0cK0", "\x0cK1", "\x0cK3", "\x0cK5"};
        QCOMPARE(got, want);
        WINADD("x", 13);
        QVERIFY(home.readLog().contains("Error WINADD) 9 Subscript out of range"));
        resetConsoleState();
    }

    void aBusyHeadEndQueuesEverythingInOrder()
    {
        LinkFixture f;
        f.settle(1);
        SendHS(1, "m0", 0);
        for (int i = 1; i < 15; ++i)
            SendHS(1, "m" + QByteArray::number(i), 0);
        QCOMPARE(sendQueueSize(1), 14);
        QVERIFY(f.home.readLog().contains("SendHS queue of head end 1 is long: 11 messages"));
        QList<QByteArray> want;
        for (int i = 1; i < 15; ++i)
            want.append("m" + QByteArray::number(i));
        f.sock(1).arrive(LastSent(1).left(4));
        QCOMPARE(f.pump(1), want);

        // A server that lets the queue swing around the mark gets one line a minute.
        for (int round = 0; round < 5; ++round) {
            for (int i = 0; i < 12; ++i)
                SendHS(1, "s" + QByteArray::number(i), 0);
            f.sock(1).arrive(LastSent(1).left(4));
            f.pump(1);
        }
        QCOMPARE(f.home.readLog().count(" is long:"), 1);
    }

    void aSilentServerGetsEachMessageFiveTimesThenTheNext()
    {
        // Real timers: the re-send rhythm itself is under test.
        TestHome home;
        RecordingUi ui;
        resetConsoleState();
        settings().HEOnLine[1] = true;
        settings().HEListNo[1] = 1;
        settings().HEPort[1] = "790";
        settings().HERetryMS[1] = 40;
        settings().HERetryMS[2] = 0;
        FakeHsSocket *sock = nullptr;
        QElapsedTimer clock;
        QList<QByteArray> sent;
        QList<qint64> times;
        {
            HsLink link(&ui);
            link.setSocketFactory([&](int) {
                auto s = std::make_unique<FakeHsSocket>();
                sock = s.get();
                sock->timer = &clock;
                return s;
            });
            link.setRetryIntervals();
            QCOMPARE(link.timeHSCTS(1).interval(), 40);
            QCOMPARE(link.timeHSCTS(2).interval(), 70);
            link.connectHeadEnds(false);
            QCOMPARE(sock->host, settings().HEMainIP[1]);
            clock.start();
            SendHS(1, "first", 0);
            SendHS(1, "second", 0);
            link.start();
            // Generous: other programs may load the machine.
            QTRY_VERIFY_WITH_TIMEOUT(sock->sent.size() >= 6, 20000);
            QTest::qWait(50);

            // The next message soon after an answer: its re-sends are timed from its own
            // sending, though the head end's timer runs on from the message before.
            sock->arrive(LastSent(1).left(4));
            QTest::qWait(25);
            SendHS(1, "third", 0);
            QTRY_VERIFY_WITH_TIMEOUT(sock->sent.count(LastSent(1)) >= 2, 20000);
            const qsizetype once = sock->sent.indexOf(LastSent(1));
            const qint64 resentAfter =
                sock->times.at(sock->sent.indexOf(LastSent(1), once + 1)) - sock->times.at(once);
            QVERIFY2(resentAfter >= 38, QByteArray::number(resentAfter).constData());
            sent = sock->sent;
            times = sock->times;
        }
        for (int i = 0; i < 5; ++i)
            QCOMPARE(sent.at(i).mid(4), QByteArray("first"));
        QCOMPARE(sent.at(5).mid(4), QByteArray("second"));
        // The re-sends follow the head end's interval, not the 10 ms flush. A timer never
        // fires early, but on a loaded machine it may fire late: only the lower bound is
        // a property of the code.
        for (int i = 1; i < 5; ++i) {
            const qint64 gap = times.at(i) - times.at(i - 1);
            QVERIFY2(gap >= 30, QByteArray::number(gap).constData());
        }
        QVERIFY(home.readLog().contains("Retry_MS of head end 2 is 0; 70 ms used"));
        QVERIFY(home.readLog().contains("SendHS gave up on a message to head end 1 after 4 "
                                        "re-sends: 10<1>1first"));
        QVERIFY(!home.readLog().contains("<10>"));
        resetConsoleState();
    }

    void theTroubleWindowComesOnceAndOnlyAfterTheBootDelay()
    {
        LinkFixture f({1, 4});
        QCOMPARE(f.sock(4).host, QByteArray("10.0.0.4"));
        QCOMPARE(f.sock(4).port, quint16(790));
        f.sock(1).connected = false;
        QVERIFY(HeadEndLinkDown(1) && !HeadEndLinkDown(4) && HeadEndLinkDown(5));
        SendHS(1, "early", 0);
        QVERIFY(f.ui.trouble.isEmpty());
        QCOMPARE(LastSent(1).mid(4), QByteArray("early"));
        QCOMPARE(ResendLeft(1), qint16(4));
        QVERIFY(f.link->resendTimed(1));
        for (int i = 0; i < 5; ++i)
            f.link->timeHSCTS_Timer(1);
        QVERIFY(!f.link->resendTimed(1));
        // Never transmitted, so not "given up after re-sends" either.
        QVERIFY(f.home.readLog().contains(
            "SendHS: 1 message(s) for head end 1 not sent, its link is down; the first: early"));
        QVERIFY(!f.home.readLog().contains("gave up"));

        f.link->timeBoot_Timer();
        QVERIFY(Booted(12));
        SendHS(1, "late", 0);
        QCOMPARE(f.ui.trouble, QList<int>{1});
        QVERIFY(f.sock(1).closed);
        QCOMPARE(TroubleHE(), qint16(1));
        QCOMPARE(TroubleFlag(), QByteArray("1"));
        // Raised, it stays down even were the socket to report a connection.
        f.sock(1).connected = true;
        QVERIFY(HeadEndLinkDown(1));
        f.sock(1).connected = false;
        for (int i = 0; i < 5; ++i)
            f.link->timeHSCTS_Timer(1);
        SendHS(1, "later", 0);
        QCOMPARE(f.ui.trouble, QList<int>{1});
        QVERIFY(f.sock(1).sent.isEmpty());
        // A connected head end raises nothing.
        SendHS(4, "fine", 0);
        QCOMPARE(f.sock(4).sent.size(), 1);
        QCOMPARE(f.ui.trouble, QList<int>{1});
    }

    void aLostLinkIsLoggedAndWhatIsQueuedForItIsNotSent()
    {
        LinkFixture f({1, 2});
        QVERIFY(HeadEndLinkDown(3)); // never connected
        QVERIFY(!HeadEndLinkDown(2));

        // A server that takes nothing: one line a minute however many are given up.
        for (const char *body : {"A", "B", "C"}) {
            SendHS(2, body, 0);
            for (int i = 0; i < 5; ++i)
                f.link->timeHSCTS_Timer(2);
        }
        QCOMPARE(f.home.readLog().count("SendHS gave up"), 1);

        // The lost server: head end, address, since when and why, once.
        f.link->timeBoot_Timer();
        f.sock(1).connected = false;
        f.sock(1).cause = "closed by the peer";
        f.sock(1).since = QDateTime(QDate(2026, 12, 9), QTime(9, 58, 7));
        WINADD("W1", 1);
        SendHS(1, "hold", 0);
        QCOMPARE(f.ui.trouble, QList<int>{1});
        QVERIFY(HeadEndLinkDown(1));
        const QByteArray log = f.home.readLog();
        QCOMPARE(
            log.count("Hardware Server of head end 1 (HeadEnd1) lost: 10.0.0.1 (Main), since " +
                      shortDate(QDate(2026, 12, 9)) + " 09:58:07, closed by the peer"),
            1);
        // What was queued is not sent, counted, with the first message.
        QVERIFY2(log.contains("SendHS: 2 message(s) for head end 1 not sent, its link is down; the "
                              "first: hold"),
                 log.constData());
        QCOMPARE(winQueueSize(1), 0);

        // Later commands go the same way: no queue grows, one line a minute counts them.
        for (int i = 0; i < 30; ++i) {
            SendHS(1, "later" + QByteArray::number(i), 0);
            WINADD("win", 1);
            f.clock.advanceMs(300);
            f.link->timeBuffer_Timer();
            f.link->timeHSCTS_Timer(1);
        }
        QCOMPARE(sendQueueSize(1), 0);
        QCOMPARE(winQueueSize(1), 0);
        QCOMPARE(f.home.readLog().count("not sent, its link is down"), 1);
        f.clock.advanceMs(60 * 1000);
        f.link->timeBuffer_Timer();
        QVERIFY(f.home.readLog().contains(
            "SendHS: 60 message(s) for head end 1 not sent, its link is down; the first: later0"));
        QVERIFY(f.sock(1).sent.isEmpty());
        QCOMPARE(f.home.readLog().count("Hardware Server of head end"), 1);
    }

    // Connected but never answering: after 30 s of given-up messages the server is lost
    // like a closed one, its queue waits, and an answer lets the queue flow again.
    void aSilentServerIsLostAfterThirtySecondsAndHeardAgain()
    {
        LinkFixture f({1});
        f.link->timeBoot_Timer();
        f.settle(1);
        const QDateTime lastAnswer = f.clock.now();
        f.clock.advanceMs(1000);
        auto giveUpPoll = [&] {
            f.clock.advanceMs(400);
            f.link->timeBuffer_Timer();
            for (int i = 0; i < 5; ++i)
                f.link->timeHSCTS_Timer(1);
        };
        for (int i = 0; i < 70; ++i) // 28 s of given-up polls
            giveUpPoll();
        QVERIFY(!HeadEndLost(1) && f.ui.trouble.isEmpty());
        for (int i = 0; i < 10; ++i)
            giveUpPoll();
        QVERIFY(HeadEndLost(1) && HeadEndLinkDown(1));
        QCOMPARE(f.ui.trouble, QList<int>{1});
        QVERIFY(!f.sock(1).closed);
        const QByteArray log = f.home.readLog();
        QCOMPARE(
            log.count("Hardware Server of head end 1 (HeadEnd1) lost: 10.0.0.1 (Main), since " +
                      shortDate(lastAnswer.date()) + " " +
                      lastAnswer.time().toString("HH:mm:ss").toLatin1() +
                      ", no answer within the re-send cycle"),
            1);

        // While silent only polls go out; what is queued waits.
        SendHS(1, "hold", 0);
        WINADD("win", 1);
        for (int i = 0; i < 5; ++i)
            giveUpPoll();
        for (const QByteArray &m : f.sock(1).sent)
            QCOMPARE(m.mid(4), QByteArray("\n"));
        QCOMPARE(f.home.readLog().count(" lost: "), 1);
        QCOMPARE(f.ui.trouble, QList<int>{1});

        // It answers again: one line, and the queue flows.
        f.clock.advanceMs(400);
        f.link->timeBuffer_Timer();
        QCOMPARE(f.pump(1), (QList<QByteArray>{"hold", "win"}));
        QVERIFY(!HeadEndLost(1) && !HeadEndLinkDown(1));
        QCOMPARE(f.home.readLog().count("Hardware Server of head end 1 (HeadEnd1) answers again: "
                                        "10.0.0.1 (Main)"),
                 1);
    }

    void backupServersAndPortsAtConnect()
    {
        TestHome home;
        RecordingUi ui;
        resetConsoleState();
        settings().HEOnLine[3] = true;
        settings().HEBackupIP[3] = "192.168.9.9";
        settings().HEPort[3] = "7000x";
        std::array<FakeHsSocket *, 13> made{};
        HsLink link(&ui);
        link.setSocketFactory([&](int he) {
            auto s = std::make_unique<FakeHsSocket>();
            made[static_cast<size_t>(he)] = s.get();
            return s;
        });
        link.connectHeadEnds(true);
        QCOMPARE(made[3]->host, QByteArray("192.168.9.9"));
        QCOMPARE(made[3]->port, quint16(7000));
        QVERIFY(!made[1]);
        QCOMPARE(link.localAddress(3), QStringLiteral("10.20.30.40"));
        // Head end 1 has no socket: the machine's own address stands in.
        QVERIFY(!link.localAddress(1).isEmpty());

        settings().HEPort[3] = "70000";
        QVERIFY_THROWS_EXCEPTION(Failure, link.connectHeadEnds(false));
        resetConsoleState();
    }
};

VEK_TEST(TestSendPath)
#include "tst_sendpath.moc"
