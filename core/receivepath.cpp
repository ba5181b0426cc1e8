#include "receivepath.h"
#include "moduleresets.h"

#include <QChar>
#include <array>

#include "channeltable.h"
#include "consoleui.h"
#include "convert.h"
#include "eventstore.h"
#include "eventtext.h"
#include "inivalue.h"
#include "linkhost.h"
#include "log.h"
#include "platform/clock.h"
#include "platform/failure.h"
#include "platform/numeric.h"
#include "platform/text.h"
#include "routerstatus.h"
#include "sendpath.h"
#include "settings.h"

namespace vek {

namespace {

constexpr int HeaderLength = 4;
constexpr int MaxZone = 11;
constexpr int LastRecordNumber = 255;
constexpr int EventFieldTabs = 21;
constexpr int DashBoardLength = 40;
constexpr int MaxListNumber = 32;
// A held event part never grows past this: a peer that sends no header again cannot
// make the console hold its bytes for ever.
constexpr qsizetype MaxHeldEvent = 65536;

std::array<QByteArray, MaxHeadEnds + 1> &partials()
{
    static std::array<QByteArray, MaxHeadEnds + 1> p;
    return p;
}

QByteArray chr(int code)
{
    return QByteArray(1, static_cast<char>(static_cast<unsigned char>(code)));
}

// The console's requests in answer to what a server sends. One that already waits is not
// queued again: its answer would bring nothing new, and a server that sends without
// acknowledging could otherwise grow the queue without end.
void request(int headEnd, const QByteArray &body)
{
    if (!isWaitingHS(headEnd, body))
        SendHS(headEnd, body, 0);
}

unsigned char codeAt(QByteArrayView text, qsizetype pos)
{
    if (pos < 0 || pos >= text.size())
        throw Failure(ErrorKind::InvalidCall);
    return static_cast<unsigned char>(text[pos]);
}

// 1..8: the number of the highest set bit (128 -> 8 .. 1 -> 1).
int highestBit(unsigned char bits)
{
    int n = 0;
    for (int k = 1; k <= 8; ++k) {
        if (bits & (1u << (k - 1)))
            n = k;
    }
    return n;
}

QByteArray upperLatin1(const QByteArray &text)
{
    QByteArray out = text;
    for (char &c : out) {
        const QChar u = QChar(static_cast<unsigned char>(c)).toUpper();
        if (u.unicode() <= 0xff)
            c = static_cast<char>(u.unicode());
    }
    return out;
}

// An arrival that begins with a header this console writes is a new answer, not the
// rest of a split event message.
bool looksLikeHeader(int headEnd, const QByteArray &data)
{
    if (data.size() < HeaderLength || data[0] != '1' || data[1] != '0')
        return false;
    const qint16 listNo = settings().HEListNo[headEnd];
    return static_cast<unsigned char>(data[2]) == static_cast<unsigned char>(listNo) &&
           data[3] >= '0' && data[3] <= '9';
}

void checkLevel(int level)
{
    if (level > MaxRouterLevel)
        throw Failure(ErrorKind::SubscriptOutOfRange);
}

void checkUnit(int unit)
{
    if (unit > MaxTmxUnit)
        throw Failure(ErrorKind::SubscriptOutOfRange);
}

// Stores a status text or one of its parts, at most MaxStatusText characters; the rest
// is dropped with a log line (one a minute per head end) and the chain goes on as usual.
void storeStatus(QByteArray &buffer, const QByteArray &part, bool restart, int headEnd,
                 const QByteArray &what)
{
    if (restart)
        buffer.clear();
    const qsizetype room = MaxStatusText - buffer.size();
    if (part.size() <= room) {
        buffer += part;
        return;
    }
    buffer += part.left(room);
    WriteLogLimited("status text too long" + QByteArray::number(headEnd),
                    what + " of head end" + Str(qint64(headEnd)) + " is longer than" +
                        Str(qint64(MaxStatusText)) + " characters; the rest is dropped");
}

// After an event change: refresh at once at most every 2 s; the 1 s timer catches the
// rest of a burst, and the dashboard is asked for 2 s after its last change.
void refreshAfterEventChange(int headEnd)
{
    UpdatePending(headEnd) = true;
    const double now = Clock::secondsSinceMidnight();
    const double last = LastGridUpdate();
    if (static_cast<float>(now) > static_cast<float>(last + 2) || last - now > 2) {
        for (int view = 1; view <= ViewCount; ++view)
            GridDirty(view, headEnd) = true;
        UpdateChannelFlags(headEnd);
        UpdatePending(headEnd) = false;
        LastGridUpdate() = Clock::secondsSinceMidnight();
    }
    DashPending(headEnd) = true;
    if (LinkHost *host = linkHost()) {
        host->restartUpdateTimer();
        host->restartDashBoardTimer();
    }
}

void showAlarm(int headEnd, const QByteArray &p)
{
    const QByteArray t = StripNulls(p);
    if (t.isEmpty() || t == LastAlarm())
        return;
    LastAlarm() = t;
    const QByteArray composed = "(" + settings().HEName[headEnd] + ") " + t;
    AlarmText() = composed.contains("ESNI") ? t : composed;
    AlarmFlag() = true;
    if (LinkHost *host = linkHost()) {
        if (ConsoleUi *ui = host->ui())
            ui->showAlarmWindow(headEnd, AlarmText());
    }
}

// Channels on the digit positions of the channel status message.
void channelStatus(int headEnd, const QByteArray &body)
{
    std::array<int, MaxChannel + 1> eligible{};
    int count = 0;
    for (int ch = 1; ch <= MaxChannel; ++ch) {
        const int level = Channel(headEnd, ch).ChanLevel;
        if (level >= 10 && level <= 74)
            eligible[static_cast<size_t>(count++)] = ch;
    }
    for (int k = 0; k < count; ++k) {
        ChannelEntry &e = Channel(headEnd, eligible[static_cast<size_t>(k)]);
        const qsizetype pos = e.ChanLevel - 8; // 1-based position in the body
        const double d = leadingValue(midView(body, pos - 1, 1));
        const double source = d + 1;
        if (source == e.ChanDefSrc) {
            e.CurSrcText = e.SrcName;
            e.Substituted = false;
            e.OnBackup = false;
            continue;
        }
        for (int j = 0; j < count; ++j) {
            const ChannelEntry &m = Channel(headEnd, eligible[static_cast<size_t>(j)]);
            if (m.ChanLevel == e.ChanLevel && m.ChanDefSrc == source) {
                e.CurSrcText = m.SrcName;
                e.Substituted = true;
                e.OnBackup = false;
            }
        }
    }
    fillChanViewIfShown(headEnd);
}

void backupAutomation(int headEnd, const QByteArray &p)
{
    const QByteArray kind = p.left(2);
    bool switchNow = false;
    if (kind == QByteArray("\x01\x02", 2))
        switchNow = false;
    else if (kind == QByteArray("\x01\x03", 2))
        switchNow = true;
    else
        return;
    const QByteArray name = trimBlanks(upperLatin1(midView(p, 4, 8).toByteArray()));
    const qint16 source = toInt16(leadingValue(midView(p, 12, 4)));
    SendToBackup(headEnd, name, source, switchNow);
}

void eventChange(int headEnd, unsigned char code, QByteArrayView p)
{
    EventRec rec = ParseEvent(p);
    rec.HeadEnd = static_cast<quint8>(headEnd);
    if (code == 181) {
        const QByteArray key = rec.EventKey;
        if (storeEvent(headEnd, std::move(rec)) < 0)
            WriteLogLimited("event table full" + QByteArray::number(headEnd),
                            "Event " + key + " of head end" + Str(qint64(headEnd)) +
                                " not stored: all 10001 event slots are in use");
        refreshAfterEventChange(headEnd);
    } else if (deleteEvents(headEnd, rec.EventKey) > 0) {
        refreshAfterEventChange(headEnd);
    }
    static const QByteArray nextEvent = chr(10);
    request(headEnd, nextEvent);
}

void dispatch(int headEnd, const QByteArray &data, bool acknowledge, bool mayWait,
              bool &acknowledged)
{
    acknowledged = acknowledge && takeAcknowledgement(headEnd, data);
    // A bare acknowledgement carries no answer.
    if (data.size() == HeaderLength)
        return;
    // Views of the arrival: the frequent answers (polls, events) are read without a copy.
    const QByteArrayView body = midView(data, HeaderLength, data.size());
    const unsigned char code = codeAt(body, 0);
    if (code < 110 || code > 182)
        return;
    const QByteArrayView p = body.sliced(1);
    const auto rest = [body] {
        return body.size() > 2 ? body.sliced(2).toByteArray() : QByteArray();
    };

    switch (code) {
    case 110:
        ProcessHSStatus(headEnd, body);
        break;
    case 114:
        if (settings().HEAlarm[headEnd] && body.size() >= 2)
            showAlarm(headEnd, p.toByteArray());
        break;
    case 115: {
        const int level = codeAt(body, 1);
        checkLevel(level);
        UpdateHE() = static_cast<qint16>(headEnd);
        UpdateUnit() = static_cast<qint16>(level);
        storeStatus(RTRBuffer(headEnd, level), rest(), true, headEnd,
                    "Router status of level" + Str(qint64(level)));
        RTRForm(headEnd, level) = StatusForm::Plain;
        RTRUPDATE();
        break;
    }
    case 118: {
        const int unit = codeAt(body, 1);
        checkUnit(unit);
        UpdateHE() = static_cast<qint16>(headEnd);
        UpdateUnit() = static_cast<qint16>(unit);
        storeStatus(TMXBuffer(headEnd, unit), rest(), true, headEnd,
                    "TMX status of unit" + Str(qint64(unit)));
        TMXUPDATE();
        break;
    }
    case 119: {
        const int n = codeAt(body, 1);
        LastBlock(headEnd) = static_cast<qint16>(n);
        const bool wanted = n <= settings().HEChannels[headEnd];
        if (wanted)
            ParseChannelRecord(headEnd, n, rest());
        // Record 255 is the last one a single character can number.
        if (wanted && n < LastRecordNumber)
            request(headEnd, chr(19) + chr(n + 1));
        else
            request(headEnd, "=");
        break;
    }
    case 121:
        channelStatus(headEnd, body.toByteArray());
        break;
    case 130:
        if (p.size() >= DashBoardLength)
            DashBoardAll(headEnd) = ParseDashBoard(p.toByteArray());
        request(headEnd, chr(31));
        break;
    case 131:
        if (p.size() >= DashBoardLength)
            DashBoardToday(headEnd) = ParseDashBoard(p.toByteArray());
        break;
    case 141:
    case 142:
    case 143:
    case 144:
    case 145: {
        const int level = codeAt(body, 1);
        checkLevel(level);
        storeStatus(RTRBuffer(headEnd, level), rest(), code == 141, headEnd,
                    "Extended router status of level" + Str(qint64(level)));
        // Only a chain that began with its first part and ran to its fifth is whole.
        StatusForm &form = RTRForm(headEnd, level);
        if (code == 141)
            form = StatusForm::Partial;
        else if (form != StatusForm::Partial)
            form = StatusForm::None;
        else if (code == 145)
            form = StatusForm::Extended;
        if (code < 145) {
            request(headEnd, chr(code - 100 + 1) + chr(level));
        } else {
            UpdateHE() = static_cast<qint16>(headEnd);
            UpdateUnit() = static_cast<qint16>(level);
            RTR_EXT_UPDATE();
        }
        break;
    }
    case 151:
    case 152:
    case 153:
    case 154: {
        const int unit = codeAt(body, 1);
        checkUnit(unit);
        storeStatus(TMXBuffer(headEnd, unit), rest(), code == 151, headEnd,
                    "Extended TMX status of unit" + Str(qint64(unit)));
        if (code < 154) {
            request(headEnd, chr(code - 100 + 1) + chr(unit));
        } else {
            UpdateHE() = static_cast<qint16>(headEnd);
            UpdateUnit() = static_cast<qint16>(unit);
            TMX_EXT_UPDATE();
        }
        break;
    }
    case 161: {
        const int zone = codeAt(body, 1);
        if (zone > MaxZone)
            WriteLogLimited("bad time zone" + QByteArray::number(headEnd),
                            "Time zone" + Str(qint64(zone)) + " of head end" +
                                Str(qint64(headEnd)) + " is not a zone clock; time zone" +
                                Str(qint64(HETimeZone(headEnd))) + " kept");
        else
            HETimeZone(headEnd) = static_cast<qint16>(zone);
        request(headEnd, ">");
        break;
    }
    case 162:
        LessThanMinutes() = codeAt(body, 1);
        break;
    case 171:
        backupAutomation(headEnd, p.toByteArray());
        break;
    case 181:
    case 182:
        if (mayWait && p.count('\t') < EventFieldTabs && data.size() < MaxHeldEvent && linkHost()) {
            // TCP may have split the server's write: wait briefly for the rest.
            partials()[static_cast<size_t>(headEnd)] = data;
            linkHost()->startEventWait(headEnd);
            return;
        }
        eventChange(headEnd, code, p);
        break;
    default:
        break;
    }
}

void handle(int headEnd, const QByteArray &data, bool acknowledge, bool mayWait)
{
    bool acknowledged = false;
    try {
        dispatch(headEnd, data, acknowledge, mayWait, acknowledged);
    } catch (const Failure &f) {
        // A server can send the same bad message again and again.
        WriteLogLimited("arrival error" + QByteArray::number(headEnd) + ' ' +
                            QByteArray::number(f.number()),
                        "Error(wsHS_DataArrival) Index =" + Str(qint64(headEnd)) + " Error" +
                            Str(qint64(f.number())) + " " + f.description());
    }
    // After the answer's own requests: a chain that goes on needs no wake-up.
    if (acknowledged)
        wakeSendFlush(headEnd);
}

} // namespace

void wsHS_DataArrival(int headEnd, const QByteArray &data)
{
    if (!validHeadEnd(headEnd)) {
        WriteLog("Error(wsHS_DataArrival) Index =" + Str(qint64(headEnd)) + " Error" +
                 Str(qint64(ErrorKind::SubscriptOutOfRange)) + " " +
                 errorDescription(ErrorKind::SubscriptOutOfRange));
        return;
    }
    QByteArray &held = partials()[static_cast<size_t>(headEnd)];
    if (!held.isEmpty()) {
        if (!looksLikeHeader(headEnd, data)) {
            const QByteArray joined = held + data;
            held.clear();
            handle(headEnd, joined, false, true);
            return;
        }
        // A new answer: what was held will not be completed.
        const QByteArray old = std::exchange(held, QByteArray());
        handle(headEnd, old, false, false);
    }
    handle(headEnd, data, true, true);
}

void flushPartialEvent(int headEnd)
{
    if (!validHeadEnd(headEnd))
        return;
    const QByteArray old = std::exchange(partials()[static_cast<size_t>(headEnd)], QByteArray());
    if (!old.isEmpty())
        handle(headEnd, old, false, false);
}

bool hasPartialEvent(int headEnd)
{
    return validHeadEnd(headEnd) && !partials()[static_cast<size_t>(headEnd)].isEmpty();
}

void ProcessHSStatus(int headEnd, QByteArrayView body)
{
    const qsizetype n = body.size();
    if (n < 7)
        return;
    auto b = [&body](qsizetype i) { return static_cast<unsigned char>(body[i]); };

    if (b(1) == 1) {
        request(headEnd, chr(19) + chr(0));
        return;
    }
    if (b(2) != 0) {
        request(headEnd, ")" + chr(highestBit(b(2))));
        return;
    }
    if (b(3) != 0) {
        request(headEnd, "3" + chr(highestBit(b(3))));
        return;
    }
    if (b(4) == 1) {
        request(headEnd, chr(21) + chr(1));
        return;
    }

    // One flag per list: lists 1..8 in b(5), 9..16 in b(6), 17..24 in b(9), 25..32 in
    // b(10), each list k at bit k-1 of its byte.
    std::array<bool, MaxListNumber + 1> listFlag{};
    const std::array<qsizetype, 4> listBytes{5, 6, 9, 10};
    for (int group = 0; group < 4; ++group) {
        const qsizetype pos = listBytes[static_cast<size_t>(group)];
        if (pos >= n)
            continue;
        for (int bit = 0; bit < 8; ++bit)
            listFlag[static_cast<size_t>(group * 8 + bit + 1)] = (b(pos) >> bit) & 1u;
    }

    if (n >= 8 && b(7) == 1)
        request(headEnd, chr(14));
    if (n >= 9 && b(8) == 1)
        request(headEnd, "G");
    if (n >= 12 && b(11) != 0) {
        request(headEnd, "3" + chr(highestBit(b(11)) + 8));
        return;
    }
    const qint16 listNo = settings().HEListNo[headEnd];
    if (listNo < 0 || listNo > MaxListNumber)
        throw Failure(ErrorKind::SubscriptOutOfRange);
    static const QByteArray events("R");
    if (listNo > 0 && listFlag[static_cast<size_t>(listNo)])
        request(headEnd, events);
}

DashBoardRec ParseDashBoard(const QByteArray &p)
{
    DashBoardRec r;
    std::array<qint32 *, 10> fields{&r.Spare,       &r.Completed2, &r.Completed, &r.Total,
                                    &r.Interrupted, &r.LessThan,   &r.OnAir,     &r.OnHold,
                                    &r.Problem,     &r.Upcoming};
    for (int k = 0; k < 10; ++k) {
        const QByteArray group = midView(p, k * 4, 4).toByteArray();
        const double value = BytesToNumber(group);
        const double limit = k == 0 ? 32767.0 : 2147483647.0;
        // A value that does not fit its field leaves it 0.
        if (value >= 0 && value <= limit)
            *fields[static_cast<size_t>(k)] = static_cast<qint32>(value);
    }
    return r;
}

void refreshPendingHeadEnds()
{
    try {
        for (int he = 1; he <= MaxHeadEnds; ++he) {
            if (!UpdatePending(he))
                continue;
            for (int view = 1; view <= ViewCount; ++view)
                GridDirty(view, he) = true;
            UpdateChannelFlags(he);
            UpdatePending(he) = false;
            LastGridUpdate() = Clock::secondsSinceMidnight();
        }
    } catch (const Failure &f) {
        logError("Error timeUPDATE_Timer)", f);
    }
}

void requestPendingDashBoards()
{
    for (int k = 1; k <= DashBoardSlots; ++k) {
        if (!DashPending(k))
            continue;
        SendHS(k, chr(30), 0);
        DashPending(k) = false;
    }
}

void resetReceivePath()
{
    partials().fill(QByteArray());
    resetEventIndex();
}

} // namespace vek
