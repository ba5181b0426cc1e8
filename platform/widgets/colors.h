#pragma once

#include <QColor>

namespace vek {

// Colours are stored as the value of 0x00BBGGRR (red in the low byte: 255 is pure red,
// 16711680 pure blue). The high byte is ignored.
QColor colorFromBgr(qint32 value);
qint32 bgrFromColor(const QColor &color);
// Text over a back colour: white on a dark one, black on a light one (black on dark red
// cannot be read).
QColor readableTextColor(const QColor &back);

} // namespace vek
