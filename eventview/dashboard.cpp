#include "dashboard.h"

#include <cmath>

#include "platform/text.h"

namespace vek {

qint64 dashBoardPercent(qint64 done, qint64 total)
{
    if (total <= 0)
        return 0;
    // Both sums stay far below 2^53, so the double holds them exactly.
    return static_cast<qint64>(std::nearbyint(double(done) / double(total) * 100.0));
}

DashBoardFigures sumDashBoard(const std::array<bool, MaxHeadEnds + 1> &showHE,
                              std::span<const DashBoardCounts> table)
{
    DashBoardFigures f;
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        if (!showHE[size_t(he)] || size_t(he) >= table.size())
            continue;
        const DashBoardCounts &c = table[size_t(he)];
        f.Total += c.Total;
        f.Upcoming += c.Upcoming;
        f.OnAir += c.OnAir;
        f.LessThan += c.LessThan;
        f.OnHold += c.OnHold;
        f.Interrupted += c.Interrupted;
        f.Completed += c.Completed;
        f.Completed2 += c.Completed2;
        f.Problem += c.Problem;
    }
    f.percent = dashBoardPercent(f.Completed + f.Completed2, f.Total);
    f.bar = static_cast<int>(qBound(qint64(0), f.percent, qint64(100)));
    return f;
}

DashBoardFigures sumDashBoard(const std::array<bool, MaxHeadEnds + 1> &showHE, bool showToday)
{
    std::array<DashBoardCounts, MaxHeadEnds + 1> table{};
    for (int he = 1; he <= MaxHeadEnds; ++he)
        table[size_t(he)] = showToday ? DashBoardToday(he) : DashBoardAll(he);
    return sumDashBoard(showHE, table);
}

QByteArray DashBoardFigures::percentText() const
{
    return CStr(percent) + " % Completed";
}

std::array<QByteArray, 8> DashBoardFigures::numberTexts() const
{
    return {CStr(Total),  CStr(Upcoming),    CStr(OnAir),     CStr(LessThan),
            CStr(OnHold), CStr(Interrupted), CStr(Completed), CStr(Problem)};
}

} // namespace vek
