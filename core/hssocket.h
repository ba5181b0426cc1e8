#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>

namespace vek {

// One head end's connection to its Hardware Server, as the link sees it. The real one
// wraps a QTcpSocket; tests drive a fake.
class HsSocket
{
public:
    using DataHandler = std::function<void(const QByteArray &)>;

    virtual ~HsSocket() = default;

    // Starts connecting; the outcome shows only in isConnected().
    virtual void connectToHost(const QByteArray &host, quint16 port) = 0;
    virtual bool isConnected() const = 0;
    // One call is one message on the wire.
    virtual void send(const QByteArray &data) = 0;
    virtual void close() = 0;
    // The address this end of the connection uses; "" when there is none.
    virtual QString localAddress() const = 0;
    // Why the connection is not up, as far as the socket knows ("connection refused",
    // "closed by the peer"); "" while it has seen no error, as when still connecting.
    virtual QByteArray downCause() const { return {}; }
    // When the connection was lost, or its attempt began; invalid when unknown.
    virtual QDateTime downSince() const { return {}; }

    // Everything that arrived in one read is handed over as one message.
    void setDataHandler(DataHandler handler) { m_onData = std::move(handler); }

protected:
    void deliver(const QByteArray &data)
    {
        if (m_onData)
            m_onData(data);
    }

private:
    DataHandler m_onData;
};

} // namespace vek
