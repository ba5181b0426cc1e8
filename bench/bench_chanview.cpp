#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <algorithm>
#include <vector>

#include "benchregistry.h"
#include "channelview/chanviewgrid.h"
#include "channelview/frmchanview.h"
#include "core/channeltable.h"
#include "core/consolestate.h"
#include "core/settings.h"

// The Channel View of a head end with 255 channels, shown (offscreen): one FillChanView
// with the repaint it causes, as every channel status message of that head end does, against
// the same list painted again without a refill. Medians of many runs.
namespace {

double medianMs(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void run()
{
    using namespace vek;
    resetConsoleState();
    settings().HEChannels[1] = 255;
    settings().HEName[1] = "Toronto North";
    for (int ch = 1; ch <= 255; ++ch) {
        ChannelEntry &c = Channel(1, ch);
        c.ChanNum = qint16(100 + (ch * 37) % 255);
        c.ChanDesc = "Channel " + QByteArray::number(ch);
        c.SrcName = "Source " + QByteArray::number(ch);
        c.CurSrcText = c.SrcName + " (" + QByteArray::number(c.ChanNum) + ")";
        c.ChanLevel = 1;
        c.Substituted = ch % 7 == 0;
        c.OnBackup = ch % 11 == 0;
        c.PendingSub = ch % 13 == 0;
        c.Under30 = ch % 17 == 0;
    }
    CVHeadEnd() = 1;
    frmChanView view;
    view.show();
    QApplication::processEvents();

    QElapsedTimer t;
    t.start();
    view.FillChanView();
    view.repaint();
    const double first = double(t.nsecsElapsed()) / 1e6;

    std::vector<double> fill;
    std::vector<double> paint;
    for (int i = 0; i < 201; ++i) {
        Channel(1, 1 + i % 255).Substituted = i % 2 == 0;
        t.restart();
        view.FillChanView();
        view.repaint();
        fill.push_back(double(t.nsecsElapsed()) / 1e6);
        // The floor: the same list painted again without refilling it.
        view.grid()->viewport()->update();
        t.restart();
        view.repaint();
        paint.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    vekbench::figure("chanview_fill_255_ms", medianMs(fill));
    vekbench::figure("chanview_fill_255_first_ms", first);
    vekbench::figure("chanview_repaint_floor_ms", medianMs(paint));
    view.close();
    resetConsoleState();
}

} // namespace

VEK_BENCH(chanview, run)
