#include "frmview.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

#include "core/receivestate.h"
#include "core/zoneclocks.h"
#include "eventview/viewtables.h"
#include "platform/widgets/colors.h"

namespace vek {

// The Event View's options: the head ends shown, the filter and its date, the dashboard's
// scope, the zone and the sort columns.

namespace {

const QColor ButtonGreen = colorFromBgr(0x00FF00);
const QColor FilterRed = colorFromBgr(255);

// An invalid colour returns the widget to the normal button face.
void setBackground(QWidget *w, const QColor &colour)
{
    if (!colour.isValid()) {
        w->setAutoFillBackground(false);
        w->setPalette(QPalette());
        return;
    }
    QPalette p = w->palette();
    p.setColor(QPalette::Button, colour);
    p.setColor(QPalette::Window, colour);
    w->setAutoFillBackground(true);
    w->setPalette(p);
}

} // namespace

void frmView::menuShHE_Click(int he)
{
    if (!validHeadEnd(he))
        return;
    showHeadEnd(he, !m_menuShHE[size_t(he)]->isChecked());
}

void frmView::showHeadEnd(int he, bool show)
{
    if (!validHeadEnd(he))
        return;
    m_menuShHE[size_t(he)]->setChecked(show);
    settings().ShowHE[size_t(m_view)][size_t(he)] = show;
    setPanelsVisibleByMenu();
    SaveSettings();
    GRIDUPDATE();
    DashBoard_Update();
    restartDashBoardTimer();
}

int frmView::zoneIndex() const
{
    static const int map[ZoneCount] = {0, 1, 2, 6, 3, 4, 5, 7, 8, 9, 10, 11};
    const int i = m_cmbTZ->currentIndex();
    return i >= 0 && i < ZoneCount ? map[i] : 0;
}

ViewOptions frmView::options() const
{
    return viewOptionsOf(m_view, m_dtPick->date());
}

void frmView::setFilterIndex(int index)
{
    m_cmbView->setCurrentIndex(index);
    cmbView_Click();
}

void frmView::cmbView_Click()
{
    ViewFilter(m_view) = qint16(m_cmbView->currentIndex() + 1);
    // The "less than" filter never applies to the On-Air list.
    if (m_tabs->currentIndex() == TabOnAir && m_cmbView->currentIndex() == FilterIndexLessThan) {
        setFilterIndex(0);
        return;
    }
    const bool all = ViewFilter(m_view) == FilterAll;
    setBackground(m_frameView, all ? QColor() : FilterRed);
    m_dtPick->setEnabled(ViewFilter(m_view) == FilterDate);
    GRIDUPDATE();
    DashBoard_Update();
    restartDashBoardTimer();
}

// The green one of All and Today is the one the dashboard counts.
void frmView::showScopeButtons(bool today)
{
    setBackground(today ? m_cmdToday : m_cmdAll, ButtonGreen);
    setBackground(today ? m_cmdAll : m_cmdToday, QColor());
}

void frmView::cmdAll_Click()
{
    showScopeButtons(false);
    m_showToday = false;
    DashBoard_Update();
}

void frmView::cmdToday_Click()
{
    showScopeButtons(true);
    m_showToday = true;
    DashBoard_Update();
}

void frmView::cmdDefault_Click()
{
    setDefaultSorts(m_view);
    for (int he = 1; he <= MaxHeadEnds; ++he)
        settings().ShowHE[size_t(m_view)][size_t(he)] = m_enabledAtActivate[size_t(he)];
    for (int he = 1; he <= MaxHeadEnds; ++he)
        m_menuShHE[size_t(he)]->setChecked(settings().ShowHE[size_t(m_view)][size_t(he)]);
    setPanelsVisibleByMenu();
    if (m_cmbView->currentIndex() != 0) {
        setFilterIndex(0);
        return;
    }
    GRIDUPDATE();
    DashBoard_Update();
    restartDashBoardTimer();
}

void frmView::dtPick_Change()
{
    if (ViewFilter(m_view) != FilterDate)
        return;
    GRIDUPDATE();
    DashBoard_Update();
    restartDashBoardTimer();
}

void frmView::headerDblClick(int list, int col)
{
    // The date and start-time columns sort by the start key, the end time by the end key.
    qint16 sortCol = qint16(col);
    if (col == 3 || col == 4)
        sortCol = SortStart;
    else if (col == 5)
        sortCol = SortEnd;
    SortCol(m_view, list) = sortCol;
    GRIDUPDATE();
    DashBoard_Update();
    restartDashBoardTimer();
}

} // namespace vek
