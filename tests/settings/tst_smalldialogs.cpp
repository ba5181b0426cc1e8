#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabWidget>

#include "core/consolestate.h"
#include "core/settings.h"
#include "core/ui/mdimain.h"
#include "platform/widgets/dialogseam.h"
#include "settings/frmabout.h"
#include "settings/frmsetasrun.h"
#include "settings/frmsetnames.h"
#include "settings/frmsetqc.h"
#include "settingsfixture.h"
#include "testregistry.h"

using namespace vek;

class TestSmallDialogs : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetConsoleState(); }

    void renamedViewsShowInTheMenusAtOnce()
    {
        TestHome home;
        loadSettingsWith(home, {{"Event_View_Settings", "Event_View_2", "Morning"}});
        MDIMain main;
        QSignalSpy renamed(&main, &MDIMain::viewNamesChanged);
        QPointer<frmSetNames> d = new frmSetNames(&main);
        QCOMPARE(d->windowTitle(), QStringLiteral("VEK Event View Names"));
        QCOMPARE(d->txtNames(2)->text(), QStringLiteral("Morning"));
        d->show();
        d->txtNames(2)->setText(QStringLiteral(" Night  Desk"));
        d->txtNames(3)->clear();
        d->cmdOk_Click();

        // Kept as typed in the console; the file holds it without the outer blanks.
        QCOMPARE(settings().ViewName[2], QByteArray(" Night  Desk"));
        QCOMPARE(main.menuVEvent(2)->text(), QStringLiteral("View 2 ( Night  Desk)"));
        QCOMPARE(main.menuVEvent(3)->text(), QStringLiteral("View 3 ()"));
        QCOMPARE(main.menuVEvent(1)->text(), QStringLiteral("View 1 (View 1)"));
        QCOMPARE(renamed.count(), 1);
        const auto file = iniPairs(home.read(QStringLiteral("VEK.INI")));
        QCOMPARE(file.value("event_view_settings/event_view_2"), QByteArray("Night  Desk"));
        QCOMPARE(file.value("event_view_settings/event_view_3"), QByteArray());
        QTRY_VERIFY(d == nullptr);
    }

    void quickCommentsAreSavedWithoutOuterBlanks()
    {
        TestHome home;
        settings().AsRunComment[17] = "Joined late";
        QPointer<frmSetAsRun> d = new frmSetAsRun;
        QCOMPARE(d->windowTitle(), QStringLiteral("As Run Quick Comments"));
        QCOMPARE(d->tabs()->count(), 3);
        QCOMPARE(d->tabs()->tabText(1), QStringLiteral("9-16"));
        QCOMPARE(d->tabs()->tabText(2), QStringLiteral("17-24"));
        QCOMPARE(d->txtCom(17)->text(), QStringLiteral("Joined late"));
        QVERIFY(d->tabs()->widget(2)->isAncestorOf(d->txtCom(17)));
        d->show();
        d->txtCom(1)->setText(QStringLiteral("   "));
        d->txtCom(24)->setText(QStringLiteral("  Slate\tmissing  "));
        d->cmdOk_Click();
        QCOMPARE(settings().AsRunComment[1], QByteArray());
        QCOMPARE(settings().AsRunComment[24], QByteArray("Slate\tmissing"));
        QCOMPARE(settings().AsRunComment[17], QByteArray("Joined late"));

        // A settings file start-up could not read is saved over only after a question
        // that names it, and only on Yes.
        home.write(QStringLiteral("VEK.INI"), QByteArray("\0binary", 7));
        LoadSettings();
        for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
            ScopedDialogHandler dialogs(DialogAnswer{answer, {}, {}});
            auto *again = new frmSetAsRun;
            again->show();
            again->cmdOk_Click();
            QCOMPARE(dialogs.requests().size(), 1);
            QCOMPARE(dialogs.requests().first().icon, QMessageBox::Question);
            QVERIFY(dialogs.requests().first().text.contains(home.path(QStringLiteral("VEK.INI"))));
            QCOMPARE(home.read(QStringLiteral("VEK.INI")).startsWith("[HeadEnd_1_Settings]"),
                     answer == QMessageBox::Yes);
        }
    }

    void qualityControlKeepsWhatItCannotShow()
    {
        TestHome home;
        settings().QCDestination = 512;
        settings().QCDevice = 3;
        QPointer<frmSetQC> d = new frmSetQC;
        QCOMPARE(d->windowTitle(), QStringLiteral("Quality Control Monitor"));
        QCOMPARE(d->cmbDev()->count(), 8);
        QCOMPARE(d->cmbDes()->count(), 512);
        QCOMPARE(d->cmbDes()->currentText(), QStringLiteral("512"));
        QCOMPARE(d->cmbDev()->currentText(), QStringLiteral("3"));
        d->cmdOk_Click();
        QCOMPARE(settings().QCDestination, qint16(512));
        QCOMPARE(
            iniPairs(home.read(QStringLiteral("VEK.INI"))).value("quality_control/destination"),
            QByteArray("512"));

        settings().QCDestination = 600;
        settings().QCDevice = 0;
        d = new frmSetQC;
        QCOMPARE(d->cmbDes()->currentIndex(), -1);
        QCOMPARE(d->cmbDev()->currentIndex(), -1);
        d->cmdOk_Click();
        QCOMPARE(settings().QCDestination, qint16(600));
        QCOMPARE(settings().QCDevice, qint16(0));
    }

    void theAboutBoxNamesTheProductAndItsVersion()
    {
        QCOMPARE(versionLabel(7, 0), QStringLiteral("Version 7.0"));
        QCOMPARE(versionLabel(1, 12), QStringLiteral("Version 1.12"));
        QWidget main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QPointer<frmAbout> about = new frmAbout(&main);
        QCOMPARE(about->windowTitle(), QStringLiteral("About"));
        QCOMPARE(about->lblVersion()->text(), versionLabel(VEK_VERSION_MAJOR, VEK_VERSION_MINOR));
        QVERIFY(about->txtAbout()->isReadOnly());
        about->show();
        about->activateWindow();
        QTRY_COMPARE(QGuiApplication::focusWindow(), about->windowHandle());
        // It goes when another window of the console comes forward.
        main.activateWindow();
        QTRY_VERIFY(about == nullptr);

        about = new frmAbout(&main);
        about->show();
        about->cmdOk()->click();
        QTRY_VERIFY(about == nullptr);
    }
};

VEK_TEST(TestSmallDialogs)
#include "tst_smalldialogs.moc"
