#include <QTest>

#include "commandfixture.h"
#include "eventview/groupcommands.h"
#include "testregistry.h"

using namespace vek;
using namespace cmdfixture;

namespace {

CommandView tab(int t)
{
    CommandView v;
    v.tab = t;
    return v;
}

EventRec &addGrouped(int he, int slot, quint8 status, quint8 group,
                     const QByteArray &description = QByteArray())
{
    EventRec &e = addEvent(he, slot, status, description);
    e.GroupNo = group;
    e.GroupText = GroupText(group);
    return e;
}

// A list of the given slots of head end 1, current row `row`, selection to `rowSel`.
GroupList listOf(std::initializer_list<int> slotList, int row, int rowSel)
{
    GroupList l;
    for (int slot : slotList)
        l.rows.push_back(rowOf(1, slot));
    l.rows.push_back(blankRow());
    l.row = row;
    l.rowSel = rowSel;
    return l;
}

} // namespace

class TestGroupCommands : public QObject
{
    Q_OBJECT
private slots:
    void eachGroupCommandSendsItsCharacterAndTheGroup()
    {
        CommandFixture f;
        addGrouped(1, 1, StatusActive, 5);
        addGrouped(1, 2, StatusOnAir, 24);
        addGrouped(1, 3, StatusOnHoldOnAir, 5).Interrupted = 1;
        const EventRec before = Events().at(1, 1);
        Dialogs d;

        QVERIFY(!groupHold_Click(tab(TabUpcoming), {rowOf(1, 1)}));
        groupHold_Click(tab(TabOnAir), {rowOf(1, 2)});
        groupSub_Click(tab(TabUpcoming), {rowOf(1, 1)});
        groupSub_Click(tab(TabOnAir), {rowOf(1, 2)});
        groupIntRes_Click(tab(TabOnAir), {rowOf(1, 2)});
        groupIntRes_Click(tab(TabOnAir), {rowOf(1, 3)});
        settings().VCOGLock = true;
        groupSub_Click(tab(TabUpcoming), {rowOf(1, 1)});
        QCOMPARE(sentBodies(1),
                 (QList<QByteArray>{"[" + chr(5), "\\" + chr(24), "]" + chr(5), "^" + chr(24),
                                    "_" + chr(24), "`" + chr(5), "a" + chr(5)}));
        QCOMPARE(
            d.texts(),
            (QStringList{"Are you sure you would like to SUBSTITUTE the selected group now?",
                         "Are you sure you would like to DEFAULT the selected group now?",
                         "Are you sure you would like to interupt the selected group events and "
                         "return the channel to it's default source?",
                         "Are you sure you would like to resume the selected group events?  This "
                         "will return the events to the substituted source.",
                         "Are you sure you would like to SUBSTITUTE the selected group now?"}));
        // Nothing changes locally and nothing goes through the WIN queue.
        QVERIFY(Events().at(1, 1) == before);
        QVERIFY(!WinQueued(1));

        // HG selects the first row again when asked to; As Run has no group commands.
        ResetSelection() = true;
        settings().VCOGLock = false;
        QVERIFY(groupHold_Click(tab(TabUpcoming), {rowOf(1, 1)}));
        QVERIFY(groupHold_Click(tab(TabUpcoming), {blankRow()}));
        groupHold_Click(tab(TabAsRun), {rowOf(1, 1)});
        groupSub_Click(tab(TabAsRun), {rowOf(1, 1)});
        groupIntRes_Click(tab(TabUpcoming), {rowOf(1, 1)});
        QCOMPARE(sentBodies(1), QList<QByteArray>{"[" + chr(5)});
    }

    void groupCommandRefusals()
    {
        CommandFixture f;
        addGrouped(1, 1, StatusActive, 3);
        addGrouped(1, 2, StatusActive, 0);
        addGrouped(1, 3, StatusLessThan, 3);
        addGrouped(1, 4, StatusOnAir, 3);
        addGrouped(1, 5, StatusActive, 3, "Not on air");
        Dialogs d;

        // AG asks first, then refuses a selection of two.
        groupSub_Click(tab(TabUpcoming), {rowOf(1, 1), rowOf(1, 2)});
        QCOMPARE(d.titles(),
                 (QStringList{QStringLiteral("Are You Sure?"), QStringLiteral("Select Only One")}));
        QCOMPARE(d.texts().last(), QStringLiteral("You can only have a single event selected to "
                                                  "use the group hold feature."));
        groupIntRes_Click(tab(TabOnAir), {rowOf(1, 4), rowOf(1, 1)});
        QCOMPARE(d.texts().last(), QStringLiteral("You can only have a single event selected to "
                                                  "use the group Interupt / Resume feature."));
        groupHold_Click(tab(TabUpcoming), {rowOf(1, 2)});
        QCOMPARE(d.titles().last(), QStringLiteral("Not A Valid Group"));
        QCOMPARE(d.texts().last(),
                 QStringLiteral("The selected event does not belong to a group."));
        groupIntRes_Click(tab(TabOnAir), {blankRow()});
        QCOMPARE(d.titles().last(), QStringLiteral("Bad Event!"));
        QCOMPARE(d.texts().last(), QStringLiteral("No valid event selected."));
        // IG on an event that is not on air: asked, then refused.
        groupIntRes_Click(tab(TabOnAir), {rowOf(1, 5)});
        QCOMPARE(d.titles().last(), QStringLiteral("Problem Event"));
        QCOMPARE(d.texts().last(), QStringLiteral("This selected event (Not on air) could not "
                                                  "be switched because it has a problem."));
        d.answers = {QMessageBox::No};
        groupSub_Click(tab(TabOnAir), {rowOf(1, 4)});

        settings().VCOGLock = true;
        groupHold_Click(tab(TabUpcoming), {rowOf(1, 3)});
        QCOMPARE(d.texts().last(), QStringLiteral("This event can no longer be edited as it is "
                                                  "less than 30 minutes to air."));
        groupSub_Click(tab(TabUpcoming), {rowOf(1, 3)});
        QCOMPARE(d.texts().last(), QStringLiteral("This event can no longer support sub now as "
                                                  "it is less than 30 minutes to air."));
        groupHold_Click(tab(TabOnAir), {rowOf(1, 4)});
        QCOMPARE(d.texts().last(),
                 QStringLiteral("This event can no longer be edited as it is on air."));
        const int asked = d.requests().size();
        groupIntRes_Click(tab(TabOnAir), {rowOf(1, 4)});
        QCOMPARE(d.texts().last(), QStringLiteral("This event can no longer be edited."));
        QCOMPARE(d.requests().size(), asked + 1);
        QCOMPARE(d.titles().last(), QStringLiteral("VCOG Locked Event"));

        users().CurrentUser = NoRights;
        groupHold_Click(tab(TabUpcoming), {rowOf(1, 1)});
        QCOMPARE(d.texts().last(), QStringLiteral("The current user does not have the "
                                                  "privileges to change information."));
        QCOMPARE(ResendLeft(1), qint16(0));
    }

    void groupCommandsNeedTheRightOnTheHeadEnd()
    {
        CommandFixture f;
        addGrouped(3, 1, StatusActive, 2);
        addGrouped(3, 2, StatusOnAir, 2);
        Dialogs d;
        groupHold_Click(tab(TabUpcoming), {rowOf(3, 1)});
        groupSub_Click(tab(TabUpcoming), {rowOf(3, 1)});
        groupIntRes_Click(tab(TabOnAir), {rowOf(3, 2)});
        const QString refusal = QStringLiteral("The current user does not have the privileges "
                                               "to change information on Head End 3 Long.");
        QCOMPARE(d.texts(), (QStringList{refusal,
                                         "Are you sure you would like to SUBSTITUTE the "
                                         "selected group now?",
                                         refusal, refusal}));
        QCOMPARE(ResendLeft(3), qint16(0));
        QCOMPARE(sendQueueSize(3), 0);

        // A row whose slot holds another event by now sends nothing.
        users().UserHEAccess[Operator][3] = true;
        const CommandRow picked = rowOf(3, 2);
        d.whileAsking = [](const DialogRequest &) {
            addGrouped(3, 2, StatusOnAir, 9).EventKey = "OTHERKEY";
        };
        groupIntRes_Click(tab(TabOnAir), {picked});
        QCOMPARE(d.texts().last(), QStringLiteral("This is not a valid event."));
        QCOMPARE(ResendLeft(3), qint16(0));
    }

    void assignmentChecksTodayAndTheGroupsDescriptions()
    {
        CommandFixture f;
        addGrouped(1, 1, StatusActive, 3, "Hockey Night  ");
        addGrouped(1, 2, StatusActive, 0, "Hocket Night");
        addGrouped(1, 3, StatusActive, 0, "Hockey Night B");
        addGrouped(1, 4, StatusActive, 0, "Hocke2 other");
        Dialogs d;

        // Current row 3 agrees with the member in its first six characters: no question.
        menuPOPGROUP_Click(3, 1, listOf({1, 2, 3}, 3, 3));
        QVERIFY(d.requests().isEmpty());
        EventRec expected = Events().at(1, 3);
        QCOMPARE(expected.GroupNo, quint8(3));
        QCOMPARE(expected.GroupText, QByteArray("Group 3"));
        QCOMPARE(winBodies(1), QList<QByteArray>{expectedEventMessage(expected)});

        // Rows 2 and 4, current row 4 "Hocke2": the member differs; No ends the command.
        d.answers = {QMessageBox::No};
        menuPOPGROUP_Click(3, 1, listOf({1, 2, 3, 4}, 4, 2));
        QCOMPARE(d.titles(), QStringList{QStringLiteral("Grouping Error")});
        QCOMPARE(d.texts().value(0),
                 QStringLiteral("The description of the event you are adding to the group "
                                "(Hocke2 other) does not match a previous member of the group "
                                "(Hockey Night).  Are you sure you would like to add the "
                                "selected member to the group?"));
        QVERIFY(winBodies(1).isEmpty());
        QCOMPARE(Events().at(1, 2).GroupNo, quint8(0));
        // Yes assigns each selected row, asking for each.
        menuPOPGROUP_Click(3, 1, listOf({1, 2, 3, 4}, 4, 2));
        QCOMPARE(d.requests().size(), 4);
        QCOMPARE(winBodies(1).size(), 3);
        QCOMPARE(Events().at(1, 4).GroupNo, quint8(3));

        // On the On-Air list eight characters are compared.
        addGrouped(1, 5, StatusOnAir, 7, "Hockey Night 1");
        addGrouped(1, 6, StatusOnAir, 0, "Hockey XXXX");
        GroupList onAir;
        onAir.rows = {rowOf(1, 5), rowOf(1, 6)};
        onAir.row = onAir.rowSel = 2;
        menuPOPGROUP_Click(7, 1, onAir);
        QCOMPARE(d.requests().size(), 4);
        QCOMPARE(winBodies(1).size(), 1);
        menuPOPGROUP_Click(7, 2, onAir);
        QCOMPARE(d.requests().size(), 5);
        QCOMPARE(winBodies(1).size(), 1);

        // "N/A" never asks and takes the event out of its group.
        menuPOPGROUP_Click(0, 2, onAir);
        QCOMPARE(d.requests().size(), 5);
        QCOMPARE(Events().at(1, 6).GroupText, QByteArray("N/A"));
        QCOMPARE(winBodies(1).last(), expectedEventMessage(Events().at(1, 6)));
        menuPOPGROUP_Click(4, 3, onAir);
        menuPOPGROUP_Click(25, 1, onAir);
        QVERIFY(winBodies(1).isEmpty());
    }

    void assignmentTodayRuleAndSilentSkips()
    {
        CommandFixture f;
        addGrouped(1, 1, StatusActive, 0);
        addGrouped(1, 2, StatusActive, 0).EventDate = QDate(2026, 12, 10);
        addGrouped(3, 3, StatusActive, 0);
        Dialogs d;
        ResetSelection() = true;
        menuPOPGROUP_Click(2, 1, listOf({1, 2}, 1, 2));
        QCOMPARE(d.titles(), QStringList{QStringLiteral("Grouping Error")});
        QCOMPARE(d.texts().value(0), QStringLiteral("Grouping is not allowed unless the event "
                                                    "will occur today."));
        QCOMPARE(d.requests().value(0).icon, QMessageBox::Warning);
        QCOMPARE(winBodies(1).size(), 1);
        QCOMPARE(Events().at(1, 2).GroupNo, quint8(0));
        // Out of a group is allowed on any day.
        addGrouped(1, 2, StatusActive, 4).EventDate = QDate(2026, 12, 10);
        menuPOPGROUP_Click(0, 1, listOf({1, 2}, 2, 2));
        QCOMPARE(Events().at(1, 2).GroupNo, quint8(0));
        QCOMPARE(winBodies(1).size(), 1);

        // Rows of a head end the operator may not change are passed over without a word.
        GroupList l;
        l.rows = {rowOf(3, 3), rowOf(1, 1)};
        l.row = 1;
        l.rowSel = 2;
        menuPOPGROUP_Click(0, 1, l);
        QCOMPARE(d.requests().size(), 1);
        QVERIFY(winBodies(3).isEmpty());
        QCOMPARE(winBodies(1).size(), 1);
        users().CurrentUser = NoRights;
        menuPOPGROUP_Click(0, 1, l);
        QVERIFY(winBodies(1).isEmpty());
        QCOMPARE(d.requests().size(), 1);
    }
};

VEK_TEST(TestGroupCommands)
#include "tst_groupcommands.moc"
