#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include "core/consolestate.h"
#include "settings/frmsettime.h"
#include "settings/timeoffset.h"
#include "settingsfixture.h"
#include "testregistry.h"

using namespace vek;

class TestFrmSetTime : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetConsoleState(); }

    void theOffsetIsAlwaysStoredWhole()
    {
        QCOMPARE(offsetToStore("+", "__:__:__"), QByteArray("+00:00:00"));
        QCOMPARE(offsetToStore("-", "1_:3_:_5"), QByteArray("-10:30:05"));
        QCOMPARE(offsetToStore("+", "01:02:03"), QByteArray("+01:02:03"));
        QCOMPARE(offsetToStore("?", ""), QByteArray("+00:00:00"));
        QCOMPARE(offsetSign("-01:00:00"), QByteArray("-"));
        QCOMPARE(offsetSign("x"), QByteArray("+"));
        QCOMPARE(offsetTime("-01:00:00"), QByteArray("01:00:00"));
        QCOMPARE(offsetTime("-1:00:00"), QByteArray());
    }

    void loadsAndSavesTheTimeSettings()
    {
        TestHome home;
        loadSettingsWith(home, {{"Time_Settings", "Use_QRN_Time", "1"},
                                {"Time_Settings", "IP_Address", "10.1.1.9"},
                                {"Time_Settings", "IP_Port", "1313"},
                                {"Time_Settings", "Nic_Card", "1"},
                                {"Time_Settings", "Time_Off_Set", "-01:30:15"}});
        QPointer<frmSetTime> d = new frmSetTime;
        QCOMPARE(d->windowTitle(), QStringLiteral("Computer Time Reference"));
        QVERIFY(d->chkQRN()->isChecked());
        QVERIFY(!d->chkEXT()->isChecked());
        QVERIFY(d->frmHS()->isEnabled());
        QCOMPARE(d->txtHSIP()->text(), QStringLiteral("10.1.1.9"));
        QCOMPARE(d->txtHSPT()->text(), QStringLiteral("1313"));
        QCOMPARE(d->cmbNic()->currentText(), QStringLiteral("Broadcast"));
        QCOMPARE(d->lblOS()->text(), QStringLiteral("-"));
        QCOMPARE(d->mtxtOS()->displayText(), QStringLiteral("01:30:15"));

        d->show();
        d->cmbNic()->setCurrentIndex(1);
        d->cmdOS(0)->click();
        QCOMPARE(d->lblOS()->text(), QStringLiteral("+"));
        // Unticking the time server ticks the outside control and greys out the rest,
        // whose values are still saved.
        d->chkQRN()->click();
        QVERIFY(d->chkEXT()->isChecked());
        QVERIFY(!d->frmHS()->isEnabled());
        QVERIFY(!d->frmOS()->isEnabled());
        QVERIFY(!d->mtxtOS()->isEnabled());
        d->cmdOk_Click();
        const auto file = iniPairs(home.read(QStringLiteral("VEK.INI")));
        QCOMPARE(file.value("time_settings/use_qrn_time"), QByteArray("0"));
        QCOMPARE(file.value("time_settings/nic_card"), QByteArray("2"));
        QCOMPARE(file.value("time_settings/time_off_set"), QByteArray("+01:30:15"));
        QCOMPARE(file.value("time_settings/ip_address"), QByteArray("10.1.1.9"));
        QTRY_VERIFY(d == nullptr);
    }

    void anEmptyOrHalfTypedOffsetSavesAWholeOne()
    {
        TestHome home;
        loadSettingsWith(
            home, {{"Time_Settings", "Time_Off_Set", "-1:00"}, {"Time_Settings", "Nic_Card", "5"}});
        QPointer<frmSetTime> d = new frmSetTime;
        // Any other length keeps the sign and leaves the box empty.
        QCOMPARE(d->lblOS()->text(), QStringLiteral("-"));
        QCOMPARE(d->mtxtOS()->text(), QStringLiteral("::"));
        QCOMPARE(d->cmbNic()->currentIndex(), -1);
        d->show();
        d->cmdOS(0)->click();
        d->cmdOk_Click();
        QCOMPARE(settings().TimeOffset, QByteArray("+00:00:00"));
        // A card number the list cannot show is kept.
        QCOMPARE(settings().TimeNic, qint16(5));

        d = new frmSetTime;
        d->show();
        d->mtxtOS()->setFocus();
        d->mtxtOS()->home(false);
        QTest::keyClicks(d->mtxtOS(), QStringLiteral("2"));
        d->cmdOS(1)->click();
        d->cmdOk_Click();
        QCOMPARE(settings().TimeOffset, QByteArray("-20:00:00"));
    }

    void typingLimitsAndLosingActivation()
    {
        TestHome home;
        settings().TimeServerIP = "192.168.100.200.1";
        QWidget main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QPointer<frmSetTime> d = new frmSetTime(&main);
        d->show();
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d));
        QCOMPARE(d->txtHSIP()->text(), QStringLiteral("192.168.100.200.1"));
        d->txtHSPT()->clear();
        typeAtEnd(d->txtHSPT(), QStringLiteral("12345"));
        QCOMPARE(d->txtHSPT()->text(), QStringLiteral("1234"));
        main.activateWindow();
        QTRY_VERIFY(d == nullptr);
        QCOMPARE(settings().TimeServerPort, QByteArray("1212"));
        QVERIFY(!QFile::exists(home.path(QStringLiteral("VEK.INI"))));
    }
};

VEK_TEST(TestFrmSetTime)
#include "tst_frmsettime.moc"
