#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "benchregistry.h"
#include "core/channeltable.h"
#include "core/consolecore.h"
#include "core/eventstore.h"
#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/hslink.h"
#include "core/hssocket.h"
#include "core/receivepath.h"
#include "core/receivestate.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "core/winqueue.h"
#include "core/zoneclocks.h"
#include "platform/clock.h"
#include "tools/hwsim/hwsim.h"

// The console core downloading 10,000 events from the simulated server over loopback,
// against the bare cost of the same round trips between two sockets in this process:
// every event is an "R" answered by the event and a poll answered by the poll reply.
namespace {

constexpr int EventCount = 10000;
constexpr int LimitMs = 120000;

QByteArray benchKey(int n)
{
    return ("SYNC" + QByteArray::number(n).rightJustified(6, '0')).leftJustified(32, '0');
}

void resetModules()
{
    using namespace vek;
    resetSettings();
    resetSendPath();
    resetWinQueue();
    resetReceiveState();
    resetEvents();
    resetReceivePath();
    resetChannelTable();
}

// Runs the event loop until done() or the limit; false at the limit.
bool spin(const std::function<bool()> &done)
{
    QElapsedTimer limit;
    limit.start();
    while (!done()) {
        if (limit.elapsed() > LimitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Returns the download time in ms (-1 when it did not finish) and the size of one event
// answer, so the ping-pong can copy it.
double syncOnce(qsizetype &eventAnswerSize)
{
    using namespace vek;
    QByteArray scenario = "headend 1 name=Bench zone=4 minutes=30 list=1\n"
                          "channel 1 1 name=CH1 num=101 level=1 def=1 src=\"Feed\" out=1 "
                          "dest=\"Channel 101\"\n"
                          "channel 1 2 name=CH2 num=102 level=1 def=2 src=\"Sub\" out=2 "
                          "dest=\"Channel 102\"\n";
    for (int n = 0; n < EventCount; ++n)
        scenario += "event 1 key=" + benchKey(n) + " dest=1 src=2 start=+" +
                    QByteArray::number(60 + n) + "m dur=30m desc=\"Programme " +
                    QByteArray::number(n) + "\" comments=\"Bench event\"\n";

    resetModules();
    sim::HwSim server;
    if (!server.loadScenarioText(scenario) || !server.listen(1, 0))
        return -1;
    eventAnswerSize = 4 + 1 + EventToString(server.events(1).first()).size();

    Settings &s = settings();
    s.HEOnLine[1] = true;
    s.HEName[1] = "Bench";
    s.HEMainIP[1] = "127.0.0.1";
    s.HEPort[1] = QByteArray::number(server.port(1));
    s.HEListNo[1] = 1;
    s.HERetryMS[1] = 70;
    s.HEChannels[1] = 2;
    for (QDateTime &z : ZoneTimes())
        z = Clock::localNow();

    double ms = -1;
    {
        ConsoleCore core(nullptr);
        HsLink &link = core.hsLink();
        link.setRetryIntervals();
        link.connectHeadEnds(false);
        if (!spin([&] { return link.socket(1)->isConnected(); }))
            return -1;
        // The server offers its events in key order: the last key arrives last.
        const QByteArray lastKey = benchKey(EventCount - 1);
        QElapsedTimer t;
        t.start();
        link.start();
        if (spin([&] { return findEventSlot(1, lastKey) >= 0; }))
            ms = double(t.elapsed());
        int stored = 0;
        for (int slot = 0; slot < EventTable::Slots; ++slot)
            stored += Events().at(1, slot).InUse ? 1 : 0;
        if (stored != EventCount)
            ms = -1;
    }
    resetModules();
    return ms;
}

// The same round trips between two bare sockets: 5-byte requests, answered alternately
// by an event-sized and a poll-sized answer.
double pingPongOnce(qsizetype eventAnswerSize)
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return -1;
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, server.serverPort());
    QTcpSocket *peer = nullptr;
    if (!spin([&] {
            if (!peer)
                peer = server.nextPendingConnection();
            return peer && client.state() == QAbstractSocket::ConnectedState;
        }))
        return -1;

    const QByteArray request = QByteArray("10\x01") + '1' + 'R';
    const QByteArray eventAnswer(eventAnswerSize, 'e');
    const QByteArray pollAnswer(4 + 13, 'p');
    const int trips = 2 * EventCount;
    int answered = 0;
    bool eventNext = true;
    QObject::connect(peer, &QTcpSocket::readyRead, peer, [&] {
        peer->readAll();
        peer->write(eventNext ? eventAnswer : pollAnswer);
        peer->flush();
        eventNext = !eventNext;
    });
    QObject::connect(&client, &QTcpSocket::readyRead, &client, [&] {
        client.readAll();
        if (++answered < trips) {
            client.write(request);
            client.flush();
        }
    });
    QElapsedTimer t;
    t.start();
    client.write(request);
    client.flush();
    if (!spin([&] { return answered >= trips; }))
        return -1;
    return double(t.elapsed());
}

void benchSync()
{
    // The console logs into its data folder: keep that out of the build tree.
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("VEK_HOME");
    qputenv("VEK_HOME", home.path().toLocal8Bit());
    qsizetype eventAnswerSize = 0;
    const double sync = syncOnce(eventAnswerSize);
    const double pingPong = eventAnswerSize > 0 ? pingPongOnce(eventAnswerSize) : -1;
    if (oldHome.isEmpty())
        qunsetenv("VEK_HOME");
    else
        qputenv("VEK_HOME", oldHome);

    vekbench::figure("sync_10k_ms", sync);
    vekbench::figure("pingpong_10k_ms", pingPong);
    vekbench::figure("sync_10k_ratio", sync > 0 && pingPong > 0 ? sync / pingPong : -1);
}

} // namespace

VEK_BENCH(sync, benchSync)
