#include "sendpath.h"

#include <QElapsedTimer>
#include <array>
#include <deque>

#include "consoleui.h"
#include "hssocket.h"
#include "linkhost.h"
#include "log.h"
#include "platform/clock.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "settings.h"
#include "tcphssocket.h"
#include "winqueue.h"

namespace vek {

namespace {

constexpr qint16 ResendCount = 4;
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

struct HeadEndSend
{
    // Front = the message to transmit next; the rest wait in order. Unbounded, so a
    // burst of commands never loses one.
    std::deque<QByteArray> queue;
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
    bool queueLongLogged = false;
    HsSocket *socket = nullptr;
};

struct SendState
{
    std::array<HeadEndSend, MaxHeadEnds + 1> he;
    qint16 troubleHE = 0;
    QByteArray troubleFlag;
};

SendState &state()
{
    static SendState s;
    return s;
}

bool validHeadEnd(int headEnd)
{
    return headEnd >= 1 && headEnd <= MaxHeadEnds;
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

// A message whose re-sends are used up without an acknowledgement is given up; say so,
// except for polls, which the next poll replaces anyway.
void noteGivenUp(int headEnd, HeadEndSend &s)
{
    if (!s.awaitingAck || s.resendLeft != 0)
        return;
    s.awaitingAck = false;
    if (isPoll(s.lastSent))
        return;
    WriteLog("SendHS gave up on a message to head end" + Str(qint64(headEnd)) +
             " after 4 re-sends: " + printableBytes(s.lastSent));
}

void raiseTrouble(int headEnd, HeadEndSend &s)
{
    if (s.socket)
        s.socket->close();
    s.troubleShown = true;
    state().troubleHE = static_cast<qint16>(headEnd);
    state().troubleFlag = "1";
    if (LinkHost *host = linkHost()) {
        if (ConsoleUi *ui = host->ui())
            ui->showTroubleWindow(headEnd);
    }
}

} // namespace

QByteArray printableBytes(const QByteArray &bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 32 && code < 127)
            out += c;
        else
            out += '<' + QByteArray::number(code) + '>';
    }
    return out;
}

QByteArray BuildHSHeader(int headEnd, int cmd)
{
    HeadEndSend &s = at(headEnd);
    const qint16 listNo = settings().HEListNo[headEnd];
    // "1" and the command's digits, without a blank between them.
    QByteArray h;
    h.reserve(8);
    h += '1';
    h += QByteArray::number(cmd);
    if (listNo < 0 || listNo > 255) {
        // The list number cannot travel in one byte; the header keeps its length.
        WriteLog("Error BuildHSHeader)" + Str(qint64(ErrorKind::InvalidCall)) + ' ' +
                 errorDescription(ErrorKind::InvalidCall));
        h += '\0';
    } else {
        h += static_cast<char>(static_cast<unsigned char>(listNo));
    }
    s.headerSeq += 1;
    if (s.headerSeq > 9)
        s.headerSeq = 0;
    h += static_cast<char>('0' + s.headerSeq);
    return h;
}

void SendHS(int headEnd, const QByteArray &body, int cmd)
{
    if (!validHeadEnd(headEnd)) {
        WriteLog("Error SendHS)" + Str(qint64(ErrorKind::SubscriptOutOfRange)) + ' ' +
                 errorDescription(ErrorKind::SubscriptOutOfRange));
        return;
    }
    HeadEndSend &s = at(headEnd);

    if (!body.isEmpty()) {
        s.queue.push_back(BuildHSHeader(headEnd, cmd) + body);
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

    if (s.resendLeft > 0)
        return;

    QByteArray message;
    if (!s.queue.empty()) {
        message = std::move(s.queue.front());
        s.queue.pop_front();
        if (static_cast<int>(s.queue.size()) <= SendQueueLongAt)
            s.queueLongLogged = false;
    } else {
        const double now = Clock::secondsSinceMidnight();
        // Midnight has passed: the last poll lies in the future.
        if (static_cast<float>(s.lastPoll) > static_cast<float>(now))
            s.lastPoll = 0;
        s.pollElapsed = now - s.lastPoll;
        if (s.pollElapsed > PollInterval) {
            message = BuildHSHeader(headEnd, cmd) + PollBody;
            s.lastPoll = now;
            s.lastPollMs = monotonicMs();
        } else if (WinQueued(headEnd)) {
            const QByteArray m = WINGET(headEnd);
            if (!m.isEmpty())
                message = BuildHSHeader(headEnd, cmd) + m;
        }
    }
    if (message.isEmpty())
        return;

    noteGivenUp(headEnd, s);
    if (s.socket && s.socket->isConnected())
        s.socket->send(message);
    else if (s.booted && !s.troubleShown)
        raiseTrouble(headEnd, s);

    // Consumed whether or not it could be transmitted.
    s.lastSent = message;
    s.resendLeft = ResendCount;
    s.awaitingAck = true;
    if (LinkHost *host = linkHost())
        host->restartResendTimer(headEnd);
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

bool acknowledgeHS(int headEnd, const QByteArray &data)
{
    if (!validHeadEnd(headEnd))
        return false;
    HeadEndSend &s = at(headEnd);
    if (data.left(4) != s.lastSent.left(4))
        return false;
    s.resendLeft = 0;
    s.awaitingAck = false;
    if (LinkHost *host = linkHost()) {
        host->stopResendTimer(headEnd);
        if (!s.queue.empty() || WinQueued(headEnd))
            host->sendDue();
    }
    return true;
}

int msUntilSendDue(int headEnd)
{
    if (!validHeadEnd(headEnd))
        return -1;
    const HeadEndSend &s = at(headEnd);
    if (s.resendLeft > 0)
        return -1;
    if (!s.queue.empty() || WinQueued(headEnd))
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
    return s.troubleShown || !s.socket || !s.socket->isConnected();
}

double LastPoll(int headEnd)
{
    return at(headEnd).lastPoll;
}

int sendQueueSize(int headEnd)
{
    return static_cast<int>(at(headEnd).queue.size());
}

bool isWaitingHS(int headEnd, const QByteArray &body)
{
    if (!validHeadEnd(headEnd))
        return false;
    for (const QByteArray &m : at(headEnd).queue) {
        if (QByteArrayView(m).sliced(4) == body)
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
