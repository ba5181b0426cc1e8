#include <QElapsedTimer>
#include <QEvent>
#include <QWindow>

#include "benchregistry.h"
#include "benchsupport.h"
#include "core/consolestate.h"
#include "core/eventtable.h"
#include "eventview/frmview.h"
#include "eventview/viewtables.h"
#include "paintcounter.h"
#include "platform/widgets/gridview.h"

// What the operator waits for in a shown Event View of 12 head ends of 10,000 events each
// (offscreen platform, window shown and exposed): a rebuild of its lists until the visible
// rows of the shown list are painted. First the rebuild that reads the 120,000 events of a
// download into a view opened before it, then one of the running view after events of every
// head end changed.
namespace {

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

void run()
{
    using namespace vek;
    resetConsoleState();
    frmView view(1, nullptr);
    view.resize(1000, 700);
    view.show();
    vekbench::PaintCounter counter;
    view.grid(1)->viewport()->installEventFilter(&counter);
    // Exposed, painted, and the window's load timer has built the (empty) lists.
    vekbench::spin(
        [&] { return view.windowHandle() && view.windowHandle()->isExposed() && counter.paints; },
        10000);
    vekbench::spinFor(300);

    // The rebuild with its paint; false if no paint came.
    auto rebuild = [&](QElapsedTimer &t) {
        const int before = counter.paints;
        t.restart();
        view.GRIDUPDATE();
        return vekbench::spin([&] { return counter.paints > before; }, 10000);
    };

    vekbench::fillBenchEvents();
    QElapsedTimer t;
    if (!rebuild(t))
        return;
    const double first = ms(t);

    int round = 0;
    auto changeEveryHeadEnd = [&round] {
        for (int he = 1; he <= 12; ++he) {
            Events().edit(he, 100 + round).Status = StatusDone;
            Events().edit(he, 200 + round).Status = StatusOnHold;
        }
        ++round;
    };
    for (int i = 0; i < 2; ++i) {
        changeEveryHeadEnd();
        if (!rebuild(t))
            return;
    }
    changeEveryHeadEnd();
    if (!rebuild(t))
        return;
    const double running = ms(t);

    vekbench::figure("gridupdate_shown_120k_first_ms", first);
    vekbench::figure("gridupdate_shown_120k_ms", running);
    vekbench::figure("gridupdate_shown_rows", double(view.grid(1)->rows() - 1));
    resetConsoleState();
}

} // namespace

VEK_BENCH(gridshown, run)
