#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "core/ui/typeahead.h"
#include "dialogfixture.h"
#include "dialogs/datepanel.h"
#include "dialogs/frmadd.h"
#include "dialogs/frmasrun.h"
#include "dialogs/frmonair.h"
#include "platform/text.h"
#include "platform/widgets/dialogseam.h"
#include "platform/widgets/typinglimit.h"
#include "testregistry.h"

using namespace vek;

namespace {

QStringList items(const QComboBox *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->itemText(i));
    return out;
}

QString shortText(const QDate &d)
{
    return fromBytes(shortDate(d));
}

void typeTime(QLineEdit *box, const QString &digits)
{
    box->setFocus();
    box->selectAll();
    box->del();
    box->home(false);
    QTest::keyClicks(box, digits);
}

} // namespace

class TestEventDialogs : public QObject
{
    Q_OBJECT
private slots:
    void addLoadsTheViewsHeadEndsAndTheChannelLists()
    {
        DialogFixture f;
        DialogFixture::select(0, 0, 1);
        QPointer<frmAdd> d = new frmAdd;
        QVERIFY(d->addMode());
        QCOMPARE(d->windowTitle(), QStringLiteral("Add Event (Main View)"));
        QCOMPARE(d->cmdOK()->text(), QStringLiteral("Add Event"));
        QCOMPARE(items(d->cmbHE()), QStringList{QStringLiteral("North")});
        QVERIFY(d->cmbHE()->isEnabled());
        QCOMPARE(items(d->cmbGroup()),
                 (QStringList{QStringLiteral("N/A"), QStringLiteral("Group 2"),
                              QStringLiteral("Group 5")}));
        QCOMPARE(items(d->cmbStat()),
                 (QStringList{QStringLiteral("Active"), QStringLiteral("On Hold")}));
        QCOMPARE(
            items(d->cmbControl()),
            (QStringList{QStringLiteral("Off"), QStringLiteral("Notify"), QStringLiteral("Auto")}));
        QCOMPARE(d->cmbDes()->currentText(), QStringLiteral("BBC (5)"));
        QCOMPARE(items(d->cmbSrc()).first(), QStringLiteral("HIDDEN-SRC (3)"));
        // Choosing a destination on another level offers that level's sources.
        d->cmbDes()->setCurrentIndex(d->cmbDes()->findText(QStringLiteral("TMX (20)")));
        QCOMPARE(items(d->cmbSrc()), QStringList{QStringLiteral("TMX-SRC (20)")});
        QCOMPARE(d->cmdSDate()->text(), shortText(DialogFixture::today()));
        QCOMPARE(d->cmdEDate()->text(), shortText(DialogFixture::today()));
        QCOMPARE(d->mtxtStart()->displayText(), QStringLiteral("__:__:__"));
        QCOMPARE(TypingLimit::of(d->txtDesc())->limit(), 50);
        QCOMPARE(d->txtDesc()->toolTip(), QStringLiteral("Program Description"));
        d->cmdCancel_Click();
        QTRY_VERIFY(d == nullptr);
        QVERIFY(DialogFixture::sent(1).isEmpty());
    }

    void aViewWithoutOnLineHeadEndsCannotAdd()
    {
        DialogFixture f;
        settings().HEOnLine[1] = false;
        DialogFixture::select(0, 0, 1);
        QPointer<frmAdd> d = new frmAdd;
        QCOMPARE(d->cmbHE()->count(), 0);
        QCOMPARE(d->cmbDes()->count(), 0);
        ScopedDialogHandler dialogs;
        d->cmdOK_Click();
        QCOMPARE(dialogs.requests().size(), 1);
        QCOMPARE(dialogs.requests().first().text,
                 QStringLiteral("There is no valid head end selected."));
        QVERIFY(d != nullptr);
        delete d;
    }

    void typeAheadCollectsKeysForOneAndAHalfSeconds()
    {
        DialogFixture f;
        DialogFixture::select(0, 0, 1);
        QPointer<frmAdd> d = new frmAdd;
        d->show();
        QCOMPARE(d->typeAhead()->timeKEYPRESS().interval(), 1500);
        QTest::keyClick(d->cmbDes(), Qt::Key_C);
        QCOMPARE(d->cmbDes()->currentText(), QStringLiteral("CNN (10)"));
        // "c", "b" searches for "CB", letter case ignored: no item, the selection stays.
        QTest::keyClick(d->cmbDes(), Qt::Key_B);
        QCOMPARE(KeyBuffer(), QByteArray("cb"));
        QCOMPARE(d->cmbDes()->currentText(), QStringLiteral("CNN (10)"));
        QVERIFY(d->typeAhead()->timeKEYPRESS().isActive());
        d->typeAhead()->timeKEYPRESS_Timer();
        QVERIFY(KeyBuffer().isEmpty());
        QVERIFY(!d->typeAhead()->timeKEYPRESS().isActive());
        QTest::keyClicks(d->cmbDes(), QStringLiteral("bbq"));
        QCOMPARE(d->cmbDes()->currentText(), QStringLiteral("BBQ (5)"));
        // The selection by keys rebuilds the sources at once.
        QTest::keyClick(d->cmbSrc(), Qt::Key_Space);
        QCOMPARE(d->cmbSrc()->currentText(), QStringLiteral("HIDDEN-SRC (3)"));
        delete d;
    }

    void anEventOverMidnightIsAddedThroughTheCalendar()
    {
        DialogFixture f;
        DialogFixture::select(0, 0, 1);
        QPointer<frmAdd> d = new frmAdd;
        d->show();
        typeTime(d->mtxtStart(), QStringLiteral("230000"));
        typeTime(d->mtxtEnd(), QStringLiteral("010000"));
        QCOMPARE(d->mtxtDur()->text(), QStringLiteral("02:00:00"));
        // End date: the red panel; a double click on a day takes it.
        d->cmdEDate_Click();
        QVERIFY(d->picDate()->isVisible());
        QCOMPARE(d->picDate()->backColour(), 192);
        QCOMPARE(d->picDate()->MonthView1()->selectedDate(), DialogFixture::today());
        d->picDate()->MonthView1_DateDblClick(DialogFixture::today().addDays(1));
        QVERIFY(!d->picDate()->isVisible());
        QCOMPARE(d->endDate(), DialogFixture::today().addDays(1));
        QCOMPARE(d->cmdEDate()->text(), shortText(DialogFixture::today().addDays(1)));
        QCOMPARE(d->startDate(), DialogFixture::today());
        // The green panel edits the start; Cancel keeps it.
        d->cmdSDate_Click();
        QCOMPARE(d->picDate()->backColour(), 32768);
        d->picDate()->MonthView1()->setSelectedDate(DialogFixture::today().addDays(5));
        d->picDate()->cmdDateCancel_Click();
        QCOMPARE(d->startDate(), DialogFixture::today());
        d->cmbDes()->setCurrentIndex(d->cmbDes()->findText(QStringLiteral("CNN (10)")));
        d->txtDesc()->setText(QStringLiteral("Late\tmovie"));
        ScopedDialogHandler dialogs;
        QTest::mouseClick(d->cmdOK(), Qt::LeftButton);
        QVERIFY(dialogs.requests().isEmpty());
        const EventRec r = DialogFixture::sentRecord(1);
        QCOMPARE(r.Duration, QByteArray("02:00:00"));
        QCOMPARE(r.EndKey, 2026121003600LL);
        QCOMPARE(r.StartKey, 2026120982800LL);
        QCOMPARE(r.Description, QByteArray("Late movie"));
        QCOMPARE(r.DestText, QByteArray("CNN (10)"));
        QCOMPARE(r.SrcText, QByteArray("HIDDEN-SRC (3)"));
        QTRY_VERIFY(d == nullptr);
    }

    void aPartlyTypedTimeIsRefused()
    {
        DialogFixture f;
        DialogFixture::select(0, 0, 1);
        QPointer<frmAdd> d = new frmAdd;
        d->show();
        typeTime(d->mtxtStart(), QStringLiteral("1130"));
        typeTime(d->mtxtEnd(), QStringLiteral("120000"));
        ScopedDialogHandler dialogs;
        d->cmdOK_Click();
        QCOMPARE(dialogs.requests().size(), 1);
        QCOMPARE(dialogs.requests().first().text, QStringLiteral("Invalid start time (second)."));
        QVERIFY(DialogFixture::sent(1).isEmpty());
        delete d;
    }

    void updateLoadsTheEventAndKeepsItsChannels()
    {
        DialogFixture f;
        EventRec &e = DialogFixture::event(4);
        e.Status = StatusOnHold;
        e.Automation = 1;
        e.MonitorBeg = true;
        e.BackupSrc = true;
        e.EndKey = 2026121104200; // ends the day after
        e.DestCh = 5;
        e.SrcCh = 1;
        DialogFixture::select(1, 4, 1);
        QPointer<frmAdd> d = new frmAdd;
        QVERIFY(!d->addMode());
        QCOMPARE(d->windowTitle(), QStringLiteral("Update Event (Main View)"));
        QCOMPARE(d->cmdOK()->text(), QStringLiteral("Update Event"));
        QVERIFY(!d->cmbHE()->isEnabled());
        QCOMPARE(d->cmbHE()->currentText(), QStringLiteral("North"));
        QCOMPARE(d->cmbGroup()->currentText(), QStringLiteral("Group 5"));
        QCOMPARE(d->cmbDes()->currentText(), QStringLiteral("BBQ (5)"));
        QCOMPARE(d->cmbSrc()->currentText(), QStringLiteral("CNN-SRC (10)"));
        QCOMPARE(d->startDate(), DialogFixture::today().addDays(1));
        QCOMPARE(d->endDate(), DialogFixture::today().addDays(2));
        QCOMPARE(d->mtxtStart()->text(), QStringLiteral("12:00:00"));
        QCOMPARE(d->mtxtEnd()->text(), QStringLiteral("13:00:00"));
        QCOMPARE(d->mtxtDur()->text(), QStringLiteral("01:00:00"));
        QCOMPARE(d->cmbStat()->currentText(), QStringLiteral("On Hold"));
        QCOMPARE(d->cmbControl()->currentText(), QStringLiteral("Notify"));
        QVERIFY(d->chkBKUP()->isChecked() && d->chkMonBeg()->isChecked());
        QVERIFY(!d->chkMonEnd()->isChecked());
        QCOMPARE(d->txtDesc()->text(), QStringLiteral("Hockey"));
        QCOMPARE(d->txtComment()->text(), QStringLiteral("Home game"));
        // Another destination and back: the event's own source is chosen again.
        d->cmbDes()->setCurrentIndex(d->cmbDes()->findText(QStringLiteral("TMX (20)")));
        QCOMPARE(d->cmbSrc()->currentText(), QStringLiteral("TMX-SRC (20)"));
        d->cmbDes()->setCurrentIndex(d->cmbDes()->findText(QStringLiteral("EXCL (7)")));
        QCOMPARE(d->cmbSrc()->currentText(), QStringLiteral("CNN-SRC (10)"));
        delete d;
    }

    void updateOfAnEventWhoseHeadEndIsNotListed()
    {
        DialogFixture f;
        DialogFixture::event(4);
        settings().ShowHE[1][1] = false;
        DialogFixture::select(1, 4, 1);
        QPointer<frmAdd> d = new frmAdd;
        QCOMPARE(d->cmbHE()->currentIndex(), -1);
        QCOMPARE(d->cmbDes()->count(), 0);
        QCOMPARE(d->cmbSrc()->count(), 0);
        ScopedDialogHandler dialogs;
        d->cmdOK_Click();
        QCOMPARE(dialogs.requests().first().text,
                 QStringLiteral("There is no valid head end selected."));
        delete d;
    }

    void onAirShowsTheEventAndSendsDefaultNow()
    {
        DialogFixture f;
        EventRec &e = DialogFixture::event(3, "2612090900000000");
        e.Status = StatusOnHoldOnAir;
        e.EventDate = DialogFixture::today();
        e.StartTime = "09:00:00";
        e.EndTime = "11:00:00";
        e.StartKey = 2026120932400;
        e.EndKey = 2026120939600;
        DialogFixture::select(1, 3, 1);
        QPointer<frmOnAir> d = new frmOnAir;
        d->show();
        QCOMPARE(d->windowTitle(), QStringLiteral("On-Air (Main View)"));
        QCOMPARE(d->lblHE()->text(), QStringLiteral("North"));
        QCOMPARE(d->lblSRC()->text(), QStringLiteral("BBC-SRC (5)"));
        QCOMPARE(d->lblDes()->text(), QStringLiteral("CNN (10)"));
        QCOMPARE(d->lblSDate()->text(), shortText(DialogFixture::today()));
        QCOMPARE(d->cmdEDate()->text(), shortText(DialogFixture::today()));
        QCOMPARE(d->cmbGroup()->currentText(), QStringLiteral("Group5"));
        QCOMPARE(d->cmbStat()->currentText(), QStringLiteral("On Hold"));
        QVERIFY(d->mtxtStart()->isReadOnly());
        QCOMPARE(d->cmdOk(1)->text(), QStringLiteral("Update Event"));
        QCOMPARE(d->cmdOk(2)->text(), QStringLiteral("Default Now"));
        typeTime(d->mtxtEnd(), QStringLiteral("083000"));
        QCOMPARE(d->mtxtDur()->text(), QStringLiteral("23:30:00"));
        d->cmdEDate_Click();
        QCOMPARE(d->picDate()->backColour(), 192);
        d->picDate()->MonthView1()->setSelectedDate(DialogFixture::today().addDays(1));
        d->picDate()->cmdDateOk_Click();
        QCOMPARE(d->endDate(), DialogFixture::today().addDays(1));
        ScopedDialogHandler dialogs;
        QTest::mouseClick(d->cmdOk(2), Qt::LeftButton);
        QVERIFY(dialogs.requests().isEmpty());
        const EventRec r = DialogFixture::sentRecord(1);
        QVERIFY(r.DefNow);
        QCOMPARE(r.Status, quint8(StatusOnHoldOnAir));
        QCOMPARE(r.EndKey, 2026121030600LL);
        QCOMPARE(r.Duration, QByteArray("23:30:00"));
        QCOMPARE(Events().at(1, 3).EndTime, QByteArray("08:30:00"));
        QTRY_VERIFY(d == nullptr);
    }

    void asRunTakesOneCommentOfAtMostFiftyTypedCharacters()
    {
        DialogFixture f;
        settings().AsRunComment[3] = "Late start";
        settings().AsRunComment[7] = QByteArray(60, 'Q');
        EventRec &e = DialogFixture::event(6);
        e.Status = StatusDone;
        e.Automation = 2;
        e.ActualStart = "12:00:05";
        e.ActualEnd = "13:00:05";
        e.ActualDur = "01:00:00";
        DialogFixture::select(1, 6, 1);
        QPointer<frmAsRun> d = new frmAsRun;
        d->show();
        QCOMPARE(d->windowTitle(), QStringLiteral("As Run (Main View)"));
        QVERIFY(!d->readOnly());
        QCOMPARE(d->lblName()->text(), QStringLiteral("USER1"));
        QCOMPARE(d->label("lblStat")->text(), QStringLiteral("Done"));
        QCOMPARE(d->label("lblControl")->text(), QStringLiteral("Auto"));
        QCOMPARE(d->label("lblEDate")->text(), shortText(DialogFixture::today().addDays(1)));
        QCOMPARE(d->label("lblAStart")->text(), QStringLiteral("12:00:05"));
        QCOMPARE(d->label("lblGroup")->text(), QStringLiteral("Group 5"));
        QCOMPARE(items(d->cmbCOM()),
                 (QStringList{QStringLiteral("Late start"), QString(60, QLatin1Char('Q'))}));
        // The list shows a long comment whole, or cut at its end with the whole as tip.
        QAbstractItemView *list = d->cmbCOM()->view();
        QCOMPARE(list->textElideMode(), Qt::ElideRight);
        QVERIFY(list->minimumWidth() >=
                list->fontMetrics().horizontalAdvance(QString(60, QLatin1Char('Q'))));
        QCOMPARE(d->cmbCOM()->itemData(1, Qt::ToolTipRole).toString(),
                 QString(60, QLatin1Char('Q')));
        QLineEdit *edit = d->cmbCOM()->lineEdit();
        edit->setFocus();
        QTest::keyClicks(edit, QString(50, QLatin1Char('a')));
        QTest::keyClick(edit, Qt::Key_B);
        QCOMPARE(d->cmbCOM()->currentText(), QString(50, QLatin1Char('a')));
        QGuiApplication::clipboard()->setText(QStringLiteral("zz"));
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(d->cmbCOM()->currentText(), QString(50, QLatin1Char('a')));
        // Moving about and selecting still work at the limit.
        QTest::keyClick(edit, Qt::Key_Home);
        QCOMPARE(edit->cursorPosition(), 0);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(edit->selectedText().size(), 50);
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClick(edit, Qt::Key_C);
        QCOMPARE(d->cmbCOM()->currentText(), QString(49, QLatin1Char('a')) + QLatin1Char('c'));
        // A quick comment is not held to the limit.
        d->cmbCOM()->setCurrentIndex(1);
        ScopedDialogHandler dialogs;
        QTest::mouseClick(d->cmdOK(), Qt::LeftButton);
        QVERIFY(dialogs.requests().isEmpty());
        QCOMPARE(DialogFixture::sentRecord(1).OpComment, QByteArray(60, 'Q'));
        QCOMPARE(Events().at(1, 6).OpComment, QByteArray(60, 'Q'));
        QTRY_VERIFY(d == nullptr);
    }

    void anAsRunEventWithACommentIsReadOnly()
    {
        DialogFixture f;
        EventRec &e = DialogFixture::event(6);
        e.Status = StatusDone;
        e.OpComment = "Signal lost";
        e.ExtraCode2 = 12;
        DialogFixture::select(1, 6, 1);
        QPointer<frmAsRun> d = new frmAsRun;
        QVERIFY(d->readOnly());
        QCOMPARE(d->cmbCOM()->currentText(), QStringLiteral("Signal lost"));
        QVERIFY(!d->cmbCOM()->isEnabled());
        QVERIFY(!d->cmdOK()->isEnabled());
        QCOMPARE(d->lblName()->text(), QStringLiteral("USER12"));
        delete d;
    }

    void aDialogClosesWhenAnotherConsoleWindowIsActivated()
    {
        DialogFixture f;
        DialogFixture::event(6).Status = StatusDone;
        QWidget main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        DialogFixture::select(1, 6, 1);
        QPointer<frmAsRun> d = frmAsRun::open(&main);
        QVERIFY(QTest::qWaitForWindowActive(d));
        // Its own refusal does not close it.
        users().CurrentUser = 0;
        ScopedDialogHandler dialogs;
        d->cmdOK_Click();
        QCOMPARE(dialogs.requests().size(), 1);
        QVERIFY(d != nullptr && d->isVisible());
        main.activateWindow();
        QTRY_VERIFY(d == nullptr);
        QVERIFY(DialogFixture::sent(1).isEmpty());
        QCOMPARE(Events().at(1, 6).OpComment, QByteArray());
    }

    void aSlotOutOfRangeIsLoggedAndNeverSent()
    {
        DialogFixture f;
        DialogFixture::select(1, 12000, 1);
        QPointer<frmOnAir> d = new frmOnAir;
        QVERIFY(f.home.readLog().contains("Error frmOnAir_Form_Load) 9 Subscript out of range"));
        ScopedDialogHandler dialogs;
        d->cmdOK_Click(1);
        QCOMPARE(dialogs.requests().first().text, QStringLiteral("This is not a valid event."));
        delete d;
        DialogFixture::select(14, 2, 9);
        QPointer<frmAsRun> a = new frmAsRun;
        QCOMPARE(a->windowTitle(), QStringLiteral("As Run ()"));
        a->cmdOK_Click();
        QCOMPARE(dialogs.requests().last().text, QStringLiteral("This is not a valid event."));
        delete a;
        QVERIFY(DialogFixture::sent(1).isEmpty());
    }
};

VEK_TEST(TestEventDialogs)
#include "tst_eventdialogs.moc"
