#include <QTest>

#include "platform/clock.h"
#include "testregistry.h"

using namespace vek;

class TestClock : public QObject
{
    Q_OBJECT
private slots:
    void anInstalledClockReplacesTheSystemClock()
    {
        const QDateTime start(QDate(2026, 12, 31), QTime(23, 59, 59, 500));
        ManualClock manual(start);
        {
            ScopedClock scope(manual);
            QCOMPARE(Clock::localNow(), start);
            QCOMPARE(Clock::secondsSinceMidnight(), 86399.5);
            manual.advanceMs(600);
            QCOMPARE(Clock::today(), QDate(2027, 1, 1));
            QCOMPARE(Clock::secondsSinceMidnight(), 0.1);
        }
        QVERIFY(qAbs(Clock::localNow().secsTo(QDateTime::currentDateTime())) < 5);
        // The system clock's seconds of the day are local time, read twice from one offset.
        for (int i = 0; i < 2; ++i) {
            const double local = QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
            const double diff = qAbs(Clock::secondsSinceMidnight() - local);
            QVERIFY2(diff < 2 || diff > 86398, qPrintable(QString::number(diff)));
        }
    }
};

VEK_TEST(TestClock)
#include "tst_clock.moc"
