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

// The same at another scale: a list whose font is larger than the one the widths were made
// for shows them at fewer twips to a pixel (at least 1, so a pixel width read back and set
// again stays the same).
constexpr int twipsToPixels(int twips, double twipsPerPixel)
{
    if (twips <= 0)
        return 0;
    const double scale = twipsPerPixel < 1 ? 1 : twipsPerPixel;
    return int(twips / scale + 0.5);
}

constexpr int pixelsToTwips(int pixels, double twipsPerPixel)
{
    if (pixels <= 0)
        return 0;
    const double scale = twipsPerPixel < 1 ? 1 : twipsPerPixel;
    const double twips = pixels * scale + 0.5;
    return twips >= 2147483647.0 ? 2147483647 : int(twips);
}

} // namespace vek
