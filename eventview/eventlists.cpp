#include "eventlists.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>

#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/receivestate.h"
#include "platform/clock.h"
#include "platform/text.h"

namespace vek {

int listOfEvent(quint8 status, quint8 groupNo, const QDate &eventDate, int filter,
                const QDate &pickerDate)
{
    int list = 0;
    bool byStatus = false;
    switch (status) {
    case StatusProblem:
        list = ListUpcoming;
        byStatus = filter == FilterProblem;
        break;
    case StatusActive:
        list = ListUpcoming;
        byStatus = filter == FilterActive;
        break;
    case StatusOnAir:
        list = ListOnAir;
        byStatus = filter == FilterActive;
        break;
    case StatusOnHold:
        list = ListUpcoming;
        byStatus = filter == FilterOnHold || filter == FilterLessThan;
        break;
    case StatusOnHoldOnAir:
        list = ListOnAir;
        byStatus = filter == FilterOnHold;
        break;
    case StatusLessThan:
        list = ListUpcoming;
        byStatus = filter == FilterActive || filter == FilterLessThan;
        break;
    default:
        // Finished events are always logged, whatever the filter.
        return ListAsRun;
    }
    const bool shown = filter == FilterAll || byStatus ||
                       (filter == FilterDate && eventDate == pickerDate) ||
                       (filter >= FilterGroup1 && filter <= FilterGroup8 &&
                        int(groupNo) == filter - (FilterGroup1 - 1));
    return shown ? list : 0;
}

ColourRule colourRule(int list, const EventRec &e, const QDate &today)
{
    switch (list) {
    case ListUpcoming:
        // A date of nothing counts as long past, as the empty record's date does.
        if (!e.EventDate.isValid() || e.EventDate < today)
            return ColourRule::BeforeToday;
        if (e.BackupSrc)
            return ColourRule::Backup;
        if (e.Status == StatusProblem)
            return ColourRule::Problem;
        if (e.Status == StatusOnHold)
            return ColourRule::OnHold;
        if (e.Status == StatusLessThan)
            return ColourRule::LessThan;
        return ColourRule::None;
    case ListOnAir:
        if (e.Interrupted == 1)
            return ColourRule::Interrupted;
        if (e.BackupSrc)
            return ColourRule::Backup;
        if (e.Status == StatusOnAir)
            return ColourRule::OnAir;
        if (e.Status == StatusOnHoldOnAir)
            return ColourRule::OnHold;
        return ColourRule::None;
    case ListAsRun:
        if (e.BackupSrc)
            return ColourRule::Backup;
        if (e.Status == StatusFailed)
            return ColourRule::Failed;
        if (e.Status == StatusAbort)
            return ColourRule::Aborted;
        if (e.Status == StatusDone)
            return ColourRule::Done;
        return ColourRule::None;
    default:
        return ColourRule::None;
    }
}

int colourIndex(ColourRule rule)
{
    switch (rule) {
    case ColourRule::OnAir:
        return 1;
    case ColourRule::OnHold:
        return 2;
    case ColourRule::LessThan:
        return 3;
    case ColourRule::Backup:
        return 4;
    case ColourRule::BeforeToday:
    case ColourRule::Problem:
    case ColourRule::Failed:
        return 5;
    case ColourRule::Interrupted:
    case ColourRule::Aborted:
        return 6;
    case ColourRule::Done:
        return 7;
    case ColourRule::None:
    case ColourRule::Blank:
        return 0;
    }
    return 0;
}

std::vector<ColourRun> colourRuns(int list, std::span<const ColourRule> rules)
{
    std::vector<ColourRun> runs;
    const int n = int(rules.size());
    int i = 0;
    while (i < n) {
        const ColourRule rule = rules[size_t(i)];
        const int colour = colourIndex(rule);
        if (colour == 0) {
            ++i;
            continue;
        }
        // The empty row reads the empty record: long past and status 0.
        const bool takesBlank = list == ListUpcoming &&
                                (rule == ColourRule::BeforeToday || rule == ColourRule::Problem);
        int end = i;
        while (end + 1 < n) {
            const ColourRule next = rules[size_t(end + 1)];
            if (next != rule && !(takesBlank && next == ColourRule::Blank))
                break;
            ++end;
        }
        runs.push_back({i + 1, end + 1, colour});
        i = end + 1;
    }
    return runs;
}

QByteArray sortText(int sortCol)
{
    if (sortCol == SortStart)
        return "Sort: Start Date";
    if (sortCol == SortEnd)
        return "Sort: End Date";
    return "Sort: Other";
}

ListSort listSort(int list, int sortCol)
{
    ListSort s;
    s.text = sortText(sortCol);
    const bool byKey = sortCol == SortStart || sortCol == SortEnd;
    const bool descending = list == ListAsRun;
    s.code = (byKey ? 5 : 7) + (descending ? 1 : 0);
    const int normal = list == ListOnAir ? SortEnd : SortStart;
    s.headerRed = sortCol != normal;
    return s;
}

QByteArray eventCountText(int events)
{
    return CStr(qint64(events)) + (events == 1 ? " Event" : " Events");
}

QByteArray tabEventCountText(int events)
{
    return Str(qint64(events)) + (events == 1 ? " Event" : " Events");
}

int restoredRow(int rememberedRow, int rows)
{
    return rememberedRow >= 1 && rows > rememberedRow ? rememberedRow : 1;
}

int restoredTopRow(int rememberedTop, int rows)
{
    return rememberedTop >= 1 && rows > rememberedTop ? rememberedTop : 0;
}

ViewOptions viewOptionsOf(int view, const QDate &pickerDate)
{
    const Settings &s = settings();
    ViewOptions o;
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        o.showHE[size_t(he)] = view >= 1 && view <= MaxViews && s.ShowHE[size_t(view)][size_t(he)];
        o.heName[size_t(he)] = s.HEName[size_t(he)];
    }
    o.filter = ViewFilter(view);
    o.pickerDate = pickerDate;
    for (int list = 1; list <= EventListCount; ++list)
        o.sortCol[size_t(list)] = SortCol(view, list);
    o.vcogLock = s.VCOGLock;
    return o;
}

bool slotHoldsEvent(const QByteArray &rowKey, const QByteArray &fullKey)
{
    const RowKey k = parseRowKey(rowKey);
    if (k.headEnd < 1)
        return false;
    const EventRec &e = Events().at(k.headEnd, k.slot);
    return e.InUse && e.EventKey == fullKey;
}

// ---------------------------------------------------------------------------------------
// The engine

// What a head end's cached rows depend on besides the event table.
struct EventListEngine::Inputs
{
    std::array<int, EventListCount + 1> sortCol{};
    std::array<QByteArray, MaxHeadEnds + 1> heName;
    QDate today;
    qint16 lessThan = 0;

    bool operator==(const Inputs &) const = default;
};

namespace {
// Sort position of a row: the first 16 bytes of its key (folded when the order ignores
// case) packed big-endian, so most comparisons are two integer comparisons.
struct SortItem
{
    quint64 k0 = 0;
    quint64 k1 = 0;
    quint32 index = 0;
};

void packKey(QByteArrayView key, bool caseSensitive, SortItem &item)
{
    unsigned char b[16] = {};
    const qsizetype n = qMin<qsizetype>(key.size(), 16);
    for (qsizetype i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(key[i]);
        b[i] = caseSensitive ? c : foldCase(c);
    }
    quint64 k0 = 0;
    quint64 k1 = 0;
    for (int i = 0; i < 8; ++i) {
        k0 = (k0 << 8) | b[i];
        k1 = (k1 << 8) | b[i + 8];
    }
    item.k0 = k0;
    item.k1 = k1;
}

int comparePacked(const SortItem &a, const SortItem &b)
{
    if (a.k0 != b.k0)
        return a.k0 < b.k0 ? -1 : 1;
    if (a.k1 != b.k1)
        return a.k1 < b.k1 ? -1 : 1;
    return 0;
}

// Appends decimal digits (no blank) of a number.
void appendNumber(std::string &out, qint64 n)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, n);
    out.append(buf, size_t(r.ptr - buf));
}

void appendText(std::string &out, const QByteArray &text)
{
    out.append(text.constData(), size_t(text.size()));
}

QByteArrayView viewOf(const std::string &s)
{
    return QByteArrayView(s.data(), qsizetype(s.size()));
}

QByteArrayView automationText(quint8 mode)
{
    switch (mode) {
    case 0:
        return "Off";
    case 1:
        return "Notify";
    case 2:
        return "Auto";
    default:
        return {};
    }
}
} // namespace

struct EventListEngine::HeadEndRows
{
    Inputs inputs;
    bool dirty = true;
    // The event table's change count of the head end when its rows were read.
    quint64 tableChanges = 0;
    struct List
    {
        TextRowArena arena;
        std::vector<TextRowView> rows; // slot order
        std::vector<ColourRule> rules;
        // What the filter looks at, per row.
        struct Filtered
        {
            quint8 status = 0;
            quint8 groupNo = 0;
            QDate eventDate;
        };
        std::vector<Filtered> filtered;
        std::vector<SortItem> order; // sorted
    };
    // A list's rows are shared with the grids that show them: a new read makes new ones.
    std::array<std::shared_ptr<List>, EventListCount + 1> lists;
    // The rows every list holds are those of every event; a filter shows a part of each
    // list's order, chosen again when only the filter changed.
    int shownFilter = -1;
    QDate shownPickerDate;
    std::array<std::vector<SortItem>, EventListCount + 1> shown;
};

// What one build shares among its head ends.
struct EventListEngine::Context
{
    Inputs inputs;
    int filter = 0;
    QDate pickerDate;
    std::array<QByteArray, 9> statusTexts;
    std::array<TextSortCode, EventListCount + 1> sortCodes;
    QHash<qint64, QByteArray> *dateTexts = nullptr;
};

EventListEngine::EventListEngine() = default;
EventListEngine::~EventListEngine() = default;

void EventListEngine::markDirty(int headEnd)
{
    if (headEnd < 1 || headEnd > MaxHeadEnds) {
        markAllDirty();
        return;
    }
    if (m_cache[size_t(headEnd)])
        m_cache[size_t(headEnd)]->dirty = true;
}

void EventListEngine::markAllDirty()
{
    for (auto &c : m_cache) {
        if (c)
            c->dirty = true;
    }
}

void EventListEngine::readHeadEnd(int he, const Context &ctx, HeadEndRows &out)
{
    for (auto &l : out.lists)
        l = std::make_shared<HeadEndRows::List>();
    out.inputs = ctx.inputs;
    out.dirty = false;
    out.tableChanges = Events().changeCount(he);

    const EventTable &table = Events();
    const Inputs &in = ctx.inputs;
    // Scratch texts of a row, kept across rows so they allocate once.
    std::string rowKey;
    std::string hidden2;
    std::string hidden3;
    std::string startKey;
    std::string endKey;
    std::array<QByteArrayView, RowCells> cells;
    for (int slot = 0; slot < EventTable::Slots; ++slot) {
        const EventRec &e = table.at(he, slot);
        if (!e.InUse)
            continue;
        const int list = listOfEvent(e.Status, e.GroupNo, e.EventDate, FilterAll, QDate());
        if (list == 0)
            continue;

        rowKey.clear();
        appendNumber(rowKey, he);
        rowKey += '-';
        appendNumber(rowKey, slot);
        hidden2.clear();
        appendNumber(hidden2, e.AddedBy);
        appendNumber(hidden2, e.ExtraCode1);
        appendNumber(hidden2, e.ExtraCode2);
        appendText(hidden2, e.OpComment);
        hidden3.clear();
        appendText(hidden3, e.ActualStart);
        hidden3 += ' ';
        appendText(hidden3, e.ActualEnd);
        hidden3 += ' ';
        appendText(hidden3, e.ActualDur);
        startKey.clear();
        appendNumber(startKey, e.StartKey);
        appendText(startKey, e.DestText);
        endKey.clear();
        appendNumber(endKey, e.EndKey);
        appendText(endKey, e.DestText);

        const qint64 day = e.EventDate.isValid() ? e.EventDate.toJulianDay() : 0;
        auto date = ctx.dateTexts->constFind(day);
        if (date == ctx.dateTexts->constEnd())
            date = ctx.dateTexts->insert(day, shortDate(e.EventDate));

        QByteArray problemText;
        QByteArrayView status;
        if (e.Status == StatusProblem) {
            problemText = StatusText(e.Status, e.StatusDetail);
            status = problemText;
        } else if (e.Status < ctx.statusTexts.size()) {
            status = ctx.statusTexts[e.Status];
        }

        QByteArrayView heName;
        if (list == ListUpcoming) {
            // The current name of the record's head end; a head end beyond the table
            // has no name.
            if (e.HeadEnd <= MaxHeadEnds)
                heName = in.heName[e.HeadEnd];
        } else {
            heName = e.HEText;
        }

        cells.fill({});
        cells[0] = viewOf(rowKey);
        cells[1] = heName;
        cells[2] = e.GroupText;
        cells[3] = *date;
        cells[4] = e.StartTime;
        cells[5] = e.EndTime;
        cells[6] = e.SrcText;
        cells[7] = e.DestText;
        cells[8] = e.Description;
        cells[9] = status;
        cells[10] = e.Duration;
        cells[11] = e.MonitorBeg ? QByteArrayView("YES") : QByteArrayView();
        cells[12] = e.MonitorEnd ? QByteArrayView("YES") : QByteArrayView();
        cells[13] = viewOf(hidden2);
        cells[14] = viewOf(hidden3);
        cells[15] = QByteArrayView(e.EventKey).first(qMin<qsizetype>(16, e.EventKey.size()));
        cells[16] = e.Comments;
        cells[17] = viewOf(startKey);
        cells[18] = viewOf(endKey);
        cells[19] = automationText(e.Automation);
        if (list == ListAsRun) {
            cells[20] = e.ActualStart;
            cells[21] = e.ActualEnd;
            cells[22] = e.ActualDur;
            cells[23] = e.OpComment;
        }
        cells[FullKeyCell] = e.EventKey;

        HeadEndRows::List &l = *out.lists[size_t(list)];
        l.rows.push_back(l.arena.append(std::span<const QByteArrayView>(cells)));
        l.rules.push_back(colourRule(list, e, in.today));
        l.filtered.push_back({e.Status, e.GroupNo, e.EventDate});
    }

    sortHeadEnd(ctx, out);
}

void EventListEngine::sortHeadEnd(const Context &ctx, HeadEndRows &out)
{
    out.inputs.sortCol = ctx.inputs.sortCol;
    for (int list = 1; list <= EventListCount; ++list) {
        HeadEndRows::List &l = *out.lists[size_t(list)];
        const TextSortCode how = ctx.sortCodes[size_t(list)];
        const int col = ctx.inputs.sortCol[size_t(list)];
        l.order.resize(l.rows.size());
        for (size_t i = 0; i < l.rows.size(); ++i) {
            l.order[i].index = quint32(i);
            packKey(l.rows[i].cell(col), how.caseSensitive, l.order[i]);
        }
        // Equal keys stay in slot order, so the merged list is the stable sort of the
        // table's order.
        std::sort(l.order.begin(), l.order.end(), [&](const SortItem &a, const SortItem &b) {
            int r = comparePacked(a, b);
            if (r == 0)
                r = compareText(l.rows[a.index].cell(col), l.rows[b.index].cell(col),
                                how.caseSensitive);
            if (r != 0)
                return how.descending ? r > 0 : r < 0;
            return a.index < b.index;
        });
    }
    out.shownFilter = -1;
}

void EventListEngine::filterHeadEnd(const Context &ctx, HeadEndRows &out)
{
    out.shownFilter = ctx.filter;
    out.shownPickerDate = ctx.pickerDate;
    for (int list = 1; list <= EventListCount; ++list) {
        const HeadEndRows::List &l = *out.lists[size_t(list)];
        std::vector<SortItem> &shown = out.shown[size_t(list)];
        shown.clear();
        if (ctx.filter == FilterAll) {
            shown = l.order;
            continue;
        }
        for (const SortItem &item : l.order) {
            const HeadEndRows::List::Filtered &f = l.filtered[item.index];
            if (listOfEvent(f.status, f.groupNo, f.eventDate, ctx.filter, ctx.pickerDate) != 0)
                shown.push_back(item);
        }
    }
}

EventLists EventListEngine::build(const ViewOptions &options)
{
    Context ctx;
    ctx.filter = options.filter;
    // The date counts only for the date filter; another date keeps the shown rows.
    ctx.pickerDate = options.filter == FilterDate ? options.pickerDate : QDate();
    ctx.inputs.sortCol = options.sortCol;
    ctx.inputs.heName = options.heName;
    ctx.inputs.today = Clock::today();
    ctx.inputs.lessThan = LessThanMinutes();
    for (int s = 1; s < int(ctx.statusTexts.size()); ++s)
        ctx.statusTexts[size_t(s)] = StatusText(quint8(s), {});
    for (int list = 1; list <= EventListCount; ++list)
        ctx.sortCodes[size_t(list)] =
            textSortCode(listSort(list, options.sortCol[size_t(list)]).code);
    ctx.dateTexts = &m_dateTexts;

    m_lastRead.clear();
    std::vector<int> shown;
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        auto &c = m_cache[size_t(he)];
        if (!options.showHE[size_t(he)]) {
            c.reset();
            continue;
        }
        shown.push_back(he);
        if (!c)
            c = std::make_unique<HeadEndRows>();
        // A local change to the head end's events (a command) makes its rows stale too,
        // whichever head end asked for this build.
        if (c->dirty || c->tableChanges != Events().changeCount(he)) {
            readHeadEnd(he, ctx, *c);
            m_lastRead.push_back(he);
        } else if (!(c->inputs == ctx.inputs)) {
            Inputs sortedOtherwise = ctx.inputs;
            sortedOtherwise.sortCol = c->inputs.sortCol;
            if (c->inputs == sortedOtherwise) {
                // Only the order changed: the rows stay, their order is sorted again.
                sortHeadEnd(ctx, *c);
            } else {
                readHeadEnd(he, ctx, *c);
                m_lastRead.push_back(he);
            }
        }
        if (c->shownFilter != ctx.filter || c->shownPickerDate != ctx.pickerDate)
            filterHeadEnd(ctx, *c);
    }

    EventLists out;
    for (int list = 1; list <= EventListCount; ++list) {
        EventListRows &result = out.list[size_t(list)];
        const TextSortCode how = ctx.sortCodes[size_t(list)];
        const int col = options.sortCol[size_t(list)];
        result.sort = listSort(list, col);

        // Merge the sorted head ends; equal keys go in head-end order.
        struct Cursor
        {
            const HeadEndRows::List *l;
            const std::vector<SortItem> *order;
            size_t pos;
            int he;
        };
        std::vector<Cursor> heap;
        size_t total = 0;
        for (int he : shown) {
            const std::shared_ptr<HeadEndRows::List> &block =
                m_cache[size_t(he)]->lists[size_t(list)];
            result.keepAlive.push_back(block);
            const std::vector<SortItem> &order = m_cache[size_t(he)]->shown[size_t(list)];
            total += order.size();
            if (!order.empty())
                heap.push_back({block.get(), &order, 0, he});
        }
        // "a comes after b" for the heap.
        auto after = [&](const Cursor &a, const Cursor &b) {
            const SortItem &ia = (*a.order)[a.pos];
            const SortItem &ib = (*b.order)[b.pos];
            int r = comparePacked(ia, ib);
            if (r == 0)
                r = compareText(a.l->rows[ia.index].cell(col), b.l->rows[ib.index].cell(col),
                                how.caseSensitive);
            if (r != 0)
                return how.descending ? r < 0 : r > 0;
            return a.he > b.he;
        };
        std::make_heap(heap.begin(), heap.end(), after);

        result.rows.reserve(total + 1);
        result.rules.reserve(total + 1);
        const bool blankFirst = list != ListAsRun;
        if (blankFirst) {
            result.rows.emplace_back();
            result.rules.push_back(ColourRule::Blank);
        }
        while (!heap.empty()) {
            std::pop_heap(heap.begin(), heap.end(), after);
            Cursor &c = heap.back();
            const quint32 index = (*c.order)[c.pos].index;
            result.rows.push_back(c.l->rows[index]);
            result.rules.push_back(c.l->rules[index]);
            if (++c.pos < c.order->size())
                std::push_heap(heap.begin(), heap.end(), after);
            else
                heap.pop_back();
        }
        if (!blankFirst) {
            result.rows.emplace_back();
            result.rules.push_back(ColourRule::Blank);
        }
        result.events = int(total);
        result.runs = colourRuns(list, result.rules);
    }
    return out;
}

} // namespace vek
