#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QUdpSocket>

#include "core/consolecore.h"
#include "core/consolestate.h"
#include "core/login.h"
#include "core/receivestate.h"
#include "core/settings.h"
#include "core/startupstate.h"
#include "core/ui/frmlogin.h"
#include "core/ui/mdimain.h"
#include "core/users.h"
#include "platform/widgets/dialogseam.h"
#include "testhome.h"
#include "testregistry.h"

using namespace vek;

namespace {
void writeUsers()
{
    resetConsoleState();
    users().UserName[1] = QStringLiteral("Admin");
    users().UserPass[1] = QStringLiteral("secret");
    users().UserPrivilege[1] = 3;
    QVERIFY(SaveUsers());
    resetConsoleState();
}

// A time port nobody uses, so the bind of step 13 meets no other socket.
QByteArray freeTimeSettings(const QByteArray &broadcastNic = "127.0.0.1")
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return "[Time_Settings]\r\nIP_Port=" + QByteArray::number(probe.localPort() - 1) +
           "\r\nNic_Card=1\r\n[Nic_Card_Settings]\r\nBroadcast_Nic=" + broadcastNic + "\r\n";
}

QAction *findAction(QMenu *menu, const QString &text)
{
    for (QAction *a : menu->actions()) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

QMenu *topMenu(MDIMain &w, const QString &title)
{
    for (QAction *a : w.menuBar()->actions()) {
        if (a->text() == title)
            return a->menu();
    }
    return nullptr;
}

} // namespace

class TestMDIMain : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetConsoleState(); }

    void menusAndStatusBar()
    {
        MDIMain w;
        QStringList titles;
        for (QAction *a : w.menuBar()->actions())
            titles << a->text();
        QCOMPARE(titles,
                 QStringList({"&File", "&View", "&Settings", "&Window", "&Users", "About"}));

        QMenu *view = topMenu(w, QStringLiteral("&View"));
        QAction *events = findAction(view, QStringLiteral("Event View"));
        QVERIFY(events != nullptr && events->menu() != nullptr);
        QCOMPARE(events->menu()->actions().size(), 8);
        QCOMPARE(w.menuVEvent(1)->text(), QStringLiteral("View 1 (View 1)"));
        QVERIFY(!w.menuVEvent(8)->isEnabled());
        QVERIFY(!findAction(view, QStringLiteral("Channel View"))->isEnabled());

        // Entries wait for their openers, the menu for an administrator's login.
        QVERIFY(!w.menuSettings()->isEnabled());
        QVERIFY(!findAction(w.menuSettings(), QStringLiteral("Network Cards"))->isEnabled());
        QVERIFY(!findAction(w.menuSettings(), QStringLiteral("Users"))->isEnabled());
        QCOMPARE(w.menuSettings()->actions().size(), 9);
        QMenu *usersMenu = topMenu(w, QStringLiteral("&Users"));
        QVERIFY(findAction(usersMenu, QStringLiteral("Login"))->isEnabled());
        QVERIFY(!findAction(usersMenu, QStringLiteral("Administrator Options"))->isEnabled());
        QCOMPARE(topMenu(w, QStringLiteral("&Window"))->actions().size(), 4);

        QCOMPARE(w.statusPanel(3)->text(), QStringLiteral("User:"));
        QCOMPARE(w.statusPanel(4)->text(), QStringLiteral("Privileges:"));
        QCOMPARE(w.statusPanel(7)->text(), QStringLiteral("INS"));
        QVERIFY(w.statusPanel(8) == nullptr);
        QVERIFY(w.menuVEvent(0) == nullptr);
    }

    void menuEntriesOpenThroughTheirOpeners()
    {
        MDIMain w;
        QStringList opened;
        w.setWindowOpener(MenuWindow::Users, [&] { opened << QStringLiteral("users"); });
        w.setWindowOpener(MenuWindow::About, [&] { opened << QStringLiteral("about"); });
        QAction *usersEntry = findAction(w.menuSettings(), QStringLiteral("Users"));
        QVERIFY(usersEntry->isEnabled());
        QCOMPARE(w.windowEntry(MenuWindow::Users), usersEntry);
        QVERIFY(w.windowEntry(MenuWindow::About)->isEnabled());
        QVERIFY(!w.windowEntry(MenuWindow::HeadEnds)->isEnabled());

        // The Settings windows are an administrator's, even when the entry is triggered
        // while the menu is disabled (an Event View's menu, a shortcut).
        users().UserName[1] = QStringLiteral("Op");
        users().UserPass[1] = QStringLiteral("pw");
        users().UserPrivilege[1] = PrivilegeOperator;
        users().UserName[2] = QStringLiteral("Boss");
        users().UserPass[2] = QStringLiteral("pw");
        users().UserPrivilege[2] = PrivilegeAdmin;
        usersEntry->trigger();
        QCOMPARE(tryLogin(QStringLiteral("op"), QStringLiteral("pw")), LoginOutcome::LoggedIn);
        QVERIFY(!w.menuSettings()->isEnabled());
        usersEntry->trigger();
        w.menuWindow_Click(MenuWindow::Users);
        w.windowEntry(MenuWindow::About)->trigger();
        QCOMPARE(opened, QStringList({"about"}));
        QCOMPARE(tryLogin(QStringLiteral("boss"), QStringLiteral("pw")), LoginOutcome::LoggedIn);
        QVERIFY(w.menuSettings()->isEnabled());
        usersEntry->trigger();
        QCOMPARE(opened, QStringList({"about", "users"}));

        // Taking the opener away disables the entry again.
        w.setWindowOpener(MenuWindow::Users, nullptr);
        QVERIFY(!usersEntry->isEnabled());
        w.menuWindow_Click(MenuWindow::Users);
        QCOMPARE(opened.size(), 2);
    }

    void startsWithOnlyAUsersFile()
    {
        TestHome home;
        writeUsers();
        // The default time port may be held by another program running at the same time;
        // then a free one stands in, so the test shows the console, not the machine.
        {
            QUdpSocket defaultPort;
            if (!defaultPort.bind(QHostAddress::LocalHost, 1213)) {
                qWarning("port 1213 busy: using a free time port");
                home.write(QStringLiteral("VEK.INI"), freeTimeSettings());
            }
        }
        ScopedDialogHandler dialogs;
        MDIMain w;
        ConsoleCore core(&w);
        w.attach(&core);
        w.show();
        core.MDIForm_Load(QString());

        QVERIFY(dialogs.requests().isEmpty());
        QVERIFY(!w.ended());
        QCOMPARE(w.windowTitle(), ConsoleCore::versionCaption());
        QVERIFY(w.windowTitle().startsWith(QStringLiteral("Quenrath VEK Software Version ")));
        QVERIFY(w.loginWindow() != nullptr);
        QVERIFY(w.loginWindow()->isVisible());
        QCOMPARE(w.loginWindow()->windowTitle(), QStringLiteral("VEK Login "));
        QVERIFY(home.readLog().contains(" Program Started\r\n"));

        // The real 500 ms timer keeps the clock panel going.
        const QString first = w.statusPanel(1)->text();
        QVERIFY(
            QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(first).hasMatch());
        QTRY_VERIFY_WITH_TIMEOUT(w.statusPanel(1)->text() != first, 3000);

        // Log in through the window: the administrator enables the Settings menu.
        frmLogin *login = w.loginWindow();
        QTest::keyClicks(login->txtName(), QStringLiteral("ADMIN"));
        QTest::keyClicks(login->txtPass(), QStringLiteral("secret"));
        QTest::keyClick(login->txtPass(), Qt::Key_Return);
        QVERIFY(!login->isVisible());
        QCOMPARE(w.statusPanel(3)->text(), QStringLiteral("User: Admin"));
        QCOMPARE(w.statusPanel(4)->text(), QStringLiteral("Privileges: Administrator"));
        QVERIFY(w.menuSettings()->isEnabled());
        QTRY_VERIFY(w.loginWindow() == nullptr); // released

        w.menuUserLO_Click();
        QVERIFY(!w.menuSettings()->isEnabled());
        QCOMPARE(w.statusPanel(3)->text(), QStringLiteral("User:"));
        w.menuUserLI_Click();
        QVERIFY(w.loginWindow() != nullptr && w.loginWindow()->isVisible());
        w.loginWindow()->cmdCancel_Click();
    }

    void backupModeTurnsTheBackgroundRed()
    {
        TestHome home;
        writeUsers();
        ScopedDialogHandler dialogs;
        MDIMain w;
        ConsoleCore core(&w);
        w.attach(&core);
        core.MDIForm_Load(QStringLiteral("-B -M"));
        QVERIFY(w.windowTitle().endsWith(
            QStringLiteral("                       CONNECTED TO BACKUP SERVERS!!!!")));
        QCOMPARE(w.mdiArea()->background().color(), QColor(255, 0, 0));
        if (w.loginWindow() != nullptr)
            w.loginWindow()->cmdCancel_Click();
    }

    void aBadSettingShowsTheMessageAndEnds()
    {
        TestHome home;
        writeUsers();
        home.write(QStringLiteral("VEK.INI"), "[Color_Settings]\r\nColor_3=abc\r\n");
        ScopedDialogHandler dialogs;
        MDIMain w;
        ConsoleCore core(&w);
        w.attach(&core);
        w.show();
        core.MDIForm_Load(QString());
        QVERIFY(w.ended());
        QVERIFY(!w.isVisible());
        QCOMPARE(dialogs.requests().size(), 1);
        const DialogRequest &r = dialogs.requests().first();
        QCOMPARE(r.icon, QMessageBox::Critical);
        QCOMPARE(r.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(r.title, QStringLiteral("VEK Application Loading Problem."));
        QVERIFY(r.text.startsWith(QStringLiteral("Problem loading the VEK.INI file. ")));
        QVERIFY(w.loginWindow() == nullptr);
    }

    void anUnavailableAddressOpensTheNetworkCardsDialog()
    {
        TestHome home;
        writeUsers();
        home.write(QStringLiteral("VEK.INI"), freeTimeSettings("192.0.2.1"));
        ScopedDialogHandler dialogs;
        MDIMain w;
        int opened = 0;
        w.setWindowOpener(MenuWindow::NetworkCards, [&] { ++opened; });
        ConsoleCore core(&w);
        w.attach(&core);
        w.show();
        core.MDIForm_Load(QString());

        QVERIFY(!w.ended());
        QVERIFY(w.isVisible());
        QCOMPARE(dialogs.requests().size(), 1);
        QVERIFY(dialogs.requests().first().text.startsWith(
            QStringLiteral("Please verify that there is a good network connection")));
        QVERIFY(w.loginWindow() == nullptr);
        // Nobody is logged in, and still the dialog opens.
        QCOMPARE(opened, 1);
    }

    void arrangementsPlaceTheChildWindows()
    {
        MDIMain w;
        w.resize(900, 700);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QList<QMdiSubWindow *> subs;
        for (int i = 0; i < 3; ++i) {
            subs << w.mdiArea()->addSubWindow(new QLabel(QStringLiteral("child")));
            subs.last()->resize(200, 150);
            subs.last()->show();
        }
        const QRect area = w.mdiArea()->viewport()->rect();

        w.menuWindowArrange_Click(1); // bands, one above the other
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(subs[i]->width(), area.width());
            QCOMPARE(subs[i]->x(), 0);
        }
        QVERIFY(subs[0]->y() < subs[1]->y() && subs[1]->y() < subs[2]->y());
        QCOMPARE(subs[2]->geometry().bottom(), area.bottom());

        w.menuWindowArrange_Click(2); // columns side by side
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(subs[i]->height(), area.height());
            QCOMPARE(subs[i]->y(), 0);
        }
        QVERIFY(subs[0]->x() < subs[1]->x() && subs[1]->x() < subs[2]->x());
        QCOMPARE(subs[2]->geometry().right(), area.right());

        const QRect before = subs[0]->geometry();
        w.menuWindowArrange_Click(4); // no such arrangement
        w.menuWindowArrange_Click(-1);
        QCOMPARE(subs[0]->geometry(), before);

        // Minimised windows line up along the bottom, from the left.
        subs[1]->showMinimized();
        subs[2]->showMinimized();
        subs[1]->move(300, 20);
        w.menuWindowArrange_Click(3);
        QCOMPARE(subs[1]->x(), 0);
        QCOMPARE(subs[1]->geometry().bottom(), area.bottom());
        QCOMPARE(subs[2]->x(), subs[1]->width());
        QCOMPARE(subs[2]->geometry().bottom(), area.bottom());

        w.menuWindowArrange_Click(0);
        QVERIFY(subs[0]->isVisible());
    }
};

VEK_TEST(TestMDIMain)
#include "tst_mdimain.moc"
