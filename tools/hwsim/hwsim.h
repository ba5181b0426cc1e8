#pragma once

// A simulated Hardware Server for running and testing the console.
//
// One HwSim plays the servers of several head ends, each on its own loopback TCP port.
// Every message from the console (header of 4 characters, then a body) is answered by
// one write: the echoed header followed by an answer whose code is the request's code
// + 100 (poll -> 110, channel record request -> 119, "R" -> 181/182, ...). One read of
// the socket is taken as one message, as the console sends one message per write and
// waits for its acknowledgement.
//
// The simulator keeps its own channel table, router and TMX state and events. Event
// statuses move with time (active -> less than N minutes -> on air -> done) on each
// tick(); time is Clock::localNow() plus an offset that the "advance" command moves, so
// tests drive it with a ManualClock and the demo with the "advance" command.
//
// API (in-process):
//   HwSim sim;
//   sim.loadScenarioText(text) / loadScenario(path)     // see README.md for the format
//   sim.listenAll();  sim.port(he)                     // port 0 in the scenario = any
//   sim.command("alarm 1 Router fault")                // control commands, see below
//   sim.tick();  sim.trace();  sim.setTraceFile(path)
//
// Scenario (one statement per line, "#" comments, double quotes keep blanks):
//   headend <he> name="North" port=7901 zone=4 minutes=30 list=1
//   channel <he> <index> name= num= level= def= src= srcsig= out= dest= destsig= backup=
//                        hidden= select= excluded=
//   event <he> dest=<index> src=<index> start=+10m|-5m|hh:mm:ss [date=DD/MM/YYYY]
//              dur=30m status= auto= group= key= desc= detail= mpid= comments= backup=
//   router <he> <level> <input> <output>      alarm <he> <text>
//
// Control commands (one per line; the program reads them from stdin):
//   alarm <he> <text>                 queue an alarm (poll flag b7)
//   backup <he> <name> <input> [switch]  queue a backup automation record (flag b8)
//   channel <he> <index> key=value..  change or add a channel (table-changed flag b1)
//   event <he> key=value..            add an event (as in the scenario)
//   delete <he> <key>                 delete an event
//   take <he> <level> <input> <output>  switch the router
//   zone <he> <index>  minutes <he> <n>
//   silent|badheader|twice|malformed <he> [count]  misbehave for count answers (all
//                                     answers when count is left out)
//   normal <he>                       behave again
//   close <he>                        close the head end's connections now
//   send <he> <escaped bytes>         write raw bytes to the head end's connections
//   advance <seconds>                 move the simulator's time, then tick
//   tick                              re-evaluate event statuses now
//   churn <percent>                   change that share of every head end's events now

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTimer>
#include <map>
#include <memory>
#include <optional>

#include "core/eventrec.h"

class QTcpServer;
class QTcpSocket;

namespace vek::sim {

// One channel-table entry as the server describes it in its channel records.
struct SimChannel
{
    QByteArray name;
    qint16 num = 0;
    int level = 0;
    qint16 defSrc = 0;
    QByteArray srcName;
    qint16 srcSig = 0;
    qint16 output = 0;
    QByteArray destName;
    qint16 destSig = 0;
    qint16 backupSrc = 0;
    bool hidden = false;
    bool select = false;
    bool srcExcluded = false;

    // The record of 17 fields separated by character 206.
    QByteArray record() const;
};

// One trace entry: ms since the simulator started, head end, "in" (from the console),
// "out" (to the console) or "note", and the bytes.
struct TraceLine
{
    qint64 ms = 0;
    int headEnd = 0;
    QByteArray direction;
    QByteArray bytes;

    // "<ms> HE<n> <direction> <escaped bytes>"
    QByteArray text() const;
};

// Printable ASCII stays, a backslash doubles, every other byte becomes \xHH.
QByteArray escapeBytes(const QByteArray &bytes);
// The reverse; also accepts \n, \r, \t and \\. An unfinished escape is kept as it is.
QByteArray unescapeBytes(const QByteArray &text);

enum class Misbehaviour { None, Silent, BadHeader, Twice, Malformed };

class HwSim : public QObject
{
    Q_OBJECT

public:
    explicit HwSim(QObject *parent = nullptr);
    ~HwSim() override;

    // Both return false and set error on the first bad line; lines before it stay loaded.
    bool loadScenario(const QString &path, QString *error = nullptr);
    bool loadScenarioText(const QByteArray &text, QString *error = nullptr);

    QList<int> headEnds() const;
    // Listens on 127.0.0.1; port 0 picks a free one. False when the head end is unknown
    // or the port is taken.
    bool listen(int he, quint16 port = 0);
    // Every head end at its scenario port (0 = any).
    bool listenAll(QString *error = nullptr);
    quint16 port(int he) const;
    void setScenarioPort(int he, quint16 port);
    int connectionCount(int he) const;

    // Runs one control command; returns "" or the reason it was refused.
    QByteArray command(const QByteArray &line);

    // Moves event statuses to the simulator's present time.
    void tick();
    // Ticks every interval ms (the program uses 1000); 0 stops.
    void setAutoTick(int intervalMs);
    QDateTime now() const;

    const QList<TraceLine> &trace() const { return m_trace; }
    void clearTrace() { m_trace.clear(); }
    // The trace kept in memory holds at most this many of the latest lines (0: none), so a
    // long run does not grow without bound; a trace file gets every line.
    void setTraceLimit(qsizetype lines) { m_traceLimit = lines; }
    static constexpr qsizetype DefaultTraceLimit = 200000;
    // Appends every trace line to the file as well; false when it cannot be opened.
    bool setTraceFile(const QString &path);

    // State, for tests and the program.
    QList<EventRec> events(int he) const;
    std::optional<EventRec> event(int he, const QByteArray &key) const;
    std::optional<SimChannel> channel(int he, int index) const;
    int routerInput(int he, int level, int output) const;

signals:
    void traced(const vek::sim::TraceLine &line);

private:
    struct Connection;
    struct HeadEnd;

    HeadEnd *headEnd(int he) const;
    QByteArray scenarioLine(const QByteArray &line, bool running);
    QByteArray headEndLine(int he, const QList<QByteArray> &w);
    QByteArray channelLine(HeadEnd *h, const QList<QByteArray> &w, bool running);
    QByteArray eventLine(HeadEnd *h, const QList<QByteArray> &w, bool running);
    void onNewConnection(HeadEnd *h);
    void onReadyRead(HeadEnd *h, Connection *c);
    void onDisconnected(HeadEnd *h, Connection *c);
    void write(HeadEnd *h, Connection *c, const QByteArray &bytes);
    void note(int he, const QByteArray &text);
    void addTrace(int he, const QByteArray &direction, const QByteArray &bytes);

    QByteArray answer(HeadEnd *h, Connection *c, const QByteArray &body);
    QByteArray pollReply(HeadEnd *h, Connection *c) const;
    QByteArray dashboard(HeadEnd *h, bool todayOnly) const;
    QByteArray eventAnswer(HeadEnd *h, Connection *c);
    QByteArray storeEvent(HeadEnd *h, Connection *c, const QByteArray &text);
    QByteArray deleteEvent(HeadEnd *h, Connection *c, const QByteArray &key);
    void groupCommand(HeadEnd *h, quint8 code, int group);
    bool take(HeadEnd *h, int level, int input, int output);
    QByteArray plainStatus(HeadEnd *h, int level) const;
    QByteArray extendedStatus(HeadEnd *h, int level) const;
    QByteArray channelStatusDigits(HeadEnd *h) const;

    void changed(HeadEnd *h, const QByteArray &key, Connection *except = nullptr);
    void setTableChanged(HeadEnd *h);
    void setStatusChanged(HeadEnd *h);
    void setLevelChanged(HeadEnd *h, int level);
    void churn(int percent);
    // The present as one tick reads it once: its local time and key, and the instants of
    // the local midnights that event starts count from.
    struct TickTime
    {
        explicit TickTime(const QDateTime &now);
        // Seconds from now to the start of an event with this start key.
        qint64 secsUntil(qint64 startKey) const;

        QDateTime t;
        qint64 key = 0;
        qint64 epochMs = 0;
        // Milliseconds since the epoch of a day's local midnight, by yyyymmdd.
        mutable QHash<qint64, qint64> midnights;
    };
    bool advanceEvent(HeadEnd *h, EventRec &e);
    bool advanceEvent(HeadEnd *h, EventRec &e, const TickTime &now);
    void goOnAir(HeadEnd *h, EventRec &e);
    void goOffAir(HeadEnd *h, EventRec &e, quint8 status);
    QByteArray nextKey(HeadEnd *h);

    std::map<int, std::unique_ptr<HeadEnd>> m_headEnds;
    QList<TraceLine> m_trace;
    qsizetype m_traceLimit = DefaultTraceLimit;
    QElapsedTimer m_started;
    qint64 m_offsetMs = 0;
    QTimer m_tickTimer;
    std::unique_ptr<QFile> m_traceFile;
};

} // namespace vek::sim
