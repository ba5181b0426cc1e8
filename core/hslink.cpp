#include "hslink.h"

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
constexpr int BootMs = 5000;
constexpr int DashBoardMs = 2000;
constexpr int UpdateMs = 1000;
constexpr int DefaultRetryMs = 70;

bool validHeadEnd(int headEnd)
{
    return headEnd >= 1 && headEnd <= MaxHeadEnds;
}
} // namespace

HsLink::HsLink(ConsoleUi *ui, QObject *parent) : QObject(parent), m_ui(ui)
{
    m_timeBuffer.setInterval(BufferMs);
    connect(&m_timeBuffer, &QTimer::timeout, this, &HsLink::timeBuffer_Timer);
    m_timeBoot.setInterval(BootMs);
    m_timeBoot.setSingleShot(true);
    connect(&m_timeBoot, &QTimer::timeout, this, &HsLink::timeBoot_Timer);
    m_timeDashBoard.setInterval(DashBoardMs);
    m_timeDashBoard.setSingleShot(true);
    connect(&m_timeDashBoard, &QTimer::timeout, this, &HsLink::timeDashBoard_Timer);
    m_timeUPDATE.setInterval(UpdateMs);
    m_timeUPDATE.setSingleShot(true);
    connect(&m_timeUPDATE, &QTimer::timeout, this, &HsLink::timeUPDATE_Timer);
    for (int he = 1; he < HeadEndRows; ++he) {
        QTimer &t = m_timeHSCTS[static_cast<size_t>(he)];
        t.setInterval(DefaultRetryMs);
        connect(&t, &QTimer::timeout, this, [this, he] { timeHSCTS_Timer(he); });
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
    m_timeBuffer.start();
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
    for (int he = 1; he < HeadEndRows; ++he) {
        if (settings().HEOnLine[he])
            SendHS(he, QByteArray(), 0);
    }
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
    if (validHeadEnd(headEnd))
        m_timeHSCTS[static_cast<size_t>(headEnd)].start();
}

void HsLink::stopResendTimer(int headEnd)
{
    if (validHeadEnd(headEnd))
        m_timeHSCTS[static_cast<size_t>(headEnd)].stop();
}

void HsLink::restartUpdateTimer()
{
    m_timeUPDATE.start();
}

void HsLink::restartDashBoardTimer()
{
    m_timeDashBoard.start();
}

void HsLink::startEventWait(int headEnd)
{
    if (validHeadEnd(headEnd))
        m_timeEventWait[static_cast<size_t>(headEnd)].start();
}

} // namespace vek
