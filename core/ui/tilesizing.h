#pragma once

namespace vek {

// A child window of the main window that says how high it must be at a width to show a
// number of its list rows with every control whole; the arrangements size their cells by it.
// Windows without it are sized by their least size.
class TileSizing
{
public:
    virtual ~TileSizing() = default;
    virtual int heightForRows(int width, int rows) const = 0;
};

} // namespace vek
