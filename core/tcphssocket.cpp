#include "tcphssocket.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <cerrno>
#include <sys/socket.h>

namespace vek {

TcpHsSocket::TcpHsSocket(QObject *parent) : QObject(parent)
{
    connect(&m_socket, &QTcpSocket::readyRead, this, &TcpHsSocket::readAvailable);
}

void TcpHsSocket::connectToHost(const QByteArray &host, quint16 port)
{
    m_socket.connectToHost(QString::fromLatin1(host), port);
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
