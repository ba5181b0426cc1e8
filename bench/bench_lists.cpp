#include <QComboBox>
#include <QElapsedTimer>

#include "benchregistry.h"
#include "benchsupport.h"
#include "core/consolestate.h"
#include "core/eventtable.h"
#include "eventview/eventcommands.h"
#include "eventview/frmview.h"
#include "eventview/viewtables.h"
#include "platform/widgets/gridview.h"

// What an operator does with an Event View of 12 head ends of 10,000 events each, through
// the window's own handlers (offscreen): re-sort the Upcoming list by its Description
// column, switch the filter, and collect the rows of a select-all for a command.
namespace {

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
    frmView view(1, nullptr);
    view.resize(1000, 700);
    view.show();
    // The window's load timer builds the lists the first time.
    vekbench::spinFor(300);

    QElapsedTimer t;
    t.start();
    view.headerDblClick(1, DescriptionColumn);
    const double sort = ms(t);

    view.cmbView()->setCurrentIndex(2); // "Active"
    t.restart();
    view.cmbView_Click();
    const double filter = ms(t);

    GridView &up = *view.grid(1);
    up.setRow(1);
    up.setRowSel(up.rows() - 1);
    t.restart();
    const std::vector<CommandRow> rows = selectedRows(up);
    const double selectAll = ms(t);

    vekbench::figure("listsort_120k_ms", sort);
    vekbench::figure("listfilter_120k_ms", filter);
    vekbench::figure("selectall_120k_ms", selectAll);
    vekbench::figure("selectall_120k_rows", double(rows.size()));
    resetConsoleState();
}

} // namespace

VEK_BENCH(lists, run)
