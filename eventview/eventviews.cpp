#include "eventviews.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include "core/receivestate.h"
#include "core/ui/mdimain.h"
#include "frmview.h"
#include "platform/widgets/twips.h"

namespace vek {

std::array<QPointer<frmView>, 13> &EventViews()
{
    static std::array<QPointer<frmView>, 13> views;
    return views;
}

frmView *openEventView(MDIMain *main, int view)
{
    if (!main || view < 1 || view > ViewCount)
        return nullptr;
    QPointer<frmView> &slot = EventViews()[size_t(view)];
    QMdiSubWindow *sub = nullptr;
    if (!slot) {
        auto *w = new frmView(view, main);
        slot = w;
        sub = main->mdiArea()->addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->resize(w->defaultSize());
        QObject::connect(main->mdiArea(), &QMdiArea::subWindowActivated, w,
                         [w, sub](QMdiSubWindow *active) {
                             if (active == sub)
                                 w->Form_Activate();
                             else
                                 w->Form_Deactivate();
                         });
    } else {
        sub = qobject_cast<QMdiSubWindow *>(slot->parentWidget());
    }
    if (!sub)
        return slot;
    const bool fresh = !sub->isVisible() && !sub->isMinimized();
    if (fresh)
        slot->Form_Activate(); // its head-end panels, which the size takes into account
    sub->show();
    if (fresh) {
        // The window's own size, with the sub-window's frame and title around it.
        sub->resize(slot->defaultSize() + (sub->sizeHint() - slot->sizeHint()));
    }
    if (sub->isMinimized())
        sub->showNormal();
    main->mdiArea()->setActiveSubWindow(sub);
    sub->raise();
    slot->Form_Activate();
    return slot;
}

void installEventViewOpener(MDIMain *main)
{
    main->setEventViewOpener([main](int view) { openEventView(main, view); });
}

} // namespace vek
