#pragma once

class QMdiArea;

namespace vek {

// The main window's arrangements of its child windows: 0 cascade (inside the area), 1 tile
// horizontally (full-width bands, one above the other), 2 tile vertically (full-height
// columns side by side), 3 line up the minimised windows along the bottom. Any other number
// does nothing.
void arrangeMdi(QMdiArea *area, int arrangement);

} // namespace vek
