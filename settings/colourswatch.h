#pragma once

#include <QString>

class QLabel;

namespace vek {

// What each of the eight list colours marks, in the order of the colour table (1..8).
QString colourMeaning(int k);

// A label shown as a coloured field (0x00BBGGRR); the colour it shows is its palette's
// window colour.
void paintSwatch(QLabel *swatch, qint32 bgr);

} // namespace vek
