#include "frmview.h"

#include <QCloseEvent>
#include <QComboBox>
#include <cctype>

#include <QAbstractSpinBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolTip>
#include <QWheelEvent>

#include "core/consolecore.h"
#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/hslink.h"
#include "core/log.h"
#include "core/login.h"
#include "core/receivestate.h"
#include "core/reportidentity.h"
#include "core/selection.h"
#include "core/ui/mdimain.h"
#include "core/users.h"
#include "core/zoneclocks.h"
#include "dialogs/eventdates.h"
#include "dialogs/frmadd.h"
#include "dialogs/frmasrun.h"
#include "dialogs/frmonair.h"
#include "eventview/commandsupport.h"
#include "eventview/dashboard.h"
#include "eventview/eventcommands.h"
#include "eventview/eventviews.h"
#include "eventview/groupcommands.h"
#include "eventview/viewstatusbar.h"
#include "eventview/viewtables.h"
#include "eventview/viewtoolbar.h"
#include "platform/clock.h"
#include "platform/failure.h"
#include "platform/numeric.h"
#include "platform/text.h"
#include "platform/timezonebias.h"
#include "platform/widgets/colors.h"
#include "platform/widgets/dialogseam.h"
#include "platform/widgets/gridview.h"
#include "platform/widgets/twips.h"

namespace vek {

// The Event View's handlers: loading and activation, timers, view options, commands, tabs,
// status panels, the lists' mouse and the wheel. The window's layout is in frmview.cpp.

namespace {

constexpr int FilterIndexLessThan = 4;

const QColor ButtonGreen = colorFromBgr(0x00FF00);
const QColor FilterRed = colorFromBgr(255);

// The zone list's entries, in their order.
const char *const ZoneEntries[ZoneCount] = {"Pacific",        "Mountain",       "Central",
                                            "Saskatchewan",   "Eastern",        "Atlantic",
                                            "Newfoundland",   "Pacific No DST", "Mountain No DST",
                                            "Central No DST", "Eastern No DST", "Atlantic No DST"};

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

// A time in the system's long time format without its time-zone name: the lists' times
// are head-end times, not the PC's.
QString longTimeText(const QTime &t)
{
    const QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        kept += c;
    }
    return QLocale::system().toString(t, kept).trimmed();
}

void setTextIfChanged(QLabel *label, const QString &text)
{
    if (label->text() != text)
        label->setText(text);
}

} // namespace

void frmView::watchWheel()
{
    // Every control of the window, so its wheel rule holds over all of them.
    for (QWidget *w : findChildren<QWidget *>()) {
        if (w->isWindow())
            continue;
        w->installEventFilter(this);
        if (qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w) ||
            qobject_cast<QAbstractSpinBox *>(w->parentWidget()))
            m_wheelGuarded.insert(w);
    }
}

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

void frmView::menuShHE_Click(int he)
{
    if (he < 1 || he > MaxHeadEnds)
        return;
    showHeadEnd(he, !m_menuShHE[size_t(he)]->isChecked());
}

void frmView::showHeadEnd(int he, bool show)
{
    if (he < 1 || he > MaxHeadEnds)
        return;
    m_menuShHE[size_t(he)]->setChecked(show);
    settings().ShowHE[size_t(m_view)][size_t(he)] = show;
    setPanelsVisibleByMenu();
    SaveSettings();
    GRIDUPDATE();
    DashBoard_Update();
    restartDashBoardTimer();
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

int frmView::zoneIndex() const
{
    static const int map[ZoneCount] = {0, 1, 2, 6, 3, 4, 5, 7, 8, 9, 10, 11};
    const int i = m_cmbTZ->currentIndex();
    return i >= 0 && i < ZoneCount ? map[i] : 0;
}

void frmView::applyPrivileges()
{
    m_menuSettings->setEnabled(currentPrivilege() == PrivilegeAdmin);
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

ViewOptions frmView::options() const
{
    return viewOptionsOf(m_view, m_dtPick->date());
}

void frmView::GRIDUPDATE()
{
    const GridPanels panels = rebuildGrids(m_grids, m_engine, options(), m_tabs->currentIndex());
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

void frmView::setButtonByTab(int button, bool enabled)
{
    m_buttonByTab[size_t(button)] = enabled;
}

void frmView::applyButtonStates()
{
    for (int b = 1; b <= ButtonCount; ++b)
        m_buttons[size_t(b)]->setEnabled(m_buttonByTab[size_t(b)]);
}

GridView *frmView::currentGrid() const
{
    return m_grids.grid[size_t(qBound(0, m_tabs->currentIndex(), 2) + 1)];
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

void frmView::setSortAndCountPanels(int tab)
{
    const int list = tab + 1;
    m_panels[14]->setText(fromBytes(sortText(SortCol(m_view, list))));
    const GridView *g = m_grids.grid[size_t(list)];
    m_panels[13]->setText(fromBytes(tabEventCountText(g->rows() - 2)));
}

void frmView::SSTab1_Click(int)
{
    const int tab = m_tabs->currentIndex();
    const bool up = tab == TabUpcoming;
    const bool onAir = tab == TabOnAir;
    const bool asRun = tab == TabAsRun;
    m_frameView->setVisible(!asRun);
    setButtonByTab(BtnAdd, up);
    for (int b : {BtnHold, BtnSubNow, BtnHoldGroup, BtnSubGroup})
        setButtonByTab(b, !asRun);
    setButtonByTab(BtnIntRes, onAir);
    setButtonByTab(BtnIntResGroup, onAir);
    if (up || onAir) {
        m_buttons[BtnSubNow]->setText(up ? QStringLiteral("Sub Now") : QStringLiteral("Def. Now"));
        m_buttons[BtnSubNow]->setToolTip(
            up ? QStringLiteral("Switch all selected events now")
               : QStringLiteral("Return selected events to their default source now"));
        m_buttons[BtnSubGroup]->setText(up ? QStringLiteral("Sub Group")
                                           : QStringLiteral("Def. Group"));
        m_buttons[BtnSubGroup]->setToolTip(
            up ? QStringLiteral("Switch selected group now")
               : QStringLiteral("Return selected group to their default source now"));
        m_menuEventSub->setText(up ? QStringLiteral("Sub Now") : QStringLiteral("Def. Now"));
        m_menuPESubNow->setText(up ? QStringLiteral("Sub Now") : QStringLiteral("Def. Now"));
        m_menuPEIntRes->setVisible(onAir);
    }
    applyButtonStates();
    m_menuEventHold->setEnabled(!asRun);
    m_menuEventSub->setEnabled(!asRun);
    m_menuEventInt->setEnabled(onAir);
    setSortAndCountPanels(tab);
    if (onAir && m_cmbView->currentIndex() == FilterIndexLessThan)
        setFilterIndex(0);
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

void frmView::gridMouseMove(int list, int row, int col)
{
    GridView *g = m_grids.grid[size_t(list)];
    if (!g || col >= 13)
        return;
    const QString text = fromBytes(g->textMatrix(row, col));
    QString tip = text;
    if (!trimBlanks(text).isEmpty()) {
        if (col == 3) {
            // The shown date is never read back: the row's start key (its leading digits)
            // holds its date.
            const QByteArray sortKey = g->textMatrix(row, SortStart);
            qsizetype digits = 0;
            while (digits < sortKey.size() && digits < 13 && std::isdigit(quint8(sortKey[digits])))
                ++digits;
            const QDate d = digits == 13 ? keyDate(sortKey.left(13).toLongLong()) : QDate();
            if (d.isValid())
                tip = QLocale::c().toString(d, QStringLiteral("dddd, MMM d yyyy"));
        } else if (col == 4 || col == 5) {
            const QTime t = QTime::fromString(trimBlanks(text), QStringLiteral("HH:mm:ss"));
            if (t.isValid())
                tip = longTimeText(t);
        }
    }
    g->setToolTip(tip);
}

void frmView::MouseWheel(int, int rotation, int xpos, int ypos)
{
    const QPoint at(xpos, ypos);
    for (GridView *g : m_grids.grid) {
        if (!g || !g->isVisible())
            continue;
        const QRect r(g->mapToGlobal(QPoint(0, 0)), g->size());
        if (!r.contains(at))
            continue;
        if (rotation < 1)
            g->setTopRow(qMin(g->topRow() + 1, g->rows() - 1));
        else
            g->setTopRow(qMax(g->topRow() - 1, 1));
        return;
    }
    setWindowTitle(QStringLiteral("Form Scroll ") +
                   (rotation < 0 ? QStringLiteral("Down") : QStringLiteral("Up")));
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->setWindowTitle(windowTitle());
}

bool frmView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        for (int p = 1; p <= StatusPanels; ++p) {
            if (watched == m_panels[size_t(p)]) {
                StatusBar1_PanelClick(p);
                return true;
            }
        }
    }
    if (event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        for (int list = 1; list <= EventListCount; ++list) {
            GridView *g = m_grids.grid[size_t(list)];
            if (g && watched == g->viewport() && mouse->button() == Qt::RightButton) {
                const QModelIndex at = g->indexAt(mouse->position().toPoint());
                if (at.isValid())
                    gridMouseDown(list, mouse->button(), at.row() + 1, at.column(),
                                  mouse->globalPosition().toPoint());
                // The right button never moves the selection.
                return true;
            }
        }
    }
    if (event->type() == QEvent::ToolTip) {
        for (int list = 1; list <= EventListCount; ++list) {
            GridView *g = m_grids.grid[size_t(list)];
            if (g && watched == g->viewport()) {
                const auto *help = static_cast<QHelpEvent *>(event);
                const QModelIndex at = g->indexAt(help->pos());
                if (at.isValid())
                    gridMouseMove(list, at.row() + 1, at.column());
                const QString tip = g->toolTip();
                if (tip.isEmpty())
                    QToolTip::hideText();
                else
                    QToolTip::showText(help->globalPos(), tip, g);
                return true;
            }
        }
    }
    if (event->type() == QEvent::Wheel) {
        // The wheel never changes a setting: over the filter, zone and date controls it
        // scrolls like anywhere else in the window (or, unhooked, does nothing).
        if (m_wheelHooked) {
            handleWheel(static_cast<QWheelEvent *>(event));
            return true;
        }
        if (m_wheelGuarded.contains(watched)) {
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmView::wheelEvent(QWheelEvent *event)
{
    // Wheel messages that no control of the window took: over the dashboard, frames, labels.
    if (!m_wheelHooked) {
        QWidget::wheelEvent(event);
        return;
    }
    handleWheel(event);
}

void frmView::handleWheel(QWheelEvent *wheel)
{
    wheel->accept();
    // Vertical wheel only: one row per message, whatever the distance.
    if (wheel->angleDelta().y() == 0)
        return;
    const QPoint global = wheel->globalPosition().toPoint();
    MouseWheel(int(wheel->buttons()), wheel->angleDelta().y(), global.x(), global.y());
}

} // namespace vek
