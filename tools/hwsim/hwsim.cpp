// The simulator's head ends, time, event life and change flags.

#include "hwsim.h"

#include <QTcpSocket>
#include <limits>
#include <tuple>

#include "core/convert.h"
#include "hwsimstate.h"
#include "platform/clock.h"
#include "platform/failure.h"
#include "platform/text.h"

namespace vek::sim {

QByteArray hms(const QTime &t)
{
    return zeroPadded(t.hour(), 2) + ':' + zeroPadded(t.minute(), 2) + ':' +
           zeroPadded(t.second(), 2);
}

QByteArray hmsOfSeconds(qint64 secs)
{
    secs = qMax<qint64>(0, secs);
    return zeroPadded(secs / 3600, 2) + ':' + zeroPadded(secs / 60 % 60, 2) + ':' +
           zeroPadded(secs % 60, 2);
}

QByteArray padKey(const QByteArray &key)
{
    QByteArray k = trimBlanks(key).left(KeyLength);
    return k + QByteArray(KeyLength - k.size(), '0');
}

namespace {

// True when an event starting at key is two calendar days or more after today, so more
// than 23 hours away even across a change of daylight saving, and so further away than
// the "less than" minutes: no need to turn its start into a local time, which costs a
// time-zone look-up for every event on every tick.
bool startsLater(qint64 key, const QDate &today, int minutes)
{
    const qint64 ymd = key / 100000;
    const QDate start(int(ymd / 10000), int(ymd / 100 % 100), int(ymd % 100));
    return start.isValid() && today.daysTo(start) >= 2 && minutes * 60LL < 23 * 3600LL;
}

} // namespace

HwSim::HwSim(QObject *parent) : QObject(parent)
{
    m_started.start();
    connect(&m_tickTimer, &QTimer::timeout, this, &HwSim::tick);
}

HwSim::~HwSim()
{
    for (auto &[n, h] : m_headEnds) {
        for (auto &c : h->conns)
            c->socket->disconnect(this);
    }
}

HwSim::HeadEnd *HwSim::headEnd(int he) const
{
    const auto it = m_headEnds.find(he);
    return it == m_headEnds.end() ? nullptr : it->second.get();
}

QList<int> HwSim::headEnds() const
{
    QList<int> list;
    for (const auto &[n, h] : m_headEnds)
        list.append(n);
    return list;
}

QDateTime HwSim::now() const
{
    return Clock::localNow().addMSecs(m_offsetMs);
}

void HwSim::setAutoTick(int intervalMs)
{
    if (intervalMs > 0)
        m_tickTimer.start(intervalMs);
    else
        m_tickTimer.stop();
}

// ---------------------------------------------------------------------------------------
// Change flags and time

void HwSim::changed(HeadEnd *h, const QByteArray &key, Connection *except)
{
    for (auto &c : h->conns) {
        if (c.get() != except && !c->pending.contains(key))
            c->pending.append(key);
    }
}

void HwSim::setTableChanged(HeadEnd *h)
{
    for (auto &c : h->conns)
        c->tableChanged = true;
}

void HwSim::setStatusChanged(HeadEnd *h)
{
    for (auto &c : h->conns)
        c->statusChanged = true;
}

void HwSim::setLevelChanged(HeadEnd *h, int level)
{
    for (auto &c : h->conns) {
        if (level >= 1 && level <= 8)
            c->rtrFlags |= quint8(1u << (level - 1));
        else if (level >= 81 && level <= 96)
            c->tmxFlags |= quint16(1u << (level - 81));
    }
}

void HwSim::churn(int percent)
{
    // The events after the last churn's, so a running site sees different events change:
    // Active and On Hold swap, any other status gets a new comment.
    for (auto &[n, h] : m_headEnds) {
        const qsizetype size = h->events.size();
        if (size == 0)
            continue;
        const qsizetype count = (size * percent + 99) / 100;
        auto it = std::next(h->events.begin(), h->churnNext % size);
        ++h->churnRound;
        for (qsizetype i = 0; i < count; ++i, ++it) {
            if (it == h->events.end())
                it = h->events.begin();
            EventRec &e = it.value();
            if (e.Status == StatusActive)
                e.Status = StatusOnHold;
            else if (e.Status == StatusOnHold)
                e.Status = StatusActive;
            else
                e.Comments = "Changed " + QByteArray::number(h->churnRound);
            changed(h.get(), it.key());
        }
        h->churnNext = (h->churnNext + count) % size;
    }
}

QByteArray HwSim::nextKey(HeadEnd *h)
{
    const QDateTime t = now();
    h->serial = (h->serial + 1) % 10000;
    return padKey(toBytes(t.toString("yyMMddHHmmss")) + zeroPadded(h->serial, 4));
}

void HwSim::goOnAir(HeadEnd *h, EventRec &e)
{
    take(h, e.Level, e.SrcInput, e.DestOutput);
    e.Status = StatusOnAir;
    e.SubNow = false;
    e.ActualStart = hms(now().time());
    e.ActualEnd.clear();
    e.ActualDur.clear();
}

void HwSim::goOffAir(HeadEnd *h, EventRec &e, quint8 status)
{
    if (e.Status == StatusOnAir)
        take(h, e.Level, e.DestDefSrc, e.DestOutput);
    e.Status = status;
    e.DefNow = false;
    e.ActualEnd = hms(now().time());
    if (!e.ActualStart.isEmpty())
        e.ActualDur = TimeCalc(e.ActualEnd, e.ActualStart, "-", true);
}

// One step of an event's life at the present time; true when it changed.
HwSim::TickTime::TickTime(const QDateTime &now)
    : t(now), key(DateKey(now)), epochMs(now.toMSecsSinceEpoch())
{}

qint64 HwSim::TickTime::secsUntil(qint64 startKey) const
{
    // A start is its day's local midnight plus the key's seconds; the midnight's instant
    // is looked up once per day and tick rather than once per event.
    constexpr qint64 NoMidnight = std::numeric_limits<qint64>::min();
    const qint64 ymd = startKey / 100000;
    auto midnight = midnights.constFind(ymd);
    if (midnight == midnights.cend()) {
        const QDateTime start(QDate(int(ymd / 10000), int(ymd / 100 % 100), int(ymd % 100)),
                              QTime(0, 0));
        midnight = midnights.insert(ymd, start.isValid() ? start.toMSecsSinceEpoch() : NoMidnight);
    }
    // An invalid start is no time away, and whole seconds are cut towards zero, as
    // QDateTime::secsTo() has them.
    if (*midnight == NoMidnight)
        return 0;
    return (*midnight + startKey % 100000 * 1000 - epochMs) / 1000;
}

bool HwSim::advanceEvent(HeadEnd *h, EventRec &e)
{
    return advanceEvent(h, e, TickTime(now()));
}

bool HwSim::advanceEvent(HeadEnd *h, EventRec &e, const TickTime &now)
{
    const qint64 key = now.key;
    // Only these fields change here (the router is not part of the event).
    const auto state = [](const EventRec &r) {
        return std::tuple(r.Status, r.SubNow, r.DefNow, r.ActualStart, r.ActualEnd, r.ActualDur);
    };
    const auto before = state(e);
    switch (e.Status) {
    case StatusActive:
    case StatusLessThan:
        if (e.SubNow) {
            goOnAir(h, e);
        } else if (key >= e.EndKey) {
            // Its whole slot passed while nobody watched: it aired as planned.
            e.Status = StatusDone;
            e.ActualStart = e.StartTime;
            e.ActualEnd = e.EndTime;
            e.ActualDur = e.Duration;
        } else if (key >= e.StartKey) {
            goOnAir(h, e);
        } else if (startsLater(e.StartKey, now.t.date(), h->minutes)) {
            e.Status = StatusActive;
        } else {
            const qint64 secs = now.secsUntil(e.StartKey);
            e.Status = secs < h->minutes * 60LL ? StatusLessThan : StatusActive;
        }
        break;
    case StatusOnHold:
        if (e.SubNow)
            goOnAir(h, e);
        else if (key >= e.EndKey)
            e.Status = StatusDone;
        break;
    case StatusOnAir:
        if (e.DefNow || key >= e.EndKey)
            goOffAir(h, e, StatusDone);
        break;
    case StatusOnHoldOnAir:
        if (e.DefNow || key >= e.EndKey)
            goOffAir(h, e, StatusDone);
        break;
    default:
        break;
    }
    return state(e) != before;
}

void HwSim::tick()
{
    // One reading of the local time for the whole tick.
    const TickTime t(now());
    for (auto &[n, h] : m_headEnds) {
        for (auto it = h->events.begin(); it != h->events.end(); ++it) {
            try {
                if (advanceEvent(h.get(), it.value(), t))
                    changed(h.get(), it.key());
            } catch (const Failure &f) {
                note(n, "event " + it.key() + " has unusable times (" + f.description() + ")");
            }
        }
    }
}

// ---------------------------------------------------------------------------------------
// State readers

QList<EventRec> HwSim::events(int he) const
{
    const HeadEnd *h = headEnd(he);
    return h ? h->events.values() : QList<EventRec>();
}

std::optional<EventRec> HwSim::event(int he, const QByteArray &key) const
{
    const HeadEnd *h = headEnd(he);
    if (!h)
        return std::nullopt;
    const auto it = h->events.constFind(h->events.contains(key) ? key : padKey(key));
    return it == h->events.cend() ? std::nullopt : std::optional(it.value());
}

std::optional<SimChannel> HwSim::channel(int he, int index) const
{
    const HeadEnd *h = headEnd(he);
    if (!h || !h->channels.contains(index))
        return std::nullopt;
    return h->channels.value(index);
}

int HwSim::routerInput(int he, int level, int output) const
{
    const HeadEnd *h = headEnd(he);
    return h ? h->router.value(level).value(output, -1) : -1;
}

} // namespace vek::sim
