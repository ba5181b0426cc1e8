#include <QSet>
#include <QTest>

#include "core/consolestate.h"
#include "core/eventkeys.h"
#include "core/eventtable.h"
#include "platform/clock.h"
#include "testregistry.h"

using namespace vek;

class TestEventKeys : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetConsoleState(); }

    void rowKeysReadAsTheListsWriteThem()
    {
        const struct
        {
            QByteArray key;
            int headEnd;
            int slot;
        } cases[] = {
            {"3-42", 3, 42},
            {"12-10000", 12, 10000},
            {"0-0", 0, 0},
            {"07-005", 7, 5},
            {"13-0", 0, 0},
            {"3-10001", 0, 0},
            {"3-", 3, 0},
            {"3-4-5", 0, 0},
            {" 3-4", 3, 4},
            {"3-4.0", 3, 4},
            {"3-4.5", 0, 0},
            {"3x-4", 3, 4},
            {"3-+4", 3, 4},
            {"", 0, 0},
            {"-", 0, 0},
            {"999999999-1", 0, 0},
            {"1234567890-1", 0, 0},
        };
        for (const auto &c : cases) {
            const RowKey k = parseRowKey(c.key);
            QVERIFY2(k.headEnd == c.headEnd && k.slot == c.slot, c.key.constData());
            if (c.headEnd && c.slot)
                QCOMPARE(parseRowKey(makeRowKey(k.headEnd, k.slot)).slot, c.slot);
        }
    }

    void keysAreStampAndSuffix()
    {
        ManualClock clock(QDateTime(QDate(2024, 12, 25), QTime(14, 30, 5)));
        ScopedClock scope(clock);
        QCOMPARE(NewEventKey(), QByteArray("2412251430050000"));
        QCOMPARE(NewEventKey(), QByteArray("2412251430050001"));
        clock.advanceMs(1000);
        QCOMPARE(NewEventKey(), QByteArray("2412251430060000"));
    }

    void noKeyRepeatsWhenTheClockStandsStillOrGoesBack()
    {
        ManualClock clock(QDateTime(QDate(2026, 3, 8), QTime(2, 0, 0)));
        ScopedClock scope(clock);
        QSet<QByteArray> seen;
        for (int i = 0; i < 10500; ++i)
            seen.insert(NewEventKey());
        QCOMPARE(seen.size(), 10500);
        QVERIFY(seen.contains("2603080200010499")); // past 9999 in one second
        clock.advanceMs(-3600 * 1000);
        for (int i = 0; i < 100; ++i) {
            const QByteArray k = NewEventKey();
            QCOMPARE(k.size(), 16);
            QVERIFY2(!seen.contains(k), k.constData());
            seen.insert(k);
        }
    }

    void importsOwnASecondThatNoOtherKeyUses()
    {
        ManualClock clock(QDateTime(QDate(2024, 12, 25), QTime(14, 30, 5)));
        ScopedClock scope(clock);
        QCOMPARE(NewEventKey(), QByteArray("2412251430050000"));
        // Two imports in the same second, and a key added between them, each get a second
        // of their own.
        QCOMPARE(NewImportStamp(), QByteArray("241225143006"));
        QCOMPARE(NewImportStamp(), QByteArray("241225143007"));
        QCOMPARE(NewEventKey(), QByteArray("2412251430080000"));
        QCOMPARE(NewEventKey(), QByteArray("2412251430080001"));
        QCOMPARE(NewImportStamp(), QByteArray("241225143009"));
        clock.advanceMs(10000);
        QCOMPARE(NewImportStamp(), QByteArray("241225143015"));
        QCOMPARE(NewEventKey(), QByteArray("2412251430160000"));
    }
};

VEK_TEST(TestEventKeys)
#include "tst_eventkeys.moc"
