#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <deque>

// A loopback TCP proxy that holds every chunk it reads for a while before passing it on,
// each way: a server far away or on a busy line.
class DelayProxy : public QObject
{
public:
    DelayProxy(quint16 targetPort, int delayMs) : m_target(targetPort), m_delayMs(delayMs)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *client = m_server.nextPendingConnection()) {
                auto *server = new QTcpSocket(this);
                server->connectToHost(QHostAddress::LocalHost, m_target);
                pipe(client, server);
                pipe(server, client);
            }
        });
        m_clock.start();
        m_drain.setTimerType(Qt::PreciseTimer);
        m_drain.setInterval(1);
        connect(&m_drain, &QTimer::timeout, this, [this] { drain(); });
        m_drain.start();
    }
    quint16 port() const { return m_server.serverPort(); }

private:
    struct Chunk
    {
        qint64 dueMs;
        QPointer<QTcpSocket> to;
        QByteArray bytes;
    };

    void pipe(QTcpSocket *from, QTcpSocket *to)
    {
        connect(from, &QTcpSocket::readyRead, this, [this, from, to] {
            m_held.push_back({m_clock.elapsed() + m_delayMs, to, from->readAll()});
        });
        connect(from, &QTcpSocket::disconnected, to, &QTcpSocket::disconnectFromHost);
    }

    void drain()
    {
        while (!m_held.empty() && m_held.front().dueMs <= m_clock.elapsed()) {
            Chunk c = std::move(m_held.front());
            m_held.pop_front();
            // Bytes for a server not connected yet wait in its buffer until it is.
            if (c.to)
                c.to->write(c.bytes);
        }
    }

    quint16 m_target;
    int m_delayMs;
    QTcpServer m_server;
    QElapsedTimer m_clock;
    QTimer m_drain;
    std::deque<Chunk> m_held;
};
