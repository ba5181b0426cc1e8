#include "viewtables.h"

#include <array>

#include "core/consolestate.h"
#include "core/settings.h"
#include "platform/failure.h"

namespace vek {

namespace {
constexpr std::array<qint16, AsRunColumns> DefaultWidths = {
    0,   900, 700, 950,  830,  780, 1500, 1500, 2200, 700,  700,  500,
    500, 0,   0,   2200, 2200, 0,   0,    1000, 1000, 1000, 1000, 2200};

struct ViewTables
{
    std::array<std::array<qint16, EventListCount + 1>, MaxViews + 1> sortCol{};
    std::array<qint16, MaxViews + 1> viewFilter{};
    std::array<std::array<qint16, MaxColumnWidthIndex + 1>, EventListCount + 1> colWidths{};
};

ViewTables &tables()
{
    static ViewTables t;
    return t;
}

void checkView(int view)
{
    if (view < 0 || view > MaxViews)
        throw Failure(ErrorKind::SubscriptOutOfRange);
}

// Cleared by resetConsoleState() only.
void resetViewTables()
{
    tables() = ViewTables();
}
[[maybe_unused]] const bool resetViewTablesRegistered = registerStateReset(&resetViewTables);

} // namespace

qint16 &SortCol(int view, int list)
{
    checkView(view);
    if (list < 1 || list > EventListCount)
        throw Failure(ErrorKind::SubscriptOutOfRange);
    return tables().sortCol[size_t(view)][size_t(list)];
}

qint16 &ViewFilter(int view)
{
    checkView(view);
    return tables().viewFilter[size_t(view)];
}

qint16 &ColWidths(int list, int col)
{
    if (list < 0 || list > EventListCount || col < 0 || col > MaxColumnWidthIndex)
        throw Failure(ErrorKind::SubscriptOutOfRange);
    return tables().colWidths[size_t(list)][size_t(col)];
}

void setDefaultSorts(int view)
{
    SortCol(view, ListUpcoming) = SortStart;
    SortCol(view, ListOnAir) = SortEnd;
    SortCol(view, ListAsRun) = SortStart;
}

int defaultColumnWidth(int col)
{
    return col >= 0 && size_t(col) < DefaultWidths.size() ? DefaultWidths[size_t(col)] : 0;
}

void setDefaultColumnWidths()
{
    for (int list = 1; list <= EventListCount; ++list) {
        for (int c = 0; c < AsRunColumns; ++c)
            ColWidths(list, c) = DefaultWidths[size_t(c)];
    }
}

QByteArray columnTitle(int list, int col)
{
    static const std::array<const char *, AsRunColumns> titles = {
        "Hidden 1", "Head End",    "Group",        "Date",          "Start Time",  "End Time",
        "Source",   "Destination", "Description",  "Status",        "Duration",    "Beg",
        "End",      "Hidden 2",    "Hidden 3",     "MediaPoint ID", "Comments",    "Start",
        "End",      "Automation",  "Actual Start", "Actual End",    "Actual Dur.", "Op Comments"};
    if (list < 1 || list > EventListCount || col < 0 || col >= columnsOf(list))
        return {};
    if (col == 12 && list == ListUpcoming)
        return "End.";
    if (col == 13 && list == ListAsRun)
        return "Hidden 3";
    return titles[size_t(col)];
}

QByteArray filterEntry(int index)
{
    static const std::array<const char *, 6> named = {"All",     "Date >>",   "Active",
                                                      "On Hold", "< 30 Min.", "Problem"};
    if (index >= 0 && index < 6)
        return named[size_t(index)];
    if (index >= 6 && index <= 13)
        return "Group " + QByteArray::number(index - 5);
    return {};
}

} // namespace vek
