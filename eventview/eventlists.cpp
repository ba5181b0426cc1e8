#include "eventlists.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
#include <unordered_map>

#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/receivestate.h"
#include "platform/clock.h"
#include "platform/text.h"

namespace vek {

// The engine: reads the event table into rows, sorts and merges them, and makes the cells
// they show. The lists' rules are in eventlistrules.cpp.

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

// A row of a merged list: its sort position, its index in its head end's list and the
// head end.
struct MergedItem
{
    quint64 k0 = 0;
    quint64 k1 = 0;
    quint32 index = 0;
    quint8 he = 0;
    // The row's colour rule, so the list's rules are read in order.
    ColourRule rule = ColourRule::None;
};

constexpr qsizetype PackedBytes = 16;

void packKey(QByteArrayView key, bool caseSensitive, SortItem &item)
{
    unsigned char b[PackedBytes] = {};
    const qsizetype n = qMin<qsizetype>(key.size(), PackedBytes);
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

template <class A, class B> int comparePacked(const A &a, const B &b)
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

// What a row's texts need besides its event, the same for every list of one build.
struct RowFormat
{
    std::array<QByteArray, MaxHeadEnds + 1> heName;
    std::array<QByteArray, 9> statusTexts;
    // Short dates by day, shared by the engine's builds: the locale's formatting is slow.
    std::shared_ptr<QHash<qint64, QByteArray>> dateTexts;
};

// The texts of the computed cells of one row, kept so that they allocate once.
struct CellScratch
{
    std::string rowKey;
    std::string hidden2;
    std::string hidden3;
    std::string startKey;
    std::string endKey;
    QByteArray problem;
};

// The field a cell shows as it is, or null for a cell made from several fields.
const QByteArray *fieldOf(const EventRec &e, int list, int col)
{
    switch (col) {
    case 1:
        return list == ListUpcoming ? nullptr : &e.HEText;
    case 2:
        return &e.GroupText;
    case 4:
        return &e.StartTime;
    case 5:
        return &e.EndTime;
    case 6:
        return &e.SrcText;
    case 7:
        return &e.DestText;
    case 8:
        return &e.Description;
    case 10:
        return &e.Duration;
    case 16:
        return &e.Comments;
    case FullKeyCell:
        return &e.EventKey;
    default:
        return nullptr;
    }
}

// Cell `col` of the row of event e (slot `slot` of head end `he`) in list `list`. A
// computed cell lives in the scratch until its next use.
QByteArrayView cellOf(const EventRec &e, int he, int slot, int list, int col, const RowFormat &f,
                      CellScratch &s)
{
    if (const QByteArray *field = fieldOf(e, list, col))
        return *field;
    switch (col) {
    case 0:
        s.rowKey.clear();
        appendNumber(s.rowKey, he);
        s.rowKey += '-';
        appendNumber(s.rowKey, slot);
        return viewOf(s.rowKey);
    case 1:
        // Upcoming shows the current name of the record's head end (none for a head end
        // beyond the table); the others the name stored in the record (above).
        return e.HeadEnd <= MaxHeadEnds ? QByteArrayView(f.heName[e.HeadEnd]) : QByteArrayView();
    case 3: {
        const qint64 day = e.EventDate.isValid() ? e.EventDate.toJulianDay() : 0;
        auto date = f.dateTexts->constFind(day);
        if (date == f.dateTexts->constEnd())
            date = f.dateTexts->insert(day, shortDate(e.EventDate));
        return *date;
    }
    case 9:
        if (e.Status == StatusProblem) {
            s.problem = StatusText(e.Status, e.StatusDetail);
            return s.problem;
        }
        return e.Status < f.statusTexts.size() ? QByteArrayView(f.statusTexts[e.Status])
                                               : QByteArrayView();
    case 11:
        return e.MonitorBeg ? QByteArrayView("YES") : QByteArrayView();
    case 12:
        return e.MonitorEnd ? QByteArrayView("YES") : QByteArrayView();
    case 13:
        s.hidden2.clear();
        appendNumber(s.hidden2, e.AddedBy);
        appendNumber(s.hidden2, e.ExtraCode1);
        appendNumber(s.hidden2, e.ExtraCode2);
        appendText(s.hidden2, e.OpComment);
        return viewOf(s.hidden2);
    case 14:
        s.hidden3.clear();
        appendText(s.hidden3, e.ActualStart);
        s.hidden3 += ' ';
        appendText(s.hidden3, e.ActualEnd);
        s.hidden3 += ' ';
        appendText(s.hidden3, e.ActualDur);
        return viewOf(s.hidden3);
    case 15:
        return QByteArrayView(e.EventKey).first(qMin<qsizetype>(16, e.EventKey.size()));
    case 17:
        s.startKey.clear();
        appendNumber(s.startKey, e.StartKey);
        appendText(s.startKey, e.DestText);
        return viewOf(s.startKey);
    case 18:
        s.endKey.clear();
        appendNumber(s.endKey, e.EndKey);
        appendText(s.endKey, e.DestText);
        return viewOf(s.endKey);
    case 19:
        return automationText(e.Automation);
    case 20:
        return list == ListAsRun ? QByteArrayView(e.ActualStart) : QByteArrayView();
    case 21:
        return list == ListAsRun ? QByteArrayView(e.ActualEnd) : QByteArrayView();
    case 22:
        return list == ListAsRun ? QByteArrayView(e.ActualDur) : QByteArrayView();
    case 23:
        return list == ListAsRun ? QByteArrayView(e.OpComment) : QByteArrayView();
    default:
        return {};
    }
}
} // namespace

namespace {
// Rows of one head end that are made late, from the event table.
class LateRows
{
public:
    virtual ~LateRows() = default;
    // The row of the slot, if this holds it, is made now from the record as it is.
    virtual void keepAsRead(int slot) = 0;
    virtual void keepAllAsRead() = 0;
};

// Every list of rows alive, in an engine or only in a grid, by head end. Before the table
// changes a record, each list that holds its slot makes the row it has not made yet: a
// row shows what its read saw, also when it is first painted after the change.
class LiveLists final : public EventTableWatcher
{
public:
    static LiveLists &instance()
    {
        // Never destroyed: lists may outlive any other static.
        static LiveLists *lists = new LiveLists;
        return *lists;
    }
    void add(int he, LateRows *rows) { m_lists[size_t(he)].push_back(rows); }
    void remove(int he, LateRows *rows)
    {
        std::vector<LateRows *> &v = m_lists[size_t(he)];
        const auto it = std::find(v.begin(), v.end(), rows);
        if (it != v.end()) {
            *it = v.back();
            v.pop_back();
        }
    }
    void beforeEdit(int headEnd, int slot) override
    {
        if (headEnd < 0 || headEnd > MaxHeadEnds)
            return;
        for (LateRows *rows : m_lists[size_t(headEnd)])
            rows->keepAsRead(slot);
    }
    void beforeClear() override
    {
        for (const std::vector<LateRows *> &v : m_lists) {
            for (LateRows *rows : v)
                rows->keepAllAsRead();
        }
    }

private:
    LiveLists() { Events().addWatcher(this); }
    std::array<std::vector<LateRows *>, MaxHeadEnds + 1> m_lists;
};
} // namespace

struct EventListEngine::HeadEndRows
{
    Inputs inputs;
    // The event table's last stamp when the rows were read: edits above it are news.
    quint64 readStamp = 0;
    // One list of the head end: which events it holds, in slot order. A row's texts are
    // made from its event when the row is first shown or read; the sort reads only the
    // cells of the sort column.
    struct List final : EventRowSource, LateRows
    {
        const int he;
        const int list;
        std::shared_ptr<const RowFormat> format;
        std::vector<quint16> eventSlots;
        // Rows made so far, by index: few (those shown), so each has its own small
        // allocation, which stays in place when the table of them grows.
        std::unordered_map<quint32, TextRow> made;
        // A bit a row: which rows are made, so that the many that are not are told at once.
        std::vector<bool> isMade;
        bool madeAt(quint32 index) const { return index < isMade.size() && isMade[index]; }
        CellScratch scratch;
        std::vector<ColourRule> rules;
        // What the filter looks at, per row, in 8 bytes (the date as its day number).
        struct Filtered
        {
            qint32 day = NoDay;
            quint8 status = 0;
            quint8 groupNo = 0;

            // An invalid date; a day beyond 32 bits (no 4-digit year reaches one) is kept
            // as FarDay, read back as a date long past.
            static constexpr qint32 NoDay = std::numeric_limits<qint32>::min();
            static constexpr qint32 FarDay = NoDay + 1;
            static qint32 dayOf(const QDate &date)
            {
                if (!date.isValid())
                    return NoDay;
                const qint64 jd = date.toJulianDay();
                return jd > FarDay && jd <= std::numeric_limits<qint32>::max() ? qint32(jd)
                                                                               : FarDay;
            }
            QDate date() const
            {
                if (day == NoDay)
                    return {};
                if (day == FarDay)
                    return QDate(-999999, 1, 1);
                return QDate::fromJulianDay(day);
            }
        };
        std::vector<Filtered> filtered;
        std::vector<SortItem> order; // sorted
        // What comparisons that the packed keys leave equal read, rather than the texts of
        // scattered events: the texts of the sort column beyond the 16 bytes packed, back
        // to back, and how many bytes of each the packed key holds. Two texts whose packed
        // keys are equal differ in what follows them, or else in length.
        std::string keyTexts;
        std::vector<quint32> keyEnds;
        std::vector<quint8> keyHeads;

        QByteArrayView keyTail(quint32 index) const
        {
            const quint32 begin = index ? keyEnds[index - 1] : 0;
            return QByteArrayView(keyTexts.data() + begin, qsizetype(keyEnds[index] - begin));
        }
        void addKey(QByteArrayView text)
        {
            const qsizetype head = qMin<qsizetype>(text.size(), PackedBytes);
            keyTexts.append(text.data() + head, size_t(text.size() - head));
            keyEnds.push_back(quint32(keyTexts.size()));
            keyHeads.push_back(quint8(head));
        }
        void copyKey(const List &from, quint32 index)
        {
            const QByteArrayView tail = from.keyTail(index);
            keyTexts.append(tail.data(), size_t(tail.size()));
            keyEnds.push_back(quint32(keyTexts.size()));
            keyHeads.push_back(from.keyHeads[index]);
        }
        // Order of the sort texts of row a and row b of `other` when their packed keys
        // are equal.
        int compareKeys(quint32 a, const List &other, quint32 b, bool caseSensitive) const
        {
            const int r = compareText(keyTail(a), other.keyTail(b), caseSensitive);
            return r != 0 ? r : int(keyHeads[a]) - int(other.keyHeads[b]);
        }
        List(int headEnd, int listNo, std::shared_ptr<const RowFormat> rowFormat)
            : he(headEnd), list(listNo), format(std::move(rowFormat))
        {
            LiveLists::instance().add(he, this);
        }
        ~List() override { LiveLists::instance().remove(he, this); }
        List(const List &) = delete;
        List &operator=(const List &) = delete;

        int headEnd() const override { return he; }
        int slotOf(quint32 index) const override
        {
            return index < eventSlots.size() ? int(eventSlots[index]) : 0;
        }
        void keepAsRead(int slot) override
        {
            // Slots are held in increasing order.
            const auto it = std::lower_bound(eventSlots.begin(), eventSlots.end(), slot);
            if (it == eventSlots.end() || *it != slot)
                return;
            row(quint32(it - eventSlots.begin()));
        }
        void keepAllAsRead() override
        {
            for (quint32 i = 0; i < eventSlots.size(); ++i)
                row(i);
        }

        void reserve(size_t rows)
        {
            eventSlots.reserve(rows);
            rules.reserve(rows);
            filtered.reserve(rows);
        }
        // A row for event e in slot `slot`, read from the table (its sort text apart).
        void addRow(const EventRec &e, int slot, const QDate &today)
        {
            eventSlots.push_back(quint16(slot));
            rules.push_back(colourRule(list, e, today));
            filtered.push_back({Filtered::dayOf(e.EventDate), e.Status, e.GroupNo});
        }

        QByteArrayView cell(quint32 index, int col, CellScratch &s) const
        {
            const int slot = eventSlots[index];
            return cellOf(Events().at(he, slot), he, slot, list, col, *format, s);
        }

        TextRowView row(quint32 index) override
        {
            if (index >= eventSlots.size())
                return {};
            if (!madeAt(index)) {
                std::array<QByteArrayView, RowCells> cells;
                for (int c = 0; c < RowCells; ++c)
                    cells[size_t(c)] = cell(index, c, scratch);
                if (isMade.size() < eventSlots.size())
                    isMade.resize(eventSlots.size());
                isMade[index] = true;
                return made.emplace(index, TextRow(std::span<const QByteArrayView>(cells)))
                    .first->second.view();
            }
            return made.find(index)->second.view();
        }

        QByteArray cellText(quint32 index, int col) override
        {
            if (index >= eventSlots.size())
                return {};
            if (madeAt(index))
                return made.find(index)->second.cell(col).toByteArray();
            // A field shown as it is is shared rather than copied.
            const EventRec &e = Events().at(he, eventSlots[index]);
            if (const QByteArray *field = fieldOf(e, list, col))
                return *field;
            return cell(index, col, scratch).toByteArray();
        }
    };
    // A list's rows are shared with the grids that show them: a new read makes new ones.
    std::array<std::shared_ptr<List>, EventListCount + 1> lists;
    // The rows every list holds are those of every event; a filter shows a part of each
    // list's order, chosen again when only the filter changed.
    int shownFilter = -1;
    QDate shownPickerDate;
    // Taken anew whenever the shown rows change, so a merge knows what it can keep.
    quint64 shownGeneration = 0;
    // The rows a filter other than FilterAll shows, in order (FilterAll shows the order).
    std::array<std::vector<SortItem>, EventListCount + 1> shown;

    const std::vector<SortItem> &shownOrder(int list) const
    {
        return shownFilter == FilterAll ? lists[size_t(list)]->order : shown[size_t(list)];
    }
};

// The merged order of each list, kept for the next build.
struct EventListEngine::Merged
{
    using Items = std::vector<MergedItem>;
    struct List
    {
        // The order of the last merge, shared with the rows handed out (and so never
        // changed), and the one before, written over when no list holds it any longer.
        std::shared_ptr<Items> items;
        std::shared_ptr<Items> spare;
        // The rows of a partial merge, kept for the next one.
        Items scratch;
        std::array<quint64, MaxHeadEnds + 1> generations{};
        // How many rows of each head end the last order holds.
        std::array<size_t, MaxHeadEnds + 1> counts{};
        TextSortCode how;
        bool valid = false;
    };
    std::array<List, EventListCount + 1> lists;
};

namespace {
// The rows of one list by a merge, the blank row at its place, and the sources they need.
struct MergedRows final : ListRows
{
    std::shared_ptr<const std::vector<MergedItem>> items;
    std::array<std::shared_ptr<EventRowSource>, MaxHeadEnds + 1> blocks;
    bool blankFirst = true;

    size_t size() const override { return items->size() + 1; }
    ListRow at(size_t row) const override
    {
        if (blankFirst) {
            if (row == 0)
                return {};
            --row;
        }
        if (row >= items->size())
            return {};
        const MergedItem &item = (*items)[row];
        return {blocks[item.he].get(), item.index};
    }
    bool sameRows(const ListRows &other) const override
    {
        const auto *o = dynamic_cast<const MergedRows *>(&other);
        return o && o->items == items && o->blocks == blocks && o->blankFirst == blankFirst;
    }
};
} // namespace

namespace {
// Empties a buffer of merged rows for n of them. One too small grows by a little more, so
// that a list growing by a few rows does not move to fresh memory at every rebuild.
void reserveItems(std::vector<MergedItem> &items, size_t n)
{
    items.clear();
    if (items.capacity() < n) {
        std::vector<MergedItem>().swap(items);
        items.reserve(n + n / 64);
    }
}
} // namespace

// What one build shares among its head ends.
struct EventListEngine::Context
{
    Inputs inputs;
    int filter = 0;
    QDate pickerDate;
    std::shared_ptr<const RowFormat> format;
    std::array<TextSortCode, EventListCount + 1> sortCodes;
};

EventListEngine::EventListEngine()
    : m_dateTexts(std::make_shared<QHash<qint64, QByteArray>>()),
      m_merged(std::make_unique<Merged>())
{}
EventListEngine::~EventListEngine() = default;

void EventListEngine::readHeadEnd(int he, const Context &ctx, HeadEndRows &out)
{
    for (int list = 1; list <= EventListCount; ++list) {
        out.lists[size_t(list)] = std::make_shared<HeadEndRows::List>(he, list, ctx.format);
    }
    out.inputs = ctx.inputs;
    out.readStamp = Events().lastStamp();

    // Each list is counted before it is filled, so that it allocates once and exactly.
    const EventTable &table = Events();
    std::array<quint8, EventTable::Slots> listOf{};
    std::array<size_t, EventListCount + 1> counts{};
    for (int slot = 0; slot < EventTable::Slots; ++slot) {
        const EventRec &e = table.at(he, slot);
        if (!e.InUse)
            continue;
        const int list = listOfEvent(e.Status, e.GroupNo, e.EventDate, FilterAll, QDate());
        listOf[size_t(slot)] = quint8(list);
        ++counts[size_t(list)];
    }
    for (int list = 1; list <= EventListCount; ++list)
        out.lists[size_t(list)]->reserve(counts[size_t(list)]);
    for (int slot = 0; slot < EventTable::Slots; ++slot) {
        if (const int list = listOf[size_t(slot)])
            out.lists[size_t(list)]->addRow(table.at(he, slot), slot, ctx.inputs.today);
    }
    sortHeadEnd(ctx, out);
}

namespace {
std::string &keyTextScratch()
{
    // Room for any usual list at once: only the pages written are ever taken, and the
    // texts never move as they grow.
    static std::string texts = [] {
        std::string t;
        t.reserve(size_t(4) << 20);
        return t;
    }();
    return texts;
}

// The order of one head end's list: by the packed key, then the whole text of the sort
// column, then slot order (so that equal keys keep the table's order).
template <class List> auto rowOrder(const List &l, TextSortCode how)
{
    return [&l, how](const SortItem &a, const SortItem &b) {
        int r = comparePacked(a, b);
        if (r == 0)
            r = l.compareKeys(a.index, l, b.index, how.caseSensitive);
        if (r != 0)
            return how.descending ? r > 0 : r < 0;
        return a.index < b.index;
    };
}
} // namespace

namespace {
// The text field that a sort column's text holds beyond the record's own numbers, if any.
using TextField = const QByteArray *(*)(const EventRec &);
TextField sortTextField(int col)
{
    switch (col) {
    case 17:
    case 18:
    case 7:
        return [](const EventRec &e) { return &e.DestText; };
    case 8:
        return [](const EventRec &e) { return &e.Description; };
    case 6:
        return [](const EventRec &e) { return &e.SrcText; };
    default:
        return nullptr;
    }
}
} // namespace

void EventListEngine::sortHeadEnd(const Context &ctx, HeadEndRows &out)
{
    out.inputs.sortCol = ctx.inputs.sortCol;
    CellScratch scratch;
    for (int list = 1; list <= EventListCount; ++list) {
        HeadEndRows::List &l = *out.lists[size_t(list)];
        const TextSortCode how = ctx.sortCodes[size_t(list)];
        const int col = ctx.inputs.sortCol[size_t(list)];
        const size_t n = l.eventSlots.size();
        l.order.clear();
        l.order.reserve(n);
        l.keyEnds.clear();
        l.keyEnds.reserve(n);
        l.keyHeads.clear();
        l.keyHeads.reserve(n);
        // The texts are gathered in a buffer kept for every sort and copied at their size:
        // a text grown in place copies itself as it grows and keeps the room it grew.
        std::string &texts = keyTextScratch();
        texts.clear();
        l.keyTexts.swap(texts);
        const EventTable &table = Events();
        // The texts a sort column reads live apart from their records, a cache miss each:
        // they are asked for well before they are read, the records even earlier.
        constexpr size_t RecordAhead = 16;
        constexpr size_t TextAhead = 8;
        const QByteArray *(*const textOf)(const EventRec &) = sortTextField(col);
        for (size_t i = 0; i < n; ++i) {
            if (textOf) {
                if (i + RecordAhead < n)
                    __builtin_prefetch(textOf(table.at(l.he, l.eventSlots[i + RecordAhead])));
                if (i + TextAhead < n)
                    __builtin_prefetch(
                        textOf(table.at(l.he, l.eventSlots[i + TextAhead]))->constData());
            }
            const QByteArrayView text = l.cell(quint32(i), col, scratch);
            l.addKey(text);
            SortItem &item = l.order.emplace_back();
            item.index = quint32(i);
            packKey(text, how.caseSensitive, item);
        }
        texts.swap(l.keyTexts);
        l.keyTexts.clear();
        l.keyTexts.shrink_to_fit();
        l.keyTexts = texts;
        std::sort(l.order.begin(), l.order.end(), rowOrder(l, how));
    }
    out.shownFilter = -1;
}

bool EventListEngine::updateHeadEnd(int he, const Context &ctx, HeadEndRows &out)
{
    const EventTable &table = Events();
    const std::span<const quint64> stamps = table.stamps(he);
    std::vector<int> changed;
    const size_t slotCount = qMin(stamps.size(), size_t(EventTable::Slots));
    for (size_t slot = 0; slot < slotCount; ++slot) {
        if (stamps[slot] > out.readStamp)
            changed.push_back(int(slot));
    }
    out.readStamp = table.lastStamp();
    if (changed.empty())
        return false;
    // Mostly new events (a download after the view opened): a whole read gives each list
    // its exact size at once.
    size_t rows = 0;
    for (int list = 1; list <= EventListCount; ++list)
        rows += out.lists[size_t(list)]->eventSlots.size();
    if (changed.size() > rows / 2) {
        readHeadEnd(he, ctx, out);
        return true;
    }

    CellScratch scratch;
    constexpr quint32 Gone = 0xFFFFFFFF;
    for (int list = 1; list <= EventListCount; ++list) {
        const HeadEndRows::List &old = *out.lists[size_t(list)];
        auto fresh = std::make_shared<HeadEndRows::List>(he, list, ctx.format);
        HeadEndRows::List &l = *fresh;
        const size_t oldCount = old.eventSlots.size();
        l.eventSlots.reserve(oldCount + changed.size());
        l.rules.reserve(oldCount + changed.size());
        l.filtered.reserve(oldCount + changed.size());
        // The texts grow in the kept buffer and are copied at their size (see sortHeadEnd).
        std::string &texts = keyTextScratch();
        texts.clear();
        l.keyTexts.swap(texts);
        l.keyEnds.reserve(oldCount + changed.size());
        l.keyHeads.reserve(oldCount + changed.size());
        const TextSortCode how =
            textSortCode(listSort(list, out.inputs.sortCol[size_t(list)]).code);
        // The kept rows are in the order of the head end's sort column, which may differ
        // from this build's until they are sorted again.
        const int col = out.inputs.sortCol[size_t(list)];

        // Old rows and the edited events, merged in slot order; an edited slot is read
        // again (and may have left this list or joined it).
        std::vector<quint32> oldToNew(oldCount, Gone);
        std::vector<SortItem> read;
        size_t next = 0;
        for (size_t i = 0; i <= oldCount; ++i) {
            const int oldSlot = i < oldCount ? old.eventSlots[i] : EventTable::Slots;
            bool replaced = false;
            while (next < changed.size() && changed[next] <= oldSlot) {
                const int slot = changed[next++];
                replaced = slot == oldSlot;
                const EventRec &e = table.at(he, slot);
                if (!e.InUse ||
                    listOfEvent(e.Status, e.GroupNo, e.EventDate, FilterAll, QDate()) != list)
                    continue;
                SortItem &item = read.emplace_back();
                item.index = quint32(l.eventSlots.size());
                const QByteArrayView text = cellOf(e, he, slot, list, col, *l.format, scratch);
                packKey(text, how.caseSensitive, item);
                l.addKey(text);
                l.addRow(e, slot, ctx.inputs.today);
            }
            if (i == oldCount || replaced)
                continue;
            oldToNew[i] = quint32(l.eventSlots.size());
            l.eventSlots.push_back(old.eventSlots[i]);
            l.rules.push_back(old.rules[i]);
            l.filtered.push_back(old.filtered[i]);
            l.copyKey(old, quint32(i));
        }

        // The kept rows stay in their order; the rows read again are sorted and merged in.
        std::vector<SortItem> kept;
        kept.reserve(old.order.size());
        for (const SortItem &item : old.order) {
            const quint32 index = oldToNew[item.index];
            if (index != Gone)
                kept.push_back({item.k0, item.k1, index});
        }
        const auto less = rowOrder(l, how);
        std::sort(read.begin(), read.end(), less);
        texts.swap(l.keyTexts);
        l.keyTexts = texts;
        l.order.resize(kept.size() + read.size());
        std::merge(kept.begin(), kept.end(), read.begin(), read.end(), l.order.begin(), less);
        out.lists[size_t(list)] = std::move(fresh);
    }
    out.shownFilter = -1;
    return true;
}

void EventListEngine::filterHeadEnd(const Context &ctx, HeadEndRows &out)
{
    out.shownFilter = ctx.filter;
    out.shownPickerDate = ctx.pickerDate;
    for (int list = 1; list <= EventListCount; ++list) {
        const HeadEndRows::List &l = *out.lists[size_t(list)];
        std::vector<SortItem> &shown = out.shown[size_t(list)];
        if (ctx.filter == FilterAll) {
            // Every row is shown: the merge reads the order itself.
            std::vector<SortItem>().swap(shown);
            continue;
        }
        const auto pick = [&](const SortItem &item) {
            const HeadEndRows::List::Filtered &f = l.filtered[item.index];
            return listOfEvent(f.status, f.groupNo, f.date(), ctx.filter, ctx.pickerDate) != 0;
        };
        const auto count = size_t(std::count_if(l.order.begin(), l.order.end(), pick));
        shown.clear();
        if (shown.capacity() > count * 2)
            std::vector<SortItem>().swap(shown);
        shown.reserve(count);
        std::copy_if(l.order.begin(), l.order.end(), std::back_inserter(shown), pick);
    }
}

void EventListEngine::mergeList(int list, TextSortCode how, const std::vector<int> &shown)
{
    std::array<const HeadEndRows::List *, MaxHeadEnds + 1> blocks{};
    std::array<quint64, MaxHeadEnds + 1> generations{};
    for (int he : shown) {
        blocks[size_t(he)] = m_cache[size_t(he)]->lists[size_t(list)].get();
        generations[size_t(he)] = m_cache[size_t(he)]->shownGeneration;
    }
    // Equal keys go in head-end order.
    auto less = [&](const MergedItem &a, const MergedItem &b) {
        int r = comparePacked(a, b);
        if (r == 0)
            r = blocks[a.he]->compareKeys(a.index, *blocks[b.he], b.index, how.caseSensitive);
        if (r != 0)
            return how.descending ? r > 0 : r < 0;
        return a.he < b.he;
    };
    // The head ends whose shown rows changed since the last merge; a few of them are
    // merged into what the others kept, the rest of the list is copied as it was.
    Merged::List &m = m_merged->lists[size_t(list)];
    std::vector<int> changed;
    for (int he = 1; he <= MaxHeadEnds; ++he) {
        if (generations[size_t(he)] != m.generations[size_t(he)])
            changed.push_back(he);
    }
    const bool sameOrder =
        m.valid && m.how.descending == how.descending && m.how.caseSensitive == how.caseSensitive;
    // Past a quarter of the head ends a whole merge costs about as much.
    const bool few = sameOrder && changed.size() * 4 <= shown.size();
    const std::vector<int> &merging = few ? changed : shown;

    if (few && changed.empty() && m.items)
        return; // the last merge's order holds

    // The order is written into the buffer of the merge before last when nothing holds it
    // any longer: a rebuild then touches no fresh memory for it.
    std::shared_ptr<Merged::Items> target = std::move(m.spare);
    if (!target || target.use_count() > 1)
        target = std::make_shared<Merged::Items>();
    // The rows of the head ends merged now, through a heap of each one's next row. A whole
    // merge writes them into the order, a partial one into a kept buffer.
    Merged::Items &fresh = few ? m.scratch : *target;
    {
        struct Cursor
        {
            const SortItem *next;
            const SortItem *end;
            MergedItem item;
        };
        const auto itemOf = [&blocks](const SortItem &s, quint8 he) {
            return MergedItem{s.k0, s.k1, s.index, he, blocks[he]->rules[s.index]};
        };
        std::vector<Cursor> heap;
        size_t total = 0;
        for (int he : merging) {
            if (!blocks[size_t(he)])
                continue; // no longer shown
            const std::vector<SortItem> &order = m_cache[size_t(he)]->shownOrder(list);
            total += order.size();
            if (!order.empty())
                heap.push_back({order.data() + 1, order.data() + order.size(),
                                itemOf(order.front(), quint8(he))});
        }
        const auto after = [&](const Cursor &a, const Cursor &b) { return less(b.item, a.item); };
        std::make_heap(heap.begin(), heap.end(), after);
        reserveItems(fresh, total);
        while (!heap.empty()) {
            Cursor &top = heap.front();
            fresh.push_back(top.item);
            if (top.next == top.end) {
                std::pop_heap(heap.begin(), heap.end(), after);
                heap.pop_back();
                continue;
            }
            // The head's next row takes its place and sinks to where it belongs.
            Cursor c{top.next + 1, top.end, itemOf(*top.next, top.item.he)};
            const size_t n = heap.size();
            size_t i = 0;
            for (;;) {
                size_t child = 2 * i + 1;
                if (child >= n)
                    break;
                if (child + 1 < n && less(heap[child + 1].item, heap[child].item))
                    ++child;
                if (!less(heap[child].item, c.item))
                    break;
                heap[i] = heap[child];
                i = child;
            }
            heap[i] = c;
        }
    }
    if (few) {
        // The other head ends' rows keep their order; the fresh rows are merged in.
        std::array<bool, MaxHeadEnds + 1> isChanged{};
        for (int he : changed)
            isChanged[size_t(he)] = true;
        static const Merged::Items none;
        const Merged::Items &last = m.items ? *m.items : none;
        size_t keptCount = last.size();
        for (int he : changed)
            keptCount -= qMin(keptCount, m.counts[size_t(he)]);
        Merged::Items &items = *target;
        reserveItems(items, keptCount + fresh.size());
        auto next = fresh.begin();
        for (const MergedItem &item : last) {
            if (isChanged[item.he])
                continue;
            while (next != fresh.end() && less(*next, item))
                items.push_back(*next++);
            items.push_back(item);
        }
        items.insert(items.end(), next, fresh.end());
        if (fresh.capacity() > items.size() / 2)
            Merged::Items().swap(fresh);
    }
    m.spare = std::move(m.items);
    m.items = std::move(target);
    m.counts.fill(0);
    for (int he : shown)
        m.counts[size_t(he)] = m_cache[size_t(he)]->shownOrder(list).size();
    m.generations = generations;
    m.how = how;
    m.valid = true;
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
    auto format = std::make_shared<RowFormat>();
    format->heName = options.heName;
    for (int s = 1; s < int(format->statusTexts.size()); ++s)
        format->statusTexts[size_t(s)] = StatusText(quint8(s), {});
    format->dateTexts = m_dateTexts;
    ctx.format = std::move(format);
    for (int list = 1; list <= EventListCount; ++list)
        ctx.sortCodes[size_t(list)] =
            textSortCode(listSort(list, options.sortCol[size_t(list)]).code);

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
        // Rows of the same inputs read after the table was last cleared need only the
        // events edited since (the receive path's and the console's own edits alike).
        Inputs sortedAsKept = ctx.inputs;
        sortedAsKept.sortCol = c->inputs.sortCol;
        if (!c->lists[ListUpcoming] || !(c->inputs == sortedAsKept) ||
            Events().clearedAt() > c->readStamp) {
            readHeadEnd(he, ctx, *c);
            m_lastRead.push_back(he);
        } else {
            if (Events().lastStamp() > c->readStamp && updateHeadEnd(he, ctx, *c))
                m_lastRead.push_back(he);
            if (c->inputs.sortCol != ctx.inputs.sortCol)
                sortHeadEnd(ctx, *c);
        }
        if (c->shownFilter != ctx.filter || c->shownPickerDate != ctx.pickerDate) {
            filterHeadEnd(ctx, *c);
            c->shownGeneration = ++m_generation;
        }
    }

    EventLists out;
    for (int list = 1; list <= EventListCount; ++list) {
        EventListRows &result = out.list[size_t(list)];
        const TextSortCode how = ctx.sortCodes[size_t(list)];
        const int col = options.sortCol[size_t(list)];
        result.sort = listSort(list, col);

        auto rows = std::make_shared<MergedRows>();
        rows->blankFirst = list != ListAsRun;
        for (int he : shown)
            rows->blocks[size_t(he)] = m_cache[size_t(he)]->lists[size_t(list)];
        mergeList(list, how, shown);
        rows->items = m_merged->lists[size_t(list)].items;
        const Merged::Items &merged = *rows->items;

        result.rules.resize(merged.size() + 1);
        ColourRule *rule = result.rules.data();
        if (rows->blankFirst)
            *rule++ = ColourRule::Blank;
        for (const MergedItem &item : merged)
            *rule++ = item.rule;
        if (!rows->blankFirst)
            *rule = ColourRule::Blank;
        result.events = int(merged.size());
        result.rows = std::move(rows);
        result.runs = colourRuns(list, result.rules);
    }
    return out;
}

} // namespace vek
