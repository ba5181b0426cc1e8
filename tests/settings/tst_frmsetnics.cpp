#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/consolestate.h"
#include "core/settings.h"
#include "settings/frmsetnics.h"
#include "testhome.h"
#include "testregistry.h"

using namespace vek;

class TestFrmSetNics : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetConsoleState(); }

    void saveWritesBothAddressesAsTyped()
    {
        TestHome home;
        home.write(QStringLiteral("VEK.INI"),
                   "; kept\r\n[Nic_Card_Settings]\r\nBroadcast_Nic=10.0.0.5\r\n"
                   "House_Nic=192.168.1.5\r\n");
        LoadSettings();
        QPointer<frmSetNics> dialog = new frmSetNics;
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Network Settings"));
        QCOMPARE(dialog->txtIP(0)->text(), QStringLiteral("10.0.0.5"));
        QCOMPARE(dialog->txtIP(1)->text(), QStringLiteral("192.168.1.5"));
        QCOMPARE(dialog->cmdOK()->text(), QStringLiteral("Save"));
        dialog->show();

        // No check of the address form: what the PC lacks shows at the next start.
        dialog->txtIP(0)->setText(QStringLiteral("not an address"));
        dialog->txtIP(1)->setText(QStringLiteral("10.9.9.9"));
        QTest::mouseClick(dialog->cmdOK(), Qt::LeftButton);
        QCOMPARE(settings().BroadcastNic, QByteArray("not an address"));
        QCOMPARE(settings().HouseNic, QByteArray("10.9.9.9"));
        const QByteArray file = home.read(QStringLiteral("VEK.INI"));
        QVERIFY(file.startsWith("; kept\r\n"));
        QVERIFY(file.contains("Broadcast_Nic=not an address\r\n"));
        QVERIFY(file.contains("House_Nic=10.9.9.9\r\n"));
        QTRY_VERIFY(dialog == nullptr);
    }

    void cancelKeepsNothing()
    {
        TestHome home;
        settings().BroadcastNic = "1.1.1.1";
        QPointer<frmSetNics> dialog = new frmSetNics;
        dialog->show();
        dialog->txtIP(0)->setText(QStringLiteral("2.2.2.2"));
        dialog->cmdCancel_Click();
        QCOMPARE(settings().BroadcastNic, QByteArray("1.1.1.1"));
        QVERIFY(!QFile::exists(home.path(QStringLiteral("VEK.INI"))));
        QTRY_VERIFY(dialog == nullptr);
    }

    void activatingAnotherConsoleWindowDiscardsTheChange()
    {
        TestHome home;
        settings().HouseNic = "3.3.3.3";
        QWidget main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QPointer<frmSetNics> dialog = new frmSetNics(&main);
        dialog->show();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        dialog->txtIP(1)->setText(QStringLiteral("4.4.4.4"));
        main.activateWindow();
        QTRY_VERIFY(dialog == nullptr);
        QCOMPARE(settings().HouseNic, QByteArray("3.3.3.3"));
        QVERIFY(!QFile::exists(home.path(QStringLiteral("VEK.INI"))));
    }
};

VEK_TEST(TestFrmSetNics)
#include "tst_frmsetnics.moc"
