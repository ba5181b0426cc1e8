#include "channelwindows.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include "core/channeltable.h"
#include "core/ui/mdimain.h"
#include "frmadmin.h"
#include "frmchanview.h"
#include "frmcvcont.h"
#include "frmserverstatus.h"
#include "platform/widgets/placement.h"
#include "platform/widgets/twips.h"

namespace vek {

namespace {

struct Windows
{
    QPointer<frmChanView> chanView;
    QPointer<frmCVCont> control;
    QPointer<frmAdmin> admin;
    QPointer<frmServerStatus> status;
};

Windows &windows()
{
    static Windows w;
    return w;
}

template <typename Window> Window *openSingle(MDIMain *main, QPointer<Window> &slot)
{
    if (!slot) {
        slot = new Window(main);
        main->showDialog(slot);
    } else {
        slot->show();
        slot->raise();
        slot->activateWindow();
    }
    return slot;
}

} // namespace

frmChanView *chanView()
{
    return windows().chanView;
}

frmChanView *openChannelView(MDIMain *main)
{
    if (!main)
        return nullptr;
    QPointer<frmChanView> &slot = windows().chanView;
    QMdiSubWindow *sub = nullptr;
    if (!slot) {
        auto *w = new frmChanView;
        slot = w;
        sub = main->mdiArea()->addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->resize(sub->sizeHint().expandedTo(w->size()));
        QObject::connect(main->mdiArea(), &QMdiArea::subWindowActivated, w,
                         [w, sub](QMdiSubWindow *active) {
                             if (active == sub)
                                 w->Form_Activate();
                         });
    } else {
        sub = qobject_cast<QMdiSubWindow *>(slot->parentWidget());
    }
    if (sub) {
        const bool fresh = !sub->isVisible() && !sub->isMinimized();
        sub->show();
        if (sub->isMinimized())
            sub->showNormal();
        if (fresh) {
            // Wherever the area would put it, it opens whole inside the main window.
            const QRect area = main->mdiArea()->viewport()->rect();
            QRect place = sub->geometry();
            place.setSize(place.size().boundedTo(area.size()).expandedTo(sub->minimumSize()));
            sub->setGeometry(keptInside(place, area));
        }
        main->mdiArea()->setActiveSubWindow(sub);
        sub->raise();
    }
    return slot;
}

void FillChanView()
{
    if (frmChanView *view = chanView())
        view->FillChanView();
}

frmCVCont *showChannelControl(frmChanView *view)
{
    QPointer<frmCVCont> &slot = windows().control;
    if (!slot)
        slot = new frmCVCont(view ? view->window() : nullptr);
    slot->Form_Activate();
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}

frmCVCont *channelControl()
{
    return windows().control;
}

frmAdmin *openAdminOptions(MDIMain *main)
{
    return main ? openSingle(main, windows().admin) : nullptr;
}

frmServerStatus *openServerStatus(MDIMain *main)
{
    return main ? openSingle(main, windows().status) : nullptr;
}

void installChannelViewOpeners(MDIMain *main)
{
    main->setWindowOpener(MenuWindow::ChannelView, [main] { openChannelView(main); });
    main->setWindowOpener(MenuWindow::AdminOptions, [main] { openAdminOptions(main); });
    main->setWindowOpener(MenuWindow::ServerStatus, [main] { openServerStatus(main); });
    main->setChanViewFiller([](int headEnd) {
        if (CVHeadEnd() == headEnd)
            FillChanView();
    });
}

} // namespace vek
