#include "timelink.h"

#include <QNetworkDatagram>

#include "log.h"
#include "platform/clock.h"
#include "platform/clocksetter.h"
#include "platform/failure.h"
#include "platform/numeric.h"
#include "platform/text.h"
#include "settings.h"

namespace vek {

namespace {
constexpr int RequestEveryTicks = 20;
constexpr char RequestByte = 14;
constexpr int SecondsPerDay = 86400;
// Datagrams read in one turn of the event loop; a flood waits for the next turn, so the
// head-end links and timers keep running.
constexpr int DatagramsPerTurn = 64;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Exactly "hh:mm:ss" with hours below 24 and minutes and seconds below 60.
bool clockSeconds(QByteArrayView text, int &seconds)
{
    if (text.size() != 8 || text[2] != ':' || text[5] != ':')
        return false;
    for (int i : {0, 1, 3, 4, 6, 7})
        if (!isDigit(text[i]))
            return false;
    auto two = [&](int at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); };
    const int h = two(0), m = two(3), s = two(6);
    if (h > 23 || m > 59 || s > 59)
        return false;
    seconds = h * 3600 + m * 60 + s;
    return true;
}

// A datagram as it may appear in a log line: at most 40 characters, controls as "?".
QByteArray printable(const QByteArray &data)
{
    QByteArray out = data.left(40);
    for (char &c : out)
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) == 127)
            c = '?';
    return data.size() > 40 ? out + "..." : out;
}

Failure socketFailure(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::SocketAddressNotAvailableError:
        return Failure(10049, "Address not available");
    case QAbstractSocket::AddressInUseError:
        return Failure(10048, "Address already in use");
    case QAbstractSocket::SocketAccessError:
        return Failure(10013, "Permission denied");
    case QAbstractSocket::NetworkError:
        return Failure(10050, "Network is down");
    default:
        return Failure(ErrorKind::InvalidCall);
    }
}

qint32 portNumber(double value)
{
    const qint32 port = toInt32(value);
    if (port < 0 || port > 65535)
        throw Failure(ErrorKind::InvalidCall);
    return port;
}
} // namespace

QByteArray funTIMECALC(const QByteArray &t, const QByteArray &offset)
{
    int server = 0;
    int shift = 0;
    if (t.size() != 8 || offset.size() != 9)
        return {};
    if (!clockSeconds(t, server) || !clockSeconds(QByteArrayView(offset).sliced(1), shift))
        return {};
    int r = 0;
    if (offset[0] == '-') {
        r = server - shift;
        if (server < shift)
            r += SecondsPerDay;
    } else if (offset[0] == '+') {
        r = server + shift;
        if (r >= SecondsPerDay)
            r -= SecondsPerDay;
    } else {
        return {};
    }
    return zeroPadded(r / 3600, 2) + ':' + zeroPadded(r % 3600 / 60, 2) + ':' +
           zeroPadded(r % 60, 2);
}

QDateTime nearestDateTime(const QDateTime &localNow, const QTime &timeOfDay)
{
    // Wall-clock arithmetic, so a daylight-saving change of the PC's zone does not count.
    const QDateTime now(localNow.date(), localNow.time(), Qt::UTC);
    QDate best = localNow.date();
    qint64 bestDistance = -1;
    for (int days : {0, -1, 1}) {
        const QDate day = localNow.date().addDays(days);
        const qint64 distance = qAbs(now.secsTo(QDateTime(day, timeOfDay, Qt::UTC)));
        if (bestDistance < 0 || distance < bestDistance) {
            best = day;
            bestDistance = distance;
        }
    }
    return QDateTime(best, timeOfDay);
}

TimeLink::TimeLink(QObject *parent) : QObject(parent)
{
    connect(&m_winTime, &QUdpSocket::readyRead, this, &TimeLink::readDatagrams);
    // One line per answer would let a flood of valid answers fill the disk.
    ClockSetter::setDryRunSink(
        [](const QByteArray &line) { WriteLogLimited("clock dry run", line); });
}

void TimeLink::configure()
{
    m_remoteHost = trimBlanks(settings().TimeServerIP);
    m_remotePort = portNumber(leadingValue(settings().TimeServerPort));
}

void TimeLink::bind()
{
    const Settings &s = settings();
    const qint32 port = portNumber(leadingValue(s.TimeServerPort) + 1);
    const QByteArray nic = trimBlanks(s.TimeNic == 1 ? s.BroadcastNic : s.HouseNic);
    QHostAddress address;
    if (!address.setAddress(fromBytes(nic)))
        throw Failure(10049, "Address not available");
    if (m_winTime.state() != QAbstractSocket::UnconnectedState)
        m_winTime.close();
    if (!m_winTime.bind(address, static_cast<quint16>(port)))
        throw socketFailure(m_winTime.error());
}

void TimeLink::timeTime_Timer()
{
    try {
        if (!settings().UseQRNTime)
            return;
        ++m_timeTick;
        if (m_timeTick >= RequestEveryTicks) {
            m_timeTick = 0;
            sendRequest();
        }
    } catch (const Failure &f) {
        logError("Error timeTime_Timer)", f);
    }
}

void TimeLink::sendRequest()
{
    QHostAddress host;
    if (!host.setAddress(fromBytes(m_remoteHost)) || m_remotePort <= 0)
        throw Failure(ErrorKind::InvalidCall);
    if (m_winTime.writeDatagram(QByteArray(1, RequestByte), host,
                                static_cast<quint16>(m_remotePort)) < 0)
        throw socketFailure(m_winTime.error());
}

void TimeLink::readDatagrams()
{
    // The rest of a flood stays in the socket; each read re-arms its notifier, so the
    // next turn of the event loop brings another batch.
    for (int n = 0; n < DatagramsPerTurn && m_winTime.hasPendingDatagrams(); ++n) {
        const QNetworkDatagram d = m_winTime.receiveDatagram();
        winTime_DataArrival(d.data(), d.senderAddress());
    }
}

void TimeLink::winTime_DataArrival(const QByteArray &datagram, const QHostAddress &sender)
{
    try {
        const Settings &s = settings();
        if (!s.UseQRNTime)
            return;
        // Only the configured time server may set the clock.
        QHostAddress server;
        if (!server.setAddress(fromBytes(trimBlanks(s.TimeServerIP))) ||
            !server.isEqual(sender, QHostAddress::TolerantConversion)) {
            WriteLogLimited("time datagram from elsewhere",
                            "winTime_DataArrival) ignored a datagram from " +
                                sender.toString().toLatin1() + ", not the time server");
            return;
        }
        if (!datagram.startsWith('r')) {
            WriteLogLimited("time datagram no answer",
                            "winTime_DataArrival) ignored a datagram that is no time answer: " +
                                printable(datagram));
            return;
        }
        const QByteArray v = funTIMECALC(trimBlanks(datagram.mid(1)), s.TimeOffset);
        if (v.isEmpty()) {
            WriteLogLimited("time answer malformed",
                            "winTime_DataArrival) ignored a malformed time answer or offset: " +
                                printable(datagram) + " " + printable(s.TimeOffset));
            return;
        }
        const QDateTime now = Clock::localNow();
        if (v == now.time().toString(QStringLiteral("HH:mm:ss")).toLatin1())
            return;
        const QTime timeOfDay = QTime::fromString(fromBytes(v), QStringLiteral("HH:mm:ss"));
        ClockSetter::current().setLocalTime(nearestDateTime(now, timeOfDay));
    } catch (const Failure &f) {
        // Each answer of a flood would repeat it (a PC without the right to set the clock).
        logErrorLimited("time answer error" + QByteArray::number(f.number()),
                        "Error winTime_DataArrival)", f);
    }
}

} // namespace vek
