#pragma once

#include <QObject>
#include <QTcpSocket>

#include "hssocket.h"

namespace vek {

// The real connection: a QTcpSocket whose every read is one message.
class TcpHsSocket : public QObject, public HsSocket
{
    Q_OBJECT
public:
    explicit TcpHsSocket(QObject *parent = nullptr);

    void connectToHost(const QByteArray &host, quint16 port) override;
    bool isConnected() const override;
    void send(const QByteArray &data) override;
    void close() override;
    QString localAddress() const override;
    QByteArray downCause() const override { return m_cause; }
    QDateTime downSince() const override { return m_since; }

private:
    void readAvailable();
    void noteError(QAbstractSocket::SocketError error);

    QTcpSocket m_socket;
    QByteArray m_cause;
    QDateTime m_since;
};

// The machine's own address when a socket has none: its first non-loopback IPv4
// address, else the loopback address.
QString hostAddressFallback();

} // namespace vek
