#include <algorithm>
#include <iterator>
#include <span>
#include <string>

#include "core/eventtable.h"
#include "eventlistengine.h"

// Reading a head end's events into its rows: a whole read, an update from the events
// edited since, the sort of each list and the rows a filter shows.

namespace vek {

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

} // namespace vek
