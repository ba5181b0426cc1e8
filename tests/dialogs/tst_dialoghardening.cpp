#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "dialogfixture.h"
#include "dialogs/datepanel.h"
#include "dialogs/frmadd.h"
#include "dialogs/frmasrun.h"
#include "dialogs/frmonair.h"
#include "platform/widgets/dialogseam.h"
#include "testregistry.h"

using namespace vek;

// The event dialogs as an operator meets them: texts longer than the typing limit,
// rights of damaged user entries, the keyboard.
class TestDialogHardening : public QObject
{
    Q_OBJECT
private slots:
    void longLoadedTextsAreSentWhole()
    {
        DialogFixture f;
        const QByteArray description(70, 'D');
        const QByteArray comments = QByteArray(60, 'C') + "end";
        EventRec &e = DialogFixture::event(4);
        e.Description = description;
        e.Comments = comments;
        DialogFixture::select(1, 4, 1);
        QPointer<frmAdd> d = new frmAdd;
        d->show();
        QCOMPARE(d->txtDesc()->text().size(), 70);
        // The operator cannot make it longer.
        d->txtDesc()->setFocus();
        d->txtDesc()->end(false);
        QTest::keyClicks(d->txtDesc(), QStringLiteral("xyz"));
        QCOMPARE(d->txtDesc()->text().size(), 70);
        ScopedDialogHandler dialogs;
        d->cmdOK_Click();
        QVERIFY(dialogs.requests().isEmpty());
        const EventRec sent = DialogFixture::sentRecord(1);
        QCOMPARE(sent.Description, description);
        QCOMPARE(sent.Comments, comments);
        QTRY_VERIFY(d == nullptr);

        // The On-Air dialog writes the record in place: it must stay whole there too.
        EventRec &air = DialogFixture::event(3, "2612090900000000");
        air.Status = StatusOnAir;
        air.EventDate = DialogFixture::today();
        air.StartTime = "09:00:00";
        air.EndTime = "11:00:00";
        air.StartKey = 2026120932400;
        air.EndKey = 2026120939600;
        air.Description = description;
        air.Comments = comments;
        DialogFixture::select(1, 3, 1);
        QPointer<frmOnAir> o = new frmOnAir;
        o->show();
        o->cmdOK_Click(1);
        QVERIFY(dialogs.requests().isEmpty());
        QCOMPARE(Events().at(1, 3).Description, description);
        QCOMPARE(Events().at(1, 3).Comments, comments);
        QCOMPARE(DialogFixture::sentRecord(1).Description, description);
        QTRY_VERIFY(o == nullptr);
    }

    void typingAndPastingStayWithinFiftyCharacters()
    {
        DialogFixture f;
        DialogFixture::select(0, 0, 1);
        QPointer<frmAdd> d = new frmAdd;
        d->show();
        QTest::keyClicks(d->txtComment(), QString(55, QLatin1Char('c')));
        QCOMPARE(d->txtComment()->text().size(), 50);
        d->txtDesc()->setFocus();
        QApplication::clipboard()->setText(QString(80, QLatin1Char('p')));
        QTest::keyClick(d->txtDesc(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(d->txtDesc()->text().size(), 50);
        delete d;
    }

    void aDamagedPrivilegeChangesNothing()
    {
        DialogFixture f;
        EventRec &e = DialogFixture::event(4);
        e.Status = StatusDone;
        for (qint16 damaged : {qint16(9), qint16(-1)}) {
            users().UserPrivilege[1] = damaged;
            ScopedDialogHandler dialogs;
            DialogFixture::select(1, 4, 1);
            QPointer<frmAdd> add = new frmAdd;
            add->cmdOK_Click();
            QPointer<frmAsRun> asRun = new frmAsRun;
            asRun->cmdOK_Click();
            QCOMPARE(dialogs.requests().size(), 2);
            for (const DialogRequest &r : dialogs.requests())
                QCOMPARE(r.text, QStringLiteral("The current user does not have the privileges "
                                                "to change information."));
            QVERIFY(DialogFixture::sent(1).isEmpty());
            delete add;
            delete asRun;
        }
    }

    void enterPressesOkAndEscapeCancel()
    {
        DialogFixture f;
        DialogFixture::event(4);
        DialogFixture::select(1, 4, 1);
        QPointer<frmAdd> add = new frmAdd;
        add->show();
        add->txtDesc()->setFocus();
        QTest::keyClick(add->txtDesc(), Qt::Key_Return);
        QCOMPARE(DialogFixture::sentRecord(1).Description, QByteArray("Hockey"));
        QTRY_VERIFY(add == nullptr);

        // Escape: closed, nothing sent; Enter in a time box or on the keypad presses OK too.
        QPointer<frmAdd> again = new frmAdd;
        again->show();
        QTest::keyClick(again->mtxtStart(), Qt::Key_Escape);
        QTRY_VERIFY(again == nullptr);
        QVERIFY(DialogFixture::sent(1).isEmpty());

        EventRec &air = DialogFixture::event(3, "2612090900000000");
        air.Status = StatusOnAir;
        air.EventDate = DialogFixture::today();
        air.StartKey = 2026120932400;
        DialogFixture::select(1, 3, 1);
        QPointer<frmOnAir> onAir = new frmOnAir;
        onAir->show();
        QTest::keyClick(onAir->txtComment(), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!DialogFixture::sentRecord(1).DefNow);
        QTRY_VERIFY(onAir == nullptr);

        DialogFixture::event(6).Status = StatusDone;
        DialogFixture::select(1, 6, 1);
        QPointer<frmAsRun> asRun = new frmAsRun;
        asRun->show();
        QTest::keyClicks(asRun->cmbCOM()->lineEdit(), QStringLiteral("late"));
        QTest::keyClick(asRun->cmbCOM()->lineEdit(), Qt::Key_Return);
        QCOMPARE(DialogFixture::sentRecord(1).OpComment, QByteArray("late"));
        QTRY_VERIFY(asRun == nullptr);

        // A focused Cancel button takes Enter itself.
        DialogFixture::select(1, 4, 1);
        QPointer<frmAdd> focused = new frmAdd;
        focused->show();
        focused->cmdCancel()->setFocus();
        QTest::keyClick(focused->cmdCancel(), Qt::Key_Return);
        QTRY_VERIFY(focused == nullptr);
        QVERIFY(DialogFixture::sent(1).isEmpty());
    }

    void theCalendarTakesEnterAndEscapeWhileOpen()
    {
        DialogFixture f;
        DialogFixture::select(0, 0, 1);
        QPointer<frmAdd> d = new frmAdd;
        d->show();
        d->cmdEDate_Click();
        QVERIFY(d->picDate()->isVisible());
        QTest::keyClick(d->txtDesc(), Qt::Key_Escape);
        QVERIFY(!d->picDate()->isVisible());
        QVERIFY(d != nullptr);
        d->cmdEDate_Click();
        d->picDate()->MonthView1()->setSelectedDate(DialogFixture::today().addDays(3));
        QTest::keyClick(d->txtDesc(), Qt::Key_Return);
        QVERIFY(!d->picDate()->isVisible());
        QCOMPARE(d->endDate(), DialogFixture::today().addDays(3));
        QVERIFY(DialogFixture::sent(1).isEmpty());
        delete d;
    }

    void theCalendarLeavesBothDateButtonsReachable()
    {
        DialogFixture f;
        DialogFixture::select(0, 0, 1);
        QPointer<frmAdd> d = new frmAdd;
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        const auto reachable = [&](QPushButton *button) {
            return d->childAt(button->mapTo(d, button->rect().center())) == button;
        };
        QTest::mouseClick(d->cmdSDate(), Qt::LeftButton);
        QCOMPARE(d->picDate()->backColour(), DatePanel::StartColour);
        QVERIFY(reachable(d->cmdSDate()));
        QVERIFY(reachable(d->cmdEDate()));
        // The other date button retargets the open panel.
        QTest::mouseClick(d->cmdEDate(), Qt::LeftButton);
        QCOMPARE(d->picDate()->backColour(), DatePanel::EndColour);
        QVERIFY(d->picDate()->isVisible());
        QVERIFY(reachable(d->cmdSDate()));
        QVERIFY(reachable(d->cmdEDate()));
        // The panel stays inside the form.
        QVERIFY(d->rect().contains(d->picDate()->geometry()));
        delete d;
    }

    void dialogsOpenOverTheirViewAndShowLongNamesWhole()
    {
        DialogFixture f;
        const QByteArray longName = "Toronto North Downtown Distribution Hub, Rack B";
        settings().HEName[1] = longName;
        EventRec &air = DialogFixture::event(3, "2612090900000000");
        air.Status = StatusOnAir;
        QWidget opener;
        opener.setGeometry(20, 20, 760, 560);
        opener.show();
        QVERIFY(QTest::qWaitForWindowExposed(&opener));
        DialogFixture::select(1, 3, 1);
        QPointer<frmOnAir> o = frmOnAir::open(&opener);
        QVERIFY(QTest::qWaitForWindowExposed(o));
        QLabel *name = o->lblHE();
        QCOMPARE(name->text(), QString::fromLatin1(longName));
        QVERIFY(name->width() >= name->sizeHint().width());
        // Over the middle of the window that opened it, not at the screen's corner.
        const QPoint centre = opener.geometry().center();
        QVERIFY2((o->geometry().center() - centre).manhattanLength() < 40,
                 qPrintable(QStringLiteral("%1,%2").arg(o->x()).arg(o->y())));
        delete o;

        DialogFixture::select(0, 0, 1);
        QPointer<frmAdd> add = frmAdd::open(&opener);
        QVERIFY(QTest::qWaitForWindowExposed(add));
        QVERIFY(add->cmbHE()->width() >= add->cmbHE()->sizeHint().width());
        QVERIFY((add->geometry().center() - centre).manhattanLength() < 40);
        delete add;
    }
};

VEK_TEST(TestDialogHardening)
#include "tst_dialoghardening.moc"
