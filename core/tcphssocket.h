#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include "hssocket.h"

namespace vek {

// The real connection: a non-blocking TCP socket whose every read is one message. It
// reads and writes its descriptor itself, so a message costs one read and one send: a
// socket class of the runtime asks the kernel how much is waiting before every read.
class TcpHsSocket : public QObject, public HsSocket
{
    Q_OBJECT
public:
    explicit TcpHsSocket(QObject *parent = nullptr);
    ~TcpHsSocket() override;

    void connectToHost(const QByteArray &host, quint16 port) override;
    bool isConnected() const override { return m_state == State::Connected; }
    void send(const QByteArray &data) override;
    void close() override;
    QString localAddress() const override;
    QByteArray downCause() const override { return m_cause; }
    QDateTime downSince() const override { return m_since; }

private:
    enum class State { Unconnected, LookingUp, Connecting, Connected };

    void connectNext(const QByteArray &cause);
    void connectFinished();
    void readAvailable();
    void writeUnsent();
    void fail(const QByteArray &cause);
    QSocketNotifier *notifier(QSocketNotifier::Type type);
    void closeDescriptor();
    void release();

    State m_state = State::Unconnected;
    int m_fd = -1;
    quint16 m_port = 0;
    // Tells a host lookup's answer from an attempt given up since.
    int m_attempt = 0;
    QList<QHostAddress> m_addresses;
    // Children of this socket while its descriptor is open.
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QTimer m_connectTimeout;
    // What the kernel did not take yet, in order.
    QByteArray m_unsent;
    QByteArray m_cause;
    QDateTime m_since;
};

// The machine's own address when a socket has none: its first non-loopback IPv4
// address, else the loopback address.
QString hostAddressFallback();

} // namespace vek
