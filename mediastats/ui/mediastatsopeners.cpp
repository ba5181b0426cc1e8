#include "mediastatsopeners.h"

#include <memory>

#include "core/consolecore.h"
#include "core/ui/mdimain.h"
#include "frmmediastats.h"
#include "frmsetautoload.h"
#include "mediastats/watchedfolder.h"

namespace vek {

void installMediaStats(MDIMain *main)
{
    main->setWindowOpener(MenuWindow::MediaStats,
                          [main] { main->showDialog(new frmMediaStats(main)); });
    main->setWindowOpener(MenuWindow::AutoLoad,
                          [main] { main->showDialog(new frmSetAutoLoad(main)); });
    if (ConsoleCore *core = main->core()) {
        auto folder = std::make_shared<WatchedFolder>();
        core->setFolderWatcher([folder] { return folder->tick(); });
    }
}

} // namespace vek
