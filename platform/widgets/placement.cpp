#include "placement.h"

#include <algorithm>

namespace vek {

namespace {
int keptStart(int start, int length, int areaStart, int areaLength)
{
    if (length >= areaLength)
        return areaStart;
    return std::clamp(start, areaStart, areaStart + areaLength - length);
}
} // namespace

QRect keptInside(const QRect &window, const QRect &area)
{
    return QRect(QPoint(keptStart(window.x(), window.width(), area.x(), area.width()),
                        keptStart(window.y(), window.height(), area.y(), area.height())),
                 window.size());
}

} // namespace vek
