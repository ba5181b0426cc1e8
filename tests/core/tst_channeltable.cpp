#include <QTest>

#include "core/consolestate.h"
#include "core/routerstatus.h"
#include "hslinkfixture.h"
#include "platform/failure.h"
#include "testregistry.h"

using namespace vek;

namespace {

QByteArray record(const QList<QByteArray> &fields)
{
    QByteArray r;
    for (qsizetype i = 0; i < fields.size(); ++i)
        r += (i ? chr(ChannelFieldSeparator) : QByteArray()) + fields.at(i);
    return r;
}

QList<QByteArray> goodFields()
{
    return {" CNN ", "12", "3", "4", " CNN SRC ", "1", "6", "CNN DEST", "2", "9", "false", "1"};
}

void entry(int he, int ch, int level, int col, int def, int backup, const QByteArray &name, int num)
{
    ChannelEntry &e = Channel(he, ch);
    e.ChanLevel = static_cast<quint8>(level);
    e.ChanCol = static_cast<qint16>(col);
    e.ChanDefSrc = static_cast<qint16>(def);
    e.ChanBackupSrc = static_cast<qint16>(backup);
    e.SrcName = name;
    e.ChanNum = static_cast<qint16>(num);
}

void setEvent(int slot, int dest, quint8 status, qint64 start, qint64 end)
{
    EventRec &r = Events().edit(1, slot);
    r.InUse = true;
    r.DestCh = static_cast<qint16>(dest);
    r.Status = status;
    r.StartKey = start;
    r.EndKey = end;
}

} // namespace

class TestChannelTable : public QObject
{
    Q_OBJECT
private slots:
    void aRecordIsCheckedWholeBeforeAnyFieldIsStored()
    {
        TestHome home;
        resetConsoleState();
        ParseChannelRecord(2, 5, record(goodFields()));
        const ChannelEntry &e = Channel(2, 5);
        QCOMPARE(e.ChanName, QByteArray("CNN"));
        QCOMPARE(e.ChanNum, qint16(12));
        QCOMPARE(e.ChanLevel, quint8(3));
        QCOMPARE(e.SrcName, QByteArray("CNN SRC"));
        QCOMPARE(e.ChanCol, qint16(6));
        QCOMPARE(e.ChanBackupSrc, qint16(9));
        QVERIFY(!e.ChanHidden);
        QVERIFY(e.SelectList);
        QVERIFY(!e.SrcExcluded);

        QList<QByteArray> f17 = goodFields() << "x"
                                             << "x"
                                             << "x"
                                             << "TRUE"
                                             << "junk";
        ParseChannelRecord(2, 5, record(f17));
        QVERIFY(e.SrcExcluded);
        ParseChannelRecord(2, 5,
                           record(goodFields() << "x"
                                               << "x"
                                               << "x"
                                               << "0"));
        QVERIFY(e.SrcExcluded); // 16 fields leave it

        // Halves to even, and a leading number only.
        QList<QByteArray> g = goodFields();
        g[1] = "2.5";
        g[6] = " 7abc";
        ParseChannelRecord(2, 6, record(g));
        QCOMPARE(Channel(2, 6).ChanNum, qint16(2));
        QCOMPARE(Channel(2, 6).ChanCol, qint16(7));

        const ChannelEntry before = Channel(2, 5);
        QList<QByteArray> bad = goodFields();
        bad[0] = "OTHER";
        bad[11] = "";
        QVERIFY_THROWS_EXCEPTION(Failure, ParseChannelRecord(2, 5, record(bad)));
        bad[11] = "1";
        bad[2] = "256";
        QVERIFY_THROWS_EXCEPTION(Failure, ParseChannelRecord(2, 5, record(bad)));
        bad[2] = "1";
        bad[9] = "40000";
        QVERIFY_THROWS_EXCEPTION(Failure, ParseChannelRecord(2, 5, record(bad)));
        QVERIFY_THROWS_EXCEPTION(Failure,
                                 ParseChannelRecord(2, 5, record(goodFields().mid(0, 11))));
        QVERIFY_THROWS_EXCEPTION(Failure, ParseChannelRecord(13, 5, record(goodFields())));
        QCOMPARE(Channel(2, 5).ChanName, before.ChanName);
        QCOMPARE(Channel(2, 5).ChanLevel, before.ChanLevel);
        QCOMPARE(Channel(2, 5).ChanBackupSrc, before.ChanBackupSrc);
        resetConsoleState();
    }

    void routerStatusLabels()
    {
        LinkFixture f;
        f.settle(1);
        CVHeadEnd() = 1;
        // Level 3: entry 1 on output 1 (own 10, backup 11); entry 3 claims 45 as backup,
        // entry 7 as default source; entry 2 on output 2.
        entry(1, 1, 3, 1, 10, 11, "ONE", 101);
        entry(1, 2, 3, 2, 20, 21, "TWO", 102);
        entry(1, 3, 3, 9, 30, 45, "THREE", 103);
        entry(1, 7, 3, 9, 45, 70, "SEVEN", 107);
        entry(1, 8, 4, 3, 99, 98, "OTHERLEVEL", 108);

        auto status = [&](int level, QByteArray text) { f.arrive(1, "s" + chr(level) + text); };
        status(3, chr(10) + chr(21));
        QCOMPARE(Channel(1, 1).CurSrcText, QByteArray("ONE (101)"));
        QVERIFY(!Channel(1, 1).Substituted);
        QVERIFY(!Channel(1, 1).OnBackup);
        QCOMPARE(Channel(1, 2).CurSrcText, QByteArray("BU-TWO (102)"));
        QVERIFY(!Channel(1, 2).Substituted);
        QVERIFY(Channel(1, 2).OnBackup);
        QVERIFY(f.ui.fills.contains(1));

        status(3, chr(45) + chr(99));
        QCOMPARE(Channel(1, 1).CurSrcText, QByteArray("BU-THREE (103)"));
        QVERIFY(Channel(1, 1).Substituted);
        QVERIFY(!Channel(1, 1).OnBackup);
        // 99 belongs to another level only.
        QCOMPARE(Channel(1, 2).CurSrcText, QByteArray("IP 3-99"));
        QVERIFY(Channel(1, 2).Substituted);
        QCOMPARE(Channel(1, 8).CurSrcText, QByteArray());

        Channel(1, 3).ChanBackupSrc = 31;
        Channel(1, 7).ChanDefSrc = 71;
        status(3, chr(45) + chr(20));
        QCOMPARE(Channel(1, 1).CurSrcText, QByteArray("IP 3-45"));
        QVERIFY(Channel(1, 1).Substituted);

        // TMX unit 2 is code 82.
        entry(1, 20, 82, 1, 1, 2, "TMX", 120);
        f.arrive(1, "v" + chr(2) + chr(5));
        QCOMPARE(Channel(1, 20).CurSrcText, QByteArray("IP 2-5"));

        // Extended: two characters per output, high byte first; a high byte of 128 and
        // more is an input no entry claims.
        entry(1, 1, 3, 1, 300, 11, "ONE", 101);
        f.arrive(1, "\x8d" + chr(3) + chr(1));
        f.arrive(1, "\x8e" + chr(3) + chr(44));
        f.arrive(1, "\x8f" + chr(3) + chr(200));
        f.arrive(1, "\x90" + chr(3) + chr(1));
        f.arrive(1, "\x91" + chr(3));
        QCOMPARE(Channel(1, 1).CurSrcText, QByteArray("ONE (101)"));
        QCOMPARE(Channel(1, 2).CurSrcText, QByteArray("IP 3-51201"));
        QVERIFY(Channel(1, 2).Substituted);

        entry(1, 20, 82, 2, 1, 2, "TMX", 120);
        for (const char *part : {"\x97", "\x98", "\x99"})
            f.arrive(1, part + chr(2) + QByteArray(1, '\0'));
        f.arrive(1, "\x9a" + chr(2) + chr(2));
        QCOMPARE(Channel(1, 20).CurSrcText, QByteArray("BU-TMX (120)"));
    }

    void outputsTheStatusDoesNotCoverAreSkipped()
    {
        LinkFixture f;
        f.settle(1);
        entry(1, 1, 5, 0, 10, 11, "ZERO", 1);
        entry(1, 2, 5, 9, 10, 11, "FAR", 2);
        entry(1, 3, 5, 1, 10, 11, "NEAR", 3);
        Channel(1, 1).CurSrcText = "kept";
        f.arrive(1, "s" + chr(5) + chr(10));
        QCOMPARE(Channel(1, 1).CurSrcText, QByteArray("kept"));
        QCOMPARE(Channel(1, 3).CurSrcText, QByteArray("NEAR (3)"));
        const QByteArray log = f.home.readLog();
        QVERIFY(log.contains("Error RTRUPDATE) 9 Subscript out of range (channel 1, output 0)"));
        QCOMPARE(Channel(1, 2).CurSrcText, QByteArray());
        // The server may send the status again and again: one line a minute.
        QCOMPARE(log.count("Error RTRUPDATE)"), 1);
        QVERIFY(f.ui.fills.isEmpty()); // the Channel View shows no head end
    }

    void channelStatusDigits()
    {
        LinkFixture f;
        f.settle(1);
        // Code 12: the digit at body position 4.
        entry(1, 1, 12, 0, 3, 0, "A", 1);
        entry(1, 2, 12, 0, 5, 0, "B", 2);
        entry(1, 4, 12, 0, 5, 0, "D", 4);
        entry(1, 5, 12, 0, 7, 0, "E", 5);
        f.arrive(1, "y" + QByteArray("004"));
        QCOMPARE(Channel(1, 1).CurSrcText, QByteArray("D"));
        QVERIFY(Channel(1, 1).Substituted);
        QCOMPARE(Channel(1, 2).CurSrcText, QByteArray("B"));
        QVERIFY(!Channel(1, 2).Substituted);
        f.arrive(1, "y" + QByteArray("008"));
        QCOMPARE(Channel(1, 1).CurSrcText, QByteArray("D"));
        // Past the end reads as 0: source 1, which nobody has; codes past 74 are ignored.
        entry(1, 6, 75, 0, 1, 0, "F", 6);
        f.arrive(1, "y");
        QCOMPARE(Channel(1, 6).CurSrcText, QByteArray());
    }

    void pendingAndUnderThirtyFlagsFromTheEarliestEvent()
    {
        LinkFixture f;
        HETimeZone(1) = 3;
        ZoneTimes()[3] = QDateTime(QDate(2026, 12, 9), QTime(9, 0));
        const qint64 now = 2026120932400;
        setEvent(40, 5, StatusActive, now + 3600, 0);
        setEvent(2, 5, StatusOnHold, now + 7200, 0);
        setEvent(3, 6, StatusOnHold, now + 3600, 0);
        setEvent(4, 6, StatusActive, now + 7200, 0);
        setEvent(5, 7, StatusOnHoldOnAir, now - 600, now);
        setEvent(6, 8, StatusLessThan, now - 1, 0);
        setEvent(7, 9, StatusLessThan, now + 60, 0);
        setEvent(8, 9, StatusDone, now + 30, 0);
        setEvent(9, 300, StatusOnHold, now, 0);
        setEvent(10, 10, StatusOnHold, now, 0);
        Channel(1, 11).PendingSub = true;
        UpdateChannelFlags(1);
        QVERIFY(!Channel(1, 5).PendingSub);
        QVERIFY(Channel(1, 6).PendingSub);
        QVERIFY(Channel(1, 7).PendingSub);
        QVERIFY(!Channel(1, 8).Under30);
        QVERIFY(Channel(1, 9).Under30);
        QVERIFY(Channel(1, 10).PendingSub); // an event past channel 256 is passed over
        QVERIFY(!Channel(1, 11).PendingSub);

        // A zone index the clocks do not have: no flag is left standing, one line a minute.
        Channel(1, 11).PendingSub = true;
        Channel(1, 9).Under30 = true;
        HETimeZone(1) = 12;
        UpdateChannelFlags(1);
        UpdateChannelFlags(1);
        QVERIFY(!Channel(1, 11).PendingSub);
        QVERIFY(!Channel(1, 9).Under30);
        QCOMPARE(f.home.readLog().count("has no valid time zone (12)"), 1);
    }

    void sendToBackupTakesEveryMatchingRouterEntry()
    {
        LinkFixture f;
        f.settle(1);
        entry(1, 4, 3, 12, 1, 2, "S", 4);
        entry(1, 9, 8, 100, 1, 2, "S", 9);
        entry(1, 10, 9, 5, 1, 2, "S", 10);
        entry(1, 11, 3, 5, 1, 2, "S", 11);
        Channel(1, 4).ChanName = "CNN";
        Channel(1, 9).ChanName = "CNN";
        Channel(1, 10).ChanName = "CNN";
        Channel(1, 11).ChanName = "cnn";
        SendToBackup(1, "CNN", 5, true);
        QCOMPARE(f.pump(1), QList<QByteArray>{chr(16) + "08005100"});
        QCOMPARE(f.sock(1).sent.first().mid(4), chr(16) + "03005012");
        QCOMPARE(Channel(1, 4).ChanBackupSrc, qint16(5));
        QCOMPARE(Channel(1, 10).ChanBackupSrc, qint16(2));
        QCOMPARE(Channel(1, 11).ChanBackupSrc, qint16(2));
        // A server can repeat the record at will: one line a minute.
        QCOMPARE(f.home.readLog().count("ZEL Automation sent channel to backup source.  Details: "),
                 1);

        // A source no take message can carry is stored; nothing is switched.
        SendToBackup(1, "CNN", 1000, true);
        QCOMPARE(Channel(1, 4).ChanBackupSrc, qint16(1000));
        SendToBackup(1, "CNN", -1, false);
        QCOMPARE(Channel(1, 4).ChanBackupSrc, qint16(-1));
        QVERIFY(f.pump(1).isEmpty());
        QVERIFY(f.home.readLog().contains("SendToBackup: backup source 1000 for CNN"));
    }
};

VEK_TEST(TestChannelTable)
#include "tst_channeltable.moc"
