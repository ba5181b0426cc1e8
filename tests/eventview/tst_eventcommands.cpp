#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include "commandfixture.h"
#include "core/sendpath.h"
#include "eventview/eventgrids.h"
#include "eventview/eventlists.h"
#include "platform/widgets/gridview.h"
#include "testregistry.h"

using namespace vek;
using namespace cmdfixture;

namespace {

const QString NotValid = QStringLiteral("This is not a valid event.");

CommandView tab(int t)
{
    CommandView v;
    v.tab = t;
    v.view = 1;
    return v;
}

} // namespace

class TestEventCommands : public QObject
{
    Q_OBJECT
private slots:
    void holdChangesActiveRowsPassesHeldOnesAndNamesProblems()
    {
        CommandFixture f;
        addEvent(1, 1, StatusActive);
        addEvent(1, 2, StatusOnHold);
        addEvent(1, 3, StatusProblem, "Broken feed");
        addEvent(1, 4, StatusLessThan);
        EventRec held1 = Events().at(1, 1);
        held1.Status = StatusOnHold;
        EventRec held4 = Events().at(1, 4);
        held4.Status = StatusOnHold;
        const EventRec untouched3 = Events().at(1, 3);

        Dialogs d;
        const bool reset = menuEventHold_Click(
            tab(TabUpcoming), {rowOf(1, 1), rowOf(1, 2), rowOf(1, 3), rowOf(1, 4)});
        QVERIFY(!reset);
        QCOMPARE(d.titles(), QStringList{QStringLiteral("Problem Event")});
        QCOMPARE(d.texts().value(0), QStringLiteral("This selected event (Broken feed) could "
                                                    "not be placed on hold because it has a "
                                                    "problem."));
        // The walk goes on after the problem row.
        QCOMPARE(winBodies(1),
                 (QList<QByteArray>{expectedEventMessage(held1), expectedEventMessage(held4)}));
        QCOMPARE(Events().at(1, 1).Status, quint8(StatusOnHold));
        QVERIFY(Events().at(1, 3) == untouched3);

        // On air: 2 becomes 4; with the lock mode on nothing on air may change.
        addEvent(2, 7, StatusOnAir);
        EventRec held7 = Events().at(2, 7);
        held7.Status = StatusOnHoldOnAir;
        ResetSelection() = true;
        QVERIFY(menuEventHold_Click(tab(TabOnAir), {rowOf(2, 7)}));
        QCOMPARE(winBodies(2), QList<QByteArray>{expectedEventMessage(held7)});

        settings().VCOGLock = true;
        addEvent(2, 8, StatusOnAir);
        QVERIFY(!menuEventHold_Click(tab(TabOnAir), {rowOf(2, 8)}));
        QCOMPARE(d.texts().last(),
                 QStringLiteral("This event can no longer be edited as it is on air."));
        // Upcoming under the lock: a row less than 30 minutes from air stops the walk.
        addEvent(1, 5, StatusLessThan);
        addEvent(1, 6, StatusActive);
        menuEventHold_Click(tab(TabUpcoming), {rowOf(1, 5), rowOf(1, 6)});
        QCOMPARE(d.titles().last(), QStringLiteral("VCOG Locked Event"));
        QVERIFY(winBodies(1).isEmpty());
        QVERIFY(winBodies(2).isEmpty());
        QCOMPARE(Events().at(1, 6).Status, quint8(StatusActive));
        // No tab of its own: the As Run list is left alone.
        menuEventHold_Click(tab(TabAsRun), {rowOf(1, 6)});
        QVERIFY(winBodies(1).isEmpty());
    }

    void deleteSendsTheKeyForAdministratorsAndAnAbortForOperators()
    {
        CommandFixture f;
        addEvent(1, 1, StatusActive);
        addEvent(1, 2, StatusDone);
        const EventRec before1 = Events().at(1, 1);

        Dialogs d;
        users().CurrentUser = Admin;
        menuEventDel_Click(tab(TabUpcoming), {rowOf(1, 1), blankRow()});
        QCOMPARE(d.titles(), QStringList{QStringLiteral("Delete Events")});
        QCOMPARE(d.texts().value(0),
                 QStringLiteral("Do you really want to deleted the selected items?"));
        QCOMPARE(Events().at(1, 1).EventKey.size(), 32);
        QCOMPARE(winBodies(1), QList<QByteArray>{chr(12) + Events().at(1, 1).EventKey});
        QVERIFY(Events().at(1, 1) == before1);

        users().CurrentUser = Operator;
        menuEventDel_Click(tab(TabUpcoming), {rowOf(1, 1)});
        EventRec aborted = before1;
        aborted.Status = StatusAbort;
        aborted.StatusDetail = "Abort";
        QCOMPARE(winBodies(1), QList<QByteArray>{expectedEventMessage(aborted)});

        // An operator's delete on the As Run list asks, then sends nothing.
        const int asked = d.requests().size();
        menuEventDel_Click(tab(TabAsRun), {rowOf(1, 2)});
        QCOMPARE(d.requests().size(), asked + 1);
        QVERIFY(winBodies(1).isEmpty());
        QCOMPARE(Events().at(1, 2).Status, quint8(StatusDone));
        users().CurrentUser = Admin;
        menuEventDel_Click(tab(TabAsRun), {rowOf(1, 2)});
        QCOMPARE(winBodies(1), QList<QByteArray>{chr(12) + Events().at(1, 2).EventKey});

        // On air every user aborts, after the warning; No stops.
        addEvent(1, 3, StatusOnAir);
        d.answers = {QMessageBox::No};
        menuEventDel_Click(tab(TabOnAir), {rowOf(1, 3)});
        QCOMPARE(d.titles().last(), QStringLiteral("WARNING!!!"));
        QVERIFY(d.texts().last().startsWith("Do you really want to deleted the selected items?  "
                                            "This will NOT switch"));
        QVERIFY(winBodies(1).isEmpty());
        menuEventDel_Click(tab(TabOnAir), {rowOf(1, 3)});
        QCOMPARE(Events().at(1, 3).Status, quint8(StatusAbort));
        QCOMPARE(winBodies(1), QList<QByteArray>{expectedEventMessage(Events().at(1, 3))});
        QCOMPARE(MsgAnswer(), 6);
    }

    void aRefusedHeadEndStopsTheWalkAfterTheRowsBeforeIt()
    {
        CommandFixture f;
        for (int slot = 1; slot <= 5; ++slot)
            addEvent(slot == 3 ? 3 : 1, slot, StatusActive);
        Dialogs d;
        // The right is asked of administrators too.
        users().CurrentUser = Admin;
        menuEventHold_Click(tab(TabUpcoming),
                            {rowOf(1, 1), rowOf(1, 2), rowOf(3, 3), rowOf(1, 4), rowOf(1, 5)});
        QCOMPARE(d.titles(), QStringList{QStringLiteral("User Privileges")});
        QCOMPARE(d.texts().value(0),
                 QStringLiteral("The current user does not have the privileges to change "
                                "information on Head End 3 Long."));
        QCOMPARE(winBodies(1).size(), 2);
        QCOMPARE(Events().at(1, 2).Status, quint8(StatusOnHold));
        QCOMPARE(Events().at(3, 3).Status, quint8(StatusActive));
        QCOMPARE(Events().at(1, 4).Status, quint8(StatusActive));
        QVERIFY(winBodies(3).isEmpty());

        // Without Operator privilege nothing is asked or sent.
        users().CurrentUser = NoRights;
        PopupFlag() = true;
        menuEventSub_Click(tab(TabUpcoming), {rowOf(1, 4)});
        QCOMPARE(d.texts().last(), QStringLiteral("The current user does not have the "
                                                  "privileges to change information."));
        QVERIFY(!PopupFlag());
        menuEventDel_Click(tab(TabUpcoming), {rowOf(1, 4)});
        menuPEActive_Click(tab(TabUpcoming), {rowOf(1, 4)});
        QCOMPARE(d.requests().size(), 4);
        QVERIFY(winBodies(1).isEmpty());
        users().CurrentUser = 0;
        menuEventHold_Click(tab(TabUpcoming), {rowOf(1, 4)});
        QVERIFY(winBodies(1).isEmpty());

        // A head end whose link was lost: its rows are skipped, untouched, and named in one
        // box; the command goes to the others.
        users().CurrentUser = Operator;
        addEvent(2, 6, StatusActive);
        addEvent(2, 7, StatusActive);
        Booted(2) = true;
        SendHS(2, "lost", 0);
        QVERIFY(HeadEndLost(2));
        const qsizetype before = d.requests().size();
        menuEventHold_Click(tab(TabUpcoming), {rowOf(2, 6), rowOf(1, 4), rowOf(2, 7)});
        QCOMPARE(d.requests().size(), before + 1);
        QCOMPARE(d.texts().last(),
                 QStringLiteral("The command was not sent to Head End 2 Long: the link to its "
                                "Hardware Server is down or the server does not answer."));
        QCOMPARE(Events().at(2, 6).Status, quint8(StatusActive));
        QCOMPARE(Events().at(1, 4).Status, quint8(StatusOnHold));
        QVERIFY(winBodies(2).isEmpty());
        QCOMPARE(winBodies(1).size(), 1);
    }

    void subNowAndDefNowSetTheirRequests()
    {
        CommandFixture f;
        addEvent(1, 1, StatusOnHold);
        addEvent(1, 2, StatusOnAir, "Late news");
        addEvent(1, 3, StatusOnHoldOnAir);
        Dialogs d;
        menuEventSub_Click(tab(TabUpcoming), {rowOf(1, 1)});
        QCOMPARE(d.titles(), QStringList{QStringLiteral("Are You Sure?")});
        QCOMPARE(d.texts().value(0), QStringLiteral("Are you sure you would like to send this "
                                                    "channel to SUBSTITUTION?"));
        EventRec sub = Events().at(1, 1);
        QVERIFY(sub.SubNow);
        QCOMPARE(sub.Status, quint8(StatusOnHold));
        QCOMPARE(winBodies(1), QList<QByteArray>{expectedEventMessage(sub)});
        // An on-air event cannot be substituted from the Upcoming list.
        menuEventSub_Click(tab(TabUpcoming), {rowOf(1, 2)});
        QCOMPARE(d.texts().last(), QStringLiteral("This selected event (Late news) could not "
                                                  "be placed on the air because it has a "
                                                  "problem."));
        QVERIFY(winBodies(1).isEmpty());

        menuEventSub_Click(tab(TabOnAir), {rowOf(1, 2), rowOf(1, 3)});
        QCOMPARE(d.texts().last(),
                 QStringLiteral("Are you sure you would like to send this channel to DEFAULT?"));
        QVERIFY(Events().at(1, 2).DefNow && Events().at(1, 3).DefNow);
        QCOMPARE(winBodies(1), (QList<QByteArray>{expectedEventMessage(Events().at(1, 2)),
                                                  expectedEventMessage(Events().at(1, 3))}));

        // No answers nothing.
        addEvent(1, 4, StatusActive);
        d.answers = {QMessageBox::No};
        menuEventSub_Click(tab(TabUpcoming), {rowOf(1, 4)});
        QVERIFY(!Events().at(1, 4).SubNow);
        QCOMPARE(MsgAnswer(), 7);

        // From the popup: Def. Now never asks; Sub Now asks while ConfirmPopupSub is on.
        const int asked = d.requests().size();
        addEvent(1, 5, StatusOnAir);
        menuPESubNow_Click(tab(TabOnAir), {rowOf(1, 5)});
        QCOMPARE(d.requests().size(), asked);
        QVERIFY(Events().at(1, 5).DefNow);
        menuPESubNow_Click(tab(TabUpcoming), {rowOf(1, 4)});
        QCOMPARE(d.requests().size(), asked + 1);
        ConfirmPopupSub() = false;
        addEvent(1, 6, StatusActive);
        menuPESubNow_Click(tab(TabUpcoming), {rowOf(1, 6)});
        QCOMPARE(d.requests().size(), asked + 1);
        QVERIFY(Events().at(1, 6).SubNow);
        QVERIFY(!PopupFlag());
        QCOMPARE(winBodies(1).size(), 3);
    }

    void subNowInLockModeStartsTheEventByItsZoneClock()
    {
        CommandFixture f;
        settings().VCOGLock = true;
        HETimeZone(1) = 4;
        ZoneTimes()[4] = QDateTime(QDate(2026, 12, 10), QTime(7, 5, 9), Qt::UTC);
        addEvent(1, 1, StatusActive);
        addEvent(1, 2, StatusLessThan);
        addEvent(1, 3, StatusOnAir);
        Dialogs d;
        menuEventSub_Click(tab(TabUpcoming), {rowOf(1, 1), rowOf(1, 2)});
        const EventRec &e = Events().at(1, 1);
        QVERIFY(e.SubNow);
        QCOMPARE(e.StartTime, QByteArray("07:05:09"));
        QCOMPARE(e.EventDate, QDate(2026, 12, 10));
        QCOMPARE(e.StartKey, qint64(2026121025509));
        QCOMPARE(winBodies(1), QList<QByteArray>{expectedEventMessage(e)});
        QCOMPARE(d.texts().last(), QStringLiteral("This event can no longer supports sub now as "
                                                  "it is less than 30 minutes to air."));
        QVERIFY(!Events().at(1, 2).SubNow);

        menuEventSub_Click(tab(TabOnAir), {rowOf(1, 3)});
        QCOMPARE(d.texts().last(),
                 QStringLiteral("This event can no longer be edited as it is on air."));
        QVERIFY(!Events().at(1, 3).DefNow);

        // A zone index the table does not have is logged, and the event keeps its start.
        HETimeZone(1) = 40;
        addEvent(1, 4, StatusActive);
        menuEventSub_Click(tab(TabUpcoming), {rowOf(1, 4)});
        QVERIFY(!Events().at(1, 4).SubNow);
        QCOMPARE(Events().at(1, 4).StartTime, QByteArray("11:00:00"));
        QVERIFY(winBodies(1).isEmpty());
        QVERIFY(f.home.readLog().contains(
            "Error frmView_menuEventSub_Click) 9 Subscript out of range"));
    }

    void interruptSendsACopyWithANewKeyThenTheEvent()
    {
        CommandFixture f;
        addEvent(1, 1, StatusOnAir);
        EventRec original = Events().at(1, 1);
        Dialogs d;
        menuEventInt_Click(tab(TabOnAir), {rowOf(1, 1)});
        QCOMPARE(d.texts(), QStringList{QStringLiteral(
                                "Are you sure you would like to interupt the selected event and "
                                "return the channel to it's default source?")});
        EventRec copy = original;
        copy.EventKey = "2612091000000000";
        copy.Interrupted = 1;
        EventRec event = original;
        event.DefNow = true;
        QCOMPARE(sentBodies(1),
                 (QList<QByteArray>{expectedEventMessage(copy), expectedEventMessage(event)}));
        QVERIFY(Events().at(1, 1) == event);
        QVERIFY(!WinQueued(1));

        // A second interrupt in the same second still gets a key of its own.
        addEvent(2, 1, StatusOnHoldOnAir);
        menuEventInt_Click(tab(TabOnAir), {rowOf(2, 1)});
        QCOMPARE(sentBodies(2).value(0).mid(1), [] {
            EventRec c = Events().at(2, 1);
            c.DefNow = false;
            c.EventKey = "2612091000000001";
            c.Interrupted = 1;
            return EventToString(c);
        }());

        // Resume of an interrupted event still on air.
        addEvent(1, 2, StatusOnAir).Interrupted = 1;
        HETimeZone(1) = 2;
        menuEventInt_Click(tab(TabOnAir), {rowOf(1, 2)});
        QCOMPARE(d.texts().last(), QStringLiteral("Are you sure you would like to resume the "
                                                  "selected event?  This will return the event "
                                                  "to it's substituted source."));
        const EventRec &resumed = Events().at(1, 2);
        QCOMPARE(resumed.Status, quint8(StatusActive));
        QCOMPARE(resumed.Interrupted, quint8(0));
        QVERIFY(resumed.SubNow);
        QCOMPARE(resumed.StartKey, qint64(2026120937230));
        QCOMPARE(sentBodies(1), QList<QByteArray>{expectedEventMessage(resumed)});
    }

    void interruptRefusals()
    {
        CommandFixture f;
        addEvent(1, 1, StatusOnAir);
        addEvent(1, 2, StatusActive, "Not yet");
        addEvent(1, 3, StatusOnAir).Interrupted = 2;
        Dialogs d;
        menuEventInt_Click(tab(TabOnAir), {rowOf(1, 1), rowOf(1, 2)});
        QCOMPARE(d.titles().last(), QStringLiteral("Select Only One"));
        QCOMPARE(d.texts().last(),
                 QStringLiteral("You can only have a single event selected to use this "
                                "feature."));
        menuEventInt_Click(tab(TabOnAir), {rowOf(1, 2)});
        QCOMPARE(d.texts().last(), QStringLiteral("This selected event (Not yet) could not be "
                                                  "switched because it has a problem."));
        const int asked = d.requests().size();
        menuEventInt_Click(tab(TabOnAir), {rowOf(1, 3)});
        menuEventInt_Click(tab(TabOnAir), {blankRow()});
        QCOMPARE(d.requests().size(), asked);
        d.answers = {QMessageBox::No};
        menuEventInt_Click(tab(TabOnAir), {rowOf(1, 1)});
        QCOMPARE(sendQueueSize(1) + ResendLeft(1), 0);

        // From an Upcoming row's popup it does nothing, and the flag does not linger.
        menuPEIntRes_Click(tab(TabUpcoming), {rowOf(1, 1)});
        QVERIFY(!PopupFlag());
        addEvent(1, 4, StatusActive);
        menuEventSub_Click(tab(TabUpcoming), {rowOf(1, 4)});
        QCOMPARE(d.texts().last(), QStringLiteral("Are you sure you would like to send this "
                                                  "channel to SUBSTITUTION?"));

        settings().VCOGLock = true;
        menuPEIntRes_Click(tab(TabOnAir), {rowOf(1, 1)});
        QCOMPARE(d.titles().last(), QStringLiteral("VCOG Locked Event"));
        QCOMPARE(ResendLeft(1), qint16(0));
        QVERIFY(!f.home.readLog().contains("Error"));
    }

    void activeMakesHeldEventsActive()
    {
        CommandFixture f;
        addEvent(1, 1, StatusOnHold);
        addEvent(1, 2, StatusLessThan);
        addEvent(1, 3, StatusFailed, "Gone wrong");
        Dialogs d;
        menuPEActive_Click(tab(TabUpcoming), {rowOf(1, 1), rowOf(1, 2), rowOf(1, 3)});
        QCOMPARE(Events().at(1, 1).Status, quint8(StatusActive));
        QCOMPARE(winBodies(1), QList<QByteArray>{expectedEventMessage(Events().at(1, 1))});
        QCOMPARE(d.texts(), QStringList{QStringLiteral("This selected event (Gone wrong) could "
                                                       "not be made active because it has a "
                                                       "problem.")});
        // An empty row is no event.
        menuPEActive_Click(tab(TabUpcoming), {blankRow(), rowOf(1, 1)});
        QCOMPARE(d.texts().last(), NotValid);
        QCOMPARE(d.titles().last(), QStringLiteral("Event Problem"));
    }

    void rowsWhoseEventMovedDuringTheQuestionAreNotTouched()
    {
        CommandFixture f;
        addEvent(1, 1, StatusActive);
        addEvent(1, 2, StatusActive);
        addEvent(1, 3, StatusActive);
        const std::vector<CommandRow> rows{rowOf(1, 1), rowOf(1, 2), rowOf(1, 3)};
        Dialogs d;
        // While the question is open the server deletes slot 1 and reuses slot 2.
        d.whileAsking = [](const DialogRequest &) {
            Events().edit(1, 1).InUse = false;
            addEvent(1, 2, StatusActive, "Another event").EventKey = "OTHERKEY";
        };
        menuEventSub_Click(tab(TabUpcoming), rows);
        QCOMPARE(d.texts().last(), NotValid);
        QVERIFY(!Events().at(1, 2).SubNow && !Events().at(1, 3).SubNow);
        QVERIFY(winBodies(1).isEmpty());

        // Delete passes such rows over and goes on with the next.
        addEvent(1, 1, StatusActive);
        addEvent(1, 2, StatusActive);
        const std::vector<CommandRow> again{rowOf(1, 1), rowOf(1, 2), rowOf(1, 3)};
        d.whileAsking = [](const DialogRequest &) {
            addEvent(1, 2, StatusActive).EventKey = "OTHERKEY";
        };
        menuEventDel_Click(tab(TabUpcoming), again);
        QCOMPARE(d.texts().last(), NotValid);
        QCOMPARE(Events().at(1, 2).Status, quint8(StatusActive));
        QCOMPARE(winBodies(1), (QList<QByteArray>{expectedEventMessage(Events().at(1, 1)),
                                                  expectedEventMessage(Events().at(1, 3))}));
        QCOMPARE(Events().at(1, 3).Status, quint8(StatusAbort));

        // Interrupt: the event went while the question was open.
        addEvent(1, 4, StatusOnAir);
        d.whileAsking = [](const DialogRequest &) { Events().edit(1, 4).InUse = false; };
        menuEventInt_Click(tab(TabOnAir), {rowOf(1, 4)});
        QCOMPARE(d.texts().last(), NotValid);
        QCOMPARE(ResendLeft(1), qint16(0));
    }

    void copyMediaPointIdJoinsTheRowsTexts()
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->setText(QStringLiteral("before"));
        CommandRow a, empty, c;
        a.mediaPointId = "2612091000000001";
        c.mediaPointId = "2612091000000003";
        QCOMPARE(menuPECopyMediaPoint_Click({empty, empty}), QByteArray());
        QCOMPARE(clipboard->text(), QStringLiteral("before"));
        QCOMPARE(menuPECopyMediaPoint_Click({a, empty, c}),
                 QByteArray("2612091000000001\r\n\r\n2612091000000003"));
        QCOMPARE(clipboard->text(), QStringLiteral("2612091000000001\r\n\r\n2612091000000003"));
        // Leading empty rows add no line breaks.
        QCOMPARE(menuPECopyMediaPoint_Click({empty, c}), QByteArray("2612091000000003"));
    }

    void selectedRowsFollowRowAndRowSel()
    {
        CommandFixture f;
        for (int slot = 1; slot <= 3; ++slot)
            addEvent(1, slot, StatusActive);
        GridView grid;
        EventGrids grids;
        grids.grid[ListUpcoming] = &grid;
        EventListEngine engine;
        ViewOptions o;
        o.showHE[1] = true;
        rebuildGrids(grids, engine, o, 0);
        grid.setRow(3);
        grid.setRowSel(2);
        const std::vector<CommandRow> rows = selectedRows(grid);
        QCOMPARE(int(rows.size()), 2);
        QCOMPARE(rows[0].rowKey, QByteArray("1-1"));
        QCOMPARE(rows[1].slot, 2);
        QCOMPARE(rows[1].fullKey, Events().at(1, 2).EventKey);
        QCOMPARE(rows[0].description, QByteArray("Event 1-1"));
        QCOMPARE(rows[0].mediaPointId, Events().at(1, 1).EventKey.left(16));
        QCOMPARE(int(listRows(grid).size()), 4);
        // The empty row names no event.
        QCOMPARE(listRows(grid).front().headEnd, 0);
        selectFirstRow(grid);
        QCOMPARE(grid.row(), 1);
        QCOMPARE(grid.rowSel(), 1);

        // A list without rows gives one empty row, which Int. / Res. passes over quietly.
        GridView none;
        none.setCols(RowCells);
        QCOMPARE(int(selectedRows(none).size()), 1);
        QVERIFY(selectedRows(none).front().rowKey.isEmpty());
    }
};

VEK_TEST(TestEventCommands)
#include "tst_eventcommands.moc"
