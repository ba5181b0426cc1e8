#pragma once

namespace vek {

// Widths are kept in twips, 15 to a pixel at 96 dpi. This one pair is used both ways,
// so a width read back and written again never drifts: pixels -> twips -> pixels is
// exact and twips -> pixels -> twips settles after one round.
constexpr int TwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return twips <= 0 ? 0 : (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

constexpr int pixelsToTwips(int pixels)
{
    if (pixels <= 0)
        return 0;
    return pixels > 2147483647 / TwipsPerPixel ? 2147483647 / TwipsPerPixel * TwipsPerPixel
                                               : pixels * TwipsPerPixel;
}

} // namespace vek
