#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QTime>
#include <QUdpSocket>
#include <optional>

namespace vek {

// A time server for tests and demos: every datagram holding the single byte 14 is
// answered to its sender with "r" and the time of day "hh:mm:ss". The time is the
// current one (from vek::Clock), a fixed one or the current one skewed by some seconds;
// a raw answer replaces the whole datagram, to send malformed answers.
class TimeServerSim : public QObject
{
    Q_OBJECT
public:
    static constexpr char RequestByte = 14;

    explicit TimeServerSim(QObject *parent = nullptr);

    // Binds the server's socket; false (see errorString) when that fails. Port 0 picks a
    // free port.
    bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const { return m_socket.localPort(); }
    QHostAddress address() const { return m_socket.localAddress(); }
    QString errorString() const { return m_socket.errorString(); }

    void answerCurrentTime();
    void answerFixedTime(const QTime &time);
    void answerSkewed(int seconds);
    // Sends this datagram as it is in place of a time answer.
    void answerRaw(const QByteArray &datagram);

    // The datagram that would answer a request now.
    QByteArray answer() const;
    // Sends the answer unasked; false when the datagram could not be sent.
    bool sendAnswer(const QHostAddress &to, quint16 port);

    int requests() const { return m_requests; }
    int ignored() const { return m_ignored; }

signals:
    void requestReceived(const QHostAddress &from, quint16 port);

private:
    void readDatagrams();

    QUdpSocket m_socket;
    std::optional<QTime> m_fixed;
    int m_skewSeconds = 0;
    std::optional<QByteArray> m_raw;
    int m_requests = 0;
    int m_ignored = 0;
};

} // namespace vek
