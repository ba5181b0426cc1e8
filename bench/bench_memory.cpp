#include <malloc.h>

#include "benchregistry.h"
#include "benchsupport.h"
#include "core/consolestate.h"
#include "core/eventstore.h"
#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/receivepath.h"

// The resident memory that 120,000 events add to the console, over their wire bytes:
// each event arrives as wire text and is stored as the receive path stores it.
namespace {

void run()
{
    using namespace vek;
    // A fresh console first, so the other tables' start state is not counted; the event
    // table takes its memory as slots are first written, so all of it counts.
    resetConsoleState();
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
    malloc_trim(0);
    const double added = vekbench::residentBytes() - before;
    vekbench::figure("events_120k_mem_mb", added / 1e6);
    vekbench::figure("events_120k_wire_mb", wire / 1e6);
    vekbench::figure("events_120k_mem_ratio", wire > 0 ? added / wire : -1);
}

} // namespace

VEK_BENCH_RUNS(memory, run, 3)
