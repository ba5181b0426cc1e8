#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "core/consolecore.h"
#include "core/consolestate.h"
#include "core/hslink.h"
#include "core/receivestate.h"
#include "core/settings.h"
#include "core/startupstate.h"
#include "core/ui/frmalarm.h"
#include "core/ui/frmtrouble.h"
#include "core/ui/mdimain.h"
#include "platform/text.h"
#include "testhome.h"
#include "testregistry.h"

using namespace vek;

class TestPopups : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetConsoleState(); }

    void eachAlarmReportsToItsOwnHeadEnd()
    {
        TestHome home;
        MDIMain w;
        ConsoleCore core(&w);
        w.attach(&core);
        QList<QPair<int, QByteArray>> sent;
        core.setSender([&](int he, const QByteArray &body, int) { sent.append({he, body}); });

        core.showAlarmWindow(4, "Router 4 failed");
        core.showAlarmWindow(9, "TMX 2 lost");
        QList<frmALARM *> alarms = w.alarmWindows();
        QCOMPARE(alarms.size(), 2);
        QCOMPARE(alarms[0]->lblTITLE()->text(), QStringLiteral("Alarm"));
        QCOMPARE(alarms[0]->cmdOK()->text(), QStringLiteral("Ok"));
        QCOMPARE(alarms[0]->lblMSG()->text(), QStringLiteral("Router 4 failed"));
        QVERIFY(alarms[0]->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(alarms[0]->beeping());
        alarms[0]->timeALARM_Timer();
        QCOMPARE(alarms[0]->beepCount(), 1);

        AlarmText() = "TMX 2 lost";
        LastAlarm() = "TMX 2 lost";
        QTest::mouseClick(alarms[1]->cmdOK(), Qt::LeftButton);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].first, 9);
        QVERIFY(sent[0].second.startsWith("dOperator cleared alarm.  Alarm = TMX 2 lost from IP "));
        QCOMPARE(LastAlarm(), QByteArray());
        QCOMPARE(AlarmText(), QByteArray());
        QCOMPARE(w.alarmWindows().size(), 1); // closing one leaves the other
        QVERIFY(alarms[0]->beeping());

        alarms[0]->cmdOk_Click();
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent[1].first, 4);
        QVERIFY(w.alarmWindows().isEmpty());
        QVERIFY(home.readLog().contains(" Operator cleared alarm.  Alarm = Router 4 failed\r\n"));

        // A text that would write a line of its own: the window and the report keep it as
        // it came, the log entry stays one line.
        const QByteArray forged = "Fire\r\n9 Dec 2026 22:00:00 New User:Admin";
        core.showAlarmWindow(2, forged);
        QCOMPARE(w.alarmWindows().value(0)->lblMSG()->text(), fromBytes(forged));
        QCOMPARE(w.alarmWindows().value(0)->lblMSG()->textFormat(), Qt::PlainText);
        w.alarmWindows().value(0)->cmdOk_Click();
        QVERIFY(sent.value(2).second.startsWith("dOperator cleared alarm.  Alarm = " + forged));
        const QByteArray log = home.readLog();
        QCOMPARE(log.count('\n'), 3);
        QVERIFY(log.contains(" Alarm = Fire<13><10>9 Dec 2026 22:00:00 New User:Admin\r\n"));
    }

    void anAlarmStormKeepsTwentyWindowsAndTheRestWaitInTurn()
    {
        TestHome home;
        MDIMain w;
        ConsoleCore core(&w);
        w.attach(&core);
        QList<QByteArray> acknowledged;
        core.setSender([&](int, const QByteArray &body, int) { acknowledged.append(body); });
        for (int i = 1; i <= 1025; ++i)
            core.showAlarmWindow(1, "Alarm " + QByteArray::number(i));
        QCOMPARE(w.alarmWindows().size(), 20);
        // 1,005 came after the twenty: the five oldest of them were dropped, and counted.
        QVERIFY(home.readLog().contains(" Alarm windows: 1 waiting alarm(s) dropped, the oldest "
                                        "first (20 open, 1000 waiting)"));
        w.alarmWindows().first()->cmdOk_Click();
        QCOMPARE(w.alarmWindows().size(), 20);
        QCOMPARE(w.alarmWindows().last()->lblMSG()->text(), QStringLiteral("Alarm 26"));
        while (!w.alarmWindows().isEmpty())
            w.alarmWindows().first()->cmdOk_Click();
        // Every alarm shown is acknowledged to its head end, in the order they came.
        QCOMPARE(acknowledged.size(), 1020);
        QVERIFY(acknowledged.last().startsWith("dOperator cleared alarm.  Alarm = Alarm 1025 "));
    }

    void anAlarmWithoutANumberReportsToHeadEndOne()
    {
        TestHome home;
        ConsoleCore core(nullptr);
        QList<int> heads;
        core.setSender([&](int he, const QByteArray &, int) { heads.append(he); });
        auto *quiet = new frmALARM(&core, QString(), "A", false);
        QVERIFY(!quiet->beeping());
        quiet->cmdOk_Click();
        auto *words = new frmALARM(&core, QStringLiteral("abc"), "B", true);
        words->cmdOk_Click();
        QCOMPARE(heads, QList<int>({1, 1}));
    }

    void theAlarmIsDraggedByItsBackgroundAndTitle()
    {
        ConsoleCore core(nullptr);
        frmALARM alarm(&core, QStringLiteral("1"), "moving", true);
        alarm.move(100, 100);
        alarm.show();
        QVERIFY(QTest::qWaitForWindowExposed(&alarm));
        const QPoint start = alarm.pos();
        QLabel *title = alarm.lblTITLE();
        const QPoint grab = title->rect().center();
        QTest::mousePress(title, Qt::LeftButton, {}, grab);
        QMouseEvent move(QEvent::MouseMove, QPointF(grab + QPoint(40, 25)),
                         QPointF(title->mapToGlobal(grab + QPoint(40, 25))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(title, &move);
        QTest::mouseRelease(title, Qt::LeftButton, {}, grab + QPoint(40, 25));
        QCOMPARE(alarm.pos(), start + QPoint(40, 25));

        // The right button does not move it.
        QTest::mousePress(&alarm, Qt::RightButton, {}, QPoint(5, 5));
        QMouseEvent move2(QEvent::MouseMove, QPointF(60, 60),
                          QPointF(alarm.mapToGlobal(QPoint(60, 60))), Qt::NoButton, Qt::RightButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&alarm, &move2);
        QCOMPARE(alarm.pos(), start + QPoint(40, 25));
    }

    void theTroubleWindowNamesTheAddressInUse()
    {
        settings().HEName[3] = "North";
        settings().HEMainIP[3] = "10.1.1.3";
        settings().HEBackupIP[3] = "10.2.1.3";
        const QString expected = QStringLiteral(
            "A problem has occured.  This application is no longer getting responses back from the "
            "North Hardware Server.  Please verify that the network connection and Hardware Server "
            "are functional.  The Hardware Server IP address should be 10.1.1.3 (Main).  Please "
            "restart this program if you would like to try to connect back to this Hardware "
            "Server.");
        QCOMPARE(frmTrouble::troubleText(3, false), expected);
        QVERIFY(frmTrouble::troubleText(3, true).contains(
            QStringLiteral("should be 10.2.1.3 (Backup).  Please")));
        // A head end outside the table gives a text, not a read past the table.
        QVERIFY(frmTrouble::troubleText(13, false).contains(QStringLiteral("from the  Hardware")));

        MDIMain w;
        w.showTroubleWindow(3);
        UseBackupServers() = true;
        w.showTroubleWindow(5);
        QCOMPARE(w.troubleWindows().size(), 2);
        frmTrouble *t = w.troubleWindows().first();
        QCOMPARE(t->windowTitle(), QStringLiteral("Communication Problem"));
        QCOMPARE(t->lbl()->text(), expected);
        QVERIFY(t->beeping());
        QCOMPARE(t->cmdClose()->text(), QStringLiteral("Close"));
        QTest::mouseClick(t->cmdClose(), Qt::LeftButton);
        QCOMPARE(w.troubleWindows().size(), 1);
        QCOMPARE(w.troubleWindows().first()->troubleHE(), 5);
        QVERIFY(w.troubleWindows().first()->lbl()->text().contains(QStringLiteral("(Backup)")));
    }
};

VEK_TEST(TestPopups)
#include "tst_popups.moc"
