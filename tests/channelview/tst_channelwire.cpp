// The Channel View and the channel-control window against the simulated Hardware Server:
// the console downloads the channel table and router status, the window shows them, and
// the operator's commands reach the server, which switches its router.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableView>

#include "channelrig.h"
#include "channelview/chanviewmodel.h"
#include "channelview/frmchanview.h"
#include "channelview/frmcvcont.h"
#include "testregistry.h"

using namespace vek;
using chanrig::ChannelRig;

namespace {

// Five listed channels on level 3 (two of them numbered 12), a hidden substitute source and
// a hidden, excluded one. CHARLIE airs its backup source with an event less than 30 minutes
// away; DELTA airs the substitute with an event on hold ahead.
const QByteArray Scenario = R"(headend 1 zone=4 minutes=30 list=1
channel 1 1 name=ALPHA num=12 level=3 def=7 src="Alpha" out=12 dest="Alpha" backup=9
channel 1 2 name=BRAVO num=12 level=3 def=2 src="Bravo" out=2 dest="Bravo" backup=19 select=1
channel 1 3 name=CHARLIE num=5 level=3 def=3 src="Charlie" out=3 dest="Charlie" backup=8 select=1
channel 1 4 name=DELTA num=7 level=3 def=4 src="Delta" out=4 dest="Delta" select=1
channel 1 5 name=ECHO num=9 level=3 def=5 src="Echo" out=5 dest="Echo" select=1
channel 1 6 name=SUBA num=30 level=3 def=6 src="Sub A" out=6 dest="Sub A" hidden=1
channel 1 7 name=EXCL num=31 level=3 def=10 src="Excluded" out=7 dest="Excl" hidden=1 excluded=1
router 1 3 8 3
router 1 3 6 4
event 1 key=2612090000000001 dest=3 src=6 start=+10m dur=30m
event 1 key=2612090000000002 dest=4 src=6 start=+2h dur=30m status=3
)";

QByteArray chr(int code)
{
    return QByteArray(1, char(code));
}

// Answers every question with the given button and records it.
struct Answers
{
    explicit Answers(QMessageBox::StandardButton yesOrNo)
        : handler([yesOrNo](const DialogRequest &r) {
              DialogAnswer a;
              a.button = (r.buttons & QMessageBox::Yes) ? yesOrNo : QMessageBox::Ok;
              return a;
          })
    {}
    ScopedDialogHandler handler;
};

// The rig with the table downloaded and the states of CHARLIE and DELTA known.
struct Ready
{
    Ready() : rig(Scenario, 7)
    {
        ok = rig.start(7, 31) && QTest::qWaitFor(
                                     [] {
                                         return Channel(1, 3).OnBackup && Channel(1, 3).Under30 &&
                                                Channel(1, 4).Substituted &&
                                                Channel(1, 4).PendingSub;
                                     },
                                     8000);
    }
    ChannelRig rig;
    bool ok = false;
};

QList<QByteArray> column(const frmChanView &v, int col)
{
    QList<QByteArray> out;
    for (int r = 1; r < v.model()->rowCount() + 1; ++r)
        out.append(v.model()->textMatrix(r, col));
    return out;
}

quint8 paint(const frmChanView &v, int row, int col)
{
    return v.model()->grid().lines[size_t(row - 1)].paint[size_t(col)];
}

} // namespace

class TestChannelWire : public QObject
{
    Q_OBJECT

private slots:
    void listsSplitIntoTwoPairsInNumberOrder()
    {
        Ready r;
        QVERIFY(r.ok);
        r.rig.main->menuWindow_Click(MenuWindow::ChannelView);
        QPointer<frmChanView> v = chanView();
        QVERIFY(v);
        QCOMPARE(CVHeadEnd(), qint16(1));
        QCOMPARE(v->lblHead()->text(), QStringLiteral("Head End 1"));
        QCOMPARE(v->lblView()->text(), QStringLiteral("All Channels"));

        // Five listed: three rows on the left, two on the right; equal numbers (ALPHA and
        // BRAVO, both 12) in channel order.
        QCOMPARE(v->model()->rowCount(), 3);
        QCOMPARE(column(*v, 1), (QList<QByteArray>{"Charlie (5)", "Delta (7)", "Echo (9)"}));
        QCOMPARE(column(*v, 5), (QList<QByteArray>{"Alpha (12)", "Bravo (12)", ""}));
        QCOMPARE(column(*v, 3), (QList<QByteArray>{" 3", " 4", " 5"}));
        QCOMPARE(column(*v, 7), (QList<QByteArray>{" 1", " 2", ""}));
        QCOMPARE(column(*v, 0), (QList<QByteArray>{"BU-Charlie (5)", "Sub A (30)", "Echo (9)"}));

        // The select list holds four: two rows a side.
        v->viewButton_Click(5);
        QCOMPARE(v->lblView()->text(), QStringLiteral("Select List"));
        QCOMPARE(v->model()->rowCount(), 2);
        QCOMPARE(column(*v, 1), (QList<QByteArray>{"Charlie (5)", "Delta (7)"}));
        QCOMPARE(column(*v, 5), (QList<QByteArray>{"Echo (9)", "Bravo (12)"}));
        QCOMPARE(v->viewButton(5)->currentPicture(), ChanViewButton::ViewChosen);
        QCOMPARE(v->viewButton(0)->currentPicture(), ChanViewButton::View);

        // A head end without channels: one empty row under the header.
        v->headEndButton_Click(2);
        QCOMPARE(v->model()->rowCount(), 1);
        QCOMPARE(v->model()->textMatrix(1, 1), QByteArray());
        QCOMPARE(v->headEndButton(2)->currentPicture(), ChanViewButton::HeadEndShown);
        QCOMPARE(v->headEndButton(1)->currentPicture(), ChanViewButton::HeadEnd);
        QCOMPARE(v->headEndButton(2)->caption(), QStringLiteral("HE2"));

        // Closing forgets the head end; the next opening shows head end 1 with the filter
        // last chosen.
        v->parentWidget()->close();
        QCOMPARE(CVHeadEnd(), qint16(0));
        QTRY_VERIFY(v == nullptr);
        r.rig.main->menuWindow_Click(MenuWindow::ChannelView);
        QCOMPARE(CVHeadEnd(), qint16(1));
        QCOMPARE(chanView()->lblView()->text(), QStringLiteral("Select List"));
    }

    void coloursFollowTheChannelStates()
    {
        Ready r;
        QVERIFY(r.ok);
        r.rig.main->menuWindow_Click(MenuWindow::ChannelView);
        frmChanView *v = chanView();
        // CHARLIE: on its backup and under 30 minutes, not substituted: both cells colour 3.
        QCOMPARE(paint(*v, 1, 0), quint8(3));
        QCOMPARE(paint(*v, 1, 1), quint8(3));
        // DELTA: substituted and on hold: the Source cell keeps 1, the Dest. cell shows 2.
        QCOMPARE(paint(*v, 2, 0), quint8(1));
        QCOMPARE(paint(*v, 2, 1), quint8(2));
        // Plain channels keep the stripes: left pair on odd rows, right pair on even rows.
        QCOMPARE(paint(*v, 3, 0), quint8(PaintStripe));
        QCOMPARE(paint(*v, 2, 4), quint8(PaintStripe));
        QCOMPARE(paint(*v, 1, 4), quint8(PaintNone));
        QCOMPARE(v->model()->cellColor(2, 1), QColor(2, 0, 0));
        QCOMPARE(v->model()->cellColor(3, 0), QColor(0xDF, 0xDF, 0xDF));

        // A take on the server shows once its router status comes back.
        QCOMPARE(r.rig.sim.command("take 1 3 3 3"), QByteArray());
        QTRY_COMPARE_WITH_TIMEOUT(v->model()->textMatrix(1, 0), QByteArray("Charlie (5)"), 5000);
        QCOMPARE(paint(*v, 1, 0), quint8(3));
    }

    void takeDefaultReachesTheServer()
    {
        Ready r;
        QVERIFY(r.ok);
        QCOMPARE(r.rig.sim.command("take 1 3 2 12"), QByteArray());
        QTRY_VERIFY_WITH_TIMEOUT(Channel(1, 1).Substituted, 5000);
        r.rig.main->menuWindow_Click(MenuWindow::ChannelView);
        frmChanView *v = chanView();
        // ALPHA is the first entry of the right pair.
        v->gridCV_DblClick(1, 4);
        QCOMPARE(CVChannel(), QByteArray(" 1"));
        QPointer<frmCVCont> c = channelControl();
        QVERIFY(c && c->isVisible());
        QCOMPARE(c->lblCH()->text(), QStringLiteral("Alpha (12)"));
        QCOMPARE(c->lblCUR()->text(), QStringLiteral("Bravo (12)"));
        QCOMPARE(c->cmdDef()->text(), QStringLiteral("Alpha (12)"));
        QCOMPARE(c->cmdBU()->text(), QStringLiteral("Alpha (12)"));

        Answers no(QMessageBox::No);
        const qsizetype from = r.rig.mark();
        c->cmdDef_Click();
        // No question for the default: level 3, input 7, output 12.
        QVERIFY(no.handler.requests().isEmpty());
        QVERIFY(r.rig.waitForBody(chr(16) + "03007012", from));
        QVERIFY(!c->isVisible());
        QVERIFY(r.rig.home.readLog().contains(
            "User sent channel to default source.  Details: Alpha (12)"));
        QTRY_COMPARE(r.rig.sim.routerInput(1, 3, 12), 7);
        QTRY_VERIFY_WITH_TIMEOUT(!Channel(1, 1).Substituted, 5000);
        QCOMPARE(v->model()->textMatrix(1, 4), QByteArray("Alpha (12)"));
    }

    void standbyAnsweredNoSendsNothing()
    {
        Ready r;
        QVERIFY(r.ok);
        r.rig.main->menuWindow_Click(MenuWindow::ChannelView);
        chanView()->gridCV_DblClick(2, 0);
        QPointer<frmCVCont> c = channelControl();
        QCOMPARE(c->lblCH()->text(), QStringLiteral("Delta (7)"));
        Answers no(QMessageBox::No);
        const qsizetype from = r.rig.mark();
        c->cmdActive_Click(1);
        c->cmdBU_Click();
        QCOMPARE(no.handler.requests().size(), 2);
        QCOMPARE(no.handler.requests()[0].title, QStringLiteral("Deactivate Output"));
        QCOMPARE(no.handler.requests()[1].title, QStringLiteral("Switch To Backup"));
        QVERIFY(c->isVisible());
        QTest::qWait(300);
        for (const QByteArray &b : r.rig.bodies(from))
            QVERIFY2(!b.startsWith('f') && !b.startsWith(chr(16)), b.constData());
        QVERIFY(!r.rig.home.readLog().contains("User"));
    }

    void sourceListActiveAndChosenTake()
    {
        Ready r;
        QVERIFY(r.ok);
        r.rig.main->menuWindow_Click(MenuWindow::ChannelView);
        chanView()->gridCV_DblClick(1, 1);
        QPointer<frmCVCont> c = channelControl();
        QCOMPARE(c->channel(), 3);
        // Same level, not excluded, by number; the channel itself is offered too.
        QStringList texts;
        for (int i = 0; i < c->cmbSrc()->count(); ++i)
            texts.append(c->cmbSrc()->itemText(i));
        QCOMPARE(texts, (QStringList{"Charlie (5)", "Delta (7)", "Echo (9)", "Alpha (12)",
                                     "Bravo (12)", "Sub A (30)"}));
        QCOMPARE(c->cmbSrc()->currentIndex(), 0);
        QVERIFY(c->chkSel()->isChecked());

        Answers yes(QMessageBox::Yes);
        c->cmbSrc()->setCurrentIndex(5);
        qsizetype from = r.rig.mark();
        c->cmdActive_Click(0);
        // The input of the chosen source, the channel's level and output.
        QVERIFY(r.rig.waitForBody("e03006003", from));
        QVERIFY(r.rig.home.readLog().contains("User pressed Active.  Details: Charlie (5)"));

        // Shown again, it is filled anew: the list starts at its first item again.
        chanView()->gridCV_DblClick(1, 1);
        QCOMPARE(c->cmbSrc()->currentIndex(), 0);
        c->cmbSrc()->setCurrentIndex(5);
        from = r.rig.mark();
        c->cmdTAKE_Click();
        QVERIFY(r.rig.waitForBody(chr(16) + "03006003", from));
        QVERIFY(r.rig.home.readLog().contains(
            "User sent channel to another source.  Details: Charlie (5) to Sub A (30)"));
        QTRY_COMPARE(r.rig.sim.routerInput(1, 3, 3), 6);

        // With ResetSelection only the hidden entries are offered.
        ResetSelection() = true;
        chanView()->gridCV_DblClick(1, 1);
        QCOMPARE(c->cmbSrc()->count(), 1);
        QCOMPARE(c->cmbSrc()->itemText(0), QStringLiteral("Sub A (30)"));
    }

    void noSourceChosenIsLoggedNotSent()
    {
        Ready r;
        QVERIFY(r.ok);
        r.rig.main->menuWindow_Click(MenuWindow::ChannelView);
        chanView()->gridCV_DblClick(1, 1);
        QPointer<frmCVCont> c = channelControl();
        Answers yes(QMessageBox::Yes);
        const qsizetype from = r.rig.mark();
        c->cmbSrc()->clear();
        c->cmdTAKE_Click();
        c->cmdActive_Click(0);
        c->cmdActive_Click(1);
        // Nothing asked, nothing sent, the window stays for another choice.
        QVERIFY(yes.handler.requests().isEmpty());
        QVERIFY(c->isVisible());
        QTest::qWait(300);
        for (const QByteArray &b : r.rig.bodies(from)) {
            QVERIFY2(!b.startsWith('e') && !b.startsWith('f') && !b.startsWith(chr(16)),
                     b.constData());
        }
        QCOMPARE(r.rig.home.readLog().count(
                     "Error frmCVCont_cmdTake_Click) 91 Object variable or With block variable "
                     "not set"),
                 3);
    }

    void refusalsComeInOrder()
    {
        Ready r;
        QVERIFY(r.ok);
        r.rig.main->menuWindow_Click(MenuWindow::ChannelView);
        chanView()->gridCV_DblClick(1, 1);
        QPointer<frmCVCont> c = channelControl();
        Answers yes(QMessageBox::Yes);
        users().UserPrivilege[chanrig::Operator] = PrivilegeNone;
        settings().HEOnLine[1] = false;
        c->cmdDef_Click();
        users().UserPrivilege[chanrig::Operator] = PrivilegeOperator;
        c->cmdDef_Click();
        settings().HEOnLine[1] = true;
        users().UserHEAccess[chanrig::Operator][1] = false;
        c->cmdDef_Click();
        const QList<DialogRequest> &q = yes.handler.requests();
        QCOMPARE(q.size(), 3);
        QCOMPARE(q[0].title, QStringLiteral("Event Problem."));
        QCOMPARE(q[0].icon, QMessageBox::Critical);
        QCOMPARE(q[0].text,
                 QStringLiteral("The current user does not have the privileges to change "
                                "information."));
        QCOMPARE(q[1].text, QStringLiteral("This headednd (Head End 1) is currently off-line.  No "
                                           "change will take place."));
        QCOMPARE(q[2].text, QStringLiteral("The current user does not have the privileges to "
                                           "change information on Head End 1."));
        QVERIFY(c->isVisible());
    }

    void selectListAndEveryCloseHides()
    {
        Ready r;
        QVERIFY(r.ok);
        r.rig.main->menuWindow_Click(MenuWindow::ChannelView);
        frmChanView *v = chanView();
        v->viewButton_Click(5);
        QCOMPARE(v->model()->rowCount(), 2);
        v->gridCV_DblClick(1, 1); // CHARLIE
        QPointer<frmCVCont> c = channelControl();
        c->chkSel()->click();
        QVERIFY(!Channel(1, 3).SelectList);
        // The title-bar X is Done: the window hides, stays loaded, the select list redraws.
        c->close();
        QVERIFY(c && !c->isVisible());
        QCOMPARE(v->model()->textMatrix(1, 1), QByteArray("Delta (7)"));
        QCOMPARE(v->model()->grid().listed, 3);
        // Losing activation to another window of the console hides it as well.
        v->gridCV_DblClick(1, 1);
        QVERIFY(QTest::qWaitForWindowActive(c));
        r.rig.main->activateWindow();
        QTRY_VERIFY(!c->isVisible());
        QVERIFY(c);
    }

    void rightClickTakesToTheMonitor()
    {
        Ready r;
        QVERIFY(r.ok);
        settings().QCDevice = 3;
        settings().QCDestination = 20;
        r.rig.main->menuWindow_Click(MenuWindow::ChannelView);
        frmChanView *v = chanView();
        qsizetype from = r.rig.mark();
        // Over DELTA's Source cell the input on air (the substitute, 6); over its Dest. cell
        // its default (4).
        v->gridCV_MouseDown(Qt::RightButton, 2, 0);
        QVERIFY(r.rig.waitForBody(chr(16) + "03006020", from));
        QTRY_COMPARE(r.rig.sim.routerInput(1, 3, 20), 6);
        from = r.rig.mark();
        v->gridCV_MouseDown(Qt::RightButton, 2, 1);
        QVERIFY(r.rig.waitForBody(chr(16) + "03004020", from));

        // An empty cell, the spacer columns, or no monitor: nothing.
        from = r.rig.mark();
        v->gridCV_MouseDown(Qt::RightButton, 3, 4);
        v->gridCV_MouseDown(Qt::RightButton, 1, 2);
        settings().QCDestination = 0;
        v->gridCV_MouseDown(Qt::RightButton, 1, 0);
        QTest::qWait(300);
        for (const QByteArray &b : r.rig.bodies(from))
            QVERIFY2(!b.startsWith(chr(16)), b.constData());
    }
};

VEK_TEST(TestChannelWire)
#include "tst_channelwire.moc"
