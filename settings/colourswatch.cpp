#include "colourswatch.h"

#include <QLabel>

#include "platform/widgets/colors.h"

namespace vek {

QString colourMeaning(int k)
{
    static const char *const meanings[8] = {"Currently Substituted",
                                            "Pending Substitution (On Hold)",
                                            "Substitution In Less Than 30 Min.",
                                            "Backup Source In Use",
                                            "Event Failed / Problem",
                                            "Operator Aborted / Interupted ",
                                            "Event Completed",
                                            "Grid Selection"};
    return k >= 1 && k <= 8 ? QString::fromLatin1(meanings[k - 1]) : QString();
}

void paintSwatch(QLabel *swatch, qint32 bgr)
{
    QPalette p = swatch->palette();
    const QColor colour = colorFromBgr(bgr);
    p.setColor(QPalette::Window, colour);
    // A caption stays readable on dark colours.
    const int luminance = (299 * colour.red() + 587 * colour.green() + 114 * colour.blue()) / 1000;
    p.setColor(QPalette::WindowText, luminance < 128 ? Qt::white : Qt::black);
    swatch->setPalette(p);
    swatch->setAutoFillBackground(true);
}

} // namespace vek
