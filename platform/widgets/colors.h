#pragma once

#include <QColor>

namespace vek {

// Colours are stored as the value of 0x00BBGGRR (red in the low byte: 255 is pure red,
// 16711680 pure blue). The high byte is ignored.
QColor colorFromBgr(qint32 value);
qint32 bgrFromColor(const QColor &color);

} // namespace vek
