// The Event View's commands and the event dialogs against the simulated Hardware Server:
// the console downloads the server's events, the operator acts on them, and the bodies
// that reach the server (its trace, direction "in") are checked, as is what the server
// made of them.

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <memory>

#include "core/channelentries.h"
#include "core/channeltable.h"
#include "core/consolecore.h"
#include "core/consolestate.h"
#include "core/eventkeys.h"
#include "core/eventstore.h"
#include "core/eventtable.h"
#include "core/eventtext.h"
#include "core/hslink.h"
#include "core/hssocket.h"
#include "core/receivepath.h"
#include "core/receivestate.h"
#include "core/selection.h"
#include "core/sendpath.h"
#include "core/settings.h"
#include "core/systemoptions.h"
#include "core/users.h"
#include "core/winqueue.h"
#include "core/zoneclocks.h"
#include "dialogs/addeventform.h"
#include "dialogs/frmasrun.h"
#include "dialogs/frmonair.h"
#include "eventview/eventcommands.h"
#include "eventview/groupcommands.h"
#include "platform/clock.h"
#include "platform/widgets/dialogseam.h"
#include "quietwindows.h"
#include "testhome.h"
#include "testregistry.h"
#include "tools/hwsim/hwsim.h"

using namespace vek;
using vek::sim::HwSim;

namespace {

constexpr int Operator = 1;
constexpr int Admin = 2;

QByteArray chr(int code)
{
    return QByteArray(1, static_cast<char>(static_cast<unsigned char>(code)));
}

// The server keeps keys padded with "0" to 32 characters.
QByteArray key(int n)
{
    return ("26120900000000" + QByteArray::number(n).rightJustified(2, '0')).leftJustified(32, '0');
}

// Head end 1 with four channels and one event per case; every event has its own key.
const QByteArray Scenario = R"(headend 1 zone=4 minutes=30 list=1
channel 1 1 name=ALPHA num=101 level=3 def=1 src="Alpha" out=1 dest="Alpha 101" backup=9
channel 1 2 name=BRAVO num=102 level=3 def=2 src="Bravo" out=2 dest="Bravo 102" backup=7
channel 1 3 name=CHARLIE num=103 level=3 def=3 src="Charlie" out=3 dest="Charlie 103" backup=8
channel 1 5 name=ECHO num=105 level=3 def=5 src="Echo" out=5 dest="Echo 105"
event 1 key=2612090000000001 dest=1 src=2 start=+3h status=1 desc="Hold me"
event 1 key=2612090000000002 dest=1 src=2 start=+4h status=3 desc="Held already"
event 1 key=2612090000000003 dest=1 src=2 start=+5h status=0 desc="Broken feed"
event 1 key=2612090000000004 dest=2 src=3 start=+6h status=1 desc="Delete me"
event 1 key=2612090000000005 dest=2 src=3 start=-3h dur=30m status=8 desc="Finished"
event 1 key=2612090000000006 dest=3 src=1 start=+7h status=1 desc="Sub me"
event 1 key=2612090000000007 dest=1 src=5 start=-10m dur=2h status=2 desc="Default me"
event 1 key=2612090000000008 dest=2 src=5 start=-10m dur=2h status=2 desc="Interrupt me"
event 1 key=2612090000000009 dest=3 src=2 start=+8h status=3 desc="Make active"
event 1 key=2612090000000010 dest=5 src=1 start=+9h status=1 group=5 desc="Grouped"
event 1 key=2612090000000011 dest=5 src=2 start=-20m dur=2h status=2 desc="On-Air form"
event 1 key=2612090000000012 dest=5 src=3 start=-4h dur=30m status=8 desc="As run"
)";
constexpr int ScenarioEvents = 12;

// A console core connected to a simulator of the scenario, with the events downloaded,
// an operator and an administrator, and every question answered Yes.
class WireRig
{
public:
    WireRig()
        : dialogs(std::make_unique<ScopedDialogHandler>([](const DialogRequest &r) {
              DialogAnswer a;
              a.button = (r.buttons & QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
              return a;
          }))
    {
        resetConsoleState();
        QString error;
        loaded = sim.loadScenarioText(Scenario, &error) && sim.listenAll(&error);
        if (!loaded)
            qWarning("scenario: %s", qPrintable(error));
        for (QDateTime &z : ZoneTimes())
            z = Clock::localNow();
        core = std::make_unique<ConsoleCore>(&windows);
        Settings &s = settings();
        s.HEOnLine[1] = true;
        s.HEName[1] = "North";
        s.HEMainIP[1] = "127.0.0.1";
        s.HEPort[1] = QByteArray::number(sim.port(1));
        s.HEListNo[1] = 1;
        s.HERetryMS[1] = 50;
        s.HEChannels[1] = 5;
        s.ShowHE[1][1] = true;
        Users &u = users();
        u.UserName[Operator] = QStringLiteral("OPER");
        u.UserName[Admin] = QStringLiteral("ADMIN");
        u.UserPrivilege[Operator] = PrivilegeOperator;
        u.UserPrivilege[Admin] = PrivilegeAdmin;
        u.UserHEAccess[Operator][1] = true;
        u.UserHEAccess[Admin][1] = true;
        u.CurrentUser = Operator;
    }
    ~WireRig()
    {
        core.reset();
        dialogs.reset();
        resetConsoleState();
    }

    HsLink &link() { return core->hsLink(); }

    // Connects, starts the link and waits for every scenario event and channel 5.
    bool start()
    {
        if (!loaded)
            return false;
        link().setRetryIntervals();
        link().connectHeadEnds(false);
        if (!QTest::qWaitFor([&] { return link().socket(1) && link().socket(1)->isConnected(); },
                             3000))
            return false;
        link().start();
        return QTest::qWaitFor(
            [&] {
                for (int n = 1; n <= ScenarioEvents; ++n) {
                    if (findEventSlot(1, key(n)) < 0)
                        return false;
                }
                return Channel(1, 5).ChanNum == 105 && HETimeZone(1) == 4;
            },
            5000);
    }

    // The bodies the console sent to head end 1, from trace index from on.
    QList<QByteArray> bodies(qsizetype from = 0) const
    {
        QList<QByteArray> out;
        const QList<sim::TraceLine> &t = sim.trace();
        for (qsizetype i = from; i < t.size(); ++i) {
            if (t[i].headEnd == 1 && t[i].direction == "in")
                out.append(t[i].bytes.mid(4));
        }
        return out;
    }
    // The bodies that carry an event or a delete for the key (polls and reads left out).
    QList<QByteArray> about(const QByteArray &k, qsizetype from = 0) const
    {
        QList<QByteArray> out;
        for (const QByteArray &b : bodies(from)) {
            if ((b.startsWith('Q') || b.startsWith(chr(12))) && b.contains(k))
                out.append(b);
        }
        return out;
    }
    bool waitForBody(const QByteArray &body, qsizetype from = 0)
    {
        return QTest::qWaitFor([&] { return bodies(from).contains(body); }, 3000);
    }
    qsizetype mark() const { return sim.trace().size(); }
    // No event or delete message reaches the server for a while: the queues are empty.
    bool settle()
    {
        const auto busy = [&](qsizetype from) {
            for (const QByteArray &b : bodies(from)) {
                if (b.startsWith('Q') || b.startsWith(chr(12)))
                    return true;
            }
            return false;
        };
        for (int round = 0; round < 20; ++round) {
            const qsizetype from = mark();
            QTest::qWait(150);
            if (!busy(from))
                return true;
        }
        return false;
    }

    int slot(int n) const { return findEventSlot(1, key(n)); }
    const EventRec &event(int n) const { return Events().at(1, slot(n)); }

    CommandRow row(int n) const
    {
        const int s = slot(n);
        const EventRec &e = Events().at(1, s);
        CommandRow r;
        r.rowKey = makeRowKey(1, s);
        r.headEnd = 1;
        r.slot = s;
        r.fullKey = e.EventKey;
        r.groupNo = e.GroupNo;
        r.description = e.Description;
        r.mediaPointId = e.MediaPointID;
        return r;
    }

    TestHome home;
    std::unique_ptr<ScopedDialogHandler> dialogs;
    HwSim sim;
    QuietWindows windows;
    std::unique_ptr<ConsoleCore> core;
    bool loaded = false;
};

CommandView tab(int t)
{
    CommandView v;
    v.tab = t;
    v.view = 1;
    return v;
}

QByteArray expectedEventMessage(const EventRec &r)
{
    return "Q" + EventToString(r);
}

EventRec parsed(const QByteArray &body)
{
    return ParseEvent(body.mid(1));
}

} // namespace

class TestWire : public QObject
{
    Q_OBJECT
private slots:
    void holdDeleteAndActiveReachTheServer()
    {
        WireRig rig;
        QVERIFY(rig.start());
        QCOMPARE(rig.event(1).EventKey, key(1));

        qsizetype from = rig.mark();
        const int asked = rig.dialogs->requests().size();
        menuEventHold_Click(tab(TabUpcoming), {rig.row(1), rig.row(3), rig.row(2)});
        QCOMPARE(rig.dialogs->requests().size(), asked + 1);
        QCOMPARE(rig.dialogs->requests().last().title, QStringLiteral("Problem Event"));
        QCOMPARE(rig.dialogs->requests().last().text,
                 QStringLiteral("This selected event (Broken feed) could not be placed on hold "
                                "because it has a problem."));
        // Status 1 goes out held; a held row is passed over without a word.
        const QByteArray held1 = expectedEventMessage(rig.event(1));
        QVERIFY(rig.waitForBody(held1, from));
        QCOMPARE(parsed(held1).Status, quint8(StatusOnHold));
        QCOMPARE(parsed(held1).EventKey, key(1));
        QVERIFY(rig.settle());
        QCOMPARE(rig.about(key(1), from), QList<QByteArray>{held1});
        QVERIFY(rig.about(key(2), from).isEmpty());
        QVERIFY(rig.about(key(3), from).isEmpty());
        QCOMPARE(rig.sim.event(1, key(1))->Status, quint8(StatusOnHold));
        QCOMPARE(rig.sim.event(1, key(3))->Status, quint8(StatusProblem));

        // An operator's delete on the As Run list asks and sends nothing.
        from = rig.mark();
        const int before = rig.dialogs->requests().size();
        menuEventDel_Click(tab(TabAsRun), {rig.row(5)});
        QCOMPARE(rig.dialogs->requests().size(), before + 1);
        QTest::qWait(300);
        QVERIFY(rig.about(key(5), from).isEmpty());
        QVERIFY(rig.sim.event(1, key(5)).has_value());

        // An administrator's delete sends character 12 and the whole key.
        users().CurrentUser = Admin;
        from = rig.mark();
        menuEventDel_Click(tab(TabUpcoming), {rig.row(4)});
        QVERIFY(rig.waitForBody(chr(12) + key(4), from));
        QCOMPARE(rig.about(key(4), from), QList<QByteArray>{chr(12) + key(4)});
        QVERIFY(!rig.sim.event(1, key(4)).has_value());
        // The server's answer takes the event out of the console's table too.
        QVERIFY(QTest::qWaitFor([&] { return rig.slot(4) < 0; }, 3000));

        // Make Active: a held event goes back to status 1.
        users().CurrentUser = Operator;
        from = rig.mark();
        menuPEActive_Click(tab(TabUpcoming), {rig.row(9)});
        const QByteArray active = expectedEventMessage(rig.event(9));
        QCOMPARE(parsed(active).Status, quint8(StatusActive));
        QVERIFY(rig.waitForBody(active, from));
        QCOMPARE(rig.sim.event(1, key(9))->Status, quint8(StatusActive));
        QVERIFY(!rig.home.readLog().contains("Error"));
    }

    void subNowDefNowInterruptAndResume()
    {
        WireRig rig;
        QVERIFY(rig.start());

        qsizetype from = rig.mark();
        menuEventSub_Click(tab(TabUpcoming), {rig.row(6)});
        const QByteArray sub = expectedEventMessage(rig.event(6));
        QVERIFY(parsed(sub).SubNow);
        QVERIFY(!parsed(sub).DefNow);
        QVERIFY(rig.waitForBody(sub, from));
        // The server puts it on air at once.
        QCOMPARE(rig.sim.event(1, key(6))->Status, quint8(StatusOnAir));

        from = rig.mark();
        menuEventSub_Click(tab(TabOnAir), {rig.row(7)});
        const QByteArray def = expectedEventMessage(rig.event(7));
        QVERIFY(parsed(def).DefNow);
        QVERIFY(!parsed(def).SubNow);
        QCOMPARE(parsed(def).Status, quint8(StatusOnAir));
        QVERIFY(rig.waitForBody(def, from));
        QCOMPARE(rig.sim.event(1, key(7))->Status, quint8(StatusDone));

        // Interrupt: a copy under a new key, then the event itself with Def. Now.
        from = rig.mark();
        const EventRec original = rig.event(8);
        menuEventInt_Click(tab(TabOnAir), {rig.row(8)});
        EventRec event = original;
        event.DefNow = true;
        QVERIFY(rig.waitForBody(expectedEventMessage(event), from));
        QList<QByteArray> sent;
        for (const QByteArray &b : rig.bodies(from)) {
            if (b.startsWith('Q'))
                sent.append(b);
        }
        QCOMPARE(sent.size(), qsizetype(2));
        QCOMPARE(sent.at(1), expectedEventMessage(event));
        const EventRec copy = parsed(sent.at(0));
        QVERIFY(copy.EventKey != original.EventKey);
        QCOMPARE(copy.EventKey.size(), 32);
        QVERIFY(copy.EventKey.endsWith(QByteArray(16, '0')));
        EventRec expected = original;
        expected.EventKey = copy.EventKey;
        expected.Interrupted = 1;
        QCOMPARE(sent.at(0), expectedEventMessage(expected));
        QCOMPARE(rig.sim.event(1, key(8))->Status, quint8(StatusDone));
        QCOMPARE(rig.sim.event(1, copy.EventKey)->Status, quint8(StatusOnAir));

        // The copy comes back into the table; resuming it asks for substitution again.
        QVERIFY(QTest::qWaitFor([&] { return findEventSlot(1, copy.EventKey) >= 0; }, 3000));
        const int copySlot = findEventSlot(1, copy.EventKey);
        QCOMPARE(Events().at(1, copySlot).Interrupted, quint8(1));
        CommandRow r;
        r.rowKey = makeRowKey(1, copySlot);
        r.headEnd = 1;
        r.slot = copySlot;
        r.fullKey = copy.EventKey;
        r.description = copy.Description;
        from = rig.mark();
        menuEventInt_Click(tab(TabOnAir), {r});
        const QByteArray resumed = expectedEventMessage(Events().at(1, copySlot));
        QCOMPARE(parsed(resumed).Status, quint8(StatusActive));
        QCOMPARE(parsed(resumed).Interrupted, quint8(0));
        QVERIFY(parsed(resumed).SubNow);
        QVERIFY(rig.waitForBody(resumed, from));
        QCOMPARE(rig.about(copy.EventKey, from), QList<QByteArray>{resumed});
        QVERIFY(!rig.home.readLog().contains("Error"));
    }

    void groupHoldSendsItsGroupByte()
    {
        WireRig rig;
        QVERIFY(rig.start());
        QCOMPARE(rig.event(10).GroupNo, quint8(5));
        const qsizetype from = rig.mark();
        groupHold_Click(tab(TabUpcoming), {rig.row(10)});
        QVERIFY(rig.waitForBody("[" + chr(5), from));
        // The server holds the members and reports them; the console changed nothing itself.
        QVERIFY(rig.about(key(10), from).isEmpty());
        QVERIFY(QTest::qWaitFor([&] { return rig.sim.event(1, key(10))->Status == StatusOnHold; },
                                3000));
        QVERIFY(QTest::qWaitFor([&] { return rig.event(10).Status == StatusOnHold; }, 3000));
    }

    void dialogsReachTheServer()
    {
        WireRig rig;
        QVERIFY(rig.start());

        // On-Air: "Default Now" sends the record, still on air, with the flag.
        SelHE() = 1;
        SelCh() = qint16(rig.slot(11));
        SelView() = 1;
        qsizetype from = rig.mark();
        QPointer<frmOnAir> onAir = frmOnAir::open();
        QVERIFY(onAir);
        onAir->txtComment()->setText(QStringLiteral("Pulled early"));
        onAir->cmdOK_Click(2);
        const QByteArray defNow = expectedEventMessage(rig.event(11));
        const EventRec d = parsed(defNow);
        QCOMPARE(d.Status, quint8(StatusOnAir));
        QVERIFY(d.DefNow);
        QCOMPARE(d.Comments, QByteArray("Pulled early"));
        QCOMPARE(d.EventKey, key(11));
        QVERIFY(rig.waitForBody(defNow, from));
        QCOMPARE(rig.sim.event(1, key(11))->Status, quint8(StatusDone));
        QTRY_VERIFY(!onAir);

        // As Run: the comment is saved in the table and sent.
        SelCh() = qint16(rig.slot(12));
        from = rig.mark();
        QPointer<frmAsRun> asRun = frmAsRun::open();
        QVERIFY(asRun);
        QVERIFY(!asRun->readOnly());
        asRun->cmbCOM()->setEditText(QStringLiteral("  Ran long\t"));
        asRun->cmdOK_Click();
        QCOMPARE(rig.event(12).OpComment, QByteArray("Ran long"));
        const QByteArray comment = expectedEventMessage(rig.event(12));
        QVERIFY(rig.waitForBody(comment, from));
        QCOMPARE(rig.sim.event(1, key(12))->OpComment, QByteArray("Ran long"));
        QTRY_VERIFY(!asRun);

        // Add: a new event under a fresh 16-character key, on a destination that is free then.
        const QList<ComboEntry> dests = destinationEntries(1);
        QVERIFY(!dests.isEmpty());
        const int dest = keyNumber(dests.last().Key);
        const QList<ComboEntry> srcs = sourceEntries(1, dest);
        QVERIFY(srcs.size() >= 2);
        AddEventInput in;
        in.headEnd = 1;
        in.dest = dest;
        in.destText = dests.last().Text;
        in.src = keyNumber(srcs.at(1).Key);
        in.srcText = srcs.at(1).Text;
        const QDateTime later = Clock::localNow().addSecs(12 * 3600);
        in.startDate = later.date();
        in.endDate = later.addSecs(3600).date();
        in.startTime = later.time().toString(QStringLiteral("HH:mm:ss")).toLatin1();
        in.endTime = later.addSecs(3600).time().toString(QStringLiteral("HH:mm:ss")).toLatin1();
        in.duration = "01:00:00";
        in.description = "Added live";
        from = rig.mark();
        const bool submitted = submitAddEvent(in, AddEventContext(), nullptr);
        QVERIFY2(
            submitted,
            qPrintable(rig.dialogs->requests().value(rig.dialogs->requests().size() - 1).text));
        QList<QByteArray> added;
        QVERIFY(QTest::qWaitFor(
            [&] {
                added.clear();
                for (const QByteArray &b : rig.bodies(from)) {
                    if (b.startsWith('Q') && parsed(b).Description == "Added live")
                        added.append(b);
                }
                return !added.isEmpty();
            },
            3000));
        QCOMPARE(added.size(), qsizetype(1));
        const EventRec a = parsed(added.first());
        const QByteArray fresh = a.EventKey.left(16);
        QCOMPARE(a.EventKey, fresh + QByteArray(16, '0'));
        QVERIFY(fresh.size() == 16 && allDigits(fresh));
        for (int n = 1; n <= ScenarioEvents; ++n)
            QVERIFY(a.EventKey != key(n));
        QCOMPARE(a.Status, quint8(StatusActive));
        QCOMPARE(a.DestCh, qint16(dest));
        QCOMPARE(a.DestText, in.destText);
        QCOMPARE(a.SrcText, in.srcText);
        QVERIFY(rig.sim.event(1, a.EventKey).has_value());
        QCOMPARE(rig.sim.event(1, a.EventKey)->Description, QByteArray("Added live"));
        QVERIFY(QTest::qWaitFor([&] { return findEventSlot(1, a.EventKey) >= 0; }, 3000));
        QVERIFY(!rig.home.readLog().contains("Error"));
    }

private:
    static bool allDigits(const QByteArray &digits)
    {
        for (const char c : digits) {
            if (c < '0' || c > '9')
                return false;
        }
        return true;
    }
};

VEK_TEST(TestWire)
#include "tst_wire.moc"
