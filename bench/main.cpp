#include <QApplication>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "benchregistry.h"

// vek-bench [name..]        every benchmark (or those named): the median of its runs
// vek-bench --once name     one run of one benchmark in this process (what the runs are)
namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Runs the benchmark in fresh processes and prints the median of each figure, in the
// order the benchmark prints them. A run that fails is reported and left out.
void runMedian(const vekbench::Entry &e)
{
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> values;
    for (int run = 0; run < e.runs; ++run) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--once"), QString::fromLatin1(e.name)});
        if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit ||
            p.exitCode() != 0) {
            std::fprintf(stderr, "vek-bench: run %d of %s failed\n", run + 1, e.name);
            p.kill();
            p.waitForFinished();
            continue;
        }
        for (const QByteArray &line : p.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            bool ok = false;
            const double v = parts.size() == 2 ? parts[1].toDouble(&ok) : 0;
            if (!ok)
                continue;
            const std::string name = parts[0].toStdString();
            if (!values.count(name))
                order.push_back(name);
            values[name].push_back(v);
        }
    }
    for (const std::string &name : order)
        vekbench::figure(name.c_str(), median(values[name]));
}

bool known(const char *name)
{
    const std::vector<vekbench::Entry> &all = vekbench::registry();
    return std::any_of(all.begin(), all.end(),
                       [name](const vekbench::Entry &e) { return std::strcmp(name, e.name) == 0; });
}

// A mistyped name would otherwise run nothing and look like success.
int unknownBenchmark(const char *name)
{
    std::fprintf(stderr, "vek-bench: no benchmark %s; the benchmarks are:", name);
    for (const vekbench::Entry &e : vekbench::registry())
        std::fprintf(stderr, " %s", e.name);
    std::fprintf(stderr, "\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], "--once") == 0) {
        QApplication app(argc, argv);
        QApplication::setStyle(QStringLiteral("Fusion"));
        for (const vekbench::Entry &e : vekbench::registry()) {
            if (std::strcmp(argv[2], e.name) == 0) {
                e.run();
                return 0;
            }
        }
        return unknownBenchmark(argv[2]);
    }
    QCoreApplication app(argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (!known(argv[i]))
            return unknownBenchmark(argv[i]);
    }
    for (const vekbench::Entry &e : vekbench::registry()) {
        bool wanted = argc < 2;
        for (int i = 1; i < argc; ++i)
            wanted = wanted || std::strcmp(argv[i], e.name) == 0;
        if (wanted)
            runMedian(e);
    }
    return 0;
}
