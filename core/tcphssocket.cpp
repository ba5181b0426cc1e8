#include "tcphssocket.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <cerrno>
#include <sys/socket.h>

#include "platform/clock.h"

namespace vek {

TcpHsSocket::TcpHsSocket(QObject *parent) : QObject(parent)
{
    connect(&m_socket, &QTcpSocket::readyRead, this, &TcpHsSocket::readAvailable);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &TcpHsSocket::noteError);
}

void TcpHsSocket::connectToHost(const QByteArray &host, quint16 port)
{
    m_cause.clear();
    m_since = Clock::localNow();
    m_socket.connectToHost(QString::fromLatin1(host), port);
}

void TcpHsSocket::noteError(QAbstractSocket::SocketError error)
{
    // The first cause counts: closing afterwards reports errors of its own.
    if (!m_cause.isEmpty())
        return;
    m_since = Clock::localNow();
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        m_cause = "connection refused";
        break;
    case QAbstractSocket::RemoteHostClosedError:
        m_cause = "closed by the peer";
        break;
    case QAbstractSocket::HostNotFoundError:
        m_cause = "host not found";
        break;
    case QAbstractSocket::SocketTimeoutError:
        m_cause = "no answer to the connection request";
        break;
    default:
        m_cause = m_socket.errorString().toLocal8Bit();
        break;
    }
}

bool TcpHsSocket::isConnected() const
{
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

void TcpHsSocket::send(const QByteArray &data)
{
    // Straight to the descriptor while nothing waits in the socket's own buffer: its write
    // arms and disarms a write notifier around every message, and each of those wakes the
    // event loop once more. What the kernel does not take now goes through the buffer.
    qsizetype sent = 0;
    if (m_socket.state() == QAbstractSocket::ConnectedState && m_socket.bytesToWrite() == 0) {
        const qintptr fd = m_socket.socketDescriptor();
        ssize_t n;
        do {
            n = ::send(int(fd), data.constData(), size_t(data.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
        } while (n < 0 && errno == EINTR);
        // On an error the socket's own write below meets it too and reports it as usual.
        sent = n > 0 ? qsizetype(n) : 0;
    }
    if (sent < data.size()) {
        m_socket.write(data.constData() + sent, data.size() - sent);
        m_socket.flush();
    }
}

void TcpHsSocket::close()
{
    m_socket.abort();
}

QString TcpHsSocket::localAddress() const
{
    const QHostAddress a = m_socket.localAddress();
    if (a.isNull())
        return hostAddressFallback();
    bool ok = false;
    const QHostAddress v4(a.toIPv4Address(&ok));
    return ok ? v4.toString() : a.toString();
}

void TcpHsSocket::readAvailable()
{
    // Exactly what is there: readAll() of a socket allocates a whole read chunk per call.
    const QByteArray data = m_socket.read(m_socket.bytesAvailable());
    if (!data.isEmpty())
        deliver(data);
}

QString hostAddressFallback()
{
    for (const QHostAddress &a : QNetworkInterface::allAddresses()) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
            return a.toString();
    }
    return QStringLiteral("127.0.0.1");
}

} // namespace vek
