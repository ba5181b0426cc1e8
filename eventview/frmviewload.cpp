#include "frmview.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>

#include "core/consolecore.h"
#include "core/hslink.h"
#include "core/log.h"
#include "core/login.h"
#include "core/receivestate.h"
#include "core/reportidentity.h"
#include "core/ui/mdimain.h"
#include "core/users.h"
#include "core/zoneclocks.h"
#include "eventview/dashboard.h"
#include "eventview/eventviews.h"
#include "eventview/viewstatusbar.h"
#include "eventview/viewtables.h"
#include "platform/clock.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "platform/timezonebias.h"
#include "platform/widgets/colors.h"
#include "platform/widgets/gridview.h"

namespace vek {

// The Event View's loading, activation and closing, its timers, the dashboard and the
// status bar's panels. The window's layout is in frmview.cpp.

namespace {

// The view that rebuilt in this pass of the event loop, until the pass ends.
const frmView *g_rebuiltThisPass = nullptr;

// The zone list's entries, in their order.
const char *const ZoneEntries[ZoneCount] = {"Pacific",        "Mountain",       "Central",
                                            "Saskatchewan",   "Eastern",        "Atlantic",
                                            "Newfoundland",   "Pacific No DST", "Mountain No DST",
                                            "Central No DST", "Eastern No DST", "Atlantic No DST"};

void setTextIfChanged(QLabel *label, const QString &text)
{
    if (label->text() != text)
        label->setText(text);
}

} // namespace

void frmView::runGuarded(const char *label, const std::function<void()> &work)
{
    try {
        work();
    } catch (const Failure &f) {
        logError(label, f);
    }
}

void frmView::Form_Load()
{
    runGuarded("Error frmView_Load)", [this] {
        const Settings &s = settings();
        for (int g = 1; g <= MaxGroups; ++g)
            m_menuPOPGROUP[size_t(g)]->setVisible(s.GroupEnabled[size_t(g)]);
        m_menuPECopyMediaPoint->setVisible(s.VCOGLock);

        m_tzBias = TimeZoneBias::current().standardBias(Clock::localNow());
        static const int known[] = {210, 240, 300, 360, 420, 480};
        if (std::find(std::begin(known), std::end(known), m_tzBias) == std::end(known))
            m_tzBias = 480;
        for (const char *zone : ZoneEntries)
            m_cmbTZ->addItem(QString::fromLatin1(zone));
        const int preselect = m_tzBias == 420   ? 1
                              : m_tzBias == 360 ? 2
                              : m_tzBias == 300 ? 4
                              : m_tzBias == 240 ? 5
                              : m_tzBias == 210 ? 6
                                                : 0;
        m_cmbTZ->setCurrentIndex(preselect);

        setDefaultColumnWidths();
        GRIDSET(m_grids, s.VCOGLock);
        m_timeLoad.start();
        for (GridView *g : m_grids.grid) {
            if (g)
                g->setSelectionBackColor(colorFromBgr(s.EventColors[8]));
        }
        m_dtPick->setDate(Clock::today());
        // Rights are evaluated at once: a user logged in before this view opened keeps them.
        applyPrivileges();
    });
}

void frmView::timeLoad_Timer()
{
    m_timeLoad.stop();
    runGuarded("Error frmView_timeLoad_Timer)", [this] {
        setDefaultSorts(m_view);
        m_cmbView->setCurrentIndex(0);
        cmbView_Click();
    });
}

void frmView::Form_Activate()
{
    runGuarded("Error frmView_Activate)", [this] {
        const Settings &s = settings();
        const QString title =
            fromBytes(s.ViewName[size_t(m_view)]) + QStringLiteral(" (Event View %1 )").arg(m_view);
        setWindowTitle(title);
        if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
            sub->setWindowTitle(title);
        showViewNames();
        for (int he = 1; he <= MaxHeadEnds; ++he) {
            m_menuShHE[size_t(he)]->setText(fromBytes(s.HEName[size_t(he)]));
            m_menuShHE[size_t(he)]->setChecked(s.ShowHE[size_t(m_view)][size_t(he)]);
            m_enabledAtActivate[size_t(he)] = s.ShowHE[size_t(m_view)][size_t(he)];
            m_panels[size_t(he)]->setText(fromBytes(s.HEName[size_t(he)]) +
                                          QStringLiteral(" (F%1)").arg(he));
            if (m_menuShHE[size_t(he)]->isChecked())
                m_panels[size_t(he)]->show();
        }
        updateMinimumSize();
        const QColor selection = colorFromBgr(s.EventColors[8]);
        for (GridView *g : m_grids.grid) {
            if (g)
                g->setSelectionBackColor(selection);
        }
    });
}

void frmView::Form_Deactivate()
{
    // Only the active view shows its selection highlighted.
    for (GridView *g : m_grids.grid) {
        if (g)
            g->setSelectionBackColor(palette().color(QPalette::Base));
    }
}

void frmView::restartDashBoardTimer()
{
    m_timeDashBoardUpdate.stop();
    m_timeDashBoardUpdate.start();
}

void frmView::closeEvent(QCloseEvent *event)
{
    if (EventViews()[size_t(m_view)] == this)
        EventViews()[size_t(m_view)] = nullptr;
    QWidget::closeEvent(event);
}

bool frmView::frameViewShown() const
{
    return !m_frameView->isHidden();
}

void frmView::applyPrivileges()
{
    m_menuSettings->setEnabled(currentPrivilege() == PrivilegeAdmin);
}

bool frmView::takeRebuildTurn() const
{
    if (g_rebuiltThisPass && g_rebuiltThisPass != this)
        return false;
    if (!g_rebuiltThisPass)
        QTimer::singleShot(0, [] { g_rebuiltThisPass = nullptr; });
    g_rebuiltThisPass = this;
    return true;
}

void frmView::releaseRebuildTurn() const
{
    if (g_rebuiltThisPass == this)
        g_rebuiltThisPass = nullptr;
}

void frmView::timeMain_Timer()
{
    runGuarded("Error frmView_timeMain_Timer)", [this] {
        const QDateTime zone = ZoneTimes()[size_t(zoneIndex())];
        const QTime t = zone.time();
        m_lblTime[0]->setText(t.toString(QStringLiteral("HH:mm:ss")));
        m_lblTime[1]->setText(QLocale::c().toString(t, QStringLiteral("h:mm:ss AP")));
        if (GridDirty(m_view, 0)) {
            applyPrivileges();
            GridDirty(m_view, 0) = false;
            return;
        }
        for (int he = 1; he <= MaxHeadEnds; ++he) {
            if (!GridDirty(m_view, he))
                continue;
            if (!takeRebuildTurn()) {
                QTimer::singleShot(0, this, &frmView::timeMain_Timer);
                return;
            }
            GridDirty(m_view, he) = false;
            GRIDUPDATE();
            DashBoard_Update();
            restartDashBoardTimer();
            return;
        }
    });
}

void frmView::timeDashBoardUpdate_Timer()
{
    DashBoard_Update();
    if (m_timeDashBoardUpdate.interval() == 2000) {
        m_timeDashBoardUpdate.setInterval(2001);
    } else {
        m_timeDashBoardUpdate.setInterval(2000);
        m_timeDashBoardUpdate.stop();
    }
}

void frmView::GRIDUPDATE()
{
    const GridPanels panels = rebuildGrids(m_grids, m_lists, options(), m_tabs->currentIndex());
    m_panels[13]->setText(fromBytes(panels.events));
    m_panels[14]->setText(fromBytes(panels.sort));
}

void frmView::DashBoard_Update()
{
    const DashBoardFigures f = sumDashBoard(settings().ShowHE[size_t(m_view)], m_showToday);
    if (m_progCompleted->value() != f.bar)
        m_progCompleted->setValue(f.bar);
    setTextIfChanged(m_lblPercent, fromBytes(f.percentText()));
    const auto numbers = f.numberTexts();
    for (size_t i = 0; i < numbers.size(); ++i)
        setTextIfChanged(m_dashNumbers[i], fromBytes(numbers[i]));
}

void frmView::StatusBar1_PanelClick(int panel)
{
    if (panel == 15) {
        WriteLog("Operator cleared alarm from Event View.");
        QString address;
        if (m_main && m_main->core())
            address = m_main->core()->hsLink().localAddress(1);
        const QByteArray text = "Operator cleared alarm from Event View from IP " +
                                toBytes(address) + ".  NT user name = " + reportUserName() +
                                " on domain " + reportUserDomain();
        SendHS(1, "d" + text, 0);
    } else if (panel == 16) {
        m_dashBoardShown = !m_dashBoardShown;
        Form_Resize();
        DashBoard_Update();
        restartDashBoardTimer();
    }
}

} // namespace vek
