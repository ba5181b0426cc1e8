#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace vek {

// The three lists of an Event View, numbered as the per-view tables index them.
enum EventList : int { ListUpcoming = 1, ListOnAir = 2, ListAsRun = 3 };
constexpr int EventListCount = 3;

// Columns of the lists: 0..19 in all three, 20..23 in the As Run list only.
constexpr int ListColumns = 20;
constexpr int AsRunColumns = 24;
constexpr int MaxColumnWidthIndex = 30;
inline int columnsOf(int list)
{
    return list == ListAsRun ? AsRunColumns : ListColumns;
}

// Columns that code names: the group, the description and the MediaPoint ID.
constexpr int GroupColumn = 2;
constexpr int DescriptionColumn = 8;
constexpr int MediaPointColumn = 15;

// Sort columns: 17 the start key, 18 the end key.
constexpr int SortStart = 17;
constexpr int SortEnd = 18;
// Filter codes 1..14 ("All" .. "Group 8").
constexpr int FilterAll = 1;
constexpr int FilterDate = 2;
constexpr int FilterActive = 3;
constexpr int FilterOnHold = 4;
constexpr int FilterLessThan = 5;
constexpr int FilterProblem = 6;
constexpr int FilterGroup1 = 7;
constexpr int FilterGroup8 = 14;

// Per-view tables of the Event View windows (view 1..8, index 0 unused). A view or list
// outside the table is a subscript-out-of-range Failure.
qint16 &SortCol(int view, int list);
qint16 &ViewFilter(int view);
// Column widths in twips shared by every view: list 1..3, column 0..30.
qint16 &ColWidths(int list, int col);

// The default sorts (start, end, start) of one view.
void setDefaultSorts(int view);
// The default widths of every list's columns 0..23.
void setDefaultColumnWidths();
// The default width in twips of column 0..23; 0 outside.
int defaultColumnWidth(int col);

// The header text of a column of a list; "" outside the list's columns.
QByteArray columnTitle(int list, int col);
// The filter chooser's entries, index 0..13 = filter code 1..14.
QByteArray filterEntry(int index);

} // namespace vek
