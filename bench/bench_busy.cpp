#include <QByteArray>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <vector>

#include "benchregistry.h"
#include "benchsupport.h"
#include "core/consolecore.h"
#include "core/eventstore.h"
#include "core/hslink.h"
#include "core/hssocket.h"
#include "core/ui/mdimain.h"
#include "eventview/eventviews.h"
#include "platform/widgets/dialogseam.h"

// The whole console (main window, Event View 1 shown) polling 12 simulated head ends that
// hold 10,000 events each, downloaded through the wire, while 1 % of them change every
// 20 s (the simulators change them): the process's own CPU time over 20 s holding one
// such change and what it sets off. Each head end's server runs in a process of its own.
namespace {

constexpr int HeadEnds = 12;
constexpr int EventsPerHeadEnd = 10000;
constexpr int ChurnMs = 20000;

void run()
{
    using namespace vek;
    QTemporaryDir home;
    qputenv("VEK_HOME", home.path().toLocal8Bit());
    qputenv("VEK_CLOCK_DRY_RUN", "1");
    std::vector<std::unique_ptr<vekbench::SimProcess>> sims;
    QList<quint16> ports;
    for (int he = 1; he <= HeadEnds; ++he) {
        sims.push_back(std::make_unique<vekbench::SimProcess>());
        if (!sims.back()->start(vekbench::simScenario(he, EventsPerHeadEnd), {he}))
            return;
        ports << sims.back()->port(he);
    }
    if (!vekbench::writeDataFolder(home.path(), ports))
        return;
    vekbench::dialogsToStderr();
    double busy = -1;
    {
        MDIMain window;
        ConsoleCore core(&window);
        window.attach(&core);
        installEventViewOpener(&window);
        window.show();
        // "M": no time server.
        core.MDIForm_Load(QStringLiteral("M"));
        if (window.ended())
            return;
        const QByteArray lastKey = vekbench::simEventKey(EventsPerHeadEnd - 1);
        int done = 0;
        const bool downloaded = vekbench::spin(
            [&] {
                while (done < HeadEnds && findEventSlot(done + 1, lastKey) >= 0)
                    ++done;
                return done == HeadEnds;
            },
            600000);
        if (!downloaded)
            return;
        // The operator logs in; the last rebuilds and dashboard requests of the download
        // settle.
        vekbench::logIn();
        vekbench::spinFor(4000);
        auto churn = [&sims] {
            for (auto &sim : sims)
                sim->command("churn 1");
        };
        // The window holds the middle of one churn period: one change and its aftermath.
        churn();
        vekbench::spinFor(ChurnMs / 2);
        const double cpu = vekbench::processCpuSeconds();
        vekbench::spinFor(ChurnMs / 2);
        churn();
        vekbench::spinFor(ChurnMs / 2);
        busy = (vekbench::processCpuSeconds() - cpu) * 100.0 * 1000.0 / ChurnMs;
    }
    qunsetenv("VEK_HOME");
    vekbench::figure("busy_cpu_pct_12he", busy);
}

} // namespace

VEK_BENCH_RUNS(busy, run, 3)
