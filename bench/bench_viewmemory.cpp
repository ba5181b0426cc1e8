#include <QEvent>
#include <malloc.h>

#include "benchregistry.h"
#include "benchsupport.h"
#include "core/consolestate.h"
#include "core/eventstore.h"
#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/receivepath.h"
#include "eventview/frmview.h"
#include "eventview/viewtables.h"
#include "paintcounter.h"
#include "platform/widgets/gridview.h"

// The resident memory that 120,000 events add to a console with one Event View open and
// shown, listing all of them, over their wire bytes: the events arrive as wire text and
// are stored as the receive path stores them, then the view rebuilds and paints.
namespace {

void run()
{
    using namespace vek;
    resetConsoleState();
    frmView view(1, nullptr);
    view.resize(1000, 700);
    view.show();
    vekbench::PaintCounter counter;
    view.grid(1)->viewport()->installEventFilter(&counter);
    // The window, empty, painted and loaded: what it takes without events is not counted.
    vekbench::spinFor(300);
    malloc_trim(0);
    const double before = vekbench::residentBytes();

    double wire = 0;
    for (int he = 1; he <= 12; ++he) {
        for (int slot = 0; slot < 10000; ++slot) {
            const QByteArray text = EventToString(vekbench::benchEvent(he, slot));
            wire += double(text.size());
            EventRec rec = ParseEvent(text);
            rec.HeadEnd = quint8(he);
            storeEvent(he, rec);
        }
    }
    const int paints = counter.paints;
    view.GRIDUPDATE();
    if (!vekbench::spin([&] { return counter.paints > paints; }, 10000))
        return;
    malloc_trim(0);
    const double added = vekbench::residentBytes() - before;
    vekbench::figure("events_view_120k_mem_mb", added / 1e6);
    vekbench::figure("events_view_120k_mem_ratio", wire > 0 ? added / wire : -1);
    vekbench::figure("events_view_120k_rows", double(view.grid(1)->rows() - 1));
}

} // namespace

VEK_BENCH_RUNS(viewmemory, run, 3)
