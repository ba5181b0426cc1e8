#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHostAddress>
#include <QObject>
#include <QUdpSocket>

namespace vek {

// The time server's time shifted by the offset ("+hh:mm:ss" or "-hh:mm:ss"), wrapped into
// one day, as "hh:mm:ss"; "" when either text is not exactly of that form (hours below
// 24, minutes and seconds below 60).
QByteArray funTIMECALC(const QByteArray &t, const QByteArray &offset);

// The local date and time to set for a new time of day: the day that puts it within 12
// hours of now, so a correction across midnight never moves the clock by a day.
QDateTime nearestDateTime(const QDateTime &localNow, const QTime &timeOfDay);

// The time-server link: one UDP socket, a request every 20th tick, the PC clock set from
// the answers.
class TimeLink : public QObject
{
    Q_OBJECT
public:
    explicit TimeLink(QObject *parent = nullptr);

    // Start-up: remote host and port from the time settings. Throws a Failure when the
    // port is not a number a socket can take.
    void configure();
    // Start-up: binds the local port (time port + 1) on the chosen network card. Throws
    // a Failure numbered 10049 when that address is not available.
    void bind();
    // One tick of the 5-second time timer.
    void tick() { timeTime_Timer(); }

    void timeTime_Timer();
    // One datagram from the socket.
    void winTime_DataArrival(const QByteArray &datagram, const QHostAddress &sender);

    qint16 timeTick() const { return m_timeTick; }
    bool isBound() const { return m_winTime.state() == QAbstractSocket::BoundState; }
    quint16 localPort() const { return m_winTime.localPort(); }
    const QByteArray &remoteHost() const { return m_remoteHost; }
    qint32 remotePort() const { return m_remotePort; }

private:
    void readDatagrams();
    void sendRequest();

    QUdpSocket m_winTime;
    QByteArray m_remoteHost;
    qint32 m_remotePort = 0;
    qint16 m_timeTick = 0;
};

} // namespace vek
