#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTabWidget>
#include <QWheelEvent>

#include "core/consolestate.h"
#include "settings/frmsetsites.h"
#include "settingsfixture.h"
#include "testregistry.h"

using namespace vek;

class TestFrmSetSites : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetConsoleState(); }

    void loadsEveryTabAndSavesWhatWasChosen()
    {
        TestHome home;
        loadSettingsWith(home, {{"HeadEnd_2_Settings", "Long_Name", "North Hub"},
                                {"HeadEnd_2_Settings", "IP_Port", " 791x"},
                                {"HeadEnd_2_Settings", "List_Number", "7"},
                                {"HeadEnd_2_Settings", "Nic_Card", "2"},
                                {"HeadEnd_2_Settings", "HeadEnd_OnLine", "1"},
                                {"HeadEnd_2_Settings", "Alarm_Enable", "0"}});
        QPointer<frmSetSites> d = new frmSetSites;
        QCOMPARE(d->windowTitle(), QStringLiteral("Head End Settings"));
        QCOMPARE(d->cmdOK()->text(), QStringLiteral("Apply and Save"));
        QCOMPARE(d->SSTab1()->count(), 12);
        QCOMPARE(d->SSTab1()->tabText(11), QStringLiteral("Head End 12"));
        QCOMPARE(d->cmbList(1)->count(), 32);
        QCOMPARE(d->cmbList(1)->itemText(31), QStringLiteral("List 32"));
        QCOMPARE(d->cmbCH(1)->count(), 255);
        QCOMPARE(d->cmbCH(1)->itemText(0), QStringLiteral(" 1"));
        QCOMPARE(d->cmbNic(1)->itemText(1), QStringLiteral("House"));

        QCOMPARE(d->txtLN(2)->text(), QStringLiteral("North Hub"));
        QCOMPARE(d->txtHSPT(2)->text(), QStringLiteral("791x"));
        QCOMPARE(d->cmbList(2)->currentText(), QStringLiteral("List 7"));
        QCOMPARE(d->cmbNic(2)->currentText(), QStringLiteral("House"));
        QVERIFY(d->chkOL(2)->isChecked());
        QVERIFY(!d->chkAlarm(2)->isChecked());
        // A stored channel count of 16 shows the sixteenth entry.
        QCOMPARE(d->cmbCH(2)->currentIndex(), 15);
        QCOMPARE(d->cmbCH(2)->currentText(), QStringLiteral(" 16"));

        d->show();
        d->cmbCH(2)->setCurrentIndex(0);
        d->cmbNic(2)->setCurrentIndex(0);
        d->cmbList(12)->setCurrentIndex(31);
        d->chkOL(2)->setChecked(false);
        d->txtHSIP(5)->setText(QStringLiteral(" not checked "));
        d->cmdOk_Click();
        QCOMPARE(settings().HEChannels[2], qint16(1));
        QCOMPARE(settings().HENic[2], qint16(1));
        QCOMPARE(settings().HEListNo[12], qint16(32));
        QVERIFY(!settings().HEOnLine[2]);
        QCOMPARE(settings().HEMainIP[5], QByteArray(" not checked "));
        const auto file = iniPairs(home.read(QStringLiteral("VEK.INI")));
        QCOMPARE(file.value("headend_2_settings/number_of_channels"), QByteArray("1"));
        QCOMPARE(file.value("headend_12_settings/list_number"), QByteArray("32"));
        QCOMPARE(file.value("headend_2_settings/headend_online"), QByteArray("0"));
        QTRY_VERIFY(d == nullptr);
    }

    void aValueOutsideItsListStopsNothing()
    {
        TestHome home;
        loadSettingsWith(home, {{"HeadEnd_3_Settings", "List_Number", "40"},
                                {"HeadEnd_3_Settings", "Number_Of_Channels", "300"},
                                {"HeadEnd_5_Settings", "List_Number", "0"},
                                {"HeadEnd_5_Settings", "Nic_Card", "-1"},
                                {"HeadEnd_4_Settings", "Long_Name", "Fourth"},
                                {"HeadEnd_4_Settings", "List_Number", "4"},
                                {"HeadEnd_12_Settings", "Number_Of_Channels", "12"},
                                {"HeadEnd_12_Settings", "HeadEnd_OnLine", "1"}});
        const auto before = iniPairs(home.read(QStringLiteral("VEK.INI")));
        QPointer<frmSetSites> d = new frmSetSites;
        // The lists that cannot show their value show nothing; every later control loads.
        QCOMPARE(d->cmbList(3)->currentIndex(), -1);
        QCOMPARE(d->cmbCH(3)->currentIndex(), -1);
        QCOMPARE(d->cmbList(5)->currentIndex(), -1);
        QCOMPARE(d->cmbNic(5)->currentIndex(), -1);
        QCOMPARE(d->txtMS(3)->text(), QStringLiteral("1000"));
        QVERIFY(d->chkAlarm(3)->isChecked());
        QCOMPARE(d->txtLN(4)->text(), QStringLiteral("Fourth"));
        QCOMPARE(d->cmbList(4)->currentIndex(), 3);
        QCOMPARE(d->cmbCH(12)->currentIndex(), 11);
        QVERIFY(d->chkOL(12)->isChecked());

        d->cmdOk_Click();
        // Saved back as they were loaded, and nothing of the later head ends lost.
        QCOMPARE(iniPairs(home.read(QStringLiteral("VEK.INI"))), before);
        QCOMPARE(settings().HEListNo[3], qint16(40));
        QCOMPARE(settings().HEListNo[5], qint16(0));
        QCOMPARE(settings().HENic[5], qint16(-1));
    }

    void lengthLimitsHoldForTypingOnly()
    {
        TestHome home;
        const QByteArray stored(24, 'L');
        loadSettingsWith(home, {{"HeadEnd_1_Settings", "Long_Name", stored}});
        QPointer<frmSetSites> d = new frmSetSites;
        d->show();
        // A longer stored name is shown and saved whole.
        QCOMPARE(d->txtLN(1)->text(), QString::fromLatin1(stored));

        d->txtLN(2)->clear();
        typeAtEnd(d->txtLN(2), QString(21, QLatin1Char('n')));
        QCOMPARE(d->txtLN(2)->text(), QString(20, QLatin1Char('n')));
        d->txtSN(2)->clear();
        typeAtEnd(d->txtSN(2), QStringLiteral("ABCDE"));
        QCOMPARE(d->txtSN(2)->text(), QStringLiteral("ABCD"));
        d->txtMS(2)->clear();
        typeAtEnd(d->txtMS(2), QString(16, QLatin1Char('9')));
        QCOMPARE(d->txtMS(2)->text(), QString(15, QLatin1Char('9')));
        // The addresses and the port have no limit.
        d->txtHSIP(2)->clear();
        typeAtEnd(d->txtHSIP(2), QString(40, QLatin1Char('1')));
        QCOMPARE(d->txtHSIP(2)->text().size(), 40);

        d->cmdOk_Click();
        QCOMPARE(settings().HEName[1], stored);
        QCOMPARE(settings().HEName[2], QByteArray(20, 'n'));
    }

    void aWheelOverAListWithoutFocusChangesNothing()
    {
        TestHome home;
        QPointer<frmSetSites> d = new frmSetSites;
        d->show();
        d->activateWindow();
        QTRY_COMPARE(QGuiApplication::focusWindow(), d->windowHandle());
        QComboBox *channels = d->cmbCH(1);
        auto wheel = [channels] {
            const QPointF at(channels->width() / 2.0, channels->height() / 2.0);
            QWheelEvent e(at, channels->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(channels, &e);
        };
        d->txtLN(1)->setFocus();
        wheel();
        QCOMPARE(channels->currentIndex(), 15);
        channels->setFocus();
        QVERIFY(channels->hasFocus());
        wheel();
        QCOMPARE(channels->currentIndex(), 16);
        d->cmdCancel_Click();
    }

    void anotherConsoleWindowDiscardsEveryTab()
    {
        TestHome home;
        QWidget main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QPointer<frmSetSites> d = new frmSetSites(&main);
        d->show();
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d));
        d->txtLN(1)->setText(QStringLiteral("Changed"));
        d->cmbCH(9)->setCurrentIndex(200);
        main.activateWindow();
        QTRY_VERIFY(d == nullptr);
        QCOMPARE(settings().HEName[1], QByteArray("HeadEnd1"));
        QCOMPARE(settings().HEChannels[9], qint16(16));
        QVERIFY(!QFile::exists(home.path(QStringLiteral("VEK.INI"))));
    }

    void theTitleBarCloseAndEscapeAreCancel()
    {
        TestHome home;
        QPointer<frmSetSites> d = new frmSetSites;
        d->show();
        d->txtSN(1)->setText(QStringLiteral("XX"));
        d->close();
        QTRY_VERIFY(d == nullptr);
        QCOMPARE(settings().HEShortName[1], QByteArray("HE1"));
        QVERIFY(!QFile::exists(home.path(QStringLiteral("VEK.INI"))));

        // So is Escape.
        d = new frmSetSites;
        d->show();
        d->txtSN(1)->setText(QStringLiteral("YY"));
        QTest::keyClick(d->txtSN(1), Qt::Key_Escape);
        QTRY_VERIFY(d == nullptr);
        QCOMPARE(settings().HEShortName[1], QByteArray("HE1"));
    }
};

VEK_TEST(TestFrmSetSites)
#include "tst_frmsetsites.moc"
