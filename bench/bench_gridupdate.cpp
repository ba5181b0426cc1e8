#include <QElapsedTimer>
#include <algorithm>
#include <cstring>
#include <vector>

#include "benchregistry.h"
#include "benchsupport.h"
#include "core/consolestate.h"
#include "core/eventtable.h"
#include "core/settings.h"
#include "eventview/eventgrids.h"
#include "eventview/eventlists.h"
#include "platform/widgets/gridview.h"

// A view of 12 head ends with 10,000 events each: the first full rebuild of its three
// lists (engine and grids), the one an operator waits for after the download, and a
// rebuild of a running view after events of every head end changed, against the floor
// of any rebuild: a sort of the same 120,000 start keys packed as 16-byte values. Then
// the rebuild after 24 events of one head end changed, against the full rebuild.
namespace {

struct PackedKey
{
    quint64 hi;
    quint64 lo;
    bool operator<(const PackedKey &o) const { return hi != o.hi ? hi < o.hi : lo < o.lo; }
};

// The start key and the first 8 characters of the destination, upper-cased (the lists
// sort it case-insensitively), big-endian so that number order is text order.
PackedKey packedKey(const vek::EventRec &e)
{
    quint64 lo = 0;
    for (int i = 0; i < 8; ++i) {
        const char c = i < e.DestText.size() ? e.DestText[i] : '\0';
        lo = lo << 8 | quint8(c >= 'a' && c <= 'z' ? c - 32 : c);
    }
    return {quint64(e.StartKey), lo};
}

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

void run()
{
    using namespace vek;
    // The fresh console first: it empties the event table too.
    resetConsoleState();
    vekbench::fillBenchEvents();
    setDefaultColumnWidths();
    ViewOptions options;
    for (int he = 1; he <= 12; ++he) {
        options.showHE[size_t(he)] = true;
        options.heName[size_t(he)] = "Head End " + QByteArray::number(he);
    }
    GridView up, oa, ar;
    for (GridView *g : {&up, &oa, &ar})
        g->resize(800, 400);
    EventGrids grids;
    grids.grid = {nullptr, &up, &oa, &ar};
    GRIDSET(grids, false);

    EventListEngine engine;
    QElapsedTimer t;
    t.start();
    rebuildGrids(grids, engine, options, 0);
    const double first = ms(t);
    // A running view rebuilds again and again, each time after events changed: here one
    // event of every head end finished and one was put on hold, so every head end is read
    // again and its rows move between lists.
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
        rebuildGrids(grids, engine, options, 0);
    }
    changeEveryHeadEnd();
    t.restart();
    rebuildGrids(grids, engine, options, 0);
    const double full = ms(t);

    std::vector<PackedKey> keys;
    keys.reserve(120000);
    for (int he = 1; he <= 12; ++he) {
        for (int slot = 0; slot < 10000; ++slot)
            keys.push_back(packedKey(Events().at(he, slot)));
    }
    t.restart();
    std::sort(keys.begin(), keys.end());
    const double floor = ms(t);

    // What the main timer does after one head end's answers: 24 of its events changed (some
    // finish, some are put on hold, some get a new description), then only it is read again.
    // The first such rebuild is left out: a running view has done many before.
    auto changeOneHeadEnd = [](int base) {
        for (int i = 0; i < 8; ++i) {
            Events().edit(5, base + i).Status = StatusDone;
            Events().edit(5, base + 100 + i).Status = StatusOnHold;
            Events().edit(5, base + 200 + i).Description = "changed " + QByteArray::number(i);
        }
    };
    changeOneHeadEnd(1000);
    rebuildGrids(grids, engine, options, 0);
    changeOneHeadEnd(2000);
    t.restart();
    rebuildGrids(grids, engine, options, 0);
    const double dirty = ms(t);

    vekbench::figure("gridupdate_120k_first_ms", first);
    vekbench::figure("gridupdate_120k_ms", full);
    vekbench::figure("sort_120k_packed_ms", floor);
    vekbench::figure("gridupdate_ratio", floor > 0 ? full / floor : 0);
    vekbench::figure("gridupdate_dirty_ms", dirty);
    vekbench::figure("gridupdate_dirty_ratio", full > 0 ? dirty / full : 0);
    resetConsoleState();
}

} // namespace

VEK_BENCH(gridupdate, run)
