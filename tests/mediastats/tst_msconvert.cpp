#include <QTest>
#include <algorithm>

#include "core/eventtext.h"
#include "mediastats/loadmediastats.h"
#include "mediastats/mediastatsimport.h"
#include "msfixture.h"
#include "platform/failure.h"
#include "samples.h"
#include "testregistry.h"

using namespace vek;
using namespace samples;

namespace {

// Reads bytes as a file of the given name and converts them for every head end.
int import(MsFixture &f, const QString &name, const QByteArray &bytes, bool oldEvents = false)
{
    MediaStatsImport run;
    run.LoadOldEvents = oldEvents;
    try {
        run.readFile(f.write(name, bytes));
        run.convertRows(allHeadEnds());
    } catch (const Failure &e) {
        return e.number();
    }
    return 0;
}

QList<EventRec> events(int he)
{
    QList<EventRec> out;
    for (const QByteArray &m : MsFixture::drain(he)) {
        if (m.startsWith('Q'))
            out += ParseEvent(m.mid(1));
    }
    return out;
}

EventRec onlyEvent(const CsvRow &row, MsFixture &f, int he = 1)
{
    if (import(f, "one.csv", csvFile({row.line()})) != 0)
        return {};
    const QList<EventRec> e = events(he);
    return e.size() == 1 ? e.first() : EventRec();
}

// Drained queues of several consoles in the order one drain of all gives: by head end,
// each head end's messages in the order they were drained.
QByteArray byHeadEnd(const QByteArray &drained)
{
    QList<QByteArray> lines = drained.split('\n');
    lines.removeAll(QByteArray());
    std::stable_sort(lines.begin(), lines.end(), [](const QByteArray &a, const QByteArray &b) {
        return a.left(a.indexOf('|')).toInt() < b.left(b.indexOf('|')).toInt();
    });
    return lines.join('\n') + '\n';
}

// The fixture's event table: events of head end 1 with MediaPoint IDs.
void fixtureEvents()
{
    MsFixture::event(1, 5, "OLDKEY1", "OLD1", StatusActive);
    MsFixture::event(1, 6, "ONAIRKEY", "OLD1", StatusOnAir);
    MsFixture::event(1, 7, "LESSKEY", " OLD1 ", StatusLessThan);
    MsFixture::event(1, 8, "EXISTINGKEY", "MPX", StatusActive);
    MsFixture::event(2, 9, "OTHERHE", "OLD1", StatusActive);
}

QList<QByteArray> goldenCsvLines()
{
    QList<QByteArray> lines;
    auto add = [&](const std::function<void(CsvRow &)> &edit) {
        CsvRow r;
        edit(r);
        lines += r.line();
    };
    add([](CsvRow &r) { r.id = "MP1"; });
    add([](CsvRow &r) { r.action = " hold "; });
    add([](CsvRow &r) {
        r.action = "HOLD";
        r.src = "NOPE";
    });
    add([](CsvRow &r) {
        r.action = "remv";
        r.id = "MP2";
    });
    add([](CsvRow &r) {
        r.action = "REMV";
        r.id = "OLD1";
    });
    add([](CsvRow &r) { r.co = "2000"; });
    add([](CsvRow &r) { r.co = "9999"; });
    add([](CsvRow &r) {
        r.date = "3/7/24";
        r.start = "9:30";
        r.end = "9:30:15";
    });
    add([](CsvRow &r) { r.start = "8:00"; });
    add([](CsvRow &r) { r.date = "3/4/2024"; });
    add([](CsvRow &r) {
        r.description = "Caf\xe9";
        r.comments = "a\tb";
    });
    add([](CsvRow &r) { r.description = "12,5"; });
    add([](CsvRow &r) { r.start = "930"; });
    add([](CsvRow &r) {
        r.start = "23:00";
        r.end = "01:00";
    });
    add([](CsvRow &r) { r.dest = "hidden"; });
    add([](CsvRow &r) { r.id = "MPX"; });
    add([](CsvRow &r) { r.date = "13/01/2024"; });
    add([](CsvRow &r) { r.date = "2/30/2024"; });
    QList<QByteArray> f17 = CsvRow().fields();
    f17.removeLast();
    lines += csvLine(f17);
    QList<QByteArray> f20 = CsvRow().fields();
    f20 << "19"
        << "20";
    f20[5] = "Twenty";
    lines += csvLine(f20);
    return lines;
}

} // namespace

class TestMediaStatsConvert : public QObject
{
    Q_OBJECT
private slots:
    void csvRowsGiveTheGoldenMessagesWhateverTheLineEnds()
    {
        QByteArray crlf;
        {
            MsFixture f;
            fixtureEvents();
            QCOMPARE(import(f, "golden.csv", csvFile(goldenCsvLines(), "\r\n")), 0);
            crlf = MsFixture::drainQueue();
            QVERIFY(matchesGolden("csv.q", crlf));
            QCOMPARE(f.home.readLog().count("Error MSCONVERT) 13 Type mismatch"), 2);
        }
        // A fresh console, so the keys are stamped as they were for the first file.
        MsFixture f;
        fixtureEvents();
        QCOMPARE(import(f, "golden.VE2", csvFile(goldenCsvLines(), "\n")), 0);
        QCOMPARE(MsFixture::drainQueue(), crlf);
    }

    void vekAndDbfRowsGiveTheGoldenMessages()
    {
        {
            MsFixture f;
            QByteArray l150 =
                vekRow("05/03/2024", "12:30", "13:00", "Long", "SUB1", "ESPN", "1000", 150);
            l150.replace(139, 3, ":15");
            const QByteArray vek =
                vekRow("05/03/2024", "12:30", "13:00", "Short", "SUBONE", "ESPN", "1000", 139) +
                "\r\n\r\n" +
                vekRow("06/03/2024", "12:30", "13:00", "Mid", "LEVEL2", "LOCAL1", "2000", 140) +
                "\r\n" + l150 + "\r\n";
            QCOMPARE(import(f, "golden.vek", vek), 0);
            QVERIFY(matchesGolden("vek.q", MsFixture::drainQueue()));
        }

        const std::vector<DbfRecord> records = {
            {{"1", "20240305", "x", "12:00", " 9:30", "Dbf \xe9", "T", "7", "SUB1", "8", "ESPN",
              "1000", "tail"}},
            {{"2", "20240305", "deleted", "12:00", "13:00", "Gone", "F", "", "SUB1", "", "ESPN",
              "1000"},
             true},
            {{"", "", "", "12:00", "13:00", "No date", "?", "", "SUB1", "", "ESPN", "1000"}},
            {{"3", "20240306", "", "14:00:00", "15:00:00", "Twelve", "Y", "", "LOCAL1", "", "SUB1",
              "2000"}},
        };
        // Each file is read by a fresh console, so both stamp their keys alike.
        QByteArray first;
        {
            MsFixture f;
            QCOMPARE(import(f, "golden.DBF", dbfFile(dbfFields(), records)), 0);
            first = MsFixture::drainQueue();
        }
        MsFixture f;
        QCOMPARE(import(f, "twelve.dbf", dbfFile(dbfFields(12), records)), 0);
        QVERIFY(matchesGolden("dbf.q", byHeadEnd(first + MsFixture::drainQueue())));
    }

    void withdrawalQueuesDeletesOnlyForEventsNotYetOnAir()
    {
        MsFixture f;
        fixtureEvents();
        CsvRow r;
        r.action = " REMV ";
        r.id = "OLD1";
        QCOMPARE(import(f, "r.csv", csvFile({r.line()})), 0);
        QCOMPARE(MsFixture::drain(1), QList<QByteArray>({"\x0cOLDKEY1", "\x0cLESSKEY"}));
        QVERIFY(MsFixture::drain(2).isEmpty());
    }

    void channelsAreTheLastOfTheirNameOnTheRightLevel()
    {
        MsFixture f;
        MsFixture::channel(1, 7, " espn", 707, 1, "ESPN Two", "ESPN Out 2");
        MsFixture::channel(1, 8, "SUB1", 808, 2, "Sub L2", "Sub L2 Out");
        CsvRow r;
        EventRec e = onlyEvent(r, f);
        QCOMPARE(e.DestCh, qint16(7));
        QCOMPARE(e.DestText, QByteArray("ESPN Out 2 (707)"));
        // Channel 8 has the name but not the destination's level.
        QCOMPARE(e.SrcCh, qint16(3));
        QCOMPARE(e.SrcText, QByteArray("Sub Feed (303)"));
        QCOMPARE(e.SrcInput, qint16(13));
        QCOMPARE(e.DestOutput, qint16(27));
        QCOMPARE(e.Level, quint8(1));
        QCOMPARE(e.StatusDetail, QByteArray("Active"));

        // With the signal-type check a source of another type is no match.
        settings().SignalTypeCheck = true;
        Channel(1, 3).SrcSigType = 2;
        e = onlyEvent(r, f);
        QCOMPARE(e.SrcCh, qint16(1));
        QCOMPARE(e.SrcText, QByteArray("SUB1"));
        QCOMPARE(e.StatusDetail, QByteArray("CH Prob."));
        QCOMPARE(e.Status, quint8(StatusProblem));

        // A destination only on a hidden entry: channel 1, the file's name as label.
        settings().SignalTypeCheck = false;
        r.dest = "HIDDEN";
        e = onlyEvent(r, f);
        QCOMPARE(e.DestCh, qint16(1));
        QCOMPARE(e.DestText, QByteArray("HIDDEN"));
        QCOMPARE(e.StatusDetail, QByteArray("CH Prob."));
        // A router entry of level 0 is a problem even when both ends agree.
        r.dest = "ROUTER";
        r.src = "ROUTER";
        e = onlyEvent(r, f);
        QCOMPARE(e.DestCh, qint16(6));
        QCOMPARE(e.StatusDetail, QByteArray("CH Prob."));
    }

    void pastRowsAndHoldsFollowTheirOrder()
    {
        MsFixture f;
        CsvRow r;
        r.start = "09:00";
        EventRec e = onlyEvent(r, f);
        QCOMPARE(e.StatusDetail, QByteArray("Time Prob."));
        r.action = "hold";
        QCOMPARE(onlyEvent(r, f).StatusDetail, QByteArray("On Hold"));
        r.src = "NOPE";
        QCOMPARE(onlyEvent(r, f).StatusDetail, QByteArray("CH Prob."));

        CsvRow old;
        old.date = "3/4/2024";
        QCOMPARE(import(f, "old.csv", csvFile({old.line()})), 0);
        QVERIFY(MsFixture::drain(1).isEmpty());
        QCOMPARE(import(f, "old.csv", csvFile({old.line()}), true), 0);
        const QList<EventRec> sent = events(1);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.first().StatusDetail, QByteArray("Date Prob."));

        // A monitor-beginning mark holds the row only when the option asks for it.
        CsvRow marked;
        marked.monBeg = "X";
        QCOMPARE(onlyEvent(marked, f).StatusDetail, QByteArray("Active"));
        QVERIFY(onlyEvent(marked, f).MonitorBeg);
        settings().AutoVerify = true;
        QCOMPARE(onlyEvent(marked, f).StatusDetail, QByteArray("On Hold"));
    }

    void overMidnightEndsNextDayAndTwentyFourHundredEndsTheDay()
    {
        MsFixture f;
        CsvRow r;
        r.start = "23:00";
        r.end = "01:00";
        EventRec e = onlyEvent(r, f);
        QCOMPARE(e.Duration, QByteArray("02:00:00"));
        QCOMPARE(e.EventDate, QDate(2024, 3, 5));
        QCOMPARE(e.StartKey, Q_INT64_C(2024030582800));
        QCOMPARE(e.EndKey, Q_INT64_C(2024030603600));

        r.start = "23:00";
        r.end = "24:00";
        e = onlyEvent(r, f);
        QCOMPARE(e.EndTime, QByteArray("24:00:00"));
        QCOMPARE(e.EndKey, Q_INT64_C(2024030586400));
        QCOMPARE(e.Duration, QByteArray("01:00:00"));
    }

    void timesAndDatesThatAreNoneAreLoggedRowErrors()
    {
        MsFixture f;
        CsvRow bad1, bad2, bad3, good;
        bad1.start = "28:00";
        bad2.end = "12:75";
        bad3.start = "24:00"; // the end of the day is no start
        good.description = "Good";
        // Shapes that are no time, and a day the month lacks.
        CsvRow noColon, clock12, noEnd, feb30;
        noColon.start = "1230";
        clock12.start = "1:30 PM";
        noEnd.end = "";
        feb30.date = "2/30/2024";
        CsvRow south = bad1;
        south.co = "2000";
        QCOMPARE(import(f, "t.csv",
                        csvFile({good.line(), bad1.line(), bad2.line(), bad3.line(), noColon.line(),
                                 clock12.line(), noEnd.line(), feb30.line(), south.line()})),
                 0);
        // Where the rows are: one line after the file's import.
        QCOMPARE(f.home.readLog().count("MediaStats t.csv: rows not converted: 7 for head end 1 "
                                        "(North), 1 for head end 2 (South), 1 for head end 3 "
                                        "(East); the first is row 2\r\n"),
                 1);
        const QList<EventRec> sent = events(1);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.first().Description, QByteArray("Good"));
        QCOMPARE(f.home.readLog().count("Error MSCONVERT) 5 Invalid procedure call or argument"),
                 5);
        QCOMPARE(f.home.readLog().count("Error MSCONVERT) 13 Type mismatch"), 4);
        // A year below 1000 would be 2024 on the wire but year 24 in the keys.
        QCOMPARE(import(f, "y.vek",
                        vekRow("05/03/0024", "12:30", "13:00", "Y", "SUB1", "ESPN", "1000", 139)),
                 0);
        QVERIFY(events(1).isEmpty());
        QCOMPARE(f.home.readLog().count("Error MSCONVERT) 13 Type mismatch"), 5);
        QVERIFY(f.home.readLog().contains("MediaStats y.vek: rows not converted: 1 for head end 1 "
                                          "(North); the first is row 1\r\n"));
    }

    void keysReuseAnExistingEventOrTakeTheImportsOwnSecond()
    {
        MsFixture f;
        fixtureEvents();
        CsvRow a, b, c, d;
        a.id = "MPX";
        b.id = "NEW";
        c.co = "2000";
        // Of the events with the ID the first one (slot 5), blanks around either ignored.
        d.id = " OLD1 ";
        QCOMPARE(import(f, "k.csv", csvFile({a.line(), b.line(), c.line(), d.line()})), 0);
        QList<EventRec> he1 = events(1);
        QCOMPARE(he1.size(), 3);
        QCOMPARE(he1.at(0).EventKey, QByteArray("EXISTINGKEY").leftJustified(32, '0'));
        QCOMPARE(he1.at(1).EventKey, QByteArray("2403051000001002").leftJustified(32, '0'));
        QCOMPARE(he1.at(2).EventKey, QByteArray("OLDKEY1").leftJustified(32, '0'));
        QCOMPARE(events(2).first().EventKey, QByteArray("2403051000002003").leftJustified(32, '0'));
        QCOMPARE(events(3).first().EventKey, QByteArray("2403051000003003").leftJustified(32, '0'));

        // A second file in the same second, and a third: each has a second of its own,
        // and a key added by hand meanwhile takes yet another.
        QCOMPARE(import(f, "k2.csv", csvFile({b.line()})), 0);
        QCOMPARE(events(1).first().EventKey.left(16), QByteArray("2403051000011001"));
        QCOMPARE(NewEventKey(), QByteArray("2403051000020000"));
        QCOMPARE(import(f, "k3.csv", csvFile({b.line()})), 0);
        QCOMPARE(events(1).first().EventKey.left(16), QByteArray("2403051000031001"));
    }

    void largeFilesTakeFurtherSecondsAndKeepFourDigitKeys()
    {
        MsFixture f;
        fixtureEvents();
        QList<QByteArray> lines(20000, CsvRow().line());
        // Row 9001 updates an event under its key and takes no new one.
        CsvRow existing;
        existing.id = "MPX";
        lines[9000] = existing.line();
        QCOMPARE(import(f, "big.csv", csvFile(lines)), 0);
        QList<QByteArray> keys;
        for (const EventRec &e : events(1))
            keys += e.EventKey.left(16);
        QCOMPARE(keys.size(), 20000);
        QCOMPARE(keys.takeAt(9000), QByteArray("EXISTINGKEY00000"));
        QCOMPARE(QSet<QByteArray>(keys.cbegin(), keys.cend()).size(), 19999);
        // Under the limit the keys are as ever: the import's second, head end and row.
        QCOMPARE(keys.at(0), QByteArray("2403051000001001"));
        QCOMPARE(keys.at(8998), QByteArray("2403051000009999"));
        // The rows past it fill further seconds, 8999 new keys each.
        QCOMPARE(keys.at(8999), QByteArray("2403051000011001"));
        QCOMPARE(keys.at(9000), QByteArray("2403051000011002"));
        QCOMPARE(keys.last(), QByteArray("2403051000023001"));
        // No other key takes those seconds.
        QCOMPARE(NewEventKey(), QByteArray("2403051000030000"));
    }

    void loadMediaStatsReadsFromTheWatchedFolder()
    {
        MsFixture f;
        CsvRow r;
        f.write("drop.csv", csvFile({r.line()}));
        MediaStatsError error;
        QVERIFY(!LoadMediaStats("drop.csv", &error));
        QCOMPARE(MsFixture::drain(1).size(), 1);

        QVERIFY(LoadMediaStats("missing.csv", &error));
        QCOMPARE(error.number, 53);
        QCOMPARE(error.description, QByteArray("File not found"));

        // A name of no format converts nothing, not the rows of the import before.
        f.write("drop.txt", csvFile({r.line()}));
        QVERIFY(LoadMediaStats("drop.txt", &error));
        QCOMPARE(error.number, 52);
        QVERIFY(MsFixture::drain(1).isEmpty());

        // Rows past a reading error are not converted, nor the rows before it.
        QByteArray stops = csvFile({r.line()}) + "40000,3/5/2024" + QByteArray(16, ',') + "\n";
        f.write("stops.csv", stops);
        QVERIFY(LoadMediaStats("stops.csv", &error));
        QCOMPARE(error.number, 6);
        QVERIFY(MsFixture::drain(1).isEmpty());

        // Only the head ends asked for; an empty folder setting is no folder.
        HeadEndSet only3{};
        only3[3] = true;
        r.co = "2000";
        f.write("two.csv", csvFile({r.line()}));
        QVERIFY(!LoadMediaStats("two.csv", &error, only3));
        QVERIFY(MsFixture::drain(2).isEmpty());
        QCOMPARE(MsFixture::drain(3).size(), 1);
        settings().AutoLoadPath = "";
        QVERIFY(LoadMediaStats("two.csv", &error));
        QCOMPARE(error.number, 75);
    }
};

VEK_TEST(TestMediaStatsConvert)
#include "tst_msconvert.moc"
