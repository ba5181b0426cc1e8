#pragma once

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <array>
#include <memory>
#include <span>
#include <vector>

#include "core/eventrec.h"
#include "core/settings.h"
#include "eventview/viewtables.h"
#include "platform/listrow.h"
#include "platform/textrow.h"

// The list engine of the Event View: from the event table and one view's options it
// builds the Upcoming, On-Air and As Run lists (rows in display order, colours, sort
// texts, counts). It knows no widgets; eventgrids.h puts its lists into the grids.
namespace vek {

// Cell of every row that keeps the event's full key (beyond the shown columns), so a
// command can check that the slot still holds the event the operator picked.
constexpr int FullKeyCell = 24;
constexpr int RowCells = 25;

// The list an event belongs to under a filter: ListUpcoming, ListOnAir, ListAsRun, or 0
// when the filter hides it.
int listOfEvent(quint8 status, quint8 groupNo, const QDate &eventDate, int filter,
                const QDate &pickerDate);

// The first colour rule a row matches on its own. Blank is the list's empty row.
enum class ColourRule : quint8 {
    None,
    Blank,
    BeforeToday,
    Backup,
    Problem,
    OnHold,
    LessThan,
    Interrupted,
    OnAir,
    Failed,
    Aborted,
    Done,
};
ColourRule colourRule(int list, const EventRec &event, const QDate &today);
// Index into EventColors (1..7) of a rule; 0 for none.
int colourIndex(ColourRule rule);

// The runs of like rows of a list whose rows 1.. have the given rules. The blank row
// starts no run, but an Upcoming before-today or problem run that reaches it takes it in.
std::vector<ColourRun> colourRuns(int list, std::span<const ColourRule> rules);

// How a list is sorted for its sort column.
struct ListSort
{
    int code = 5;
    bool headerRed = false;
    QByteArray text;
};
ListSort listSort(int list, int sortCol);

// Status-bar texts of a list with n events: after a rebuild "2 Events", "1 Event"; after
// a tab change the count carries a leading blank (" 2 Events").
QByteArray eventCountText(int events);
QByteArray tabEventCountText(int events);
QByteArray sortText(int sortCol);

// Position after a rebuild, by row number: the remembered row when the list still has
// it, else row 1; the remembered first visible row, or 0 to leave the scroll alone.
int restoredRow(int rememberedRow, int rows);
int restoredTopRow(int rememberedTop, int rows);

// Everything of one view that decides its lists.
struct ViewOptions
{
    std::array<bool, MaxHeadEnds + 1> showHE{};
    int filter = FilterAll;
    QDate pickerDate;
    std::array<int, EventListCount + 1> sortCol{0, SortStart, SortEnd, SortStart};
    std::array<QByteArray, MaxHeadEnds + 1> heName;
    bool vcogLock = false;
};
// The options of view 1..8 from the settings and the per-view tables.
ViewOptions viewOptionsOf(int view, const QDate &pickerDate);

struct EventListRows
{
    // List rows 1.. in display order, the blank row included (row i is at(i - 1)). They
    // hold their sources, which make a row's texts when it is first read.
    std::shared_ptr<const ListRows> rows;
    std::vector<ColourRule> rules;
    std::vector<ColourRun> runs;
    int events = 0;
    ListSort sort;

    int rowCount() const { return int(rows ? rows->size() : 0) + 1; }
};

struct EventLists
{
    // Index 1..3 as EventList.
    std::array<EventListRows, EventListCount + 1> list;
};

// A row source of the lists: besides the row's texts, the event the row shows as typed
// data, as the read that placed the row saw it.
class EventRowSource : public RowSource
{
public:
    virtual int headEnd() const = 0;
    virtual int slotOf(quint32 index) const = 0;
    virtual QByteArray fullKey(quint32 index) = 0;
    virtual int groupNo(quint32 index) const = 0;
};

// What builds a view's lists from its options.
class ListBuilder
{
public:
    virtual ~ListBuilder() = default;
    virtual EventLists build(const ViewOptions &options) = 0;
};

// One view's engine. It keeps every shown head end's rows, sorted, and merges them for
// each build; a row's texts are made only when the row is first shown or read, or before
// the table changes its event, so a row always shows what the read that placed it saw.
// Every build reads the events edited since the last one (by their edit stamps) and only
// those; a head end is read whole again only when what its rows depend on (names, today,
// the "less than" minutes) changed. A changed sort column sorts the rows again, a changed
// filter (or date of the date filter) picks the rows it shows again.
class EventListEngine final : public ListBuilder
{
public:
    EventListEngine();
    ~EventListEngine() override;
    EventListEngine(const EventListEngine &) = delete;
    EventListEngine &operator=(const EventListEngine &) = delete;

    EventLists build(const ViewOptions &options) override;

    // The head ends whose events the last build read from the event table (not those only
    // sorted or picked again).
    const std::vector<int> &lastRead() const { return m_lastRead; }

private:
    struct Inputs;
    struct HeadEndRows;
    struct Context;

    static void readHeadEnd(int he, const Context &ctx, HeadEndRows &out);
    static bool updateHeadEnd(int he, const Context &ctx, HeadEndRows &out);
    static void sortHeadEnd(const Context &ctx, HeadEndRows &out);
    static void filterHeadEnd(const Context &ctx, HeadEndRows &out);

    // The merged order of the lists by the last build: a build after a few head ends
    // changed merges only theirs into it.
    struct Merged;
    void mergeList(int list, TextSortCode how, const std::vector<int> &shown);

    std::array<std::unique_ptr<HeadEndRows>, MaxHeadEnds + 1> m_cache;
    std::vector<int> m_lastRead;
    std::shared_ptr<QHash<qint64, QByteArray>> m_dateTexts;
    std::unique_ptr<Merged> m_merged;
    quint64 m_generation = 0;
};

// The slot still holds the event with this full key.
bool slotHoldsEvent(int headEnd, int slot, const QByteArray &fullKey);

} // namespace vek
