#include <QTest>

#include "platform/failure.h"
#include "platform/numeric.h"
#include "testregistry.h"

using namespace vek;

class TestNumbers : public QObject
{
    Q_OBJECT
private slots:
    void leadingValueReadsUpToTheFirstOtherCharacter_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("digits then letters") << QByteArray("12ab") << 12.0;
        QTest::newRow("no number") << QByteArray("ab") << 0.0;
        QTest::newRow("blank sign fraction") << QByteArray(" -3.5x") << -3.5;
        QTest::newRow("empty") << QByteArray() << 0.0;
        QTest::newRow("plus") << QByteArray("+7") << 7.0;
        QTest::newRow("fraction only") << QByteArray(".5") << 0.5;
        QTest::newRow("tab is not skipped") << QByteArray("\t5") << 0.0;
        QTest::newRow("second number ignored") << QByteArray("1 2") << 1.0;
        QTest::newRow("sign alone") << QByteArray("-") << 0.0;
    }
    void leadingValueReadsUpToTheFirstOtherCharacter()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        QCOMPARE(leadingValue(text), value);
        QCOMPARE(leadingValue(QString::fromLatin1(text)), value);
    }

    void integersRoundHalvesToEvenAndCheckTheirRange()
    {
        QCOMPARE(toInt16(2.5), qint16(2));
        QCOMPARE(toInt16(3.5), qint16(4));
        QCOMPARE(toInt16(-2.5), qint16(-2));
        QCOMPARE(toInt16(32767.4), qint16(32767));
        QCOMPARE(toInt16(-32768), qint16(-32768));
        QCOMPARE(toByte(255.4), quint8(255));
        for (double bad : {32767.5, -32769.0, 1e300, std::nan("")}) {
            try {
                toInt16(bad);
                QFAIL("expected an overflow");
            } catch (const Failure &f) {
                QCOMPARE(f.number(), 6);
                QCOMPARE(f.description(), QByteArray("Overflow"));
            }
        }
        QVERIFY_THROWS_EXCEPTION(Failure, toByte(256));
        QVERIFY_THROWS_EXCEPTION(Failure, toByte(-1));
    }

    void truthValuesAcceptWordsAndNumbersOnly()
    {
        QVERIFY(toBoolean("True"));
        QVERIFY(toBoolean(" tRUE "));
        QVERIFY(!toBoolean("FALSE"));
        QVERIFY(toBoolean("-1"));
        QVERIFY(!toBoolean("0"));
        try {
            toBoolean("yes");
            QFAIL("expected a type mismatch");
        } catch (const Failure &f) {
            QCOMPARE(f.number(), 13);
            QCOMPARE(f.description(), QByteArray("Type mismatch"));
        }
        QVERIFY_THROWS_EXCEPTION(Failure, toBoolean(""));
    }

    void strictNumbersRefuseTrailingText()
    {
        QCOMPARE(strictNumber(" 65408 "), 65408.0);
        QVERIFY_THROWS_EXCEPTION(Failure, strictNumber("12ab"));
        QVERIFY_THROWS_EXCEPTION(Failure, strictNumber(""));
    }

    void errorTableKeepsItsNumbersAndTexts()
    {
        const std::pair<ErrorKind, const char *> table[] = {
            {ErrorKind::InvalidCall, "Invalid procedure call or argument"},
            {ErrorKind::SubscriptOutOfRange, "Subscript out of range"},
            {ErrorKind::FileNotFound, "File not found"},
            {ErrorKind::PermissionDenied, "Permission denied"},
            {ErrorKind::PathFileAccess, "Path/File access error"},
        };
        for (const auto &[kind, text] : table)
            QCOMPARE(Failure(kind).description(), QByteArray(text));
        QCOMPARE(Failure(ErrorKind::PathFileAccess).number(), 75);
    }
};

VEK_TEST(TestNumbers)
#include "tst_numbers.moc"
