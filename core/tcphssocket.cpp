#include "tcphssocket.h"

#include <QHostAddress>
#include <QNetworkInterface>

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
    m_socket.write(data);
    m_socket.flush();
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
