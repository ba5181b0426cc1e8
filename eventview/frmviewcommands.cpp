#include "frmview.h"

#include <QPushButton>
#include <QTabWidget>

#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/selection.h"
#include "dialogs/frmadd.h"
#include "dialogs/frmasrun.h"
#include "dialogs/frmonair.h"
#include "eventview/commandsupport.h"
#include "eventview/eventcommands.h"
#include "eventview/groupcommands.h"
#include "eventview/viewtables.h"
#include "platform/widgets/dialogseam.h"
#include "platform/widgets/gridview.h"

namespace vek {

// The Event View's commands: the toolbar's buttons and the dialogs a row opens.

void frmView::setButtonByTab(int button, bool enabled)
{
    m_buttonByTab[size_t(button)] = enabled;
}

void frmView::applyButtonStates()
{
    for (int b = 1; b <= ButtonCount; ++b)
        m_buttons[size_t(b)]->setEnabled(m_buttonByTab[size_t(b)]);
}

CommandView frmView::commandView()
{
    return CommandView{m_tabs->currentIndex(), m_view, this};
}

void frmView::runCommand(int button)
{
    GridView *g = currentGrid();
    const std::vector<CommandRow> rows = selectedRows(*g);
    switch (button) {
    case BtnAdd:
        menuEventAdd_Click();
        break;
    case BtnUpdate:
        menuEventUp_Click();
        break;
    case BtnDelete:
        menuEventDel_Click(commandView(), rows);
        break;
    case BtnHold:
        if (menuEventHold_Click(commandView(), rows))
            selectFirstRow(*g);
        break;
    case BtnSubNow:
        PopupFlag() = false;
        menuEventSub_Click(commandView(), rows);
        break;
    case BtnIntRes:
        PopupFlag() = false;
        menuEventInt_Click(commandView(), rows);
        if (ResetSelection())
            selectFirstRow(*grid(ListOnAir));
        break;
    case BtnHoldGroup:
        if (groupHold_Click(commandView(), rows))
            selectFirstRow(*g);
        break;
    case BtnSubGroup:
        groupSub_Click(commandView(), rows);
        break;
    case BtnIntResGroup:
        groupIntRes_Click(commandView(), rows);
        break;
    default:
        break;
    }
}

void frmView::menuEventAdd_Click()
{
    if (m_tabs->currentIndex() != TabUpcoming)
        return;
    SelHE() = 0;
    SelCh() = 0;
    SelView() = qint16(m_view);
    frmAdd::open(this);
}

void frmView::menuEventUp_Click()
{
    gridDblClick(qBound(0, m_tabs->currentIndex(), 2) + 1);
}

void frmView::gridDblClick(int list)
{
    SelHE() = 0;
    SelCh() = 0;
    const CommandRow row = commandRow(*grid(list), grid(list)->row());
    const bool named = row.headEnd > 0;
    if (named) {
        // The dialog opens on the event the row shows, not on whatever its slot holds now.
        if (!rowStillValid(this, row))
            return;
        SelHE() = qint16(row.headEnd);
        SelCh() = qint16(row.slot);
    }
    if (list != ListUpcoming && !named)
        return;
    SelView() = qint16(m_view);
    const QString locked = QStringLiteral("VCOG Locked Event");
    const bool lock = settings().VCOGLock;
    if (list == ListUpcoming) {
        const bool lessThan = SelHE() > 0 && EventTable::validIndex(SelHE(), SelCh()) &&
                              Events().at(SelHE(), SelCh()).Status == StatusLessThan;
        if (lock && lessThan) {
            DialogSeam::message(
                this, QMessageBox::NoIcon, locked,
                QStringLiteral(
                    "This event can no longer be edited as it is less than 30 minutes to air."));
            return;
        }
        frmAdd::open(this);
    } else if (list == ListOnAir) {
        if (lock) {
            DialogSeam::message(
                this, QMessageBox::NoIcon, locked,
                QStringLiteral("This event can no longer be edited as it is on air."));
            return;
        }
        frmOnAir::open(this);
    } else {
        frmAsRun::open(this);
    }
}

} // namespace vek
