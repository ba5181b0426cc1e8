#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QWheelEvent>

#include "core/consolestate.h"
#include "core/eventtable.h"
#include "core/receivestate.h"
#include "core/settings.h"
#include "core/ui/mdimain.h"
#include "core/users.h"
#include "core/winqueue.h"
#include "eventfixture.h"
#include "eventview/eventcommands.h"
#include "eventview/eventviews.h"
#include "eventview/frmview.h"
#include "eventview/viewtables.h"
#include "platform/clock.h"
#include "platform/widgets/dialogseam.h"
#include "platform/widgets/gridview.h"
#include "testhome.h"
#include "testregistry.h"

using namespace vek;
using eventfixture::addEvent;

namespace {

QAction *item(QMenu *menu, const QString &caption)
{
    for (QAction *a : menu->actions()) {
        if (a->text() == caption)
            return a;
    }
    return nullptr;
}

// The list row that shows a row key, or 0.
int rowOfKey(const GridView *g, const QByteArray &rowKey)
{
    for (int r = 1; r < g->rows(); ++r) {
        if (g->textMatrix(r, 0) == rowKey)
            return r;
    }
    return 0;
}

// Opens the row popup (or the group popup on the Group column) on a list row.
void rightClick(frmView &view, int list, int row, int col)
{
    view.gridMouseDown(list, Qt::RightButton, row, col, QPoint(10, 10));
    QMenu *menu = col == GroupColumn ? view.menuPOP() : view.menuPOPEVENT();
    QVERIFY(menu->isVisible());
    menu->close();
}

void sendWheel(QWidget *target, int delta)
{
    const QPointF local(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent e(local, target->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &e);
}

// Every toolbar button, the view options, the zone clock and the tab strip are shown whole
// inside the view, none over another.
void verifyControlsWhole(frmView &view)
{
    QList<QWidget *> controls;
    for (int b = 1; b <= frmView::ButtonCount; ++b)
        controls << view.toolButtonWidget(b);
    controls << view.frameView()->findChild<QPushButton *>() << view.cmbView() << view.dtPick()
             << view.cmbTZ() << view.lblTime(1) << view.tabs()->tabBar();
    QList<QRect> places;
    for (QWidget *w : controls) {
        QVERIFY(w);
        const QRect r(w->mapTo(&view, QPoint(0, 0)), w->size());
        const QString name = w->objectName().isEmpty()
                                 ? QString::fromLatin1(w->metaObject()->className())
                                 : w->objectName();
        QVERIFY2(w->isVisible() && view.rect().contains(r),
                 qPrintable(QStringLiteral("%1 at %2,%3 %4x%5 in %6x%7")
                                .arg(name)
                                .arg(r.x())
                                .arg(r.y())
                                .arg(r.width())
                                .arg(r.height())
                                .arg(view.width())
                                .arg(view.height())));
        QVERIFY2(w->width() >= w->minimumSizeHint().width(), qPrintable(name));
        for (const QRect &other : places)
            QVERIFY2(!other.intersects(r), qPrintable(name));
        places << r;
    }
    // The lists start below the tabs and end above the status bar.
    GridView *up = view.grid(ListUpcoming);
    const QRect list(up->mapTo(&view, QPoint(0, 0)), up->size());
    const QWidget *status = view.statusPanel(13)->parentWidget();
    QVERIFY(list.bottom() < status->mapTo(&view, QPoint(0, 0)).y());
    QVERIFY(view.rect().contains(QRect(status->mapTo(&view, QPoint(0, 0)), status->size())));
}

int rowHeight(frmView &view)
{
    return view.grid(ListUpcoming)->verticalHeader()->defaultSectionSize();
}

QList<QByteArray> queued(int he)
{
    QList<QByteArray> out;
    for (QByteArray m = WINGET(he); !m.isEmpty(); m = WINGET(he))
        out << m;
    return out;
}

} // namespace

// The Event View as an operator meets it: popups that stay open while the lists rebuild,
// user entries with damaged privileges.
class TestViewHardening : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        resetConsoleState();
        m_clock.set(QDateTime(eventfixture::today(), QTime(12, 0)));
        Clock::install(&m_clock);
        users().UserPrivilege[1] = PrivilegeOperator;
        users().UserHEAccess[1][1] = true;
        users().CurrentUser = 1;
    }
    void cleanup()
    {
        Clock::install(nullptr);
        resetConsoleState();
    }

    void popupsActOnTheRowsTakenWhenTheyOpened()
    {
        TestHome home;
        addEvent(1, 0, StatusActive).Description = "First";
        addEvent(1, 1, StatusActive).Description = "Second";
        frmView view(1, nullptr);
        view.resize(900, 500);
        view.show();
        view.timeLoad_Timer();
        GridView *up = view.grid(ListUpcoming);
        const int firstRow = rowOfKey(up, "1-0");
        QVERIFY(firstRow > 0);
        up->setRow(firstRow);
        rightClick(view, ListUpcoming, firstRow, 8);

        // While the popup is open the server deletes the first event; the rebuild puts the
        // second one into its row and keeps the selection there.
        Events().edit(1, 0).InUse = false;
        view.GRIDUPDATE();
        QCOMPARE(up->textMatrix(firstRow, 0), QByteArray("1-1"));
        QCOMPARE(up->row(), firstRow);

        ScopedDialogHandler dialogs(DialogAnswer{QMessageBox::Yes, {}, {}});
        item(view.menuPOPEVENT(), QStringLiteral("Delete Event"))->trigger();
        QCOMPARE(dialogs.requests().last().text, QStringLiteral("This is not a valid event."));
        QVERIFY(queued(1).isEmpty());
        QCOMPARE(Events().at(1, 1).Status, quint8(StatusActive));

        // The same for Hold, and for a slot the server reused for another event.
        addEvent(1, 0, StatusActive);
        view.GRIDUPDATE();
        up->setRow(rowOfKey(up, "1-0"));
        rightClick(view, ListUpcoming, up->row(), 8);
        addEvent(1, 0, StatusActive).EventKey = "ANOTHER-EVENT-IN-THE-SAME-SLOT--";
        view.GRIDUPDATE();
        item(view.menuPOPEVENT(), QStringLiteral("Hold Event"))->trigger();
        QCOMPARE(dialogs.requests().last().text, QStringLiteral("This is not a valid event."));
        QCOMPARE(Events().at(1, 0).Status, quint8(StatusActive));
        QVERIFY(queued(1).isEmpty());

        // Untouched rows: the popup's command acts on them.
        view.GRIDUPDATE();
        up->setRow(rowOfKey(up, "1-1"));
        rightClick(view, ListUpcoming, up->row(), 8);
        view.GRIDUPDATE();
        item(view.menuPOPEVENT(), QStringLiteral("Hold Event"))->trigger();
        QCOMPARE(Events().at(1, 1).Status, quint8(StatusOnHold));
        QCOMPARE(queued(1).size(), 1);
    }

    void theGroupPopupActsOnTheRowsTakenWhenItOpened()
    {
        TestHome home;
        addEvent(1, 0, StatusActive);
        addEvent(1, 1, StatusActive);
        frmView view(1, nullptr);
        view.timeLoad_Timer();
        GridView *up = view.grid(ListUpcoming);
        up->setRow(rowOfKey(up, "1-0"));
        rightClick(view, ListUpcoming, up->row(), GroupColumn);
        Events().edit(1, 0).InUse = false;
        view.GRIDUPDATE();
        ScopedDialogHandler dialogs;
        item(view.menuPOP(), QStringLiteral("N/A"))->trigger();
        QCOMPARE(dialogs.requests().last().text, QStringLiteral("This is not a valid event."));
        QVERIFY(queued(1).isEmpty());
    }

    void aPrivilegeOutsideTheKnownLevelsHasNoRights()
    {
        QCOMPARE(normalisedPrivilege(2), qint16(PrivilegeOperator));
        QCOMPARE(normalisedPrivilege(3), qint16(PrivilegeAdmin));
        for (qint16 damaged : {qint16(0), qint16(-3), qint16(4), qint16(99)})
            QCOMPARE(normalisedPrivilege(damaged), qint16(PrivilegeNone));

        TestHome home;
        addEvent(1, 0, StatusActive);
        for (qint16 damaged : {qint16(7), qint16(0)}) {
            users().UserPrivilege[1] = damaged;
            QVERIFY(!currentUserMayChange());
            CommandView upcoming;
            ScopedDialogHandler dialogs(DialogAnswer{QMessageBox::Yes, {}, {}});
            CommandRow row;
            row.rowKey = "1-0";
            row.headEnd = 1;
            row.slot = 0;
            row.fullKey = Events().at(1, 0).EventKey;
            menuEventHold_Click(upcoming, {row});
            menuEventDel_Click(upcoming, {row});
            QCOMPARE(dialogs.requests().size(), 2);
            QCOMPARE(dialogs.requests().first().text,
                     QStringLiteral("The current user does not have the privileges to change "
                                    "information."));
            QCOMPARE(Events().at(1, 0).Status, quint8(StatusActive));
            QVERIFY(queued(1).isEmpty());
            // Nor does it open the Settings menu of a view.
            frmView view(1, nullptr);
            QVERIFY(!view.menuSettings()->isEnabled());
        }
    }

    void theWheelNeverChangesTheFilterZoneOrDate()
    {
        TestHome home;
        frmView view(1, nullptr);
        view.resize(1000, 500);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.timeLoad_Timer();
        view.cmbView()->setCurrentIndex(1); // "Date >>": the picker is enabled
        view.cmbView_Click();
        const int zone = view.cmbTZ()->currentIndex();
        const QDate date = view.dtPick()->date();
        for (QWidget *target :
             {static_cast<QWidget *>(view.cmbView()), static_cast<QWidget *>(view.cmbTZ()),
              static_cast<QWidget *>(view.dtPick())}) {
            sendWheel(target, -120);
            sendWheel(target, 120);
        }
        // The picker's edit field too.
        for (QWidget *inner : view.dtPick()->findChildren<QWidget *>())
            sendWheel(inner, -120);
        QCOMPARE(view.cmbView()->currentIndex(), 1);
        QCOMPARE(view.cmbTZ()->currentIndex(), zone);
        QCOMPARE(view.dtPick()->date(), date);
        // Over no list the wheel says so in the caption, as over any other control.
        QVERIFY(view.caption().startsWith(QStringLiteral("Form Scroll ")));
    }

    void dateTipsAreReadWithTheConsolesOwnRules()
    {
        TestHome home;
        EventRec &e = addEvent(1, 0, StatusActive, 2026121043200);
        e.StartTime = "12:00:00";
        frmView view(1, nullptr);
        view.timeLoad_Timer();
        GridView *up = view.grid(ListUpcoming);
        const int row = rowOfKey(up, "1-0");
        // The date as a US short date shows it; read with a system locale it would be 1926
        // or the 12th of October.
        up->setTextMatrix(row, 3, "12/10/26");
        view.gridMouseMove(ListUpcoming, row, 3);
        QCOMPARE(up->toolTip(), QStringLiteral("Thursday, Dec 10 2026"));
        // Head-end times carry no zone name of the PC.
        up->setTextMatrix(row, 4, "14:30:05");
        view.gridMouseMove(ListUpcoming, row, 4);
        QCOMPARE(up->toolTip(), QStringLiteral("14:30:05"));
    }

    void aLocalChangeIsShownByTheNextRebuildOfAnyHeadEnd()
    {
        TestHome home;
        settings().ShowHE[1][2] = true;
        users().UserHEAccess[1][2] = true;
        addEvent(1, 0, StatusActive);
        addEvent(2, 0, StatusActive);
        frmView view(1, nullptr);
        view.timeLoad_Timer();
        GridView *up = view.grid(ListUpcoming);
        const int row = rowOfKey(up, "1-0");
        QCOMPARE(up->textMatrix(row, 9), QByteArray("Active"));
        // Put on hold here; before the server's echo another head end changes.
        CommandRow r;
        r.rowKey = "1-0";
        r.headEnd = 1;
        r.fullKey = Events().at(1, 0).EventKey;
        CommandView upcoming;
        menuEventHold_Click(upcoming, {r});
        QCOMPARE(Events().at(1, 0).Status, quint8(StatusOnHold));
        addEvent(2, 1, StatusActive);
        GridDirty(1, 2) = true;
        view.timeMain_Timer();
        QCOMPARE(up->textMatrix(rowOfKey(up, "1-0"), 9), QByteArray("On Hold"));
        QVERIFY(rowOfKey(up, "2-1") > 0);
    }

    void everyControlShowsAtTheDefaultSize()
    {
        TestHome home;
        for (int he = 1; he <= MaxHeadEnds; ++he) {
            settings().ShowHE[1][size_t(he)] = true;
            settings().HEName[size_t(he)] = "Head End Number " + QByteArray::number(he);
        }
        for (int slot = 0; slot < 30; ++slot)
            addEvent(1, slot, StatusActive);
        frmView view(1, nullptr);
        view.Form_Activate();
        view.resize(view.defaultSize());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.timeLoad_Timer();
        view.StatusBar1_PanelClick(16); // the dashboard on
        QTRY_VERIFY(view.picDashBoard()->isVisible());
        QCoreApplication::processEvents();
        QVERIFY(view.width() >= 467 && view.height() >= 267); // 7000 x 4000 twips at least
        verifyControlsWhole(view);
        // The dashboard's figures and the status panels' texts are never cut.
        const QRect window = view.rect();
        const auto shownWhole = [&](QWidget *w) {
            const QRect r(w->mapTo(&view, QPoint(0, 0)), w->size());
            return w->isVisible() && window.contains(r) && w->width() >= w->sizeHint().width();
        };
        for (QLabel *l : view.picDashBoard()->findChildren<QLabel *>())
            QVERIFY2(shownWhole(l), qPrintable(l->text()));
        for (int p = 1; p <= frmView::StatusPanels; ++p)
            QVERIFY2(shownWhole(view.statusPanel(p)), qPrintable(view.statusPanel(p)->text()));
        // With the dashboard on, the list still shows rows.
        GridView *up = view.grid(ListUpcoming);
        QVERIFY(up->viewport()->height() >= 3 * up->verticalHeader()->defaultSectionSize());
        // A narrow view wraps the dashboard's figures rather than cut their captions.
        view.resize(340, 220);
        QCoreApplication::processEvents();
        for (QLabel *l : view.picDashBoard()->findChildren<QLabel *>())
            QVERIFY2(shownWhole(l), qPrintable(l->text()));
    }

    void everyControlShowsAtEverySizeInTheMainWindow()
    {
        TestHome home;
        for (int he = 1; he <= 3; ++he) {
            for (int v = 1; v <= 3; ++v)
                settings().ShowHE[size_t(v)][size_t(he)] = true;
            settings().HEName[size_t(he)] = "Head End Number " + QByteArray::number(he);
        }
        MDIMain main;
        installEventViewOpener(&main);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const QRect area = main.mdiArea()->viewport()->rect();
        const auto subOf = [](frmView *v) {
            return qobject_cast<QMdiSubWindow *>(v->parentWidget());
        };
        frmView *first = openEventView(&main, 1);
        QVERIFY(first);
        QCoreApplication::processEvents();
        verifyControlsWhole(*first);
        QVERIFY(area.contains(subOf(first)->geometry()));

        // Made small by the operator: the lists keep a row, the top and the status bar scroll.
        subOf(first)->resize(340, 200);
        QCoreApplication::processEvents();
        QVERIFY(first->grid(ListUpcoming)->viewport()->height() >= 2 * rowHeight(*first));
        QVERIFY(!first->statusPanel(13)->parentWidget()->visibleRegion().isEmpty());
        QVERIFY(first->tabs()->tabBar()->isVisible());
        first->showNormal();
        subOf(first)->resize(first->defaultSize() + (subOf(first)->size() - first->size()));
        QCoreApplication::processEvents();
        verifyControlsWhole(*first);

        // Tiled, no two views overlap, each lies inside the area and shows an event row; up
        // to four show three and have room for every control whole.
        QList<frmView *> views = {first};
        for (int v = 2; v <= 8; ++v) {
            views << openEventView(&main, v);
            if (v != 3 && v != 4 && v != 8)
                continue;
            for (const int arrangement : {1, 2, 0}) {
                main.menuWindowArrange_Click(arrangement);
                QCoreApplication::processEvents();
                const QString what =
                    QStringLiteral("%1 views, arrangement %2").arg(v).arg(arrangement);
                for (frmView *view : views) {
                    const QRect placed = subOf(view)->geometry();
                    QVERIFY2(area.contains(placed), qPrintable(what));
                    if (arrangement == 0)
                        continue;
                    // Up to four views: three event rows each; more: one.
                    QVERIFY2(view->grid(ListUpcoming)->viewport()->height() >=
                                 (v <= 4 ? 3 : 1) * rowHeight(*view),
                             qPrintable(what));
                    if (view->height() >= view->minimumHeightFor(view->width()))
                        verifyControlsWhole(*view);
                    else
                        QVERIFY2(v > 4, qPrintable(what));
                    for (frmView *other : views)
                        QVERIFY2(other == view || !placed.intersects(subOf(other)->geometry()),
                                 qPrintable(what));
                }
            }
        }
        // After a cascade the active view lies on top and stays the one commands go to.
        main.mdiArea()->setActiveSubWindow(subOf(views[4]));
        main.menuWindowArrange_Click(0);
        QCOMPARE(main.mdiArea()->subWindowList(QMdiArea::StackingOrder).last(), subOf(views[4]));
        QCOMPARE(main.mdiArea()->currentSubWindow(), subOf(views[4]));
    }

    void defaultColumnsHoldTheirTexts()
    {
        TestHome home;
        settings().ShowHE[1][1] = true;
        settings().HEName[1] = "Winnipeg Centre"; // 15 characters
        EventRec &e = addEvent(1, 0, StatusOnHold);
        e.StartTime = "23:58:58";
        e.EndTime = "23:59:59";
        e.EventDate = QDate(2028, 9, 28);
        frmView view(1, nullptr);
        view.resize(1200, 500);
        view.show();
        view.timeLoad_Timer();
        GridView *up = view.grid(ListUpcoming);
        const int row = rowOfKey(up, "1-0");
        QVERIFY(row > 0);
        for (const int col : {1, 3, 4, 5, 9}) {
            const QModelIndex cell = up->gridModel()->index(row - 1, col);
            QVERIFY2(up->columnWidth(col) >= up->sizeHintForIndex(cell).width(),
                     qPrintable(cell.data().toString()));
        }
        for (int col = 1; col < up->cols(); ++col) {
            if (up->columnWidth(col) > 0)
                QVERIFY2(up->columnWidth(col) >= up->horizontalHeader()->sectionSizeHint(col),
                         up->textMatrix(0, col).constData());
        }
        // The widths read back in twips as they were given.
        QCOMPARE(up->columnWidthTwips(1), 900);
    }

    void theSelectionOfAnInactiveViewStaysReadable()
    {
        TestHome home;
        frmView view(1, nullptr);
        view.Form_Activate();
        view.Form_Deactivate();
        const QPalette p = view.grid(ListUpcoming)->palette();
        const QColor back = p.color(QPalette::Inactive, QPalette::Highlight);
        const QColor text = p.color(QPalette::Inactive, QPalette::HighlightedText);
        QVERIFY(qAbs(back.lightness() - text.lightness()) > 100);
    }

private:
    ManualClock m_clock{QDateTime()};
};

VEK_TEST(TestViewHardening)
#include "tst_viewhardening.moc"
