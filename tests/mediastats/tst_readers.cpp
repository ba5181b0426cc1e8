#include <QTemporaryDir>
#include <QTest>

#include "mediastats/csvreader.h"
#include "mediastats/dbfreader.h"
#include "mediastats/filetext.h"
#include "mediastats/mediastatsfile.h"
#include "mediastats/vekreader.h"
#include "platform/failure.h"
#include "samples.h"
#include "testregistry.h"

using namespace vek;
using namespace samples;

namespace {

// The error number a read ends with, 0 when it ran through.
int readError(MediaStatsFormat format, const QByteArray &bytes, MSRowTable &rows)
{
    try {
        readMediaStatsBytes(format, bytes, rows);
    } catch (const Failure &f) {
        return f.number();
    }
    return 0;
}

} // namespace

class TestMediaStatsReaders : public QObject
{
    Q_OBJECT
private slots:
    void formatIsChosenByTheLastThreeLettersInAnyCase()
    {
        QCOMPARE(mediaStatsFormat("a.dbf"), MediaStatsFormat::Dbf);
        QCOMPARE(mediaStatsFormat("/x/B.Vek"), MediaStatsFormat::Vek);
        QCOMPARE(mediaStatsFormat("c.CSV"), MediaStatsFormat::Csv);
        QCOMPARE(mediaStatsFormat("d.ve2"), MediaStatsFormat::Csv);
        QCOMPARE(mediaStatsFormat("nodotcsv"), MediaStatsFormat::Csv);
        QCOMPARE(mediaStatsFormat("e.txt"), MediaStatsFormat::None);
        QCOMPARE(mediaStatsFormat("e.csv "), MediaStatsFormat::None);
    }

    void csvSkipsTheHeaderShortLinesAndBadDates()
    {
        CsvRow ok;
        QList<QByteArray> short17 = ok.fields();
        short17.removeLast();
        QList<QByteArray> long20 = ok.fields();
        long20 << "extra19"
               << "extra20";
        long20[16] = "MP20";
        CsvRow badMonth, badDay, twoDigitYear;
        badMonth.date = "13/01/2024";
        badDay.date = "2/30/2024";
        twoDigitYear.date = "3/7/24";
        MSRowTable rows;
        readCsv(csvFile({ok.line(), csvLine(short17), "", csvLine(long20), badMonth.line(),
                         badDay.line(), twoDigitYear.line()}),
                rows);
        QCOMPARE(rows.count(), 4);
        QCOMPARE(rows.row(1).AirDate, QByteArray("05/03/2024"));
        QCOMPARE(rows.row(2).MediaPointID, QByteArray("MP20"));
        QCOMPARE(rows.row(2).Action, QByteArray());
        // A day the month lacks is read; the conversion logs it as the row's error.
        QCOMPARE(rows.row(3).AirDate, QByteArray("30/02/2024"));
        QCOMPARE(rows.row(4).AirDate, QByteArray("07/03/2024"));

        // A first line that holds data is lost all the same; a header alone is no rows.
        readCsv(ok.line() + "\n" + ok.line(), rows);
        QCOMPARE(rows.count(), 1);
        readCsv("header only\r\n", rows);
        QCOMPARE(rows.count(), 0);
    }

    void csvFieldsAreTrimmedTimesFixedAndNumbersRead()
    {
        QList<QByteArray> f = CsvRow().fields();
        f[0] = " 12ab";
        f[3] = " 9:30 ";
        f[4] = "9:30:15";
        f[5] = "\tTab\tinside ";
        f[10] = "2.5";
        f[12] = "-3.5x";
        f[11] = " Sub 1 ";
        f[17] = " hold ";
        MSRowTable rows;
        readCsv(csvFile({csvLine(f)}, "\n"), rows);
        QCOMPARE(rows.count(), 1);
        const MediaStatsRec &r = rows.row(1);
        QCOMPARE(r.RowType, qint16(12));
        QCOMPARE(r.StartTime, QByteArray("09:30:00"));
        QCOMPARE(r.EndTime, QByteArray("09:30:15"));
        QCOMPARE(r.Description, QByteArray("Tab inside"));
        QCOMPARE(r.SrcNo, qint16(2));
        QCOMPARE(r.DestNo, qint16(-4));
        QCOMPARE(r.SrcName, QByteArray("Sub 1"));
        QCOMPARE(r.Action, QByteArray("hold"));

        // 930 has no colon: it stays as it is (and the conversion refuses it).
        f[3] = "930";
        readCsv(csvFile({csvLine(f)}), rows);
        QCOMPARE(rows.row(1).StartTime, QByteArray("930"));
    }

    void csvCommaInsideADescriptionShiftsTheFieldsAfterIt()
    {
        CsvRow r;
        r.description = "12,5 minutes";
        MSRowTable rows;
        readCsv(csvFile({r.line()}), rows);
        QCOMPARE(rows.count(), 1);
        QCOMPARE(rows.row(1).Description, QByteArray("12"));
        QCOMPARE(rows.row(1).MonBegMark, QByteArray("5 minutes"));
        QCOMPARE(rows.row(1).DestName, QByteArray("0"));
        QCOMPARE(rows.row(1).CONumber, QByteArray("ESPN"));
    }

    void lineEndsOfEveryKindGiveTheSameRows()
    {
        CsvRow a, b;
        b.description = "Second";
        MSRowTable crlf, lf, cr;
        readCsv(csvFile({a.line(), b.line()}, "\r\n"), crlf);
        readCsv(csvFile({a.line(), b.line()}, "\n"), lf);
        readCsv(csvFile({a.line(), b.line()}, "\r"), cr);
        QCOMPARE(crlf.count(), 2);
        for (int r = 1; r <= 2; ++r) {
            QCOMPARE(lf.row(r), crlf.row(r));
            QCOMPARE(cr.row(r), crlf.row(r));
        }
        // Without its final line end the last row is read all the same.
        MSRowTable open;
        readCsv(csvFile({a.line(), b.line()}).chopped(2), open);
        QCOMPARE(open.count(), 2);
    }

    void vekColumnsByLineLength()
    {
        const QByteArray l139 =
            vekRow("05/03/2024", "12:30", "13:00", "Desc", "SUBONE", "ESPNTWO", "1000", 139);
        const QByteArray l140 =
            vekRow("05/03/2024", "12:30", "13:00", "Desc", "SUBONE", "ESPNTWO", "1000", 140);
        QByteArray l150 =
            vekRow("05/03/2024", "12:30", "13:00", "Desc", "SUBONE", "ESPNTWO", "1000", 150);
        l150.replace(139, 3, ":15");
        l150.replace(144, 3, ":45");
        MSRowTable rows;
        readVek(l139 + "\r\n" + l140 + "\n" + l150 + "\r\n", rows);
        QCOMPARE(rows.count(), 3);
        QCOMPARE(rows.row(1).SrcName, QByteArray("SUBO"));
        QCOMPARE(rows.row(1).DestName, QByteArray("ESPN"));
        QCOMPARE(rows.row(1).StartTime, QByteArray("12:30:00"));
        // A CR left on the line would make it 141 characters and lose the second parts.
        QCOMPARE(rows.row(2).SrcName, QByteArray("SUBONE"));
        QCOMPARE(rows.row(2).DestName, QByteArray("ESPNTWO"));
        QCOMPARE(rows.row(2).StartTime, QByteArray("12:30:00"));
        QCOMPARE(rows.row(3).StartTime, QByteArray("12:30:15"));
        QCOMPARE(rows.row(3).EndTime, QByteArray("13:00:45"));
        const MediaStatsRec &r = rows.row(1);
        QCOMPARE(r.RowType, qint16(1));
        QCOMPARE(r.AirDate, QByteArray("05/03/2024"));
        QCOMPARE(r.ExtraText1, QByteArray("extra one"));
        QCOMPARE(r.Description, QByteArray("Desc"));
        QCOMPARE(r.SrcNo, qint16(7));
        QCOMPARE(r.DestNo, qint16(8));
        QCOMPARE(r.CONumber, QByteArray("1000"));
        QCOMPARE(r.ExtraText2, QByteArray("extra two"));
        QVERIFY(r.MediaPointID.isEmpty() && r.Action.isEmpty() && r.Comments.isEmpty());
    }

    void vekEmptyLinesAreRowsButAFinalLineEndIsNot()
    {
        const QByteArray l =
            vekRow("05/03/2024", "12:30", "13:00", "D", "SUB1", "ESPN", "1000", 139);
        MSRowTable rows;
        readVek(l + "\r\n\r\n" + l + "\r\n", rows);
        QCOMPARE(rows.count(), 3);
        QCOMPARE(rows.row(2), MediaStatsRec());
        readVek(l + "\n" + l + "\n\n", rows);
        QCOMPARE(rows.count(), 3);
        QCOMPARE(rows.row(3), MediaStatsRec());
        // One hour digit is a time like two, with or without the seconds part.
        QByteArray l150 = vekRow("05/03/2024", " 9:30", "10:00", "D", "S", "D", "1", 150);
        l150.replace(139, 3, ":15");
        readVek(vekRow("05/03/2024", " 9:30", "10:00", "D", "S", "D", "1", 139) + "\n" + l150,
                rows);
        QCOMPARE(rows.row(1).StartTime, QByteArray("09:30:00"));
        QCOMPARE(rows.row(1).EndTime, QByteArray("10:00:00"));
        QCOMPARE(rows.row(2).StartTime, QByteArray("09:30:15"));
    }

    void dbfFieldsByPositionWithNullsAndDeletedRecordsSkipped()
    {
        const std::vector<DbfRecord> records = {
            {{"3", "20240305", "extra", "9:30", " 9:30", "Sports \xe9", "T", "7", "SUB1", "8",
              "ESPN", "1000", "tail"}},
            {{"4", "20240306", "gone"}, true},
            {{"", "", "", "12:00:00", "12:30", "Nulls", "N", "", "S", "", "D", "", ""}},
            {{"5", "00000000", "", "", "", "", "?"}},
        };
        MSRowTable rows;
        readDbf(dbfFile(dbfFields(), records), rows);
        QCOMPARE(rows.count(), 3);
        const MediaStatsRec &a = rows.row(1);
        QCOMPARE(a.RowType, qint16(3));
        QCOMPARE(a.AirDate, QByteArray("05/03/2024"));
        // Left-aligned as writers store it, or after a blank: the same time.
        QCOMPARE(a.StartTime, QByteArray("09:30:00"));
        QCOMPARE(a.EndTime, QByteArray("09:30:00"));
        QCOMPARE(a.Description, QByteArray("Sports \xe9"));
        QCOMPARE(a.MonBegMark, QByteArray("True"));
        QCOMPARE(a.SrcNo, qint16(7));
        QCOMPARE(a.DestNo, qint16(8));
        QCOMPARE(a.CONumber, QByteArray("1000"));
        QCOMPARE(a.ExtraText2, QByteArray("tail"));
        const MediaStatsRec &b = rows.row(2);
        QCOMPARE(b.RowType, qint16(0));
        QCOMPARE(b.AirDate, QByteArray());
        QCOMPARE(b.MonBegMark, QByteArray()); // a false flag asks for no monitoring
        QCOMPARE(b.CONumber, QByteArray());
        QCOMPARE(rows.row(3).AirDate, QByteArray());
        QCOMPARE(rows.row(3).MonBegMark, QByteArray());

        // Twelve fields: the thirteenth row field stays empty.
        readDbf(dbfFile(dbfFields(12), {records[0]}), rows);
        QCOMPARE(rows.count(), 1);
        QCOMPARE(rows.row(1).CONumber, QByteArray("1000"));
        QCOMPARE(rows.row(1).ExtraText2, QByteArray());
    }

    void dbfNumberOutOfRangeStopsTheRead()
    {
        MSRowTable rows;
        const QByteArray file = dbfFile(dbfFields(), {{{"1"}}, {{"40000"}}, {{"2"}}});
        QCOMPARE(readError(MediaStatsFormat::Dbf, file, rows), 6);
        QCOMPARE(rows.count(), 1);
        // A character field that holds no number where one is wanted.
        std::vector<DbfField> f = dbfFields();
        f[0].type = 'C';
        QCOMPARE(readError(MediaStatsFormat::Dbf, dbfFile(f, {{{"x1"}}}), rows), 13);
        QCOMPARE(readError(MediaStatsFormat::Dbf, dbfFile(f, {{{" 7"}}}), rows), 0);
        QCOMPARE(rows.row(1).RowType, qint16(7));
        // Some writers store an empty number as asterisks: 0, as blanks are.
        const QByteArray stars =
            dbfFile(dbfFields(), {{{"*****", "20240305", "", "", "", "", "", "***", "", "*"}}});
        QCOMPARE(readError(MediaStatsFormat::Dbf, stars, rows), 0);
        QCOMPARE(rows.row(1).RowType, qint16(0));
        QCOMPARE(rows.row(1).SrcNo, qint16(0));
    }

    void malformedDbfEndsInAnErrorOfItsOwn()
    {
        const QByteArray good = dbfFile(dbfFields(), {{{"1", "20240305"}}, {{"2", "20240305"}}});
        MSRowTable rows;
        QCOMPARE(readError(MediaStatsFormat::Dbf, good, rows), 0);
        QCOMPARE(rows.count(), 2);

        auto patched = [&](int pos, quint32 value, int width) {
            QByteArray b = good;
            putLe(b, pos, value, width);
            return b;
        };
        const QList<QByteArray> bad = {
            good.left(20),                                  // short header
            patched(8, quint32(good.size() + 1), 2),        // header past the end
            patched(10, 60000, 2),                          // records past the end
            patched(4, 0xFFFFFFFFu, 4).chopped(1),          // count far past a short file
            patched(10, 5, 2),                              // fields wider than the record
            QByteArray(good).replace(32 + 13 * 32, 1, "X"), // no 0x0D
            QByteArray(good).replace(32 + 16, 1, QByteArray(1, '\0')),   // width 0
            QByteArray(good).replace(32 + 16, 1, QByteArray(1, '\xff')), // width 255
            QByteArray(good).replace(32 + 11, 1, "I"),                   // a type it cannot read
            QByteArray(),
        };
        for (const QByteArray &b : bad) {
            QCOMPARE(readError(MediaStatsFormat::Dbf, b, rows), 321);
        }
        // The end-of-file mark ends the records even when the count says more.
        QCOMPARE(readError(MediaStatsFormat::Dbf, patched(4, 0xFFFFFFFFu, 4), rows), 0);
        QCOMPARE(rows.count(), 2);
    }

    void textFilesThatAreNotSingleByteTextAreRefused()
    {
        CsvRow r;
        MSRowTable rows;
        // A byte-order mark before a CSV's header line is no part of any row.
        r.description = "Caf\xc3\xa9";
        QCOMPARE(readError(MediaStatsFormat::Csv, "\xEF\xBB\xBF" + csvFile({r.line()}), rows), 0);
        QCOMPARE(rows.count(), 1);
        QCOMPARE(rows.row(1).Description, QByteArray("Caf\xc3\xa9"));
        r.description = "Program";
        QCOMPARE(readError(MediaStatsFormat::Vek, "\xEF\xBB\xBF" + csvFile({r.line()}), rows), 321);
        QByteArray withNul = csvFile({r.line()});
        withNul[withNul.size() - 5] = '\0';
        QCOMPARE(readError(MediaStatsFormat::Csv, withNul, rows), 321);
        // Other control characters are blanks.
        r.description = "A\x01"
                        "B\x7f";
        QCOMPARE(readError(MediaStatsFormat::Csv, csvFile({r.line()}), rows), 0);
        QCOMPARE(rows.row(1).Description, QByteArray("A B"));
    }

    void aLineOfTenMegabytesIsRefusedAndRowsStopAtTheLimit()
    {
        MSRowTable rows;
        CsvRow r;
        QByteArray huge = csvFile({r.line()});
        huge += QByteArray(10 * 1024 * 1024, 'x') + "\r\n";
        QCOMPARE(readError(MediaStatsFormat::Csv, huge, rows), 321);
        QCOMPARE(rows.count(), 1);
        QCOMPARE(readError(MediaStatsFormat::Vek, huge.mid(huge.indexOf('\n') + 1), rows), 321);

        QByteArray many;
        for (int i = 0; i <= MSRowTable::MaxRows; ++i)
            many += "1\n";
        QCOMPARE(readError(MediaStatsFormat::Vek, many, rows), 6);
        QCOMPARE(rows.count(), MSRowTable::MaxRows);
        QCOMPARE(readError(MediaStatsFormat::Vek, many.chopped(2), rows), 0);
        QCOMPARE(rows.count(), MSRowTable::MaxRows);

        // A file past the cap says its size (sparse: no disk is filled).
        QTemporaryDir dir;
        QFile big(dir.filePath(QStringLiteral("big.csv")));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(MaxMediaStatsFileSize + 1));
        big.close();
        try {
            readMediaStatsFile(big.fileName(), rows);
            QFAIL("read");
        } catch (const Failure &e) {
            QCOMPARE(e.description(),
                     QByteArray("File too large: 67108865 bytes, at most 67108864"));
        }
    }

    void aNameOfNoFormatLeavesNoRows()
    {
        MSRowTable rows;
        readVek("1\n2\n", rows);
        QCOMPARE(rows.count(), 2);
        QCOMPARE(readError(MediaStatsFormat::None, "1\n", rows), 52);
        QCOMPARE(rows.count(), 0);
    }
};

VEK_TEST(TestMediaStatsReaders)
#include "tst_readers.moc"
