#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "core/consolecore.h"
#include "core/selection.h"
#include "core/ui/mdimain.h"
#include "core/users.h"
#include "mediastats/ui/frmmediastats.h"
#include "mediastats/ui/frmsetautoload.h"
#include "mediastats/ui/mediastatsopeners.h"
#include "mediastats/watchedfolder.h"
#include "msfixture.h"
#include "platform/widgets/dialogseam.h"
#include "samples.h"
#include "testregistry.h"

using namespace vek;
using namespace samples;

namespace {

// An operator with rights on head ends 1 to 3, all three on line with their links up,
// Event View 2 showing head ends 1 and 3 (and 4, which is off line).
void operatorAndView(MsFixture &f)
{
    users().CurrentUser = 1;
    users().UserPrivilege[1] = PrivilegeOperator;
    for (int he = 1; he <= 3; ++he) {
        users().UserHEAccess[1][size_t(he)] = true;
        settings().HEOnLine[size_t(he)] = true;
        f.linkUp(he);
    }
    for (int he = 1; he <= MaxHeadEnds; ++he)
        settings().ShowHE[2][size_t(he)] = he == 1 || he == 3 || he == 4;
    SelView() = 2;
}

QByteArray twoCoFile()
{
    CsvRow a, b;
    a.description = "For one";
    b.co = "2000";
    b.description = "For two and three";
    return csvFile({a.line(), b.line()});
}

int queued()
{
    int n = 0;
    for (int he = 1; he <= MaxHeadEnds; ++he)
        n += winQueueSize(he);
    return n;
}

} // namespace

class TestMediaStatsDialogs : public QObject
{
    Q_OBJECT
private slots:
    void importDialogTicksTheViewsOnLineHeadEnds()
    {
        MsFixture f;
        operatorAndView(f);
        QPointer<frmMediaStats> d = new frmMediaStats;
        QCOMPARE(d->windowTitle(), QStringLiteral("Open Media Stats File"));
        QCOMPARE(d->chkHE(1)->text(), QStringLiteral("North"));
        QVERIFY(d->chkHE(1)->isChecked() && d->chkHE(3)->isChecked());
        QVERIFY(!d->chkHE(2)->isChecked() && d->chkHE(2)->isEnabled());
        QVERIFY(!d->chkHE(4)->isChecked() && !d->chkHE(4)->isEnabled());
        QVERIFY(d->chkNo()->isChecked() && !d->chkYes()->isChecked());
        d->show();
        QTest::mouseClick(d->chkYes(), Qt::LeftButton);
        QVERIFY(d->chkYes()->isChecked() && !d->chkNo()->isChecked());
        QTest::mouseClick(d->chkYes(), Qt::LeftButton);
        QVERIFY(!d->chkYes()->isChecked() && d->chkNo()->isChecked());
        d->cmdCancel_Click();
        QTRY_VERIFY(d == nullptr);

        // A head end whose link is down is shown like an off-line one.
        setHsSocket(3, nullptr);
        d = new frmMediaStats;
        QVERIFY(!d->chkHE(3)->isChecked() && !d->chkHE(3)->isEnabled());
        delete d;
    }

    void openImportsForTheTickedHeadEndsOnly()
    {
        MsFixture f;
        operatorAndView(f);
        const QString path = f.write("pick.csv", twoCoFile());
        DialogAnswer answer;
        answer.fileName = path;
        ScopedDialogHandler seam(answer);
        QPointer<frmMediaStats> d = new frmMediaStats;
        d->show();
        QTest::mouseClick(d->cmdOK(), Qt::LeftButton);
        QCOMPARE(seam.requests().size(), 1);
        QCOMPARE(seam.requests().first().kind, DialogRequest::OpenFile);
        // The file dialog matches its patterns by exact case: every case must be listed.
        const QString filter = seam.requests().first().filter;
        const QStringList patterns =
            filter.section(u'(', 1).section(u')', 0, 0).split(u' ', Qt::SkipEmptyParts);
        for (const char *name : {"a.dbf", "b.VEK", "x.Csv", "y.vE2", "notes.txt"})
            f.write(QString::fromLatin1(name), "");
        QCOMPARE(
            QDir(f.home.path(QString())).entryList(patterns, QDir::Files | QDir::CaseSensitive),
            QStringList({"a.dbf", "b.VEK", "pick.csv", "x.Csv", "y.vE2"}));
        QCOMPARE(MsFixture::drain(1).size(), 1);
        QVERIFY(MsFixture::drain(2).isEmpty());
        QCOMPARE(MsFixture::drain(3).size(), 1);
        QTRY_VERIFY(d == nullptr);
    }

    void refusalsComeInTheirOrderAndImportNothing()
    {
        MsFixture f;
        operatorAndView(f);
        const QString path = f.write("pick.csv", twoCoFile());
        DialogAnswer answer;
        answer.fileName = path;
        ScopedDialogHandler seam(answer);
        QPointer<frmMediaStats> d = new frmMediaStats;
        d->show();

        // No right on head end 3, one of the ticked ones.
        users().UserHEAccess[1][3] = false;
        d->cmdOK_Click();
        QCOMPARE(seam.requests().size(), 1);
        QCOMPARE(seam.requests().last().title, QStringLiteral("Error."));
        QCOMPARE(seam.requests().last().icon, QMessageBox::Critical);
        QCOMPARE(seam.requests().last().text,
                 QStringLiteral("The current user does not have the privileges to change "
                                "information on East."));
        for (int he = 1; he <= 3; ++he)
            d->chkHE(he)->setChecked(false);
        d->cmdOK_Click();
        QCOMPARE(seam.requests().last().text,
                 QStringLiteral("There are no valid headends selected."));
        users().UserPrivilege[1] = PrivilegeNone;
        d->cmdOK_Click();
        QCOMPARE(seam.requests().last().text,
                 QStringLiteral("The current user does not have the privileges to change "
                                "information."));
        QCOMPARE(seam.requests().size(), 3);
        QCOMPARE(queued(), 0);
        QVERIFY(d);
        d->close();
    }

    void aCancelledFileDialogImportsNothingAndKeepsTheDialog()
    {
        MsFixture f;
        operatorAndView(f);
        ScopedDialogHandler seam; // no file chosen
        QPointer<frmMediaStats> d = new frmMediaStats;
        d->show();
        d->cmdOK_Click();
        QCOMPARE(seam.requests().size(), 1);
        QCOMPARE(queued(), 0);
        QVERIFY(d && d->isVisible());
        d->close();
    }

    void aFileThatCannotBeReadIsShownAndTheDialogStays()
    {
        MsFixture f;
        operatorAndView(f);
        const QString path = f.write("bad.dbf", QByteArray(10, 'x'));
        DialogAnswer answer;
        answer.fileName = path;
        ScopedDialogHandler seam(answer);
        QPointer<frmMediaStats> d = new frmMediaStats;
        d->show();
        d->cmdOK_Click();
        QCOMPARE(seam.requests().size(), 2);
        QCOMPARE(seam.requests().last().text,
                 QStringLiteral("Error! (Invalid file format).  Error number = 321.  Error "
                                "Source = VEK"));
        QVERIFY(d && d->isVisible());
        d->close();
    }

    void answersAndRowsStayWithTheImportWhileTheFileDialogIsOpen()
    {
        MsFixture f;
        operatorAndView(f);
        settings().AutoLoadCSV = true;
        const QString chosen = f.write("chosen.csv", twoCoFile());
        CsvRow dropped;
        dropped.description = "Dropped";
        f.writeSettled("dropped.csv", csvFile({dropped.line()}));
        WatchedFolder folder;
        QPointer<frmMediaStats> d = new frmMediaStats;
        d->show();
        // While the file dialog is open the operator's boxes change and the watched folder
        // imports a file of its own.
        ScopedDialogHandler seam([&](const DialogRequest &) {
            d->chkHE(3)->setChecked(false);
            d->chkYes()->setChecked(true);
            f.clock.advanceMs(60000);
            folder.tick();
            DialogAnswer a;
            a.fileName = chosen;
            return a;
        });
        CsvRow old;
        old.date = "3/4/2024";
        f.write("chosen.csv", twoCoFile().chopped(2) + "\r\n" + old.line() + "\r\n");
        d->cmdOK_Click();
        const QList<QByteArray> he1 = MsFixture::drain(1);
        // The dropped file, then the chosen file's row for head end 1; no old row.
        QCOMPARE(he1.size(), 2);
        QVERIFY(he1.at(0).contains("\tDropped\t"));
        QVERIFY(he1.at(1).contains("\tFor one\t"));
        QCOMPARE(MsFixture::drain(3).size(), 1);
        QTRY_VERIFY(d == nullptr);
    }

    void autoLoadSettingsSaveThePathWithItsSeparator()
    {
        MsFixture f;
        settings().AutoLoadPath = "";
        settings().AutoLoadDBF = true;
        QPointer<frmSetAutoLoad> d = new frmSetAutoLoad;
        QCOMPARE(d->windowTitle(), QStringLiteral("MediaStats Auto Load Settings"));
        QCOMPARE(d->txtPath()->text(), QString());
        QVERIFY(d->chkDBF()->isChecked() && !d->chkVEK()->isChecked());
        d->show();
        d->txtPath()->setText(QStringLiteral("  /srv/stats  "));
        d->chkVE2()->setChecked(true);
        d->chkDBF()->setChecked(false);
        QTest::mouseClick(d->cmdOk(), Qt::LeftButton);
        QCOMPARE(settings().AutoLoadPath, QByteArray("/srv/stats/"));
        QVERIFY(settings().AutoLoadVE2 && !settings().AutoLoadDBF);
        const QByteArray ini = f.home.read("VEK.INI");
        QVERIFY(ini.contains("Auto_Load_Path=/srv/stats/\r\n"));
        QVERIFY(ini.contains("Auto_Load_VE2=1\r\n"));
        QTRY_VERIFY(d == nullptr);

        // An empty path stays empty; Cancel keeps nothing.
        d = new frmSetAutoLoad;
        d->txtPath()->setText(QStringLiteral("   "));
        d->cmdOk_Click();
        QCOMPARE(settings().AutoLoadPath, QByteArray());
        d = new frmSetAutoLoad;
        d->txtPath()->setText(QStringLiteral("/elsewhere"));
        d->cmdCancel_Click();
        QCOMPARE(settings().AutoLoadPath, QByteArray());
    }

    void theMenusOpenBothDialogsAndTheTimerWatchesTheFolder()
    {
        MsFixture f;
        operatorAndView(f);
        MDIMain window;
        ConsoleCore core(&window);
        window.attach(&core);
        installMediaStats(&window);
        QVERIFY(window.windowEntry(MenuWindow::AutoLoad)->isEnabled());
        QVERIFY(window.hasWindowOpener(MenuWindow::MediaStats));
        window.openWindow(MenuWindow::MediaStats);
        QTRY_VERIFY(window.findChild<frmMediaStats *>() != nullptr);
        window.findChild<frmMediaStats *>()->close();

        settings().AutoLoadCSV = true;
        f.writeSettled("tick.csv", csvFile({CsvRow().line()}));
        f.clock.advanceMs(60000);
        core.timeWatch_Timer();
        QCOMPARE(core.timeWatchInterval(), 60000);
        QCOMPARE(MsFixture::drain(1).size(), 1);
    }
};

VEK_TEST(TestMediaStatsDialogs)
#include "tst_mediastatsdialogs.moc"
