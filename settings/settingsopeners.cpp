#include "settingsopeners.h"

#include "core/ui/mdimain.h"
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
} // namespace

void installSettingsOpeners(MDIMain *main)
{
    installDialog<frmSetSites>(main, MenuWindow::HeadEnds);
    installDialog<frmSetNics>(main, MenuWindow::NetworkCards);
    installDialog<frmSetTime>(main, MenuWindow::TimeReference);
    installDialog<frmSetUsers>(main, MenuWindow::Users);
}

} // namespace vek
