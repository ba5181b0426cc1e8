#include "frmview.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QToolTip>
#include <QWheelEvent>
#include <cctype>

#include "core/eventtext.h"
#include "core/receivestate.h"
#include "dialogs/eventdates.h"
#include "eventview/viewtables.h"
#include "platform/text.h"
#include "platform/widgets/gridview.h"

namespace vek {

// The Event View's lists: the tabs, the selection and the rows' tips, the lists' mouse and
// the wheel.

namespace {

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

GridView *frmView::currentGrid() const
{
    return m_grids.grid[size_t(qBound(0, m_tabs->currentIndex(), 2) + 1)];
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
