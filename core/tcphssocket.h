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

private:
    void readAvailable();

    QTcpSocket m_socket;
};

// The machine's own address when a socket has none: its first non-loopback IPv4
// address, else the loopback address.
QString hostAddressFallback();

} // namespace vek
