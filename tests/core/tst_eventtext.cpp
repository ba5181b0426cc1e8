#include <QTest>

#include "core/consolestate.h"
#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/receivestate.h"
#include "platform/failure.h"
#include "testregistry.h"

using namespace vek;

namespace {

EventRec sample()
{
    EventRec r;
    r.EventKey = "2412251430050000";
    r.HeadEnd = 3;
    r.Level = 2;
    r.SrcInput = 45;
    r.DestOutput = 7;
    r.SrcCh = 12;
    r.DestCh = 3;
    r.DestDefSrc = 7;
    r.DestBackupSrc = 99;
    r.BackupSrc = true;
    r.Status = 3;
    r.Automation = 2;
    r.GroupNo = 24;
    r.Interrupted = 1;
    r.HEText = "Toronto North";
    r.GroupText = "Group 24";
    r.EventDate = QDate(2024, 12, 25);
    r.StartTime = "14:30:05";
    r.EndTime = "15:00:05";
    r.SrcText = "CBC (12)";
    r.DestText = "CH 3 (3)";
    r.Description = "Hockey Night";
    r.Duration = "00:30:00";
    r.AddedBy = 12;
    r.ExtraCode2 = 5;
    r.OpComment = " ok ";
    r.ActualStart = "14:30:06";
    r.StartKey = 2024122552205;
    r.EndKey = 2024122554005;
    r.Comments = "c";
    r.MediaPointID = "MP-1\xe9";
    r.SubNow = true;
    r.MonitorBeg = true;
    r.TimeZone = 4;
    return r;
}

const QByteArray GoldenHeader = "24122514300500000000000000000000" // key, 1-32
                                "003"
                                "002"
                                "0045"
                                "0007"
                                "0012"
                                "0003"
                                "0007"
                                "0099"
                                "1"
                                "003"
                                "000"
                                "002"
                                "024"
                                "001"
                                "012"
                                "000"
                                "005"
                                "1010"
                                "004"
                                "0000000000000000000000000000000000"; // 95-128

const QByteArray GoldenText = GoldenHeader +
                              "\tToronto North\tGroup 24\t25/12/2024\t14:30:05\t15:00:05\tCBC (12)"
                              "\tCH 3 (3)\tHockey Night\t\t00:30:00\t\t\tok\t14:30:06 \t \t"
                              "\t2024122552205\t2024122554005\tc\tMP-1\xe9\t";

EventRec onDest(const QByteArray &key, qint64 start, qint64 end, quint8 status = 1)
{
    EventRec e;
    e.InUse = true;
    e.EventKey = key;
    e.HeadEnd = 2;
    e.DestOutput = 9;
    e.DestCh = 4;
    e.StartKey = start;
    e.EndKey = end;
    e.Status = status;
    e.DestText = "Dest (4)";
    e.SrcText = "Src (1)";
    e.Description = "Movie";
    e.EventDate = QDate(2026, 1, 5);
    e.StartTime = "11:00:00";
    e.Duration = "01:00:00";
    return e;
}

} // namespace

class TestEventText : public QObject
{
    Q_OBJECT
private slots:
    // Slots take memory when first written; a record's reference survives writes to
    // other slots (commands hold one across questions), and a reset empties every slot.
    void tableGrowsWithUseAndKeepsRecordsInPlace()
    {
        resetConsoleState();
        QVERIFY(!Events().at(3, 10000).InUse);
        EventRec &first = Events().edit(3, 5);
        first.InUse = true;
        first.EventKey = "FIRST";
        const EventRec *where = &first;
        for (int slot = 6; slot < EventTable::Slots; slot += 7)
            Events().edit(3, slot).Description = "other";
        Events().edit(12, 10000).InUse = true;
        QCOMPARE(&Events().at(3, 5), where);
        QCOMPARE(first.EventKey, QByteArray("FIRST"));
        QCOMPARE(Events().at(3, 6).Description, QByteArray("other"));
        QVERIFY(!Events().at(3, 7).InUse);
        QVERIFY(Events().at(12, 10000).InUse);
        QVERIFY_THROWS_EXCEPTION(Failure, Events().at(3, EventTable::Slots));
        QVERIFY_THROWS_EXCEPTION(Failure, Events().edit(EventTable::HeadEnds, 0));
        resetConsoleState();
        QVERIFY(!Events().at(3, 5).InUse);
        QVERIFY(Events().at(3, 5).EventKey.isEmpty());
        QVERIFY(!Events().at(12, 10000).InUse);
    }

    // The texts of a parsed record share one block: each still reads as a complete,
    // terminated byte array, outlives the wire text, and changes alone when edited.
    void parsedTextsAreIndependentByteArrays()
    {
        EventRec in;
        in.EventKey = "2412251430050000";
        in.HEText = "North";
        in.Description = "  Hockey night  ";
        in.Comments = "first";
        in.MediaPointID = "MP7";
        in.EventDate = QDate(2026, 12, 25);
        EventRec copy;
        {
            QByteArray wire = EventToString(in);
            EventRec r = ParseEvent(wire);
            wire.fill('x');
            copy = r;
        }
        QCOMPARE(copy.EventKey, QByteArray("24122514300500000000000000000000"));
        QCOMPARE(copy.Description, QByteArray("Hockey night"));
        for (const QByteArray *t : {&copy.EventKey, &copy.HEText, &copy.Description, &copy.Comments,
                                    &copy.MediaPointID}) {
            QCOMPARE(t->constData()[t->size()], '\0');
            QCOMPARE(qstrlen(t->constData()), size_t(t->size()));
        }
        QVERIFY(copy.SpareText1.isEmpty());
        EventRec edited = copy;
        edited.HEText += " end";
        edited.Description[0] = 'h';
        QCOMPARE(edited.HEText, QByteArray("North end"));
        QCOMPARE(edited.GroupText, copy.GroupText);
        QCOMPARE(edited.Description, QByteArray("hockey night"));
        QCOMPARE(copy.HEText, QByteArray("North"));
        QCOMPARE(copy.Description, QByteArray("Hockey night"));
        QCOMPARE(copy.Comments, QByteArray("first"));
        // The last holder of the block appends in place without touching freed texts.
        EventRec last = ParseEvent(EventToString(in));
        QByteArray kept = last.Comments;
        last = EventRec();
        kept += " and more";
        QCOMPARE(kept, QByteArray("first and more"));
    }

    void init()
    {
        resetConsoleState();
        LessThanMinutes() = 30;
    }

    void writesTheGoldenWireText()
    {
        QCOMPARE(GoldenHeader.size(), 128);
        const QByteArray text = EventToString(sample());
        QCOMPARE(text, GoldenText);
        QCOMPARE(text.count('\t'), 21);
        QCOMPARE(eventMessage(sample()), "Q" + GoldenText);
    }

    void readsItBackByteForByte()
    {
        const EventRec back = ParseEvent(GoldenText);
        EventRec expected = sample();
        expected.InUse = true;
        expected.EventKey = "24122514300500000000000000000000";
        expected.OpComment = "ok";
        QCOMPARE(back, expected);
        QCOMPARE(EventToString(back), GoldenText);
    }

    void keysReadExactlyWhateverTheirLength()
    {
        // A key from a peer may be longer than a date and time: it must come back the same
        // each time it is written and read, not drift through floating-point rounding.
        EventRec r = sample();
        r.StartKey = 2003002004500074005;
        r.EndKey = -9000000000000000001;
        const EventRec once = ParseEvent(EventToString(r));
        QCOMPARE(once.StartKey, r.StartKey);
        QCOMPARE(once.EndKey, r.EndKey);
        QCOMPARE(ParseEvent(EventToString(once)), once);

        // Other forms keep their numeric value, rounded and held inside the 64-bit range.
        QByteArray text = EventToString(r);
        const qsizetype at = text.indexOf("2003002004500074005");
        QVERIFY(at > 0);
        text.replace(at, 19, "20241225.6x");
        QCOMPARE(ParseEvent(text).StartKey, qint64(20241226));
        text.replace(at, 11, "99999999999999999999999");
        QCOMPARE(ParseEvent(text).StartKey, qint64(9000000000000000000));
    }

    void flagsReadAsTheirOwnRules()
    {
        QByteArray text = GoldenText;
        text[62] = '2'; // BackupSrc: above 0 is true
        text[87] = '2'; // SubNow: only exactly 1 is true
        const EventRec r = ParseEvent(text);
        QVERIFY(r.BackupSrc);
        QVERIFY(!r.SubNow);
    }

    void textFieldsCannotShiftTheRecord()
    {
        EventRec r = sample();
        r.Description = "two\tparts\r\nand lines";
        r.Comments = "tab\there";
        const QByteArray text = EventToString(r);
        QCOMPARE(text.count('\t'), 21);
        QVERIFY(!text.contains('\r') && !text.contains('\n'));
        const EventRec back = ParseEvent(text);
        QCOMPARE(back.Description, QByteArray("two parts  and lines"));
        QCOMPARE(back.Comments, QByteArray("tab here"));
        QCOMPARE(back.MediaPointID, r.MediaPointID);

        // Nor can a key that starts with a line break: the header keeps its columns.
        r.EventKey = "\r2412251430050000";
        const EventRec keyed = ParseEvent(EventToString(r));
        QVERIFY(keyed.EventKey.startsWith("2412251430050000"));
        QCOMPARE(keyed.HeadEnd, r.HeadEnd);
        QCOMPARE(keyed.DestBackupSrc, r.DestBackupSrc);
        QCOMPARE(keyed.TimeZone, r.TimeZone);
    }

    void edgeValuesKeepTheirWireForm()
    {
        EventRec r = sample();
        r.SrcInput = -5;
        r.DestOutput = 12345;
        r.SrcCh = -1000;
        r.DestCh = 9999;
        r.EventKey = " \tK" + QByteArray(40, 'x') + "\n";
        r.OpComment = " \tnote\t ";
        r.ActualStart = "";
        r.EventDate = QDate();
        r.StartKey = -42;
        const QByteArray text = EventToString(r);
        QCOMPARE(text.left(32), "K" + QByteArray(31, 'x'));
        QCOMPARE(text.mid(38, 16), QByteArray("00-500000000"
                                              "9999"));
        const QList<QByteArray> fields = text.split('\t');
        QCOMPARE(fields.size(), 22);
        QCOMPARE(fields[3], QByteArray("30/12/1899"));
        QCOMPARE(fields[13], QByteArray(" note "));
        QCOMPARE(fields[14], QByteArray(" "));
        QCOMPARE(fields[17], QByteArray("-42"));
        r.EventDate = QDate(999, 3, 4);
        QCOMPARE(EventToString(r).split('\t')[3], QByteArray("04/03/2999"));
    }

    void refusesBrokenTexts_data()
    {
        QTest::addColumn<QByteArray>("text");
        QByteArray shortText = GoldenText;
        shortText.chop(1);
        shortText = shortText.left(shortText.lastIndexOf('\t'));
        QTest::newRow("20 fields") << shortText;
        QTest::newRow("empty") << QByteArray();
        QByteArray bigByte = GoldenText;
        bigByte.replace(32, 3, "256");
        QTest::newRow("head end 256") << bigByte;
        QByteArray letters = GoldenText;
        letters.replace(GoldenText.indexOf("25/12/2024"), 10, "2a/12/2024");
        QTest::newRow("date not numeric") << letters;
        QByteArray feb = GoldenText;
        feb.replace(GoldenText.indexOf("25/12/2024"), 10, "31/02/2026");
        QTest::newRow("31 February") << feb;
        QByteArray noDate = GoldenText;
        noDate.replace(GoldenText.indexOf("25/12/2024"), 10, "");
        QTest::newRow("no date") << noDate;
    }
    void refusesBrokenTexts()
    {
        QFETCH(QByteArray, text);
        QVERIFY_THROWS_EXCEPTION(Failure, ParseEvent(text));
    }

    void conflictsNeedARealOverlapOnTheSameDestination()
    {
        // Existing: 11:00 to 12:00 on head end 2.
        Events().edit(2, 17) = onDest("E1", 2026010539600, 2026010543200);
        EventRec r = onDest("NEW", 2026010536000, 2026010539600); // 10:00-11:00, touching
        QCOMPARE(CheckConflict(r), QByteArray());
        r.EndKey = 2026010539660; // 10:00-11:01
        const QByteArray text = CheckConflict(r);
        QVERIFY(text.startsWith("Conflict with an existing event.  Event details:\r\nChannels: "
                                "Dest (4) over Src (1)\r\nDescription: Movie\r\nStart Time: "));
        QVERIFY(text.endsWith(" / 11:00:00\r\nDuration: 01:00:00"));

        EventRec inside = onDest("NEW", 2026010541400, 2026010541401); // starts within
        QVERIFY(!CheckConflict(inside).isEmpty());
        EventRec atEnd = onDest("NEW", 2026010543200, 2026010546800); // starts at its end
        QVERIFY(CheckConflict(atEnd).isEmpty());

        // Its own key, another destination, another head end or a finished event: no conflict.
        EventRec self = r;
        self.EventKey = "E1";
        QVERIFY(CheckConflict(self).isEmpty());
        EventRec other = r;
        other.DestCh = 5;
        QVERIFY(CheckConflict(other).isEmpty());
        EventRec otherHeadEnd = r;
        otherHeadEnd.HeadEnd = 3;
        QVERIFY(CheckConflict(otherHeadEnd).isEmpty());
        for (quint8 status : {6, 7, 8}) {
            Events().edit(2, 17).Status = status;
            QVERIFY(CheckConflict(r).isEmpty());
        }
        for (quint8 status : {0, 2, 4, 5}) {
            Events().edit(2, 17).Status = status;
            QVERIFY(!CheckConflict(r).isEmpty());
        }
        Events().edit(2, 17).InUse = false;
        QVERIFY(CheckConflict(r).isEmpty());
    }

    void statusAndGroupTexts()
    {
        QCOMPARE(StatusText(0, "   "), QByteArray("Prob."));
        QCOMPARE(StatusText(0, " Time Prob."), QByteArray(" Time Prob."));
        QCOMPARE(StatusText(1, ""), QByteArray("Active"));
        QCOMPARE(StatusText(4, ""), QByteArray("On Hold"));
        QCOMPARE(StatusText(5, ""), QByteArray("< 30 Min."));
        LessThanMinutes() = 45;
        QCOMPARE(StatusText(5, ""), QByteArray("< 45 Min."));
        QCOMPARE(StatusText(8, ""), QByteArray("Done"));
        QCOMPARE(StatusText(9, ""), QByteArray(""));
        QCOMPARE(GroupText(0), QByteArray("N/A"));
        QCOMPARE(GroupText(24), QByteArray("Group 24"));
    }

    void rowKeysReadTheEmptyRecordForBadKeys()
    {
        EventRec &r = Events().edit(3, 17);
        r.InUse = true;
        r.Status = 5;
        r.BackupSrc = true;
        r.Interrupted = 1;
        r.EventDate = QDate(2026, 3, 8);
        const auto recordOf = [](const QByteArray &key) -> const EventRec & {
            const RowKey k = parseRowKey(key);
            return Events().at(k.headEnd, k.slot);
        };
        QCOMPARE(recordOf("3-17").Status, quint8(5));
        QVERIFY(recordOf("3-17").BackupSrc);
        QCOMPARE(recordOf("3-17").Interrupted, quint8(1));
        QCOMPARE(recordOf("3-17").EventDate, QDate(2026, 3, 8));
        for (const QByteArray key : {"5", "", "3-17-1", "13-1", "3-10001", "-1-2", "x-y"}) {
            QCOMPARE(recordOf(key).Status, quint8(0));
            QVERIFY(!recordOf(key).BackupSrc);
            QCOMPARE(recordOf(key).EventDate, QDate());
        }
        QCOMPARE(makeRowKey(3, 17), QByteArray("3-17"));
    }
};

VEK_TEST(TestEventText)
#include "tst_eventtext.moc"
