#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QList>
#include <QTemporaryDir>
#include <functional>
#include <map>

#include "core/eventrec.h"

// What several benchmarks share: the 120,000 events of a full console, readings of the
// process's own CPU time and memory, and the simulated Hardware Server in a process of
// its own.
namespace vekbench {

// Runs the event loop until done() or limitMs; false at the limit.
bool spin(const std::function<bool()> &done, int limitMs = 120000);
// Runs the event loop for ms.
void spinFor(int ms);

// CPU time this process used so far (all threads), in seconds.
double processCpuSeconds();
// The process's resident memory in bytes.
double residentBytes();

// Event slot of a full console: 12 head ends of 10,000 events over a month, with the
// status mix of a working day and texts of the usual lengths.
vek::EventRec benchEvent(int headEnd, int slot);
// Puts the 120,000 events into the event table directly (slots 0..9999 of each head end;
// nothing else is reset, so a window already open stays as it is).
void fillBenchEvents();

// A simulated head end with 2 channels and `events` events a minute apart from an hour
// from now, keyed by simEventKey(0..events - 1) (so the last key is offered last).
QByteArray simScenario(int headEnd, int events);
QByteArray simEventKey(int n);

// A ready data folder: VEK.INI with head ends 1..n on line at 127.0.0.1 and these ports
// (a poll every 70 ms re-send), and USER.INI with one administrator.
bool writeDataFolder(const QString &folder, const QList<quint16> &ports);

// vek-hwsim (beside this program) on a scenario, every head end on a free loopback port,
// without its trace. It runs as a plain child process: its standard output goes to a file
// and nothing of it is watched by this process's event loop, so a benchmark's CPU and
// polling figures count the console's sockets and timers only.
class SimProcess
{
public:
    SimProcess() = default;
    ~SimProcess();
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;
    bool start(const QByteArray &scenario, const QList<int> &headEnds,
               const QStringList &moreArgs = {});
    quint16 port(int headEnd) const;
    // A control command (see tools/hwsim/README.md), without its line end.
    void command(const QByteArray &line);
    // What it printed since the last call (or since it listened).
    QByteArray output();
    void stop();

private:
    bool running();

    QTemporaryDir m_dir;
    pid_t m_pid = -1;
    int m_stdin = -1;
    qint64 m_outRead = 0;
    std::map<int, quint16> m_ports;
};

// Message boxes go to standard error instead of waiting for an operator.
void dialogsToStderr();

// Logs in through the open login window as the administrator of writeDataFolder, as an
// operator does before working; false (and a line on standard error) without one.
bool logIn();

} // namespace vekbench
