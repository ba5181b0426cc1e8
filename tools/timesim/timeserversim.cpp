#include "timeserversim.h"

#include <QNetworkDatagram>

#include "platform/clock.h"

namespace vek {

TimeServerSim::TimeServerSim(QObject *parent) : QObject(parent)
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &TimeServerSim::readDatagrams);
}

bool TimeServerSim::listen(const QHostAddress &address, quint16 port)
{
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        m_socket.close();
    return m_socket.bind(address, port);
}

void TimeServerSim::answerCurrentTime()
{
    m_fixed.reset();
    m_skewSeconds = 0;
    m_raw.reset();
}

void TimeServerSim::answerFixedTime(const QTime &time)
{
    answerCurrentTime();
    m_fixed = time;
}

void TimeServerSim::answerSkewed(int seconds)
{
    answerCurrentTime();
    m_skewSeconds = seconds;
}

void TimeServerSim::answerRaw(const QByteArray &datagram)
{
    answerCurrentTime();
    m_raw = datagram;
}

QByteArray TimeServerSim::answer() const
{
    if (m_raw)
        return *m_raw;
    const QTime t = m_fixed ? *m_fixed : Clock::localNow().time().addSecs(m_skewSeconds);
    return 'r' + t.toString(QStringLiteral("HH:mm:ss")).toLatin1();
}

bool TimeServerSim::sendAnswer(const QHostAddress &to, quint16 port)
{
    return m_socket.writeDatagram(answer(), to, port) >= 0;
}

void TimeServerSim::readDatagrams()
{
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram d = m_socket.receiveDatagram();
        if (d.data() != QByteArray(1, RequestByte)) {
            ++m_ignored;
            continue;
        }
        ++m_requests;
        const QHostAddress from = d.senderAddress();
        const quint16 fromPort = static_cast<quint16>(d.senderPort());
        sendAnswer(from, fromPort);
        emit requestReceived(from, fromPort);
    }
}

} // namespace vek
