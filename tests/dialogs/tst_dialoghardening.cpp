#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "dialogfixture.h"
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
};

VEK_TEST(TestDialogHardening)
#include "tst_dialoghardening.moc"
