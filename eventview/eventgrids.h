#pragma once

#include <QByteArray>
#include <array>

#include "eventview/eventlists.h"

namespace vek {

class GridView;

// The three lists of one Event View window, index 1..3 as EventList.
struct EventGrids
{
    std::array<GridView *, EventListCount + 1> grid{};
};

// The twips-to-pixels scale of a list in its font: the texts its columns are made to hold
// (a whole time, "On Hold", the date, a 15-character head-end name, every title) fit at
// the default widths. Never more than the 15 twips to a pixel of a small font.
double listTwipsPerPixel(const GridView &grid);

// Lays out the empty lists: header and one blank row, titles, widths from ColWidths
// (the MediaPoint ID column hidden unless the lock mode is on). Failures are logged.
void GRIDSET(const EventGrids &grids, bool vcogLock);

// The status-bar texts of the tab being shown (panel 13 and 14).
struct GridPanels
{
    QByteArray events;
    QByteArray sort;
};

// The body of a view's rebuild: keeps the operator's widths in ColWidths, builds through
// the view's engine (which reads the events edited since its last build), fills, colours
// and sorts the lists (one reset of each grid), marks headers not in their default order
// red and puts each list back at its remembered row and first visible row.
GridPanels rebuildGrids(const EventGrids &grids, ListBuilder &engine, const ViewOptions &options,
                        int shownTab);

} // namespace vek
