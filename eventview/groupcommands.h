#pragma once

#include <vector>

#include "eventview/eventcommands.h"

class QWidget;

namespace vek {

class GridView;

// A list as the group popup needs it: every row below the header and the selection.
struct GroupList
{
    std::vector<CommandRow> rows; // list rows 1..
    int row = 1;                  // the current row (Row)
    int rowSel = 1;               // the other end of the selection (RowSel)
};
GroupList groupList(const GridView &grid);

// The group popup's item index (0 "N/A", 1..24) for the selected rows of the list
// named by popupSource (1 Upcoming, 2 On-Air; anything else does nothing).
void menuPOPGROUP_Click(int index, int popupSource, const GroupList &list,
                        QWidget *parent = nullptr);

// The toolbar's group commands on the current tab's selection (HG, AG, IG); the server
// acts on every member of the selected event's group. HG returns true when the window
// is to select the first row again.
bool groupHold_Click(const CommandView &view, const std::vector<CommandRow> &rows);
void groupSub_Click(const CommandView &view, const std::vector<CommandRow> &rows);
void groupIntRes_Click(const CommandView &view, const std::vector<CommandRow> &rows);

} // namespace vek
