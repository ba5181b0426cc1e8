#include "eventtable.h"
#include "moduleresets.h"

#include <algorithm>

#include "platform/failure.h"
#include "platform/numeric.h"

namespace vek {

EventTable::EventTable() = default;

const EventRec &EventTable::at(int headEnd, int slot) const
{
    if (!validIndex(headEnd, slot))
        throw Failure(ErrorKind::SubscriptOutOfRange);
    const std::vector<Block> &blocks = m_blocks[size_t(headEnd)];
    const size_t b = size_t(slot / BlockSlots);
    if (b >= blocks.size() || !blocks[b]) {
        // A slot never written reads as an unused record.
        static const EventRec unused;
        return unused;
    }
    return blocks[b][size_t(slot % BlockSlots)];
}

EventRec &EventTable::edit(int headEnd, int slot)
{
    if (!validIndex(headEnd, slot))
        throw Failure(ErrorKind::SubscriptOutOfRange);
    for (EventTableWatcher *w : m_watchers)
        w->beforeEdit(headEnd, slot);
    std::vector<Block> &blocks = m_blocks[size_t(headEnd)];
    const size_t b = size_t(slot / BlockSlots);
    if (b >= blocks.size())
        blocks.resize(b + 1);
    if (!blocks[b])
        blocks[b] = std::make_unique<EventRec[]>(BlockSlots);
    std::vector<quint64> &stamps = m_stamps[size_t(headEnd)];
    if (stamps.size() <= size_t(slot))
        stamps.resize((b + 1) * BlockSlots);
    stamps[size_t(slot)] = ++m_lastStamp;
    return blocks[b][size_t(slot % BlockSlots)];
}

EventRec &EventTable::editLocal(int headEnd, int slot)
{
    EventRec &r = edit(headEnd, slot);
    ++m_changes[size_t(headEnd)];
    return r;
}

void EventTable::clear()
{
    for (EventTableWatcher *w : m_watchers)
        w->beforeClear();
    for (std::vector<Block> &blocks : m_blocks)
        std::vector<Block>().swap(blocks);
    for (std::vector<quint64> &stamps : m_stamps)
        std::vector<quint64>().swap(stamps);
    m_clearedAt = ++m_lastStamp;
}

void EventTable::addWatcher(EventTableWatcher *watcher)
{
    if (watcher && std::find(m_watchers.begin(), m_watchers.end(), watcher) == m_watchers.end())
        m_watchers.push_back(watcher);
}

std::span<const quint64> EventTable::stamps(int headEnd) const
{
    if (headEnd < 0 || headEnd >= HeadEnds)
        return {};
    return m_stamps[size_t(headEnd)];
}

EventTable &Events()
{
    static EventTable table;
    return table;
}

void resetEvents()
{
    Events().clear();
}

namespace {
// The plain form every list writes, "he-slot" in digits only, read without splitting.
bool parsePlainRowKey(QByteArrayView key, RowKey &out)
{
    const qsizetype dash = key.indexOf('-');
    if (dash < 1 || dash > 9 || key.size() - dash - 1 < 1 || key.size() - dash - 1 > 9)
        return false;
    int parts[2] = {0, 0};
    int part = 0;
    for (qsizetype i = 0; i < key.size(); ++i) {
        const char c = key[i];
        if (i == dash) {
            part = 1;
        } else if (c >= '0' && c <= '9') {
            parts[part] = parts[part] * 10 + (c - '0');
        } else {
            return false;
        }
    }
    out = EventTable::validIndex(parts[0], parts[1]) ? RowKey{parts[0], parts[1]} : RowKey{};
    return true;
}
} // namespace

RowKey parseRowKey(const QByteArray &key)
{
    if (key.isEmpty())
        return {};
    RowKey plain;
    if (parsePlainRowKey(key, plain))
        return plain;
    const QList<QByteArray> parts = key.split('-');
    if (parts.size() != 2)
        return {};
    const double he = leadingValue(parts.at(0));
    const double slot = leadingValue(parts.at(1));
    RowKey k{static_cast<int>(he), static_cast<int>(slot)};
    if (he != k.headEnd || slot != k.slot || !EventTable::validIndex(k.headEnd, k.slot))
        return {};
    return k;
}

QByteArray makeRowKey(int headEnd, int slot)
{
    return QByteArray::number(headEnd) + '-' + QByteArray::number(slot);
}

} // namespace vek
