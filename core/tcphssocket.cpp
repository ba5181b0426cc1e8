#include "tcphssocket.h"

#include <QHostInfo>
#include <QNetworkInterface>
#include <array>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/clock.h"

namespace vek {

namespace {

// An attempt that is neither answered nor refused is given up after this long.
constexpr int ConnectTimeoutMs = 30000;

QByteArray causeOf(int error)
{
    switch (error) {
    case ECONNREFUSED:
        return "connection refused";
    case ECONNRESET:
    case EPIPE:
        return "closed by the peer";
    case ETIMEDOUT:
        return "no answer to the connection request";
    default:
        return QByteArray(std::strerror(error));
    }
}

// The socket address of address:port; its length, 0 for an address of no known family.
socklen_t toSockAddr(const QHostAddress &address, quint16 port, sockaddr_storage &out)
{
    out = {};
    bool v4 = false;
    const quint32 ip4 = address.toIPv4Address(&v4);
    if (v4) {
        auto *a = reinterpret_cast<sockaddr_in *>(&out);
        a->sin_family = AF_INET;
        a->sin_port = htons(port);
        a->sin_addr.s_addr = htonl(ip4);
        return sizeof(sockaddr_in);
    }
    if (address.protocol() != QAbstractSocket::IPv6Protocol)
        return 0;
    auto *a = reinterpret_cast<sockaddr_in6 *>(&out);
    a->sin6_family = AF_INET6;
    a->sin6_port = htons(port);
    const Q_IPV6ADDR ip6 = address.toIPv6Address();
    std::memcpy(&a->sin6_addr, &ip6, sizeof ip6);
    a->sin6_scope_id = address.scopeId().toUInt();
    return sizeof(sockaddr_in6);
}

} // namespace

TcpHsSocket::TcpHsSocket(QObject *parent) : QObject(parent)
{
    m_connectTimeout.setSingleShot(true);
    m_connectTimeout.setInterval(ConnectTimeoutMs);
    connect(&m_connectTimeout, &QTimer::timeout, this,
            [this] { connectNext("no answer to the connection request"); });
}

TcpHsSocket::~TcpHsSocket()
{
    release();
}

void TcpHsSocket::connectToHost(const QByteArray &host, quint16 port)
{
    release();
    m_cause.clear();
    m_since = Clock::localNow();
    m_port = port;
    const QString name = QString::fromLatin1(host);
    QHostAddress address;
    if (address.setAddress(name)) {
        m_addresses = {address};
        connectNext("host not found");
        return;
    }
    m_state = State::LookingUp;
    const int attempt = m_attempt;
    QHostInfo::lookupHost(name, this, [this, attempt](const QHostInfo &info) {
        if (attempt != m_attempt || m_state != State::LookingUp)
            return;
        m_addresses = info.addresses();
        connectNext("host not found");
    });
}

void TcpHsSocket::connectNext(const QByteArray &cause)
{
    // One attempt at a time: what the last one held goes first.
    closeDescriptor();
    while (!m_addresses.isEmpty()) {
        sockaddr_storage sa;
        const socklen_t length = toSockAddr(m_addresses.takeFirst(), m_port, sa);
        if (length == 0)
            continue;
        m_fd = ::socket(sa.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (m_fd < 0) {
            fail(causeOf(errno));
            return;
        }
        int r;
        do {
            r = ::connect(m_fd, reinterpret_cast<const sockaddr *>(&sa), length);
        } while (r < 0 && errno == EINTR);
        const int error = r == 0 ? 0 : errno;
        if (r == 0 || error == EINPROGRESS) {
            // The outcome, even of a connection made at once, comes through the notifier.
            m_state = State::Connecting;
            m_writeNotifier = notifier(QSocketNotifier::Write);
            connect(m_writeNotifier, &QSocketNotifier::activated, this, [this] {
                if (m_state == State::Connecting)
                    connectFinished();
                else
                    writeUnsent();
            });
            m_connectTimeout.start();
            return;
        }
        ::close(m_fd);
        m_fd = -1;
        if (m_addresses.isEmpty()) {
            fail(causeOf(error));
            return;
        }
    }
    fail(cause);
}

void TcpHsSocket::connectFinished()
{
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        error = errno;
    if (error != 0) {
        connectNext(causeOf(error));
        return;
    }
    m_connectTimeout.stop();
    m_addresses.clear();
    m_state = State::Connected;
    m_writeNotifier->setEnabled(false);
    m_readNotifier = notifier(QSocketNotifier::Read);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &TcpHsSocket::readAvailable);
}

void TcpHsSocket::send(const QByteArray &data)
{
    if (m_state != State::Connected || data.isEmpty())
        return;
    if (!m_unsent.isEmpty()) {
        m_unsent += data;
        return;
    }
    ssize_t n;
    do {
        n = ::send(m_fd, data.constData(), size_t(data.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
        fail(causeOf(errno));
        return;
    }
    const qsizetype sent = n > 0 ? qsizetype(n) : 0;
    if (sent == data.size())
        return;
    m_unsent = data.mid(sent);
    m_writeNotifier->setEnabled(true);
}

void TcpHsSocket::writeUnsent()
{
    ssize_t n;
    do {
        n = ::send(m_fd, m_unsent.constData(), size_t(m_unsent.size()),
                   MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
        fail(causeOf(errno));
        return;
    }
    if (n > 0)
        m_unsent.remove(0, qsizetype(n));
    if (m_unsent.isEmpty())
        m_writeNotifier->setEnabled(false);
}

void TcpHsSocket::readAvailable()
{
    // One thread reads every socket: one buffer serves them all.
    static std::array<char, 65536> buffer;
    ssize_t n;
    do {
        n = ::read(m_fd, buffer.data(), buffer.size());
    } while (n < 0 && errno == EINTR);
    if (n == 0) {
        fail("closed by the peer");
        return;
    }
    if (n < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            fail(causeOf(errno));
        return;
    }
    QByteArray data(buffer.data(), qsizetype(n));
    // A full buffer may not be all that arrived: the rest belongs to the same read.
    int more = 0;
    if (size_t(n) == buffer.size() && ::ioctl(m_fd, FIONREAD, &more) == 0 && more > 0) {
        data.resize(data.size() + more);
        do {
            n = ::read(m_fd, data.data() + buffer.size(), size_t(more));
        } while (n < 0 && errno == EINTR);
        data.resize(qsizetype(buffer.size()) + (n > 0 ? qsizetype(n) : 0));
    }
    deliver(data);
}

void TcpHsSocket::fail(const QByteArray &cause)
{
    // The first cause counts: what the closing meets afterwards is its own.
    if (m_cause.isEmpty()) {
        m_cause = cause;
        m_since = Clock::localNow();
    }
    release();
}

QSocketNotifier *TcpHsSocket::notifier(QSocketNotifier::Type type)
{
    return new QSocketNotifier(m_fd, type, this);
}

void TcpHsSocket::closeDescriptor()
{
    // A notifier may be the one whose signal runs now: it goes when that has ended, and
    // sees nothing of a descriptor that the number may name again.
    for (QSocketNotifier *n : {m_readNotifier, m_writeNotifier}) {
        if (n) {
            n->setEnabled(false);
            n->disconnect(this);
            n->deleteLater();
        }
    }
    m_readNotifier = nullptr;
    m_writeNotifier = nullptr;
    m_connectTimeout.stop();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void TcpHsSocket::release()
{
    ++m_attempt;
    closeDescriptor();
    m_state = State::Unconnected;
    m_addresses.clear();
    m_unsent.clear();
}

void TcpHsSocket::close()
{
    release();
}

QString TcpHsSocket::localAddress() const
{
    sockaddr_storage sa{};
    socklen_t length = sizeof sa;
    if (m_state != State::Connected ||
        ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&sa), &length) != 0)
        return hostAddressFallback();
    const QHostAddress a(reinterpret_cast<const sockaddr *>(&sa));
    bool ok = false;
    const QHostAddress v4(a.toIPv4Address(&ok));
    return ok ? v4.toString() : a.toString();
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
