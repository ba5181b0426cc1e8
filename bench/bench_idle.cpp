#include <QByteArray>
#include <QTemporaryDir>
#include <cstdio>

#include "benchregistry.h"
#include "benchsupport.h"
#include "core/consolecore.h"
#include "core/eventtable.h"
#include "core/hslink.h"
#include "core/hssocket.h"
#include "core/receivestate.h"
#include "core/ui/mdimain.h"
#include "eventview/eventviews.h"
#include "platform/widgets/dialogseam.h"

// The whole console (main window, Event View 1) polling 12 simulated head ends, from the
// process's own CPU time over 10 s: once with the few events the servers hold, once with
// 120,000 events put into the event table directly. The servers run in a process of
// their own.
namespace {

constexpr int HeadEnds = 12;
constexpr int MeasureMs = 10000;

QByteArray scenario()
{
    QByteArray s;
    for (int he = 1; he <= HeadEnds; ++he) {
        const QByteArray n = QByteArray::number(he);
        s += "headend " + n + " name=\"Head End " + n + "\" zone=4 minutes=30 list=1\n";
        s += "channel " + n +
             " 1 name=CH1 num=101 level=1 def=1 src=\"Feed\" out=1 dest=\"Ch 101\"\n";
        s += "channel " + n +
             " 2 name=CH2 num=102 level=1 def=2 src=\"Sub\" out=2 dest=\"Ch 102\"\n";
        for (int e = 0; e < 5; ++e)
            s += "event " + n + " dest=1 src=2 start=+" + QByteArray::number(90 + 60 * e) +
                 "m dur=30m desc=\"Programme " + QByteArray::number(e) + "\"\n";
    }
    return s;
}

double cpuPercentOver(int ms)
{
    const double cpu = vekbench::processCpuSeconds();
    vekbench::spinFor(ms);
    return (vekbench::processCpuSeconds() - cpu) * 100.0 * 1000.0 / ms;
}

void run()
{
    using namespace vek;
    QTemporaryDir home;
    qputenv("VEK_HOME", home.path().toLocal8Bit());
    qputenv("VEK_CLOCK_DRY_RUN", "1");
    QList<int> heads;
    for (int he = 1; he <= HeadEnds; ++he)
        heads << he;
    vekbench::SimProcess sim;
    if (!sim.start(scenario(), heads))
        return;
    QList<quint16> ports;
    for (int he = 1; he <= HeadEnds; ++he)
        ports << sim.port(he);
    if (!vekbench::writeDataFolder(home.path(), ports))
        return;

    vekbench::dialogsToStderr();
    double few = -1;
    double full = -1;
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
        const bool connected = vekbench::spin(
            [&] {
                for (int he = 1; he <= HeadEnds; ++he) {
                    if (!core.hsLink().socket(he) || !core.hsLink().socket(he)->isConnected())
                        return false;
                }
                return true;
            },
            20000);
        if (!connected)
            return;
        // The operator logs in; the downloads, the dashboard requests and the rebuilds they
        // set off settle.
        vekbench::logIn();
        vekbench::spinFor(4000);
        few = cpuPercentOver(MeasureMs);

        // Fill every free slot; the views rebuild once.
        for (int he = 1; he <= HeadEnds; ++he) {
            for (int slot = 0, filled = 0; slot < EventTable::Slots && filled < 10000; ++slot) {
                if (Events().at(he, slot).InUse) {
                    ++filled;
                    continue;
                }
                Events().edit(he, slot) = vekbench::benchEvent(he, slot);
                ++filled;
            }
            for (int view = 1; view <= ViewCount; ++view)
                GridDirty(view, he) = true;
        }
        vekbench::spinFor(4000);
        full = cpuPercentOver(MeasureMs);
    }
    qunsetenv("VEK_HOME");
    vekbench::figure("idle_cpu_pct_12he_few", few);
    vekbench::figure("idle_cpu_pct_12he", full);
}

} // namespace

VEK_BENCH_RUNS(idle, run, 3)
