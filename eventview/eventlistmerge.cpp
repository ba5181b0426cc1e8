#include <algorithm>
#include <memory>
#include <vector>

#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/receivestate.h"
#include "eventlistengine.h"
#include "platform/clock.h"

// Merging the shown head ends' rows into the lists of one build.

namespace vek {

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

EventListEngine::EventListEngine()
    : m_dateTexts(std::make_shared<QHash<qint64, QByteArray>>()),
      m_merged(std::make_unique<Merged>())
{}
EventListEngine::~EventListEngine() = default;

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
