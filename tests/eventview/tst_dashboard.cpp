#include <QTest>
#include <limits>
#include <vector>

#include "core/consolestate.h"
#include "eventview/dashboard.h"
#include "testregistry.h"

using namespace vek;

namespace {
// Head ends 0..16 as the receive path keeps them.
std::vector<DashBoardCounts> table()
{
    return std::vector<DashBoardCounts>(17);
}

std::array<bool, MaxHeadEnds + 1> shown(std::initializer_list<int> heads)
{
    std::array<bool, MaxHeadEnds + 1> s{};
    for (int he : heads)
        s[size_t(he)] = true;
    return s;
}
} // namespace

class TestDashBoard : public QObject
{
    Q_OBJECT
private slots:
    void percentRoundsHalvesToEven()
    {
        QCOMPARE(dashBoardPercent(1, 8), qint64(12));
        QCOMPARE(dashBoardPercent(3, 8), qint64(38));
        QCOMPARE(dashBoardPercent(5, 0), qint64(0));
        QCOMPARE(dashBoardPercent(5, -3), qint64(0));
        QCOMPARE(dashBoardPercent(1, 3), qint64(33));
        QCOMPARE(dashBoardPercent(2, 3), qint64(67));
    }

    void nothingShownOrReceivedShowsZeros()
    {
        auto t = table();
        t[1].Total = 10;
        t[1].Completed = 5;
        const DashBoardFigures f = sumDashBoard(shown({}), t);
        QCOMPARE(f.percentText(), QByteArray("0 % Completed"));
        QCOMPARE(f.bar, 0);
        for (const QByteArray &n : f.numberTexts())
            QCOMPARE(n, QByteArray("0"));
        QCOMPARE(sumDashBoard(shown({1, 2}), {}).Total, qint64(0));
    }

    void sumsOfTheShownHeadEndsInTheirLabels()
    {
        auto t = table();
        t[2] = {6, 1, 2, 3, 4, 5, 3, 2, 7, 99};
        t[5] = {4, 1, 1, 1, 1, 1, 0, 0, 1, 99};
        t[6] = {1000, 1000, 0, 0, 0, 0, 0, 0, 0, 0};
        const DashBoardFigures f = sumDashBoard(shown({2, 5}), t);
        QCOMPARE(f.numberTexts(),
                 (std::array<QByteArray, 8>{"10", "2", "3", "4", "5", "6", "3", "8"}));
        // The second completed count is in the percentage, not in the label.
        QCOMPARE(f.percent, qint64(50));
        QCOMPARE(f.bar, 50);
        QCOMPARE(f.percentText(), QByteArray("50 % Completed"));
    }

    void theReceivePathsTablesTodayOrAll()
    {
        resetConsoleState();
        DashBoardAll(3).Total = 8;
        DashBoardAll(3).Completed = 1;
        DashBoardToday(3).Total = 8;
        DashBoardToday(3).Completed = 3;
        DashBoardAll(13).Total = 50;
        QCOMPARE(sumDashBoard(shown({3}), false).percentText(), QByteArray("12 % Completed"));
        QCOMPARE(sumDashBoard(shown({3}), true).percentText(), QByteArray("38 % Completed"));
        QCOMPARE(sumDashBoard(shown({1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12}), false).Total, 0);
        resetConsoleState();
    }

    void headEndsBeyondTwelveAreNeverCounted()
    {
        auto t = table();
        for (int he = 13; he <= 16; ++he)
            t[size_t(he)].Total = 5;
        QCOMPARE(sumDashBoard(shown({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}), t).Total, 0);
    }

    void sumsDoNotOverflowAndTheBarStaysWithinItsRange()
    {
        auto t = table();
        const qint32 big = std::numeric_limits<qint32>::max();
        for (int he = 1; he <= 12; ++he) {
            t[size_t(he)].Total = big;
            t[size_t(he)].Completed = big;
        }
        DashBoardFigures f = sumDashBoard(shown({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}), t);
        QCOMPARE(f.Total, qint64(big) * 12);
        QCOMPARE(f.numberTexts()[0], QByteArray("25769803764"));
        QCOMPARE(f.percent, qint64(100));

        // More done than there are events: the label tells, the bar stops at 100.
        auto u = table();
        u[1].Total = 4;
        u[1].Completed = 6;
        u[1].Completed2 = 2;
        f = sumDashBoard(shown({1}), u);
        QCOMPARE(f.percentText(), QByteArray("200 % Completed"));
        QCOMPARE(f.bar, 100);
        u[1].Completed = -10;
        f = sumDashBoard(shown({1}), u);
        QCOMPARE(f.percentText(), QByteArray("-200 % Completed"));
        QCOMPARE(f.bar, 0);
    }
};

VEK_TEST(TestDashBoard)
#include "tst_dashboard.moc"
