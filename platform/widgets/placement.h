#pragma once

#include <QRect>

namespace vek {

// A window's rectangle moved by the least distance that puts it whole inside an area (the
// screen, or the main window's client area): placed by offsets it may land partly outside.
// One larger than the area keeps its top left corner on the area's.
QRect keptInside(const QRect &window, const QRect &area);

} // namespace vek
