#pragma once

#include <QByteArray>
#include <vector>

#include "core/systemoptions.h"

class QWidget;

namespace vek {

class GridView;

// The operator's commands on the events of an Event View list, without the window:
// the window hands over the rows the operator picked and the tab they were picked on.
// Questions and notices go through the dialog seam; while one is open the lists may be
// rebuilt, so every command took its rows before asking and acts afterwards only on
// rows whose slot still holds the event that was picked.

// Tabs of an Event View window.
enum ViewTab : int { TabUpcoming = 0, TabOnAir = 1, TabAsRun = 2 };

// One list row as the command saw it when it was picked.
struct CommandRow
{
    QByteArray rowKey; // "he-slot"; "" for the list's empty row
    int headEnd = 0;   // the event the row shows (typed, never read back from rowKey)
    int slot = 0;
    QByteArray fullKey; // the event's full key
    int groupNo = 0;    // its group, 0 for none
    QByteArray description;
    QByteArray mediaPointId;
};

CommandRow commandRow(const GridView &grid, int row);
// The rows from the smaller to the larger of Row and RowSel, in increasing order; at
// least one (an empty list gives its empty row).
std::vector<CommandRow> selectedRows(const GridView &grid);
// Every row of the list below the header.
std::vector<CommandRow> listRows(const GridView &grid);
// Selects the first row again (Col 0, Row 1, ColSel 18, RowSel 1).
void selectFirstRow(GridView &grid);

// What a command needs of its window.
struct CommandView
{
    int tab = TabUpcoming;
    int view = 1;
    QWidget *parent = nullptr;
};

// ConfirmPopupSub and ResetSelection: core/systemoptions.h.
// The popup's request to run the next Sub Now / Def. Now or Int. / Res. without its
// question; the command it starts clears it on every path.
bool &PopupFlag();
// The answer of the last confirmation (7 = No).
int &MsgAnswer();

// The privilege test shared by the commands: a user at Operator level or above.
bool currentUserMayChange();
bool currentUserMayChangeHeadEnd(int headEnd);
// The standard refusals (title "User Privileges").
void showPrivilegeMessage(QWidget *parent);
void showHeadEndRightMessage(QWidget *parent, int headEnd);
// "This is not a valid event." (title "Event Problem").
void showInvalidEventMessage(QWidget *parent);

// The commands. Hold returns true when the window is to select its first row again.
void menuEventDel_Click(const CommandView &view, const std::vector<CommandRow> &rows);
bool menuEventHold_Click(const CommandView &view, const std::vector<CommandRow> &rows);
void menuEventSub_Click(const CommandView &view, const std::vector<CommandRow> &rows);
void menuEventInt_Click(const CommandView &view, const std::vector<CommandRow> &rows);
void menuPEActive_Click(const CommandView &view, const std::vector<CommandRow> &rows);
// The popup's items that skip the question (see PopupFlag).
void menuPESubNow_Click(const CommandView &view, const std::vector<CommandRow> &rows);
void menuPEIntRes_Click(const CommandView &view, const std::vector<CommandRow> &rows);
// The rows' MediaPoint IDs, one a line, on the clipboard; returns the text put there
// ("" when nothing was, and the clipboard is left alone).
QByteArray menuPECopyMediaPoint_Click(const std::vector<CommandRow> &rows);

} // namespace vek
