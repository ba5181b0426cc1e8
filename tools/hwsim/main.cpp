// vek-hwsim: the simulated Hardware Servers of a scenario, for running the console.
//
//   vek-hwsim --scenario demo.scn [--port 1=7901] [--trace hwsim.trace] [--quiet]
//             [--poll-times] [--poll-late]
//
// Prints "HE<n> port <p>" for every head end once it listens, then reads control
// commands from stdin, one per line (see hwsim.h or README.md); "quit" ends it.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <QSocketNotifier>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>

#include "platform/text.h"
#include "tools/hwsim/hwsim.h"

using vek::sim::HwSim;

namespace {

qint64 monotonicUs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<qint64>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

bool isPoll(const vek::sim::TraceLine &line)
{
    return line.direction == "in" && line.bytes.size() >= 5 && line.bytes[4] == 10;
}

// A poll is due a quarter second after the one before, or when the answer to the last
// request of a chain went out if that is later: how much later than that it came.
void printPollLate(const vek::sim::TraceLine &line)
{
    struct Times
    {
        qint64 poll = -1;
        qint64 answer = -1;
    };
    static QHash<int, Times> times;
    Times &t = times[line.headEnd];
    const qint64 now = monotonicUs();
    if (line.direction == "out") {
        t.answer = now;
        return;
    }
    if (!isPoll(line))
        return;
    if (t.poll >= 0) {
        const qint64 due = std::max(t.poll + 250000, t.answer);
        std::printf("HE%d late %lld\n", line.headEnd, static_cast<long long>(now - due));
        std::fflush(stdout);
    }
    t.poll = now;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("vek-hwsim");

    QCommandLineParser parser;
    parser.setApplicationDescription("Simulated Hardware Servers for the VEK console.");
    parser.addHelpOption();
    const QCommandLineOption scenarioOption({"s", "scenario"}, "Scenario file.", "file");
    const QCommandLineOption portOption({"p", "port"},
                                        "Port of a head end, as HE=PORT (repeatable).", "he=port");
    const QCommandLineOption traceOption({"t", "trace"}, "Append the trace to this file.", "file");
    const QCommandLineOption quietOption({"q", "quiet"}, "Do not echo the trace to stderr.");
    const QCommandLineOption pollTimesOption(
        "poll-times", "Print the monotonic time of each head end's first poll.");
    const QCommandLineOption pollLateOption(
        "poll-late", "Print how late each poll comes against the quarter-second rhythm.");
    parser.addOptions(
        {scenarioOption, portOption, traceOption, quietOption, pollTimesOption, pollLateOption});
    parser.process(app);

    if (!parser.isSet(scenarioOption)) {
        std::fprintf(stderr, "vek-hwsim: --scenario is required\n");
        return 2;
    }

    HwSim sim;
    QString error;
    if (!sim.loadScenario(parser.value(scenarioOption), &error)) {
        std::fprintf(stderr, "vek-hwsim: %s\n", qPrintable(error));
        return 2;
    }
    for (const QString &item : parser.values(portOption)) {
        const QStringList parts = item.split('=');
        bool okHe = false;
        bool okPort = false;
        const int he = parts.value(0).toInt(&okHe);
        const int port = parts.value(1).toInt(&okPort);
        if (parts.size() != 2 || !okHe || !okPort || port < 0 || port > 65535 ||
            !sim.headEnds().contains(he)) {
            std::fprintf(stderr, "vek-hwsim: bad --port %s\n", qPrintable(item));
            return 2;
        }
        sim.setScenarioPort(he, quint16(port));
    }
    // The program reads no trace back: only the file and the echo get it.
    sim.setTraceLimit(0);
    if (parser.isSet(traceOption) && !sim.setTraceFile(parser.value(traceOption))) {
        std::fprintf(stderr, "vek-hwsim: cannot write %s\n", qPrintable(parser.value(traceOption)));
        return 2;
    }
    if (!parser.isSet(quietOption)) {
        QObject::connect(&sim, &HwSim::traced, [](const vek::sim::TraceLine &line) {
            std::fprintf(stderr, "%s\n", line.text().constData());
        });
    }
    if (parser.isSet(pollTimesOption)) {
        QObject::connect(&sim, &HwSim::traced,
                         [polled = QSet<int>()](const vek::sim::TraceLine &line) mutable {
                             if (!isPoll(line) || polled.contains(line.headEnd))
                                 return;
                             polled.insert(line.headEnd);
                             std::printf("HE%d poll %lld\n", line.headEnd,
                                         static_cast<long long>(monotonicUs()));
                             std::fflush(stdout);
                         });
    }
    if (parser.isSet(pollLateOption))
        QObject::connect(&sim, &HwSim::traced, printPollLate);
    if (!sim.listenAll(&error)) {
        std::fprintf(stderr, "vek-hwsim: %s\n", qPrintable(error));
        return 1;
    }
    for (const int he : sim.headEnds())
        std::printf("HE%d port %d\n", he, sim.port(he));
    std::fflush(stdout);
    sim.setAutoTick(1000);

    // Control commands from stdin; end of input leaves the servers running.
    QByteArray pending;
    QSocketNotifier notifier(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            notifier.setEnabled(false);
            return;
        }
        pending.append(buffer, n);
        qsizetype eol;
        while ((eol = pending.indexOf('\n')) >= 0) {
            const QByteArray line = pending.left(eol).trimmed();
            pending.remove(0, eol + 1);
            if (line == "quit") {
                QCoreApplication::quit();
                return;
            }
            const QByteArray problem = sim.command(line);
            if (!problem.isEmpty())
                std::fprintf(stderr, "vek-hwsim: %s\n", problem.constData());
        }
    });
    return QCoreApplication::exec();
}
