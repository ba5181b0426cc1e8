// The simulator's answers to the console's messages, and the router they switch.

#include <algorithm>
#include <functional>

#include "core/convert.h"
#include "core/eventtext.h"
#include "hwsim.h"
#include "hwsimstate.h"
#include "platform/failure.h"
#include "platform/text.h"

namespace vek::sim {

namespace {

constexpr char FieldSeparator = char(206);
constexpr int RouterParts = 5;
constexpr int TmxParts = 4;

QByteArray flagText(bool on)
{
    return on ? "True" : "False";
}

QByteArray bigEndian4(quint32 n)
{
    QByteArray b(4, '\0');
    b[0] = char(n >> 24);
    b[1] = char(n >> 16);
    b[2] = char(n >> 8);
    b[3] = char(n);
    return b;
}

int dashboardCount(const QList<EventRec> &events, const std::function<bool(const EventRec &)> &f)
{
    return int(std::count_if(events.begin(), events.end(), f));
}

} // namespace

QByteArray SimChannel::record() const
{
    const QList<QByteArray> fields = {name,
                                      QByteArray::number(num),
                                      QByteArray::number(level),
                                      QByteArray::number(defSrc),
                                      srcName,
                                      QByteArray::number(srcSig),
                                      QByteArray::number(output),
                                      destName,
                                      QByteArray::number(destSig),
                                      QByteArray::number(backupSrc),
                                      flagText(hidden),
                                      flagText(select),
                                      "0",
                                      "0",
                                      "0",
                                      flagText(srcExcluded),
                                      "0"};
    return fields.join(FieldSeparator);
}

QByteArray HwSim::answer(HeadEnd *h, Connection *c, const QByteArray &body)
{
    if (body.isEmpty()) {
        note(h->number, "empty body: header echoed only");
        return {};
    }
    const auto code = static_cast<unsigned char>(body[0]);
    const int x = body.size() > 1 ? static_cast<unsigned char>(body[1]) : 0;
    const QByteArray reply(1, char((code + 100) & 0xFF));

    switch (code) {
    case 10:
        return pollReply(h, c);
    case 14:
        return reply + (h->alarms.isEmpty() ? QByteArray() : h->alarms.takeFirst());
    case 15:
        return reply + char(x) + plainStatus(h, x);
    case 18:
        return reply + char(x) + plainStatus(h, x + 80);
    case 19:
        if (x == 0)
            c->tableChanged = false;
        return reply + char(x) + h->channels.value(x).record();
    case 21:
        c->statusChanged = false;
        return reply + channelStatusDigits(h);
    case 30:
        return reply + dashboard(h, false);
    case 31:
        return reply + dashboard(h, true);
    case 41:
    case 42:
    case 43:
    case 44:
    case 45: {
        if (code == 41 && x >= 1 && x <= 8)
            c->rtrFlags &= quint8(~(1u << (x - 1)));
        const QByteArray text = extendedStatus(h, x);
        const qsizetype part = (text.size() / 2 + RouterParts - 1) / RouterParts * 2;
        return reply + char(x) + text.mid((code - 41) * part, part);
    }
    case 51:
    case 52:
    case 53:
    case 54: {
        if (code == 51 && x >= 1 && x <= 16)
            c->tmxFlags &= quint16(~(1u << (x - 1)));
        const QByteArray text = extendedStatus(h, x + 80);
        const qsizetype part = (text.size() / 2 + TmxParts - 1) / TmxParts * 2;
        return reply + char(x) + text.mid((code - 51) * part, part);
    }
    case 61:
        return reply + char(h->zone);
    case 62:
        return reply + char(h->minutes);
    case 71:
        return reply + (h->backups.isEmpty() ? QByteArray(2, '\0') : h->backups.takeFirst());
    case 81: // "Q": store an event
        return storeEvent(h, c, body.mid(1));
    case 82: // "R": the next event change
        return eventAnswer(h, c);
    case 12:
        return deleteEvent(h, c, body.mid(1));
    case 16: {
        const QByteArray d = body.mid(1);
        bool ok1 = false, ok2 = false, ok3 = false;
        const int levelWidth = d.size() == 9 ? 3 : 2;
        const int level = d.left(levelWidth).toInt(&ok1);
        const int input = d.mid(levelWidth, 3).toInt(&ok2);
        const int output = d.mid(levelWidth + 3).toInt(&ok3);
        if ((d.size() != 8 && d.size() != 9) || !ok1 || !ok2 || !ok3 ||
            !take(h, level, input, output))
            note(h->number, "take not understood: " + escapeBytes(d));
        return reply;
    }
    case 17: {
        const QByteArray d = body.mid(1);
        for (qsizetype pos = 0; pos < d.size(); pos += 9) {
            const QByteArray item = d.mid(pos, 9);
            bool ok1 = false, ok2 = false, ok3 = false;
            const int level = item.mid(1, 2).toInt(&ok1);
            const int input = item.mid(3, 3).toInt(&ok2);
            const int output = item.mid(6, 3).toInt(&ok3);
            if (item.size() != 9 || item[0] != '/' || !ok1 || !ok2 || !ok3) {
                note(h->number, "send-home item not understood: " + escapeBytes(item));
                break;
            }
            // An unused entry travels as output 0, which no router has: passed over.
            if (!take(h, level, input, output))
                note(h->number, "send-home item for no output: " + escapeBytes(item));
        }
        return reply;
    }
    case 20: {
        const QList<QByteArray> keys = h->events.keys();
        for (const QByteArray &key : keys)
            deleteEvent(h, nullptr, key);
        note(h->number, "cleared " + QByteArray::number(keys.size()) + " event(s)");
        return reply;
    }
    case 88: // "X": re-send every event to the ESNI server
        note(h->number, "re-send of all events to ESNI asked");
        return reply;
    case 101:
    case 102:
        note(h->number, QByteArray(code == 101 ? "output activated: " : "output in standby: ") +
                            escapeBytes(body.mid(1)));
        return reply;
    default:
        if (code >= 91 && code <= 97) {
            groupCommand(h, code, x);
            return reply;
        }
        return reply;
    }
}

QByteArray HwSim::pollReply(HeadEnd *h, Connection *c) const
{
    QByteArray b(13, '\0');
    b[0] = char(110);
    b[1] = char(c->tableChanged ? 1 : 0);
    b[2] = char(c->rtrFlags);
    b[3] = char(c->tmxFlags & 0xFF);
    b[4] = char(c->statusChanged ? 1 : 0);
    if (!c->pending.isEmpty() && c->listNo >= 1 && c->listNo <= 32) {
        static const int listByte[4] = {5, 6, 9, 10};
        const int k = c->listNo - 1;
        b[listByte[k / 8]] = char(1u << (k % 8));
    }
    b[7] = char(h->alarms.isEmpty() ? 0 : 1);
    b[8] = char(h->backups.isEmpty() ? 0 : 1);
    b[11] = char(c->tmxFlags >> 8);
    return b;
}

QByteArray HwSim::dashboard(HeadEnd *h, bool todayOnly) const
{
    QList<EventRec> list;
    const QDate today = now().date();
    for (const EventRec &e : h->events) {
        if (!todayOnly || e.EventDate == today)
            list.append(e);
    }
    auto is = [](std::initializer_list<int> statuses) {
        return [statuses](const EventRec &e) {
            return std::find(statuses.begin(), statuses.end(), e.Status) != statuses.end();
        };
    };
    const int total = int(list.size());
    const int upcoming = dashboardCount(list, is({1, 3, 5}));
    const int onAir = dashboardCount(list, is({2, 4}));
    const int lessThan = dashboardCount(list, is({5}));
    const int onHold = dashboardCount(list, is({3, 4}));
    const int interrupted = dashboardCount(list, [](const EventRec &e) { return e.Interrupted; });
    const int completed = dashboardCount(list, is({8}));
    const int completed2 = dashboardCount(list, is({7}));
    const int problem = dashboardCount(list, is({0, 6}));
    // The wire order of the ten counters.
    QByteArray p;
    for (const int n :
         {0, completed2, completed, total, interrupted, lessThan, onAir, onHold, problem, upcoming})
        p += bigEndian4(quint32(n));
    return p;
}

QByteArray HwSim::plainStatus(HeadEnd *h, int level) const
{
    const QMap<int, int> outputs = h->router.value(level);
    const int count = outputs.isEmpty() ? 0 : qMax(0, outputs.lastKey());
    QByteArray text(count, '\0');
    for (auto it = outputs.cbegin(); it != outputs.cend(); ++it) {
        if (it.key() >= 1)
            text[it.key() - 1] = char(qBound(0, it.value(), 255));
    }
    return text;
}

QByteArray HwSim::extendedStatus(HeadEnd *h, int level) const
{
    const QMap<int, int> outputs = h->router.value(level);
    const int count = outputs.isEmpty() ? 0 : qMax(0, outputs.lastKey());
    QByteArray text(count * 2, '\0');
    for (auto it = outputs.cbegin(); it != outputs.cend(); ++it) {
        if (it.key() < 1)
            continue;
        const int input = qBound(0, it.value(), 32767);
        text[2 * it.key() - 2] = char(input >> 8);
        text[2 * it.key() - 1] = char(input & 0xFF);
    }
    return text;
}

QByteArray HwSim::channelStatusDigits(HeadEnd *h) const
{
    QByteArray digits(65, '0');
    for (auto it = h->statusDigit.cbegin(); it != h->statusDigit.cend(); ++it)
        digits[it.key() - 10] = char('0' + it.value());
    return digits;
}

QByteArray HwSim::eventAnswer(HeadEnd *h, Connection *c)
{
    while (!c->pending.isEmpty()) {
        const QByteArray key = c->pending.takeFirst();
        if (h->events.contains(key))
            return QByteArray(1, char(181)) + EventToString(h->events.value(key));
        if (h->deleted.contains(key))
            return QByteArray(1, char(182)) + EventToString(h->deleted.value(key));
    }
    note(h->number, "no event change waiting: poll reply instead");
    return pollReply(h, c);
}

QByteArray HwSim::storeEvent(HeadEnd *h, Connection *c, const QByteArray &text)
{
    EventRec e;
    try {
        e = ParseEvent(text);
    } catch (const Failure &f) {
        note(h->number, "event not understood (" + f.description() + "): poll reply instead");
        return pollReply(h, c);
    }
    e.HeadEnd = quint8(h->number);
    const std::optional<EventRec> old =
        h->events.contains(e.EventKey) ? std::optional(h->events.value(e.EventKey)) : std::nullopt;
    // A change of status from the console moves the router when it starts or ends airing.
    if (old && old->Status == StatusOnAir && e.Status != StatusOnAir && !e.DefNow)
        take(h, e.Level, e.DestDefSrc, e.DestOutput);
    else if ((!old || old->Status != StatusOnAir) && e.Status == StatusOnAir)
        take(h, e.Level, e.SrcInput, e.DestOutput);
    if (old && old->Status == StatusOnAir && e.DefNow)
        e.Status = StatusOnAir; // so that the default-now request takes it off air below
    try {
        advanceEvent(h, e);
    } catch (const Failure &f) {
        note(h->number, "event times not understood (" + f.description() + ")");
    }
    h->events.insert(e.EventKey, e);
    h->deleted.remove(e.EventKey);
    changed(h, e.EventKey, c);
    return QByteArray(1, char(181)) + EventToString(e);
}

QByteArray HwSim::deleteEvent(HeadEnd *h, Connection *c, const QByteArray &key)
{
    QByteArray k = key;
    if (!h->events.contains(k))
        k = padKey(key);
    if (!h->events.contains(k)) {
        note(h->number, "delete of an unknown key " + escapeBytes(key));
        EventRec e;
        e.EventKey = k;
        e.HeadEnd = quint8(h->number);
        e.EventDate = now().date();
        return QByteArray(1, char(182)) + EventToString(e);
    }
    EventRec e = h->events.take(k);
    if (e.Status == StatusOnAir)
        take(h, e.Level, e.DestDefSrc, e.DestOutput);
    h->deleted.insert(k, e);
    changed(h, k, c);
    return QByteArray(1, char(182)) + EventToString(e);
}

void HwSim::groupCommand(HeadEnd *h, quint8 code, int group)
{
    if (group < 1 || group > 24) {
        note(h->number, "group command without a group");
        return;
    }
    for (auto it = h->events.begin(); it != h->events.end(); ++it) {
        EventRec &e = it.value();
        if (e.GroupNo != group)
            continue;
        const quint8 before = e.Status;
        const quint8 interrupted = e.Interrupted;
        switch (code) {
        case 91: // hold group
            if (e.Status == StatusActive || e.Status == StatusLessThan)
                e.Status = StatusOnHold;
            break;
        case 92: // hold group on air
            if (e.Status == StatusOnAir) {
                take(h, e.Level, e.DestDefSrc, e.DestOutput);
                e.Status = StatusOnHoldOnAir;
            }
            break;
        case 93: // substitute group now
        case 97:
            if (e.Status == StatusActive || e.Status == StatusOnHold || e.Status == StatusLessThan)
                goOnAir(h, e);
            break;
        case 94: // default group now
            if (e.Status == StatusOnAir || e.Status == StatusOnHoldOnAir)
                goOffAir(h, e, StatusDone);
            break;
        case 95: // interrupt group
            if (e.Status == StatusOnAir) {
                take(h, e.Level, e.DestDefSrc, e.DestOutput);
                e.Status = StatusOnHoldOnAir;
                e.Interrupted = 1;
            }
            break;
        case 96: // resume group
            if (e.Status == StatusOnHoldOnAir && e.Interrupted) {
                take(h, e.Level, e.SrcInput, e.DestOutput);
                e.Status = StatusOnAir;
                e.Interrupted = 0;
            }
            break;
        default:
            break;
        }
        if (e.Status != before || e.Interrupted != interrupted)
            changed(h, e.EventKey);
    }
}

bool HwSim::take(HeadEnd *h, int level, int input, int output)
{
    if ((level >= 0 && level <= 8) || (level >= 80 && level <= 96)) {
        if (output < 1 || output > 999 || input < 0 || input > 32767)
            return false;
        h->router[level].insert(output, input);
        setLevelChanged(h, level);
        note(h->number, "router level " + QByteArray::number(level) + " output " +
                            QByteArray::number(output) + " <- input " + QByteArray::number(input));
        return true;
    }
    if (level >= 10 && level <= 74) {
        h->statusDigit.insert(level, qBound(0, input - 1, 9));
        setStatusChanged(h);
        return true;
    }
    return false;
}

} // namespace vek::sim
