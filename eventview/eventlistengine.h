#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QHash>
#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/eventtable.h"
#include "eventlists.h"
#include "platform/text.h"

// The list engine's own types, shared by its files: the rows it reads from the event table
// (eventlistread.cpp), the cells it makes of them (eventlistcells.cpp) and the merge of the
// head ends' rows into the lists (eventlistmerge.cpp). The key packing and comparison run
// in the sort's and the merge's inner loops, so they stay inline here.

namespace vek {

// What a head end's cached rows depend on besides the event table.
struct EventListEngine::Inputs
{
    std::array<int, EventListCount + 1> sortCol{};
    std::array<QByteArray, MaxHeadEnds + 1> heName;
    QDate today;
    qint16 lessThan = 0;

    bool operator==(const Inputs &) const = default;
};

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

inline void packKey(QByteArrayView key, bool caseSensitive, SortItem &item)
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

template <class A, class B> inline int comparePacked(const A &a, const B &b)
{
    if (a.k0 != b.k0)
        return a.k0 < b.k0 ? -1 : 1;
    if (a.k1 != b.k1)
        return a.k1 < b.k1 ? -1 : 1;
    return 0;
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
const QByteArray *fieldOf(const EventRec &e, int list, int col);
// Cell `col` of the row of event e (slot `slot` of head end `he`) in list `list`. A
// computed cell lives in the scratch until its next use.
QByteArrayView cellOf(const EventRec &e, int he, int slot, int list, int col, const RowFormat &f,
                      CellScratch &s);

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
        QByteArray fullKey(quint32 index) override { return cellText(index, FullKeyCell); }
        int groupNo(quint32 index) const override
        {
            return index < filtered.size() ? filtered[index].groupNo : 0;
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

// What one build shares among its head ends.
struct EventListEngine::Context
{
    Inputs inputs;
    int filter = 0;
    QDate pickerDate;
    std::shared_ptr<const RowFormat> format;
    std::array<TextSortCode, EventListCount + 1> sortCodes;
};

} // namespace vek
