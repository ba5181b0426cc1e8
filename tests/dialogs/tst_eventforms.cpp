#include <QTest>
#include <functional>

#include "core/channelentries.h"
#include "dialogfixture.h"
#include "dialogs/addeventform.h"
#include "dialogs/asrunform.h"
#include "dialogs/onairform.h"
#include "platform/widgets/dialogseam.h"
#include "testregistry.h"

using namespace vek;

namespace {

// A valid new event: CNN over BBC-SRC today, 11:00 to 12:00, on head end 1.
AddEventInput validAdd()
{
    AddEventInput in;
    in.headEnd = 1;
    in.dest = 1;
    in.src = 2;
    in.destText = "CNN (10)";
    in.srcText = "BBC-SRC (5)";
    in.startDate = in.endDate = DialogFixture::today();
    in.startTime = "11:00:00";
    in.endTime = "12:00:00";
    in.duration = "01:00:00";
    in.description = "News";
    return in;
}

AddEventContext adding()
{
    return {};
}

AddEventContext updating(int slot)
{
    AddEventContext c;
    c.addMode = false;
    c.event = EventRef::capture(1, slot);
    c.keptMediaPointID = Events().at(1, slot).MediaPointID;
    return c;
}

OnAirInput validOnAir()
{
    OnAirInput in;
    in.group = 2;
    in.startDate = DialogFixture::today();
    in.endDate = DialogFixture::today();
    in.startTime = "09:00:00";
    in.endTime = "11:30:00";
    in.duration = "02:30:00";
    in.description = "Still on";
    return in;
}

// An on-air event in slot 3: started 09:00 today, ends 11:00.
EventRec &onAirEvent()
{
    EventRec &e = DialogFixture::event(3, "2612090900000000");
    e.Status = StatusOnAir;
    e.EventDate = DialogFixture::today();
    e.StartTime = "09:00:00";
    e.EndTime = "11:00:00";
    e.StartKey = 2026120932400;
    e.EndKey = 2026120939600;
    return e;
}

} // namespace

class TestEventForms : public QObject
{
    Q_OBJECT
private slots:
    void everyAddCheckGivesItsOwnTextInItsOrder()
    {
        const QByteArray dest =
            "There is an internal error with the destination on this event.  Please close the "
            "Add / Update Event window and try again.";
        const QByteArray src = "There is an internal error with the source on this event.  "
                               "Please close the Add / Update Event window and try again.";
        struct Case
        {
            std::function<void(AddEventInput &)> change;
            QByteArray text;
        };
        const QList<Case> cases = {
            {[](AddEventInput &) { users().CurrentUser = 0; },
             "The current user does not have the privileges to change information."},
            {[](AddEventInput &) { users().UserPrivilege[1] = PrivilegeNone; },
             "The current user does not have the privileges to change information."},
            // Without privilege the head end is not looked at.
            {[](AddEventInput &in) {
                 users().CurrentUser = 0;
                 in.headEnd = 0;
             },
             "The current user does not have the privileges to change information."},
            {[](AddEventInput &in) { in.headEnd = 0; }, "There is no valid head end selected."},
            {[](AddEventInput &in) { in.headEnd = 3; },
             "The current user does not have the privileges to change information on East."},
            // An administrator needs the right on the head end too.
            {[](AddEventInput &) {
                 users().UserPrivilege[1] = PrivilegeAdmin;
                 users().UserHEAccess[1][1] = false;
             },
             "The current user does not have the privileges to change information on North."},
            {[](AddEventInput &in) { in.destText = "CNN (11)"; }, dest},
            {[](AddEventInput &in) { in.dest = -1; }, dest},
            {[](AddEventInput &in) {
                 in.srcText = "BBC (5)";
                 in.startTime = "99:00:00";
             },
             src},
            {[](AddEventInput &in) { in.src = -1; }, src},
            {[](AddEventInput &in) { in.startTime = "24:00:00"; }, "Invalid start time (hour)."},
            {[](AddEventInput &in) { in.startTime = "23:60:00"; }, "Invalid start time (minute)."},
            {[](AddEventInput &in) { in.startTime = "23:59:60"; }, "Invalid start time (second)."},
            // A box only partly filled in is no time.
            {[](AddEventInput &in) { in.startTime = "__:__:__"; }, "Invalid start time (hour)."},
            {[](AddEventInput &in) { in.startTime = "11:3_:00"; }, "Invalid start time (minute)."},
            {[](AddEventInput &in) { in.startTime = "11:30:"; }, "Invalid start time (second)."},
            {[](AddEventInput &in) {
                 in.startTime = "11:00:00";
                 in.endTime = "25:00:00";
             },
             "Invalid end time (hour)."},
            {[](AddEventInput &in) { in.endTime = "12:99:00"; }, "Invalid end time (minute)."},
            {[](AddEventInput &in) { in.endTime = "12:00:_5"; }, "Invalid end time (second)."},
            {[](AddEventInput &in) { in.startDate = in.endDate.addDays(1); },
             "The start date must occur on or before the end date."},
            {[](AddEventInput &in) {
                 in.startDate = in.endDate = DialogFixture::today().addDays(-1);
             },
             "The end date can't be before the current date."},
            {[](AddEventInput &in) { in.endTime = in.startTime; },
             "The start time must occur before the end time."},
            {[](AddEventInput &in) { in.endTime = "10:59:59"; },
             "The start time must occur before the end time."},
        };
        for (const Case &c : cases) {
            DialogFixture f;
            AddEventInput in = validAdd();
            c.change(in);
            ScopedDialogHandler dialogs;
            QVERIFY(!submitAddEvent(in, adding(), nullptr));
            QCOMPARE(dialogs.requests().size(), 1);
            QCOMPARE(dialogs.requests().first().text, QString::fromLatin1(c.text));
            QCOMPARE(dialogs.requests().first().title, QStringLiteral("Event Problem"));
            QCOMPARE(dialogs.requests().first().icon, QMessageBox::Critical);
            QVERIFY(DialogFixture::sent(1).isEmpty());
        }
    }

    void aChannelThatChangedUnderTheListIsLoggedWithTheItemText()
    {
        DialogFixture f;
        AddEventInput in = validAdd();
        Channel(1, 1).ChanNum = 11; // the server renumbered CNN after the list was built
        ScopedDialogHandler dialogs;
        QVERIFY(!submitAddEvent(in, adding(), nullptr));
        QVERIFY(f.home.readLog().contains("Please close the Add / Update Event window and try "
                                          "again.:CNN (10)"));
        // Nothing chosen at all is logged with an empty item.
        Channel(1, 1).ChanNum = 10;
        in = validAdd();
        in.src = -1;
        in.srcText.clear();
        QVERIFY(!submitAddEvent(in, adding(), nullptr));
        QVERIFY(f.home.readLog().contains("source on this event.  Please close the Add / Update "
                                          "Event window and try again.:\r\n"));
    }

    void anEventOverMidnightEndsOnTheNextDay()
    {
        DialogFixture f;
        AddEventInput in = validAdd();
        in.startTime = "23:00:00";
        in.endTime = "01:00:00";
        in.duration = "__:__:__"; // not filled in: the computed duration goes out
        in.endDate = in.startDate.addDays(1);
        in.group = 5;
        in.automation = 2;
        in.monitorEnd = true;
        in.comments = "late";
        ScopedDialogHandler dialogs;
        QVERIFY(submitAddEvent(in, adding(), nullptr));
        QVERIFY(dialogs.requests().isEmpty());
        const EventRec r = DialogFixture::sentRecord(1);
        QCOMPARE(r.Duration, QByteArray("02:00:00"));
        QCOMPARE(r.StartKey, 2026120982800LL);
        QCOMPARE(r.EndKey, 2026121003600LL);
        QCOMPARE(r.EventDate, DialogFixture::today());
        QCOMPARE(r.EventKey, QByteArray("2612091000000000"));
        QCOMPARE(r.HeadEnd, quint8(1));
        QCOMPARE(r.HEText, QByteArray("North"));
        QCOMPARE(r.DestCh, qint16(1));
        QCOMPARE(r.SrcCh, qint16(2));
        QCOMPARE(r.DestOutput, qint16(201));
        QCOMPARE(r.SrcInput, qint16(102));
        QCOMPARE(r.DestDefSrc, qint16(101));
        QCOMPARE(r.DestBackupSrc, qint16(301));
        QCOMPARE(r.Status, quint8(StatusActive));
        QCOMPARE(r.StatusDetail, QByteArray("Active"));
        QCOMPARE(r.GroupNo, quint8(5));
        QCOMPARE(r.GroupText, QByteArray("Group 5"));
        QCOMPARE(r.Automation, quint8(2));
        QCOMPARE(r.AddedBy, quint8(1));
        QVERIFY(r.MonitorEnd && !r.MonitorBeg && !r.BackupSrc);
        QCOMPARE(r.SrcText, QByteArray("BBC-SRC (5)"));
        QCOMPARE(r.DestText, QByteArray("CNN (10)"));
        QCOMPARE(r.Comments, QByteArray("late"));
        QCOMPARE(r.MediaPointID, QByteArray());
    }

    void newEventsInOneSecondGetKeysOfTheirOwn()
    {
        DialogFixture f;
        ScopedDialogHandler dialogs;
        AddEventInput in = validAdd();
        QVERIFY(submitAddEvent(in, adding(), nullptr));
        in.dest = 5;
        in.destText = "BBQ (5)";
        QVERIFY(submitAddEvent(in, adding(), nullptr));
        const QList<QByteArray> bodies = DialogFixture::sent(1);
        QCOMPARE(bodies.size(), 2);
        QCOMPARE(DialogFixture::record(bodies.at(0)).EventKey, QByteArray("2612091000000000"));
        QCOMPARE(DialogFixture::record(bodies.at(1)).EventKey, QByteArray("2612091000000001"));
    }

    void aPastActiveStartAsksBeforeAiringAndOnHoldDoesNot()
    {
        DialogFixture f;
        AddEventInput in = validAdd();
        in.startTime = "09:00:00"; // the head end's zone stands at 10:00
        {
            ScopedDialogHandler no(DialogAnswer{QMessageBox::No, {}, {}});
            QVERIFY(!submitAddEvent(in, adding(), nullptr));
            QCOMPARE(no.requests().size(), 1);
            QCOMPARE(no.requests().first().title, QStringLiteral("Air Event"));
            QCOMPARE(no.requests().first().text,
                     QStringLiteral("This event will go to air immediately.  Do you want to "
                                    "continue?"));
            QCOMPARE(no.requests().first().buttons, QMessageBox::Yes | QMessageBox::No);
            QVERIFY(DialogFixture::sent(1).isEmpty());
        }
        {
            ScopedDialogHandler yes(DialogAnswer{QMessageBox::Yes, {}, {}});
            QVERIFY(submitAddEvent(in, adding(), nullptr));
            QCOMPARE(DialogFixture::sent(1).size(), 1);
        }
        in.active = false;
        ScopedDialogHandler none;
        QVERIFY(submitAddEvent(in, adding(), nullptr));
        QVERIFY(none.requests().isEmpty());
        QCOMPARE(DialogFixture::sentRecord(1).Status, quint8(StatusOnHold));
        // The head end's own zone decides, not the PC's clock.
        HETimeZone(1) = 4;
        ZoneTimes()[4] = QDateTime(DialogFixture::today(), QTime(8, 0), Qt::UTC);
        in.active = true;
        QVERIFY(submitAddEvent(in, adding(), nullptr));
        QVERIFY(none.requests().isEmpty());
        QCOMPARE(DialogFixture::sentRecord(1).TimeZone, quint8(4));
    }

    void aClashWithAnotherEventIsShownAndNothingSent()
    {
        DialogFixture f;
        EventRec &e = DialogFixture::event(9);
        e.EventDate = DialogFixture::today();
        e.StartTime = "11:30:00";
        e.StartKey = 2026120941400;
        e.EndKey = 2026120945000;
        ScopedDialogHandler dialogs;
        QVERIFY(!submitAddEvent(validAdd(), adding(), nullptr));
        QCOMPARE(dialogs.requests().size(), 1);
        const DialogRequest &r = dialogs.requests().first();
        QCOMPARE(r.title, QStringLiteral("Event Conflict"));
        QCOMPARE(r.icon, QMessageBox::NoIcon);
        QCOMPARE(r.text,
                 QStringLiteral("Conflict with an existing event.  Event details:\r\n"
                                "Channels: CNN (10) over BBC-SRC (5)\r\n"
                                "Description: Hockey\r\n"
                                "Start Time: ") +
                     QLocale::system().toString(DialogFixture::today(), QLocale::ShortFormat) +
                     QStringLiteral(" / 11:30:00\r\nDuration: 01:00:00"));
        QVERIFY(DialogFixture::sent(1).isEmpty());
        // Without the option the clash goes to the server to settle.
        ConfirmPopupSub() = false;
        QVERIFY(submitAddEvent(validAdd(), adding(), nullptr));
        QCOMPARE(DialogFixture::sent(1).size(), 1);
    }

    void anUpdateKeepsTheKeyAndResetsWhatTheDialogDoesNotShow()
    {
        DialogFixture f;
        DialogFixture::event(4);
        users().CurrentUser = 1;
        AddEventInput in = validAdd();
        in.startDate = in.endDate = DialogFixture::today().addDays(1);
        ScopedDialogHandler dialogs;
        QVERIFY(submitAddEvent(in, updating(4), nullptr));
        const EventRec r = DialogFixture::sentRecord(1);
        QCOMPARE(r.EventKey, QByteArray("2612081200000000"));
        QCOMPARE(r.Interrupted, quint8(0));
        QVERIFY(!r.SubNow && !r.DefNow);
        QCOMPARE(r.ActualStart, QByteArray());
        QCOMPARE(r.AddedBy, quint8(1));
        QCOMPARE(r.MediaPointID, QByteArray()); // cleared without the GUID option
        settings().GUIDUpdate = true;
        QVERIFY(submitAddEvent(in, updating(4), nullptr));
        QCOMPARE(DialogFixture::sentRecord(1).MediaPointID, QByteArray("MP-77"));
        // The table itself waits for the server's echo.
        QCOMPARE(Events().at(1, 4).Interrupted, quint8(1));
    }

    void anUpdateRefusesAnEventThatLeftItsSlot()
    {
        DialogFixture f;
        DialogFixture::event(4);
        AddEventInput in = validAdd();
        in.startDate = in.endDate = DialogFixture::today().addDays(1);
        const AddEventContext context = updating(4);
        ScopedDialogHandler dialogs;
        DialogFixture::event(4, "2612090000000099"); // another event took the slot
        QVERIFY(!submitAddEvent(in, context, nullptr));
        Events().edit(1, 4).InUse = false;
        QVERIFY(!submitAddEvent(in, context, nullptr));
        QCOMPARE(dialogs.requests().size(), 2);
        for (const DialogRequest &r : dialogs.requests()) {
            QCOMPARE(r.text, QStringLiteral("This is not a valid event."));
            QCOMPARE(r.title, QStringLiteral("Event Problem"));
        }
        QVERIFY(DialogFixture::sent(1).isEmpty());
    }

    void anEventReplacedWhileTheAirQuestionIsOpenIsNotSent()
    {
        DialogFixture f;
        DialogFixture::event(4);
        AddEventInput in = validAdd();
        in.startTime = "09:00:00";
        const AddEventContext context = updating(4);
        ScopedDialogHandler dialogs([](const DialogRequest &r) {
            if (r.icon == QMessageBox::Question)
                DialogFixture::event(4, "2612090000000099");
            return DialogAnswer{QMessageBox::Yes, {}, {}};
        });
        QVERIFY(!submitAddEvent(in, context, nullptr));
        QCOMPARE(dialogs.requests().size(), 2);
        QCOMPARE(dialogs.requests().last().text, QStringLiteral("This is not a valid event."));
        QVERIFY(DialogFixture::sent(1).isEmpty());
    }

    void aNewDestinationClearsTheOldOnesMarksEvenWhenTheClashStopsIt()
    {
        DialogFixture f;
        DialogFixture::event(4);
        Channel(1, 1).PendingSub = true;
        Channel(1, 1).Under30 = true;
        Channel(1, 5).PendingSub = true;
        EventRec &other = DialogFixture::event(9, "2612090000000009");
        other.DestCh = 5;
        other.DestOutput = 205;
        AddEventInput in = validAdd();
        in.startDate = in.endDate = DialogFixture::today().addDays(1);
        in.startTime = "12:30:00";
        in.endTime = "13:30:00";
        in.dest = 5;
        in.destText = "BBQ (5)";
        ScopedDialogHandler dialogs;
        QVERIFY(!submitAddEvent(in, updating(4), nullptr));
        QCOMPARE(dialogs.requests().last().title, QStringLiteral("Event Conflict"));
        QVERIFY(!Channel(1, 1).PendingSub && !Channel(1, 1).Under30);
        QVERIFY(Channel(1, 5).PendingSub);
    }

    void controlCharactersTypedIntoTextsGoOutAsBlanks()
    {
        DialogFixture f;
        AddEventInput in = validAdd();
        in.description = boxText(QStringLiteral("\tNews\r\nat\televen "));
        in.comments = boxText(QStringLiteral("a\nb"));
        ScopedDialogHandler dialogs;
        QVERIFY(submitAddEvent(in, adding(), nullptr));
        const QList<QByteArray> bodies = DialogFixture::sent(1);
        QCOMPARE(bodies.size(), 1);
        QCOMPARE(bodies.first().count('\t'), 21);
        QVERIFY(!bodies.first().contains('\r') && !bodies.first().contains('\n'));
        const EventRec r = DialogFixture::record(bodies.first());
        QCOMPARE(r.Description, QByteArray("News  at eleven"));
        QCOMPARE(r.Comments, QByteArray("a b"));
    }

    void aTypedDurationGoesOutOnlyWhenComplete()
    {
        QCOMPARE(durationToSend("03:15:00", "11:00:00", "12:00:00"), QByteArray("03:15:00"));
        QCOMPARE(durationToSend("03:1_:00", "11:00:00", "12:00:00"), QByteArray("01:00:00"));
        QCOMPARE(durationToSend("03:75:00", "23:00:00", "01:00:00"), QByteArray("02:00:00"));
        QCOMPARE(durationToSend("", "11:00:00", "12:30:05"), QByteArray("01:30:05"));
    }

    void channelListsAreSortedByNumberWithinTheDestinationsLevel()
    {
        DialogFixture f;
        auto texts = [](const QList<ComboEntry> &l) {
            QList<QByteArray> t;
            for (const ComboEntry &e : l)
                t.append(e.Text);
            return t;
        };
        // Hidden and unnumbered channels are no destinations; equal numbers keep index order.
        QCOMPARE(texts(destinationEntries(1)),
                 (QList<QByteArray>{"BBC (5)", "BBQ (5)", "EXCL (7)", "CNN (10)", "TMX (20)"}));
        QCOMPARE(destinationEntries(1).first().Key, QByteArray("CH002"));
        // A hidden channel is still a source; an excluded one and other levels are not.
        QCOMPARE(texts(sourceEntries(1, 1)), (QList<QByteArray>{"HIDDEN-SRC (3)", "BBC-SRC (5)",
                                                                "BBQ-SRC (5)", "CNN-SRC (10)"}));
        QCOMPARE(texts(sourceEntries(1, 6)), QList<QByteArray>{"TMX-SRC (20)"});
        settings().SignalTypeCheck = true;
        Channel(1, 1).DestSigType = 2;
        Channel(1, 5).SrcSigType = 2;
        QCOMPARE(texts(sourceEntries(1, 1)), QList<QByteArray>{"BBQ-SRC (5)"});
        // Channel 256 is never offered.
        DialogFixture::channel(256, "LAST", 1, 0);
        QCOMPARE(destinationEntries(1).size(), 5);
    }

    void headEndAndGroupLists()
    {
        DialogFixture f;
        QCOMPARE(headEndEntries(1), (QList<ComboEntry>{{"North", "HE1", 0}}));
        QVERIFY(headEndEntries(2).isEmpty());
        QVERIFY(headEndEntries(0).isEmpty());
        QCOMPARE(
            groupEntries(true),
            (QList<ComboEntry>{{"N/A", "GR0", 0}, {"Group 2", "GR2", 0}, {"Group 5", "GR5", 0}}));
        QCOMPARE(groupEntries(false).last().Text, QByteArray("Group5"));
        QCOMPARE(
            typeAheadIndex({QStringLiteral("ABC"), QStringLiteral("bbc"), QStringLiteral("BBQ")},
                           QStringLiteral("bB")),
            1);
        QCOMPARE(typeAheadIndex({QStringLiteral("ABC")}, QStringLiteral("x")), -1);
    }

    void onAirChecksTheEndOnly()
    {
        const QList<QPair<std::function<void(OnAirInput &)>, QByteArray>> cases = {
            {[](OnAirInput &in) { in.endTime = "24:00:00"; }, "Invalid end time (hour)."},
            {[](OnAirInput &in) { in.endTime = "11:60:00"; }, "Invalid end time (minute)."},
            {[](OnAirInput &in) { in.endTime = "11:30:6_"; }, "Invalid end time (second)."},
            {[](OnAirInput &in) { in.startDate = in.endDate.addDays(1); },
             "The start date must occur on or before the end date."},
            {[](OnAirInput &in) { in.startDate = in.endDate = in.endDate.addDays(-1); },
             "The end date can't be before the current date."},
            {[](OnAirInput &in) { in.endTime = "00:00:00"; },
             "The start time must occur before the end time."},
        };
        for (const auto &c : cases) {
            DialogFixture f;
            const EventRec before = onAirEvent();
            OnAirInput in = validOnAir();
            c.first(in);
            ScopedDialogHandler dialogs;
            QVERIFY(!submitOnAir(in, EventRef::capture(1, 3), false, nullptr));
            QCOMPARE(dialogs.requests().size(), 1);
            QCOMPARE(dialogs.requests().first().text, QString::fromLatin1(c.second));
            QCOMPARE(dialogs.requests().first().title, QStringLiteral("Event Problem."));
            QCOMPARE(Events().at(1, 3), before);
            QVERIFY(DialogFixture::sent(1).isEmpty());
        }
        // An impossible start is not reported; tomorrow's end before the start is fine.
        DialogFixture f;
        onAirEvent();
        OnAirInput in = validOnAir();
        in.startTime = "99:99:99";
        in.endTime = "08:00:00";
        in.endDate = in.endDate.addDays(1);
        ScopedDialogHandler dialogs;
        QVERIFY(submitOnAir(in, EventRef::capture(1, 3), false, nullptr));
        QVERIFY(dialogs.requests().isEmpty());
    }

    void onAirWritesTheRecordInPlaceAndSendsIt()
    {
        DialogFixture f;
        onAirEvent();
        OnAirInput in = validOnAir();
        in.automation = 1;
        in.backupSource = true;
        in.comments = "extended";
        ScopedDialogHandler dialogs;
        QVERIFY(submitOnAir(in, EventRef::capture(1, 3), false, nullptr));
        const EventRec &r = Events().at(1, 3);
        QCOMPARE(r.Status, quint8(StatusOnAir));
        QCOMPARE(r.EndTime, QByteArray("11:30:00"));
        QCOMPARE(r.EndKey, 2026120941400LL);
        QCOMPARE(r.Duration, QByteArray("02:30:00"));
        QCOMPARE(r.GroupText, QByteArray("Group 2"));
        QCOMPARE(r.StatusDetail, QByteArray("On-Air"));
        QCOMPARE(r.Description, QByteArray("Still on"));
        QCOMPARE(r.Comments, QByteArray("extended"));
        QVERIFY(r.BackupSrc && !r.SubNow && !r.DefNow);
        // Untouched: start, channels, author, as-run fields, MediaPoint ID.
        QCOMPARE(r.StartTime, QByteArray("09:00:00"));
        QCOMPARE(r.AddedBy, quint8(7));
        QCOMPARE(r.ActualStart, QByteArray("12:00:01"));
        QCOMPARE(r.MediaPointID, QByteArray("MP-77"));
        QCOMPARE(r.Interrupted, quint8(1));
        QCOMPARE(DialogFixture::sent(1), QList<QByteArray>{"Q" + EventToString(r)});
    }

    void defaultNowIsQueuedWithItsStatusAndFlag()
    {
        DialogFixture f;
        onAirEvent();
        // Something is already in flight: the event message waits in the queue.
        SendHS(1, "BUSY", 0);
        OnAirInput in = validOnAir();
        in.active = false;
        ScopedDialogHandler dialogs;
        QVERIFY(submitOnAir(in, EventRef::capture(1, 3), true, nullptr));
        QCOMPARE(sendQueueSize(1), 1);
        const QList<QByteArray> bodies = DialogFixture::sent(1);
        QCOMPARE(bodies.size(), 2);
        QCOMPARE(bodies.first(), QByteArray("BUSY"));
        const EventRec r = DialogFixture::record(bodies.last());
        QCOMPARE(r.Status, quint8(StatusOnHoldOnAir));
        QCOMPARE(r.StatusDetail, QByteArray("On Hold"));
        QVERIFY(r.DefNow);
        QVERIFY(!r.SubNow);
        QCOMPARE(r.EventKey, QByteArray("2612090900000000"));
    }

    void onAirAsksWhenTheEndHasPassed()
    {
        DialogFixture f;
        onAirEvent();
        OnAirInput in = validOnAir();
        in.endTime = "09:30:00"; // before the zone's 10:00
        const EventRec before = Events().at(1, 3);
        {
            ScopedDialogHandler no(DialogAnswer{QMessageBox::No, {}, {}});
            QVERIFY(!submitOnAir(in, EventRef::capture(1, 3), false, nullptr));
            QCOMPARE(no.requests().size(), 1);
            QCOMPARE(no.requests().first().title, QStringLiteral("Air Event."));
            QCOMPARE(Events().at(1, 3), before);
        }
        in.active = false;
        ScopedDialogHandler none;
        QVERIFY(submitOnAir(in, EventRef::capture(1, 3), false, nullptr));
        QVERIFY(none.requests().isEmpty());
    }

    void onAirAndAsRunRefuseAnEventThatLeftItsSlot()
    {
        DialogFixture f;
        onAirEvent();
        const EventRef ref = EventRef::capture(1, 3);
        EventRec &other = DialogFixture::event(3, "2612090000000042");
        const EventRec before = other;
        ScopedDialogHandler dialogs;
        QVERIFY(!submitOnAir(validOnAir(), ref, true, nullptr));
        QVERIFY(!submitAsRun(QStringLiteral("late start"), ref, nullptr));
        QCOMPARE(dialogs.requests().size(), 2);
        for (const DialogRequest &r : dialogs.requests()) {
            QCOMPARE(r.text, QStringLiteral("This is not a valid event."));
            QCOMPARE(r.title, QStringLiteral("Event Problem."));
        }
        QCOMPARE(Events().at(1, 3), before);
        QVERIFY(DialogFixture::sent(1).isEmpty());
        // A slot out of range is no event either, and nothing is indexed with it.
        QVERIFY(!submitAsRun(QString(), EventRef::capture(13, 20000), nullptr));
        QVERIFY(!submitOnAir(validOnAir(), EventRef::capture(0, -1), false, nullptr));
    }

    void anAsRunCommentIsSavedAndSent()
    {
        DialogFixture f;
        EventRec &e = DialogFixture::event(6);
        e.Status = StatusDone;
        ScopedDialogHandler dialogs;
        QVERIFY(submitAsRun(QStringLiteral("  Started\tlate  "), EventRef::capture(1, 6), nullptr));
        QVERIFY(dialogs.requests().isEmpty());
        QCOMPARE(Events().at(1, 6).OpComment, QByteArray("Started late"));
        // Only the comment changes; the commenting user is the server's to record.
        QCOMPARE(Events().at(1, 6).ExtraCode2, quint8(0));
        QCOMPARE(DialogFixture::sentRecord(1).OpComment, QByteArray("Started late"));
        // An empty comment is sent too.
        DialogFixture::event(7, "2612080000000007");
        QVERIFY(submitAsRun(QStringLiteral("   "), EventRef::capture(1, 7), nullptr));
        QCOMPARE(DialogFixture::sentRecord(1).OpComment, QByteArray());
    }

    void asRunNeedsPrivilegeAndRight()
    {
        DialogFixture f;
        DialogFixture::event(6);
        ScopedDialogHandler dialogs;
        users().UserHEAccess[1][1] = false;
        QVERIFY(!submitAsRun(QStringLiteral("x"), EventRef::capture(1, 6), nullptr));
        users().UserPrivilege[1] = PrivilegeNone;
        QVERIFY(!submitAsRun(QStringLiteral("x"), EventRef::capture(1, 6), nullptr));
        QCOMPARE(dialogs.requests().size(), 2);
        QCOMPARE(dialogs.requests().at(0).text,
                 QStringLiteral("The current user does not have the privileges to change "
                                "information on North."));
        QCOMPARE(dialogs.requests().at(1).text,
                 QStringLiteral("The current user does not have the privileges to change "
                                "information."));
        QCOMPARE(dialogs.requests().at(1).title, QStringLiteral("Event Problem."));
        QCOMPARE(Events().at(1, 6).OpComment, QByteArray());
        QVERIFY(DialogFixture::sent(1).isEmpty());
    }

    void asRunStateComesFromTheRecord()
    {
        DialogFixture f;
        EventRec r;
        AsRunState s = asRunState(r);
        QVERIFY(!s.readOnly);
        QCOMPARE(s.operatorName, QStringLiteral("USER1"));
        r.OpComment = "   ";
        QVERIFY(!asRunState(r).readOnly);
        r.OpComment = "Late";
        r.ExtraCode2 = 11; // two digits: a list cell would have been cut wrongly
        r.AddedBy = 12;
        r.ExtraCode1 = 10;
        s = asRunState(r);
        QVERIFY(s.readOnly);
        QCOMPARE(s.operatorName, QStringLiteral("USER11"));
        r.ExtraCode2 = 0;
        QCOMPARE(asRunState(r).operatorName, QString());
        r.ExtraCode2 = 13;
        QCOMPARE(asRunState(r).operatorName, QString());
    }

    void quickCommentsSkipTheEmptyOnes()
    {
        DialogFixture f;
        settings().AsRunComment[3] = "Late start";
        settings().AsRunComment[7] = "Signal lost";
        settings().AsRunComment[9] = "   ";
        QCOMPARE(quickComments(), (QList<QByteArray>{"Late start", "Signal lost"}));
    }
};

VEK_TEST(TestEventForms)
#include "tst_eventforms.moc"
