#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTabWidget>
#include <QTest>
#include <QWheelEvent>

#include "core/consolestate.h"
#include "core/eventtable.h"
#include "core/receivestate.h"
#include "core/selection.h"
#include "core/settings.h"
#include "core/ui/mdimain.h"
#include "core/users.h"
#include "core/winqueue.h"
#include "eventfixture.h"
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

void sendWheel(QWidget *target, int delta, bool horizontal = false)
{
    const QPointF local(target->width() / 2.0, target->height() / 2.0);
    const QPointF global = target->mapToGlobal(local);
    const QPoint angle = horizontal ? QPoint(delta, 0) : QPoint(0, delta);
    QWheelEvent e(local, global, QPoint(), angle, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(target, &e);
}

} // namespace

class TestFrmView : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        resetConsoleState();
        m_clock.set(QDateTime(eventfixture::today(), QTime(12, 0)));
        Clock::install(&m_clock);
    }
    void cleanup() { Clock::install(nullptr); }

    void firstBuildShowsTheShownHeadEndsWithDefaultSorts()
    {
        TestHome home;
        addEvent(1, 0, 1);
        addEvent(1, 1, 2);
        addEvent(2, 0, 8);
        frmView view(1, nullptr);
        view.timeLoad_Timer();
        QCOMPARE(SortCol(1, 1), qint16(17));
        QCOMPARE(SortCol(1, 2), qint16(18));
        QCOMPARE(view.grid(ListUpcoming)->rows(), 3);
        QCOMPARE(view.grid(ListOnAir)->rows(), 3);
        QCOMPARE(view.grid(ListAsRun)->rows(), 3);
        QCOMPARE(view.statusPanel(13)->text(), QStringLiteral("1 Event"));
        QCOMPARE(view.statusPanel(14)->text(), QStringLiteral("Sort: Start Date"));
        QCOMPARE(view.grid(ListUpcoming)->textMatrix(2, 0), QByteArray("1-0"));
    }

    void fKeysToggleHeadEndsAndSaveThem()
    {
        TestHome home;
        addEvent(5, 3, 1);
        frmView view(2, nullptr);
        view.Form_Activate();
        view.timeLoad_Timer();
        QCOMPARE(view.grid(ListUpcoming)->rows(), 3);
        view.show();
        view.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        QTest::keyClick(view.grid(ListUpcoming), Qt::Key_F5);
        QVERIFY(!settings().ShowHE[2][5]);
        QVERIFY(!view.menuShHE(5)->isChecked());
        QVERIFY(home.read(QStringLiteral("VEK.INI")).contains("View_2_HeadEnd_5=0"));
        QCOMPARE(view.grid(ListUpcoming)->rows(), 2);
        QVERIFY(view.statusPanel(5)->isHidden());
        QTest::keyClick(view.grid(ListUpcoming), Qt::Key_F5);
        QVERIFY(settings().ShowHE[2][5]);
        QVERIFY(home.read(QStringLiteral("VEK.INI")).contains("View_2_HeadEnd_5=1"));
        QCOMPARE(view.grid(ListUpcoming)->rows(), 3);
        // The Show menu's entry toggles the same way (it is checked before it reports).
        view.menuShHE(5)->trigger();
        QVERIFY(!settings().ShowHE[2][5]);
        QVERIFY(!view.menuShHE(5)->isChecked());
        QVERIFY(home.read(QStringLiteral("VEK.INI")).contains("View_2_HeadEnd_5=0"));
        QCOMPARE(view.grid(ListUpcoming)->rows(), 2);
        view.menuShHE(5)->trigger();
        QVERIFY(settings().ShowHE[2][5]);
        QCOMPARE(view.grid(ListUpcoming)->rows(), 3);
    }

    void defaultRestoresTheHeadEndsOfTheLastActivationWithoutSaving()
    {
        TestHome home;
        frmView view(1, nullptr);
        view.Form_Activate();
        view.timeLoad_Timer();
        view.menuShHE_Click(3);
        QVERIFY(!settings().ShowHE[1][3]);
        SortCol(1, 1) = 4;
        view.cmbView()->setCurrentIndex(2);
        view.cmbView_Click();
        home.write(QStringLiteral("VEK.INI"), "");
        view.cmdDefault_Click();
        QVERIFY(settings().ShowHE[1][3]);
        QVERIFY(view.menuShHE(3)->isChecked());
        QCOMPARE(SortCol(1, 1), qint16(17));
        QCOMPARE(view.cmbView()->currentIndex(), 0);
        QCOMPARE(ViewFilter(1), qint16(FilterAll));
        QCOMPARE(home.read(QStringLiteral("VEK.INI")), QByteArray());
    }

    void theOnAirTabNeverKeepsTheLessThanFilter()
    {
        TestHome home;
        frmView view(1, nullptr);
        view.timeLoad_Timer();
        view.cmbView()->setCurrentIndex(4);
        view.cmbView_Click();
        QCOMPARE(ViewFilter(1), qint16(FilterLessThan));
        QVERIFY(view.frameView()->autoFillBackground()); // red while filtered
        view.tabs()->setCurrentIndex(1);
        QCOMPARE(view.cmbView()->currentIndex(), 0);
        QCOMPARE(ViewFilter(1), qint16(FilterAll));
        QVERIFY(!view.frameView()->autoFillBackground());
        // Choosing it on the On-Air tab falls back at once.
        view.cmbView()->setCurrentIndex(4);
        view.cmbView_Click();
        QCOMPARE(view.cmbView()->currentIndex(), 0);
        QCOMPARE(view.toolButton(frmView::BtnSubNow)->text(), QStringLiteral("Def. Now"));
        QVERIFY(view.buttonEnabledByTab(frmView::BtnIntRes));
        view.tabs()->setCurrentIndex(2);
        QVERIFY(!view.frameViewShown());
        QVERIFY(!view.buttonEnabledByTab(frmView::BtnHold));
        QCOMPARE(view.statusPanel(13)->text(), QStringLiteral(" 0 Events"));
    }

    void theTickRebuildsOneDirtyHeadEndAndEvaluatesRights()
    {
        TestHome home;
        frmView view(3, nullptr);
        view.timeLoad_Timer();
        addEvent(4, 0, 1);
        addEvent(6, 0, 1);
        GridDirty(3, 4) = true;
        GridDirty(3, 6) = true;
        view.timeMain_Timer();
        QVERIFY(!GridDirty(3, 4));
        QVERIFY(GridDirty(3, 6)); // one head end per tick
        // A rebuild reads the table as it is, head end 6's event included.
        QCOMPARE(view.grid(ListUpcoming)->rows(), 4);
        view.timeMain_Timer();
        QVERIFY(!GridDirty(3, 6));
        QCOMPARE(view.grid(ListUpcoming)->rows(), 4);

        users().UserPrivilege[2] = 3;
        users().CurrentUser = 2;
        GridDirty(3, 0) = true;
        GridDirty(3, 4) = true;
        view.timeMain_Timer();
        QVERIFY(view.menuSettings()->isEnabled());
        QVERIFY(GridDirty(3, 4)); // a privilege change delays the rebuild by one tick

        // Views whose ticks fall together rebuild in turns, one a pass of the event loop.
        frmView other(4, nullptr);
        other.timeLoad_Timer();
        QCoreApplication::processEvents();
        GridDirty(4, 4) = true;
        view.timeMain_Timer();
        other.timeMain_Timer();
        QVERIFY(!GridDirty(3, 4));
        QVERIFY(GridDirty(4, 4));
        QTRY_VERIFY(!GridDirty(4, 4));
        QCOMPARE(other.grid(ListUpcoming)->rows(), 4);
    }

    void aNewViewTakesTheRightsOfTheUserAlreadyLoggedIn()
    {
        users().UserPrivilege[1] = 3;
        users().CurrentUser = 1;
        frmView admin(1, nullptr);
        QVERIFY(admin.menuSettings()->isEnabled());
        users().UserPrivilege[1] = 2;
        frmView op(2, nullptr);
        QVERIFY(!op.menuSettings()->isEnabled());
    }

    void settingsAboutAndLegendOpenThroughTheMainWindow()
    {
        MDIMain main;
        QStringList opened;
        const MenuWindow windows[] = {MenuWindow::ColourLegend, MenuWindow::ViewNames,
                                      MenuWindow::Users, MenuWindow::About};
        for (MenuWindow w : windows)
            main.setWindowOpener(w, [&opened, w] { opened << QString::number(int(w)); });
        users().UserPrivilege[1] = PrivilegeOperator;
        users().CurrentUser = 1;
        frmView view(2, &main);
        auto entry = [&](QMenu *menu, const QString &caption) -> QAction * {
            for (QAction *a : menu->actions()) {
                if (a->text() == caption)
                    return a;
            }
            return nullptr;
        };
        QAction *names = entry(view.menuSettings(), QStringLiteral("Event View Names"));
        QAction *heads = entry(view.menuSettings(), QStringLiteral("Head End Settings"));
        QVERIFY(names && heads);
        QVERIFY(names->isEnabled());
        QVERIFY(!heads->isEnabled()); // no opener installed
        QVERIFY(!view.menuSettings()->isEnabled());
        // An operator reaches no settings window, not even through a stray trigger.
        names->trigger();
        QVERIFY(opened.isEmpty());
        users().UserPrivilege[1] = PrivilegeAdmin;
        names->trigger();
        QCOMPARE(opened, QStringList({QString::number(int(MenuWindow::ViewNames))}));

        // A rename reaches this view's View menu at once.
        settings().ViewName[2] = "Late Desk";
        main.showViewNames();
        QCOMPARE(view.menuVEvent(2)->text(), QStringLiteral("View 2 (Late Desk)"));
        QCOMPARE(main.menuVEvent(2)->text(), QStringLiteral("View 2 (Late Desk)"));
    }

    void theActiveViewsMenusTakeTheMainMenuBar()
    {
        TestHome home;
        MDIMain main;
        installEventViewOpener(&main);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const auto titles = [&main] {
            QStringList out;
            for (QAction *a : main.menuBar()->actions())
                out << a->text();
            return out;
        };
        const QStringList own = titles();
        frmView *view = openEventView(&main, 1);
        QVERIFY(view);
        const QStringList viewMenus(
            {"&File", "&Event", "&View", "&Settings", "S&how", "&Window", "&Users", "About"});
        QCOMPARE(titles(), viewMenus);
        // One menu bar: the view shows none of its own.
        QVERIFY(!view->findChild<QMenuBar *>()->isVisible());
        // Its shortcuts work from the main window's bar: Ctrl+L opens the login.
        QTest::keyClick(view->grid(ListUpcoming), Qt::Key_L, Qt::ControlModifier);
        QVERIFY(main.loginWindow() && main.loginWindow()->isVisible());
        // A modeless window of the view's in front leaves the view's menus in the bar; under a
        // window manager the area then reports no active sub-window.
        main.loginWindow()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.loginWindow()));
        emit main.mdiArea()->subWindowActivated(nullptr);
        QCOMPARE(titles(), viewMenus);
        main.loginWindow()->close();
        view->parentWidget()->close();
        QTRY_COMPARE(titles(), own);
    }

    void theDashBoardSumsTheShownHeadEnds()
    {
        TestHome home;
        frmView view(1, nullptr);
        DashBoardAll(1).Total = 8;
        DashBoardAll(1).Completed = 3;
        DashBoardAll(2).Total = 0;
        DashBoardAll(2).Upcoming = 4;
        DashBoardToday(1).Total = 10;
        DashBoardToday(1).Completed = 3;
        DashBoardToday(1).Completed2 = 2;
        view.DashBoard_Update();
        QCOMPARE(view.lblPercent()->text(), QStringLiteral("38 % Completed"));
        QCOMPARE(view.progCompleted()->value(), 38);
        QCOMPARE(view.dashNumber(1)->text(), QStringLiteral("4"));
        view.cmdToday_Click();
        QCOMPARE(view.lblPercent()->text(), QStringLiteral("50 % Completed"));
        QCOMPARE(view.dashNumber(6)->text(), QStringLiteral("3"));
        settings().ShowHE[1][1] = false;
        view.DashBoard_Update();
        QCOMPARE(view.lblPercent()->text(), QStringLiteral("0 % Completed"));

        // The dashboard timer redraws twice after a restart, then stops.
        view.timeDashBoardUpdate_Timer();
        QCOMPARE(view.timeDashBoardUpdateInterval(), 2001);
        view.timeDashBoardUpdate_Timer();
        QCOMPARE(view.timeDashBoardUpdateInterval(), 2000);
        QVERIFY(!view.timeDashBoardUpdateActive());

        QVERIFY(!view.dashBoardShown());
        view.StatusBar1_PanelClick(16);
        QVERIFY(view.dashBoardShown());
        view.StatusBar1_PanelClick(16);
        QVERIFY(!view.dashBoardShown());
    }

    void oneWheelNotchScrollsOneRowOfTheListUnderThePointer()
    {
        TestHome home;
        for (int slot = 0; slot < 60; ++slot)
            addEvent(1, slot, 1);
        frmView view(1, nullptr);
        view.resize(900, 500);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.timeLoad_Timer();
        GridView *up = view.grid(ListUpcoming);
        up->setTopRow(10);
        QCOMPARE(up->topRow(), 10);
        sendWheel(up->viewport(), -120);
        QCOMPARE(up->topRow(), 11);
        sendWheel(up->viewport(), -360); // one row whatever the distance
        QCOMPARE(up->topRow(), 12);
        sendWheel(up->viewport(), 120);
        QCOMPARE(up->topRow(), 11);
        sendWheel(up->viewport(), 120, true); // horizontal: ignored
        QCOMPARE(up->topRow(), 11);
        up->setTopRow(1);
        sendWheel(up->viewport(), 120);
        QCOMPARE(up->topRow(), 1);

        // Over no list: the caption says which way.
        view.MouseWheel(0, -120, -5000, -5000);
        QCOMPARE(view.caption(), QStringLiteral("Form Scroll Down"));
        view.Form_Activate();
        QCOMPARE(view.caption(), QStringLiteral("View 1 (Event View 1 )"));
    }

    void headerDoubleClicksChooseTheSortColumn()
    {
        TestHome home;
        addEvent(1, 0, 1).Description = "b";
        addEvent(1, 1, 1).Description = "a";
        frmView view(1, nullptr);
        view.timeLoad_Timer();
        view.headerDblClick(ListUpcoming, 5);
        QCOMPARE(SortCol(1, ListUpcoming), qint16(18));
        QVERIFY(view.grid(ListUpcoming)->headerBackColor().isValid()); // red: not the default
        QCOMPARE(view.statusPanel(14)->text(), QStringLiteral("Sort: End Date"));
        view.headerDblClick(ListUpcoming, 8);
        QCOMPARE(SortCol(1, ListUpcoming), qint16(8));
        QCOMPARE(view.grid(ListUpcoming)->textMatrix(2, 8), QByteArray("a"));
        view.headerDblClick(ListUpcoming, 3);
        QCOMPARE(SortCol(1, ListUpcoming), qint16(17));
        QVERIFY(!view.grid(ListUpcoming)->headerBackColor().isValid());
    }

    void toolTipsShowTheCellUnderThePointer()
    {
        TestHome home;
        addEvent(1, 0, 1).StartTime = "14:30:05";
        frmView view(1, nullptr);
        view.timeLoad_Timer();
        GridView *up = view.grid(ListUpcoming);
        view.gridMouseMove(ListUpcoming, 2, 3);
        QCOMPARE(up->toolTip(), QStringLiteral("Thursday, Dec 10 2026"));
        view.gridMouseMove(ListUpcoming, 2, 15); // columns from 13 on keep the last tip
        QCOMPARE(up->toolTip(), QStringLiteral("Thursday, Dec 10 2026"));
        view.gridMouseMove(ListUpcoming, 2, 4);
        QVERIFY(up->toolTip().startsWith(QStringLiteral("14:30:05")));
        view.gridMouseMove(ListUpcoming, 1, 8);
        QCOMPARE(up->toolTip(), QString());
    }

    void theRightButtonOpensThePopupsWithoutMovingTheSelection()
    {
        TestHome home;
        addEvent(1, 0, 2);
        addEvent(1, 1, 2);
        frmView view(1, nullptr);
        view.resize(900, 500);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.timeLoad_Timer();
        view.tabs()->setCurrentIndex(1);
        GridView *onAir = view.grid(ListOnAir);
        onAir->setRow(2);
        const QRect groupCell = onAir->visualRect(onAir->model()->index(1, 2));
        QTest::mouseClick(onAir->viewport(), Qt::RightButton, Qt::NoModifier, groupCell.center());
        QVERIFY(view.menuPOP()->isVisible());
        QCOMPARE(view.popupSource(), int(ListOnAir));
        QCOMPARE(onAir->row(), 2);
        view.menuPOP()->close();

        const QRect descCell = onAir->visualRect(onAir->model()->index(1, 8));
        QTest::mouseClick(onAir->viewport(), Qt::RightButton, Qt::NoModifier, descCell.center());
        QVERIFY(view.menuPOPEVENT()->isVisible());
        QCOMPARE(onAir->row(), 2);
        view.menuPOPEVENT()->close();

        // The blank row opens nothing.
        const QRect blank = onAir->visualRect(onAir->model()->index(0, 8));
        QTest::mouseClick(onAir->viewport(), Qt::RightButton, Qt::NoModifier, blank.center());
        QVERIFY(!view.menuPOPEVENT()->isVisible());
    }

    void theToolbarRunsTheCommandsOnTheShownList()
    {
        TestHome home;
        users().UserPrivilege[1] = 2;
        users().UserHEAccess[1][1] = true;
        users().CurrentUser = 1;
        addEvent(1, 0, 1);
        frmView view(1, nullptr);
        view.timeLoad_Timer();
        view.grid(ListUpcoming)->setRow(2);
        view.runCommand(frmView::BtnHold);
        QCOMPARE(Events().at(1, 0).Status, quint8(3));
        const QByteArray queued = WINGET(1);
        QVERIFY(queued.startsWith("Q" + Events().at(1, 0).EventKey.left(16)));
        QVERIFY(view.toolButton(frmView::BtnHold)->isEnabled());
        QVERIFY(view.toolButton(frmView::BtnAdd)->isEnabled());
    }

    void doubleClicksOpenTheEventsDialog()
    {
        TestHome home;
        addEvent(1, 4, 2);
        addEvent(1, 5, 5);
        frmView view(1, nullptr);
        view.timeLoad_Timer();
        // Counts the dialogs the view has opened, then closes them.
        auto open = [&view] {
            int n = 0;
            for (QWidget *w : view.findChildren<QWidget *>()) {
                if (w->isWindow() && w->isVisible()) {
                    ++n;
                    w->close();
                }
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return n;
        };
        // The blank row of Upcoming opens the dialog for a new event.
        view.grid(ListUpcoming)->setRow(1);
        view.gridDblClick(ListUpcoming);
        QCOMPARE(SelHE(), qint16(0));
        QCOMPARE(SelView(), qint16(1));
        QCOMPARE(open(), 1);
        // On-Air and As Run open nothing without an event.
        view.grid(ListAsRun)->setRow(1);
        view.gridDblClick(ListAsRun);
        QCOMPARE(open(), 0);

        settings().VCOGLock = true;
        ScopedDialogHandler answers;
        view.grid(ListOnAir)->setRow(2);
        view.gridDblClick(ListOnAir);
        QCOMPARE(SelHE(), qint16(1));
        QCOMPARE(SelCh(), qint16(4));
        QCOMPARE(answers.requests().size(), 1);
        QCOMPARE(answers.requests().at(0).title, QStringLiteral("VCOG Locked Event"));
        QCOMPARE(answers.requests().at(0).text,
                 QStringLiteral("This event can no longer be edited as it is on air."));
        QCOMPARE(open(), 0);
        view.grid(ListUpcoming)->setRow(2);
        view.gridDblClick(ListUpcoming);
        QCOMPARE(answers.requests().size(), 2);
        QCOMPARE(open(), 0);
    }

    void narrowWindowsShowShortTabTitles()
    {
        frmView view(1, nullptr);
        view.resize(300, 400);
        view.Form_Resize();
        QCOMPARE(view.tabs()->tabText(0), QStringLiteral("Up"));
        view.resize(1000, 400);
        view.Form_Resize();
        QCOMPARE(view.tabs()->tabText(1), QStringLiteral("Substituted (On-Air)"));
    }

private:
    ManualClock m_clock{QDateTime()};
};

VEK_TEST(TestFrmView)
#include "tst_frmview.moc"
