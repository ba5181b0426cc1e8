#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <arpa/inet.h>
#include <cerrno>
#include <ctime>
#include <future>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "benchregistry.h"
#include "benchsupport.h"
#include "core/channeltable.h"
#include "core/consolestate.h"
#include "core/eventstore.h"
#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/hslink.h"
#include "core/receivepath.h"
#include "core/receivestate.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "core/tcphssocket.h"
#include "core/winqueue.h"
#include "core/zoneclocks.h"
#include "platform/clock.h"

// The console core downloading 10,000 events from the simulated server (a process of its
// own, without its trace) over loopback, against the bare cost of the same round trips
// between two sockets: every event is an "R" answered by the event and a poll answered by
// the poll reply.
//
// sync_events_10k_ms runs from the first event answer to the last stored event;
// sync_10k_ms is the whole download from the link's start, including the channel and
// router handshake and its waits for the quarter-second polls; sync_console_cpu_10k_ms
// is the CPU time the console's thread spent over the span of sync_events_10k_ms. The
// same for twelve head ends at once (sync12), where the same simulators then serve a
// bare client on plain POSIX sockets too.
namespace {

using vekbench::spin;

constexpr int EventCount = 10000;

// CPU time of the calling thread, in ms.
double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// The real socket, noting when the first event answer (code 181) arrives, and the
// console thread's CPU time then.
class TimedSocket : public vek::HsSocket
{
public:
    TimedSocket(QElapsedTimer &firstEvent, double &cpuAtFirstEvent)
        : m_firstEvent(firstEvent), m_cpuAtFirstEvent(cpuAtFirstEvent)
    {
        m_socket.setDataHandler([this](const QByteArray &data) {
            if (!m_firstEvent.isValid() && data.size() > 4 &&
                static_cast<unsigned char>(data[4]) == 181) {
                m_firstEvent.start();
                m_cpuAtFirstEvent = threadCpuMs();
            }
            deliver(data);
        });
    }
    void connectToHost(const QByteArray &host, quint16 port) override
    {
        m_socket.connectToHost(host, port);
    }
    bool isConnected() const override { return m_socket.isConnected(); }
    void send(const QByteArray &data) override { m_socket.send(data); }
    void close() override { m_socket.close(); }
    QString localAddress() const override { return m_socket.localAddress(); }

private:
    QElapsedTimer &m_firstEvent;
    double &m_cpuAtFirstEvent;
    vek::TcpHsSocket m_socket;
};

struct SyncTimes
{
    double whole = -1;
    double events = -1;
    // The console thread's own CPU time over the same span as events.
    double consoleCpu = -1;
    qsizetype eventAnswerSize = 0;
};

using Servers = std::vector<std::unique_ptr<vekbench::SimProcess>>;

// A simulated server for each of head ends 1..headEnds, each in a process of its own;
// false if one did not start.
bool startServers(Servers &servers, int headEnds)
{
    for (int he = 1; he <= headEnds; ++he) {
        servers.push_back(std::make_unique<vekbench::SimProcess>());
        if (!servers.back()->start(vekbench::simScenario(he, EventCount), {he}))
            return false;
    }
    return true;
}

// Head ends 1..n download their 10,000 events at once, head end he from servers[he - 1].
SyncTimes syncOnce(const Servers &servers)
{
    using namespace vek;
    SyncTimes out;
    const int headEnds = int(servers.size());
    resetConsoleState();

    Settings &s = settings();
    for (int he = 1; he <= headEnds; ++he) {
        s.HEOnLine[he] = true;
        s.HEName[he] = "Bench";
        s.HEMainIP[he] = "127.0.0.1";
        s.HEPort[he] = QByteArray::number(servers[size_t(he - 1)]->port(he));
        s.HEListNo[he] = 1;
        s.HERetryMS[he] = 70;
        s.HEChannels[he] = 2;
    }
    for (QDateTime &z : ZoneTimes())
        z = Clock::localNow();

    {
        QElapsedTimer firstEvent;
        double cpuAtFirstEvent = 0;
        HsLink link(nullptr);
        link.setSocketFactory([&firstEvent, &cpuAtFirstEvent](int) {
            return std::make_unique<TimedSocket>(firstEvent, cpuAtFirstEvent);
        });
        link.setRetryIntervals();
        link.connectHeadEnds(false);
        if (!spin([&] {
                for (int he = 1; he <= headEnds; ++he) {
                    if (!link.socket(he)->isConnected())
                        return false;
                }
                return true;
            }))
            return out;
        // The servers offer their events in key order: the last key arrives last.
        const QByteArray lastKey = vekbench::simEventKey(EventCount - 1);
        int done = 0;
        QElapsedTimer t;
        t.start();
        link.start();
        if (spin([&] {
                while (done < headEnds && findEventSlot(done + 1, lastKey) >= 0)
                    ++done;
                return done == headEnds;
            })) {
            out.whole = double(t.nsecsElapsed()) / 1e6;
            out.events = double(firstEvent.nsecsElapsed()) / 1e6;
            out.consoleCpu = threadCpuMs() - cpuAtFirstEvent;
        }
        int stored = 0;
        qsizetype wire = 0;
        for (int he = 1; he <= headEnds; ++he) {
            for (int slot = 0; slot < EventTable::Slots; ++slot) {
                const EventRec &e = Events().at(he, slot);
                if (e.InUse) {
                    ++stored;
                    wire = EventToString(e).size();
                }
            }
        }
        // Header, code, wire text.
        out.eventAnswerSize = 4 + 1 + wire;
        if (stored != EventCount * headEnds)
            out = SyncTimes();
    }
    resetConsoleState();
    return out;
}

// The server end of the ping-pong, in a thread of its own as the simulator is in a
// process of its own: every request is answered alternately by an event-sized and a
// poll-sized answer.
class PongThread : public QThread
{
public:
    explicit PongThread(qsizetype eventAnswerSize) : m_eventAnswerSize(eventAnswerSize) {}
    quint16 port() { return m_port.get_future().get(); }

protected:
    void run() override
    {
        QTcpServer server;
        if (!server.listen(QHostAddress::LocalHost, 0)) {
            m_port.set_value(0);
            return;
        }
        const QByteArray eventAnswer(m_eventAnswerSize, 'e');
        const QByteArray pollAnswer(4 + 13, 'p');
        bool eventNext = true;
        QTcpSocket *peer = nullptr;
        QObject::connect(&server, &QTcpServer::newConnection, &server, [&] {
            peer = server.nextPendingConnection();
            QObject::connect(peer, &QTcpSocket::readyRead, peer, [&] {
                peer->readAll();
                peer->write(eventNext ? eventAnswer : pollAnswer);
                peer->flush();
                eventNext = !eventNext;
            });
            QObject::connect(peer, &QTcpSocket::disconnected, this, &QThread::quit);
        });
        m_port.set_value(server.serverPort());
        exec();
    }

private:
    qsizetype m_eventAnswerSize;
    std::promise<quint16> m_port;
};

struct PingPongTimes
{
    double ms = -1;
    // The client thread's CPU time over the same span.
    double cpuMs = -1;
};

// The floor of the download from the same servers: a client on plain POSIX sockets (poll,
// read, send; no Qt) in the console's rhythm: a poll, and while its reply flags events an
// "R" for the next one and a poll after each event. From the first event to the last, as
// sync_12he_10k_ms; each read is one answer, as the console takes it.
PingPongTimes posixFloorOnce(const Servers &servers)
{
    struct Connection
    {
        int fd = -1;
        int events = 0;
        char seq = '0';
    };
    const size_t n = servers.size();
    std::vector<Connection> conns(n);
    std::vector<pollfd> fds(n);
    PingPongTimes out;
    bool connected = true;
    for (size_t i = 0; i < n; ++i) {
        conns[i].fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        fds[i] = {conns[i].fd, POLLIN, 0};
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(servers[i]->port(int(i) + 1));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected = connected && fds[i].fd >= 0 &&
                    ::connect(fds[i].fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0;
    }
    auto send = [&](size_t i, char code) {
        Connection &c = conns[i];
        c.seq = c.seq == '9' ? '0' : char(c.seq + 1);
        const char message[] = {'1', '0', '\x01', c.seq, code};
        return ::send(c.fd, message, sizeof message, MSG_NOSIGNAL) == sizeof message;
    };
    constexpr char Poll = '\n';
    for (size_t i = 0; connected && i < n; ++i)
        connected = send(i, Poll);
    size_t finished = 0;
    QElapsedTimer t;
    double cpu = 0;
    QElapsedTimer limit;
    limit.start();
    char buffer[65536];
    while (connected && finished < n && limit.elapsed() < 120000) {
        const int ready = ::poll(fds.data(), nfds_t(n), 10000);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        for (size_t i = 0; connected && i < n; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const ssize_t got = ::read(conns[i].fd, buffer, sizeof buffer);
            connected = got >= 5;
            if (!connected)
                break;
            const auto code = static_cast<unsigned char>(buffer[4]);
            if (code == 181 || code == 182) {
                if (!t.isValid()) {
                    t.start();
                    cpu = threadCpuMs();
                }
                if (++conns[i].events == EventCount) {
                    ++finished;
                    // Left out of the polls from now on.
                    fds[i].fd = -1;
                    continue;
                }
                connected = send(i, Poll);
            } else {
                // A poll reply: events flagged for list 1 (b5, b6, b9, b10) are fetched.
                const bool flagged =
                    got >= 4 + 13 && (buffer[9] || buffer[10] || buffer[13] || buffer[14]);
                connected = send(i, flagged ? 'R' : Poll);
            }
        }
    }
    if (finished == n) {
        out.ms = double(t.nsecsElapsed()) / 1e6;
        out.cpuMs = threadCpuMs() - cpu;
    }
    for (const Connection &c : conns) {
        if (c.fd >= 0)
            ::close(c.fd);
    }
    return out;
}

// The console end: one thread with a connection to each of `connections` peers, each
// doing the round trips of 10,000 events with 5-byte requests over the same kind of
// socket.
PingPongTimes pingPongOnce(qsizetype eventAnswerSize, int connections)
{
    std::vector<std::unique_ptr<PongThread>> pongs;
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < connections; ++i) {
        pongs.push_back(std::make_unique<PongThread>(eventAnswerSize));
        pongs.back()->start();
    }
    PingPongTimes out;
    bool listening = true;
    for (auto &pong : pongs) {
        const quint16 port = pong->port();
        listening = listening && port != 0;
        clients.push_back(std::make_unique<QTcpSocket>());
        if (port != 0)
            clients.back()->connectToHost(QHostAddress::LocalHost, port);
    }
    if (listening && spin([&] {
            for (auto &client : clients) {
                if (client->state() != QAbstractSocket::ConnectedState)
                    return false;
            }
            return true;
        })) {
        const QByteArray request = QByteArray("10\x01") + '1' + 'R';
        const int trips = 2 * EventCount;
        std::vector<int> answered(size_t(connections), 0);
        int finished = 0;
        for (int i = 0; i < connections; ++i) {
            QTcpSocket *client = clients[size_t(i)].get();
            QObject::connect(client, &QTcpSocket::readyRead, client, [&, client, i] {
                client->read(client->bytesAvailable());
                if (++answered[size_t(i)] < trips) {
                    client->write(request);
                    client->flush();
                } else {
                    ++finished;
                }
            });
        }
        QElapsedTimer t;
        t.start();
        const double cpu = threadCpuMs();
        for (auto &client : clients) {
            client->write(request);
            client->flush();
        }
        if (spin([&] { return finished >= connections; })) {
            out.ms = double(t.nsecsElapsed()) / 1e6;
            out.cpuMs = threadCpuMs() - cpu;
        }
    }
    for (auto &client : clients)
        client->disconnectFromHost();
    for (auto &pong : pongs) {
        pong->quit();
        pong->wait();
    }
    return out;
}

void benchSync()
{
    // The console logs into its data folder: keep that out of the build tree.
    QTemporaryDir home;
    qputenv("VEK_HOME", home.path().toLocal8Bit());
    Servers servers;
    const SyncTimes sync = startServers(servers, 1) ? syncOnce(servers) : SyncTimes();
    const PingPongTimes trips =
        sync.eventAnswerSize > 0 ? pingPongOnce(sync.eventAnswerSize, 1) : PingPongTimes();
    const double pingPong = trips.ms;
    qunsetenv("VEK_HOME");

    vekbench::figure("sync_10k_ms", sync.whole);
    vekbench::figure("sync_events_10k_ms", sync.events);
    vekbench::figure("pingpong_10k_ms", pingPong);
    vekbench::figure("sync_10k_ratio",
                     sync.events > 0 && pingPong > 0 ? sync.events / pingPong : -1);
    // What the console itself spends of the download, whatever the scheduler adds.
    vekbench::figure("sync_console_cpu_10k_ms", sync.consoleCpu);
    vekbench::figure("pingpong_client_cpu_10k_ms", trips.cpuMs);
    vekbench::figure("sync_console_cpu_ratio",
                     sync.consoleCpu > 0 && trips.cpuMs > 0 ? sync.consoleCpu / trips.cpuMs : -1);
}

// Twelve head ends downloading at once, as at every start of a full site, against one bare
// client with twelve connections doing the same round trips, and against a bare POSIX
// client downloading from the same servers.
void benchSync12()
{
    QTemporaryDir home;
    qputenv("VEK_HOME", home.path().toLocal8Bit());
    Servers servers;
    const SyncTimes sync = startServers(servers, 12) ? syncOnce(servers) : SyncTimes();
    const PingPongTimes posix = sync.consoleCpu > 0 ? posixFloorOnce(servers) : PingPongTimes();
    servers.clear();
    const PingPongTimes trips =
        sync.eventAnswerSize > 0 ? pingPongOnce(sync.eventAnswerSize, 12) : PingPongTimes();
    qunsetenv("VEK_HOME");

    vekbench::figure("sync_12he_10k_ms", sync.events);
    vekbench::figure("pingpong_12x_10k_ms", trips.ms);
    vekbench::figure("sync_12he_ratio",
                     sync.events > 0 && trips.ms > 0 ? sync.events / trips.ms : -1);
    vekbench::figure("sync_12he_console_cpu_ms", sync.consoleCpu);
    vekbench::figure("pingpong_12x_client_cpu_ms", trips.cpuMs);
    vekbench::figure("sync_12he_cpu_ratio",
                     sync.consoleCpu > 0 && trips.cpuMs > 0 ? sync.consoleCpu / trips.cpuMs : -1);
    vekbench::figure("sync_12he_posix_floor_ms", posix.ms);
    vekbench::figure("sync_12he_posix_floor_cpu_ms", posix.cpuMs);
    vekbench::figure("sync_12he_posix_cpu_ratio",
                     sync.consoleCpu > 0 && posix.cpuMs > 0 ? sync.consoleCpu / posix.cpuMs : -1);
}

} // namespace

VEK_BENCH(sync, benchSync)
VEK_BENCH(sync12, benchSync12)
