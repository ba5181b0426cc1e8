#include "colors.h"

namespace vek {

QColor colorFromBgr(qint32 value)
{
    const auto v = static_cast<quint32>(value);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

qint32 bgrFromColor(const QColor &color)
{
    const QColor c = color.toRgb();
    return qint32(c.red()) | (qint32(c.green()) << 8) | (qint32(c.blue()) << 16);
}

QColor readableTextColor(const QColor &back)
{
    // Perceived lightness: green counts most, blue least.
    const QColor c = back.toRgb();
    const int luma = (299 * c.red() + 587 * c.green() + 114 * c.blue()) / 1000;
    return luma >= 128 ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace vek
