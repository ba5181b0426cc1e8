#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTimer>
#include <ctime>

#include "benchregistry.h"
#include "benchsupport.h"

// From the start of the console's process to the first poll of head end 1 on the wire,
// with 12 head ends configured and a ready data folder: the console (vek, beside this
// program) is started as an operator starts it, and the simulated servers, in a process
// of their own, note when the poll arrives on the system's monotonic clock.
namespace {

constexpr int HeadEnds = 12;

qint64 monotonicUs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

void run()
{
    QList<int> heads;
    QByteArray scenario;
    for (int he = 1; he <= HeadEnds; ++he) {
        heads << he;
        scenario += vekbench::simScenario(he, 5);
    }
    vekbench::SimProcess sim;
    if (!sim.start(scenario, heads, {QStringLiteral("--poll-times")}))
        return;
    QTemporaryDir home;
    QList<quint16> ports;
    for (const int he : heads)
        ports << sim.port(he);
    if (!vekbench::writeDataFolder(home.path(), ports))
        return;

    QProcess console;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VEK_HOME"), home.path());
    env.insert(QStringLiteral("VEK_CLOCK_DRY_RUN"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    console.setProcessEnvironment(env);
    console.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // "M": no time server.
    const qint64 started = monotonicUs();
    console.start(QCoreApplication::applicationDirPath() + QStringLiteral("/vek"),
                  {QStringLiteral("M")});
    QByteArray out;
    qint64 polled = -1;
    // The simulator's output is a file, which wakes nobody: look every few milliseconds
    // (the figure is the time stamp it prints, not when it is read).
    QTimer look;
    look.start(5);
    vekbench::spin(
        [&] {
            out += sim.output();
            const qsizetype at = out.indexOf("HE1 poll ");
            const qsizetype end = at < 0 ? -1 : out.indexOf('\n', at);
            if (end > at)
                polled = out.mid(at + 9, end - at - 9).toLongLong();
            return polled > 0 || console.state() == QProcess::NotRunning;
        },
        30000);
    console.kill();
    console.waitForFinished(5000);
    if (polled > 0)
        vekbench::figure("startup_first_poll_ms", double(polled - started) / 1000.0);
}

} // namespace

VEK_BENCH(startup, run)
