#include <QTest>

#include "core/convert.h"
#include "platform/failure.h"
#include "testregistry.h"

using namespace vek;

class TestConvert : public QObject
{
    Q_OBJECT
private slots:
    void timeCalc_data()
    {
        QTest::addColumn<QByteArray>("a");
        QTest::addColumn<QByteArray>("b");
        QTest::addColumn<QByteArray>("op");
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<QByteArray>("result");
        QTest::newRow("difference over midnight")
            << QByteArray("00:10:00") << QByteArray("23:50:00") << QByteArray("-") << true
            << QByteArray("00:20:00");
        QTest::newRow("negative without wrap")
            << QByteArray("00:10:00") << QByteArray("23:50:00") << QByteArray("-") << false
            << QByteArray("00:00:00");
        QTest::newRow("equal times") << QByteArray("12:00:00") << QByteArray("12:00:00")
                                     << QByteArray("-") << false << QByteArray("00:00:00");
        QTest::newRow("event 23:00 to 01:00") << QByteArray("01:00:00") << QByteArray("23:00:00")
                                              << QByteArray("-") << true << QByteArray("02:00:00");
        QTest::newRow("sum wraps once") << QByteArray("23:00:00") << QByteArray("02:00:00")
                                        << QByteArray("+") << true << QByteArray("01:00:00");
        QTest::newRow("sum kept") << QByteArray("23:00:00") << QByteArray("02:00:00")
                                  << QByteArray("+") << false << QByteArray("25:00:00");
        QTest::newRow("three-digit hours") << QByteArray("99:00:00") << QByteArray("99:59:59")
                                           << QByteArray("+") << false << QByteArray("198:59:59");
        QTest::newRow("short text") << QByteArray("0:10:00") << QByteArray("00:00:00")
                                    << QByteArray("+") << true << QByteArray("00:00:00");
        QTest::newRow("long operation") << QByteArray("00:10:00") << QByteArray("00:00:00")
                                        << QByteArray("+-") << true << QByteArray("00:00:00");
        QTest::newRow("unknown operation") << QByteArray("00:10:00") << QByteArray("00:00:00")
                                           << QByteArray("*") << true << QByteArray("00:00:00");
        QTest::newRow("separators not checked")
            << QByteArray("01.02.03") << QByteArray("00x00x01") << QByteArray("+") << false
            << QByteArray("01:02:04");
        QTest::newRow("letters read as zero") << QByteArray("ab:30:00") << QByteArray("00:00:00")
                                              << QByteArray("+") << false << QByteArray("00:30:00");
    }
    void timeCalc()
    {
        QFETCH(QByteArray, a);
        QFETCH(QByteArray, b);
        QFETCH(QByteArray, op);
        QFETCH(bool, wrap);
        QFETCH(QByteArray, result);
        QCOMPARE(TimeCalc(a, b, op, wrap), result);
    }

    void keysJoinDateAndSecondsOfTheDay()
    {
        QCOMPARE(DateTimeKey(QDate(2024, 12, 25), "14:30:05"), Q_INT64_C(2024122552205));
        QCOMPARE(DateTimeKey(QDate(2024, 12, 31), "23:59:59"), Q_INT64_C(2024123186399));
        QCOMPARE(DateTimeKey(QDate(2025, 1, 1), "00:00:00"), Q_INT64_C(2025010100000));
        QVERIFY(DateTimeKey(QDate(2024, 12, 31), "23:59:59") <
                DateTimeKey(QDate(2025, 1, 1), "00:00:00"));
        QCOMPARE(DateKey(QDateTime(QDate(2024, 12, 25), QTime(14, 30, 5, 999))),
                 Q_INT64_C(2024122552205));
    }

    void aTimeOfADayOrMoreIsRefused()
    {
        // 24:00:00 would give 86400 seconds and spill into the date digits.
        QVERIFY_THROWS_EXCEPTION(Failure, DateTimeKey(QDate(2024, 12, 31), "24:00:00"));
        QVERIFY_THROWS_EXCEPTION(Failure, DateTimeKey(QDate(2024, 12, 31), "23:60:00"));
        QVERIFY_THROWS_EXCEPTION(Failure, DateTimeKey(QDate(), "10:00:00"));
        QCOMPARE(DateTimeKey(QDate(2024, 12, 31), "23:59:59"), Q_INT64_C(2024123186399));
    }

    void paddedNumbers()
    {
        // Written in place at position 2 of a header.
        const auto pad3 = [](quint8 v) {
            QByteArray b("x...");
            Pad3Byte(b.data(), 2, v);
            return b.mid(1);
        };
        const auto pad4 = [](qint16 v) {
            QByteArray b("x....");
            Pad4Int(b.data(), 2, v);
            return b.mid(1);
        };
        QCOMPARE(pad3(0), QByteArray("000"));
        QCOMPARE(pad3(7), QByteArray("007"));
        QCOMPARE(pad3(255), QByteArray("255"));
        QCOMPARE(pad4(7), QByteArray("0007"));
        QCOMPARE(pad4(9999), QByteArray("9999"));
        QCOMPARE(pad4(12345), QByteArray("0000"));
        QCOMPARE(pad4(-5), QByteArray("00-5"));
        QCOMPARE(pad4(-1234), QByteArray("0000"));
        QCOMPARE(Pad3Int(5), QByteArray("005"));
        QCOMPARE(Pad3Int(999), QByteArray("999"));
        QCOMPARE(Pad3Int(1000), QByteArray(""));
        QCOMPARE(Pad3Int(-1), QByteArray(""));
    }

    void bytesToNumberIsBigEndianAndUnsigned()
    {
        QCOMPARE(BytesToNumber(QByteArray("\x01\x02", 2)), 258.0);
        QCOMPARE(BytesToNumber(QByteArray("\xff")), 255.0);
        QCOMPARE(BytesToNumber(QByteArray("\xff\xff\xff\xff")), 4294967295.0);
        QCOMPARE(BytesToNumber(QByteArray("\x00\x00\x01", 3)), 1.0);
        QCOMPARE(BytesToNumber(QByteArray()), 0.0);
        QCOMPARE(BytesToNumber(QByteArray("12345")), 0.0);
    }

    void mediaStatsDates_data()
    {
        QTest::addColumn<QByteArray>("mdy");
        QTest::addColumn<QByteArray>("dmy");
        QTest::newRow("short year") << QByteArray("3/7/24") << QByteArray("07/03/2024");
        QTest::newRow("year 99") << QByteArray("12/31/99") << QByteArray("31/12/2099");
        QTest::newRow("full year kept") << QByteArray("12/31/1999") << QByteArray("31/12/1999");
        QTest::newRow("month 13") << QByteArray("13/01/2024") << QByteArray("");
        QTest::newRow("two parts") << QByteArray("1/2") << QByteArray("");
        QTest::newRow("four parts") << QByteArray("1/2/3/4") << QByteArray("");
        QTest::newRow("day 0") << QByteArray("1/0/2024") << QByteArray("");
        QTest::newRow("30 February") << QByteArray("2/30/2024") << QByteArray("30/02/2024");
        QTest::newRow("leap day") << QByteArray("2/29/2024") << QByteArray("29/02/2024");
        QTest::newRow("not a leap year") << QByteArray("2/29/2023") << QByteArray("29/02/2023");
        QTest::newRow("huge year") << QByteArray("1/1/99999999999") << QByteArray("");
        QTest::newRow("blanks and text after the numbers")
            << QByteArray(" 3/ 7/24 am") << QByteArray("07/03/2024");
        QTest::newRow("empty parts") << QByteArray("//") << QByteArray("");
        QTest::newRow("no slash") << QByteArray("03072024") << QByteArray("");
    }
    void mediaStatsDates()
    {
        QFETCH(QByteArray, mdy);
        QFETCH(QByteArray, dmy);
        QCOMPARE(ConvertDateMDYtoDMY(mdy), dmy);
    }

    void fixTime()
    {
        QCOMPARE(FixTime("9:30"), QByteArray("09:30:00"));
        QCOMPARE(FixTime("09:30"), QByteArray("09:30:00"));
        QCOMPARE(FixTime("9:30:15"), QByteArray("09:30:15"));
        QCOMPARE(FixTime("12:30:45"), QByteArray("12:30:45"));
        QCOMPARE(FixTime("930"), QByteArray("930"));
        // Other shapes stay as they are, for the conversion to refuse.
        QCOMPARE(FixTime("12:5"), QByteArray("12:5"));
        QCOMPARE(FixTime("1:30 PM"), QByteArray("1:30 PM"));
        QCOMPARE(FixTime("1:3:45"), QByteArray("1:3:45"));
    }
};

VEK_TEST(TestConvert)
#include "tst_convert.moc"
