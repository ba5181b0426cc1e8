#include <QTest>

#include "core/consolestate.h"
#include "core/timezones.h"
#include "core/zoneclocks.h"
#include "platform/clock.h"
#include "platform/timezonebias.h"
#include "testregistry.h"

using namespace vek;

namespace {
// The PC's wall time, held in UTC so that the zone of the machine running the tests
// cannot shift a reading that falls into its own daylight-saving gap.
QDateTime at(int y, int mo, int d, int h, int mi, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

// The twelve clocks as "hh:mm:ss" after one tick at a PC time under a bias.
QStringList clocksAt(const TimeZoneBias &bias, const QDateTime &pcTime)
{
    ManualClock clock(pcTime);
    ScopedClock scopeClock(clock);
    ScopedTimeZoneBias scopeBias(bias);
    updateZoneTimes();
    QStringList out;
    for (const QDateTime &z : ZoneTimes())
        out << z.time().toString(QStringLiteral("HH:mm:ss"));
    return out;
}
} // namespace

class TestTimeZones : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        resetConsoleState();
        LoadDSTTable();
    }
    void cleanup() { resetConsoleState(); }

    void tableRunsFromSecondSundayOfMarchToFirstSundayOfNovember()
    {
        QCOMPARE(DSTStart()[0], QDateTime(QDate(2015, 3, 8), QTime(2, 0), Qt::UTC));
        QCOMPARE(DSTEnd()[0], QDateTime(QDate(2015, 11, 1), QTime(2, 0), Qt::UTC));
        // 2025: 1 March and 1 November are Saturdays.
        QCOMPARE(DSTStart()[10].date(), QDate(2025, 3, 9));
        QCOMPARE(DSTEnd()[10].date(), QDate(2025, 11, 2));
        // 2026: 1 March is a Sunday, so the second Sunday is the 8th; 1 November too.
        QCOMPARE(DSTStart()[11].date(), QDate(2026, 3, 8));
        QCOMPARE(DSTEnd()[11].date(), QDate(2026, 11, 1));
        QCOMPARE(DSTStart()[DSTYears - 1].date(), QDate(2099, 3, 8));
        QCOMPARE(DSTEnd()[DSTYears - 1].date(), QDate(2099, 11, 1));
        for (size_t i = 0; i < DSTStart().size(); ++i) {
            QCOMPARE(DSTStart()[i].date().dayOfWeek(), 7);
            QCOMPARE(DSTEnd()[i].date().dayOfWeek(), 7);
            QCOMPARE(DSTStart()[i].date().year(), DSTFirstYear + int(i));
        }
    }

    void pacificPcInWinterAndSummer()
    {
        const FixedTimeZoneBias pacific(480);
        QCOMPARE(
            clocksAt(pacific, at(2025, 1, 15, 10, 0)),
            QStringList({"10:00:00", "11:00:00", "12:00:00", "13:00:00", "14:00:00", "14:30:00",
                         "12:00:00", "10:00:00", "11:00:00", "12:00:00", "13:00:00", "14:00:00"}));
        // Daylight saving: the following zones keep the PC's hour, the others drop it.
        QCOMPARE(
            clocksAt(pacific, at(2025, 7, 15, 10, 0)),
            QStringList({"10:00:00", "11:00:00", "12:00:00", "13:00:00", "14:00:00", "14:30:00",
                         "11:00:00", "09:00:00", "10:00:00", "11:00:00", "12:00:00", "13:00:00"}));
        QCOMPARE(ZoneTimes()[0].date(), QDate(2025, 7, 15));
    }

    void namedZonesOfTheTimeZoneDatabase()
    {
        // Toronto keeps its standard bias (300) in summer; the PC clock is on EDT.
        const ZoneTimeZoneBias toronto(QByteArray("America/Toronto"));
        QVERIFY(toronto.isValid());
        const QStringList summer = clocksAt(toronto, at(2025, 7, 15, 10, 0));
        QCOMPARE(summer[3], "10:00:00");  // Eastern
        QCOMPARE(summer[0], "07:00:00");  // Pacific
        QCOMPARE(summer[6], "08:00:00");  // Saskatchewan: UTC-6 all year
        QCOMPARE(summer[10], "09:00:00"); // Eastern No DST
        QCOMPARE(summer[7], "06:00:00");  // Pacific No DST

        const ZoneTimeZoneBias stJohns(QByteArray("America/St_Johns"));
        QCOMPARE(clocksAt(stJohns, at(2025, 1, 15, 10, 0))[5], "10:00:00");
        QCOMPARE(clocksAt(stJohns, at(2025, 1, 15, 10, 0))[3], "08:30:00");
    }

    void anUnknownBiasCountsAsPacific()
    {
        for (int bias : {0, 330, -60, 270, 540, 481}) {
            QCOMPARE(normalisedBias(bias), 480);
            QCOMPARE(clocksAt(FixedTimeZoneBias(bias), at(2025, 1, 15, 10, 0)),
                     clocksAt(FixedTimeZoneBias(480), at(2025, 1, 15, 10, 0)));
        }
        for (int bias : {210, 240, 300, 360, 420, 480})
            QCOMPARE(normalisedBias(bias), bias);
        const ZoneTimeZoneBias kolkata(QByteArray("Asia/Kolkata"));
        QCOMPARE(clocksAt(kolkata, at(2025, 1, 15, 10, 0))[7], "10:00:00");
    }

    void outsideTheTableNoPeriodApplies()
    {
        const FixedTimeZoneBias pacific(480);
        const QStringList last = clocksAt(pacific, at(2099, 7, 15, 10, 0));
        QCOMPARE(last[7], "09:00:00");
        QCOMPARE(last[6], "11:00:00");
        // 2100 and 2014: the "No DST" clocks take the PC's clock with standard offsets.
        for (const QDateTime &t : {at(2100, 7, 15, 10, 0), at(2014, 7, 15, 10, 0)}) {
            const QStringList c = clocksAt(pacific, t);
            QCOMPARE(c[7], "10:00:00");
            QCOMPARE(c[6], "12:00:00");
            QCOMPARE(c[11], "14:00:00");
        }
        // Without the table loaded nothing is daylight saving either.
        resetConsoleState();
        QCOMPARE(clocksAt(pacific, at(2025, 7, 15, 10, 0))[7], "10:00:00");
    }

    void edgesOfThePeriod()
    {
        // At exactly 02:00:00 of the start day the "No DST" zones still count standard
        // time, while the Saskatchewan clock tests the shifted time.
        const QDateTime start = at(2025, 3, 9, 2, 0);
        QCOMPARE(ZoneMinutes(0, 480, start), 0);
        QCOMPARE(ZoneMinutes(0, 480, start.addSecs(1)), -60);
        QCOMPARE(FixedZoneMinutes(360, start), -60);
        QCOMPARE(FixedZoneMinutes(360, start.addSecs(-1)), 0);
        // Pacific PC: the shifted time is 04:00, already inside the period.
        QCOMPARE(FixedZoneMinutes(480, start), 60);
        QCOMPARE(FixedZoneMinutes(480, at(2025, 3, 8, 23, 59, 59)), 120);
        QCOMPARE(FixedZoneMinutes(480, at(2025, 3, 9, 0, 0)), 60);
        // Eastern PC: the shifted time is an hour earlier, still standard at 02:59:59.
        QCOMPARE(FixedZoneMinutes(300, at(2025, 3, 9, 2, 59, 59)), -60);
        QCOMPARE(FixedZoneMinutes(300, at(2025, 3, 9, 3, 0)), -120);

        // The end is excluded by both.
        const QDateTime end = at(2025, 11, 2, 2, 0);
        QCOMPARE(ZoneMinutes(4, 240, end.addSecs(-1)), -60);
        QCOMPARE(ZoneMinutes(4, 240, end), 0);
        QCOMPARE(FixedZoneMinutes(360, end.addSecs(-1)), -60);
        QCOMPARE(FixedZoneMinutes(360, end), 0);

        // Any other k counts as Mountain.
        QCOMPARE(ZoneMinutes(7, 480, at(2025, 7, 1, 12, 0)), 0);
        QCOMPARE(ZoneMinutes(-1, 480, at(2025, 1, 1, 12, 0)), 60);
        // The forms without a time read the clock.
        ManualClock clock(at(2025, 7, 1, 12, 0));
        ScopedClock scope(clock);
        QCOMPARE(ZoneMinutes(0, 480), -60);
        QCOMPARE(FixedZoneMinutes(480), 60);
    }

    void standardZonesRunOnAcrossTheChange()
    {
        // A Toronto PC springs from 01:59:59 to 03:00:00; the clocks without daylight
        // saving move by one second, the following zones jump with the PC.
        const ZoneTimeZoneBias toronto(QByteArray("America/Toronto"));
        const QStringList before = clocksAt(toronto, at(2025, 3, 9, 1, 59, 59));
        const QStringList after = clocksAt(toronto, at(2025, 3, 9, 3, 0));
        QCOMPARE(before[10], "01:59:59");
        QCOMPARE(after[10], "02:00:00");
        QCOMPARE(before[6], "00:59:59");
        QCOMPARE(after[6], "01:00:00");
        QCOMPARE(before[7], "22:59:59");
        QCOMPARE(after[7], "23:00:00");
        QCOMPARE(ZoneTimes()[7].date(), QDate(2025, 3, 8));
        QCOMPARE(before[3], "01:59:59");
        QCOMPARE(after[3], "03:00:00");

        // In autumn the PC falls back at 02:00 EDT; once past the end the clocks without
        // daylight saving read standard time again.
        const QStringList lastSummer = clocksAt(toronto, at(2025, 11, 2, 0, 59, 59));
        QCOMPARE(lastSummer[10], "23:59:59");
        QCOMPARE(lastSummer[6], "22:59:59");
        const QStringList winter = clocksAt(toronto, at(2025, 11, 2, 3, 0));
        QCOMPARE(winter[10], "03:00:00");
        QCOMPARE(winter[6], "02:00:00");
    }

    void zoneTimesCrossMidnightWithTheirDate()
    {
        const QStringList c = clocksAt(FixedTimeZoneBias(480), at(2025, 12, 31, 22, 45));
        QCOMPARE(c[5], "03:15:00");
        QCOMPARE(ZoneTimes()[5].date(), QDate(2026, 1, 1));
        QCOMPARE(ZoneTimes()[0].date(), QDate(2025, 12, 31));
    }

    void zoneNames()
    {
        QCOMPARE(ZoneName(0), "Pacific");
        QCOMPARE(ZoneName(5), "Newfoundland");
        QCOMPARE(ZoneName(6), "Saskatchewan");
        QCOMPARE(ZoneName(11), "Atlantic No DST");
        QVERIFY(ZoneName(12).isEmpty());
        QVERIFY(ZoneName(-1).isEmpty());
    }
};

VEK_TEST(TestTimeZones)
#include "tst_timezones.moc"
