#include "sendpath.h"
#include "moduleresets.h"

#include <QElapsedTimer>
#include <QHash>
#include <algorithm>
#include <array>
#include <charconv>
#include <deque>
#include <iterator>

#include "consoleui.h"
#include "hssocket.h"
#include "linkactivity.h"
#include "linkhost.h"
#include "log.h"
#include "platform/clock.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "settings.h"
#include "startupstate.h"
#include "tcphssocket.h"
#include "winqueue.h"

namespace vek {

namespace {

constexpr qint16 ResendCount = 4;
// A connected server whose every message was given up for this long is lost.
constexpr qint64 SilentAfterMs = 30 * 1000;
constexpr double PollInterval = 0.25;
// The first millisecond at which more than PollInterval has passed.
constexpr qint64 PollIntervalMs = 251;
const QByteArray PollBody("\n");

// Real elapsed time, only for arming the flush timer: the poll decision itself reads the
// console's clock.
qint64 monotonicMs()
{
    static const QElapsedTimer started = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return started.elapsed();
}

struct Queued
{
    QByteArray message;
    // 0, or the ticket whose outcome the sender asked for.
    quint64 ticket = 0;
};

struct HeadEndSend
{
    // Front = the message to transmit next; the rest wait in order. Unbounded, so a
    // burst of commands never loses one.
    std::deque<Queued> queue;
    QByteArray lastSent;
    qint16 resendLeft = 0;
    double lastPoll = 0;
    double pollElapsed = 0;
    // monotonicMs() of the last poll.
    qint64 lastPollMs = -PollIntervalMs;
    qint16 headerSeq = 0;
    bool troubleShown = false;
    bool booted = false;
    // The message in flight has not been acknowledged yet.
    bool awaitingAck = false;
    // A poll went out and nothing since: the next free turn is the WIN queue's even when
    // the next poll is already due, so a slow server still gets its queued commands.
    bool winTurnOwed = false;
    // Clock time (ms since the epoch) of the first give-up since the last acknowledgement;
    // -1 while the server answers.
    qint64 givingUpSinceMs = -1;
    // Connected, but nothing acknowledged within the re-send cycle for SilentAfterMs: only
    // polls go out (to hear it again), what is queued waits.
    bool silent = false;
    bool silenceWindowShown = false;
    bool queueLongLogged = false;
    // The ticket of the message in flight (0: none asked for).
    quint64 inFlightTicket = 0;
    // Messages that could not go out since the last line saying so, and the first of them.
    qint64 notSentCount = 0;
    QByteArray notSentFirst;
    HsSocket *socket = nullptr;
};

struct SendState
{
    std::array<HeadEndSend, MaxHeadEnds + 1> he;
    qint16 troubleHE = 0;
    QByteArray troubleFlag;
    quint64 nextTicket = 1;
    QHash<quint64, SendOutcome> outcomes;
};

SendState &state()
{
    static SendState s;
    return s;
}

HeadEndSend &at(int headEnd)
{
    if (headEnd < 0 || headEnd > MaxHeadEnds)
        throw Failure(ErrorKind::SubscriptOutOfRange);
    return state().he[headEnd];
}

bool isPoll(const QByteArray &message)
{
    return message.size() == 4 + PollBody.size() && message.endsWith(PollBody);
}

void settle(quint64 ticket, SendOutcome outcome)
{
    if (ticket != 0 && state().outcomes.contains(ticket))
        state().outcomes[ticket] = outcome;
}

void noteNotSent(HeadEndSend &s, const QByteArray &body, quint64 ticket)
{
    if (s.notSentCount++ == 0)
        s.notSentFirst = body;
    settle(ticket, SendOutcome::GivenUp);
}

// Once the link is known lost, nothing queued for it can go out: say so instead of
// letting the queues grow for ever.
void dropQueued(int headEnd, HeadEndSend &s)
{
    for (const Queued &q : s.queue)
        noteNotSent(s, q.message.mid(4), q.ticket);
    s.queue.clear();
    s.queueLongLogged = false;
    while (WinQueued(headEnd)) {
        const QByteArray m = WINGET(headEnd);
        if (m.isEmpty())
            break;
        noteNotSent(s, m, 0);
    }
}

// One line a minute at most, counting every message since the last.
void reportNotSent(int headEnd, HeadEndSend &s)
{
    if (s.notSentCount == 0 || !logLimitAllows("not sent" + QByteArray::number(headEnd)))
        return;
    WriteLog("SendHS:" + Str(s.notSentCount) + " message(s) for head end" + Str(qint64(headEnd)) +
             " not sent, its link is down; the first: " + printableBytes(s.notSentFirst));
    s.notSentCount = 0;
    s.notSentFirst.clear();
}

QByteArray stamp(const QDateTime &t)
{
    return shortDate(t.date()) + ' ' + t.time().toString(QStringLiteral("HH:mm:ss")).toLatin1();
}

QByteArray serverLabel(int headEnd)
{
    return "Hardware Server of head end" + Str(qint64(headEnd)) + " (" +
           settings().HEName[headEnd] + ")";
}

QByteArray serverAddress(int headEnd)
{
    const Settings &set = settings();
    return UseBackupServers() ? set.HEBackupIP[headEnd] + " (Backup)"
                              : set.HEMainIP[headEnd] + " (Main)";
}

// The log's account of a lost server: which, where, since when and why.
void logLostServer(int headEnd, const HeadEndSend &s)
{
    QByteArray cause = s.socket && !s.silent ? s.socket->downCause() : QByteArray();
    if (!s.socket)
        cause = "no socket";
    if (cause.isEmpty())
        cause = "no answer within the re-send cycle";
    QDateTime since;
    if (s.silent) {
        since = lastArrival(headEnd).isValid()
                    ? lastArrival(headEnd).toLocalTime()
                    : QDateTime::fromMSecsSinceEpoch(s.givingUpSinceMs).toLocalTime();
    } else {
        since = s.socket ? s.socket->downSince() : QDateTime();
        if (!since.isValid() && lastArrival(headEnd).isValid())
            since = lastArrival(headEnd).toLocalTime();
    }
    WriteLog(serverLabel(headEnd) + " lost: " + serverAddress(headEnd) + ", since " +
             (since.isValid() ? stamp(since) : QByteArray("start-up")) + ", " + cause);
}

void showTrouble(int headEnd)
{
    state().troubleHE = static_cast<qint16>(headEnd);
    state().troubleFlag = "1";
    if (LinkHost *host = linkHost()) {
        if (ConsoleUi *ui = host->ui())
            ui->showTroubleWindow(headEnd);
    }
}

// Every message given up for SilentAfterMs, polls included: the server is as good as lost,
// though still connected. Logged and raised like a closed link, but the connection stays,
// so the server is heard when it answers again.
void noteSilence(int headEnd, HeadEndSend &s)
{
    const qint64 now = Clock::current().nowUtc().toMSecsSinceEpoch();
    if (s.givingUpSinceMs < 0 || now < s.givingUpSinceMs)
        s.givingUpSinceMs = now;
    if (s.silent || s.troubleShown || now - s.givingUpSinceMs < SilentAfterMs)
        return;
    s.silent = true;
    logLostServer(headEnd, s);
    if (!std::exchange(s.silenceWindowShown, true))
        showTrouble(headEnd);
}

// A message whose re-sends are used up without an acknowledgement is given up; say so,
// except for polls, which the next poll replaces anyway.
void noteGivenUp(int headEnd, HeadEndSend &s)
{
    if (!s.awaitingAck || s.resendLeft != 0)
        return;
    s.awaitingAck = false;
    settle(std::exchange(s.inFlightTicket, 0), SendOutcome::GivenUp);
    noteSilence(headEnd, s);
    if (isPoll(s.lastSent))
        return;
    // A server that never acknowledges would have every message logged.
    WriteLogLimited("send given up" + QByteArray::number(headEnd),
                    "SendHS gave up on a message to head end" + Str(qint64(headEnd)) +
                        " after 4 re-sends: " + printableBytes(s.lastSent));
}

void raiseTrouble(int headEnd, HeadEndSend &s)
{
    if (s.socket)
        s.socket->close();
    s.troubleShown = true;
    s.silent = false;
    logLostServer(headEnd, s);
    if (!s.silenceWindowShown)
        showTrouble(headEnd);
}

} // namespace

QByteArray printableBytes(const QByteArray &bytes)
{
    return visibleBytes(bytes, true);
}

namespace {
// The header (see BuildHSHeader) written onto the end of out.
void appendHSHeader(QByteArray &out, int headEnd, int cmd)
{
    HeadEndSend &s = at(headEnd);
    const qint16 listNo = settings().HEListNo[headEnd];
    // "1" and the command's digits, without a blank between them.
    char digits[16];
    const auto written = std::to_chars(std::begin(digits), std::end(digits), cmd);
    out += '1';
    out.append(digits, written.ptr - digits);
    if (listNo < 0 || listNo > 255) {
        // The list number cannot travel in one byte; the header keeps its length. Every
        // poll would repeat the line.
        WriteLogLimited("header list number" + QByteArray::number(headEnd),
                        "Error BuildHSHeader)" + Str(qint64(ErrorKind::InvalidCall)) + ' ' +
                            errorDescription(ErrorKind::InvalidCall));
        out += '\0';
    } else {
        out += static_cast<char>(static_cast<unsigned char>(listNo));
    }
    s.headerSeq += 1;
    if (s.headerSeq > 9)
        s.headerSeq = 0;
    out += static_cast<char>('0' + s.headerSeq);
}

// Header and body in one allocation: every message of every exchange is built here.
QByteArray headedMessage(int headEnd, int cmd, QByteArrayView body)
{
    QByteArray message;
    message.reserve(16 + body.size());
    appendHSHeader(message, headEnd, cmd);
    message.append(body);
    return message;
}
} // namespace

QByteArray BuildHSHeader(int headEnd, int cmd)
{
    QByteArray h;
    h.reserve(16);
    appendHSHeader(h, headEnd, cmd);
    return h;
}

namespace {
void sendHS(int headEnd, const QByteArray &body, int cmd, quint64 ticket)
{
    if (!validHeadEnd(headEnd)) {
        WriteLog("Error SendHS)" + Str(qint64(ErrorKind::SubscriptOutOfRange)) + ' ' +
                 errorDescription(ErrorKind::SubscriptOutOfRange));
        settle(ticket, SendOutcome::GivenUp);
        return;
    }
    HeadEndSend &s = at(headEnd);

    if (!body.isEmpty() && s.silent && static_cast<int>(s.queue.size()) >= HeldQueueCap) {
        noteNotSent(s, body, ticket);
    } else if (!body.isEmpty()) {
        s.queue.push_back(Queued{headedMessage(headEnd, cmd, body), ticket});
        if (static_cast<int>(s.queue.size()) > SendQueueLongAt) {
            if (!s.queueLongLogged) {
                s.queueLongLogged = true;
                // A peer that lets the queue swing around the mark could repeat it.
                WriteLogLimited("send queue long" + QByteArray::number(headEnd),
                                "SendHS queue of head end" + Str(qint64(headEnd)) + " is long:" +
                                    Str(qint64(s.queue.size())) + " messages waiting");
            }
        } else {
            s.queueLongLogged = false;
        }
    }

    if (s.troubleShown)
        dropQueued(headEnd, s);
    if (s.resendLeft > 0) {
        reportNotSent(headEnd, s);
        return;
    }

    QByteArray message;
    quint64 messageTicket = 0;
    bool ownPoll = false;
    if (!s.queue.empty() && !s.silent) {
        message = std::move(s.queue.front().message);
        messageTicket = s.queue.front().ticket;
        s.queue.pop_front();
        if (static_cast<int>(s.queue.size()) <= SendQueueLongAt)
            s.queueLongLogged = false;
    } else {
        const double now = Clock::secondsSinceMidnight();
        // Midnight has passed: the last poll lies in the future.
        if (static_cast<float>(s.lastPoll) > static_cast<float>(now))
            s.lastPoll = 0;
        s.pollElapsed = now - s.lastPoll;
        const bool pollDue = s.pollElapsed > PollInterval;
        if (!s.silent && WinQueued(headEnd) && (!pollDue || s.winTurnOwed)) {
            const QByteArray m = WINGET(headEnd);
            if (!m.isEmpty())
                message = headedMessage(headEnd, cmd, m);
        }
        if (message.isEmpty() && pollDue) {
            message = headedMessage(headEnd, cmd, PollBody);
            ownPoll = true;
            s.lastPoll = now;
            s.lastPollMs = monotonicMs();
        }
    }
    if (message.isEmpty()) {
        reportNotSent(headEnd, s);
        return;
    }

    noteGivenUp(headEnd, s);
    s.winTurnOwed = ownPoll;
    const bool connected = s.socket && s.socket->isConnected();
    if (connected) {
        s.socket->send(message);
    } else {
        if (!isPoll(message))
            noteNotSent(s, message.mid(4), messageTicket);
        if (s.booted && !s.troubleShown) {
            raiseTrouble(headEnd, s);
            dropQueued(headEnd, s);
        }
    }

    // Consumed whether or not it could be transmitted.
    s.lastSent = message;
    s.resendLeft = ResendCount;
    s.awaitingAck = connected;
    s.inFlightTicket = connected ? messageTicket : 0;
    if (LinkHost *host = linkHost())
        host->restartResendTimer(headEnd);
    reportNotSent(headEnd, s);
}
} // namespace

void SendHS(int headEnd, const QByteArray &body, int cmd)
{
    sendHS(headEnd, body, cmd, 0);
}

quint64 SendHSTracked(int headEnd, const QByteArray &body)
{
    const quint64 ticket = state().nextTicket++;
    state().outcomes.insert(ticket, SendOutcome::Waiting);
    sendHS(headEnd, body, 0, ticket);
    return ticket;
}

SendOutcome takeSendOutcome(quint64 ticket)
{
    const auto it = state().outcomes.constFind(ticket);
    if (it == state().outcomes.cend())
        return SendOutcome::GivenUp;
    const SendOutcome outcome = it.value();
    if (outcome != SendOutcome::Waiting)
        state().outcomes.erase(it);
    return outcome;
}

void HSResendTick(int headEnd)
{
    if (!validHeadEnd(headEnd))
        return;
    HeadEndSend &s = at(headEnd);
    if (s.resendLeft != 0) {
        s.resendLeft -= 1;
        if (s.socket && s.socket->isConnected())
            s.socket->send(s.lastSent);
        // The last re-send: the next message may follow.
        if (s.resendLeft == 0) {
            if (LinkHost *host = linkHost())
                host->sendDue();
        }
        return;
    }
    noteGivenUp(headEnd, s);
    if (LinkHost *host = linkHost())
        host->stopResendTimer(headEnd);
}

bool takeAcknowledgement(int headEnd, const QByteArray &data)
{
    if (!validHeadEnd(headEnd))
        return false;
    HeadEndSend &s = at(headEnd);
    const auto header = [](const QByteArray &m) {
        return QByteArrayView(m.constData(), std::min<qsizetype>(m.size(), 4));
    };
    if (header(data) != header(s.lastSent))
        return false;
    s.resendLeft = 0;
    s.awaitingAck = false;
    s.givingUpSinceMs = -1;
    settle(std::exchange(s.inFlightTicket, 0), SendOutcome::Acknowledged);
    if (std::exchange(s.silent, false))
        WriteLog(serverLabel(headEnd) + " answers again: " + serverAddress(headEnd) +
                 "; what was queued for it goes out");
    if (LinkHost *host = linkHost())
        host->stopResendTimer(headEnd);
    return true;
}

void wakeSendFlush(int headEnd)
{
    LinkHost *host = linkHost();
    if (!host || !validHeadEnd(headEnd))
        return;
    const HeadEndSend &s = at(headEnd);
    // The answer already sent the next message: its acknowledgement wakes the flush.
    if (s.resendLeft > 0)
        return;
    // Nothing queued: the flush still wakes when this head end's next poll is due, not at
    // another head end's wake-up.
    if (!s.queue.empty() || WinQueued(headEnd))
        host->sendDue();
    else
        host->rearmSendFlush(headEnd);
}

bool acknowledgeHS(int headEnd, const QByteArray &data)
{
    if (!takeAcknowledgement(headEnd, data))
        return false;
    wakeSendFlush(headEnd);
    return true;
}

int msUntilSendDue(int headEnd)
{
    if (!validHeadEnd(headEnd))
        return -1;
    const HeadEndSend &s = at(headEnd);
    if (s.resendLeft > 0)
        return -1;
    if (!s.silent && (!s.queue.empty() || WinQueued(headEnd)))
        return 0;
    const qint64 due = s.lastPollMs + PollIntervalMs - monotonicMs();
    return due > 0 ? static_cast<int>(due) : 0;
}

void setHsSocket(int headEnd, HsSocket *socket)
{
    at(headEnd).socket = socket;
}

HsSocket *hsSocket(int headEnd)
{
    return validHeadEnd(headEnd) ? at(headEnd).socket : nullptr;
}

QString hsLocalAddress(int headEnd)
{
    HsSocket *socket = hsSocket(headEnd);
    if (socket) {
        const QString a = socket->localAddress();
        if (!a.isEmpty())
            return a;
    }
    return hostAddressFallback();
}

bool &Booted(int headEnd)
{
    return at(headEnd).booted;
}

qint16 ResendLeft(int headEnd)
{
    return at(headEnd).resendLeft;
}

QByteArray LastSent(int headEnd)
{
    return at(headEnd).lastSent;
}

qint16 HeaderSeq(int headEnd)
{
    return at(headEnd).headerSeq;
}

bool TroubleShown(int headEnd)
{
    return at(headEnd).troubleShown;
}

bool HeadEndLinkDown(int headEnd)
{
    if (!validHeadEnd(headEnd))
        return true;
    const HeadEndSend &s = at(headEnd);
    return s.troubleShown || s.silent || !s.socket || !s.socket->isConnected();
}

bool HeadEndLost(int headEnd)
{
    if (!validHeadEnd(headEnd))
        return false;
    const HeadEndSend &s = at(headEnd);
    return s.troubleShown || s.silent;
}

int sendQueueSize(int headEnd)
{
    return static_cast<int>(at(headEnd).queue.size());
}

bool isWaitingHS(int headEnd, const QByteArray &body)
{
    if (!validHeadEnd(headEnd))
        return false;
    for (const Queued &q : at(headEnd).queue) {
        if (QByteArrayView(q.message).sliced(4) == body)
            return true;
    }
    return false;
}

qint16 TroubleHE()
{
    return state().troubleHE;
}

QByteArray TroubleFlag()
{
    return state().troubleFlag;
}

void resetSendPath()
{
    state() = SendState();
}

} // namespace vek
