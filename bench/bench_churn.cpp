#include <QByteArray>
#include <QMdiArea>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "benchregistry.h"
#include "benchsupport.h"
#include "core/consolecore.h"
#include "core/eventstore.h"
#include "core/ui/mdimain.h"
#include "eventview/eventviews.h"
#include "eventwaits.h"

// The whole console polling 12 simulated head ends of 10,000 events each (downloaded
// through the wire, each server a process of its own) while 1 % of every head end's events
// change every 3 s: the main thread's longest stretch between two waits for events while the
// lists are shown, with Event View 1 open and then, in the same run, with all eight open and
// tiled; and how late the polls came over both, as the simulators saw them.
namespace {

constexpr int HeadEnds = 12;
constexpr int EventsPerHeadEnd = 10000;
constexpr int ChurnMs = 3000;
constexpr int Churns = 8;

using Sims = std::vector<std::unique_ptr<vekbench::SimProcess>>;

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    const auto at = size_t(std::ceil(p * double(v.size()))) - 1;
    return v[std::min(at, v.size() - 1)];
}

// Churns every head end Churns times, ChurnMs apart; the longest stretch meanwhile.
double worstStretchUnderChurn(Sims &sims)
{
    vekbench::watchStretches();
    for (int i = 0; i < Churns; ++i) {
        for (auto &sim : sims)
            sim->command("churn 1");
        vekbench::spinFor(ChurnMs);
    }
    const std::vector<double> stretches = vekbench::stopWatchingStretches();
    return stretches.empty() ? -1 : *std::max_element(stretches.begin(), stretches.end());
}

// What the simulators printed of their polls' lateness since the last call, in ms.
void collectPollLate(Sims &sims, std::vector<double> &late)
{
    for (auto &sim : sims) {
        for (const QByteArray &line : sim->output().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() == 3 && parts[1] == "late")
                late.push_back(parts[2].toDouble() / 1000.0);
        }
    }
}

void run()
{
    using namespace vek;
    QTemporaryDir home;
    qputenv("VEK_HOME", home.path().toLocal8Bit());
    qputenv("VEK_CLOCK_DRY_RUN", "1");
    Sims sims;
    QList<quint16> ports;
    for (int he = 1; he <= HeadEnds; ++he) {
        sims.push_back(std::make_unique<vekbench::SimProcess>());
        if (!sims.back()->start(vekbench::simScenario(he, EventsPerHeadEnd), {he},
                                {QStringLiteral("--poll-late")}))
            return;
        ports << sims.back()->port(he);
    }
    if (!vekbench::writeDataFolder(home.path(), ports))
        return;
    vekbench::dialogsToStderr();
    double one = -1;
    double eight = -1;
    std::vector<double> late;
    {
        MDIMain window;
        ConsoleCore core(&window);
        window.attach(&core);
        installEventViewOpener(&window);
        window.show();
        window.resize(1280, 1000);
        // "M": no time server.
        core.MDIForm_Load(QStringLiteral("M"));
        if (window.ended())
            return;
        const QByteArray lastKey = vekbench::simEventKey(EventsPerHeadEnd - 1);
        int done = 0;
        if (!vekbench::spin(
                [&] {
                    while (done < HeadEnds && findEventSlot(done + 1, lastKey) >= 0)
                        ++done;
                    return done == HeadEnds;
                },
                600000))
            return;
        vekbench::logIn();
        openEventView(&window, 1);
        vekbench::spinFor(4000);
        collectPollLate(sims, late);
        late.clear();

        one = worstStretchUnderChurn(sims);
        for (int view = 2; view <= 8; ++view)
            openEventView(&window, view);
        window.mdiArea()->tileSubWindows();
        // The new views' first rebuilds and paints settle; their polls count.
        vekbench::spinFor(4000);
        eight = worstStretchUnderChurn(sims);
        collectPollLate(sims, late);
    }
    qunsetenv("VEK_HOME");
    vekbench::figure("churn_1view_worst_ms", one);
    vekbench::figure("churn_8views_worst_ms", eight);
    vekbench::figure("churn_8views_ratio", one > 0 && eight > 0 ? eight / one : -1);
    vekbench::figure("poll_late_p99_ms", percentile(late, 0.99));
    vekbench::figure("poll_late_max_ms",
                     late.empty() ? -1 : *std::max_element(late.begin(), late.end()));
}

} // namespace

VEK_BENCH_RUNS(churn, run, 3)
