// The listening sockets and connections of the simulated head ends: one read is one
// message, answered by one write.

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>

#include "hwsim.h"
#include "hwsimstate.h"
#include "platform/failure.h"
#include "platform/text.h"

namespace vek::sim {

bool HwSim::listen(int he, quint16 port)
{
    HeadEnd *h = headEnd(he);
    if (!h)
        return false;
    if (!h->server) {
        h->server = new QTcpServer(this);
        connect(h->server, &QTcpServer::newConnection, this, [this, h] { onNewConnection(h); });
    }
    if (h->server->isListening())
        h->server->close();
    if (!h->server->listen(QHostAddress::LocalHost, port)) {
        note(he, "cannot listen on port " + QByteArray::number(port) + ": " +
                     toBytes(h->server->errorString()));
        return false;
    }
    note(he, "listening on port " + QByteArray::number(h->server->serverPort()));
    return true;
}

bool HwSim::listenAll(QString *error)
{
    for (const auto &[n, h] : m_headEnds) {
        if (!listen(n, h->scenarioPort)) {
            if (error)
                *error = QStringLiteral("head end %1 cannot listen on port %2")
                             .arg(n)
                             .arg(h->scenarioPort);
            return false;
        }
    }
    return true;
}

quint16 HwSim::port(int he) const
{
    const HeadEnd *h = headEnd(he);
    return h && h->server && h->server->isListening() ? h->server->serverPort() : 0;
}

void HwSim::setScenarioPort(int he, quint16 port)
{
    if (HeadEnd *h = headEnd(he))
        h->scenarioPort = port;
}

int HwSim::connectionCount(int he) const
{
    const HeadEnd *h = headEnd(he);
    return h ? int(h->conns.size()) : 0;
}

void HwSim::onNewConnection(HeadEnd *h)
{
    while (QTcpSocket *socket = h->server->nextPendingConnection()) {
        auto c = std::make_unique<Connection>();
        c->socket = socket;
        c->listNo = h->listNo;
        // A console that just connected knows nothing: offer it everything.
        c->tableChanged = true;
        for (auto it = h->router.cbegin(); it != h->router.cend(); ++it) {
            const int level = it.key();
            if (level >= 1 && level <= 8)
                c->rtrFlags |= quint8(1u << (level - 1));
            else if (level >= 81 && level <= 96)
                c->tmxFlags |= quint16(1u << (level - 81));
        }
        c->statusChanged = !h->statusDigit.isEmpty();
        c->pending = h->events.keys();
        Connection *raw = c.get();
        h->conns.push_back(std::move(c));
        connect(socket, &QTcpSocket::readyRead, this, [this, h, raw] { onReadyRead(h, raw); });
        connect(socket, &QTcpSocket::disconnected, this,
                [this, h, raw] { onDisconnected(h, raw); });
        note(h->number, "console connected");
    }
}

void HwSim::onDisconnected(HeadEnd *h, Connection *c)
{
    const auto it =
        std::find_if(h->conns.begin(), h->conns.end(), [c](const auto &p) { return p.get() == c; });
    if (it == h->conns.end())
        return;
    c->socket->disconnect(this);
    c->socket->deleteLater();
    h->conns.erase(it);
    note(h->number, "console disconnected");
}

void HwSim::write(HeadEnd *h, Connection *c, const QByteArray &bytes)
{
    addTrace(h->number, "out", bytes);
    c->socket->write(bytes);
    c->socket->flush();
}

void HwSim::onReadyRead(HeadEnd *h, Connection *c)
{
    QByteArray &data = c->readBuffer;
    data.resize(c->socket->bytesAvailable());
    data.resize(std::max<qint64>(0, c->socket->read(data.data(), data.size())));
    if (data.isEmpty())
        return;
    addTrace(h->number, "in", data);
    if (data.size() < 4) {
        note(h->number, "message shorter than its header, not answered");
        return;
    }
    QByteArray header = data.left(4);
    const QByteArray body = data.mid(4);
    c->listNo = static_cast<unsigned char>(header[2]);

    const Misbehaviour mode = h->mode;
    if (mode != Misbehaviour::None && h->modeLeft > 0 && --h->modeLeft == 0)
        h->mode = Misbehaviour::None;
    if (mode == Misbehaviour::Silent) {
        note(h->number, "silent: not answered");
        return;
    }

    QByteArray reply;
    try {
        reply = answer(h, c, body);
    } catch (const Failure &f) {
        note(h->number, "error " + QByteArray::number(f.number()) + " " + f.description());
        reply = pollReply(h, c);
    }

    if (mode == Misbehaviour::BadHeader) {
        const auto digit = static_cast<unsigned char>(header[3]);
        header[3] = char(digit >= '0' && digit <= '8' ? digit + 1 : '0');
    } else if (mode == Misbehaviour::Malformed) {
        reply = reply.left(3);
    }
    write(h, c, header + reply);
    if (mode == Misbehaviour::Twice)
        write(h, c, header + reply);
}

} // namespace vek::sim
