#include <QTest>

#include "core/eventstore.h"
#include "core/eventtext.h"
#include "core/linkactivity.h"
#include "hslinkfixture.h"
#include "testregistry.h"

using namespace vek;

namespace {

QByteArray key32(int n)
{
    return ("KEY" + QByteArray::number(n)).leftJustified(32, 'x');
}

EventRec makeEvent(const QByteArray &key, const QByteArray &description)
{
    EventRec r;
    r.InUse = true;
    r.EventKey = key;
    r.HeadEnd = 1;
    r.DestCh = 3;
    r.Status = StatusActive;
    r.EventDate = QDate(2026, 12, 9);
    r.StartTime = "11:00:00";
    r.EndTime = "11:30:00";
    r.Duration = "00:30:00";
    r.Description = description;
    r.StartKey = 2026120939600;
    r.EndKey = 2026120941400;
    return r;
}

QByteArray change(const EventRec &r)
{
    return "\xb5" + EventToString(r);
}
QByteArray removal(const EventRec &r)
{
    return "\xb6" + EventToString(r);
}

QByteArray dashGroup(quint32 v)
{
    QByteArray g(4, '\0');
    g[0] = static_cast<char>(v >> 24);
    g[1] = static_cast<char>(v >> 16);
    g[2] = static_cast<char>(v >> 8);
    g[3] = static_cast<char>(v);
    return g;
}

QByteArray pollReply(std::initializer_list<int> bytes)
{
    QByteArray b = "n";
    for (int v : bytes)
        b += chr(v);
    return b;
}

} // namespace

class TestReceivePath : public QObject
{
    Q_OBJECT
private slots:
    void anArrivalIsNotedAtTheConsoleClocksInstant()
    {
        LinkFixture f;
        QVERIFY(!lastArrival(1).isValid());
        f.sock(1).arrive("1099");
        const QDateTime at = f.clock.now();
        f.clock.advanceMs(7000);
        QCOMPARE(lastArrival(1), at);
        QCOMPARE(lastArrival(1).secsTo(f.clock.now()), 7);
        QVERIFY(!lastArrival(2).isValid());
        QVERIFY(!lastArrival(0).isValid());
    }

    void acknowledgementTestAndMalformedArrivals()
    {
        LinkFixture f;
        SendHS(1, "Q", 0);
        QCOMPARE(ResendLeft(1), qint16(4));
        f.sock(1).arrive("1099");
        QCOMPARE(ResendLeft(1), qint16(4));
        QVERIFY(f.link->resendTimed(1));
        f.sock(1).arrive(LastSent(1).left(4));
        QCOMPARE(ResendLeft(1), qint16(0));
        QVERIFY(!f.link->resendTimed(1));
        QVERIFY(!f.home.readLog().contains("Error"));

        f.sock(1).arrive("");
        QVERIFY(f.home.readLog().contains(
            "Error(wsHS_DataArrival) Index = 1 Error 5 Invalid procedure call or argument"));
        // Level 9, unit 17: out of range, logged, nothing stored.
        f.arrive(1, "s" + chr(9) + "abc");
        f.arrive(1, "\x8d" + chr(9) + "abc");
        f.arrive(1, "v" + chr(17) + "abc");
        f.arrive(1, "\x97" + chr(17) + "abc");
        // One line a minute for each error a server repeats.
        QCOMPARE(f.home.readLog().count("Error 9 Subscript out of range"), 1);
        // Codes outside the answers are ignored.
        f.arrive(1, "A");
        f.arrive(1, "\xff");
        QCOMPARE(f.home.readLog().count("Error(wsHS_DataArrival)"), 2);
    }

    void pollRepliesAskInRuleOrder()
    {
        LinkFixture f;
        settings().HEListNo[1] = 10; // bit 1 of b(6)
        f.settle(1);
        using L = QList<QByteArray>;
        QCOMPARE(f.requestsAfter(1, pollReply({0, 0, 0, 0, 0, 0})), L{});
        QCOMPARE(f.requestsAfter(1, pollReply({1, 0, 0, 0, 0, 0, 1, 1})), L{chr(19) + chr(0)});
        QCOMPARE(f.requestsAfter(1, pollReply({2, 0x05, 0, 0, 0, 0})), L{")" + chr(3)});
        QCOMPARE(f.requestsAfter(1, pollReply({2, 0, 0x80, 0, 0, 0})), L{"3" + chr(8)});
        QCOMPARE(f.requestsAfter(1, pollReply({0, 0, 0, 1, 0, 0})), L{chr(21) + chr(1)});
        QCOMPARE(f.requestsAfter(1, pollReply({0, 0, 0, 2, 0, 2, 1, 1})), (L{chr(14), "G", "R"}));
        QCOMPARE(f.requestsAfter(1, pollReply({0, 0, 0, 0, 0, 2, 1, 1, 0, 0, 0x02})),
                 (L{chr(14), "G", "3" + chr(10)}));
        QCOMPARE(f.requestsAfter(1, pollReply({0, 0, 0, 0, 0, 1})), L{});

        settings().HEListNo[1] = 25; // bit 0 of b(10), present only from 11 characters
        QCOMPARE(f.requestsAfter(1, pollReply({0, 0, 0, 0, 0, 0, 0, 0, 0, 1})), L{"R"});
        QCOMPARE(f.requestsAfter(1, pollReply({0, 0, 0, 0, 0, 0, 0, 0, 0})), L{});

        settings().HEListNo[1] = 0;
        QCOMPARE(f.requestsAfter(1, pollReply({0, 0, 0, 0, 0xff, 0xff, 0, 0, 0xff, 0xff})), L{});
        settings().HEListNo[1] = 40;
        QCOMPARE(f.requestsAfter(1, pollReply({0, 0, 0, 0, 0xff, 0xff, 1})), L{chr(14)});
        QVERIFY(f.home.readLog().contains("Error(wsHS_DataArrival) Index = 1 Error 9"));
    }

    void channelDownloadRunsThroughTimeZoneAndMinutes()
    {
        LinkFixture f;
        settings().HEChannels[1] = 2;
        f.settle(1);
        using L = QList<QByteArray>;
        const QByteArray sep = chr(206);
        auto record = [&](const QByteArray &name) {
            return name + sep + "7" + sep + "1" + sep + "4" + sep + "SRC" + sep + "0" + sep + "2" +
                   sep + "DST" + sep + "0" + sep + "9" + sep + "False" + sep + "True";
        };
        QCOMPARE(f.requestsAfter(1, "w" + chr(0) + record("ZERO")), L{chr(19) + chr(1)});
        QCOMPARE(f.requestsAfter(1, "w" + chr(1) + record("ONE")), L{chr(19) + chr(2)});
        QCOMPARE(f.requestsAfter(1, "w" + chr(2) + record("TWO")), L{chr(19) + chr(3)});
        QCOMPARE(f.requestsAfter(1, "w" + chr(3) + record("THREE")), L{"="});
        QCOMPARE(Channel(1, 2).ChanName, QByteArray("TWO"));
        QVERIFY(Channel(1, 3).ChanName.isEmpty());
        QCOMPARE(LastBlock(1), qint16(3));
        QCOMPARE(f.requestsAfter(1, "\xa1" + chr(4)), L{">"});
        QCOMPARE(HETimeZone(1), qint16(4));
        QCOMPARE(f.requestsAfter(1, "\xa2" + chr(45)), L{});
        QCOMPARE(LessThanMinutes(), qint16(45));

        // A zone index past the twelve clocks keeps the old zone; the chain goes on.
        QCOMPARE(f.requestsAfter(1, "\xa1" + chr(12)), L{">"});
        QCOMPARE(HETimeZone(1), qint16(4));
        QVERIFY(f.home.readLog().contains("Time zone 12 of head end 1 is not a zone clock"));

        // The last record a character can number still leads on.
        settings().HEChannels[1] = 256;
        QCOMPARE(f.requestsAfter(1, "w" + chr(254) + record("A")), L{chr(19) + chr(255)});
        QCOMPARE(f.requestsAfter(1, "w" + chr(255) + record("B")), L{"="});
        QCOMPARE(Channel(1, 255).ChanName, QByteArray("B"));

        // A refused record stores nothing and asks for no next record.
        QCOMPARE(f.requestsAfter(1, "w" + chr(1) + "NEW" + sep + "8" + sep + "1" + sep + "4" + sep +
                                        "S" + sep + "0" + sep + "2" + sep + "D" + sep + "0" + sep +
                                        "9" + sep + "maybe" + sep + "1"),
                 L{});
        QCOMPARE(Channel(1, 1).ChanName, QByteArray("ONE"));
        QVERIFY(f.home.readLog().contains("Error(wsHS_DataArrival) Index = 1 Error 13"));
    }

    void fiftyEventsStoredReplacedAndDeletedByKey()
    {
        LinkFixture f;
        f.settle(1);
        for (int i = 0; i < 50; ++i) {
            const QList<QByteArray> asked =
                f.requestsAfter(1, change(makeEvent(key32(i), "Show " + QByteArray::number(i))));
            QCOMPARE(asked.size(), 1);
            QCOMPARE(asked.first(), QByteArray("\n"));
        }
        for (int i = 0; i < 50; ++i)
            QCOMPARE(Events().at(1, i).EventKey, key32(i));
        QCOMPARE(Events().at(1, 7).HeadEnd, quint8(1));

        f.arrive(1, change(makeEvent(key32(10), "Replaced")));
        QCOMPARE(Events().at(1, 10).Description, QByteArray("Replaced"));
        QVERIFY(!Events().at(1, 50).InUse);

        for (int i : {20, 5, 33})
            f.arrive(1, removal(makeEvent(key32(i), "")));
        QVERIFY(!Events().at(1, 5).InUse);
        QVERIFY(!Events().at(1, 20).InUse);
        f.arrive(1, change(makeEvent(key32(99), "New")));
        QCOMPARE(Events().at(1, 5).EventKey, key32(99));
        f.arrive(1, change(makeEvent(key32(98), "New")));
        QCOMPARE(Events().at(1, 20).EventKey, key32(98));
        QCOMPARE(findEventSlot(1, key32(33)), -1);
        QCOMPARE(firstFreeEventSlot(1), 33);

        // Deleting a key nobody holds only asks for the next change.
        f.link->timeUPDATE().stop();
        f.link->timeDashBoard().stop();
        UpdatePending(1) = false;
        DashPending(1) = false;
        QCOMPARE(f.requestsAfter(1, removal(makeEvent(key32(77), ""))), QList<QByteArray>{"\n"});
        QVERIFY(!UpdatePending(1));
        QVERIFY(!DashPending(1));
        QVERIFY(!f.link->timeUPDATE().isActive());
        QVERIFY(!f.link->timeDashBoard().isActive());
    }

    void aSplitEventWaitsForItsRest()
    {
        LinkFixture f;
        f.settle(1);
        const QByteArray whole = f.answer(1, change(makeEvent(key32(1), "Split")));
        f.sock(1).arrive(whole.left(150));
        QVERIFY(hasPartialEvent(1));
        QVERIFY(!Events().at(1, 0).InUse);
        f.sock(1).arrive(whole.mid(150));
        QVERIFY(!hasPartialEvent(1));
        QCOMPARE(Events().at(1, 0).Description, QByteArray("Split"));

        // A rest that never comes: after the wait the part is an error, nothing stored.
        f.pump(1);
        const QByteArray other = f.answer(1, change(makeEvent(key32(2), "Cut")));
        f.sock(1).arrive(other.left(100));
        f.link->timeEventWait_Timer(1);
        QVERIFY(!hasPartialEvent(1));
        QVERIFY(!Events().at(1, 1).InUse);
        QVERIFY(f.home.readLog().contains("Error(wsHS_DataArrival) Index = 1 Error 9"));

        // A new answer after a part: the part is handled as it is, the answer normally.
        f.pump(1);
        f.sock(1).arrive(f.answer(1, change(makeEvent(key32(3), "Cut"))).left(100));
        f.sock(1).arrive(f.answer(1, change(makeEvent(key32(4), "Next"))));
        QCOMPARE(Events().at(1, 1).EventKey, key32(4));
    }

    void refreshesAtOnceThenEveryTwoSecondsAndAsksForTheDashboard()
    {
        LinkFixture f({1, 2});
        f.settle(1);
        f.arrive(1, change(makeEvent(key32(1), "a")));
        for (int view = 1; view <= 8; ++view)
            QVERIFY(GridDirty(view, 1));
        QVERIFY(!UpdatePending(1));
        QVERIFY(f.link->timeUPDATE().isActive());
        QVERIFY(f.link->timeDashBoard().isActive());
        QVERIFY(DashPending(1));

        GridDirty(3, 1) = false;
        f.clock.advanceMs(500);
        f.arrive(1, change(makeEvent(key32(2), "b")));
        QVERIFY(!GridDirty(3, 1));
        QVERIFY(UpdatePending(1));
        f.link->timeUPDATE_Timer();
        QVERIFY(GridDirty(3, 1));
        QVERIFY(!UpdatePending(1));
        QVERIFY(!f.link->timeUPDATE().isActive());

        f.pump(1);
        f.sock(1).sent.clear();
        f.link->timeDashBoard_Timer();
        QVERIFY(!DashPending(1));
        QVERIFY(!f.link->timeDashBoard().isActive());
        QCOMPARE(f.sock(1).sent.size(), 1);
        QCOMPARE(f.sock(1).sent.first().mid(4), chr(30));
        QVERIFY(f.sock(2).sent.isEmpty() || !f.sock(2).sent.last().endsWith(chr(30)));

        // The refresh comes a second after the burst's last change, not its first.
        f.arrive(1, change(makeEvent(key32(3), "c")));
        QVERIFY(UpdatePending(1));
        QTest::qWait(600);
        f.arrive(1, change(makeEvent(key32(4), "d")));
        QTest::qWait(600);
        QVERIFY(UpdatePending(1));
        QTRY_VERIFY_WITH_TIMEOUT(!UpdatePending(1), 3000);
    }

    void dashboardCountsInWireOrder()
    {
        LinkFixture f;
        f.settle(1);
        QByteArray p;
        for (quint32 v : {70000u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u})
            p += dashGroup(v);
        QCOMPARE(f.requestsAfter(1, "\x82" + p), QList<QByteArray>{chr(31)});
        const DashBoardRec &all = DashBoardAll(1);
        QCOMPARE(all.Spare, 0); // beyond 32767
        QCOMPARE(all.Completed2, 2);
        QCOMPARE(all.Completed, 3);
        QCOMPARE(all.Total, 4);
        QCOMPARE(all.Interrupted, 5);
        QCOMPARE(all.LessThan, 6);
        QCOMPARE(all.OnAir, 7);
        QCOMPARE(all.OnHold, 8);
        QCOMPARE(all.Problem, 9);
        QCOMPARE(all.Upcoming, 10);

        p.replace(12, 4, dashGroup(0x80000000u));
        QCOMPARE(f.requestsAfter(1, "\x83" + p), QList<QByteArray>{});
        QCOMPARE(DashBoardToday(1).Total, 0);
        QCOMPARE(DashBoardToday(1).Upcoming, 10);
        // Too short: not stored, the second request still goes.
        QCOMPARE(f.requestsAfter(1, "\x82" + p.left(39)), QList<QByteArray>{chr(31)});
        QCOMPARE(DashBoardAll(1).Total, 4);
    }

    void alarmsGoToTheWindowOnceUntilCleared()
    {
        LinkFixture f({1, 2});
        f.settle(1);
        f.arrive(1, "r" + QByteArray("Fan failure\0\0", 13));
        f.arrive(1, "r" + QByteArray("Fan failure"));
        QCOMPARE(f.ui.alarms.size(), 1);
        QCOMPARE(f.ui.alarms.first().first, 1);
        QCOMPARE(f.ui.alarms.first().second, QByteArray("(HeadEnd1) Fan failure"));
        QVERIFY(AlarmFlag());
        f.arrive(1, "r" + QByteArray("ESNI link down"));
        f.arrive(1, "r" + QByteArray("esni link down"));
        QCOMPARE(f.ui.alarms.at(1).second, QByteArray("ESNI link down"));
        QCOMPARE(f.ui.alarms.at(2).second, QByteArray("(HeadEnd1) esni link down"));
        settings().HEAlarm[2] = false;
        f.arrive(2, "r" + QByteArray("Ignored"));
        QCOMPARE(f.ui.alarms.size(), 3);

        // The window's OK: the report goes to the head end with a header, and the same
        // text opens a new window afterwards.
        f.pump(1);
        const QByteArray report =
            "Operator cleared alarm.  Alarm = (HeadEnd1) Fan failure from IP " +
            f.link->localAddress(1).toLatin1();
        SendHS(1, "d" + report, 0);
        QCOMPARE(f.sock(1).sent.last().mid(4), "d" + report);
        QVERIFY(report.endsWith("10.20.30.40"));
        AlarmText().clear();
        LastAlarm().clear();
        f.sock(1).arrive(LastSent(1).left(4));
        f.arrive(1, "r" + QByteArray("esni link down"));
        QCOMPARE(f.ui.alarms.size(), 4);
    }

    void aFullHeadEndLogsTheEventItCannotStore()
    {
        LinkFixture f;
        f.settle(1);
        for (int slot = 0; slot < EventTable::Slots; ++slot) {
            EventRec r = Events().at(1, slot);
            r.InUse = true;
            r.EventKey = key32(100000 + slot);
            writeEventSlot(1, slot, r);
        }
        f.arrive(1, change(makeEvent(key32(1), "x")));
        QVERIFY(f.home.readLog().contains("Event " + key32(1) +
                                          " of head end 1 not stored: all 10001 event slots"));
        // A server that keeps sending new events gets one line a minute.
        for (int i = 2; i < 50; ++i)
            f.arrive(1, change(makeEvent(key32(i), "x")));
        QCOMPARE(f.home.readLog().count("not stored: all 10001"), 1);
        f.clock.advanceMs(60 * 1000);
        f.arrive(1, change(makeEvent(key32(50), "x")));
        QVERIFY(f.home.readLog().contains("Event " + key32(50) +
                                          " of head end 1 not stored: all 10001 event slots are "
                                          "in use (48 more like it not logged)"));
        f.arrive(1, change(makeEvent(key32(109999), "x")));
        QCOMPARE(Events().at(1, 9999).Description, QByteArray("x"));
    }

    void backupAutomationStoresAndSwitches()
    {
        LinkFixture f;
        f.settle(1);
        ChannelEntry &e = Channel(1, 6);
        e.ChanName = "CNN";
        e.ChanLevel = 3;
        e.ChanCol = 12;
        f.arrive(1, "\xab" + chr(1) + chr(2) + "00" + " cnn    " + "  7 ");
        QCOMPARE(e.ChanBackupSrc, qint16(7));
        QVERIFY(f.pump(1).isEmpty());
        QCOMPARE(f.requestsAfter(1, "\xab" + chr(1) + chr(3) + "00" + "cnn     " + "5   "),
                 QList<QByteArray>{chr(16) + "03005012"});
        QVERIFY(f.home.readLog().contains(
            "ZEL Automation sent channel to backup source.  Details: 03005012"));
        f.arrive(1, "\xab" + chr(2) + chr(3) + "00" + "cnn     " + "9   ");
        QCOMPARE(e.ChanBackupSrc, qint16(5));

        // A source a take message cannot carry is stored all the same; nothing switches.
        QVERIFY(
            f.requestsAfter(1, "\xab" + chr(1) + chr(3) + "00" + "cnn     " + "1234").isEmpty());
        QCOMPARE(e.ChanBackupSrc, qint16(1234));
        QVERIFY(f.home.readLog().contains("backup source 1234 for CNN of head end 1 is out of "
                                          "range; nothing switched"));
        f.arrive(1, "\xab" + chr(1) + chr(2) + "00" + "cnn     " + "-5  ");
        QCOMPARE(e.ChanBackupSrc, qint16(-5));
    }

    void statusPartsBeyondTheCapAreDroppedAndTheChainGoesOn()
    {
        LinkFixture f;
        f.settle(1);
        const QByteArray part(40000, 'x');
        QCOMPARE(f.requestsAfter(1, chr(141) + chr(3) + part), QList<QByteArray>{chr(42) + chr(3)});
        for (int i = 0; i < 20; ++i)
            QCOMPARE(f.requestsAfter(1, chr(142) + chr(3) + part),
                     QList<QByteArray>{chr(43) + chr(3)});
        QCOMPARE(RTRBuffer(1, 3).size(), MaxStatusText);
        QVERIFY(RTRBuffer(1, 3).startsWith(part));
        for (int i = 0; i < 20; ++i)
            f.arrive(1, chr(152) + chr(16) + part);
        QCOMPARE(TMXBuffer(1, 16).size(), MaxStatusText);
        f.arrive(1, "s" + chr(2) + QByteArray(100000, 'y'));
        QCOMPARE(RTRBuffer(1, 2).size(), MaxStatusText);
        // One line per head end and minute, whichever text overflowed.
        const QByteArray log = f.home.readLog();
        QCOMPARE(log.count("characters; the rest is dropped"), 1);
        QVERIFY(log.contains("Extended router status of level 3 of head end 1 is longer than "
                             "65536 characters; the rest is dropped"));

        // A server that sends parts without ever acknowledging: each asks for the next
        // part, but one request of a kind waits at a time.
        for (int i = 0; i < 200; ++i) {
            f.sock(1).arrive("9999" + chr(142) + chr(4) + "p");
            f.sock(1).arrive("9999" + chr(152) + chr(4) + "q");
            f.sock(1).arrive("9999" + change(makeEvent(key32(i), "x")));
        }
        QVERIFY2(sendQueueSize(1) <= 3, QByteArray::number(sendQueueSize(1)).constData());

        // A new first part starts the text again.
        f.arrive(1, chr(141) + chr(3) + "ab");
        QCOMPARE(RTRBuffer(1, 3), QByteArray("ab"));
        f.clock.advanceMs(60 * 1000);
        f.arrive(1, "v" + chr(1) + QByteArray(70000, 'z'));
        QVERIFY(f.home.readLog().contains("TMX status of unit 1 of head end 1 is longer than "
                                          "65536 characters; the rest is dropped (39 more like "
                                          "it not logged)"));
    }
};

VEK_TEST(TestReceivePath)
#include "tst_receivepath.moc"
