#include "hslink.h"

#include <algorithm>

#include "hssocket.h"
#include "linkactivity.h"
#include "log.h"
#include "platform/failure.h"
#include "platform/numeric.h"
#include "platform/text.h"
#include "receivepath.h"
#include "settings.h"
#include "tcphssocket.h"

namespace vek {

namespace {
constexpr int BufferMs = 10;
// The flush never sleeps longer than a poll interval, so a head end put on line is served.
constexpr int LongestFlushWaitMs = 250;
constexpr int BootMs = 5000;
constexpr int DashBoardMs = 2000;
constexpr int UpdateMs = 1000;
constexpr int DefaultRetryMs = 70;

} // namespace

HsLink::HsLink(ConsoleUi *ui, QObject *parent) : QObject(parent), m_ui(ui)
{
    // One-shot, armed for the next poll or message that may be due rather than ticking
    // every 10 ms for nothing; precise, so a poll is not sent early and then re-tried.
    m_timeBuffer.setInterval(BufferMs);
    m_timeBuffer.setSingleShot(true);
    m_timeBuffer.setTimerType(Qt::PreciseTimer);
    connect(&m_timeBuffer, &QTimer::timeout, this, &HsLink::timeBuffer_Timer);
    m_timeBoot.setInterval(BootMs);
    m_timeBoot.setSingleShot(true);
    connect(&m_timeBoot, &QTimer::timeout, this, &HsLink::timeBoot_Timer);
    m_timeDashBoard.setInterval(DashBoardMs);
    m_timeDashBoard.setSingleShot(true);
    connect(&m_timeDashBoard, &QTimer::timeout, this, [this] {
        if (!waitOut(m_timeDashBoard, m_dashBoardDue))
            timeDashBoard_Timer();
    });
    m_timeUPDATE.setInterval(UpdateMs);
    m_timeUPDATE.setSingleShot(true);
    connect(&m_timeUPDATE, &QTimer::timeout, this, [this] {
        if (!waitOut(m_timeUPDATE, m_updateDue))
            timeUPDATE_Timer();
    });
    m_since.start();
    for (int he = 1; he < HeadEndRows; ++he) {
        QTimer &t = m_timeHSCTS[static_cast<size_t>(he)];
        t.setInterval(DefaultRetryMs);
        m_retryMs[static_cast<size_t>(he)] = DefaultRetryMs;
        m_resendDue[static_cast<size_t>(he)] = -1;
        connect(&t, &QTimer::timeout, this, [this, he] { resendTimerFired(he); });
        QTimer &w = m_timeEventWait[static_cast<size_t>(he)];
        w.setInterval(EventWaitMs);
        w.setSingleShot(true);
        connect(&w, &QTimer::timeout, this, [this, he] { timeEventWait_Timer(he); });
    }
    setLinkHost(this);
}

HsLink::~HsLink()
{
    if (linkHost() == this)
        setLinkHost(nullptr);
    for (int he = 1; he < HeadEndRows; ++he) {
        if (hsSocket(he) == m_sockets[static_cast<size_t>(he)].get())
            setHsSocket(he, nullptr);
    }
}

void HsLink::setSocketFactory(SocketFactory factory)
{
    m_factory = std::move(factory);
}

void HsLink::setRetryIntervals()
{
    for (int he = 1; he < HeadEndRows; ++he) {
        int ms = settings().HERetryMS[he];
        if (ms <= 0) {
            WriteLog("Retry_MS of head end" + Str(qint64(he)) + " is" + Str(qint64(ms)) +
                     "; 70 ms used");
            ms = DefaultRetryMs;
        }
        m_timeHSCTS[static_cast<size_t>(he)].setInterval(ms);
        m_retryMs[static_cast<size_t>(he)] = ms;
    }
}

void HsLink::connectHeadEnds(bool useBackupServers)
{
    const Settings &s = settings();
    for (int he = 1; he < HeadEndRows; ++he) {
        if (!s.HEOnLine[he])
            continue;
        const QByteArray host = useBackupServers ? s.HEBackupIP[he] : s.HEMainIP[he];
        const qint32 port = toInt32(leadingValue(s.HEPort[he]));
        if (port < 0 || port > 65535)
            throw Failure(ErrorKind::InvalidCall);
        std::unique_ptr<HsSocket> socket =
            m_factory ? m_factory(he) : std::make_unique<TcpHsSocket>();
        socket->setDataHandler([he](const QByteArray &data) {
            noteArrival(he);
            wsHS_DataArrival(he, data);
        });
        setHsSocket(he, socket.get());
        socket->connectToHost(host, static_cast<quint16>(port));
        m_sockets[static_cast<size_t>(he)] = std::move(socket);
    }
}

void HsLink::start()
{
    m_flushing = true;
    m_timeBuffer.start(BufferMs);
    m_timeBoot.start();
}

QString HsLink::localAddress(int headEnd) const
{
    return hsLocalAddress(headEnd);
}

HsSocket *HsLink::socket(int headEnd) const
{
    return validHeadEnd(headEnd) ? m_sockets[static_cast<size_t>(headEnd)].get() : nullptr;
}

QTimer &HsLink::timeHSCTS(int headEnd)
{
    if (!validHeadEnd(headEnd))
        throw Failure(ErrorKind::SubscriptOutOfRange);
    return m_timeHSCTS[static_cast<size_t>(headEnd)];
}

void HsLink::timeBuffer_Timer()
{
    m_inFlush = true;
    for (int he = 1; he < HeadEndRows; ++he) {
        if (settings().HEOnLine[he])
            SendHS(he, QByteArray(), 0);
    }
    m_inFlush = false;
    armSendFlush();
}

void HsLink::armSendFlush()
{
    if (!m_flushing)
        return;
    std::array<int, HeadEndRows> due{};
    int first = LongestFlushWaitMs;
    for (int he = 1; he < HeadEndRows; ++he) {
        due[size_t(he)] = settings().HEOnLine[he] ? msUntilSendDue(he) : -1;
        if (due[size_t(he)] >= 0)
            first = std::min(first, due[size_t(he)]);
    }
    // Due now (and not sent by this flush): try again after one beat.
    if (first == 0) {
        m_timeBuffer.start(BufferMs);
        return;
    }
    // Polls due within one beat of the first go out together: none goes out more than a beat
    // after it is due, and the head ends share one wake-up.
    int wait = first;
    for (const int d : due) {
        if (d > wait && d < first + BufferMs)
            wait = d;
    }
    m_timeBuffer.start(wait);
}

void HsLink::sendDue()
{
    if (m_flushing && (!m_timeBuffer.isActive() || m_timeBuffer.remainingTime() > BufferMs))
        m_timeBuffer.start(BufferMs);
}

void HsLink::rearmSendFlush(int headEnd)
{
    // Not while the flush itself runs: it arms the timer when it is done.
    if (!m_flushing || m_inFlush)
        return;
    // A flush that wakes before this head end's next message is due arms itself again for
    // it then; only one that would sleep past it is re-armed now.
    const int due = msUntilSendDue(headEnd);
    if (due < 0 || (m_timeBuffer.isActive() && m_timeBuffer.remainingTime() <= due))
        return;
    armSendFlush();
}

void HsLink::timeHSCTS_Timer(int headEnd)
{
    HSResendTick(headEnd);
}

void HsLink::timeBoot_Timer()
{
    for (int he = 1; he < HeadEndRows; ++he)
        Booted(he) = true;
    m_timeBoot.stop();
}

void HsLink::timeDashBoard_Timer()
{
    requestPendingDashBoards();
    m_timeDashBoard.stop();
}

void HsLink::timeUPDATE_Timer()
{
    refreshPendingHeadEnds();
    m_timeUPDATE.stop();
}

void HsLink::timeEventWait_Timer(int headEnd)
{
    flushPartialEvent(headEnd);
}

void HsLink::restartResendTimer(int headEnd)
{
    if (!validHeadEnd(headEnd))
        return;
    const size_t he = static_cast<size_t>(headEnd);
    m_resendDue[he] = m_since.elapsed() + m_retryMs[he];
    QTimer &t = m_timeHSCTS[he];
    if (!t.isActive())
        t.start(m_retryMs[he]);
}

void HsLink::stopResendTimer(int headEnd)
{
    if (validHeadEnd(headEnd))
        m_resendDue[static_cast<size_t>(headEnd)] = -1;
}

bool HsLink::resendTimed(int headEnd) const
{
    return validHeadEnd(headEnd) && m_resendDue[static_cast<size_t>(headEnd)] >= 0;
}

void HsLink::resendTimerFired(int headEnd)
{
    const size_t he = static_cast<size_t>(headEnd);
    QTimer &t = m_timeHSCTS[he];
    if (m_resendDue[he] < 0) {
        t.stop();
        return;
    }
    const qint64 left = m_resendDue[he] - m_since.elapsed();
    if (left > 0) {
        t.start(int(left));
        return;
    }
    m_resendDue[he] = m_since.elapsed() + m_retryMs[he];
    if (t.interval() != m_retryMs[he])
        t.start(m_retryMs[he]);
    timeHSCTS_Timer(headEnd);
}

void HsLink::restartLazily(QTimer &timer, qint64 &due, int ms)
{
    due = m_since.elapsed() + ms;
    if (!timer.isActive())
        timer.start(ms);
}

bool HsLink::waitOut(QTimer &timer, qint64 due)
{
    const qint64 left = due - m_since.elapsed();
    if (left <= 0)
        return false;
    timer.start(int(left));
    return true;
}

// Every event of a burst restarts these: a restart must not cost a timer start.
void HsLink::restartUpdateTimer()
{
    restartLazily(m_timeUPDATE, m_updateDue, UpdateMs);
}

void HsLink::restartDashBoardTimer()
{
    restartLazily(m_timeDashBoard, m_dashBoardDue, DashBoardMs);
}

void HsLink::startEventWait(int headEnd)
{
    if (validHeadEnd(headEnd))
        m_timeEventWait[static_cast<size_t>(headEnd)].start();
}

} // namespace vek
