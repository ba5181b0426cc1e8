#include "settingsopeners.h"

#include <QPointer>

#include "core/ui/mdimain.h"
#include "frmabout.h"
#include "frmcolor.h"
#include "frmsetasrun.h"
#include "frmsetcolor.h"
#include "frmsetnames.h"
#include "frmsetnics.h"
#include "frmsetqc.h"
#include "frmsetsites.h"
#include "frmsettime.h"
#include "frmsetusers.h"

namespace vek {

namespace {
// Every opening builds a fresh dialog from the settings; it releases itself on closing.
template <typename Dialog> void installDialog(MDIMain *main, MenuWindow window)
{
    main->setWindowOpener(window, [main] { main->showDialog(new Dialog(main)); });
}

// The legend is one window: opening it again brings it forward.
void openLegend(MDIMain *main)
{
    static QPointer<frmColor> legend;
    if (!legend) {
        legend = new frmColor(main);
        main->showDialog(legend);
        return;
    }
    legend->show();
    legend->raise();
    legend->activateWindow();
}
} // namespace

void installSettingsOpeners(MDIMain *main)
{
    main->setWindowOpener(MenuWindow::ColourLegend, [main] { openLegend(main); });
    installDialog<frmSetAsRun>(main, MenuWindow::AsRunComments);
    installDialog<frmSetColor>(main, MenuWindow::ColourSettings);
    installDialog<frmSetNames>(main, MenuWindow::ViewNames);
    installDialog<frmSetSites>(main, MenuWindow::HeadEnds);
    installDialog<frmSetNics>(main, MenuWindow::NetworkCards);
    installDialog<frmSetQC>(main, MenuWindow::QualityControl);
    installDialog<frmSetTime>(main, MenuWindow::TimeReference);
    installDialog<frmSetUsers>(main, MenuWindow::Users);
    installDialog<frmAbout>(main, MenuWindow::About);
}

} // namespace vek
