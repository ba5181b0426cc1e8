#include <QTest>

#include "platform/clocksetter.h"
#include "platform/failure.h"
#include "platform/timezonebias.h"
#include "testregistry.h"

using namespace vek;

class TestTimeZoneBias : public QObject
{
    Q_OBJECT
private slots:
    void standardBiasOfNamedZones()
    {
        const QDateTime winter(QDate(2025, 1, 15), QTime(12, 0));
        const QDateTime summer(QDate(2025, 7, 15), QTime(12, 0));
        // Daylight saving never enters the bias.
        for (const QDateTime &t : {winter, summer}) {
            QCOMPARE(ZoneTimeZoneBias(QByteArray("America/Toronto")).standardBias(t), 300);
            QCOMPARE(ZoneTimeZoneBias(QByteArray("America/Vancouver")).standardBias(t), 480);
            QCOMPARE(ZoneTimeZoneBias(QByteArray("America/Regina")).standardBias(t), 360);
            QCOMPARE(ZoneTimeZoneBias(QByteArray("America/St_Johns")).standardBias(t), 210);
            QCOMPARE(ZoneTimeZoneBias(QByteArray("Asia/Kolkata")).standardBias(t), -330);
            QCOMPARE(ZoneTimeZoneBias(QByteArray("UTC")).standardBias(t), 0);
        }
        QVERIFY(!ZoneTimeZoneBias(QByteArray("Nowhere/Atall")).isValid());
    }

    void installedBiasAndTheSystemZone()
    {
        const QDateTime t(QDate(2025, 1, 15), QTime(12, 0));
        QCOMPARE(TimeZoneBias::current().standardBias(t),
                 -QTimeZone::systemTimeZone().standardTimeOffset(t) / 60);
        {
            const FixedTimeZoneBias fixed(420);
            ScopedTimeZoneBias scope(fixed);
            QCOMPARE(TimeZoneBias::current().standardBias(t), 420);
        }
        QVERIFY(dynamic_cast<const SystemTimeZoneBias *>(&TimeZoneBias::current()));
    }
};

class TestClockSetter : public QObject
{
    Q_OBJECT
private slots:
    void dryRunIsChosenByTheEnvironment()
    {
        const QByteArray old = qgetenv("VEK_CLOCK_DRY_RUN");
        qputenv("VEK_CLOCK_DRY_RUN", "1");
        QVERIFY(dynamic_cast<DryRunClockSetter *>(&ClockSetter::current()));
        qputenv("VEK_CLOCK_DRY_RUN", "0");
        QVERIFY(dynamic_cast<SystemClockSetter *>(&ClockSetter::current()));
        {
            DryRunClockSetter mine;
            ScopedClockSetter scope(mine);
            QCOMPARE(&ClockSetter::current(), &mine);
        }
        if (old.isNull())
            qunsetenv("VEK_CLOCK_DRY_RUN");
        else
            qputenv("VEK_CLOCK_DRY_RUN", old);
    }

    void dryRunOnlyReports()
    {
        QByteArrayList lines;
        DryRunClockSetter dry([&](const QByteArray &line) { lines << line; });
        dry.setLocalTime(QDateTime(QDate(2026, 12, 10), QTime(0, 0, 30)));
        QCOMPARE(lines, QByteArrayList{"Clock not set (dry run): would set 2026-12-10 00:00:30"});
        try {
            dry.setLocalTime(QDateTime());
            QFAIL("took an invalid time");
        } catch (const Failure &f) {
            QCOMPARE(f.number(), 5);
        }
        QCOMPARE(lines.size(), 1);
    }
};

VEK_TEST(TestTimeZoneBias)
VEK_TEST(TestClockSetter)
#include "tst_timezonebias.moc"
