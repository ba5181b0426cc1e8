// The administrator options and the server status window against the simulated Hardware
// Server: what reaches the server, paced as the console sends it, and where its router
// ends up.

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

#include "channelrig.h"
#include "channelview/frmadmin.h"
#include "channelview/frmserverstatus.h"
#include "testregistry.h"

using namespace vek;
using chanrig::ChannelRig;

namespace {

// Channel entries 1..255 of head end 1 on levels 1..3, output and default input equal to
// the index; visible(i) tells which are not hidden. Every third visible output starts on a
// substitute (input 900). Two events wait on the server.
QByteArray sendHomeScenario(const std::function<bool(int)> &visible)
{
    QByteArray s = "headend 1 zone=4 minutes=30 list=1\n";
    for (int i = 1; i <= 255; ++i) {
        s += "channel 1 " + QByteArray::number(i) + " name=CH" + QByteArray::number(i) +
             " num=" + QByteArray::number(i) + " level=" + QByteArray::number(1 + i % 3) +
             " def=" + QByteArray::number(i) + " out=" + QByteArray::number(i) +
             (visible(i) ? "" : " hidden=1") + "\n";
    }
    for (int i = 1; i <= 255; ++i) {
        if (visible(i) && i % 3 == 0)
            s += "router 1 " + QByteArray::number(1 + i % 3) + " 900 " + QByteArray::number(i) +
                 "\n";
    }
    s += "event 1 key=2612090000000001 dest=3 src=6 start=+2h dur=30m\n";
    s += "event 1 key=2612090000000002 dest=6 src=3 start=+3h dur=30m\n";
    return s;
}

// The server keeps keys padded with "0" to 32 characters.
QByteArray serverKey(int n)
{
    return ("26120900000000" + QByteArray::number(n).rightJustified(2, '0')).leftJustified(32, '0');
}

bool twelveVisible(int i)
{
    return i % 20 == 0 && i <= 240;
}

// Every question answered Yes.
struct Yes
{
    ScopedDialogHandler handler{[](const DialogRequest &r) {
        DialogAnswer a;
        a.button = (r.buttons & QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
        return a;
    }};
};

bool allHome(const ChannelRig &rig, const std::function<bool(int)> &visible)
{
    for (int i = 1; i <= 255; ++i) {
        if (visible(i) && rig.sim.routerInput(1, 1 + i % 3, i) != i)
            return false;
    }
    return true;
}

frmAdmin *adminFor(ChannelRig &rig, int user)
{
    users().CurrentUser = qint16(user);
    frmAdmin *a = openAdminOptions(rig.main.get());
    a->imgCmbHE1()->setCurrentIndex(0);
    a->imgCmbHE1_Click(0);
    a->imgCmbHE2()->setCurrentIndex(0);
    a->imgCmbHE2_Click(0);
    return a;
}

} // namespace

class TestAdminWire : public QObject
{
    Q_OBJECT

private slots:
    void sendHomeTwelveInTwoPacedMessages()
    {
        ChannelRig rig(sendHomeScenario(twelveVisible), 255);
        QVERIFY(rig.start(255, 255));
        QVERIFY(!allHome(rig, twelveVisible));
        Yes yes;
        QPointer<frmAdmin> a = adminFor(rig, chanrig::Admin);
        QCOMPARE(a->selHE1(), 1);
        const qsizetype from = rig.mark();
        a->cmdOK1_Click();
        QCOMPARE(yes.handler.requests().size(), 2);
        QCOMPARE(yes.handler.requests()[1].text,
                 QStringLiteral("Are you really sure (last chance to stop)?"));
        QVERIFY(a->running() && a->progBar()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(a == nullptr, 5000);

        const QList<sim::TraceLine> sent = rig.messages('\x11', from);
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent[0].bytes.mid(4), QByteArray("\x11/03020020/02040040/01060060/03080080/"
                                                  "02100100/01120120/03140140/02160160/01180180/"
                                                  "03200200"));
        QCOMPARE(sent[1].bytes.mid(4), QByteArray("\x11/02220220/01240240"));
        const qint64 gap = sent[1].ms - sent[0].ms;
        QVERIFY2(gap >= 400 && gap <= 2000, QByteArray::number(gap).constData());
        QTRY_VERIFY(allHome(rig, twelveVisible));
        const QByteArray log = rig.home.readLog();
        QVERIFY(log.contains("Send all channels home started on Head End 1"));
        QVERIFY(log.contains("Send all channels home finished on Head End 1: 2 message(s) "
                             "acknowledged, 0 given up"));

        // A server that takes nothing: the end line says so rather than "sent".
        rig.sim.command("silent 1");
        a = adminFor(rig, chanrig::Admin);
        a->cmdOK1_Click();
        QTRY_VERIFY_WITH_TIMEOUT(a == nullptr, 10000);
        QVERIFY(rig.home.readLog().contains("Send all channels home finished on Head End 1: 0 "
                                            "message(s) acknowledged, 2 given up"));
    }

    void sendHomeOfAllEntriesRunsToTheEndWhateverTheWindowIsAsked()
    {
        const auto all = [](int) { return true; };
        ChannelRig rig(sendHomeScenario(all), 255);
        QVERIFY(rig.start(255, 255));
        Yes yes;
        QPointer<frmAdmin> a = adminFor(rig, chanrig::Admin);
        QVERIFY(QTest::qWaitForWindowActive(a));
        a->timeTake().setInterval(40);
        const qsizetype from = rig.mark();
        a->cmdOK1_Click();
        QVERIFY(QTest::qWaitFor([&] { return rig.messages('\x11', from).size() >= 2; }, 5000));
        // Another window takes the focus, then Done and the title-bar X: the run goes on.
        rig.main->activateWindow();
        QTest::qWait(100);
        QVERIFY(a && a->running());
        a->cmdDone_Click();
        a->close();
        QVERIFY(a && a->running());
        QTRY_VERIFY_WITH_TIMEOUT(a == nullptr, 10000);

        const QList<sim::TraceLine> sent = rig.messages('\x11', from);
        QCOMPARE(sent.size(), 26);
        for (int k = 0; k < 25; ++k)
            QCOMPARE(sent[k].bytes.size() - 4, 91);
        QCOMPARE(sent[25].bytes.size() - 4, 46);
        QTRY_VERIFY(allHome(rig, all));
    }

    void anOperatorGetsThePrivilegeMessageAndNothingIsSent()
    {
        ChannelRig rig(sendHomeScenario(twelveVisible), 3);
        QVERIFY(rig.start(3, 3));
        Yes yes;
        QPointer<frmAdmin> a = adminFor(rig, chanrig::Operator);
        const qsizetype from = rig.mark();
        a->cmdESNI_Click();
        a->cmdOK1_Click();
        a->cmdOK2_Click();
        QCOMPARE(yes.handler.requests().size(), 3);
        for (const DialogRequest &q : yes.handler.requests()) {
            QCOMPARE(q.title, QStringLiteral("Problem"));
            QCOMPARE(q.text, QStringLiteral("The current user does not have the privileges to "
                                            "change information."));
        }
        QVERIFY(a && !a->running());
        QTest::qWait(300);
        for (const QByteArray &b : rig.bodies(from))
            QVERIFY2(!b.startsWith('X') && !b.startsWith('\x11') && !b.startsWith('\x14'),
                     b.constData());
    }

    void headEndChecksAndTheLastChance()
    {
        ChannelRig rig(sendHomeScenario(twelveVisible), 3);
        QVERIFY(rig.start(3, 3));
        users().CurrentUser = chanrig::Admin;
        QPointer<frmAdmin> a = openAdminOptions(rig.main.get());
        // Only head ends on line are offered, and none is chosen.
        QCOMPARE(a->imgCmbHE1()->count(), 1);
        QCOMPARE(a->imgCmbHE1()->currentIndex(), -1);
        QCOMPARE(a->selHE1(), 0);
        int asked = 0;
        ScopedDialogHandler lastNo([&](const DialogRequest &r) {
            DialogAnswer ans;
            ans.button = !(r.buttons & QMessageBox::Yes) ? QMessageBox::Ok
                         : ++asked == 2                  ? QMessageBox::No
                                                         : QMessageBox::Yes;
            return ans;
        });
        const qsizetype from = rig.mark();
        a->cmdOK1_Click();
        QCOMPARE(lastNo.requests().last().text,
                 QStringLiteral("There is no valid head end selected."));
        // Any change of the list is the choice, not only a click (the wheel, the keys).
        a->imgCmbHE2()->setCurrentIndex(0);
        QCOMPARE(a->selHE2(), 1);
        users().UserHEAccess[chanrig::Admin][1] = false;
        a->cmdOK2_Click();
        QCOMPARE(lastNo.requests().last().text,
                 QStringLiteral("The current user does not have the privileges to change "
                                "information on Head End 1."));
        users().UserHEAccess[chanrig::Admin][1] = true;
        a->cmdOK2_Click();
        QCOMPARE(lastNo.requests().last().title, QStringLiteral("Delete All Events"));
        QCOMPARE(lastNo.requests().last().text,
                 QStringLiteral("Are you really sure (last chance to stop)?"));
        QVERIFY(a != nullptr);
        QTest::qWait(300);
        for (const QByteArray &b : rig.bodies(from))
            QVERIFY2(!b.startsWith('\x14'), b.constData());
    }

    void esniAndClearAllReachTheServer()
    {
        ChannelRig rig(sendHomeScenario(twelveVisible), 3);
        QVERIFY(rig.start(3, 3));
        QVERIFY(QTest::qWaitFor([] { return findEventSlot(1, serverKey(2)) >= 0; }, 5000));
        Yes yes;
        QPointer<frmAdmin> a = adminFor(rig, chanrig::Admin);
        qsizetype from = rig.mark();
        a->cmdESNI_Click();
        QVERIFY(rig.waitForBody("X", from));
        QTRY_VERIFY(a == nullptr);

        a = adminFor(rig, chanrig::Admin);
        from = rig.mark();
        a->cmdOK2_Click();
        QVERIFY(rig.waitForBody("\x14", from));
        QTRY_VERIFY(a == nullptr);
        // The server reports each deletion, and the console's table empties.
        QTRY_VERIFY_WITH_TIMEOUT(
            findEventSlot(1, serverKey(1)) < 0 && findEventSlot(1, serverKey(2)) < 0, 5000);
        QVERIFY(rig.sim.events(1).isEmpty());
    }

    void serverStatusShowsEachLink()
    {
        ChannelRig rig(sendHomeScenario(twelveVisible), 3);
        QVERIFY(rig.start(3, 3));
        rig.main->menuWindow_Click(MenuWindow::ServerStatus);
        QPointer<frmServerStatus> s = openServerStatus(rig.main.get());
        QCOMPARE(s->lblName(1)->text(), QStringLiteral("Head End 1"));
        QCOMPARE(s->lblName(12)->text(), QStringLiteral("Head End 12"));
        s->timeStatus_Timer();
        QVERIFY2(s->lblStatus(1)->text().startsWith(QStringLiteral("Connected, last answer ")),
                 qPrintable(s->lblStatus(1)->text()));
        QCOMPARE(s->lblStatus(2)->text(), QStringLiteral("Off line"));
        QVERIFY(s->timeStatus().isActive());
        // The server goes away: the link shows it within its next ticks.
        QCOMPARE(rig.sim.command("close 1"), QByteArray());
        QTRY_VERIFY_WITH_TIMEOUT(s->lblStatus(1)->text() !=
                                         QStringLiteral("Connected, last answer 0 s ago") ||
                                     !rig.link().socket(1)->isConnected(),
                                 5000);
        s->cmdClose()->click();
        QTRY_VERIFY(s == nullptr);
    }
};

VEK_TEST(TestAdminWire)
#include "tst_adminwire.moc"
