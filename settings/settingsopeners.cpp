#include "settingsopeners.h"

#include <QPointer>

#include "core/ui/mdimain.h"
#include "frmcolor.h"
#include "frmsetcolor.h"
#include "frmsetnics.h"
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
    installDialog<frmSetColor>(main, MenuWindow::ColourSettings);
    installDialog<frmSetSites>(main, MenuWindow::HeadEnds);
    installDialog<frmSetNics>(main, MenuWindow::NetworkCards);
    installDialog<frmSetTime>(main, MenuWindow::TimeReference);
    installDialog<frmSetUsers>(main, MenuWindow::Users);
}

} // namespace vek
